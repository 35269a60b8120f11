#pragma once
// Request payloads the PC sends to a device, built from what a dialog holds and, where a block
// is a slice of the device record, from the dialog's copy of that record (its reserved bytes are
// carried as the record has them).
//
// Two steps, as the dialogs work: a Build* function fills a block with the dialog's values, texts
// in local encoding cut to their field, so the dialog can compare the block with the record to
// decide whether anything changed; a *Payload function turns the block into the bytes handed to
// SendPacketMutilcast, re-encoding device names and SSIDs with LocalTextToDevice on the way and
// setting their length bytes to the converted length. Requests of types 1, 2, 6, 9, 10, 15, 16
// and 17 carry no payload and need nothing here.
//
// All functions are pure: no sockets, no store, no logging.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ValueTables.h"
#include "common/wire.h"

using Payload = std::vector<uint8_t>;

// The bytes of any block that goes out as it stands (IP, scheduled reboot, switch, upgrade).
template <class T>
Payload ToPayload(const T& block) {
    const auto bytes = WireBytes(block);
    return Payload(bytes.begin(), bytes.end());
}

// Byte-for-byte equality of two wire records: how the dialogs decide "changed".
template <class T>
bool WireEqual(const T& a, const T& b) {
    const auto x = WireBytes(a);
    const auto y = WireBytes(b);
    return std::equal(x.begin(), x.end(), y.begin());
}

// Security codes of `secure_mode`.
inline constexpr uint8_t kSecureNone = 0;
inline constexpr uint8_t kSecureWep = 1;
inline constexpr uint8_t kSecureWpaPsk = 2;
inline constexpr uint8_t kSecureWpa2Psk = 3;
inline constexpr uint8_t kSecureMixedPsk = 4;
inline constexpr uint8_t kSecureWpa = 5;
inline constexpr uint8_t kSecureWpa2 = 6;

// ---------------------------------------------------------------------------------------------
// IP settings (type 3, 22 bytes).

struct IpAddressSet {
    IpBytes ip{};
    IpBytes mask{};
    IpBytes gateway{};
    IpBytes dns1{};
    IpBytes dns2{};
};

// A static-address block (`ip_mode` 1). `ip_flag` is 1 in an IP-set request, 0 when a VLAN
// request goes in the same save, and always 0 inside a bridge order.
ip_block BuildIpBlock(const IpAddressSet& addresses, uint8_t ip_flag);

// True when the block's five addresses differ from the record's. The address mode and flag are
// not compared: the PC always asks for a static address, whatever the device reported.
bool IpAddressesChanged(const ap_info_stu& record, const ip_block& block);

// Several devices from one address range: first, last, and the common mask, gateway and DNS.
struct IpRange {
    IpBytes first{};
    IpBytes last{};
    IpBytes mask{};
    IpBytes gateway{};
    IpBytes dns1{};
    IpBytes dns2{};
};

// One IP-set block per device, in selection order (`ip_flag` 1). A single device gets the first
// address as it stands. Several devices get the addresses from first to last in increasing
// order, skipping those whose last octet is 0 or 255; when the range runs out, the devices left
// over get none, so the result may be shorter than device_count.
std::vector<ip_block> BuildRangeIpBlocks(const IpRange& range, std::size_t device_count);

// ---------------------------------------------------------------------------------------------
// Device name (type 8, 33 bytes).

// The name cut to 32 bytes without splitting a character, with its length.
name_block BuildNameBlock(std::string_view local_name);
Payload NameSetPayload(const name_block& block);

// ---------------------------------------------------------------------------------------------
// Security settings shared by the wireless page and the bridge wizard.

struct WepKeyChoice {
    uint8_t type = 0;  // 0 ASCII, 1 Hex
    std::string text;  // cut to 26 bytes
};

struct WepChoices {
    uint8_t auth_type = 0;  // 0 Open, 1 Share
    // The wireless page numbers the default key 1 to 4, the bridge wizard 0 to 3; each request
    // carries its own dialog's number unchanged.
    uint8_t key_index = 0;
    std::array<WepKeyChoice, 4> keys;
};

struct PskChoices {
    uint8_t auth_type = 0;  // 0 AES, 1 TKIP, 2 TKIP&AES
    std::string key;        // cut to 64 bytes
    uint32_t key_time = 0;  // key update interval
};

struct RadiusChoices {
    uint8_t auth_type = 0;  // 0 AES, 1 TKIP, 2 AES/TKIP
    IpBytes server{};
    uint16_t port = 0;
    std::string key;  // cut to 64 bytes
    uint32_t key_time = 0;
};

// ---------------------------------------------------------------------------------------------
// Wireless settings (type 4: 328 bytes, 342 with the switch block for the DFS types).

struct WirelessChoices {
    std::string ssid;  // local text; cut to 32 bytes
    bool ssid_hide = false;
    uint8_t country_code = 0;
    uint8_t network_mode = 0;
    uint8_t bandwidth = 0;
    uint8_t channel = 0;
    uint8_t expand_channel = 0;  // the selected extension code; used on 2.4 GHz only
    uint8_t tx_power = 0;
    bool dfs_on = false;  // DFS types only
    uint8_t secure_mode = kSecureNone;
    WepChoices wep;        // used with kSecureWep
    PskChoices psk;        // used with the three PSK modes
    RadiusChoices radius;  // used with kSecureWpa and kSecureWpa2
};

