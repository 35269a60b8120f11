#pragma once
// Code-to-text tables of the device record, the device type groups, and the address and uptime
// text formats.
//
// Texts that are shown translated come back as their English source text, which is also the
// language lookup key, passed through the optional translator (the application's TranslateText).
// With no translator the source text itself is returned, so the store and the tests need no
// language files.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

using Translator = std::function<std::string(const std::string&)>;

// tr(text), or text itself when tr is empty. An empty text stays empty.
std::string Translate(const Translator& tr, const std::string& text);

using IpBytes = std::array<std::uint8_t, 4>;
using MacBytes = std::array<std::uint8_t, 6>;

// ---- code tables (an unknown code gives an empty text) ----
std::string GetStatusText(int ap_status, const Translator& tr = {});
std::string GetWorkModeText(int work_mode, const Translator& tr = {});
// The list text ("WPA2_PSK"); translated.
std::string GetSecureModeText(int secure_mode, const Translator& tr = {});
// The wireless page's own untranslated name of a security code ("WPA2-PSK").
std::string GetSecureModeChoiceText(int secure_mode);
// "AES", "TKIP", "TKIP&&AES" (a label: && shows as one ampersand).
std::string GetPskCipherText(int wpapsk_auth_type);
// "AES", "TKIP", "AES/TKIP".
std::string GetRadiusCipherText(int wpa_auth_type);
// "Open", "Share".
std::string GetWepAuthText(int wep_auth_type);
// "ASCII", "Hex".
std::string GetWepKeyTypeText(int wep_key_type);

// "Auto" (translated) for 0, else the decimal number.
std::string GetChannelText(int channel, const Translator& tr = {});
// "N/A" for types 4 and 261 and work modes 4 to 7, else "On2"/"Off2" translated.
std::string GetTransparentText(int ap_type, int work_mode, int bridge_transparent,
                               const Translator& tr = {});
// "On2"/"Off2" translated for the TDMA types, else "N/A".
std::string GetTdmaText(int ap_type, int tdma_en, const Translator& tr = {});
// "d h:m:s", or "h:m:s" under a day; no leading zeros.
std::string GetUpTimeText(std::uint32_t seconds);

// ---- device models ----
// Model name of a type code; any code outside the table gives the name of code 1.
const std::string& GetApTypeText(int ap_type);
// Type code whose model name equals text exactly; 1 when none does.
int ApTypeFromText(std::string_view text);
// Every type code that has a model name, in ascending order (41 codes).
std::span<const int> GetApTypeCodes();

// ---- device type groups ----
bool IsStrictNameType(int ap_type);  // strict name and SSID rule
bool IsDfsType(int ap_type);         // DFS box, DFS channels, extra wireless block
bool Is11acType(int ap_type);        // "11ac" offered, extended VLAN fields
bool IsReducedType(int ap_type);     // no WEP/WPA/WPA2, no VLAN tab
bool IsNarrowBandType(int ap_type);  // 5 GHz Auto, 10-40 MHz
bool IsWideBandType(int ap_type);    // 5 GHz Auto, 10-40 MHz, 50/60/80 MHz with 11ac
bool IsTdmaType(int ap_type);        // TDMA text shows On/Off
// 13, 271 and the DFS types take their 5 GHz channels from the region lists.
bool IsRegionListType(int ap_type);

// ---- address texts ----
// "%d.%d.%d.%d": numbers are read leniently and kept in 8 bits; missing numbers and an empty
// text give zero bytes.
IpBytes IpTextToBytes(std::string_view text);
std::string IpBytesToText(std::span<const std::uint8_t, 4> bytes);
// First number in the top byte; an empty text gives 0. Used to sort by address.
std::uint32_t IpTextToNumber(std::string_view text);
// The dotted text of a number built by IpTextToNumber.
std::string IpNumberToText(std::uint32_t number);
// "%02x:%02x:%02x:%02x:%02x:%02x"; an empty text (or missing pairs) gives zero bytes.
MacBytes MacTextToBytes(std::string_view text);
// Lower-case hex pairs separated by colons.
std::string MacBytesToText(std::span<const std::uint8_t, 6> bytes);
