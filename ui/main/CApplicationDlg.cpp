#include "ui/main/CApplicationDlg.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>

#include "app/Log.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CAboutDlg.h"
#include "ui/main/CApplicationApp.h"
#include "ui/main/CChildDlg.h"
#include "ui/main/CMenuDlg.h"

namespace {

QString Path(const std::string& p) { return QString::fromStdString(p); }

void SetImages(CTButtonPicture* button, const ButtonImages& images) {
    button->SetStateImages(Path(images[0]), Path(images[1]), Path(images[2]), Path(images[3]));
}

// Menu bitmaps are drawn on white; white is their transparent colour.
QPixmap MenuBitmap(const std::string& path) {
    QPixmap pixmap(Path(path));
    if (!pixmap.isNull()) pixmap.setMask(pixmap.createMaskFromColor(Qt::white));
    return pixmap;
}

constexpr int kTrayTipChars = 127;

}  // namespace

CApplicationDlg::CApplicationDlg(QWidget* parent) : CTDialog(parent) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint);
    setWindowTitle(QStringLiteral("Merrowin"));
    setFixedSize(DuSize(704, 415));
    m_icon = QIcon(Path(theApp.m_skin.application_icon));

    m_pMin = new CTButtonPicture(this);
    m_pMin->setObjectName(QStringLiteral("button1002"));
    m_pMin->setGeometry(DuRect(666, 2, 17, 10));
    m_pClose = new CTButtonPicture(this);
    m_pClose->setObjectName(QStringLiteral("button1000"));
    m_pClose->setGeometry(DuRect(684, 2, 17, 10));
    m_pHelp = new CTButtonPicture(this);
    m_pHelp->setObjectName(QStringLiteral("button1001"));
    m_pHelp->setGeometry(DuRect(647, 2, 17, 10));
    connect(m_pMin, &QAbstractButton::clicked, this, &CApplicationDlg::OnMinimize);
    connect(m_pClose, &QAbstractButton::clicked, this, &CApplicationDlg::OnClose);
    connect(m_pHelp, &QAbstractButton::clicked, this, &CApplicationDlg::OnHelp);

    // Initialisation, in order.
    setWindowIcon(m_icon);
    TranslateDialog(this);
    m_bFill = true;
    m_fillColor = ToQColor(theApp.m_settings.ChildBkColor);
    SetBackgroundImage(Path(theApp.m_skin.main_bk));
    m_bDrag = true;

    m_pMin->setToolTip(TrText("Min"));
    m_pClose->setToolTip(TrText("Close"));
    m_pHelp->setToolTip(TrText("Info"));

    SetImages(m_pMin, theApp.m_skin.main_min);
    SetImages(m_pClose, theApp.m_skin.main_close);
    SetImages(m_pHelp, theApp.m_skin.main_help);

    m_helpBitmaps = {MenuBitmap(theApp.m_skin.help_product), MenuBitmap(theApp.m_skin.help_support),
                     MenuBitmap(theApp.m_skin.help_contact), MenuBitmap(theApp.m_skin.help_help)};

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_pTray = new QSystemTrayIcon(m_icon, this);
        m_pTray->setToolTip(TrText("Merrowin").left(kTrayTipChars));
        connect(m_pTray, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { OnTrayActivated(reason); });
        m_pTray->show();
    }

    if (QScreen* screen = QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    if (!m_pMenuDlg) {
        m_pMenuDlg = new CMenuDlg(this);
        m_pMenuDlg->move(0, 158);
        m_pMenuDlg->show();
    }
    if (!m_pChildDlg) {
        m_pChildDlg = new CChildDlg(this);
        m_pChildDlg->move(m_pMenuDlg->width(), 86);
        m_pChildDlg->show();
    }
    m_pMenuDlg->SetContainer(m_pChildDlg);
    // The title buttons stay above the panel and the container.
    m_pMin->raise();
    m_pClose->raise();
    m_pHelp->raise();
}

CApplicationDlg::~CApplicationDlg() {
    if (m_pTray) m_pTray->hide();
}

int CApplicationDlg::RunModal() {
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    raise();
    activateWindow();
    WRITE_LOG_INFO("main window shown");
    loop.exec();
    return result();
}

void CApplicationDlg::OnMinimize() {
    if (m_pTray && m_pTray->isVisible()) {
        hide();
    } else {
        // No tray to come back from: a plain minimise keeps the window reachable.
        showMinimized();
    }
}

