#include "ui/pages/CPlaceholderPageDlg.h"

#include "ui/controls/CTStatic.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"

CPlaceholderPageDlg::CPlaceholderPageDlg(QWidget* parent, int pageId, const char* caption)
    : CPageDlg(parent, pageId), m_pCaption(new CTStatic(QString::fromLatin1(caption), this)) {
    m_pCaption->setGeometry(DuRect(8, 10, 300, 12));
    TranslateDialog(this);
    m_bFill = true;
    m_fillColor = ToQColor(theApp.m_settings.ChildBkColor);
    m_pCaption->ApplyStaticLook();
}
