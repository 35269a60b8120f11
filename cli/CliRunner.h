#pragma once
// merrowin-cli's commands: parse the line, check the input, start the engine, search, act,
// report. main() only wires the real host to this.

#include <ostream>
#include <string>
#include <vector>

#include "cli/CliBackend.h"

inline constexpr int kCliExitOk = 0;
inline constexpr int kCliExitFailed = 1;    // a device did not answer or was not found
inline constexpr int kCliExitBadInput = 2;  // usage or validation
inline constexpr int kCliExitNoStart = 3;   // another instance, no network, no permission

// args are the words after the program name.
int RunCli(const std::vector<std::string>& args, CCliHost& host, std::ostream& out,
           std::ostream& err);
