#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "common/DeviceText.h"
#include "common/TextCodec.h"

namespace {

std::u16string Repeat(std::u16string_view unit, int n) {
    std::u16string s;
    for (int i = 0; i < n; ++i) s += unit;
    return s;
}

// 中 is U+4E2D, E4 B8 AD in UTF-8.
const std::u16string kZhong = u"\u4E2D";
const std::string kZhongUtf8 = "\xE4\xB8\xAD";

TEST(ChineseChars, RangeEdgesAndPunctuation) {
    struct Case {
        char16_t unit;
        bool chinese;
    } cases[] = {
        {0x4DFF, false}, {0x4E00, true},  {0x9FA5, true}, {0x9FA6, false}, {0x00B7, true},
        {0x3007, false}, {0x3008, true},  {0x3011, true}, {0x3012, false}, {0x3013, false},
        {0x3014, true},  {0xFF1F, true},  {0xFF5E, true}, {0xFFE5, true},  {0xFF0D, false},
        {u'a', false},   {0x00E9, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsChineseChar(c.unit), c.chinese) << int(c.unit);
}

TEST(NameBudget, ChineseAndAsciiAgainst32Bytes) {
    struct Case {
        std::u16string text;
        std::size_t bytes;
        bool fits;
    } cases[] = {
        {Repeat(kZhong, 10), 30, true},
        {Repeat(kZhong, 11), 33, false},
        {Repeat(u"a", 32), 32, true},
        {Repeat(u"a", 33), 33, false},
        {u"\u00E9", 2, true},      // two-byte range
        {u"\U0001F600", 6, true},  // each surrogate counts 3
        {Repeat(kZhong, 10) + u"ab", 32, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetUtf8Length(c.text), c.bytes);
        EXPECT_EQ(GetUtf8Length(c.text) <= kDeviceTextBudget, c.fits);
    }
    // Both rules carry the budget.
    EXPECT_TRUE(CheckNameStrict(Repeat(kZhong, 10)));
    EXPECT_TRUE(CheckNameLoose(Repeat(kZhong, 10)));
    EXPECT_FALSE(CheckNameStrict(Repeat(kZhong, 11)));
    EXPECT_FALSE(CheckNameLoose(Repeat(kZhong, 11)));
    EXPECT_FALSE(CheckNameLoose(Repeat(u"a", 33)));
}

TEST(NameBudget, CutToUtf8Length) {
    EXPECT_EQ(CutToUtf8Length(Repeat(kZhong, 12), 32), Repeat(kZhong, 10));
    EXPECT_EQ(CutToUtf8Length(u"ab" + Repeat(kZhong, 12), 32), u"ab" + Repeat(kZhong, 10));
    EXPECT_EQ(CutToUtf8Length(Repeat(u"x", 40), 32), Repeat(u"x", 32));
    EXPECT_EQ(CutToUtf8Length(u"short", 32), u"short");
    EXPECT_EQ(CutToUtf8Length(kZhong, 2), u"");
    // A surrogate pair is never split into a lone half.
    EXPECT_EQ(CutToUtf8Length(u"abc\U0001F600", 8), u"abc");
    EXPECT_EQ(CutToUtf8Length(u"abc\U0001F600", 9), u"abc\U0001F600");
}

TEST(NameRules, StrictAndLooseCharacterSets) {
    struct Case {
        std::u16string text;
        bool strict, loose;
    } cases[] = {
        {u"Mast-North_02", true, true},
        {u"!#$%&()*+-./<=>?@^_~", true, true},
        {u"with space", false, true},
        {u"a\"b", false, true},
        {u"a'b", false, true},
        {u"a,b", false, true},
        {u"a:b", false, true},
        {u"a;b", false, true},
        {u"a[b]", false, true},
        {u"a{b}", false, true},
        {u"a\\b", false, true},
        {u"a|b", false, true},
        {u"a`b", false, true},
        {u"\u5317\u5854\u3001\uFF01", true, true},   // Chinese with Chinese punctuation
        {u"caf\u00E9", false, false},                // Latin-1 letter: neither ASCII nor Chinese
        {std::u16string(u"a\0b", 3), false, false},  // NUL is refused by both
        {u"\x7f", false, true},
        {u"", true, true},  // emptiness is the callers' own message
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckNameStrict(c.text), c.strict) << Utf16ToUtf8(c.text);
        EXPECT_EQ(CheckNameLoose(c.text), c.loose) << Utf16ToUtf8(c.text);
    }
}

TEST(ToDevice, AsciiUnchangedChineseAsUtf8) {
    EXPECT_EQ(LocalTextToDevice("Mast North"), "Mast North");
    EXPECT_EQ(LocalTextToDevice("ap" + kZhongUtf8), "ap" + kZhongUtf8);
    // Without a Chinese character the local bytes go as they are, even ill-formed ones ...
    EXPECT_EQ(LocalTextToDevice("caf\xE9"), "caf\xE9");
    // ... with one, the text is re-encoded, which replaces them.
    EXPECT_EQ(LocalTextToDevice(kZhongUtf8 + "\xE9"), kZhongUtf8 + "\xEF\xBF\xBD");
}

TEST(FromDevice, ConversionAlwaysGivesValidUtf8) {
    struct Case {
        std::string device, local;
    } cases[] = {
        {"plain ascii", "plain ascii"},
        {kZhongUtf8 + kZhongUtf8, kZhongUtf8 + kZhongUtf8},
        // last character cut after two of its three bytes: dropped, no replacement character
        {"ab" + kZhongUtf8 + "\xE4\xB8", "ab" + kZhongUtf8},
        {"ab\xF0\x9F\x98", "ab"},  // a four-byte sequence cut after three
        {"ab\xE4", "ab"},          // only the lead byte left
        // Latin-1 from a device: each stray byte becomes U+FFFD
        {"caf\xE9 ok", "caf\xEF\xBF\xBD ok"},
        {"\x80x", "\xEF\xBF\xBDx"},
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong '/'
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // encoded surrogate
        {"\xE4\xB8x", "\xEF\xBF\xBDx"},  // broken off inside the text, not at its end
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::string out = DeviceTextToLocal(c.device);
        EXPECT_EQ(out, c.local);
        EXPECT_TRUE(IsValidUtf8(out));
    }
}

TEST(TextFields, ReadingAReportFieldKeepsTheTextInsideTheField) {
    // 32 Latin-1 bytes would become 96 bytes of U+FFFD; the field holds whole characters only.
    std::array<std::uint8_t, 32> field;
    field.fill(0xE9);
    const std::uint8_t len = ConvertDeviceTextField(field, 32);
    EXPECT_EQ(len, 30);
    const std::string_view text(reinterpret_cast<const char*>(field.data()), len);
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(Utf8ToUtf16(text), Repeat(u"\uFFFD", 10));
    EXPECT_EQ(field[30], 0);
    EXPECT_EQ(field[31], 0);

    // A length byte beyond the field's width reads only the field.
    std::array<std::uint8_t, 8> small{};
    for (std::size_t i = 0; i < small.size(); ++i) small[i] = std::uint8_t('a' + i);
    EXPECT_EQ(ConvertDeviceTextField(small, 200), 8);

    // A cut Chinese name loses its broken last character and the stale bytes are cleared.
    std::array<std::uint8_t, 8> name{};
    const std::string cut = kZhongUtf8 + kZhongUtf8 + "\xE4\xB8";
    std::copy(cut.begin(), cut.end(), name.begin());
    EXPECT_EQ(ConvertDeviceTextField(name, std::uint8_t(cut.size())), 6);
    EXPECT_EQ(name[6], 0);
    EXPECT_EQ(name[7], 0);
}

TEST(TextFields, WritingARequestFieldCutsAtACharacterBoundary) {
    std::array<std::uint8_t, 32> field;
    field.fill(0x55);
    // 11 Chinese characters are 33 bytes: the 11th does not fit at all.
    std::string eleven;
    for (int i = 0; i < 11; ++i) eleven += kZhongUtf8;
    EXPECT_EQ(WriteDeviceTextField(eleven, field), 30);
    EXPECT_EQ(field[30], 0);
    EXPECT_EQ(field[31], 0);
    EXPECT_EQ(WriteDeviceTextField("ssid", field), 4);
    EXPECT_EQ(field[4], 0) << "old bytes are zeroed";
    EXPECT_EQ(CutLocalText("ab" + kZhongUtf8, 4), "ab");
}

TEST(Codec, RoundTripsAndReplacements) {
    const std::u16string wide = u"a\u00E9\u4E2D\U0001F600z";
    const std::string narrow = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z";
    EXPECT_EQ(Utf16ToUtf8(wide), narrow);
    EXPECT_EQ(Utf8ToUtf16(narrow), wide);
    EXPECT_EQ(Utf16ToUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");             // lone high surrogate
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00"), "\xEF\xBF\xBD");                 // lone low surrogate
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), Repeat(u"\uFFFD", 4));  // above U+10FFFF
    EXPECT_EQ(Utf8ToUtf16("\xE4\xB8"), u"\uFFFD");  // one replacement for a cut sequence
    EXPECT_EQ(ToValidUtf8(narrow), narrow);
    EXPECT_EQ(IncompleteUtf8Tail("a\xE4\xB8"), 2u);
    EXPECT_EQ(IncompleteUtf8Tail("a\xE4\xB8\xAD"), 0u);
    EXPECT_EQ(IncompleteUtf8Tail("a\x80"), 0u);
    EXPECT_EQ(Utf8CutPoint("a\xE4\xB8\xAD", 3), 1u);
    EXPECT_EQ(Utf8CutPoint("a\xE4\xB8\xAD", 4), 4u);
}

}  // namespace
