#include "common/wire.h"

namespace {

// Family word of a sockaddr_in as Linux lays it out (host order); AF_INET is 2.
constexpr uint16_t kAfInet = 2;

}  // namespace

const char* MsgTypeName(uint16_t msg_type, bool sent_by_pc) {
    switch (msg_type) {
        case VALTO_APDiscoverRequest:
            return "VALTO_APDiscoverRequest";
        case VALTO_APConfigRequest:
            return "VALTO_APConfigRequest";
        case VALTO_APIpSetRequest:
            return "VALTO_APIpSetRequest";
        case VALTO_APWirelessSetRequest:
            return "VALTO_APWirelessSetRequest";
        case VALTO_APTimeRebootRequest:
            return "VALTO_APTimeRebootRequest";
        case VALTO_APSearchApRequest:
            return "VALTO_APSearchApRequest";
        case VALTO_APBridgeSetRequest:
            return "VALTO_APBridgeSetRequest";
        case VALTO_APNameSetRequest:
            return "VALTO_APNameSetRequest";
        case VALTO_APRebootRequest:
            return "VALTO_APRebootRequest";
        case VALTO_APRestoreRequest:
            return "VALTO_APRestoreRequest";
        case VALTO_APUpgradeRequest:
            return "VALTO_APUpgradeRequest";
        case VALTO_APUpgradeStatus:
            return "VALTO_APUpgradeStatus";
        case VALTO_APVlanSetRequest:
            return "VALTO_APVlanSetRequest";
        case VALTO_APHeartbeat:
            return sent_by_pc ? "VALTO_APHeartbeatAck" : "VALTO_APHeartbeat";
        case VALTO_APUpgradeStartRequest:
            return "VALTO_APUpgradeStartRequest";
        case VALTO_APReleaseRequest:
            return "VALTO_APReleaseRequest";
        case VALTO_APTransparentBridgeRequest:
            return "VALTO_APTransparentBridgeRequest";
        case VALTO_APTdMaenRequest:
            return "VALTO_APTdMaenRequest";
        default:
            return "";
    }
}

std::span<const uint8_t, kConfigReportSize> ConfigReportBytes(const ap_info_stu& record) {
    return WireBytes(record).subspan<kConfigReportOffset, kConfigReportSize>();
}

std::span<uint8_t, kConfigReportSize> ConfigReportBytes(ap_info_stu& record) {
    return WireBytes(record).subspan<kConfigReportOffset, kConfigReportSize>();
}

void CopyConfigReport(ap_info_stu& record, std::span<const uint8_t> payload) {
    auto report = ConfigReportBytes(record);
    const std::size_t n = std::min(payload.size(), report.size());
    std::memcpy(report.data(), payload.data(), n);
    std::memset(report.data() + n, 0, report.size() - n);
}

std::size_t UsableSurveyEntries(const site_survey_answer& answer, std::size_t received) {
    constexpr std::size_t kHead = offsetof(site_survey_answer, entries);
    const std::size_t whole =
        received > kHead ? (received - kHead) / sizeof(config_otherwl_basic) : 0;
    return std::min({static_cast<std::size_t>(answer.icount), kMaxSurveyEntries, whole});
}

datagram_header MakeHeader(uint16_t msg_type, std::span<const uint8_t, 6> mac, uint16_t data_len,
                           bool mcast) {
    datagram_header h = MakeHeader(msg_type, data_len, mcast);
    std::memcpy(h.mac, mac.data(), sizeof h.mac);
    return h;
}

datagram_header MakeHeader(uint16_t msg_type, uint16_t data_len, bool mcast) {
    datagram_header h{};
    h.magic = kPacketMagic;
    h.msg_type = msg_type;
    h.mcast_flag = mcast ? 1 : 0;
    h.data_len = data_len;
    return h;
}

std::size_t BuildDatagram(std::span<uint8_t> out, datagram_header header,
                          std::span<const uint8_t> payload) {
    const std::size_t total = kHeaderSize + payload.size();
    if (payload.size() > kMaxPayloadSize || out.size() < total) {
        return 0;
    }
    header.data_len = static_cast<uint16_t>(payload.size());
    std::memcpy(out.data(), &header, kHeaderSize);
    if (!payload.empty()) {
        std::memcpy(out.data() + kHeaderSize, payload.data(), payload.size());
    }
    return total;
}

std::optional<datagram_header> ParseHeader(std::span<const uint8_t> datagram) {
    if (datagram.size() < kHeaderSize || datagram.size() > kMaxDatagramSize) {
        return std::nullopt;
    }
    auto h = LoadWire<datagram_header>(datagram);
    if (h.magic != kPacketMagic) {
        return std::nullopt;
    }
    return h;
}

std::span<const uint8_t> DatagramPayload(std::span<const uint8_t> datagram) {
    if (datagram.size() < kHeaderSize) {
        return {};
    }
    const auto h = LoadWire<datagram_header>(datagram);
    const std::size_t n = std::min<std::size_t>(h.data_len, datagram.size() - kHeaderSize);
    return datagram.subspan(kHeaderSize, n);
}

datagram_header PacketHeader(const ap_packet_info& info) {
    return LoadWire<datagram_header>(info.packet);
}

std::span<const uint8_t> PacketPayload(const ap_packet_info& info) {
    const std::size_t n = std::min<std::size_t>(PacketHeader(info).data_len, kMaxPayloadSize);
    return std::span<const uint8_t>(info.packet + kHeaderSize, n);
}

std::array<uint8_t, 4> SenderIp(const ap_packet_info& info) {
    return {info.from[4], info.from[5], info.from[6], info.from[7]};
}

uint16_t SenderPort(const ap_packet_info& info) { return ReadBe16(info.from + 2); }

void SetSender(ap_packet_info& info, std::array<uint8_t, 4> ip, uint16_t port) {
    std::memset(info.from, 0, sizeof info.from);
    std::memcpy(info.from, &kAfInet, sizeof kAfInet);
    WriteBe16(info.from + 2, port);
    std::memcpy(info.from + 4, ip.data(), ip.size());
}
