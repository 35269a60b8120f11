#include <gtest/gtest.h>

#include <set>

#include "common/ValueTables.h"

namespace {

// Marks every lookup so a test can tell translated texts from untranslated ones.
std::string Bracket(const std::string& s) { return "[" + s + "]"; }

TEST(UpTimeText, FormatsDaysOnlyWhenPresentAndNoLeadingZeros) {
    struct Case {
        std::uint32_t seconds;
        const char* text;
    } cases[] = {
        {0, "0:0:0"},
        {59, "0:0:59"},
        {3599, "0:59:59"},
        {86399, "23:59:59"},
        {86400, "1 0:0:0"},
        {90061, "1 1:1:1"},
        {4294967295u, "49710 6:28:15"},
    };
    for (const Case& c : cases) EXPECT_EQ(GetUpTimeText(c.seconds), c.text) << c.seconds;
}

TEST(ModelTable, FortyOneDistinctNamesThatRoundTrip) {
    const auto codes = GetApTypeCodes();
    ASSERT_EQ(codes.size(), 41u);
    std::set<std::string> names;
    for (int code : codes) {
        const std::string& name = GetApTypeText(code);
        EXPECT_FALSE(name.empty());
        EXPECT_LE(name.size(), 32u) << "must fit the char(33) column: " << name;
        names.insert(name);
        // A duplicate name would send the reverse lookup to the wrong type.
        EXPECT_EQ(ApTypeFromText(name), code) << name;
    }
    EXPECT_EQ(names.size(), 41u);
    EXPECT_EQ(codes.front(), 1);
    EXPECT_EQ(codes[18], 19);
    EXPECT_EQ(codes[19], 257);
    EXPECT_EQ(codes.back(), 278);
}

TEST(ModelTable, UnknownCodesAndTextsFallBackToTypeOne) {
    for (int code : {0, -1, 20, 256, 279, 300})
        EXPECT_EQ(GetApTypeText(code), GetApTypeText(1)) << code;
    EXPECT_EQ(ApTypeFromText("no such model"), 1);
    EXPECT_EQ(ApTypeFromText(""), 1);
    // Equality, not a prefix match.
    EXPECT_EQ(ApTypeFromText(GetApTypeText(5) + " "), 1);
}

TEST(CodeTables, UnknownCodesGiveEmptyTextWithoutLookup) {
    int lookups = 0;
    Translator counting = [&](const std::string& s) {
        ++lookups;
        return s;
    };
    EXPECT_EQ(GetStatusText(10, counting), "");
    EXPECT_EQ(GetStatusText(-1, counting), "");
    EXPECT_EQ(GetWorkModeText(0, counting), "");
    EXPECT_EQ(GetWorkModeText(8, counting), "");
    EXPECT_EQ(GetSecureModeText(7, counting), "");
    EXPECT_EQ(lookups, 0);
    EXPECT_EQ(GetStatusText(9, Bracket), "[Upgrade fail]");
    EXPECT_EQ(GetSecureModeText(4, Bracket), "[WPAWPA2_PSK]");
    EXPECT_EQ(GetSecureModeChoiceText(4), "Mixed WPA/WPA2-PSK");
}

TEST(ChannelText, AutoIsTranslatedNumbersAreNot) {
    EXPECT_EQ(GetChannelText(0, Bracket), "[Auto]");
    EXPECT_EQ(GetChannelText(0), "Auto");
    EXPECT_EQ(GetChannelText(165, Bracket), "165");
}

TEST(SwitchTexts, TransparentBridgeAndTdma) {
    struct Case {
        int type, work_mode, flag;
        const char* transparent;
    } bridge[] = {
        {4, 1, 1, "N/A"},   {261, 2, 0, "N/A"},  {6, 4, 1, "N/A"},     {6, 7, 1, "N/A"},
        {6, 3, 1, "[On2]"}, {6, 1, 0, "[Off2]"}, {262, 8, 5, "[On2]"},
    };
    for (const Case& c : bridge)
        EXPECT_EQ(GetTransparentText(c.type, c.work_mode, c.flag, Bracket), c.transparent)
            << c.type << "/" << c.work_mode;

    EXPECT_EQ(GetTdmaText(6, 1, Bracket), "[On2]");
    EXPECT_EQ(GetTdmaText(278, 0, Bracket), "[Off2]");
    EXPECT_EQ(GetTdmaText(4, 1, Bracket), "N/A");
    EXPECT_EQ(GetTdmaText(271, 1, Bracket), "N/A");
    // With no translation the key itself is shown.
    EXPECT_EQ(GetTdmaText(6, 1), "On2");
}

TEST(TypeGroups, RelationsTheDialogsRelyOn) {
    for (int code : GetApTypeCodes()) {
        if (IsDfsType(code)) {
            EXPECT_TRUE(Is11acType(code)) << code;
            EXPECT_TRUE(IsRegionListType(code)) << code;
            EXPECT_TRUE(IsTdmaType(code)) << code;
        }
        if (IsWideBandType(code)) {
            EXPECT_TRUE(Is11acType(code)) << code;
        }
        EXPECT_FALSE(IsNarrowBandType(code) && IsWideBandType(code)) << code;
        EXPECT_FALSE(IsReducedType(code) && IsDfsType(code)) << code;
    }
    for (int code : {13, 271}) {
        EXPECT_TRUE(IsRegionListType(code));
        EXPECT_FALSE(Is11acType(code));
    }
    for (int code : {4, 17, 261, 276}) EXPECT_TRUE(IsStrictNameType(code));
    for (int code : {1, 5, 18, 260, 277}) EXPECT_FALSE(IsStrictNameType(code));
    for (int code : {265, 266, 267, 268, 269, 270}) EXPECT_TRUE(IsTdmaType(code));
    EXPECT_FALSE(IsTdmaType(271));
    EXPECT_FALSE(IsTdmaType(12));
}

TEST(AddressTexts, IpTextToBytesAndNumber) {
    struct Case {
        const char* text;
        IpBytes bytes;
        std::uint32_t number;
    } cases[] = {
        {"192.168.1.20", {192, 168, 1, 20}, 0xC0A80114u},
        {"", {0, 0, 0, 0}, 0},
        {"0.0.0.0", {0, 0, 0, 0}, 0},
        {"255.255.255.255", {255, 255, 255, 255}, 0xFFFFFFFFu},
        {"1..2.3", {1, 0, 0, 0}, 0x01000203u},       // reading stops at the empty part
        {"10.0.0.257", {10, 0, 0, 1}, 0x0A000101u},  // kept in 8 bits when read as bytes
        {"10.1", {10, 1, 0, 0}, 0x0A010000u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IpTextToBytes(c.text), c.bytes) << c.text;
        EXPECT_EQ(IpTextToNumber(c.text), c.number) << c.text;
    }
    const IpBytes b = {10, 0, 200, 7};
    EXPECT_EQ(IpBytesToText(b), "10.0.200.7");
    EXPECT_EQ(IpNumberToText(IpTextToNumber("198.51.100.254")), "198.51.100.254");
    EXPECT_LT(IpTextToNumber("9.255.255.255"), IpTextToNumber("10.0.0.0"));
}

TEST(AddressTexts, MacTextIsLowerCaseAndEmptyReadsAsZero) {
    const MacBytes b = {0x00, 0x1A, 0x2B, 0xFF, 0x00, 0x09};
    EXPECT_EQ(MacBytesToText(b), "00:1a:2b:ff:00:09");
    EXPECT_EQ(MacTextToBytes("00:1a:2B:ff:00:09"), b);
    EXPECT_EQ(MacTextToBytes(""), MacBytes{});
    EXPECT_EQ(MacTextToBytes("0:1:2:3:4:5"), (MacBytes{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(MacTextToBytes("aa:bb"), (MacBytes{0xaa, 0xbb, 0, 0, 0, 0}));
}

}  // namespace
