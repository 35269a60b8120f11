#pragma once
// The real CCaptureLibrary over libpcap: the device list and the one raw frame the engine puts
// on an adapter (the ARP announcement). Only pcap_findalldevs, pcap_open_live,
// pcap_setnonblock, pcap_sendpacket and pcap_close are used.

#include "engine/EngineIo.h"

class CPcapCapture : public CCaptureLibrary {
  public:
    bool FindAllDevices(std::vector<std::string>& names) override;
    bool SendFrame(const std::string& device, std::span<const uint8_t> frame) override;
};
