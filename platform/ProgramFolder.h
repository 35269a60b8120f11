#pragma once
// Where the program's own files live. Everything the program reads or writes (Setting.ini,
// Languages/, Skin/, Logs/, data.mdb) is found relative to this folder, never the working
// directory.

#include <string>

namespace platform {

// The directory of the running executable with a trailing '/', taken from /proc/self/exe.
// Empty when the link cannot be read (then paths fall back to being relative).
std::string GetProgramFolder();

// The directory part of a path, including its last '/'; empty when the path has none.
std::string FolderOfPath(const std::string& path);

}  // namespace platform
