// Handlers and table operations driven with queued records; what they send is captured by
// the fake sender, what they store is read back from an in-memory store.
#include <gtest/gtest.h>

#include "common/DeviceText.h"
#include "common/TextCodec.h"
#include "tests/engine/EngineTestUtil.h"

using namespace enginetest;

namespace {

constexpr char kMac[] = "00:1a:2b:3c:4d:5e";
constexpr char kIp[] = "198.51.100.20";
constexpr uint8_t kZeroByte[1] = {0};
const std::span<const uint8_t> kZero(kZeroByte, 1);

std::vector<uint16_t> Types(const std::vector<Sent>& sent) {
    std::vector<uint16_t> t;
    for (const Sent& s : sent) t.push_back(s.type());
    return t;
}

}  // namespace

using EngineDiscovery = EngineFixture;

TEST_F(EngineDiscovery, AnswerCreatesPendingEntryAcksAndAsksForConfiguration) {
    const ap_brief_info b = Brief("V2.1", 77, "Roof", "net");
    engine_->ManageDiscoverPacket(DevicePacket(kIp, VALTO_APDiscoverRequest, kMac, WireBytes(b)));
    const auto sent = sender_.Take();
    ASSERT_EQ(Types(sent), (std::vector<uint16_t>{1, 2}));
    for (const Sent& s : sent) {
        EXPECT_EQ(s.mac(), kMac);
        EXPECT_EQ(s.header().mcast_flag, 1);
        EXPECT_EQ(s.dest_ip, "239.255.255.250");
    }
    EXPECT_EQ(engine_->GetRetransmissionCount(), 1u);  // only the configuration request
    const manage_ap_info* ap = Find(kMac);
    ASSERT_NE(ap, nullptr);
    EXPECT_EQ(ap->state, kApStatePending);
    EXPECT_EQ(ap->life, 3);
    EXPECT_EQ(ap->ip, kIp);
    EXPECT_EQ(ap->ap_type, 14);
    EXPECT_EQ(ap->up_time, 77u);
    EXPECT_EQ(std::string(ap->ap_name, ap->ap_name_len), "Roof");
    EXPECT_EQ(ap->channel, 36);
}

TEST_F(EngineDiscovery, ShortAnswerTakesOnlyTheVersion) {
    const ap_brief_info b = Brief("V2.1", 77, "Roof");
    engine_->ManageDiscoverPacket(DevicePacket(kIp, VALTO_APDiscoverRequest, kMac,
                                               WireBytes(b).subspan(0, kBriefVersionOnlyLen)));
    const manage_ap_info* ap = Find(kMac);
    ASSERT_NE(ap, nullptr);
    EXPECT_EQ(std::string(ap->version, ap->version_len), "V2.1");
    EXPECT_EQ(ap->up_time, 0u);
    EXPECT_EQ(ap->ap_name_len, 0);
}

TEST_F(EngineDiscovery, ConvertedNameAndSsidGetTheirConvertedLength) {
    // A name whose last character was cut after two of its three UTF-8 bytes, and a Latin-1
    // SSID: both come out as valid local text with the length that text has.
    ap_brief_info b = Brief("V1", 1);
    const std::string name = "\xe5\xb1\x8b\xe9\xa1";  // one whole character, one cut
    std::memcpy(b.ap_name, name.data(), name.size());
    b.ap_name_len = static_cast<uint8_t>(name.size());
    b.ssid[0] = static_cast<char>(0xe9);  // not UTF-8 here
    b.ssid[1] = 'a';
    b.ssid_len = 2;
    engine_->ManageDiscoverPacket(DevicePacket(kIp, VALTO_APDiscoverRequest, kMac, WireBytes(b)));
    const manage_ap_info* ap = Find(kMac);
    ASSERT_NE(ap, nullptr);
    EXPECT_EQ(std::string(ap->ap_name, ap->ap_name_len), "\xe5\xb1\x8b");
    const std::string ssid(ap->ssid, ap->ssid_len);
    EXPECT_TRUE(IsValidUtf8(ssid)) << ssid;
    EXPECT_EQ(ssid,
              "\xef\xbf\xbd"
              "a");  // U+FFFD for the stray byte
}

