#include "ui/pages/CRebootDlg.h"

#include "ui/main/PageIds.h"

namespace {

using F = CListPageDlg::Field;

const CDeviceCommandDlg::Kind kReboot = {
    IDD_REBOOT_PAGE,        "Reboot", "Are you sure you want to restart?", VALTO_APRebootRequest,
    CRebootDlg::COL_STATUS, 3};

std::vector<CListPageDlg::Column> RebootColumns() {
    return {
        {"", 30, F::Check, -1},
        {"Serial", 60, F::Serial, -1},
        {"Location", 110, F::Name, 2},
        {"Type", 80, F::Type, 3},
        {"IP", 132, F::Ip, 1},
        {"MAC", 132, F::Mac, 0},
        {"OperationMode", 106, F::WorkMode, 4},
        {"SSID", 130, F::Ssid, 5},
        {"Channel", 80, F::Channel, 6},
        {"SecureMode", 100, F::SecureMode, 7},
        {"Status", 80, F::Status, -1},
    };
}

}  // namespace

CRebootDlg::CRebootDlg(QWidget* parent, PageServices services)
    : CDeviceCommandDlg(parent, kReboot, RebootColumns(), std::move(services)) {}
