#include "editors/channel/gui/ViewChannelList.h"

#include <QRegularExpression>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/CommandIds.h"
#include "base/NumberText.h"
#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/Document.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelAlias.h"
#include "editors/channel/ChannelCommands.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/channel/FrequencyText.h"
#include "editors/channel/gui/PageChanBasic.h"
#include "ui/FormBuilder.h"
#include "ui/GridCtrl.h"
#include "ui/GuiCommands.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Messages: pasted texts that their cells would not take: one ("%s" the cell), several ("%d"
/// how many, "%s" the cells).
constexpr int kMsgPasteRefusedOne = 3300;
constexpr int kMsgPasteRefusedMany = 3301;
/// Most cells a paste message names; "..." stands for the rest.
constexpr int kNamedCells = 4;

constexpr size_t kAliasColumn = static_cast<size_t>(ChannelColumn::Alias);

/// Column headers when the language file has no text for them.
constexpr const char* kEnglishHeaders[kChannelGridColumns] = {
    "No.",      "Alias",        "RX Freq[MHz]", "RX Type",   "RX CTCSS",
    "RX CDCSS", "TX Freq[MHz]", "TX Type",      "TX CTCSS",  "TX CDCSS",
    "Spacing",  "Power",        "Personality",  "Scan List", "Auto Start Scan",
};

GridCellKind ToGridKind(CellKind kind)
{
    switch (kind) {
        case CellKind::Fixed:
            return GridCellKind::Fixed;
        case CellKind::Text:
            return GridCellKind::Text;
        case CellKind::Frequency:
            return GridCellKind::Frequency;
        case CellKind::DropDown:
            return GridCellKind::DropDown;
        case CellKind::EditableDropDown:
            return GridCellKind::EditableDropDown;
    }
    return GridCellKind::Fixed;
}

/// The grid kind of a cell of column: Auto Start Scan, a yes/no value, is a check box.
GridCellKind ToGridKind(size_t column, CellKind kind)
{
    if (column == static_cast<size_t>(ChannelColumn::AutoStartScan) && kind == CellKind::Text)
        return GridCellKind::Check;
    return ToGridKind(kind);
}

}  // namespace

