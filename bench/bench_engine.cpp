// Engine handler throughput without sockets: heartbeats of known devices (table update,
// acknowledgement built and handed to a sender, uptime written to the store) and the
// discovery-to-report path. Run: bench_engine [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/ValueTables.h"
#include "engine/AcTransmitManage.h"
#include "store/CSqlManagement.h"

namespace {

class NullSender : public CDatagramSender {
  public:
    bool Send(const OutgoingDatagram& d) override {
        bytes += d.bytes.size();
        return true;
    }
    std::size_t bytes = 0;
};

class OneAdapter : public CAdapterLibrary {
  public:
    OneAdapter() {
        std::memset(&rec_, 0, sizeof rec_);
        rec_.info.usable = 1;
        std::snprintf(rec_.info.name, sizeof rec_.info.name, "pc0");
        rec_.info.address_count = 1;
        std::snprintf(rec_.info.addresses[0].ip, 16, "198.18.0.1");
        std::snprintf(rec_.info.addresses[0].mask, 16, "255.255.224.0");
    }
    local_adapter_record* GetLocalAdapterInfo() override { return &rec_; }
    void ClearLocalAdapterInfo() override {}

  private:
    local_adapter_record rec_;
};

class NoCapture : public CCaptureLibrary {
  public:
    bool FindAllDevices(std::vector<std::string>& n) override {
        n.clear();
        return true;
    }
    bool SendFrame(const std::string&, std::span<const uint8_t>) override { return false; }
};

std::string Ip(int i) { return IpNumberToText(IpTextToNumber("198.18.0.3") + i); }
std::string Mac(int i) {
    char m[18];
    std::snprintf(m, sizeof m, "02:4d:57:00:%02x:%02x", (i >> 8) & 0xff, i & 0xff);
    return m;
}

ap_packet_info Packet(int i, uint16_t type, std::span<const uint8_t> payload) {
    ap_packet_info p{};
    SetSender(p, IpTextToBytes(Ip(i)), 9787);
    datagram_header h = MakeHeader(type, MacTextToBytes(Mac(i)), 0, false);
    h.ap_type = 14;
    BuildDatagram(p.packet, h, payload);
    return p;
}

struct Bench {
    explicit Bench(const std::string& db) : store(db) {
        EngineDeps deps;
        deps.store = &store;
        deps.sender = &sender;
        deps.adapters = &adapters;
        deps.capture = &capture;
        engine = std::make_unique<AcTransmitManage>(deps);
        std::vector<local_adapter_info> list;
        engine->GetLocalAdapterList(list);
    }
    ~Bench() { engine.reset(); }
    void Learn(int n) {
        ap_brief_info b{};
        for (int i = 0; i < n; ++i) {
            engine->ManageDiscoverPacket(Packet(i, VALTO_APDiscoverRequest, WireBytes(b)));
            ap_info_stu r{};
            const IpBytes ip = IpTextToBytes(Ip(i));
            std::memcpy(r.ip, ip.data(), 4);
            engine->ManageConfigPacket(Packet(i, VALTO_APConfigRequest, ConfigReportBytes(r)));
        }
    }
    CSqlManagement store;
    NullSender sender;
    OneAdapter adapters;
    NoCapture capture;
    std::unique_ptr<AcTransmitManage> engine;
};

// Heartbeats of `devices` known devices, round robin, stored in a file database (as the
// program does) or in memory.
void BM_HeartbeatHandling(benchmark::State& state) {
    const int devices = static_cast<int>(state.range(0));
    const bool file = state.range(1) != 0;
    const std::string path = "/tmp/bench_engine_" + std::to_string(getpid()) + ".mdb";
    Bench b(file ? path : CSqlManagement::kInMemoryDatabase);
    b.Learn(devices);
    std::vector<ap_packet_info> beats;
    for (int i = 0; i < devices; ++i) {
        ap_brief_info brief{};
        brief.up_time = 1000 + i;
        beats.push_back(Packet(i, VALTO_APHeartbeat, WireBytes(brief)));
    }
    std::size_t k = 0;
    for (auto _ : state) {
        b.engine->ManageHeartbeatPacket(beats[k]);
        if (++k == beats.size()) k = 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["heartbeats_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    if (b.engine->GetManageApSnapshot().size() != static_cast<std::size_t>(devices)) {
        state.SkipWithError("devices lost");
    }
}
BENCHMARK(BM_HeartbeatHandling)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({5000, 1})
    ->Unit(benchmark::kMicrosecond);

// A discovery answer plus its configuration report, for a table of `devices`.
void BM_DiscoverAndReport(benchmark::State& state) {
    const int devices = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto b = std::make_unique<Bench>(CSqlManagement::kInMemoryDatabase);
        state.ResumeTiming();
        b->Learn(devices);
        state.PauseTiming();
        b.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * devices);
}
BENCHMARK(BM_DiscoverAndReport)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
