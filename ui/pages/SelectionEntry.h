#pragma once
// How a list page hands one selected device to a worker or a dialog: address and MAC texts and
// the device type, 40 bytes.

#include <cstdint>
#include <cstring>
#include <string>

struct select_ap_entry {
    char ip[16];
    char mac[20];
    uint32_t ap_type;

    std::string Ip() const { return std::string(ip, strnlen(ip, sizeof ip)); }
    std::string Mac() const { return std::string(mac, strnlen(mac, sizeof mac)); }
};
static_assert(sizeof(select_ap_entry) == 40);

// The entry of one device; texts that do not fit are cut and always terminated.
inline select_ap_entry MakeSelectEntry(const std::string& ip, const std::string& mac, int ap_type) {
    select_ap_entry e{};
    std::memcpy(e.ip, ip.data(), std::min(ip.size(), sizeof e.ip - 1));
    std::memcpy(e.mac, mac.data(), std::min(mac.size(), sizeof e.mac - 1));
    e.ap_type = uint32_t(ap_type);
    return e;
}
