// Engine handlers and the managed-device table: discovery answers, configuration-socket
// datagrams, heartbeats, ageing, the table operations of the pages, and retransmission.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/Log.h"
#include "common/DeviceText.h"
#include "common/ValueTables.h"
#include "engine/AcTransmitManage.h"
#include "store/CSqlManagement.h"

namespace {

// Payload byte 0, which reads 0 for an empty payload.
uint8_t FirstByte(std::span<const uint8_t> payload) { return payload.empty() ? 0 : payload[0]; }

// Copies up to `n` payload bytes from `offset` into `out` (zero where the payload ends).
void CopyPayload(std::span<const uint8_t> payload, std::size_t offset, void* out, std::size_t n) {
    std::memset(out, 0, n);
    if (offset < payload.size()) {
        std::memcpy(out, payload.data() + offset, std::min(n, payload.size() - offset));
    }
}

uint32_t PayloadLe32(std::span<const uint8_t> payload, std::size_t offset) {
    uint8_t b[4];
    CopyPayload(payload, offset, b, 4);
    return ReadLe32(b);
}

std::span<uint8_t> Field(char* text, std::size_t width) {
    return std::span<uint8_t>(reinterpret_cast<uint8_t*>(text), width);
}

bool IsNoRetransmitType(int msg_type) {
    return msg_type == VALTO_APDiscoverRequest || msg_type == VALTO_APSearchApRequest ||
           msg_type == VALTO_APHeartbeat || msg_type == VALTO_APReleaseRequest;
}

}  // namespace

std::string AcTransmitManage::SenderIpText(const ap_packet_info& packet) const {
    const auto ip = SenderIp(packet);
    return IpBytesToText(ip);
}

std::string AcTransmitManage::SenderMacText(const ap_packet_info& packet) const {
    const datagram_header h = PacketHeader(packet);
    return MacBytesToText(h.mac);
}

int AcTransmitManage::FindApByMac(const std::string& mac) const {
    const auto it = mac_index_.find(mac);
    return it == mac_index_.end() ? -1 : static_cast<int>(it->second);
}

void AcTransmitManage::RebuildMacIndex() {
    mac_index_.clear();
    for (std::size_t i = 0; i < manage_ap_.size(); ++i) {
        mac_index_[manage_ap_[i].mac] = i;
    }
}

// ---------------------------------------------------------------------------------------------
// Discovery

void AcTransmitManage::ManageDiscoverPacket(const ap_packet_info& packet) {
    const std::string ip = SenderIpText(packet);
    const std::string mac = SenderMacText(packet);
    const bool ask = AddManageAp(packet);
    SendPacketMutilcast(ip, VALTO_APDiscoverRequest, nullptr, 0, mac, false);
    if (ask) {
        SendPacketMutilcast(ip, VALTO_APConfigRequest, nullptr, 0, mac, true);
    }
}

