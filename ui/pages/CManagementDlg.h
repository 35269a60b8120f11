#pragma once
// The Management page: the stored devices with their main wireless settings and a
// configuration picture per row. The picture will open the device configuration dialog; until
// that dialog is part of the program a click only records which device it was for.

#include <QTimer>

#include "ui/pages/CListPageDlg.h"

class CManagementDlg : public CListPageDlg {
    Q_OBJECT
  public:
    static constexpr int TIMER_REFRESH = 1000;
    enum Col { COL_SERIAL = 0, COL_TYPE = 2, COL_IP = 3, COL_MAC = 4, COL_OPERATE = 10 };

    explicit CManagementDlg(QWidget* parent, PageServices services = PageServices::Default());

    void OnGridClick(int row, int col) override;
    void OnTimer(int timerId);

    // The device of the last Operate click.
    const select_ap_entry& ConfigTarget() const { return m_configTarget; }

  protected:
    void FillRow(int row, const ap_info_stu& record, bool pending) override;

  private:
    select_ap_entry m_configTarget{};
    QTimer m_refreshTimer;
};
