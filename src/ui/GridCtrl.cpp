#include "ui/GridCtrl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <algorithm>
#include <utility>

#include "ui/DecimalInput.h"

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
            // Digits and the decimal mark only; backspace and the editing keys still work.
            edit->setValidator(NewDecimalValidator(edit));
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
    if (grid_->CellKind(index.row(), index.column()) == GridCellKind::Frequency) {
        grid_->SetRuleCell(index);
        text = grid_->NormalizeFrequency(text.trimmed());
        grid_->SetRuleCell({});
    }
    model->setData(index, text, Qt::EditRole);
    grid_->NoteCommit(index);
}

void CGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    editor->setGeometry(option.rect);
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setMinimumWidth(0);
        combo->setMaximumWidth(option.rect.width());
        // The list opens at least as wide as the column, wider when an entry needs it.
        combo->view()->setMinimumWidth(std::max(
            option.rect.width(), combo->view()->sizeHintForColumn(0) +
                                     combo->view()->verticalScrollBar()->sizeHint().width()));
    }
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
    setSelectionMode(QAbstractItemView::ExtendedSelection);
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
    // A click on a header selects its column.
    horizontalHeader()->setSectionsClickable(true);
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

// ---- selection, copy, paste, fill, clear ----

QRect CGridCtrl::SelectionRect() const
{
    QRect rect;
    for (const QTableWidgetSelectionRange& range : selectedRanges())
        rect = rect.united(QRect(QPoint(range.leftColumn(), range.topRow()),
                                 QPoint(range.rightColumn(), range.bottomRow())));
    if (rect.isNull() && currentIndex().isValid())
        rect = QRect(currentIndex().column(), currentIndex().row(), 1, 1);
    return rect;
}

std::vector<int> CGridCtrl::VisibleColumns(int from, int to) const
{
    std::vector<int> out;
    for (int c = std::max(from, 0); c <= to && c < columnCount(); ++c)
        if (!isColumnHidden(c)) out.push_back(c);
    return out;
}

