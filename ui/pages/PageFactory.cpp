#include "ui/pages/PageFactory.h"

#include "ui/main/PageIds.h"
#include "ui/pages/CManagementDlg.h"
#include "ui/pages/CPlaceholderPageDlg.h"
#include "ui/pages/CRebootDlg.h"
#include "ui/pages/CRestoreDlg.h"
#include "ui/pages/CStatusDlg.h"
#include "ui/tools/CInstallHelpDlg.h"
#include "ui/tools/CSystemToolDlg.h"

CPageDlg* CreateContainerPage(int pageId, QWidget* parent) {
    switch (pageId) {
        case IDD_STATUS_PAGE:
            return new CStatusDlg(parent);
        case IDD_MANAGEMENT_PAGE:
            return new CManagementDlg(parent);
        case IDD_BRIDGE_PAGE:
            return new CPlaceholderPageDlg(parent, pageId, "Device bridge");
        case IDD_REBOOT_PAGE:
            return new CRebootDlg(parent);
        case IDD_UPGRADE_PAGE:
            return new CPlaceholderPageDlg(parent, pageId, "Device upgrade");
        case IDD_RESTORE_PAGE:
            return new CRestoreDlg(parent);
        case IDD_INSTALL_HELP_PAGE:
            return new CInstallHelpDlg(parent);
        case IDD_SYSTEM_TOOL_PAGE:
            return new CSystemToolDlg(parent);
        default:
            return nullptr;
    }
}
