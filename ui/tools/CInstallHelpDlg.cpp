#include "ui/tools/CInstallHelpDlg.h"

#include "ui/controls/CScrollBitmapWnd.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"
#include "ui/main/PageIds.h"

CInstallHelpDlg::CInstallHelpDlg(QWidget* parent)
    : CPageDlg(parent, IDD_INSTALL_HELP_PAGE), m_pView(new CScrollBitmapWnd(this)) {
    TranslateDialog(this);
    m_bFill = true;
    m_fillColor = ToQColor(theApp.m_settings.ChildBkColor);
    m_pView->setObjectName(QStringLiteral("view102"));
    // The view spans (5,5)-(1065,590), kept inside the container's visible area so that its
    // scroll bars are never cut off.
    const QSize visible = parent ? parent->size() : DuSize(610, 372);
    const int right = qMin(1065, visible.width() - 5);
    const int bottom = qMin(590, visible.height() - 5);
    m_pView->setGeometry(QRect(QPoint(5, 5), QPoint(right - 1, bottom - 1)));
    m_pView->LoadPicture(QString::fromStdString(theApp.m_skin.install_help));
}
