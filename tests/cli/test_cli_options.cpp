// The command line of merrowin-cli: what is accepted, what each option sets, and what is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliOptions.h"

namespace {

CliParseResult Parse(std::vector<std::string> args) { return ParseCliArgs(args); }

TEST(CliOptions, DiscoverDefaultsAndOptions) {
    auto r = Parse({"discover"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(CliCommand::Discover, r.options.command);
    EXPECT_EQ(10, r.options.seconds);
    EXPECT_EQ(CliFormat::Table, r.options.format);
    EXPECT_FALSE(r.options.pending);

    r = Parse({"discover", "--seconds", "4", "--format=csv", "--pending"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(4, r.options.seconds);
    EXPECT_EQ(CliFormat::Csv, r.options.format);
    EXPECT_TRUE(r.options.pending);
}

TEST(CliOptions, ActionsTakeMacsInOrderNormalisedAndOnce) {
    auto r = Parse({"reboot", "02:4D:57:00:00:02", "02-4d-57-00-00-01", "02:4d:57:00:00:02",
                    "--timeout", "5"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(CliCommand::Reboot, r.options.command);
    EXPECT_EQ((std::vector<std::string>{"02:4d:57:00:00:02", "02:4d:57:00:00:01"}), r.options.macs);
    EXPECT_EQ(5, r.options.timeout);

    r = Parse({"set-bridge", "off", "02:4d:57:00:00:01"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.options.on);
    r = Parse({"set-tdma", "on", "02:4d:57:00:00:01"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.options.on);

    r = Parse({"rename", "02:4d:57:00:00:01", "Roof north"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ("Roof north", r.options.name);

    r = Parse({"set-ip-range", "02:4d:57:00:00:01", "02:4d:57:00:00:02", "--first", "192.168.1.254",
               "--last", "192.168.2.3", "--mask", "255.255.0.0", "--dns1", "8.8.8.8"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ("192.168.1.254", r.options.first);
    EXPECT_EQ("192.168.2.3", r.options.last);
    EXPECT_EQ("255.255.0.0", r.options.mask);
    EXPECT_EQ("8.8.8.8", r.options.dns1);
    EXPECT_EQ("", r.options.gateway);
}

TEST(CliOptions, HelpForTheToolAndForEachCommand) {
    auto r = Parse({});
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.options.help);
    EXPECT_EQ(CliCommand::None, r.options.command);
    // --help wins over anything else on the line, even an incomplete one.
    r = Parse({"set-ip", "--help"});
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.options.help);
    EXPECT_EQ(CliCommand::SetIp, r.options.command);
    EXPECT_NE(std::string::npos, CliUsage(CliCommand::SetIp).find("--gateway"));
    EXPECT_NE(std::string::npos, CliUsage(CliCommand::None).find("set-ip-range"));
}

struct BadLine {
    std::vector<std::string> args;
    const char* error_part;
};

class CliOptionsRefused : public ::testing::TestWithParam<BadLine> {};

TEST_P(CliOptionsRefused, WithAMessage) {
    const auto r = Parse(GetParam().args);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(std::string::npos, r.error.find(GetParam().error_part)) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CliOptionsRefused,
    ::testing::Values(BadLine{{"frobnicate"}, "unknown command"},
                      BadLine{{"discover", "--seconds", "0"}, "--seconds"},
                      BadLine{{"discover", "--seconds", "5x"}, "--seconds"},
                      BadLine{{"discover", "--seconds"}, "needs a value"},
                      BadLine{{"discover", "--format", "xml"}, "unknown format"},
                      BadLine{{"watch", "--format", "csv"}, "unknown format"},
                      BadLine{{"watch", "--pending"}, "unknown option"},
                      BadLine{{"discover", "02:4d:57:00:00:01"}, "unexpected argument"},
                      BadLine{{"reboot"}, "at least one device"},
                      BadLine{{"reboot", "02:4d:57:00:00"}, "not a MAC"},
                      BadLine{{"reboot", "02:4d:57:00:00:0g"}, "not a MAC"},
                      BadLine{{"reboot", "02:4d-57:00:00:01"}, "not a MAC"},
                      BadLine{{"reboot", "02:4d:57:00:00:01", "--ip", "1.2.3.4"}, "unknown option"},
                      BadLine{{"rename", "02:4d:57:00:00:01"}, "one MAC and one NAME"},
                      BadLine{{"set-bridge", "02:4d:57:00:00:01"}, "on or off"},
                      BadLine{{"set-ip", "02:4d:57:00:00:01", "--mask", "255.255.255.0"},
                              "--ip and --mask"},
                      BadLine{{"set-ip", "02:4d:57:00:00:01", "02:4d:57:00:00:02", "--ip",
                               "10.0.0.1", "--mask", "255.0.0.0"},
                              "exactly one device"},
                      BadLine{{"set-ip-range", "02:4d:57:00:00:01", "02:4d:57:00:00:02", "--first",
                               "10.0.0.1", "--mask", "255.0.0.0"},
                              "--last"},
                      BadLine{{"reboot", "02:4d:57:00:00:01", "--timeout", "-1"}, "--timeout"}));

TEST(CliOptions, NormaliseMac) {
    EXPECT_EQ("0a:1b:2c:3d:4e:5f", NormaliseMac("0A:1B:2C:3D:4E:5F").value_or(""));
    EXPECT_EQ("0a:1b:2c:3d:4e:5f", NormaliseMac("0a-1b-2c-3d-4e-5f").value_or(""));
    EXPECT_FALSE(NormaliseMac("0a:1b:2c:3d:4e:5f:"));
    EXPECT_FALSE(NormaliseMac("0a1b2c3d4e5f"));
    EXPECT_FALSE(NormaliseMac(" a:1b:2c:3d:4e:5f"));
}

}  // namespace
