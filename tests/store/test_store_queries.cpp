// Paged, sorted and searched device lists, single-device reads and the plain lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "StoreTestUtil.h"

using namespace storetest;

namespace {

class StoreQueries : public ::testing::Test {
  protected:
    std::unique_ptr<CSqlManagement> store = MemoryStore();

    struct Page {
        bool ok = false;
        std::vector<ap_info_stu> list;
        int pages = 0;
        int online = 0;
    };
    Page Query(int key, int perPage, int page, bool ascending, std::string_view search = "") {
        Page p;
        p.ok = store->QueryApList(key, p.list, p.pages, p.online, perPage, page, ascending, search);
        return p;
    }
    void Add(const ap_info_stu& r) { ASSERT_TRUE(store->UpdateApInfo(r)); }
};

TEST_F(StoreQueries, EmptyStore) {
    const Page p = Query(1, 30, 1, true);
    EXPECT_TRUE(p.ok);
    EXPECT_TRUE(p.list.empty());
    EXPECT_EQ(p.pages, 0);
    EXPECT_EQ(p.online, 0);
}

TEST_F(StoreQueries, PagingCountsEveryMatchingRow) {
    for (int i = 1; i <= 31; ++i) Add(MakeRecord(MacText(i), "10.0.1." + std::to_string(i), "d"));
    for (int i : {3, 17, 31}) ASSERT_TRUE(store->SetApStatus(MacText(i), 0));

    const Page p1 = Query(1, 30, 1, true), p2 = Query(1, 30, 2, true), p3 = Query(1, 30, 3, true);
    ASSERT_TRUE(p1.ok && p2.ok && p3.ok);
    EXPECT_EQ(p1.list.size(), 30u);
    ASSERT_EQ(p2.list.size(), 1u);
    EXPECT_STREQ(p2.list[0].mac, MacText(31).c_str());
    EXPECT_TRUE(p3.list.empty());
    for (const Page* p : {&p1, &p2, &p3}) {
        EXPECT_EQ(p->pages, 2);
        EXPECT_EQ(p->online, 28);  // every matching row with a non-zero status, on every page
    }
    // Page 0 lies before the first row.
    const Page p0 = Query(1, 30, 0, true);
    EXPECT_TRUE(p0.ok);
    EXPECT_TRUE(p0.list.empty());
    EXPECT_EQ(p0.pages, 2);
}

// Many devices share a channel: ties go by MAC, so the pages hold each device exactly once and
// in the same order whatever the page size.
TEST_F(StoreQueries, TiesAreBrokenByMacAcrossPages) {
    std::vector<std::pair<int, std::string>> expected;  // (channel, mac)
    for (int i = 0; i < 25; ++i) {
        const int n = (i * 11) % 25 + 1;  // stored out of MAC order
        ap_info_stu r = MakeRecord(MacText(n), "10.0.0.1", "same");
        r.channel = static_cast<uint8_t>(n % 2 ? 1 : 11);
        Add(r);
        expected.emplace_back(r.channel, MacText(n));
    }
    std::sort(expected.begin(), expected.end());
    for (bool ascending : {true, false}) {
        SCOPED_TRACE(ascending);
        std::vector<std::string> want;
        for (const auto& [channel, mac] : expected) want.push_back(mac);
        if (!ascending) std::reverse(want.begin(), want.end());
        std::vector<std::string> seen;
        for (int page = 1; page <= 4; ++page) {
            for (const std::string& m : Macs(Query(6, 7, page, ascending).list)) seen.push_back(m);
        }
        EXPECT_EQ(seen, want);
    }
}

TEST_F(StoreQueries, AddressesSortAsNumbers) {
    int n = 0;
    for (const char* ip : {"10.0.0.10", "200.1.1.1", "10.0.0.9", "9.255.255.255", "10.0.0.100"}) {
        Add(MakeRecord(MacText(++n), ip, ip));
    }
    const std::vector<std::string> ascending = {"9.255.255.255", "10.0.0.9", "10.0.0.10",
                                                "10.0.0.100", "200.1.1.1"};
    EXPECT_EQ(Names(Query(1, 10, 1, true).list), ascending);
    EXPECT_EQ(Names(Query(1, 10, 1, false).list),
              std::vector<std::string>(ascending.rbegin(), ascending.rend()));
}

TEST_F(StoreQueries, TextColumnsSortWithoutRegardToCase) {
    int n = 0;
    for (const char* name : {"charlie", "Beta", "alpha", "Delta"}) {
        Add(MakeRecord(MacText(++n), "10.0.0.1", name));
    }
    EXPECT_EQ(Names(Query(2, 10, 1, true).list),
              (std::vector<std::string>{"alpha", "Beta", "charlie", "Delta"}));
}

// The search text is matched literally, as a case-insensitive substring; quotes, LIKE wildcards
// and backslashes are plain characters.
TEST_F(StoreQueries, SearchMatchesTheTypedTextLiterally) {
    int n = 0;
    for (const char* name : {"it's here", "100% up", "1000 up", "a_b", "axb", "back\\slash",
                             "Plain Name", "o'clock"}) {
        Add(MakeRecord(MacText(++n), "10.0.0.1", name));
    }
    struct Case {
        const char* search;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"'", {"it's here", "o'clock"}},
        {"it's", {"it's here"}},
        {"100%", {"100% up"}},
        {"%", {"100% up"}},
        {"a_b", {"a_b"}},
        {"_", {"a_b"}},
        {"\\", {"back\\slash"}},
        {"k\\s", {"back\\slash"}},
        {"PLAIN name", {"Plain Name"}},
        {"no such device", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        const Page p = Query(2, 100, 1, true, c.search);
        ASSERT_TRUE(p.ok);
        std::vector<std::string> names = Names(p.list);
        std::vector<std::string> want = c.names;
        std::sort(names.begin(), names.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(names, want);
        EXPECT_EQ(p.pages, want.empty() ? 0 : 1);
        EXPECT_EQ(p.online, static_cast<int>(want.size()));
    }
}

// A digit is looked for in the numbers shown (channel, transmit power) and the address text.
TEST_F(StoreQueries, SearchLooksIntoNumbersAndDisplayTexts) {
    ASSERT_EQ(GetApTypeText(1).find('6'), std::string::npos);
    ap_info_stu channel36 = MakeRecord(MacText(1), "10.0.0.1", "chan");
    channel36.channel = 36;
    ap_info_stu power6 = MakeRecord(MacText(2), "10.0.0.2", "power");
    power6.tx_power = 6;
    ap_info_stu address = MakeRecord(MacText(3), "10.0.6.3", "addr");
    ap_info_stu none = MakeRecord(MacText(4), "10.0.0.4", "none");
    ap_info_stu station = MakeRecord(MacText(5), "10.0.0.5", "sta");
    station.work_mode = 2;
    for (const ap_info_stu& r : {channel36, power6, address, none, station}) Add(r);
    ASSERT_TRUE(store->SetApStatus(MacText(4), 4));

    EXPECT_EQ(Names(Query(0, 100, 1, true, "6").list),
              (std::vector<std::string>{"chan", "power", "addr"}));
    EXPECT_EQ(Names(Query(0, 100, 1, true, "station").list), std::vector<std::string>{"sta"});
    const Page online = Query(0, 100, 1, true, "Online");
    EXPECT_EQ(Names(online.list), (std::vector<std::string>{"chan", "power", "addr", "sta"}));
    EXPECT_EQ(Names(Query(0, 100, 1, true, "restart").list), std::vector<std::string>{"none"});
    EXPECT_EQ(Names(Query(0, 100, 1, true, "00:1A:2B:00:00:03").list),
              std::vector<std::string>{"addr"});
}

TEST_F(StoreQueries, InvalidArgumentsAreRefused) {
    Add(MakeRecord(MacText(1), "10.0.0.1", "a"));
    for (const auto& [key, perPage] : {std::pair{-1, 30}, {14, 30}, {1, 0}}) {
        Page p;
        p.pages = p.online = -5;
        EXPECT_FALSE(store->QueryApList(key, p.list, p.pages, p.online, perPage, 1, true, ""));
        EXPECT_TRUE(p.list.empty());
        EXPECT_EQ(p.pages, -5);
    }
    std::vector<config_otherwl_basic> other;
    EXPECT_FALSE(store->GetOtherApList(5, true, other));
}

TEST_F(StoreQueries, SingleDevicesAndPlainLists) {
    Add(MakeRecord(MacText(2), "10.0.0.2", "second"));
    Add(MakeRecord(MacText(1), "10.0.0.1", "first"));

    ap_info_stu got;
    std::memset(&got, 0xff, sizeof got);
    store->GetApInfo(MacText(9), got);
    const ap_info_stu zero{};
    EXPECT_EQ(std::memcmp(&got, &zero, sizeof got), 0);

    store->GetApInfo("", got);  // the first device stored
    EXPECT_STREQ(got.mac, MacText(2).c_str());

    std::vector<std::string> ips{"kept"}, macs;
    ASSERT_TRUE(store->GetApIpList(ips));
    EXPECT_EQ(ips, (std::vector<std::string>{"kept", "10.0.0.2", "10.0.0.1"}));
    ASSERT_TRUE(store->GetApMacList(macs));
    EXPECT_EQ(macs, (std::vector<std::string>{MacText(2), MacText(1)}));
}

}  // namespace
