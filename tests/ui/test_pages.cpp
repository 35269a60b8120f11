// The device list pages over a store the test fills, with the engine's calls replaced by
// recorders: listing, paging, sorting, searching, selection, rename, search ticks, and the
// order and pause of the reboot and restore commands.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "common/ValueTables.h"
#include "store/CSqlManagement.h"
#include "tests/store/StoreTestUtil.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CGridCtrl.h"
#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTEdit.h"
#include "ui/controls/CTMultiPages.h"
#include "ui/controls/CTStatic.h"
#include "ui/main/CChildDlg.h"
#include "ui/main/PageIds.h"
#include "ui/pages/CManagementDlg.h"
#include "ui/pages/CRebootDlg.h"
#include "ui/pages/CRestoreDlg.h"
#include "ui/pages/CStatusDlg.h"
#include "ui/pages/PageFactory.h"

namespace {

using storetest::MacText;
using storetest::MakeRecord;
using Clock = std::chrono::steady_clock;

std::string IpOf(int n) {
    return "10.0." + std::to_string(n / 250) + "." + std::to_string(n % 250 + 1);
}

// What the fake engine saw.
struct Sent {
    std::string ip, mac;
    uint16_t type;
    std::vector<uint8_t> payload;
    bool retransmit;
    Clock::time_point at;
};

class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::UseShippedLook();
        services_.store = store_.get();
        services_.GetPendingManageApList = [this](std::vector<ap_info_stu>& list, int limit,
                                                  const char* filter) {
            list.clear();
            for (int i = 0; i < int(pending_.size()) && i < limit; ++i) {
                const ap_info_stu& r = pending_[i];
                if (filter && std::string(r.mac).find(filter) == std::string::npos) continue;
                list.push_back(r);
            }
        };
        services_.SendDiscoverBroadcast = [this] { ++broadcasts_; };
        services_.ReleasePendingManageAp = [this] { calls_.push_back("release"); };
        services_.DeletePendingManageAp = [this] { calls_.push_back("deletePending"); };
        services_.DeleteUnmanagedApInfo = [this] { calls_.push_back("deleteUnmanaged"); };
        services_.UpdateCaptureDeviceList = [this] { calls_.push_back("capture"); };
        services_.SendPacketMutilcast = [this](const std::string& ip, uint16_t type,
                                               const uint8_t* data, int len, const std::string& mac,
                                               bool retransmit) {
            std::lock_guard g(sentLock_);
            sent_.push_back(
                {ip, mac, type, std::vector<uint8_t>(data, data + len), retransmit, Clock::now()});
            return true;
        };
        services_.OpenUrl = [this](const QString& url) { urls_.push_back(url); };
        services_.Warning = [this](const QString& text) { warnings_.push_back(text); };
        services_.Confirm = [this](const QString& text) {
            confirms_.push_back(text);
            return confirmAnswer_;
        };
        services_.RunWait = [this](int seconds, bool rediscover, int rounds) {
            waits_.push_back({seconds, rediscover ? 1 : 0, rounds});
            if (duringWait_) duringWait_();
        };
        services_.EnableNavigation = [this](bool on) { navigation_ = on; };
        services_.SetAutoRefresh = [this](bool on) { autoRefresh_ = on; };
    }

    void Store(int count, int from = 0) {
        for (int i = from; i < from + count; ++i) {
            ap_info_stu r = MakeRecord(MacText(i), IpOf(i), "dev-" + std::to_string(i));
            r.tx_power = uint8_t(i % 30);
            ASSERT_TRUE(store_->UpdateApInfo(r));
        }
    }
    void Pending(int count) {
        for (int i = 0; i < count; ++i) {
            ap_info_stu r{};
            std::string mac = "02:00:00:00:01:" + std::string(i < 16 ? "0" : "") +
                              QString::number(i, 16).toStdString();
            std::memcpy(r.mac, mac.data(), mac.size());
            r.ap_type = 1;
            r.ap_status = 10;
            storetest::SetIp(r.ip, "192.0.2." + std::to_string(i + 1));
            storetest::SetText(r.version, r.version_len, "v9");
            storetest::SetText(r.ap_name, r.ap_name_len, "hidden");
            pending_.push_back(r);
        }
    }

    template <class Page>
    std::unique_ptr<Page> Make() {
        auto page = std::make_unique<Page>(nullptr, services_);
        page->show();
        return page;
    }

    static std::vector<QString> Column(const CListPageDlg& page, int col) {
        std::vector<QString> out;
        for (int r = 1; r <= page.Grid()->GetRowCount(); ++r)
            out.push_back(page.Grid()->GetItemText(r, col));
        return out;
    }

    std::unique_ptr<CSqlManagement> store_ = storetest::MemoryStore();
    std::vector<ap_info_stu> pending_;
    PageServices services_;
    int broadcasts_ = 0;
    std::vector<std::string> calls_;
    std::mutex sentLock_;
    std::vector<Sent> sent_;
    std::vector<QString> urls_, warnings_, confirms_;
    bool confirmAnswer_ = true;
    std::vector<std::array<int, 3>> waits_;
    std::function<void()> duringWait_;
    bool navigation_ = true, autoRefresh_ = true;
};

