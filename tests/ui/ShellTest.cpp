// The main window, the navigation panel and the page container.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "app/Language.h"
#include "platform/ProgramFolder.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/PageTurn.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationDlg.h"
#include "ui/main/CChildDlg.h"
#include "ui/main/CMenuDlg.h"
#include "ui/main/PageIds.h"

namespace {

// A page that counts what the container asks of it.
class CountingPage : public CPageDlg {
  public:
    CountingPage(QWidget* parent, int id) : CPageDlg(parent, id) {}
    void RefreshPage() override { ++refreshes; }
    void OnPageTurn(int value) override { turns.push_back(value); }
    int refreshes = 0;
    std::vector<int> turns;
};

class ContainerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::UseShippedLook();
        host.resize(1100, 700);
        menu = new CMenuDlg(&host);
        container = new CChildDlg(&host, [](int id, QWidget* parent) -> CPageDlg* {
            return new CountingPage(parent, id);
        });
        menu->SetContainer(container);
        container->move(menu->width(), 86);
    }
    CountingPage* Page(int id) { return static_cast<CountingPage*>(container->Page(id)); }
    int Refreshes(int id) { return Page(id)->refreshes; }
    // Lets the 100 ms page refresh run out.
    void LetPageRefreshRun() {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !container->PageRefreshTimer().isActive(); }, 1000));
    }

    QWidget host;
    CMenuDlg* menu = nullptr;
    CChildDlg* container = nullptr;
};

TEST_F(ContainerTest, StartsOnTheStatusPageAndRefreshesItOnce) {
    EXPECT_EQ(container->CurrentPageId(), IDD_STATUS_PAGE);
    EXPECT_EQ(theApp.m_hChildWnd.data(), container);
    for (int id : kPageIdsByIndex)
        EXPECT_EQ(Page(id)->isVisibleTo(container), id == IDD_STATUS_PAGE);
    EXPECT_EQ(Refreshes(IDD_STATUS_PAGE), 0);  // not at once, 100 ms later
    LetPageRefreshRun();
    EXPECT_EQ(Refreshes(IDD_STATUS_PAGE), 1);
    EXPECT_TRUE(container->AutoRefreshTimer().isActive());
    EXPECT_EQ(container->AutoRefreshTimer().interval(), 30000);
}

TEST_F(ContainerTest, NavigationShowsThePageAndRefreshesItOnceAlsoWhenChosenAgain) {
    LetPageRefreshRun();
    QTest::mouseClick(menu->Button(1), Qt::LeftButton);  // "Device management"
    EXPECT_EQ(container->CurrentPageId(), IDD_MANAGEMENT_PAGE);
    for (int id : kPageIdsByIndex)
        EXPECT_EQ(Page(id)->isVisibleTo(container), id == IDD_MANAGEMENT_PAGE);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(menu->Button(i)->IsSelected(), i == 1);
    EXPECT_EQ(Refreshes(IDD_MANAGEMENT_PAGE), 0);
    LetPageRefreshRun();
    EXPECT_EQ(Refreshes(IDD_MANAGEMENT_PAGE), 1);

    QTest::mouseClick(menu->Button(1), Qt::LeftButton);
    LetPageRefreshRun();
    EXPECT_EQ(Refreshes(IDD_MANAGEMENT_PAGE), 2);
    EXPECT_EQ(Refreshes(IDD_STATUS_PAGE), 1);

    // Each button shows its own page (Upgrade and Restore swap places in the array).
    const int expected[8] = {133, 134, 135, 136, 137, 138, 155, 139};
    for (int i = 0; i < 8; ++i) {
        QTest::mouseClick(menu->Button(i), Qt::LeftButton);
        EXPECT_EQ(container->CurrentPageId(), expected[i]);
        EXPECT_TRUE(Page(expected[i])->isVisibleTo(container));
    }
}

TEST_F(ContainerTest, AutomaticRefreshSkipsRebootRestoreUpgradeAndAClearedFlag) {
    LetPageRefreshRun();
    const struct {
        int page;
        bool refreshed;
    } cases[] = {{133, true}, {134, true}, {135, true}, {136, false}, {137, false}, {138, false}};
    for (const auto& c : cases) {
        container->ShowPage(c.page);
        LetPageRefreshRun();
        const int before = Refreshes(c.page);
        container->OnTimer(CChildDlg::TIMER_AUTO_REFRESH);
        EXPECT_EQ(Refreshes(c.page) - before, c.refreshed ? 1 : 0) << "page " << c.page;
    }

    container->ShowPage(IDD_STATUS_PAGE);
    LetPageRefreshRun();
    container->SetAutoRefresh(false);
    const int before = Refreshes(IDD_STATUS_PAGE);
    container->OnTimer(CChildDlg::TIMER_AUTO_REFRESH);
    EXPECT_EQ(Refreshes(IDD_STATUS_PAGE), before);
    // Choosing a page still refreshes it.
    QTest::mouseClick(menu->Button(0), Qt::LeftButton);
    LetPageRefreshRun();
    EXPECT_EQ(Refreshes(IDD_STATUS_PAGE), before + 1);
}

