// The lab script itself: address plans, multicast routes, removal of exactly what it made,
// and its refusal to run without root.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/lab/LabFixture.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool NamespaceListed(testlab::Lab& lab, const std::string& ns) {
    const std::string out = lab.dir() + "/netns.list";
    lab.Run("", {"/usr/sbin/ip", "netns", "list"}, out);
    std::istringstream in(Slurp(out));
    std::string line;
    while (std::getline(in, line)) {
        if (line.substr(0, line.find(' ')) == ns) return true;
    }
    return false;
}

struct PlanCase {
    int devices;
    const char* pcAddr;       // as `ip -o addr` shows it
    const char* firstDevice;  // first device address with its prefix
    const char* lastDevice;
};

class LabPlan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(LabPlan, AddressesAndMulticastRoutes) {
    const PlanCase& c = GetParam();
    testlab::Lab lab(c.devices);
    ASSERT_TRUE(lab.ok()) << lab.error();

    const std::string pcAddrs = lab.dir() + "/pc.addr", devAddrs = lab.dir() + "/dev.addr";
    ASSERT_EQ(0,
              lab.Run("pc", {"/usr/sbin/ip", "-o", "-4", "addr", "show", "dev", "pc0"}, pcAddrs));
    ASSERT_EQ(
        0, lab.Run("dev", {"/usr/sbin/ip", "-o", "-4", "addr", "show", "dev", "dev0"}, devAddrs));
    const std::string pc = Slurp(pcAddrs), dev = Slurp(devAddrs);
    EXPECT_NE(pc.find("inet 198.51.100.1/24 "), std::string::npos) << pc;
    EXPECT_NE(pc.find(std::string("inet ") + c.pcAddr + " "), std::string::npos) << pc;
    EXPECT_NE(dev.find(std::string("inet ") + c.firstDevice + " "), std::string::npos);
    EXPECT_NE(dev.find(std::string("inet ") + c.lastDevice + " "), std::string::npos);
    // Devices, the anchor address(es) and nothing more.
    const size_t lines = std::count(dev.begin(), dev.end(), '\n');
    EXPECT_EQ(static_cast<size_t>(c.devices) + (c.devices > 252 ? 2 : 1), lines);

    for (const char* side : {"pc", "dev"}) {
        const std::string routes = lab.dir() + "/" + side + ".routes";
        ASSERT_EQ(0, lab.Run(side, {"/usr/sbin/ip", "-4", "route", "show", "224.0.0.0/4"}, routes));
        EXPECT_NE(Slurp(routes).find(std::string("dev ") + side + "0"), std::string::npos)
            << side << ": " << Slurp(routes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Plans, LabPlan,
    ::testing::Values(PlanCase{5, "198.51.100.1/24", "198.51.100.3/24", "198.51.100.7/24"},
                      PlanCase{300, "198.18.0.1/22", "198.18.0.3/22", "198.18.1.46/22"}));

TEST(Lab, DownRemovesOnlyItsOwnNamespaces) {
    testlab::Lab first, second;
    ASSERT_TRUE(first.ok()) << first.error();
    ASSERT_TRUE(second.ok()) << second.error();
    ASSERT_TRUE(NamespaceListed(first, first.pcNs()));
    ASSERT_EQ(0, first.Run("", {"/bin/bash", testlab::Lab::LabScript(), "down", first.name()}));
    EXPECT_FALSE(NamespaceListed(first, first.pcNs()));
    EXPECT_FALSE(NamespaceListed(first, first.devNs()));
    EXPECT_TRUE(NamespaceListed(second, second.pcNs()));
    EXPECT_TRUE(NamespaceListed(second, second.devNs()));
    // A second down of the same lab is harmless; running a command in it is refused.
    EXPECT_EQ(0, first.Run("", {"/bin/bash", testlab::Lab::LabScript(), "down", first.name()}));
    EXPECT_NE(0, first.Run("", {"/bin/bash", testlab::Lab::LabScript(), "pc", first.name(),
                                "/bin/true"}));
}

TEST(Lab, RefusesWithoutRootAndSaysWhy) {
    testlab::Lab scratch;  // only for its folder and its Run helper
    // A copy the unprivileged user can surely read, wherever the checkout lives.
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(scratch.dir()) / "open";
    fs::create_directory(dir);
    fs::permissions(scratch.dir(), fs::perms(0755));
    fs::permissions(dir, fs::perms(0777));
    fs::copy_file(testlab::Lab::LabScript(), dir / "lab");
    fs::permissions(dir / "lab", fs::perms(0755));
    const std::string out = (dir / "nonroot.out").string();
    const int rc =
        scratch.Run("",
                    {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                     "/bin/bash", (dir / "lab").string(), "up", "mwnotroot"},
                    out);
    EXPECT_NE(0, rc);
    EXPECT_NE(Slurp(out).find("must be run as root"), std::string::npos) << Slurp(out);
}

TEST(Lab, RejectsNamesThatCouldMatchOtherNamespaces) {
    testlab::Lab scratch;
    for (const char* bad : {"a b", "x/../y", "", "name-with-dash"}) {
        EXPECT_NE(0, scratch.Run("", {"/bin/bash", testlab::Lab::LabScript(), "up", bad})) << bad;
    }
}

}  // namespace
