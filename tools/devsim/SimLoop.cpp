#include "tools/devsim/SimLoop.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <net/if.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace devsim {

namespace {
constexpr uint64_t kTagDisc = 1ull << 40, kTagReq = 2ull << 40, kTagTimer = 3ull << 40,
                   kTagSignal = 4ull << 40, kTagFetch = 5ull << 40, kTagMask = 0xffull << 40;

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool FirstUpInterface(std::string& name) {
    struct if_nameindex* list = if_nameindex();
    if (!list) return false;
    const int s = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    bool found = false;
    for (auto* p = list; p->if_index != 0 && !found; ++p) {
        ifreq req{};
        std::snprintf(req.ifr_name, sizeof req.ifr_name, "%s", p->if_name);
        if (s >= 0 && ioctl(s, SIOCGIFFLAGS, &req) == 0 && (req.ifr_flags & IFF_UP) &&
            !(req.ifr_flags & IFF_LOOPBACK)) {
            name = p->if_name;
            found = true;
        }
    }
    if (s >= 0) close(s);
    if_freenameindex(list);
    return found;
}

int OpenUdp(uint16_t port, std::string& error) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = Errno("socket");
        return -1;
    }
    const int one = 1, zero = 0;
    const int buf = 4 << 20;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buf, sizeof buf);
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buf, sizeof buf);
    setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
    // Only the groups joined here, not every group some other socket of the host joined.
    setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &zero, sizeof zero);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        error = Errno(("bind port " + std::to_string(port)).c_str());
        close(fd);
        return -1;
    }
    return fd;
}

void EpollAdd(int ep, int fd, uint64_t tag) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = tag;
    epoll_ctl(ep, EPOLL_CTL_ADD, fd, &ev);
}

sockaddr_in Sin(in_addr_t ip, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = ip;
    a.sin_port = htons(port);
    return a;
}
}  // namespace

int64_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool InMachineNamespace() {
    // A lab namespace is one that `ip netns add` made: it has a name under /run/netns. Any
    // other namespace may be the machine's own (PID 1 is no guide inside containers).
    struct stat self {};
    if (stat("/proc/self/ns/net", &self) != 0) return true;
    DIR* dir = opendir("/run/netns");
    if (!dir) return true;
    bool named = false;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        struct stat ns {};
        const std::string path = std::string("/run/netns/") + e->d_name;
        if (stat(path.c_str(), &ns) == 0 && ns.st_ino == self.st_ino && ns.st_dev == self.st_dev) {
            named = true;
            break;
        }
    }
    closedir(dir);
    return !named;
}

SimLoop::SimLoop(const SimConfig& config) : config_(config), farm_(config, *this) {}

SimLoop::~SimLoop() {
    fetches_.clear();
    for (int fd : {epoll_, discSock_, reqSock_, timer_, signals_}) {
        if (fd >= 0) close(fd);
    }
}

bool SimLoop::Open(std::string& error) {
    if (!config_.tracePath.empty() && !trace_.Open(config_.tracePath)) {
        error = Errno(("trace file " + config_.tracePath).c_str());
        return false;
    }
    ifname_ = config_.iface;
    if (ifname_.empty() && !FirstUpInterface(ifname_)) {
        error = "no interface that is up (other than loopback)";
        return false;
    }
    ifindex_ = static_cast<int>(if_nametoindex(ifname_.c_str()));
    if (ifindex_ == 0) {
        error = "no interface " + ifname_;
        return false;
    }
    if (!addresses_.Open(ifindex_)) {
        error = addresses_.error();
        return false;
    }
    for (int i = 0; i < static_cast<int>(farm_.devices().size()); ++i) {
        const auto& r = farm_.devices()[i].rec;
        in_addr_t mask;
        std::memcpy(&mask, r.ip_mask, 4);
        if (!addresses_.Add(farm_.DeviceIp(i), PrefixOfMask(mask))) {
            error = addresses_.error();
            return false;
        }
    }
    discSock_ = OpenUdp(kDiscoverSendPort, error);
    if (discSock_ < 0) return false;
    reqSock_ = OpenUdp(kHeartbeatPort, error);
    if (reqSock_ < 0) return false;
    ip_mreqn join{};
    inet_pton(AF_INET, kMulticastGroup, &join.imr_multiaddr);
    join.imr_ifindex = ifindex_;
    if (setsockopt(reqSock_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof join) != 0) {
        error = Errno("joining the multicast group");
        return false;
    }
    timer_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGINT);
    sigaddset(&mask, SIGTERM);
    sigprocmask(SIG_BLOCK, &mask, nullptr);
    signals_ = signalfd(-1, &mask, SFD_NONBLOCK | SFD_CLOEXEC);
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    if (timer_ < 0 || signals_ < 0 || epoll_ < 0) {
        error = Errno("event loop");
        return false;
    }
    EpollAdd(epoll_, discSock_, kTagDisc);
    EpollAdd(epoll_, reqSock_, kTagReq);
    EpollAdd(epoll_, timer_, kTagTimer);
    EpollAdd(epoll_, signals_, kTagSignal);
    return true;
}

