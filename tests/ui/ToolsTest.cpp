// The System tool and Install Help pages.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableWidget>
#include <cstring>

#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CScrollBitmapWnd.h"
#include "ui/controls/CTMultiPages.h"
#include "ui/controls/CTStatic.h"
#include "ui/tools/CInstallHelpDlg.h"
#include "ui/tools/CSystemToolDlg.h"

namespace {

local_adapter_info Adapter(const char* description, std::initializer_list<uint8_t> mac,
                           std::initializer_list<const char*> ips) {
    local_adapter_info a{};
    a.usable = 1;
    std::strncpy(a.description, description, sizeof(a.description) - 1);
    std::copy(mac.begin(), mac.end(), a.mac);
    for (const char* ip : ips) std::strncpy(a.addresses[a.address_count++].ip, ip, 15);
    return a;
}

QString Cell(QTableWidget* grid, int row, int column) {
    QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString("<none>");
}

TEST(SystemToolPage, ListsTheAdaptersAndFollowsChanges) {
    uitest::UseShippedLook();
    std::vector<local_adapter_info> adapters = {
        Adapter("eth0 (e1000e)", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, {"192.168.1.5", "10.0.0.2"}),
        Adapter("wlan0", {0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03}, {"192.168.2.7"}),
        Adapter("veth1", {1, 2, 3, 4, 5, 6}, {}),
    };
    int calls = 0;
    CSystemToolDlg page(nullptr, [&] {
        ++calls;
        return adapters;
    });
    QTableWidget* grid = page.Grid();
    EXPECT_EQ(calls, 1);  // once at initialisation
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(Cell(grid, 0, 0), "1");
    EXPECT_EQ(Cell(grid, 0, 1), "eth0 (e1000e)");
    EXPECT_EQ(Cell(grid, 0, 2), "00:1a:2b:3c:4d:5e");
    EXPECT_EQ(Cell(grid, 0, 3), "192.168.1.5--10.0.0.2");
    EXPECT_EQ(Cell(grid, 1, 0), "2");
    EXPECT_EQ(Cell(grid, 1, 3), "192.168.2.7");
    EXPECT_EQ(Cell(grid, 2, 3), "");
    EXPECT_EQ(page.CountLabel()->text(), "Adapter count:3");
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), "IP");
    EXPECT_EQ(grid->columnWidth(1), 400);
    EXPECT_EQ(grid->rowHeight(0), 48);
    EXPECT_EQ(grid->item(0, 1)->textAlignment(), int(Qt::AlignCenter));

    // A removed adapter goes with the next refresh; the page refreshes itself every 5 s.
    adapters.erase(adapters.begin());
    EXPECT_EQ(page.RefreshTimer().interval(), 5000);
    EXPECT_TRUE(page.RefreshTimer().isActive());
    page.Refresh();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(Cell(grid, 0, 1), "wlan0");
    EXPECT_EQ(Cell(grid, 0, 0), "1");
    EXPECT_EQ(page.CountLabel()->text(), "Adapter count:2");

    adapters.clear();
    page.Refresh();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(page.CountLabel()->text(), "Adapter count:0");
    // Its pager never gets a page count.
    EXPECT_TRUE(page.Pager()->Buttons().empty());
}

TEST(SystemToolPage, DeviceLikeTextIsShownAsItIs) {
    uitest::UseShippedLook();
    // An address count beyond the record's ten slots is not trusted.
    local_adapter_info odd = Adapter("<b>bold</b>", {0, 0, 0, 0, 0, 1}, {"10.1.1.1"});
    odd.address_count = 99;
    for (auto& address : odd.addresses) std::strncpy(address.ip, "10.1.1.1", 15);
    CSystemToolDlg page(nullptr, [&] { return std::vector<local_adapter_info>{odd}; });
    EXPECT_EQ(Cell(page.Grid(), 0, 1), "<b>bold</b>");
    EXPECT_EQ(Cell(page.Grid(), 0, 3).count("--"), 9);
}

TEST(InstallHelpPage, ShowsTheLanguagesPictureInAScrolledView) {
    uitest::UseShippedLook();
    QWidget container;
    container.resize(915, 604);
    CInstallHelpDlg page(&container);
    CScrollBitmapWnd* view = page.View();
    EXPECT_TRUE(view->IsLoaded());
    EXPECT_EQ(view->pos(), QPoint(5, 5));
    // The view stays inside what the container shows, so both bars can be reached.
    EXPECT_LE(view->geometry().right(), container.width() - 5);
    EXPECT_LE(view->geometry().bottom(), 590);
    EXPECT_TRUE(view->HorzBarShown());
    EXPECT_TRUE(view->VertBarShown());

    theApp.m_skin.install_help = "/nonexistent/help.jpg";
    CInstallHelpDlg empty(&container);
    EXPECT_FALSE(empty.View()->IsLoaded());
    EXPECT_FALSE(empty.View()->HorzBarShown() || empty.View()->VertBarShown());
}

}  // namespace
