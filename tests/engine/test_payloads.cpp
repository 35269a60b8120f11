#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/Payloads.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Slice(const Payload& p, std::size_t from, std::size_t n) {
    return Bytes(p.begin() + from, p.begin() + from + n);
}

std::string Text(const Payload& p, std::size_t from, std::size_t n) {
    return std::string(p.begin() + from, p.begin() + from + n);
}

template <std::size_t N>
void SetText(char (&field)[N], uint8_t& len, const char* text) {
    std::memset(field, 0, N);
    len = static_cast<uint8_t>(std::strlen(text));
    std::memcpy(field, text, len);
}

// A device record as a configuration report would leave it: a 2.4 GHz AP of type 15 with WEP
// keys set, a RADIUS server, non-zero reserved bytes and counts the request never sends.
ap_info_stu SampleRecord() {
    ap_info_stu r{};
    r.ap_type = 15;
    r.work_mode = 1;
    r.ip_mode = 0;  // reported as DHCP
    const uint8_t ip[4] = {192, 168, 0, 254};
    std::memcpy(r.ip, ip, 4);
    const uint8_t mask[4] = {255, 255, 255, 0};
    std::memcpy(r.ip_mask, mask, 4);
    r.ip_flag = 7;
    r.rf_count = 2;
    r.rf_en = 1;
    r.rf_type = 0;
    r.country_code = 5;
    r.network_mode = 4;
    r.bandwidth = 1;
    r.channel = 6;
    r.expand_channel = 1;
    r.tx_power = 20;
    r.tx_power_min = 3;
    r.tx_power_max = 27;
    std::memset(r.reserved_135, 0xA5, sizeof r.reserved_135);
    r.ssid_rf_type = 0;
    const uint8_t smac[6] = {0x02, 0, 0, 0, 0, 0x01};
    std::memcpy(r.ssid_mac, smac, 6);
    SetText(r.ssid, r.ssid_len, "Backhaul");
    r.secure_mode = kSecureWep;
    r.wep_auth_type = 1;
    r.wep_key_index = 2;
    SetText(r.wep_key_value1, r.wep_key_value1_len, "abcde");
    r.reserved_373 = 0x5A;
    const uint8_t radius[4] = {10, 0, 0, 9};
    std::memcpy(r.wpa_radius_ip, radius, 4);
    r.wpa_radius_port = 1812;
    r.ssid_count = 4;
    r.reserved_451 = 0x3C;
    r.vlan_en = 1;
    r.vlan_id = 100;
    r.vlan_id_wlan = 200;
    r.vlan_id_lan = 300;
    r.reserved_757 = 0x11;
    r.reserved_764[1] = 0x22;
    r.bridge_transparent = 1;
    r.tdmaEn = 1;
    r.vlan_pvid = 400;
    r.vlan_id_lan3 = 500;
    r.vlan_id_lan4 = 600;
    r.reserved_774[0] = 0x33;
    r.reserved_774[3] = 0x44;
    r.wl_dfs = 1;
    r.reserved_779 = 0x55;
    return r;
}

// What the wireless page shows for SampleRecord, with nothing edited.
WirelessChoices ChoicesOf(const ap_info_stu& r) {
    WirelessChoices c;
    c.ssid = std::string(r.ssid, r.ssid_len);
    c.ssid_hide = r.ssid_hide != 0;
    c.country_code = r.country_code;
    c.network_mode = r.network_mode;
    c.bandwidth = r.bandwidth;
    c.channel = r.channel;
    c.expand_channel = r.expand_channel;
    c.tx_power = r.tx_power;
    c.dfs_on = r.wl_dfs == 1;
    c.secure_mode = r.secure_mode;
    c.wep.auth_type = r.wep_auth_type;
    c.wep.key_index = r.wep_key_index;
    c.wep.keys[1].text = std::string(r.wep_key_value1, r.wep_key_value1_len);
    return c;
}

// ---------------------------------------------------------------------------------------------

