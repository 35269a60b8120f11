#include "cli/CliActions.h"

#include <span>

#include "common/DeviceText.h"
#include "common/TextCodec.h"
#include "common/ValueTables.h"

CheckResult CheckAddressInput(const CliOptions& o) {
    IpSetTexts texts;
    texts.mask = o.mask;
    texts.gateway = o.gateway;
    texts.dns1 = o.dns1;
    texts.dns2 = o.dns2;
    if (o.command == CliCommand::SetIp) {
        texts.ip = o.ip;
        return CheckIpSettings(texts);
    }
    if (o.command == CliCommand::SetIpRange) {
        texts.ip = o.first;
        texts.last_ip = o.last;
        return CheckIpSettingsMulti(texts, static_cast<int>(o.macs.size()));
    }
    return {};
}

CheckResult CheckRenameInput(const std::string& name, int ap_type) {
    return CheckDeviceName(Utf8ToUtf16(name), ap_type);
}

std::vector<IpAssignment> PlanIpAssignments(const CliOptions& o) {
    IpRange range;
    range.first = IpTextToBytes(o.command == CliCommand::SetIp ? o.ip : o.first);
    range.last = IpTextToBytes(o.last);
    range.mask = IpTextToBytes(o.mask);
    range.gateway = IpTextToBytes(o.gateway);
    range.dns1 = IpTextToBytes(o.dns1);
    range.dns2 = IpTextToBytes(o.dns2);
    const std::size_t count = o.command == CliCommand::SetIp ? 1 : o.macs.size();
    const std::vector<ip_block> blocks = BuildRangeIpBlocks(range, count);
    std::vector<IpAssignment> plan;
    for (std::size_t i = 0; i < blocks.size() && i < o.macs.size(); ++i) {
        plan.push_back(
            {o.macs[i], IpBytesToText(std::span<const uint8_t, 4>(blocks[i].ip)), blocks[i]});
    }
    return plan;
}

Payload RenamePayload(const std::string& name) {
    // Cut as the window program cuts an edited name, then let the builder encode it.
    const std::string cut = Utf16ToUtf8(CutToUtf8Length(Utf8ToUtf16(name), kDeviceTextBudget));
    return NameSetPayload(BuildNameBlock(cut));
}

Payload SwitchPayload(CliCommand command, bool on) {
    return ToPayload(command == CliCommand::SetTdma ? BuildTdmaBlock(on)
                                                    : BuildTransparentBridgeBlock(on));
}

uint16_t ActionMsgType(CliCommand command) {
    switch (command) {
        case CliCommand::Reboot:
            return VALTO_APRebootRequest;
        case CliCommand::Restore:
            return VALTO_APRestoreRequest;
        case CliCommand::Rename:
            return VALTO_APNameSetRequest;
        case CliCommand::SetIp:
        case CliCommand::SetIpRange:
            return VALTO_APIpSetRequest;
        case CliCommand::SetBridge:
            return VALTO_APTransparentBridgeRequest;
        case CliCommand::SetTdma:
            return VALTO_APTdMaenRequest;
        case CliCommand::None:
        case CliCommand::Discover:
        case CliCommand::Watch:
            break;
    }
    return 0;
}
