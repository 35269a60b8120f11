#pragma once
// The device protocol's byte layouts: datagram header, device reports, request payloads and
// the ARP announcement frame. Every builder and parser in the program uses these records, so
// a layout lives here once.
//
// Conventions of every record below:
// - byte-packed, alignment 1, no padding; sizes and field offsets are checked at compile time;
// - 16- and 32-bit integers are LeU16 / LeU32 / LeI32 (ByteOrder.h): little-endian bytes that
//   read and assign like plain integers (`r.up_time = 60; uint32_t t = r.up_time;`), never an
//   unaligned integer access; use `.get()` when passing one to a printf-style function;
// - IPv4 addresses are `uint8_t[4]`, first octet first; MAC addresses are `uint8_t[6]` in the
//   order of their text form;
// - a text is a `char[N]` that need not be zero-terminated, followed by its `_len` byte;
// - reserved bytes are named `reserved_<offset>` after their offset in their own record.
//
// To send a record, take WireBytes(r); to read one from a received payload, use
// LoadWire<T>(payload), which copies at most sizeof(T) bytes and zero-fills the rest.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <type_traits>

#include "common/ByteOrder.h"

// ---------------------------------------------------------------------------------------------
// Ports, addresses and sizes.

inline constexpr uint16_t kDiscoverRecvPort = 9785;  // devices answer discovery here
inline constexpr uint16_t kDiscoverSendPort = 9786;  // discovery broadcasts go to this port
inline constexpr uint16_t kHeartbeatPort = 9787;     // heartbeats in; multicast requests out
inline constexpr uint16_t kConfigPort = 9788;        // every other device datagram
inline constexpr char kMulticastGroup[] = "239.255.255.250";
inline constexpr char kBroadcastAll[] = "255.255.255.255";

inline constexpr uint16_t kPacketMagic = 6536;  // 0x1988: bytes 0x88 0x19 on the wire
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kMaxDatagramSize = 1472;
inline constexpr std::size_t kMaxPayloadSize = kMaxDatagramSize - kHeaderSize;  // 1456

// ---------------------------------------------------------------------------------------------
// Message types. A device answers with the number of the request it answers.

enum MsgType : uint16_t {
    VALTO_APDiscoverRequest = 1,
    VALTO_APConfigRequest = 2,
    VALTO_APIpSetRequest = 3,
    VALTO_APWirelessSetRequest = 4,
    VALTO_APTimeRebootRequest = 5,
    VALTO_APSearchApRequest = 6,
    VALTO_APBridgeSetRequest = 7,
    VALTO_APNameSetRequest = 8,
    VALTO_APRebootRequest = 9,
    VALTO_APRestoreRequest = 10,
    VALTO_APUpgradeRequest = 11,
    VALTO_APUpgradeStatus = 12,
    VALTO_APVlanSetRequest = 13,
    // 14 has no name: devices may send it, it is ignored.
    VALTO_APHeartbeat = 15,     // device to PC
    VALTO_APHeartbeatAck = 15,  // the PC's acknowledgement, same number
    VALTO_APUpgradeStartRequest = 16,
    VALTO_APReleaseRequest = 17,
    VALTO_APTransparentBridgeRequest = 18,
    VALTO_APTdMaenRequest = 19,
};

inline constexpr uint16_t kMsgTypeCount = 19;  // numbers 1 to 19

// The name used in log lines, "" for 14 and for numbers outside 1 to 19. Type 15 is
// "VALTO_APHeartbeat" as received and "VALTO_APHeartbeatAck" as sent by the PC.
const char* MsgTypeName(uint16_t msg_type, bool sent_by_pc = false);

#pragma pack(push, 1)

// ---------------------------------------------------------------------------------------------
// Datagram header: 16 bytes in front of every payload.

struct datagram_header {
    LeU16 magic;         // kPacketMagic
    LeU16 ap_type;       // device to PC: its type code; PC to device: 0
    LeU16 msg_type;      // MsgType
    uint8_t mcast_flag;  // PC to device: 1 through the multicast group, 0 on discovery
    uint8_t reserved_7;
    uint8_t mac[6];  // target (PC to device, zero on discovery) or sender (device to PC)
    LeU16 data_len;  // payload bytes that follow
};

// ---------------------------------------------------------------------------------------------
// One received datagram as the receive threads queue it.
//
// `from` holds the sender's socket address exactly as recvfrom() filled a sockaddr_in
// (family in host order, port and address in network order, 8 zero bytes). It is kept as raw
// bytes so this header needs no socket headers; use SenderIp / SenderPort / SetSender.

struct ap_packet_info {
    uint8_t from[16];
    uint8_t packet[kMaxDatagramSize];  // zero-filled behind the received length
};

// ---------------------------------------------------------------------------------------------
// Short report, sent with a discovery answer (type 1) and with every heartbeat (type 15).
// Devices may send fewer than 112 bytes.

struct ap_brief_info {
    char version[32];
    uint8_t version_len;
    uint8_t work_mode;
    uint8_t mode_btn_status;
    uint8_t reserved_35;
    LeU32 up_time;
    char ap_name[32];
    uint8_t ap_name_len;
    char ssid[32];
    uint8_t ssid_len;
    uint8_t channel;
    uint8_t bridge_transparent;
    uint8_t tdmaEn;
    uint8_t reserved_109[3];
};

// A discovery answer of at most this many payload bytes carries only version and version_len.
inline constexpr std::size_t kBriefVersionOnlyLen = 33;

// ---------------------------------------------------------------------------------------------
// Device record. Bytes 0 to 23 are filled locally (MAC text, type, status); from `work_mode`
// on the record is byte for byte the configuration report (type 2) payload, so the report is
// not declared separately: it is ConfigReportBytes() of a record.

