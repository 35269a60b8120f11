#include "ui/pages/CManagementDlg.h"

#include "common/ValueTables.h"
#include "ui/controls/CGridCtrl.h"
#include "ui/main/CApplicationApp.h"
#include "ui/main/PageIds.h"

namespace {

using F = CListPageDlg::Field;

std::vector<CListPageDlg::Column> ManagementColumns() {
    return {
        {"Serial", 60, F::Serial, -1},
        {"Location", 100, F::Name, 2},
        {"Type", 80, F::Type, 3},
        {"IP", 132, F::Ip, 1},
        {"MAC", 132, F::Mac, 0},
        {"OperationMode", 96, F::WorkMode, 4},
        {"SSID", 130, F::Ssid, 5},
        {"Channel", 80, F::Channel, 6},
        {"SecureMode", 90, F::SecureMode, 7},
        {"Power", 70, F::Power, 8},
        {"Operate", 70, F::Operate, -1},
    };
}

}  // namespace

CManagementDlg::CManagementDlg(QWidget* parent, PageServices services)
    : CListPageDlg(parent, IDD_MANAGEMENT_PAGE, ManagementColumns(), COL_IP, std::move(services)) {
    m_pGrid->SetHandColumns({COL_OPERATE});
    QPixmap edit(QString::fromStdString(theApp.m_skin.edit_icon));
    m_pGrid->SetImageList({edit.isNull() ? edit : edit.scaled(50, 16)});
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(2000);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] { OnTimer(TIMER_REFRESH); });
}

void CManagementDlg::FillRow(int row, const ap_info_stu& record, bool pending) {
    CListPageDlg::FillRow(row, record, pending);
    m_pGrid->SetItemImage(row, COL_OPERATE, 0);
}

void CManagementDlg::OnGridClick(int row, int col) {
    CListPageDlg::OnGridClick(row, col);
    if (row == 0 || col != COL_OPERATE) return;
    m_configTarget =
        MakeSelectEntry(m_pGrid->GetItemText(row, COL_IP).toStdString(),
                        m_pGrid->GetItemText(row, COL_MAC).toStdString(),
                        ApTypeFromText(m_pGrid->GetItemText(row, COL_TYPE).toStdString()));
    // The configuration dialog opens here once it exists, with the auto-refresh flag cleared
    // while it is open and m_refreshTimer started when it closes.
}

void CManagementDlg::OnTimer(int timerId) {
    if (timerId != TIMER_REFRESH) return;
    m_refreshTimer.stop();
    RefreshPage();
}
