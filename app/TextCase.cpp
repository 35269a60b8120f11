#include "app/TextCase.h"

#include <locale.h>
#include <wctype.h>

#include "common/TextCodec.h"

namespace {

// A UTF-8 character-type locale of our own, so lowering does not depend on the process's
// locale (Qt or the C library may leave it at "C", which lowers only ASCII).
locale_t CaseLocale() {
    static const locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (!l) l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
        return l;
    }();
    return loc;
}

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::string ToLowerText(std::string_view utf8) {
    if (IsAscii(utf8)) {
        std::string out(utf8);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return out;
    }
    std::u16string wide = Utf8ToUtf16(utf8);
    const locale_t loc = CaseLocale();
    for (char16_t& u : wide) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;  // outside the basic plane: left as is
        u = static_cast<char16_t>(loc ? towlower_l(u, loc) : towlower(u));
    }
    return Utf16ToUtf8(wide);
}

std::string CutToChars(std::string_view utf8, size_t max_chars) {
    if (utf8.size() <= max_chars) return ToValidUtf8(utf8);  // bytes bound code units
    std::u16string wide = Utf8ToUtf16(utf8);
    if (wide.size() > max_chars) {
        wide.resize(max_chars);
        if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();
    }
    return Utf16ToUtf8(wide);
}