// ---- the shared list behaviour ----

TEST_F(PagesTest, PagingCountsAcrossPagesAndTheLabelCountsEveryMatch) {
    Store(31);
    auto page = Make<CRebootDlg>();
    page->RefreshPage();
    EXPECT_EQ(page->Grid()->GetRowCount(), 30);
    EXPECT_EQ(page->Pager()->PageCount(), 2);
    EXPECT_EQ(page->Pager()->CurrentPage(), 1);
    EXPECT_EQ(page->OnlineCountLabel()->text(), "Online device count:31");
    // First look: by address, largest first.
    EXPECT_EQ(page->Grid()->GetItemText(1, CRebootDlg::COL_IP), QString::fromStdString(IpOf(30)));
    EXPECT_EQ(page->Grid()->GetItemText(30, CRebootDlg::COL_IP), QString::fromStdString(IpOf(1)));

    page->OnPageTurn(2);
    ASSERT_EQ(page->Grid()->GetRowCount(), 1);
    EXPECT_EQ(page->Grid()->GetItemText(1, CRebootDlg::COL_SERIAL), "31");
    EXPECT_EQ(page->Grid()->GetItemText(1, CRebootDlg::COL_IP), QString::fromStdString(IpOf(0)));
    EXPECT_EQ(page->Pager()->CurrentPage(), 2);
}

TEST_F(PagesTest, EmptyStoreAndClosedQueryShowNothing) {
    auto page = Make<CManagementDlg>();
    page->RefreshPage();
    EXPECT_EQ(page->Grid()->GetRowCount(), 0);
    EXPECT_EQ(page->Pager()->PageCount(), 0);
    EXPECT_TRUE(page->Pager()->Buttons().empty());
    EXPECT_EQ(page->OnlineCountLabel()->text(), "Online device count:0");

    // No store at all behaves like a failed query.
    Store(3);
    page->Services().store = nullptr;
    page->RefreshPage();
    EXPECT_EQ(page->Grid()->GetRowCount(), 0);
    EXPECT_EQ(page->OnlineCount(), 0);
}

TEST_F(PagesTest, PageThatVanishedFallsBackToPageOne) {
    Store(65);
    auto page = Make<CRestoreDlg>();
    page->RefreshPage();
    page->OnPageTurn(3);
    ASSERT_EQ(page->PageNumber(), 3);
    ASSERT_EQ(page->Grid()->GetRowCount(), 5);
    for (int i = 0; i < 25; ++i) ASSERT_TRUE(store_->DeleteApInfo(MacText(i)));
    page->RefreshPage();  // 40 left: two pages
    EXPECT_EQ(page->PageNumber(), 1);
    EXPECT_EQ(page->Pager()->CurrentPage(), 1);
    EXPECT_EQ(page->Pager()->PageCount(), 2);
    EXPECT_EQ(page->Grid()->GetRowCount(), 30);
    EXPECT_EQ(page->Grid()->GetItemText(1, CRestoreDlg::COL_SERIAL), "1");
}