struct ap_info_stu {
    char mac[18];  // "%02x:%02x:%02x:%02x:%02x:%02x", zero-terminated
    LeU16 ap_type;
    LeI32 ap_status;  // not in the report; 10 marks a pending device
    // --- configuration report from here (report offset = record offset - 24) ---
    uint8_t work_mode;
    uint8_t mode_btn_status;
    uint8_t reserved_26[2];
    LeU32 up_time;
    // IP block: record 32 to 53
    uint8_t ip_mode;
    uint8_t ip[4];
    uint8_t ip_mask[4];
    uint8_t ip_gateway[4];
    uint8_t ip_dns1[4];
    uint8_t ip_dns2[4];
    uint8_t ip_flag;
    // device name block: record 54 to 86
    char ap_name[32];
    uint8_t ap_name_len;
    char version[32];
    uint8_t version_len;
    // scheduled-reboot block: record 120 to 123
    uint8_t restart_en;
    uint8_t restart_type;
    LeU16 restart_time;
    // wireless block: record 124 to 451
    uint8_t rf_count;
    uint8_t rf_en;
    uint8_t rf_type;
    uint8_t country_code;
    uint8_t network_mode;
    uint8_t bandwidth;
    uint8_t channel;
    uint8_t expand_channel;
    uint8_t tx_power;
    uint8_t tx_power_min;
    uint8_t tx_power_max;
    uint8_t reserved_135[11];
    uint8_t ssid_rf_type;
    uint8_t ssid_id;
    uint8_t ssid_hide;
    uint8_t ssid_mac[6];
    char ssid[32];
    uint8_t ssid_len;
    // security fields, also carried by config_bridge: record 188 to 449
    uint8_t secure_mode;
    uint8_t wpapsk_auth_type;
    char wpapsk_key_value[64];
    uint8_t wpapsk_key_value_len;
    LeU32 wpapsk_key_time;
    uint8_t wep_auth_type;
    uint8_t wep_key_index;
    uint8_t wep_key_type0;
    char wep_key_value0[26];
    uint8_t wep_key_value0_len;
    uint8_t wep_key_type1;
    char wep_key_value1[26];
    uint8_t wep_key_value1_len;
    uint8_t wep_key_type2;
    char wep_key_value2[26];
    uint8_t wep_key_value2_len;
    uint8_t wep_key_type3;
    char wep_key_value3[26];
    uint8_t wep_key_value3_len;
    uint8_t reserved_373;
    uint8_t wpa_radius_ip[4];
    LeU16 wpa_radius_port;
    uint8_t wpa_auth_type;
    char wpa_key[64];
    uint8_t wpa_key_len;
    LeU32 wpa_key_time;
    uint8_t ssid_count;
    uint8_t reserved_451;
    // bridge link, also carried by config_bridge: record 452 to 492
    uint8_t bridge_work_mode;
    uint8_t bridge_mac[6];
    uint8_t bridge_channel;
    char bridge_ssid[32];
    uint8_t bridge_ssid_len;
    uint8_t reserved_493[263];
    // VLAN block: record 756 to 765
    uint8_t vlan_en;
    uint8_t reserved_757;
    LeU16 vlan_id;
    LeU16 vlan_id_wlan;
    LeU16 vlan_id_lan;
    uint8_t reserved_764[2];
    // switch block: record 766 to 779
    uint8_t bridge_transparent;
    uint8_t tdmaEn;
    LeU16 vlan_pvid;
    LeU16 vlan_id_lan3;
    LeU16 vlan_id_lan4;
    uint8_t reserved_774[4];
    uint8_t wl_dfs;
    uint8_t reserved_779;
};

inline constexpr std::size_t kConfigReportOffset = 24;  // offsetof(ap_info_stu, work_mode)
inline constexpr std::size_t kConfigReportSize = 756;

// ---------------------------------------------------------------------------------------------
// Site survey (type 6 answer): one wireless network seen by the device, and one answer
// datagram of at most 32 of them.

struct config_otherwl_basic {
    uint8_t mac[6];
    uint8_t signal;
    uint8_t channel;
    uint8_t secure_mode;
    char ssid[32];
    uint8_t ssid_len;
    uint8_t exchannel;
    uint8_t bandwidth;
};

inline constexpr std::size_t kMaxSurveyEntries = 32;

struct site_survey_answer {
    uint8_t packet_count;  // datagrams in this survey answer
    uint8_t packet_id;     // 0-based index of this one
    uint8_t icount;        // entries in this one
    config_otherwl_basic entries[kMaxSurveyEntries];
};

// ---------------------------------------------------------------------------------------------
// Request blocks. Most are slices of ap_info_stu; kRecordOffset says where, and ExtractBlock /
// StoreBlock copy between a record and a block. Their fields are checked against the record's.

// Type 3; also bytes 304 to 325 of config_bridge.
struct ip_block {
    static constexpr std::size_t kRecordOffset = 32;
    uint8_t ip_mode;
    uint8_t ip[4];
    uint8_t ip_mask[4];
    uint8_t ip_gateway[4];
    uint8_t ip_dns1[4];
    uint8_t ip_dns2[4];
    uint8_t ip_flag;
};

// Type 5.
struct reboot_block {
    static constexpr std::size_t kRecordOffset = 120;
    uint8_t restart_en;
    uint8_t restart_type;  // day bits
    LeU16 restart_time;    // minutes after midnight
};

// Type 8.
struct name_block {
    static constexpr std::size_t kRecordOffset = 54;
    char ap_name[32];
    uint8_t ap_name_len;
};

// Type 4 (the first 328 bytes).
struct wireless_block {
    static constexpr std::size_t kRecordOffset = 124;
    uint8_t rf_count;
    uint8_t rf_en;
    uint8_t rf_type;
    uint8_t country_code;
    uint8_t network_mode;
    uint8_t bandwidth;
    uint8_t channel;
    uint8_t expand_channel;
    uint8_t tx_power;
    uint8_t tx_power_min;
    uint8_t tx_power_max;
    uint8_t reserved_11[11];
    uint8_t ssid_rf_type;
    uint8_t ssid_id;
    uint8_t ssid_hide;
    uint8_t ssid_mac[6];
    char ssid[32];
    uint8_t ssid_len;
    uint8_t secure_mode;
    uint8_t wpapsk_auth_type;
    char wpapsk_key_value[64];
    uint8_t wpapsk_key_value_len;
    LeU32 wpapsk_key_time;
    uint8_t wep_auth_type;
    uint8_t wep_key_index;
    uint8_t wep_key_type0;
    char wep_key_value0[26];
    uint8_t wep_key_value0_len;
    uint8_t wep_key_type1;
    char wep_key_value1[26];
    uint8_t wep_key_value1_len;
    uint8_t wep_key_type2;
    char wep_key_value2[26];
    uint8_t wep_key_value2_len;
    uint8_t wep_key_type3;
    char wep_key_value3[26];
    uint8_t wep_key_value3_len;
    uint8_t reserved_249;
    uint8_t wpa_radius_ip[4];
    LeU16 wpa_radius_port;
    uint8_t wpa_auth_type;
    char wpa_key[64];
    uint8_t wpa_key_len;
    LeU32 wpa_key_time;
    uint8_t ssid_count;
    uint8_t reserved_327;
};

