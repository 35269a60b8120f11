#pragma once
// The skinned push button: four state images (normal, hover, pressed, disabled) with the
// caption drawn over them. A caption is placed by an alignment code; the codes are the ones the
// window layouts use:
//   256 left (+offset), 512 right (-offset), 768 centred, 1024 top-left, 1792 top centre,
//   2048 bottom-left, 2816 bottom centre; anything else top-left.

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QTimer>
#include <array>

class CTButtonPicture : public QAbstractButton {
    Q_OBJECT
  public:
    enum State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

    static constexpr int kAlignLeft = 256;
    static constexpr int kAlignRight = 512;
    static constexpr int kAlignCenter = 768;
    static constexpr int kAlignTopLeft = 1024;
    static constexpr int kAlignTopCenter = 1792;
    static constexpr int kAlignBottomLeft = 2048;
    static constexpr int kAlignBottomCenter = 2816;

    explicit CTButtonPicture(QWidget* parent = nullptr);

    // Loads the four images. An image is kept only when every image before it loaded too.
    void SetStateImages(const QString& normal, const QString& hover, const QString& pressed,
                        const QString& disabled);
    // The navigation look and the look of the other buttons, from the settings.
    void ApplyMenuButtonLook(const QString& caption);
    void ApplyButtonLook(const QString& caption);

    void SetAlignment(int alignment);
    void SetOffset(int offset);
    void SetSelected(bool selected);
    int Alignment() const { return m_alignment; }
    int Offset() const { return m_offset; }
    bool IsSelected() const { return m_bSelected; }
    State CurrentState() const;
    bool IsHovered() const { return m_bHover; }

    // Where the caption goes in a button of `button` size for a caption of `text` extent.
    static QPoint CaptionPosition(int alignment, int offset, QSize button, QSize text);
    // The caption's font as drawn now (bold while selected).
    QFont CaptionFont() const;
    // Where the image of the current state is drawn: its own size at the top-left, or the
    // whole button when the image is wider or higher than the button.
    QRect ImageRect(State state) const;
    const QPixmap& StateImage(State state) const { return m_images[state]; }

    QColor m_normalTextColor = QColor(0, 0, 0);
    QColor m_activeTextColor = QColor(255, 255, 255);
    QColor m_disabledTextColor = QColor(153, 153, 153);
    QString m_faceName = QStringLiteral("Arial");
    int m_fontWeight = 0;
    int m_fontHeight = 16;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void StartHover();
    void EndHover();
    void CheckHover();

    std::array<QPixmap, 4> m_images;
    int m_alignment = kAlignCenter;
    int m_offset = 0;
    bool m_bSelected = false;
    bool m_bHover = false;
    QTimer m_hoverTimer;
};
