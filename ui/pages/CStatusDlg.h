#pragma once
// The Status page: every device, stored ones and those that answered discovery but have not
// sent their configuration yet (grey, filling free rows of the last page only); the 30-second
// search; renaming a device in place; opening a device's web page.
//
// The three multi-device buttons are in place and stay disabled until their dialogs exist.

#include <QTimer>
#include <mutex>
#include <string>

#include "ui/pages/CListPageDlg.h"
#include "ui/pages/PageWorker.h"

class CTPicture;

class CStatusDlg : public CListPageDlg {
    Q_OBJECT
  public:
    static constexpr int TIMER_SEARCH = 1000;
    static constexpr int TIMER_RENAME_REFRESH = 2000;
    static constexpr int kSearchTicks = 30;
    static constexpr int kRenameRefreshMs = 2000;
    static constexpr int kPendingSerialData = 10;
    // The display name of the TDMA feature: column 11 and button 1006.
    static constexpr const char* kTdmaCaption = "TDMA";

    enum Col {
        COL_CHECK = 0,
        COL_SERIAL = 1,
        COL_NAME = 2,
        COL_TYPE = 3,
        COL_IP = 4,
        COL_MAC = 5,
        COL_OPERATE = 13,
    };

    explicit CStatusDlg(QWidget* parent, PageServices services = PageServices::Default());
    ~CStatusDlg() override;

    void OnSearchButton();
    void OnTimer(int timerId);
    void OnGridClick(int row, int col) override;

    bool IsSearching() const { return m_bSearching; }
    int SearchTicks() const { return m_nTicks; }
    CTButtonPicture* SetIpButton() const { return m_pSetIp; }
    CTButtonPicture* SetBridgeButton() const { return m_pSetBridge; }
    CTButtonPicture* TdmaButton() const { return m_pTdma; }
    CTPicture* WaitAnimation() const { return m_pWait; }
    const QTimer& SearchTimer() const { return m_searchTimer; }
    const QTimer& RenameTimer() const { return m_renameTimer; }
    // Waits for a running rename worker to finish (tests).
    void JoinRenameWorker() { m_renameWorker.Join(); }

  protected:
    std::vector<ap_info_stu> QueryPending(int page, int pageCount, int stored,
                                          int pageSize) override;
    void FillRow(int row, const ap_info_stu& record, bool pending) override;
    void LogUpdateListData() override;
    void LogUpdateShowList() override;

  private:
    struct RenameRequest {
        std::string oldName, newName, ip, mac;
    };

    void OnBeginEdit(int row, int col);
    void OnEndEdit(int row, int col);
    void EndSearch();

    bool m_bSearching = false;
    int m_nTicks = 0;
    QString m_oldName;
    RenameRequest m_rename;
    CPageWorker m_renameWorker;

    CTButtonPicture* m_pSetIp = nullptr;
    CTButtonPicture* m_pSetBridge = nullptr;
    CTButtonPicture* m_pTdma = nullptr;
    CTPicture* m_pWait = nullptr;
    QTimer m_searchTimer;
    QTimer m_renameTimer;
};
