#pragma once
// A device list page whose content is not there yet: it shows the page's name on the page
// background. Each is replaced by its own page class.

#include "ui/main/CPageDlg.h"

class CTStatic;

class CPlaceholderPageDlg : public CPageDlg {
    Q_OBJECT
  public:
    CPlaceholderPageDlg(QWidget* parent, int pageId, const char* caption);

  private:
    CTStatic* m_pCaption;
};
