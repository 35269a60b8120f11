#include <gtest/gtest.h>

#include "TempFolder.h"
#include "app/OperateFileIni.h"
#include "app/TextCase.h"

namespace {

const char kSample[] =
    "\xEF\xBB\xBF"
    "orphan=before any section\r\n"
    "[Color]\r\n"
    "  ChildBkColor =  1,2,3  \r\n"
    "; comment=ignored\r\n"
    "line without equals sign\r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='x'\r\n"
    "Unbalanced=\"x'\r\n"
    "Empty=\r\n"
    "childbkcolor=9,9,9\r\n"
    "[ color ]\n"
    "Later=from the repeated section\n"
    "ChildBkColor=7,7,7\n"
    "[Other]\n"
    "Bad=\xC3\x28\n";

TEST(OperateFileIni, ReadsWithProfileRules) {
    const COperateFileIni ini = COperateFileIni::Parse(kSample);
    const struct {
        const char *section, *key;
        std::optional<std::string> value;
    } cases[] = {
        {"Color", "ChildBkColor", "1,2,3"},  // trimmed; first occurrence wins
        {"COLOR", "CHILDBKCOLOR", "1,2,3"},  // names ignore case
        {"Color", "Quoted", "  spaced  "},   // one pair of quotes removed, inside kept
        {"Color", "Single", "x"},
        {"Color", "Unbalanced", "\"x'"},
        {"Color", "Empty", ""},  // present, empty
        {"Color", "Later", "from the repeated section"},
        {"Color", "; comment", std::nullopt},
        {"Color", "line without equals sign", std::nullopt},
        {"Color", "orphan", std::nullopt},
        {"Missing", "ChildBkColor", std::nullopt},
        {"Other", "Bad", "\xEF\xBF\xBD("},  // invalid bytes repaired
    };
    for (const auto& c : cases) EXPECT_EQ(ini.Find(c.section, c.key), c.value) << c.key;
}

TEST(OperateFileIni, GetStringFallsBackAndCutsInCharacters) {
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97";  // three characters
    const COperateFileIni ini =
        COperateFileIni::Parse("[s]\nzh=" + chinese + "\nemoji=ab\xF0\x9F\x98\x80\n");
    EXPECT_EQ(ini.GetString("s", "zh", "", 2), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(ini.GetString("s", "zh", "", 3), chinese);
    EXPECT_EQ(ini.GetString("s", "emoji", "", 3), "ab") << "a surrogate pair is never split";
    EXPECT_EQ(ini.GetString("s", "emoji", "", 4), "ab\xF0\x9F\x98\x80");
    EXPECT_EQ(ini.GetString("s", "none", "fallback", 4), "fall");
    EXPECT_TRUE(COperateFileIni::Load("/nonexistent/file.ini").Empty());
}

TEST(OperateFileIni, WriteStringKeepsTheRestOfTheFile) {
    TempFolder tmp;
    const std::string path = tmp.Path() + "FileServer.ini";
    ASSERT_TRUE(COperateFileIni::WriteString(path, "SERVER", "Directory", "/srv/a"));
    EXPECT_EQ(ReadWholeFile(path), "[SERVER]\r\nDirectory=/srv/a\r\n");

    tmp.Write("FileServer.ini",
              "; keep me\n[server]\nPort=6969\ndirectory=/old\n\n[Other]\nDirectory=/x\n");
    ASSERT_TRUE(COperateFileIni::WriteString(path, "SERVER", "Directory", "/srv/b"));
    ASSERT_TRUE(COperateFileIni::WriteString(path, "SERVER", "Extra", "1"));
    ASSERT_TRUE(COperateFileIni::WriteString(path, "New", "k", "v"));
    EXPECT_EQ(ReadWholeFile(path),
              "; keep me\r\n[server]\r\nPort=6969\r\nDirectory=/srv/b\r\nExtra=1\r\n\r\n"
              "[Other]\r\nDirectory=/x\r\n\r\n[New]\r\nk=v\r\n");
    const COperateFileIni ini = COperateFileIni::Load(path);
    EXPECT_EQ(ini.Find("Server", "DIRECTORY"), "/srv/b");
    EXPECT_EQ(ini.Find("Other", "Directory"), "/x");

    EXPECT_FALSE(COperateFileIni::WriteString(path, "SERVER", "Directory", "a\nPort=1"));
    EXPECT_FALSE(COperateFileIni::WriteString(tmp.Path() + "no/such/dir/x.ini", "s", "k", "v"));
    EXPECT_EQ(COperateFileIni::Load(path).Find("Server", "Port"), "6969");
}

TEST(TextCase, LowersEveryCasedScript) {
    EXPECT_EQ(ToLowerText("Device Status"), "device status");
    EXPECT_EQ(ToLowerText("\xC3\x84\xC3\x96\xC3\x9C Stra\xC3\x9F"
                          "e"),
              "\xC3\xA4\xC3\xB6\xC3\xBC stra\xC3\x9F"
              "e");  // ÄÖÜ Straße
    EXPECT_EQ(ToLowerText("\xCE\x91\xCE\x92\xCE\x93"), "\xCE\xB1\xCE\xB2\xCE\xB3");  // ΑΒΓ
    EXPECT_EQ(ToLowerText("\xE8\xAE\xBE\xE5\xA4\x87 OK"), "\xE8\xAE\xBE\xE5\xA4\x87 ok");
}

}  // namespace