TEST_F(PagesTest, HeaderClicksSortAlternatelyFromAscendingAndReturnToPageOne) {
    Store(35);
    auto page = Make<CManagementDlg>();
    page->RefreshPage();
    page->OnPageTurn(2);
    CGridCtrl* grid = page->Grid();
    EXPECT_TRUE(grid->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(grid->SortMarkerColumn(), CManagementDlg::COL_IP);
    EXPECT_FALSE(grid->SortMarkerAscending());

    grid->ClickCell(0, CManagementDlg::COL_IP);  // first click: ascending
    EXPECT_EQ(page->PageNumber(), 1);
    EXPECT_EQ(grid->GetItemText(1, CManagementDlg::COL_IP), QString::fromStdString(IpOf(0)));
    EXPECT_TRUE(grid->SortMarkerAscending());
    EXPECT_EQ(grid->SortMarkerColumn(), CManagementDlg::COL_IP);

    const int power = 9;
    grid->ClickCell(0, power);  // second click, another column: descending
    EXPECT_EQ(grid->SortMarkerColumn(), power);
    EXPECT_FALSE(grid->SortMarkerAscending());
    EXPECT_EQ(grid->GetItemText(1, power), "29");
    EXPECT_EQ(grid->GetItemText(30, power), "2");  // 35 devices: powers 0..29, then 0..4 again

    // A refresh keeps the last click's direction; Serial and Operate headers do nothing.
    const int flag = page->SortFlag();
    for (int col : {int(CManagementDlg::COL_SERIAL), int(CManagementDlg::COL_OPERATE)}) {
        grid->ClickCell(0, col);
        EXPECT_EQ(page->SortFlag(), flag);
        EXPECT_EQ(page->SortColumn(), power);
    }
    page->RefreshPage();
    EXPECT_EQ(grid->GetItemText(1, power), "29");
}

TEST_F(PagesTest, LiveSearchNarrowsAtEveryKeystrokeOnPageOne) {
    Store(40);
    auto page = Make<CRebootDlg>();
    page->RefreshPage();
    page->OnPageTurn(2);
    page->SearchBox()->setText("dev-3");  // dev-3, dev-30..39
    EXPECT_EQ(page->PageNumber(), 1);
    EXPECT_EQ(page->Grid()->GetRowCount(), 11);
    page->SearchBox()->setText("dev-33");
    EXPECT_EQ(page->Grid()->GetRowCount(), 1);
    EXPECT_EQ(page->OnlineCountLabel()->text(), "Online device count:1");
    page->SearchBox()->clear();
    EXPECT_EQ(page->Grid()->GetRowCount(), 30);
    EXPECT_EQ(page->Pager()->PageCount(), 2);

    page->OnPageTurn(2);
    page->PerPageSelector()->setCurrentIndex(3);  // 100 a page: back to page 1
    EXPECT_EQ(page->PageNumber(), 1);
    EXPECT_EQ(page->Grid()->GetRowCount(), 40);
}

TEST_F(PagesTest, CheckBoxesToggleByHeaderAndCellAndARefreshClearsThem) {
    Store(5);
    auto page = Make<CRebootDlg>();
    page->RefreshPage();
    CGridCtrl* grid = page->Grid();
    grid->ClickCell(0, 0);
    EXPECT_TRUE(page->AllSelected());
    EXPECT_EQ(page->CheckedRows().size(), 5u);
    grid->ClickCell(2, 0);
    const auto rows = page->CheckedRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Ip(), IpOf(4));  // row order
    EXPECT_EQ(rows[1].Ip(), IpOf(2));
    EXPECT_EQ(rows[0].ap_type, 1u);
    grid->ClickCell(1, 3);  // another column leaves the box alone
    EXPECT_TRUE(grid->GetCheck(1));
    page->RefreshPage();
    EXPECT_TRUE(page->CheckedRows().empty());
    EXPECT_FALSE(grid->GetCheck(0));
    EXPECT_FALSE(page->AllSelected());
}

