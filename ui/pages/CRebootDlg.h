#pragma once
// The Reboot page: restarts the selected devices.

#include "ui/pages/CDeviceCommandDlg.h"

class CRebootDlg : public CDeviceCommandDlg {
    Q_OBJECT
  public:
    static constexpr int COL_STATUS = 10;
    explicit CRebootDlg(QWidget* parent, PageServices services = PageServices::Default());
};
