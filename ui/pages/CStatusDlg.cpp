#include "ui/pages/CStatusDlg.h"

#include <QColor>

#include "app/Log.h"
#include "common/DeviceText.h"
#include "common/Validation.h"
#include "common/ValueTables.h"
#include "engine/Payloads.h"
#include "ui/controls/CGridCtrl.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTEdit.h"
#include "ui/controls/CTPicture.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"
#include "ui/main/PageIds.h"

namespace {

using F = CListPageDlg::Field;

std::vector<CListPageDlg::Column> StatusColumns() {
    return {
        {"", 20, F::Check, -1},
        {"Serial", 40, F::Serial, -1},
        {"Location", 90, F::Name, 2},
        {"Type", 80, F::Type, 3},
        {"IP", 102, F::Ip, 1},
        {"MAC", 112, F::Mac, 0},
        {"OperationMode", 66, F::WorkMode, 4},
        {"SSID", 100, F::Ssid, 5},
        {"Channel", 65, F::Channel, 6},
        {"Version", 60, F::Version, 9},
        {"Transparent bridge", 100, F::Transparent, 10},
        {CStatusDlg::kTdmaCaption, 70, F::Tdma, 11},
        {"Time", 70, F::Time, 12},
        {"Operate", 70, F::Operate, -1},
    };
}

}  // namespace

CStatusDlg::CStatusDlg(QWidget* parent, PageServices services)
    : CListPageDlg(parent, IDD_STATUS_PAGE, StatusColumns(), COL_IP, std::move(services)) {
    ShowSearchButton();
    connect(m_pSearchButton, &QAbstractButton::clicked, this, &CStatusDlg::OnSearchButton);

    // The multi-device dialogs these open are not part of the program yet.
    m_pSetIp = AddActionButton("Set IP", 1);
    m_pSetBridge = AddActionButton("Set Bridge", 2);
    m_pTdma = AddActionButton(kTdmaCaption, 3);
    for (CTButtonPicture* b : {m_pSetIp, m_pSetBridge, m_pTdma}) b->setEnabled(false);

    m_pWait = new CTPicture(this);
    m_pWait->LoadPictureFile(QString::fromStdString(theApp.m_skin.wait_search));
    m_pWait->move(DuToPxX(270), DuToPxY(9));
    m_pWait->hide();

    m_pGrid->SetHandColumns({COL_CHECK, COL_NAME, COL_OPERATE});
    QPixmap web(QString::fromStdString(theApp.m_skin.web_icon));
    m_pGrid->SetImageList({web.isNull() ? web : web.scaled(50, 16)});
    connect(m_pGrid, &CGridCtrl::BeginEdit, this, &CStatusDlg::OnBeginEdit);
    connect(m_pGrid, &CGridCtrl::EndEdit, this, &CStatusDlg::OnEndEdit);

    m_searchTimer.setInterval(1000);
    connect(&m_searchTimer, &QTimer::timeout, this, [this] { OnTimer(TIMER_SEARCH); });
    m_renameTimer.setSingleShot(true);
    m_renameTimer.setInterval(kRenameRefreshMs);
    connect(&m_renameTimer, &QTimer::timeout, this, [this] { OnTimer(TIMER_RENAME_REFRESH); });
}

CStatusDlg::~CStatusDlg() {
    m_searchTimer.stop();
    m_renameTimer.stop();
    m_renameWorker.Stop();
}

void CStatusDlg::LogUpdateListData() { WRITE_LOG_INFO("UpdateListData"); }
void CStatusDlg::LogUpdateShowList() { WRITE_LOG_INFO("UpdateShowList"); }

std::vector<ap_info_stu> CStatusDlg::QueryPending(int page, int pageCount, int stored,
                                                  int pageSize) {
    std::vector<ap_info_stu> pending;
    if (stored >= pageSize || !(page == pageCount || pageCount == 0)) return pending;
    if (!m_services.GetPendingManageApList) return pending;
    const std::string filter = m_strContent.toStdString();
    m_services.GetPendingManageApList(pending, pageSize - stored,
                                      filter.empty() ? nullptr : filter.c_str());
    if (int(pending.size()) > pageSize - stored) pending.resize(size_t(pageSize - stored));
    return pending;
}

void CStatusDlg::FillRow(int row, const ap_info_stu& r, bool pending) {
    const QString serial = QString::number((m_nPage - 1) * PageSize() + row);
    m_pGrid->SetItemText(row, COL_SERIAL, serial);
    if (!pending) {
        CListPageDlg::FillRow(row, r, false);
        m_pGrid->SetItemData(row, COL_SERIAL, int(r.ap_status));
        m_pGrid->SetItemImage(row, COL_OPERATE, 0);
        return;
    }
    m_pGrid->SetItemData(row, COL_SERIAL, kPendingSerialData);
    const bool named = r.ssid_len != 0;
    for (int c = 0; c < int(m_columns.size()); ++c) {
        const Field f = m_columns[c].field;
        const bool always = f == F::Type || f == F::Ip || f == F::Mac || f == F::Version;
        const bool withName = f == F::Name || f == F::WorkMode || f == F::Ssid || f == F::Channel ||
                              f == F::Transparent || f == F::Tdma || f == F::Time;
        if (always || (named && withName)) m_pGrid->SetItemText(row, c, FieldText(f, r));
        m_pGrid->SetItemFgColour(row, c, ToQColor(theApp.m_settings.TextUnlineColor));
    }
}

