// The engine on real sockets against the device simulator, inside a private lab network
// (needs root; each benchmark makes and removes its own namespaces). Figures:
//   BM_DiscoverAll/N      time from the first discovery broadcast until all N devices are
//                         stored "Online" (re-broadcasting every 3 s, as the Status page does)
//   BM_HeartbeatLoad      1,000 devices beating every 5 s for 30 s: engine CPU share of one
//                         core, deepest queue seen, share of samples with empty queues, RSS
//   BM_HeartbeatCapacity  heartbeats sent as fast as one socket can from the device side for
//                         1,000 known devices: handled per second, with store updates
#include <benchmark/benchmark.h>
#include <sys/resource.h>

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

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec +
           u.ru_stime.tv_usec / 1e6;
}

double RssMb() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

std::string Mac(int i) {
    char m[18];
    std::snprintf(m, sizeof m, "02:4d:57:%02x:%02x:%02x", (1 + i) >> 16 & 0xff, (1 + i) >> 8 & 0xff,
                  (1 + i) & 0xff);
    return m;
}

// A lab with a /19 of the benchmarking range, the simulator with `devices` devices, and the
// engine in the PC namespace over a file store (as the program has it).
struct LabEngine {
    explicit LabEngine(int devices, int heartbeat_ms = 5000)
        : store("/tmp/bench_engine_lab_" + std::to_string(getpid()) + ".mdb") {
        if (!lab.ok()) {
            error = lab.error();
            return;
        }
        if (lab.Run("pc", {"ip", "addr", "add", "198.18.0.1/19", "dev", "pc0"}) != 0 ||
            lab.Run("dev", {"ip", "addr", "add", "198.18.0.2/19", "dev", "dev0"}) != 0) {
            error = "cannot add the /19";
            return;
        }
        // One simulator holds at most 4,096 devices: larger counts are split over two, the
        // second with its own addresses and MACs.
        const int first = devices > 4096 ? devices / 2 : devices;
        if (!lab.StartSimulator(
                {"--count", std::to_string(first), "--first-ip", "198.18.0.3", "--mask",
                 "255.255.224.0", "--heartbeat", std::to_string(heartbeat_ms)},
                60000)) {
            error = lab.error() + lab.simulatorOutput();
            return;
        }
        if (first < devices) {
            const pid_t second = lab.Spawn(
                "dev",
                {testlab::Lab::SimulatorPath(), "--count", std::to_string(devices - first),
                 "--first-ip", "198.18.16.3", "--mask", "255.255.224.0", "--first-mac",
                 "02:4d:58:00:00:01", "--heartbeat", std::to_string(heartbeat_ms)},
                lab.dir() + "/devsim2.out");
            if (second <= 0) {
                error = "cannot start the second simulator";
                return;
            }
            std::this_thread::sleep_for(std::chrono::seconds(5));  // its addresses come up
        }
        pc = std::make_unique<testlab::NetnsScope>(lab.pcNs());
        EngineDeps deps;
        deps.store = &store;
        engine = std::make_unique<AcTransmitManage>(deps);
        if (!engine->Init(3, 2000)) error = "Init failed";
    }
    ~LabEngine() {
        engine.reset();
        pc.reset();
    }
    int Stored() {
        std::vector<std::string> macs;
        store.GetApMacList(macs);
        return static_cast<int>(macs.size());
    }
    // Search, re-broadcasting every 3 s, until `n` devices are stored or `limit_s` passed.
    double DiscoverAll(int n, double limit_s, int& broadcasts) {
        const auto start = Clock::now();
        engine->UpdateCaptureDeviceList();
        engine->ReleasePendingManageAp();
        engine->DeletePendingManageAp();
        engine->DeleteUnmanagedApInfo();
        engine->SendDiscoverBroadcast();
        broadcasts = 1;
        auto next = start + std::chrono::seconds(3);
        while (Stored() < n) {
            const auto now = Clock::now();
            if (now - start > std::chrono::duration<double>(limit_s)) break;
            if (now >= next) {
                engine->SendDiscoverBroadcast();
                ++broadcasts;
                next += std::chrono::seconds(3);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    testlab::Lab lab;
    CSqlManagement store;
    std::unique_ptr<testlab::NetnsScope> pc;
    std::unique_ptr<AcTransmitManage> engine;
    std::string error;
};

void BM_DiscoverAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        LabEngine le(n);
        if (!le.error.empty()) {
            state.SkipWithError(le.error.c_str());
            return;
        }
        int broadcasts = 0;
        const double t = le.DiscoverAll(n, 30, broadcasts);
        state.SetIterationTime(t);
        std::vector<ap_info_stu> list;
        int pages = 0, online = 0;
        le.store.QueryApList(0, list, pages, online, 1000000, 1, true, "");
        state.counters["seconds_to_all_online"] = t;
        state.counters["online"] = online;
        state.counters["broadcasts"] = broadcasts;
        state.counters["dropped"] = static_cast<double>(le.engine->GetQueueStats().dropped);
    }
}
BENCHMARK(BM_DiscoverAll)
    ->Arg(1000)
    ->Arg(5000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_HeartbeatLoad(benchmark::State& state) {
    const int n = 1000;
    const int window_s = 30;
    for (auto _ : state) {
        LabEngine le(n, 5000);
        if (!le.error.empty()) {
            state.SkipWithError(le.error.c_str());
            return;
        }
        int broadcasts = 0;
        le.DiscoverAll(n, 15, broadcasts);
        std::this_thread::sleep_for(std::chrono::seconds(6));  // every device beating
        const auto before = le.engine->GetQueueStats();
        const double cpu0 = CpuSeconds();
        const auto t0 = Clock::now();
        std::size_t deepest = 0, samples = 0, empty = 0;
        while (Clock::now() - t0 < std::chrono::seconds(window_s)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const auto q = le.engine->GetQueueStats();
            const std::size_t depth = q.discover + q.heartbeat + q.config;
            deepest = std::max(deepest, depth);
            ++samples;
            if (depth == 0) ++empty;
        }
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double cpu = CpuSeconds() - cpu0;
        const auto after = le.engine->GetQueueStats();
        state.SetIterationTime(wall);
        state.counters["engine_cpu_percent"] = 100.0 * cpu / wall;
        state.counters["heartbeats_per_s"] =
            (after.accepted_heartbeat - before.accepted_heartbeat) / wall;
        state.counters["deepest_queue"] = static_cast<double>(deepest);
        state.counters["empty_sample_percent"] = 100.0 * empty / std::max<std::size_t>(samples, 1);
        state.counters["rss_mb"] = RssMb();
        state.counters["tracked"] = static_cast<double>(le.engine->GetManageApSnapshot().size());
        state.counters["dropped"] = static_cast<double>(after.dropped);
    }
}
BENCHMARK(BM_HeartbeatLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_HeartbeatCapacity(benchmark::State& state) {
    const int n = 1000;
    const int max_beats = 300000;  // bounded in count and in time (5 s)
    for (auto _ : state) {
        LabEngine le(n, 60000);  // the simulator's own heartbeats stay out of the way
        if (!le.error.empty()) {
            state.SkipWithError(le.error.c_str());
            return;
        }
        int broadcasts = 0;
        le.DiscoverAll(n, 15, broadcasts);
        le.lab.StopSimulator();
        const auto before = le.engine->GetQueueStats();
        int sent = 0;
        const auto t0 = Clock::now();
        std::thread feeder([&] {
            testlab::NetnsScope dev(le.lab.devNs());
            testlab::UdpPeer peer;
            if (!dev.ok() || !peer.Bind("198.18.0.2", 0)) return;
            std::vector<std::vector<uint8_t>> beats;
            for (int i = 0; i < n; ++i) {
                std::vector<uint8_t> d(16 + 112, 0);
                datagram_header h = MakeHeader(VALTO_APHeartbeat, MacTextToBytes(Mac(i)), 112, 0);
                h.ap_type = 14;
                std::memcpy(d.data(), &h, 16);
                WriteLe32(d.data() + 16 + 36, 100 + i);
                beats.push_back(d);
            }
            while (sent < max_beats && Clock::now() - t0 < std::chrono::seconds(5)) {
                // Stay within what the queue holds: the capacity is the handling rate.
                if (le.engine->GetQueueStats().heartbeat > 30000) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    continue;
                }
                for (int k = 0; k < 100; ++k) {
                    peer.SendTo("198.18.0.1", 9787, beats[sent % n]);
                    ++sent;
                }
            }
        });
        feeder.join();
        // Until the queue has drained (bounded).
        const auto drain_end = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < drain_end && le.engine->GetQueueStats().heartbeat > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const auto after = le.engine->GetQueueStats();
        const double handled = static_cast<double>(after.handled - before.handled);
        state.SetIterationTime(wall);
        state.counters["sent"] = sent;
        state.counters["accepted"] =
            static_cast<double>(after.accepted_heartbeat - before.accepted_heartbeat);
        state.counters["handled_per_s"] = handled / wall;
        state.counters["dropped"] = static_cast<double>(after.dropped - before.dropped);
    }
}
BENCHMARK(BM_HeartbeatCapacity)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
