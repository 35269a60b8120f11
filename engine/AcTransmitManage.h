#pragma once
// AcTransmitManage: the device communication engine. It finds devices by discovery
// broadcasts, keeps the managed-device table, answers heartbeats, ages silent devices out,
// sends requests to the multicast group through every matching local address and resends them
// until they are answered, and writes what devices report into the device store.
//
// Shape: the codec and the handlers (ManageDiscoverPacket, ManageConfigPacket,
// ManageHeartbeatPacket), the table operations, CheckManageApHeartbeat and
// CheckManageApRetransmission are plain member functions that a test drives directly with
// ap_packet_info records; every datagram they send goes through the injected CDatagramSender.
// Init adds the thin real layer: four sockets, three receive threads, three manage threads,
// the ageing thread and the retransmission thread.
//
// ------------------------------------------------------------------------------------------
// Lock contract
//
//   lock               guards                                   taken by
//   discover_queue_    discovery queue (inside CPacketQueue)    thread_recv/manage_discover
//   heartbeat_queue_   heartbeat queue                          thread_recv/manage_heartbeat
//   config_queue_      configuration queue                      thread_recv/manage_config
//   table_lock_        manage_ap_ (the managed-device table)    handlers, ageing pass, page
//                                                               operations, release notices
//   adapter_lock_      calls into the adapter library           GetLocalAdapterList
//   address_lock_      local_address_ (the local address list); SendPacketMutilcast,
//                      also serialises every send (multicast    GetLocalAdapterList,
//                      and discovery)                           SendDiscoverBroadcast
//   retrans_lock_      retransmission_ (pending requests)       SendPacketMutilcast (after it
//                                                               released address_lock_),
//                                                               ManageConfigPacket, the
//                                                               retransmission pass
//   capture_lock_      capture_devices_                         UpdateCaptureDeviceList,
//                                                               SendArpAnnouncement
//   thread_lock_       thread slots and the shut-down state     Init, Shutdown
//
// The one allowed order: table_lock_ or retrans_lock_ first, then address_lock_. Never take
// table_lock_ or retrans_lock_ while holding address_lock_; never hold table_lock_ and
// retrans_lock_ together. The queue locks, adapter_lock_ and capture_lock_ are leaves: nothing
// else is taken while one is held (address_lock_ is never held around SendArpAnnouncement).
// Store calls are made with no engine lock held, except that none are made under any lock at
// all; the store takes only its own lock.
//
// Threads: any thread may call the public operations. Shutdown (also run by the destructor)
// stops and joins every engine thread before it sends the release notices, so nothing of the
// engine runs while its lists are released.
// ------------------------------------------------------------------------------------------

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "common/wire.h"
#include "engine/EngineIo.h"
#include "engine/PacketQueue.h"
#include "platform/LocalAdapter.h"

class CSqlManagement;
class CSocketSender;

// Timing and retransmission settings. The program uses the defaults (retransmission values
// from Setting.ini through Init); tests shorten them to run the same logic faster.
struct EngineTiming {
    int retransmission_max = 3;
    int retransmission_interval = 2000;  // ms between resend passes
    int heartbeat_check_period = 10000;  // ms slept before each ageing pass
    uint8_t life = 3;                    // given by a heartbeat or a discovery answer
};

// What the engine is built over. Null members get the real ones: the store instance, the
// engine's own sockets, the system's adapters and libpcap.
struct EngineDeps {
    CSqlManagement* store = nullptr;
    CDatagramSender* sender = nullptr;
    CAdapterLibrary* adapters = nullptr;
    CCaptureLibrary* capture = nullptr;
    EngineTiming timing;
    std::size_t queue_capacity = CPacketQueue::kDefaultCapacity;
};

// One entry of the managed-device table.
struct manage_ap_info {
    std::string ip;      // current address
    std::string new_ip;  // announced by a pending IP-set request; empty when none
    std::string mac;     // the key
    uint16_t ap_type = 0;
    uint8_t state = 0;  // 1 pending (no configuration report yet), 2 reported
    uint8_t life = 0;   // heartbeat countdown
    uint32_t up_time = 0;
    char version[32] = {};
    uint8_t version_len = 0;
    uint8_t work_mode = 0;
    uint8_t mode_btn_status = 0;
    char ap_name[32] = {};
    uint8_t ap_name_len = 0;
    char ssid[32] = {};
    uint8_t ssid_len = 0;
    uint8_t channel = 0;
    uint8_t bridge_transparent = 0;
    uint8_t tdmaEn = 0;
};

inline constexpr uint8_t kApStatePending = 1;
inline constexpr uint8_t kApStateReported = 2;

