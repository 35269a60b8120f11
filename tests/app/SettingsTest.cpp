#include <gtest/gtest.h>

#include <climits>

#include "RepoRoot.h"
#include "TempFolder.h"
#include "app/ProgramInfo.h"
#include "app/Settings.h"
#include "app/SkinPaths.h"

namespace {

constexpr ColorRef kUntouched = MakeColor(1, 2, 3);

TEST(ParseColor, ThreeNumbersFromZeroTo255) {
    const struct {
        const char* text;
        bool ok;
        ColorRef color;
    } cases[] = {
        {"255,0,0", true, 0x0000FF},
        {"0,0,255", true, 0xFF0000},
        {"10, 20 ,30", true, MakeColor(10, 20, 30)},  // blanks before, text after the digits
        {" 7x,+8y,9z", true, MakeColor(7, 8, 9)},
        {"'1,2',3,4", true, MakeColor(0, 3, 4)},  // a quoted part keeps its comma
        {"0,0,0", true, 0},
        {"10,20", false, kUntouched},
        {"10,20,30,40", false, kUntouched},
        {"1,2,3,", false, kUntouched},
        {"256,0,0", false, kUntouched},
        {"-1,0,0", false, kUntouched},
        {"\"1,2,3\"", false, kUntouched},  // one quoted part
        {"", false, kUntouched},
        {"99999999999,0,0", false, kUntouched},
    };
    for (const auto& c : cases) {
        ColorRef color = kUntouched;
        EXPECT_EQ(ParseColor(c.text, color), c.ok) << c.text;
        EXPECT_EQ(color, c.color) << c.text;
    }
}

TEST(TextToInt, FollowsTheCLibraryRule) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"15", 15},
                 {"  -42abc", -42},
                 {"+7", 7},
                 {"abc", 0},
                 {"", 0},
                 {" \t 700", 700},
                 {"- 5", 0},
                 {"99999999999", INT_MAX},
                 {"-99999999999", INT_MIN}};
    for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text), c.value) << c.text;
}

TEST(ReadSettings, NoFileGivesTheDefaults) {
    TempFolder tmp;
    const AppSettings s = ReadSettings(tmp.Path());
    EXPECT_EQ(s.retransmission_max, 3);
    EXPECT_EQ(s.retransmission_interval, 2000);
    EXPECT_EQ(s.ChildBkColor, MakeColor(255, 255, 255));
    EXPECT_EQ(s.TextDownColor, MakeColor(216, 34, 40));
    EXPECT_EQ(s.FontName, "Arial");
    EXPECT_EQ(s.GridTitleFont.height, 15);
    EXPECT_EQ(s.GridTitleFont.weight, 700);
    EXPECT_EQ(s.GridTitleFont.face_name, "Arial");
    EXPECT_EQ(s.GridFont.weight, 0);
    EXPECT_EQ(s.grid_row_height, 48);
}

// The shipped file holds every key at its default, so deleting it changes nothing.
TEST(ReadSettings, ShippedFileHoldsEveryKeyAtItsDefault) {
    const COperateFileIni shipped = COperateFileIni::Load(RepoRoot() + "Setting.ini");
    for (const SettingKey& k : SettingKeys())
        EXPECT_EQ(shipped.Find(k.section, k.key), std::string(k.default_text)) << k.key;

    TempFolder empty;
    const AppSettings a = ReadSettings(RepoRoot()), b = ReadSettings(empty.Path());
    for (const SettingKey& k : SettingKeys()) {
        std::visit([&](auto field) { EXPECT_EQ(a.*field, b.*field) << k.key; }, k.field);
    }
}

