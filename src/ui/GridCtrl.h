#pragma once
// A grid of typed cells for the list editors: each cell is fixed (shown only), free text, a
// frequency in MHz, a drop-down list or a drop-down list that also takes typed text. Editable
// cells are painted with the window background, fixed ones with the button face. An edit is
// committed on Enter, Tab or when the cell loses the focus and cancelled by Escape; after each
// committed edit the grid reports the cell (cellCommitted), so the view can write the row back.

#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace rv {

/// How a grid cell is edited.
enum class GridCellKind {
    Fixed,             ///< shown only
    Text,              ///< free text
    Frequency,         ///< MHz text: only digits and '.' can be typed
    DropDown,          ///< one entry of the cell's choices
    EditableDropDown,  ///< one entry of the cell's choices or typed text
    Check,             ///< "1" or "0" shown as a check box; a click or Space toggles it
};

/// One column of a grid.
struct GridColumnSpec {
    QString header;     ///< header text
    int width = 0;      ///< width in pixels; 0 = the rest of the grid (last column)
    GridCellKind kind;  ///< kind of the column's cells until a row sets another
};

class CGridCtrl;

/// Makes the editor of a cell from the cell's kind and writes the edited text back.
class CGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    /// The delegate of grid (which owns it).
    explicit CGridDelegate(CGridCtrl* grid);
    /// A line edit (text, frequency) or a drop-down for the cell's kind; none for fixed cells.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    /// Puts the cell's text into the editor (a drop-down selects the entry showing it).
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    /// Stores the editor's text (a frequency through the grid's rule) and notes the commit.
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    /// A drop-down editor takes the whole cell and lists its entries at least as wide as the
    /// column.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    /// A check cell is drawn as a check box instead of its "1" or "0".
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    /// A click on a check cell or Space toggles it (the commit is reported).
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    CGridCtrl* grid_;
};

class CGridCtrl : public QTableWidget {
    Q_OBJECT
public:
    /// Most characters a frequency cell takes ("446.00625").
    static constexpr int kFrequencyMaxLength = 9;

    /// An empty grid without a row header.
    explicit CGridCtrl(QWidget* parent = nullptr);

    /// Sets the columns (headers, widths, default cell kinds); the rows are emptied.
    void SetColumns(const std::vector<GridColumnSpec>& columns);
    /// Sets the number of rows; new cells are empty and of their column's kind.
    void SetRows(int count);
    /// Text of a cell ("" outside the grid).
    QString CellText(int row, int column) const;
    /// Sets the text of a cell (no commit is reported).
    void SetCellText(int row, int column, const QString& text);
    /// Kind of a cell (Fixed outside the grid).
    GridCellKind CellKind(int row, int column) const;
    /// Sets the kind of a cell and paints it accordingly.
    void SetCellKind(int row, int column, GridCellKind kind);
    /// Choices the drop-down cells of a column offer.
    void SetColumnChoices(int column, const QStringList& choices);
    /// Choices of a cell (its column's).
    QStringList CellChoices(int row, int column) const;
    /// Rule that rewrites a committed frequency text (conversion, range, raster); without one
    /// the text is kept as typed.
    void SetFrequencyRule(std::function<QString(const QString&)> rule);
    /// The text a frequency cell stores for the typed text.
    QString NormalizeFrequency(const QString& text) const;
    /// The cell whose text the frequency rule is converting (the edited or pasted cell).
    QModelIndex RuleCell() const
    {
        return ruleCell_.isValid() ? QModelIndex(ruleCell_) : currentIndex();
    }
    /// Used by the delegate: the cell the next NormalizeFrequency is for.
    void SetRuleCell(const QModelIndex& index) { ruleCell_ = index; }

    // Spreadsheet-like editing. The selection is cells, ranges, whole rows (a click on the
    // row-header column) or whole columns (a click on a header). Pasted, filled and cleared
    // texts go through the same rules as typed ones and are reported as row commits between
    // editBatchStarted and editBatchFinished.