TEST_F(PagesTest, DeviceTextsAreShownAsPlainText) {
    ap_info_stu r = MakeRecord(MacText(1), "10.0.0.1", "<b>x</b>");
    ASSERT_TRUE(store_->UpdateApInfo(r));
    auto page = Make<CManagementDlg>();
    page->RefreshPage();
    EXPECT_EQ(page->Grid()->GetItemText(1, 1), "<b>x</b>");
}

TEST_F(PagesTest, PagerClickTurnsThePageThroughTheContainer) {
    Store(40);
    CChildDlg container(nullptr, [this](int id, QWidget* parent) -> CPageDlg* {
        return id == IDD_MANAGEMENT_PAGE ? new CManagementDlg(parent, services_) : nullptr;
    });
    container.show();
    container.ShowPage(IDD_MANAGEMENT_PAGE);
    auto* page = static_cast<CManagementDlg*>(container.Page(IDD_MANAGEMENT_PAGE));
    page->RefreshPage();
    CTMultiPages* pager = page->Pager();
    ASSERT_EQ(pager->Buttons().size(), 2u);
    QTest::mouseClick(pager, Qt::LeftButton, {}, pager->Buttons()[1].rect.center());
    EXPECT_EQ(page->PageNumber(), 2);
    EXPECT_EQ(page->Grid()->GetRowCount(), 10);
    EXPECT_EQ(page->Grid()->GetItemText(1, CManagementDlg::COL_SERIAL), "31");
    // The Operate picture opens nothing yet; it only notes the device.
    page->Grid()->ClickCell(1, CManagementDlg::COL_OPERATE);
    EXPECT_EQ(page->ConfigTarget().Ip(),
              page->Grid()->GetItemText(1, CManagementDlg::COL_IP).toStdString());
    EXPECT_EQ(page->ConfigTarget().ap_type, 1u);
    EXPECT_TRUE(container.AutoRefresh());
}

// ---- Status page: pending devices ----

struct PendingCase {
    int stored, pending, perPageIndex, page;
    int rows, pendingRows, pages, online;
};

