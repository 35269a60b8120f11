// Engine lifecycle: construction, sockets, the eight threads and shutdown.
#include "engine/AcTransmitManage.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <system_error>

#include "app/Log.h"
#include "engine/PcapCapture.h"
#include "engine/SocketSender.h"
#include "store/CSqlManagement.h"

namespace {

constexpr int kSmallBuffer = 1048576;   // 1 MiB
constexpr int kLargeBuffer = 10485760;  // 10 MiB
constexpr uint64_t kDropLogEvery = 1000;

}  // namespace

AcTransmitManage* AcTransmitManage::GetInstance() {
    static AcTransmitManage instance;
    return &instance;
}

AcTransmitManage::AcTransmitManage(EngineDeps deps)
    : store_(deps.store != nullptr ? deps.store : CSqlManagement::GetInstance()),
      adapters_(deps.adapters),
      capture_(deps.capture),
      sender_(deps.sender),
      timing_(deps.timing),
      discover_queue_(deps.queue_capacity),
      heartbeat_queue_(deps.queue_capacity),
      config_queue_(deps.queue_capacity) {
    if (adapters_ == nullptr) {
        own_adapters_ = std::make_unique<CSystemAdapterLibrary>();
        adapters_ = own_adapters_.get();
    }
    if (capture_ == nullptr) {
        own_capture_ = std::make_unique<CPcapCapture>();
        capture_ = own_capture_.get();
    }
    if (sender_ == nullptr) {
        own_sender_ = std::make_unique<CSocketSender>(socket_discover_send, socket_heartbeat);
        sender_ = own_sender_.get();
    }
    // The adapter records come from the platform layer, linked in: there is no library to
    // load, so the "handle" is that of the adapter source.
    WRITE_LOG_INFO("LoadLibrary dll %lu",
                   static_cast<unsigned long>(reinterpret_cast<uintptr_t>(adapters_)));
}

AcTransmitManage::~AcTransmitManage() { Shutdown(); }

bool AcTransmitManage::AcCreateSocket(int& sock, uint16_t port, bool broadcast, int send_buffer,
                                      int receive_buffer, bool multicast, const char* local_ip,
                                      const char* group_ip) {
    if (sock >= 0) {
        close(sock);
        sock = -1;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        WRITE_LOG_ERROR("socket fail");
        return false;
    }
    auto fail = [&](const char* text) {
        WRITE_LOG_ERROR("%s", text);
        close(fd);
        return false;
    };
    const int on = 1;
    const int off = 0;
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        return fail("socket setsockopt SO_REUSEADDR fail");
    }
    if (broadcast && setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        return fail("socket setsockopt SO_BROADCAST fail");
    }
    in_addr local{};
    local.s_addr = htonl(INADDR_ANY);
    if (local_ip != nullptr && *local_ip != '\0' && inet_pton(AF_INET, local_ip, &local) != 1) {
        return fail("socket bind fail");
    }
    if (multicast) {
        ip_mreq mreq{};
        if (group_ip == nullptr || inet_pton(AF_INET, group_ip, &mreq.imr_multiaddr) != 1) {
            return fail("socket setsockopt IP_ADD_MEMBERSHIP fail");
        }
        mreq.imr_interface = local;
        if (setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &mreq, sizeof mreq) != 0) {
            return fail("socket setsockopt IP_ADD_MEMBERSHIP fail");
        }
    }
    // Our own datagrams to the group must not come back to us.
    const unsigned char loop = 0;
    if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop) != 0) {
        return fail("socket setsockopt IP_MULTICAST_LOOP fail");
    }
    // Receive only the groups this socket joined, not every group any socket joined.
    if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off) != 0) {
        WRITE_LOG_ERROR("socket setsockopt IP_MULTICAST_ALL fail");
    }
    // Buffers: the kernel may grant less than asked (rmem_max / wmem_max); root may exceed
    // those limits with the FORCE variants. Log the size granted once per socket.
    auto set_buffer = [&](int option, int force_option, int size, const char* fail_text) {
        if (setsockopt(fd, SOL_SOCKET, option, &size, sizeof size) != 0) {
            WRITE_LOG_ERROR("%s", fail_text);
            return false;
        }
        int granted = 0;
        socklen_t len = sizeof granted;
        getsockopt(fd, SOL_SOCKET, option, &granted, &len);
        if (granted < size * 2) {  // Linux reports twice the size it was given
            setsockopt(fd, SOL_SOCKET, force_option, &size, sizeof size);
            len = sizeof granted;
            getsockopt(fd, SOL_SOCKET, option, &granted, &len);
            WRITE_LOG_INFO("socket port %u %s asked %d granted %d", port,
                           option == SO_SNDBUF ? "SO_SNDBUF" : "SO_RCVBUF", size, granted / 2);
        }
        return true;
    };
    if (!set_buffer(SO_SNDBUF, SO_SNDBUFFORCE, send_buffer, "socket setsockopt SO_SNDBUF fail")) {
        close(fd);
        return false;
    }
    if (!set_buffer(SO_RCVBUF, SO_RCVBUFFORCE, receive_buffer,
                    "socket setsockopt SO_RCVBUF fail")) {
        close(fd);
        return false;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr = local;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        return fail("socket bind fail");
    }
    sock = fd;
    return true;
}