    /// Column whose clicks select whole rows (-1: none).
    void SetRowHeaderColumn(int column) { rowHeaderColumn_ = column; }
    /// Cells of the selection (or the current cell) as tab-separated lines; hidden columns
    /// are left out. "" when nothing is selected.
    QString SelectionText() const;
    /// Copies SelectionText to the clipboard; false when nothing is selected.
    bool Copy();
    /// Pastes tab-separated text at the top-left cell of the selection; a single value fills
    /// every selected cell. Fixed cells, cells outside the grid and drop-down texts that are
    /// not among the cell's choices are left as they are. Returns the number of cells that
    /// took a text.
    int PasteText(const QString& text);
    /// PasteText of the clipboard's text.
    int Paste();
    /// Copies the top row of the selection into the selected rows below it (one selected row:
    /// the row above it into it). Returns the number of cells that took a text.
    int FillDown();
    /// Empties the editable cells of the selection (a check cell is unchecked).
    int ClearSelectedCells();
    /// True when there is a selection or current cell to copy.
    bool CanCopy() const;
    /// True when the selection holds an editable cell (paste, fill, clear may change it).
    bool CanChange() const;
    /// Opens the editor of a cell (when the cell is editable); true when one was opened.
    bool EditCell(int row, int column);
    /// The open cell editor, nullptr when none.
    QWidget* OpenEditor() const;
    /// Closes an open editor without storing its text.
    void CancelEdit();
    /// Stores the text of an open editor and closes it (the commit is reported).
    void CommitEdit();

    /// Room for every column and row, so that a window opens showing the whole grid.
    QSize sizeHint() const override;

    /// Used by the delegate: remembers that a cell's text was stored by an editor.
    void NoteCommit(const QModelIndex& index);
    /// Turns a check cell from "1" to "0" or back and reports the commit.
    void ToggleCheck(int row, int column);

signals:
    /// An edit of a cell was committed (its text has been stored in the grid).
    void cellCommitted(int row, int column);
    /// A paste, fill or clear begins (its row commits follow) and ends.
    void editBatchStarted();
    void editBatchFinished();
    /// Pasted or filled texts that open cells would not take (left as they were): how many, and
    /// the cells (x the column, y the row).
    void textsRefused(int count, const QList<QPoint>& cells);

protected:
    /// Once the window is laid out, shows the grid from its first column (the current cell
    /// kept in view): scrolled to while the window was still small, it opened scrolled.
    void showEvent(QShowEvent* event) override;
    /// Closes the editor, reports a committed cell, then moves on for Tab and Backtab.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    /// A click on the row-header column selects rows (Shift: a range, Ctrl: one more).
    void mousePressEvent(QMouseEvent* event) override;
    /// Copy, Cut, Paste, Fill Down (Ctrl+D) and Delete on the selection.
    void keyPressEvent(QKeyEvent* event) override;
    /// The grid's editing keys are the grid's while no cell editor is open.
    bool event(QEvent* event) override;

private:
    QTableWidgetItem* Item(int row, int column);
    void Paint(QTableWidgetItem* item, GridCellKind kind);
    void FlushCommit();
    /// The next (forward) or previous editable cell from the current one.
    QModelIndex NextEditable(bool forward) const;
    /// Bounding rectangle of the selection (or the current cell); empty when none.
    QRect SelectionRect() const;
    /// Visible columns from column `from` on.
    std::vector<int> VisibleColumns(int from, int to) const;
    /// Puts the texts into their cells and reports each changed row: first the cells
    /// editable now, then the cells that the row's first commit made editable (a tone after
    /// its type). Returns the number of cells that took a text.
    int ApplyTexts(const std::map<std::pair<int, int>, QString>& texts);
    /// The text a cell stores for a pasted text; nothing when the cell refuses it.
    std::optional<QString> Accepted(int row, int column, const QString& text);

    std::vector<GridColumnSpec> columns_;
    std::map<int, QStringList> choices_;
    std::function<QString(const QString&)> frequencyRule_;
    QPersistentModelIndex pendingCommit_;
    QPersistentModelIndex ruleCell_;
    int rowHeaderColumn_ = -1;
    int anchorRow_ = -1;
};

}  // namespace rv
