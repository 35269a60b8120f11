#include "ui/main/CApplicationApp.h"

#include <QApplication>
#include <QMessageBox>
#include <QProxyStyle>

#include "app/Language.h"
#include "app/Log.h"
#include "app/ProgramInfo.h"
#include "engine/AcTransmitManage.h"
#include "platform/ProgramFolder.h"
#include "store/CSqlManagement.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationDlg.h"

CApplicationApp theApp;

namespace {

// Tooltips of the title buttons come up after half a second.
class CShellStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay) return 500;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

CApplicationApp::CApplicationApp()
    : m_strProgramFolder(platform::GetProgramFolder()),
      m_strVersion(GetVersionText()),
      m_strInstanceName(platform::kProgramInstanceName),
      m_startEngine(StartEngineAndStore) {}

CApplicationApp::~CApplicationApp() = default;

bool CApplicationApp::InitSockets() {
    // POSIX sockets need no library start-up; the step stays so the order is visible.
    m_bSockets = true;
    return true;
}

void CApplicationApp::ReleaseSockets() { m_bSockets = false; }

bool CApplicationApp::InitInstance(int& argc, char** argv) {
    OpenLogFile(m_strProgramFolder);

    if (!InitSockets()) {
        WRITE_LOG_ERROR("init socker error");
        return false;
    }

    // The window framework (a test may have made it already).
    if (!QCoreApplication::instance()) {
        m_qtApp = std::make_unique<QApplication>(argc, argv);
        QApplication::setStyle(new CShellStyle);
    }
    // The main window hides itself to the tray; only its own end ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    m_instance = platform::CInstanceGuard::TryAcquire(m_strInstanceName);
    if (m_instance.GetState() == platform::CInstanceGuard::State::kAlreadyRunning) {
        return false;  // another copy runs: end silently
    }
    if (!m_instance.IsHeld()) WRITE_LOG_ERROR("single instance guard unavailable");

    LoadLanguage(m_strProgramFolder);
    m_settings = ReadSettings(m_strProgramFolder);
    m_nGridRowHeight = m_settings.grid_row_height;
    m_skin = BuildSkinPaths(m_strProgramFolder, GetLanguage().LocaleId());

    if (m_startEngine) m_startEngine(*this);

    {
        CApplicationDlg dlg;
        dlg.RunModal();
    }
    return false;
}

int CApplicationApp::ExitInstance() {
    ReleaseSockets();
    // The process ends next; letting the name go now also lets a test start the shell again.
    m_instance.Release();
    m_qtApp.reset();
    return 0;
}

int CApplicationApp::Run(int argc, char** argv) {
    InitInstance(argc, argv);
    return ExitInstance();
}

void StartEngineAndStore(CApplicationApp& app) {
    // The store reports a database it cannot open in a box of its own.
    CSqlManagement::SetMessageSink([](const std::string& message) {
        QMessageBox::warning(nullptr, TrText("Merrowin"), QString::fromStdString(message));
    });
    // The engine's first use builds the store (so the store outlives the engine at exit).
    app.m_pTransmit = AcTransmitManage::GetInstance();
    // The window opens even when the engine cannot make its sockets; it has logged why.
    app.m_pTransmit->Init(app.m_settings.retransmission_max,
                          app.m_settings.retransmission_interval);
    app.m_pSql = CSqlManagement::GetInstance();
}
