#pragma once
// The main window: caption-less and skinned, with the help, minimise and close buttons, the
// navigation panel on the left and the page container. Minimising hides it to the tray icon
// (or, where the desktop has no tray, minimises it normally so it can always come back).

#include <QIcon>
#include <QPixmap>
#include <QUrl>
#include <array>

#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTDialog.h"

class CMenuDlg;
class CChildDlg;
class QMenu;
class QSystemTrayIcon;

class CApplicationDlg : public CTDialog {
    Q_OBJECT
  public:
    static constexpr int ID_HELP_PRODUCT = 32774;
    static constexpr int ID_HELP_SUPPORT = 32775;
    static constexpr int ID_HELP_CONTACT = 32779;
    static constexpr int ID_HELP_HELP = 57670;
    static constexpr int ID_TRAY_SHOW = 32781;
    static constexpr int ID_TRAY_EXIT = 32782;
    static constexpr int IDM_ABOUTBOX = 16;

    explicit CApplicationDlg(QWidget* parent = nullptr);
    ~CApplicationDlg() override;

    // Shows the window and runs until it ends (close button or the tray's "Exit"); hiding to
    // the tray does not end it.
    int RunModal();

    CMenuDlg* MenuPanel() const { return m_pMenuDlg; }
    CChildDlg* Container() const { return m_pChildDlg; }
    CTButtonPicture* CloseButton() const { return m_pClose; }
    CTButtonPicture* MinButton() const { return m_pMin; }
    CTButtonPicture* HelpButton() const { return m_pHelp; }
    QSystemTrayIcon* TrayIcon() const { return m_pTray; }
    bool HasTray() const { return m_pTray != nullptr; }

    void OnMinimize();
    void OnClose();
    void OnHelp();
    // A help menu or tray menu command, by id.
    void OnCommand(int id);
    // The help menu (131) and the tray menu (132), built and translated for showing.
    QMenu* BuildHelpMenu();
    QMenu* BuildTrayMenu();
    // The link a help menu command opens (the language file holds the four links).
    static QString HelpLink(int id);
    // The address opened for it: a link without a scheme names a file in the program folder.
    static QUrl HelpUrl(int id);
    void ShowAbout();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OnTrayActivated(int reason);
    void ShowFromTray(bool toFront);

    CTButtonPicture* m_pMin = nullptr;
    CTButtonPicture* m_pClose = nullptr;
    CTButtonPicture* m_pHelp = nullptr;
    std::array<QPixmap, 4> m_helpBitmaps;
    QIcon m_icon;
    QSystemTrayIcon* m_pTray = nullptr;
    CMenuDlg* m_pMenuDlg = nullptr;
    CChildDlg* m_pChildDlg = nullptr;
};
