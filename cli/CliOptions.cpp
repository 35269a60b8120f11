#include "cli/CliOptions.h"

#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace {

struct CommandInfo {
    CliCommand command;
    std::string_view name;
    std::string_view usage;
};

constexpr std::string_view kCommonHelp =
    "Exit codes: 0 all done; 1 a device did not answer or was not found; 2 bad input;\n"
    "3 could not start (another instance running, no network, no permission).\n";

const std::array<CommandInfo, 9> kCommands = {{
    {CliCommand::Discover, "discover",
     "usage: merrowin-cli discover [--seconds N] [--format table|json|csv] [--pending]\n"
     "Searches for N seconds (default 10), broadcasting every 3 seconds, then lists every\n"
     "device found. --pending also lists devices whose configuration has not arrived yet.\n"},
    {CliCommand::Watch, "watch",
     "usage: merrowin-cli watch [--format table|json]\n"
     "Keeps searching and prints one line per event (a device stored, a status change, a\n"
     "device gone) until interrupted with Ctrl-C or SIGTERM.\n"},
    {CliCommand::Reboot, "reboot",
     "usage: merrowin-cli reboot MAC... [--timeout S]\n"
     "Restarts the named devices after finding them (search up to S seconds, default 15).\n"},
    {CliCommand::Restore, "restore",
     "usage: merrowin-cli restore MAC... [--timeout S]\n"
     "Resets the named devices to their factory settings.\n"},
    {CliCommand::Rename, "rename",
     "usage: merrowin-cli rename MAC NAME [--timeout S]\n"
     "Gives one device a new name (its location).\n"},
    {CliCommand::SetIp, "set-ip",
     "usage: merrowin-cli set-ip MAC --ip A --mask M [--gateway G] [--dns1 D] [--dns2 D]\n"
     "                          [--timeout S]\n"
     "Gives one device a static address.\n"},
    {CliCommand::SetIpRange, "set-ip-range",
     "usage: merrowin-cli set-ip-range MAC... --first A --last B --mask M [--gateway G]\n"
     "                                [--dns1 D] [--dns2 D] [--timeout S]\n"
     "Gives the devices, in the order named, the addresses from A to B, skipping those\n"
     "ending in .0 or .255. Devices left over when the range runs out are not changed.\n"},
    {CliCommand::SetBridge, "set-bridge",
     "usage: merrowin-cli set-bridge on|off MAC... [--timeout S]\n"
     "Switches the transparent bridge of the named devices.\n"},
    {CliCommand::SetTdma, "set-tdma",
     "usage: merrowin-cli set-tdma on|off MAC... [--timeout S]\n"
     "Switches the TDMA mode of the named devices.\n"},
}};

const CommandInfo* FindCommand(std::string_view name) {
    for (const auto& c : kCommands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

bool ParseCount(std::string_view text, int min, int max, int& out) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        return false;
    }
    out = value;
    return true;
}

// Which options a command takes besides --help.
bool Accepts(CliCommand command, std::string_view option) {
    const bool address =
        option == "--mask" || option == "--gateway" || option == "--dns1" || option == "--dns2";
    switch (command) {
        case CliCommand::Discover:
            return option == "--seconds" || option == "--format" || option == "--pending";
        case CliCommand::Watch:
            return option == "--format";
        case CliCommand::SetIp:
            return option == "--timeout" || option == "--ip" || address;
        case CliCommand::SetIpRange:
            return option == "--timeout" || option == "--first" || option == "--last" || address;
        case CliCommand::Reboot:
        case CliCommand::Restore:
        case CliCommand::Rename:
        case CliCommand::SetBridge:
        case CliCommand::SetTdma:
            return option == "--timeout";
        case CliCommand::None:
            return false;
    }
    return false;
}

std::string* AddressField(CliOptions& o, std::string_view option) {
    if (option == "--ip") return &o.ip;
    if (option == "--first") return &o.first;
    if (option == "--last") return &o.last;
    if (option == "--mask") return &o.mask;
    if (option == "--gateway") return &o.gateway;
    if (option == "--dns1") return &o.dns1;
    if (option == "--dns2") return &o.dns2;
    return nullptr;
}

CliParseResult Fail(std::string message) {
    CliParseResult r;
    r.error = std::move(message);
    return r;
}

}  // namespace

std::optional<std::string> NormaliseMac(std::string_view text) {
    if (text.size() != 17) return std::nullopt;
    const char sep = text[2];
    if (sep != ':' && sep != '-') return std::nullopt;
    std::string out;
    out.reserve(17);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i % 3 == 2) {
            if (c != sep) return std::nullopt;
            out.push_back(':');
        } else {
            if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return out;
}

