#pragma once
// Window translation: every text a window shows is an English source text looked up in the
// language file. A window (and each control in it) is translated at most once, so a dialog
// initialised twice does not translate its translations.

#include <QString>

class QMenu;
class QWidget;

// The translation of one source text, for Qt windows.
QString TrText(const char* source);
QString TrText(const QString& source);

// Translates a dialog's caption and the texts of all its descendant controls. Controls that
// hold data rather than labels (edits, lists, tables, spin boxes, progress bars, date and
// address inputs) are left alone, as are the texts "..." ; combo box entries are translated in
// place and keep their index, selection and data.
void TranslateDialog(QWidget* dialog);

// Translates a menu's item texts and its submenus.
void TranslateMenu(QMenu* menu);

// Marks a control as one that holds data, so translation never touches it.
void MarkAsDataControl(QWidget* control);
