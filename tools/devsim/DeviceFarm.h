#pragma once
// The device side of the protocol for N simulated devices. No sockets here: datagrams come
// in through OnDiscovery / OnRequest, everything a device does goes out through a SimOutput,
// and time is whatever the caller says it is. The event loop (SimLoop) and the tests drive
// it the same way.

#include <netinet/in.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/wire.h"
#include "tools/devsim/SimConfig.h"
#include "tools/devsim/TimerQueue.h"

namespace devsim {

class SimOutput {
  public:
    virtual ~SimOutput() = default;
    // One datagram from a device address to dst:port (addresses in network order).
    virtual void Send(in_addr_t src, in_addr_t dst, uint16_t port,
                      std::span<const uint8_t> datagram) = 0;
    // Device addresses appear on and leave the interface as devices move.
    virtual bool AddAddress(in_addr_t ip, int prefix) = 0;
    virtual bool RemoveAddress(in_addr_t ip, int prefix) = 0;
    // A TFTP read of `file` from server:port for device `index`; the result comes back
    // through DeviceFarm::OnFetchDone.
    virtual void StartFetch(int index, in_addr_t local, in_addr_t server, uint16_t port,
                            const std::string& file) = 0;
};

// Survey security code of a network: security mode and cipher together, 0 to 10.
uint8_t SurveySecurityCode(uint8_t secureMode, uint8_t pskCipher, uint8_t wpaCipher);

class DeviceFarm {
  public:
    DeviceFarm(const SimConfig& config, SimOutput& out);

    // Called once with the start time: schedules the faults that act by themselves.
    void Start(int64_t nowMs);
    // A datagram on the discovery port. `dst` is the address it was sent to.
    void OnDiscovery(int64_t nowMs, const sockaddr_in& from, in_addr_t dst,
                     std::span<const uint8_t> datagram);
    // A datagram on the request port (the multicast group, or unicast).
    void OnRequest(int64_t nowMs, const sockaddr_in& from, std::span<const uint8_t> datagram);
    void OnFetchDone(int64_t nowMs, int index, bool ok, size_t bytes);
    // Runs the timed actions due by `nowMs`; NextDue() says when the next one is (-1: none).
    void RunTimers(int64_t nowMs);
    int64_t NextDue() const { return timers_.NextDue(); }

    // State, for the loop and the tests.
    struct Device {
        DeviceSetup factory;  // what a restore goes back to
        ap_info_stu rec{};    // current configuration
        uint16_t apType = 0;
        std::array<uint8_t, 6> mac{};
        FaultSet faults;
        int64_t bootMs = 0;       // start of the current run
        uint32_t uptimeBase = 0;  // up_time at bootMs
        bool acked = false;       // heartbeats run while set
        bool beating = false;     // a heartbeat is scheduled
        in_addr_t pcIp = 0;       // where heartbeats go
        int64_t silentUntil = 0;  // rebooting until then
        uint64_t gen = 0;         // bumped by a reboot: timers of the last run stop
        uint64_t hbGen = 0;       // bumped by a reboot and a release: heartbeats stop
        enum class Upgrade { kNone, kFetching, kWaiting, kFlashing } upgrade = Upgrade::kNone;
        std::string upgradeFile;
        uint32_t upgradeSize = 0;
        in_addr_t upgradeFrom = 0;  // the PC that ordered it
    };
    const std::vector<Device>& devices() const { return devices_; }
    in_addr_t DeviceIp(int index) const;
    uint32_t UpTime(int index, int64_t nowMs) const;

  private:
    using Bytes = std::vector<uint8_t>;

    bool Silent(const Device& d) const { return now_ < d.silentUntil; }
    bool Roll(double share);
    Bytes Datagram(const Device& d, uint16_t type, std::span<const uint8_t> payload);
    ap_brief_info Brief(int index) const;
    Bytes ConfigReport(int index) const;
    void Corrupt(const Device& d, Bytes& datagram);
    // Sends (later, or twice, as the device's faults say), then runs `after`.
    void Emit(int index, Bytes datagram, in_addr_t dst, uint16_t port,
              std::function<void()> after = {});
    void Answer(int index, uint16_t type, in_addr_t dst, uint8_t result,
                std::function<void()> after = {});
    void Acknowledged(int index, in_addr_t pc);
    void Heartbeat(int index, uint64_t gen);
    void Reboot(int index, bool restore, std::string newVersion = {});
    void MoveTo(int index, in_addr_t ip, in_addr_t mask);
    void Survey(int index, in_addr_t dst);
    void HandleRequest(int index, uint16_t type, in_addr_t pc, std::span<const uint8_t> payload);

    const SimConfig& config_;
    SimOutput& out_;
    std::vector<Device> devices_;
    std::unordered_map<uint64_t, int> byMac_;
    TimerQueue timers_;
    std::mt19937 dice_;
    int64_t now_ = 0;
    int64_t startMs_ = 0;
};

}  // namespace devsim
