// merrowin-skingen: draws every image of the Skin folder.
//
//   merrowin-skingen OUTPUT_FOLDER
//
// The look: warm sand neutrals, charcoal ink and one orange accent that matches the default
// grid title colour. Sizes follow the windows the images are shown in (dialog units converted
// at 1.5 px across and 1.625 px down). Run by hand (scripts/make-skin); the output is committed.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>
#include <cstdio>
#include <functional>

#include "tools/skingen/GifWriter.h"

namespace {

const QColor kInk(0x2F, 0x34, 0x37);
const QColor kMuted(0x8E, 0x8E, 0x8E);
const QColor kAccent(237, 112, 32);
const QColor kAccentDeep(0xC8, 0x5A, 0x14);
const QColor kSandLight(0xFB, 0xFA, 0xF6);
const QColor kSand(0xF3, 0xEF, 0xE4);
const QColor kSandDeep(0xE9, 0xE3, 0xD3);
const QColor kSandEdge(0xD9, 0xD1, 0xBC);
const QColor kTitleBand(221, 217, 196);
const QColor kLine(215, 215, 215);

const QString kLatin = QStringLiteral("DejaVu Sans");
const QString kHan = QStringLiteral("WenQuanYi Micro Hei");

QString g_out;
int g_failures = 0;

int DuX(double du) { return qRound(du * 1.5); }
int DuY(double du) { return qRound(du * 1.625); }

QFont MakeFont(const QString& family, int px, int weight = QFont::Normal) {
    QFont f(family);
    f.setPixelSize(px);
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage Canvas(int w, int h, const QColor& fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

void Save(const QImage& img, const QString& name) {
    const QString path = g_out + "/" + name;
    bool ok = false;
    if (name.endsWith(".jpg")) {
        ok = img.save(path, "JPG", 92);
    } else if (name.endsWith(".bmp")) {
        ok = img.convertToFormat(QImage::Format_RGB32).save(path, "BMP");
    }
    if (!ok) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        ++g_failures;
    }
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

// ---- the mark: a mast with radio waves on a charcoal tile -------------------------------

void DrawMark(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double s = r.width();
    QPainterPath tile;
    tile.addRoundedRect(r, s * 0.22, s * 0.22);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kInk.lighter(125));
    g.setColorAt(1, kInk);
    p.fillPath(tile, g);

    const QPointF c(r.center().x(), r.top() + s * 0.46);
    const double pen = qMax(1.2, s * 0.075);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kAccent, pen, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= 2; ++i) {
        const double rad = s * (0.12 + 0.13 * i);
        const QRectF arc(c.x() - rad, c.y() - rad, rad * 2, rad * 2);
        p.drawArc(arc, 30 * 16, 120 * 16);
    }
    p.setPen(QPen(Qt::white, pen, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x(), c.y()), QPointF(c.x(), r.bottom() - s * 0.16));
    p.drawLine(QPointF(c.x() - s * 0.14, r.bottom() - s * 0.16),
               QPointF(c.x() + s * 0.14, r.bottom() - s * 0.16));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, s * 0.075, s * 0.075);
    p.restore();
}

// ---- main window ------------------------------------------------------------------------

const int kMainW = DuX(704);
const int kMainH = DuY(415);
const int kBand = 86;        // the page container starts here
const int kMenuTop = 158;    // the navigation panel starts here
const int kMenuW = DuX(91);  // and is this wide
const int kMenuH = DuY(324);

QColor BandColour(double y) { return Mix(kSandLight, QColor(0xEF, 0xEB, 0xE0), y / kBand); }

