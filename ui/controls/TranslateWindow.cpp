#include "ui/controls/TranslateWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextEdit>
#include <QVariant>

#include "app/Language.h"

namespace {

constexpr char kTranslatedMark[] = "merrowinTranslated";
constexpr char kDataMark[] = "merrowinDataControl";

bool TakeOnce(QWidget* w) {
    if (w->property(kTranslatedMark).toBool()) return false;
    w->setProperty(kTranslatedMark, true);
    return true;
}

bool HoldsData(QWidget* w) {
    return w->property(kDataMark).toBool() || qobject_cast<QLineEdit*>(w) ||
           qobject_cast<QAbstractItemView*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
           qobject_cast<QProgressBar*>(w) || qobject_cast<QTextEdit*>(w) ||
           qobject_cast<QPlainTextEdit*>(w);
}

// The translation to set, or an empty text when the control keeps what it has.
QString Translated(const QString& text) {
    if (text.isEmpty() || text == QLatin1String("...")) return QString();
    return TrText(text);
}

void TranslateControl(QWidget* w) {
    if (!TakeOnce(w) || HoldsData(w)) return;
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const int selected = combo->currentIndex();
        for (int i = 0; i < combo->count(); ++i) combo->setItemText(i, TrText(combo->itemText(i)));
        if (selected >= 0 && selected < combo->count()) combo->setCurrentIndex(selected);
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        const QString t = Translated(button->text());
        if (!t.isEmpty()) button->setText(t);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        const QString t = Translated(label->text());
        if (!t.isEmpty()) label->setText(t);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        const QString t = Translated(group->title());
        if (!t.isEmpty()) group->setTitle(t);
    }
}

}  // namespace

QString TrText(const char* source) {
    if (!source) return QString();
    return QString::fromStdString(TranslateText(std::string_view(source)));
}

QString TrText(const QString& source) {
    const QByteArray utf8 = source.toUtf8();
    return QString::fromStdString(TranslateText(std::string_view(utf8.constData(), utf8.size())));
}

void TranslateDialog(QWidget* dialog) {
    if (!dialog || !TakeOnce(dialog)) return;
    const QString caption = dialog->windowTitle();
    if (!caption.isEmpty()) {
        const QString t = TrText(caption);
        if (!t.isEmpty() && t != caption) dialog->setWindowTitle(t);
    }
    const QList<QWidget*> controls = dialog->findChildren<QWidget*>();
    for (QWidget* w : controls) TranslateControl(w);
}

void TranslateMenu(QMenu* menu) {
    if (!menu) return;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        const QString text = action->text();
        const QString t = TrText(text);
        if (!t.isEmpty() && t != text) action->setText(t);
        if (QMenu* sub = action->menu()) TranslateMenu(sub);
    }
}

void MarkAsDataControl(QWidget* control) {
    if (control) control->setProperty(kDataMark, true);
}
