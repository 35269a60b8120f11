#include "ui/main/CMenuDlg.h"

#include "ui/controls/DialogUnits.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"
#include "ui/main/CChildDlg.h"
#include "ui/main/PageIds.h"

const std::array<CMenuDlg::Entry, 8> CMenuDlg::kEntries = {{
    {1004, 0, "Device status", IDD_STATUS_PAGE},
    {1007, 27, "Device management", IDD_MANAGEMENT_PAGE},
    {1003, 53, "Device bridge", IDD_BRIDGE_PAGE},
    {1009, 80, "Device reboot", IDD_REBOOT_PAGE},
    {1006, 107, "Device upgrade", IDD_UPGRADE_PAGE},
    {1005, 134, "Device restore", IDD_RESTORE_PAGE},
    {1001, 161, "System tool", IDD_SYSTEM_TOOL_PAGE},
    {1008, 188, "Install Help", IDD_INSTALL_HELP_PAGE},
}};

namespace {
QString Path(const std::string& p) { return QString::fromStdString(p); }
}  // namespace

CMenuDlg::CMenuDlg(QWidget* parent) : CTDialog(parent, true) {
    resize(DuSize(91, 324));
    for (size_t i = 0; i < kEntries.size(); ++i) {
        auto* button = new CTButtonPicture(this);
        button->setObjectName(QString("button%1").arg(kEntries[i].buttonId));
        button->setGeometry(DuRect(0, kEntries[i].y, 90, 28));
        const int index = int(i);
        connect(button, &QAbstractButton::clicked, this, [this, index] { OnMenuButton(index); });
        m_buttons[i] = button;
    }
    m_pVersion = new CTStatic(this);
    m_pVersion->setObjectName(QStringLiteral("static1024"));
    m_pVersion->setGeometry(DuRect(7, 306, 77, 9));
    m_pVersion->setAlignment(Qt::AlignCenter);

    TranslateDialog(this);
    SetBackgroundImage(Path(theApp.m_skin.main_left_bk));

    const auto& first = theApp.m_skin.menu_first;
    const auto& other = theApp.m_skin.menu_other;
    for (size_t i = 0; i < kEntries.size(); ++i) {
        CTButtonPicture* button = m_buttons[i];
        button->ApplyMenuButtonLook(TrText(kEntries[i].caption));
        button->SetAlignment(CTButtonPicture::kAlignCenter);
        const auto& images = i == 0 ? first : other;
        button->SetStateImages(Path(images[0]), Path(images[1]), Path(images[2]), Path(images[3]));
    }

    OnMenuButton(0);

    m_pVersion->ApplyStaticLook();
    m_pVersion->SetTextColor(ToQColor(theApp.m_settings.StaticTextNumberColor));
    m_pVersion->setText(QString::fromStdString(theApp.m_strVersion));
}

void CMenuDlg::OnMenuButton(int index) {
    if (index < 0 || index >= int(m_buttons.size())) return;
    for (CTButtonPicture* button : m_buttons) button->SetSelected(false);
    m_buttons[index]->SetSelected(true);
    if (m_pContainer) m_pContainer->ShowPage(kEntries[index].pageId);
}
