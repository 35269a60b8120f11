// Small builders for device records and survey answers used by the store tests.
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/ValueTables.h"
#include "common/wire.h"
#include "store/CSqlManagement.h"

namespace storetest {

inline std::string MacText(int n) {
    char buf[18];
    std::snprintf(buf, sizeof buf, "00:1a:2b:%02x:%02x:%02x", (n >> 16) & 0xff, (n >> 8) & 0xff,
                  n & 0xff);
    return buf;
}

template <size_t N>
inline void SetText(char (&field)[N], uint8_t& len, std::string_view text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N));
    len = static_cast<uint8_t>(text.size());
}

inline void SetIp(uint8_t (&field)[4], std::string_view text) {
    const IpBytes b = IpTextToBytes(text);
    std::memcpy(field, b.data(), 4);
}

// A reported device: type 1, AP mode, channel 1, transmit power 5, no other numbers that a
// search for a digit could trip over unless a test sets them.
inline ap_info_stu MakeRecord(std::string_view mac, std::string_view ip, std::string_view name) {
    ap_info_stu r{};
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.mac, mac.data(), std::min(mac.size(), sizeof r.mac - 1));
    r.ap_type = 1;
    r.work_mode = 1;
    r.channel = 1;
    r.tx_power = 5;
    SetIp(r.ip, ip);
    SetIp(r.ip_mask, "255.255.255.0");
    SetText(r.ap_name, r.ap_name_len, name);
    SetText(r.version, r.version_len, "v1");
    SetText(r.ssid, r.ssid_len, "net");
    return r;
}

inline std::unique_ptr<CSqlManagement> MemoryStore() {
    return std::make_unique<CSqlManagement>(CSqlManagement::kInMemoryDatabase);
}

inline std::vector<std::string> Names(const std::vector<ap_info_stu>& list) {
    std::vector<std::string> names;
    for (const ap_info_stu& r : list) names.emplace_back(r.ap_name, r.ap_name_len);
    return names;
}

inline std::vector<std::string> Macs(const std::vector<ap_info_stu>& list) {
    std::vector<std::string> macs;
    for (const ap_info_stu& r : list) macs.emplace_back(r.mac);
    return macs;
}

inline config_otherwl_basic MakeEntry(int n, std::string_view ssid, uint8_t signal) {
    config_otherwl_basic e{};
    std::memset(&e, 0, sizeof e);
    const MacBytes mac = MacTextToBytes(MacText(n));
    std::memcpy(e.mac, mac.data(), 6);
    e.signal = signal;
    e.channel = static_cast<uint8_t>(n);
    e.secure_mode = 3;
    SetText(e.ssid, e.ssid_len, ssid);
    e.exchannel = 1;
    e.bandwidth = 2;
    return e;
}

inline site_survey_answer MakeAnswer(uint8_t count, uint8_t id,
                                     const std::vector<config_otherwl_basic>& entries) {
    site_survey_answer a{};
    std::memset(&a, 0, sizeof a);
    a.packet_count = count;
    a.packet_id = id;
    a.icount = static_cast<uint8_t>(entries.size());
    for (size_t i = 0; i < entries.size() && i < kMaxSurveyEntries; ++i) a.entries[i] = entries[i];
    return a;
}

}  // namespace storetest
