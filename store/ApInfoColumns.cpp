#include "store/ApInfoColumns.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "common/DeviceText.h"
#include "common/TextCodec.h"
#include "store/CSqliteDatabase.h"

namespace store {
namespace {

enum class Kind : uint8_t {
    MacText,   // the record's zero-terminated MAC text
    U8,        // 8-bit integer field
    U16,       // 16-bit little-endian field
    U32,       // 32-bit little-endian field
    Status,    // ap_status: the status the operation writes; read back into the 32-bit field
    Ip,        // four address bytes <-> dotted text
    Mac6,      // six bytes <-> MAC text
    Text,      // bytes and length byte <-> text
    IpNumber,  // ip_num, the address as a number for numeric sorting; never read back
    Display,   // display text of codes; never read back
};

enum class Display : uint8_t {
    None,
    ApType,
    Status,
    WorkMode,
    UpTime,
    SecureMode,
    Transparent,
    Tdma
};

struct Column {
    const char* name;
    const char* sqlType;
    Kind kind;
    uint16_t offset = 0;     // field offset in ap_info_stu
    uint8_t width = 0;       // width of a text field
    uint16_t lenOffset = 0;  // offset of a text field's length byte
    bool readBack = true;    // copied into records read from the store
    Display display = Display::None;
};

constexpr const char* kInt = "integer";
constexpr const char* kMacType = "char(18) collate nocase";
constexpr const char* kIpType = "char(16) collate nocase";
constexpr const char* kNameType = "char(33) collate nocase";
constexpr const char* kKeyType = "char(65) collate nocase";

#define U8(f) \
    Column { #f, kInt, Kind::U8, offsetof(ap_info_stu, f) }
#define U16(f) \
    Column { #f, kInt, Kind::U16, offsetof(ap_info_stu, f) }
#define U32(f) \
    Column { #f, kInt, Kind::U32, offsetof(ap_info_stu, f) }
#define IP(f) \
    Column { #f, kIpType, Kind::Ip, offsetof(ap_info_stu, f) }
#define TEXT(f, type, lenField)                                                 \
    Column {                                                                    \
#f, type, Kind::Text, offsetof(ap_info_stu, f), sizeof(ap_info_stu::f), \
            offsetof(ap_info_stu, lenField)                                     \
    }
#define DISPLAY(name, d) \
    Column { name, kNameType, Kind::Display, 0, 0, 0, false, d }

// Every column of ap_info but ID, in the order of the original schema statements.
const std::array kApColumns = {
    // create table
    Column{"mac", kMacType, Kind::MacText, offsetof(ap_info_stu, mac)},
    U16(ap_type),
    DISPLAY("ap_type_str", Display::ApType),
    Column{"ap_status", kInt, Kind::Status, offsetof(ap_info_stu, ap_status)},
    DISPLAY("ap_status_str", Display::Status),
    U8(work_mode),
    DISPLAY("work_mode_str", Display::WorkMode),
    U8(mode_btn_status),
    U32(up_time),
    DISPLAY("up_time_str", Display::UpTime),
    U8(ip_mode),
    Column{"ip_num", "double", Kind::IpNumber, offsetof(ap_info_stu, ip), 0, 0, false},
    IP(ip),
    IP(ip_mask),
    IP(ip_gateway),
    IP(ip_dns1),
    IP(ip_dns2),
    TEXT(ap_name, kNameType, ap_name_len),
    TEXT(version, kNameType, version_len),
    // scheduled reboot
    U8(restart_en),
    U8(restart_type),
    U16(restart_time),
    // radio
    U8(rf_count),
    U8(rf_en),
    U8(rf_type),
    U8(country_code),
    U8(network_mode),
    U8(bandwidth),
    U8(channel),
    U8(expand_channel),
    U8(tx_power),
    U8(tx_power_min),
    U8(tx_power_max),
    // wireless network and security
    U8(ssid_count),
    U8(ssid_rf_type),
    U8(ssid_id),
    U8(ssid_hide),
    Column{"ssid_mac", kMacType, Kind::Mac6, offsetof(ap_info_stu, ssid_mac)},
    TEXT(ssid, kNameType, ssid_len),
    U8(secure_mode),
    DISPLAY("secure_mode_str", Display::SecureMode),
    U8(wpapsk_auth_type),
    TEXT(wpapsk_key_value, kKeyType, wpapsk_key_value_len),
    U32(wpapsk_key_time),
    U8(wep_auth_type),
    U8(wep_key_index),
    TEXT(wep_key_value0, kKeyType, wep_key_value0_len),
    U8(wep_key_type0),
    TEXT(wep_key_value1, kKeyType, wep_key_value1_len),
    U8(wep_key_type1),
    TEXT(wep_key_value2, kKeyType, wep_key_value2_len),
    U8(wep_key_type2),
    TEXT(wep_key_value3, kKeyType, wep_key_value3_len),
    U8(wep_key_type3),
    U8(wpa_auth_type),
    IP(wpa_radius_ip),
    U16(wpa_radius_port),
    TEXT(wpa_key, kKeyType, wpa_key_len),
    U32(wpa_key_time),
    // the current wireless link: written, never read back into a record
    Column{"bridge_work_mode", kInt, Kind::U8, offsetof(ap_info_stu, bridge_work_mode), 0, 0,
           false},
    Column{"bridge_mac", kMacType, Kind::Mac6, offsetof(ap_info_stu, bridge_mac), 0, 0, false},
    Column{"bridge_channel", kInt, Kind::U8, offsetof(ap_info_stu, bridge_channel), 0, 0, false},
    Column{"bridge_ssid", kNameType, Kind::Text, offsetof(ap_info_stu, bridge_ssid),
           sizeof(ap_info_stu::bridge_ssid), offsetof(ap_info_stu, bridge_ssid_len), false},
    // VLAN
    U8(vlan_en),
    U16(vlan_id),
    U16(vlan_id_wlan),
    U16(vlan_id_lan),
    // switch
    U8(bridge_transparent),
    DISPLAY("bridge_transparent_str", Display::Transparent),
    U8(tdmaEn),
    DISPLAY("tdmaEn_str", Display::Tdma),
    U16(vlan_pvid),
    U16(vlan_id_lan3),
    U16(vlan_id_lan4),
    U8(wl_dfs),
};

#undef U8
#undef U16
#undef U32
#undef IP
#undef TEXT
#undef DISPLAY

// Sort keys of the device lists, 0..13.
constexpr std::array<const char*, 14> kApSortColumns = {
    "mac",     "ip_num",      "ap_name",  "ap_type", "work_mode",          "ssid",
    "channel", "secure_mode", "tx_power", "version", "bridge_transparent", "tdmaEn",
    "up_time", "ap_status"};

// Sort keys of the site-survey list, 0..4.
constexpr std::array<const char*, 5> kOtherSortColumns = {"mac", "ssid", "channel", "secure_mode",
                                                          "signal"};

// Read-back columns of ap_other_info, in the order ReadOtherRow takes them.
constexpr const char* kOtherReadColumns = "mac,ssid,signal,channel,secure_mode,exchannel,bandwidth";

const uint8_t* Bytes(const ap_info_stu& info) { return reinterpret_cast<const uint8_t*>(&info); }
uint8_t* Bytes(ap_info_stu& info) { return reinterpret_cast<uint8_t*>(&info); }

std::string DisplayText(Display d, const ap_info_stu& info, int status, const Translator& tr) {
    switch (d) {
        case Display::ApType:
            return GetApTypeText(info.ap_type);
        case Display::Status:
            return GetStatusText(status, tr);
        case Display::WorkMode:
            return GetWorkModeText(info.work_mode, tr);
        case Display::UpTime:
            return GetUpTimeText(info.up_time);
        case Display::SecureMode:
            return GetSecureModeText(info.secure_mode, tr);
        case Display::Transparent:
            return GetTransparentText(info.ap_type, info.work_mode, info.bridge_transparent, tr);
        case Display::Tdma:
            return GetTdmaText(info.ap_type, info.tdmaEn, tr);
        case Display::None:
            break;
    }
    return {};
}

RowValue IntValue(int64_t v) { return RowValue{RowValue::Type::Int, v, 0, {}}; }
RowValue TextValue(std::string s) { return RowValue{RowValue::Type::Text, 0, 0, std::move(s)}; }

}  // namespace

std::vector<std::string> SchemaStatements() {
    std::string ap = "create table ap_info(ID integer primary key";
    for (const Column& c : kApColumns) {
        ap += ',';
        ap += c.name;
        ap += ' ';
        ap += c.sqlType;
    }
    ap += ')';
    return {
        ap,
        "create table ap_other_info(ID integer primary key,packet_count integer,"
        "packet_id integer,icount integer,mac char(18) collate nocase,"
        "ssid char(33) collate nocase,signal integer,channel integer,secure_mode integer,"
        "exchannel integer,bandwidth integer)",
        // One row per MAC is the rule of both tables; the indexes also make every by-MAC
        // lookup and upsert independent of the number of devices.
        "create unique index ap_info_mac on ap_info(mac)",
        "create unique index ap_other_info_mac on ap_other_info(mac)",
        // The lists open sorted by address: their pages come straight from this index, and it
        // covers the device and online counts of an unfiltered list.
        "create index ap_info_ip_num on ap_info(ip_num,mac,ap_status)",
    };
}

const std::string& ApReadColumns() {
    static const std::string list = [] {
        std::string s;
        for (const Column& c : kApColumns) {
            if (!c.readBack) continue;
            if (!s.empty()) s += ',';
            s += c.name;
        }
        return s;
    }();
    return list;
}

const std::string& OtherReadColumns() {
    static const std::string list = kOtherReadColumns;
    return list;
}

const std::string& ApUpsertSql() {
    static const std::string sql = [] {
        std::string names, values, updates;
        int index = 1;
        for (const Column& c : kApColumns) {
            if (index > 1) {
                names += ',';
                values += ',';
            }
            names += c.name;
            values += '?' + std::to_string(index++);
            if (std::strcmp(c.name, "mac") == 0) continue;
            if (!updates.empty()) updates += ',';
            updates += std::string(c.name) + "=excluded." + c.name;
        }
        return "insert into ap_info(" + names + ") values(" + values +
               ") on conflict(mac) do update set " + updates;
    }();
    return sql;
}

const char* ApSortColumn(int sortKey) {
    if (sortKey < 0 || sortKey >= static_cast<int>(kApSortColumns.size())) return nullptr;
    return kApSortColumns[sortKey];
}

const char* OtherSortColumn(int sortKey) {
    if (sortKey < 0 || sortKey >= static_cast<int>(kOtherSortColumns.size())) return nullptr;
    return kOtherSortColumns[sortKey];
}

std::vector<RowValue> MakeApRow(const ap_info_stu& info, int status, const Translator& tr) {
    std::vector<RowValue> row;
    row.reserve(kApColumns.size());
    const uint8_t* base = Bytes(info);
    for (const Column& c : kApColumns) {
        const uint8_t* p = base + c.offset;
        switch (c.kind) {
            case Kind::MacText:
                row.push_back(
                    TextValue(std::string(info.mac, strnlen(info.mac, sizeof(info.mac)))));
                break;
            case Kind::U8:
                row.push_back(IntValue(*p));
                break;
            case Kind::U16:
                row.push_back(IntValue(ReadLe16(p)));
                break;
            case Kind::U32:
                row.push_back(IntValue(ReadLe32(p)));
                break;
            case Kind::Status:
                row.push_back(IntValue(status));
                break;
            case Kind::Ip:
                row.push_back(TextValue(IpBytesToText(std::span<const uint8_t, 4>(p, 4))));
                break;
            case Kind::Mac6:
                row.push_back(TextValue(MacBytesToText(std::span<const uint8_t, 6>(p, 6))));
                break;
            case Kind::Text:
                row.push_back(TextValue(
                    FieldText(reinterpret_cast<const char*>(p), c.width, base[c.lenOffset])));
                break;
            case Kind::IpNumber: {
                const std::string ip = IpBytesToText(std::span<const uint8_t, 4>(p, 4));
                RowValue v;
                v.type = RowValue::Type::Real;
                v.d = static_cast<double>(IpTextToNumber(ip));
                row.push_back(std::move(v));
                break;
            }
            case Kind::Display:
                row.push_back(TextValue(DisplayText(c.display, info, status, tr)));
                break;
        }
    }
    return row;
}

void BindRow(CSqliteStatement& stmt, const std::vector<RowValue>& row, int firstIndex) {
    int index = firstIndex;
    for (const RowValue& v : row) {
        switch (v.type) {
            case RowValue::Type::Int:
                stmt.BindInt(index, v.i);
                break;
            case RowValue::Type::Real:
                stmt.BindDouble(index, v.d);
                break;
            case RowValue::Type::Text:
                stmt.BindText(index, v.s);
                break;
        }
        ++index;
    }
}

void ReadApRow(const CSqliteStatement& stmt, ap_info_stu& info) {
    uint8_t* base = Bytes(info);
    int col = 0;
    for (const Column& c : kApColumns) {
        if (!c.readBack) continue;
        uint8_t* p = base + c.offset;
        switch (c.kind) {
            case Kind::MacText: {
                const std::string_view mac = Trim(stmt.ColumnText(col));
                const size_t n = std::min(mac.size(), sizeof(info.mac) - 1);
                if (n) std::memcpy(info.mac, mac.data(), n);
                info.mac[n] = '\0';
                break;
            }
            case Kind::U8:
                *p = static_cast<uint8_t>(stmt.ColumnInt(col));
                break;
            case Kind::U16:
                WriteLe16(p, static_cast<uint16_t>(stmt.ColumnInt(col)));
                break;
            case Kind::U32:
            case Kind::Status:
                WriteLe32(p, static_cast<uint32_t>(stmt.ColumnInt(col)));
                break;
            case Kind::Ip: {
                const IpBytes ip = IpTextToBytes(Trim(stmt.ColumnText(col)));
                std::memcpy(p, ip.data(), ip.size());
                break;
            }
            case Kind::Mac6: {
                const MacBytes mac = MacTextToBytes(Trim(stmt.ColumnText(col)));
                std::memcpy(p, mac.data(), mac.size());
                break;
            }
            case Kind::Text:
                base[c.lenOffset] =
                    PutFieldText(stmt.ColumnText(col), reinterpret_cast<char*>(p), c.width);
                break;
            case Kind::IpNumber:
            case Kind::Display:
                break;
        }
        ++col;
    }
}

void ReadOtherRow(const CSqliteStatement& stmt, config_otherwl_basic& entry) {
    const MacBytes mac = MacTextToBytes(Trim(stmt.ColumnText(0)));
    std::memcpy(entry.mac, mac.data(), mac.size());
    entry.ssid_len = PutFieldText(stmt.ColumnText(1), entry.ssid, sizeof(entry.ssid));
    entry.signal = static_cast<uint8_t>(stmt.ColumnInt(2));
    entry.channel = static_cast<uint8_t>(stmt.ColumnInt(3));
    entry.secure_mode = static_cast<uint8_t>(stmt.ColumnInt(4));
    entry.exchannel = static_cast<uint8_t>(stmt.ColumnInt(5));
    entry.bandwidth = static_cast<uint8_t>(stmt.ColumnInt(6));
}

std::string FieldText(const char* field, size_t width, uint8_t length) {
    const std::string_view raw(field, std::min<size_t>(length, width));
    // Bytes that are no UTF-8 never reach the database; a character split by the cut is dropped.
    return CutLocalText(DeviceTextToLocal(raw), width);
}

uint8_t PutFieldText(std::string_view text, char* field, size_t width) {
    const std::string_view t = Trim(text);
    const size_t n = Utf8CutPoint(t, width);
    if (n) std::memcpy(field, t.data(), n);
    return static_cast<uint8_t>(n);
}

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n\f\v";
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

std::string LikeSubstringPattern(std::string_view search) {
    std::string pattern = "%";
    for (const char ch : search) {
        if (ch == '%' || ch == '_' || ch == '\\') pattern += '\\';
        pattern += ch;
    }
    pattern += '%';
    return pattern;
}

}  // namespace store