TEST(ReadSettings, CaseInsensitiveNamesBadValuesAndCuts) {
    TempFolder tmp;
    const std::string face40(40, 'F');
    tmp.Write("Setting.ini",
              "[color]\n"
              "CHILDBKCOLOR = 10, 20 ,30\n"
              "LineColor=10,20\n"  // not three numbers: black, not the default
              "TextDownColor=256,0,0\n"
              "[FONT]\n"
              "fontname=" +
                  face40 +
                  "\n"
                  "GridTitleFontHeight=abc\n"  // not a number: 0
                  "GridFontWeight=400\n"
                  "[Setting]\n"
                  "retransmission_max=5\n");
    const AppSettings s = ReadSettings(tmp.Path());
    EXPECT_EQ(s.ChildBkColor, MakeColor(10, 20, 30));
    EXPECT_EQ(s.LineColor, 0u);
    EXPECT_EQ(s.TextDownColor, 0u);
    EXPECT_EQ(s.GridTitleTextColor, MakeColor(237, 112, 32)) << "missing key: default";
    EXPECT_EQ(s.FontName, face40) << "used whole for buttons and static texts";
    EXPECT_EQ(s.GridTitleFont.face_name, face40.substr(0, 31));
    EXPECT_EQ(s.GridFont.face_name, face40.substr(0, 31));
    EXPECT_EQ(s.GridTitleFont.height, 0);
    EXPECT_EQ(s.GridTitleFontHeight, 0);
    EXPECT_EQ(s.GridFont.weight, 400);
    EXPECT_EQ(s.retransmission_max, 5);
    EXPECT_EQ(s.retransmission_interval, 2000);
}

TEST(ReadSetting, UsesTheFirst63Characters) {
    const std::string long_value(70, 'v');
    const std::string face62 = std::string(62, 'a') + "\xF0\x9F\x98\x80";  // pair at 63-64
    const COperateFileIni ini =
        COperateFileIni::Parse("[Font]\nFontName=" + long_value + "\nOther=" + face62 + "\n");
    EXPECT_EQ(ReadSetting(ini, "Font", "FontName", "Arial"), long_value.substr(0, 63));
    EXPECT_EQ(ReadSetting(ini, "Font", "Other", ""), std::string(62, 'a'));
    EXPECT_EQ(ReadSetting(ini, "Font", "Missing", "Arial"), "Arial");
}

TEST(SkinPaths, LanguageVariantsAndShippedFiles) {
    const SkinPaths zh = BuildSkinPaths("/p/", 2052);
    const SkinPaths en = BuildSkinPaths("/p/", 1033);
    EXPECT_EQ(zh.web_icon, "/p/Skin/web_chinese.bmp");
    EXPECT_EQ(zh.install_help, "/p/Skin/help_chinese.jpg");
    EXPECT_EQ(en.bridge_icon, "/p/Skin/bridge_other.bmp");
    EXPECT_EQ(BuildSkinPaths("/p/", 1028).web_icon, "/p/Skin/web_other.bmp");
    EXPECT_EQ(en.update,
              (ButtonImages{"/p/Skin/btn_update_normal.bmp", "/p/Skin/btn_update_normal.bmp",
                            "/p/Skin/btn_update_down.bmp", "/p/Skin/btn_update_normal.bmp"}));
    EXPECT_EQ(en.menu_first[2], "/p/Skin/bt_menu_search_down.bmp") << "pressed";
    EXPECT_EQ(en.signal_strength[5], "/p/Skin/singal_strength5.bmp");

    // Every path names a file the repository ships.
    for (const SkinPaths& s : {BuildSkinPaths(RepoRoot(), 2052), BuildSkinPaths(RepoRoot(), 0)}) {
        std::vector<std::string> all = {
            s.main_bk,      s.main_left_bk, s.application_icon, s.help_product, s.help_support,
            s.help_contact, s.help_help,    s.search_left,      s.search_right, s.line,
            s.gray_line,    s.orange_line,  s.wait_close,       s.tab_selected, s.tab_other,
            s.wait_search,  s.edit_icon,    s.web_icon,         s.bridge_icon,  s.install_help,
            s.bridge_finish};
        for (const ButtonImages* b :
             {&s.main_close, &s.main_min, &s.main_help, &s.menu_first, &s.menu_other, &s.search,
              &s.update, &s.config_primary, &s.config_secondary, &s.config_close})
            all.insert(all.end(), b->begin(), b->end());
        all.insert(all.end(), s.signal_strength.begin(), s.signal_strength.end());
        for (const std::string& path : all)
            EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    }
}

TEST(VersionText, FourParts) {
    EXPECT_EQ(VersionText("1.2.3.4"), "V1.2.3.4");
    EXPECT_EQ(VersionText("0.1.0"), "V0.1.0.0");
    EXPECT_EQ(VersionText("2"), "V2.0.0.0");
    EXPECT_EQ(VersionText(""), "V");
    EXPECT_EQ(VersionText("1.x"), "V");
    EXPECT_EQ(GetVersionText().substr(0, 1), "V");
    EXPECT_GT(GetVersionText().size(), 1u) << "the build has a version";
}

}  // namespace
