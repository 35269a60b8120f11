#pragma once
// A page of the page container. List pages re-query on the container's refresh timers and
// take page turns from their pager; the other pages keep the defaults, which do nothing.

#include "ui/controls/CTDialog.h"

class CPageDlg : public CTDialog {
    Q_OBJECT
  public:
    CPageDlg(QWidget* parent, int pageId) : CTDialog(parent, true), m_nPageId(pageId) {}
    int PageId() const { return m_nPageId; }

    // The refresh entry the container calls after a page switch and every 30 seconds.
    virtual void RefreshPage() {}
    // WM_PAGE_TURN for this page: `value` is the page number chosen in the pager.
    virtual void OnPageTurn(int value) { (void)value; }

  private:
    int m_nPageId;
};
