#pragma once
// The pager of the list pages: at most seven page buttons at the right end of the control.
// A click on a page number other than the current one reports WM_PAGE_TURN(page id, number)
// to the container it is bound to.

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

class CTMultiPages : public QWidget {
    Q_OBJECT
  public:
    struct Button {
        QRect rect;
        int number;  // 0 for "..."
    };

    explicit CTMultiPages(QWidget* parent = nullptr);

    // Resets to page 1 of 0 pages and records where page choices are reported.
    void BindPager(QObject* container, int pageId);
    void SetCurrentPage(int page);
    void SetPageCount(int count);
    int CurrentPage() const { return m_currentPage; }
    int PageCount() const { return m_pageCount; }
    int PageId() const { return m_pageId; }
    void SetBkColor(const QColor& color);

    // The page numbers to show for `count` pages with `current` the current one; 0 is "...".
    static std::vector<int> PageButtons(int count, int current);
    const std::vector<Button>& Buttons() const { return m_buttons; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Relayout();
    int ButtonAt(QPoint pos) const;
    bool IsClickable(int index) const;

    QPointer<QObject> m_container;
    int m_pageId = 0;
    int m_currentPage = 1;
    int m_pageCount = 0;
    std::vector<Button> m_buttons;
    int m_hover = -1;
    int m_pressed = -1;
    QColor m_bkColor = QColor(240, 240, 240);
};
