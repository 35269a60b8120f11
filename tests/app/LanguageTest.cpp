#include <gtest/gtest.h>

#include <cstdlib>

#include "TempFolder.h"
#include "app/Language.h"
#include "app/SkinPaths.h"

namespace {

// A program folder with Language.ini mapping 2052 to Chinese and 1031 to a missing file.
class LanguageFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        tmp_.Write("Languages/Language.ini", "[LCID]\n2052=Chinese\n1031=Deutsch\n");
        tmp_.Write("Languages/Chinese.lng",
                   "[ProgramOutStr]\n"
                   "device status=\xE8\xAE\xBE\xE5\xA4\x87\xE7\x8A\xB6\xE6\x80\x81\n"
                   "two lines=first\\r\\nsecond\n"
                   "one line=a\\nb\n"
                   "ok=[~NullInfoChrys~]\n"
                   "cancel=\n"
                   "blank=[~Null~]\n"
                   "twice=first\n"
                   "TWICE=second\n"
                   "long=" +
                       std::string(1100, 'L') +
                       "\n"
                       "Product_url=https://example.invalid/product\n");
    }
    TempFolder tmp_;
};

TEST_F(LanguageFiles, TranslationsMarkersAndFallbacks) {
    CLanguage lang;
    lang.Load(tmp_.Path(), 2052);
    EXPECT_EQ(lang.Name(), "Chinese");
    EXPECT_EQ(lang.LocaleId(), 2052);
    EXPECT_EQ(lang.FilePath(), tmp_.Path() + "Languages/Chinese.lng");

    const struct {
        const char *source, *shown;
    } cases[] = {
        {"Device status", "\xE8\xAE\xBE\xE5\xA4\x87\xE7\x8A\xB6\xE6\x80\x81"},  // key ignores case
        {"DEVICE STATUS", "\xE8\xAE\xBE\xE5\xA4\x87\xE7\x8A\xB6\xE6\x80\x81"},
        {"Two lines", "first\r\nsecond"},
        {"One line", "a\nb"},
        {"OK", ""},            // the marker for an empty text
        {"Cancel", "Cancel"},  // an empty value is no translation
        {"Blank", " "},
        {"Twice", "first"},  // the first occurrence wins
        {"Untranslated", "Untranslated"},
        {"Product_url", "https://example.invalid/product"},
        {"Help_url", "Help_url"},                         // a link without entry gives its key
        {"Source\\nwith escape", "Source\nwith escape"},  // markers apply to the fallback too
    };
    for (const auto& c : cases) EXPECT_EQ(lang.Translate(c.source), c.shown) << c.source;
    EXPECT_EQ(lang.Translate("long"), std::string(1022, 'L'));
}

TEST_F(LanguageFiles, LocaleWithoutEntryIsEnglish) {
    CLanguage lang;
    lang.Load(tmp_.Path(), 1041);
    EXPECT_EQ(lang.Name(), "English");
    EXPECT_EQ(lang.LocaleId(), 1033);
    EXPECT_EQ(lang.Translate("Device status"), "Device status");
}

TEST_F(LanguageFiles, EntryNamingAMissingFileKeepsTheLocale) {
    CLanguage lang;
    lang.Load(tmp_.Path(), 1031);
    EXPECT_EQ(lang.Name(), "Deutsch");
    EXPECT_EQ(lang.LocaleId(), 1031);
    EXPECT_EQ(lang.Translate("OK"), "OK");

    // On a Chinese system whose language file is missing, the Chinese pictures stay chosen.
    tmp_.Write("Languages/Chinese.lng", "");
    lang.Load(tmp_.Path(), 2052);
    EXPECT_EQ(lang.Translate("Device status"), "Device status");
    EXPECT_EQ(BuildSkinPaths(tmp_.Path(), lang.LocaleId()).web_icon,
              tmp_.Path() + "Skin/web_chinese.bmp");
}

TEST(Language, NoLanguagesFolder) {
    TempFolder tmp;
    CLanguage lang;
    lang.Load(tmp.Path(), 2052);
    EXPECT_EQ(lang.LocaleId(), 1033);
    EXPECT_EQ(lang.Translate("Device status"), "Device status");
    EXPECT_EQ(BuildSkinPaths(tmp.Path(), lang.LocaleId()).web_icon,
              tmp.Path() + "Skin/web_other.bmp");
}

TEST_F(LanguageFiles, ProcessLanguageFollowsTheSystemLocale) {
    EXPECT_EQ(TranslateText(static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(TranslateText("OK"), "OK") << "before start-up chose a language";
    setenv("LC_ALL", "zh_CN.UTF-8", 1);
    LoadLanguage(tmp_.Path());
    unsetenv("LC_ALL");
    EXPECT_EQ(GetLanguage().LocaleId(), 2052);
    EXPECT_EQ(GetLanguage().ProgramFolder(), tmp_.Path());
    EXPECT_EQ(TranslateText("OK"), "");
    EXPECT_EQ(TranslateText(std::string("Two lines")), "first\r\nsecond");
}

}  // namespace