bool AcTransmitManage::Init(int retransmission_max, int retransmission_interval) {
    std::lock_guard<std::mutex> guard(thread_lock_);
    // A second Init replaces the threads and sockets of the first: stop those first.
    StopThreads();
    CloseSockets();
    stopping_ = false;
    shut_down_ = false;

    timing_.retransmission_max = retransmission_max;
    timing_.retransmission_interval = retransmission_interval;

    struct SocketPlan {
        std::atomic<int>* slot;
        uint16_t port;
        bool broadcast;
        int buffer;
        const char* fail_text;
    };
    const SocketPlan plans[] = {
        {&socket_discover_send, kDiscoverSendPort, true, kSmallBuffer,
         "create socket_discover_send fail"},
        {&socket_discover_recv, kDiscoverRecvPort, false, kSmallBuffer,
         "create socket_discover_recv fail"},
        {&socket_heartbeat, kHeartbeatPort, false, kSmallBuffer, "create socket_heartbeat fail"},
        {&socket_config, kConfigPort, false, kLargeBuffer, "create socket_config fail"},
    };
    for (const SocketPlan& p : plans) {
        int fd = -1;
        if (!AcCreateSocket(fd, p.port, p.broadcast, p.buffer, p.buffer, false, nullptr, nullptr)) {
            WRITE_LOG_ERROR("%s", p.fail_text);
            return false;
        }
        p.slot->store(fd);
    }

    struct ThreadPlan {
        std::thread* slot;
        const char* fail_text;
        std::function<void()> body;
    };
    const ThreadPlan threads[] = {
        {&thread_recv_discover, "create thread_recv_discover fail",
         [this] { RecvThreadFunc(Channel::Discover); }},
        {&thread_recv_heartbeat, "create thread_recv_heartbeat fail",
         [this] { RecvThreadFunc(Channel::Heartbeat); }},
        {&thread_recv_config, "create thread_recv_config fail",
         [this] { RecvThreadFunc(Channel::Config); }},
        {&thread_manage_discover, "create thread_manage_discover fail",
         [this] { ManageThreadFunc(Channel::Discover); }},
        {&thread_manage_heartbeat, "create thread_manage_heartbeat fail",
         [this] { ManageThreadFunc(Channel::Heartbeat); }},
        {&thread_manage_config, "create thread_manage_config fail",
         [this] { ManageThreadFunc(Channel::Config); }},
        {&thread_check_heartbeat, "create thread_check_heartbeat fail",
         [this] { CheckHeartbeatThreadFunc(); }},
        {&thread_retransmission, "create thread_retransmission fail",
         [this] { RetransmissionThreadFunc(); }},
    };
    running_ = true;
    for (const ThreadPlan& t : threads) {
        try {
            *t.slot = std::thread(t.body);
        } catch (const std::system_error&) {
            WRITE_LOG_ERROR("%s", t.fail_text);
            return false;
        }
    }

    std::vector<local_adapter_info> adapters;
    GetLocalAdapterList(adapters);
    return true;
}

