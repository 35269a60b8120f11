#include "ui/controls/CGridCtrl.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kDataRole = Qt::UserRole;

// Pictures sit in the middle of their cell; texts are never read as markup (the item views
// draw plain text anyway).
class CGridDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->decorationAlignment = Qt::AlignCenter;
        if (option->text.isEmpty() && !option->icon.isNull()) {
            option->decorationSize = option->rect.size().boundedTo(
                index.data(Qt::DecorationRole).value<QPixmap>().size());
        }
        // No focus frame or selection colour: the pages show state through colours.
        option->state &= ~(QStyle::State_HasFocus | QStyle::State_Selected);
    }
};

}  // namespace

// ---- header ----

CGridHeader::CGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(true);
    setSectionResizeMode(QHeaderView::Fixed);
    setDefaultAlignment(Qt::AlignCenter);
}

void CGridHeader::SetHeaderChecked(bool on) {
    m_checked = on;
    viewport()->update();
}

void CGridHeader::SetColors(const QColor& text, const QColor& back) {
    m_text = text;
    m_back = back;
    viewport()->update();
}

void CGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    painter->fillRect(rect, m_back);
    painter->setPen(QColor(200, 200, 200));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (logicalIndex == m_checkColumn) {
        QStyleOptionButton box;
        box.rect = QRect(0, 0, 13, 13);
        box.rect.moveCenter(rect.center());
        box.state = QStyle::State_Enabled | (m_checked ? QStyle::State_On : QStyle::State_Off);
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, this);
    } else if (const QAbstractItemModel* m = model()) {
        const QString text = m->headerData(logicalIndex, Qt::Horizontal).toString();
        const QVariant font = m->headerData(logicalIndex, Qt::Horizontal, Qt::FontRole);
        if (font.isValid()) painter->setFont(font.value<QFont>());
        painter->setPen(m_text);
        QRect textRect = rect.adjusted(2, 0, -2, 0);
        if (isSortIndicatorShown() && sortIndicatorSection() == logicalIndex) {
            // A small triangle at the right marks the sort column and its direction.
            const int cx = rect.right() - 8, cy = rect.center().y();
            QPolygon tri;
            if (sortIndicatorOrder() == Qt::AscendingOrder)
                tri << QPoint(cx - 4, cy + 2) << QPoint(cx + 4, cy + 2) << QPoint(cx, cy - 3);
            else
                tri << QPoint(cx - 4, cy - 2) << QPoint(cx + 4, cy - 2) << QPoint(cx, cy + 3);
            painter->setBrush(m_text);
            painter->drawPolygon(tri);
            textRect.adjust(0, 0, -10, 0);
        }
        painter->drawText(textRect, Qt::AlignCenter, text);
    }
    painter->restore();
}

// ---- grid ----

CGridCtrl::CGridCtrl(QWidget* parent) : QTableWidget(parent), m_header(new CGridHeader(this)) {
    setHorizontalHeader(m_header);
    // The view turns the marker off with its own sorting; the pages sort in the store instead.
    m_header->setSortIndicatorShown(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(m_rowHeight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setMouseTracking(true);
    setItemDelegate(new CGridDelegate(this));
    connect(m_header, &QHeaderView::sectionClicked, this, [this](int col) { ClickCell(0, col); });
    connect(this, &QTableWidget::cellClicked, this, [this](int r, int c) { ClickCell(r + 1, c); });
}

void CGridCtrl::SetColumns(const std::vector<QString>& captions, const std::vector<int>& widths) {
    setColumnCount(int(captions.size()));
    for (int c = 0; c < int(captions.size()); ++c) {
        auto* item = new QTableWidgetItem(captions[c]);
        item->setTextAlignment(Qt::AlignCenter);
        setHorizontalHeaderItem(c, item);
        if (c < int(widths.size())) setColumnWidth(c, widths[c]);
    }
}

void CGridCtrl::SetRowHeight(int pixels) {
    m_rowHeight = pixels;
    verticalHeader()->setDefaultSectionSize(pixels);
    for (int r = 0; r < rowCount(); ++r) setRowHeight(r, pixels);
}

void CGridCtrl::SetHeaderLook(const QFont& font, const QColor& text, const QColor& back) {
    m_header->setFont(font);
    m_header->SetColors(text, back);
    for (int c = 0; c < columnCount(); ++c)
        if (QTableWidgetItem* item = horizontalHeaderItem(c)) item->setFont(font);
    m_header->setMinimumHeight(QFontMetrics(font).height() + 12);
}

void CGridCtrl::SetCellLook(const QFont& font, const QColor& text) {
    m_cellFont = font;
    m_cellText = text;
}

void CGridCtrl::SetGridColors(const QColor& background, const QColor& lines) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Window, background);
    setPalette(pal);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(lines.name()));
}

QTableWidgetItem* CGridCtrl::MakeCell() const {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFont(m_cellFont);
    item->setForeground(m_cellText);
    return item;
}

int CGridCtrl::InsertRow() {
    const int r = rowCount();
    insertRow(r);
    setRowHeight(r, m_rowHeight);
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* item = MakeCell();
        if (c == m_checkColumn) item->setData(Qt::CheckStateRole, Qt::Unchecked);
        setItem(r, c, item);
    }
    return r + 1;
}

void CGridCtrl::DeleteNonFixedRows() {
    m_editRow = 0;
    m_editCol = -1;
    setRowCount(0);
}

