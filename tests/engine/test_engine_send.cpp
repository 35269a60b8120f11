// Address tests, datagram building, the multicast send, discovery passes and the ARP frame.
#include <gtest/gtest.h>

#include "tests/engine/EngineTestUtil.h"

using namespace enginetest;

TEST(EngineAddress, SubnetAndBroadcastRules) {
    struct Case {
        const char *local, *mask, *target;
        bool same;
    };
    const Case cases[] = {
        {"198.51.100.1", "255.255.255.0", "198.51.100.77", true},
        {"198.51.100.1", "255.255.255.0", "198.51.101.77", false},
        {"10.0.0.5", "255.0.0.0", "10.200.1.1", true},
        {"0.0.0.0", "255.255.255.0", "0.0.0.9", false},
        {"198.51.100.1", "255.255.255.0", "0.0.0.0", false},
        {"198.51.100.1", "255.255.255.0", "", false},
        {"198.51.100.1", "0.0.0.0", "198.51.100.7", false},
        {"198.51.100.1", "", "198.51.100.7", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AcTransmitManage::IsSameSubnet(c.local, c.mask, c.target), c.same)
            << c.local << " " << c.mask << " " << c.target;
    }
    std::string out;
    ASSERT_TRUE(AcTransmitManage::GetBroadcastAddress("10.0.0.5", "255.0.0.0", out));
    EXPECT_EQ(out, "10.255.255.255");
    ASSERT_TRUE(AcTransmitManage::GetBroadcastAddress("198.51.100.1", "255.255.255.0", out));
    EXPECT_EQ(out, "198.51.100.255");
    EXPECT_FALSE(AcTransmitManage::GetBroadcastAddress("0.0.0.0", "255.0.0.0", out));
    EXPECT_FALSE(AcTransmitManage::GetBroadcastAddress("10.0.0.5", "0.0.0.0", out));
}

using EngineSend = EngineFixture;

TEST_F(EngineSend, MulticastCarriesTargetMacFlagAndPayload) {
    const uint8_t payload[] = {1, 2, 3};
    EXPECT_TRUE(engine_->SendPacketMutilcast("198.51.100.20", VALTO_APNameSetRequest, payload, 3,
                                             "00:1a:2b:3c:4d:5e", false));
    const auto sent = sender_.Take();
    ASSERT_EQ(sent.size(), 1u);
    const Sent& s = sent[0];
    EXPECT_EQ(s.socket, SendSocket::Heartbeat);
    EXPECT_EQ(s.dest_ip, "239.255.255.250");
    EXPECT_EQ(s.dest_port, 9787);
    EXPECT_EQ(s.source_ip, "198.51.100.1");
    EXPECT_EQ(s.source_ifindex, 7u);
    ASSERT_EQ(s.bytes.size(), 19u);
    // magic 0x88 0x19, ap_type 0, type 8, mcast 1, reserved 0, MAC, data_len 3
    const std::vector<uint8_t> head = {0x88, 0x19, 0,    0,    8, 0, 1, 0, 0x00, 0x1a,
                                       0x2b, 0x3c, 0x4d, 0x5e, 3, 0, 1, 2, 3};
    EXPECT_EQ(s.bytes, head);
}

TEST_F(EngineSend, TwoLocalAddressesInTheSubnetSendTwice) {
    adapters_.adapters.push_back(
        {"pc1", {0x02, 0, 0, 0, 0, 0x02}, {{"198.51.100.9", "255.255.255.0"}}, 8});
    std::vector<local_adapter_info> list;
    engine_->GetLocalAdapterList(list);
    sender_.SetSucceed(true);
    EXPECT_TRUE(engine_->SendPacketMutilcast("198.51.100.20", VALTO_APRebootRequest, nullptr, 0,
                                             "02:00:00:00:00:20", true));
    const auto sent = sender_.Take();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].source_ip, "198.51.100.1");
    EXPECT_EQ(sent[1].source_ip, "198.51.100.9");
    EXPECT_EQ(sent[1].source_ifindex, 8u);
    EXPECT_EQ(engine_->GetRetransmissionCount(), 1u);
}

TEST_F(EngineSend, NoMatchingAddressSendsNothingAndRegistersNothing) {
    for (const char* ip : {"0.0.0.0", "", "203.0.113.5"}) {
        EXPECT_FALSE(engine_->SendPacketMutilcast(ip, VALTO_APRebootRequest, nullptr, 0,
                                                  "02:00:00:00:00:20", true))
            << ip;
    }
    EXPECT_TRUE(sender_.Take().empty());
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);
}

TEST_F(EngineSend, FailedSendIsNotRegistered) {
    sender_.SetSucceed(false);
    EXPECT_FALSE(engine_->SendPacketMutilcast("198.51.100.20", VALTO_APRebootRequest, nullptr, 0,
                                              "02:00:00:00:00:20", true));
    EXPECT_EQ(engine_->GetRetransmissionCount(), 0u);
}

