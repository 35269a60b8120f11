// The engine on real sockets against the device simulator, inside a private lab network. Each
// test brings up its own lab (unique namespace names), so tests may run in parallel.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

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
