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

protected:
    /// Once the window is laid out, shows the grid from its first column (the current cell
    /// kept in view): scrolled to while the window was still small, it opened scrolled.
    void showEvent(QShowEvent* event) override;
    /// Closes the editor, reports a committed cell, then moves on for Tab and Backtab.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QTableWidgetItem* Item(int row, int column);
    void Paint(QTableWidgetItem* item, GridCellKind kind);
    void FlushCommit();
    /// The next (forward) or previous editable cell from the current one.
    QModelIndex NextEditable(bool forward) const;

    std::vector<GridColumnSpec> columns_;
    std::map<int, QStringList> choices_;
    std::function<QString(const QString&)> frequencyRule_;
    QPersistentModelIndex pendingCommit_;
};

}  // namespace rv
