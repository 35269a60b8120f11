#pragma once
// The Install Help page: one installation picture in a scrollable view.

#include "ui/main/CPageDlg.h"

class CScrollBitmapWnd;

class CInstallHelpDlg : public CPageDlg {
    Q_OBJECT
  public:
    static constexpr int kViewId = 102;
    explicit CInstallHelpDlg(QWidget* parent);
    CScrollBitmapWnd* View() const { return m_pView; }

  private:
    CScrollBitmapWnd* m_pView;
};
