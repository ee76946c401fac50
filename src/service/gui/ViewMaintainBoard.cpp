#include "service/gui/ViewMaintainBoard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/ChoiceList.h"
#include "service/MaintainBoard.h"
#include "ui/FormBuilder.h"
#include "ui/GridCtrl.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

constexpr const char* kEnglishColumns[] = {"No.", "Date", "Kind of Work", "Detail", "Result"};
constexpr int kWidths[] = {35, 90, 130, 150, 0};

QStringList ToQList(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const std::string& t : texts) list << ToQ(t);
    return list;
}

int IndexOf(const std::vector<std::string>& entries, const std::string& text)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace

CViewMaintainBoard::CViewMaintainBoard(QWidget* parent) : CCustomFormView(BoardText::kForm, parent)
{
    setObjectName("ViewMaintainBoard");
    auto* layout = new QVBoxLayout(this);
    grid_ = new CGridCtrl(this);
    grid_->setObjectName("BoardGrid");
    SetControlId(grid_, BoardText::kGrid);
    grid_->setAccessibleName(UiText(BoardText::kGrid, "Maintain Board"));
    const std::vector<std::string> headers =
        SplitChoiceNames(Settings().LoadText(BoardText::kColumns));
    std::vector<GridColumnSpec> columns;
    const GridCellKind kinds[] = {GridCellKind::Fixed, GridCellKind::Text, GridCellKind::DropDown,
                                  GridCellKind::DropDown, GridCellKind::DropDown};
    for (size_t c = 0; c < kColumnCount; ++c)
        columns.push_back({c < headers.size() && !headers[c].empty()
                               ? ToQ(headers[c])
                               : QString::fromUtf8(kEnglishColumns[c]),
                           kWidths[c], kinds[c]});
    grid_->SetColumns(columns);
    grid_->SetColumnChoices(kKind, ToQList(BoardListEntries(Settings(), BoardText::kKinds)));
    grid_->SetColumnChoices(kResult, ToQList(BoardListEntries(Settings(), BoardText::kResults)));
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            &CViewMaintainBoard::ShowContextMenu);
    connect(grid_, &CGridCtrl::cellCommitted, this, &CViewMaintainBoard::Commit);
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row) {
        OfferDetails(row);
        UpdateButtons();
    });
    // Room for ten rows even while the board is empty.
    grid_->setMinimumHeight(grid_->horizontalHeader()->sizeHint().height() +
                            10 * grid_->verticalHeader()->defaultSectionSize() +
                            2 * grid_->frameWidth());
    layout->addWidget(grid_, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [&](int id, const char* english) {
        auto* b = new QPushButton(UiText(id, english), this);
        SetControlId(b, id, QString::fromUtf8(english));
        buttons->addWidget(b);
        return b;
    };
    add_ = button(BoardText::kAdd, "Add");
    delete_ = button(BoardText::kDelete, "Del");
    write_ = button(BoardText::kWrite, "Write");
    print_ = button(BoardText::kPrint, "Print");
    buttons->addStretch(1);
    layout->addLayout(buttons);
    auto* note = new QLabel(this);
    note->setObjectName(QStringLiteral("BoardNote"));
    note->setWordWrap(true);
    layout->addWidget(note);
    connect(add_, &QPushButton::clicked, this, &CViewMaintainBoard::Add);
    connect(delete_, &QPushButton::clicked, this, &CViewMaintainBoard::Delete);

    TranslateDialog(this, BoardText::kForm);
    // The board stays with the data file: nothing of it goes to the radio; File > Print prints
    // it with the other categories.
    const QString notSent = UiText(BoardText::kNotSent,
                                   "The maintenance board is kept in the data file only; it is "
                                   "not written to the radio. Print it with File > Print "
                                   "(Maintenance Board).");
    // Write and Print could never be used here: they are not shown, the note says why.
    for (QPushButton* b : {write_, print_}) {
        b->setEnabled(false);
        b->setToolTip(notSent);
        b->hide();
    }
    note->setText(notSent);
    note->setAccessibleName(notSent);
    for (QPushButton* b : {add_, delete_, write_, print_})
        b->setAccessibleName(PlainCommandText(b->text()));
    Reload();
}

CViewMaintainBoard::~CViewMaintainBoard()
{
    grid_->CancelEdit();
}

BoardBytes& CViewMaintainBoard::Bytes()
{
    if (IMainShell* shell = Shell()) return shell->Document().Board();
    return ownBoard_;
}

void CViewMaintainBoard::Reload()
{
    const CMaintainBoard board(Bytes());
    const QSignalBlocker quiet(grid_);
    grid_->SetRows(static_cast<int>(board.Count()));
    for (int r = 0; r < static_cast<int>(board.Count()); ++r) FillRow(r, board);
    OfferDetails(grid_->currentRow());
    UpdateButtons();
}

