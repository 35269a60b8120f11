#include "common/ChannelPlan.h"

#include <algorithm>

#include "common/Validation.h"

namespace {

// Channel lists shared by several countries.
constexpr const char* T1 = "0,1,2,3,4,5,6,7,8,9,10,11,12,13";
constexpr const char* T2 = "0,1,2,3,4,5,6,7,8,9,10,11";
constexpr const char* A1 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,165";
constexpr const char* A2 = "0,52,56,60,64,149,153,157,161,165";
constexpr const char* A3 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,144,149,153,157,161,"
    "165";
constexpr const char* A4 = "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140";
constexpr const char* A5 =
    "0,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,165";
constexpr const char* A6 = "0,36,40,44,48,149,153,157,161,165";
constexpr const char* A7 = "0,149,153,157,161,165";
constexpr const char* A8 = "0,36,40,44,48";
constexpr const char* A9 =
    "0,8,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,165,"
    "179,181,188";
constexpr const char* B1 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,120u,128u,132l,136u,140l,149l,153u,"
    "157l,161u";
constexpr const char* B2 = "0,52l,56u,60l,64u,149l,153u,157l,161u";
constexpr const char* B3 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,132l,136u,140l,"
    "144u,149l,153u,157l,161u";
constexpr const char* B4 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,132l,136u";
constexpr const char* B5 =
    "0,52l,56u,60l,64u,100l,104u,108l,112u,120u,128u,132l,136u,140l,149l,153u,157l,161u";
constexpr const char* B6 =
    "0,36l,40u,44l,48u,52l,56u,60l,64u,100l,104u,108l,112u,116l,120u,124l,128u,132l,136u,149,153,"
    "157,161";
constexpr const char* B7 = "0,149,153,157,161";
constexpr const char* C1 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,132,136,140,144,149,153,157,161";
constexpr const char* C2 = "0,52,56,60,64,149,153,157,161";
constexpr const char* C3 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,149,153,157,161";
constexpr const char* C4 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,144,149,153,157,161";
constexpr const char* C5 = "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128";
constexpr const char* C6 =
    "0,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161";
constexpr const char* C7 =
    "0,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161";
constexpr const char* C8 = "0,149,153,157,161";
constexpr const char* C9 = "0,36,40,44,48,149,153,157,161";
constexpr const char* C11 =
    "0,8,36,40,44,48,52,56,60,64,100,104,108,112,116,120,124,128,132,136,140,149,153,157,161,179,"
    "181,188";

struct Country {
    const char* code;
    const char* name;
    const char* list24;
    const char* list20;
    const char* list40;
    const char* list80;
};

constexpr Country kCountries[kCountryCount] = {
    {"AU", "Australia", T1, A1, B1, C1},
    {"AR", "Argentina", T1, A2, B2, C2},
    {"BR", "Brazil", T1, A1, B1, C3},
    {"CA", "Canada", T2, A3, B3, C4},
    {"CN", "China", T1, A3, B3, C4},
    {"CO", "Colombia", T2, A3, B3, C4},
    {"CZ", "CzechRepublic", T1, A4, B4, C5},
    {"EG", "Egypt", T1, A4, B4, C5},
    {"GB", "England", T1, A4, B4, C5},
    {"FR", "France", T1, A4, B4, C5},
    {"DE", "Germany", T1, A4, B4, C5},
    {"HK", "Hong Kong", T1, A1, B1, C6},
    {"IN", "India", T1, A1, B1, C6},
    {"ID", "Indonesia", T1, A1, B1, C6},
    {"IR", "Iran", T1, A5, B5, C7},
    {"IQ", "Iraq", T1, A1, B1, C6},
    {"MY", "Malaysia", T1, A5, B5, C7},
    {"MX", "Mexico", T2, A1, B1, C6},
    {"PE", "Peru", T1, A5, B5, C7},
    {"PK", "Pakistan", T1, A5, B5, C7},
    {"PH", "Philippines", T1, A1, B1, C6},
    {"PL", "Poland", T1, A4, B4, C5},
    {"RO", "Romania", T1, A4, B4, C5},
    {"RU", "Russia", T1, A6, B6, C3},
    {"SA", "Saudi Arabia", T1, A1, B1, C6},
    {"ZA", "South Afica", T1, A1, B1, C3},
    {"ES", "Spain", T1, A4, B4, C5},
    {"TW", "Taiwan", T2, A5, B5, C7},
    {"TH", "Thailand", T1, A1, B1, C6},
    {"TR", "Turkey", T1, A4, B4, C5},
    {"AE", "United Arab Emirates", T1, A7, B7, C8},
    {"US", "United States", T2, A1, B1, C6},
    {"UA", "Ukraine", T1, A6, B6, C9},
    {"VE", "Venezuela", T1, A5, B5, C7},
    {"VN", "Vietnam", T1, A4, B4, C5},
    {"IT", "Italy", T1, A8, A8, A8},
    {"AM", "Armenia", T1, A8, A8, A8},
    {"HU", "Hungary", T1, A8, A8, A8},
    {"KR", "Korea", T1, A6, C9, C9},
    {"AUT", "Austria", T1, A6, C9, C9},
    {"CHL", "Chile", T1, A6, C9, C9},
    {"Test", "Test", T1, A9, C11, C11},
};

// The device's numeric country codes 0 to 61; 62 to 255 are unused.
constexpr const char* kNumericCodes[] = {
    "CN", "US", "GB", "ES", "IT", "FR", "DE", "NL",  "CZ",  "PL",   "EE", "RU", "TR",
    "SE", "CH", "DK", "BE", "BG", "AM", "FI", "SI",  "SK",  "RO",   "PT", "AT", "GR",
    "CA", "MX", "BR", "AR", "CL", "CO", "PE", "LV",  "IN",  "ID",   "PH", "VN", "TH",
    "KR", "HK", "TW", "MY", "NZ", "AU", "PK", "AE",  "IQ",  "SA",   "ZA", "EG", "MA",
    "IL", "BD", "IR", "NP", "UA", "VE", "HU", "AUT", "CHL", "Test",
};
static_assert(std::size(kNumericCodes) == 62);

struct Region {
    const char* list20;
    const char* list40;
    const char* list80;
};

constexpr Region kRegions[4] = {
    {"0,36,40,44,48,100,104,108,112,116,132,136,140",
     "0,36l,40u,44l,48u,100l,104u,108l,112u,116l,132l,136u", "0,36,40,44,48,100,104,108,112,116"},
    {"0,149,153,157,161,165", "0,149l,153u,157l,161u", "0,149,153,157,161"},
    {"0,36,40,44,48,100,104,108,112,116,132,136,140,149,153,157,161,165",
     "0,36l,40u,44l,48u,100l,104u,108l,112u,116l,132l,136u,149l,153u,157l,161u",
     "0,36,40,44,48,100,104,108,112,116,149,153,157,161"},
    {A9, C11, C11},
};

// 2.4 GHz channels of type 12 outside Canada and the United States; no Auto entry.
constexpr const char* kType12List = "1,2,3,4,5,6,7,8,9,10,11,12,13";
constexpr int kCanadaRow = 3;
constexpr int kUnitedStatesRow = 31;

bool ValidRow(int row) { return row >= 0 && row < kCountryCount; }

// Types that cannot use the extra channels of the "Test" country.
bool IsWithoutTestExtras(int ap_type) {
    switch (ap_type) {
        case 10:
        case 11:
        case 13:
        case 268:
        case 269:
        case 270:
        case 271:
            return true;
        default:
            return false;
    }
}

// "%d" of a list entry: its leading decimal number (a trailing l or u is not interpreted).
bool ReadChannel(const std::string& part, int& channel) {
    if (part.empty() || part[0] < '0' || part[0] > '9') return false;
    int v = 0;
    for (std::size_t i = 0; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i) {
        v = v * 10 + (part[i] - '0');
        if (v > 1000) return false;
    }
    channel = v;
    return true;
}

std::vector<Choice> BandwidthList(std::initializer_list<int> codes) {
    std::vector<Choice> choices;
    for (int code : codes) choices.push_back({GetBandwidthText(code), code});
    return choices;
}

}  // namespace

