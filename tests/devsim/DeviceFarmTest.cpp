// The device side of the protocol, driven without sockets: datagrams in, captured sends out,
// time given by the test.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/DeviceText.h"
#include "common/ValueTables.h"
#include "common/wire.h"
#include "tools/devsim/DeviceFarm.h"
#include "tools/devsim/SimConfig.h"

namespace {

using devsim::DeviceFarm;

in_addr_t Ip(const char* text) {
    in_addr a{};
    inet_pton(AF_INET, text, &a);
    return a.s_addr;
}

std::string IpText(in_addr_t a) {
    char b[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &a, b, sizeof b);
    return b;
}

struct Sent {
    std::string src, dst;
    uint16_t port;
    std::vector<uint8_t> bytes;
    uint16_t type() const { return ReadLe16(bytes.data() + 4); }
    std::string mac() const {
        return MacBytesToText(std::span<const uint8_t, 6>(bytes.data() + 8, 6));
    }
    std::span<const uint8_t> payload() const {
        return std::span<const uint8_t>(bytes).subspan(kHeaderSize);
    }
};

class FakeOutput : public devsim::SimOutput {
  public:
    void Send(in_addr_t src, in_addr_t dst, uint16_t port, std::span<const uint8_t> d) override {
        sent.push_back({IpText(src), IpText(dst), port, {d.begin(), d.end()}});
    }
    bool AddAddress(in_addr_t ip, int prefix) override {
        log.push_back("add " + IpText(ip) + "/" + std::to_string(prefix));
        return true;
    }
    bool RemoveAddress(in_addr_t ip, int prefix) override {
        log.push_back("remove " + IpText(ip) + "/" + std::to_string(prefix));
        return true;
    }
    void StartFetch(int index, in_addr_t local, in_addr_t server, uint16_t port,
                    const std::string& file) override {
        log.push_back("fetch " + std::to_string(index) + " " + IpText(local) + " " +
                      IpText(server) + ":" + std::to_string(port) + " " + file);
    }
    std::vector<Sent> Take() { return std::exchange(sent, {}); }
    std::vector<Sent> sent;
    std::vector<std::string> log;
};

constexpr char kPc[] = "198.51.100.1";

class FarmTest : public ::testing::Test {
  protected:
    void Make(int count, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {
            "merrowin-devsim", "--count", std::to_string(count), "--heartbeat", "5000",
            "--reboot-time",   "3000",    "--flash-time",        "4000"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        std::string error;
        bool help;
        ASSERT_TRUE(
            devsim::ParseSimArgs(static_cast<int>(argv.size()), argv.data(), config, error, help))
            << error;
        farm = std::make_unique<DeviceFarm>(config, out);
        farm->Start(now);
    }
    std::string Mac(int i) const {
        return MacBytesToText(std::span<const uint8_t, 6>(config.devices[i].mac));
    }
    void Broadcast(const char* dst = "198.51.100.255") {
        const auto dg = PcDatagram(VALTO_APDiscoverRequest, "", false);
        farm->OnDiscovery(now, From(9786), Ip(dst), dg);
    }
    void Request(uint16_t type, int device, const std::vector<uint8_t>& payload = {}) {
        farm->OnRequest(now, From(9787), PcDatagram(type, Mac(device), true, payload));
    }
    void Advance(int64_t ms) {
        // In small steps, as the loop would wake.
        const int64_t end = now + ms;
        while (now < end) {
            const int64_t due = farm->NextDue();
            now = (due >= 0 && due <= end) ? std::max(due, now) : end;
            farm->RunTimers(now);
            if (now == end) break;
        }
    }
    static sockaddr_in From(uint16_t port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = Ip(kPc);
        a.sin_port = htons(port);
        return a;
    }
    static std::vector<uint8_t> PcDatagram(uint16_t type, const std::string& mac, bool mcast,
                                           const std::vector<uint8_t>& payload = {}) {
        const MacBytes m = mac.empty() ? MacBytes{} : MacTextToBytes(mac);
        std::vector<uint8_t> d(kHeaderSize + payload.size());
        d.resize(BuildDatagram(d,
                               MakeHeader(type, std::span<const uint8_t, 6>(m),
                                          static_cast<uint16_t>(payload.size()), mcast),
                               payload));
        return d;
    }
    ap_info_stu ReportOf(const Sent& s) {
        EXPECT_EQ(VALTO_APConfigRequest, s.type());
        EXPECT_EQ(kHeaderSize + kConfigReportSize, s.bytes.size());
        ap_info_stu r{};
        CopyConfigReport(r, s.payload());
        return r;
    }

    int64_t now = 1000000;
    devsim::SimConfig config;
    FakeOutput out;
    std::unique_ptr<DeviceFarm> farm;
};

TEST_F(FarmTest, DiscoveryAnswersFromEachDeviceOwnAddressWithShortReport) {
    Make(3);
    Advance(90000);
    Broadcast();
    const auto sent = out.Take();
    ASSERT_EQ(3u, sent.size());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ("198.51.100." + std::to_string(3 + i), sent[i].src);
        EXPECT_EQ(kPc, sent[i].dst);
        EXPECT_EQ(kDiscoverRecvPort, sent[i].port);
        ASSERT_EQ(kHeaderSize + 112, sent[i].bytes.size());
        const auto h = ParseHeader(sent[i].bytes);
        ASSERT_TRUE(h);
        EXPECT_EQ(VALTO_APDiscoverRequest, h->msg_type);
        EXPECT_EQ(config.devices[i].apType, h->ap_type);
        EXPECT_EQ(112, h->data_len);
        EXPECT_EQ(Mac(i), sent[i].mac());
        const auto b = LoadWire<ap_brief_info>(sent[i].payload());
        EXPECT_EQ(config.devices[i].record.up_time + 90, b.up_time);
        EXPECT_EQ(0, std::memcmp(b.ap_name, config.devices[i].record.ap_name, 32));
        EXPECT_EQ(config.devices[i].record.channel, b.channel);
    }
    // Another subnet's broadcast is not heard; the limited broadcast is.
    Broadcast("203.0.113.255");
    EXPECT_TRUE(out.Take().empty());
    Broadcast("255.255.255.255");
    EXPECT_EQ(3u, out.Take().size());
}

TEST_F(FarmTest, HeartbeatsRunFromAcknowledgementUntilRelease) {
    Make(2);
    Advance(20000);
    EXPECT_TRUE(out.Take().empty()) << "no heartbeats before the PC knows the device";
    Request(VALTO_APDiscoverRequest, 1);  // the acknowledgement
    Advance(4999);
    EXPECT_TRUE(out.Take().empty());
    Advance(1);
    auto sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(VALTO_APHeartbeat, sent[0].type());
    EXPECT_EQ("198.51.100.4", sent[0].src);
    EXPECT_EQ(kHeartbeatPort, sent[0].port);
    EXPECT_EQ(kHeaderSize + 112, sent[0].bytes.size());
    Advance(10000);
    EXPECT_EQ(2u, out.Take().size());
    Request(VALTO_APConfigRequest, 1);  // asking again does not double the heartbeats
    out.Take();
    Advance(10000);
    EXPECT_EQ(2u, out.Take().size());
    Request(VALTO_APReleaseRequest, 1);
    Advance(20000);
    EXPECT_TRUE(out.Take().empty());
}

TEST_F(FarmTest, ConfigReportIsTheRecordFromWorkModeOn) {
    Make(2);
    Request(VALTO_APConfigRequest, 0);
    auto sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(kConfigPort, sent[0].port);
    const ap_info_stu r = ReportOf(sent[0]);
    const ap_info_stu& f = config.devices[0].record;
    EXPECT_EQ(0, std::memcmp(WireBytes(r).data() + 32, WireBytes(f).data() + 32, 780 - 32));
    EXPECT_EQ("198.51.100.3",
              IpBytesToText(std::span<const uint8_t, 4>(sent[0].payload().data() + 9, 4)));
    // A datagram for a MAC that is none of ours changes nothing and is not answered.
    farm->OnRequest(now, From(9787), PcDatagram(VALTO_APConfigRequest, "02:00:00:00:00:99", true));
    EXPECT_TRUE(out.Take().empty());
}

TEST_F(FarmTest, IpChangeAnswersFromOldAddressThenMoves) {
    Make(2);
    ip_block b{};
    b.ip_mode = 1;
    const in_addr_t ip = Ip("198.51.100.200"), mask = Ip("255.255.255.0"), gw = Ip("198.51.100.1");
    std::memcpy(b.ip, &ip, 4);
    std::memcpy(b.ip_mask, &mask, 4);
    std::memcpy(b.ip_gateway, &gw, 4);
    b.ip_flag = 1;
    const auto w = WireBytes(b);
    Request(VALTO_APIpSetRequest, 0, {w.begin(), w.end()});
    auto sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(VALTO_APIpSetRequest, sent[0].type());
    EXPECT_EQ("198.51.100.3", sent[0].src);
    EXPECT_EQ((std::vector<std::string>{"add 198.51.100.200/24", "remove 198.51.100.3/24"}),
              out.log);
    Request(VALTO_APConfigRequest, 0);
    sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ("198.51.100.200", sent[0].src);
    const ap_info_stu r = ReportOf(sent[0]);
    EXPECT_EQ("198.51.100.200", IpBytesToText(r.ip));
}

TEST_F(FarmTest, RebootGoesSilentAndComesBackFresh) {
    Make(2);
    Advance(60000);
    Request(VALTO_APDiscoverRequest, 0);
    Request(VALTO_APRebootRequest, 0);
    auto sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(VALTO_APRebootRequest, sent[0].type());
    ASSERT_EQ(1u, sent[0].payload().size());
    EXPECT_EQ(0, sent[0].payload()[0]);
    Advance(2900);
    Broadcast();
    Request(VALTO_APConfigRequest, 0);
    sent = out.Take();
    ASSERT_EQ(1u, sent.size()) << "only the other device answers while one reboots";
    EXPECT_EQ(Mac(1), sent[0].mac());
    Advance(200);
    Broadcast();
    sent = out.Take();
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(0u, LoadWire<ap_brief_info>(sent[0].payload()).up_time) << "uptime starts again";
    Advance(30000);
    EXPECT_TRUE(out.Take().empty()) << "no heartbeats until the PC acknowledges it again";
}

TEST_F(FarmTest, RestoreBringsBackFactorySettingsIncludingAddress) {
    Make(1);
    name_block n{};
    std::memcpy(n.ap_name, "renamed", 7);
    n.ap_name_len = 7;
    auto w = WireBytes(n);
    Request(VALTO_APNameSetRequest, 0, {w.begin(), w.end()});
    ip_block b{};
    const in_addr_t ip = Ip("198.51.100.77"), mask = Ip("255.255.255.0");
    std::memcpy(b.ip, &ip, 4);
    std::memcpy(b.ip_mask, &mask, 4);
    auto wb = WireBytes(b);
    Request(VALTO_APIpSetRequest, 0, {wb.begin(), wb.end()});
    Request(VALTO_APConfigRequest, 0);
    auto sent = out.Take();
    ASSERT_EQ(3u, sent.size());
    ap_info_stu r = ReportOf(sent[2]);
    EXPECT_EQ("renamed", std::string(r.ap_name, r.ap_name_len));
    Request(VALTO_APRestoreRequest, 0);
    Advance(3000);
    out.Take();
    Request(VALTO_APConfigRequest, 0);
    sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ("198.51.100.3", sent[0].src);
    r = ReportOf(sent[0]);
    EXPECT_EQ("devsim-000", std::string(r.ap_name, r.ap_name_len));
}

TEST_F(FarmTest, SurveySpansDatagramsOf32Entries) {
    Make(41);
    Request(VALTO_APSearchApRequest, 0);
    const auto sent = out.Take();
    ASSERT_EQ(2u, sent.size());
    const size_t counts[] = {32, 8};
    for (size_t p = 0; p < 2; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(VALTO_APSearchApRequest, sent[p].type());
        EXPECT_EQ(kConfigPort, sent[p].port);
        ASSERT_EQ(kHeaderSize + 3 + 44 * counts[p], sent[p].bytes.size());
        const auto a = LoadWire<site_survey_answer>(sent[p].payload());
        EXPECT_EQ(2, a.packet_count);
        EXPECT_EQ(p, a.packet_id);
        EXPECT_EQ(counts[p], a.icount);
        for (size_t e = 0; e < a.icount; ++e) {
            const auto& entry = a.entries[e];
            const int dbm = static_cast<int8_t>(entry.signal);
            EXPECT_LE(dbm, -35);
            EXPECT_GE(dbm, -89);
            EXPECT_LE(entry.secure_mode, 10);
            EXPECT_NE(0, entry.channel);
        }
    }
    // The first entry is device 1's network as it is configured.
    const auto first = LoadWire<site_survey_answer>(sent[0].payload()).entries[0];
    const ap_info_stu& d1 = config.devices[1].record;
    EXPECT_EQ(0, std::memcmp(first.mac, d1.ssid_mac, 6));
    EXPECT_EQ(std::string(d1.ssid, d1.ssid_len), std::string(first.ssid, first.ssid_len));
}

TEST(SurveySecurity, ModeAndCipherGiveTheSurveyCode) {
    struct Case {
        uint8_t mode, psk, wpa, code;
    } cases[] = {{0, 0, 0, 0},  {1, 2, 0, 1}, {2, 0, 0, 2}, {2, 1, 0, 3},
                 {2, 2, 0, 10}, {3, 0, 0, 4}, {3, 1, 0, 5}, {3, 2, 0, 6},
                 {4, 0, 0, 7},  {4, 1, 0, 8}, {4, 2, 0, 9}, {6, 0, 1, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.code, devsim::SurveySecurityCode(c.mode, c.psk, c.wpa))
            << int(c.mode) << "/" << int(c.psk);
    }
}

TEST_F(FarmTest, UpgradeFetchesWaitsFlashesAndComesBackWithNewVersion) {
    Make(1);
    upgrade_order o{};
    std::memcpy(o.file_name, "fw-9.9.9.bin", 12);
    o.file_name_len = 12;
    o.file_size = 3000;
    const auto w = WireBytes(o);
    Request(VALTO_APUpgradeRequest, 0, {w.begin(), w.end()});
    auto sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(VALTO_APUpgradeRequest, sent[0].type());
    ASSERT_EQ(1u, out.log.size());
    EXPECT_EQ("fetch 0 198.51.100.3 198.51.100.1:69 fw-9.9.9.bin", out.log[0]);
    Request(VALTO_APUpgradeStartRequest, 0);  // too early: answered, nothing starts
    out.Take();
    farm->OnFetchDone(now, 0, true, 3000);
    sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(VALTO_APUpgradeStatus, sent[0].type());
    EXPECT_EQ(0, sent[0].payload()[0]) << "upgrade wait";
    Request(VALTO_APUpgradeStartRequest, 0);
    sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(VALTO_APUpgradeStartRequest, sent[0].type());
    Advance(4000);
    sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(VALTO_APUpgradeStatus, sent[0].type());
    EXPECT_EQ(2, sent[0].payload()[0]) << "upgrade success";
    Request(VALTO_APConfigRequest, 0);
    EXPECT_TRUE(out.Take().empty()) << "restarting";
    Advance(3000);
    Request(VALTO_APConfigRequest, 0);
    sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    const ap_info_stu r = ReportOf(sent[0]);
    EXPECT_EQ("fw-9.9.9", std::string(r.version, r.version_len));
}

TEST_F(FarmTest, UpgradeFailsWhenFetchFailsOrSizeDiffers) {
    Make(1);
    for (auto [ok, bytes] : {std::pair{false, size_t{0}}, std::pair{true, size_t{2999}}}) {
        upgrade_order o{};
        std::memcpy(o.file_name, "a.bin", 5);
        o.file_name_len = 5;
        o.file_size = 3000;
        const auto w = WireBytes(o);
        Request(VALTO_APUpgradeRequest, 0, {w.begin(), w.end()});
        out.Take();
        farm->OnFetchDone(now, 0, ok, bytes);
        const auto sent = out.Take();
        ASSERT_EQ(1u, sent.size());
        EXPECT_EQ(VALTO_APUpgradeStatus, sent[0].type());
        EXPECT_EQ(1, sent[0].payload()[0]) << "upgrade fail";
    }
}

TEST_F(FarmTest, RequestsApplyTheirBlocksOnly) {
    Make(1, {"--set", "type=15", "--set", "tdma=1", "--set", "transparent=0"});
    // Wireless with the switch block: only the DFS flag is taken from the tail.
    wireless_switch_block ws{};
    ws.wireless.channel = 149;
    std::memcpy(ws.wireless.ssid, "newnet", 6);
    ws.wireless.ssid_len = 6;
    ws.switches.wl_dfs = 1;
    auto w = WireBytes(ws);
    Request(VALTO_APWirelessSetRequest, 0, {w.begin(), w.end()});
    // Bridge order: station of a network, security moved 122 bytes later in the record.
    config_bridge b{};
    b.bridge_work_mode = 2;
    b.bridge_channel = 44;
    std::memcpy(b.bridge_ssid, "peer", 4);
    b.bridge_ssid_len = 4;
    b.secure_mode = 3;
    b.wpapsk_key_value_len = 8;
    std::memcpy(b.wpapsk_key_value, "password", 8);
    auto wb = WireBytes(b);
    Request(VALTO_APBridgeSetRequest, 0, {wb.begin(), wb.end()});
    // Transparent bridge on: only its byte counts.
    Request(VALTO_APTransparentBridgeRequest, 0, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Request(VALTO_APConfigRequest, 0);
    const auto sent = out.Take();
    ASSERT_EQ(4u, sent.size());
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(1u, sent[i].payload().size());
        EXPECT_EQ(0, sent[i].payload()[0]);
    }
    const ap_info_stu r = ReportOf(sent[3]);
    EXPECT_EQ(149, r.channel);
    EXPECT_EQ("newnet", std::string(r.ssid, r.ssid_len));
    EXPECT_EQ(1, r.wl_dfs);
    EXPECT_EQ(1, r.tdmaEn) << "the wireless tail and the transparent request leave TDMA alone";
    EXPECT_EQ(1, r.bridge_transparent);
    EXPECT_EQ(2, r.work_mode);
    EXPECT_EQ(2, r.bridge_work_mode);
    EXPECT_EQ(44, r.bridge_channel);
    EXPECT_EQ("peer", std::string(r.bridge_ssid, r.bridge_ssid_len));
    EXPECT_EQ(3, r.secure_mode);
    EXPECT_EQ("password", std::string(r.wpapsk_key_value, r.wpapsk_key_value_len));
    EXPECT_EQ("198.51.100.3", IpBytesToText(r.ip)) << "a bridge order without address keeps it";
}

TEST_F(FarmTest, FaultsOnDemand) {
    Make(3, {"--fault", "drop=1@0", "--fault", "twice@1", "--fault", "bad_magic=1@2"});
    Broadcast();
    auto sent = out.Take();
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ(Mac(1), sent[0].mac());
    EXPECT_EQ(sent[0].bytes, sent[1].bytes);
    EXPECT_EQ(Mac(2), sent[2].mac());
    EXPECT_FALSE(ParseHeader(sent[2].bytes)) << "wrong magic";
}

TEST_F(FarmTest, FaultsThatShapePayloads) {
    Make(4, {"--fault", "short=1@0", "--fault", "oversize=1@1", "--fault", "bad_utf8_name@2",
             "--fault", "delay=700@3"});
    Broadcast();
    auto sent = out.Take();
    ASSERT_EQ(3u, sent.size()) << "the late one is not there yet";
    EXPECT_EQ(kHeaderSize + 112 / 3, sent[0].bytes.size());
    EXPECT_EQ(112 / 3, ParseHeader(sent[0].bytes)->data_len);
    EXPECT_EQ(kMaxDatagramSize, sent[1].bytes.size());
    const auto b = LoadWire<ap_brief_info>(sent[2].payload());
    const std::string name(b.ap_name, b.ap_name_len);
    EXPECT_NE(name, DeviceTextToLocal(name)) << "not valid UTF-8";
    Advance(699);
    EXPECT_TRUE(out.Take().empty());
    Advance(1);
    sent = out.Take();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(Mac(3), sent[0].mac());
}

TEST_F(FarmTest, HeartbeatsStopAndAddressMovesByThemselves) {
    Make(1, {"--fault", "hb_stop_after=12", "--fault", "move_after=7", "--set",
             "move_to=198.51.100.90"});
    Request(VALTO_APDiscoverRequest, 0);
    Advance(30000);
    const auto sent = out.Take();
    ASSERT_EQ(2u, sent.size()) << "heartbeats at 5 s and 10 s only";
    EXPECT_EQ("198.51.100.3", sent[0].src);
    EXPECT_EQ("198.51.100.90", sent[1].src) << "moved at 7 s";
}

TEST(SimConfig, IniThenCommandLine) {
    char path[] = "/tmp/devsim-ini-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string ini =
        "; simulated site\n[Simulator]\ncount = 4\nheartbeat=2000\n"
        "[all]\nssid = site-net\n[device 2]\nname=Roof East\nip=198.51.100.50\n"
        "[device 0-1]\ndrop=0.25\n";
    ASSERT_EQ(static_cast<ssize_t>(ini.size()), write(fd, ini.data(), ini.size()));
    close(fd);
    std::vector<std::string> args = {"x",     "--config",       path, "--heartbeat", "3000",
                                     "--set", "name=Override@2"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    devsim::SimConfig c;
    std::string error;
    bool help;
    ASSERT_TRUE(devsim::ParseSimArgs(static_cast<int>(argv.size()), argv.data(), c, error, help))
        << error;
    unlink(path);
    EXPECT_EQ(4, c.count);
    EXPECT_EQ(3000, c.heartbeatMs) << "the command line wins";
    ASSERT_EQ(4u, c.devices.size());
    const auto& r2 = c.devices[2].record;
    EXPECT_EQ("Override", std::string(r2.ap_name, r2.ap_name_len));
    EXPECT_EQ("198.51.100.50", IpBytesToText(r2.ip));
    for (const auto& d : c.devices) {
        EXPECT_EQ("site-net", std::string(d.record.ssid, d.record.ssid_len));
    }
    EXPECT_EQ(0.25, c.devices[1].faults.drop);
    EXPECT_EQ(0.0, c.devices[2].faults.drop);
    EXPECT_NE(c.devices[0].mac, c.devices[1].mac);
}

TEST(SimConfig, MistakesAreRefused) {
    const std::vector<std::vector<std::string>> bad = {
        {"--count", "0"},         {"--set", "colour=red"},
        {"--set", "name=x@1-"},   {"--fault", "drop=2"},
        {"--bogus", "1"},         {"--set", "ip=300.1.1.1"},
        {"--first-mac", "zz:00"}, {"--config", "/nonexistent/devsim.ini"}};
    for (auto args : bad) {
        args.insert(args.begin(), "x");
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        devsim::SimConfig c;
        std::string error;
        bool help;
        EXPECT_FALSE(
            devsim::ParseSimArgs(static_cast<int>(argv.size()), argv.data(), c, error, help))
            << args[1] << " " << args[2];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
