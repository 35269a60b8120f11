#pragma once
// The grid every device list shows its rows in, over a QTableWidget. Rows are numbered as the
// pages think of them: row 0 is the fixed header, rows 1..n are the body. It holds per-cell
// text, colours, font, alignment, integer data and images from the grid's image list; column
// 0 may be a check-box column (with a check box in the header too); one cell at a time may be
// edited in place when the click handler allows it.
//
// Cell texts are always plain text: they come from devices.

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QPixmap>
#include <QString>
#include <QTableWidget>
#include <set>
#include <vector>

class CGridHeader : public QHeaderView {
    Q_OBJECT
  public:
    explicit CGridHeader(QWidget* parent);
    void SetCheckColumn(int column) { m_checkColumn = column; }
    void SetHeaderChecked(bool on);
    bool HeaderChecked() const { return m_checked; }
    void SetColors(const QColor& text, const QColor& back);

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

  private:
    int m_checkColumn = -1;
    bool m_checked = false;
    QColor m_text = Qt::black;
    QColor m_back = QColor(240, 240, 240);
};

class CGridCtrl : public QTableWidget {
    Q_OBJECT
  public:
    static constexpr int kDefaultRowHeight = 48;

    explicit CGridCtrl(QWidget* parent = nullptr);

    // --- layout ---
    void SetColumns(const std::vector<QString>& captions, const std::vector<int>& widths);
    int GetColumnCount() const { return columnCount(); }
    // Body rows, the header not counted.
    int GetRowCount() const { return rowCount(); }
    void SetRowHeight(int pixels);
    int RowHeight() const { return m_rowHeight; }
    void SetHeaderLook(const QFont& font, const QColor& text, const QColor& back);
    void SetCellLook(const QFont& font, const QColor& text);
    void SetGridColors(const QColor& background, const QColor& lines);
    const QFont& CellFont() const { return m_cellFont; }

    // --- rows ---
    // Appends one body row of empty cells in the cell look; returns its row number (from 1).
    int InsertRow();
    // Removes every body row; the header stays.
    void DeleteNonFixedRows();
    // Redrawing off around a rebuild, on (and repainted) afterwards.
    void SetRedraw(bool on);
    bool IsRedrawOn() const { return m_redraw; }

    // --- cells (row 0 addresses the header cell) ---
    void SetItemText(int row, int col, const QString& text);
    QString GetItemText(int row, int col) const;
    void SetItemFgColour(int row, int col, const QColor& color);
    QColor GetItemFgColour(int row, int col) const;
    void SetItemBkColour(int row, int col, const QColor& color);
    void SetItemFont(int row, int col, const QFont& font);
    void SetItemFormat(int row, int col, Qt::Alignment alignment);
    void SetItemData(int row, int col, int data);
    int GetItemData(int row, int col) const;

    // --- check boxes (column m_checkColumn; -1 none) ---
    void SetCheckColumn(int column);
    int CheckColumn() const { return m_checkColumn; }
    void SetCheck(int row, bool on);  // row 0: the header's check box
    bool GetCheck(int row) const;

    // --- pictures ---
    void SetImageList(const std::vector<QPixmap>& images) { m_images = images; }
    int ImageCount() const { return int(m_images.size()); }
    // Shows image `index` of the list in the cell; -1 clears it.
    void SetItemImage(int row, int col, int index);
    int GetItemImage(int row, int col) const;

    // --- cursor and sorting marker ---
    void SetHandColumns(std::set<int> columns) { m_handColumns = std::move(columns); }
    bool IsHandColumn(int col) const { return m_handColumns.count(col) != 0; }
    void SetSortMarker(int col, bool ascending);
    int SortMarkerColumn() const;
    bool SortMarkerAscending() const;

    // --- in-place editing ---
    // Called by a click handler: whether the cell clicked may now be edited.
    void SetEditable(bool allowed) { m_editAllowed = allowed; }
    bool IsEditing() const { return m_editRow > 0; }
    // A click at (row, col) as the mouse makes it (tests and the mouse share this path).
    void ClickCell(int row, int col);
    // Ends a running edit, keeping the typed text (as Enter would).
    void CommitEdit();

  signals:
    // Every click, with row 0 for the header.
    void CellClicked(int row, int col);
    void BeginEdit(int row, int col);
    void EndEdit(int row, int col);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    QTableWidgetItem* Cell(int row, int col) const;
    QTableWidgetItem* MakeCell() const;

    CGridHeader* m_header;
    int m_rowHeight = kDefaultRowHeight;
    QFont m_cellFont;
    QColor m_cellText = Qt::black;
    int m_checkColumn = -1;
    std::vector<QPixmap> m_images;
    std::set<int> m_handColumns;
    bool m_redraw = true;
    bool m_editAllowed = false;
    int m_editRow = 0;
    int m_editCol = -1;
};
