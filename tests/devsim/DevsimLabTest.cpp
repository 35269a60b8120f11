// The simulator in a lab: the test plays the PC from inside the PC namespace.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "common/ValueTables.h"
#include "common/wire.h"
#include "tests/lab/LabFixture.h"

namespace {

using testlab::PcDatagram;
using testlab::UdpPeer;

constexpr char kPc[] = "198.51.100.1";

uint16_t TypeOf(const UdpPeer::Datagram& d) { return ReadLe16(d.bytes.data() + 4); }
std::string MacOf(const UdpPeer::Datagram& d) {
    return MacBytesToText(std::span<const uint8_t, 6>(d.bytes.data() + 8, 6));
}
std::span<const uint8_t> PayloadOf(const UdpPeer::Datagram& d) {
    return std::span<const uint8_t>(d.bytes).subspan(kHeaderSize);
}

class DevsimLab : public ::testing::Test {
  protected:
    // Starts `count` devices (the simulator puts their addresses up itself) and opens the
    // PC's sockets inside the PC namespace.
    void Start(int count, std::vector<std::string> extra = {}) {
        ASSERT_TRUE(lab.ok()) << lab.error();
        std::vector<std::string> args = {"--count", std::to_string(count)};
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_TRUE(lab.StartSimulator(args)) << lab.error();
        pc = std::make_unique<testlab::NetnsScope>(lab.pcNs());
        ASSERT_TRUE(pc->ok()) << pc->error();
        ASSERT_TRUE(broadcaster.Bind(kPc, kDiscoverSendPort));
        broadcaster.AllowBroadcast();
        ASSERT_TRUE(discovered.Bind(kPc, kDiscoverRecvPort));
        ASSERT_TRUE(answers.Bind(kPc, kConfigPort));
        // Heartbeats come in here, and requests go out from here, as the engine does it.
        ASSERT_TRUE(heartbeats.Bind(kPc, kHeartbeatPort));
        heartbeats.MulticastFrom(kPc);
    }
    std::vector<UdpPeer::Datagram> Discover(size_t expect, int windowMs = 2000) {
        EXPECT_TRUE(broadcaster.SendTo("198.51.100.255", kDiscoverSendPort,
                                       PcDatagram(VALTO_APDiscoverRequest, "", false)));
        return discovered.ReceiveAll(windowMs, expect);
    }
    void Ask(uint16_t type, const std::string& mac, const std::vector<uint8_t>& payload = {}) {
        ASSERT_TRUE(heartbeats.SendTo(kMulticastGroup, kHeartbeatPort,
                                      PcDatagram(type, mac, true, payload)));
    }
    std::optional<UdpPeer::Datagram> Answer(uint16_t type, int timeoutMs = 2000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            auto d = answers.Receive(100);
            if (d && TypeOf(*d) == type) return d;
        }
        return std::nullopt;
    }
    static std::string Mac(int i) {
        char b[18];
        std::snprintf(b, sizeof b, "02:4d:57:00:00:%02x", 1 + i);
        return b;
    }
    static std::string DeviceIp(int i) { return "198.51.100." + std::to_string(3 + i); }

    testlab::Lab lab;
    std::unique_ptr<testlab::NetnsScope> pc;
    UdpPeer broadcaster, discovered, answers, heartbeats;
};

TEST_F(DevsimLab, ProbeFindsDevicesAnsweringFromTheirOwnAddresses) {
    Start(6, {"--heartbeat", "500"});
    auto found = Discover(6);
    ASSERT_EQ(6u, found.size()) << lab.simulatorOutput();
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return MacOf(a) < MacOf(b); });
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(DeviceIp(i), found[i].fromIp);
        EXPECT_EQ(VALTO_APDiscoverRequest, TypeOf(found[i]));
        EXPECT_EQ(kHeaderSize + 112, found[i].bytes.size());
        EXPECT_EQ(Mac(i), MacOf(found[i]));
    }
    for (int i = 0; i < 3; ++i) {
        Ask(VALTO_APDiscoverRequest, Mac(i));
        Ask(VALTO_APConfigRequest, Mac(i));
    }
    std::set<std::string> reported;
    for (int i = 0; i < 3; ++i) {
        const auto r = Answer(VALTO_APConfigRequest);
        ASSERT_TRUE(r) << "config report " << i;
        EXPECT_EQ(kHeaderSize + kConfigReportSize, r->bytes.size());
        const ap_info_stu rec = [&] {
            ap_info_stu x{};
            CopyConfigReport(x, PayloadOf(*r));
            return x;
        }();
        EXPECT_EQ(r->fromIp, IpBytesToText(rec.ip)) << "reported address is the source";
        reported.insert(MacOf(*r));
    }
    EXPECT_EQ((std::set<std::string>{Mac(0), Mac(1), Mac(2)}), reported);
    const auto hb = heartbeats.Receive(3000);
    ASSERT_TRUE(hb) << "heartbeat";
    EXPECT_EQ(VALTO_APHeartbeat, TypeOf(*hb));
    EXPECT_TRUE(reported.count(MacOf(*hb))) << "only acknowledged devices beat";
    EXPECT_EQ(kHeaderSize + 112, hb->bytes.size());

    // The trace has the PC's request to device 0 byte for byte.
    const auto expected = PcDatagram(VALTO_APConfigRequest, Mac(0), true);
    // A line is written once its datagram is out, so it may trail the datagram a little.
    auto sentBy = [](const std::vector<testlab::TraceRecord>& t) {
        return static_cast<size_t>(
            std::count_if(t.begin(), t.end(), [](const auto& r) { return r.dir == "tx"; }));
    };
    auto trace = lab.ReadTrace();
    for (int i = 0; i < 50 && sentBy(trace) < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        trace = lab.ReadTrace();
    }
    const auto it = std::find_if(trace.begin(), trace.end(), [&](const testlab::TraceRecord& t) {
        return t.dir == "rx" && t.type == VALTO_APConfigRequest && t.mac == Mac(0);
    });
    ASSERT_NE(it, trace.end());
    EXPECT_EQ(expected.size(), it->len);
    EXPECT_EQ(1u, it->mcastFlag);
    EXPECT_EQ(std::string(kPc) + ":9787", it->from);
    EXPECT_EQ(std::string(kMulticastGroup) + ":9787", it->to);
    EXPECT_GE(sentBy(trace), 6u + 3u + 1u) << "answers, reports and a heartbeat";
}