// One pending request of the retransmission list.
struct retransmission_info {
    int remaining = 0;
    std::string ip;
    int msg_type = 0;
    uint8_t data[kMaxPayloadSize] = {};
    int data_len = 0;
    std::string mac;
};

// One local address as the engine keeps it: the adapter record's entry and the interface it
// belongs to (used to pick the outgoing interface per datagram).
struct local_address_entry {
    local_address_info address{};
    unsigned ifindex = 0;
};

// Prepared for a discovery pass: a broadcast or an ARP announcement through one address.
struct adapter_send_info {
    char addr[16] = {};
    uint8_t mac[6] = {};
    char name[260] = {};
    char ip[16] = {};
    unsigned ifindex = 0;
};

class AcTransmitManage {
  public:
    // The process-wide engine, built over the real store, sockets, adapters and libpcap on
    // first use and destroyed at process exit (Shutdown may be called earlier).
    static AcTransmitManage* GetInstance();

    explicit AcTransmitManage(EngineDeps deps = {});
    ~AcTransmitManage();
    AcTransmitManage(const AcTransmitManage&) = delete;
    AcTransmitManage& operator=(const AcTransmitManage&) = delete;

    // Creates the four sockets and starts the eight threads; fills the local address list.
    // False (with a log line) at the first failure. A second call replaces what the first made.
    bool Init(int retransmission_max, int retransmission_interval);

    // Stops and joins every thread, sends VALTO_APReleaseRequest to every tracked device,
    // closes the sockets. Idempotent; the destructor runs it too. The store is not touched,
    // so front ends shut the engine down before the store.
    void Shutdown();

    // --- sockets and sending ----------------------------------------------------------------

    // Creates (or re-creates) one long-lived socket: SO_REUSEADDR, optional broadcast and
    // group membership, buffer sizes, bound to (local_ip or any, port). Receive sockets get
    // IP_MULTICAST_ALL 0, send sockets IP_MULTICAST_LOOP 0.
    bool AcCreateSocket(int& sock, uint16_t port, bool broadcast, int send_buffer,
                        int receive_buffer, bool multicast, const char* local_ip,
                        const char* group_ip);

    // Builds header + payload and sends it as one datagram through `socket` from `source`.
    bool SendPacket(SendSocket socket, const local_address_entry* source,
                    const std::string& dest_ip, uint16_t port, uint16_t msg_type,
                    const uint8_t* data, int data_len, bool mcast_flag, const char* mac);

    // Sends to the multicast group once through each local address whose subnet holds `ip`;
    // true when the last attempted send succeeded. With `retransmit` (and a type other than 1,
    // 6, 15, 17) a successful request is registered for resending.
    bool SendPacketMutilcast(const std::string& ip, uint16_t msg_type, const uint8_t* data,
                             int data_len, const std::string& mac, bool retransmit);

    // One discovery pass: ARP announcement and directed broadcast from every local address, or
    // one broadcast to 255.255.255.255 when there is none.
    void SendDiscoverBroadcast();

    // Usable adapters of the machine; refreshes the local address list.
    void GetLocalAdapterList(std::vector<local_adapter_info>& list);

    static bool IsSameSubnet(const std::string& local_ip, const std::string& mask,
                             const std::string& target_ip);
    static bool GetBroadcastAddress(const std::string& local_ip, const std::string& mask,
                                    std::string& out);

    // --- ARP announcement -------------------------------------------------------------------

    void UpdateCaptureDeviceList();
    bool SendArpAnnouncement(const adapter_send_info& entry);
    // The 60-byte frame for a local address and adapter MAC.
    static arp_announce_frame BuildArpFrame(const uint8_t mac[6], const char* ip);

    // --- handlers (one per manage thread) ---------------------------------------------------

    void ManageDiscoverPacket(const ap_packet_info& packet);
    void ManageConfigPacket(const ap_packet_info& packet);
    void ManageHeartbeatPacket(const ap_packet_info& packet);

    // --- managed-device table ---------------------------------------------------------------

    bool AddManageAp(const ap_packet_info& packet);
    bool ModifyManageApConfig(const ap_packet_info& packet);
    bool UpdateManageApHeartbeat(const std::string& ip, const ap_packet_info& packet);
    // Before an IP-set request: remember the address the device is told to take.
    void UpdateManageApIp(const std::string& mac, const std::string& ip,
                          const std::string& ipUpdate);
    // On the IP-set answer: switch the entry to the announced address.
    void UpdateManageApIp(const std::string& mac, const std::string& ip);
    void ReleasePendingManageAp();
    void DeletePendingManageAp();
    void DeleteUnmanagedApInfo();
    void GetPendingManageApList(std::vector<ap_info_stu>& list, int limit, const char* filter);
    // The ageing pass (run every heartbeat_check_period by thread_check_heartbeat).
    void CheckManageApHeartbeat();

