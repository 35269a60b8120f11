#include "common/ValueTables.h"

#include <algorithm>
#include <cstdio>

namespace {

struct CodeText {
    int code;
    const char* text;
};

std::string Lookup(std::span<const CodeText> table, int code) {
    for (const CodeText& e : table)
        if (e.code == code) return e.text;
    return {};
}

constexpr CodeText kStatus[] = {
    {0, "Outline"},         {1, "Online"},       {2, "Bridge success"}, {3, "Bridge fail"},
    {4, "Restarting"},      {5, "Reseting"},     {6, "Upgrade wait"},   {7, "Upgrading"},
    {8, "Upgrade success"}, {9, "Upgrade fail"},
};

constexpr CodeText kWorkMode[] = {
    {1, "AP"},   {2, "Station"}, {3, "Universal Repeater"}, {4, "Repeater"}, {5, "P2MP"},
    {6, "WISP"}, {7, "Router"},
};

constexpr CodeText kSecureMode[] = {
    {0, "Disable"},     {1, "WEP"}, {2, "WPA_PSK"}, {3, "WPA2_PSK"},
    {4, "WPAWPA2_PSK"}, {5, "WPA"}, {6, "WPA2"},
};

constexpr CodeText kSecureModeChoice[] = {
    {0, "None"}, {1, "WEP"},  {2, "WPA-PSK"}, {3, "WPA2-PSK"}, {4, "Mixed WPA/WPA2-PSK"},
    {5, "WPA"},  {6, "WPA2"},
};

constexpr CodeText kPskCipher[] = {{0, "AES"}, {1, "TKIP"}, {2, "TKIP&&AES"}};
constexpr CodeText kRadiusCipher[] = {{0, "AES"}, {1, "TKIP"}, {2, "AES/TKIP"}};
constexpr CodeText kWepAuth[] = {{0, "Open"}, {1, "Share"}};
constexpr CodeText kWepKeyType[] = {{0, "ASCII"}, {1, "Hex"}};

// Our own product names: the OB line covers the first generation's type codes 1 to 19, the OX
// line the second generation's 257 to 278.
struct Model {
    int code;
    std::string name;
};

const std::array<Model, 41>& Models() {
    static const std::array<Model, 41> models = [] {
        std::array<Model, 41> m{};
        std::size_t i = 0;
        for (int code = 1; code <= 19; ++code)
            m[i++] = {code, "Merrowin OB-" + std::to_string(100 + code)};
        for (int code = 257; code <= 278; ++code)
            m[i++] = {code, "Merrowin OX-" + std::to_string(code - 56)};
        return m;
    }();
    return models;
}

template <std::size_t N>
bool InSet(const int (&set)[N], int code) {
    return std::find(std::begin(set), std::end(set), code) != std::end(set);
}

constexpr int kStrictName[] = {4, 17, 261, 276};
constexpr int kDfs[] = {14, 15, 18, 19, 272, 273, 274, 277, 278};
constexpr int kWideBand[] = {10, 11, 268, 269, 270};
constexpr int kReduced[] = {12, 13, 271};
constexpr int kNarrowBand[] = {6, 8, 9, 265, 266, 267};
constexpr int kTdma[] = {6,   8,   9,   10,  11,  14,  15,  18,  19,  265,
                         266, 267, 268, 269, 270, 272, 273, 274, 277, 278};

// Reads a "%d" the way the C library does: blanks, an optional sign, digits. Returns false when
// there are no digits. The value wraps in 32 bits; callers keep only the bits they need.
bool ReadDecimal(std::string_view& s, std::uint32_t& value) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                            s[i] == '\v' || s[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t first = i;
    std::uint32_t v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') v = v * 10 + std::uint32_t(s[i++] - '0');
    if (i == first) return false;
    value = negative ? 0u - v : v;
    s.remove_prefix(i);
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string Translate(const Translator& tr, const std::string& text) {
    if (text.empty() || !tr) return text;
    return tr(text);
}

std::string GetStatusText(int ap_status, const Translator& tr) {
    return Translate(tr, Lookup(kStatus, ap_status));
}

std::string GetWorkModeText(int work_mode, const Translator& tr) {
    return Translate(tr, Lookup(kWorkMode, work_mode));
}

std::string GetSecureModeText(int secure_mode, const Translator& tr) {
    return Translate(tr, Lookup(kSecureMode, secure_mode));
}

std::string GetSecureModeChoiceText(int secure_mode) {
    return Lookup(kSecureModeChoice, secure_mode);
}
std::string GetPskCipherText(int wpapsk_auth_type) { return Lookup(kPskCipher, wpapsk_auth_type); }
std::string GetRadiusCipherText(int wpa_auth_type) { return Lookup(kRadiusCipher, wpa_auth_type); }
std::string GetWepAuthText(int wep_auth_type) { return Lookup(kWepAuth, wep_auth_type); }
std::string GetWepKeyTypeText(int wep_key_type) { return Lookup(kWepKeyType, wep_key_type); }

std::string GetChannelText(int channel, const Translator& tr) {
    if (channel == 0) return Translate(tr, "Auto");
    return std::to_string(channel);
}

std::string GetTransparentText(int ap_type, int work_mode, int bridge_transparent,
                               const Translator& tr) {
    if (ap_type == 4 || ap_type == 261 || (work_mode >= 4 && work_mode <= 7)) return "N/A";
    return Translate(tr, bridge_transparent != 0 ? "On2" : "Off2");
}

std::string GetTdmaText(int ap_type, int tdma_en, const Translator& tr) {
    if (!IsTdmaType(ap_type)) return "N/A";
    return Translate(tr, tdma_en != 0 ? "On2" : "Off2");
}

std::string GetUpTimeText(std::uint32_t seconds) {
    const unsigned d = seconds / 86400, h = seconds / 3600 % 24, m = seconds / 60 % 60,
                   s = seconds % 60;
    char buf[48];
    if (d != 0)
        std::snprintf(buf, sizeof buf, "%u %u:%u:%u", d, h, m, s);
    else
        std::snprintf(buf, sizeof buf, "%u:%u:%u", h, m, s);
    return buf;
}

const std::string& GetApTypeText(int ap_type) {
    const auto& models = Models();
    for (const Model& m : models)
        if (m.code == ap_type) return m.name;
    return models[0].name;
}

int ApTypeFromText(std::string_view text) {
    for (const Model& m : Models())
        if (m.name == text) return m.code;
    return 1;
}

std::span<const int> GetApTypeCodes() {
    static const std::array<int, 41> codes = [] {
        std::array<int, 41> c{};
        for (std::size_t i = 0; i < c.size(); ++i) c[i] = Models()[i].code;
        return c;
    }();
    return codes;
}

bool IsStrictNameType(int ap_type) { return InSet(kStrictName, ap_type); }
bool IsDfsType(int ap_type) { return InSet(kDfs, ap_type); }
bool Is11acType(int ap_type) { return InSet(kWideBand, ap_type) || IsDfsType(ap_type); }
bool IsReducedType(int ap_type) { return InSet(kReduced, ap_type); }
bool IsNarrowBandType(int ap_type) { return InSet(kNarrowBand, ap_type); }
bool IsWideBandType(int ap_type) { return InSet(kWideBand, ap_type); }
bool IsTdmaType(int ap_type) { return InSet(kTdma, ap_type); }
bool IsRegionListType(int ap_type) { return ap_type == 13 || ap_type == 271 || IsDfsType(ap_type); }

IpBytes IpTextToBytes(std::string_view text) {
    IpBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::uint32_t v;
        if (!ReadDecimal(text, v)) break;
        bytes[i] = static_cast<std::uint8_t>(v);
        if (i + 1 < bytes.size()) {
            if (text.empty() || text.front() != '.') break;
            text.remove_prefix(1);
        }
    }
    return bytes;
}

std::string IpBytesToText(std::span<const std::uint8_t, 4> b) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    return buf;
}