TEST(IpPayload, AddressesInFieldOrderFirstOctetFirst) {
    const IpAddressSet set{
        {192, 168, 1, 20}, {255, 255, 0, 0}, {192, 168, 1, 1}, {8, 8, 8, 8}, {1, 1, 1, 1}};
    const Payload p = ToPayload(BuildIpBlock(set, 1));
    const Bytes expected = {1, 192, 168, 1, 20, 255, 255, 0, 0, 192, 168,
                            1, 1,   8,   8, 8,  8,   1,   1, 1, 1,   1};
    EXPECT_EQ(p, expected);
    EXPECT_EQ(ToPayload(BuildIpBlock(set, 0)).back(), 0);
}

TEST(IpPayload, ChangeIgnoresReportedModeAndFlag) {
    const ap_info_stu r = SampleRecord();  // mode 0, flag 7
    IpAddressSet set{{192, 168, 0, 254}, {255, 255, 255, 0}, {}, {}, {}};
    EXPECT_FALSE(IpAddressesChanged(r, BuildIpBlock(set, 1)));
    set.gateway = {192, 168, 0, 1};
    EXPECT_TRUE(IpAddressesChanged(r, BuildIpBlock(set, 1)));
}

TEST(IpPayload, RangeHandsOutAddressesSkippingNetworkAndBroadcastOctets) {
    const struct {
        const char* what;
        IpBytes first, last;
        std::size_t devices;
        std::vector<IpBytes> expected;
    } cases[] = {
        {"across a /24 boundary",
         {192, 168, 1, 254},
         {192, 168, 2, 3},
         3,
         {{192, 168, 1, 254}, {192, 168, 2, 1}, {192, 168, 2, 2}}},
        {"range shorter than the selection",
         {10, 0, 0, 5},
         {10, 0, 0, 7},
         5,
         {{10, 0, 0, 5}, {10, 0, 0, 6}, {10, 0, 0, 7}}},
        {"two usable addresses for three devices",
         {10, 0, 0, 254},
         {10, 0, 1, 1},
         3,
         {{10, 0, 0, 254}, {10, 0, 1, 1}}},
        {"one device takes the first address, no range", {10, 0, 0, 9}, {}, 1, {{10, 0, 0, 9}}},
        {"range at the top of the address space ends",
         {255, 255, 255, 253},
         {255, 255, 255, 255},
         4,
         {{255, 255, 255, 253}, {255, 255, 255, 254}}},
        {"first above last gives nothing", {10, 0, 0, 9}, {10, 0, 0, 5}, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IpRange range{c.first, c.last, {255, 255, 0, 0}, {10, 0, 0, 1}, {9, 9, 9, 9}, {}};
        const auto blocks = BuildRangeIpBlocks(range, c.devices);
        ASSERT_EQ(blocks.size(), c.expected.size());
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const Payload p = ToPayload(blocks[i]);
            EXPECT_EQ(p[0], 1);
            EXPECT_EQ(Slice(p, 1, 4), Bytes(c.expected[i].begin(), c.expected[i].end()));
            EXPECT_EQ(Slice(p, 5, 4), (Bytes{255, 255, 0, 0}));  // common mask
            EXPECT_EQ(Slice(p, 13, 4), (Bytes{9, 9, 9, 9}));     // common DNS
            EXPECT_EQ(p[21], 1);
        }
    }
}

// ---------------------------------------------------------------------------------------------

TEST(NamePayload, TextAndLengthByte) {
    const std::string ten_chinese = "一二三四五六七八九十";  // 30 bytes of UTF-8
    const struct {
        const char* what;
        std::string name;
        std::string sent;
    } cases[] = {
        {"ASCII goes as it is", "Tower-7", "Tower-7"},
        {"Chinese goes as UTF-8", "塔" + std::string("-7"), "\xe5\xa1\x94-7"},
        {"ten Chinese characters fit", ten_chinese, ten_chinese},
        {"an eleventh is dropped whole, not split", ten_chinese + "塔", ten_chinese},
        {"33 ASCII letters are cut to 32", std::string(33, 'a'), std::string(32, 'a')},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Payload p = NameSetPayload(BuildNameBlock(c.name));
        ASSERT_EQ(p.size(), 33u);
        EXPECT_EQ(p[32], c.sent.size());
        EXPECT_EQ(Text(p, 0, c.sent.size()), c.sent);
        EXPECT_EQ(Bytes(p.begin() + c.sent.size(), p.begin() + 32), Bytes(32 - c.sent.size(), 0));
    }
}