TEST_F(PagesTest, PendingDevicesOnlyFillFreeRowsOfTheLastPage) {
    const PendingCase cases[] = {
        {20, 5, 1, 1, 25, 5, 1, 20},  // 30 a page: pending ones after the stored ones
        {20, 5, 0, 1, 15, 0, 2, 20},  // 15 a page, page 1: stored only
        {20, 5, 0, 2, 10, 5, 2, 20},  // page 2: 5 stored, then the 5 pending
        {30, 5, 1, 1, 30, 0, 1, 30},  // full last page: no pending shown
        {0, 40, 1, 1, 30, 30, 0, 0},  // no stored: 30 pending, no pages, count 0
    };
    for (const PendingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " stored, " << c.pending << " pending, "
                                        << c.perPageIndex << " size index, page " << c.page);
        store_ = storetest::MemoryStore();
        services_.store = store_.get();
        pending_.clear();
        Store(c.stored);
        Pending(c.pending);
        auto page = Make<CStatusDlg>();
        page->PerPageSelector()->setCurrentIndex(c.perPageIndex);
        page->OnPageTurn(c.page);
        CGridCtrl* grid = page->Grid();
        ASSERT_EQ(grid->GetRowCount(), c.rows);
        EXPECT_EQ(page->Pager()->PageCount(), c.pages);
        EXPECT_EQ(page->OnlineCountLabel()->text(),
                  QString("Online device count:%1").arg(c.online));
        int pendingRows = 0;
        for (int r = 1; r <= grid->GetRowCount(); ++r) {
            const bool isPending = grid->GetItemData(r, CStatusDlg::COL_SERIAL) == 10;
            if (isPending) {
                ++pendingRows;
                EXPECT_GT(r, c.rows - c.pendingRows) << "pending rows come last";
                EXPECT_EQ(grid->GetItemFgColour(r, CStatusDlg::COL_IP),
                          ToQColor(theApp.m_settings.TextUnlineColor));
                EXPECT_EQ(grid->GetItemImage(r, CStatusDlg::COL_OPERATE), -1);
                // No network name: Location stays empty although the record has a name.
                EXPECT_EQ(grid->GetItemText(r, CStatusDlg::COL_NAME), "");
                EXPECT_EQ(grid->GetItemText(r, 9), "v9");
            } else {
                EXPECT_EQ(grid->GetItemData(r, CStatusDlg::COL_SERIAL), 1);
                EXPECT_EQ(grid->GetItemImage(r, CStatusDlg::COL_OPERATE), 0);
            }
        }
        EXPECT_EQ(pendingRows, c.pendingRows);
        if (c.pages == 0) {
            EXPECT_TRUE(page->Pager()->Buttons().empty());
        }
    }
}

TEST_F(PagesTest, OperateOpensTheWebPageOfStoredRowsOnly) {
    Store(1);
    Pending(1);
    auto page = Make<CStatusDlg>();
    page->RefreshPage();
    ASSERT_EQ(page->Grid()->GetRowCount(), 2);
    page->Grid()->ClickCell(2, CStatusDlg::COL_OPERATE);
    EXPECT_TRUE(urls_.empty());
    page->Grid()->ClickCell(1, CStatusDlg::COL_OPERATE);
    ASSERT_EQ(urls_.size(), 1u);
    EXPECT_EQ(urls_[0], QString::fromStdString("http://" + IpOf(0)));
}

// ---- Status page: search ----

TEST_F(PagesTest, SearchBroadcastsTenTimesInThirtyTicksAndStopEndsIt) {
    Store(3);
    auto page = Make<CStatusDlg>();
    page->SearchBox()->setText("dev-1");
    page->OnSearchButton();
    EXPECT_EQ(calls_,
              (std::vector<std::string>{"capture", "release", "deletePending", "deleteUnmanaged"}));
    EXPECT_TRUE(page->IsSearching());
    EXPECT_EQ(page->SearchButton()->text(), "Stop");
    EXPECT_TRUE(page->SearchBox()->text().isEmpty());
    EXPECT_FALSE(page->SearchBox()->isEnabled());
    EXPECT_FALSE(page->Grid()->isEnabled());
    EXPECT_FALSE(page->PerPageSelector()->isEnabled());
    EXPECT_FALSE(navigation_);
    EXPECT_FALSE(autoRefresh_);
    EXPECT_TRUE(page->SearchTimer().isActive());
    EXPECT_EQ(page->Grid()->GetRowCount(), 3);  // the filter is gone
    for (int t = 0; t < 29; ++t) page->OnTimer(CStatusDlg::TIMER_SEARCH);
    EXPECT_TRUE(page->IsSearching());
    page->OnTimer(CStatusDlg::TIMER_SEARCH);
    EXPECT_EQ(broadcasts_, 10);
    EXPECT_FALSE(page->IsSearching());
    EXPECT_FALSE(page->SearchTimer().isActive());
    EXPECT_EQ(page->SearchButton()->text(), "Search");
    EXPECT_TRUE(page->SearchBox()->isEnabled());
    EXPECT_TRUE(page->Grid()->isEnabled());
    EXPECT_TRUE(navigation_);
    EXPECT_TRUE(autoRefresh_);

    broadcasts_ = 0;
    page->OnSearchButton();
    for (int t = 0; t < 5; ++t) page->OnTimer(CStatusDlg::TIMER_SEARCH);
    page->OnSearchButton();  // Stop
    EXPECT_FALSE(page->IsSearching());
    EXPECT_EQ(broadcasts_, 2);  // at the start and on tick 3
    page->OnTimer(CStatusDlg::TIMER_SEARCH);
    EXPECT_EQ(broadcasts_, 2);
    EXPECT_TRUE(page->SearchBox()->isEnabled());
}