CViewChannelList::CViewChannelList(QWidget* parent) : CRecordListView(kFormId, parent)
{
    setObjectName("ViewChannelList");
    auto* layout = new QVBoxLayout(this);
    grid_ = new CGridCtrl(this);
    grid_->setObjectName("ChannelGrid");
    SetControlId(grid_, kChannelGridId);
    layout->addWidget(grid_);

    std::vector<GridColumnSpec> columns;
    for (size_t c = 0; c < kChannelGridColumns; ++c)
        columns.push_back({ToQ(TextOr(ChannelColumnHeader(c), kEnglishHeaders[c])),
                           kChannelGridLayout[c].width, ToGridKind(c, kChannelGridLayout[c].kind)});
    grid_->SetColumns(columns);
    if (QTableWidgetItem* alias =
            grid_->horizontalHeaderItem(static_cast<int>(ChannelColumn::Alias)))
        alias->setToolTip(UiText(kAliasNoteText,
                                 "The alias is saved in the data file, never sent to the radio."));
    // The scan list column would only ever be empty: the channel record keeps no scan list.
    grid_->setColumnHidden(static_cast<int>(ChannelColumn::ScanList), true);
    for (size_t c = 0; c < kChannelGridColumns; ++c) {
        QStringList choices;
        for (const std::string& text : ChannelCellChoices(c)) choices << ToQ(text);
        grid_->SetColumnChoices(static_cast<int>(c), choices);
    }
    grid_->SetFrequencyRule([this](const QString& text) {
        // A cell committed as it stands is no edit: a frequency from a radio or a file keeps
        // its value even when it lies off the grid's raster or outside the band.
        const QModelIndex at = grid_->RuleCell();
        if (at.isValid() && text == grid_->CellText(at.row(), at.column())) return text;
        const BandLimits band = CurrentBandLimits();
        const FrequencyEntry entry = CommitFrequencyCell(FromQ(text), band);
        if (at.isValid()) {
            const QTableWidgetItem* header = grid_->horizontalHeaderItem(at.column());
            ReportFrequencyChange(QStringLiteral("%1 %2, %3")
                                      .arg(UiText(Id(Command::Channel), "Channel"))
                                      .arg(at.row() + 1)
                                      .arg(header ? header->text() : QString()),
                                  text, entry, band);
        }
        return ToQ(entry.text);
    });
    connect(grid_, &CGridCtrl::cellCommitted, this, [this](int row, int) { CommitRow(row); });
    // A paste, fill or clear is one undo step however many rows it commits.
    grid_->SetRowHeaderColumn(static_cast<int>(ChannelColumn::Number));
    connect(grid_, &CGridCtrl::editBatchStarted, this, [] {
        if (IMainShell* shell = Shell()) shell->Document().BeginUndoGroup();
    });
    connect(grid_, &CGridCtrl::editBatchFinished, this, [] {
        if (IMainShell* shell = Shell()) shell->Document().EndUndoGroup();
    });
    connect(grid_, &CGridCtrl::textsRefused, this, [this](int count, const QList<QPoint>& at) {
        IMainShell* shell = Shell();
        if (!shell) return;
        // Each cell as the frequency messages name it: "Channel 2, RX Freq[MHz]".
        QStringList cells;
        for (const QPoint& cell : at.mid(0, kNamedCells)) {
            const QTableWidgetItem* header = grid_->horizontalHeaderItem(cell.x());
            cells << QStringLiteral("%1 %2, %3")
                         .arg(UiText(Id(Command::Channel), "Channel"))
                         .arg(cell.y() + 1)
                         .arg(header ? header->text() : QString());
        }
        if (at.size() > kNamedCells) cells << QStringLiteral("...");
        const std::string text = CountText(
            TextOr(Settings().LoadMessage(kMsgPasteRefusedOne),
                   "1 pasted value did not fit its cell (%s) and was left out; the cell keeps "
                   "its value."),
            TextOr(Settings().LoadMessage(kMsgPasteRefusedMany),
                   "%d pasted values did not fit their cells (%s) and were left out; those "
                   "cells keep their values."),
            count);
        shell->LogEvent(PlainCommandText(UiText(Id(Command::Paste), "Paste")),
                        ToQ(FormatTextString(text, FromQ(cells.join(QStringLiteral("; "))))));
    });
    // Clicking a cell makes that row's channel current.
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) lastRow_ = row;
        SetCurrentId(row >= 0 && static_cast<size_t>(row) < ItemCount()
                         ? ItemIdAt(static_cast<size_t>(row))
                         : 0);
        CNavigationBar::RefreshAll();
    });

    const ListCommandResult opened = OpenChannelList(this);
    if (opened.notice)
        QMetaObject::invokeMethod(
            this, [this, n = *opened.notice] { RaiseNotice(n); }, Qt::QueuedConnection);
    ShowIndex(opened.current);
}

void CViewChannelList::showEvent(QShowEvent* event)
{
    CCustomFormView::showEvent(event);
    // The view is opened from the menu: its window is named after the form.
    SetFrameTitle(UiText(kFormId, "Channel List"));
}

CViewChannelList::~CViewChannelList()
{
    // A cell being edited is dropped: the window is going and nobody hears the notice.
    grid_->CancelEdit();
}

CChannelData* CViewChannelList::Current() const
{
    return CurrentId() ? Radio().FindChannel(CurrentId()) : nullptr;
}

size_t CViewChannelList::ItemCount() const
{
    return Radio().Channels().size();
}

uint32_t CViewChannelList::ItemIdAt(size_t index) const
{
    return Radio().Channels()[index]->id_;
}

size_t CViewChannelList::NumberOf(uint32_t id) const
{
    return Radio().ChannelNumberOf(id);
}

ListCommandResult CViewChannelList::Run(ListCommand command, std::optional<size_t> current,
                                        int number)
{
    return RunChannelCommand(command, current, number, SingleItemDelete::NoCurrent, this);
}

