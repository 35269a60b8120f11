#pragma once
// Fonts of the skinned windows. The settings give a font's height as its cell height in pixels
// (ascent plus descent, the internal leading included), not as its em size.

#include <QFont>
#include <QString>

// `height` 0 lets the system choose; `weight` 0 is the default weight, else 1 to 1000.
QFont CellHeightFont(const QString& face, int height, int weight);
