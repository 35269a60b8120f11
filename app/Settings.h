#pragma once
// The look of the program and the engine's two parameters, read once at start-up from
// Setting.ini in the program folder. The file is only read; a missing file or key gives the
// built-in default. Plain values only: the window layer turns them into colours and fonts.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "app/OperateFileIni.h"

// A colour as red in the low byte, then green, then blue.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColor(int red, int green, int blue) {
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int ColorRed(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int ColorGreen(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int ColorBlue(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

// The parts of a font description the grids use; everything else is zero.
struct GridFontRecord {
    int height = 0;         // cell height in pixels; 0 lets the system choose
    int weight = 0;         // 0 default, 400 normal, 700 bold
    std::string face_name;  // at most 31 characters
};

inline constexpr size_t kGridFaceNameChars = 31;
inline constexpr size_t kSettingValueChars = 63;
inline constexpr int kGridRowHeight = 48;

// Every field starts zeroed; a colour whose text does not parse stays black.
struct AppSettings {
    ColorRef ChildBkColor = 0;
    std::string FontName;
    int ButtonMenuFontWeight = 0;
    int ButtonMenuFontHeight = 0;
    ColorRef ButtonMenuFontColor = 0;
    int ButtonFontWeight = 0;
    int ButtonFontHeight = 0;
    ColorRef ButtonFontColor = 0;
    int StaticFontWeight = 0;
    int StaticFontHeight = 0;
    ColorRef StaticFontTextColor = 0;
    ColorRef StaticFontBkColor = 0;
    ColorRef TextDownColor = 0;
    ColorRef LineColor = 0;
    ColorRef ExpertTextColor = 0;
    ColorRef StaticTextNumberColor = 0;
    int GridTitleFontWeight = 0;
    int GridTitleFontHeight = 0;
    int GridFontWeight = 0;
    int GridFontHeight = 0;
    ColorRef GridTextColor = 0;
    ColorRef GridTitleTextColor = 0;
    ColorRef GridTitleBkColor = 0;
    ColorRef TextUnlineColor = 0;
    ColorRef TextOnlineColor = 0;
    int retransmission_max = 0;
    int retransmission_interval = 0;  // milliseconds

    // Derived when the settings are read.
    GridFontRecord GridTitleFont;  // header row
    GridFontRecord GridFont;       // body cells
    int grid_row_height = 0;
};

// One key of Setting.ini and the field it fills.
struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::string_view default_text;
    std::variant<ColorRef AppSettings::*, int AppSettings::*, std::string AppSettings::*> field;
};

// Every key in the order in which it is read.
std::span<const SettingKey> SettingKeys();

// The value of a key, or `fallback` when the file, the section or the key is missing; only the
// first 63 characters are used.
std::string ReadSetting(const COperateFileIni& ini, std::string_view section, std::string_view key,
                        std::string_view fallback);

// Three decimal numbers separated by commas (red, green, blue), each 0 to 255. On failure
// returns false and leaves `color` unchanged.
bool ParseColor(std::string_view text, ColorRef& color);

// The C library's text-to-int rule: leading blanks skipped, an optional sign, digits up to the
// first non-digit, 0 without digits; out-of-range values are clamped.
int TextToInt(std::string_view text);

// Reads <program_folder>Setting.ini into a fresh settings record.
AppSettings ReadSettings(const std::string& program_folder);
AppSettings ReadSettings();  // under the executable's folder