bool AcTransmitManage::AddManageAp(const ap_packet_info& packet) {
    const datagram_header h = PacketHeader(packet);
    static constexpr uint8_t kZeroMac[6] = {};
    if (std::memcmp(h.mac, kZeroMac, 6) == 0) {
        WRITE_LOG_ERROR("pack mac is 0");
        return false;
    }
    const std::string ip = SenderIpText(packet);
    const std::string mac = MacBytesToText(h.mac);
    const std::span<const uint8_t> payload = PacketPayload(packet);

    std::lock_guard<std::mutex> lock(table_lock_);
    const int found = FindApByMac(mac);
    if (found >= 0) {
        manage_ap_info& ap = manage_ap_[found];
        ap.ap_type = h.ap_type;
        ap.life = timing_.life;
        CopyPayload(payload, 0, ap.version, sizeof ap.version);
        CopyPayload(payload, 32, &ap.version_len, 1);
    } else {
        manage_ap_info ap;
        ap.ip = ip;
        ap.mac = mac;
        ap.ap_type = h.ap_type;
        ap.state = kApStatePending;
        ap.life = timing_.life;
        ap.up_time = 0;
        if (payload.size() > kBriefVersionOnlyLen) {
            ap_brief_info brief = LoadWire<ap_brief_info>(payload);
            std::memcpy(ap.version, brief.version, sizeof ap.version);
            ap.version_len = brief.version_len;
            ap.work_mode = brief.work_mode;
            ap.mode_btn_status = brief.mode_btn_status;
            ap.up_time = brief.up_time;
            // The texts come converted, with the length they have after the conversion.
            std::memcpy(ap.ap_name, brief.ap_name, sizeof ap.ap_name);
            ap.ap_name_len =
                ConvertDeviceTextField(Field(ap.ap_name, sizeof ap.ap_name), brief.ap_name_len);
            std::memcpy(ap.ssid, brief.ssid, sizeof ap.ssid);
            ap.ssid_len = ConvertDeviceTextField(Field(ap.ssid, sizeof ap.ssid), brief.ssid_len);
            ap.channel = brief.channel;
            ap.bridge_transparent = brief.bridge_transparent;
            ap.tdmaEn = brief.tdmaEn;
        } else {
            CopyPayload(payload, 0, ap.version, sizeof ap.version);
            CopyPayload(payload, 32, &ap.version_len, 1);
        }
        manage_ap_.push_back(std::move(ap));
        mac_index_[mac] = manage_ap_.size() - 1;
    }
    const manage_ap_info& ap = manage_ap_[FindApByMac(mac)];
    return !(ap.ip == ip && ap.state == kApStateReported);
}

// ---------------------------------------------------------------------------------------------
// Configuration socket

void AcTransmitManage::ManageConfigPacket(const ap_packet_info& packet) {
    const std::string ip = SenderIpText(packet);
    const std::string mac = SenderMacText(packet);
    const datagram_header h = PacketHeader(packet);
    const int msg_type = h.msg_type;
    const std::span<const uint8_t> payload = PacketPayload(packet);

    if (msg_type != VALTO_APSearchApRequest && msg_type != VALTO_APReleaseRequest) {
        WRITE_LOG_INFO("DeleteManageApRetransmission ip:%s, msg_type:%d, mac:%s", ip.c_str(),
                       msg_type, mac.c_str());
        DeleteManageApRetransmission(ip, msg_type, mac);
    }
    const uint8_t first = FirstByte(payload);
    switch (msg_type) {
        case VALTO_APConfigRequest: {
            if (!ModifyManageApConfig(packet)) {
                break;
            }
            WRITE_LOG_INFO("msg_type%d--configuration exists", 2);
            ap_info_stu record{};
            std::snprintf(record.mac, sizeof record.mac, "%s", mac.c_str());
            record.ap_type = h.ap_type;
            CopyConfigReport(record, payload);
            record.ap_name_len = ConvertDeviceTextField(
                Field(record.ap_name, sizeof record.ap_name), record.ap_name_len);
            record.ssid_len =
                ConvertDeviceTextField(Field(record.ssid, sizeof record.ssid), record.ssid_len);
            record.bridge_ssid_len = ConvertDeviceTextField(
                Field(record.bridge_ssid, sizeof record.bridge_ssid), record.bridge_ssid_len);
            store_->UpdateApInfo(record);
            break;
        }
        case VALTO_APIpSetRequest:
            UpdateManageApIp(mac, ip);
            WRITE_LOG_INFO("msg_type:%d, ip:%s, mac:%s--update manage ap", 3, ip.c_str(),
                           mac.c_str());
            break;
        case VALTO_APSearchApRequest: {
            site_survey_answer answer = LoadWire<site_survey_answer>(payload);
            const std::size_t usable = UsableSurveyEntries(answer, payload.size());
            for (std::size_t i = 0; i < usable; ++i) {
                config_otherwl_basic& e = answer.entries[i];
                e.ssid_len = ConvertDeviceTextField(Field(e.ssid, sizeof e.ssid), e.ssid_len);
            }
            // Entries that did not arrive are not stored.
            answer.icount = static_cast<uint8_t>(usable);
            store_->UpdateOtherApInfo(answer);
            if (static_cast<int>(answer.packet_id) == static_cast<int>(answer.packet_count) - 1) {
                search_ap_done = true;
            }
            break;
        }
        case VALTO_APBridgeSetRequest: {
            const int status = first == 0 ? 2 : 3;
            store_->SetApStatus(mac, status);
            WRITE_LOG_INFO("msg_type:%d, mac:%s, result:%d--bridge configuration", 7, mac.c_str(),
                           status);
            break;
        }
        case VALTO_APRebootRequest:
            if (first == 0) store_->SetApStatus(mac, 4);
            break;
        case VALTO_APRestoreRequest:
            if (first == 0) store_->SetApStatus(mac, 5);
            break;
        case VALTO_APUpgradeStatus:
            store_->SetApStatus(mac, first == 0 ? 6 : first == 1 ? 9 : 8);
            break;
        case VALTO_APVlanSetRequest:
            if (first == 0) store_->SetApStatus(mac, 4);
            break;
        case VALTO_APUpgradeStartRequest:
            store_->SetApUpgrading(mac);
            break;
        default:
            break;
    }
}

