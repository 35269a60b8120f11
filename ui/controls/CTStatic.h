#pragma once
// The skinned label. Its text is always plain text: labels show device names and versions,
// which must never be read as markup.

#include <QColor>
#include <QLabel>

class CTStatic : public QLabel {
    Q_OBJECT
  public:
    explicit CTStatic(QWidget* parent = nullptr);
    CTStatic(const QString& text, QWidget* parent);

    void SetStaticLook(const QString& face, int weight, int height, const QColor& textColor,
                       const QColor& bkColor);
    // The look every page and dialog uses, from the settings.
    void ApplyStaticLook();
    void SetTextColor(const QColor& color);
    QColor TextColor() const { return m_textColor; }
    QColor BkColor() const { return m_bkColor; }
    void SetTransparent(bool transparent);

  private:
    void Restyle();

    QColor m_textColor = QColor(0, 0, 0);
    QColor m_bkColor = QColor(255, 255, 255);
    QString m_faceName = QStringLiteral("Arial");
    int m_fontWeight = 0;
    int m_fontHeight = 16;
    bool m_bTransparent = true;
};
