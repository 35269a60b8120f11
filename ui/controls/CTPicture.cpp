#include "ui/controls/CTPicture.h"

#include <QFile>
#include <QPainter>

CTPicture::CTPicture(QWidget* parent) : QWidget(parent) {
    m_animation.setSingleShot(true);
    connect(&m_animation, &QTimer::timeout, this, &CTPicture::NextFrame);
}

CTPicture::~CTPicture() { StopAnimation(); }

bool CTPicture::LoadPictureFile(const QString& path) {
    StopAnimation();
    m_movie.reset();
    m_gifDevice.close();
    m_still = QImage();
    m_bGif = false;
    m_frame = 0;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.readAll();
    if (data.startsWith("GIF")) {
        m_gifData = data;
        m_gifDevice.setBuffer(&m_gifData);
        m_gifDevice.open(QIODevice::ReadOnly);
        auto movie = std::make_unique<QMovie>(&m_gifDevice, QByteArray("gif"));
        movie->setCacheMode(QMovie::CacheAll);
        if (!movie->isValid() || !movie->jumpToFrame(0)) return false;
        m_size = movie->currentImage().size();
        m_movie = std::move(movie);
        m_bGif = true;
    } else {
        if (!m_still.loadFromData(data)) return false;
        m_size = m_still.size();
    }
    resize(m_size);
    m_bkColor = palette().color(QPalette::Button);
    m_surface = QImage(m_size, QImage::Format_ARGB32_Premultiplied);
    m_surface.fill(m_bkColor);
    updateGeometry();
    return true;
}

int CTPicture::FrameCount() const {
    return m_movie ? m_movie->frameCount() : (m_still.isNull() ? 0 : 1);
}

bool CTPicture::DrawPicture() {
    if (m_bGif && m_movie && FrameCount() > 1) {
        StopAnimation();
        m_frame = 0;
        ShowFrame();
        return false;
    }
    if (m_surface.isNull()) return false;
    QPainter painter(&m_surface);
    if (m_bGif && m_movie) {
        painter.drawImage(0, 0, m_movie->currentImage());
    } else if (!m_still.isNull()) {
        painter.drawImage(QRect(QPoint(0, 0), m_size), m_still);
    } else {
        return false;
    }
    update();
    return true;
}

void CTPicture::ShowFrame() {
    if (!m_movie || !m_movie->jumpToFrame(m_frame)) return;
    // QMovie reports the delay of the frame it moved to, in milliseconds.
    m_frameDelay = m_movie->nextFrameDelay() / 10;
    {
        // The reader hands over whole composed frames (disposal already applied), so each one
        // replaces the surface over the background colour.
        QPainter painter(&m_surface);
        painter.fillRect(m_surface.rect(), m_bkColor);
        painter.drawImage(0, 0, m_movie->currentImage());
    }
    update();
    m_animation.start(FrameIntervalMs(m_frameDelay));
}

void CTPicture::NextFrame() {
    const int count = FrameCount();
    if (count <= 0) return;
    m_frame = (m_frame + 1) % count;
    ShowFrame();
}

int CTPicture::CurrentFrameInterval() const { return FrameIntervalMs(m_frameDelay); }

void CTPicture::StopAnimation() { m_animation.stop(); }

void CTPicture::paintEvent(QPaintEvent*) {
    if (m_surface.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface);
}
