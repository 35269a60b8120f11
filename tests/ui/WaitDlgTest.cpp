// The waiting dialog's ticks and rediscovery rounds.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QTest>

#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/main/CWaitDlg.h"

namespace {

struct EngineLog {
    std::vector<std::string> calls;  // "release@tick" / "broadcast@tick"
    int tick = 0;
    CWaitDlg::Engine Hooks() {
        return {[this] { calls.push_back("release@" + std::to_string(tick)); },
                [this] { calls.push_back("broadcast@" + std::to_string(tick)); }};
    }
};

// Drives the dialog tick by tick; returns the tick on which it closed itself.
int RunTicks(CWaitDlg& dlg, EngineLog& log, int limit) {
    for (int t = 1; t <= limit; ++t) {
        log.tick = t;
        dlg.OnTimer(CWaitDlg::TIMER_WAIT);
        if (dlg.result() == QDialog::Accepted) return t;
    }
    return -1;
}

TEST(WaitDlg, RediscoveryTicks) {
    uitest::UseShippedLook();
    const struct {
        int seconds;
        bool rediscover;
        int rounds;
        std::vector<int> broadcasts;
    } cases[] = {
        {15, true, 3, {18, 24, 30}},
        {60, true, 3, {108, 114, 120}},
        {60, true, 5, {96, 102, 108, 114, 120}},
        {15, false, 3, {}},
        {15, true, 0, {}},
    };
    for (const auto& c : cases) {
        EngineLog log;
        CWaitDlg dlg(c.seconds, c.rediscover, c.rounds, nullptr, log.Hooks());
        EXPECT_EQ(dlg.Bar()->maximum(), c.seconds * 2);
        const int closedAt = RunTicks(dlg, log, 1000);
        EXPECT_EQ(closedAt, c.seconds * 2) << c.seconds << " s";
        EXPECT_EQ(dlg.Bar()->value(), c.seconds * 2);
        std::vector<std::string> expected;
        if (!c.broadcasts.empty()) expected.push_back("release@" + std::to_string(c.broadcasts[0]));
        for (int t : c.broadcasts) expected.push_back("broadcast@" + std::to_string(t));
        EXPECT_EQ(log.calls, expected) << c.seconds << " s, " << c.rounds << " rounds";
    }
}

TEST(WaitDlg, BarFollowsTheTicks) {
    uitest::UseShippedLook();
    EngineLog log;
    CWaitDlg dlg(15, true, 3, nullptr, log.Hooks());
    RunTicks(dlg, log, 7);
    EXPECT_EQ(dlg.Bar()->value(), 7);
    EXPECT_EQ(dlg.result(), 0);  // still open
}

TEST(WaitDlg, EarlyCloseSendsNothing) {
    uitest::UseShippedLook();
    EngineLog log;
    CWaitDlg dlg(15, true, 3, nullptr, log.Hooks());
    dlg.show();
    // The real timer ticks every half second once the dialog shows.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Counter() >= 3; }, 3000));
    QTest::mouseClick(dlg.CloseButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.IsTicking());
    const int counter = dlg.Counter();
    QTest::qWait(700);
    EXPECT_EQ(dlg.Counter(), counter);
    EXPECT_TRUE(log.calls.empty());
}

}  // namespace
