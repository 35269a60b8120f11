// The two tables of the device store and the rules that turn records into rows and back.
//
// ap_info has one row per device (key: mac) and mirrors ap_info_stu field by field; its _str
// columns hold the display texts of the codes, computed when the row is written so that the
// list search matches what the user sees. ap_other_info has one row per surveyed network.
// Text columns compare and sort without regard to ASCII case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/ValueTables.h"
#include "common/wire.h"

class CSqliteStatement;

namespace store {

// Statements that create the empty schema, in order.
std::vector<std::string> SchemaStatements();

// Column list of a row read back into ap_info_stu, for "select <list> from ap_info".
const std::string& ApReadColumns();
// Column list of a row read back into config_otherwl_basic.
const std::string& OtherReadColumns();
// "insert into ap_info(...) values(?1, ...) on conflict(mac) do update set ...": binds the values
// of MakeApRow in order.
const std::string& ApUpsertSql();

// The column of a list sort key: 0..13 for ap_info, 0..4 for ap_other_info; nullptr outside.
const char* ApSortColumn(int sortKey);
const char* OtherSortColumn(int sortKey);

// One value to bind.
struct RowValue {
    enum class Type : uint8_t { Int, Real, Text } type = Type::Int;
    int64_t i = 0;
    double d = 0;
    std::string s;
};

// Every column of the device's row (in ApUpsertSql's order) from the record, with the given
// status, display texts through tr.
std::vector<RowValue> MakeApRow(const ap_info_stu& info, int status, const Translator& tr);
void BindRow(CSqliteStatement& stmt, const std::vector<RowValue>& row, int firstIndex = 1);

// A row selected with ApReadColumns() into a zeroed record.
void ReadApRow(const CSqliteStatement& stmt, ap_info_stu& info);
// A row selected with OtherReadColumns() into a zeroed entry.
void ReadOtherRow(const CSqliteStatement& stmt, config_otherwl_basic& entry);

// A length-prefixed text field of a record as column text: the first `length` bytes (length cut
// to the field's width), made valid UTF-8 and cut to the width without splitting a character.
std::string FieldText(const char* field, size_t width, uint8_t length);
// Column text into a zeroed text field: trimmed, cut to the width without splitting a character;
// returns the length byte.
uint8_t PutFieldText(std::string_view text, char* field, size_t width);
// Surrounding white space removed, as for every text read back from a row.
std::string_view Trim(std::string_view text);

// The search text as a LIKE pattern that matches it literally anywhere ('\' escapes).
std::string LikeSubstringPattern(std::string_view search);

}  // namespace store
