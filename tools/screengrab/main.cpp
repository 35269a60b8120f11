// merrowin-screengrab: saves part of an X display as a PNG (for scripts/screenshot).
//
//   merrowin-screengrab OUTPUT.png [X Y WIDTH HEIGHT]
//
// The display is the one DISPLAY names; without a rectangle the whole screen is saved.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: merrowin-screengrab OUTPUT.png [X Y WIDTH HEIGHT]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "screengrab: no screen\n");
        return 1;
    }
    int x = 0, y = 0, w = -1, h = -1;
    if (argc == 6) {
        x = std::atoi(argv[2]);
        y = std::atoi(argv[3]);
        w = std::atoi(argv[4]);
        h = std::atoi(argv[5]);
    }
    const QPixmap shot = screen->grabWindow(0, x, y, w, h);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screengrab: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
