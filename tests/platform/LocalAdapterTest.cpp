#include <gtest/gtest.h>
#include <sched.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/LocalAdapter.h"

namespace {

struct Outcome {
    std::string error;  // set when the private network could not be made
    std::vector<local_adapter_info> listed;
    std::vector<std::string> chain_names;
    bool chain_cleared = false;
};

// Builds a small network in an unnamed namespace of a helper thread (it vanishes with the
// thread) and lists its adapters there:
//   va/vb  veth pair, both up; va has a chosen MAC, two addresses and a labelled alias,
//          vb has 12 addresses;
//   vc/vd  veth pair, vc up without carrier (vd down): vc is listed unusable, vd not at all;
//   lo     up, a loopback: not listed.
Outcome ListInPrivateNetwork() {
    Outcome out;
    std::thread worker([&] {
        if (unshare(CLONE_NEWNET) != 0) {
            out.error = std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno);
            return;
        }
        std::string script =
            "set -e; exec >/dev/null 2>&1; ip link set lo up;"
            "ip link add va type veth peer name vb;"
            "ip link set va address 02:00:5e:10:20:30;"
            "ip addr add 198.51.100.1/24 dev va;"
            "ip addr add 198.51.100.77/24 dev va label va:7;"
            "ip addr add 203.0.113.9/25 dev va;"
            "ip link add vc type veth peer name vd;"
            "ip link set va up; ip link set vb up; ip link set vc up;";
        for (int i = 1; i <= 12; ++i)
            script += "ip addr add 198.18.0." + std::to_string(i) + "/16 dev vb;";
        if (std::system(script.c_str()) != 0) {
            out.error = "could not set up the private network with ip(8)";
            return;
        }
        out.listed = platform::ListLocalAdapters();
        for (auto* r = GetLocalAdapterInfo(); r; r = r->next)
            out.chain_names.push_back(r->info.name);
        ClearLocalAdapterInfo();
        out.chain_cleared = true;
    });
    worker.join();
    return out;
}

const local_adapter_info* Find(const std::vector<local_adapter_info>& list, const char* name) {
    for (const auto& a : list)
        if (std::strcmp(a.name, name) == 0) return &a;
    return nullptr;
}

TEST(LocalAdapter, ListsUpNonLoopbackInterfacesWithTheirAddresses) {
    const Outcome out = ListInPrivateNetwork();
    ASSERT_EQ(out.error, "") << "this test needs root to make a network namespace";

    std::vector<std::string> names;
    for (const auto& a : out.listed) names.push_back(a.name);
    EXPECT_EQ(names, (std::vector<std::string>{"vb", "va", "vc"}))
        << "kernel order; no loopback, no down interface";

    const local_adapter_info* va = Find(out.listed, "va");
    ASSERT_NE(va, nullptr);
    EXPECT_EQ(va->usable, 1);
    const std::uint8_t mac[8] = {0x02, 0x00, 0x5e, 0x10, 0x20, 0x30, 0, 0};
    EXPECT_EQ(std::memcmp(va->mac, mac, 8), 0);
    EXPECT_STREQ(va->description, "va (veth)");
    ASSERT_EQ(va->address_count, 3) << "the labelled alias belongs to va";
    EXPECT_STREQ(va->addresses[0].ip, "198.51.100.1");
    EXPECT_STREQ(va->addresses[0].mask, "255.255.255.0");
    // The kernel keeps each subnet's primary address ahead of the secondary ones.
    EXPECT_STREQ(va->addresses[1].ip, "203.0.113.9");
    EXPECT_STREQ(va->addresses[1].mask, "255.255.255.128");
    EXPECT_STREQ(va->addresses[2].ip, "198.51.100.77");
    EXPECT_NE(va->further_data[0], 0u) << "interface index";

    const local_adapter_info* vb = Find(out.listed, "vb");
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(vb->address_count, platform::kMaxAdapterAddresses);
    EXPECT_STREQ(vb->addresses[9].ip, "198.18.0.10");

    const local_adapter_info* vc = Find(out.listed, "vc");
    ASSERT_NE(vc, nullptr);
    EXPECT_EQ(vc->usable, 0) << "no carrier";
    EXPECT_EQ(vc->address_count, 0);

    EXPECT_EQ(out.chain_names, names) << "the record chain holds the same adapters";
    EXPECT_TRUE(out.chain_cleared);
}

}  // namespace
