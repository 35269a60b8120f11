// Writes of the device store and the record <-> row rules, on an in-memory database.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "StoreTestUtil.h"

using namespace storetest;

namespace {

class StoreWrites : public ::testing::Test {
  protected:
    std::unique_ptr<CSqlManagement> store = MemoryStore();

    size_t RowCount() {
        std::vector<std::string> macs;
        EXPECT_TRUE(store->GetApMacList(macs));
        return macs.size();
    }
    // Devices whose status text contains the given text.
    std::vector<std::string> Matching(std::string_view search) {
        std::vector<ap_info_stu> list;
        int pages = 0, online = 0;
        EXPECT_TRUE(store->QueryApList(0, list, pages, online, 100, 1, true, search));
        return Macs(list);
    }
};

TEST_F(StoreWrites, ReportUpsertsOneRowPerMacAndAlwaysMarksOnline) {
    const std::string mac = MacText(1);
    ap_info_stu r = MakeRecord(mac, "10.0.0.1", "first");
    r.ap_status = 5;  // a record's own status is never stored
    ASSERT_TRUE(store->UpdateApInfo(r));
    EXPECT_EQ(store->GetApStatus(mac), 1);

    ASSERT_TRUE(store->SetApStatus(mac, 7));
    EXPECT_EQ(store->GetApStatus(mac), 7);

    ap_info_stu again = MakeRecord(mac, "10.0.0.2", "second");
    ASSERT_TRUE(store->UpdateApInfo(again));
    EXPECT_EQ(RowCount(), 1u);
    EXPECT_EQ(store->GetApStatus(mac), 1);
    EXPECT_EQ(Matching("Upgrading"), std::vector<std::string>{});
    EXPECT_EQ(Matching("Online"), std::vector<std::string>{mac});

    ap_info_stu got{};
    store->GetApInfo(mac, got);
    EXPECT_EQ(std::string(got.ap_name, got.ap_name_len), "second");
    EXPECT_EQ(IpBytesToText(got.ip), "10.0.0.2");
}

// Every byte the store keeps comes back where it was; the link fields, ip_flag and the reserved
// bytes come back zero; the status is the stored one.
TEST_F(StoreWrites, RecordRoundTripKeepsEveryStoredFieldAndZeroesTheRest) {
    ap_info_stu r{};
    auto* bytes = reinterpret_cast<uint8_t*>(&r);
    for (size_t i = 0; i < sizeof r; ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 11);
    std::memset(r.mac, 0, sizeof r.mac);
    std::strcpy(r.mac, "0a:1b:2c:3d:4e:5f");
    SetText(r.ap_name, r.ap_name_len, "Tower north");
    SetText(r.version, r.version_len, "3.2.1-build7");
    SetText(r.ssid, r.ssid_len, "backhaul");
    SetText(r.wpapsk_key_value, r.wpapsk_key_value_len, std::string(64, 'k'));
    SetText(r.wep_key_value0, r.wep_key_value0_len, "abcde");
    SetText(r.wep_key_value1, r.wep_key_value1_len, std::string(26, '1'));
    SetText(r.wep_key_value2, r.wep_key_value2_len, "");
    SetText(r.wep_key_value3, r.wep_key_value3_len, "x");
    SetText(r.wpa_key, r.wpa_key_len, "radius-secret");
    SetText(r.bridge_ssid, r.bridge_ssid_len, "peer-net");
    r.up_time = 4000000000u;  // beyond a signed 32-bit column
    r.wpa_key_time = 3000000000u;

    ASSERT_TRUE(store->UpdateApInfo(r));
    ap_info_stu got{};
    store->GetApInfo("0a:1b:2c:3d:4e:5f", got);

    ap_info_stu expected = r;
    expected.ap_status = 1;
    expected.ip_flag = 0;
    auto* e = reinterpret_cast<uint8_t*>(&expected);
    std::memset(
        e + offsetof(ap_info_stu, bridge_work_mode), 0,
        offsetof(ap_info_stu, bridge_ssid_len) + 1 - offsetof(ap_info_stu, bridge_work_mode));
    auto zero = [&](size_t offset, size_t n) { std::memset(e + offset, 0, n); };
    zero(offsetof(ap_info_stu, reserved_26), sizeof r.reserved_26);
    zero(offsetof(ap_info_stu, reserved_135), sizeof r.reserved_135);
    zero(offsetof(ap_info_stu, reserved_373), 1);
    zero(offsetof(ap_info_stu, reserved_451), 1);
    zero(offsetof(ap_info_stu, reserved_493), sizeof r.reserved_493);
    zero(offsetof(ap_info_stu, reserved_757), 1);
    zero(offsetof(ap_info_stu, reserved_764), sizeof r.reserved_764);
    zero(offsetof(ap_info_stu, reserved_774), sizeof r.reserved_774);
    zero(offsetof(ap_info_stu, reserved_779), 1);

    const auto* g = reinterpret_cast<const uint8_t*>(&got);
    for (size_t i = 0; i < sizeof r; ++i) {
        ASSERT_EQ(g[i], e[i]) << "record byte " << i;
    }
}

// A length byte larger than its field keeps only the field; a character the cut splits is
// dropped rather than stored broken.
TEST_F(StoreWrites, TextLengthsAreCutToTheirFields) {
    struct Case {
        const char* what;
        std::string text;
        uint8_t len;
        std::string expect;
    };
    const std::string a40(40, 'a');
    const std::string split = std::string(31, 'b') + "\xe4\xb8\xad";  // 31 + a 3-byte character
    const Case cases[] = {
        {"40-byte name", a40, 40, std::string(32, 'a')},
        {"split character", split, static_cast<uint8_t>(split.size()), std::string(31, 'b')},
        {"Latin-1 byte", "caf\xe9s", 5, "caf\xef\xbf\xbds"},
        {"bytes beyond the length", "abcdef", 3, "abc"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string mac = MacText(++n);
        ap_info_stu r = MakeRecord(mac, "10.0.0.1", "");
        std::memcpy(r.ap_name, c.text.data(), std::min(c.text.size(), sizeof r.ap_name));
        r.ap_name_len = c.len;
        ASSERT_TRUE(store->UpdateApInfo(r));
        ap_info_stu got{};
        store->GetApInfo(mac, got);
        EXPECT_EQ(std::string(got.ap_name, got.ap_name_len), c.expect);
    }

    ap_info_stu r = MakeRecord(MacText(99), "10.0.0.1", "k");
    std::memset(r.wep_key_value0, 'w', sizeof r.wep_key_value0);
    r.wep_key_value0_len = 30;
    std::memset(r.wpa_key, 'p', sizeof r.wpa_key);
    r.wpa_key_len = 70;
    ASSERT_TRUE(store->UpdateApInfo(r));
    ap_info_stu got{};
    store->GetApInfo(MacText(99), got);
    EXPECT_EQ(got.wep_key_value0_len, 26);
    EXPECT_EQ(got.wpa_key_len, 64);
}

TEST_F(StoreWrites, EmptyTextsAndZeroAddressesReadBackAsZeroBytes) {
    ap_info_stu r = MakeRecord(MacText(1), "0.0.0.0", "");
    r.version_len = 0;
    ASSERT_TRUE(store->UpdateApInfo(r));
    ap_info_stu got{};
    store->GetApInfo(MacText(1), got);
    EXPECT_EQ(got.ap_name_len, 0);
    EXPECT_EQ(got.version_len, 0);
    const uint8_t zero4[4] = {};
    EXPECT_EQ(std::memcmp(got.ip, zero4, 4), 0);
    EXPECT_EQ(std::memcmp(got.wpa_radius_ip, zero4, 4), 0);
}

TEST_F(StoreWrites, HeartbeatUpdatesOnlyStoredDevicesAndKeepsTheStatus) {
    EXPECT_FALSE(store->UpdateApUptime(MacText(1), "10.0.0.1", 60));
    EXPECT_EQ(RowCount(), 0u);

    ASSERT_TRUE(store->UpdateApInfo(MakeRecord(MacText(1), "10.0.0.1", "a")));
    ASSERT_TRUE(store->UpdateApInfo(MakeRecord(MacText(2), "10.0.0.5", "b")));
    ASSERT_TRUE(store->SetApStatus(MacText(1), 4));
    ASSERT_TRUE(store->UpdateApUptime(MacText(1), "10.0.0.9", 90061));

    ap_info_stu got{};
    store->GetApInfo(MacText(1), got);
    EXPECT_EQ(got.up_time, 90061u);
    EXPECT_EQ(IpBytesToText(got.ip), "10.0.0.9");
    EXPECT_EQ(got.ap_status, 4);
    EXPECT_EQ(Matching("1 1:1:1"), std::vector<std::string>{MacText(1)});
    // The address number moved with the address: device 1 now sorts after device 2.
    std::vector<ap_info_stu> list;
    int pages = 0, online = 0;
    ASSERT_TRUE(store->QueryApList(1, list, pages, online, 10, 1, true, ""));
    EXPECT_EQ(Macs(list), (std::vector<std::string>{MacText(2), MacText(1)}));
}

TEST_F(StoreWrites, UpgradeStatusTransitions) {
    struct Case {
        int from;
        bool upgrading;  // SetApUpgrading result
        int afterUpgrading;
        bool reset;  // ResetApUpgradeFailed result
        int afterReset;
        bool waiting;  // IsApUpgradeWaiting
    };
    const Case cases[] = {
        {1, false, 1, false, 1, false}, {6, true, 7, false, 6, true},
        {7, false, 7, false, 7, false}, {8, false, 8, false, 8, false},
        {9, false, 9, true, 1, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        const std::string up = MacText(++n), reset = MacText(100 + n);
        ASSERT_TRUE(store->UpdateApInfo(MakeRecord(up, "10.0.0.1", "u")));
        ASSERT_TRUE(store->UpdateApInfo(MakeRecord(reset, "10.0.0.1", "r")));
        ASSERT_TRUE(store->SetApStatus(up, c.from));
        ASSERT_TRUE(store->SetApStatus(reset, c.from));
        EXPECT_EQ(store->IsApUpgradeWaiting(up), c.waiting);
        EXPECT_EQ(store->SetApUpgrading(up), c.upgrading);
        EXPECT_EQ(store->GetApStatus(up), c.afterUpgrading);
        EXPECT_EQ(store->ResetApUpgradeFailed(reset), c.reset);
        EXPECT_EQ(store->GetApStatus(reset), c.afterReset);
    }
    // The status texts follow the codes: the device moved to 7 and the two set to 7 directly.
    EXPECT_EQ(Matching("Upgrading"),
              (std::vector<std::string>{MacText(2), MacText(3), MacText(103)}));

    const std::string unknown = MacText(999);
    EXPECT_FALSE(store->SetApStatus(unknown, 4));
    EXPECT_FALSE(store->SetApUpgrading(unknown));
    EXPECT_FALSE(store->ResetApUpgradeFailed(unknown));
    EXPECT_FALSE(store->IsApUpgradeWaiting(unknown));
    EXPECT_EQ(store->GetApStatus(unknown), 0);
}

TEST_F(StoreWrites, DeleteRemovesOnlyThatDevice) {
    ASSERT_TRUE(store->UpdateApInfo(MakeRecord(MacText(1), "10.0.0.1", "a")));
    ASSERT_TRUE(store->UpdateApInfo(MakeRecord(MacText(2), "10.0.0.2", "b")));
    EXPECT_TRUE(store->DeleteApInfo(MacText(1)));
    EXPECT_TRUE(store->DeleteApInfo(MacText(77)));  // no row: the statement still ran
    std::vector<std::string> macs;
    ASSERT_TRUE(store->GetApMacList(macs));
    EXPECT_EQ(macs, std::vector<std::string>{MacText(2)});
}

// An access point with two stations on its network, and a station whose access point is not
// stored.
TEST_F(StoreWrites, BridgePeersBothWays) {
    auto device = [&](int n, int mode, int ownNet, int linkedNet) {
        ap_info_stu r = MakeRecord(MacText(n), "10.0.0.1", "d");
        r.work_mode = static_cast<uint8_t>(mode);
        const MacBytes own = MacTextToBytes(MacText(0x500000 + ownNet));
        const MacBytes link = MacTextToBytes(MacText(0x500000 + linkedNet));
        std::memcpy(r.ssid_mac, own.data(), 6);
        std::memcpy(r.bridge_mac, link.data(), 6);
        ASSERT_TRUE(store->UpdateApInfo(r));
    };
    device(1, 1, 10, 0);   // access point, network 10
    device(2, 2, 20, 10);  // station on network 10
    device(3, 2, 30, 10);  // a second station on network 10
    device(4, 2, 40, 99);  // station on a network nobody stored
    device(5, 5, 50, 0);   // P2MP device without stations

    std::string peer = "untouched";
    EXPECT_TRUE(store->GetBridgePeerMac(MacText(1), peer));
    EXPECT_EQ(peer, MacText(2));  // the first station stored
    EXPECT_TRUE(store->GetBridgePeerMac(MacText(3), peer));
    EXPECT_EQ(peer, MacText(1));
    peer = "untouched";
    EXPECT_FALSE(store->GetBridgePeerMac(MacText(4), peer));
    EXPECT_FALSE(store->GetBridgePeerMac(MacText(5), peer));
    EXPECT_FALSE(store->GetBridgePeerMac(MacText(77), peer));
    EXPECT_EQ(peer, "untouched");

    EXPECT_TRUE(store->HasBridgedStation(MacText(1)));
    EXPECT_FALSE(store->HasBridgedStation(MacText(2)));
    EXPECT_FALSE(store->HasBridgedStation(MacText(5)));
    EXPECT_FALSE(store->HasBridgedStation(MacText(77)));
}

TEST_F(StoreWrites, SurveyAnswersKeepOneRowPerAccessPoint) {
    ASSERT_TRUE(store->UpdateOtherApInfo(MakeAnswer(2, 0, {})));  // icount 0 writes nothing
    std::vector<config_otherwl_basic> list;
    ASSERT_TRUE(store->GetOtherApList(0, true, list));
    EXPECT_TRUE(list.empty());

    ASSERT_TRUE(store->UpdateOtherApInfo(
        MakeAnswer(2, 0, {MakeEntry(1, "alpha", 40), MakeEntry(2, "beta", 70)})));
    ASSERT_TRUE(store->UpdateOtherApInfo(
        MakeAnswer(2, 1, {MakeEntry(3, "gamma", 55), MakeEntry(1, "alpha-renamed", 90)})));

    list.clear();
    ASSERT_TRUE(store->GetOtherApList(4, false, list));  // by signal, strongest first
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(std::string(list[0].ssid, list[0].ssid_len), "alpha-renamed");
    EXPECT_EQ(list[0].signal, 90);
    EXPECT_EQ(std::string(list[1].ssid, list[1].ssid_len), "beta");
    EXPECT_EQ(std::string(list[2].ssid, list[2].ssid_len), "gamma");

    config_otherwl_basic entry{};
    store->GetOtherApInfo(MacText(2), entry);
    const config_otherwl_basic want = MakeEntry(2, "beta", 70);
    EXPECT_EQ(std::memcmp(&entry, &want, sizeof entry), 0);
    store->GetOtherApInfo(MacText(42), entry);
    EXPECT_EQ(entry.ssid_len, 0);
    EXPECT_EQ(MacBytesToText(entry.mac), "00:00:00:00:00:00");

    EXPECT_TRUE(store->DeleteOtherApInfo());
    list.clear();
    ASSERT_TRUE(store->GetOtherApList(0, true, list));
    EXPECT_TRUE(list.empty());
}

// icount may promise more entries than a packet holds or than arrived.
TEST_F(StoreWrites, SurveyAnswerReadsOnlyEntriesThatArePresent) {
    site_survey_answer a = MakeAnswer(1, 0, {});
    for (int i = 0; i < 32; ++i) a.entries[i] = MakeEntry(i + 1, "n", 1);
    a.icount = 40;
    ASSERT_TRUE(store->UpdateOtherApInfo(a));
    std::vector<config_otherwl_basic> list;
    ASSERT_TRUE(store->GetOtherApList(0, true, list));
    EXPECT_EQ(list.size(), 32u);

    ASSERT_TRUE(store->DeleteOtherApInfo());
    site_survey_answer b = MakeAnswer(1, 0, {MakeEntry(1, "a", 1), MakeEntry(2, "b", 1)});
    b.icount = 3;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&b);
    // Two and a half entries arrived.
    ASSERT_TRUE(store->UpdateOtherApInfo(std::span<const uint8_t>(bytes, 3 + 2 * 44 + 20)));
    list.clear();
    ASSERT_TRUE(store->GetOtherApList(0, true, list));
    EXPECT_EQ(list.size(), 2u);
}

}  // namespace
