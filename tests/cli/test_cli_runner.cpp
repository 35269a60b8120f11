// merrowin-cli's commands over a fake engine: exit codes, what is sent in which order, how an
// answer is recognised, and that bad input or a refused start sends nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliRunner.h"
#include "common/ValueTables.h"

namespace {

struct Sent {
    std::string ip;
    uint16_t type;
    Payload data;
    std::string mac;
    bool retransmit;
};

// A few devices, each with what it holds itself and what the store holds of it.
struct FakeDevice {
    ap_info_stu device{};  // the device's own state
    ap_info_stu stored{};  // the store's row; written by a configuration report
    bool answers = true;
    bool bridged_station = false;
    std::string new_ip;  // announced by AnnounceNewIp
};

class FakeBackend : public CCliBackend {
  public:
    std::map<std::string, FakeDevice> devices;
    std::vector<Sent> sent;
    std::vector<std::string> calls;  // StartSearch, Broadcast, Announce, Shutdown
    bool searched = false;

    void StartSearch() override {
        calls.push_back("StartSearch");
        searched = true;
    }
    void Broadcast() override { calls.push_back("Broadcast"); }
    std::vector<ap_info_stu> StoredDevices() override {
        std::vector<ap_info_stu> out;
        for (auto& [mac, d] : devices) {
            if (searched) out.push_back(d.stored);
        }
        return out;
    }
    std::vector<ap_info_stu> PendingDevices() override {
        ap_info_stu p = Make("02:4d:57:00:00:99", 1, 10, "198.51.100.99");
        return {p};
    }
    ap_info_stu StoredDevice(const std::string& mac) override {
        auto it = devices.find(mac);
        if (!searched || it == devices.end()) return ap_info_stu{};
        return it->second.stored;
    }
    std::vector<std::string> StoredIps() override {
        std::vector<std::string> ips;
        for (auto& [mac, d] : devices) ips.push_back(IpBytesToText(d.stored.ip));
        return ips;
    }
    bool HasBridgedStation(const std::string& mac) override {
        return devices.at(mac).bridged_station;
    }
    void MarkUnconfirmed(const std::string& mac) override { devices.at(mac).stored.ap_status = 0; }
    bool Send(const std::string& ip, uint16_t type, const Payload& data, const std::string& mac,
              bool retransmit) override {
        sent.push_back({ip, type, data, mac, retransmit});
        FakeDevice& d = devices.at(mac);
        if (!d.answers) return true;
        switch (type) {
            case VALTO_APConfigRequest:
                d.stored = d.device;
                d.stored.ap_status = 1;
                break;
            case VALTO_APRebootRequest:
                d.stored.ap_status = 4;
                break;
            case VALTO_APRestoreRequest:
                d.stored.ap_status = 5;
                break;
            case VALTO_APNameSetRequest:
                std::memcpy(d.device.ap_name, data.data(), 32);
                d.device.ap_name_len = data[32];
                break;
            case VALTO_APTransparentBridgeRequest:
                d.device.bridge_transparent = data[0];
                break;
            case VALTO_APTdMaenRequest:
                d.device.tdmaEn = data[1];
                break;
            case VALTO_APIpSetRequest:
                std::memcpy(d.device.ip, data.data() + 1, 4);
                break;
        }
        return true;
    }
    void AnnounceNewIp(const std::string& mac, const std::string& ip,
                       const std::string& new_ip) override {
        calls.push_back("Announce " + mac + " " + ip + " " + new_ip);
        devices.at(mac).new_ip = new_ip;
    }
    std::string ConfirmedIp(const std::string& mac) override {
        // The table switches to the announced address once the device moved (answered).
        const FakeDevice& d = devices.at(mac);
        return IpBytesToText(d.device.ip) == d.new_ip ? d.new_ip : std::string();
    }
    int RequestWindowMs() const override { return 0; }
    void Shutdown() override { calls.push_back("Shutdown"); }

