#pragma once
// The skinned dialog: the base of the main window, the navigation panel, the page container,
// every page and every dialog. It paints a stretched background image or a solid fill, can be
// dragged by its background, and never treats Enter or Escape as dialog keys.

#include <QDialog>
#include <QPixmap>
#include <QPoint>

class CTDialog : public QDialog {
    Q_OBJECT
  public:
    // A child dialog (page, panel) is an ordinary child widget; otherwise a top-level dialog.
    explicit CTDialog(QWidget* parent = nullptr, bool childWindow = false);

    // Loads the background image; an empty path is ignored, a file that cannot be read leaves
    // the fill in place.
    void SetBackgroundImage(const QString& path);
    bool HasBackgroundImage() const { return !m_bkImage.isNull(); }

    bool m_bFill = false;
    QColor m_fillColor = QColor(255, 255, 255);
    bool m_bDrag = false;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPixmap m_bkImage;
    bool m_manualDrag = false;
    QPoint m_dragOffset;
};
