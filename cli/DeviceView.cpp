#include "cli/DeviceView.h"

#include <cstdio>
#include <map>
#include <span>
#include <string>

#include "common/TextCodec.h"
#include "common/ValueTables.h"

namespace {

// A text field of a record: its length byte, at most the field, and no further than a zero.
std::string FieldText(const char* field, std::size_t width, uint8_t length) {
    std::size_t n = length < width ? length : width;
    std::size_t used = 0;
    while (used < n && field[used] != '\0') ++used;
    return std::string(field, used);
}

// Terminal columns of a code point: East Asian wide ranges take two.
int CodePointWidth(char32_t cp) {
    if ((cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
        (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
        (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
        (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD)) {
        return 2;
    }
    return 1;
}

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (const char32_t cp : Utf8ToUtf32(text)) width += CodePointWidth(cp);
    return width;
}

const std::vector<std::string_view> kKeys = {"name",
                                             "type",
                                             "ip",
                                             "mac",
                                             "mode",
                                             "ssid",
                                             "channel",
                                             "security",
                                             "power",
                                             "version",
                                             "transparent_bridge",
                                             "tdma",
                                             "uptime",
                                             "status",
                                             "pending"};

const std::vector<std::string_view> kCaptions = {
    "Location", "Type",       "IP",    "MAC",     "OperationMode",      "SSID",
    "Channel",  "SecureMode", "Power", "Version", "Transparent bridge", "TDMA",
    "Time",     "Status"};

std::vector<const std::string*> Columns(const DeviceRow& r) {
    return {&r.name,
            &r.type,
            &r.ip,
            &r.mac,
            &r.mode,
            &r.ssid,
            &r.channel,
            &r.security,
            &r.power,
            &r.version,
            &r.transparent_bridge,
            &r.tdma,
            &r.uptime,
            &r.status};
}

std::string JsonObject(const DeviceRow& row) {
    std::string out = "{";
    const auto cols = Columns(row);
    for (std::size_t i = 0; i < cols.size(); ++i) {
        out += JsonString(kKeys[i]) + ":" + JsonString(*cols[i]) + ",";
    }
    out += "\"pending\":";
    out += row.pending ? "true" : "false";
    out += "}";
    return out;
}

std::string_view EventName(DeviceEventKind kind) {
    switch (kind) {
        case DeviceEventKind::Stored:
            return "stored";
        case DeviceEventKind::Status:
            return "status";
        case DeviceEventKind::Gone:
            return "gone";
    }
    return "";
}

}  // namespace

const std::vector<std::string_view>& DeviceRowKeys() { return kKeys; }

DeviceRow MakeDeviceRow(const ap_info_stu& r, const Translator& tr) {
    DeviceRow row;
    const int type = r.ap_type;
    row.pending = r.ap_status == 10;
    row.type = GetApTypeText(type);
    row.ip = IpBytesToText(std::span<const uint8_t, 4>(r.ip));
    row.mac = FieldText(r.mac, sizeof r.mac, sizeof r.mac);
    row.version = FieldText(r.version, sizeof r.version, r.version_len);
    if (row.pending) {
        row.status = "Pending";
        // A pending record carries only what the discovery answer told; without an SSID the
        // rest of the short report is absent.
        if (r.ssid_len == 0) return row;
    } else {
        row.status = GetStatusText(r.ap_status, tr);
        row.security = GetSecureModeText(r.secure_mode, tr);
        row.power = std::to_string(r.tx_power);
    }
    row.name = FieldText(r.ap_name, sizeof r.ap_name, r.ap_name_len);
    row.mode = GetWorkModeText(r.work_mode, tr);
    row.ssid = FieldText(r.ssid, sizeof r.ssid, r.ssid_len);
    row.channel = GetChannelText(r.channel, tr);
    row.transparent_bridge = GetTransparentText(type, r.work_mode, r.bridge_transparent, tr);
    row.tdma = GetTdmaText(type, r.tdmaEn, tr);
    row.uptime = GetUpTimeText(r.up_time);
    return row;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char32_t cp : Utf8ToUtf32(text)) {
        if (cp == '"') {
            out += "\\\"";
        } else if (cp == '\\') {
            out += "\\\\";
        } else if (cp == '\n') {
            out += "\\n";
        } else if (cp == '\r') {
            out += "\\r";
        } else if (cp == '\t') {
            out += "\\t";
        } else if (cp < 0x20 || cp == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
            out += buf;
        } else {
            AppendUtf8(out, cp);
        }
    }
    out += "\"";
    return out;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += "\"";
    return out;
}

std::string TerminalText(std::string_view text) {
    std::string out;
    for (const char32_t cp : Utf8ToUtf32(text)) {
        if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
            out += '?';
        } else {
            AppendUtf8(out, cp);
        }
    }
    return out;
}

