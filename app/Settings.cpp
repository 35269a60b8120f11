#include "app/Settings.h"

#include <cctype>
#include <climits>
#include <vector>

#include "app/TextCase.h"
#include "platform/ProgramFolder.h"

namespace {

using S = AppSettings;

constexpr SettingKey kKeys[] = {
    {"Color", "ChildBkColor", "255,255,255", &S::ChildBkColor},
    {"Font", "FontName", "Arial", &S::FontName},
    {"Font", "ButtonMenuFontWeight", "0", &S::ButtonMenuFontWeight},
    {"Font", "ButtonMenuFontHeight", "15", &S::ButtonMenuFontHeight},
    {"Color", "ButtonMenuFontColor", "0,0,0", &S::ButtonMenuFontColor},
    {"Font", "ButtonFontWeight", "0", &S::ButtonFontWeight},
    {"Font", "ButtonFontHeight", "15", &S::ButtonFontHeight},
    {"Color", "ButtonFontColor", "0,0,0", &S::ButtonFontColor},
    {"Font", "StaticFontWeight", "0", &S::StaticFontWeight},
    {"Font", "StaticFontHeight", "15", &S::StaticFontHeight},
    {"Color", "StaticFontTextColor", "0,0,0", &S::StaticFontTextColor},
    {"Color", "StaticFontBkColor", "255,255,255", &S::StaticFontBkColor},
    {"Color", "TextDownColor", "216,34,40", &S::TextDownColor},
    {"Color", "LineColor", "215,215,215", &S::LineColor},
    {"Color", "ExpertTextColor", "255,0,0", &S::ExpertTextColor},
    {"Color", "StaticTextNumberColor", "142,142,142", &S::StaticTextNumberColor},
    {"Font", "GridTitleFontWeight", "700", &S::GridTitleFontWeight},
    {"Font", "GridTitleFontHeight", "15", &S::GridTitleFontHeight},
    {"Font", "GridFontWeight", "0", &S::GridFontWeight},
    {"Font", "GridFontHeight", "15", &S::GridFontHeight},
    {"Color", "GridTextColor", "0,0,0", &S::GridTextColor},
    {"Color", "GridTitleTextColor", "237,112,32", &S::GridTitleTextColor},
    {"Color", "GridTitleBkColor", "221,217,196", &S::GridTitleBkColor},
    {"Color", "TextUnlineColor", "142,142,142", &S::TextUnlineColor},
    {"Color", "TextOnlineColor", "0,153,0", &S::TextOnlineColor},
    {"Setting", "retransmission_max", "3", &S::retransmission_max},
    {"Setting", "retransmission_interval", "2000", &S::retransmission_interval},
};

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Splits at commas; a part that starts with a quotation mark runs to the matching closing mark
// (commas inside do not split) and then on to the next comma.
std::vector<std::string_view> SplitColorParts(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        size_t pos = start;
        if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
            const size_t close = text.find(text[pos], pos + 1);
            pos = close == std::string_view::npos ? text.size() : close + 1;
        }
        const size_t comma = text.find(',', pos);
        if (comma == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

}  // namespace

std::span<const SettingKey> SettingKeys() { return kKeys; }

int TextToInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool ParseColor(std::string_view text, ColorRef& color) {
    const std::vector<std::string_view> parts = SplitColorParts(text);
    if (parts.size() != 3) return false;
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        rgb[i] = TextToInt(parts[static_cast<size_t>(i)]);
        if (rgb[i] < 0 || rgb[i] > 255) return false;
    }
    color = MakeColor(rgb[0], rgb[1], rgb[2]);
    return true;
}

std::string ReadSetting(const COperateFileIni& ini, std::string_view section, std::string_view key,
                        std::string_view fallback) {
    return ini.GetString(section, key, fallback, kSettingValueChars);
}

AppSettings ReadSettings(const std::string& program_folder) {
    const COperateFileIni ini = COperateFileIni::Load(program_folder + "Setting.ini");
    AppSettings s;
    for (const SettingKey& k : kKeys) {
        const std::string text = ReadSetting(ini, k.section, k.key, k.default_text);
        if (auto* color = std::get_if<ColorRef AppSettings::*>(&k.field)) {
            ParseColor(text, s.**color);
        } else if (auto* number = std::get_if<int AppSettings::*>(&k.field)) {
            s.** number = TextToInt(text);
        } else {
            s.*std::get<std::string AppSettings::*>(k.field) = text;
        }
    }
    const std::string face = CutToChars(s.FontName, kGridFaceNameChars);
    s.GridTitleFont = {s.GridTitleFontHeight, s.GridTitleFontWeight, face};
    s.GridFont = {s.GridFontHeight, s.GridFontWeight, face};
    s.grid_row_height = kGridRowHeight;
    return s;
}

AppSettings ReadSettings() { return ReadSettings(platform::GetProgramFolder()); }
