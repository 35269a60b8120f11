#include "ui/controls/CTStatic.h"

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
    QFont font(m_faceName);
    font.setStyleHint(QFont::SansSerif);
    if (m_fontHeight > 0) font.setPixelSize(m_fontHeight);
    font.setWeight(m_fontWeight > 0 ? QFont::Weight(qBound(1, m_fontWeight, 1000)) : QFont::Normal);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_textColor);
    pal.setColor(QPalette::Window, m_bkColor);
    setPalette(pal);
    // Transparent: the window behind shows through, whatever the background colour says.
    setAutoFillBackground(!m_bTransparent);
}
