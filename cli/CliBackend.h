#pragma once
// What the commands of merrowin-cli need from the machine, behind two small interfaces so the
// commands' logic runs in a unit test with fakes: CCliBackend is the engine and the store once
// they run, CCliHost starts them and owns the process-wide pieces (single-instance guard,
// signals, sleeping).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/wire.h"
#include "engine/Payloads.h"

class CCliBackend {
  public:
    virtual ~CCliBackend() = default;

    // The Search button's sequence: refresh the capture devices, release and forget pending
    // devices, purge stored devices no longer tracked, one discovery broadcast.
    virtual void StartSearch() = 0;
    virtual void Broadcast() = 0;

    // Every stored device, sorted by address.
    virtual std::vector<ap_info_stu> StoredDevices() = 0;
    // Every device that answered discovery but has not sent its configuration yet (status 10).
    virtual std::vector<ap_info_stu> PendingDevices() = 0;
    // One stored device; a zeroed record (empty mac) when it is not stored.
    virtual ap_info_stu StoredDevice(const std::string& mac) = 0;
    virtual std::vector<std::string> StoredIps() = 0;
    virtual bool HasBridgedStation(const std::string& mac) = 0;
    // Marks a stored device as not yet confirmed (status 0) until its next configuration
    // report, which the store writes with status 1.
    virtual void MarkUnconfirmed(const std::string& mac) = 0;

    // SendPacketMutilcast; retransmit asks the engine to resend until answered.
    virtual bool Send(const std::string& ip, uint16_t msg_type, const Payload& data,
                      const std::string& mac, bool retransmit) = 0;
    // Tells the device table the address an IP-set request gives the device.
    virtual void AnnounceNewIp(const std::string& mac, const std::string& ip,
                               const std::string& new_ip) = 0;
    // The address the device table holds for the device, once no new address is pending;
    // empty when the device is not tracked or its announced address has not been confirmed.
    virtual std::string ConfirmedIp(const std::string& mac) = 0;
    // The retransmission window of one request in milliseconds (all resends included).
    virtual int RequestWindowMs() const = 0;

    // Stops the engine with its release notices. Idempotent.
    virtual void Shutdown() = 0;
};

class CCliHost {
  public:
    virtual ~CCliHost() = default;
    // Takes the single-instance guard; false with the reason when another copy runs or the
    // guard cannot be made.
    virtual bool ClaimInstance(std::string& why) = 0;
    // Opens the log, reads the settings, builds the in-memory store and starts the engine.
    // Null with the reason when it cannot start.
    virtual std::unique_ptr<CCliBackend> StartEngine(std::string& why) = 0;
    // Sleeps up to ms; true as soon as SIGINT or SIGTERM asks the run to end.
    virtual bool WaitForStop(int ms) = 0;
};