std::string GetCountryName(int row) { return ValidRow(row) ? kCountries[row].name : ""; }

std::string GetCountryCodeText(int row) { return ValidRow(row) ? kCountries[row].code : ""; }

std::string GetNumericCountryText(int numeric_code) {
    if (numeric_code < 0 || numeric_code >= static_cast<int>(std::size(kNumericCodes))) return "";
    return kNumericCodes[numeric_code];
}

int CountryRowFromCode(int numeric_code) {
    const std::string code = GetNumericCountryText(numeric_code);
    if (code.empty()) return kNoCountry;
    for (int row = 0; row < kCountryCount; ++row)
        if (code == kCountries[row].code) return row;
    return kNoCountry;
}

int CodeFromCountryRow(int row) {
    if (!ValidRow(row)) return 0;
    for (int i = 0; i < static_cast<int>(std::size(kNumericCodes)); ++i)
        if (std::string_view(kNumericCodes[i]) == kCountries[row].code) return i;
    return 0;
}

int GetRegionOfCountryRow(int row) {
    switch (row) {
        case 6:
        case 7:
        case 8:
        case 9:
        case 10:
        case 21:
        case 22:
        case 26:
        case 29:
        case 34:
        case 35:
        case 36:
        case 37:
            return 0;
        case 1:
        case 14:
        case 16:
        case 18:
        case 19:
        case 30:
        case 33:
            return 1;
        case 41:
            return 3;
        default:
            return 2;
    }
}

std::string GetBandwidthText(int bandwidth) {
    static constexpr const char* kTexts[] = {"20MHz", "40MHz", "Auto",  "80MHz",
                                             "10MHz", "30MHz", "50MHz", "60MHz"};
    if (bandwidth < 0 || bandwidth >= static_cast<int>(std::size(kTexts))) return "";
    return kTexts[bandwidth];
}