void CApplicationDlg::OnClose() { done(QDialog::Accepted); }

QMenu* CApplicationDlg::BuildHelpMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const struct {
        int id;
        const char* text;
    } items[4] = {{ID_HELP_PRODUCT, "Product"},
                  {ID_HELP_SUPPORT, "Support"},
                  {ID_HELP_CONTACT, "Contact Us"},
                  {ID_HELP_HELP, "Help"}};
    for (int i = 0; i < 4; ++i) {
        QAction* action = menu->addAction(QString::fromLatin1(items[i].text));
        action->setData(items[i].id);
    }
    TranslateMenu(menu);
    const QList<QAction*> actions = menu->actions();
    for (int i = 0; i < 4; ++i)
        if (!m_helpBitmaps[i].isNull()) actions[i]->setIcon(QIcon(m_helpBitmaps[i]));
    connect(menu, &QMenu::triggered, this,
            [this](QAction* action) { OnCommand(action->data().toInt()); });
    return menu;
}

QMenu* CApplicationDlg::BuildTrayMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Show Utility"))->setData(ID_TRAY_SHOW);
    menu->addAction(QStringLiteral("Exit"))->setData(ID_TRAY_EXIT);
    TranslateMenu(menu);
    connect(menu, &QMenu::triggered, this,
            [this](QAction* action) { OnCommand(action->data().toInt()); });
    return menu;
}

void CApplicationDlg::OnHelp() {
    QMenu* menu = BuildHelpMenu();
    raise();
    activateWindow();
    menu->popup(QCursor::pos() + QPoint(-6, 30));
}

QString CApplicationDlg::HelpLink(int id) {
    switch (id) {
        case ID_HELP_PRODUCT:
            return TrText("Product_url");
        case ID_HELP_SUPPORT:
            return TrText("Support_url");
        case ID_HELP_CONTACT:
            return TrText("Contact_url");
        case ID_HELP_HELP:
            return TrText("Help_url");
        default:
            return QString();
    }
}

QUrl CApplicationDlg::HelpUrl(int id) {
    const QString link = HelpLink(id);
    QUrl url(link);
    if (url.isRelative() && !link.isEmpty()) {
        QUrl file =
            QUrl::fromLocalFile(QString::fromStdString(theApp.m_strProgramFolder) + url.path());
        file.setFragment(url.fragment());
        return file;
    }
    return url;
}

void CApplicationDlg::OnCommand(int id) {
    switch (id) {
        case ID_HELP_PRODUCT:
        case ID_HELP_SUPPORT:
        case ID_HELP_CONTACT:
        case ID_HELP_HELP:
            // A link that cannot be opened fails quietly.
            QDesktopServices::openUrl(HelpUrl(id));
            break;
        case ID_TRAY_SHOW:
            ShowFromTray(false);
            break;
        case ID_TRAY_EXIT:
            OnClose();
            break;
        default:
            if (id >= IDM_ABOUTBOX && id <= IDM_ABOUTBOX + 15) ShowAbout();
            break;
    }
}

void CApplicationDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CApplicationDlg::ShowFromTray(bool toFront) {
    showNormal();
    if (toFront) {
        raise();
        activateWindow();
    }
}

void CApplicationDlg::OnTrayActivated(int reason) {
    if (reason == QSystemTrayIcon::DoubleClick) {
        ShowFromTray(true);
    } else if (reason == QSystemTrayIcon::Context) {
        QMenu* menu = BuildTrayMenu();
        raise();
        activateWindow();
        menu->popup(QCursor::pos());
    }
}

// The window has no caption, so its system menu (with the About entry) opens from a
// right-click on the background or from Alt+Space.
void CApplicationDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (childAt(event->pos()) != nullptr && childAt(event->pos()) != this) {
        CTDialog::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    menu.addAction(QStringLiteral("About Merrowin..."))->setData(IDM_ABOUTBOX);
    TranslateMenu(&menu);
    if (QAction* chosen = menu.exec(event->globalPos())) OnCommand(chosen->data().toInt());
}

void CApplicationDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && (event->modifiers() & Qt::AltModifier)) {
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(4, 4),
                                    mapToGlobal(QPoint(4, 4)));
        contextMenuEvent(&menuEvent);
        return;
    }
    CTDialog::keyPressEvent(event);
}
