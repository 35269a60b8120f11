// How merrowin-cli shows devices: the list texts of a record, and JSON, CSV and table output of
// texts that come from devices (quotes, separators, control characters, Chinese, broken UTF-8).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cli/DeviceView.h"
#include "common/ValueTables.h"

namespace {

void SetText(char* field, uint8_t& len, const std::string& text) {
    std::memcpy(field, text.data(), text.size());
    len = static_cast<uint8_t>(text.size());
}

ap_info_stu Record(const std::string& mac, int type, int status) {
    ap_info_stu r{};
    std::memcpy(r.mac, mac.c_str(), mac.size() + 1);
    r.ap_type = static_cast<uint16_t>(type);
    r.ap_status = status;
    r.work_mode = 1;
    r.up_time = 90061;
    const uint8_t ip[4] = {198, 51, 100, 3};
    std::memcpy(r.ip, ip, 4);
    SetText(r.ap_name, r.ap_name_len, "Roof");
    SetText(r.ssid, r.ssid_len, "link-1");
    SetText(r.version, r.version_len, "V2.3.0");
    r.channel = 0;
    r.secure_mode = 3;
    r.tx_power = 27;
    r.bridge_transparent = 1;
    r.tdmaEn = 0;
    return r;
}

TEST(DeviceView, StoredRecordGivesTheListTexts) {
    const DeviceRow row = MakeDeviceRow(Record("02:4d:57:00:00:01", 6, 1));
    EXPECT_EQ("Roof", row.name);
    EXPECT_EQ(GetApTypeText(6), row.type);
    EXPECT_EQ("198.51.100.3", row.ip);
    EXPECT_EQ("02:4d:57:00:00:01", row.mac);
    EXPECT_EQ("AP", row.mode);
    EXPECT_EQ("link-1", row.ssid);
    EXPECT_EQ("Auto", row.channel);
    EXPECT_EQ("WPA2_PSK", row.security);
    EXPECT_EQ("27", row.power);
    EXPECT_EQ("V2.3.0", row.version);
    EXPECT_EQ("On2", row.transparent_bridge);
    EXPECT_EQ("Off2", row.tdma);  // type 6 is a TDMA type
    EXPECT_EQ("1 1:1:1", row.uptime);
    EXPECT_EQ("Online", row.status);
    EXPECT_FALSE(row.pending);
}

TEST(DeviceView, DisplayTextsGoThroughTheLanguageLookup) {
    const Translator lookup = [](const std::string& key) {
        static const std::map<std::string, std::string> lng = {
            {"On2", "On"}, {"Off2", "Off"}, {"Online", "Up"}};
        const auto it = lng.find(key);
        return it == lng.end() ? key : it->second;
    };
    const DeviceRow row = MakeDeviceRow(Record("02:4d:57:00:00:01", 6, 1), lookup);
    EXPECT_EQ("On", row.transparent_bridge);
    EXPECT_EQ("Off", row.tdma);
    EXPECT_EQ("Up", row.status);
    EXPECT_EQ("Roof", row.name);  // device texts are never looked up
}

TEST(DeviceView, PendingRecordWithoutSsidShowsOnlyWhatDiscoveryTold) {
    ap_info_stu r = Record("02:4d:57:00:00:02", 4, 10);
    r.ssid_len = 0;
    const DeviceRow row = MakeDeviceRow(r);
    EXPECT_TRUE(row.pending);
    EXPECT_EQ("Pending", row.status);
    EXPECT_EQ("198.51.100.3", row.ip);
    EXPECT_EQ("V2.3.0", row.version);
    EXPECT_EQ(GetApTypeText(4), row.type);
    EXPECT_EQ("", row.name);
    EXPECT_EQ("", row.mode);
    EXPECT_EQ("", row.channel);
    EXPECT_EQ("", row.uptime);
    EXPECT_EQ("", row.transparent_bridge);

    r.ssid_len = 6;
    EXPECT_EQ("Roof", MakeDeviceRow(r).name);
}

TEST(DeviceView, TextFieldsStopAtTheirLengthByteAndTheirWidth) {
    ap_info_stu r = Record("02:4d:57:00:00:03", 1, 1);
    std::memset(r.ap_name, 'x', sizeof r.ap_name);
    r.ap_name_len = 200;  // a device claiming more than the field holds
    EXPECT_EQ(std::string(32, 'x'), MakeDeviceRow(r).name);
    r.ap_name_len = 3;
    EXPECT_EQ("xxx", MakeDeviceRow(r).name);
}

struct Escape {
    std::string in;
    std::string json;
    std::string csv;
    std::string terminal;
};

class DeviceTextEscaping : public ::testing::TestWithParam<Escape> {};

TEST_P(DeviceTextEscaping, EachFormat) {
    const Escape& e = GetParam();
    EXPECT_EQ(e.json, JsonString(e.in));
    EXPECT_EQ(e.csv, CsvField(e.in));
    EXPECT_EQ(e.terminal, TerminalText(e.in));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DeviceTextEscaping,
    ::testing::Values(
        Escape{"plain", "\"plain\"", "plain", "plain"},
        Escape{"say \"hi\"", "\"say \\\"hi\\\"\"", "\"say \"\"hi\"\"\"", "say \"hi\""},
        Escape{"a,b", "\"a,b\"", "\"a,b\"", "a,b"},
        Escape{"back\\slash", "\"back\\\\slash\"", "back\\slash", "back\\slash"},
        Escape{"two\nlines\r", "\"two\\nlines\\r\"", "\"two\nlines\r\"", "two?lines?"},
        Escape{"\x1b[2Jx\x01\x7f", "\"\\u001b[2Jx\\u0001\\u007f\"", "\x1b[2Jx\x01\x7f", "?[2Jx??"},
        Escape{"\xe5\xa4\xa9\xe7\xba\xbf tab\t", "\"\xe5\xa4\xa9\xe7\xba\xbf tab\\t\"",
               "\xe5\xa4\xa9\xe7\xba\xbf tab\t", "\xe5\xa4\xa9\xe7\xba\xbf tab?"},
        // Broken UTF-8 never reaches JSON or a terminal as it is: each ill-formed run (the
        // stray byte, the cut-off sequence) becomes one U+FFFD, as everywhere in the program.
        Escape{"ab\xff\xe5\xa4", "\"ab\xef\xbf\xbd\xef\xbf\xbd\"", "ab\xff\xe5\xa4",
               "ab\xef\xbf\xbd\xef\xbf\xbd"}));

TEST(DeviceView, JsonArrayHasStableKeysAndOneObjectPerDevice) {
    ap_info_stu r = Record("02:4d:57:00:00:01", 6, 1);
    SetText(r.ap_name, r.ap_name_len, "Roof \"A\"");
    const std::string json = FormatDeviceJson({MakeDeviceRow(r)});
    EXPECT_EQ(
        "[\n  {\"name\":\"Roof \\\"A\\\"\",\"type\":\"" + GetApTypeText(6) +
            "\",\"ip\":\"198.51.100.3\",\"mac\":\"02:4d:57:00:00:01\",\"mode\":\"AP\","
            "\"ssid\":\"link-1\",\"channel\":\"Auto\",\"security\":\"WPA2_PSK\",\"power\":\"27\","
            "\"version\":\"V2.3.0\",\"transparent_bridge\":\"On2\",\"tdma\":\"Off2\","
            "\"uptime\":\"1 1:1:1\",\"status\":\"Online\",\"pending\":false}\n]\n",
        json);
    EXPECT_EQ("[]\n", FormatDeviceJson({}));
}

TEST(DeviceView, CsvHasAHeaderAndQuotesDeviceTexts) {
    ap_info_stu r = Record("02:4d:57:00:00:01", 6, 1);
    SetText(r.ap_name, r.ap_name_len, "Roof, east");
    const std::string csv = FormatDeviceCsv({MakeDeviceRow(r)});
    const std::string header =
        "name,type,ip,mac,mode,ssid,channel,security,power,version,transparent_bridge,tdma,"
        "uptime,status,pending\r\n";
    ASSERT_EQ(0u, csv.find(header));
    EXPECT_EQ("\"Roof, east\"," + GetApTypeText(6) +
                  ",198.51.100.3,02:4d:57:00:00:01,AP,link-1,Auto,WPA2_PSK,27,V2.3.0,On2,Off2,"
                  "1 1:1:1,Online,no\r\n",
              csv.substr(header.size()));
}

TEST(DeviceView, TableAlignsWideCharactersAndKeepsControlsOut) {
    ap_info_stu a = Record("02:4d:57:00:00:01", 6, 1);
    ap_info_stu b = Record("02:4d:57:00:00:02", 6, 1);
    SetText(a.ap_name, a.ap_name_len, "\xe5\xa4\xa9\xe7\xba\xbf");  // two wide characters
    SetText(b.ap_name, b.ap_name_len, "ab\x1b[31m");
    const std::string table = FormatDeviceTable({MakeDeviceRow(a), MakeDeviceRow(b)});
    EXPECT_EQ(std::string::npos, table.find('\x1b'));
    // The Type column starts at the same terminal column on both rows: 4 columns of name in
    // the first (6 bytes), 7 in the second, padded to the widest ("Location", 8) plus 2.
    const auto lines_start = table.find('\n') + 1;
    const std::string first =
        table.substr(lines_start, table.find('\n', lines_start) - lines_start);
    const auto second_start = table.find('\n', lines_start) + 1;
    const std::string second =
        table.substr(second_start, table.find('\n', second_start) - second_start);
    EXPECT_EQ(0u, first.find("\xe5\xa4\xa9\xe7\xba\xbf      " + GetApTypeText(6)));
    EXPECT_EQ(0u, second.find("ab?[31m   " + GetApTypeText(6)));
}

TEST(DeviceView, DiffFindsStoredStatusAndGone) {
    const DeviceRow a = MakeDeviceRow(Record("02:4d:57:00:00:01", 6, 1));
    const DeviceRow b = MakeDeviceRow(Record("02:4d:57:00:00:02", 6, 1));
    DeviceRow b_restarting = MakeDeviceRow(Record("02:4d:57:00:00:02", 6, 4));
    const DeviceRow c = MakeDeviceRow(Record("02:4d:57:00:00:03", 6, 1));

    const auto events = DiffDevices({a, b}, {b_restarting, c});
    ASSERT_EQ(3u, events.size());
    EXPECT_EQ(DeviceEventKind::Status, events[0].kind);
    EXPECT_EQ("02:4d:57:00:00:02", events[0].row.mac);
    EXPECT_EQ("Online", events[0].old_status);
    EXPECT_EQ("Restarting", events[0].row.status);
    EXPECT_EQ(DeviceEventKind::Stored, events[1].kind);
    EXPECT_EQ("02:4d:57:00:00:03", events[1].row.mac);
    EXPECT_EQ(DeviceEventKind::Gone, events[2].kind);
    EXPECT_EQ("02:4d:57:00:00:01", events[2].row.mac);

    EXPECT_TRUE(DiffDevices({a, b}, {a, b}).empty());

    const std::string line = FormatEvent(events[0], CliFormat::Json, "2024-01-31 15:30:02");
    EXPECT_EQ(0u, line.find("{\"time\":\"2024-01-31 15:30:02\",\"event\":\"status\","
                            "\"old_status\":\"Online\",\"device\":{\"name\":\"Roof\""))
        << line;
    EXPECT_EQ(std::string::npos, line.find('\n'));
    EXPECT_EQ("2024-01-31 15:30:02  gone  02:4d:57:00:00:01  198.51.100.3  Roof  Online",
              FormatEvent(events[2], CliFormat::Table, "2024-01-31 15:30:02"));
}

}  // namespace
