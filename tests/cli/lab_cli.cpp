// merrowin-cli against the simulator, inside a private lab network: listing, actions, exit
// codes, the single-instance refusal and a clean end of `watch` on SIGTERM.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/ValueTables.h"
#include "tests/lab/LabFixture.h"

namespace {

const char* const kMacs[] = {"02:4d:57:00:00:01", "02:4d:57:00:00:02", "02:4d:57:00:00:03"};
const char* const kIps[] = {"198.51.100.3", "198.51.100.4", "198.51.100.5"};

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

struct CliRun {
    int code;
    std::string out, err;
};

class CliLab : public ::testing::Test {
  protected:
    void SetUp() override {
        lab_ = std::make_unique<testlab::Lab>(3);
        ASSERT_TRUE(lab_->ok()) << lab_->error();
        ASSERT_TRUE(lab_->StartSimulator({"--count", "3"})) << lab_->error();
    }

    // Runs merrowin-cli in the PC namespace; standard output and error apart.
    CliRun Cli(const std::vector<std::string>& args) {
        const std::string n = std::to_string(runs_++);
        const std::string out = lab_->dir() + "/cli" + n + ".out";
        const std::string err = lab_->dir() + "/cli" + n + ".err";
        std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$@\" 2>\"" + err + "\"", "sh",
                                         MERROWIN_CLI};
        argv.insert(argv.end(), args.begin(), args.end());
        const int code = lab_->Run("pc", argv, out);
        return {code, Slurp(out), Slurp(err)};
    }

    // Requests of one type the simulator received for one MAC.
    std::vector<testlab::TraceRecord> Received(int type, const std::string& mac) {
        std::vector<testlab::TraceRecord> out;
        for (auto& r : lab_->ReadTrace()) {
            if (r.dir == "rx" && r.type == type && r.mac == mac) out.push_back(r);
        }
        return out;
    }

    std::unique_ptr<testlab::Lab> lab_;
    int runs_ = 0;
};

TEST_F(CliLab, DiscoverJsonListsExactlyTheSimulatedDevices) {
    const CliRun r = Cli({"discover", "--seconds", "4", "--format", "json"});
    ASSERT_EQ(0, r.code) << r.err << r.out;
    EXPECT_EQ(3u, Count(r.out, "\"mac\":")) << r.out;
    const int types[] = {257, 14, 6};  // the simulator's first three models
    for (int i = 0; i < 3; ++i) {
        const std::string head = "{\"name\":\"devsim-00" + std::to_string(i) + "\",\"type\":\"" +
                                 GetApTypeText(types[i]) + "\",\"ip\":\"" + kIps[i] +
                                 "\",\"mac\":\"" + kMacs[i] + "\"";
        EXPECT_NE(std::string::npos, r.out.find(head)) << head << "\n" << r.out;
    }
    EXPECT_EQ(3u, Count(r.out, "\"status\":\"Online\",\"pending\":false}")) << r.out;
    EXPECT_EQ('[', r.out.front());
}

TEST_F(CliLab, RebootOfTwoDevicesReachesBothAndExitsZero) {
    const CliRun r = Cli({"reboot", kMacs[0], kMacs[2]});
    EXPECT_EQ(0, r.code) << r.err << r.out;
    EXPECT_NE(std::string::npos,
              r.out.find(std::string(kMacs[0]) + "  " + kIps[0] + "  Restarting"))
        << r.out;
    EXPECT_NE(std::string::npos,
              r.out.find(std::string(kMacs[2]) + "  " + kIps[2] + "  Restarting"))
        << r.out;
    EXPECT_FALSE(Received(9, kMacs[0]).empty());
    EXPECT_FALSE(Received(9, kMacs[2]).empty());
    EXPECT_TRUE(Received(9, kMacs[1]).empty());
}

TEST_F(CliLab, AMissingMacIsExitOneAndNamedWhileTheOthersAreDone) {
    const std::string missing = "02:4d:57:00:00:77";
    const CliRun r = Cli({"reboot", kMacs[1], missing, "--timeout", "4"});
    EXPECT_EQ(1, r.code) << r.err << r.out;
    EXPECT_NE(std::string::npos, r.err.find("Device not found: " + missing)) << r.err;
    EXPECT_NE(std::string::npos, r.out.find(missing + "  -  not found")) << r.out;
    EXPECT_NE(std::string::npos,
              r.out.find(std::string(kMacs[1]) + "  " + kIps[1] + "  Restarting"));
}