TEST_F(ContainerTest, PageTurnReachesListPagesOnly) {
    for (int id : {133, 134, 135, 136, 137, 138}) SendPageTurn(container, id, id - 130);
    for (int id : {133, 134, 135, 136, 137, 138})
        EXPECT_EQ(Page(id)->turns, std::vector<int>{id - 130});
    for (int id : {139, 155, 140, 0}) SendPageTurn(container, id, 2);
    EXPECT_TRUE(Page(139)->turns.empty());
    EXPECT_TRUE(Page(155)->turns.empty());
    // The two pages without lists are never refreshed either.
    container->ShowPage(IDD_SYSTEM_TOOL_PAGE);
    LetPageRefreshRun();
    container->OnTimer(CChildDlg::TIMER_AUTO_REFRESH);
    EXPECT_EQ(Refreshes(IDD_SYSTEM_TOOL_PAGE), 0);
}

TEST_F(ContainerTest, NavigationButtonsAreCentredWithTheVersionBelow) {
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(menu->Button(i)->Alignment(), CTButtonPicture::kAlignCenter);
    EXPECT_EQ(menu->VersionLabel()->text().toStdString(), theApp.m_strVersion);
    EXPECT_EQ(menu->VersionLabel()->TextColor(), ToQColor(theApp.m_settings.StaticTextNumberColor));
    EXPECT_FALSE(menu->Button(0)->StateImage(CTButtonPicture::Pressed).isNull());
}

// ---- the main window ----

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::UseShippedLook();
        LoadLanguage(uitest::SourceFolder());
    }
};

TEST_F(MainWindowTest, LayoutButtonsAndTips) {
    CApplicationDlg dlg;
    EXPECT_EQ(dlg.size(), QSize(1056, 674));
    EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dlg.MenuPanel()->pos(), QPoint(0, 158));
    EXPECT_EQ(dlg.Container()->pos(), QPoint(dlg.MenuPanel()->width(), 86));
    EXPECT_EQ(dlg.MinButton()->toolTip(), TrText("Min"));
    EXPECT_EQ(dlg.CloseButton()->toolTip(), TrText("Close"));
    EXPECT_EQ(dlg.HelpButton()->toolTip(), TrText("Info"));
    EXPECT_FALSE(dlg.windowIcon().isNull());
    EXPECT_TRUE(dlg.HasBackgroundImage());
    EXPECT_TRUE(dlg.m_bDrag);
    EXPECT_EQ(theApp.m_hChildWnd.data(), dlg.Container());
}

TEST_F(MainWindowTest, EnterAndEscapeKeepItOpenAndCloseEndsIt) {
    CApplicationDlg dlg;
    int result = -1;
    QTimer::singleShot(0, &dlg, [&] {
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QTest::keyClick(&dlg, Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        QTest::mouseClick(dlg.CloseButton(), Qt::LeftButton);
    });
    result = dlg.RunModal();
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(MainWindowTest, MinimiseWithoutATrayKeepsTheWindowReachable) {
    CApplicationDlg dlg;
    dlg.show();
    ASSERT_FALSE(dlg.HasTray()) << "this test expects a desktop without a tray";
    dlg.OnMinimize();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.isMinimized());
}

TEST_F(MainWindowTest, TrayExitEndsTheWindowLikeClose) {
    CApplicationDlg dlg;
    QTimer::singleShot(0, &dlg, [&] {
        dlg.hide();  // hidden to the tray: the window keeps running
        QTimer::singleShot(20, &dlg, [&] { dlg.OnCommand(CApplicationDlg::ID_TRAY_EXIT); });
    });
    EXPECT_EQ(dlg.RunModal(), QDialog::Accepted);
}

TEST_F(MainWindowTest, HelpMenuHasItsFourTranslatedItemsWithPictures) {
    CApplicationDlg dlg;
    QMenu* menu = dlg.BuildHelpMenu();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    const char* texts[4] = {"Product", "Support", "Contact Us", "Help"};
    const int ids[4] = {32774, 32775, 32779, 57670};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(actions[i]->text(), TrText(texts[i]));
        EXPECT_EQ(actions[i]->data().toInt(), ids[i]);
        EXPECT_FALSE(actions[i]->icon().isNull());
    }
    QMenu* tray = dlg.BuildTrayMenu();
    ASSERT_EQ(tray->actions().size(), 2);
    EXPECT_EQ(tray->actions()[0]->text(), TrText("Show Utility"));
    EXPECT_EQ(tray->actions()[1]->text(), TrText("Exit"));
}

TEST_F(MainWindowTest, HelpLinksComeFromTheLanguageFile) {
    // The shipped English file points the four links at sections of the README beside the
    // program.
    theApp.m_strProgramFolder = "/opt/merrowin/";
    const char* keys[4] = {"Product_url", "Support_url", "Contact_url", "Help_url"};
    const int ids[4] = {CApplicationDlg::ID_HELP_PRODUCT, CApplicationDlg::ID_HELP_SUPPORT,
                        CApplicationDlg::ID_HELP_CONTACT, CApplicationDlg::ID_HELP_HELP};
    for (int i = 0; i < 4; ++i) {
        const QString link = CApplicationDlg::HelpLink(ids[i]);
        EXPECT_NE(link, QString::fromLatin1(keys[i])) << "no entry for " << keys[i];
        const QUrl url = CApplicationDlg::HelpUrl(ids[i]);
        EXPECT_TRUE(url.isLocalFile()) << url.toString().toStdString();
        EXPECT_EQ(url.toLocalFile(), "/opt/merrowin/README.md");
        EXPECT_FALSE(url.fragment().isEmpty());
    }
    theApp.m_strProgramFolder = platform::GetProgramFolder();
}

}  // namespace
