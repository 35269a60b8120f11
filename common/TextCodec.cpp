#include "common/TextCodec.h"

#include <cstdint>

namespace {

enum class Step { Ok, Invalid, Truncated };

struct Decoded {
    Step step;
    char32_t cp;      // valid only for Step::Ok
    std::size_t len;  // bytes taken: the sequence, or its maximal ill-formed subpart (>= 1)
};

// One sequence at position i, by the table of well-formed UTF-8 byte sequences: the second byte's
// range depends on the lead byte (this is what rules out overlong forms, surrogates and values
// above U+10FFFF); later bytes are plain continuation bytes.
Decoded DecodeOne(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<std::uint8_t>(s[i]);
    if (b0 < 0x80) return {Step::Ok, b0, 1};
    std::size_t need;
    std::uint8_t lo = 0x80, hi = 0xBF;
    char32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return {Step::Invalid, 0, 1};
    }
    for (std::size_t k = 1; k <= need; ++k) {
        if (i + k >= s.size()) return {Step::Truncated, 0, k};
        const auto b = static_cast<std::uint8_t>(s[i + k]);
        if (b < lo || b > hi) return {Step::Invalid, 0, k};
        lo = 0x80;
        hi = 0xBF;
        cp = (cp << 6) | (b & 0x3F);
    }
    return {Step::Ok, cp, need + 1};
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::u32string Utf8ToUtf32(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeOne(utf8, i);
        out.push_back(d.step == Step::Ok ? d.cp : kReplacementChar);
        i += d.len;
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeOne(utf8, i);
        AppendUtf16(out, d.step == Step::Ok ? d.cp : kReplacementChar);
        i += d.len;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, kReplacementChar);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::string ToValidUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeOne(utf8, i);
        if (d.step == Step::Ok)
            out.append(utf8.substr(i, d.len));
        else
            AppendUtf8(out, kReplacementChar);
        i += d.len;
    }
    return out;
}

bool IsValidUtf8(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeOne(utf8, i);
        if (d.step != Step::Ok) return false;
        i += d.len;
    }
    return true;
}

std::size_t IncompleteUtf8Tail(std::string_view utf8) {
    // A sequence is at most 4 bytes, so only a lead byte among the last 3 can start a cut one.
    const std::size_t from = utf8.size() > 3 ? utf8.size() - 3 : 0;
    for (std::size_t i = utf8.size(); i-- > from;) {
        const auto b = static_cast<std::uint8_t>(utf8[i]);
        if ((b & 0xC0) == 0x80) continue;  // continuation byte: keep looking for the lead
        const Decoded d = DecodeOne(utf8, i);
        return d.step == Step::Truncated ? utf8.size() - i : 0;
    }
    return 0;
}

std::size_t Utf8CutPoint(std::string_view utf8, std::size_t max_bytes) {
    if (max_bytes >= utf8.size()) return utf8.size();
    std::size_t cut = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t len = DecodeOne(utf8, i).len;
        if (i + len > max_bytes) break;
        i += len;
        cut = i;
    }
    return cut;
}
