// Translating whole windows and menus through the language file.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <cstdlib>
#include <optional>

#include "app/Language.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTDialog.h"
#include "ui/controls/CTStatic.h"
#include "ui/controls/TranslateWindow.h"

namespace {

class TranslateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (int i = 0; i < 3; ++i)
            if (const char* v = getenv(kVars[i])) saved[i] = v;
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", "en_US.UTF-8", 1);
        uitest::WriteFile(dir.filePath("Languages/Language.ini"), "[LCID]\n1033=Test\n");
        // "okay" translates again, so a second translation of a window would show.
        uitest::WriteFile(dir.filePath("Languages/Test.lng"),
                          "[ProgramOutStr]\n"
                          "ok=Okay\n"
                          "okay=Fine\n"
                          "cancel=[~NullInfoChrys~]\n"
                          "device status=Status of devices\n"
                          "settings=Set\\r\\nup\n"
                          "low=Low level\n"
                          "high=High level\n"
                          "page=[~Null~]\n"
                          "device name=Name\n"
                          "product=Our product\n"
                          "more=More things\n"
                          "...=Three dots\n");
        LoadLanguage(dir.path().toStdString() + "/");
        ASSERT_EQ(GetLanguage().Name(), "Test");
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i) {
            if (saved[i])
                setenv(kVars[i], saved[i]->c_str(), 1);
            else
                unsetenv(kVars[i]);
        }
        LoadLanguage(uitest::SourceFolder());
    }

    static constexpr const char* kVars[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved[3];
    QTemporaryDir dir;
};

TEST_F(TranslateTest, DialogTextsAreTranslatedOnceAndDataIsLeftAlone) {
    CTDialog dlg;
    dlg.setWindowTitle("Device status");
    auto* ok = new CTButtonPicture(&dlg);
    ok->setText("OK");
    auto* cancel = new QPushButton("Cancel", &dlg);
    auto* label = new CTStatic("Settings", &dlg);
    auto* dots = new CTStatic("...", &dlg);
    auto* page = new CTStatic("Page", &dlg);
    auto* unknown = new CTStatic("No entry here", &dlg);
    auto* edit = new QLineEdit("Device name", &dlg);
    auto* combo = new QComboBox(&dlg);
    combo->addItem("Low", 15);
    combo->addItem("High", 30);
    combo->addItem("Other", 50);
    combo->setCurrentIndex(1);

    TranslateDialog(&dlg);
    EXPECT_EQ(dlg.windowTitle(), "Status of devices");
    EXPECT_EQ(ok->text(), "Okay");
    // An empty translation (the marker) is text set at run time, never a window's new text.
    EXPECT_EQ(cancel->text(), "Cancel");
    EXPECT_EQ(TrText("Cancel"), "");
    EXPECT_EQ(label->text(), "Set\r\nup");
    EXPECT_EQ(dots->text(), "...");
    EXPECT_EQ(page->text(), " ");
    EXPECT_EQ(unknown->text(), "No entry here");
    EXPECT_EQ(edit->text(), "Device name");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Low level");
    EXPECT_EQ(combo->itemText(1), "High level");
    EXPECT_EQ(combo->itemText(2), "Other");
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->itemData(1).toInt(), 30);

    // Initialised again: nothing is translated twice ("Okay" would become "Fine").
    TranslateDialog(&dlg);
    EXPECT_EQ(ok->text(), "Okay");
    EXPECT_EQ(dlg.windowTitle(), "Status of devices");
}

TEST_F(TranslateTest, ControlsAddedToATranslatedParentAreTranslatedWithTheirOwnDialog) {
    CTDialog outer;
    TranslateDialog(&outer);
    auto* inner = new CTDialog(&outer, true);
    auto* button = new CTButtonPicture(inner);
    button->setText("OK");
    TranslateDialog(inner);
    EXPECT_EQ(button->text(), "Okay");
}

TEST_F(TranslateTest, MenusAndSubmenusAreTranslated) {
    QMenu menu;
    menu.addAction("Product");
    menu.addSeparator();
    QMenu* sub = menu.addMenu("More");
    sub->addAction("OK");
    menu.addAction("Untranslated");
    TranslateMenu(&menu);
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), "Our product");
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "More things");
    EXPECT_EQ(actions[2]->menu(), sub);
    EXPECT_EQ(sub->actions()[0]->text(), "Okay");
    EXPECT_EQ(actions[3]->text(), "Untranslated");
}

}  // namespace