TEST_F(CliLab, AnInvalidAddressIsExitTwoAndNothingGoesOut) {
    const CliRun r = Cli({"set-ip", kMacs[0], "--ip", "198.51.100.0", "--mask", "255.255.255.0"});
    EXPECT_EQ(2, r.code) << r.err << r.out;
    EXPECT_EQ("The ip address is invalid!\n", r.err);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const auto& t : lab_->ReadTrace()) EXPECT_NE("rx", t.dir) << "type " << t.type;
}

TEST_F(CliLab, SetIpRangeGivesTheThreeExpectedAddresses) {
    const CliRun r = Cli({"set-ip-range", kMacs[0], kMacs[1], kMacs[2], "--first", "192.168.1.254",
                          "--last", "192.168.2.3", "--mask", "255.255.0.0"});
    EXPECT_EQ(0, r.code) << r.err << r.out;
    const char* const want[] = {"192.168.1.254", "192.168.2.1", "192.168.2.2"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(std::string::npos,
                  r.out.find(std::string(kMacs[i]) + "  " + kIps[i] + "  ip " + want[i]))
            << r.out;
        const auto sets = Received(3, kMacs[i]);
        ASSERT_FALSE(sets.empty()) << kMacs[i];
        ASSERT_EQ(22u, sets[0].payload.size());
        EXPECT_EQ(1, sets[0].payload[0]);  // static address
        EXPECT_EQ(want[i], IpBytesToText(std::span<const uint8_t, 4>(&sets[0].payload[1], 4)));
        EXPECT_EQ(1, sets[0].payload[21]);
    }
}

TEST_F(CliLab, RenameAndTdmaAreConfirmedByTheDevicesNextReport) {
    CliRun r = Cli({"rename", kMacs[2], "Roof north"});
    EXPECT_EQ(0, r.code) << r.err << r.out;
    EXPECT_NE(std::string::npos,
              r.out.find(std::string(kMacs[2]) + "  " + kIps[2] + "  name Roof north"))
        << r.out;
    const auto names = Received(8, kMacs[2]);
    ASSERT_FALSE(names.empty());
    ASSERT_EQ(33u, names[0].payload.size());
    EXPECT_EQ("Roof north", std::string(names[0].payload.begin(), names[0].payload.begin() + 10));
    EXPECT_EQ(10, names[0].payload[32]);

    r = Cli({"set-tdma", "on", kMacs[2]});  // device 2 is a TDMA model
    EXPECT_EQ(0, r.code) << r.err << r.out;
    EXPECT_NE(std::string::npos, r.out.find("tdma on")) << r.out;
    const auto tdma = Received(19, kMacs[2]);
    ASSERT_FALSE(tdma.empty());
    EXPECT_EQ((std::vector<uint8_t>{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), tdma[0].payload);

    // The device kept both: a fresh listing shows them.
    r = Cli({"discover", "--seconds", "3", "--format", "csv"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("Roof north,")) << r.out;
}

TEST_F(CliLab, ASecondInstanceIsRefusedAndWatchEndsCleanlyOnSigterm) {
    const std::string watch_out = lab_->dir() + "/watch.out";
    const pid_t watch = lab_->Spawn("pc", {MERROWIN_CLI, "watch", "--format", "json"}, watch_out);
    ASSERT_GT(watch, 0);
    // The watch has found every device once three "stored" events are out.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (Count(Slurp(watch_out), "\"event\":\"stored\"") < 3 &&
           std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    const std::string events = Slurp(watch_out);
    ASSERT_EQ(3u, Count(events, "\"event\":\"stored\"")) << events;
    for (const char* mac : kMacs) EXPECT_NE(std::string::npos, events.find(mac));

    const CliRun second = Cli({"discover", "--seconds", "1"});
    EXPECT_EQ(3, second.code) << second.err << second.out;
    EXPECT_NE(std::string::npos, second.err.find("already running")) << second.err;

    EXPECT_EQ(0, testlab::Lab::Stop(watch, 5000));
    // A normal shutdown releases every device it tracked.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const char* mac : kMacs) EXPECT_FALSE(Received(17, mac).empty()) << mac;
}

}  // namespace
