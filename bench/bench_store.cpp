// Device store speed and memory with 100 to 10,000 devices.
//
//   bench_store --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// The stores live in a private temporary folder as files, like the program's own data.mdb.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "common/ValueTables.h"
#include "store/CSqlManagement.h"

namespace fs = std::filesystem;

namespace {

fs::path BenchFolder() {
    static const fs::path folder = [] {
        fs::path p =
            fs::temp_directory_path() / ("merrowin-bench-store-" + std::to_string(getpid()));
        fs::create_directories(p);
        return p;
    }();
    return folder;
}

std::string Mac(int n) {
    char buf[18];
    std::snprintf(buf, sizeof buf, "02:00:00:%02x:%02x:%02x", (n >> 16) & 0xff, (n >> 8) & 0xff,
                  n & 0xff);
    return buf;
}

std::string Ip(int n) {
    // 198.18.0.0/15, the benchmarking range.
    return "198." + std::to_string(18 + (n >> 16)) + "." + std::to_string((n >> 8) & 0xff) + "." +
           std::to_string(n & 0xff);
}

template <size_t N>
void PutText(char (&field)[N], uint8_t& len, const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N));
    len = static_cast<uint8_t>(std::min(text.size(), N));
}

// A fully populated report, varied enough that sorting and searching have real work.
ap_info_stu Record(int n) {
    ap_info_stu r{};
    std::memcpy(r.mac, Mac(n).c_str(), 17);
    r.ap_type = static_cast<uint16_t>(n % 3 ? 1 + n % 19 : 257 + n % 22);
    r.work_mode = static_cast<uint8_t>(1 + n % 7);
    r.up_time = static_cast<uint32_t>(n * 7919u);
    r.ip_mode = 1;
    const IpBytes ip = IpTextToBytes(Ip(n));
    std::memcpy(r.ip, ip.data(), 4);
    const IpBytes mask = IpTextToBytes("255.254.0.0");
    std::memcpy(r.ip_mask, mask.data(), 4);
    PutText(r.ap_name, r.ap_name_len, "Site " + std::to_string(n) + " mast");
    PutText(r.version, r.version_len, "2.1." + std::to_string(n % 40));
    r.rf_type = 1;
    r.channel = static_cast<uint8_t>(n % 4 ? 36 + 4 * (n % 12) : 0);
    r.tx_power = static_cast<uint8_t>(n % 27);
    for (int i = 0; i < 6; ++i) r.ssid_mac[i] = static_cast<uint8_t>(n >> (i * 3));
    PutText(r.ssid, r.ssid_len, "link-" + std::to_string(n / 2));
    r.secure_mode = static_cast<uint8_t>(n % 7);
    PutText(r.wpapsk_key_value, r.wpapsk_key_value_len, "passphrase-" + std::to_string(n));
    PutText(r.wpa_key, r.wpa_key_len, "radius-" + std::to_string(n));
    PutText(r.bridge_ssid, r.bridge_ssid_len, "link-" + std::to_string(n / 2));
    r.bridge_transparent = static_cast<uint8_t>(n % 2);
    r.tdmaEn = static_cast<uint8_t>(n % 5 == 0);
    r.vlan_id = static_cast<uint16_t>(n % 4094);
    return r;
}

std::unique_ptr<CSqlManagement> FilledStore(int devices, const std::string& name) {
    auto store = std::make_unique<CSqlManagement>((BenchFolder() / name).string());
    for (int i = 0; i < devices; ++i) store->UpdateApInfo(Record(i));
    return store;
}

// One filled store per size, shared by the benchmarks of that size.
CSqlManagement& Store(int devices) {
    static std::map<int, std::unique_ptr<CSqlManagement>> stores;
    auto& s = stores[devices];
    if (!s) s = FilledStore(devices, "data-" + std::to_string(devices) + ".mdb");
    return *s;
}

long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(key);
    while (std::getline(status, line)) {
        if (line.compare(0, n, key) == 0) return std::stol(line.substr(n + 1));
    }
    return -1;
}

// Resident memory of the whole process while it holds 10,000 devices and has paged through
// them; registered first so that no other store is alive yet.
void BM_ResidentMemory10000(benchmark::State& state) {
    const long before = StatusKb("VmRSS");
    long after = 0;
    for (auto _ : state) {
        auto store = FilledStore(10000, "data-memory.mdb");
        std::vector<ap_info_stu> list;
        int pages = 0, online = 0;
        for (int page = 1; page <= 100; ++page) {
            list.clear();
            store->QueryApList(1, list, pages, online, 100, page, false, "");
        }
        store->QueryApList(1, list, pages, online, 100, 1, false, "6");
        after = StatusKb("VmRSS");
    }
    state.counters["rss_MB"] = after / 1024.0;
    state.counters["rss_growth_MB"] = (after - before) / 1024.0;
    state.counters["peak_MB"] = StatusKb("VmHWM") / 1024.0;
}
BENCHMARK(BM_ResidentMemory10000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_QueryApList(benchmark::State& state, const char* search) {
    CSqlManagement& store = Store(static_cast<int>(state.range(0)));
    std::vector<ap_info_stu> list;
    list.reserve(100);
    int pages = 0, online = 0;
    for (auto _ : state) {
        list.clear();
        // Page 1 of 100 rows by address, descending.
        if (!store.QueryApList(1, list, pages, online, 100, 1, false, search)) {
            state.SkipWithError("query failed");
            break;
        }
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["matches_pages"] = pages;
}
BENCHMARK_CAPTURE(BM_QueryApList, empty_search, "")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_QueryApList, search_6, "6")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

// Upsert of a full report for a device already stored (the steady state of a running search).
void BM_UpdateApInfo(benchmark::State& state) {
    const int devices = static_cast<int>(state.range(0));
    CSqlManagement& store = Store(devices);
    int i = 0;
    for (auto _ : state) {
        ap_info_stu r = Record(i);
        r.up_time = r.up_time + 1;
        if (!store.UpdateApInfo(r)) {
            state.SkipWithError("upsert failed");
            break;
        }
        i = (i + 1) % devices;
    }
}
BENCHMARK(BM_UpdateApInfo)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_UpdateApUptime(benchmark::State& state) {
    const int devices = static_cast<int>(state.range(0));
    CSqlManagement& store = Store(devices);
    std::vector<std::string> macs, ips;
    for (int i = 0; i < devices; ++i) {
        macs.push_back(Mac(i));
        ips.push_back(Ip(i));
    }
    int i = 0;
    uint32_t t = 1;
    for (auto _ : state) {
        if (!store.UpdateApUptime(macs[i], ips[i], t++)) {
            state.SkipWithError("heartbeat failed");
            break;
        }
        i = (i + 1) % devices;
    }
}
BENCHMARK(BM_UpdateApUptime)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(BenchFolder(), ec);
    return 0;
}