TEST_F(EngineDiscovery, ZeroMacCreatesNoEntryButIsAcknowledged) {
    engine_->ManageDiscoverPacket(
        DevicePacket(kIp, VALTO_APDiscoverRequest, "00:00:00:00:00:00", {}));
    EXPECT_TRUE(engine_->GetManageApSnapshot().empty());
    EXPECT_EQ(Types(sender_.Take()), (std::vector<uint16_t>{1}));
}

TEST_F(EngineDiscovery, ReportedDeviceAnsweringAgain) {
    Learn(kIp, kMac);
    // Same address: life renewed, acknowledged, no new configuration request.
    engine_->CheckManageApHeartbeat();
    ASSERT_EQ(Find(kMac)->life, 2);
    engine_->ManageDiscoverPacket(DevicePacket(kIp, VALTO_APDiscoverRequest, kMac, {}));
    EXPECT_EQ(Types(sender_.Take()), (std::vector<uint16_t>{1}));
    EXPECT_EQ(Find(kMac)->life, 3);
    // Another address: acknowledged and asked again; the report then moves the entry.
    engine_->ManageDiscoverPacket(DevicePacket("198.51.100.21", VALTO_APDiscoverRequest, kMac, {}));
    const auto sent = sender_.Take();
    EXPECT_EQ(Types(sent), (std::vector<uint16_t>{1, 2}));
    EXPECT_EQ(Find(kMac)->ip, kIp);
    engine_->ManageConfigPacket(
        DevicePacket("198.51.100.21", VALTO_APConfigRequest, kMac, Report("198.51.100.21")));
    EXPECT_EQ(Find(kMac)->ip, "198.51.100.21");
}

TEST_F(EngineDiscovery, ReportMarksReportedAndStoresOnline) {
    const ap_brief_info b = Brief("V1.0", 5);
    engine_->ManageDiscoverPacket(DevicePacket(kIp, VALTO_APDiscoverRequest, kMac, WireBytes(b)));
    ASSERT_EQ(engine_->GetRetransmissionCount(), 1u);
    auto report = Report("192.168.0.254", "\xe5\xb1\x8b\xe9\xa1", 4242);
    engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APConfigRequest, kMac, report));
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);  // the answer ends the resending
    const manage_ap_info* ap = Find(kMac);
    ASSERT_NE(ap, nullptr);
    EXPECT_EQ(ap->state, kApStateReported);
    EXPECT_EQ(ap->ip, "192.168.0.254");
    EXPECT_EQ(ap->up_time, 4242u);
    EXPECT_EQ(std::string(ap->version, ap->version_len), "V1.0");
    EXPECT_EQ(ap->bridge_transparent, 1);
    EXPECT_EQ(ap->tdmaEn, 1);

    EXPECT_EQ(store_.GetApStatus(kMac), 1);
    ap_info_stu stored{};
    store_.GetApInfo(kMac, stored);
    EXPECT_EQ(IpBytesToText(stored.ip), "192.168.0.254");
    EXPECT_EQ(stored.ap_type, 14);
    EXPECT_EQ(std::string(stored.ap_name, stored.ap_name_len), "\xe5\xb1\x8b");
}

TEST_F(EngineDiscovery, ReportRefusals) {
    Learn("198.51.100.30", "02:00:00:00:00:30");
    // A MAC not in the table.
    engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APConfigRequest, kMac, Report(kIp)));
    EXPECT_EQ(store_.GetApStatus(kMac), 0);
    // An address in use by another reported device: both entries stay as they were.
    engine_->ManageDiscoverPacket(DevicePacket(kIp, VALTO_APDiscoverRequest, kMac, {}));
    engine_->ManageConfigPacket(
        DevicePacket(kIp, VALTO_APConfigRequest, kMac, Report("198.51.100.30")));
    EXPECT_EQ(Find(kMac)->state, kApStatePending);
    EXPECT_EQ(Find(kMac)->ip, kIp);
    EXPECT_EQ(Find("02:00:00:00:00:30")->ip, "198.51.100.30");
    EXPECT_EQ(store_.GetApStatus(kMac), 0);
}

TEST_F(EngineDiscovery, StatusAnswersTable) {
    Learn(kIp, kMac);
    struct Case {
        uint16_t type;
        std::vector<uint8_t> payload;
        int status;  // expected after the answer
    };
    const Case cases[] = {
        {VALTO_APRebootRequest, {}, 4},        // empty payload reads as 0: accepted
        {VALTO_APBridgeSetRequest, {0}, 2},    // bridge success
        {VALTO_APBridgeSetRequest, {5}, 3},    // bridge fail
        {VALTO_APRestoreRequest, {0}, 5},      // resetting
        {VALTO_APRestoreRequest, {1}, 5},      // refused: unchanged
        {VALTO_APUpgradeStatus, {0}, 6},       // upgrade wait
        {VALTO_APUpgradeStartRequest, {}, 7},  // 6 -> upgrading
        {VALTO_APUpgradeStatus, {2}, 8},       // success
        {VALTO_APUpgradeStartRequest, {}, 8},  // not waiting: unchanged
        {VALTO_APUpgradeStatus, {1}, 9},       // fail
        {VALTO_APVlanSetRequest, {0}, 4},      // restarting
        {14, {0}, 4},                          // ignored type
        {VALTO_APDiscoverRequest, {0}, 4},     // type 1 on this socket: nothing
    };
    for (const Case& c : cases) {
        engine_->ManageConfigPacket(DevicePacket(kIp, c.type, kMac, c.payload));
        EXPECT_EQ(store_.GetApStatus(kMac), c.status) << "type " << c.type;
    }
}

TEST_F(EngineDiscovery, IpSetAnswerSwitchesToTheAnnouncedAddress) {
    Learn(kIp, kMac);
    engine_->UpdateManageApIp(kMac, "198.51.100.99", "198.51.100.50");  // wrong old ip: nothing
    EXPECT_TRUE(Find(kMac)->new_ip.empty());
    engine_->UpdateManageApIp(kMac, kIp, "198.51.100.50");
    EXPECT_EQ(Find(kMac)->new_ip, "198.51.100.50");
    // The answer comes from the old address and switches the entry.
    engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APIpSetRequest, kMac, {}));
    EXPECT_EQ(Find(kMac)->ip, "198.51.100.50");
    EXPECT_TRUE(Find(kMac)->new_ip.empty());
    // Same address announced: new_ip stays empty and the answer changes nothing.
    engine_->UpdateManageApIp(kMac, "198.51.100.50", "198.51.100.50");
    engine_->ManageConfigPacket(DevicePacket("198.51.100.50", VALTO_APIpSetRequest, kMac, {}));
    EXPECT_EQ(Find(kMac)->ip, "198.51.100.50");
}

TEST_F(EngineDiscovery, SurveyCompletesWithTheLastDatagramInAnyOrder) {
    auto survey = [&](uint8_t count, uint8_t id, uint8_t icount, std::size_t entries_sent) {
        std::vector<uint8_t> p = {count, id, icount};
        for (std::size_t i = 0; i < entries_sent; ++i) {
            config_otherwl_basic e{};
            e.mac[0] = 2;
            e.mac[5] = static_cast<uint8_t>(id * 40 + i);
            std::memcpy(e.ssid, "net", 3);
            e.ssid_len = 3;
            const auto b = WireBytes(e);
            p.insert(p.end(), b.begin(), b.end());
        }
        engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APSearchApRequest, kMac, p));
    };
    engine_->search_ap_done = false;
    survey(3, 2, 1, 1);  // the last one first
    EXPECT_TRUE(engine_->search_ap_done);
    engine_->search_ap_done = false;
    survey(3, 0, 40, 2);  // icount 40 with two entries present: two stored
    survey(3, 1, 0, 0);
    EXPECT_FALSE(engine_->search_ap_done);
    std::vector<config_otherwl_basic> rows;
    ASSERT_TRUE(store_.GetOtherApList(0, true, rows));
    EXPECT_EQ(rows.size(), 3u);
    survey(1, 0, 0, 0);  // icount 0, the only (last) datagram
    EXPECT_TRUE(engine_->search_ap_done);

    // Sending a survey request clears the flag; it is never registered for resending.
    EXPECT_TRUE(engine_->SendPacketMutilcast(kIp, VALTO_APSearchApRequest, nullptr, 0, kMac, true));
    EXPECT_FALSE(engine_->search_ap_done);
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);
}

TEST_F(EngineDiscovery, SearchStartReleasesForgetsAndPurges) {
    Learn(kIp, kMac);
    engine_->ManageDiscoverPacket(
        DevicePacket("198.51.100.31", VALTO_APDiscoverRequest, "02:00:00:00:00:31", {}));
    sender_.Take();
    // A stored device the table no longer knows.
    ap_info_stu ghost{};
    std::snprintf(ghost.mac, sizeof ghost.mac, "02:00:00:00:00:99");
    store_.UpdateApInfo(ghost);

    engine_->ReleasePendingManageAp();
    const auto sent = sender_.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type(), VALTO_APReleaseRequest);
    EXPECT_EQ(sent[0].mac(), "02:00:00:00:00:31");

    engine_->DeletePendingManageAp();
    EXPECT_EQ(engine_->GetManageApSnapshot().size(), 1u);
    engine_->DeleteUnmanagedApInfo();
    std::vector<std::string> macs;
    store_.GetApMacList(macs);
    EXPECT_EQ(macs, (std::vector<std::string>{kMac}));
    // The entry that stayed is still reachable by MAC.
    engine_->ManageHeartbeatPacket(DevicePacket(kIp, VALTO_APHeartbeat, kMac, {}));
    EXPECT_EQ(sender_.Take().size(), 1u);
}

TEST_F(EngineDiscovery, PendingListLimitAndFilter) {
    for (int i = 0; i < 10; ++i) {
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:00:00:00:00:%02x", i);
        const std::string version = i == 6 ? "SPECIAL\nsecond line" : "V1";
        const ap_brief_info b = Brief(version, 1, "n");
        engine_->ManageDiscoverPacket(DevicePacket("198.51.100." + std::to_string(40 + i),
                                                   VALTO_APDiscoverRequest, mac, WireBytes(b)));
    }
    std::vector<ap_info_stu> list;
    engine_->GetPendingManageApList(list, 5, "SPECIAL");
    EXPECT_TRUE(list.empty());  // the seventh is beyond the limit
    engine_->GetPendingManageApList(list, 10, "SPECIAL");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].mac, "02:00:00:00:00:06");
    EXPECT_EQ(list[0].ap_status, 10);
    EXPECT_EQ(std::string(list[0].version, list[0].version_len), "SPECIAL");
    EXPECT_EQ(IpBytesToText(list[0].ip), "198.51.100.46");
    engine_->GetPendingManageApList(list, 100, "198.51.100.4");
    EXPECT_EQ(list.size(), 10u);
    engine_->GetPendingManageApList(list, 3, nullptr);
    EXPECT_EQ(list.size(), 3u);
}

// ---------------------------------------------------------------------------------------------

using EngineHeartbeat = EngineFixture;

TEST_F(EngineHeartbeat, KnownDeviceIsRenewedAckedAndStored) {
    Learn(kIp, kMac);
    const ap_brief_info b = Brief("V3", 999);
    engine_->ManageHeartbeatPacket(
        DevicePacket("198.51.100.22", VALTO_APHeartbeat, kMac, WireBytes(b)));
    const auto sent = sender_.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type(), VALTO_APHeartbeatAck);
    EXPECT_EQ(sent[0].mac(), kMac);
    const manage_ap_info* ap = Find(kMac);
    EXPECT_EQ(ap->ip, "198.51.100.22");
    EXPECT_EQ(ap->up_time, 999u);
    ap_info_stu stored{};
    store_.GetApInfo(kMac, stored);
    EXPECT_EQ(stored.up_time, 999u);
    EXPECT_EQ(IpBytesToText(stored.ip), "198.51.100.22");

    // An empty heartbeat still counts; version and uptime become zero.
    engine_->ManageHeartbeatPacket(DevicePacket("198.51.100.22", VALTO_APHeartbeat, kMac, {}));
    EXPECT_EQ(Find(kMac)->up_time, 0u);
    EXPECT_EQ(Find(kMac)->version_len, 0);
}

TEST_F(EngineHeartbeat, UnknownDeviceIsDroppedSilently) {
    engine_->ManageHeartbeatPacket(DevicePacket(kIp, VALTO_APHeartbeat, kMac, {}));
    EXPECT_TRUE(sender_.Take().empty());
    EXPECT_TRUE(engine_->GetManageApSnapshot().empty());
}

TEST_F(EngineHeartbeat, AgeingRemovesReportedOnTheFourthSilentPassNeverPending) {
    Learn(kIp, kMac);
    engine_->ManageDiscoverPacket(
        DevicePacket("198.51.100.31", VALTO_APDiscoverRequest, "02:00:00:00:00:31", {}));
    for (int pass = 1; pass <= 3; ++pass) {
        engine_->CheckManageApHeartbeat();
        ASSERT_NE(Find(kMac), nullptr) << "pass " << pass;
        EXPECT_EQ(Find(kMac)->life, 3 - pass);
    }
    EXPECT_EQ(store_.GetApStatus(kMac), 1);
    engine_->CheckManageApHeartbeat();
    EXPECT_EQ(Find(kMac), nullptr);
    EXPECT_EQ(store_.GetApStatus(kMac), 0);  // row deleted
    for (int pass = 0; pass < 20; ++pass) engine_->CheckManageApHeartbeat();
    ASSERT_NE(Find("02:00:00:00:00:31"), nullptr);
    EXPECT_EQ(Find("02:00:00:00:00:31")->life, 3);
    // A heartbeat after removal is dropped; a new discovery answer learns the device again.
    sender_.Take();
    engine_->ManageHeartbeatPacket(DevicePacket(kIp, VALTO_APHeartbeat, kMac, {}));
    EXPECT_TRUE(sender_.Take().empty());
    engine_->ManageDiscoverPacket(DevicePacket(kIp, VALTO_APDiscoverRequest, kMac, {}));
    EXPECT_EQ(Types(sender_.Take()), (std::vector<uint16_t>{1, 2}));
}

TEST_F(EngineHeartbeat, BeatingDeviceIsNeverRemovedAndTableStaysConsistent) {
    for (int i = 0; i < 6; ++i)
        Learn("198.51.100." + std::to_string(60 + i), "02:00:00:00:01:0" + std::to_string(i));
    // Devices 0, 2, 4 go silent; 1, 3, 5 beat before every pass.
    for (int pass = 0; pass < 6; ++pass) {
        for (int i = 1; i < 6; i += 2) {
            engine_->ManageHeartbeatPacket(
                DevicePacket("198.51.100." + std::to_string(60 + i), VALTO_APHeartbeat,
                             "02:00:00:00:01:0" + std::to_string(i), {}));
        }
        engine_->CheckManageApHeartbeat();
    }
    const auto table = engine_->GetManageApSnapshot();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].mac, "02:00:00:00:01:01");
    EXPECT_EQ(table[2].mac, "02:00:00:00:01:05");
    sender_.Take();
    engine_->ManageHeartbeatPacket(
        DevicePacket("198.51.100.65", VALTO_APHeartbeat, "02:00:00:00:01:05", {}));
    EXPECT_EQ(sender_.Take().size(), 1u);
}

// ---------------------------------------------------------------------------------------------

using EngineRetransmission = EngineFixture;

