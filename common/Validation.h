#pragma once
// Checks of everything a user types before it goes to a device: addresses, masks, gateways and
// DNS servers, device names and SSIDs, WPA/RADIUS/WEP keys, the key update interval, transmit
// power, VLAN ids and the scheduled-reboot time.
//
// The checks have no state and show nothing. A failed check returns the English source text of
// its message (also the language lookup key), the field that should get the focus after the box
// closes, and the kind of box; the dialog shows it (MessageText builds the final text) and stops
// its Save. The dialogs call the sequence functions below in the order they list.
//
// Address texts are what an address control gives ("a.b.c.d" or empty) and narrow; names, SSIDs
// and keys are window texts, UTF-16, where a character is one code unit.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ValueTables.h"

// The field a dialog focuses after showing a failed check's message.
enum class CheckFocus {
    None,
    Ssid,
    DeviceName,
    TxPower,
    PskKeyInterval,
    RadiusKeyInterval,
    VlanId,  // the edit the caller passed to CheckVlanId
};

enum class MessageKind {
    None,
    Plain,              // OK box, no icon, the application's name as caption (address messages)
    Warning,            // exclamation icon, empty caption
    WarningAppCaption,  // exclamation icon, the application's name as caption (WEP keys)
};
// The bridge wizard shows every one of its messages with an empty caption, whatever the kind.

struct CheckResult {
    bool ok = true;
    std::string message;  // English source text; for the power rule a format with two %d
    CheckFocus focus = CheckFocus::None;
    MessageKind box = MessageKind::None;
    std::string label;      // CheckVlanId: the field's label, shown before the message
    std::vector<int> args;  // values for the %d of message

    explicit operator bool() const { return ok; }
};

// The text to show: the translated message (label first for a VLAN id), its %d filled in.
std::string MessageText(const CheckResult& result, const Translator& tr = {});

// ---- text helpers ----
// Splits on delimiter, the last part always taken; an empty part is dropped or replaced by
// empty_value.
std::vector<std::string> SplitString(std::string_view text, std::string_view delimiter,
                                     bool drop_empty, std::string_view empty_value = {});
bool HasFourParts(std::string_view text);  // four parts on ".", empty parts counted
bool IsHexString(std::u16string_view text);
bool IsAsciiString(std::u16string_view text);
bool HasNonSpace(std::u16string_view text);

// ---- address rules ----
// Empty and "0.0.0.0" give allow_empty. Otherwise four dotted numbers 0 to 255, the first not
// 0, 127 or 224 and above, the last not 0 or 255.
bool CheckIpAddress(std::string_view text, bool allow_empty);
// A contiguous mask from 128.0.0.0 to 255.255.255.254.
bool CheckNetmask(std::string_view text);
bool IsGatewayInSubnet(const IpBytes& gateway, const IpBytes& address, const IpBytes& mask);
// "%d.%d.%d.%d" of address AND mask.
std::string GetNetworkSegment(const IpBytes& address, const IpBytes& mask);
// False only when both are set (not empty, not "0.0.0.0") and equal.
bool CheckDnsPair(std::string_view primary, std::string_view secondary);

// The texts of a dialog's address controls.
struct IpSetTexts {
    std::string ip;  // the device's address; the first of the range on the multi-device dialog
    std::string mask;
    std::string gateway;
    std::string dns1;
    std::string dns2;
    std::string last_ip;  // multi-device dialog only: the last address of the range
};

// The three address-set validators: the device IP page, the several-devices dialog (range
// checks only when more than one device is selected), the bridge wizard's IP page.
CheckResult CheckIpSettings(const IpSetTexts& texts);
CheckResult CheckIpSettingsMulti(const IpSetTexts& texts, int device_count);
CheckResult CheckBridgeIpSettings(const IpSetTexts& texts);

// Address texts of every device in the store at the moment of the call.
using IpListSource = std::function<std::vector<std::string>()>;
// Passes at once when the new address equals the current one (an empty new text counts as
// "0.0.0.0"); otherwise fails when any stored device has the new address. The list is read only
// in that case.
CheckResult CheckIpInUse(std::string_view new_ip, std::string_view current_ip,
                         const IpListSource& stored_ips);

// ---- names and SSIDs ----
// The wireless page: empty, spaces only, then the strict or loose rule by device type.
CheckResult CheckSsid(std::u16string_view ssid, int ap_type);
// The bridge wizard: empty, then the character rule (spaces only is not refused there).
CheckResult CheckBridgeSsid(std::u16string_view ssid, int ap_type);
// The IP page: empty, then the strict or loose rule by device type.
CheckResult CheckDeviceName(std::u16string_view name, int ap_type);
// The character rule alone (the grid rename, where an empty name just restores the old one).
CheckResult CheckDeviceNameRule(std::u16string_view name, int ap_type);

// ---- security ----
// Security codes 2 to 4 on the wireless page: the key, then the update interval (empty, then 0
// or 60 to 99999).
CheckResult CheckPskSettings(std::u16string_view key, std::u16string_view interval);
// The bridge wizard: the key, then the interval must not be empty (no range rule).
CheckResult CheckBridgePskSettings(std::u16string_view key, std::u16string_view interval);
// The key alone: 8 to 64 ASCII characters, and 64 only when all are hex digits.
bool CheckPskKey(std::u16string_view key);

// Security codes 5 and 6: server address and port, the RADIUS key (1 to 64 ASCII), the update
// interval (empty, then the range; only the range message focuses the field).
CheckResult CheckRadiusSettings(const IpBytes& server, std::u16string_view port,
                                std::u16string_view key, std::u16string_view interval);
// Server address and port (an empty port counts as "0"; 1 to 65535).
CheckResult CheckRadiusServer(const IpBytes& server, std::u16string_view port);

struct WepKeyTexts {
    std::u16string key[4];
    bool hex[4] = {false, false, false, false};  // the key's format choice: "Hex" or "ASCII"
};
// One key by its format: ASCII 5 or 13 characters, all ASCII; Hex 10 or 26 hex digits. In the
// bridge wizard a non-ASCII character in an ASCII key gets the length message.
CheckResult CheckWepKey(std::u16string_view key, bool hex, bool bridge_wizard = false);
// Every non-empty key in order, then the default key (1 to 4; the wizard's 0-based choice
// plus one) must not be empty.
CheckResult CheckWepKeys(const WepKeyTexts& keys, int default_key, bool bridge_wizard = false);

// ---- other fields ----
// Not empty and within the device's reported range, inclusive.
CheckResult CheckTxPower(std::u16string_view power, int tx_power_min, int tx_power_max);
// Not empty and 1 to 4094; the message is the label (a lookup key, "VLAN", "LAN3", ...) and
// "range:1-4094".
CheckResult CheckVlanId(std::u16string_view id, std::string_view label);
// Only when the schedule is on: both fields set, 0-23 and 0-59, some day (or every day) chosen.
CheckResult CheckRebootTime(std::u16string_view hour, std::u16string_view minute, bool any_day);

// The decimal value of a number field (digits, an optional leading '-'); nullopt when the text is
// empty or holds anything else. Huge values saturate, so they fail every range.
std::optional<long long> ParseFieldNumber(std::u16string_view text);
