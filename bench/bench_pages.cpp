// A list page refresh on the interface thread: the store query over 10,000 devices and the grid
// rebuild of one 100-row page, as a page does it after every switch, click and 30 seconds.
// Runs offscreen; reports the resident memory of the process at the end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "common/ValueTables.h"
#include "store/CSqlManagement.h"
#include "ui/controls/CGridCtrl.h"
#include "ui/pages/CManagementDlg.h"
#include "ui/pages/CStatusDlg.h"

namespace {

constexpr int kDevices = 10000;

CSqlManagement& FilledStore() {
    static std::unique_ptr<CSqlManagement> store = [] {
        auto s = std::make_unique<CSqlManagement>(CSqlManagement::kInMemoryDatabase);
        for (int i = 0; i < kDevices; ++i) {
            ap_info_stu r{};
            std::snprintf(r.mac, sizeof r.mac, "00:1a:2b:%02x:%02x:%02x", (i >> 16) & 0xff,
                          (i >> 8) & 0xff, i & 0xff);
            r.ap_type = 1;
            r.work_mode = uint8_t(1 + i % 2);
            r.channel = uint8_t(1 + i % 11);
            r.tx_power = uint8_t(i % 28);
            r.up_time = uint32_t(i * 37);
            const IpBytes ip = {198, uint8_t(18 + (i >> 16)), uint8_t(i >> 8), uint8_t(i)};
            std::memcpy(r.ip, ip.data(), 4);
            r.ap_name_len = uint8_t(std::snprintf(r.ap_name, sizeof r.ap_name, "site-%05d", i));
            r.ssid_len = uint8_t(std::snprintf(r.ssid, sizeof r.ssid, "net-%03d", i % 500));
            r.version_len = uint8_t(std::snprintf(r.version, sizeof r.version, "V2.%d", i % 9));
            s->UpdateApInfo(r);
        }
        return s;
    }();
    return *store;
}

template <class Page>
void BM_Refresh100Rows(benchmark::State& state) {
    PageServices services;
    services.store = &FilledStore();
    Page page(nullptr, services);
    page.show();
    page.PerPageSelector()->setCurrentIndex(3);  // 100 a page
    int n = 0;
    for (auto _ : state) {
        page.OnPageTurn(1 + (n++ % 50));  // a different page each time, as a user pages on
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(page.Grid()->GetRowCount());
    }
    if (page.Grid()->GetRowCount() != 100) state.SkipWithError("page not full");
}

void BM_Query100Rows(benchmark::State& state) {
    CSqlManagement& store = FilledStore();
    for (auto _ : state) {
        std::vector<ap_info_stu> list;
        int pages = 0, online = 0;
        store.QueryApList(1, list, pages, online, 100, 7, false, "");
        benchmark::DoNotOptimize(list.data());
    }
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

BENCHMARK(BM_Query100Rows)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Refresh100Rows, CManagementDlg)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Refresh100Rows, CStatusDlg)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("resident memory at the end: %ld KiB\n", ResidentKiB());
    return 0;
}
