#pragma once
// Shared helpers of the window tests.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <ostream>
#include <string>

#include "app/Settings.h"
#include "app/SkinPaths.h"
#include "ui/main/CApplicationApp.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace uitest {

inline std::string SourceFolder() { return MERROWIN_SOURCE_DIR; }

// The application object as start-up leaves it with the shipped Setting.ini and Skin folder.
inline void UseShippedLook() {
    theApp.m_settings = ReadSettings(SourceFolder());
    theApp.m_nGridRowHeight = theApp.m_settings.grid_row_height;
    theApp.m_skin = BuildSkinPaths(SourceFolder(), 1033);
}

// A one-colour image file.
inline QString WriteImage(const QTemporaryDir& dir, const QString& name, QSize size,
                          const QColor& color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

inline bool Near(QRgb a, const QColor& b, int tolerance = 24) {
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

inline void WriteFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
}

}  // namespace uitest
