// UTF-8 <-> UTF-16 conversions.
//
// The program's narrow ("local") text encoding is UTF-8, so these are also the narrow-text
// conversions of the whole program: window texts are UTF-16, records, payloads, the store and the
// log hold UTF-8. Conversions never fail; an ill-formed sequence becomes U+FFFD, so whatever comes
// out is always well formed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char16_t kReplacementChar = u'\uFFFD';

// Decodes UTF-8. Every maximal ill-formed subpart (a stray continuation byte, a byte that can
// never start a sequence, a sequence broken off early, an overlong form, an encoded surrogate,
// a value above U+10FFFF) becomes one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

// Decodes UTF-8 into code points, with the same U+FFFD rule as Utf8ToUtf16.
std::u32string Utf8ToUtf32(std::string_view utf8);

// Appends one code point as UTF-8 (the caller passes a valid scalar value).
void AppendUtf8(std::string& out, char32_t cp);

// Encodes UTF-16. A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// The same text with every ill-formed subpart replaced by U+FFFD (well-formed input comes back
// unchanged).
std::string ToValidUtf8(std::string_view utf8);

bool IsValidUtf8(std::string_view utf8);

// Number of bytes at the end of the text that form the start of a well-formed sequence cut short
// (0 when the text ends on a sequence boundary or its tail is ill-formed anyway).
std::size_t IncompleteUtf8Tail(std::string_view utf8);

// Largest length <= max_bytes that does not split a multi-byte sequence of the text.
std::size_t Utf8CutPoint(std::string_view utf8, std::size_t max_bytes);

// Narrow-text conversions under the names the rest of the program uses.
inline std::u16string LocalToWide(std::string_view local) { return Utf8ToUtf16(local); }
inline std::string WideToLocal(std::u16string_view wide) { return Utf16ToUtf8(wide); }