bool AcTransmitManage::ModifyManageApConfig(const ap_packet_info& packet) {
    const std::span<const uint8_t> payload = PacketPayload(packet);
    uint8_t ip_bytes[4];
    CopyPayload(payload, offsetof(ap_info_stu, ip) - kConfigReportOffset, ip_bytes, 4);
    const std::string report_ip = IpBytesToText(ip_bytes);
    const datagram_header h = PacketHeader(packet);
    const std::string mac = MacBytesToText(h.mac);

    std::lock_guard<std::mutex> lock(table_lock_);
    int ip_index = -1;
    int mac_index = -1;
    for (std::size_t i = 0; i < manage_ap_.size(); ++i) {
        const manage_ap_info& ap = manage_ap_[i];
        if (ap.ip == report_ip && ap.state == kApStateReported) ip_index = static_cast<int>(i);
        if (ap.mac == mac) mac_index = static_cast<int>(i);
    }
    WRITE_LOG_INFO("ip:%s--ip_onlien:%d--index:%d, mac:%s--index:%d", report_ip.c_str(),
                   ip_index >= 0 ? 1 : 0, ip_index, mac.c_str(), mac_index);
    if (mac_index < 0 || (ip_index >= 0 && ip_index != mac_index)) {
        return false;
    }
    manage_ap_info& ap = manage_ap_[mac_index];
    ap.ap_type = h.ap_type;
    ap.state = kApStateReported;
    ap.up_time = PayloadLe32(payload, offsetof(ap_info_stu, up_time) - kConfigReportOffset);
    ap.ip = report_ip;
    CopyPayload(payload, offsetof(ap_info_stu, version) - kConfigReportOffset, ap.version,
                sizeof ap.version);
    CopyPayload(payload, offsetof(ap_info_stu, version_len) - kConfigReportOffset, &ap.version_len,
                1);
    CopyPayload(payload, offsetof(ap_info_stu, bridge_transparent) - kConfigReportOffset,
                &ap.bridge_transparent, 1);
    CopyPayload(payload, offsetof(ap_info_stu, tdmaEn) - kConfigReportOffset, &ap.tdmaEn, 1);
    return true;
}

void AcTransmitManage::UpdateManageApIp(const std::string& mac, const std::string& ip,
                                        const std::string& ipUpdate) {
    WRITE_LOG_INFO("UpdateManageApIp(ip:%s, mac:%s, ipUpdate:%s)", ip.c_str(), mac.c_str(),
                   ipUpdate.c_str());
    std::lock_guard<std::mutex> lock(table_lock_);
    for (manage_ap_info& ap : manage_ap_) {
        if (ap.mac == mac && ap.state == kApStateReported && ap.ip == ip) {
            if (ipUpdate != ip) {
                ap.new_ip = ipUpdate;
            } else {
                ap.new_ip.clear();
            }
            break;
        }
    }
}

void AcTransmitManage::UpdateManageApIp(const std::string& mac, const std::string& ip) {
    WRITE_LOG_INFO("Start UpdateManageApIp(mac:%s, ip:%s)", mac.c_str(), ip.c_str());
    std::lock_guard<std::mutex> lock(table_lock_);
    for (manage_ap_info& ap : manage_ap_) {
        if (ap.mac == mac && ap.ip == ip) {
            if (!ap.new_ip.empty() && ap.new_ip != ip) {
                ap.ip = ap.new_ip;
                ap.new_ip.clear();
            }
            break;
        }
    }
}

