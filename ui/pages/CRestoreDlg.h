#pragma once
// The Restore page: resets the selected devices to their factory settings.

#include "ui/pages/CDeviceCommandDlg.h"

class CRestoreDlg : public CDeviceCommandDlg {
    Q_OBJECT
  public:
    static constexpr int COL_STATUS = 11;
    explicit CRestoreDlg(QWidget* parent, PageServices services = PageServices::Default());
};