void SimLoop::Send(in_addr_t src, in_addr_t dst, uint16_t port, std::span<const uint8_t> datagram) {
    // Discovery answers leave from the discovery port, everything else from 9787.
    const int fd = port == kDiscoverRecvPort ? discSock_ : reqSock_;
    sockaddr_in to = Sin(dst, port);
    iovec iov{const_cast<uint8_t*>(datagram.data()), datagram.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = &to;
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = src;  // the device's own address as the source
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    ssize_t n;
    for (int tries = 0;; ++tries) {
        n = sendmsg(fd, &msg, 0);
        if (n >= 0 || errno == EINTR) {
            if (n >= 0) break;
            continue;
        }
        // A full send buffer: wait for room rather than lose the datagram.
        if ((errno == EAGAIN || errno == ENOBUFS) && tries < 100) {
            usleep(200);
            continue;
        }
        break;
    }
    if (n < 0) {
        ++sendErrors_;
        return;
    }
    ++sent_;
    trace_.Record("tx", Sin(src, port == kDiscoverRecvPort ? kDiscoverSendPort : kHeartbeatPort),
                  to, datagram.data(), datagram.size());
}

bool SimLoop::AddAddress(in_addr_t ip, int prefix) {
    if (addresses_.Add(ip, prefix)) return true;
    std::fprintf(stderr, "merrowin-devsim: %s\n", addresses_.error().c_str());
    return false;
}

bool SimLoop::RemoveAddress(in_addr_t ip, int prefix) {
    if (addresses_.Remove(ip, prefix)) return true;
    std::fprintf(stderr, "merrowin-devsim: %s\n", addresses_.error().c_str());
    return false;
}

void SimLoop::StartFetch(int index, in_addr_t local, in_addr_t server, uint16_t port,
                         const std::string& file) {
    auto& slot = fetches_[index];
    if (slot && slot->fd() >= 0) epoll_ctl(epoll_, EPOLL_CTL_DEL, slot->fd(), nullptr);
    slot = std::make_unique<TftpFetch>();
    const int64_t now = MonotonicMs();
    if (!slot->Start(local, server, port, file, now)) {
        FetchEnded(index, now);
        return;
    }
    EpollAdd(epoll_, slot->fd(), kTagFetch | static_cast<uint64_t>(index));
}

void SimLoop::FetchEnded(int index, int64_t now) {
    auto it = fetches_.find(index);
    if (it == fetches_.end()) return;
    const bool ok = it->second->state() == TftpFetch::State::kDone;
    const size_t bytes = it->second->bytes();
    if (!ok) {
        std::fprintf(stderr, "merrowin-devsim: device %d: firmware fetch failed: %s\n", index,
                     it->second->error().c_str());
    }
    fetches_.erase(it);  // closes the socket, which also leaves the epoll set
    farm_.OnFetchDone(now, index, ok, bytes);
}

void SimLoop::ReadFetch(int index, int64_t now) {
    auto it = fetches_.find(index);
    if (it == fetches_.end()) return;
    it->second->OnReadable(now);
    if (it->second->state() != TftpFetch::State::kRunning) FetchEnded(index, now);
}

void SimLoop::CheckFetches(int64_t now) {
    std::vector<int> ended;
    for (auto& [index, f] : fetches_) {
        f->OnTimer(now);
        if (f->state() != TftpFetch::State::kRunning) ended.push_back(index);
    }
    for (int index : ended) FetchEnded(index, now);
}

void SimLoop::ReadSocket(int fd, bool discovery, int64_t now) {
    for (int batch = 0; batch < 256; ++batch) {
        uint8_t buf[2048];
        sockaddr_in from{};
        iovec iov{buf, sizeof buf};
        alignas(cmsghdr) char control[256];
        msghdr msg{};
        msg.msg_name = &from;
        msg.msg_namelen = sizeof from;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        const ssize_t n = recvmsg(fd, &msg, 0);
        if (n < 0) return;
        in_addr_t dst = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                in_pktinfo info;
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                dst = info.ipi_addr.s_addr;
            }
        }
        const size_t len = std::min<size_t>(static_cast<size_t>(n), sizeof buf);
        trace_.Record("rx", from, Sin(dst, discovery ? kDiscoverSendPort : kHeartbeatPort), buf,
                      len);
        // Datagrams longer than any the PC may send are not ours to read.
        if (static_cast<size_t>(n) > kMaxDatagramSize) continue;
        const std::span<const uint8_t> dg(buf, len);
        if (discovery) {
            farm_.OnDiscovery(now, from, dst, dg);
        } else {
            farm_.OnRequest(now, from, dg);
        }
    }
}