// ---- search ----

void CStatusDlg::OnSearchButton() {
    if (m_bSearching) {
        EndSearch();
        return;
    }
    if (m_services.UpdateCaptureDeviceList) m_services.UpdateCaptureDeviceList();
    if (m_services.ReleasePendingManageAp) m_services.ReleasePendingManageAp();
    if (m_services.DeletePendingManageAp) m_services.DeletePendingManageAp();
    if (m_services.DeleteUnmanagedApInfo) m_services.DeleteUnmanagedApInfo();
    if (m_services.SendDiscoverBroadcast) m_services.SendDiscoverBroadcast();

    m_nTicks = 0;
    m_bSearching = true;
    m_bIgnoreSearchChange = true;
    m_pSearch->clear();
    m_bIgnoreSearchChange = false;
    m_strContent.clear();
    UpdateListData(1, m_nSortFlag ? 0 : 1, m_nCol, m_strContent);

    m_pWait->show();
    m_pWait->DrawPicture();
    m_pSearchButton->setText(TrText("Stop"));
    SetControlsEnabled(false);
    if (m_services.EnableNavigation) m_services.EnableNavigation(false);
    if (m_services.SetAutoRefresh) m_services.SetAutoRefresh(false);
    m_searchTimer.start();
}

void CStatusDlg::EndSearch() {
    m_searchTimer.stop();
    m_bSearching = false;
    m_pWait->StopAnimation();
    m_pWait->hide();
    m_pSearchButton->setText(TrText("Search"));
    SetControlsEnabled(true);
    if (m_services.EnableNavigation) m_services.EnableNavigation(true);
    if (m_services.SetAutoRefresh) m_services.SetAutoRefresh(true);
    RefreshPage();
}

void CStatusDlg::OnTimer(int timerId) {
    if (timerId == TIMER_SEARCH) {
        if (!m_bSearching) return;
        ++m_nTicks;
        if (m_nTicks >= kSearchTicks) {
            EndSearch();
        } else if (m_nTicks % 3 == 0) {
            if (m_services.SendDiscoverBroadcast) m_services.SendDiscoverBroadcast();
            UpdateListData(1, m_nSortFlag ? 0 : 1, m_nCol, m_strContent);
        }
    } else if (timerId == TIMER_RENAME_REFRESH) {
        m_renameTimer.stop();
        RefreshPage();
    }
}

// ---- clicks and rename ----

void CStatusDlg::OnGridClick(int row, int col) {
    CListPageDlg::OnGridClick(row, col);
    if (row == 0) return;
    const bool pending = m_pGrid->GetItemData(row, COL_SERIAL) == kPendingSerialData;
    if (col == COL_NAME) {
        m_pGrid->SetEditable(!pending);
    } else if (col == COL_OPERATE && !pending && m_services.OpenUrl) {
        m_services.OpenUrl(QStringLiteral("http://") + m_pGrid->GetItemText(row, COL_IP));
    }
}

void CStatusDlg::OnBeginEdit(int row, int col) { m_oldName = m_pGrid->GetItemText(row, col); }

void CStatusDlg::OnEndEdit(int row, int col) {
    if (col != COL_NAME) return;
    const QString text = m_pGrid->GetItemText(row, col);
    if (text == m_oldName) return;
    if (text.isEmpty()) {
        m_pGrid->SetItemText(row, col, m_oldName);
        return;
    }
    const std::string ip = m_pGrid->GetItemText(row, COL_IP).toStdString();
    const std::string mac = m_pGrid->GetItemText(row, COL_MAC).toStdString();
    const int type = ApTypeFromText(m_pGrid->GetItemText(row, COL_TYPE).toStdString());
    const std::u16string name = text.toStdU16String();
    const CheckResult check = CheckDeviceNameRule(name, type);
    if (!check.ok) {
        if (m_services.Warning) m_services.Warning(TrText(QString::fromStdString(check.message)));
        m_pGrid->SetItemText(row, col, m_oldName);
        return;
    }
    const QString cut = QString::fromStdU16String(CutToUtf8Length(name, kDeviceTextBudget));
    m_pGrid->SetItemText(row, col, cut);

    m_rename = {m_oldName.toStdString(), cut.toStdString(), ip, mac};
    // The worker gets its own copy: the page may start another rename meanwhile.
    m_renameWorker.Start(
        [request = m_rename, send = m_services.SendPacketMutilcast](std::stop_token stop) {
            if (stop.stop_requested() || !send) return;
            const Payload payload =
                NameSetPayload(BuildNameBlock(CutLocalText(request.newName, kDeviceTextBudget)));
            send(request.ip, VALTO_APNameSetRequest, payload.data(), int(payload.size()),
                 request.mac, true);
        });
    m_renameTimer.start();
}