void CGridCtrl::SetRedraw(bool on) {
    m_redraw = on;
    setUpdatesEnabled(on);
    if (on) viewport()->update();
}

QTableWidgetItem* CGridCtrl::Cell(int row, int col) const {
    if (col < 0 || col >= columnCount()) return nullptr;
    if (row == 0) return horizontalHeaderItem(col);
    if (row < 1 || row > rowCount()) return nullptr;
    return item(row - 1, col);
}

void CGridCtrl::SetItemText(int row, int col, const QString& text) {
    if (QTableWidgetItem* c = Cell(row, col)) c->setText(text);
    if (row == 0) m_header->viewport()->update();
}

QString CGridCtrl::GetItemText(int row, int col) const {
    const QTableWidgetItem* c = Cell(row, col);
    return c ? c->text() : QString();
}

void CGridCtrl::SetItemFgColour(int row, int col, const QColor& color) {
    if (QTableWidgetItem* c = Cell(row, col)) c->setForeground(color);
}

QColor CGridCtrl::GetItemFgColour(int row, int col) const {
    const QTableWidgetItem* c = Cell(row, col);
    return c ? c->foreground().color() : QColor();
}

void CGridCtrl::SetItemBkColour(int row, int col, const QColor& color) {
    if (QTableWidgetItem* c = Cell(row, col)) c->setBackground(color);
}

void CGridCtrl::SetItemFont(int row, int col, const QFont& font) {
    if (QTableWidgetItem* c = Cell(row, col)) c->setFont(font);
}

void CGridCtrl::SetItemFormat(int row, int col, Qt::Alignment alignment) {
    if (QTableWidgetItem* c = Cell(row, col)) c->setTextAlignment(alignment);
}

void CGridCtrl::SetItemData(int row, int col, int data) {
    if (QTableWidgetItem* c = Cell(row, col)) c->setData(kDataRole, data);
}

int CGridCtrl::GetItemData(int row, int col) const {
    const QTableWidgetItem* c = Cell(row, col);
    return c ? c->data(kDataRole).toInt() : 0;
}

void CGridCtrl::SetCheckColumn(int column) {
    m_checkColumn = column;
    m_header->SetCheckColumn(column);
}

void CGridCtrl::SetCheck(int row, bool on) {
    if (m_checkColumn < 0) return;
    if (row == 0) {
        m_header->SetHeaderChecked(on);
        return;
    }
    if (QTableWidgetItem* c = Cell(row, m_checkColumn))
        c->setData(Qt::CheckStateRole, on ? Qt::Checked : Qt::Unchecked);
}

bool CGridCtrl::GetCheck(int row) const {
    if (m_checkColumn < 0) return false;
    if (row == 0) return m_header->HeaderChecked();
    const QTableWidgetItem* c = Cell(row, m_checkColumn);
    return c && c->data(Qt::CheckStateRole).toInt() == Qt::Checked;
}

void CGridCtrl::SetItemImage(int row, int col, int index) {
    QTableWidgetItem* c = Cell(row, col);
    if (!c) return;
    if (index < 0 || index >= int(m_images.size())) {
        c->setData(Qt::DecorationRole, QVariant());
        c->setData(kImageRole, -1);
        return;
    }
    c->setData(Qt::DecorationRole, m_images[index]);
    c->setData(kImageRole, index);
}

int CGridCtrl::GetItemImage(int row, int col) const {
    const QTableWidgetItem* c = Cell(row, col);
    if (!c) return -1;
    const QVariant v = c->data(kImageRole);
    return v.isValid() ? v.toInt() : -1;
}

void CGridCtrl::SetSortMarker(int col, bool ascending) {
    m_header->setSortIndicator(col, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

int CGridCtrl::SortMarkerColumn() const { return m_header->sortIndicatorSection(); }

bool CGridCtrl::SortMarkerAscending() const {
    return m_header->sortIndicatorOrder() == Qt::AscendingOrder;
}

void CGridCtrl::ClickCell(int row, int col) {
    if (row < 0 || row > rowCount() || col < 0 || col >= columnCount()) return;
    if (IsEditing()) CommitEdit();
    m_editAllowed = false;
    emit CellClicked(row, col);
    if (!m_editAllowed || row == 0) return;
    m_editAllowed = false;
    QTableWidgetItem* c = Cell(row, col);
    if (!c) return;
    m_editRow = row;
    m_editCol = col;
    emit BeginEdit(row, col);
    c->setFlags(c->flags() | Qt::ItemIsEditable);
    editItem(c);
}

void CGridCtrl::CommitEdit() {
    if (!IsEditing()) return;
    // The delegate's editor is the one shown line edit inside the viewport.
    for (QLineEdit* editor : viewport()->findChildren<QLineEdit*>()) {
        if (editor->isHidden()) continue;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        return;
    }
}

void CGridCtrl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableWidget::closeEditor(editor, hint);
    if (!IsEditing()) return;
    const int row = m_editRow, col = m_editCol;
    m_editRow = 0;
    m_editCol = -1;
    if (QTableWidgetItem* c = Cell(row, col)) c->setFlags(c->flags() & ~Qt::ItemIsEditable);
    emit EndEdit(row, col);
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    viewport()->setCursor(index.isValid() && IsHandColumn(index.column()) ? Qt::PointingHandCursor
                                                                          : Qt::ArrowCursor);
    QTableWidget::mouseMoveEvent(event);
}
