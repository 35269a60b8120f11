#pragma once
// The system's locale as a Windows locale id (LCID), the number the language files are keyed by.

#include <cstdint>
#include <string_view>

namespace platform {

// The locale name that decides the user's language: the first non-empty of LC_ALL,
// LC_MESSAGES and LANG (null pointers count as empty); "C" when all are empty.
std::string_view ChooseLocaleName(const char* lc_all, const char* lc_messages, const char* lang);

// Maps a POSIX locale name ("zh_CN.UTF-8", "de_AT@euro", "fr") to its locale id. A known
// language in an unlisted country gets the language's main locale; C, POSIX and anything
// unknown give 1033 (English, United States).
std::uint16_t LocaleIdFromName(std::string_view posix_name);

// The locale id of this process's environment.
std::uint16_t GetSystemLocaleId();

}  // namespace platform
