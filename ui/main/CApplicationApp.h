#pragma once
// The application object: one for the whole process. Its start-up brings the shell up in a
// fixed order and runs the main window; the main window's loop is the program's life.
//
//   1 log  2 sockets  3-4 the window framework  5 single instance  6 language  7 settings
//   8 skin  9 COM  10-12 engine (which builds the store), Init, store  13 main window
//
// The engine and the store are process-wide singletons destroyed at process exit, the engine
// first (its threads stop and release notices go out) and then the store.

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/OperateSystemInfo.h"
#include "app/Settings.h"
#include "app/SkinPaths.h"
#include "platform/InstanceGuard.h"

class AcTransmitManage;
class CSqlManagement;
class CChildDlg;
class QApplication;

class CApplicationApp {
  public:
    CApplicationApp();
    ~CApplicationApp();
    CApplicationApp(const CApplicationApp&) = delete;
    CApplicationApp& operator=(const CApplicationApp&) = delete;

    // Start-up; false always (there is no loop of the framework's own after the main window).
    bool InitInstance(int& argc, char** argv);
    // Shutdown of what start-up brought up; the exit code.
    int ExitInstance();
    // InitInstance, then ExitInstance.
    int Run(int argc, char** argv);

    // Settings (colours, fonts, engine parameters) and derived fields.
    AppSettings m_settings;
    SkinPaths m_skin;
    int m_nGridRowHeight = 0;
    // The executable's folder with a trailing '/'; every file is found relative to it.
    std::string m_strProgramFolder;
    // "V" and the four-part version.
    std::string m_strVersion;
    // The page container, set when it initialises; pages address the container through it.
    QPointer<QWidget> m_hChildWnd;
    COperateSystemInfo m_osInfo;
    AcTransmitManage* m_pTransmit = nullptr;
    CSqlManagement* m_pSql = nullptr;

    // The single-instance name; a second copy holding it ends silently.
    std::string m_strInstanceName;
    // Steps 10 to 12. Tests replace it so that no engine (and no socket) is started.
    std::function<void(CApplicationApp&)> m_startEngine;

    bool MainWindowShown() const { return m_bMainWindowShown; }

  private:
    bool InitSockets();
    void ReleaseSockets();

    std::unique_ptr<QApplication> m_qtApp;
    platform::CInstanceGuard m_instance;
    bool m_bSockets = false;
    bool m_bMainWindowShown = false;
};

extern CApplicationApp theApp;

// Brings up the engine (whose first use builds the store), initialises it with the
// retransmission settings and stores both pointers in the application object.
void StartEngineAndStore(CApplicationApp& app);

inline QColor ToQColor(ColorRef c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }
