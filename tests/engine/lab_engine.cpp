// The engine on real sockets against the device simulator, inside a private lab network. Each
// test brings up its own lab (unique namespace names), so tests may run in parallel.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "common/TextCodec.h"
#include "common/ValueTables.h"
#include "engine/AcTransmitManage.h"
#include "store/CSqlManagement.h"
#include "tests/lab/LabFixture.h"

namespace {

using Clock = std::chrono::steady_clock;

double WallNow() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Polls `done` every 20 ms for at most `ms`.
template <class Fn>
bool WaitFor(int ms, Fn done) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

std::string DeviceIp(int i) { return "198.51.100." + std::to_string(3 + i); }
std::string DeviceMac(int i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:4d:57:00:00:%02x", 1 + i);
    return mac;
}

// A lab, the simulator, and an engine started inside the PC namespace. The test thread stays
// in the PC namespace for the whole test, so every engine call it makes runs there.
class EngineLab : public ::testing::Test {
  protected:
    EngineLab() : store_(CSqlManagement::kInMemoryDatabase) {}

    void StartSim(std::vector<std::string> args) {
        ASSERT_TRUE(lab_.ok()) << lab_.error();
        ASSERT_TRUE(lab_.StartSimulator(args)) << lab_.error() << lab_.simulatorOutput();
    }

    void StartEngine(EngineTiming timing = Fast()) {
        ASSERT_TRUE(lab_.ok()) << lab_.error();
        pc_ = std::make_unique<testlab::NetnsScope>(lab_.pcNs());
        ASSERT_TRUE(pc_->ok());
        EngineDeps deps;
        deps.store = &store_;
        deps.timing = timing;
        engine_ = std::make_unique<AcTransmitManage>(deps);
        ASSERT_TRUE(engine_->Init(timing.retransmission_max, timing.retransmission_interval));
    }

    void TearDown() override {
        engine_.reset();
        pc_.reset();
    }

    static EngineTiming Fast() {
        EngineTiming t;
        t.retransmission_max = 3;
        t.retransmission_interval = 300;
        t.heartbeat_check_period = 500;
        return t;
    }

    // The Search button's sequence.
    void Search() {
        engine_->UpdateCaptureDeviceList();
        engine_->ReleasePendingManageAp();
        engine_->DeletePendingManageAp();
        engine_->DeleteUnmanagedApInfo();
        engine_->SendDiscoverBroadcast();
    }

    int OnlineCount() {
        std::vector<ap_info_stu> list;
        int pages = 0, online = 0;
        store_.QueryApList(0, list, pages, online, 100000, 1, true, "");
        return online;
    }

    std::vector<testlab::TraceRecord> Received(int type, const std::string& mac = "") {
        std::vector<testlab::TraceRecord> out;
        for (auto& r : lab_.ReadTrace()) {
            if (r.dir == "rx" && r.type == type && (mac.empty() || r.mac == mac)) {
                out.push_back(r);
            }
        }
        return out;
    }

    testlab::Lab lab_;
    CSqlManagement store_;
    std::unique_ptr<testlab::NetnsScope> pc_;
    std::unique_ptr<AcTransmitManage> engine_;
};

}  // namespace

TEST_F(EngineLab, DiscoveryStoresDevicesOnlineAndHeartbeatsKeepThem) {
    StartSim({"--count", "5", "--heartbeat", "300", "--set", "name=Roof@2"});
    StartEngine();
    Search();
    ASSERT_TRUE(WaitFor(5000, [&] { return OnlineCount() == 5; })) << OnlineCount();
    ap_info_stu r{};
    store_.GetApInfo(DeviceMac(2), r);
    EXPECT_EQ(IpBytesToText(r.ip), DeviceIp(2));
    EXPECT_EQ(std::string(r.ap_name, r.ap_name_len), "Roof");
    EXPECT_EQ(store_.GetApStatus(DeviceMac(2)), 1);

    // The acknowledgement and the configuration request went to the group with the MAC.
    for (int type : {1, 2}) {
        const auto rx = Received(type, DeviceMac(4));
        ASSERT_FALSE(rx.empty()) << "type " << type;
        EXPECT_EQ(rx[0].to, "239.255.255.250:9787");
        EXPECT_EQ(rx[0].from, "198.51.100.1:9787");
        EXPECT_EQ(rx[0].mcastFlag, 1u);
    }
    const auto broadcast = Received(1, "00:00:00:00:00:00");
    ASSERT_FALSE(broadcast.empty());
    EXPECT_EQ(broadcast[0].to, "198.51.100.255:9786");
    EXPECT_EQ(broadcast[0].from, "198.51.100.1:9786");

    // Many ageing passes later every device is still there, renewed by its heartbeats.
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    EXPECT_EQ(OnlineCount(), 5);
    EXPECT_EQ(engine_->GetManageApSnapshot().size(), 5u);
    EXPECT_FALSE(Received(15, DeviceMac(0)).empty());  // acknowledgements reached the device
}

namespace {

// A device-side datagram: header with the device's MAC and type 14, then the payload.
std::vector<uint8_t> DeviceDatagram(uint16_t type, const std::string& mac,
                                    const std::vector<uint8_t>& payload, int data_len = -1) {
    std::vector<uint8_t> d(16, 0);
    datagram_header h = MakeHeader(type, MacTextToBytes(mac), 0, false);
    h.ap_type = 14;
    h.data_len = static_cast<uint16_t>(data_len < 0 ? payload.size() : data_len);
    std::memcpy(d.data(), &h, 16);
    d.insert(d.end(), payload.begin(), payload.end());
    return d;
}

// Runs `body` on a thread that lives in the device namespace.
template <class Fn>
void OnDeviceSide(const testlab::Lab& lab, Fn body) {
    std::thread t([&] {
        testlab::NetnsScope dev(lab.devNs());
        if (dev.ok()) body();
    });
    t.join();
}

}  // namespace

TEST_F(EngineLab, SilentDeviceLeavesBetweenThreeAndFourPeriodsAfterItsLastHeartbeat) {
    StartSim({"--count", "2", "--heartbeat", "200", "--fault", "hb_stop_after=2@1"});
    const EngineTiming t = Fast();  // period 500 ms: the 30 to 40 s of the program, scaled
    StartEngine(t);
    Search();
    ASSERT_TRUE(WaitFor(3000, [&] { return OnlineCount() == 2; }));
    ASSERT_TRUE(WaitFor(6000, [&] { return store_.GetApStatus(DeviceMac(1)) == 0; }));
    const double gone = WallNow();
    double last = 0;
    for (const auto& r : lab_.ReadTrace()) {
        if (r.dir == "tx" && r.type == VALTO_APHeartbeat && r.mac == DeviceMac(1)) last = r.time;
    }
    ASSERT_GT(last, 0);
    const double p = t.heartbeat_check_period / 1000.0;
    EXPECT_GE(gone - last, 3 * p - 0.05);
    EXPECT_LE(gone - last, 4 * p + 0.25);
    EXPECT_EQ(engine_->GetManageApSnapshot().size(), 1u);
    EXPECT_EQ(store_.GetApStatus(DeviceMac(0)), 1);  // the beating one stays
}

TEST_F(EngineLab, RealDefaultsRemoveASilentDeviceBetween30And40Seconds) {
    StartSim({"--count", "1", "--fault", "hb_stop_after=3@0"});  // 5 s heartbeats
    EngineTiming t;                                              // the program's timing
    StartEngine(t);
    Search();
    ASSERT_TRUE(WaitFor(3000, [&] { return OnlineCount() == 1; }));
    ASSERT_TRUE(WaitFor(50000, [&] { return store_.GetApStatus(DeviceMac(0)) == 0; }));
    const double gone = WallNow();
    double last = 0;
    for (const auto& r : lab_.ReadTrace()) {
        if (r.dir == "tx" && (r.type == VALTO_APHeartbeat || r.type == VALTO_APDiscoverRequest)) {
            last = r.time;
        }
    }
    ASSERT_GT(last, 0);
    EXPECT_GE(gone - last, 30.0 - 0.1);
    EXPECT_LE(gone - last, 40.0 + 0.3);
}

TEST_F(EngineLab, DeviceThatChangesItsAddressIsFollowed) {
    StartSim({"--count", "1", "--heartbeat", "200", "--fault", "move_after=2@0"});
    StartEngine();
    Search();
    ASSERT_TRUE(WaitFor(3000, [&] { return OnlineCount() == 1; }));
    const std::string moved = "198.51.100.103";  // its address plus 100
    ASSERT_TRUE(WaitFor(5000, [&] {
        ap_info_stu r{};
        store_.GetApInfo(DeviceMac(0), r);
        return IpBytesToText(r.ip) == moved;
    }));
    const auto table = engine_->GetManageApSnapshot();
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].ip, moved);
    // Still acknowledged, and still there after several ageing passes.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(store_.GetApStatus(DeviceMac(0)), 1);
}

TEST_F(EngineLab, RetransmissionResendsUntilAnsweredOrGivesUp) {
    StartSim({"--count", "1", "--heartbeat", "200", "--fault", "delay=450@0"});
    const EngineTiming t = Fast();  // 3 resends, 300 ms apart
    StartEngine(t);
    Search();
    ASSERT_TRUE(WaitFor(4000, [&] { return OnlineCount() == 1; }));
    ASSERT_TRUE(WaitFor(2000, [&] { return engine_->GetRetransmissionCount() == 0; }));

    // Nobody answers: the first send and exactly retransmission_max resends, then dropped.
    const std::string nobody = "02:00:00:00:ee:ee";
    const uint8_t reboot[4] = {1, 127, 0, 0};
    ASSERT_TRUE(engine_->SendPacketMutilcast(DeviceIp(0), VALTO_APTimeRebootRequest, reboot, 4,
                                             nobody, true));
    // The answered device: its delayed answer ends the resending before the limit.
    ASSERT_TRUE(engine_->SendPacketMutilcast(DeviceIp(0), VALTO_APTimeRebootRequest, reboot, 4,
                                             DeviceMac(0), true));
    ASSERT_TRUE(WaitFor(4000, [&] { return engine_->GetRetransmissionCount() == 0; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(4 * t.retransmission_interval));
    EXPECT_EQ(Received(VALTO_APTimeRebootRequest, nobody).size(),
              static_cast<size_t>(1 + t.retransmission_max));
    const auto answered = Received(VALTO_APTimeRebootRequest, DeviceMac(0));
    EXPECT_GE(answered.size(), 2u);  // resent at least once while the answer was late
    EXPECT_LE(answered.size(), static_cast<size_t>(t.retransmission_max));
    for (const auto& r : answered) {
        ASSERT_EQ(r.payload.size(), 4u);
        EXPECT_EQ(r.payload[1], 127);
    }
}

TEST_F(EngineLab, TwoLocalAddressesInTheSubnetSendEveryRequestTwice) {
    ASSERT_TRUE(lab_.ok()) << lab_.error();
    ASSERT_EQ(lab_.Run("pc", {"ip", "addr", "add", "198.51.100.250/24", "dev", "pc0"}), 0);
    StartSim({"--count", "1", "--heartbeat", "200"});
    StartEngine();
    Search();
    ASSERT_TRUE(WaitFor(3000, [&] { return OnlineCount() == 1; }));
    // One broadcast (same subnet, same adapter), then each acknowledgement twice.
    EXPECT_EQ(Received(VALTO_APDiscoverRequest, "00:00:00:00:00:00").size(), 1u);
    const auto acks = Received(VALTO_APDiscoverRequest, DeviceMac(0));
    ASSERT_EQ(acks.size(), 2u);
    EXPECT_EQ(acks[0].from, "198.51.100.1:9787");
    EXPECT_EQ(acks[1].from, "198.51.100.250:9787");
}

TEST_F(EngineLab, DiscoveryFallsBackToTheAllOnesBroadcastWithoutAnAddress) {
    ASSERT_TRUE(lab_.ok()) << lab_.error();
    ASSERT_EQ(lab_.Run("pc", {"ip", "addr", "flush", "dev", "pc0"}), 0);
    ASSERT_EQ(lab_.Run("pc", {"ip", "route", "add", "255.255.255.255/32", "dev", "pc0"}), 0);
    StartSim({"--count", "1"});
    StartEngine();
    EXPECT_TRUE(engine_->GetLocalAddressSnapshot().empty());
    Search();
    ASSERT_TRUE(WaitFor(3000, [&] { return !Received(VALTO_APDiscoverRequest).empty(); }));
    const auto rx = Received(VALTO_APDiscoverRequest);
    EXPECT_EQ(rx[0].to, "255.255.255.255:9786");
    EXPECT_EQ(rx[0].mcastFlag, 0u);
}

TEST_F(EngineLab, ArpAnnouncementOnTheWire) {
    ASSERT_TRUE(lab_.ok()) << lab_.error();
    const std::string capture = lab_.dir() + "/arp.pcap";
    const pid_t dump = lab_.Spawn(
        "pc", {"tcpdump", "-i", "pc0", "-U", "--immediate-mode", "-n", "-w", capture, "arp"},
        lab_.dir() + "/td.txt");
    ASSERT_GT(dump, 0);
    ASSERT_TRUE(WaitFor(5000, [&] {
        std::ifstream f(lab_.dir() + "/td.txt");
        std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        return all.find("listening") != std::string::npos;
    }));
    StartEngine();
    std::vector<local_adapter_info> adapters;
    engine_->GetLocalAdapterList(adapters);
    ASSERT_EQ(adapters.size(), 1u);
    Search();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    testlab::Lab::Stop(dump);

    std::ifstream f(capture, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                               std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 24u) << "no capture file";
    bool found = false;
    for (size_t at = 24; at + 16 <= bytes.size();) {
        const uint32_t len = ReadLe32(&bytes[at + 8]);
        const uint8_t* frame = &bytes[at + 16];
        if (at + 16 + len > bytes.size()) break;
        const uint8_t ours[4] = {198, 51, 100, 1};
        if (len == 60 && std::memcmp(frame + 28, ours, 4) == 0 &&
            std::memcmp(frame + 38, ours, 4) == 0) {
            const arp_announce_frame expected =
                AcTransmitManage::BuildArpFrame(adapters[0].mac, "198.51.100.1");
            EXPECT_EQ(std::memcmp(frame, &expected, 60), 0);
            EXPECT_EQ(std::memcmp(frame + 6, adapters[0].mac, 6), 0);
            const uint8_t head[] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
            EXPECT_EQ(std::memcmp(frame, head, 6), 0);
            EXPECT_EQ(std::memcmp(frame + 32, head, 6), 0);
            found = true;
        }
        at += 16 + len;
    }
    EXPECT_TRUE(found) << "no announcement of 198.51.100.1 captured";
}

TEST_F(EngineLab, ReleaseNoticesAtShutdownAndStorePurgeAtANewSearch) {
    StartSim({"--count", "3", "--heartbeat", "200"});
    StartEngine();
    Search();
    ASSERT_TRUE(WaitFor(3000, [&] { return OnlineCount() == 3; }));
    ap_info_stu ghost{};
    std::snprintf(ghost.mac, sizeof ghost.mac, "02:00:00:00:00:99");
    store_.UpdateApInfo(ghost);
    ASSERT_EQ(OnlineCount(), 4);
    Search();
    EXPECT_EQ(store_.GetApStatus("02:00:00:00:00:99"), 0);
    EXPECT_EQ(OnlineCount(), 3);

    engine_->Shutdown();
    EXPECT_FALSE(engine_->IsRunning());
    ASSERT_TRUE(WaitFor(2000, [&] { return Received(VALTO_APReleaseRequest).size() >= 3; }));
    for (int i = 0; i < 3; ++i) {
        const auto rx = Received(VALTO_APReleaseRequest, DeviceMac(i));
        ASSERT_EQ(rx.size(), 1u) << DeviceMac(i);
        EXPECT_EQ(rx[0].to, "239.255.255.250:9787");
        EXPECT_EQ(rx[0].dataLen, 0u);
    }
}

TEST_F(EngineLab, HeartbeatsArrivingDuringABurstOfSendsAreAllCounted) {
    StartEngine();
    const uint64_t before = engine_->GetQueueStats().accepted_heartbeat;
    constexpr int kHeartbeats = 2000;
    constexpr int kSends = 20000;
    std::atomic<bool> go{false};
    std::atomic<int> sent_ok{0};
    // Sends from this (PC-side) thread's child, heartbeats from the device side, at once.
    std::thread burst([&] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < kSends; ++i) {
            if (engine_->SendPacketMutilcast("198.51.100.200", VALTO_APReleaseRequest, nullptr, 0,
                                             "02:00:00:00:ff:ff", false)) {
                ++sent_ok;
            }
        }
    });
    int delivered = 0;
    OnDeviceSide(lab_, [&] {
        testlab::UdpPeer peer;
        if (!peer.Bind("198.51.100.2", 0)) return;
        go = true;
        std::vector<uint8_t> payload(112, 0);
        for (int i = 0; i < kHeartbeats; ++i) {
            if (peer.SendTo("198.51.100.1", 9787,
                            DeviceDatagram(VALTO_APHeartbeat, "02:00:00:00:aa:01", payload))) {
                ++delivered;
            }
            if (i % 20 == 0) std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    go = true;
    burst.join();
    EXPECT_EQ(sent_ok.load(), kSends);
    ASSERT_EQ(delivered, kHeartbeats);
    EXPECT_TRUE(WaitFor(2000, [&] {
        return engine_->GetQueueStats().accepted_heartbeat - before == kHeartbeats;
    })) << engine_->GetQueueStats().accepted_heartbeat - before;
}

TEST_F(EngineLab, MalformedStreamAtEveryPortThenNormalDiscovery) {
    StartEngine();
    int sent = 0;
    OnDeviceSide(lab_, [&] {
        testlab::UdpPeer peer;
        if (!peer.Bind("198.51.100.2", 0)) return;
        const std::string mac = "02:00:00:00:bb:01";
        std::vector<std::vector<uint8_t>> kinds;
        auto bad_magic = DeviceDatagram(VALTO_APDiscoverRequest, mac, std::vector<uint8_t>(40, 1));
        bad_magic[0] = 0x89;
        kinds.push_back(bad_magic);
        kinds.push_back({0x88, 0x19, 0, 0, 1});  // short
        kinds.push_back(DeviceDatagram(VALTO_APConfigRequest, mac,
                                       std::vector<uint8_t>(1584, 7)));  // 1600 bytes
        kinds.push_back(
            DeviceDatagram(VALTO_APConfigRequest, mac, std::vector<uint8_t>(20, 9), 1456));
        std::vector<uint8_t> survey = {1, 0, 40};
        survey.resize(3 + 2 * 44, 0x41);
        kinds.push_back(DeviceDatagram(VALTO_APSearchApRequest, mac, survey));  // icount 40
        std::vector<uint8_t> brief(112, 0);
        brief[40] = static_cast<char>(0xe5);  // name: a character cut after one byte
        brief[41] = static_cast<char>(0xb1);
        brief[72] = 2;
        brief[73] = static_cast<char>(0xff);  // SSID: not UTF-8 at all
        brief[105] = 1;
        kinds.push_back(DeviceDatagram(VALTO_APDiscoverRequest, mac, brief));
        kinds.push_back(DeviceDatagram(VALTO_APHeartbeat, mac, brief));
        kinds.push_back(DeviceDatagram(VALTO_APConfigRequest, mac, brief, 756));
        for (int i = 0; i < 4000; ++i) {
            const auto& d = kinds[i % kinds.size()];
            if (peer.SendTo("198.51.100.1", static_cast<uint16_t>(9785 + (i / 7) % 4), d)) ++sent;
            if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    EXPECT_EQ(sent, 4000);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(engine_->IsRunning());
    EXPECT_EQ(engine_->GetQueueStats().dropped, 0u);
    // Whatever the stream made of the table and store, only valid UTF-8 reached the store.
    std::vector<ap_info_stu> list;
    int pages = 0, online = 0;
    store_.QueryApList(0, list, pages, online, 1000, 1, true, "");
    for (const auto& r : list) {
        EXPECT_TRUE(IsValidUtf8(std::string(r.ap_name, std::min<int>(r.ap_name_len, 32))));
    }

    StartSim({"--count", "2", "--heartbeat", "200"});
    Search();
    EXPECT_TRUE(WaitFor(3000, [&] {
        return store_.GetApStatus(DeviceMac(0)) == 1 && store_.GetApStatus(DeviceMac(1)) == 1;
    }));
}
