#pragma once
// Lower-casing of UTF-8 text for case-insensitive lookups (ini sections and keys, language
// keys). Letters of every script that has case are lowered, not only ASCII ones.

#include <string>
#include <string_view>

std::string ToLowerText(std::string_view utf8);

// The text cut to at most `max_chars` UTF-16 code units (the unit the window texts count in),
// never splitting a surrogate pair. Invalid UTF-8 comes back repaired.
std::string CutToChars(std::string_view utf8, size_t max_chars);
