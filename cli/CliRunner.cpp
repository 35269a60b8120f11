#include "cli/CliRunner.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <map>
#include <set>

#include "app/Language.h"
#include "app/Log.h"
#include "cli/CliActions.h"
#include "cli/DeviceView.h"
#include "common/DeviceText.h"
#include "common/TextCodec.h"
#include "common/Validation.h"
#include "common/ValueTables.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBroadcastEverySeconds = 3;
constexpr int kSearchRoundSeconds = 30;  // a Search lasts this long; watch starts a new one
constexpr int kPollMs = 200;
constexpr int kReportPollMs = 1000;  // how often an unconfirmed device is asked to report

std::string NowText() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

std::vector<DeviceRow> Rows(const std::vector<ap_info_stu>& records) {
    std::vector<DeviceRow> rows;
    rows.reserve(records.size());
    for (const auto& r : records) rows.push_back(MakeDeviceRow(r, LanguageTranslator()));
    return rows;
}

std::string RecordText(const char* field, std::size_t width, uint8_t length) {
    std::size_t n = std::min<std::size_t>(length, width);
    return std::string(field, std::find(field, field + n, '\0'));
}

std::string RecordIp(const ap_info_stu& r) {
    return IpBytesToText(std::span<const uint8_t, 4>(r.ip));
}

// One run of a command over a started engine.
class CSession {
  public:
    CSession(const CliOptions& o, CCliHost& host, CCliBackend& backend, std::ostream& out,
             std::ostream& err)
        : o_(o), host_(host), be_(backend), out_(out), err_(err) {}

    int Discover();
    int Watch();
    int Action();

  private:
    // Searches until every named device is stored, the timeout passes, or a stop is asked.
    // Returns the stored records of the devices found, keyed by MAC.
    std::map<std::string, ap_info_stu> FindNamedDevices();
    bool Stopped() const { return stopped_; }
    bool Wait(int ms) {
        if (!stopped_ && host_.WaitForStop(ms)) stopped_ = true;
        return !stopped_;
    }
    int Refuse(const CheckResult& check, const std::string& detail = {}) {
        err_ << MessageText(check, LanguageTranslator()) << "\n";
        if (!detail.empty()) err_ << detail << "\n";
        WRITE_LOG_INFO("input refused: %s", check.message.c_str());
        return kCliExitBadInput;
    }

    const CliOptions& o_;
    CCliHost& host_;
    CCliBackend& be_;
    std::ostream& out_;
    std::ostream& err_;
    bool stopped_ = false;
};

int CSession::Discover() {
    be_.StartSearch();
    // As the Search button: a broadcast at the start and every 3 seconds, none at the end.
    for (int tick = 1; tick <= o_.seconds; ++tick) {
        if (!Wait(1000)) break;
        if (tick % kBroadcastEverySeconds == 0 && tick < o_.seconds) be_.Broadcast();
    }
    std::vector<ap_info_stu> records = be_.StoredDevices();
    if (o_.pending) {
        const auto pending = be_.PendingDevices();
        records.insert(records.end(), pending.begin(), pending.end());
    }
    out_ << FormatDevices(Rows(records), o_.format) << std::flush;
    return kCliExitOk;
}

int CSession::Watch() {
    std::vector<DeviceRow> last;
    be_.StartSearch();
    const auto start = Clock::now();
    int next_broadcast = kBroadcastEverySeconds;
    while (Wait(500)) {
        const int elapsed = static_cast<int>(
            std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count());
        if (elapsed >= next_broadcast) {
            // Every 30 seconds the whole Search again, so pending devices whose configuration
            // got lost are asked afresh; in between a broadcast every 3 seconds.
            if (next_broadcast % kSearchRoundSeconds == 0) {
                be_.StartSearch();
            } else {
                be_.Broadcast();
            }
            next_broadcast += kBroadcastEverySeconds;
        }
        std::vector<DeviceRow> now = Rows(be_.StoredDevices());
        for (const auto& e : DiffDevices(last, now)) {
            out_ << FormatEvent(e, o_.format, NowText()) << "\n";
        }
        out_.flush();
        if (!out_) break;  // the reader went away (a closed pipe): end as on a signal
        last = std::move(now);
    }
    return kCliExitOk;
}

std::map<std::string, ap_info_stu> CSession::FindNamedDevices() {
    std::map<std::string, ap_info_stu> found;
    be_.StartSearch();
    const auto deadline = Clock::now() + std::chrono::seconds(o_.timeout);
    auto next_broadcast = Clock::now() + std::chrono::seconds(kBroadcastEverySeconds);
    while (true) {
        for (const auto& mac : o_.macs) {
            if (found.count(mac)) continue;
            const ap_info_stu r = be_.StoredDevice(mac);
            if (r.mac[0] != '\0') found[mac] = r;
        }
        if (found.size() == o_.macs.size() || Clock::now() >= deadline) break;
        if (!Wait(kPollMs)) break;
        if (Clock::now() >= next_broadcast) {
            be_.Broadcast();
            next_broadcast += std::chrono::seconds(kBroadcastEverySeconds);
        }
    }
    return found;
}