TEST_F(PagesTest, MultiDeviceButtonsArePresentAndDisabled) {
    auto page = Make<CStatusDlg>();
    for (CTButtonPicture* b : {page->SetIpButton(), page->SetBridgeButton(), page->TdmaButton()}) {
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->isVisible());
        EXPECT_FALSE(b->isEnabled());
    }
    EXPECT_EQ(page->SetIpButton()->text(), "Set IP");
}

// ---- Status page: rename ----

class RenameTest : public PagesTest {
  protected:
    // Types `text` into the Location cell of row 1 and ends the edit.
    void Rename(CStatusDlg& page, const QString& text) {
        CGridCtrl* grid = page.Grid();
        grid->ClickCell(1, CStatusDlg::COL_NAME);
        ASSERT_TRUE(grid->IsEditing());
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
            if (!e->isHidden()) editor = e;
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        grid->CommitEdit();
        ASSERT_FALSE(grid->IsEditing());
        page.JoinRenameWorker();
    }
    std::unique_ptr<CStatusDlg> PageWithType(int type) {
        ap_info_stu r = MakeRecord(MacText(7), "10.0.0.7", "old");
        r.ap_type = uint16_t(type);
        EXPECT_TRUE(store_->UpdateApInfo(r));
        auto page = Make<CStatusDlg>();
        page->RefreshPage();
        return page;
    }
};

TEST_F(RenameTest, StrictTypeRefusesABlankLooseTypeSendsTheNameRequest) {
    {
        auto page = PageWithType(17);
        Rename(*page, "roof top");
        ASSERT_EQ(warnings_.size(), 1u);
        EXPECT_EQ(warnings_[0],
                  "Device name maximum allowed 32 bytes, only support combination of Chinese, "
                  "lowercase letters, 0-9 numbers");
        EXPECT_EQ(page->Grid()->GetItemText(1, CStatusDlg::COL_NAME), "old");
        EXPECT_TRUE(sent_.empty());
        EXPECT_FALSE(page->RenameTimer().isActive());
    }
    store_ = storetest::MemoryStore();
    services_.store = store_.get();
    warnings_.clear();
    auto page = PageWithType(1);
    Rename(*page, "roof top");
    EXPECT_TRUE(warnings_.empty());
    ASSERT_EQ(sent_.size(), 1u);
    EXPECT_EQ(sent_[0].type, VALTO_APNameSetRequest);
    EXPECT_EQ(sent_[0].ip, "10.0.0.7");
    EXPECT_EQ(sent_[0].mac, MacText(7));
    EXPECT_TRUE(sent_[0].retransmit);
    ASSERT_EQ(sent_[0].payload.size(), 33u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(sent_[0].payload.data()), 8), "roof top");
    EXPECT_EQ(sent_[0].payload[8], 0);
    EXPECT_EQ(sent_[0].payload[32], 8);
    EXPECT_TRUE(page->RenameTimer().isActive());
}