// ---------------------------------------------------------------------------------------------

TEST(WirelessPayload, LengthByDeviceType) {
    const ap_info_stu r = SampleRecord();
    for (const auto& [type, size] : {std::pair{15, 342u}, {16, 328u}, {278, 342u}, {1, 328u}}) {
        SCOPED_TRACE(type);
        const WirelessRequest w = BuildWirelessRequest(r, type, ChoicesOf(r));
        EXPECT_EQ(WirelessSetPayload(w.block, w.extra, type).size(), size);
    }
}

TEST(WirelessPayload, Wpa2PskFromTheRecordCopy) {
    const ap_info_stu r = SampleRecord();
    WirelessChoices c = ChoicesOf(r);
    c.ssid = "新网络";  // re-encoded as UTF-8: 9 bytes
    c.ssid_hide = true;
    c.tx_power = 17;
    c.secure_mode = kSecureWpa2Psk;
    c.psk = {2, "passphrase-01", 3600};
    c.dfs_on = false;
    const WirelessRequest w = BuildWirelessRequest(r, 15, c);
    EXPECT_TRUE(w.changed);
    const Payload p = WirelessSetPayload(w.block, w.extra, 15);
    ASSERT_EQ(p.size(), 342u);

    EXPECT_EQ(Slice(p, 0, 11), (Bytes{1, 1, 0, 5, 4, 1, 6, 1, 17, 3, 27}));
    EXPECT_EQ(Slice(p, 11, 11), Bytes(11, 0xA5));  // reserved bytes carried
    EXPECT_EQ(Slice(p, 22, 3), (Bytes{0, 0, 1}));  // ssid_rf_type, ssid_id, hidden
    EXPECT_EQ(Slice(p, 25, 6), (Bytes{0x02, 0, 0, 0, 0, 0x01}));
    EXPECT_EQ(Text(p, 31, 9), "新网络");
    EXPECT_EQ(p[63], 9);
    EXPECT_EQ(p[64], kSecureWpa2Psk);
    EXPECT_EQ(p[65], 2);
    EXPECT_EQ(Text(p, 66, 13), "passphrase-01");
    EXPECT_EQ(p[130], 13);
    EXPECT_EQ(Slice(p, 131, 4), (Bytes{0x10, 0x0E, 0, 0}));
    // The WEP settings of the other mode stay as reported.
    EXPECT_EQ(Slice(p, 135, 2), (Bytes{1, 2}));
    EXPECT_EQ(Text(p, 166, 5), "abcde");
    EXPECT_EQ(p[192], 5);
    EXPECT_EQ(p[249], 0x5A);
    EXPECT_EQ(Slice(p, 250, 6), (Bytes{10, 0, 0, 9, 0x14, 0x07}));
    EXPECT_EQ(p[326], 1);  // ssid_count
    EXPECT_EQ(p[327], 0x3C);
    // Switch block: zero but wl_dfs, which is off.
    EXPECT_EQ(Slice(p, 328, 14), Bytes(14, 0));
}

TEST(WirelessPayload, RadiusAndWepModesFillTheirFields) {
    const ap_info_stu r = SampleRecord();
    WirelessChoices c = ChoicesOf(r);
    c.secure_mode = kSecureWpa2;
    c.radius = {1, {172, 16, 0, 2}, 1645, "radius-secret", 600};
    Payload p = WirelessSetPayload(BuildWirelessRequest(r, 1, c).block, {}, 1);
    EXPECT_EQ(Slice(p, 250, 7), (Bytes{172, 16, 0, 2, 0x6D, 0x06, 1}));
    EXPECT_EQ(Text(p, 257, 13), "radius-secret");
    EXPECT_EQ(p[321], 13);
    EXPECT_EQ(Slice(p, 322, 4), (Bytes{0x58, 0x02, 0, 0}));

    c.secure_mode = kSecureWep;
    c.wep.auth_type = 0;
    c.wep.key_index = 4;
    c.wep.keys[0] = {1, "0123456789abcdef0123456789ff"};  // 28 characters: cut to 26
    c.wep.keys[1] = {};
    p = WirelessSetPayload(BuildWirelessRequest(r, 1, c).block, {}, 1);
    EXPECT_EQ(Slice(p, 135, 3), (Bytes{0, 4, 1}));
    EXPECT_EQ(Text(p, 138, 26), "0123456789abcdef0123456789");
    EXPECT_EQ(p[164], 26);
    EXPECT_EQ(p[192], 0);  // key 2 emptied
}

