#pragma once
// Device names and network names (SSIDs): the set of characters counted as Chinese, the 32-byte
// budget, the two character rules, and the conversions used whenever such a text crosses to or
// from a device.
//
// Window texts are UTF-16 and a "character" is one UTF-16 code unit. Records, payloads and the
// store hold local text, which is UTF-8 here. A device sends and expects UTF-8 for a text with
// Chinese characters and plain bytes otherwise; it may also send bytes that are no UTF-8 at all
// (Latin-1), which never reach the store unreplaced.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Width of a name or SSID field on the wire and the byte budget of such a text.
inline constexpr std::size_t kDeviceTextBudget = 32;

// U+4E00..U+9FA5 and 33 CJK punctuation marks.
bool IsChineseChar(char16_t unit);

// Bytes the text takes as UTF-8, unit by unit: 1 below U+0080, 2 below U+0800, else 3 (each
// half of a surrogate pair counts 3).
std::size_t GetUtf8Length(std::u16string_view text);

// Longest prefix whose GetUtf8Length is at most limit. A surrogate pair is kept or dropped
// whole, so the result is never a broken text.
std::u16string CutToUtf8Length(std::u16string_view text, std::size_t limit);

// Letters, digits, Chinese characters and ! # $ % & ( ) * + - . / < = > ? @ ^ _ ~; at most
// 32 bytes.
bool CheckNameStrict(std::u16string_view text);
// ASCII other than NUL, or Chinese characters; at most 32 bytes.
bool CheckNameLoose(std::u16string_view text);

// Local text -> bytes for the device: UTF-8 when the text holds a Chinese character, the local
// bytes unchanged otherwise.
std::string LocalTextToDevice(std::string_view local);

// Device bytes -> local text. Pure 7-bit text is kept as it is. Otherwise a sequence cut short at
// the end (by the 32-byte field) is dropped and the rest is decoded as UTF-8, any ill-formed
// byte (a device sending Latin-1, say) becoming U+FFFD. The result is always valid UTF-8, but may
// be longer than the input; the field helpers below keep it within the field.
std::string DeviceTextToLocal(std::string_view device);

// Length-prefixed text fields of records and payloads. Both write the text at the start of the
// zeroed field, cut to the field's width without splitting a character, and return the new
// length byte.
//
// Request building: zero the field, write LocalTextToDevice(local).
std::uint8_t WriteDeviceTextField(std::string_view local, std::span<std::uint8_t> field);
// Report reading: take the field's first `length` bytes (at most its width), convert them with
// DeviceTextToLocal and write the result back in place.
std::uint8_t ConvertDeviceTextField(std::span<std::uint8_t> field, std::uint8_t length);

// Local text cut to at most max_bytes without splitting a character (for "cut to 32 bytes").
std::string CutLocalText(std::string_view local, std::size_t max_bytes);
