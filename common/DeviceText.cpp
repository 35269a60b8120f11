#include "common/DeviceText.h"

#include <algorithm>
#include <array>

#include "common/TextCodec.h"

namespace {

// Punctuation that Chinese input methods produce; sorted for the binary search.
constexpr std::array<char16_t, 33> kChinesePunctuation = {
    0x00B7, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2026, 0x3001, 0x3002, 0x3008, 0x3009,
    0x300A, 0x300B, 0x300C, 0x300D, 0x300E, 0x300F, 0x3010, 0x3011, 0x3014, 0x3015, 0xFE43,
    0xFE44, 0xFE4F, 0xFF01, 0xFF08, 0xFF09, 0xFF0C, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF5E, 0xFFE5,
};
static_assert(std::is_sorted(kChinesePunctuation.begin(), kChinesePunctuation.end()));

std::size_t Utf8UnitLength(char16_t unit) {
    if (unit < 0x80) return 1;
    if (unit < 0x800) return 2;
    return 3;
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

bool IsStrictChar(char16_t u) {
    if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9'))
        return true;
    if (IsChineseChar(u)) return true;
    constexpr std::u16string_view kMarks = u"!#$%&()*+-./<=>?@^_~";
    return kMarks.find(u) != std::u16string_view::npos;
}

bool HasChinese(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), IsChineseChar);
}

bool HasTopBit(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
}

std::uint8_t WriteField(std::string_view text, std::span<std::uint8_t> field) {
    std::fill(field.begin(), field.end(), 0);
    const std::size_t width = std::min<std::size_t>(field.size(), 255);
    const std::size_t n = Utf8CutPoint(text, width);
    std::copy_n(text.begin(), n, field.begin());
    return static_cast<std::uint8_t>(n);
}

}  // namespace

bool IsChineseChar(char16_t unit) {
    if (unit >= 0x4E00 && unit <= 0x9FA5) return true;
    return std::binary_search(kChinesePunctuation.begin(), kChinesePunctuation.end(), unit);
}

std::size_t GetUtf8Length(std::u16string_view text) {
    std::size_t n = 0;
    for (char16_t u : text) n += Utf8UnitLength(u);
    return n;
}

std::u16string CutToUtf8Length(std::u16string_view text, std::size_t limit) {
    std::size_t sum = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        // A surrogate pair goes in whole or not at all.
        const std::size_t units =
            IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
        const std::size_t bytes = units * Utf8UnitLength(text[i]);
        if (sum + bytes > limit) break;
        sum += bytes;
        i += units;
    }
    return std::u16string(text.substr(0, i));
}

bool CheckNameStrict(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), IsStrictChar) &&
           GetUtf8Length(text) <= kDeviceTextBudget;
}

bool CheckNameLoose(std::u16string_view text) {
    const bool chars_ok = std::all_of(text.begin(), text.end(), [](char16_t u) {
        return (u > 0 && u < 128) || IsChineseChar(u);
    });
    return chars_ok && GetUtf8Length(text) <= kDeviceTextBudget;
}

std::string LocalTextToDevice(std::string_view local) {
    const std::u16string wide = LocalToWide(local);
    if (HasChinese(wide)) return Utf16ToUtf8(wide);
    return std::string(local);
}

std::string DeviceTextToLocal(std::string_view device) {
    if (!HasTopBit(device)) return std::string(device);
    device.remove_suffix(IncompleteUtf8Tail(device));
    return ToValidUtf8(device);
}

std::uint8_t WriteDeviceTextField(std::string_view local, std::span<std::uint8_t> field) {
    return WriteField(LocalTextToDevice(local), field);
}

std::uint8_t ConvertDeviceTextField(std::span<std::uint8_t> field, std::uint8_t length) {
    const std::size_t n = std::min<std::size_t>(length, field.size());
    const std::string local =
        DeviceTextToLocal(std::string_view(reinterpret_cast<const char*>(field.data()), n));
    return WriteField(local, field);
}

std::string CutLocalText(std::string_view local, std::size_t max_bytes) {
    return std::string(local.substr(0, Utf8CutPoint(local, max_bytes)));
}