QString CGridCtrl::SelectionText() const
{
    const QRect rect = SelectionRect();
    if (rect.isNull()) return {};
    const std::vector<int> columns = VisibleColumns(rect.left(), rect.right());
    QStringList lines;
    for (int r = rect.top(); r <= rect.bottom(); ++r) {
        QStringList cells;
        for (int c : columns) {
            // A tab or line break inside a cell would split it on the way back.
            QString text = CellText(r, c);
            text.replace(QLatin1Char('\t'), QLatin1Char(' '));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            cells << text;
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool CGridCtrl::CanCopy() const
{
    return !SelectionRect().isNull() && rowCount() > 0;
}

bool CGridCtrl::CanChange() const
{
    const QRect rect = SelectionRect();
    if (rect.isNull()) return false;
    for (int r = rect.top(); r <= rect.bottom(); ++r)
        for (int c : VisibleColumns(rect.left(), rect.right()))
            if (c < static_cast<int>(columns_.size()) && columns_[c].kind != GridCellKind::Fixed)
                return true;
    return false;
}

bool CGridCtrl::Copy()
{
    CommitEdit();
    const QString text = SelectionText();
    if (text.isEmpty()) return false;
    QApplication::clipboard()->setText(text);
    return true;
}

int CGridCtrl::Paste()
{
    return PasteText(QApplication::clipboard()->text());
}

int CGridCtrl::PasteText(const QString& text)
{
    CommitEdit();
    const QRect rect = SelectionRect();
    if (rect.isNull() || text.isEmpty()) return 0;
    QString body = text;
    body.remove(QLatin1Char('\r'));
    if (body.endsWith(QLatin1Char('\n'))) body.chop(1);
    std::vector<QStringList> rows;
    for (const QString& line : body.split(QLatin1Char('\n')))
        rows.push_back(line.split(QLatin1Char('\t')));
    std::map<std::pair<int, int>, QString> texts;
    const std::vector<int> all = VisibleColumns(rect.left(), columnCount() - 1);
    if (rows.size() == 1 && rows[0].size() == 1) {
        // One value fills the whole selection, as a spreadsheet does.
        const bool single = rect.width() * rect.height() == 1;
        for (int r = rect.top(); r <= rect.bottom(); ++r)
            for (int c : VisibleColumns(rect.left(), rect.right()))
                if (single || (item(r, c) && item(r, c)->isSelected())) texts[{r, c}] = rows[0][0];
    } else {
        for (size_t i = 0; i < rows.size(); ++i) {
            const int r = rect.top() + static_cast<int>(i);
            if (r >= rowCount()) break;
            for (int k = 0; k < rows[i].size() && k < static_cast<int>(all.size()); ++k)
                texts[{r, all[static_cast<size_t>(k)]}] = rows[i][k];
        }
    }
    return ApplyTexts(texts);
}

int CGridCtrl::FillDown()
{
    CommitEdit();
    QRect rect = SelectionRect();
    if (rect.isNull()) return 0;
    // One row selected: it takes the row above it.
    if (rect.height() == 1) {
        if (rect.top() == 0) return 0;
        rect.setTop(rect.top() - 1);
    }
    std::map<std::pair<int, int>, QString> texts;
    for (int c : VisibleColumns(rect.left(), rect.right()))
        for (int r = rect.top() + 1; r <= rect.bottom(); ++r)
            texts[{r, c}] = CellText(rect.top(), c);
    return ApplyTexts(texts);
}

int CGridCtrl::ClearSelectedCells()
{
    CommitEdit();
    const QRect rect = SelectionRect();
    if (rect.isNull()) return 0;
    std::map<std::pair<int, int>, QString> texts;
    for (int r = rect.top(); r <= rect.bottom(); ++r)
        for (int c : VisibleColumns(rect.left(), rect.right())) {
            const QTableWidgetItem* it = item(r, c);
            if (!it || (!it->isSelected() && rect.width() * rect.height() > 1)) continue;
            const GridCellKind kind = CellKind(r, c);
            if (kind == GridCellKind::Fixed) continue;
            texts[{r, c}] = kind == GridCellKind::Check ? QStringLiteral("0") : QString();
        }
    return ApplyTexts(texts);
}

std::optional<QString> CGridCtrl::Accepted(int row, int column, const QString& pasted)
{
    const QString text = pasted.trimmed();
    switch (CellKind(row, column)) {
        case GridCellKind::Fixed:
            return std::nullopt;
        case GridCellKind::Text:
        case GridCellKind::EditableDropDown:
            return text;
        case GridCellKind::Frequency: {
            for (QChar ch : text)
                if (!ch.isDigit() && ch != QLatin1Char('.') && ch != QLatin1Char(','))
                    return std::nullopt;  // a comma is a decimal mark, as a point is
            ruleCell_ = model()->index(row, column);
            const QString stored = NormalizeFrequency(text);
            ruleCell_ = QPersistentModelIndex();
            return stored;
        }
        case GridCellKind::DropDown:
            if (text.isEmpty() || !CellChoices(row, column).contains(text)) return std::nullopt;
            return text;
        case GridCellKind::Check: {
            bool number = false;
            const int value = text.toInt(&number);
            if (!number) return std::nullopt;
            return value != 0 ? QStringLiteral("1") : QStringLiteral("0");
        }
    }
    return std::nullopt;
}

int CGridCtrl::ApplyTexts(const std::map<std::pair<int, int>, QString>& texts)
{
    if (texts.empty()) return 0;
    emit editBatchStarted();
    int taken = 0;
    QList<QPoint> refused;
    std::map<int, std::vector<std::pair<int, QString>>> byRow;
    for (const auto& [cell, text] : texts) byRow[cell.first].push_back({cell.second, text});
    for (auto& [row, cells] : byRow) {
        // The second pass takes the cells that the first commit of the row made editable.
        std::vector<std::pair<int, QString>> later;
        for (int pass = 0; pass < 2 && !cells.empty(); ++pass) {
            later.clear();
            int changed = -1;
            for (const auto& [column, text] : cells) {
                if (row >= rowCount()) break;
                const std::optional<QString> stored = Accepted(row, column, text);
                if (!stored) {
                    later.push_back({column, text});
                    continue;
                }
                ++taken;
                if (*stored == CellText(row, column)) continue;
                SetCellText(row, column, *stored);
                if (changed < 0) changed = column;
            }
            if (changed < 0) break;
            emit cellCommitted(row, changed);
            cells = later;
        }
        // A text an open cell would not take (not one of its entries, no number) is told of;
        // cells that take no text at all are passed over without a word.
        for (const auto& [column, text] : later)
            if (row < rowCount() && CellKind(row, column) != GridCellKind::Fixed)
                refused.push_back(QPoint(column, row));
    }
    if (!refused.isEmpty()) emit textsRefused(static_cast<int>(refused.size()), refused);
    emit editBatchFinished();
    return taken;
}

void CGridCtrl::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid() ||
        index.column() != rowHeaderColumn_) {
        if (index.isValid()) anchorRow_ = index.row();
        QTableWidget::mousePressEvent(event);
        return;
    }
    CommitEdit();
    const int row = index.row();
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && anchorRow_ >= 0;
    const bool add = event->modifiers() & Qt::ControlModifier;
    const int first = extend ? std::min(anchorRow_, row) : row;
    const int last = extend ? std::max(anchorRow_, row) : row;
    if (!extend) anchorRow_ = row;
    const QItemSelection rows(model()->index(first, 0), model()->index(last, columnCount() - 1));
    // The current cell moves to the row (its channel becomes current), the selection is rows.
    setCurrentIndex(model()->index(row, std::max(currentColumn(), 0)));
    selectionModel()->select(
        rows, add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
}

namespace {

/// What a key does in the grid when no cell editor is open.
enum class GridKey : uint8_t { None, Copy, Cut, Paste, FillDown, Clear };

/// The grid's command for a key. The Edit menu's own keys come first: on X11 the platform's
/// Delete sequence includes Ctrl+D, which is Fill Down here and must never clear cells.
GridKey GridKeyOf(QKeyEvent* key)
{
    const int combination = key->keyCombination().toCombined();
    static constexpr std::pair<QKeyCombination, GridKey> kMenuKeys[] = {
        {QKeyCombination(Qt::ControlModifier, Qt::Key_D), GridKey::FillDown},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_X), GridKey::Cut},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_C), GridKey::Copy},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_V), GridKey::Paste},
    };
    for (const auto& [keys, command] : kMenuKeys)
        if (combination == keys.toCombined()) return command;
    if (key->matches(QKeySequence::Copy)) return GridKey::Copy;
    if (key->matches(QKeySequence::Cut)) return GridKey::Cut;
    if (key->matches(QKeySequence::Paste)) return GridKey::Paste;
    if (key->matches(QKeySequence::Delete)) return GridKey::Clear;
    return GridKey::None;
}

}  // namespace

bool CGridCtrl::event(QEvent* e)
{
    // The grid's keys reach the grid, not the menu entries' shortcuts.
    if (e->type() == QEvent::ShortcutOverride && !OpenEditor() &&
        GridKeyOf(static_cast<QKeyEvent*>(e)) != GridKey::None) {
        e->accept();
        return true;
    }
    return QTableWidget::event(e);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event)
{
    if (!OpenEditor()) {
        switch (GridKeyOf(event)) {
            case GridKey::Copy:
                Copy();
                return;
            case GridKey::Cut:
                if (Copy()) ClearSelectedCells();
                return;
            case GridKey::Paste:
                Paste();
                return;
            case GridKey::FillDown:
                FillDown();
                return;
            case GridKey::Clear:
                ClearSelectedCells();
                return;
            case GridKey::None:
                break;
        }
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace rv