struct WirelessRequest {
    wireless_block block{};
    switch_block extra{};  // sent behind the block for the DFS types: zero but `wl_dfs`
    bool changed = false;
};

// Device types whose wireless request carries the switch block too.
bool WirelessTakesSwitchBlock(int ap_type);

// The block starts as the record's wireless bytes; the dialog's values replace the radio
// fields, the SSID and the fields of the chosen security mode, while the other modes' fields
// and the reserved bytes stay as the record has them. `changed` compares with the record after
// setting its `rf_count` and `ssid_count` to 1 (the request always sends 1), and for the DFS
// types also compares the DFS state with the record's `wl_dfs`.
WirelessRequest BuildWirelessRequest(const ap_info_stu& record, int ap_type,
                                     const WirelessChoices& choices);

// 328 bytes, or 342 with `extra` for the DFS types; the SSID re-encoded for the device.
Payload WirelessSetPayload(const wireless_block& block, const switch_block& extra, int ap_type);

// ---------------------------------------------------------------------------------------------
// Scheduled reboot (type 5, 4 bytes).

inline constexpr uint8_t kRebootMonday = 0x02;
inline constexpr uint8_t kRebootTuesday = 0x04;
inline constexpr uint8_t kRebootWednesday = 0x08;
inline constexpr uint8_t kRebootThursday = 0x10;
inline constexpr uint8_t kRebootFriday = 0x20;
inline constexpr uint8_t kRebootSaturday = 0x40;
inline constexpr uint8_t kRebootSunday = 0x80;
inline constexpr uint8_t kRebootEveryday = 0xFE;

struct RebootChoices {
    bool enabled = false;
    uint8_t day_mask = 0;  // OR of the kReboot* day bits
    unsigned hour = 0;     // 0 to 23, checked by the page
    unsigned minute = 0;   // 0 to 59, checked by the page
};

// Switched off, the reported days and time are kept and only `restart_en` becomes 0; switched
// on, the block is 1, the day mask and hour * 60 + minute.
reboot_block BuildRebootBlock(const reboot_block& reported, const RebootChoices& choices);

// ---------------------------------------------------------------------------------------------
// VLAN settings (type 13: 10 bytes, 24 with the switch block for the 11ac types).

struct VlanChoices {
    bool enabled = false;
    uint16_t vlan_id = 0;       // management VLAN
    uint16_t vlan_id_wlan = 0;  // wireless VLAN
    uint16_t lan2 = 0;          // the "LAN2" (or "LAN") field
    uint16_t pvid = 0;
    uint16_t lan3 = 0;
    uint16_t lan4 = 0;
};

struct VlanRequest {
    vlan_block block{};    // `vlan_flag` 0
    switch_block extra{};  // the record's switch block with its last four bytes zeroed
    bool changed = false;
};

// Device types whose VLAN request carries the switch block too.
bool VlanTakesSwitchBlock(int ap_type);

// Starts from the record's VLAN and switch blocks. Enabled, the ids the device type has fields
// for are replaced (management and wireless VLAN always; PVID for the DFS types and types 10,
// 11, 268, 269, 270; LAN2 for 10, 11, 268, 269, 270; LAN3 and LAN4 for 10, 268, 269); disabled,
// only `vlan_en` becomes 0 and every id stays as the record has it. The ids are expected to be
// checked by the page already.
VlanRequest BuildVlanRequest(const ap_info_stu& record, int ap_type, const VlanChoices& choices);

// 10 bytes, or 24 with `extra` for the 11ac types.
Payload VlanSetPayload(const vlan_block& block, const switch_block& extra, int ap_type);

// ---------------------------------------------------------------------------------------------
// Transparent bridge (type 18) and TDMA (type 19): a 14-byte switch block with one byte set.

switch_block BuildTransparentBridgeBlock(bool on);
switch_block BuildTdmaBlock(bool on);

// ---------------------------------------------------------------------------------------------
// Bridge order (type 7, 328 bytes): makes the device a station of another device's network.

struct BridgeChoices {
    MacBytes peer_mac{};  // the access point to join
    uint8_t channel = 0;  // 0: automatic
    std::string ssid;     // local text; cut to 32 bytes
    uint8_t secure_mode = kSecureNone;
    PskChoices psk;  // used with the three PSK modes
    WepChoices wep;  // used with kSecureWep; key_index 0 to 3
};

// Bytes 0 to 303 of the order (`bridge_work_mode` 2, the link and the chosen mode's fields; every
// other byte 0); the IP block is added when the order is sent.
config_bridge BuildBridgeSecurity(const BridgeChoices& choices);

// The whole order: the security part, the IP block (its `ip_flag` forced to 0) and zero bytes
// 326 and 327, with the SSID re-encoded for the device.
Payload BridgeSetPayload(const config_bridge& security, const ip_block& ip);

// ---------------------------------------------------------------------------------------------
// Upgrade order (type 11, 268 bytes).

// The file name (any folder in front is dropped) and the file's size. No order can be built
// for an empty name, a name longer than the 255 bytes its length byte can count, or a size that
// does not fit 32 bits.
std::optional<upgrade_order> BuildUpgradeOrder(std::string_view file_name, uint64_t file_size);
