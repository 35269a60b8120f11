#include "ui/controls/CScrollBitmapWnd.h"

#include <QPainter>

CScrollBitmapWnd::CScrollBitmapWnd(QWidget* parent)
    : QWidget(parent),
      m_horz(new QScrollBar(Qt::Horizontal, this)),
      m_vert(new QScrollBar(Qt::Vertical, this)) {
    m_horz->setObjectName(QStringLiteral("bar100"));
    m_vert->setObjectName(QStringLiteral("bar101"));
    m_horz->hide();
    m_vert->hide();
    connect(m_horz, &QScrollBar::actionTriggered, this,
            [this](int action) { OnBarAction(Qt::Horizontal, action); });
    connect(m_vert, &QScrollBar::actionTriggered, this,
            [this](int action) { OnBarAction(Qt::Vertical, action); });
}

bool CScrollBitmapWnd::LoadPicture(const QString& path) {
    QPixmap picture;
    const bool ok = !path.isEmpty() && picture.load(path);
    m_picture = ok ? picture : QPixmap();
    m_bLoaded = ok;
    Layout();
    return ok;
}

void CScrollBitmapWnd::Layout() {
    const int W = width(), H = height(), T = kBarThickness;
    const int PW = m_bLoaded ? m_picture.width() : 0;
    const int PH = m_bLoaded ? m_picture.height() : 0;
    bool horz = false, vert = false;
    if (PW > W) {
        horz = true;
        if (PH > H - T) vert = true;
    }
    if (PH > H) {
        vert = true;
        if (PW > W - T) horz = true;
    }
    const int VW = vert ? W - T : W;
    const int VH = horz ? H - T : H;

    m_horz->setRange(0, qMax(0, PW - VW));
    m_horz->setPageStep(qMax(1, VW));
    m_horz->setSingleStep(kLineStep);
    m_vert->setRange(0, qMax(0, PH - VH));
    m_vert->setPageStep(qMax(1, VH));
    m_vert->setSingleStep(kLineStep);
    m_horz->setGeometry(0, VH, VW, T);
    m_vert->setGeometry(VW, 0, T, VH);
    m_horz->setVisible(horz);
    m_vert->setVisible(vert);
    m_bHorzShown = horz;
    m_bVertShown = vert;

    // Keep the picture anchored at its right and bottom edges when the view grows.
    if (!m_viewRect.isNull()) {
        const int dw = VW - m_viewRect.width();
        const int dh = VH - m_viewRect.height();
        if (dw > 0) m_offset.rx() -= dw;
        if (dh > 0) m_offset.ry() -= dh;
    }
    m_viewRect = QRect(0, 0, VW, VH);
    Clamp();
    update();
}

void CScrollBitmapWnd::Clamp() {
    const int PW = m_bLoaded ? m_picture.width() : 0;
    const int PH = m_bLoaded ? m_picture.height() : 0;
    m_offset.setX(m_bHorzShown ? qBound(0, m_offset.x(), qMax(0, PW - m_viewRect.width())) : 0);
    m_offset.setY(m_bVertShown ? qBound(0, m_offset.y(), qMax(0, PH - m_viewRect.height())) : 0);
    m_horz->setSliderPosition(m_offset.x());
    m_vert->setSliderPosition(m_offset.y());
    m_horz->setValue(m_offset.x());
    m_vert->setValue(m_offset.y());
}

void CScrollBitmapWnd::OnBarAction(Qt::Orientation orientation, int action) {
    QScrollBar* bar = orientation == Qt::Horizontal ? m_horz : m_vert;
    int& offset = orientation == Qt::Horizontal ? m_offset.rx() : m_offset.ry();
    const int largest = orientation == Qt::Horizontal ? m_picture.width() : m_picture.height();
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            offset -= kLineStep;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            offset += kLineStep;
            break;
        case QAbstractSlider::SliderMove:
            offset = bar->sliderPosition();
            break;
        case QAbstractSlider::SliderToMinimum:
            offset = 0;
            break;
        case QAbstractSlider::SliderToMaximum:
            offset = largest;
            break;
        default:  // page requests and the rest leave the offset alone
            break;
    }
    Clamp();
    // The bar applies its own idea of the new position after this signal; pin it to ours.
    bar->setSliderPosition(orientation == Qt::Horizontal ? m_offset.x() : m_offset.y());
    update();
}

void CScrollBitmapWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor grey(192, 192, 192);
    const int PW = m_bLoaded ? m_picture.width() : 0;
    const int PH = m_bLoaded ? m_picture.height() : 0;
    // Everything outside the picture's own rectangle, and the corner between two bars.
    QRegion outside(rect());
    outside -= QRegion(0, 0, PW, PH);
    if (m_bHorzShown && m_bVertShown)
        outside += QRegion(width() - kBarThickness, height() - kBarThickness, kBarThickness,
                           kBarThickness);
    for (const QRect& r : outside) painter.fillRect(r, grey);
    if (m_bLoaded)
        painter.drawPixmap(QPoint(0, 0), m_picture,
                           QRect(m_offset, QSize(m_viewRect.width(), m_viewRect.height())));
}

void CScrollBitmapWnd::resizeEvent(QResizeEvent*) { Layout(); }