std::uint32_t IpTextToNumber(std::string_view text) {
    std::uint32_t number = 0;
    int shift = 24;
    while (shift >= 0) {
        const std::size_t dot = text.find('.');
        std::string_view part = text.substr(0, dot);
        std::uint32_t v = 0;
        ReadDecimal(part, v);  // a part without digits counts 0
        number += v << shift;
        shift -= 8;
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    return number;
}

std::string IpNumberToText(std::uint32_t n) {
    const IpBytes b = {std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8),
                       std::uint8_t(n)};
    return IpBytesToText(b);
}

MacBytes MacTextToBytes(std::string_view text) {
    MacBytes bytes{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        // Like "%02x": at most two hex digits per pair.
        int v = 0, digits = 0;
        while (digits < 2 && pos < text.size() && HexDigit(text[pos]) >= 0) {
            v = v * 16 + HexDigit(text[pos++]);
            ++digits;
        }
        if (digits == 0) break;
        bytes[i] = static_cast<std::uint8_t>(v);
        if (i + 1 < bytes.size()) {
            if (pos >= text.size() || text[pos] != ':') break;
            ++pos;
        }
    }
    return bytes;
}

std::string MacBytesToText(std::span<const std::uint8_t, 6> b) {
    char buf[18];
    std::snprintf(buf, sizeof buf, "%02x:%02x:%02x:%02x:%02x:%02x", b[0], b[1], b[2], b[3], b[4],
                  b[5]);
    return buf;
}
