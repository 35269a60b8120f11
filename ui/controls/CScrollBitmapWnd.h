#pragma once
// A picture at 1:1 scale with its own scroll bars, shown only when the picture does not fit.
// Outside the picture the view is light grey.

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QScrollBar>
#include <QWidget>

class CScrollBitmapWnd : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kBarThickness = 17;
    static constexpr int kLineStep = 5;
    static constexpr int kHorzBarId = 100;
    static constexpr int kVertBarId = 101;

    explicit CScrollBitmapWnd(QWidget* parent = nullptr);

    bool LoadPicture(const QString& path);
    bool IsLoaded() const { return m_bLoaded; }
    QSize PictureSize() const { return m_picture.size(); }
    QPoint Offset() const { return m_offset; }
    bool HorzBarShown() const { return m_bHorzShown; }
    bool VertBarShown() const { return m_bVertShown; }
    QRect ViewRect() const { return m_viewRect; }
    QScrollBar* HorzBar() const { return m_horz; }
    QScrollBar* VertBar() const { return m_vert; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Layout();
    void OnBarAction(Qt::Orientation orientation, int action);
    void Clamp();

    QPixmap m_picture;
    bool m_bLoaded = false;
    QScrollBar* m_horz;
    QScrollBar* m_vert;
    bool m_bHorzShown = false;
    bool m_bVertShown = false;
    QPoint m_offset;
    QRect m_viewRect;
};
