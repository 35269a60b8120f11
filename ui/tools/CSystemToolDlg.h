#pragma once
// The System tool page: the PC's network adapters as the engine sees them, refreshed every
// 5 seconds, so the user can check which local addresses reach the devices.

#include <QTimer>
#include <functional>
#include <vector>

#include "platform/LocalAdapter.h"
#include "ui/main/CPageDlg.h"

class CTStatic;
class CTPicture;
class CTMultiPages;
class QTableWidget;

class CSystemToolDlg : public CPageDlg {
    Q_OBJECT
  public:
    static constexpr int TIMER_REFRESH = 1000;
    static constexpr int kRefreshMs = 5000;

    using AdapterSource = std::function<std::vector<local_adapter_info>()>;

    // `source` lists the adapters; the default asks the engine.
    explicit CSystemToolDlg(QWidget* parent, AdapterSource source = {});

    void Refresh();
    QTableWidget* Grid() const { return m_pGrid; }
    CTStatic* CountLabel() const { return m_pCount; }
    CTMultiPages* Pager() const { return m_pPager; }
    const QTimer& RefreshTimer() const { return m_timer; }

    // Cell texts of one adapter row.
    static QString MacText(const local_adapter_info& adapter);
    static QString IpText(const local_adapter_info& adapter);
    static QString DescriptionText(const local_adapter_info& adapter);

  private:
    void SetCount(int count);

    AdapterSource m_source;
    CTStatic* m_pCount;
    QTableWidget* m_pGrid;
    CTPicture* m_pLine;
    CTMultiPages* m_pPager;
    QTimer m_timer;
};