    static ap_info_stu Make(const std::string& mac, int type, int status, const std::string& ip) {
        ap_info_stu r{};
        std::memcpy(r.mac, mac.c_str(), mac.size() + 1);
        r.ap_type = static_cast<uint16_t>(type);
        r.ap_status = status;
        r.work_mode = 1;
        const IpBytes b = IpTextToBytes(ip);
        std::memcpy(r.ip, b.data(), 4);
        std::memcpy(r.ap_name, "old", 3);
        r.ap_name_len = 3;
        return r;
    }
    void Add(const std::string& mac, int type, const std::string& ip) {
        FakeDevice d;
        d.device = d.stored = Make(mac, type, 1, ip);
        devices[mac] = d;
    }
    std::vector<Sent> SentOfType(uint16_t type) const {
        std::vector<Sent> out;
        for (const auto& s : sent) {
            if (s.type == type) out.push_back(s);
        }
        return out;
    }
};

// Hands RunCli a backend it may destroy while the test keeps the fake to look at.
class ForwardingBackend : public CCliBackend {
  public:
    explicit ForwardingBackend(CCliBackend& to) : to_(to) {}
    void StartSearch() override { to_.StartSearch(); }
    void Broadcast() override { to_.Broadcast(); }
    std::vector<ap_info_stu> StoredDevices() override { return to_.StoredDevices(); }
    std::vector<ap_info_stu> PendingDevices() override { return to_.PendingDevices(); }
    ap_info_stu StoredDevice(const std::string& mac) override { return to_.StoredDevice(mac); }
    std::vector<std::string> StoredIps() override { return to_.StoredIps(); }
    bool HasBridgedStation(const std::string& mac) override { return to_.HasBridgedStation(mac); }
    void MarkUnconfirmed(const std::string& mac) override { to_.MarkUnconfirmed(mac); }
    bool Send(const std::string& ip, uint16_t type, const Payload& data, const std::string& mac,
              bool retransmit) override {
        return to_.Send(ip, type, data, mac, retransmit);
    }
    void AnnounceNewIp(const std::string& mac, const std::string& ip,
                       const std::string& new_ip) override {
        to_.AnnounceNewIp(mac, ip, new_ip);
    }
    std::string ConfirmedIp(const std::string& mac) override { return to_.ConfirmedIp(mac); }
    int RequestWindowMs() const override { return to_.RequestWindowMs(); }
    void Shutdown() override { to_.Shutdown(); }

  private:
    CCliBackend& to_;
};

class FakeHost : public CCliHost {
  public:
    bool claim_ok = true;
    bool engine_ok = true;
    bool claimed = false;
    bool started = false;
    std::unique_ptr<FakeBackend> owned = std::make_unique<FakeBackend>();
    FakeBackend* backend = owned.get();

    bool ClaimInstance(std::string& why) override {
        claimed = true;
        if (!claim_ok) why = "already running";
        return claim_ok;
    }
    std::unique_ptr<CCliBackend> StartEngine(std::string& why) override {
        started = true;
        if (!engine_ok) {
            why = "cannot open the network sockets";
            return nullptr;
        }
        return std::make_unique<ForwardingBackend>(*backend);
    }
    bool WaitForStop(int ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 20)));
        return false;
    }
};

const std::string kMac1 = "02:4d:57:00:00:01";
const std::string kMac2 = "02:4d:57:00:00:02";
const std::string kMac3 = "02:4d:57:00:00:03";

struct RunResult {
    int code;
    std::string out, err;
};

RunResult RunWith(FakeHost& host, std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunCli(args, host, out, err);
    return {code, out.str(), err.str()};
}

TEST(CliRunner, RefusedStartIsExitThreeAndSendsNothing) {
    FakeHost host;
    host.backend->Add(kMac1, 1, "198.51.100.3");
    host.claim_ok = false;
    RunResult r = RunWith(host, {"reboot", kMac1});
    EXPECT_EQ(3, r.code);
    EXPECT_NE(std::string::npos, r.err.find("already running"));
    EXPECT_FALSE(host.started);

    FakeHost no_engine;
    no_engine.engine_ok = false;
    r = RunWith(no_engine, {"discover"});
    EXPECT_EQ(3, r.code);
    EXPECT_NE(std::string::npos, r.err.find("sockets"));
}