QImage MainBackground() {
    QImage img = Canvas(kMainW, kMainH, Qt::white);
    QPainter p(&img);
    for (int y = 0; y < kBand; ++y) {
        p.setPen(BandColour(y));
        p.drawLine(0, y, kMainW, y);
    }
    // Left block between the band and the navigation panel, in the panel's own tone.
    p.fillRect(0, kBand, kMenuW, kMenuTop - kBand, kSand);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kSandEdge, 2, Qt::SolidLine, Qt::RoundCap));
    const QPointF wave(kMenuW / 2.0, kBand + 52);
    for (int i = 1; i <= 3; ++i) {
        const double rad = 9.0 * i;
        p.drawArc(QRectF(wave.x() - rad, wave.y() - rad, rad * 2, rad * 2), 40 * 16, 100 * 16);
    }
    p.setBrush(kSandEdge);
    p.setPen(Qt::NoPen);
    p.drawEllipse(wave, 3, 3);
    p.fillRect(kMenuW - 1, kBand, 1, kMenuTop - kBand, kSandEdge);

    DrawMark(p, QRectF(22, 18, 48, 48));
    p.setPen(kInk);
    p.setFont(MakeFont(kLatin, 26, QFont::Bold));
    p.drawText(QRect(84, 14, 400, 34), Qt::AlignLeft | Qt::AlignVCenter, "Merrowin");
    p.setPen(kMuted);
    p.setFont(MakeFont(kLatin, 12));
    p.drawText(QRect(86, 46, 400, 20), Qt::AlignLeft | Qt::AlignVCenter,
               "Outdoor wireless device manager");

    QLinearGradient g(0, 0, kMainW, 0);
    g.setColorAt(0, kAccent);
    g.setColorAt(1, kAccent.lighter(135));
    p.fillRect(0, kBand - 3, kMainW, 3, g);
    // Thin frame where the window's own edge shows.
    p.setPen(kSandEdge);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawLine(0, 0, kMainW - 1, 0);
    p.drawLine(0, 0, 0, kMenuTop);
    p.drawLine(kMainW - 1, 0, kMainW - 1, kBand - 4);
    return img;
}

// The title buttons sit on the band; their images are the band under them plus a glyph,
// so they blend in whatever the state.
QImage TitleButton(const QImage& main, double duX, const std::function<void(QPainter&)>& glyph) {
    const QRect r(DuX(duX), DuY(2), DuX(17), DuY(10));
    QImage img = main.copy(r);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(r.width() / 2.0, r.height() / 2.0);
    glyph(p);
    return img;
}

QImage MenuBackground() {
    QImage img = Canvas(kMenuW, kMenuH, kSand);
    QPainter p(&img);
    for (int y = 0; y < kMenuH; ++y) {
        p.setPen(Mix(kSand, kSandDeep, double(y) / kMenuH));
        p.drawLine(0, y, kMenuW, y);
    }
    p.fillRect(kMenuW - 1, 0, 1, kMenuH, kSandEdge);
    return img;
}

QImage MenuButton(bool down, bool first) {
    const int w = DuX(90);
    const int h = DuY(27);  // the buttons overlap by a unit; draw only the visible step
    QImage img = Canvas(w, h, kSand);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, h);
    if (down) {
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor(0xFB, 0xF9, 0xF4));
    } else {
        g.setColorAt(0, QColor(0xF6, 0xF3, 0xEB));
        g.setColorAt(1, QColor(0xEE, 0xE9, 0xDC));
    }
    p.fillRect(img.rect(), g);
    p.fillRect(0, h - 1, w, 1, kSandEdge);
    if (first) p.fillRect(0, 0, w, 1, kSandEdge);
    if (down) {
        p.fillRect(0, 0, 4, h - 1, kAccent);
    } else {
        p.fillRect(w - 1, 0, 1, h, kSandEdge);
    }
    return img;
}

// ---- buttons of pages and dialogs -------------------------------------------------------