    // --- retransmission ---------------------------------------------------------------------

    void AddManageApRetransmission(const std::string& ip, const uint8_t* data, int msg_type,
                                   int data_len, const std::string& mac);
    void DeleteManageApRetransmission(const std::string& ip, int msg_type, const std::string& mac);
    // One resend pass (thread_retransmission sleeps retransmission_interval before each).
    void CheckManageApRetransmission();

    // Site-survey completion flag: cleared when a survey request goes out, set when the last
    // datagram of a survey answer has been stored.
    std::atomic<bool> search_ap_done{false};

    // --- observation, for tests, benchmarks and the command-line tool ------------------------

    std::vector<manage_ap_info> GetManageApSnapshot() const;
    std::size_t GetRetransmissionCount() const;
    std::vector<local_address_entry> GetLocalAddressSnapshot() const;
    struct QueueStats {
        std::size_t discover = 0, heartbeat = 0, config = 0;  // records waiting
        uint64_t dropped = 0;                                 // over all three queues
        uint64_t handled = 0;                                 // records handed to handlers
        // Datagrams accepted and queued, per receiving socket, since construction.
        uint64_t accepted_discover = 0, accepted_heartbeat = 0, accepted_config = 0;
    };
    QueueStats GetQueueStats() const;
    const EngineTiming& Timing() const { return timing_; }
    bool IsRunning() const { return running_.load(); }

    // The receive path without a socket: validates one received datagram as a receive thread
    // does and queues it for `port`'s handler. False when it is dropped.
    bool AcceptDatagram(uint16_t port, const uint8_t* bytes, std::size_t length,
                        const uint8_t from[16]);
    // Hands everything queued to the handlers on the calling thread, as the manage threads
    // would; returns the number of records handled. For use while the threads are not running.
    std::size_t HandleQueued();

  private:
    enum class Channel { Discover = 0, Heartbeat = 1, Config = 2 };

    void RecvThreadFunc(Channel channel);
    void ManageThreadFunc(Channel channel);
    void HandleOne(Channel channel, const ap_packet_info& packet);
    void CheckHeartbeatThreadFunc();
    void RetransmissionThreadFunc();
    void StopThreads();
    void CloseSockets();
    // Sleeps up to `ms`; false when the engine is stopping.
    bool SleepUnlessStopping(int ms);
    CPacketQueue& QueueOf(Channel channel);
    std::string SenderIpText(const ap_packet_info& packet) const;
    std::string SenderMacText(const ap_packet_info& packet) const;
    bool RefreshAddressList(const std::vector<local_adapter_info>& list);
    int FindApByMac(const std::string& mac) const;  // index or -1; caller holds table_lock_
    void RebuildMacIndex();                         // caller holds table_lock_

    CSqlManagement* store_;
    CAdapterLibrary* adapters_;
    CCaptureLibrary* capture_;
    CDatagramSender* sender_;
    std::unique_ptr<CAdapterLibrary> own_adapters_;
    std::unique_ptr<CCaptureLibrary> own_capture_;
    std::unique_ptr<CSocketSender> own_sender_;
    EngineTiming timing_;

    // Sockets; -1 when absent. Written only by Init and Shutdown under thread_lock_ while no
    // engine thread runs; read by the receive threads and the socket sender.
    std::atomic<int> socket_discover_send{-1};
    std::atomic<int> socket_discover_recv{-1};
    std::atomic<int> socket_heartbeat{-1};
    std::atomic<int> socket_config{-1};

    std::thread thread_recv_discover, thread_recv_heartbeat, thread_recv_config;
    std::thread thread_manage_discover, thread_manage_heartbeat, thread_manage_config;
    std::thread thread_check_heartbeat, thread_retransmission;
    std::mutex thread_lock_;
    // One stop flag for every thread: set by Shutdown before the waits are woken.
    std::atomic<bool> stopping_{false};
    std::atomic<bool> running_{false};
    bool shut_down_ = false;  // thread_lock_
    std::mutex sleep_lock_;
    std::condition_variable sleep_cv_;  // wakes the timer threads at shutdown

    CPacketQueue discover_queue_, heartbeat_queue_, config_queue_;
    std::atomic<uint64_t> handled_{0};
    std::atomic<uint64_t> accepted_[3] = {};

    mutable std::mutex table_lock_;
    std::vector<manage_ap_info> manage_ap_;
    std::unordered_map<std::string, std::size_t> mac_index_;  // mac -> index in manage_ap_

    std::mutex adapter_lock_;
    mutable std::mutex address_lock_;
    std::vector<local_address_entry> local_address_;

    mutable std::mutex retrans_lock_;
    std::deque<retransmission_info> retransmission_;

    std::mutex capture_lock_;
    std::vector<std::string> capture_devices_;
};