TEST(CliRunner, BadInputIsExitTwoBeforeAnythingStarts) {
    FakeHost host;
    RunResult r = RunWith(host, {"set-ip", kMac1, "--ip", "10.0.0.255", "--mask", "255.255.255.0"});
    EXPECT_EQ(2, r.code);
    EXPECT_EQ("The ip address is invalid!\n", r.err);
    r = RunWith(host, {"rename", kMac1, ""});
    EXPECT_EQ(2, r.code);
    EXPECT_EQ("The device name can not be empty!\n", r.err);
    r = RunWith(host, {"reboot", "nonsense"});
    EXPECT_EQ(2, r.code);
    EXPECT_FALSE(host.claimed);
}

TEST(CliRunner, RebootSendsToAccessPointsWithStationsFirstAndReportsTheStatus) {
    FakeHost host;
    FakeBackend& be = *host.backend;
    be.Add(kMac1, 1, "198.51.100.3");
    be.Add(kMac2, 1, "198.51.100.4");
    be.devices[kMac2].bridged_station = true;
    const RunResult r = RunWith(host, {"reboot", kMac1, kMac2});
    EXPECT_EQ(0, r.code) << r.err;
    const auto reboots = be.SentOfType(VALTO_APRebootRequest);
    ASSERT_EQ(2u, reboots.size());
    EXPECT_EQ(kMac2, reboots[0].mac);
    EXPECT_EQ("198.51.100.4", reboots[0].ip);
    EXPECT_EQ(kMac1, reboots[1].mac);
    EXPECT_TRUE(reboots[0].retransmit && reboots[1].retransmit);
    EXPECT_EQ(kMac1 + "  198.51.100.3  Restarting\n" + kMac2 + "  198.51.100.4  Restarting\n",
              r.out);
    EXPECT_EQ("StartSearch", be.calls.front());
    EXPECT_EQ("Shutdown", be.calls.back());
}

TEST(CliRunner, MissingOrSilentDevicesAreExitOneAndNamed) {
    FakeHost host;
    FakeBackend& be = *host.backend;
    be.Add(kMac1, 1, "198.51.100.3");
    be.Add(kMac2, 1, "198.51.100.4");
    be.devices[kMac2].answers = false;
    const RunResult r = RunWith(host, {"restore", kMac1, kMac2, kMac3, "--timeout", "1"});
    EXPECT_EQ(1, r.code);
    EXPECT_NE(std::string::npos, r.err.find("Device not found: " + kMac3));
    EXPECT_NE(std::string::npos, r.err.find("No answer from " + kMac2));
    EXPECT_NE(std::string::npos, r.out.find(kMac1 + "  198.51.100.3  Reseting\n"));
    EXPECT_NE(std::string::npos, r.out.find(kMac2 + "  198.51.100.4  no answer\n"));
    EXPECT_NE(std::string::npos, r.out.find(kMac3 + "  -  not found\n"));
    EXPECT_EQ(2u, be.SentOfType(VALTO_APRestoreRequest).size());
}

TEST(CliRunner, RenameIsConfirmedOnlyByAFreshReportWithTheNewName) {
    FakeHost host;
    FakeBackend& be = *host.backend;
    be.Add(kMac1, 1, "198.51.100.3");
    const RunResult r = RunWith(host, {"rename", kMac1, "Roof north"});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ(kMac1 + "  198.51.100.3  name Roof north\n", r.out);
    ASSERT_FALSE(be.sent.empty());
    EXPECT_EQ(VALTO_APNameSetRequest, be.sent[0].type);
    EXPECT_EQ(10, be.sent[0].data[32]);
    EXPECT_FALSE(be.SentOfType(VALTO_APConfigRequest).empty());
    EXPECT_FALSE(be.SentOfType(VALTO_APConfigRequest)[0].retransmit);

    // A device that takes nothing keeps reporting the old name: no answer.
    FakeHost silent;
    silent.backend->Add(kMac1, 1, "198.51.100.3");
    silent.backend->devices[kMac1].answers = false;
    EXPECT_EQ(1, RunWith(silent, {"rename", kMac1, "old"}).code);
}

TEST(CliRunner, RenameFollowsTheDeviceTypesNameRule) {
    FakeHost host;
    host.backend->Add(kMac1, 17, "198.51.100.3");  // a strict-name type
    const RunResult r = RunWith(host, {"rename", kMac1, "Roof north"});
    EXPECT_EQ(2, r.code);
    EXPECT_EQ(
        "Device name maximum allowed 32 bytes, only support combination of Chinese, lowercase "
        "letters, 0-9 numbers\n",
        r.err);
    EXPECT_TRUE(host.backend->sent.empty());
}