void AcTransmitManage::ReleasePendingManageAp() {
    std::lock_guard<std::mutex> lock(table_lock_);
    for (const manage_ap_info& ap : manage_ap_) {
        if (ap.state == kApStatePending) {
            SendPacketMutilcast(ap.ip, VALTO_APReleaseRequest, nullptr, 0, ap.mac, false);
        }
    }
}

void AcTransmitManage::DeletePendingManageAp() {
    std::lock_guard<std::mutex> lock(table_lock_);
    std::erase_if(manage_ap_, [](const manage_ap_info& ap) { return ap.state == kApStatePending; });
    RebuildMacIndex();
}

void AcTransmitManage::DeleteUnmanagedApInfo() {
    std::vector<std::string> stored;
    store_->GetApMacList(stored);
    std::vector<std::string> unmanaged;
    {
        std::lock_guard<std::mutex> lock(table_lock_);
        for (const std::string& mac : stored) {
            if (FindApByMac(mac) < 0) unmanaged.push_back(mac);
        }
    }
    for (const std::string& mac : unmanaged) {
        store_->DeleteApInfo(mac);
    }
}

void AcTransmitManage::GetPendingManageApList(std::vector<ap_info_stu>& list, int limit,
                                              const char* filter) {
    list.clear();
    std::lock_guard<std::mutex> lock(table_lock_);
    int examined = 0;
    for (const manage_ap_info& ap : manage_ap_) {
        if (examined >= limit) break;
        if (ap.state != kApStatePending) continue;
        ++examined;
        ap_info_stu r{};
        std::snprintf(r.mac, sizeof r.mac, "%s", ap.mac.c_str());
        r.ap_type = ap.ap_type;
        r.ap_status = 10;
        const IpBytes ip = IpTextToBytes(ap.ip);
        std::memcpy(r.ip, ip.data(), 4);
        std::memcpy(r.version, ap.version, sizeof r.version);
        r.version_len = ap.version_len;
        // The list shows one line of the version.
        if (void* lf = std::memchr(r.version, '\n', sizeof r.version)) {
            const std::size_t at = static_cast<char*>(lf) - r.version;
            std::memset(r.version + at, 0, sizeof r.version - at);
            r.version_len = static_cast<uint8_t>(std::min<std::size_t>(r.version_len, at));
        }
        std::memcpy(r.ap_name, ap.ap_name, sizeof r.ap_name);
        r.ap_name_len = ap.ap_name_len;
        r.up_time = ap.up_time;
        r.work_mode = ap.work_mode;
        r.mode_btn_status = ap.mode_btn_status;
        std::memcpy(r.ssid, ap.ssid, sizeof r.ssid);
        r.ssid_len = ap.ssid_len;
        r.channel = ap.channel;
        r.bridge_transparent = ap.bridge_transparent;
        r.tdmaEn = ap.tdmaEn;
        if (filter != nullptr && *filter != '\0') {
            const std::string version(r.version,
                                      std::min<std::size_t>(r.version_len, sizeof r.version));
            if (ap.ip.find(filter) == std::string::npos &&
                ap.mac.find(filter) == std::string::npos &&
                version.find(filter) == std::string::npos) {
                continue;
            }
        }
        list.push_back(r);
    }
}

std::vector<manage_ap_info> AcTransmitManage::GetManageApSnapshot() const {
    std::lock_guard<std::mutex> lock(table_lock_);
    return manage_ap_;
}

// ---------------------------------------------------------------------------------------------
// Heartbeats and ageing

void AcTransmitManage::ManageHeartbeatPacket(const ap_packet_info& packet) {
    const std::string ip = SenderIpText(packet);
    if (!UpdateManageApHeartbeat(ip, packet)) {
        return;
    }
    const std::string mac = SenderMacText(packet);
    WRITE_LOG_INFO("SendPacketMutilcast VALTO_APHeartbeatAck ip:%s, mac:%s", ip.c_str(),
                   mac.c_str());
    SendPacketMutilcast(ip, VALTO_APHeartbeatAck, nullptr, 0, mac, false);
    store_->UpdateApUptime(mac, ip, PayloadLe32(PacketPayload(packet), 36));
}