void CViewMaintainBoard::FillRow(int row, const CMaintainBoard& board)
{
    const std::array<std::string, 4> texts =
        BoardRowTexts(Settings(), board.Record(static_cast<size_t>(row)));
    grid_->SetCellText(row, kNumber, QString::number(row + 1));
    for (int c = kDate; c < kColumnCount; ++c)
        grid_->SetCellText(row, c, ToQ(texts[static_cast<size_t>(c - kDate)]));
}

void CViewMaintainBoard::Store()
{
    if (grid_->OpenEditor()) grid_->CommitEdit();
}

void CViewMaintainBoard::UpdateButtons()
{
    const CMaintainBoard board(Bytes());
    add_->setEnabled(board.CanAdd());
    const int row = grid_->currentRow();
    delete_->setEnabled(row >= 0 && static_cast<size_t>(row) < board.Count());
}

void CViewMaintainBoard::OfferDetails(int row)
{
    // The detail cells offer the details of their row's kind of work.
    const CMaintainBoard board(Bytes());
    QStringList details;
    if (row >= 0 && static_cast<size_t>(row) < board.Count())
        for (const auto& [value, text] :
             BoardDetails(Settings(), board.Record(static_cast<size_t>(row)).kind))
            details << ToQ(text);
    grid_->SetColumnChoices(kDetail, details);
}

void CViewMaintainBoard::Add()
{
    CMaintainBoard board(Bytes());
    if (!board.Add(TodayBoardRecord())) return;
    Bytes() = board.Bytes();
    Reload();
    const QSignalBlocker quiet(grid_);
    grid_->setCurrentCell(static_cast<int>(board.Count()) - 1, kDate);
    OfferDetails(grid_->currentRow());
    UpdateButtons();
}

void CViewMaintainBoard::Delete()
{
    CMaintainBoard board(Bytes());
    const int row = grid_->currentRow();
    grid_->CancelEdit();
    if (row < 0 || !board.Delete(static_cast<size_t>(row))) return;
    Bytes() = board.Bytes();
    Reload();
    const QSignalBlocker quiet(grid_);
    if (board.Count() > 0)
        grid_->setCurrentCell(std::min(row, static_cast<int>(board.Count()) - 1), kDate);
    OfferDetails(grid_->currentRow());
    UpdateButtons();
}

void CViewMaintainBoard::Commit(int row, int column)
{
    CMaintainBoard board(Bytes());
    if (row < 0 || static_cast<size_t>(row) >= board.Count()) return;
    BoardRecord record = board.Record(static_cast<size_t>(row));
    const std::array<std::string, 4> shown = BoardRowTexts(Settings(), record);
    const std::string typed = FromQ(grid_->CellText(row, column));
    if (column < kDate || typed == shown[static_cast<size_t>(column - kDate)]) return;

    switch (column) {
        case kDate:
            if (!ParseBoardDate(typed, record))
                Prompt().Show(this,
                              UiMessage(BoardText::kBadDate,
                                        "The date is not valid. Type it as year-month-day, "
                                        "for example 2009-03-14, between 2000 and 2255."),
                              CPrompt::Icon::Warning);
            break;
        case kKind:
            if (const int kind = IndexOf(BoardListEntries(Settings(), BoardText::kKinds), typed);
                kind >= 0 && kind != record.kind) {
                record.kind = static_cast<uint8_t>(kind);
                // Another kind of work has its own details: the first one is taken.
                const auto details = BoardDetails(Settings(), kind);
                record.detail = details.empty() ? 0 : static_cast<uint8_t>(details.front().first);
            }
            break;
        case kDetail:
            for (const auto& [value, text] : BoardDetails(Settings(), record.kind))
                if (text == typed) record.detail = static_cast<uint8_t>(value);
            break;
        case kResult:
            if (const int result =
                    IndexOf(BoardListEntries(Settings(), BoardText::kResults), typed);
                result >= 0)
                record.result = static_cast<uint8_t>(result);
            break;
        default:
            break;
    }
    board.SetRecord(static_cast<size_t>(row), record);
    Bytes() = board.Bytes();
    const QSignalBlocker quiet(grid_);
    FillRow(row, board);
    OfferDetails(row);
}

void CViewMaintainBoard::ShowContextMenu(const QPoint& at)
{
    if (const QModelIndex index = grid_->indexAt(at); index.isValid())
        grid_->setCurrentCell(index.row(), index.column());
    QMenu menu(this);
    QAction* add = menu.addAction(UiText(BoardText::kMenu, "Add New Record"));
    QAction* del = menu.addAction(UiText(BoardText::kMenuDelete, "Delete"));
    add->setEnabled(add_->isEnabled());
    del->setEnabled(delete_->isEnabled());
    QAction* chosen = menu.exec(grid_->viewport()->mapToGlobal(at));
    if (chosen == add) Add();
    if (chosen == del) Delete();
}

}  // namespace rv
