#include "ui/controls/CTStatic.h"

#include "ui/controls/SkinFont.h"
#include "ui/main/CApplicationApp.h"

CTStatic::CTStatic(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    Restyle();
}

CTStatic::CTStatic(const QString& text, QWidget* parent) : CTStatic(parent) { setText(text); }

void CTStatic::SetStaticLook(const QString& face, int weight, int height, const QColor& textColor,
                             const QColor& bkColor) {
    m_faceName = face;
    m_fontWeight = weight;
    m_fontHeight = height;
    m_textColor = textColor;
    m_bkColor = bkColor;
    Restyle();
}

void CTStatic::ApplyStaticLook() {
    const auto& s = theApp.m_settings;
    SetStaticLook(QString::fromStdString(s.FontName), s.StaticFontWeight, s.StaticFontHeight,
                  ToQColor(s.StaticFontTextColor), ToQColor(s.StaticFontBkColor));
}

void CTStatic::SetTextColor(const QColor& color) {
    m_textColor = color;
    Restyle();
}

void CTStatic::SetTransparent(bool transparent) {
    m_bTransparent = transparent;
    Restyle();
}

void CTStatic::Restyle() {
    setFont(CellHeightFont(m_faceName, m_fontHeight, m_fontWeight));
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_textColor);
    pal.setColor(QPalette::Window, m_bkColor);
    setPalette(pal);
    // Transparent: the window behind shows through, whatever the background colour says.
    setAutoFillBackground(!m_bTransparent);
}
