#include "ui/main/CAboutDlg.h"

#include <QIcon>
#include <QLabel>

#include "ui/controls/CTButtonPicture.h"
#include "ui/controls/CTStatic.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/TranslateWindow.h"
#include "ui/main/CApplicationApp.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CTDialog(parent) {
    setWindowTitle(QStringLiteral("About Merrowin"));
    setFixedSize(DuSize(170, 62));
    m_bFill = true;
    m_fillColor = ToQColor(theApp.m_settings.ChildBkColor);

    auto* icon = new QLabel(this);
    icon->setGeometry(DuRect(11, 14, 21, 20));
    icon->setPixmap(QIcon(QString::fromStdString(theApp.m_skin.application_icon)).pixmap(32, 32));

    auto* name = new CTStatic(this);
    name->setGeometry(DuRect(40, 10, 119, 10));
    auto* what = new CTStatic(this);
    what->setGeometry(DuRect(40, 24, 119, 10));
    what->setText(QStringLiteral("Outdoor wireless device manager"));

    auto* ok = new CTButtonPicture(this);
    ok->setGeometry(DuRect(120, 40, 40, 17));
    const auto& images = theApp.m_skin.config_secondary;
    ok->SetStateImages(QString::fromStdString(images[0]), QString::fromStdString(images[1]),
                       QString::fromStdString(images[2]), QString::fromStdString(images[3]));
    ok->setText(QStringLiteral("OK"));
    connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);

    TranslateDialog(this);
    // Set after translation: the name and version are no source texts.
    name->setText(QStringLiteral("Merrowin ") + QString::fromStdString(theApp.m_strVersion));
    name->ApplyStaticLook();
    what->ApplyStaticLook();
    ok->ApplyButtonLook(ok->text());
}
