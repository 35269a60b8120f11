#pragma once
// The About box: the program's name, version and what it is for.

#include "ui/controls/CTDialog.h"

class CAboutDlg : public CTDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent);
};
