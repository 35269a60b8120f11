#pragma once
// The page container: owns the eight pages, shows one at a time and refreshes the shown one
// 100 ms after every page switch and every 30 seconds (Status, Management and Bridge only, and
// only while no page has a dialog open).

#include <QTimer>
#include <array>
#include <functional>

#include "ui/main/CPageDlg.h"
#include "ui/main/PageIds.h"

class CChildDlg : public CTDialog {
    Q_OBJECT
  public:
    static constexpr int TIMER_AUTO_REFRESH = 1000;
    static constexpr int TIMER_PAGE_REFRESH = 2000;
    static constexpr int kPageRefreshMs = 100;
    static constexpr int kAutoRefreshMs = 30000;

    // Makes the page with the given id; the default makes the program's own pages.
    using PageFactory = std::function<CPageDlg*(int pageId, QWidget* parent)>;

    explicit CChildDlg(QWidget* parent, PageFactory factory = {});

    int CurrentPageId() const { return m_nCurrentPageId; }
    CPageDlg* Page(int pageId) const;
    // Pages clear it while one of their dialogs is open and set it again afterwards.
    void SetAutoRefresh(bool on) { m_bAutoRefresh = on; }
    bool AutoRefresh() const { return m_bAutoRefresh; }

    // Makes a page current, shows it, hides the others and refreshes it 100 ms later.
    void ShowPage(int pageId);
    // Timer handling, by timer id.
    void OnTimer(int timerId);
    // WM_PAGE_TURN: hands `value` to the page-turn handler of list page `pageId`.
    void OnPageTurn(int pageId, int value);
    void RefreshPage(int pageId);

    const QTimer& PageRefreshTimer() const { return m_pageRefreshTimer; }
    const QTimer& AutoRefreshTimer() const { return m_autoRefreshTimer; }

  protected:
    bool event(QEvent* event) override;

  private:
    std::array<CPageDlg*, kPageCount> m_pages{};
    int m_nCurrentPageId = IDD_STATUS_PAGE;
    bool m_bAutoRefresh = true;
    QTimer m_pageRefreshTimer;
    QTimer m_autoRefreshTimer;
};