TEST_F(RenameTest, SameTextSendsNothingEmptyRestoresLongIsCut) {
    auto page = PageWithType(1);
    Rename(*page, "old");
    Rename(*page, "");
    EXPECT_EQ(page->Grid()->GetItemText(1, CStatusDlg::COL_NAME), "old");
    EXPECT_TRUE(sent_.empty());
    EXPECT_TRUE(warnings_.empty());

    // Ten Chinese characters are 30 bytes; an eleventh would be refused by the rule, so the
    // cut only matters for names the rule lets through at exactly the budget.
    const QString ten = QString(10, QChar(0x4E2D));
    Rename(*page, ten);
    ASSERT_EQ(sent_.size(), 1u);
    EXPECT_EQ(sent_[0].payload[32], 30);  // UTF-8 on the wire
    EXPECT_EQ(page->Grid()->GetItemText(1, CStatusDlg::COL_NAME), ten);

    // Pending rows cannot be edited.
    Pending(1);
    page->RefreshPage();
    page->Grid()->ClickCell(2, CStatusDlg::COL_NAME);
    EXPECT_FALSE(page->Grid()->IsEditing());
}

// ---- Reboot and Restore ----

TEST_F(PagesTest, CommandGoesToLinkedAccessPointFirstAndTheRest200msLater) {
    // Device 1 is an access point with station 2 linked to its radio; device 3 stands alone.
    ap_info_stu ap = MakeRecord(MacText(1), "10.0.0.1", "ap");
    ap.ssid_mac[0] = 0x06;
    ap.ssid_mac[5] = 0x01;
    ap_info_stu sta = MakeRecord(MacText(2), "10.0.0.2", "sta");
    sta.work_mode = 2;
    std::memcpy(sta.bridge_mac, ap.ssid_mac, 6);
    ap_info_stu lone = MakeRecord(MacText(3), "10.0.0.3", "lone");
    for (const ap_info_stu* r : {&ap, &sta, &lone}) ASSERT_TRUE(store_->UpdateApInfo(*r));

    auto page = Make<CRebootDlg>();
    page->RefreshPage();
    page->Grid()->ClickCell(0, 0);  // all three, rows by address descending: 3, 2, 1
    int statusPolls = 0;
    duringWait_ = [&] {
        EXPECT_TRUE(page->StatusTimer().isActive());
        page->JoinCommandWorker();
        ASSERT_TRUE(store_->SetApStatus(MacText(2), 2));
        page->OnTimer(CDeviceCommandDlg::TIMER_STATUS);
        ++statusPolls;
    };
    page->ActionButton()->click();

    ASSERT_EQ(confirms_, std::vector<QString>{"Are you sure you want to restart?"});
    ASSERT_EQ(waits_.size(), 1u);
    EXPECT_EQ(waits_[0], (std::array<int, 3>{60, 1, 3}));
    ASSERT_EQ(statusPolls, 1);
    ASSERT_EQ(sent_.size(), 3u);
    EXPECT_EQ(sent_[0].mac, MacText(1));
    EXPECT_EQ(sent_[1].mac, MacText(3));
    EXPECT_EQ(sent_[2].mac, MacText(2));
    for (const Sent& s : sent_) {
        EXPECT_EQ(s.type, VALTO_APRebootRequest);
        EXPECT_TRUE(s.payload.empty());
        EXPECT_TRUE(s.retransmit);
    }
    EXPECT_GE(sent_[1].at - sent_[0].at, std::chrono::milliseconds(195));

    // The polled status shows in the status column, in the online colour.
    const int staRow = 2;
    ASSERT_EQ(page->Grid()->GetItemText(staRow, CRebootDlg::COL_MAC),
              QString::fromStdString(MacText(2)));
    EXPECT_EQ(page->Grid()->GetItemText(staRow, CRebootDlg::COL_STATUS),
              QString::fromStdString(GetStatusText(2)));
    EXPECT_EQ(page->Grid()->GetItemFgColour(staRow, CRebootDlg::COL_STATUS),
              ToQColor(theApp.m_settings.TextOnlineColor));
    // After the wait: polling stopped, one broadcast, a refresh a second later.
    EXPECT_FALSE(page->StatusTimer().isActive());
    EXPECT_EQ(broadcasts_, 1);
    EXPECT_TRUE(page->RefreshTimer().isActive());
    EXPECT_EQ(page->RefreshTimer().interval(), 1000);
}