TEST_F(EngineRetransmission, ResendsUntilMaxThenDrops) {
    const uint8_t payload[] = {9, 8, 7};
    ASSERT_TRUE(
        engine_->SendPacketMutilcast(kIp, VALTO_APWirelessSetRequest, payload, 3, kMac, true));
    sender_.Take();
    for (int pass = 1; pass <= 3; ++pass) {
        engine_->CheckManageApRetransmission();
        const auto sent = sender_.Take();
        ASSERT_EQ(sent.size(), 1u) << "pass " << pass;
        EXPECT_EQ(sent[0].type(), VALTO_APWirelessSetRequest);
        EXPECT_EQ(sent[0].payload(), std::vector<uint8_t>(payload, payload + 3));
    }
    EXPECT_EQ(engine_->GetRetransmissionCount(), 1u);
    engine_->CheckManageApRetransmission();  // fourth pass: dropped without a send
    EXPECT_TRUE(sender_.Take().empty());
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);
}

TEST_F(EngineRetransmission, MaxZeroDropsAtTheFirstPass) {
    EngineTiming t;
    t.retransmission_max = 0;
    MakeEngine(t);
    ASSERT_TRUE(engine_->SendPacketMutilcast(kIp, VALTO_APRebootRequest, nullptr, 0, kMac, true));
    sender_.Take();
    engine_->CheckManageApRetransmission();
    EXPECT_TRUE(sender_.Take().empty());
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);
}

TEST_F(EngineRetransmission, AnswersEndOnlyTheirOwnRequest) {
    Learn(kIp, kMac);
    ASSERT_TRUE(
        engine_->SendPacketMutilcast(kIp, VALTO_APWirelessSetRequest, nullptr, 0, kMac, true));
    // Right IP, other MAC; right MAC, other type: nothing removed.
    engine_->ManageConfigPacket(
        DevicePacket(kIp, VALTO_APWirelessSetRequest, "02:00:00:00:00:77", {}));
    engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APNameSetRequest, kMac, {}));
    EXPECT_EQ(engine_->GetRetransmissionCount(), 1u);
    engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APWirelessSetRequest, kMac, {}));
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);

    // Two identical requests: one answer removes one; a reboot answered twice restarts twice.
    ASSERT_TRUE(engine_->SendPacketMutilcast(kIp, VALTO_APRebootRequest, nullptr, 0, kMac, true));
    ASSERT_TRUE(engine_->SendPacketMutilcast(kIp, VALTO_APRebootRequest, nullptr, 0, kMac, true));
    engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APRebootRequest, kMac, kZero));
    EXPECT_EQ(engine_->GetRetransmissionCount(), 1u);
    EXPECT_EQ(store_.GetApStatus(kMac), 4);
    store_.SetApStatus(kMac, 1);
    engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APRebootRequest, kMac, kZero));
    engine_->ManageConfigPacket(DevicePacket(kIp, VALTO_APRebootRequest, kMac, kZero));
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);
    EXPECT_EQ(store_.GetApStatus(kMac), 4);
}

TEST_F(EngineRetransmission, NeverRegisteredTypes) {
    for (uint16_t type : {VALTO_APDiscoverRequest, VALTO_APSearchApRequest, VALTO_APHeartbeatAck,
                          VALTO_APReleaseRequest}) {
        EXPECT_TRUE(engine_->SendPacketMutilcast(kIp, type, nullptr, 0, kMac, true));
    }
    EXPECT_EQ(sender_.Take().size(), 4u);
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);
}

// ---------------------------------------------------------------------------------------------

using EngineShutdown = EngineFixture;

TEST_F(EngineShutdown, ReleaseNoticeToEveryTrackedDeviceOnceEvenWhenCalledTwice) {
    Learn(kIp, kMac);
    engine_->ManageDiscoverPacket(
        DevicePacket("198.51.100.31", VALTO_APDiscoverRequest, "02:00:00:00:00:31", {}));
    sender_.Take();
    engine_->Shutdown();
    engine_->Shutdown();
    const auto sent = sender_.Take();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].type(), VALTO_APReleaseRequest);
    EXPECT_EQ(sent[0].mac(), kMac);
    EXPECT_EQ(sent[1].mac(), "02:00:00:00:00:31");
    EXPECT_TRUE(sent[0].payload().empty());
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);
    engine_.reset();  // the destructor sends nothing more
    EXPECT_TRUE(sender_.Take().empty());
}