TEST_F(DevsimLab, IpChangeMovesTheDevice) {
    Start(2);
    ip_block b{};
    b.ip_mode = 1;
    const IpBytes ip = IpTextToBytes("198.51.100.200"), mask = IpTextToBytes("255.255.255.0");
    std::copy(ip.begin(), ip.end(), b.ip);
    std::copy(mask.begin(), mask.end(), b.ip_mask);
    b.ip_flag = 1;
    const auto w = WireBytes(b);
    Ask(VALTO_APIpSetRequest, Mac(0), {w.begin(), w.end()});
    const auto a = Answer(VALTO_APIpSetRequest);
    ASSERT_TRUE(a);
    EXPECT_EQ(DeviceIp(0), a->fromIp) << "answered from the old address";
    Ask(VALTO_APConfigRequest, Mac(0));
    const auto r = Answer(VALTO_APConfigRequest);
    ASSERT_TRUE(r);
    EXPECT_EQ("198.51.100.200", r->fromIp);
    const auto found = Discover(2);
    std::set<std::string> from;
    for (const auto& d : found) from.insert(d.fromIp);
    EXPECT_EQ((std::set<std::string>{"198.51.100.200", DeviceIp(1)}), from);
    // The address itself moved on the device side.
    const std::string out = lab.dir() + "/addr";
    ASSERT_EQ(0, lab.Run("dev", {"/usr/sbin/ip", "-o", "-4", "addr", "show", "dev", "dev0"}, out));
    std::ifstream in(out);
    const std::string addrs((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(addrs.find("inet 198.51.100.200/24"), std::string::npos) << addrs;
    EXPECT_EQ(addrs.find("inet " + DeviceIp(0) + "/24"), std::string::npos) << addrs;
}

TEST_F(DevsimLab, RebootGoesSilentAndComesBack) {
    Start(2, {"--reboot-time", "1500"});
    Ask(VALTO_APRebootRequest, Mac(1));
    const auto a = Answer(VALTO_APRebootRequest);
    ASSERT_TRUE(a);
    ASSERT_EQ(1u, PayloadOf(*a).size());
    EXPECT_EQ(0, PayloadOf(*a)[0]);
    auto found = Discover(2, 700);
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(Mac(0), MacOf(found[0]));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    found = Discover(2);
    ASSERT_EQ(2u, found.size());
    for (const auto& d : found) {
        if (MacOf(d) != Mac(1)) continue;
        EXPECT_LE(LoadWire<ap_brief_info>(PayloadOf(d)).up_time, 2u) << "a fresh start";
    }
}

TEST_F(DevsimLab, SurveyOfMoreThan32NetworksSpansDatagrams) {
    Start(40);
    Ask(VALTO_APSearchApRequest, Mac(0));
    std::vector<UdpPeer::Datagram> parts;
    while (auto d = Answer(VALTO_APSearchApRequest, 1500)) {
        parts.push_back(*d);
        if (parts.size() == 2) break;
    }
    ASSERT_EQ(2u, parts.size());
    size_t entries = 0;
    std::set<int> ids;
    for (const auto& p : parts) {
        EXPECT_EQ(DeviceIp(0), p.fromIp);
        const auto a = LoadWire<site_survey_answer>(PayloadOf(p));
        EXPECT_EQ(2, a.packet_count);
        ids.insert(a.packet_id);
        EXPECT_EQ(kHeaderSize + 3 + 44u * a.icount, p.bytes.size());
        entries += a.icount;
    }
    EXPECT_EQ((std::set<int>{0, 1}), ids);
    EXPECT_EQ(39u, entries);
}

// A TFTP responder for one file, standing in for the PC's file server.
class TinyTftp {
  public:
    TinyTftp(const std::string& ip, uint16_t port, std::string name, std::string content)
        : name_(std::move(name)), content_(std::move(content)) {
        ok_ = sock_.Bind(ip, port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TinyTftp() {
        stop_ = true;
        thread_.join();
    }
    bool ok() const { return ok_; }
    std::atomic<int> requests{0};

  private:
    void Serve() {
        while (!stop_) {
            auto rq = sock_.Receive(100);
            if (!rq || rq->bytes.size() < 4 || rq->bytes[1] != 1) continue;
            ++requests;
            const std::string file(reinterpret_cast<const char*>(rq->bytes.data() + 2));
            // A transfer socket of its own, as TFTP servers do.
            UdpPeer t;
            t.Bind(rq->toIp.empty() ? "0.0.0.0" : rq->toIp, 0);
            if (file != name_) {
                std::vector<uint8_t> err = {0, 5, 0, 1};
                for (char c : std::string("File not found")) err.push_back(c);
                err.push_back(0);
                t.SendTo(rq->fromIp, rq->fromPort, err);
                continue;
            }
            for (size_t block = 1;; ++block) {
                const size_t off = (block - 1) * 512;
                const size_t n =
                    std::min<size_t>(512, content_.size() - std::min(off, content_.size()));
                std::vector<uint8_t> data(4 + n);
                WriteBe16(data.data(), 3);
                WriteBe16(data.data() + 2, static_cast<uint16_t>(block));
                std::memcpy(data.data() + 4, content_.data() + off, n);
                bool acked = false;
                for (int tries = 0; tries < 5 && !acked && !stop_; ++tries) {
                    t.SendTo(rq->fromIp, rq->fromPort, data);
                    auto ack = t.Receive(500);
                    acked = ack && ack->bytes.size() >= 4 && ack->bytes[1] == 4 &&
                            ReadBe16(ack->bytes.data() + 2) == (block & 0xffff);
                }
                if (!acked || n < 512) break;
            }
        }
    }
    UdpPeer sock_;
    std::string name_, content_;
    bool ok_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(DevsimLab, UpgradeFetchesOverTftpAndComesBackWithTheNewVersion) {
    Start(1, {"--tftp-port", "6969", "--flash-time", "300", "--reboot-time", "500"});
    const std::string content(1700, 'x');  // four blocks, the last one short
    TinyTftp server(kPc, 6969, "fw-9.9.9.bin", content);
    ASSERT_TRUE(server.ok());
    for (const auto& [file, size, expect] : {std::tuple{std::string("missing.bin"), 1700u, 1},
                                             std::tuple{std::string("fw-9.9.9.bin"), 1700u, 0}}) {
        SCOPED_TRACE(file);
        upgrade_order o{};
        std::memcpy(o.file_name, file.data(), file.size());
        o.file_name_len = static_cast<uint8_t>(file.size());
        o.file_size = size;
        const auto w = WireBytes(o);
        Ask(VALTO_APUpgradeRequest, Mac(0), {w.begin(), w.end()});
        ASSERT_TRUE(Answer(VALTO_APUpgradeRequest));
        const auto status = Answer(VALTO_APUpgradeStatus, 4000);
        ASSERT_TRUE(status) << lab.simulatorOutput();
        EXPECT_EQ(expect, PayloadOf(*status)[0]);
    }
    Ask(VALTO_APUpgradeStartRequest, Mac(0));
    ASSERT_TRUE(Answer(VALTO_APUpgradeStartRequest));
    const auto done = Answer(VALTO_APUpgradeStatus, 3000);
    ASSERT_TRUE(done);
    EXPECT_EQ(2, PayloadOf(*done)[0]) << "upgrade success";
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    Ask(VALTO_APConfigRequest, Mac(0));
    const auto r = Answer(VALTO_APConfigRequest);
    ASSERT_TRUE(r);
    ap_info_stu rec{};
    CopyConfigReport(rec, PayloadOf(*r));
    EXPECT_EQ("fw-9.9.9", std::string(rec.version, rec.version_len));
    EXPECT_EQ(2, server.requests.load());
}

TEST(DevsimSafety, RefusesToRunOutsideALabNamespace) {
    testlab::Lab scratch;  // for its helpers; the run below is in a fresh, unnamed namespace
    const std::string out = scratch.dir() + "/refuse.out";
    const int rc = scratch.Run(
        "", {"/usr/bin/unshare", "--net", testlab::Lab::SimulatorPath(), "--count", "1"}, out);
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(3, rc) << text;
    EXPECT_NE(text.find("refusing to run"), std::string::npos) << text;
}

}  // namespace