QImage RoundButton(int w, int h, const QColor& top, const QColor& bottom, const QColor& border,
                   const QColor& outside) {
    QImage img = Canvas(w, h, outside);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(QPen(border, 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 4, 4);
    return img;
}

QImage CloseGlyph(int w, int h, const QColor& bg) {
    QImage img = Canvas(w, h, bg);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    const QPointF c(w / 2.0, h / 2.0);
    const double d = qMin(w, h) * 0.26;
    p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
    p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
    return img;
}

QImage RefreshGlyph(const QColor& ink) {
    QImage img = Canvas(16, 16, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
    QPainterPath head;
    head.moveTo(9.2, 1.2);
    head.lineTo(13.4, 3.6);
    head.lineTo(9.6, 6.6);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(head);
    return img;
}

// Ends of the list pages' search box: a rounded frame around a frameless edit.
const int kSearchH = 24;

QImage SearchLeft() {
    QImage img = Canvas(28, kSearchH, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.moveTo(28, 0.5);
    frame.lineTo(12, 0.5);
    frame.arcTo(QRectF(0.5, 0.5, 23, kSearchH - 1), 90, 180);
    frame.lineTo(28, kSearchH - 0.5);
    p.setPen(QPen(QColor(207, 207, 207), 1));
    p.drawPath(frame);
    p.setPen(QPen(kMuted, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawEllipse(QRectF(9, 6, 9, 9));
    p.drawLine(QPointF(16.6, 13.6), QPointF(20, 17));
    return img;
}

QImage SearchRight() {
    QImage img = Canvas(12, kSearchH, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.moveTo(0, 0.5);
    frame.lineTo(0.5, 0.5);
    frame.arcTo(QRectF(-11.5, 0.5, 23, kSearchH - 1), 90, -180);
    frame.lineTo(0, kSearchH - 0.5);
    p.setPen(QPen(QColor(207, 207, 207), 1));
    p.drawPath(frame);
    return img;
}

QImage Line(int w, const QColor& c) { return Canvas(w, 1, c); }

QImage Tab(bool selected) {
    const int w = 110, h = 30;
    QImage img = Canvas(w, h, Qt::white);
    QPainter p(&img);
    if (selected) {
        p.fillRect(img.rect(), Qt::white);
        p.fillRect(0, 0, w, 3, kAccent);
        p.fillRect(0, 0, 1, h, kSandEdge);
        p.fillRect(w - 1, 0, 1, h, kSandEdge);
    } else {
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, kSand);
        g.setColorAt(1, kSandDeep);
        p.fillRect(img.rect(), g);
        p.fillRect(0, h - 1, w, 1, kSandEdge);
        p.fillRect(w - 1, 0, 1, h, kSandEdge);
    }
    return img;
}

// ---- small pictures of the lists ---------------------------------------------------------

QImage Cell(const std::function<void(QPainter&)>& draw) {
    QImage img = Canvas(50, 16, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

void Pencil(QPainter& p, QPointF o) {
    p.save();
    p.translate(o);
    p.rotate(-45);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRect(QRectF(-6, -2, 10, 4));
    p.setBrush(kInk);
    p.drawRect(QRectF(4, -2, 2.5, 4));
    QPainterPath tip;
    tip.moveTo(-6, -2);
    tip.lineTo(-9.5, 0);
    tip.lineTo(-6, 2);
    tip.closeSubpath();
    p.setBrush(QColor(0xE8, 0xC8, 0x9A));
    p.drawPath(tip);
    p.restore();
}

void Globe(QPainter& p, QPointF c, double r) {
    p.setPen(QPen(kAccentDeep, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(c + QPointF(-r, 0), c + QPointF(r, 0));
}

void Towers(QPainter& p, QPointF o) {
    p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(o + QPointF(0, 6), o + QPointF(0, -5));
    p.drawLine(o + QPointF(12, 6), o + QPointF(12, -5));
    p.setPen(QPen(kAccent, 1.3, Qt::DotLine, Qt::RoundCap));
    p.drawLine(o + QPointF(2, -4), o + QPointF(10, -4));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(o + QPointF(0, -5), 1.8, 1.8);
    p.drawEllipse(o + QPointF(12, -5), 1.8, 1.8);
}

void CellText(QPainter& p, const QString& family, const QString& text, int x) {
    p.setPen(kAccentDeep);
    p.setFont(MakeFont(family, 11));
    p.drawText(QRect(x, 0, 50 - x, 16), Qt::AlignLeft | Qt::AlignVCenter, text);
}

QImage Signal(int level) {
    QImage img = Canvas(30, 16, Qt::white);
    QPainter p(&img);
    const int heights[5] = {3, 5, 8, 11, 14};
    for (int i = 0; i < 5; ++i) {
        const QColor c = i < level ? (level <= 1 ? kAccentDeep : kInk) : kLine;
        p.fillRect(4 + i * 5, 15 - heights[i], 3, heights[i], c);
    }
    return img;
}

QImage MenuIcon(const std::function<void(QPainter&)>& draw) {
    QImage img = Canvas(16, 16, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

// ---- large pictures ------------------------------------------------------------------------

void Pole(QPainter& p, QPointF foot, double height, const QString& label, const QFont& f) {
    p.setPen(QPen(kInk.lighter(160), 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(foot, foot - QPointF(0, height));
    const QRectF unit(foot.x() - 16, foot.y() - height + 6, 32, 46);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(0xF7, 0xF5, 0xEF));
    p.drawRoundedRect(unit, 5, 5);
    p.setBrush(kAccent);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(unit.center().x(), unit.bottom() - 8), 3, 3);
    p.setPen(kInk);
    p.setFont(f);
    p.drawText(QRectF(foot.x() - 80, foot.y() + 6, 160, 26), Qt::AlignCenter, label);
}

QImage BridgeFinish() {
    const int w = DuX(330), h = DuY(132);
    QImage img = Canvas(w, h, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0xFD, 0xFC, 0xF8));
    sky.setColorAt(1, kSand);
    p.fillRect(img.rect(), sky);
    p.fillRect(0, h - 34, w, 34, kSandDeep);
    const QFont f = MakeFont(kLatin, 14, QFont::DemiBold);
    const QPointF a(95, h - 40), b(w - 95, h - 40);
    Pole(p, a, 130, "AP", f);
    Pole(p, b, 130, "Station", f);
    p.setPen(QPen(kAccent, 2.2, Qt::DashLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath link;
    link.moveTo(a.x() + 22, a.y() - 110);
    link.quadTo(w / 2.0, a.y() - 160, b.x() - 22, b.y() - 110);
    p.drawPath(link);
    p.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= 2; ++i) {
        const double rad = 10.0 * i;
        p.drawArc(QRectF(w / 2.0 - rad, a.y() - 150 - rad, rad * 2, rad * 2), 45 * 16, 90 * 16);
    }
    // A tick in a circle: the bridge is set up.
    const QPointF c(w / 2.0, h - 62);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(c, 16, 16);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(c + QPointF(-7, 0));
    tick.lineTo(c + QPointF(-2, 5));
    tick.lineTo(c + QPointF(8, -6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return img;
}

struct HelpTexts {
    QString family;
    QString title;
    QString subtitle;
    QString pc, sw, poe, device;
    QString steps[4];
    QString note;
};

void Box(QPainter& p, const QRectF& r, const QString& label, const QFont& f) {
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(0xFB, 0xFA, 0xF6));
    p.drawRoundedRect(r, 8, 8);
    p.setPen(kInk);
    p.setFont(f);
    p.drawText(r.adjusted(6, 0, -6, 0), Qt::AlignCenter | Qt::TextWordWrap, label);
}

void Cable(QPainter& p, QPointF a, QPointF b, const QColor& c, const QString& label,
           const QFont& f) {
    p.setPen(QPen(c, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    if (!label.isEmpty()) {
        p.setPen(kMuted);
        p.setFont(f);
        const QPointF m = (a + b) / 2;
        p.drawText(QRectF(m.x() - 90, m.y() - 30, 180, 22), Qt::AlignCenter, label);
    }
}

QImage InstallHelp(const HelpTexts& t) {
    const int w = 1100, h = 760;
    QImage img = Canvas(w, h, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(0, 0, w, 96, kSand);
    p.fillRect(0, 93, w, 3, kAccent);
    DrawMark(p, QRectF(36, 22, 52, 52));
    p.setPen(kInk);
    p.setFont(MakeFont(t.family, 28, QFont::Bold));
    p.drawText(QRect(108, 16, 900, 40), Qt::AlignLeft | Qt::AlignVCenter, t.title);
    p.setPen(kMuted);
    p.setFont(MakeFont(t.family, 16));
    p.drawText(QRect(110, 54, 900, 28), Qt::AlignLeft | Qt::AlignVCenter, t.subtitle);

    // The diagram: PC - switch - PoE adapter - outdoor unit on its mast.
    const QFont boxFont = MakeFont(t.family, 17, QFont::DemiBold);
    const QFont small = MakeFont(t.family, 14);
    const QRectF pc(70, 200, 170, 110), sw(330, 215, 170, 80), poe(590, 215, 170, 80);
    Cable(p, QPointF(pc.right(), 255), QPointF(sw.left(), 255), kInk.lighter(170), "LAN", small);
    Cable(p, QPointF(sw.right(), 255), QPointF(poe.left(), 255), kInk.lighter(170), "LAN", small);
    const QPointF foot(930, 420);
    Cable(p, QPointF(poe.right(), 255), QPointF(foot.x() - 40, 255), kAccent, "PoE", small);
    p.setPen(QPen(kAccent, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(foot.x() - 40, 255), QPointF(foot.x() - 40, 205));
    p.drawLine(QPointF(foot.x() - 40, 205), QPointF(foot.x() - 16, 205));
    Box(p, pc, t.pc, boxFont);
    // a screen inside the PC box
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::NoBrush);
    Box(p, sw, t.sw, boxFont);
    Box(p, poe, t.poe, boxFont);
    Pole(p, foot, 270, t.device, boxFont);
    p.setPen(QPen(kAccent, 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= 3; ++i) {
        const double rad = 16.0 * i;
        const QPointF c(foot.x(), foot.y() - 262);
        p.drawArc(QRectF(c.x() - rad, c.y() - rad, rad * 2, rad * 2), 40 * 16, 100 * 16);
    }

    // The steps, numbered in accent circles.
    const QFont stepFont = MakeFont(t.family, 18);
    const QFont numFont = MakeFont(kLatin, 17, QFont::Bold);
    for (int i = 0; i < 4; ++i) {
        const double y = 480 + i * 56;
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(90, y + 16), 16, 16);
        p.setPen(Qt::white);
        p.setFont(numFont);
        p.drawText(QRectF(74, y, 32, 32), Qt::AlignCenter, QString::number(i + 1));
        p.setPen(kInk);
        p.setFont(stepFont);
        p.drawText(QRectF(124, y - 4, w - 160, 40), Qt::AlignLeft | Qt::AlignVCenter, t.steps[i]);
    }
    p.setPen(kMuted);
    p.setFont(MakeFont(t.family, 14));
    p.drawText(QRectF(70, h - 42, w - 120, 30), Qt::AlignLeft | Qt::AlignVCenter, t.note);
    return img;
}

// ---- animation ------------------------------------------------------------------------------

void WaitAnimation() {
    const int n = 12, size = 32;
    const QVector<QRgb> palette = [] {
        QVector<QRgb> pal;
        for (int i = 0; i < 16; ++i) pal.append(Mix(Qt::white, kAccent, i / 15.0).rgb());
        pal.append(kLine.rgb());
        return pal;
    }();
    QList<skingen::GifFrame> frames;
    for (int f = 0; f < n; ++f) {
        QImage img = Canvas(size, size, Qt::white);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(size / 2.0, size / 2.0);
        for (int i = 0; i < n; ++i) {
            const int age = (f - i + n) % n;  // 0 = the head of the spinner
            const double t = age < 6 ? 1.0 - age / 6.0 : 0.0;
            p.save();
            p.rotate(i * 360.0 / n);
            p.setPen(Qt::NoPen);
            p.setBrush(t > 0 ? Mix(kLine, kAccent, t) : kLine);
            p.drawRoundedRect(QRectF(-1.6, -14, 3.2, 7), 1.6, 1.6);
            p.restore();
        }
        p.end();
        frames.append({img, 8});
    }
    const QByteArray data = skingen::WriteGif(frames, palette);
    QFile file(g_out + "/wait_search.gif");
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "skingen: cannot write wait_search.gif\n");
        ++g_failures;
        return;
    }
    file.close();
    // Read it back: a writer fault would otherwise only show as a broken animation.
    QImageReader reader(file.fileName());
    int count = 0;
    while (reader.canRead()) {
        const QImage back = reader.read();
        if (back.isNull()) break;
        const QImage want = frames[count].image;
        for (int y = 0; y < size; y += 3)
            for (int x = 0; x < size; x += 3) {
                const QColor a(back.pixel(x, y)), b(want.pixel(x, y));
                if (qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) +
                        qAbs(a.blue() - b.blue()) >
                    60) {
                    std::fprintf(stderr, "skingen: gif frame %d differs at %d,%d\n", count, x, y);
                    ++g_failures;
                    return;
                }
            }
        ++count;
    }
    if (count != n) {
        std::fprintf(stderr, "skingen: gif read back %d of %d frames\n", count, n);
        ++g_failures;
    }
}

// ---- the icon file -----------------------------------------------------------------------

// ICO with 32-bit DIB entries (BGRA rows bottom-up, then an all-clear AND mask).
void WriteIcon() {
    const int sizes[] = {16, 24, 32, 48, 64};
    QList<QByteArray> entries;
    for (int s : sizes) {
        QImage img(s, s, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            DrawMark(p, QRectF(0, 0, s, s));
        }
        QByteArray e;
        auto le32 = [&e](quint32 v) {
            for (int i = 0; i < 4; ++i) e.append(char((v >> (8 * i)) & 0xFF));
        };
        auto le16 = [&e](quint16 v) {
            e.append(char(v & 0xFF));
            e.append(char(v >> 8));
        };
        const int maskStride = ((s + 31) / 32) * 4;
        le32(40);
        le32(s);
        le32(s * 2);
        le16(1);
        le16(32);
        le32(0);
        le32(s * s * 4 + maskStride * s);
        le32(0);
        le32(0);
        le32(0);
        le32(0);
        for (int y = s - 1; y >= 0; --y)
            for (int x = 0; x < s; ++x) {
                const QRgb c = img.pixel(x, y);
                e.append(char(qBlue(c)));
                e.append(char(qGreen(c)));
                e.append(char(qRed(c)));
                e.append(char(qAlpha(c)));
            }
        e.append(QByteArray(maskStride * s, '\0'));
        entries.append(e);
    }
    QByteArray ico;
    auto le16 = [&ico](quint16 v) {
        ico.append(char(v & 0xFF));
        ico.append(char(v >> 8));
    };
    auto le32 = [&ico](quint32 v) {
        for (int i = 0; i < 4; ++i) ico.append(char((v >> (8 * i)) & 0xFF));
    };
    le16(0);
    le16(1);
    le16(quint16(entries.size()));
    quint32 offset = 6 + 16 * entries.size();
    for (int i = 0; i < entries.size(); ++i) {
        ico.append(char(sizes[i] & 0xFF));
        ico.append(char(sizes[i] & 0xFF));
        ico.append(char(0));
        ico.append(char(0));
        le16(1);
        le16(32);
        le32(quint32(entries[i].size()));
        le32(offset);
        offset += entries[i].size();
    }
    for (const QByteArray& e : entries) ico.append(e);
    QFile file(g_out + "/Application.ico");
    if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size()) {
        std::fprintf(stderr, "skingen: cannot write Application.ico\n");
        ++g_failures;
        return;
    }
    file.close();
    QImageReader reader(file.fileName());
    if (reader.imageCount() != int(entries.size())) {
        std::fprintf(stderr, "skingen: icon read back with %d images\n", reader.imageCount());
        ++g_failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: merrowin-skingen OUTPUT_FOLDER\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(g_out)) {
        std::fprintf(stderr, "skingen: cannot create %s\n", argv[1]);
        return 1;
    }

    const QImage main = MainBackground();
    Save(main, "main_bk.jpg");
    Save(MenuBackground(), "main_left_bk.jpg");
    WriteIcon();

    Save(TitleButton(main, 684,
                     [](QPainter& p) {
                         p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
                         p.drawLine(QPointF(-4, -4), QPointF(4, 4));
                         p.drawLine(QPointF(-4, 4), QPointF(4, -4));
                     }),
         "close_normal.bmp");
    Save(TitleButton(main, 666,
                     [](QPainter& p) {
                         p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
                         p.drawLine(QPointF(-4.5, 3), QPointF(4.5, 3));
                     }),
         "min_normal.bmp");
    Save(TitleButton(main, 647,
                     [](QPainter& p) {
                         p.setPen(QPen(kInk, 1.3));
                         p.setBrush(Qt::NoBrush);
                         p.drawEllipse(QPointF(0, 0), 6, 6);
                         p.setPen(kInk);
                         p.setFont(MakeFont(kLatin, 10, QFont::Bold));
                         p.drawText(QRectF(-6, -7, 12, 14), Qt::AlignCenter, "?");
                     }),
         "help_normal.bmp");

    Save(MenuIcon([](QPainter& p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(kSand);
             QPolygonF top({{8, 2}, {14, 5}, {8, 8}, {2, 5}});
             p.drawPolygon(top);
             p.setBrush(kAccent);
             p.drawPolygon(QPolygonF({{2, 5}, {8, 8}, {8, 14.5}, {2, 11.5}}));
             p.setBrush(kSandDeep);
             p.drawPolygon(QPolygonF({{14, 5}, {8, 8}, {8, 14.5}, {14, 11.5}}));
         }),
         "help_product_normal.bmp");
    Save(MenuIcon([](QPainter& p) {
             p.setPen(QPen(kAccent, 3));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(8, 8), 5, 5);
             p.setPen(QPen(kInk, 1.2));
             p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
             p.drawEllipse(QPointF(8, 8), 3.4, 3.4);
         }),
         "help_support_normal.bmp");
    Save(MenuIcon([](QPainter& p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(kSandLight);
             p.drawRect(QRectF(1.5, 3.5, 13, 9));
             p.setPen(QPen(kAccent, 1.4));
             p.drawPolyline(QPolygonF({{2, 4}, {8, 9}, {14, 4}}));
         }),
         "help_contact_normal.bmp");
    Save(MenuIcon([](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(kAccent);
             p.drawEllipse(QPointF(8, 8), 7, 7);
             p.setPen(Qt::white);
             p.setFont(MakeFont(kLatin, 11, QFont::Bold));
             p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "?");
         }),
         "help_help_normal.bmp");

    Save(MenuButton(false, true), "bt_menu_search_normal.bmp");
    Save(MenuButton(true, true), "bt_menu_search_down.bmp");
    Save(MenuButton(false, false), "bt_menu_wireless_normal.bmp");
    Save(MenuButton(true, false), "bt_menu_wireless_down.bmp");

    Save(RoundButton(80, 26, Qt::white, kSand, QColor(0xC9, 0xBF, 0xA6), Qt::white),
         "btn_search.bmp");
    Save(RefreshGlyph(kInk), "btn_update_normal.bmp");
    Save(RefreshGlyph(kAccent), "btn_update_down.bmp");
    Save(SearchLeft(), "btn_pie.bmp");
    Save(SearchRight(), "btn_pie2.bmp");
    Save(Line(DuX(584), kLine), "line.bmp");
    Save(Line(520, QColor(0xCF, 0xCF, 0xCF)), "gray_line.bmp");
    Save(Line(500, kAccent), "orange_line.bmp");
    Save(RoundButton(DuX(40), DuY(17), QColor(0xF8, 0xB7, 0x86), QColor(0xEF, 0x8E, 0x4B),
                     kAccentDeep, Qt::white),
         "config_btn.bmp");
    Save(RoundButton(DuX(40), DuY(17), Qt::white, kSandDeep, QColor(0xC9, 0xBF, 0xA6), Qt::white),
         "btn_config.bmp");
    Save(CloseGlyph(DuX(11), DuY(9), kTitleBand), "close_config.bmp");
    Save(CloseGlyph(DuX(11), DuY(9), QColor(242, 242, 242)), "close_wait.bmp");
    Save(Tab(true), "wireless_basic.bmp");
    Save(Tab(false), "wireless_config.bmp");
    WaitAnimation();

    Save(Cell([](QPainter& p) { Pencil(p, QPointF(25, 8)); }), "write.bmp");
    Save(Cell([](QPainter& p) {
             Globe(p, QPointF(10, 8), 6);
             CellText(p, kLatin, "Web", 20);
         }),
         "web_other.bmp");
    Save(Cell([](QPainter& p) {
             Globe(p, QPointF(10, 8), 6);
             CellText(p, kHan, QString::fromUtf8("网页"), 20);
         }),
         "web_chinese.bmp");
    Save(Cell([](QPainter& p) {
             Towers(p, QPointF(3, 8));
             CellText(p, kLatin, "Link", 20);
         }),
         "bridge_other.bmp");
    Save(Cell([](QPainter& p) {
             Towers(p, QPointF(3, 8));
             CellText(p, kHan, QString::fromUtf8("桥接"), 20);
         }),
         "bridge_chinese.bmp");
    for (int i = 0; i <= 5; ++i) Save(Signal(i), QString("singal_strength%1.bmp").arg(i));

    HelpTexts en;
    en.family = kLatin;
    en.title = "Installing a device";
    en.subtitle = "Connect the PC and the device to the same Ethernet segment";
    en.pc = "PC";
    en.sw = "Switch";
    en.poe = "PoE adapter";
    en.device = "Outdoor device";
    en.steps[0] =
        "Connect the PC to the switch, and the switch to the LAN port of the PoE adapter.";
    en.steps[1] = "Connect the PoE port of the adapter to the device's Ethernet port.";
    en.steps[2] = "Power the adapter and wait about a minute for the device to start.";
    en.steps[3] = "Press Search on the Device status page: the device appears in the list.";
    en.note =
        "No address setup is needed on the PC: devices are found by broadcast on the segment.";
    Save(InstallHelp(en), "help_other.jpg");

    HelpTexts zh;
    zh.family = kHan;
    zh.title = QString::fromUtf8("安装设备");
    zh.subtitle = QString::fromUtf8("将电脑和设备连接到同一个以太网网段");
    zh.pc = QString::fromUtf8("电脑");
    zh.sw = QString::fromUtf8("交换机");
    zh.poe = QString::fromUtf8("PoE 供电器");
    zh.device = QString::fromUtf8("室外设备");
    zh.steps[0] = QString::fromUtf8("将电脑连接到交换机，再将交换机连接到 PoE 供电器的 LAN 口。");
    zh.steps[1] = QString::fromUtf8("将供电器的 PoE 口连接到设备的网口。");
    zh.steps[2] = QString::fromUtf8("给供电器通电，等待约一分钟让设备启动。");
    zh.steps[3] = QString::fromUtf8("在“设备状态”页面点击“搜索”，设备即出现在列表中。");
    zh.note = QString::fromUtf8("电脑无需设置地址：设备通过网段内的广播被发现。");
    Save(InstallHelp(zh), "help_chinese.jpg");

    Save(BridgeFinish(), "bridge_finish.jpg");

    if (g_failures) return 1;
    std::printf("skingen: wrote the skin to %s\n", argv[1]);
    return 0;
}
