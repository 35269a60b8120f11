#include "ui/pages/CRestoreDlg.h"

#include "ui/main/PageIds.h"

namespace {

using F = CListPageDlg::Field;

const CDeviceCommandDlg::Kind kRestore = {
    IDD_RESTORE_PAGE,        "Restore", "Are you sure you want to reset?", VALTO_APRestoreRequest,
    CRestoreDlg::COL_STATUS, 5};

std::vector<CListPageDlg::Column> RestoreColumns() {
    return {
        {"", 30, F::Check, -1},
        {"Serial", 60, F::Serial, -1},
        {"Location", 110, F::Name, 2},
        {"Type", 80, F::Type, 3},
        {"IP", 132, F::Ip, 1},
        {"MAC", 132, F::Mac, 0},
        {"OperationMode", 96, F::WorkMode, 4},
        {"SSID", 120, F::Ssid, 5},
        {"Channel", 80, F::Channel, 6},
        {"SecureMode", 70, F::SecureMode, 7},
        {"Power", 70, F::Power, 8},
        {"Status", 60, F::Status, -1},
    };
}

}  // namespace

CRestoreDlg::CRestoreDlg(QWidget* parent, PageServices services)
    : CDeviceCommandDlg(parent, kRestore, RestoreColumns(), std::move(services)) {}
