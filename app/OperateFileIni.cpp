#include "app/OperateFileIni.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "app/TextCase.h"
#include "common/TextCodec.h"

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::string_view Trim(std::string_view s) {
    const size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(kBlanks);
    return s.substr(b, e - b + 1);
}

std::string_view StripQuotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(']')));
}

struct KeyLine {
    std::string_view key, value;
};

std::optional<KeyLine> KeyOf(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';') return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view key = Trim(t.substr(0, eq));
    if (key.empty()) return std::nullopt;
    return KeyLine{key, StripQuotes(Trim(t.substr(eq + 1)))};
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    return text;
}

}  // namespace

COperateFileIni COperateFileIni::Load(const std::string& path) { return Parse(ReadFile(path)); }

COperateFileIni COperateFileIni::Parse(std::string_view raw) {
    COperateFileIni ini;
    const std::string text = ToValidUtf8(raw);
    Keys* current = nullptr;
    for (std::string_view line : SplitLines(text)) {
        if (const auto name = SectionOf(line)) {
            current = &ini.sections_[ToLowerText(*name)];  // a repeated section adds to the first
            continue;
        }
        if (!current) continue;
        if (const auto kv = KeyOf(line))
            current->emplace(ToLowerText(kv->key), std::string(kv->value));  // first one wins
    }
    return ini;
}

std::optional<std::string> COperateFileIni::Find(std::string_view section,
                                                 std::string_view key) const {
    const auto s = sections_.find(ToLowerText(Trim(section)));
    if (s == sections_.end()) return std::nullopt;
    const auto k = s->second.find(ToLowerText(Trim(key)));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string COperateFileIni::GetString(std::string_view section, std::string_view key,
                                       std::string_view fallback, size_t max_chars) const {
    const auto value = Find(section, key);
    return CutToChars(value ? std::string_view(*value) : fallback, max_chars);
}

bool COperateFileIni::WriteString(const std::string& path, std::string_view section,
                                  std::string_view key, std::string_view value) {
    // A line break would turn the rest of the value into lines of its own.
    for (std::string_view part : {section, key, value})
        if (part.find_first_of("\r\n") != std::string_view::npos) return false;
    if (Trim(key).empty() || Trim(section).empty()) return false;
    const std::string text = ReadFile(path);
    std::vector<std::string_view> lines = SplitLines(text);
    const std::string want_section = ToLowerText(Trim(section));
    const std::string want_key = ToLowerText(Trim(key));
    const std::string new_line = std::string(Trim(key)) + "=" + std::string(value);

    std::vector<std::string> out(lines.begin(), lines.end());
    bool in_section = false, done = false;
    std::optional<size_t> section_end;  // where to add the key in the first matching section
    bool section_seen = false;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        if (const auto name = SectionOf(lines[i])) {
            if (in_section) break;  // the first occurrence of the section has ended
            in_section = ToLowerText(*name) == want_section;
            if (in_section) {
                section_seen = true;
                section_end = i + 1;
            }
            continue;
        }
        if (!in_section) continue;
        if (const auto kv = KeyOf(lines[i]); kv && ToLowerText(kv->key) == want_key) {
            out[i] = new_line;
            done = true;
        } else if (!Trim(lines[i]).empty()) {
            section_end = i + 1;
        }
    }
    if (!done) {
        if (section_seen) {
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(*section_end), new_line);
        } else {
            if (!out.empty() && !Trim(out.back()).empty()) out.emplace_back();
            out.push_back("[" + std::string(Trim(section)) + "]");
            out.push_back(new_line);
        }
    }

    std::string body;
    for (const auto& l : out) body += l + "\r\n";
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        if (!f || !(f << body) || !f.flush()) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}
