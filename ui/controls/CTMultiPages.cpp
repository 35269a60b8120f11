#include "ui/controls/CTMultiPages.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/controls/PageTurn.h"

namespace {
constexpr int kGap = 4;
constexpr int kMinButtonWidth = 22;
}  // namespace

CTMultiPages::CTMultiPages(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void CTMultiPages::BindPager(QObject* container, int pageId) {
    m_container = container;
    m_pageId = pageId;
    m_currentPage = 1;
    m_pageCount = 0;
    Relayout();
}

void CTMultiPages::SetCurrentPage(int page) {
    m_currentPage = page;
    Relayout();
}

void CTMultiPages::SetPageCount(int count) {
    m_pageCount = count < 0 ? 0 : count;
    Relayout();
}

void CTMultiPages::SetBkColor(const QColor& color) {
    m_bkColor = color;
    update();
}

std::vector<int> CTMultiPages::PageButtons(int n, int p) {
    std::vector<int> out;
    if (n <= 7) {
        for (int i = 1; i <= n; ++i) out.push_back(i);
    } else if (p <= 4) {
        out = {1, 2, 3, 4, 5, 0, n};
    } else if (p < n - 3) {
        out = {1, 0, p - 1, p, p + 1, 0, n};
    } else {
        out = {1, 0, n - 4, n - 3, n - 2, n - 1, n};
    }
    return out;
}

void CTMultiPages::Relayout() {
    m_buttons.clear();
    m_hover = -1;
    m_pressed = -1;
    const std::vector<int> numbers = PageButtons(m_pageCount, m_currentPage);
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int h = qMax(12, height() - 2);
    const int top = (height() - h) / 2;
    std::vector<int> widths;
    int total = 0;
    for (int number : numbers) {
        const QString label = number ? QString::number(number) : QStringLiteral("...");
        const int w = qMax(kMinButtonWidth, metrics.horizontalAdvance(label) + 10);
        widths.push_back(w);
        total += w + kGap;
    }
    int x = width() - total + kGap;  // right-aligned
    for (size_t i = 0; i < numbers.size(); ++i) {
        m_buttons.push_back({QRect(x, top, widths[i], h), numbers[i]});
        x += widths[i] + kGap;
    }
    update();
}

int CTMultiPages::ButtonAt(QPoint pos) const {
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].rect.contains(pos)) return int(i);
    return -1;
}

bool CTMultiPages::IsClickable(int index) const {
    return index >= 0 && m_buttons[index].number != 0 && m_buttons[index].number != m_currentPage;
}

void CTMultiPages::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_bkColor);
    QFont normal = font();
    QFont bold = font();
    bold.setBold(true);
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const Button& b = m_buttons[i];
        if (b.number == 0) {
            painter.fillRect(b.rect, Qt::white);
            painter.setFont(normal);
            painter.setPen(QColor(136, 136, 136));
            painter.drawText(b.rect, Qt::AlignCenter, QStringLiteral("..."));
        } else if (b.number == m_currentPage) {
            painter.fillRect(b.rect, Qt::white);
            painter.setFont(bold);
            painter.setPen(Qt::black);
            painter.drawText(b.rect, Qt::AlignCenter, QString::number(b.number));
        } else {
            painter.fillRect(b.rect, int(i) == m_hover ? QColor(187, 187, 187) : Qt::white);
            painter.setPen(QColor(136, 136, 136));
            painter.drawRect(b.rect.adjusted(0, 0, -1, -1));
            painter.setFont(normal);
            painter.setPen(Qt::black);
            painter.drawText(b.rect, Qt::AlignCenter, QString::number(b.number));
        }
    }
}

void CTMultiPages::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = ButtonAt(event->position().toPoint());
}

void CTMultiPages::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int index = ButtonAt(event->position().toPoint());
    const bool same = index >= 0 && index == m_pressed;
    m_pressed = -1;
    if (!same || !IsClickable(index)) return;
    const int number = m_buttons[index].number;
    SetCurrentPage(number);
    SendPageTurn(m_container, m_pageId, number);
}

void CTMultiPages::mouseMoveEvent(QMouseEvent* event) {
    const int index = ButtonAt(event->position().toPoint());
    setCursor(IsClickable(index) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    const int hover = (index >= 0 && m_buttons[index].number != 0) ? index : -1;
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
}

void CTMultiPages::leaveEvent(QEvent*) {
    if (m_hover != -1) {
        m_hover = -1;
        update();
    }
}

void CTMultiPages::resizeEvent(QResizeEvent*) { Relayout(); }
