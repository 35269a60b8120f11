// Simulator speed with 1,000 devices, in a lab (needs root):
//  - DiscoveryBurst: time from one discovery broadcast until all 1,000 answers have arrived
//    at the PC side;
//  - HeartbeatCpu: the simulator's CPU share over 30 s while 1,000 acknowledged devices
//    send a heartbeat every 5 s, and how many heartbeats arrived;
//  - FarmDiscovery: the protocol logic alone answering a broadcast for 1,000 devices.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "common/ValueTables.h"
#include "common/wire.h"
#include "tests/lab/LabFixture.h"
#include "tools/devsim/DeviceFarm.h"
#include "tools/devsim/SimConfig.h"

namespace {

constexpr int kDevices = 1000;
constexpr char kPc[] = "198.18.0.1";  // the large lab plan

double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), {});
    const auto close = all.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream rest(all.substr(close + 2));
    std::string field;
    unsigned long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoul(field);
        if (i == 15) stime = std::stoul(field);
    }
    return static_cast<double>(utime + stime) / sysconf(_SC_CLK_TCK);
}

std::string Mac(int i) {
    char b[18];
    std::snprintf(b, sizeof b, "02:4d:57:%02x:%02x:%02x", (1 + i) >> 16, ((1 + i) >> 8) & 255,
                  (1 + i) & 255);
    return b;
}

struct LabRun {
    testlab::Lab lab{kDevices};
    bool Start(benchmark::State& state, std::vector<std::string> extra = {}) {
        if (!lab.ok()) {
            state.SkipWithError(("lab: " + lab.error()).c_str());
            return false;
        }
        std::vector<std::string> args = {"--count", std::to_string(kDevices)};
        args.insert(args.end(), extra.begin(), extra.end());
        if (!lab.StartSimulator(args, 30000)) {
            state.SkipWithError(("simulator: " + lab.error()).c_str());
            return false;
        }
        return true;
    }
};

void DiscoveryBurst(benchmark::State& state) {
    LabRun run;
    if (!run.Start(state)) return;
    testlab::NetnsScope pc(run.lab.pcNs());
    testlab::UdpPeer bcast, recv;
    if (!pc.ok() || !bcast.Bind(kPc, kDiscoverSendPort) || !recv.Bind(kPc, kDiscoverRecvPort)) {
        state.SkipWithError("PC sockets");
        return;
    }
    bcast.AllowBroadcast();
    const auto request = testlab::PcDatagram(VALTO_APDiscoverRequest, "", false);
    size_t lastCount = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        bcast.SendTo("198.18.3.255", kDiscoverSendPort, request);
        size_t got = 0;
        auto last = t0;
        while (got < kDevices) {
            auto d = recv.Receive(5000);
            if (!d) break;
            ++got;
            last = std::chrono::steady_clock::now();
        }
        lastCount = got;
        state.SetIterationTime(std::chrono::duration<double>(last - t0).count());
        // Drain any stragglers before the next round.
        while (recv.Receive(50)) {
        }
    }
    state.counters["answers"] = static_cast<double>(lastCount);
}
BENCHMARK(DiscoveryBurst)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void HeartbeatCpu(benchmark::State& state) {
    LabRun run;
    if (!run.Start(state, {"--heartbeat", "5000"})) return;
    testlab::NetnsScope pc(run.lab.pcNs());
    testlab::UdpPeer hb;
    if (!pc.ok() || !hb.Bind(kPc, kHeartbeatPort)) {
        state.SkipWithError("PC sockets");
        return;
    }
    hb.MulticastFrom(kPc);
    for (int i = 0; i < kDevices; ++i) {
        hb.SendTo(kMulticastGroup, kHeartbeatPort,
                  testlab::PcDatagram(VALTO_APDiscoverRequest, Mac(i), true));
    }
    const pid_t sim = run.lab.simulatorPid();
    for (auto _ : state) {
        // Let the first round of heartbeats start, then measure a bounded 30 s window.
        std::this_thread::sleep_for(std::chrono::seconds(6));
        while (hb.Receive(0)) {
        }
        const double cpu0 = CpuSeconds(sim);
        const auto t0 = std::chrono::steady_clock::now();
        size_t beats = 0;
        while (std::chrono::steady_clock::now() - t0 < std::chrono::seconds(30)) {
            if (hb.Receive(100)) ++beats;
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = CpuSeconds(sim) - cpu0;
        state.SetIterationTime(wall);
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["heartbeats"] = static_cast<double>(beats);
        state.counters["expected"] = kDevices * wall / 5.0;
    }
}
BENCHMARK(HeartbeatCpu)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

class NullOutput : public devsim::SimOutput {
  public:
    void Send(in_addr_t, in_addr_t, uint16_t, std::span<const uint8_t> d) override {
        bytes += d.size();
    }
    bool AddAddress(in_addr_t, int) override { return true; }
    bool RemoveAddress(in_addr_t, int) override { return true; }
    void StartFetch(int, in_addr_t, in_addr_t, uint16_t, const std::string&) override {}
    size_t bytes = 0;
};

void FarmDiscovery(benchmark::State& state) {
    std::string count = std::to_string(kDevices);
    std::vector<std::string> args = {"x", "--count", count};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    devsim::SimConfig config;
    std::string error;
    bool help;
    devsim::ParseSimArgs(static_cast<int>(argv.size()), argv.data(), config, error, help);
    NullOutput out;
    devsim::DeviceFarm farm(config, out);
    farm.Start(0);
    std::vector<uint8_t> dg(kHeaderSize);
    dg.resize(BuildDatagram(dg, MakeHeader(VALTO_APDiscoverRequest, 0, false), {}));
    sockaddr_in from{};
    from.sin_family = AF_INET;
    for (auto _ : state) farm.OnDiscovery(1, from, INADDR_BROADCAST, dg);
    state.counters["answers_per_s"] = benchmark::Counter(
        static_cast<double>(kDevices), benchmark::Counter::kIsIterationInvariantRate);
    benchmark::DoNotOptimize(out.bytes);
}
BENCHMARK(FarmDiscovery)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
