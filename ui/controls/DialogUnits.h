#pragma once
// Window layouts are given in dialog units; one fixed factor per axis turns them into pixels
// (about the dialog font's average character width / 4 across and height / 8 down).

#include <QRect>
#include <QSize>
#include <cmath>

inline int DuToPxX(double du) { return int(std::lround(du * 1.5)); }
inline int DuToPxY(double du) { return int(std::lround(du * 1.625)); }
inline QSize DuSize(double w, double h) { return QSize(DuToPxX(w), DuToPxY(h)); }
inline QRect DuRect(double x, double y, double w, double h) {
    return QRect(DuToPxX(x), DuToPxY(y), DuToPxX(w), DuToPxY(h));
}
