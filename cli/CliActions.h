#pragma once
// The values of the device actions: their checks (the window program's rules and messages)
// and the request each device gets. Nothing here touches the network.

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "common/Validation.h"
#include "common/wire.h"
#include "engine/Payloads.h"

// The address set of set-ip (the device IP page's rules) or set-ip-range (the several-devices
// rules; range checks only for more than one device). Other commands pass.
CheckResult CheckAddressInput(const CliOptions& options);

// The name of `rename` for a device of `ap_type`: not empty, then the strict or loose rule.
CheckResult CheckRenameInput(const std::string& name, int ap_type);

// One device's IP-set request of a plan.
struct IpAssignment {
    std::string mac;
    std::string ip;  // the address it is given, "%d.%d.%d.%d"
    ip_block block{};
};

// set-ip: the one device gets --ip. set-ip-range: the address walk over --first .. --last in
// the order the MACs were named, skipping addresses ending in 0 or 255; devices left over when
// the range runs out are not in the plan.
std::vector<IpAssignment> PlanIpAssignments(const CliOptions& options);

// The name as the device gets it: cut to 32 bytes of UTF-8 without splitting a character.
Payload RenamePayload(const std::string& name);

// The 14-byte switch block of set-bridge / set-tdma.
Payload SwitchPayload(CliCommand command, bool on);

// The request type of an action command (0 for discover and watch).
uint16_t ActionMsgType(CliCommand command);
