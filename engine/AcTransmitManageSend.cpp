// Engine send path: local addresses, datagram building, the multicast send, the discovery
// pass and the ARP announcement that precedes it.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/Log.h"
#include "common/ValueTables.h"
#include "engine/AcTransmitManage.h"

namespace {

constexpr char kNoAddress[] = "0.0.0.0";

bool IsNoAddress(const std::string& text) { return text.empty() || text == kNoAddress; }

std::string FieldText(const char* field, std::size_t width) {
    return std::string(field, strnlen(field, width));
}

}  // namespace

bool AcTransmitManage::IsSameSubnet(const std::string& local_ip, const std::string& mask,
                                    const std::string& target_ip) {
    if (local_ip == kNoAddress || IsNoAddress(target_ip) || IsNoAddress(mask)) {
        return false;
    }
    const uint32_t m = IpTextToNumber(mask);
    return (IpTextToNumber(local_ip) & m) == (IpTextToNumber(target_ip) & m);
}

bool AcTransmitManage::GetBroadcastAddress(const std::string& local_ip, const std::string& mask,
                                           std::string& out) {
    if (local_ip == kNoAddress || IsNoAddress(mask)) {
        return false;
    }
    out = IpNumberToText(IpTextToNumber(local_ip) | ~IpTextToNumber(mask));
    return true;
}

bool AcTransmitManage::SendPacket(SendSocket socket, const local_address_entry* source,
                                  const std::string& dest_ip, uint16_t port, uint16_t msg_type,
                                  const uint8_t* data, int data_len, bool mcast_flag,
                                  const char* mac) {
    if (data == nullptr || data_len < 0) {
        data_len = 0;
    }
    uint8_t buffer[kMaxDatagramSize] = {};
    datagram_header header =
        (mac != nullptr && *mac != '\0')
            ? MakeHeader(msg_type, MacTextToBytes(mac), static_cast<uint16_t>(data_len), mcast_flag)
            : MakeHeader(msg_type, static_cast<uint16_t>(data_len), mcast_flag);
    const std::size_t length = BuildDatagram(
        buffer, header, std::span<const uint8_t>(data, static_cast<std::size_t>(data_len)));
    OutgoingDatagram out;
    out.socket = socket;
    if (source != nullptr) {
        out.source_ip = FieldText(source->address.ip, sizeof source->address.ip);
        out.source_ifindex = source->ifindex;
    }
    out.dest_ip = dest_ip;
    out.dest_port = port;
    out.bytes = std::span<const uint8_t>(buffer, length);
    if (length == 0 || !sender_->Send(out)) {
        WRITE_LOG_ERROR("socket sendto fail");
        return false;
    }
    return true;
}

bool AcTransmitManage::SendPacketMutilcast(const std::string& ip, uint16_t msg_type,
                                           const uint8_t* data, int data_len,
                                           const std::string& mac, bool retransmit) {
    bool result = false;
    {
        std::lock_guard<std::mutex> lock(address_lock_);
        for (const local_address_entry& entry : local_address_) {
            const std::string local = FieldText(entry.address.ip, sizeof entry.address.ip);
            if (local.empty() ||
                !IsSameSubnet(local, FieldText(entry.address.mask, sizeof entry.address.mask),
                              ip)) {
                continue;
            }
            if (msg_type == VALTO_APSearchApRequest) {
                search_ap_done = false;
            }
            result = SendPacket(SendSocket::Heartbeat, &entry, kMulticastGroup, kHeartbeatPort,
                                msg_type, data, data_len, true, mac.c_str());
        }
    }
    if (result && retransmit && msg_type != VALTO_APDiscoverRequest &&
        msg_type != VALTO_APSearchApRequest && msg_type != VALTO_APHeartbeat &&
        msg_type != VALTO_APReleaseRequest) {
        AddManageApRetransmission(ip, data, msg_type, data_len, mac);
    }
    return result;
}

void AcTransmitManage::GetLocalAdapterList(std::vector<local_adapter_info>& list) {
    list.clear();
    {
        std::lock_guard<std::mutex> lock(adapter_lock_);
        for (local_adapter_record* r = adapters_->GetLocalAdapterInfo(); r != nullptr;
             r = r->next) {
            const local_adapter_info& a = r->info;
            if (a.usable == 1 && a.address_count > 0 &&
                FieldText(a.addresses[0].ip, sizeof a.addresses[0].ip) != kNoAddress) {
                list.push_back(a);
                list.back().usable = 0;
            }
        }
        adapters_->ClearLocalAdapterInfo();
    }
    RefreshAddressList(list);
}

