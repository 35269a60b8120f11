// Start-up order, the second copy, and a start with none of the program's files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <optional>

#include "app/Log.h"
#include "platform/InstanceGuard.h"
#include "platform/ProgramFolder.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/main/CApplicationDlg.h"
#include "ui/main/CMenuDlg.h"

namespace {

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path().toStdString() + "/";
        static int run = 0;
        theApp.m_strProgramFolder = folder;
        theApp.m_strInstanceName =
            "Valto_Corvane-test-" + std::to_string(getpid()) + "-" + std::to_string(++run);
        theApp.m_startEngine = [this](CApplicationApp& app) {
            ++engineCalls;
            engineSawMax = app.m_settings.retransmission_max;
            engineSawInterval = app.m_settings.retransmission_interval;
            engineSawHelpPicture = app.m_skin.install_help;
            windowBeforeEngine = FindMainWindow() != nullptr;
        };
        // Whether this process already has its log (then start-up cannot open another).
        logAlreadyOpen = WRITE_LOG_INFO(
            "start-up test %s", ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override {
        theApp.m_strProgramFolder = platform::GetProgramFolder();
        theApp.m_strInstanceName = std::string(platform::kProgramInstanceName);
        theApp.m_startEngine = StartEngineAndStore;
    }

    static CApplicationDlg* FindMainWindow() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<CApplicationDlg*>(w); dlg && dlg->isVisible()) return dlg;
        return nullptr;
    }

    // Runs start-up; closes the main window as soon as it shows and notes what it showed.
    bool RunStartup() {
        QTimer poll;
        int tries = 0;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (++tries > 500) {  // five seconds at most
                poll.stop();
                return;
            }
            CApplicationDlg* dlg = FindMainWindow();
            if (!dlg) return;
            poll.stop();
            windowShown = true;
            engineCallsAtWindow = engineCalls;
            firstButtonCaption = dlg->MenuPanel()->Button(0)->text();
            dlg->OnClose();
        });
        poll.start();
        int argc = 1;
        char name[] = "merrowin";
        char* argv[] = {name, nullptr};
        const bool result = theApp.InitInstance(argc, argv);
        poll.stop();
        theApp.ExitInstance();
        return result;
    }

    bool LogFileWritten() const {
        return !QDir(dir.filePath("Logs")).entryList({"*.log"}, QDir::Files).isEmpty();
    }

    QTemporaryDir dir;
    std::string folder;
    bool logAlreadyOpen = false;
    int engineCalls = 0;
    int engineSawMax = -1;
    int engineSawInterval = -1;
    std::string engineSawHelpPicture;
    bool windowBeforeEngine = false;
    bool windowShown = false;
    int engineCallsAtWindow = -1;
    QString firstButtonCaption;
};

TEST_F(StartupTest, WithoutAnyOfItsFilesTheWindowStillOpens) {
    EXPECT_FALSE(RunStartup());  // start-up always ends false
    EXPECT_TRUE(windowShown);
    EXPECT_EQ(engineCalls, 1);
    EXPECT_EQ(engineCallsAtWindow, 1);  // engine and store before the window
    EXPECT_FALSE(windowBeforeEngine);
    EXPECT_EQ(engineSawMax, 3);  // the defaults reach the engine
    EXPECT_EQ(engineSawInterval, 2000);
    EXPECT_EQ(engineSawHelpPicture, folder + "Skin/help_other.jpg");
    EXPECT_EQ(firstButtonCaption, "Device status");  // untranslated
    EXPECT_EQ(theApp.m_nGridRowHeight, 48);
    if (!logAlreadyOpen) {
        EXPECT_TRUE(LogFileWritten());
    }
}

TEST_F(StartupTest, SecondCopyEndsSilentlyAfterOpeningItsLog) {
    auto first = platform::CInstanceGuard::TryAcquire(theApp.m_strInstanceName);
    ASSERT_TRUE(first.IsHeld());
    EXPECT_FALSE(RunStartup());
    EXPECT_FALSE(windowShown);
    EXPECT_EQ(engineCalls, 0);
    EXPECT_TRUE(first.IsHeld());  // the running copy is untouched
    if (logAlreadyOpen) GTEST_SKIP() << "this process opened its log earlier";
    EXPECT_TRUE(LogFileWritten());
}

TEST_F(StartupTest, LanguageComesBeforeTheSkinAndSettingsBeforeTheEngine) {
    uitest::WriteFile(dir.filePath("Languages/Language.ini"), "[LCID]\n2052=Chinese\n");
    uitest::WriteFile(dir.filePath("Languages/Chinese.lng"),
                      "[ProgramOutStr]\ndevice status=\xE8\xAE\xBE\xE5\xA4\x87\xE7\x8A\xB6"
                      "\xE6\x80\x81\n");
    uitest::WriteFile(dir.filePath("Setting.ini"),
                      "[Setting]\nretransmission_max=7\nretransmission_interval=1500\n");
    const char* saved[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> before[3];
    for (int i = 0; i < 3; ++i)
        if (const char* v = getenv(saved[i])) before[i] = v;
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "zh_CN.UTF-8", 1);

    RunStartup();

    for (int i = 0; i < 3; ++i) {
        if (before[i])
            setenv(saved[i], before[i]->c_str(), 1);
        else
            unsetenv(saved[i]);
    }
    EXPECT_TRUE(windowShown);
    EXPECT_EQ(engineSawMax, 7);
    EXPECT_EQ(engineSawInterval, 1500);
    EXPECT_EQ(engineSawHelpPicture, folder + "Skin/help_chinese.jpg");
    EXPECT_EQ(firstButtonCaption,
              QString::fromUtf8("\xE8\xAE\xBE\xE5\xA4\x87\xE7\x8A\xB6\xE6\x80\x81"));
}

}  // namespace