CPacketQueue& AcTransmitManage::QueueOf(Channel channel) {
    switch (channel) {
        case Channel::Discover:
            return discover_queue_;
        case Channel::Heartbeat:
            return heartbeat_queue_;
        case Channel::Config:
        default:
            return config_queue_;
    }
}

bool AcTransmitManage::AcceptDatagram(uint16_t port, const uint8_t* bytes, std::size_t length,
                                      const uint8_t from[16]) {
    const auto header = ParseHeader(std::span<const uint8_t>(bytes, length));
    if (!header) {
        return false;
    }
    Channel channel;
    if (port == kDiscoverRecvPort) {
        if (header->msg_type != VALTO_APDiscoverRequest) return false;
        channel = Channel::Discover;
    } else if (port == kHeartbeatPort) {
        if (header->msg_type != VALTO_APHeartbeat) return false;
        channel = Channel::Heartbeat;
    } else if (port == kConfigPort) {
        channel = Channel::Config;
    } else {
        return false;
    }
    ap_packet_info record;
    std::memcpy(record.from, from, sizeof record.from);
    std::memset(record.packet, 0, sizeof record.packet);
    std::memcpy(record.packet, bytes, length);
    // The handlers trust data_len: never let it claim more than what arrived.
    const uint16_t arrived = static_cast<uint16_t>(length - kHeaderSize);
    if (header->data_len > arrived) {
        WriteLe16(record.packet + offsetof(datagram_header, data_len), arrived);
    }
    uint64_t dropped = 0;
    if (!QueueOf(channel).Push(record, dropped)) {
        if (dropped % kDropLogEvery == 1) {
            WRITE_LOG_ERROR("queue of port %u full: %llu datagrams dropped so far", port,
                            static_cast<unsigned long long>(dropped));
        }
        return false;
    }
    accepted_[static_cast<int>(channel)].fetch_add(1, std::memory_order_relaxed);
    return true;
}

void AcTransmitManage::RecvThreadFunc(Channel channel) {
    const std::atomic<int>& slot = channel == Channel::Discover    ? socket_discover_recv
                                   : channel == Channel::Heartbeat ? socket_heartbeat
                                                                   : socket_config;
    const uint16_t port = channel == Channel::Discover    ? kDiscoverRecvPort
                          : channel == Channel::Heartbeat ? kHeartbeatPort
                                                          : kConfigPort;
    uint8_t buffer[kMaxDatagramSize];
    while (!stopping_) {
        const int fd = slot.load();
        if (fd < 0) {
            return;
        }
        sockaddr_in from{};
        socklen_t from_len = sizeof from;
        // MSG_TRUNC gives the real length, so an oversized datagram is seen and dropped
        // instead of being taken as its first 1472 bytes.
        const ssize_t n = recvfrom(fd, buffer, sizeof buffer, MSG_TRUNC,
                                   reinterpret_cast<sockaddr*>(&from), &from_len);
        if (stopping_) {
            return;
        }
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            if (errno == EBADF) return;
            continue;
        }
        if (n == 0 && from_len == 0) {
            // A shut-down socket reads as an empty datagram from nobody.
            return;
        }
        if (static_cast<std::size_t>(n) > kMaxDatagramSize) {
            continue;
        }
        uint8_t from_bytes[16] = {};
        std::memcpy(from_bytes, &from, std::min<std::size_t>(sizeof from, sizeof from_bytes));
        AcceptDatagram(port, buffer, static_cast<std::size_t>(n), from_bytes);
    }
}

void AcTransmitManage::ManageThreadFunc(Channel channel) {
    CPacketQueue& queue = QueueOf(channel);
    std::deque<ap_packet_info> batch;
    while (true) {
        queue.WaitAndTakeAll(batch);
        if (stopping_) {
            return;
        }
        if (channel == Channel::Config) {
            WriteLog(kLogInfo, "void AcTransmitManage::ManageThreadConfig()", __LINE__,
                     "manage ap config");
        }
        for (const ap_packet_info& packet : batch) {
            if (stopping_) {
                return;
            }
            HandleOne(channel, packet);
        }
        batch.clear();
    }
}