bool AcTransmitManage::RefreshAddressList(const std::vector<local_adapter_info>& list) {
    struct Current {
        const local_address_info* address;
        unsigned ifindex;
    };
    std::vector<Current> current;
    for (const local_adapter_info& a : list) {
        const int count = std::clamp(a.address_count, 0, platform::kMaxAdapterAddresses);
        for (int i = 0; i < count; ++i) {
            current.push_back({&a.addresses[i], a.further_data[0]});
        }
    }
    auto find = [&](const char* ip) -> const Current* {
        for (const Current& c : current) {
            if (strncmp(c.address->ip, ip, sizeof c.address->ip) == 0) return &c;
        }
        return nullptr;
    };
    std::lock_guard<std::mutex> lock(address_lock_);
    std::erase_if(local_address_,
                  [&](const local_address_entry& e) { return find(e.address.ip) == nullptr; });
    for (local_address_entry& e : local_address_) {
        // A kept address may sit on a re-created interface or have a new mask.
        const Current* c = find(e.address.ip);
        e.address = *c->address;
        e.ifindex = c->ifindex;
    }
    for (const Current& c : current) {
        const bool known = std::any_of(
            local_address_.begin(), local_address_.end(), [&](const local_address_entry& e) {
                return strncmp(e.address.ip, c.address->ip, sizeof e.address.ip) == 0;
            });
        if (!known) {
            local_address_.push_back({*c.address, c.ifindex});
        }
    }
    return true;
}

std::vector<local_address_entry> AcTransmitManage::GetLocalAddressSnapshot() const {
    std::lock_guard<std::mutex> lock(address_lock_);
    return local_address_;
}

void AcTransmitManage::SendDiscoverBroadcast() {
    std::vector<local_adapter_info> adapters;
    GetLocalAdapterList(adapters);

    std::vector<adapter_send_info> broadcasts;
    std::vector<adapter_send_info> announcements;
    for (const local_adapter_info& a : adapters) {
        const int count = std::clamp(a.address_count, 0, platform::kMaxAdapterAddresses);
        for (int i = 0; i < count; ++i) {
            const local_address_info& address = a.addresses[i];
            const std::string ip = FieldText(address.ip, sizeof address.ip);
            std::string broadcast;
            if (ip.empty() ||
                !GetBroadcastAddress(ip, FieldText(address.mask, sizeof address.mask), broadcast)) {
                continue;
            }
            const bool duplicate =
                std::any_of(broadcasts.begin(), broadcasts.end(), [&](const adapter_send_info& b) {
                    return broadcast == b.addr && std::memcmp(b.mac, a.mac, 6) == 0;
                });
            if (duplicate) {
                continue;
            }
            adapter_send_info b;
            std::snprintf(b.addr, sizeof b.addr, "%s", broadcast.c_str());
            std::memcpy(b.mac, a.mac, 6);
            std::snprintf(b.ip, sizeof b.ip, "%s", ip.c_str());
            b.ifindex = a.further_data[0];
            broadcasts.push_back(b);

            adapter_send_info n;
            std::snprintf(n.addr, sizeof n.addr, "%s", ip.c_str());
            std::memcpy(n.mac, a.mac, 6);
            std::memcpy(n.name, a.name, sizeof n.name - 1);  // a.name is as wide as n.name
            n.ifindex = a.further_data[0];
            announcements.push_back(n);
        }
    }

    if (broadcasts.empty()) {
        std::lock_guard<std::mutex> lock(address_lock_);
        SendPacket(SendSocket::DiscoverSend, nullptr, kBroadcastAll, kDiscoverSendPort,
                   VALTO_APDiscoverRequest, nullptr, 0, false, nullptr);
        return;
    }
    for (std::size_t i = 0; i < broadcasts.size(); ++i) {
        SendArpAnnouncement(announcements[i]);
        local_address_entry source;
        std::memcpy(source.address.ip, broadcasts[i].ip, sizeof source.address.ip);
        source.ifindex = broadcasts[i].ifindex;
        std::lock_guard<std::mutex> lock(address_lock_);
        SendPacket(SendSocket::DiscoverSend, &source, broadcasts[i].addr, kDiscoverSendPort,
                   VALTO_APDiscoverRequest, nullptr, 0, false, nullptr);
    }
}

void AcTransmitManage::UpdateCaptureDeviceList() {
    std::vector<std::string> names;
    if (!capture_->FindAllDevices(names)) {
        names.clear();
    }
    std::lock_guard<std::mutex> lock(capture_lock_);
    capture_devices_.swap(names);
}

arp_announce_frame AcTransmitManage::BuildArpFrame(const uint8_t mac[6], const char* ip) {
    arp_announce_frame f{};
    std::memset(f.eth_dest, 0xff, sizeof f.eth_dest);
    std::memcpy(f.eth_source, mac, 6);
    f.ether_type = kEtherTypeArp;
    f.hw_type = kArpHwEthernet;
    f.proto_type = kEtherTypeIpv4;
    f.hw_len = 6;
    f.proto_len = 4;
    f.operation = kArpOpRequest;
    std::memcpy(f.sender_mac, mac, 6);
    const IpBytes address = IpTextToBytes(ip);
    std::memcpy(f.sender_ip, address.data(), 4);
    std::memset(f.target_mac, 0xff, sizeof f.target_mac);
    std::memcpy(f.target_ip, address.data(), 4);
    return f;
}

bool AcTransmitManage::SendArpAnnouncement(const adapter_send_info& entry) {
    const std::string name = FieldText(entry.name, sizeof entry.name);
    std::string device;
    {
        std::lock_guard<std::mutex> lock(capture_lock_);
        for (const std::string& d : capture_devices_) {
            if (d.find(name) != std::string::npos) {
                device = d;
                break;
            }
        }
    }
    if (device.empty()) {
        return false;
    }
    const arp_announce_frame frame = BuildArpFrame(entry.mac, entry.addr);
    return capture_->SendFrame(device, WireBytes(frame));
}