std::string FormatDeviceTable(const std::vector<DeviceRow>& rows) {
    std::vector<std::vector<std::string>> cells;
    cells.emplace_back(kCaptions.begin(), kCaptions.end());
    for (const auto& row : rows) {
        std::vector<std::string> line;
        for (const std::string* c : Columns(row)) line.push_back(TerminalText(*c));
        cells.push_back(std::move(line));
    }
    std::vector<std::size_t> width(kCaptions.size(), 0);
    for (const auto& line : cells) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            width[i] = std::max(width[i], DisplayWidth(line[i]));
        }
    }
    std::string out;
    for (const auto& line : cells) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            text += line[i];
            if (i + 1 < line.size()) text += std::string(width[i] - DisplayWidth(line[i]) + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out += text + "\n";
    }
    return out;
}

std::string FormatDeviceJson(const std::vector<DeviceRow>& rows) {
    if (rows.empty()) return "[]\n";
    std::string out = "[\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += "  " + JsonObject(rows[i]) + (i + 1 < rows.size() ? ",\n" : "\n");
    }
    out += "]\n";
    return out;
}

std::string FormatDeviceCsv(const std::vector<DeviceRow>& rows) {
    std::string out;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        out += std::string(kKeys[i]) + (i + 1 < kKeys.size() ? "," : "\r\n");
    }
    for (const auto& row : rows) {
        for (const std::string* c : Columns(row)) out += CsvField(*c) + ",";
        out += row.pending ? "yes\r\n" : "no\r\n";
    }
    return out;
}

std::string FormatDevices(const std::vector<DeviceRow>& rows, CliFormat format) {
    switch (format) {
        case CliFormat::Json:
            return FormatDeviceJson(rows);
        case CliFormat::Csv:
            return FormatDeviceCsv(rows);
        case CliFormat::Table:
            break;
    }
    return FormatDeviceTable(rows);
}

std::vector<DeviceEvent> DiffDevices(const std::vector<DeviceRow>& before,
                                     const std::vector<DeviceRow>& now) {
    std::map<std::string, const DeviceRow*> old_by_mac, new_by_mac;
    for (const auto& r : before) old_by_mac[r.mac] = &r;
    for (const auto& r : now) new_by_mac[r.mac] = &r;
    std::vector<DeviceEvent> events;
    for (const auto& r : now) {
        const auto it = old_by_mac.find(r.mac);
        if (it == old_by_mac.end()) {
            events.push_back({DeviceEventKind::Stored, r, {}});
        } else if (it->second->status != r.status) {
            events.push_back({DeviceEventKind::Status, r, it->second->status});
        }
    }
    for (const auto& r : before) {
        if (!new_by_mac.count(r.mac)) events.push_back({DeviceEventKind::Gone, r, {}});
    }
    return events;
}

std::string FormatEvent(const DeviceEvent& e, CliFormat format, std::string_view time) {
    const std::string_view kind = EventName(e.kind);
    if (format == CliFormat::Json) {
        std::string out = "{\"time\":" + JsonString(time) + ",\"event\":" + JsonString(kind);
        if (e.kind == DeviceEventKind::Status) out += ",\"old_status\":" + JsonString(e.old_status);
        out += ",\"device\":" + JsonObject(e.row) + "}";
        return out;
    }
    std::string out = std::string(time) + "  " + std::string(kind) + "  " + e.row.mac + "  " +
                      e.row.ip + "  " + TerminalText(e.row.name) + "  ";
    if (e.kind == DeviceEventKind::Status) {
        out += TerminalText(e.old_status) + " -> " + TerminalText(e.row.status);
    } else {
        out += TerminalText(e.row.status);
    }
    return out;
}
