#pragma once
// The search box: an edit without a frame; the pictures at its two ends frame it.

#include <QLineEdit>

class CTEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit CTEdit(QWidget* parent = nullptr) : QLineEdit(parent) { setFrame(false); }
};