int CSession::Action() {
    const CliCommand cmd = o_.command;
    const uint16_t msg_type = ActionMsgType(cmd);
    WRITE_LOG_INFO("%s: %zu device(s)", std::string(CommandName(cmd)).c_str(), o_.macs.size());

    std::map<std::string, ap_info_stu> found = FindNamedDevices();
    std::vector<std::string> missing;
    for (const auto& mac : o_.macs) {
        if (!found.count(mac)) missing.push_back(mac);
    }
    if (stopped_) {
        err_ << "interrupted\n";
        return kCliExitFailed;
    }

    // Checks that need the devices' records; any failure sends nothing at all.
    std::vector<IpAssignment> plan;
    if (cmd == CliCommand::Rename && !found.empty()) {
        const CheckResult c = CheckRenameInput(o_.name, found.begin()->second.ap_type);
        if (!c) return Refuse(c);
    }
    if (cmd == CliCommand::SetBridge || cmd == CliCommand::SetTdma) {
        std::string refused;
        for (const auto& [mac, r] : found) {
            const std::string text = cmd == CliCommand::SetBridge
                                         ? GetTransparentText(r.ap_type, r.work_mode, 0)
                                         : GetTdmaText(r.ap_type, 0);
            if (text == "N/A") refused += (refused.empty() ? "" : " ") + mac;
        }
        if (!refused.empty()) {
            CheckResult c;
            c.ok = false;
            c.message = "Please select configurable devices!";
            return Refuse(c, "not configurable: " + refused);
        }
    }
    if (cmd == CliCommand::SetIp || cmd == CliCommand::SetIpRange) {
        plan = PlanIpAssignments(o_);
        if (cmd == CliCommand::SetIp && !found.empty()) {
            const std::string current = RecordIp(found.begin()->second);
            const CheckResult c = CheckIpInUse(o_.ip, current, [this] { return be_.StoredIps(); });
            if (!c) return Refuse(c);
        }
    }

    // What each found device gets, and how its answer shows.
    struct Job {
        std::string mac, ip;  // ip: the address it is reached at now
        Payload data;
        std::string new_ip;      // set-ip: the address it is given
        bool by_report = false;  // confirmed by a fresh configuration report
        bool done = false;
        std::string result;
    };
    std::vector<Job> jobs;
    std::map<std::string, std::string> notes;  // per MAC, for devices that get no request
    const Payload name_payload = cmd == CliCommand::Rename ? RenamePayload(o_.name) : Payload{};
    for (const auto& mac : o_.macs) {
        const auto it = found.find(mac);
        if (it == found.end()) continue;
        Job job;
        job.mac = mac;
        job.ip = RecordIp(it->second);
        if (cmd == CliCommand::SetIp || cmd == CliCommand::SetIpRange) {
            const auto p = std::find_if(plan.begin(), plan.end(),
                                        [&](const IpAssignment& a) { return a.mac == mac; });
            if (p == plan.end()) {
                notes[mac] = "unchanged: no address left in the range";
                continue;
            }
            job.data = ToPayload(p->block);
            job.new_ip = p->ip;
            job.by_report = job.new_ip == job.ip;  // no address switch to watch for
        } else if (cmd == CliCommand::Rename) {
            job.data = name_payload;
            job.by_report = true;
        } else if (cmd == CliCommand::SetBridge || cmd == CliCommand::SetTdma) {
            job.data = SwitchPayload(cmd, o_.on);
            job.by_report = true;
        }
        jobs.push_back(std::move(job));
    }

    // Send. Reboot and restore go first to access points with a linked station, then, 200 ms
    // later, to the rest, so a station is not cut off from its access point's answer.
    auto send = [&](Job& job) {
        if (!job.new_ip.empty()) {
            be_.AnnounceNewIp(job.mac, job.ip, job.new_ip);
            WRITE_LOG_INFO("SendPacketMutilcast VALTO_APIpSetRequest");
        }
        if (!be_.Send(job.ip, msg_type, job.data, job.mac, true)) {
            WRITE_LOG_ERROR("send to %s (%s) failed", job.ip.c_str(), job.mac.c_str());
        }
        if (job.by_report) be_.MarkUnconfirmed(job.mac);
    };
    if (cmd == CliCommand::Reboot || cmd == CliCommand::Restore) {
        std::vector<bool> first(jobs.size());
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            first[i] = be_.HasBridgedStation(jobs[i].mac);
            if (first[i]) send(jobs[i]);
        }
        if (std::count(first.begin(), first.end(), true) > 0) Wait(200);
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            if (!first[i]) send(jobs[i]);
        }
    } else {
        for (auto& job : jobs) send(job);
    }
    if (cmd == CliCommand::SetIpRange) {
        WRITE_LOG_INFO("SendPacketMutilcast VALTO_APIpSetReques sendCount:%zu", jobs.size());
    }

    // Wait for every device's answer as the engine records it, at most the request's
    // retransmission window plus the time a report takes.
    const std::string local_name =
        Utf16ToUtf8(CutToUtf8Length(Utf8ToUtf16(o_.name), kDeviceTextBudget));
    auto confirmed = [&](Job& job) -> bool {
        if (!job.new_ip.empty() && !job.by_report) {
            if (be_.ConfirmedIp(job.mac) != job.new_ip) return false;
            job.result = "ip " + job.new_ip;
            return true;
        }
        const ap_info_stu r = be_.StoredDevice(job.mac);
        if (r.mac[0] == '\0') return false;
        switch (cmd) {
            case CliCommand::Reboot:
            case CliCommand::Restore: {
                const int want = cmd == CliCommand::Reboot ? 4 : 5;
                if (r.ap_status != want) return false;
                job.result = GetStatusText(want);
                return true;
            }
            case CliCommand::Rename:
                if (r.ap_status == 0 ||
                    RecordText(r.ap_name, sizeof r.ap_name, r.ap_name_len) != local_name) {
                    return false;
                }
                job.result = "name " + local_name;
                return true;
            case CliCommand::SetBridge:
            case CliCommand::SetTdma: {
                const uint8_t value =
                    cmd == CliCommand::SetBridge ? r.bridge_transparent : r.tdmaEn;
                if (r.ap_status == 0 || (value != 0) != o_.on) return false;
                job.result =
                    std::string(cmd == CliCommand::SetBridge ? "transparent bridge " : "tdma ") +
                    (o_.on ? "on" : "off");
                return true;
            }
            case CliCommand::SetIp:
            case CliCommand::SetIpRange:
                if (r.ap_status == 0 || RecordIp(r) != job.new_ip) return false;
                job.result = "ip " + job.new_ip;
                return true;
            default:
                return false;
        }
    };
    const auto deadline = Clock::now() + std::chrono::milliseconds(be_.RequestWindowMs() + 2000);
    auto next_report = Clock::now() + std::chrono::milliseconds(300);
    while (true) {
        bool all = true;
        for (auto& job : jobs) {
            if (!job.done) job.done = confirmed(job);
            all = all && job.done;
        }
        if (all || Clock::now() >= deadline) break;
        if (!Wait(kPollMs)) break;
        if (Clock::now() >= next_report) {
            // A configuration request is the one way to see that a name or a switch took.
            for (const auto& job : jobs) {
                if (!job.done && job.by_report) {
                    const std::string at = job.new_ip.empty() ? job.ip : job.new_ip;
                    be_.Send(at, VALTO_APConfigRequest, {}, job.mac, false);
                }
            }
            next_report += std::chrono::milliseconds(kReportPollMs);
        }
    }

    bool all_done = missing.empty();
    for (const auto& mac : o_.macs) {
        const auto job =
            std::find_if(jobs.begin(), jobs.end(), [&](const Job& j) { return j.mac == mac; });
        std::string ip = found.count(mac) ? RecordIp(found[mac]) : "-";
        std::string result;
        if (!found.count(mac)) {
            result = "not found";
            err_ << "Device not found: " << mac << "\n";
        } else if (job == jobs.end()) {
            result = notes[mac];
            all_done = false;
        } else if (job->done) {
            result = job->result;
        } else {
            result = stopped_ ? "interrupted" : "no answer";
            all_done = false;
            err_ << "No answer from " << mac << " (" << ip << ")\n";
        }
        out_ << mac << "  " << ip << "  " << result << "\n";
        WRITE_LOG_INFO("%s %s: %s", mac.c_str(), ip.c_str(), result.c_str());
    }
    out_.flush();
    return all_done ? kCliExitOk : kCliExitFailed;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CCliHost& host, std::ostream& out,
           std::ostream& err) {
    const CliParseResult parsed = ParseCliArgs(args);
    if (!parsed.ok) {
        err << "merrowin-cli: " << parsed.error << "\n"
            << "Try 'merrowin-cli --help'.\n";
        return kCliExitBadInput;
    }
    const CliOptions& o = parsed.options;
    if (o.help) {
        out << CliUsage(o.command);
        return kCliExitOk;
    }
    // Input that needs no device is checked before anything starts.
    if (const CheckResult c = CheckAddressInput(o); !c) {
        err << MessageText(c, LanguageTranslator()) << "\n";
        return kCliExitBadInput;
    }
    if (o.command == CliCommand::Rename && o.name.empty()) {
        err << "The device name can not be empty!\n";
        return kCliExitBadInput;
    }

    std::string why;
    if (!host.ClaimInstance(why)) {
        err << "merrowin-cli: " << why << "\n";
        return kCliExitNoStart;
    }
    std::unique_ptr<CCliBackend> backend = host.StartEngine(why);
    if (!backend) {
        err << "merrowin-cli: " << why << "\n";
        return kCliExitNoStart;
    }
    WRITE_LOG_INFO("merrowin-cli %s", std::string(CommandName(o.command)).c_str());

    CSession session(o, host, *backend, out, err);
    int code = kCliExitOk;
    switch (o.command) {
        case CliCommand::Discover:
            code = session.Discover();
            break;
        case CliCommand::Watch:
            code = session.Watch();
            break;
        default:
            code = session.Action();
            break;
    }
    backend->Shutdown();
    WRITE_LOG_INFO("merrowin-cli end, exit code %d", code);
    return code;
}
