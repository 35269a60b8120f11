// Writers on several threads against readers: every query sees one consistent table.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "StoreTestUtil.h"

using namespace storetest;

namespace {

TEST(StoreThreads, WritesFromSeveralThreadsAgainstQueries) {
    auto store = MemoryStore();
    constexpr int kWriters = 4;
    constexpr int kDevicesPerWriter = 40;
    constexpr int kRounds = 30;
    std::atomic<bool> writing{true};
    std::atomic<int> failures{0};

    // Each writer owns its MACs: reports, heartbeats, status changes, and deletes of every
    // other device in the last round.
    auto writer = [&](int w) {
        for (int round = 0; round < kRounds; ++round) {
            for (int d = 0; d < kDevicesPerWriter; ++d) {
                const std::string mac = MacText(w * 1000 + d);
                if (!store->UpdateApInfo(
                        MakeRecord(mac, "10.0." + std::to_string(w) + "." + std::to_string(d),
                                   "w" + std::to_string(w))))
                    ++failures;
                if (!store->UpdateApUptime(mac, "10.1.0.1", round)) ++failures;
                if (!store->SetApStatus(mac, round % 2 ? 4 : 0)) ++failures;
                if (round == kRounds - 1 && d % 2 && !store->DeleteApInfo(mac)) ++failures;
            }
        }
    };
    // Counts and page come from the same moment: with the whole table on one page, the page
    // holds exactly the rows counted, and the online count is the page's non-zero statuses.
    std::atomic<int> queries{0};
    auto reader = [&] {
        while (writing) {
            std::vector<ap_info_stu> list;
            int pages = 0, online = 0;
            if (!store->QueryApList(1, list, pages, online, 10000, 1, queries % 2 == 0,
                                    queries % 3 == 0 ? "w" : "")) {
                ++failures;
                continue;
            }
            int nonZero = 0;
            for (const ap_info_stu& r : list) {
                nonZero += r.ap_status != 0;
                if (std::string(r.mac).size() != 17) ++failures;
            }
            if (pages != (list.empty() ? 0 : 1) || online != nonZero) ++failures;
            ++queries;
        }
    };

    std::vector<std::thread> threads;
    for (int r = 0; r < 2; ++r) threads.emplace_back(reader);
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) writers.emplace_back(writer, w);
    for (auto& t : writers) t.join();
    writing = false;
    for (auto& t : threads) t.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_GT(queries.load(), 0);
    std::vector<std::string> macs;
    ASSERT_TRUE(store->GetApMacList(macs));
    EXPECT_EQ(macs.size(), static_cast<size_t>(kWriters * kDevicesPerWriter / 2));
    for (int w = 0; w < kWriters; ++w) {
        EXPECT_EQ(store->GetApStatus(MacText(w * 1000 + 2)), 4);  // the last round's status
        EXPECT_EQ(std::count(macs.begin(), macs.end(), MacText(w * 1000 + 1)), 0);  // deleted
    }
}

}  // namespace