bool AcTransmitManage::UpdateManageApHeartbeat(const std::string& ip,
                                               const ap_packet_info& packet) {
    const std::string mac = SenderMacText(packet);
    const std::span<const uint8_t> payload = PacketPayload(packet);
    std::lock_guard<std::mutex> lock(table_lock_);
    const int found = FindApByMac(mac);
    if (found < 0) {
        return false;
    }
    manage_ap_info& ap = manage_ap_[found];
    ap.life = timing_.life;
    ap.up_time = PayloadLe32(payload, 36);
    CopyPayload(payload, 0, ap.version, sizeof ap.version);
    CopyPayload(payload, 32, &ap.version_len, 1);
    ap.ip = ip;
    return true;
}

void AcTransmitManage::CheckManageApHeartbeat() {
    std::vector<manage_ap_info> removed;
    {
        std::lock_guard<std::mutex> lock(table_lock_);
        std::size_t keep = 0;
        for (std::size_t i = 0; i < manage_ap_.size(); ++i) {
            manage_ap_info& ap = manage_ap_[i];
            if (ap.life > 0) {
                if (ap.state != kApStatePending) --ap.life;
                if (keep != i) manage_ap_[keep] = std::move(ap);
                ++keep;
            } else {
                WRITE_LOG_INFO("manage ap heartbeat and delete ap info");
                removed.push_back(std::move(ap));
            }
        }
        manage_ap_.resize(keep);
        if (!removed.empty()) RebuildMacIndex();
    }
    for (const manage_ap_info& ap : removed) {
        store_->DeleteApInfo(ap.mac);
    }
}

// ---------------------------------------------------------------------------------------------
// Retransmission

void AcTransmitManage::AddManageApRetransmission(const std::string& ip, const uint8_t* data,
                                                 int msg_type, int data_len,
                                                 const std::string& mac) {
    retransmission_info r;
    r.remaining = timing_.retransmission_max;
    r.ip = ip;
    r.msg_type = msg_type;
    r.data_len = std::clamp(data_len, 0, static_cast<int>(kMaxPayloadSize));
    if (data == nullptr) r.data_len = 0;
    if (r.data_len > 0) std::memcpy(r.data, data, static_cast<std::size_t>(r.data_len));
    r.mac = mac;
    std::lock_guard<std::mutex> lock(retrans_lock_);
    retransmission_.push_back(std::move(r));
}

void AcTransmitManage::DeleteManageApRetransmission(const std::string& ip, int msg_type,
                                                    const std::string& mac) {
    std::lock_guard<std::mutex> lock(retrans_lock_);
    const auto it = std::find_if(retransmission_.begin(), retransmission_.end(),
                                 [&](const retransmission_info& r) {
                                     return r.ip == ip && r.mac == mac && r.msg_type == msg_type;
                                 });
    if (it != retransmission_.end()) {
        retransmission_.erase(it);
    }
}

void AcTransmitManage::CheckManageApRetransmission() {
    std::lock_guard<std::mutex> lock(retrans_lock_);
    for (auto it = retransmission_.begin(); it != retransmission_.end();) {
        if (it->remaining > 0) {
            --it->remaining;
            WRITE_LOG_INFO("retransmission count:%d", it->remaining);
            if (!IsNoRetransmitType(it->msg_type)) {
                SendPacketMutilcast(it->ip, static_cast<uint16_t>(it->msg_type), it->data,
                                    it->data_len, it->mac, false);
            }
            ++it;
        } else {
            WRITE_LOG_INFO("Retransmission times exceeded:%s", it->mac.c_str());
            it = retransmission_.erase(it);
        }
    }
}

std::size_t AcTransmitManage::GetRetransmissionCount() const {
    std::lock_guard<std::mutex> lock(retrans_lock_);
    return retransmission_.size();
}
