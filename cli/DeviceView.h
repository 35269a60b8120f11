#pragma once
// How merrowin-cli shows devices: the list columns of the Status page as texts, and the three
// output formats (an aligned table, JSON, CSV) plus the one-line events of `watch`.
//
// Names and SSIDs come from devices and are data: JSON and CSV carry them exactly (escaped as
// each format requires), the table replaces control characters so a device cannot drive the
// operator's terminal.

#include <string>
#include <string_view>
#include <vector>

#include "cli/CliOptions.h"
#include "common/ValueTables.h"
#include "common/wire.h"

// One device as the lists show it.
struct DeviceRow {
    std::string name, type, ip, mac, mode, ssid, channel, security, power, version,
        transparent_bridge, tdma, uptime, status;
    bool pending = false;
};

// The JSON keys (also the CSV header) in column order, "pending" last.
const std::vector<std::string_view>& DeviceRowKeys();

// A stored record, or a pending one (ap_status 10): a pending device's name, mode, SSID,
// channel, bridge, TDMA and uptime are shown only when its discovery answer carried an SSID,
// as the Status page does, and its status reads "Pending".
// Display texts go through `tr` (the language lookup in the tool; none in tests).
DeviceRow MakeDeviceRow(const ap_info_stu& record, const Translator& tr = {});

std::string JsonString(std::string_view text);  // quoted and escaped; ill-formed UTF-8 -> U+FFFD
std::string CsvField(std::string_view text);    // quoted when it holds , " CR or LF
// Control characters (and ill-formed UTF-8) replaced by '?' for a terminal.
std::string TerminalText(std::string_view text);

std::string FormatDeviceTable(const std::vector<DeviceRow>& rows);
std::string FormatDeviceJson(const std::vector<DeviceRow>& rows);  // an array, one per line
std::string FormatDeviceCsv(const std::vector<DeviceRow>& rows);   // header row first
std::string FormatDevices(const std::vector<DeviceRow>& rows, CliFormat format);

// ---- watch ----
enum class DeviceEventKind { Stored, Status, Gone };

struct DeviceEvent {
    DeviceEventKind kind;
    DeviceRow row;           // the device as it is now (as it was last seen, for Gone)
    std::string old_status;  // Status: the previous status text
};

// Events between two listings of the store, keyed by MAC: new devices (in the order of `now`),
// status changes, and devices no longer there (in the order of `before`).
std::vector<DeviceEvent> DiffDevices(const std::vector<DeviceRow>& before,
                                     const std::vector<DeviceRow>& now);

// One line without its line feed; `time` is the local time text put in front.
std::string FormatEvent(const DeviceEvent& event, CliFormat format, std::string_view time);
