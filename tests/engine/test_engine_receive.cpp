// The receive path without sockets: which datagrams are queued for which handler, the bound of
// the queues, and the length a queued record may claim.
#include <gtest/gtest.h>

#include "tests/engine/EngineTestUtil.h"

using namespace enginetest;

namespace {

std::vector<uint8_t> Datagram(uint16_t type, std::size_t payload_len, uint16_t magic = 6536) {
    std::vector<uint8_t> d(16 + payload_len, 0xab);
    datagram_header h = MakeHeader(type, MacTextToBytes("02:00:00:00:00:01"),
                                   static_cast<uint16_t>(payload_len), false);
    h.magic = magic;
    std::memcpy(d.data(), &h, 16);
    return d;
}

}  // namespace

using EngineReceive = EngineFixture;

TEST_F(EngineReceive, AcceptanceByPortLengthMagicAndType) {
    ap_packet_info from{};
    SetSender(from, {198, 51, 100, 20}, 5000);
    struct Case {
        const char* what;
        uint16_t port;
        std::vector<uint8_t> bytes;
        bool queued;
    };
    auto truncated = Datagram(1, 0);
    truncated.pop_back();
    const Case cases[] = {
        {"15 bytes", 9785, truncated, false},
        {"wrong magic", 9785, Datagram(1, 0, 0x1989), false},
        {"exactly 16 bytes", 9785, Datagram(1, 0), true},
        {"heartbeat on 9785", 9785, Datagram(15, 40), false},
        {"discovery on 9787", 9787, Datagram(1, 40), false},
        {"heartbeat on 9787", 9787, Datagram(15, 40), true},
        {"type 1 on 9788", 9788, Datagram(1, 0), true},
        {"type 14 on 9788", 9788, Datagram(14, 3), true},
        {"largest datagram", 9788, Datagram(2, 1456), true},
        {"one byte more", 9788, Datagram(2, 1457), false},
        {"other port", 9786, Datagram(1, 0), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engine_->AcceptDatagram(c.port, c.bytes.data(), c.bytes.size(), from.from),
                  c.queued)
            << c.what;
    }
    const auto stats = engine_->GetQueueStats();
    EXPECT_EQ(stats.discover, 1u);
    EXPECT_EQ(stats.heartbeat, 1u);
    EXPECT_EQ(stats.config, 3u);
    EXPECT_EQ(stats.dropped, 0u);
}

TEST(EngineQueue, BoundDropsAndCountsNewRecords) {
    CPacketQueue queue(3);
    ap_packet_info p{};
    uint64_t dropped = 0;
    for (int i = 0; i < 5; ++i) {
        p.packet[0] = static_cast<uint8_t>(i);
        EXPECT_EQ(queue.Push(p, dropped), i < 3);
    }
    EXPECT_EQ(queue.Dropped(), 2u);
    EXPECT_EQ(dropped, 2u);
    std::deque<ap_packet_info> batch;
    queue.WaitAndTakeAll(batch);  // the event is set: no wait
    ASSERT_EQ(batch.size(), 3u);
    EXPECT_EQ(batch[0].packet[0], 0);  // oldest first; the newest were the ones dropped
    EXPECT_EQ(batch[2].packet[0], 2);
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_TRUE(queue.Push(p, dropped));
}

TEST_F(EngineReceive, QueuedRecordNeverClaimsMoreThanArrived) {
    // A survey answer that claims 40 entries and a full-size payload, of which two entries
    // arrived: only those two may be stored, no zero rows for the bytes that never came.
    std::vector<uint8_t> d = Datagram(VALTO_APSearchApRequest, 0);
    const uint8_t head[] = {1, 0, 40};
    d.insert(d.end(), head, head + 3);
    for (uint8_t i = 1; i <= 2; ++i) {
        config_otherwl_basic e{};
        e.mac[0] = 2;
        e.mac[5] = i;
        const auto b = WireBytes(e);
        d.insert(d.end(), b.begin(), b.end());
    }
    WriteLe16(d.data() + 14, 1411);
    ap_packet_info from{};
    SetSender(from, {198, 51, 100, 20}, 5000);
    ASSERT_TRUE(engine_->AcceptDatagram(9788, d.data(), d.size(), from.from));
    EXPECT_EQ(engine_->HandleQueued(), 1u);
    std::vector<config_otherwl_basic> rows;
    ASSERT_TRUE(store_.GetOtherApList(0, true, rows));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].mac[5], 1);
    EXPECT_EQ(rows[1].mac[5], 2);
    EXPECT_TRUE(engine_->search_ap_done);
}