void CViewChannelList::WriteBackShown()
{
    grid_->CommitEdit();
}

void CViewChannelList::ShowIndex(std::optional<size_t> index)
{
    SetCurrentId(index && *index < ItemCount() ? ItemIdAt(*index) : 0);
    if (index) lastRow_ = static_cast<int>(*index);
    Fill();
}

void CViewChannelList::Fill()
{
    const QSignalBlocker block(grid_);
    const auto& channels = Radio().Channels();
    grid_->SetRows(static_cast<int>(channels.size()));
    for (int r = 0; r < static_cast<int>(channels.size()); ++r) FillRow(r);
    SelectCurrent();
}

void CViewChannelList::FillRow(int row)
{
    CChannelData& channel = *Radio().Channels()[static_cast<size_t>(row)];
    ChannelGridRow cells = FillChannelRow(channel, static_cast<size_t>(row) + 1);
    cells.cells[kAliasColumn] = FromQ(ChannelAlias(channel.id_));
    for (size_t c = 0; c < kChannelGridColumns; ++c) {
        grid_->SetCellText(row, static_cast<int>(c), ToQ(cells.cells[c]));
        grid_->SetCellKind(row, static_cast<int>(c), ToGridKind(c, cells.kinds[c]));
    }
    // The alias cells say, as the sheet's alias box does, that the alias stays in the data file.
    if (QTableWidgetItem* alias = grid_->item(row, static_cast<int>(kAliasColumn)))
        alias->setToolTip(UiText(kAliasNoteText,
                                 "The alias is saved in the data file, never sent to the radio."));
}

void CViewChannelList::SelectCurrent()
{
    const QSignalBlocker block(grid_);
    const int number = CurrentRecord();
    if (number > 0) {
        const int column = std::max(grid_->currentColumn(), 1);
        grid_->setCurrentCell(number - 1, column);
    } else {
        grid_->setCurrentCell(-1, -1);
        grid_->clearSelection();
    }
    CNavigationBar::RefreshAll();
}

void CViewChannelList::CommitRow(int row)
{
    auto& channels = Radio().Channels();
    if (row < 0 || static_cast<size_t>(row) >= channels.size()) return;
    CChannelData& channel = *channels[static_cast<size_t>(row)];
    ChannelGridRow cells;
    for (size_t c = 0; c < kChannelGridColumns; ++c)
        cells.cells[c] = FromQ(grid_->CellText(row, static_cast<int>(c)));
    const NoticeRecord notice =
        CommitChannelRow(channel, cells, static_cast<size_t>(row) + 1, CurrentBandLimits(), this);
    cells.cells[kAliasColumn] = FitChannelAlias(cells.cells[kAliasColumn]);
    SetChannelAlias(channel.id_, ToQ(cells.cells[kAliasColumn]));
    for (size_t c = 0; c < kChannelGridColumns; ++c) {
        grid_->SetCellText(row, static_cast<int>(c), ToQ(cells.cells[c]));
        grid_->SetCellKind(row, static_cast<int>(c), ToGridKind(c, cells.kinds[c]));
    }
    RaiseNotice(notice);
}

void CViewChannelList::Reload()
{
    // The channel may be gone (new data): the one in its row takes its place.
    if (CurrentId() && !Current())
        SetCurrentId(lastRow_ >= 0 && static_cast<size_t>(lastRow_) < ItemCount()
                         ? ItemIdAt(static_cast<size_t>(lastRow_))
                         : 0);
    Fill();
}

void CViewChannelList::Store()
{
    WriteBackShown();
}

void CViewChannelList::OnNotice(const NoticeRecord& notice)
{
    switch (notice.code) {
        case NoticeCode::FieldCommitted:
        case NoticeCode::Added:
        case NoticeCode::Deleted:
        case NoticeCode::RowCommitted:
        case NoticeCode::UsedChanged:
            if (CurrentId() && !Current()) SetCurrentId(0);
            Fill();
            break;
        default:
            break;
    }
}

}  // namespace rv