std::vector<Choice> BuildNetworkModeChoices(int rf_type, int ap_type, const Translator& tr) {
    std::vector<Choice> choices;
    auto add = [&](const char* text, int code) { choices.push_back({Translate(tr, text), code}); };
    if (rf_type == 0) {
        add("11b", 1);
        add("11g", 2);
        add("11b/g", 0);
        add("11b/g/n", 4);
    } else if (ap_type == 13 || ap_type == 271) {
        add("11a", 0);
        add("11a/n", 1);
        add("11ac", 2);
    } else {
        add("11a", 0);
        add("11n", 3);
        add("11a/n", 1);
        if (Is11acType(ap_type)) add("11ac", 2);
    }
    return choices;
}

std::vector<Choice> BuildBandwidthChoices(int rf_type, int ap_type, int network_mode) {
    // Codes: 0 20MHz, 1 40MHz, 2 Auto, 3 80MHz, 4 10MHz, 5 30MHz, 6 50MHz, 7 60MHz.
    if (rf_type == 0) {
        if (network_mode == 3 || network_mode == 4) return BandwidthList({2, 0, 1});
        if (network_mode >= 0 && network_mode <= 2) return BandwidthList({0});
        return {};
    }
    if (IsNarrowBandType(ap_type)) return BandwidthList({2, 4, 0, 5, 1});
    if (IsWideBandType(ap_type)) {
        if (network_mode == 2) return BandwidthList({2, 4, 0, 5, 1, 6, 7, 3});
        return BandwidthList({2, 4, 0, 5, 1});
    }
    if (ap_type == 13 || ap_type == 271) {
        if (network_mode == 1) return BandwidthList({2, 0, 1});
        if (network_mode == 2) return BandwidthList({2, 0, 1, 3});
        return BandwidthList({2, 0});
    }
    if (IsDfsType(ap_type) && network_mode == 2) return BandwidthList({2, 0, 1, 3});
    return BandwidthList({2, 0, 1});
}

std::string GetChannelList(int bandwidth, int country_row, int ap_type, int rf_type) {
    if (!ValidRow(country_row)) return "";
    const Country& c = kCountries[country_row];
    if (rf_type == 0) {
        if (ap_type == 12 && country_row != kCanadaRow && country_row != kUnitedStatesRow)
            return kType12List;
        return c.list24;
    }
    if (IsRegionListType(ap_type)) {
        const Region& r = kRegions[GetRegionOfCountryRow(country_row)];
        if (bandwidth == 0 || bandwidth == 2) return r.list20;
        if (bandwidth == 1) return r.list40;
        return r.list80;
    }
    if (bandwidth == 0 || bandwidth == 2 || bandwidth == 4 || bandwidth == 5) return c.list20;
    if (bandwidth == 1) return c.list40;
    return c.list80;
}

std::vector<Choice> BuildChannelChoices(int country_row, int ap_type, int rf_type, int bandwidth,
                                        bool dfs, const Translator& tr, ChannelVariant variant) {
    std::vector<Choice> choices;
    if (!ValidRow(country_row)) return choices;
    const bool test_country = GetCountryName(country_row) == "Test";
    const bool dfs_type = IsDfsType(ap_type);
    for (const std::string& part :
         SplitString(GetChannelList(bandwidth, country_row, ap_type, rf_type), ",", false)) {
        int ch;
        if (!ReadChannel(part, ch)) continue;
        if (!test_country) {
            if (ch >= 52 && ch <= 64) continue;
            if (ch >= 100 && ch <= 144 && !(dfs_type && dfs)) continue;
        } else {
            if (IsWithoutTestExtras(ap_type) && (ch == 8 || ch == 179 || ch == 181 || ch == 188))
                continue;
            if (variant == ChannelVariant::BridgeWizard && dfs_type &&
                (ch == 120 || ch == 124 || ch == 128))
                continue;
        }
        choices.push_back({GetChannelText(ch, tr), ch});
    }
    return choices;
}

std::vector<Choice> BuildExtensionChoices(int channel, int rf_type, int network_mode, int bandwidth,
                                          std::size_t channel_choice_count) {
    if (rf_type != 0 || network_mode != 4 || bandwidth == 0 || channel <= 0) return {};
    const auto below = Choice{std::to_string(channel - 4), 0};
    const auto above = Choice{std::to_string(channel + 4), 1};
    if (channel <= 4) return {above};
    if (channel > static_cast<int>(channel_choice_count) - 5) return {below};
    return {below, above};
}

std::size_t SelectChoice(const std::vector<Choice>& choices, int value, std::size_t fallback) {
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i].value == value) return i;
    return fallback;
}

std::size_t SelectExtensionChoice(const std::vector<Choice>& choices, int expand_channel) {
    if (choices.size() == 2 && expand_channel == 1) return 1;
    return 0;
}
