#include "ui/pages/PageFactory.h"

#include "ui/main/PageIds.h"
#include "ui/pages/CPlaceholderPageDlg.h"
#include "ui/tools/CInstallHelpDlg.h"
#include "ui/tools/CSystemToolDlg.h"

CPageDlg* CreateContainerPage(int pageId, QWidget* parent) {
    switch (pageId) {
        case IDD_STATUS_PAGE:
            return new CPlaceholderPageDlg(parent, pageId, "Device status");
        case IDD_MANAGEMENT_PAGE:
            return new CPlaceholderPageDlg(parent, pageId, "Device management");
        case IDD_BRIDGE_PAGE:
            return new CPlaceholderPageDlg(parent, pageId, "Device bridge");
        case IDD_REBOOT_PAGE:
            return new CPlaceholderPageDlg(parent, pageId, "Device reboot");
        case IDD_UPGRADE_PAGE:
            return new CPlaceholderPageDlg(parent, pageId, "Device upgrade");
        case IDD_RESTORE_PAGE:
            return new CPlaceholderPageDlg(parent, pageId, "Device restore");
        case IDD_INSTALL_HELP_PAGE:
            return new CInstallHelpDlg(parent);
        case IDD_SYSTEM_TOOL_PAGE:
            return new CSystemToolDlg(parent);
        default:
            return nullptr;
    }
}
