#include "tools/devsim/AddressBook.h"

#include <arpa/inet.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace devsim {

int PrefixOfMask(in_addr_t mask) {
    const uint32_t m = ntohl(mask);
    int n = 0;
    while (n < 32 && (m & (0x80000000u >> n))) ++n;
    return n;
}

AddressBook::~AddressBook() {
    if (fd_ >= 0) close(fd_);
}

bool AddressBook::Open(int ifindex) {
    ifindex_ = ifindex;
    fd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd_ < 0) {
        error_ = std::string("netlink socket: ") + std::strerror(errno);
        return false;
    }
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        error_ = std::string("netlink bind: ") + std::strerror(errno);
        return false;
    }
    return true;
}

namespace {
void AddAttr(nlmsghdr* n, int type, const void* data, int len) {
    auto* rta = reinterpret_cast<rtattr*>(reinterpret_cast<char*>(n) + NLMSG_ALIGN(n->nlmsg_len));
    rta->rta_type = static_cast<unsigned short>(type);
    rta->rta_len = static_cast<unsigned short>(RTA_LENGTH(len));
    std::memcpy(RTA_DATA(rta), data, len);
    n->nlmsg_len = NLMSG_ALIGN(n->nlmsg_len) + RTA_ALIGN(rta->rta_len);
}
}  // namespace

bool AddressBook::Request(int type, int flags, in_addr_t ip, int prefix) {
    if (fd_ < 0) {
        error_ = "netlink not open";
        return false;
    }
    alignas(nlmsghdr) char buf[256] = {};
    auto* n = reinterpret_cast<nlmsghdr*>(buf);
    n->nlmsg_len = NLMSG_LENGTH(sizeof(ifaddrmsg));
    n->nlmsg_type = static_cast<uint16_t>(type);
    n->nlmsg_flags = static_cast<uint16_t>(NLM_F_REQUEST | NLM_F_ACK | flags);
    n->nlmsg_seq = ++seq_;
    auto* ifa = static_cast<ifaddrmsg*>(NLMSG_DATA(n));
    ifa->ifa_family = AF_INET;
    ifa->ifa_prefixlen = static_cast<unsigned char>(prefix);
    ifa->ifa_scope = RT_SCOPE_UNIVERSE;
    ifa->ifa_index = static_cast<unsigned>(ifindex_);
    AddAttr(n, IFA_LOCAL, &ip, 4);
    AddAttr(n, IFA_ADDRESS, &ip, 4);
    if (type == RTM_NEWADDR && prefix < 31) {
        const uint32_t host = prefix == 0 ? 0xffffffffu : (0xffffffffu >> prefix);
        const in_addr_t brd = ip | htonl(host);
        AddAttr(n, IFA_BROADCAST, &brd, 4);
    }
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(fd_, n, n->nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0) {
        error_ = std::string("netlink send: ") + std::strerror(errno);
        return false;
    }
    for (;;) {
        alignas(nlmsghdr) char reply[1024];
        ssize_t len = recv(fd_, reply, sizeof reply, 0);
        if (len < 0) {
            if (errno == EINTR) continue;
            error_ = std::string("netlink recv: ") + std::strerror(errno);
            return false;
        }
        for (auto* r = reinterpret_cast<nlmsghdr*>(reply); NLMSG_OK(r, len);
             r = NLMSG_NEXT(r, len)) {
            if (r->nlmsg_seq != seq_ || r->nlmsg_type != NLMSG_ERROR) continue;
            const int err = -static_cast<nlmsgerr*>(NLMSG_DATA(r))->error;
            if (err == 0 || (type == RTM_NEWADDR && err == EEXIST) ||
                (type == RTM_DELADDR && err == EADDRNOTAVAIL)) {
                return true;
            }
            char ipText[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &ip, ipText, sizeof ipText);
            error_ = std::string(type == RTM_NEWADDR ? "adding " : "removing ") + ipText + "/" +
                     std::to_string(prefix) + ": " + std::strerror(err);
            return false;
        }
    }
}

bool AddressBook::Add(in_addr_t ip, int prefix) {
    return Request(RTM_NEWADDR, NLM_F_CREATE | NLM_F_EXCL, ip, prefix);
}

bool AddressBook::Remove(in_addr_t ip, int prefix) { return Request(RTM_DELADDR, 0, ip, prefix); }

}  // namespace devsim
