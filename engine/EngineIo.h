#pragma once
// The three things the engine needs from the machine besides the store, behind small
// interfaces so the engine's logic can run in a unit test without sockets, adapters or a
// capture device:
//   - CDatagramSender: puts one datagram on the network through one of the engine's two
//     sending sockets, from a chosen local address;
//   - CAdapterLibrary: the adapter records (the chain of GetLocalAdapterInfo);
//   - CCaptureLibrary: the capture devices and the one raw frame sent through them.
// The program uses the real ones (SocketSender.h, PcapCapture.h, SystemAdapterLibrary below).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/LocalAdapter.h"

// Which long-lived socket a datagram leaves through.
enum class SendSocket {
    DiscoverSend,  // bound to (any, 9786), broadcast allowed: discovery broadcasts
    Heartbeat,     // bound to (any, 9787): every datagram to the multicast group
};

struct OutgoingDatagram {
    SendSocket socket = SendSocket::Heartbeat;
    std::string source_ip;  // local address the datagram goes out from; empty: the kernel's pick
    unsigned source_ifindex = 0;  // interface of source_ip, 0 when unknown
    std::string dest_ip;
    uint16_t dest_port = 0;
    std::span<const uint8_t> bytes;
};

class CDatagramSender {
  public:
    virtual ~CDatagramSender() = default;
    // True when the datagram was handed to the network.
    virtual bool Send(const OutgoingDatagram& datagram) = 0;
};

class CAdapterLibrary {
  public:
    virtual ~CAdapterLibrary() = default;
    // First record of a fresh chain, or null. Valid until ClearLocalAdapterInfo.
    virtual local_adapter_record* GetLocalAdapterInfo() = 0;
    virtual void ClearLocalAdapterInfo() = 0;
};

// The adapter records of this machine (platform/LocalAdapter.h).
class CSystemAdapterLibrary : public CAdapterLibrary {
  public:
    local_adapter_record* GetLocalAdapterInfo() override { return ::GetLocalAdapterInfo(); }
    void ClearLocalAdapterInfo() override { ::ClearLocalAdapterInfo(); }
};

class CCaptureLibrary {
  public:
    virtual ~CCaptureLibrary() = default;
    // Names of the capture devices in the library's order; false when they cannot be listed.
    virtual bool FindAllDevices(std::vector<std::string>& names) = 0;
    // Opens the device, sends one frame, closes it. False on any failure.
    virtual bool SendFrame(const std::string& device, std::span<const uint8_t> frame) = 0;
};
