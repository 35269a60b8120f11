#include "ui/controls/SkinFont.h"

#include <QFontMetrics>

QFont CellHeightFont(const QString& face, int height, int weight) {
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(weight > 0 ? QFont::Weight(qBound(1, weight, 1000)) : QFont::Normal);
    if (height <= 0) return font;
    font.setPixelSize(height);
    // Shrink the em size until ascent plus descent fit the cell.
    for (int px = height; px > 1; --px) {
        font.setPixelSize(px);
        const QFontMetrics metrics(font);
        if (metrics.ascent() + metrics.descent() <= height) break;
    }
    return font;
}
