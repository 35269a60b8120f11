// The list pages with a real engine against the device simulator, inside a private lab
// network: the Search button's broadcasts, a rename as the device receives it, and the order
// of a reboot of an access point and its station. The test thread (the pages' interface
// thread) and the engine live in the lab's PC namespace for the whole test.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <chrono>
#include <memory>
#include <thread>

#include "engine/AcTransmitManage.h"
#include "store/CSqlManagement.h"
#include "tests/lab/LabFixture.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CGridCtrl.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTEdit.h"
#include "ui/pages/CRebootDlg.h"
#include "ui/pages/CStatusDlg.h"

namespace {

std::string DeviceMac(int i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:4d:57:00:00:%02x", 1 + i);
    return mac;
}

// Runs the interface thread's events for `ms`, or until `done` holds.
template <class Fn>
bool PumpUntil(int ms, Fn done) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (done()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

void Pump(int ms) {
    PumpUntil(ms, [] { return false; });
}

class PagesLab : public ::testing::Test {
  protected:
    PagesLab() : store_(CSqlManagement::kInMemoryDatabase) {}

    void Start(std::vector<std::string> simArgs) {
        uitest::UseShippedLook();
        ASSERT_TRUE(lab_.ok()) << lab_.error();
        ASSERT_TRUE(lab_.StartSimulator(simArgs)) << lab_.error() << lab_.simulatorOutput();
        pc_ = std::make_unique<testlab::NetnsScope>(lab_.pcNs());
        ASSERT_TRUE(pc_->ok()) << pc_->error();
        EngineDeps deps;
        deps.store = &store_;
        deps.timing.retransmission_interval = 500;
        deps.timing.heartbeat_check_period = 2000;
        engine_ = std::make_unique<AcTransmitManage>(deps);
        ASSERT_TRUE(engine_->Init(3, 500));
        services_ = PageServices::ForEngine(engine_.get(), &store_);
        services_.OpenUrl = [](const QString&) {};
        services_.Warning = [this](const QString& text) { warnings_.push_back(text); };
        services_.Confirm = [](const QString&) { return true; };
        services_.EnableNavigation = [](bool) {};
        services_.SetAutoRefresh = [](bool) {};
    }

    // Discovery as the Search button starts it, until `count` devices are stored.
    void Discover(int count) {
        engine_->UpdateCaptureDeviceList();
        engine_->SendDiscoverBroadcast();
        ASSERT_TRUE(PumpUntil(8000, [&] {
            std::vector<ap_info_stu> list;
            int pages = 0, online = 0;
            store_.QueryApList(1, list, pages, online, 100, 1, true, "");
            return online == count;
        }));
    }

    std::vector<testlab::TraceRecord> Received(int type, const std::string& mac = "") {
        std::vector<testlab::TraceRecord> out;
        for (auto& r : lab_.ReadTrace())
            if (r.dir == "rx" && r.type == type && (mac.empty() || r.mac == mac)) out.push_back(r);
        return out;
    }

    // Discovery broadcasts the simulator received (one per search round here: one address).
    int Broadcasts() {
        int n = 0;
        for (auto& r : Received(VALTO_APDiscoverRequest))
            if (r.to.ends_with(":9786")) ++n;
        return n;
    }

    void TearDown() override {
        engine_.reset();
        pc_.reset();
    }

    testlab::Lab lab_;
    CSqlManagement store_;
    std::unique_ptr<testlab::NetnsScope> pc_;
    std::unique_ptr<AcTransmitManage> engine_;
    PageServices services_;
    std::vector<QString> warnings_;
};

TEST_F(PagesLab, SearchSendsTenBroadcastsInThirtySecondsAndStopEndsItAtOnce) {
    Start({"--count", "3", "--heartbeat", "1000"});
    CStatusDlg page(nullptr, services_);
    page.show();
    QElapsedTimer t;
    t.start();
    page.SearchButton()->click();
    ASSERT_TRUE(page.IsSearching());
    ASSERT_TRUE(PumpUntil(36000, [&] { return !page.IsSearching(); }));
    const qint64 took = t.elapsed();
    EXPECT_GE(took, 29500);
    EXPECT_LE(took, 34000);  // timer ticks drift a little on a loaded machine
    Pump(300);
    EXPECT_EQ(Broadcasts(), 10);
    EXPECT_EQ(page.Grid()->GetRowCount(), 3);
    EXPECT_EQ(page.OnlineCount(), 3);
    EXPECT_TRUE(page.SearchBox()->isEnabled());

    // A second search stopped after 5 s: broadcasts at 0 and 3 s, then none.
    page.SearchButton()->click();
    Pump(5000);
    page.SearchButton()->click();
    EXPECT_FALSE(page.IsSearching());
    EXPECT_EQ(page.SearchButton()->text(), "Search");
    Pump(4000);
    EXPECT_EQ(Broadcasts(), 12);
}

TEST_F(PagesLab, RenameIsRefusedForStrictTypeAndReachesALooseTypeDevice) {
    Start({"--count", "2", "--heartbeat", "1000", "--set", "type=17@0", "--set", "type=1@1"});
    Discover(2);
    CStatusDlg page(nullptr, services_);
    page.show();
    page.RefreshPage();
    ASSERT_EQ(page.Grid()->GetRowCount(), 2);
    for (int row = 1; row <= 2; ++row) {
        page.Grid()->ClickCell(row, CStatusDlg::COL_NAME);
        ASSERT_TRUE(page.Grid()->IsEditing());
        for (QLineEdit* e : page.Grid()->viewport()->findChildren<QLineEdit*>())
            if (!e->isHidden()) e->setText("roof top");
        page.Grid()->CommitEdit();
        page.JoinRenameWorker();
    }
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_TRUE(warnings_[0].contains("lowercase letters"));
    ASSERT_TRUE(PumpUntil(3000, [&] { return !Received(VALTO_APNameSetRequest).empty(); }));
    Pump(300);
    EXPECT_TRUE(Received(VALTO_APNameSetRequest, DeviceMac(0)).empty());
    const auto rx = Received(VALTO_APNameSetRequest, DeviceMac(1));
    ASSERT_FALSE(rx.empty());
    EXPECT_EQ(rx[0].dataLen, 33u);
    ASSERT_EQ(rx[0].payload.size(), 33u);
    EXPECT_EQ(std::string(rx[0].payload.begin(), rx[0].payload.begin() + 8), "roof top");
    EXPECT_EQ(rx[0].payload[32], 8);
}

TEST_F(PagesLab, RebootSendsToTheAccessPointFirstAndItsStationAfterThePause) {
    // Device 1 is the simulator's station linked to device 0's network.
    Start({"--count", "2", "--heartbeat", "1000"});
    Discover(2);
    ASSERT_TRUE(store_.HasBridgedStation(DeviceMac(0)));
    CRebootDlg page(nullptr, services_);
    page.show();
    int polls = 0;
    page.Services().RunWait = [&](int seconds, bool rediscover, int rounds) {
        EXPECT_EQ(seconds, 60);
        EXPECT_TRUE(rediscover);
        EXPECT_EQ(rounds, 3);
        // A short stand-in for the minute of waiting: the status polling runs meanwhile.
        Pump(2500);
        ++polls;
    };
    page.RefreshPage();
    page.Grid()->ClickCell(0, 0);
    page.ActionButton()->click();
    page.JoinCommandWorker();
    EXPECT_EQ(polls, 1);
    const auto ap = Received(VALTO_APRebootRequest, DeviceMac(0));
    const auto sta = Received(VALTO_APRebootRequest, DeviceMac(1));
    ASSERT_FALSE(ap.empty());
    ASSERT_FALSE(sta.empty());
    EXPECT_GE(sta[0].time - ap[0].time, 0.19);
    EXPECT_LE(sta[0].time - ap[0].time, 2.0);
    EXPECT_TRUE(page.RefreshTimer().isActive());
}

}  // namespace
