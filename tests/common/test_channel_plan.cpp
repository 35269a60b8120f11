#include <gtest/gtest.h>

#include <vector>

#include "common/ChannelPlan.h"

namespace {

constexpr int k24 = 0, k5 = 1;
constexpr int kNonDfsType = 1, kDfsType = 14;

std::vector<int> Channels(const std::vector<Choice>& choices) {
    std::vector<int> v;
    for (const Choice& c : choices) v.push_back(c.value);
    return v;
}

std::vector<int> Codes(const std::vector<Choice>& choices) { return Channels(choices); }

std::vector<int> Range(int from, int to, int step = 1) {
    std::vector<int> v;
    for (int i = from; i <= to; i += step) v.push_back(i);
    return v;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> v;
    for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
    return v;
}

TEST(ChannelChoices, RowsTheDialogsDependOn) {
    struct Case {
        const char* what;
        int row, type, band, bandwidth;
        bool dfs;
        std::vector<int> channels;
    } cases[] = {
        {"row 0 20MHz non-DFS type: 52-64 and 100-140 filtered", 0, kNonDfsType, k5, 0, false,
         Join({{0}, Range(36, 48, 4), Range(149, 165, 4)})},
        {"DFS type in row 0 takes region 2 and, with DFS on, its 100-140 entries", 0, kDfsType, k5,
         0, true,
         Join({{0}, Range(36, 48, 4), Range(100, 116, 4), {132, 136, 140}, Range(149, 165, 4)})},
        {"DFS type with DFS off", 0, kDfsType, k5, 0, false,
         Join({{0}, Range(36, 48, 4), Range(149, 165, 4)})},
        {"non-DFS type with the DFS flag gets nothing extra", 0, kNonDfsType, k5, 0, true,
         Join({{0}, Range(36, 48, 4), Range(149, 165, 4)})},
        {"40MHz list: l/u letters ignored", 3, kNonDfsType, k5, 1, false,
         Join({{0}, Range(36, 48, 4), Range(149, 161, 4)})},
        {"80MHz list for 80MHz", 4, kNonDfsType, k5, 3, false,
         Join({{0}, Range(36, 48, 4), Range(149, 161, 4)})},
        {"10MHz uses the 20MHz list", 30, 6, k5, 4, false, Join({{0}, Range(149, 165, 4)})},
        {"type 12 on 2.4 GHz outside CA/US: 1-13 without Auto", 0, 12, k24, 0, false, Range(1, 13)},
        {"type 12 on 2.4 GHz in the United States", 31, 12, k24, 0, false, Range(0, 11)},
        {"type 12 in Canada", 3, 12, k24, 0, false, Range(0, 11)},
        {"other type on 2.4 GHz", 0, kNonDfsType, k24, 0, false, Range(0, 13)},
        {"region 0 for type 13 (not DFS: 100+ filtered)", 8, 13, k5, 2, false,
         Join({{0}, Range(36, 48, 4)})},
        {"region 1 for a DFS type", 1, kDfsType, k5, 0, true, Join({{0}, Range(149, 165, 4)})},
        {"region 2 at 80MHz for a DFS type", 31, 272, k5, 3, true,
         Join({{0}, Range(36, 48, 4), Range(100, 116, 4), Range(149, 161, 4)})},
        {"Test keeps everything for other types", 41, kNonDfsType, k5, 0, false,
         Join({{0, 8}, Range(36, 64, 4), Range(100, 140, 4), Range(149, 165, 4), {179, 181, 188}})},
        {"Test without 8/179/181/188 for type 10", 41, 10, k5, 0, false,
         Join({{0}, Range(36, 64, 4), Range(100, 140, 4), Range(149, 165, 4)})},
        {"Test 40MHz for type 271 (region 3)", 41, 271, k5, 1, false,
         Join({{0}, Range(36, 64, 4), Range(100, 140, 4), Range(149, 161, 4)})},
        {"no country selected", kNoCountry, kNonDfsType, k5, 0, false, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Channels(BuildChannelChoices(c.row, c.type, c.band, c.bandwidth, c.dfs)),
                  c.channels)
            << c.what;
}

TEST(ChannelChoices, BridgeWizardVariantDropsThreeTestChannelsForDfsTypes) {
    const auto wireless = Channels(BuildChannelChoices(41, kDfsType, k5, 0, true));
    const auto bridge =
        Channels(BuildChannelChoices(41, kDfsType, k5, 0, true, {}, ChannelVariant::BridgeWizard));
    std::vector<int> expected = wireless;
    std::erase_if(expected, [](int ch) { return ch == 120 || ch == 124 || ch == 128; });
    EXPECT_EQ(bridge, expected);
    EXPECT_NE(bridge, wireless);
    // Outside "Test", and for other types, the variant changes nothing.
    EXPECT_EQ(
        Channels(BuildChannelChoices(0, kDfsType, k5, 0, true, {}, ChannelVariant::BridgeWizard)),
        Channels(BuildChannelChoices(0, kDfsType, k5, 0, true)));
    EXPECT_EQ(Channels(BuildChannelChoices(41, kNonDfsType, k5, 0, false, {},
                                           ChannelVariant::BridgeWizard)),
              Channels(BuildChannelChoices(41, kNonDfsType, k5, 0, false)));
}

TEST(ChannelChoices, AutoIsTranslatedAndCurrentChannelSelected) {
    const auto choices = BuildChannelChoices(0, kNonDfsType, k5, 0, false,
                                             [](const std::string& s) { return "<" + s + ">"; });
    ASSERT_GE(choices.size(), 2u);
    EXPECT_EQ(choices[0], (Choice{"<Auto>", 0}));
    EXPECT_EQ(choices[1], (Choice{"36", 36}));
    EXPECT_EQ(SelectChoice(choices, 149), 5u);
    EXPECT_EQ(SelectChoice(choices, 52), 0u);  // filtered out: the first choice
}

TEST(ExtensionChoices, ElevenBgnAt40MHz) {
    const std::size_t n = BuildChannelChoices(0, kNonDfsType, k24, 1, false).size();
    ASSERT_EQ(n, 14u);  // Auto and 1 to 13
    struct Case {
        int channel;
        std::vector<Choice> choices;
    } cases[] = {
        {0, {}},
        {1, {{"5", 1}}},
        {3, {{"7", 1}}},
        {4, {{"8", 1}}},
        {5, {{"1", 0}, {"9", 1}}},
        {7, {{"3", 0}, {"11", 1}}},
        {9, {{"5", 0}, {"13", 1}}},
        {10, {{"6", 0}}},
        {11, {{"7", 0}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildExtensionChoices(c.channel, k24, 4, 1, n), c.choices) << c.channel;

    EXPECT_TRUE(BuildExtensionChoices(6, k24, 4, 0, n).empty());   // 20MHz
    EXPECT_FALSE(BuildExtensionChoices(6, k24, 4, 2, n).empty());  // Auto bandwidth
    EXPECT_TRUE(BuildExtensionChoices(6, k24, 2, 1, n).empty());   // not 11b/g/n
    EXPECT_TRUE(BuildExtensionChoices(36, k5, 4, 1, 10).empty());

    const auto two = BuildExtensionChoices(7, k24, 4, 1, n);
    EXPECT_EQ(SelectExtensionChoice(two, 0), 0u);
    EXPECT_EQ(SelectExtensionChoice(two, 1), 1u);
    EXPECT_EQ(SelectExtensionChoice(two, 2), 0u);  // stored "none" selects the first
    EXPECT_EQ(SelectExtensionChoice(BuildExtensionChoices(11, k24, 4, 1, n), 1), 0u);
}

TEST(NetworkModes, ByBandAndType) {
    struct Case {
        int band, type;
        std::vector<int> codes;
    } cases[] = {
        {k24, kNonDfsType, {1, 2, 0, 4}},
        {k24, 10, {1, 2, 0, 4}},
        {k5, kNonDfsType, {0, 3, 1}},
        {k5, 10, {0, 3, 1, 2}},
        {k5, kDfsType, {0, 3, 1, 2}},
        {k5, 13, {0, 1, 2}},
        {k5, 271, {0, 1, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Codes(BuildNetworkModeChoices(c.band, c.type)), c.codes) << c.type;
    const auto modes = BuildNetworkModeChoices(k5, kNonDfsType);
    EXPECT_EQ(modes[1].text, "11n");
    EXPECT_EQ(SelectChoice(modes, 2, 2), 2u);  // unknown code: the third choice
}

TEST(Bandwidths, ByBandTypeAndMode) {
    // Codes: 0 20MHz, 1 40MHz, 2 Auto, 3 80MHz, 4 10MHz, 5 30MHz, 6 50MHz, 7 60MHz.
    struct Case {
        int band, type, mode;
        std::vector<int> codes;
    } cases[] = {
        {k5, 6, 2, {2, 4, 0, 5, 1}},
        {k5, 267, 0, {2, 4, 0, 5, 1}},
        {k5, 10, 2, {2, 4, 0, 5, 1, 6, 7, 3}},
        {k5, 270, 1, {2, 4, 0, 5, 1}},
        {k5, 13, 1, {2, 0, 1}},
        {k5, 271, 2, {2, 0, 1, 3}},
        {k5, 13, 0, {2, 0}},
        {k5, kDfsType, 2, {2, 0, 1, 3}},
        {k5, kDfsType, 1, {2, 0, 1}},
        {k5, kNonDfsType, 2, {2, 0, 1}},
        {k24, kNonDfsType, 4, {2, 0, 1}},
        {k24, 6, 3, {2, 0, 1}},
        {k24, kNonDfsType, 0, {0}},
        {k24, kNonDfsType, 2, {0}},
        {k24, kNonDfsType, 5, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Codes(BuildBandwidthChoices(c.band, c.type, c.mode)), c.codes)
            << "band " << c.band << " type " << c.type << " mode " << c.mode;
    EXPECT_EQ(BuildBandwidthChoices(k5, 10, 2).back().text, "80MHz");
}

TEST(Countries, NumericCodesAndRows) {
    // Every row has a numeric code and comes back from it: two hand-made tables agree.
    for (int row = 0; row < kCountryCount; ++row) {
        const int code = CodeFromCountryRow(row);
        EXPECT_EQ(GetNumericCountryText(code), GetCountryCodeText(row)) << row;
        EXPECT_EQ(CountryRowFromCode(code), row) << GetCountryName(row);
    }
    EXPECT_EQ(CountryRowFromCode(7), kNoCountry);  // NL has no row
    EXPECT_EQ(CountryRowFromCode(62), kNoCountry);
    EXPECT_EQ(CountryRowFromCode(255), kNoCountry);
    EXPECT_EQ(CountryRowFromCode(-1), kNoCountry);
    EXPECT_EQ(CountryRowFromCode(0), 4);   // CN
    EXPECT_EQ(CountryRowFromCode(1), 31);  // US
    EXPECT_EQ(CodeFromCountryRow(kNoCountry), 0);
    EXPECT_EQ(GetCountryName(25), "South Afica");
    EXPECT_EQ(GetCountryName(41), "Test");
    EXPECT_EQ(GetCountryName(42), "");
}

}  // namespace
