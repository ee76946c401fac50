#pragma once
// The maintenance board: the service log of the radio in a grid of dated rows (kind of work,
// detail, result) with Add and Del. The board is kept with the document and saved in the data
// file; it never goes to the radio, so Write and Print are shown disabled with a tool tip that
// says so.

#include "data/Document.h"
#include "ui/CustomFormView.h"

class QPushButton;

namespace rv {

class CGridCtrl;
class CMaintainBoard;

class CViewMaintainBoard : public CCustomFormView {
    Q_OBJECT
public:
    /// Grid columns: row number, date, kind, detail, result.
    enum Column { kNumber = 0, kDate, kKind, kDetail, kResult, kColumnCount };

    explicit CViewMaintainBoard(QWidget* parent = nullptr);
    ~CViewMaintainBoard() override;

    /// Fills the grid from the board and re-evaluates Add and Del.
    void Reload() override;
    void Store() override;

    /// Appends a record dated today (nothing when the board is full).
    void Add();
    /// Removes the record of the current row (nothing without one).
    void Delete();

    CGridCtrl* Grid() const { return grid_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* WriteButton() const { return write_; }
    QPushButton* PrintButton() const { return print_; }

private:
    /// The document's board bytes (a board of the view's own without a main window).
    BoardBytes& Bytes();
    void FillRow(int row, const CMaintainBoard& board);
    void Commit(int row, int column);
    void OfferDetails(int row);
    void UpdateButtons();
    void ShowContextMenu(const QPoint& at);

    CGridCtrl* grid_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* print_ = nullptr;
    BoardBytes ownBoard_{};
};

}  // namespace rv
