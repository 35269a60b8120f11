#pragma once
// Ini files (Setting.ini, the language files, service/FileServer.ini) read and written with the
// rules of the classic private-profile functions:
//   - "[section]" lines open a section; "key=value" lines belong to the last section opened;
//     lines starting with ';' and lines without '=' are ignored;
//   - section and key names are matched without regard to case;
//   - blanks around names and values are trimmed, then one pair of matching single or double
//     quotation marks around a value is removed;
//   - when a key (or section) occurs more than once, the first occurrence wins;
//   - a value is cut to the caller's length limit, counted in UTF-16 code units.
// Files are UTF-8; a leading byte-order mark is skipped and invalid bytes are repaired, so
// every value read is valid UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

class COperateFileIni {
  public:
    // A missing or unreadable file reads as an empty one.
    static COperateFileIni Load(const std::string& path);
    static COperateFileIni Parse(std::string_view text);

    bool Empty() const { return sections_.empty(); }

    // The value as written (trimmed, quotes removed), or nothing when the section or key is
    // absent.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // The value, or `fallback` when absent; either is cut to `max_chars` characters.
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback,
                          size_t max_chars) const;

    // Sets a key in the file at `path`, keeping every other line: the first occurrence of the
    // key is replaced, or the key is added at the end of the section's first occurrence, or the
    // section is appended. Creates the file when missing. The file is replaced atomically.
    // False for an empty section or key, for a line break in any of the texts, and when the
    // file cannot be written.
    static bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                            std::string_view value);

  private:
    using Keys = std::unordered_map<std::string, std::string>;  // lowered key -> value
    std::unordered_map<std::string, Keys> sections_;            // lowered name -> keys
};