TEST(WirelessPayload, ExtensionChannelOnlyFor2GHz40MHzOnAFixedChannel) {
    const struct {
        uint8_t rf_type, network_mode, bandwidth, channel, expected;
    } cases[] = {
        {0, 4, 1, 6, 1},  // the selected extension code
        {0, 4, 0, 6, 2},  // 20 MHz: none
        {0, 4, 1, 0, 2},  // automatic channel: none
        {0, 3, 1, 6, 2},  // not 11b/g/n: none
        {1, 4, 1, 6, 9},  // 5 GHz: the device's own value stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.rf_type) << "/" << int(c.network_mode) << "/"
                                        << int(c.bandwidth) << "/" << int(c.channel));
        ap_info_stu r = SampleRecord();
        r.rf_type = c.rf_type;
        r.expand_channel = 9;
        WirelessChoices ch = ChoicesOf(r);
        ch.network_mode = c.network_mode;
        ch.bandwidth = c.bandwidth;
        ch.channel = c.channel;
        ch.expand_channel = 1;
        const wireless_block b = BuildWirelessRequest(r, 16, ch).block;
        EXPECT_EQ(b.expand_channel, c.expected);
        EXPECT_EQ(b.ssid_rf_type, c.rf_type);
    }
}

TEST(WirelessPayload, ChangedFlag) {
    ap_info_stu r = SampleRecord();
    r.expand_channel = 1;
    // Untouched page: counts of 2 and 4 reported by the device are no change.
    EXPECT_FALSE(BuildWirelessRequest(r, 15, ChoicesOf(r)).changed);
    EXPECT_FALSE(BuildWirelessRequest(r, 16, ChoicesOf(r)).changed);

    // Only the DFS box: a change for a DFS type, nothing for another type.
    WirelessChoices c = ChoicesOf(r);
    c.dfs_on = false;
    const WirelessRequest dfs = BuildWirelessRequest(r, 15, c);
    EXPECT_TRUE(dfs.changed);
    EXPECT_EQ(WirelessSetPayload(dfs.block, dfs.extra, 15)[340], 0);
    EXPECT_FALSE(BuildWirelessRequest(r, 16, c).changed);
    c.dfs_on = true;
    EXPECT_EQ(WirelessSetPayload(dfs.block, BuildWirelessRequest(r, 15, c).extra, 15)[340], 1);

    c = ChoicesOf(r);
    c.ssid = "Backhaul2";
    EXPECT_TRUE(BuildWirelessRequest(r, 16, c).changed);
}

// ---------------------------------------------------------------------------------------------

