#pragma once
// What the Reboot and Restore pages share: check boxes, one action button, a command worker
// that sends the page's request to access points with linked stations first and to the rest
// 200 ms later, a status column polled every second while the waiting dialog is open, and a
// rediscovery and refresh after it.

#include <QTimer>
#include <atomic>
#include <cstdint>
#include <vector>

#include "ui/pages/CListPageDlg.h"
#include "ui/pages/PageWorker.h"

class CDeviceCommandDlg : public CListPageDlg {
    Q_OBJECT
  public:
    static constexpr int TIMER_STATUS = 1000;
    static constexpr int TIMER_REFRESH = 2000;
    static constexpr int kActionButtonId = 1001;
    static constexpr int kWaitSeconds = 60;
    static constexpr int kStationPauseMs = 200;
    enum Col { COL_CHECK = 0, COL_SERIAL = 1, COL_TYPE = 3, COL_IP = 4, COL_MAC = 5 };

    struct Kind {
        int pageId;
        const char* button;
        const char* confirmation;
        uint16_t request;
        int statusColumn;
        int rounds;
    };

    CDeviceCommandDlg(QWidget* parent, const Kind& kind, std::vector<Column> columns,
                      PageServices services);
    ~CDeviceCommandDlg() override;

    void OnActionButton();
    void OnTimer(int timerId);

    CTButtonPicture* ActionButton() const { return m_pAction; }
    const std::vector<select_ap_entry>& Selection() const { return m_selection; }
    const Kind& CommandKind() const { return m_kind; }
    const QTimer& StatusTimer() const { return m_statusTimer; }
    const QTimer& RefreshTimer() const { return m_refreshTimer; }
    void JoinCommandWorker() { m_commandWorker.Join(); }

    // The command worker's body: the requests for `selection`, linked access points first.
    static void SendCommands(std::stop_token stop, std::vector<select_ap_entry> selection,
                             uint16_t request, const PageServices& services);

  protected:
    void FillRow(int row, const ap_info_stu& record, bool pending) override;

  private:
    const Kind m_kind;
    std::vector<select_ap_entry> m_selection;
    CPageWorker m_commandWorker;
    CTButtonPicture* m_pAction = nullptr;
    QTimer m_statusTimer;
    QTimer m_refreshTimer;
};
