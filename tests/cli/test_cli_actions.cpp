// The values of the device actions: the address checks with the window program's messages, the
// address walk of set-ip-range, and the request bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliActions.h"

namespace {

CliOptions Range(std::vector<std::string> macs, std::string first, std::string last,
                 std::string mask) {
    CliOptions o;
    o.command = CliCommand::SetIpRange;
    o.macs = std::move(macs);
    o.first = std::move(first);
    o.last = std::move(last);
    o.mask = std::move(mask);
    return o;
}

std::vector<std::string> Macs(int n) {
    std::vector<std::string> macs;
    for (int i = 1; i <= n; ++i) macs.push_back("02:4d:57:00:00:0" + std::to_string(i));
    return macs;
}

std::vector<std::string> Addresses(const std::vector<IpAssignment>& plan) {
    std::vector<std::string> out;
    for (const auto& a : plan) out.push_back(a.ip);
    return out;
}

TEST(CliAddressWalk, SkipsNetworkAndBroadcastEndingsAcrossAByteBoundary) {
    CliOptions o = Range(Macs(3), "192.168.1.254", "192.168.2.3", "255.255.0.0");
    o.gateway = "192.168.0.1";
    o.dns1 = "8.8.8.8";
    const auto plan = PlanIpAssignments(o);
    ASSERT_EQ(3u, plan.size());
    EXPECT_EQ((std::vector<std::string>{"192.168.1.254", "192.168.2.1", "192.168.2.2"}),
              Addresses(plan));
    for (std::size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(o.macs[i], plan[i].mac);
        const ip_block& b = plan[i].block;
        EXPECT_EQ(1, b.ip_mode);
        EXPECT_EQ(1, b.ip_flag);
        EXPECT_EQ(255, b.ip_mask[1]);
        EXPECT_EQ(0, b.ip_mask[2]);
        EXPECT_EQ(1, b.ip_gateway[3]);
        EXPECT_EQ(8, b.ip_dns1[0]);
        EXPECT_EQ(0, b.ip_dns2[0]);
    }
}

TEST(CliAddressWalk, ARangeShorterThanTheDevicesLeavesTheLastOnesOut) {
    auto plan = PlanIpAssignments(Range(Macs(5), "10.0.0.5", "10.0.0.7", "255.0.0.0"));
    EXPECT_EQ((std::vector<std::string>{"10.0.0.5", "10.0.0.6", "10.0.0.7"}), Addresses(plan));
    EXPECT_EQ("02:4d:57:00:00:03", plan.back().mac);

    // Only two usable addresses between .254 and .1 of the next block.
    plan = PlanIpAssignments(Range(Macs(3), "10.0.0.254", "10.0.1.1", "255.0.0.0"));
    EXPECT_EQ((std::vector<std::string>{"10.0.0.254", "10.0.1.1"}), Addresses(plan));
}

TEST(CliAddressWalk, OneDeviceGetsTheFirstAddressAsItStands) {
    auto plan = PlanIpAssignments(Range(Macs(1), "10.0.0.9", "", "255.0.0.0"));
    EXPECT_EQ((std::vector<std::string>{"10.0.0.9"}), Addresses(plan));

    CliOptions o;
    o.command = CliCommand::SetIp;
    o.macs = Macs(1);
    o.ip = "198.51.100.40";
    o.mask = "255.255.255.0";
    plan = PlanIpAssignments(o);
    EXPECT_EQ((std::vector<std::string>{"198.51.100.40"}), Addresses(plan));
}

struct AddressCase {
    CliCommand command;
    int devices;
    std::string ip_or_first, last, mask, gateway, dns1, dns2;
    std::string message;  // empty: accepted
};

class CliAddressInput : public ::testing::TestWithParam<AddressCase> {};

TEST_P(CliAddressInput, UsesTheDialogRulesAndMessages) {
    const AddressCase& c = GetParam();
    CliOptions o;
    o.command = c.command;
    o.macs = Macs(c.devices);
    (c.command == CliCommand::SetIp ? o.ip : o.first) = c.ip_or_first;
    o.last = c.last;
    o.mask = c.mask;
    o.gateway = c.gateway;
    o.dns1 = c.dns1;
    o.dns2 = c.dns2;
    const CheckResult r = CheckAddressInput(o);
    EXPECT_EQ(c.message.empty(), r.ok);
    EXPECT_EQ(c.message, r.ok ? "" : MessageText(r));
}

constexpr auto kOne = CliCommand::SetIp;
constexpr auto kMany = CliCommand::SetIpRange;

INSTANTIATE_TEST_SUITE_P(
    Cases, CliAddressInput,
    ::testing::Values(AddressCase{kOne, 1, "10.0.0.1", "", "255.0.0.0", "", "", "", ""},
                      AddressCase{kOne, 1, "10.0.0.0", "", "255.255.255.0", "", "", "",
                                  "The ip address is invalid!"},
                      AddressCase{kOne, 1, "127.0.0.1", "", "255.0.0.0", "", "", "",
                                  "The ip address is invalid!"},
                      AddressCase{kOne, 1, "10.0.0.1", "", "255.0.255.0", "", "", "",
                                  "The subnet mask is invalid!"},
                      AddressCase{kOne, 1, "10.0.0.1", "", "255.0.0.0", "10.0.0.1", "", "",
                                  "The ip address and gateway address cannot be the same!"},
                      AddressCase{kOne, 1, "192.168.1.128", "", "255.255.255.128", "", "", "",
                                  "IP Address can't be the network segment!"},
                      AddressCase{kOne, 1, "10.0.0.1", "", "255.255.255.0", "10.0.1.1", "", "",
                                  "Ip address and gateway address is not in the same subnet!"},
                      AddressCase{kOne, 1, "10.0.0.1", "", "255.0.0.0", "", "8.8.8.8", "8.8.8.8",
                                  "Primary DNS Server and Secondary DNS Server can't be the same!"},
                      AddressCase{kMany, 3, "192.168.1.254", "192.168.2.3", "255.255.0.0", "", "",
                                  "", ""},
                      AddressCase{kMany, 2, "10.0.0.5", "10.0.0.5", "255.0.0.0", "", "", "",
                                  "The ip address is invalid!"},
                      AddressCase{kMany, 2, "10.0.0.9", "10.0.0.5", "255.0.0.0", "", "", "",
                                  "The ip address is invalid!"},
                      AddressCase{kMany, 2, "10.0.0.5", "10.0.0.255", "255.0.0.0", "", "", "",
                                  "The ip address is invalid!"},
                      // With one device the range is not looked at.
                      AddressCase{kMany, 1, "10.0.0.5", "", "255.0.0.0", "", "", "", ""}));

TEST(CliRequests, NameAndSwitchPayloads) {
    const Payload name = RenamePayload("Roof");
    ASSERT_EQ(33u, name.size());
    EXPECT_EQ('R', name[0]);
    EXPECT_EQ(0, name[4]);
    EXPECT_EQ(4, name[32]);

    // Eleven Chinese characters are cut to ten (30 bytes), never mid-character.
    std::string eleven;
    for (int i = 0; i < 11; ++i) eleven += "\xe5\xa4\xa9";
    const Payload cut = RenamePayload(eleven);
    EXPECT_EQ(30, cut[32]);

    const Payload bridge_on = SwitchPayload(CliCommand::SetBridge, true);
    EXPECT_EQ((Payload{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), bridge_on);
    const Payload tdma_on = SwitchPayload(CliCommand::SetTdma, true);
    EXPECT_EQ((Payload{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), tdma_on);
    EXPECT_EQ(Payload(14, 0), SwitchPayload(CliCommand::SetTdma, false));

    EXPECT_EQ(VALTO_APRebootRequest, ActionMsgType(CliCommand::Reboot));
    EXPECT_EQ(VALTO_APIpSetRequest, ActionMsgType(CliCommand::SetIpRange));
    EXPECT_EQ(VALTO_APTdMaenRequest, ActionMsgType(CliCommand::SetTdma));
}

}  // namespace