TEST(CliRunner, SwitchesRefuseDevicesWithoutTheFeature) {
    FakeHost host;
    FakeBackend& be = *host.backend;
    be.Add(kMac1, 6, "198.51.100.3");
    be.Add(kMac2, 4, "198.51.100.4");  // type 4: no transparent bridge
    RunResult r = RunWith(host, {"set-bridge", "on", kMac1, kMac2});
    EXPECT_EQ(2, r.code);
    EXPECT_NE(std::string::npos, r.err.find("Please select configurable devices!\n"));
    EXPECT_NE(std::string::npos, r.err.find(kMac2));
    EXPECT_TRUE(be.sent.empty());

    FakeHost ok;
    ok.backend->Add(kMac1, 6, "198.51.100.3");
    r = RunWith(ok, {"set-tdma", "on", kMac1});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ(kMac1 + "  198.51.100.3  tdma on\n", r.out);
    EXPECT_EQ(1, ok.backend->devices[kMac1].stored.tdmaEn);
}

TEST(CliRunner, SetIpRangeWalksTheAddressesInTheOrderNamed) {
    FakeHost host;
    FakeBackend& be = *host.backend;
    be.Add(kMac1, 1, "198.51.100.3");
    be.Add(kMac2, 1, "198.51.100.4");
    be.Add(kMac3, 1, "198.51.100.5");
    const RunResult r =
        RunWith(host, {"set-ip-range", kMac3, kMac1, kMac2, "--first", "192.168.1.254", "--last",
                       "192.168.2.3", "--mask", "255.255.0.0"});
    EXPECT_EQ(0, r.code) << r.err;
    const auto sets = be.SentOfType(VALTO_APIpSetRequest);
    ASSERT_EQ(3u, sets.size());
    const std::vector<std::pair<std::string, std::string>> want = {
        {kMac3, "192.168.1.254"}, {kMac1, "192.168.2.1"}, {kMac2, "192.168.2.2"}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(want[i].first, sets[i].mac);
        EXPECT_EQ(22u, sets[i].data.size());
        EXPECT_EQ(want[i].second, IpBytesToText(std::span<const uint8_t, 4>(&sets[i].data[1], 4)));
    }
    EXPECT_NE(std::find(be.calls.begin(), be.calls.end(),
                        "Announce " + kMac3 + " 198.51.100.5 192.168.1.254"),
              be.calls.end());
    EXPECT_NE(std::string::npos, r.out.find(kMac1 + "  198.51.100.3  ip 192.168.2.1\n"));
}

TEST(CliRunner, SetIpRefusesAnAddressAnotherDeviceHas) {
    FakeHost host;
    host.backend->Add(kMac1, 1, "198.51.100.3");
    host.backend->Add(kMac2, 1, "198.51.100.4");
    const RunResult r =
        RunWith(host, {"set-ip", kMac1, "--ip", "198.51.100.4", "--mask", "255.255.255.0"});
    EXPECT_EQ(2, r.code);
    EXPECT_EQ("The ip address is already in use, please respecify!\n", r.err);
    EXPECT_TRUE(host.backend->sent.empty());
}

TEST(CliRunner, DiscoverListsStoredThenPendingDevices) {
    FakeHost host;
    host.backend->Add(kMac1, 1, "198.51.100.3");
    RunResult r = RunWith(host, {"discover", "--seconds", "1", "--format", "json", "--pending"});
    EXPECT_EQ(0, r.code) << r.err;
    const auto first = r.out.find(kMac1), pending = r.out.find("02:4d:57:00:00:99");
    ASSERT_NE(std::string::npos, first);
    ASSERT_NE(std::string::npos, pending);
    EXPECT_LT(first, pending);
    EXPECT_NE(std::string::npos, r.out.find("\"status\":\"Pending\",\"pending\":true"));

    FakeHost plain;
    plain.backend->Add(kMac1, 1, "198.51.100.3");
    r = RunWith(plain, {"discover", "--seconds", "1", "--format", "csv"});
    EXPECT_EQ(std::string::npos, r.out.find("02:4d:57:00:00:99"));
    EXPECT_EQ(2, std::count(r.out.begin(), r.out.end(), '\n'));
}

}  // namespace
