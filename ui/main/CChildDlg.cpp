#include "ui/main/CChildDlg.h"

#include "ui/controls/DialogUnits.h"
#include "ui/controls/PageTurn.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"
#include "ui/pages/PageFactory.h"

CChildDlg::CChildDlg(QWidget* parent, PageFactory factory) : CTDialog(parent, true) {
    resize(DuSize(610, 372));
    theApp.m_hChildWnd = this;
    TranslateDialog(this);
    m_bFill = true;
    m_fillColor = ToQColor(theApp.m_settings.ChildBkColor);

    if (!factory) factory = CreateContainerPage;
    // Creation order of the pages; their places in the array follow the index table.
    const int order[kPageCount] = {IDD_SYSTEM_TOOL_PAGE, IDD_STATUS_PAGE,      IDD_MANAGEMENT_PAGE,
                                   IDD_BRIDGE_PAGE,      IDD_REBOOT_PAGE,      IDD_RESTORE_PAGE,
                                   IDD_UPGRADE_PAGE,     IDD_INSTALL_HELP_PAGE};
    for (int pageId : order) {
        CPageDlg*& slot = m_pages[PageIndexOf(pageId)];
        if (slot) continue;
        slot = factory(pageId, this);
        if (!slot) continue;
        slot->move(0, 0);
        slot->resize(DuSize(615, 370));
    }

    m_nCurrentPageId = IDD_STATUS_PAGE;
    for (CPageDlg* page : m_pages)
        if (page) page->setVisible(page->PageId() == m_nCurrentPageId);

    m_pageRefreshTimer.setInterval(kPageRefreshMs);
    m_autoRefreshTimer.setInterval(kAutoRefreshMs);
    connect(&m_pageRefreshTimer, &QTimer::timeout, this, [this] { OnTimer(TIMER_PAGE_REFRESH); });
    connect(&m_autoRefreshTimer, &QTimer::timeout, this, [this] { OnTimer(TIMER_AUTO_REFRESH); });
    m_pageRefreshTimer.start();
    m_autoRefreshTimer.start();
}

CPageDlg* CChildDlg::Page(int pageId) const {
    const int index = PageIndexOf(pageId);
    return index < 0 ? nullptr : m_pages[index];
}

void CChildDlg::ShowPage(int pageId) {
    if (PageIndexOf(pageId) < 0) return;
    m_nCurrentPageId = pageId;
    for (CPageDlg* page : m_pages)
        if (page) page->setVisible(page->PageId() == pageId);
    // Restarting also covers a page chosen again: it refreshes once more.
    m_pageRefreshTimer.start();
}

void CChildDlg::OnTimer(int timerId) {
    if (timerId == TIMER_PAGE_REFRESH) {
        m_pageRefreshTimer.stop();
        RefreshPage(m_nCurrentPageId);
    } else if (timerId == TIMER_AUTO_REFRESH) {
        if (!m_bAutoRefresh) return;
        if (m_nCurrentPageId == IDD_REBOOT_PAGE || m_nCurrentPageId == IDD_UPGRADE_PAGE ||
            m_nCurrentPageId == IDD_RESTORE_PAGE)
            return;
        RefreshPage(m_nCurrentPageId);
    }
}

void CChildDlg::RefreshPage(int pageId) {
    if (!IsListPage(pageId)) return;  // Install Help and System tool have no refresh
    if (CPageDlg* page = Page(pageId)) page->RefreshPage();
}

void CChildDlg::OnPageTurn(int pageId, int value) {
    if (!IsListPage(pageId)) return;
    if (CPageDlg* page = Page(pageId)) page->OnPageTurn(value);
}

bool CChildDlg::event(QEvent* event) {
    if (event->type() == CPageTurnEvent::kType) {
        const auto* turn = static_cast<CPageTurnEvent*>(event);
        OnPageTurn(turn->PageId(), turn->Value());
        return true;
    }
    return CTDialog::event(event);
}
