#include "engine/PcapCapture.h"

#include <pcap/pcap.h>

bool CPcapCapture::FindAllDevices(std::vector<std::string>& names) {
    names.clear();
    char error[PCAP_ERRBUF_SIZE] = {};
    pcap_if_t* all = nullptr;
    if (pcap_findalldevs(&all, error) != 0) {
        return false;
    }
    for (pcap_if_t* d = all; d != nullptr; d = d->next) {
        if (d->name != nullptr) {
            names.emplace_back(d->name);
        }
    }
    pcap_freealldevs(all);
    return true;
}

bool CPcapCapture::SendFrame(const std::string& device, std::span<const uint8_t> frame) {
    char error[PCAP_ERRBUF_SIZE] = {};
    pcap_t* handle = pcap_open_live(device.c_str(), 65536, 0, 1000, error);
    if (handle == nullptr) {
        return false;
    }
    pcap_setnonblock(handle, 1, error);
    const int rc = pcap_sendpacket(handle, frame.data(), static_cast<int>(frame.size()));
    pcap_close(handle);
    return rc == 0;
}
