#pragma once
// The program's version text: "V" and the four-part version "%d.%d.%d.%d".

#include <string>
#include <string_view>

// "V" followed by the version's four parts (missing parts are 0); just "V" for an empty or
// unreadable version.
std::string VersionText(std::string_view version);

// The version text of this build (the project version).
std::string GetVersionText();