TEST_F(EngineSend, AdapterListTakesOnlyUsableAdaptersWithAFirstAddress) {
    adapters_.adapters.push_back(
        {"down0", {2, 0, 0, 0, 0, 3}, {{"203.0.113.1", "255.255.255.0"}}, 9, /*usable=*/0});
    adapters_.adapters.push_back({"zero0",
                                  {2, 0, 0, 0, 0, 4},
                                  {{"0.0.0.0", "255.255.255.0"}, {"203.0.113.2", "255.255.255.0"}},
                                  10});
    adapters_.adapters.push_back({"none0", {2, 0, 0, 0, 0, 5}, {}, 11});
    std::vector<local_adapter_info> list;
    engine_->GetLocalAdapterList(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].name, "pc0");
    EXPECT_EQ(list[0].usable, 0);
    const auto addresses = engine_->GetLocalAddressSnapshot();
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_STREQ(addresses[0].address.ip, "198.51.100.1");

    // An address that went away leaves the list; the others keep their order.
    adapters_.adapters = {{"pc1", {2, 0, 0, 0, 0, 6}, {{"203.0.113.9", "255.255.255.0"}}, 12},
                          {"pc0", {2, 0, 0, 0, 0, 1}, {{"198.51.100.1", "255.255.255.0"}}, 7}};
    engine_->GetLocalAdapterList(list);
    const auto refreshed = engine_->GetLocalAddressSnapshot();
    ASSERT_EQ(refreshed.size(), 2u);
    EXPECT_STREQ(refreshed[0].address.ip, "198.51.100.1");
    EXPECT_STREQ(refreshed[1].address.ip, "203.0.113.9");
}

TEST_F(EngineSend, DiscoveryPassBroadcastsPerSubnetAndAdapter) {
    adapters_.adapters = {
        {"eth0",
         {2, 0, 0, 0, 0, 1},
         {{"198.51.100.1", "255.255.255.0"}, {"198.51.100.2", "255.255.255.0"}},
         3},
        {"eth1", {2, 0, 0, 0, 0, 2}, {{"198.51.100.3", "255.255.255.0"}}, 4},
        {"eth2", {2, 0, 0, 0, 0, 3}, {{"10.0.0.5", "255.0.0.0"}}, 5},
    };
    engine_->SendDiscoverBroadcast();
    const auto sent = sender_.Take();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].dest_ip, "198.51.100.255");
    EXPECT_EQ(sent[0].source_ip, "198.51.100.1");
    EXPECT_EQ(sent[1].dest_ip, "198.51.100.255");  // same broadcast, other adapter MAC
    EXPECT_EQ(sent[1].source_ip, "198.51.100.3");
    EXPECT_EQ(sent[2].dest_ip, "10.255.255.255");
    for (const Sent& s : sent) {
        EXPECT_EQ(s.socket, SendSocket::DiscoverSend);
        EXPECT_EQ(s.dest_port, 9786);
        ASSERT_EQ(s.bytes.size(), 16u);
        EXPECT_EQ(s.type(), VALTO_APDiscoverRequest);
        EXPECT_EQ(s.header().mcast_flag, 0);
        EXPECT_EQ(s.mac(), "00:00:00:00:00:00");
    }
}

TEST_F(EngineSend, DiscoveryFallsBackToAllOnesWithoutAddresses) {
    adapters_.adapters.clear();
    engine_->SendDiscoverBroadcast();
    const auto sent = sender_.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].dest_ip, "255.255.255.255");
    EXPECT_EQ(sent[0].dest_port, 9786);
    EXPECT_TRUE(sent[0].source_ip.empty());
    EXPECT_TRUE(engine_->GetLocalAddressSnapshot().empty());
    // With no local address no request can go anywhere.
    EXPECT_FALSE(engine_->SendPacketMutilcast("198.51.100.20", VALTO_APConfigRequest, nullptr, 0,
                                              "02:00:00:00:00:20", true));
}

TEST_F(EngineSend, ArpFrameBytes) {
    const uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    const arp_announce_frame f = AcTransmitManage::BuildArpFrame(mac, "192.168.1.10");
    const auto b = WireBytes(f);
    const std::vector<uint8_t> expected_head = {
        0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x08, 0x06,
        0x00, 0x01, 0x08, 0x00, 0x06, 0x04, 0x00, 0x01, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55,
        192,  168,  1,    10,   0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 192,  168,  1,    10};
    ASSERT_EQ(b.size(), 60u);
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 42), expected_head);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 42, b.end()), std::vector<uint8_t>(18, 0));
}

TEST_F(EngineSend, ArpGoesOutOnlyAfterTheCaptureListIsLoaded) {
    capture_.devices = {"any", "xpc0y", "pc0"};
    engine_->SendDiscoverBroadcast();
    EXPECT_TRUE(capture_.frames.empty());  // no search yet: no capture list
    EXPECT_EQ(sender_.Take().size(), 1u);  // the broadcast still goes out

    engine_->UpdateCaptureDeviceList();
    engine_->SendDiscoverBroadcast();
    ASSERT_EQ(capture_.frames.size(), 1u);
    EXPECT_EQ(capture_.frames[0].first, "xpc0y");  // first device whose name holds "pc0"
    EXPECT_EQ(capture_.frames[0].second.size(), 60u);
    EXPECT_EQ(sender_.Take().size(), 1u);

    capture_.devices = {"eth9"};
    engine_->UpdateCaptureDeviceList();
    adapter_send_info entry;
    std::snprintf(entry.name, sizeof entry.name, "pc0");
    EXPECT_FALSE(engine_->SendArpAnnouncement(entry));
}
