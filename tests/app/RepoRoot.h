#pragma once
// The repository's root folder (with trailing '/'), for checks of the files the program ships.

#include <string>

inline std::string RepoRoot() {
    const std::string here = __FILE__;  // <root>/tests/app/RepoRoot.h
    return here.substr(0, here.rfind("/tests/app/") + 1);
}
