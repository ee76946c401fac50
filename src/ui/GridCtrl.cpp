#include "ui/GridCtrl.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace rv {

namespace {

/// Item data role holding a cell's kind.
constexpr int kKindRole = Qt::UserRole + 1;
/// Editor property set once the editor has been committed and closed (a drop-down closes
/// itself when an entry is picked; the focus loss that follows must not commit it again).
constexpr const char* kDoneProperty = "rvGridEditorDone";
/// Height of a row: room for a drop-down editor.
constexpr int kRowHeight = 24;
/// Room beside a header text (margins and the section's frame).
constexpr int kHeaderPadding = 16;

}  // namespace

// ---- CGridDelegate ----

CGridDelegate::CGridDelegate(CGridCtrl* grid) : QStyledItemDelegate(grid), grid_(grid) {}

QWidget* CGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                     const QModelIndex& index) const
{
    const GridCellKind kind = grid_->CellKind(index.row(), index.column());
    switch (kind) {
        case GridCellKind::Fixed:
        case GridCellKind::Check:
            return nullptr;
        case GridCellKind::Text: {
            auto* edit = new QLineEdit(parent);
            edit->setFrame(false);
            return edit;
        }
        case GridCellKind::Frequency: {
            auto* edit = new QLineEdit(parent);
            edit->setFrame(false);
            edit->setMaxLength(CGridCtrl::kFrequencyMaxLength);
            // Digits and the decimal point only; backspace and the editing keys still work.
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9.]*")), edit));
            return edit;
        }
        case GridCellKind::DropDown:
        case GridCellKind::EditableDropDown: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(kind == GridCellKind::EditableDropDown);
            combo->setInsertPolicy(QComboBox::NoInsert);
            // Starting an edit fills the choices.
            combo->addItems(grid_->CellChoices(index.row(), index.column()));
            auto* self = const_cast<CGridDelegate*>(this);
            // Picking an entry commits the cell at once.
            connect(combo, &QComboBox::activated, self, [self, combo] {
                if (combo->property(kDoneProperty).toBool()) return;
                combo->setProperty(kDoneProperty, true);
                emit self->commitData(combo);
                emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
            });
            return combo;
        }
    }
    return nullptr;
}

void CGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int at = combo->findText(text, Qt::MatchExactly);
        if (at >= 0)
            combo->setCurrentIndex(at);
        else if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(-1);
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
        edit->selectAll();
    }
}

void CGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const
{
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // A drop-down without a pick keeps the cell as it was.
        if (!combo->isEditable() && combo->currentIndex() < 0) return;
        text = combo->currentText();
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        text = edit->text();
    } else {
        return;
    }
    if (grid_->CellKind(index.row(), index.column()) == GridCellKind::Frequency)
        text = grid_->NormalizeFrequency(text.trimmed());
    model->setData(index, text, Qt::EditRole);
    grid_->NoteCommit(index);
}

void CGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    if (grid_->CellKind(index.row(), index.column()) != GridCellKind::Check) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    QStyleOptionViewItem box = cell;
    const QSize indicator(style->pixelMetric(QStyle::PM_IndicatorWidth, &box, cell.widget),
                          style->pixelMetric(QStyle::PM_IndicatorHeight, &box, cell.widget));
    box.rect = QStyle::alignedRect(cell.direction, Qt::AlignCenter, indicator, cell.rect);
    box.state = (box.state & ~QStyle::State_HasFocus) |
                (index.data(Qt::EditRole).toString() == QStringLiteral("1") ? QStyle::State_On
                                                                            : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, cell.widget);
}

bool CGridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (grid_->CellKind(index.row(), index.column()) == GridCellKind::Check) {
        const bool click = event->type() == QEvent::MouseButtonRelease &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        const bool space = event->type() == QEvent::KeyPress &&
                           static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
        if (click || space) {
            grid_->ToggleCheck(index.row(), index.column());
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

// ---- CGridCtrl ----

CGridCtrl::CGridCtrl(QWidget* parent) : QTableWidget(parent)
{
    setItemDelegate(new CGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    // Scrolled by pixels, the scroll bar's thumb stands for the part of the columns shown; by
    // whole columns its position said little (the grid opened scrolled by a column, the thumb
    // at the right, and the stretched last column jumped back to the left edge).
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    setWordWrap(false);
}

void CGridCtrl::showEvent(QShowEvent* event)
{
    QTableWidget::showEvent(event);
    QMetaObject::invokeMethod(
        this,
        [this] {
            horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
            if (currentIndex().isValid()) scrollTo(currentIndex());
        },
        Qt::QueuedConnection);
}

QSize CGridCtrl::sizeHint() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    if (verticalHeader()->isVisible()) width += verticalHeader()->width();
    for (int c = 0; c < columnCount(); ++c) width += columnWidth(c);
    int height = 2 * frameWidth() + horizontalScrollBar()->sizeHint().height();
    if (horizontalHeader()->isVisible()) height += horizontalHeader()->sizeHint().height();
    for (int r = 0; r < rowCount(); ++r) height += rowHeight(r);
    return {width, height};
}

void CGridCtrl::SetColumns(const std::vector<GridColumnSpec>& columns)
{
    CancelEdit();
    columns_ = columns;
    choices_.clear();
    setRowCount(0);
    setColumnCount(static_cast<int>(columns.size()));
    QStringList headers;
    for (const GridColumnSpec& c : columns) headers << c.header;
    setHorizontalHeaderLabels(headers);
    // A column is at least as wide as its header text.
    const QFontMetrics metrics(horizontalHeader()->font());
    for (int c = 0; c < static_cast<int>(columns.size()); ++c)
        if (columns[c].width > 0)
            setColumnWidth(c, std::max(columns[c].width,
                                       metrics.horizontalAdvance(columns[c].header) +
                                           kHeaderPadding));
    horizontalHeader()->setStretchLastSection(!columns.empty() && columns.back().width == 0);
}

void CGridCtrl::SetRows(int count)
{
    CancelEdit();
    const int before = rowCount();
    setRowCount(count);
    for (int r = before; r < count; ++r)
        for (int c = 0; c < columnCount(); ++c) Paint(Item(r, c), columns_[c].kind);
}

QTableWidgetItem* CGridCtrl::Item(int row, int column)
{
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, column, it);
    }
    return it;
}