int64_t SimLoop::NextWake() const {
    int64_t next = farm_.NextDue();
    for (const auto& [index, f] : fetches_) {
        if (f->state() == TftpFetch::State::kRunning && (next < 0 || f->deadline() < next)) {
            next = f->deadline();
        }
    }
    return next;
}

int SimLoop::Run() {
    const int64_t start = MonotonicMs();
    const int64_t end =
        config_.durationS > 0 ? start + static_cast<int64_t>(config_.durationS * 1000.0) : -1;
    farm_.Start(start);
    std::printf("merrowin-devsim: %zu devices ready on %s\n", config_.devices.size(),
                ifname_.c_str());
    std::fflush(stdout);
    for (;;) {
        int64_t now = MonotonicMs();
        if (end >= 0 && now >= end) return 0;
        int64_t wake = NextWake();
        if (end >= 0 && (wake < 0 || end < wake)) wake = end;
        itimerspec its{};
        if (wake >= 0) {
            // An absolute monotonic time; at least 1 ns so a due time still arms the timer.
            const int64_t at = std::max<int64_t>(wake, now);
            its.it_value.tv_sec = at / 1000;
            its.it_value.tv_nsec = (at % 1000) * 1000000 + 1;
        }
        timerfd_settime(timer_, TFD_TIMER_ABSTIME, &its, nullptr);
        epoll_event events[64];
        const int n = epoll_wait(epoll_, events, 64, -1);
        if (n < 0 && errno != EINTR) {
            std::perror("merrowin-devsim: epoll_wait");
            return 1;
        }
        now = MonotonicMs();
        for (int i = 0; i < n; ++i) {
            const uint64_t tag = events[i].data.u64 & kTagMask;
            if (tag == kTagDisc) {
                ReadSocket(discSock_, true, now);
            } else if (tag == kTagReq) {
                ReadSocket(reqSock_, false, now);
            } else if (tag == kTagTimer) {
                uint64_t ticks;
                while (read(timer_, &ticks, sizeof ticks) > 0) {
                }
            } else if (tag == kTagSignal) {
                signalfd_siginfo si;
                if (read(signals_, &si, sizeof si) > 0) return 0;
            } else if (tag == kTagFetch) {
                ReadFetch(static_cast<int>(events[i].data.u64 & ~kTagMask), now);
            }
        }
        farm_.RunTimers(now);
        CheckFetches(now);
    }
}

}  // namespace devsim
