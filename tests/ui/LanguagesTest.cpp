// The shipped language files against the texts the program shows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <cstdlib>
#include <optional>

#include "app/Language.h"
#include "app/OperateFileIni.h"
#include "app/TextCase.h"
#include "common/ChannelPlan.h"
#include "common/Validation.h"
#include "common/ValueTables.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CAboutDlg.h"
#include "ui/main/CApplicationDlg.h"
#include "ui/main/CMenuDlg.h"

namespace {

const std::string kLanguages = uitest::SourceFolder() + "Languages/";

bool HasEntry(const COperateFileIni& lng, const std::string& source) {
    return lng.Find("ProgramOutStr", source).has_value();
}

// Texts that read the same in every language: protocol and product names, units, numbers.
bool SameInEveryLanguage(const QString& text) {
    static const QSet<QString> words = {"Merrowin", "AP",   "SSID", "MAC",    "IP",  "VLAN", "WLAN",
                                        "LAN",      "PVID", "WEP",  "WPA",    "PSK", "AES",  "TKIP",
                                        "ASCII",    "TDMA", "DNS",  "RADIUS", "MHz", "PoE",  "WISP",
                                        "N",        "A",    "V",    "Off",    "HEX"};
    static const QRegularExpression split("[^A-Za-z]+");
    for (const QString& word : text.split(split, Qt::SkipEmptyParts)) {
        if (word.size() == 1 && word[0].isLower()) continue;  // "11b/g/n"
        if (!words.contains(word)) return false;
    }
    return true;
}

bool IsChinese(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    return false;
}

// Every literal the window code passes to the lookup.
std::vector<std::string> LiteralSourceTexts() {
    std::vector<std::string> texts;
    static const QRegularExpression call(
        R"re((?:TrText|TranslateText)\(\s*"((?:[^"\\]|\\.)*)"\s*\))re");
    QDirIterator it(QString::fromStdString(uitest::SourceFolder() + "ui"), {"*.cpp", "*.h"},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QString code = QString::fromUtf8(file.readAll());
        for (auto m = call.globalMatch(code); m.hasNext();)
            texts.push_back(m.next().captured(1).toStdString());
    }
    return texts;
}

// Every source text the value tables, the country list and the input checks hand to the lookup.
std::vector<std::string> TableSourceTexts() {
    std::vector<std::string> texts;
    const Translator record = [&texts](const std::string& s) {
        texts.push_back(s);
        return s;
    };
    for (int code = 0; code < 12; ++code) {
        GetStatusText(code, record);
        GetWorkModeText(code, record);
        GetSecureModeText(code, record);
    }
    GetChannelText(0, record);
    GetTransparentText(1, 1, 1, record);
    GetTransparentText(1, 1, 0, record);
    for (int row = 0; row < kCountryCount; ++row) texts.push_back(GetCountryName(row));

    const std::u16string longName(40, u'a');
    const CheckResult failures[] = {
        CheckIpSettings({"300.1.1.1", "255.255.255.0", "", "", "", ""}),
        CheckIpSettings({"10.0.0.5", "255.0.255.0", "", "", "", ""}),
        CheckIpSettings({"10.0.0.5", "255.255.255.0", "10.0.1.1", "", "", ""}),
        CheckIpSettings({"10.0.0.5", "255.255.255.0", "10.0.0.5", "", "", ""}),
        CheckDeviceName(u"", 1),
        CheckDeviceName(longName, 1),
        CheckDeviceName(longName, 17),
        CheckSsid(u"", 1),
        CheckSsid(longName, 1),
        CheckSsid(longName, 17),
        CheckPskSettings(u"short", u"0"),
        CheckPskSettings(u"longenough", u""),
        CheckPskSettings(u"longenough", u"5"),
        CheckWepKey(u"abc", false),
        CheckWepKey(u"abc", true),
        CheckTxPower(u"99", 1, 27),
        CheckRebootTime(u"", u"", true),
        CheckRebootTime(u"25", u"0", true),
        CheckRebootTime(u"1", u"1", false),
    };
    for (const CheckResult& r : failures) {
        EXPECT_FALSE(r.ok);
        MessageText(r, record);
    }
    return texts;
}

class LanguagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        chinese = COperateFileIni::Load(kLanguages + "Chinese.lng");
        english = COperateFileIni::Load(kLanguages + "English.lng");
        ASSERT_FALSE(chinese.Empty());
        ASSERT_FALSE(english.Empty());
    }
    COperateFileIni chinese;
    COperateFileIni english;
};

TEST_F(LanguagesTest, ChineseIsTheLanguageOfLocale2052) {
    const COperateFileIni map = COperateFileIni::Load(kLanguages + "Language.ini");
    EXPECT_EQ(map.Find("LCID", "2052"), std::optional<std::string>("Chinese"));
}

TEST_F(LanguagesTest, EverySourceTextOfTheCodeHasAChineseEntry) {
    std::vector<std::string> texts = LiteralSourceTexts();
    EXPECT_GT(texts.size(), 5u) << "the scan found no lookups";
    for (const std::string& t : TableSourceTexts()) texts.push_back(t);
    for (const std::string& t : texts) {
        if (t.empty() || SameInEveryLanguage(QString::fromStdString(t))) continue;
        EXPECT_TRUE(HasEntry(chinese, t)) << "no Chinese entry for \"" << t << "\"";
    }
}

TEST_F(LanguagesTest, KeyLikeLabelsAndLinksHaveEnglishTexts) {
    for (const char* key : {"Product_url", "Support_url", "Contact_url", "Help_url"}) {
        EXPECT_TRUE(HasEntry(english, key)) << key;
        EXPECT_EQ(english.Find("ProgramOutStr", key), chinese.Find("ProgramOutStr", key)) << key;
    }
    // A label written as a key (underscores, run-together words, a trailing digit) is no text
    // for people; English needs its own display text for it.
    static const QRegularExpression keyLike("_|[a-z][A-Z]|^[A-Z]{4,}$|[a-z][0-9]$");
    std::vector<std::string> texts = LiteralSourceTexts();
    for (const std::string& t : TableSourceTexts()) texts.push_back(t);
    for (const std::string& t : texts) {
        const QString text = QString::fromStdString(t);
        if (!keyLike.match(text).hasMatch() || text.contains(' ') || SameInEveryLanguage(text))
            continue;
        EXPECT_TRUE(HasEntry(english, t)) << "no English text for the label \"" << t << "\"";
    }
}

TEST_F(LanguagesTest, TranslationsKeepTheirPlaceholders) {
    for (const std::string& t : TableSourceTexts()) {
        if (t.find('%') == std::string::npos) continue;
        const auto zh = chinese.Find("ProgramOutStr", t);
        ASSERT_TRUE(zh.has_value()) << t;
        EXPECT_EQ(QString::fromStdString(*zh).count('%'), QString::fromStdString(t).count('%'))
            << t;
    }
    for (const std::string& t : LiteralSourceTexts()) {
        const auto zh = chinese.Find("ProgramOutStr", t);
        if (!zh) continue;
        EXPECT_EQ(QString::fromStdString(*zh).count("%d"), QString::fromStdString(t).count("%d"))
            << t;
    }
}

// Under the Chinese language every window shows Chinese, apart from names that read the same
// in every language.
class ChineseWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i)
            if (const char* v = getenv(kVars[i])) saved[i] = v;
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", "zh_CN.UTF-8", 1);
        LoadLanguage(uitest::SourceFolder());
        ASSERT_EQ(GetLanguage().Name(), "Chinese");
        uitest::UseShippedLook();
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

    void Collect(const QString& where, const QString& text) {
        const QString t = QString(text).remove('&').trimmed();
        if (t.isEmpty() || t == "..." || IsChinese(t) || SameInEveryLanguage(t)) return;
        untranslated.push_back((where + ": \"" + t + "\"").toStdString());
    }
    void CollectWindow(QWidget* window) {
        const QString name = QString::fromLatin1(window->metaObject()->className());
        Collect(name + " caption", window->windowTitle());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (auto* b = qobject_cast<QAbstractButton*>(w)) Collect(name, b->text());
            if (auto* l = qobject_cast<QLabel*>(w); l && l->objectName() != "static1024")
                Collect(name, l->text());
            if (auto* g = qobject_cast<QGroupBox*>(w)) Collect(name, g->title());
            if (auto* c = qobject_cast<QComboBox*>(w))
                for (int i = 0; i < c->count(); ++i) Collect(name, c->itemText(i));
            if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model())
                for (int c = 0; c < v->model()->columnCount(); ++c)
                    Collect(name + " column", v->model()->headerData(c, Qt::Horizontal).toString());
            if (!w->toolTip().isEmpty()) Collect(name + " tip", w->toolTip());
        }
    }
    void CollectMenu(QMenu* menu) {
        for (QAction* a : menu->actions()) Collect("menu", a->text());
    }

    static constexpr const char* kVars[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved[3];
    std::vector<std::string> untranslated;
};

TEST_F(ChineseWindowsTest, EveryShownTextIsTranslated) {
    CApplicationDlg dlg;
    dlg.show();
    for (int i = 0; i < 8; ++i) QTest::mouseClick(dlg.MenuPanel()->Button(i), Qt::LeftButton);
    CollectWindow(&dlg);
    CollectMenu(dlg.BuildHelpMenu());
    CollectMenu(dlg.BuildTrayMenu());
    CAboutDlg about(&dlg);
    CollectWindow(&about);
    EXPECT_TRUE(untranslated.empty()) << ::testing::PrintToString(untranslated);
    // The check sees the windows' texts at all.
    EXPECT_EQ(dlg.MenuPanel()->Button(0)->text(), QString::fromUtf8("设备状态"));
}

}  // namespace
