#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/wire.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <class T>
Bytes BytesOf(const T& record) {
    auto s = WireBytes(record);
    return Bytes(s.begin(), s.end());
}

std::string MacText(const uint8_t* m) {
    char buf[18];
    std::snprintf(buf, sizeof buf, "%02x:%02x:%02x:%02x:%02x:%02x", m[0], m[1], m[2], m[3], m[4],
                  m[5]);
    return buf;
}

constexpr std::array<uint8_t, 6> kMac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};

TEST(DatagramHeader, RoundTripsThroughTheWire) {
    const Bytes payload = {0xde, 0xad, 0xbe};
    std::array<uint8_t, kMaxDatagramSize> out{};
    const std::size_t n =
        BuildDatagram(out, MakeHeader(VALTO_APConfigRequest, kMac, 0, true), payload);
    ASSERT_EQ(n, kHeaderSize + payload.size());

    const Bytes expected = {0x88, 0x19,                          // magic 6536
                            0x00, 0x00,                          // ap_type: 0 from the PC
                            0x02, 0x00,                          // msg_type
                            0x01,                                // multicast
                            0x00,                                // reserved
                            0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e,  // target MAC, text order
                            0x03, 0x00,                          // data_len from the payload
                            0xde, 0xad, 0xbe};
    EXPECT_EQ(Bytes(out.begin(), out.begin() + n), expected);

    const std::span<const uint8_t> datagram(out.data(), n);
    const auto h = ParseHeader(datagram);
    ASSERT_TRUE(h.has_value());
    EXPECT_EQ(h->msg_type, VALTO_APConfigRequest);
    EXPECT_EQ(h->data_len, 3);
    EXPECT_EQ(h->mcast_flag, 1);
    EXPECT_EQ(MacText(h->mac), "00:1a:2b:3c:4d:5e");
    const auto p = DatagramPayload(datagram);
    EXPECT_EQ(Bytes(p.begin(), p.end()), payload);
}

TEST(DatagramHeader, DiscoveryBroadcastHasNoMacAndNoMulticastFlag) {
    std::array<uint8_t, kHeaderSize> out{};
    ASSERT_EQ(BuildDatagram(out, MakeHeader(VALTO_APDiscoverRequest, 0, false), {}), kHeaderSize);
    const Bytes expected = {0x88, 0x19, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(out.begin(), out.end()), expected);
}

TEST(DatagramHeader, AcceptsOnlySixteenTo1472BytesWithTheMagic) {
    auto datagram = [](std::size_t size, uint8_t b0, uint8_t b1) {
        Bytes d(size, 0);
        if (size > 0) d[0] = b0;
        if (size > 1) d[1] = b1;
        return d;
    };
    const struct {
        const char* what;
        Bytes bytes;
        bool accepted;
    } cases[] = {
        {"empty", {}, false},
        {"15 bytes", datagram(15, 0x88, 0x19), false},
        {"header only", datagram(16, 0x88, 0x19), true},
        {"largest", datagram(kMaxDatagramSize, 0x88, 0x19), true},
        {"one byte too long", datagram(kMaxDatagramSize + 1, 0x88, 0x19), false},
        {"magic byte-swapped", datagram(16, 0x19, 0x88), false},
        {"magic zero", datagram(40, 0x00, 0x00), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHeader(c.bytes).has_value(), c.accepted) << c.what;
    }
}

TEST(DatagramHeader, PayloadNeverReachesPastWhatArrived) {
    // data_len claims 100 bytes, only 4 came.
    Bytes d = {0x88, 0x19, 0, 0, 2, 0, 0, 0, 1, 2, 3, 4, 5, 6, 100, 0, 9, 8, 7, 6};
    EXPECT_EQ(DatagramPayload(d).size(), 4u);
    // data_len shorter than what arrived: data_len wins.
    d[14] = 2;
    EXPECT_EQ(DatagramPayload(d).size(), 2u);
}

TEST(DatagramHeader, BuildRefusesOversizedPayloadOrShortBuffer) {
    std::array<uint8_t, kMaxDatagramSize> out{};
    const Bytes largest(kMaxPayloadSize, 0x55);
    EXPECT_EQ(BuildDatagram(out, MakeHeader(VALTO_APIpSetRequest, 0, true), largest),
              kMaxDatagramSize);
    const Bytes too_large(kMaxPayloadSize + 1, 0x55);
    EXPECT_EQ(BuildDatagram(out, MakeHeader(VALTO_APIpSetRequest, 0, true), too_large), 0u);
    std::array<uint8_t, kHeaderSize + 1> small{};
    EXPECT_EQ(BuildDatagram(small, MakeHeader(VALTO_APIpSetRequest, 0, true), Bytes(2, 1)), 0u);
}

