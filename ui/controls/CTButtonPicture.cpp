#include "ui/controls/CTButtonPicture.h"

#include <QCursor>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QPainter>

#include "ui/controls/SkinFont.h"
#include "ui/main/CApplicationApp.h"

CTButtonPicture::CTButtonPicture(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    m_hoverTimer.setInterval(10);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CTButtonPicture::CheckHover);
}

void CTButtonPicture::SetStateImages(const QString& normal, const QString& hover,
                                     const QString& pressed, const QString& disabled) {
    const QString paths[4] = {normal, hover, pressed, disabled};
    for (QPixmap& image : m_images) image = QPixmap();
    for (int i = 0; i < 4; ++i) {
        QPixmap image;
        if (paths[i].isEmpty() || !image.load(paths[i])) break;
        m_images[i] = image;
    }
    update();
}

void CTButtonPicture::ApplyMenuButtonLook(const QString& caption) {
    const auto& s = theApp.m_settings;
    setText(caption);
    m_faceName = QString::fromStdString(s.FontName);
    m_fontWeight = s.ButtonMenuFontWeight;
    m_fontHeight = s.ButtonMenuFontHeight;
    m_normalTextColor = ToQColor(s.ButtonMenuFontColor);
    m_activeTextColor = ToQColor(s.TextDownColor);
    m_alignment = kAlignLeft;
    m_offset = 50;
    update();
}

void CTButtonPicture::ApplyButtonLook(const QString& caption) {
    const auto& s = theApp.m_settings;
    setText(caption);
    m_faceName = QString::fromStdString(s.FontName);
    m_fontWeight = s.ButtonFontWeight;
    m_fontHeight = s.ButtonFontHeight;
    m_normalTextColor = ToQColor(s.ButtonFontColor);
    m_activeTextColor = ToQColor(s.TextDownColor);
    update();
}

void CTButtonPicture::SetAlignment(int alignment) {
    m_alignment = alignment;
    update();
}

void CTButtonPicture::SetOffset(int offset) {
    m_offset = offset;
    update();
}

void CTButtonPicture::SetSelected(bool selected) {
    m_bSelected = selected;
    update();
}

CTButtonPicture::State CTButtonPicture::CurrentState() const {
    if (!isEnabled()) return Disabled;
    if (isDown()) return Pressed;
    if (m_bHover) return Hover;
    return Normal;
}

QPoint CTButtonPicture::CaptionPosition(int alignment, int offset, QSize button, QSize text) {
    const int W = button.width(), H = button.height();
    const int tw = text.width(), th = text.height();
    int x = 0, y = 0;
    switch (alignment) {
        case kAlignLeft:
            x = offset + 2;
            y = (H - th) / 2;
            break;
        case kAlignRight:
            x = W - offset - tw - 2;
            y = (H - th) / 2;
            break;
        case kAlignCenter:
            x = (W - tw) / 2;
            y = (H - th) / 2;
            break;
        case kAlignTopCenter:
            x = (W - tw) / 2;
            break;
        case kAlignBottomLeft:
            y = H - th;
            break;
        case kAlignBottomCenter:
            x = (W - tw) / 2;
            y = H - th;
            break;
        default:  // 1024 and unknown codes: top-left
            break;
    }
    return QPoint(x < 0 ? 0 : x, y < 0 ? 0 : y);
}

QFont CTButtonPicture::CaptionFont() const {
    return CellHeightFont(m_faceName, m_fontHeight, m_bSelected ? 700 : m_fontWeight);
}

QRect CTButtonPicture::ImageRect(State state) const {
    const QPixmap& image = m_images[state];
    if (image.isNull()) return QRect();
    if (image.width() > width() || image.height() > height()) return rect();
    return QRect(QPoint(0, 0), image.size());
}

QSize CTButtonPicture::sizeHint() const {
    if (!m_images[Normal].isNull()) return m_images[Normal].size();
    return QSize(75, 23);
}

void CTButtonPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The selected mark wins over the state: the current navigation button stays pressed.
    const State state = m_bSelected ? Pressed : CurrentState();
    QColor textColor = m_normalTextColor;
    if (state == Hover || state == Pressed) textColor = m_activeTextColor;
    if (state == Disabled) textColor = m_disabledTextColor;
    const QRect imageRect = ImageRect(state);
    if (!imageRect.isNull()) painter.drawPixmap(imageRect, m_images[state]);

    const QString caption = text();
    if (caption.isEmpty()) return;
    const QFont font = CaptionFont();
    const QFontMetrics metrics(font);
    const QSize extent(metrics.horizontalAdvance(caption), metrics.height());
    const QPoint at = CaptionPosition(m_alignment, m_offset, size(), extent);
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(QRect(at, extent), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
}

void CTButtonPicture::StartHover() {
    if (!isEnabled() || m_bHover) return;
    m_bHover = true;
    update();
    m_hoverTimer.start();
}

void CTButtonPicture::EndHover() {
    m_hoverTimer.stop();
    if (!m_bHover) return;
    m_bHover = false;
    update();
}

void CTButtonPicture::CheckHover() {
    if (!m_bHover || !isEnabled()) {
        EndHover();
        return;
    }
    const QRect global(mapToGlobal(QPoint(0, 0)), size());
    if (!global.contains(QCursor::pos())) EndHover();
}

void CTButtonPicture::mouseMoveEvent(QMouseEvent* event) {
    StartHover();
    QAbstractButton::mouseMoveEvent(event);
}

void CTButtonPicture::enterEvent(QEnterEvent* event) {
    StartHover();
    QAbstractButton::enterEvent(event);
}

void CTButtonPicture::leaveEvent(QEvent* event) {
    EndHover();
    QAbstractButton::leaveEvent(event);
}

void CTButtonPicture::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) EndHover();
    QAbstractButton::changeEvent(event);
}
