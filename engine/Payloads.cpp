#include "engine/Payloads.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

#include "common/DeviceText.h"

namespace {

// Writes local text into a zeroed text field, cut to the field without splitting a character;
// returns the length byte.
template <std::size_t N>
uint8_t WriteLocalText(char (&field)[N], std::string_view text) {
    const std::string cut = CutLocalText(text, std::min<std::size_t>(N, 255));
    std::memset(field, 0, N);
    std::memcpy(field, cut.data(), cut.size());
    return static_cast<uint8_t>(cut.size());
}

// Re-encodes a field's text for the device in place and sets its length byte to the converted
// length. The text is copied out first: the writer zeroes the field before it writes.
template <std::size_t N>
void ReencodeForDevice(char (&field)[N], uint8_t& length) {
    const std::string local(field, std::min<std::size_t>(length, N));
    length = WriteDeviceTextField(local, std::span<uint8_t>(reinterpret_cast<uint8_t*>(field), N));
}

void CopyIp(uint8_t (&to)[4], const IpBytes& from) { std::copy(from.begin(), from.end(), to); }

uint32_t IpNumber(const IpBytes& ip) {
    return (uint32_t{ip[0]} << 24) | (uint32_t{ip[1]} << 16) | (uint32_t{ip[2]} << 8) | ip[3];
}

IpBytes IpFromNumber(uint32_t n) {
    return {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
            static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
}

bool IsPskMode(uint8_t secure_mode) {
    return secure_mode == kSecureWpaPsk || secure_mode == kSecureWpa2Psk ||
           secure_mode == kSecureMixedPsk;
}

// The WEP and PSK fields are laid out alike in the wireless block and in the bridge order.
template <class Block>
void FillWep(Block& b, const WepChoices& wep) {
    b.wep_auth_type = wep.auth_type;
    b.wep_key_index = wep.key_index;
    b.wep_key_type0 = wep.keys[0].type;
    b.wep_key_value0_len = WriteLocalText(b.wep_key_value0, wep.keys[0].text);
    b.wep_key_type1 = wep.keys[1].type;
    b.wep_key_value1_len = WriteLocalText(b.wep_key_value1, wep.keys[1].text);
    b.wep_key_type2 = wep.keys[2].type;
    b.wep_key_value2_len = WriteLocalText(b.wep_key_value2, wep.keys[2].text);
    b.wep_key_type3 = wep.keys[3].type;
    b.wep_key_value3_len = WriteLocalText(b.wep_key_value3, wep.keys[3].text);
}

template <class Block>
void FillPsk(Block& b, const PskChoices& psk) {
    b.wpapsk_auth_type = psk.auth_type;
    b.wpapsk_key_value_len = WriteLocalText(b.wpapsk_key_value, psk.key);
    b.wpapsk_key_time = psk.key_time;
}

template <class T>
void Append(Payload& out, const T& block) {
    const auto bytes = WireBytes(block);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

constexpr bool IsOneOf(int v, std::initializer_list<int> set) {
    return std::find(set.begin(), set.end(), v) != set.end();
}

}  // namespace

// ---------------------------------------------------------------------------------------------

ip_block BuildIpBlock(const IpAddressSet& a, uint8_t ip_flag) {
    ip_block b{};
    b.ip_mode = 1;  // static address
    CopyIp(b.ip, a.ip);
    CopyIp(b.ip_mask, a.mask);
    CopyIp(b.ip_gateway, a.gateway);
    CopyIp(b.ip_dns1, a.dns1);
    CopyIp(b.ip_dns2, a.dns2);
    b.ip_flag = ip_flag;
    return b;
}

bool IpAddressesChanged(const ap_info_stu& record, const ip_block& block) {
    ip_block reported = ExtractBlock<ip_block>(record);
    reported.ip_mode = block.ip_mode;
    reported.ip_flag = block.ip_flag;
    return !WireEqual(reported, block);
}

std::vector<ip_block> BuildRangeIpBlocks(const IpRange& range, std::size_t device_count) {
    std::vector<ip_block> blocks;
    IpAddressSet set{range.first, range.mask, range.gateway, range.dns1, range.dns2};
    if (device_count == 1) {
        blocks.push_back(BuildIpBlock(set, 1));
        return blocks;
    }
    // 64-bit counter: a range ending at 255.255.255.255 must still end.
    const uint64_t last = IpNumber(range.last);
    for (uint64_t n = IpNumber(range.first); n <= last && blocks.size() < device_count; ++n) {
        const uint8_t low = static_cast<uint8_t>(n);
        if (low == 0 || low == 255) continue;
        set.ip = IpFromNumber(static_cast<uint32_t>(n));
        blocks.push_back(BuildIpBlock(set, 1));
    }
    return blocks;
}

// ---------------------------------------------------------------------------------------------

name_block BuildNameBlock(std::string_view local_name) {
    name_block b{};
    b.ap_name_len = WriteLocalText(b.ap_name, local_name);
    return b;
}

Payload NameSetPayload(const name_block& block) {
    name_block b = block;
    ReencodeForDevice(b.ap_name, b.ap_name_len);
    return ToPayload(b);
}

// ---------------------------------------------------------------------------------------------

bool WirelessTakesSwitchBlock(int ap_type) { return IsDfsType(ap_type); }

WirelessRequest BuildWirelessRequest(const ap_info_stu& record, int ap_type,
                                     const WirelessChoices& c) {
    WirelessRequest r;
    wireless_block& b = r.block;
    b = ExtractBlock<wireless_block>(record);

    b.rf_count = 1;
    b.rf_en = 1;
    b.country_code = c.country_code;
    b.network_mode = c.network_mode;
    b.bandwidth = c.bandwidth;
    b.channel = c.channel;
    if (b.rf_type == 0) {
        // On 2.4 GHz an extension channel exists only for 11b/g/n at 40 MHz on a fixed channel;
        // 2 tells the device there is none. On 5 GHz the device's value stays.
        const bool has_extension = c.network_mode == 4 && c.bandwidth == 1 && c.channel != 0;
        b.expand_channel = has_extension ? c.expand_channel : 2;
    }
    b.tx_power = c.tx_power;
    b.ssid_rf_type = b.rf_type;
    b.ssid_id = 0;
    b.ssid_hide = c.ssid_hide ? 1 : 0;
    b.ssid_len = WriteLocalText(b.ssid, c.ssid);
    b.secure_mode = c.secure_mode;
    b.ssid_count = 1;

    if (c.secure_mode == kSecureWep) {
        FillWep(b, c.wep);
    } else if (IsPskMode(c.secure_mode)) {
        FillPsk(b, c.psk);
    } else if (c.secure_mode == kSecureWpa || c.secure_mode == kSecureWpa2) {
        b.wpa_auth_type = c.radius.auth_type;
        CopyIp(b.wpa_radius_ip, c.radius.server);
        b.wpa_radius_port = c.radius.port;
        b.wpa_key_len = WriteLocalText(b.wpa_key, c.radius.key);
        b.wpa_key_time = c.radius.key_time;
    }

    const bool dfs = WirelessTakesSwitchBlock(ap_type);
    if (dfs) r.extra.wl_dfs = c.dfs_on ? 1 : 0;

    // The request always sends one radio and one SSID; a device reporting other counts has not
    // changed because of that.
    wireless_block reported = ExtractBlock<wireless_block>(record);
    reported.rf_count = 1;
    reported.ssid_count = 1;
    r.changed = !WireEqual(reported, b) || (dfs && r.extra.wl_dfs != record.wl_dfs);
    return r;
}

Payload WirelessSetPayload(const wireless_block& block, const switch_block& extra, int ap_type) {
    wireless_block b = block;
    ReencodeForDevice(b.ssid, b.ssid_len);
    Payload out = ToPayload(b);
    if (WirelessTakesSwitchBlock(ap_type)) Append(out, extra);
    return out;
}

// ---------------------------------------------------------------------------------------------

reboot_block BuildRebootBlock(const reboot_block& reported, const RebootChoices& c) {
    reboot_block b = reported;
    if (!c.enabled) {
        b.restart_en = 0;
        return b;
    }
    b.restart_en = 1;
    b.restart_type = c.day_mask;
    b.restart_time = static_cast<uint16_t>(c.hour * 60 + c.minute);
    return b;
}

// ---------------------------------------------------------------------------------------------

bool VlanTakesSwitchBlock(int ap_type) { return Is11acType(ap_type); }

VlanRequest BuildVlanRequest(const ap_info_stu& record, int ap_type, const VlanChoices& c) {
    VlanRequest r;
    const vlan_block reported = ExtractBlock<vlan_block>(record);
    const switch_block reported_switches = ExtractBlock<switch_block>(record);
    r.block = reported;
    r.extra = reported_switches;

    if (c.enabled) {
        r.block.vlan_en = 1;
        r.block.vlan_id = c.vlan_id;
        r.block.vlan_id_wlan = c.vlan_id_wlan;
        if (IsOneOf(ap_type, {11, 270})) {
            r.block.vlan_id_lan = c.lan2;
            r.extra.vlan_pvid = c.pvid;
        } else if (IsDfsType(ap_type)) {
            r.extra.vlan_pvid = c.pvid;
        } else if (IsOneOf(ap_type, {10, 268, 269})) {
            r.block.vlan_id_lan = c.lan2;
            r.extra.vlan_pvid = c.pvid;
            r.extra.vlan_id_lan3 = c.lan3;
            r.extra.vlan_id_lan4 = c.lan4;
        }
    } else {
        r.block.vlan_en = 0;
    }

    r.changed = !WireEqual(r.block, reported) ||
                (VlanTakesSwitchBlock(ap_type) && !WireEqual(r.extra, reported_switches));

    r.block.vlan_flag = 0;
    // Only the VLAN part of the switch block goes with a VLAN request.
    r.extra.reserved_8[2] = 0;
    r.extra.reserved_8[3] = 0;
    r.extra.wl_dfs = 0;
    r.extra.reserved_13 = 0;
    return r;
}

Payload VlanSetPayload(const vlan_block& block, const switch_block& extra, int ap_type) {
    Payload out = ToPayload(block);
    if (VlanTakesSwitchBlock(ap_type)) Append(out, extra);
    return out;
}

// ---------------------------------------------------------------------------------------------

switch_block BuildTransparentBridgeBlock(bool on) {
    switch_block b{};
    b.bridge_transparent = on ? 1 : 0;
    return b;
}

switch_block BuildTdmaBlock(bool on) {
    switch_block b{};
    b.tdmaEn = on ? 1 : 0;
    return b;
}

// ---------------------------------------------------------------------------------------------

config_bridge BuildBridgeSecurity(const BridgeChoices& c) {
    config_bridge b{};
    b.bridge_work_mode = 2;  // station
    std::copy(c.peer_mac.begin(), c.peer_mac.end(), b.bridge_mac);
    b.bridge_channel = c.channel;
    b.bridge_ssid_len = WriteLocalText(b.bridge_ssid, c.ssid);
    b.secure_mode = c.secure_mode;
    if (IsPskMode(c.secure_mode)) {
        FillPsk(b, c.psk);
    } else if (c.secure_mode == kSecureWep) {
        FillWep(b, c.wep);
    }
    return b;
}

Payload BridgeSetPayload(const config_bridge& security, const ip_block& ip) {
    config_bridge b{};
    std::memcpy(WireBytes(b).data(), WireBytes(security).data(), kBridgeSecurityBlockSize);
    b.ip_settings = ip;
    b.ip_settings.ip_flag = 0;
    ReencodeForDevice(b.bridge_ssid, b.bridge_ssid_len);
    return ToPayload(b);
}

// ---------------------------------------------------------------------------------------------

std::optional<upgrade_order> BuildUpgradeOrder(std::string_view file_name, uint64_t file_size) {
    const std::size_t slash = file_name.find_last_of('/');
    if (slash != std::string_view::npos) file_name.remove_prefix(slash + 1);
    if (file_name.empty() || file_name.size() > std::numeric_limits<uint8_t>::max() ||
        file_size > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    upgrade_order order{};
    std::memcpy(order.file_name, file_name.data(), file_name.size());
    order.file_name_len = static_cast<uint8_t>(file_name.size());
    order.file_size = static_cast<uint32_t>(file_size);
    return order;
}