QString CGridCtrl::CellText(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void CGridCtrl::SetCellText(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
    Item(row, column)->setText(text);
}

GridCellKind CGridCtrl::CellKind(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    if (!it) return GridCellKind::Fixed;
    return static_cast<GridCellKind>(it->data(kKindRole).toInt());
}

void CGridCtrl::SetCellKind(int row, int column, GridCellKind kind)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
    Paint(Item(row, column), kind);
}

void CGridCtrl::Paint(QTableWidgetItem* item, GridCellKind kind)
{
    item->setData(kKindRole, static_cast<int>(kind));
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (kind != GridCellKind::Fixed && kind != GridCellKind::Check) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    item->setBackground(palette().brush(kind == GridCellKind::Fixed ? QPalette::Button
                                                                    : QPalette::Base));
    // A fixed cell's text is dimmed: it cannot be edited in this row.
    item->setForeground(kind == GridCellKind::Fixed
                            ? palette().brush(QPalette::Disabled, QPalette::Text)
                            : palette().brush(QPalette::Active, QPalette::Text));
}

void CGridCtrl::SetColumnChoices(int column, const QStringList& choices)
{
    choices_[column] = choices;
}

QStringList CGridCtrl::CellChoices(int, int column) const
{
    auto it = choices_.find(column);
    return it == choices_.end() ? QStringList() : it->second;
}

void CGridCtrl::SetFrequencyRule(std::function<QString(const QString&)> rule)
{
    frequencyRule_ = std::move(rule);
}

QString CGridCtrl::NormalizeFrequency(const QString& text) const
{
    return frequencyRule_ ? frequencyRule_(text) : text;
}

bool CGridCtrl::EditCell(int row, int column)
{
    if (CellKind(row, column) == GridCellKind::Fixed) return false;
    const QModelIndex index = model()->index(row, column);
    setCurrentIndex(index);
    edit(index);
    return OpenEditor() != nullptr;
}

QWidget* CGridCtrl::OpenEditor() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? indexWidget(index) : nullptr;
}

void CGridCtrl::CancelEdit()
{
    if (QWidget* editor = OpenEditor()) {
        editor->setProperty(kDoneProperty, true);
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
    pendingCommit_ = QPersistentModelIndex();
}

void CGridCtrl::CommitEdit()
{
    QWidget* editor = OpenEditor();
    if (!editor || editor->property(kDoneProperty).toBool()) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CGridCtrl::ToggleCheck(int row, int column)
{
    if (CellKind(row, column) != GridCellKind::Check) return;
    SetCellText(row, column,
                CellText(row, column) == QStringLiteral("1") ? QStringLiteral("0")
                                                             : QStringLiteral("1"));
    emit cellCommitted(row, column);
}

void CGridCtrl::NoteCommit(const QModelIndex& index)
{
    pendingCommit_ = index;
}

void CGridCtrl::FlushCommit()
{
    if (!pendingCommit_.isValid()) return;
    const int row = pendingCommit_.row();
    const int column = pendingCommit_.column();
    pendingCommit_ = QPersistentModelIndex();
    emit cellCommitted(row, column);
}

QModelIndex CGridCtrl::NextEditable(bool forward) const
{
    const int rows = rowCount();
    const int columns = columnCount();
    const QModelIndex from = currentIndex();
    if (!from.isValid() || rows == 0 || columns == 0) return {};
    int pos = from.row() * columns + from.column();
    for (int step = 1; step < rows * columns; ++step) {
        pos = forward ? pos + 1 : pos - 1;
        if (pos < 0 || pos >= rows * columns) return {};
        const int r = pos / columns;
        const int c = pos % columns;
        if (!isColumnHidden(c) && CellKind(r, c) != GridCellKind::Fixed)
            return model()->index(r, c);
    }
    return {};
}

void CGridCtrl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor) editor->setProperty(kDoneProperty, true);
    const bool move = hint == QAbstractItemDelegate::EditNextItem ||
                      hint == QAbstractItemDelegate::EditPreviousItem;
    QTableWidget::closeEditor(editor, move ? QAbstractItemDelegate::NoHint : hint);
    // The row is written back (and may be refilled and re-typed) before the next cell opens.
    FlushCommit();
    if (!move) return;
    const QModelIndex next = NextEditable(hint == QAbstractItemDelegate::EditNextItem);
    if (!next.isValid()) return;
    setCurrentIndex(next);
    edit(next);
}

}  // namespace rv
