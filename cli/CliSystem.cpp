#include "cli/CliSystem.h"

#include <signal.h>
#include <time.h>

#include <cerrno>

#include "app/Language.h"
#include "app/Log.h"
#include "app/Settings.h"
#include "engine/AcTransmitManage.h"
#include "platform/ProgramFolder.h"
#include "store/CSqlManagement.h"

namespace {

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

class CEngineBackend : public CCliBackend {
  public:
    CEngineBackend(AcTransmitManage& engine, CSqlManagement& store)
        : engine_(engine), store_(store) {}
    ~CEngineBackend() override { Shutdown(); }

    void StartSearch() override {
        engine_.UpdateCaptureDeviceList();
        engine_.ReleasePendingManageAp();
        engine_.DeletePendingManageAp();
        engine_.DeleteUnmanagedApInfo();
        engine_.SendDiscoverBroadcast();
    }
    void Broadcast() override { engine_.SendDiscoverBroadcast(); }

    std::vector<ap_info_stu> StoredDevices() override {
        std::vector<ap_info_stu> list;
        int pages = 0, online = 0;
        // Sort key 1: by address, numerically. One page holds them all.
        store_.QueryApList(1, list, pages, online, 1 << 20, 1, true, "");
        return list;
    }
    std::vector<ap_info_stu> PendingDevices() override {
        std::vector<ap_info_stu> list;
        engine_.GetPendingManageApList(list, 1 << 20, nullptr);
        return list;
    }
    ap_info_stu StoredDevice(const std::string& mac) override {
        ap_info_stu r{};
        if (!mac.empty()) store_.GetApInfo(mac, r);
        return r;
    }
    std::vector<std::string> StoredIps() override {
        std::vector<std::string> list;
        store_.GetApIpList(list);
        return list;
    }
    bool HasBridgedStation(const std::string& mac) override {
        return store_.HasBridgedStation(mac);
    }
    void MarkUnconfirmed(const std::string& mac) override { store_.SetApStatus(mac, 0); }

    bool Send(const std::string& ip, uint16_t msg_type, const Payload& data, const std::string& mac,
              bool retransmit) override {
        return engine_.SendPacketMutilcast(ip, msg_type, data.data(), static_cast<int>(data.size()),
                                           mac, retransmit);
    }
    void AnnounceNewIp(const std::string& mac, const std::string& ip,
                       const std::string& new_ip) override {
        engine_.UpdateManageApIp(mac, ip, new_ip);
    }
    std::string ConfirmedIp(const std::string& mac) override {
        for (const auto& e : engine_.GetManageApSnapshot()) {
            if (e.mac == mac) return e.new_ip.empty() ? e.ip : std::string();
        }
        return {};
    }
    int RequestWindowMs() const override {
        const EngineTiming& t = engine_.Timing();
        return (t.retransmission_max + 1) * t.retransmission_interval;
    }
    void Shutdown() override { engine_.Shutdown(); }

  private:
    AcTransmitManage& engine_;
    CSqlManagement& store_;
};

}  // namespace

void PrepareCliSignals() {
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

bool CSystemHost::ClaimInstance(std::string& why) {
    guard_ = platform::CInstanceGuard::TryAcquire(platform::kProgramInstanceName);
    switch (guard_.GetState()) {
        case platform::CInstanceGuard::State::kHeld:
            return true;
        case platform::CInstanceGuard::State::kAlreadyRunning:
            why =
                "Merrowin is already running on this PC (the window program or another "
                "merrowin-cli); both would use the same ports. Close it and try again.";
            return false;
        default:
            why = "cannot create the single-instance guard";
            return false;
    }
}

std::unique_ptr<CCliBackend> CSystemHost::StartEngine(std::string& why) {
    OpenLogFile();  // without a log the tool still runs
    const std::string folder = platform::GetProgramFolder();
    // The device list's display texts ("On2", "Off2", statuses) come from the language file,
    // as in the window program.
    LoadLanguage(folder);
    const AppSettings settings = ReadSettings(folder);
    WRITE_LOG_INFO("retransmission_max:%d, retransmission_interval:%d", settings.retransmission_max,
                   settings.retransmission_interval);

    // The tool's device table lives only as long as the run: no data.mdb beside the program.
    CSqlManagement::SetDatabasePath(CSqlManagement::kInMemoryDatabase);
    CSqlManagement* store = CSqlManagement::GetInstance();
    if (store == nullptr || !store->IsOpen()) {
        why = "cannot open the in-memory device store";
        return nullptr;
    }
    AcTransmitManage* engine = AcTransmitManage::GetInstance();
    if (!engine->Init(settings.retransmission_max, settings.retransmission_interval)) {
        engine->Shutdown();
        why =
            "cannot open the network sockets (ports 9785 to 9788 in use, or no permission); "
            "see the log in Logs/";
        return nullptr;
    }
    if (engine->GetLocalAddressSnapshot().empty()) {
        engine->Shutdown();
        why = "no network: this PC has no IPv4 address on any interface that is up";
        return nullptr;
    }
    return std::make_unique<CEngineBackend>(*engine, *store);
}

bool CSystemHost::WaitForStop(int ms) {
    if (stop_) return true;
    const sigset_t set = StopSignals();
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    int sig;
    do {
        sig = sigtimedwait(&set, nullptr, &ts);
    } while (sig < 0 && errno == EINTR);
    if (sig == SIGINT || sig == SIGTERM) {
        WRITE_LOG_INFO("signal %d: ending", sig);
        stop_ = true;
    }
    return stop_;
}