TEST(RebootPayload, ValueBytes) {
    reboot_block everyday_0330{};
    everyday_0330.restart_en = 1;
    everyday_0330.restart_type = kRebootEveryday;
    everyday_0330.restart_time = 210;
    const struct {
        const char* what;
        reboot_block reported;
        RebootChoices choices;
        Bytes expected;
    } cases[] = {
        {"03:30 Monday and Friday",
         {},
         {true, kRebootMonday | kRebootFriday, 3, 30},
         {1, 0x22, 0xD2, 0x00}},
        {"every day 23:59", {}, {true, kRebootEveryday, 23, 59}, {1, 0xFE, 0x9F, 0x05}},
        {"switched off keeps days and time",
         everyday_0330,
         {false, 0, 0, 0},
         {0, 0xFE, 0xD2, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ToPayload(BuildRebootBlock(c.reported, c.choices)), c.expected);
    }
    EXPECT_TRUE(
        WireEqual(BuildRebootBlock(everyday_0330, {true, kRebootEveryday, 3, 30}), everyday_0330));
}

// ---------------------------------------------------------------------------------------------

TEST(VlanPayload, LengthByDeviceType) {
    const ap_info_stu r = SampleRecord();
    for (const auto& [type, size] :
         {std::pair{270, 24u}, {271, 10u}, {10, 24u}, {14, 24u}, {1, 10u}}) {
        SCOPED_TRACE(type);
        const VlanRequest v = BuildVlanRequest(r, type, {});
        EXPECT_EQ(VlanSetPayload(v.block, v.extra, type).size(), size);
    }
}

TEST(VlanPayload, FieldsTakenByDeviceType) {
    const ap_info_stu r = SampleRecord();
    const VlanChoices edited{true, 11, 12, 13, 14, 15, 16};
    const struct {
        int type;
        uint16_t lan, pvid, lan3, lan4;
    } cases[] = {
        {10, 13, 14, 15, 16},     // every field
        {270, 13, 14, 500, 600},  // "LAN" and PVID
        {14, 300, 14, 500, 600},  // DFS: PVID only
        {1, 300, 400, 500, 600},  // management and wireless VLAN only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const VlanRequest v = BuildVlanRequest(r, c.type, edited);
        EXPECT_TRUE(v.changed);
        EXPECT_EQ(v.block.vlan_en, 1);
        EXPECT_EQ(v.block.vlan_id, 11);
        EXPECT_EQ(v.block.vlan_id_wlan, 12);
        EXPECT_EQ(v.block.vlan_id_lan, c.lan);
        EXPECT_EQ(v.extra.vlan_pvid, c.pvid);
        EXPECT_EQ(v.extra.vlan_id_lan3, c.lan3);
        EXPECT_EQ(v.extra.vlan_id_lan4, c.lan4);
    }
}

TEST(VlanPayload, ReservedBytesCarriedFlagZeroDfsNotSent) {
    const ap_info_stu r = SampleRecord();
    const VlanRequest v = BuildVlanRequest(r, 10, {true, 100, 200, 300, 400, 500, 600});
    EXPECT_FALSE(v.changed);
    const Payload p = VlanSetPayload(v.block, v.extra, 10);
    const Bytes expected = {1,    0x11, 100,  0, 200,  0, 0x2C, 0x01, 0, 0x22,  // VLAN block
                            1,    1,    0x90, 1, 0xF4, 1, 0x58, 0x02,           // switches
                            0x33, 0,    0,    0, 0,    0};                      // tail zeroed
    EXPECT_EQ(p, expected);
}

TEST(VlanPayload, ChangedFlag) {
    const ap_info_stu r = SampleRecord();
    // Only LAN4 on a type-10 device: the change is in the switch block.
    EXPECT_TRUE(BuildVlanRequest(r, 10, {true, 100, 200, 300, 400, 500, 601}).changed);
    // A type without that field ignores it.
    EXPECT_FALSE(BuildVlanRequest(r, 1, {true, 100, 200, 300, 400, 500, 601}).changed);

    // Switched off: only vlan_en changes, the stored ids go as they are, even invalid ones.
    ap_info_stu bad = r;
    bad.vlan_id = 0;
    const VlanRequest off = BuildVlanRequest(bad, 10, {false, 7, 7, 7, 7, 7, 7});
    EXPECT_TRUE(off.changed);
    EXPECT_EQ(off.block.vlan_en, 0);
    EXPECT_EQ(off.block.vlan_id, 0);
    EXPECT_EQ(off.extra.vlan_id_lan4, 600);
}

// ---------------------------------------------------------------------------------------------

TEST(SwitchPayload, OneByteSetEverythingElseZero) {
    Bytes on(14, 0);
    on[0] = 1;
    EXPECT_EQ(ToPayload(BuildTransparentBridgeBlock(true)), on);
    Bytes tdma(14, 0);
    tdma[1] = 1;
    EXPECT_EQ(ToPayload(BuildTdmaBlock(true)), tdma);
    EXPECT_EQ(ToPayload(BuildTransparentBridgeBlock(false)), Bytes(14, 0));
    EXPECT_EQ(ToPayload(BuildTdmaBlock(false)), Bytes(14, 0));
}

// ---------------------------------------------------------------------------------------------

TEST(BridgePayload, Wpa2PskOrder) {
    BridgeChoices c;
    c.peer_mac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    c.channel = 0;
    c.ssid = "Backhaul-5G";
    c.secure_mode = kSecureWpa2Psk;
    c.psk = {0, "secret-key", 0};
    c.wep.key_index = 3;  // not the chosen mode: must not appear
    const IpAddressSet ip{{203, 0, 113, 7}, {255, 255, 255, 0}, {203, 0, 113, 1}, {}, {}};
    const Payload p = BridgeSetPayload(BuildBridgeSecurity(c), BuildIpBlock(ip, 1));

    ASSERT_EQ(p.size(), 328u);
    EXPECT_EQ(p[0], 2);
    EXPECT_EQ(Slice(p, 1, 6), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(p[7], 0);
    EXPECT_EQ(Text(p, 8, 11), "Backhaul-5G");
    EXPECT_EQ(p[40], 11);
    EXPECT_EQ(p[41], 0);
    EXPECT_EQ(p[42], 3);
    EXPECT_EQ(Text(p, 44, 10), "secret-key");
    EXPECT_EQ(p[108], 10);
    EXPECT_EQ(Slice(p, 113, 191), Bytes(191, 0));  // WEP and RADIUS fields untouched
    EXPECT_EQ(Slice(p, 304, 13), (Bytes{1, 203, 0, 113, 7, 255, 255, 255, 0, 203, 0, 113, 1}));
    EXPECT_EQ(p[325], 0);  // ip_flag is 0 in a bridge order whatever the block said
    EXPECT_EQ(Slice(p, 326, 2), (Bytes{0, 0}));
}

TEST(BridgePayload, WepOrderWithChineseSsid) {
    BridgeChoices c;
    c.peer_mac = {0x02, 0, 0, 0, 0, 0x09};
    c.channel = 149;
    c.ssid = "桥接";  // 6 bytes of UTF-8
    c.secure_mode = kSecureWep;
    c.wep.auth_type = 1;
    c.wep.key_index = 3;  // the wizard counts keys from 0
    c.wep.keys[0] = {0, "abcde"};
    c.wep.keys[3] = {1, "0a0b0c0d0e"};
    c.psk.key = "not-sent";
    const Payload p = BridgeSetPayload(BuildBridgeSecurity(c), {});

    EXPECT_EQ(p[7], 149);
    EXPECT_EQ(Text(p, 8, 6), "桥接");
    EXPECT_EQ(p[40], 6);
    EXPECT_EQ(p[42], kSecureWep);
    EXPECT_EQ(Slice(p, 43, 70), Bytes(70, 0));  // no PSK fields
    EXPECT_EQ(Slice(p, 113, 3), (Bytes{1, 3, 0}));
    EXPECT_EQ(Text(p, 116, 5), "abcde");
    EXPECT_EQ(p[142], 5);
    EXPECT_EQ(p[199], 1);
    EXPECT_EQ(Text(p, 200, 10), "0a0b0c0d0e");
    EXPECT_EQ(p[226], 10);
}

// ---------------------------------------------------------------------------------------------

TEST(UpgradePayload, FileNameWithoutFolderAndSize) {
    const auto order = BuildUpgradeOrder("/home/op/firmware/ap-v2.1.bin", 0x00123456);
    ASSERT_TRUE(order.has_value());
    const Payload p = ToPayload(*order);
    ASSERT_EQ(p.size(), 268u);
    EXPECT_EQ(Text(p, 0, 11), "ap-v2.1.bin");
    EXPECT_EQ(Slice(p, 11, 249), Bytes(249, 0));
    EXPECT_EQ(p[260], 11);
    EXPECT_EQ(Slice(p, 261, 7), (Bytes{0, 0, 0, 0x56, 0x34, 0x12, 0x00}));

    const struct {
        const char* what;
        std::string name;
        uint64_t size;
        bool built;
    } cases[] = {
        {"name of 255 bytes", std::string(251, 'f') + ".bin", 1, true},
        {"name of 256 bytes", std::string(252, 'f') + ".bin", 1, false},
        {"folder only", "/tmp/", 1, false},
        {"unreadable file: size 0", "x.bin", 0, true},
        {"size beyond 32 bits", "x.bin", uint64_t{1} << 32, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BuildUpgradeOrder(c.name, c.size).has_value(), c.built);
    }
}

}  // namespace