std::string_view CommandName(CliCommand command) {
    for (const auto& c : kCommands) {
        if (c.command == command) return c.name;
    }
    return "";
}

std::string CliUsage(CliCommand command) {
    for (const auto& c : kCommands) {
        if (c.command == command) return std::string(c.usage) + std::string(kCommonHelp);
    }
    std::string text =
        "usage: merrowin-cli COMMAND [options]\n"
        "Finds and configures the devices on this PC's network segment.\n"
        "commands:\n";
    for (const auto& c : kCommands) text += "  " + std::string(c.name) + "\n";
    text += "merrowin-cli COMMAND --help shows a command's options.\n";
    text += kCommonHelp;
    return text;
}

CliParseResult ParseCliArgs(const std::vector<std::string>& args) {
    CliParseResult result;
    CliOptions& o = result.options;
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        o.help = true;
        result.ok = true;
        return result;
    }
    const CommandInfo* info = FindCommand(args[0]);
    if (info == nullptr) return Fail("unknown command: " + args[0]);
    o.command = info->command;
    const std::string cmd(info->name);

    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string option = args[i];
        if (option == "--help" || option == "-h") {
            o.help = true;
            result.ok = true;
            return result;
        }
        if (option.size() < 2 || option.compare(0, 2, "--") != 0) {
            positional.push_back(option);
            continue;
        }
        std::optional<std::string> value;
        if (const auto eq = option.find('='); eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
        }
        if (!Accepts(o.command, option)) return Fail(cmd + ": unknown option " + option);
        if (option == "--pending") {
            if (value) return Fail(cmd + ": --pending takes no value");
            o.pending = true;
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) return Fail(cmd + ": " + option + " needs a value");
            value = args[++i];
        }
        if (option == "--seconds") {
            if (!ParseCount(*value, 1, 86400, o.seconds)) {
                return Fail(cmd + ": --seconds takes a number of seconds from 1 to 86400");
            }
        } else if (option == "--timeout") {
            if (!ParseCount(*value, 1, 3600, o.timeout)) {
                return Fail(cmd + ": --timeout takes a number of seconds from 1 to 3600");
            }
        } else if (option == "--format") {
            if (*value == "table") {
                o.format = CliFormat::Table;
            } else if (*value == "json") {
                o.format = CliFormat::Json;
            } else if (*value == "csv" && o.command == CliCommand::Discover) {
                o.format = CliFormat::Csv;
            } else {
                return Fail(cmd + ": unknown format " + *value);
            }
        } else if (std::string* field = AddressField(o, option)) {
            *field = *value;
        }
    }

    // Positional arguments: [on|off] MAC... [NAME]
    std::size_t next = 0;
    if (o.command == CliCommand::SetBridge || o.command == CliCommand::SetTdma) {
        if (positional.empty() || (positional[0] != "on" && positional[0] != "off")) {
            return Fail(cmd + ": first argument must be on or off");
        }
        o.on = positional[0] == "on";
        next = 1;
    }
    std::size_t mac_end = positional.size();
    if (o.command == CliCommand::Rename) {
        if (positional.size() != 2) return Fail(cmd + ": needs exactly one MAC and one NAME");
        o.name = positional[1];
        mac_end = 1;
    }
    for (std::size_t i = next; i < mac_end; ++i) {
        const auto mac = NormaliseMac(positional[i]);
        if (!mac) return Fail(cmd + ": not a MAC address: " + positional[i]);
        bool seen = false;
        for (const auto& m : o.macs) seen = seen || m == *mac;
        if (!seen) o.macs.push_back(*mac);
    }

    const bool takes_macs = o.command != CliCommand::Discover && o.command != CliCommand::Watch;
    if (!takes_macs && !positional.empty()) {
        return Fail(cmd + ": unexpected argument " + positional[0]);
    }
    if (takes_macs && o.macs.empty()) return Fail(cmd + ": name at least one device by its MAC");
    if (o.command == CliCommand::SetIp && o.macs.size() != 1) {
        return Fail(cmd + ": names exactly one device; use set-ip-range for several");
    }
    if (o.command == CliCommand::SetIp && (o.ip.empty() || o.mask.empty())) {
        return Fail(cmd + ": --ip and --mask are required");
    }
    if (o.command == CliCommand::SetIpRange &&
        (o.first.empty() || o.mask.empty() || (o.last.empty() && o.macs.size() > 1))) {
        return Fail(cmd + ": --first, --last and --mask are required");
    }
    result.ok = true;
    return result;
}