// Type 13 (the first 10 bytes). `vlan_flag` sits where the record has a reserved byte.
struct vlan_block {
    static constexpr std::size_t kRecordOffset = 756;
    uint8_t vlan_en;
    uint8_t reserved_1;
    LeU16 vlan_id;
    LeU16 vlan_id_wlan;
    LeU16 vlan_id_lan;
    uint8_t vlan_flag;
    uint8_t reserved_9;
};

// Types 18 and 19, and the tail of the longer type 4 and type 13 requests.
struct switch_block {
    static constexpr std::size_t kRecordOffset = 766;
    uint8_t bridge_transparent;
    uint8_t tdmaEn;
    LeU16 vlan_pvid;
    LeU16 vlan_id_lan3;
    LeU16 vlan_id_lan4;
    uint8_t reserved_8[4];
    uint8_t wl_dfs;
    uint8_t reserved_13;
};

// Type 4 for the device types that take the switch block too (342 bytes).
struct wireless_switch_block {
    wireless_block wireless;
    switch_block switches;
};

// Type 13 for the device types that take the switch block too (24 bytes).
struct vlan_switch_block {
    vlan_block vlan;
    switch_block switches;
};

// Type 7: the bridge order. Bytes 0 to 40 are the record's bridge link (452 to 492), bytes 42
// to 303 its security fields (188 to 449); the wizard's security page fills bytes 0 to 303,
// its IP page `ip_settings`.
struct config_bridge {
    uint8_t bridge_work_mode;  // 2: station
    uint8_t bridge_mac[6];
    uint8_t bridge_channel;  // 0: automatic
    char bridge_ssid[32];
    uint8_t bridge_ssid_len;
    uint8_t reserved_41;
    uint8_t secure_mode;
    uint8_t wpapsk_auth_type;
    char wpapsk_key_value[64];
    uint8_t wpapsk_key_value_len;
    LeU32 wpapsk_key_time;
    uint8_t wep_auth_type;
    uint8_t wep_key_index;
    uint8_t wep_key_type0;
    char wep_key_value0[26];
    uint8_t wep_key_value0_len;
    uint8_t wep_key_type1;
    char wep_key_value1[26];
    uint8_t wep_key_value1_len;
    uint8_t wep_key_type2;
    char wep_key_value2[26];
    uint8_t wep_key_value2_len;
    uint8_t wep_key_type3;
    char wep_key_value3[26];
    uint8_t wep_key_value3_len;
    uint8_t reserved_227;
    uint8_t wpa_radius_ip[4];
    LeU16 wpa_radius_port;
    uint8_t wpa_auth_type;
    char wpa_key[64];
    uint8_t wpa_key_len;
    LeU32 wpa_key_time;
    ip_block ip_settings;  // ip_flag 0 here
    uint8_t reserved_326;  // no value of its own is sent here: 0
    uint8_t reserved_327;
};

inline constexpr std::size_t kBridgeSecurityBlockSize = 304;  // bytes 0 to 303

// Type 11. A one-byte length, so a name longer than 255 bytes cannot be ordered.
struct upgrade_order {
    char file_name[260];  // without folder, zero-filled
    uint8_t file_name_len;
    uint8_t reserved_261[3];
    LeU32 file_size;  // 0 when the file cannot be opened
};

// ---------------------------------------------------------------------------------------------
// ARP announcement: a broadcast ARP request for the PC's own address (network byte order).

struct arp_announce_frame {
    uint8_t eth_dest[6];    // ff:ff:ff:ff:ff:ff
    uint8_t eth_source[6];  // adapter MAC
    BeU16 ether_type;       // 0x0806
    BeU16 hw_type;          // 1, Ethernet
    BeU16 proto_type;       // 0x0800, IPv4
    uint8_t hw_len;         // 6
    uint8_t proto_len;      // 4
    BeU16 operation;        // 1, request
    uint8_t sender_mac[6];  // adapter MAC
    uint8_t sender_ip[4];   // local address
    uint8_t target_mac[6];  // ff:ff:ff:ff:ff:ff
    uint8_t target_ip[4];   // local address again
    uint8_t padding[18];    // zero
};

#pragma pack(pop)

inline constexpr uint16_t kEtherTypeArp = 0x0806;
inline constexpr uint16_t kEtherTypeIpv4 = 0x0800;
inline constexpr uint16_t kArpHwEthernet = 1;
inline constexpr uint16_t kArpOpRequest = 1;
inline constexpr std::size_t kArpFrameSize = 60;

// ---------------------------------------------------------------------------------------------
// Helpers over records and datagrams. All are pure functions over bytes.

// A record's bytes as they go on the wire.
template <class T>
std::span<const uint8_t, sizeof(T)> WireBytes(const T& record) {
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) == 1);
    return std::span<const uint8_t, sizeof(T)>(reinterpret_cast<const uint8_t*>(&record),
                                               sizeof(T));
}

template <class T>
std::span<uint8_t, sizeof(T)> WireBytes(T& record) {
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) == 1);
    return std::span<uint8_t, sizeof(T)>(reinterpret_cast<uint8_t*>(&record), sizeof(T));
}

// A record from received bytes: at most sizeof(T) bytes are used, missing ones read as zero.
template <class T>
T LoadWire(std::span<const uint8_t> bytes) {
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) == 1);
    T record{};
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof(T)));
    return record;
}

// The configuration report part of a record (756 bytes from `work_mode` on).
std::span<const uint8_t, kConfigReportSize> ConfigReportBytes(const ap_info_stu& record);
std::span<uint8_t, kConfigReportSize> ConfigReportBytes(ap_info_stu& record);

