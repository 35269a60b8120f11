#pragma once
// The command line of merrowin-cli: which command, its devices and its values, as typed.
//
// Parsing only checks the shape of the line (known command, known options, values present,
// numbers that are numbers, MAC texts that are MAC texts). The rules on the values themselves
// (addresses, masks, names) are the same checks the window program runs on Save and are applied
// by the commands, so their messages are the window program's.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class CliCommand {
    None,  // no command given: the general help
    Discover,
    Watch,
    Reboot,
    Restore,
    Rename,
    SetIp,
    SetIpRange,
    SetBridge,
    SetTdma,
};

enum class CliFormat { Table, Json, Csv };

struct CliOptions {
    CliCommand command = CliCommand::None;
    bool help = false;
    CliFormat format = CliFormat::Table;
    int seconds = 10;  // discover: how long to search
    int timeout = 15;  // actions: how long to search for the named devices
    bool pending = false;
    std::vector<std::string> macs;  // normalised: lower case, colon separated
    std::string name;               // rename
    bool on = false;                // set-bridge / set-tdma
    // set-ip / set-ip-range; absent options are empty texts, as an empty address control.
    std::string ip, first, last, mask, gateway, dns1, dns2;
};

struct CliParseResult {
    bool ok = false;
    CliOptions options;
    std::string error;  // a usage problem, for standard error (exit code 2)
};

CliParseResult ParseCliArgs(const std::vector<std::string>& args);

// "AA-BB-CC-DD-EE-FF", "aa:bb:cc:dd:ee:ff" -> "aa:bb:cc:dd:ee:ff"; nullopt for anything else.
std::optional<std::string> NormaliseMac(std::string_view text);

std::string_view CommandName(CliCommand command);
// The help text of one command, or of the whole tool for CliCommand::None.
std::string CliUsage(CliCommand command);
