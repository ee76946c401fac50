#include "service/gui/ViewDataWatch.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/CommandIds.h"
#include "data/RadioData.h"
#include "ui/FormBuilder.h"
#include "ui/GuiCommands.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Background of a changed byte.
const QColor kChangedColour(0, 255, 0);
/// Widths of the header column and of the data columns at the least.
constexpr int kHeaderWidth = 66;
constexpr int kDataWidth = 26;

/// A core text with its "\r\n" line breaks as Qt shows them.
QString Lines(const std::string& text)
{
    return ToQ(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

CDataWatchView::CDataWatchView(QWidget* parent) : CCustomFormView(DataWatchText::kForm, parent)
{
    setObjectName("DataWatchView");
    auto* layout = new QHBoxLayout(this);

    table_ = new QTableWidget(CDataWatch::kRows, CDataWatch::kColumns, this);
    SetControlId(table_, DataWatchText::kTable);
    table_->setAccessibleName(UiText(DataWatchText::kTable, "Data Watch"));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(table_->font());
    table_->setColumnWidth(0, std::max(kHeaderWidth, metrics.horizontalAdvance("F:07F_") + 14));
    for (int c = 1; c < CDataWatch::kColumns; ++c)
        table_->setColumnWidth(c, std::max(kDataWidth, metrics.horizontalAdvance("FF") + 12));
    table_->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
    // The table is as wide as its columns; the log beside it takes the rest.
    table_->setFixedWidth(table_->columnWidth(0) + 16 * table_->columnWidth(1) +
                          table_->verticalScrollBar()->sizeHint().width() +
                          2 * table_->frameWidth());
    connect(table_, &QTableWidget::cellClicked, this, &CDataWatchView::OnCellClicked);
    layout->addWidget(table_);

    auto* side = new QVBoxLayout;
    auto* logLabel = new QLabel(UiText(DataWatchText::kLogLabel, "Changed Bytes"), this);
    SetControlId(logLabel, DataWatchText::kLogLabel, QStringLiteral("Changed Bytes"));
    log_ = new QListWidget(this);
    SetControlId(log_, DataWatchText::kLog);
    log_->setAccessibleName(logLabel->text());
    logLabel->setBuddy(log_);
    log_->setFont(table_->font());
    connect(log_, &QListWidget::currentRowChanged, this, &CDataWatchView::ShowEntry);
    detail_ = new QPlainTextEdit(this);
    SetControlId(detail_, DataWatchText::kDetail);
    detail_->setReadOnly(true);
    detail_->setLineWrapMode(QPlainTextEdit::NoWrap);  // one line per value, scrolled when long
    detail_->setFont(table_->font());
    detail_->setAccessibleName(UiText(DataWatchText::kDetailName, "Details of the change"));
    detail_->setMaximumHeight(metrics.height() * 5);
    clear_ = new QPushButton(UiText(DataWatchText::kClear, "Clear"), this);
    SetControlId(clear_, DataWatchText::kClear, QStringLiteral("Clear"));
    connect(clear_, &QPushButton::clicked, this, &CDataWatchView::Clear);
    side->addWidget(logLabel);
    side->addWidget(log_, 1);
    side->addWidget(detail_);
    side->addWidget(clear_);
    layout->addLayout(side, 1);

    watch_.Open(Radio().MemoryImage());
    Fill();
    TranslateDialog(this, DataWatchText::kForm);
    clear_->setAccessibleName(PlainCommandText(clear_->text()));
}

void CDataWatchView::Fill()
{
    const std::string corner = TextOr(Settings().LoadText(DataWatchText::kCorner), "Addr");
    const QBrush fixed = palette().button();
    for (int r = 0; r < CDataWatch::kRows; ++r)
        for (int c = 0; c < CDataWatch::kColumns; ++c) {
            auto* item = new QTableWidgetItem(ToQ(watch_.CellText(r, c, corner)));
            item->setTextAlignment(Qt::AlignCenter);
            if (r == 0 || c == 0) {
                item->setBackground(fixed);
                item->setFlags(Qt::ItemIsEnabled);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            table_->setItem(r, c, item);
        }
}

void CDataWatchView::Compare()
{
    const size_t first = watch_.Entries().size();
    watch_.Compare(Radio().MemoryImage());
    const auto& entries = watch_.Entries();
    for (size_t i = first; i < entries.size(); ++i) {
        const WatchEntry& e = entries[i];
        if (QTableWidgetItem* item = table_->item(e.row, e.column)) {
            item->setText(ToQ(watch_.CellText(e.row, e.column, {})));
            item->setBackground(kChangedColour);
        }
        log_->addItem(ToQ(e.line));
    }
    // The newest change is shown as if it had been chosen.
    if (entries.size() > first) log_->setCurrentRow(static_cast<int>(entries.size()) - 1);
    table_->viewport()->update();
}

void CDataWatchView::Clear()
{
    for (const WatchEntry& e : watch_.Entries())
        if (QTableWidgetItem* item = table_->item(e.row, e.column)) item->setBackground(QBrush());
    watch_.Clear();
    const QSignalBlocker quiet(log_);
    log_->clear();
    detail_->clear();
}

void CDataWatchView::ShowEntry(int line)
{
    const auto& entries = watch_.Entries();
    if (line < 0 || static_cast<size_t>(line) >= entries.size()) return;
    if (!CDataWatch::LineShowsEntry(static_cast<size_t>(line))) {
        // Beyond the lines that show their entry: the detail box shows no other line's entry.
        detail_->clear();
        return;
    }
    const WatchEntry& e = entries[static_cast<size_t>(line)];
    {
        const QSignalBlocker quiet(table_);
        table_->setCurrentCell(e.row, e.column);
    }
    table_->scrollToItem(table_->item(e.row, e.column));
    detail_->setPlainText(Lines(
        e.Detail(TextOr(Settings().LoadText(DataWatchText::kDecimalLabel), "Decimal:"),
                 TextOr(Settings().LoadText(DataWatchText::kBinaryLabel), "Binary:"))));
    table_->viewport()->update();
}

void CDataWatchView::OnCellClicked(int row, int column)
{
    const std::optional<size_t> line = watch_.FindLine(row, column);
    // Choosing a cell selects its log line; the detail box stays as it is.
    const QSignalBlocker quiet(log_);
    if (line) {
        log_->setCurrentRow(static_cast<int>(*line));
    } else {
        log_->setCurrentRow(-1);
        log_->clearSelection();
    }
}

bool CompareOpenDataWatch(IMainShell& shell)
{
    auto* view = qobject_cast<CDataWatchView*>(shell.FindView(Id(Command::DataWatch)));
    if (!view) return false;
    view->Compare();
    shell.ActivateView(view);
    return true;
}

}  // namespace rv