// Copies a received configuration report into the record from `work_mode` on: at most 756
// bytes; report bytes that did not arrive are zeroed. Bytes 0 to 23 are left alone.
void CopyConfigReport(ap_info_stu& record, std::span<const uint8_t> payload);

// Copies a request block out of, or back into, its place in a record.
template <class Block>
Block ExtractBlock(const ap_info_stu& record) {
    static_assert(Block::kRecordOffset + sizeof(Block) <= sizeof(ap_info_stu));
    Block block;
    std::memcpy(&block, WireBytes(record).data() + Block::kRecordOffset, sizeof(Block));
    return block;
}

template <class Block>
void StoreBlock(ap_info_stu& record, const Block& block) {
    static_assert(Block::kRecordOffset + sizeof(Block) <= sizeof(ap_info_stu));
    std::memcpy(WireBytes(record).data() + Block::kRecordOffset, &block, sizeof(Block));
}

// Survey entries actually present in an answer of `received` payload bytes: icount, but no
// more than 32 and no more than the whole entries that arrived.
std::size_t UsableSurveyEntries(const site_survey_answer& answer, std::size_t received);

// A header for the PC to send: magic, msg_type, mac (zero when none is given), data_len,
// mcast_flag; ap_type and reserved zero.
datagram_header MakeHeader(uint16_t msg_type, std::span<const uint8_t, 6> mac, uint16_t data_len,
                           bool mcast);
datagram_header MakeHeader(uint16_t msg_type, uint16_t data_len, bool mcast);

// Writes header and payload into `out`, setting data_len to the payload's size. Returns the
// datagram length, or 0 when the payload exceeds 1456 bytes or `out` is too small.
std::size_t BuildDatagram(std::span<uint8_t> out, datagram_header header,
                          std::span<const uint8_t> payload);

// The header of an acceptable datagram: 16 to 1472 bytes and the right magic. Anything else
// gives nullopt (and is dropped without a log line by the receivers).
std::optional<datagram_header> ParseHeader(std::span<const uint8_t> datagram);

// The payload of an accepted datagram: data_len bytes after the header, but never more than
// actually arrived.
std::span<const uint8_t> DatagramPayload(std::span<const uint8_t> datagram);

// Queued packets: header and payload (data_len clamped to 1456; bytes behind the received
// length read as zero), sender address.
datagram_header PacketHeader(const ap_packet_info& info);
std::span<const uint8_t> PacketPayload(const ap_packet_info& info);
std::array<uint8_t, 4> SenderIp(const ap_packet_info& info);
uint16_t SenderPort(const ap_packet_info& info);
void SetSender(ap_packet_info& info, std::array<uint8_t, 4> ip, uint16_t port);

// ---------------------------------------------------------------------------------------------
// Compile-time layout checks.

