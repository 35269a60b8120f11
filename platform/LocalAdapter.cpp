#include "platform/LocalAdapter.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

namespace {

void CopyText(char* dest, size_t size, const std::string& text) {
    std::snprintf(dest, size, "%s", text.c_str());
}

// The kernel driver of an interface: ethtool first (it knows virtual drivers such as veth and
// bridge), then the device's driver link in sysfs.
std::string DriverOf(int fd, const char* ifname) {
    ethtool_drvinfo info{};
    info.cmd = ETHTOOL_GDRVINFO;
    ifreq req{};
    std::snprintf(req.ifr_name, sizeof req.ifr_name, "%s", ifname);
    req.ifr_data = reinterpret_cast<char*>(&info);
    if (fd >= 0 && ioctl(fd, SIOCETHTOOL, &req) == 0 && info.driver[0]) {
        return std::string(info.driver, strnlen(info.driver, sizeof info.driver));
    }
    char link[PATH_MAX];
    const std::string path = std::string("/sys/class/net/") + ifname + "/device/driver";
    const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
    if (n <= 0) return {};
    const std::string target(link, static_cast<size_t>(n));
    return target.substr(target.rfind('/') + 1);
}

void FillHardware(int fd, const char* ifname, local_adapter_info& a) {
    ifreq req{};
    std::snprintf(req.ifr_name, sizeof req.ifr_name, "%s", ifname);
    if (fd >= 0 && ioctl(fd, SIOCGIFHWADDR, &req) == 0)
        std::memcpy(a.mac, req.ifr_hwaddr.sa_data, 6);
    std::memset(&req.ifr_ifru, 0, sizeof req.ifr_ifru);
    if (fd >= 0 && ioctl(fd, SIOCGIFMTU, &req) == 0)
        a.further_data[2] = static_cast<std::uint32_t>(req.ifr_mtu);
    const std::string driver = DriverOf(fd, ifname);
    CopyText(a.description, sizeof a.description,
             driver.empty() ? std::string(ifname) : std::string(ifname) + " (" + driver + ")");
}

std::string Dotted(const sockaddr* sa) {
    char text[INET_ADDRSTRLEN] = "0.0.0.0";
    if (sa && sa->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, text, sizeof text);
    return text;
}

// The interface an address belongs to: a labelled alias "eth0:1" is an address of "eth0".
std::string BaseName(const char* ifa_name) {
    const std::string name = ifa_name;
    return name.substr(0, name.find(':'));
}

std::mutex chain_lock;
local_adapter_record* chain = nullptr;

void FreeChain() {
    while (chain) {
        local_adapter_record* next = chain->next;
        delete chain;
        chain = next;
    }
}

}  // namespace

namespace platform {

std::vector<local_adapter_info> ListLocalAdapters() {
    std::vector<local_adapter_info> adapters;
    std::vector<std::string> names;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return adapters;
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);

    auto find_or_add = [&](const ifaddrs* ifa) -> local_adapter_info* {
        const std::string base = BaseName(ifa->ifa_name);
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == base) return &adapters[i];
        local_adapter_info a{};
        CopyText(a.name, sizeof a.name, base);
        a.further_data[0] = if_nametoindex(base.c_str());
        a.further_data[1] = ifa->ifa_flags;
        a.usable = (ifa->ifa_flags & IFF_RUNNING) ? 1 : 0;
        FillHardware(fd, base.c_str(), a);
        names.push_back(base);
        adapters.push_back(a);
        return &adapters.back();
    };

    // First pass in the kernel's order makes the adapter order; the link entries (AF_PACKET)
    // come first, so interfaces without IPv4 addresses are listed too.
    for (const ifaddrs* ifa = list; ifa; ifa = ifa->ifa_next) {
        if (!(ifa->ifa_flags & IFF_UP) || (ifa->ifa_flags & IFF_LOOPBACK)) continue;
        local_adapter_info* a = find_or_add(ifa);
        if (!ifa->ifa_addr || ifa->ifa_addr->sa_family != AF_INET) continue;
        if (a->address_count >= kMaxAdapterAddresses) continue;
        local_address_info& addr = a->addresses[a->address_count++];
        CopyText(addr.ip, sizeof addr.ip, Dotted(ifa->ifa_addr));
        CopyText(addr.mask, sizeof addr.mask, Dotted(ifa->ifa_netmask));
    }
    if (fd >= 0) close(fd);
    freeifaddrs(list);
    return adapters;
}

}  // namespace platform

local_adapter_record* GetLocalAdapterInfo() {
    const std::vector<local_adapter_info> adapters = platform::ListLocalAdapters();
    std::lock_guard<std::mutex> hold(chain_lock);
    FreeChain();
    local_adapter_record** tail = &chain;
    for (const auto& a : adapters) {
        *tail = new local_adapter_record{a, nullptr};
        tail = &(*tail)->next;
    }
    return chain;
}

void ClearLocalAdapterInfo() {
    std::lock_guard<std::mutex> hold(chain_lock);
    FreeChain();
}
