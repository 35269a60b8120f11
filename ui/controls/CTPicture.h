#pragma once
// A picture control: one still picture, or an animated GIF. The control takes the picture's
// size. Animation frames are shown for their own delay when it is above 4 hundredths of a
// second and for 100 ms otherwise (many GIFs carry 0 and expect a sensible default).

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMovie>
#include <QTimer>
#include <QWidget>
#include <memory>

class CTPicture : public QWidget {
    Q_OBJECT
  public:
    explicit CTPicture(QWidget* parent = nullptr);
    ~CTPicture() override;

    bool LoadPictureFile(const QString& path);
    // Shows a still picture (true) or starts the animation of a GIF with several frames.
    bool DrawPicture();
    void StopAnimation();

    bool IsGif() const { return m_bGif; }
    int FrameCount() const;
    int CurrentFrame() const { return m_frame; }
    bool IsAnimating() const { return m_animation.isActive(); }
    // The time the current frame stays on screen, in milliseconds.
    int CurrentFrameInterval() const;
    const QImage& Surface() const { return m_surface; }
    QSize sizeHint() const override { return m_size; }

    static int FrameIntervalMs(int delayHundredths) {
        return delayHundredths > 4 ? delayHundredths * 10 : 100;
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowFrame();
    void NextFrame();

    QImage m_still;
    bool m_bGif = false;
    QByteArray m_gifData;
    QBuffer m_gifDevice;
    std::unique_ptr<QMovie> m_movie;
    int m_frame = 0;
    int m_frameDelay = 0;  // hundredths, of the frame on screen
    QSize m_size;
    QColor m_bkColor;
    QImage m_surface;
    QTimer m_animation;
};