#define WIRE_AT(T, field, off) static_assert(offsetof(T, field) == (off), #T "::" #field)
// A field of the configuration report, at its report offset (record offset - 24).
#define REPORT_AT(field, off) \
    static_assert(offsetof(ap_info_stu, field) - kConfigReportOffset == (off), "report " #field)
// A block field that mirrors a record field: same relative place in both.
#define MIRRORS(T, field, record_base)                                                  \
    static_assert(offsetof(T, field) + (record_base) == offsetof(ap_info_stu, field) && \
                      sizeof(T::field) == sizeof(ap_info_stu::field),                   \
                  #T "::" #field " mirrors the record")

static_assert(sizeof(datagram_header) == kHeaderSize);
WIRE_AT(datagram_header, magic, 0);
WIRE_AT(datagram_header, ap_type, 2);
WIRE_AT(datagram_header, msg_type, 4);
WIRE_AT(datagram_header, mcast_flag, 6);
WIRE_AT(datagram_header, reserved_7, 7);
WIRE_AT(datagram_header, mac, 8);
WIRE_AT(datagram_header, data_len, 14);

static_assert(sizeof(ap_packet_info) == 16 + kMaxDatagramSize);
WIRE_AT(ap_packet_info, from, 0);
WIRE_AT(ap_packet_info, packet, 16);

static_assert(sizeof(ap_brief_info) == 112);
WIRE_AT(ap_brief_info, version, 0);
WIRE_AT(ap_brief_info, version_len, 32);
WIRE_AT(ap_brief_info, work_mode, 33);
WIRE_AT(ap_brief_info, mode_btn_status, 34);
WIRE_AT(ap_brief_info, reserved_35, 35);
WIRE_AT(ap_brief_info, up_time, 36);
WIRE_AT(ap_brief_info, ap_name, 40);
WIRE_AT(ap_brief_info, ap_name_len, 72);
WIRE_AT(ap_brief_info, ssid, 73);
WIRE_AT(ap_brief_info, ssid_len, 105);
WIRE_AT(ap_brief_info, channel, 106);
WIRE_AT(ap_brief_info, bridge_transparent, 107);
WIRE_AT(ap_brief_info, tdmaEn, 108);
WIRE_AT(ap_brief_info, reserved_109, 109);

// The device record.
static_assert(sizeof(ap_info_stu) == 780);
static_assert(sizeof(ap_info_stu) - kConfigReportOffset == kConfigReportSize);
WIRE_AT(ap_info_stu, mac, 0);
WIRE_AT(ap_info_stu, ap_type, 18);
WIRE_AT(ap_info_stu, ap_status, 20);
WIRE_AT(ap_info_stu, work_mode, kConfigReportOffset);
WIRE_AT(ap_info_stu, mode_btn_status, 25);
WIRE_AT(ap_info_stu, reserved_26, 26);
WIRE_AT(ap_info_stu, up_time, 28);
WIRE_AT(ap_info_stu, ip_mode, 32);
WIRE_AT(ap_info_stu, ip, 33);
WIRE_AT(ap_info_stu, ip_mask, 37);
WIRE_AT(ap_info_stu, ip_gateway, 41);
WIRE_AT(ap_info_stu, ip_dns1, 45);
WIRE_AT(ap_info_stu, ip_dns2, 49);
WIRE_AT(ap_info_stu, ip_flag, 53);
WIRE_AT(ap_info_stu, ap_name, 54);
WIRE_AT(ap_info_stu, ap_name_len, 86);
WIRE_AT(ap_info_stu, version, 87);
WIRE_AT(ap_info_stu, version_len, 119);
WIRE_AT(ap_info_stu, restart_en, 120);
WIRE_AT(ap_info_stu, restart_type, 121);
WIRE_AT(ap_info_stu, restart_time, 122);
WIRE_AT(ap_info_stu, rf_count, 124);
WIRE_AT(ap_info_stu, rf_en, 125);
WIRE_AT(ap_info_stu, rf_type, 126);
WIRE_AT(ap_info_stu, country_code, 127);
WIRE_AT(ap_info_stu, network_mode, 128);
WIRE_AT(ap_info_stu, bandwidth, 129);
WIRE_AT(ap_info_stu, channel, 130);
WIRE_AT(ap_info_stu, expand_channel, 131);
WIRE_AT(ap_info_stu, tx_power, 132);
WIRE_AT(ap_info_stu, tx_power_min, 133);
WIRE_AT(ap_info_stu, tx_power_max, 134);
WIRE_AT(ap_info_stu, reserved_135, 135);
WIRE_AT(ap_info_stu, ssid_rf_type, 146);
WIRE_AT(ap_info_stu, ssid_id, 147);
WIRE_AT(ap_info_stu, ssid_hide, 148);
WIRE_AT(ap_info_stu, ssid_mac, 149);
WIRE_AT(ap_info_stu, ssid, 155);
WIRE_AT(ap_info_stu, ssid_len, 187);
WIRE_AT(ap_info_stu, secure_mode, 188);
WIRE_AT(ap_info_stu, wpapsk_auth_type, 189);
WIRE_AT(ap_info_stu, wpapsk_key_value, 190);
WIRE_AT(ap_info_stu, wpapsk_key_value_len, 254);
WIRE_AT(ap_info_stu, wpapsk_key_time, 255);
WIRE_AT(ap_info_stu, wep_auth_type, 259);
WIRE_AT(ap_info_stu, wep_key_index, 260);
WIRE_AT(ap_info_stu, wep_key_type0, 261);
WIRE_AT(ap_info_stu, wep_key_value0, 262);
WIRE_AT(ap_info_stu, wep_key_value0_len, 288);
WIRE_AT(ap_info_stu, wep_key_type1, 289);
WIRE_AT(ap_info_stu, wep_key_value1, 290);
WIRE_AT(ap_info_stu, wep_key_value1_len, 316);
WIRE_AT(ap_info_stu, wep_key_type2, 317);
WIRE_AT(ap_info_stu, wep_key_value2, 318);
WIRE_AT(ap_info_stu, wep_key_value2_len, 344);
WIRE_AT(ap_info_stu, wep_key_type3, 345);
WIRE_AT(ap_info_stu, wep_key_value3, 346);
WIRE_AT(ap_info_stu, wep_key_value3_len, 372);
WIRE_AT(ap_info_stu, reserved_373, 373);
WIRE_AT(ap_info_stu, wpa_radius_ip, 374);
WIRE_AT(ap_info_stu, wpa_radius_port, 378);
WIRE_AT(ap_info_stu, wpa_auth_type, 380);
WIRE_AT(ap_info_stu, wpa_key, 381);
WIRE_AT(ap_info_stu, wpa_key_len, 445);
WIRE_AT(ap_info_stu, wpa_key_time, 446);
WIRE_AT(ap_info_stu, ssid_count, 450);
WIRE_AT(ap_info_stu, reserved_451, 451);
WIRE_AT(ap_info_stu, bridge_work_mode, 452);
WIRE_AT(ap_info_stu, bridge_mac, 453);
WIRE_AT(ap_info_stu, bridge_channel, 459);
WIRE_AT(ap_info_stu, bridge_ssid, 460);
WIRE_AT(ap_info_stu, bridge_ssid_len, 492);
WIRE_AT(ap_info_stu, reserved_493, 493);
WIRE_AT(ap_info_stu, vlan_en, 756);
WIRE_AT(ap_info_stu, reserved_757, 757);
WIRE_AT(ap_info_stu, vlan_id, 758);
WIRE_AT(ap_info_stu, vlan_id_wlan, 760);
WIRE_AT(ap_info_stu, vlan_id_lan, 762);
WIRE_AT(ap_info_stu, reserved_764, 764);
WIRE_AT(ap_info_stu, bridge_transparent, 766);
WIRE_AT(ap_info_stu, tdmaEn, 767);
WIRE_AT(ap_info_stu, vlan_pvid, 768);
WIRE_AT(ap_info_stu, vlan_id_lan3, 770);
WIRE_AT(ap_info_stu, vlan_id_lan4, 772);
WIRE_AT(ap_info_stu, reserved_774, 774);
WIRE_AT(ap_info_stu, wl_dfs, 778);
WIRE_AT(ap_info_stu, reserved_779, 779);

// The configuration report as devices send it, from its own table.
REPORT_AT(work_mode, 0);
REPORT_AT(mode_btn_status, 1);
REPORT_AT(reserved_26, 2);
REPORT_AT(up_time, 4);
REPORT_AT(ip_mode, 8);
REPORT_AT(ip, 9);
REPORT_AT(ip_mask, 13);
REPORT_AT(ip_gateway, 17);
REPORT_AT(ip_dns1, 21);
REPORT_AT(ip_dns2, 25);
REPORT_AT(ip_flag, 29);
REPORT_AT(ap_name, 30);
REPORT_AT(ap_name_len, 62);
REPORT_AT(version, 63);
REPORT_AT(version_len, 95);
REPORT_AT(restart_en, 96);
REPORT_AT(restart_type, 97);
REPORT_AT(restart_time, 98);
REPORT_AT(rf_count, 100);
REPORT_AT(rf_en, 101);
REPORT_AT(rf_type, 102);
REPORT_AT(country_code, 103);
REPORT_AT(network_mode, 104);
REPORT_AT(bandwidth, 105);
REPORT_AT(channel, 106);
REPORT_AT(expand_channel, 107);
REPORT_AT(tx_power, 108);
REPORT_AT(tx_power_min, 109);
REPORT_AT(tx_power_max, 110);
REPORT_AT(reserved_135, 111);
REPORT_AT(ssid_rf_type, 122);
REPORT_AT(ssid_id, 123);
REPORT_AT(ssid_hide, 124);
REPORT_AT(ssid_mac, 125);
REPORT_AT(ssid, 131);
REPORT_AT(ssid_len, 163);
REPORT_AT(secure_mode, 164);
REPORT_AT(wpapsk_auth_type, 165);
REPORT_AT(wpapsk_key_value, 166);
REPORT_AT(wpapsk_key_value_len, 230);
REPORT_AT(wpapsk_key_time, 231);
REPORT_AT(wep_auth_type, 235);
REPORT_AT(wep_key_index, 236);
REPORT_AT(wep_key_type0, 237);
REPORT_AT(wep_key_value0, 238);
REPORT_AT(wep_key_value0_len, 264);
REPORT_AT(wep_key_type1, 265);
REPORT_AT(wep_key_value1, 266);
REPORT_AT(wep_key_value1_len, 292);
REPORT_AT(wep_key_type2, 293);
REPORT_AT(wep_key_value2, 294);
REPORT_AT(wep_key_value2_len, 320);
REPORT_AT(wep_key_type3, 321);
REPORT_AT(wep_key_value3, 322);
REPORT_AT(wep_key_value3_len, 348);
REPORT_AT(reserved_373, 349);
REPORT_AT(wpa_radius_ip, 350);
REPORT_AT(wpa_radius_port, 354);
REPORT_AT(wpa_auth_type, 356);
REPORT_AT(wpa_key, 357);
REPORT_AT(wpa_key_len, 421);
REPORT_AT(wpa_key_time, 422);
REPORT_AT(ssid_count, 426);
REPORT_AT(reserved_451, 427);
REPORT_AT(bridge_work_mode, 428);
REPORT_AT(bridge_mac, 429);
REPORT_AT(bridge_channel, 435);
REPORT_AT(bridge_ssid, 436);
REPORT_AT(bridge_ssid_len, 468);
REPORT_AT(reserved_493, 469);
REPORT_AT(vlan_en, 732);
REPORT_AT(reserved_757, 733);
REPORT_AT(vlan_id, 734);
REPORT_AT(vlan_id_wlan, 736);
REPORT_AT(vlan_id_lan, 738);
REPORT_AT(reserved_764, 740);
REPORT_AT(bridge_transparent, 742);
REPORT_AT(tdmaEn, 743);
REPORT_AT(vlan_pvid, 744);
REPORT_AT(vlan_id_lan3, 746);
REPORT_AT(vlan_id_lan4, 748);
REPORT_AT(reserved_774, 750);
REPORT_AT(wl_dfs, 754);
REPORT_AT(reserved_779, 755);

static_assert(sizeof(config_otherwl_basic) == 44);
WIRE_AT(config_otherwl_basic, mac, 0);
WIRE_AT(config_otherwl_basic, signal, 6);
WIRE_AT(config_otherwl_basic, channel, 7);
WIRE_AT(config_otherwl_basic, secure_mode, 8);
WIRE_AT(config_otherwl_basic, ssid, 9);
WIRE_AT(config_otherwl_basic, ssid_len, 41);
WIRE_AT(config_otherwl_basic, exchannel, 42);
WIRE_AT(config_otherwl_basic, bandwidth, 43);

static_assert(sizeof(site_survey_answer) == 3 + kMaxSurveyEntries * 44);  // 1411
WIRE_AT(site_survey_answer, packet_count, 0);
WIRE_AT(site_survey_answer, packet_id, 1);
WIRE_AT(site_survey_answer, icount, 2);
WIRE_AT(site_survey_answer, entries, 3);

// IP block: report bytes 8 to 29.
static_assert(sizeof(ip_block) == 22);
WIRE_AT(ip_block, ip_mode, 0);
WIRE_AT(ip_block, ip, 1);
WIRE_AT(ip_block, ip_mask, 5);
WIRE_AT(ip_block, ip_gateway, 9);
WIRE_AT(ip_block, ip_dns1, 13);
WIRE_AT(ip_block, ip_dns2, 17);
WIRE_AT(ip_block, ip_flag, 21);
static_assert(ip_block::kRecordOffset == kConfigReportOffset + 8);
MIRRORS(ip_block, ip_mode, ip_block::kRecordOffset);
MIRRORS(ip_block, ip, ip_block::kRecordOffset);
MIRRORS(ip_block, ip_mask, ip_block::kRecordOffset);
MIRRORS(ip_block, ip_gateway, ip_block::kRecordOffset);
MIRRORS(ip_block, ip_dns1, ip_block::kRecordOffset);
MIRRORS(ip_block, ip_dns2, ip_block::kRecordOffset);
MIRRORS(ip_block, ip_flag, ip_block::kRecordOffset);

// Scheduled-reboot block: report bytes 96 to 99.
static_assert(sizeof(reboot_block) == 4);
WIRE_AT(reboot_block, restart_en, 0);
WIRE_AT(reboot_block, restart_type, 1);
WIRE_AT(reboot_block, restart_time, 2);
static_assert(reboot_block::kRecordOffset == kConfigReportOffset + 96);
MIRRORS(reboot_block, restart_en, reboot_block::kRecordOffset);
MIRRORS(reboot_block, restart_type, reboot_block::kRecordOffset);
MIRRORS(reboot_block, restart_time, reboot_block::kRecordOffset);

// Device name block.
static_assert(sizeof(name_block) == 33);
WIRE_AT(name_block, ap_name, 0);
WIRE_AT(name_block, ap_name_len, 32);
MIRRORS(name_block, ap_name, name_block::kRecordOffset);
MIRRORS(name_block, ap_name_len, name_block::kRecordOffset);

// Wireless block: report bytes 100 to 427.
static_assert(sizeof(wireless_block) == 328);
static_assert(wireless_block::kRecordOffset == kConfigReportOffset + 100);
WIRE_AT(wireless_block, rf_count, 0);
WIRE_AT(wireless_block, rf_en, 1);
WIRE_AT(wireless_block, rf_type, 2);
WIRE_AT(wireless_block, country_code, 3);
WIRE_AT(wireless_block, network_mode, 4);
WIRE_AT(wireless_block, bandwidth, 5);
WIRE_AT(wireless_block, channel, 6);
WIRE_AT(wireless_block, expand_channel, 7);
WIRE_AT(wireless_block, tx_power, 8);
WIRE_AT(wireless_block, tx_power_min, 9);
WIRE_AT(wireless_block, tx_power_max, 10);
WIRE_AT(wireless_block, reserved_11, 11);
WIRE_AT(wireless_block, ssid_rf_type, 22);
WIRE_AT(wireless_block, ssid_id, 23);
WIRE_AT(wireless_block, ssid_hide, 24);
WIRE_AT(wireless_block, ssid_mac, 25);
WIRE_AT(wireless_block, ssid, 31);
WIRE_AT(wireless_block, ssid_len, 63);
WIRE_AT(wireless_block, secure_mode, 64);
WIRE_AT(wireless_block, wpapsk_auth_type, 65);
WIRE_AT(wireless_block, wpapsk_key_value, 66);
WIRE_AT(wireless_block, wpapsk_key_value_len, 130);
WIRE_AT(wireless_block, wpapsk_key_time, 131);
WIRE_AT(wireless_block, wep_auth_type, 135);
WIRE_AT(wireless_block, wep_key_index, 136);
WIRE_AT(wireless_block, wep_key_type0, 137);
WIRE_AT(wireless_block, wep_key_value3_len, 248);
WIRE_AT(wireless_block, reserved_249, 249);
WIRE_AT(wireless_block, wpa_radius_ip, 250);
WIRE_AT(wireless_block, wpa_radius_port, 254);
WIRE_AT(wireless_block, wpa_auth_type, 256);
WIRE_AT(wireless_block, wpa_key, 257);
WIRE_AT(wireless_block, wpa_key_len, 321);
WIRE_AT(wireless_block, wpa_key_time, 322);
WIRE_AT(wireless_block, ssid_count, 326);
WIRE_AT(wireless_block, reserved_327, 327);
MIRRORS(wireless_block, rf_count, wireless_block::kRecordOffset);
MIRRORS(wireless_block, rf_en, wireless_block::kRecordOffset);
MIRRORS(wireless_block, rf_type, wireless_block::kRecordOffset);
MIRRORS(wireless_block, country_code, wireless_block::kRecordOffset);
MIRRORS(wireless_block, network_mode, wireless_block::kRecordOffset);
MIRRORS(wireless_block, bandwidth, wireless_block::kRecordOffset);
MIRRORS(wireless_block, channel, wireless_block::kRecordOffset);
MIRRORS(wireless_block, expand_channel, wireless_block::kRecordOffset);
MIRRORS(wireless_block, tx_power, wireless_block::kRecordOffset);
MIRRORS(wireless_block, tx_power_min, wireless_block::kRecordOffset);
MIRRORS(wireless_block, tx_power_max, wireless_block::kRecordOffset);
MIRRORS(wireless_block, ssid_rf_type, wireless_block::kRecordOffset);
MIRRORS(wireless_block, ssid_id, wireless_block::kRecordOffset);
MIRRORS(wireless_block, ssid_hide, wireless_block::kRecordOffset);
MIRRORS(wireless_block, ssid_mac, wireless_block::kRecordOffset);
MIRRORS(wireless_block, ssid, wireless_block::kRecordOffset);
MIRRORS(wireless_block, ssid_len, wireless_block::kRecordOffset);
MIRRORS(wireless_block, secure_mode, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpapsk_auth_type, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpapsk_key_value, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpapsk_key_value_len, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpapsk_key_time, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_auth_type, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_index, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_type0, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_value0, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_value0_len, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_type1, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_value1, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_value1_len, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_type2, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_value2, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_value2_len, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_type3, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_value3, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wep_key_value3_len, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpa_radius_ip, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpa_radius_port, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpa_auth_type, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpa_key, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpa_key_len, wireless_block::kRecordOffset);
MIRRORS(wireless_block, wpa_key_time, wireless_block::kRecordOffset);
MIRRORS(wireless_block, ssid_count, wireless_block::kRecordOffset);

// VLAN block: report bytes 732 to 741.
static_assert(sizeof(vlan_block) == 10);
static_assert(vlan_block::kRecordOffset == kConfigReportOffset + 732);
WIRE_AT(vlan_block, vlan_en, 0);
WIRE_AT(vlan_block, reserved_1, 1);
WIRE_AT(vlan_block, vlan_id, 2);
WIRE_AT(vlan_block, vlan_id_wlan, 4);
WIRE_AT(vlan_block, vlan_id_lan, 6);
WIRE_AT(vlan_block, vlan_flag, 8);
WIRE_AT(vlan_block, reserved_9, 9);
MIRRORS(vlan_block, vlan_en, vlan_block::kRecordOffset);
MIRRORS(vlan_block, vlan_id, vlan_block::kRecordOffset);
MIRRORS(vlan_block, vlan_id_wlan, vlan_block::kRecordOffset);
MIRRORS(vlan_block, vlan_id_lan, vlan_block::kRecordOffset);

// Switch block: report bytes 742 to 755.
static_assert(sizeof(switch_block) == 14);
static_assert(switch_block::kRecordOffset == kConfigReportOffset + 742);
static_assert(switch_block::kRecordOffset + sizeof(switch_block) == sizeof(ap_info_stu));
WIRE_AT(switch_block, bridge_transparent, 0);
WIRE_AT(switch_block, tdmaEn, 1);
WIRE_AT(switch_block, vlan_pvid, 2);
WIRE_AT(switch_block, vlan_id_lan3, 4);
WIRE_AT(switch_block, vlan_id_lan4, 6);
WIRE_AT(switch_block, reserved_8, 8);
WIRE_AT(switch_block, wl_dfs, 12);
WIRE_AT(switch_block, reserved_13, 13);
MIRRORS(switch_block, bridge_transparent, switch_block::kRecordOffset);
MIRRORS(switch_block, tdmaEn, switch_block::kRecordOffset);
MIRRORS(switch_block, vlan_pvid, switch_block::kRecordOffset);
MIRRORS(switch_block, vlan_id_lan3, switch_block::kRecordOffset);
MIRRORS(switch_block, vlan_id_lan4, switch_block::kRecordOffset);
MIRRORS(switch_block, wl_dfs, switch_block::kRecordOffset);

static_assert(sizeof(wireless_switch_block) == 342);
WIRE_AT(wireless_switch_block, switches, 328);
static_assert(sizeof(vlan_switch_block) == 24);
WIRE_AT(vlan_switch_block, switches, 10);

// Bridge order.
static_assert(sizeof(config_bridge) == 328);
WIRE_AT(config_bridge, bridge_work_mode, 0);
WIRE_AT(config_bridge, bridge_mac, 1);
WIRE_AT(config_bridge, bridge_channel, 7);
WIRE_AT(config_bridge, bridge_ssid, 8);
WIRE_AT(config_bridge, bridge_ssid_len, 40);
WIRE_AT(config_bridge, reserved_41, 41);
WIRE_AT(config_bridge, secure_mode, 42);
WIRE_AT(config_bridge, wpapsk_auth_type, 43);
WIRE_AT(config_bridge, wpapsk_key_value, 44);
WIRE_AT(config_bridge, wpapsk_key_value_len, 108);
WIRE_AT(config_bridge, wpapsk_key_time, 109);
WIRE_AT(config_bridge, wep_auth_type, 113);
WIRE_AT(config_bridge, wep_key_index, 114);
WIRE_AT(config_bridge, wep_key_type0, 115);
WIRE_AT(config_bridge, wep_key_value0, 116);
WIRE_AT(config_bridge, wep_key_value0_len, 142);
WIRE_AT(config_bridge, wep_key_type1, 143);
WIRE_AT(config_bridge, wep_key_value1, 144);
WIRE_AT(config_bridge, wep_key_value1_len, 170);
WIRE_AT(config_bridge, wep_key_type2, 171);
WIRE_AT(config_bridge, wep_key_value2, 172);
WIRE_AT(config_bridge, wep_key_value2_len, 198);
WIRE_AT(config_bridge, wep_key_type3, 199);
WIRE_AT(config_bridge, wep_key_value3, 200);
WIRE_AT(config_bridge, wep_key_value3_len, 226);
WIRE_AT(config_bridge, reserved_227, 227);
WIRE_AT(config_bridge, wpa_radius_ip, 228);
WIRE_AT(config_bridge, wpa_radius_port, 232);
WIRE_AT(config_bridge, wpa_auth_type, 234);
WIRE_AT(config_bridge, wpa_key, 235);
WIRE_AT(config_bridge, wpa_key_len, 299);
WIRE_AT(config_bridge, wpa_key_time, 300);
WIRE_AT(config_bridge, ip_settings, kBridgeSecurityBlockSize);
WIRE_AT(config_bridge, reserved_326, 326);
WIRE_AT(config_bridge, reserved_327, 327);
// Bytes 0 to 40 mirror record 452 to 492 (report 428 to 468).
inline constexpr std::size_t kBridgeLinkRecordOffset = 452;
MIRRORS(config_bridge, bridge_work_mode, kBridgeLinkRecordOffset);
MIRRORS(config_bridge, bridge_mac, kBridgeLinkRecordOffset);
MIRRORS(config_bridge, bridge_channel, kBridgeLinkRecordOffset);
MIRRORS(config_bridge, bridge_ssid, kBridgeLinkRecordOffset);
MIRRORS(config_bridge, bridge_ssid_len, kBridgeLinkRecordOffset);
// Bytes 42 to 303 mirror record 188 to 449 (report 164 to 425): 122 bytes earlier.
inline constexpr std::size_t kBridgeSecurityRecordOffset = 188 - 42;
static_assert(kBridgeSecurityRecordOffset - kConfigReportOffset == 122);
MIRRORS(config_bridge, secure_mode, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpapsk_auth_type, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpapsk_key_value, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpapsk_key_value_len, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpapsk_key_time, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_auth_type, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_index, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_type0, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_value0, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_value0_len, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_type1, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_value1, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_value1_len, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_type2, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_value2, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_value2_len, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_type3, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_value3, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wep_key_value3_len, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpa_radius_ip, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpa_radius_port, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpa_auth_type, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpa_key, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpa_key_len, kBridgeSecurityRecordOffset);
MIRRORS(config_bridge, wpa_key_time, kBridgeSecurityRecordOffset);

static_assert(sizeof(upgrade_order) == 268);
WIRE_AT(upgrade_order, file_name, 0);
WIRE_AT(upgrade_order, file_name_len, 260);
WIRE_AT(upgrade_order, reserved_261, 261);
WIRE_AT(upgrade_order, file_size, 264);

static_assert(sizeof(arp_announce_frame) == kArpFrameSize);
WIRE_AT(arp_announce_frame, eth_dest, 0);
WIRE_AT(arp_announce_frame, eth_source, 6);
WIRE_AT(arp_announce_frame, ether_type, 12);
WIRE_AT(arp_announce_frame, hw_type, 14);
WIRE_AT(arp_announce_frame, proto_type, 16);
WIRE_AT(arp_announce_frame, hw_len, 18);
WIRE_AT(arp_announce_frame, proto_len, 19);
WIRE_AT(arp_announce_frame, operation, 20);
WIRE_AT(arp_announce_frame, sender_mac, 22);
WIRE_AT(arp_announce_frame, sender_ip, 28);
WIRE_AT(arp_announce_frame, target_mac, 32);
WIRE_AT(arp_announce_frame, target_ip, 38);
WIRE_AT(arp_announce_frame, padding, 42);

#undef WIRE_AT
#undef REPORT_AT
#undef MIRRORS

// Every record is plain bytes: copyable with memcpy and with no padding anywhere.
static_assert(std::is_trivially_copyable_v<ap_info_stu> && std::is_standard_layout_v<ap_info_stu>);
static_assert(alignof(ap_info_stu) == 1 && alignof(config_bridge) == 1 &&
              alignof(site_survey_answer) == 1 && alignof(datagram_header) == 1 &&
              alignof(ap_packet_info) == 1 && alignof(arp_announce_frame) == 1);