void AcTransmitManage::HandleOne(Channel channel, const ap_packet_info& packet) {
    switch (channel) {
        case Channel::Discover:
            ManageDiscoverPacket(packet);
            break;
        case Channel::Heartbeat:
            ManageHeartbeatPacket(packet);
            break;
        case Channel::Config:
            ManageConfigPacket(packet);
            break;
    }
    handled_.fetch_add(1, std::memory_order_relaxed);
}

std::size_t AcTransmitManage::HandleQueued() {
    std::size_t n = 0;
    std::deque<ap_packet_info> batch;
    for (Channel c : {Channel::Discover, Channel::Heartbeat, Channel::Config}) {
        QueueOf(c).TakeAll(batch);
        for (const ap_packet_info& packet : batch) {
            HandleOne(c, packet);
            ++n;
        }
    }
    return n;
}

bool AcTransmitManage::SleepUnlessStopping(int ms) {
    std::unique_lock<std::mutex> lock(sleep_lock_);
    sleep_cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
    return !stopping_;
}

void AcTransmitManage::CheckHeartbeatThreadFunc() {
    while (SleepUnlessStopping(timing_.heartbeat_check_period)) {
        CheckManageApHeartbeat();
    }
}

void AcTransmitManage::RetransmissionThreadFunc() {
    while (SleepUnlessStopping(timing_.retransmission_interval)) {
        CheckManageApRetransmission();
    }
}

void AcTransmitManage::StopThreads() {
    {
        std::lock_guard<std::mutex> lock(sleep_lock_);
        stopping_ = true;
    }
    sleep_cv_.notify_all();
    discover_queue_.Signal();
    heartbeat_queue_.Signal();
    config_queue_.Signal();
    // Wake the receive threads blocked in recvfrom; sending stays possible.
    for (const std::atomic<int>* s : {&socket_discover_recv, &socket_heartbeat, &socket_config}) {
        const int fd = s->load();
        if (fd >= 0) {
            shutdown(fd, SHUT_RD);
        }
    }
    for (std::thread* t : {&thread_recv_discover, &thread_recv_heartbeat, &thread_recv_config,
                           &thread_manage_discover, &thread_manage_heartbeat, &thread_manage_config,
                           &thread_check_heartbeat, &thread_retransmission}) {
        if (t->joinable()) {
            t->join();
        }
    }
    running_ = false;
}

void AcTransmitManage::CloseSockets() {
    for (std::atomic<int>* s :
         {&socket_discover_send, &socket_discover_recv, &socket_heartbeat, &socket_config}) {
        const int fd = s->exchange(-1);
        if (fd >= 0) {
            close(fd);
        }
    }
}

void AcTransmitManage::Shutdown() {
    std::lock_guard<std::mutex> guard(thread_lock_);
    if (shut_down_) {
        return;
    }
    shut_down_ = true;
    StopThreads();
    // Every tracked device learns that it is released; nothing else of the engine runs now.
    std::vector<std::pair<std::string, std::string>> targets;
    {
        std::lock_guard<std::mutex> lock(table_lock_);
        for (const manage_ap_info& ap : manage_ap_) {
            targets.emplace_back(ap.ip, ap.mac);
        }
    }
    for (const auto& [ip, mac] : targets) {
        SendPacketMutilcast(ip, VALTO_APReleaseRequest, nullptr, 0, mac, false);
    }
    CloseSockets();
    {
        std::lock_guard<std::mutex> lock(retrans_lock_);
        retransmission_.clear();
    }
}

AcTransmitManage::QueueStats AcTransmitManage::GetQueueStats() const {
    QueueStats s;
    s.discover = discover_queue_.Size();
    s.heartbeat = heartbeat_queue_.Size();
    s.config = config_queue_.Size();
    s.dropped = discover_queue_.Dropped() + heartbeat_queue_.Dropped() + config_queue_.Dropped();
    s.handled = handled_.load();
    s.accepted_discover = accepted_[0].load();
    s.accepted_heartbeat = accepted_[1].load();
    s.accepted_config = accepted_[2].load();
    return s;
}
