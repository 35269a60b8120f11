#include "ui/controls/CTDialog.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

CTDialog::CTDialog(QWidget* parent, bool childWindow) : QDialog(parent) {
    if (childWindow) setWindowFlags(Qt::Widget);
}

void CTDialog::SetBackgroundImage(const QString& path) {
    if (path.isEmpty()) return;
    QPixmap image;
    if (image.load(path)) m_bkImage = image;
    update();
}

void CTDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_bkImage.isNull()) {
        painter.drawPixmap(rect(), m_bkImage);
    } else if (m_bFill) {
        painter.fillRect(rect(), m_fillColor);
    }
}

void CTDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // Not dialog keys here: neither accepts nor cancels a window.
            event->ignore();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void CTDialog::mousePressEvent(QMouseEvent* event) {
    if (m_bDrag && event->button() == Qt::LeftButton) {
        QWidget* top = window();
        QWindow* handle = top->windowHandle();
        // The window manager moves the window when it can; without one, follow the mouse.
        if (!(handle && handle->startSystemMove())) {
            m_manualDrag = true;
            m_dragOffset = event->globalPosition().toPoint() - top->frameGeometry().topLeft();
        }
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CTDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_manualDrag && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CTDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (m_manualDrag && event->button() == Qt::LeftButton) {
        m_manualDrag = false;
        event->accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}