TEST_F(PagesTest, NoSelectionWarnsAndCancelSendsNothing) {
    Store(2);
    auto page = Make<CRestoreDlg>();
    page->RefreshPage();
    page->ActionButton()->click();
    EXPECT_EQ(warnings_, std::vector<QString>{"Please select the devices!"});
    EXPECT_TRUE(confirms_.empty());

    confirmAnswer_ = false;
    page->Grid()->ClickCell(1, 0);
    page->ActionButton()->click();
    EXPECT_EQ(confirms_, std::vector<QString>{"Are you sure you want to reset?"});
    EXPECT_TRUE(waits_.empty());
    page->JoinCommandWorker();
    EXPECT_TRUE(sent_.empty());

    confirmAnswer_ = true;
    page->ActionButton()->click();
    page->JoinCommandWorker();
    ASSERT_EQ(waits_.size(), 1u);
    EXPECT_EQ(waits_[0][2], 5);
    ASSERT_EQ(sent_.size(), 1u);
    EXPECT_EQ(sent_[0].type, VALTO_APRestoreRequest);
}

TEST_F(PagesTest, RestorePowerSortsAndStatusHeaderDoesNot) {
    Store(10);
    auto page = Make<CRestoreDlg>();
    page->RefreshPage();
    page->Grid()->ClickCell(0, 10);
    EXPECT_EQ(page->SortColumn(), 10);
    EXPECT_EQ(page->Grid()->GetItemText(1, 10), "0");
    page->Grid()->ClickCell(0, CRestoreDlg::COL_STATUS);
    EXPECT_EQ(page->SortColumn(), 10);
}

TEST_F(PagesTest, NewCommandWorkerStopsTheOlderOneAndDestructionJoins) {
    // A worker paused between its passes ends at once when stopped: the second pass never runs.
    Store(1);
    std::atomic<int> sends{0};
    PageServices s = services_;
    s.SendPacketMutilcast = [&](const std::string&, uint16_t, const uint8_t*, int,
                                const std::string&, bool) {
        ++sends;
        return true;
    };
    const auto start = Clock::now();
    {
        CPageWorker worker;
        worker.Start([&](std::stop_token stop) {
            CDeviceCommandDlg::SendCommands(stop, {MakeSelectEntry("10.0.0.1", MacText(0), 1)},
                                            VALTO_APRebootRequest, s);
        });
        worker.Start([](std::stop_token) {});  // stops and joins the first
    }
    EXPECT_EQ(sends.load(), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(150));
}

}  // namespace

TEST(PageFactoryTest, ContainerGetsTheRealListPages) {
    uitest::UseShippedLook();
    std::unique_ptr<CPageDlg> status(CreateContainerPage(IDD_STATUS_PAGE, nullptr));
    std::unique_ptr<CPageDlg> management(CreateContainerPage(IDD_MANAGEMENT_PAGE, nullptr));
    std::unique_ptr<CPageDlg> reboot(CreateContainerPage(IDD_REBOOT_PAGE, nullptr));
    std::unique_ptr<CPageDlg> restore(CreateContainerPage(IDD_RESTORE_PAGE, nullptr));
    EXPECT_NE(dynamic_cast<CStatusDlg*>(status.get()), nullptr);
    EXPECT_NE(dynamic_cast<CManagementDlg*>(management.get()), nullptr);
    EXPECT_NE(dynamic_cast<CRebootDlg*>(reboot.get()), nullptr);
    EXPECT_NE(dynamic_cast<CRestoreDlg*>(restore.get()), nullptr);
    EXPECT_EQ(reboot->PageId(), IDD_REBOOT_PAGE);
    EXPECT_EQ(restore->PageId(), IDD_RESTORE_PAGE);
}