TEST(MessageTypes, LogNames) {
    const struct {
        uint16_t type;
        bool sent_by_pc;
        const char* name;
    } cases[] = {
        {1, false, "VALTO_APDiscoverRequest"},
        {3, true, "VALTO_APIpSetRequest"},
        {12, false, "VALTO_APUpgradeStatus"},
        {13, true, "VALTO_APVlanSetRequest"},
        {14, false, ""},
        {15, false, "VALTO_APHeartbeat"},
        {15, true, "VALTO_APHeartbeatAck"},
        {16, true, "VALTO_APUpgradeStartRequest"},
        {19, true, "VALTO_APTdMaenRequest"},
        {0, true, ""},
        {20, false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(MsgTypeName(c.type, c.sent_by_pc), c.name) << c.type;
    }
}

TEST(ByteOrder, IntegersAreLittleEndianAtAnyOffset) {
    ap_info_stu r{};
    r.wpapsk_key_time = 0x12345678u;  // odd offset 255
    r.restart_time = 0xABCDu;
    r.ap_status = -2;
    const Bytes b = BytesOf(r);
    EXPECT_EQ(Bytes(b.begin() + 255, b.begin() + 259), (Bytes{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(Bytes(b.begin() + 122, b.begin() + 124), (Bytes{0xCD, 0xAB}));
    EXPECT_EQ(Bytes(b.begin() + 20, b.begin() + 24), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(r.ap_status, -2);
    EXPECT_EQ(r.wpapsk_key_time, 0x12345678u);

    const uint8_t magic[] = {0x88, 0x19};
    EXPECT_EQ(ReadLe16(magic), kPacketMagic);
}

// Report bytes as a device puts them on the wire, filled by report offset.
Bytes SampleReport() {
    Bytes p(kConfigReportSize, 0);
    p[0] = 2;                      // work_mode: station
    WriteLe32(&p[4], 86400 + 61);  // up_time
    p[8] = 1;                      // ip_mode
    const uint8_t ip[] = {192, 168, 0, 254};
    std::memcpy(&p[9], ip, 4);       // ip
    p[29] = 1;                       // ip_flag
    std::memcpy(&p[30], "Roof", 4);  // ap_name
    p[62] = 4;                       // ap_name_len
    p[106] = 149;                    // channel
    p[164] = 3;                      // secure_mode
    WriteLe16(&p[734], 100);         // vlan_id
    p[742] = 1;                      // bridge_transparent
    p[754] = 1;                      // wl_dfs
    return p;
}

TEST(ConfigReport, LandsInTheRecordFromWorkModeOn) {
    ap_info_stu r;
    std::memset(&r, 0xAA, sizeof r);
    std::strcpy(r.mac, "00:1a:2b:3c:4d:5e");
    r.ap_type = 15;
    r.ap_status = 10;

    const Bytes report = SampleReport();
    CopyConfigReport(r, report);

    EXPECT_STREQ(r.mac, "00:1a:2b:3c:4d:5e");
    EXPECT_EQ(r.ap_type, 15);
    EXPECT_EQ(r.ap_status, 10);
    EXPECT_EQ(r.work_mode, 2);
    EXPECT_EQ(r.up_time, 86461u);
    char ip_text[16];
    std::snprintf(ip_text, sizeof ip_text, "%d.%d.%d.%d", r.ip[0], r.ip[1], r.ip[2], r.ip[3]);
    EXPECT_STREQ(ip_text, "192.168.0.254");
    EXPECT_EQ(std::string(r.ap_name, r.ap_name_len), "Roof");
    EXPECT_EQ(r.channel, 149);
    EXPECT_EQ(r.secure_mode, 3);
    EXPECT_EQ(r.vlan_id, 100);
    EXPECT_EQ(r.bridge_transparent, 1);
    EXPECT_EQ(r.wl_dfs, 1);

    const auto back = ConfigReportBytes(r);
    EXPECT_EQ(Bytes(back.begin(), back.end()), report);
}

TEST(ConfigReport, ShortOrLongPayloadUsesOnlyWhatFits) {
    ap_info_stu r;
    std::memset(&r, 0xAA, sizeof r);
    Bytes report = SampleReport();
    report.resize(30);  // up to ip_flag only
    CopyConfigReport(r, report);
    EXPECT_EQ(r.ip[3], 254);
    EXPECT_EQ(r.ap_name_len, 0);  // not sent: zero, not stale bytes
    EXPECT_EQ(r.wl_dfs, 0);
    EXPECT_EQ(static_cast<uint8_t>(r.mac[0]), 0xAA);  // local part untouched

    Bytes longer = SampleReport();
    longer.resize(kMaxPayloadSize, 0x77);
    ap_info_stu guard[2];
    std::memset(guard, 0x11, sizeof guard);
    CopyConfigReport(guard[0], longer);
    EXPECT_EQ(guard[0].wl_dfs, 1);
    EXPECT_EQ(static_cast<uint8_t>(guard[1].mac[0]), 0x11);  // nothing written past the record
}

TEST(RequestBlocks, TransparentBridgeAndTdmaRequestsSetOnlyTheirByte) {
    switch_block on{};
    on.bridge_transparent = 1;
    Bytes expected(14, 0);
    expected[0] = 1;
    EXPECT_EQ(BytesOf(on), expected);

    switch_block tdma{};
    tdma.tdmaEn = 1;
    expected = Bytes(14, 0);
    expected[1] = 1;
    EXPECT_EQ(BytesOf(tdma), expected);
}

TEST(RequestBlocks, ExtractedBlocksCarryTheReportRanges) {
    ap_info_stu r{};
    CopyConfigReport(r, SampleReport());
    const auto report = ConfigReportBytes(r);

    auto ip = ExtractBlock<ip_block>(r);
    EXPECT_EQ(BytesOf(ip), Bytes(report.begin() + 8, report.begin() + 30));
    auto sw = ExtractBlock<switch_block>(r);
    EXPECT_EQ(BytesOf(sw), Bytes(report.begin() + 742, report.end()));
    const auto wl = ExtractBlock<wireless_block>(r);
    EXPECT_EQ(BytesOf(wl), Bytes(report.begin() + 100, report.begin() + 428));

    // A VLAN request carries its flag where the record keeps a reserved byte.
    auto vlan = ExtractBlock<vlan_block>(r);
    EXPECT_EQ(vlan.vlan_id, 100);
    vlan.vlan_flag = 1;
    const Bytes vb = BytesOf(vlan);
    EXPECT_EQ(vb[8], 1);
    EXPECT_EQ(Bytes(vb.begin() + 2, vb.begin() + 4), (Bytes{100, 0}));

    // Edits go back into the record at the same place.
    ip.ip[3] = 10;
    StoreBlock(r, ip);
    EXPECT_EQ(r.ip[3], 10);
    EXPECT_EQ(r.ap_name_len, 4);
}

TEST(RequestBlocks, Wpa2PskBridgeOrder) {
    config_bridge b{};
    const uint8_t peer[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    b.bridge_work_mode = 2;
    std::memcpy(b.bridge_mac, peer, 6);
    b.bridge_channel = 0;
    std::memcpy(b.bridge_ssid, "Backhaul-5G", 11);
    b.bridge_ssid_len = 11;
    b.secure_mode = 3;  // WPA2-PSK
    b.wpapsk_auth_type = 0;
    std::memcpy(b.wpapsk_key_value, "secret-key", 10);
    b.wpapsk_key_value_len = 10;
    b.wpapsk_key_time = 3600;
    b.ip_settings.ip_mode = 1;
    const uint8_t ip[4] = {203, 0, 113, 7};
    std::memcpy(b.ip_settings.ip, ip, 4);

    const Bytes w = BytesOf(b);
    ASSERT_EQ(w.size(), 328u);
    EXPECT_EQ(w[0], 2);
    EXPECT_EQ(Bytes(w.begin() + 1, w.begin() + 7), Bytes(peer, peer + 6));
    EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 19), "Backhaul-5G");
    EXPECT_EQ(w[40], 11);  // SSID length
    EXPECT_EQ(w[41], 0);   // reserved, not the security mode
    EXPECT_EQ(w[42], 3);   // WPA2-PSK
    EXPECT_EQ(std::string(w.begin() + 44, w.begin() + 54), "secret-key");
    EXPECT_EQ(w[108], 10);
    EXPECT_EQ(Bytes(w.begin() + 109, w.begin() + 113), (Bytes{0x10, 0x0E, 0, 0}));
    EXPECT_EQ(w[304], 1);
    EXPECT_EQ(Bytes(w.begin() + 305, w.begin() + 309), Bytes(ip, ip + 4));
    EXPECT_EQ(w[325], 0);  // ip_flag 0 inside the bridge order
    EXPECT_EQ(w[326], 0);
}

TEST(SiteSurvey, UsesOnlyWholeEntriesThatArrived) {
    const std::size_t entry = sizeof(config_otherwl_basic);
    const struct {
        uint8_t icount;
        std::size_t received;
        std::size_t usable;
    } cases[] = {
        {0, 3, 0},                   // empty last datagram
        {3, 3 + 3 * entry, 3},       //
        {3, 3 + 2 * entry + 10, 2},  // third entry cut short
        {5, 2, 0},                   // not even the three counters
        {40, 3 + 40 * entry, 32},    // more than the record holds
        {32, sizeof(site_survey_answer), 32},
    };
    for (const auto& c : cases) {
        site_survey_answer a{};
        a.icount = c.icount;
        EXPECT_EQ(UsableSurveyEntries(a, c.received), c.usable)
            << int(c.icount) << " / " << c.received;
    }
}

TEST(SiteSurvey, LongPayloadLoadsWithoutOverrun) {
    Bytes payload(1414, 0);
    payload[0] = 3;  // packet_count
    payload[1] = 2;  // packet_id
    payload[2] = 32;
    payload[3 + 31 * 44 + 9] = 'Z';  // last entry's ssid
    const auto a = LoadWire<site_survey_answer>(payload);
    EXPECT_EQ(a.packet_id, 2);
    EXPECT_EQ(a.entries[31].ssid[0], 'Z');
}

TEST(PacketInfo, SenderMatchesTheSocketAddressLayout) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(kConfigPort);
    ASSERT_EQ(inet_pton(AF_INET, "198.51.100.23", &sa.sin_addr), 1);
    static_assert(sizeof sa == sizeof(ap_packet_info{}.from));

    ap_packet_info received{};
    std::memcpy(received.from, &sa, sizeof sa);
    EXPECT_EQ(SenderIp(received), (std::array<uint8_t, 4>{198, 51, 100, 23}));
    EXPECT_EQ(SenderPort(received), kConfigPort);

    ap_packet_info built{};
    SetSender(built, {198, 51, 100, 23}, kConfigPort);
    EXPECT_EQ(0, std::memcmp(built.from, received.from, sizeof built.from));
}

TEST(PacketInfo, PayloadIsClampedToTheLargestPayload) {
    ap_packet_info info{};
    const auto h = MakeHeader(VALTO_APConfigRequest, 2000, true);
    std::memcpy(info.packet, &h, sizeof h);
    EXPECT_EQ(PacketHeader(info).msg_type, VALTO_APConfigRequest);
    EXPECT_EQ(PacketPayload(info).size(), kMaxPayloadSize);
}

TEST(ArpFrame, NetworkOrderFields) {
    arp_announce_frame f{};
    const uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    const uint8_t addr[4] = {192, 168, 1, 10};
    std::memset(f.eth_dest, 0xff, 6);
    std::memcpy(f.eth_source, mac, 6);
    f.ether_type = kEtherTypeArp;
    f.hw_type = kArpHwEthernet;
    f.proto_type = kEtherTypeIpv4;
    f.hw_len = 6;
    f.proto_len = 4;
    f.operation = kArpOpRequest;
    std::memcpy(f.sender_mac, mac, 6);
    std::memcpy(f.sender_ip, addr, 4);
    std::memset(f.target_mac, 0xff, 6);
    std::memcpy(f.target_ip, addr, 4);

    const Bytes w = BytesOf(f);
    ASSERT_EQ(w.size(), 60u);
    EXPECT_EQ(Bytes(w.begin() + 12, w.begin() + 22),
              (Bytes{0x08, 0x06, 0x00, 0x01, 0x08, 0x00, 6, 4, 0x00, 0x01}));
    EXPECT_EQ(Bytes(w.begin() + 6, w.begin() + 12), Bytes(mac, mac + 6));
    EXPECT_EQ(Bytes(w.begin() + 22, w.begin() + 28), Bytes(mac, mac + 6));
    EXPECT_EQ(Bytes(w.begin() + 28, w.begin() + 32), Bytes(addr, addr + 4));
    EXPECT_EQ(Bytes(w.begin() + 38, w.begin() + 42), Bytes(addr, addr + 4));
}

}  // namespace
