#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/Locale.h"

namespace {

TEST(Locale, NamesMapToLocaleIds) {
    const struct {
        const char* name;
        int id;
    } cases[] = {
        {"zh_CN.UTF-8", 2052},
        {"zh_CN", 2052},
        {"zh_TW.UTF-8", 1028},
        {"en_US.UTF-8", 1033},
        {"en_GB.utf8", 2057},
        {"de_DE.UTF-8", 1031},
        {"de_AT@euro", 3079},
        {"fr_FR.ISO-8859-1", 1036},
        {"ja_JP.eucJP", 1041},
        {"sr_RS.UTF-8@latin", 9242},
        {"sr_RS.UTF-8", 10266},
        {"zh", 2052},
        {"de_BE.UTF-8", 1031},  // listed language, unlisted country: the language's main locale
        {"zh-cn", 2052},
        {"C", 1033},
        {"C.UTF-8", 1033},
        {"POSIX", 1033},
        {"", 1033},
        {"xx_YY", 1033},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::LocaleIdFromName(c.name), c.id) << c.name;
}

TEST(Locale, FirstNonEmptyOfLcAllLcMessagesLang) {
    EXPECT_EQ(platform::ChooseLocaleName("de_DE", "fr_FR", "zh_CN"), "de_DE");
    EXPECT_EQ(platform::ChooseLocaleName("", "fr_FR", "zh_CN"), "fr_FR");
    EXPECT_EQ(platform::ChooseLocaleName(nullptr, nullptr, "zh_CN"), "zh_CN");
    EXPECT_EQ(platform::ChooseLocaleName(nullptr, "", ""), "C");
}

TEST(Locale, ReadsTheEnvironment) {
    const char* saved[3] = {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
    const std::string keep[3] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "",
                                 saved[2] ? saved[2] : ""};
    unsetenv("LC_ALL");
    setenv("LC_MESSAGES", "zh_CN.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(platform::GetSystemLocaleId(), 2052);
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(platform::GetSystemLocaleId(), 1041);

    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i])
            setenv(names[i], keep[i].c_str(), 1);
        else
            unsetenv(names[i]);
    }
}

}  // namespace
