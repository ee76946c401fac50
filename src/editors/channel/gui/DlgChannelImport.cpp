#include "editors/channel/gui/DlgChannelImport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "ui/QtText.h"

namespace rv {

namespace {

void AddRow(QTableWidget& table, const QString& result, const CsvNote& note)
{
    const int row = table.rowCount();
    table.insertRow(row);
    auto* kind = new QTableWidgetItem(result);
    auto* text = new QTableWidgetItem(ToQ(CsvNoteText(note)));
    kind->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    text->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    text->setToolTip(text->text());
    table.setItem(row, 0, kind);
    table.setItem(row, 1, text);
}

/// The problems of a row as one text.
QString ReasonText(const CsvRow& row)
{
    QStringList parts;
    for (const CsvNote& n : row.problems) parts << ToQ(CsvNoteText(n));
    return parts.join(QStringLiteral("; "));
}

}  // namespace

CDlgChannelImport::CDlgChannelImport(std::string bytes, const QString& file, QWidget* parent)
    : QDialog(parent), bytes_(std::move(bytes)), file_(file)
{
    setObjectName("DlgChannelImport");
    setWindowTitle(UiText(kTitle, "Import Channels"));

    summary_ = new QLabel(this);
    summary_->setObjectName("Summary");
    summary_->setWordWrap(true);

    auto* rowsLabel = new QLabel(UiText(kRowsLabel, "Rows of the file:"), this);
    rows_ = new QTableWidget(0, kRowColumns, this);
    rows_->setObjectName("Rows");
    rows_->setAccessibleName(QString(rowsLabel->text()).remove(QLatin1Char(':')));
    rowsLabel->setBuddy(rows_);
    rows_->setHorizontalHeaderLabels(
        {UiText(kTakeColumn, "Take"), UiText(kLineColumn, "Line"),
         UiText(kLocationColumn, "Location"), UiText(kNameColumn, "Name"),
         UiText(kFrequencyColumn, "Frequency"), UiText(kModeColumn, "Mode"),
         UiText(kReasonColumn, "Does not fit because")});
    rows_->verticalHeader()->setVisible(false);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    rows_->horizontalHeader()->setSectionResizeMode(Reason, QHeaderView::Stretch);

    fit_ = new QCheckBox(
        UiText(kFitChoice, "Store fitted values (band edge, step raster) and list each change"),
        this);
    fit_->setObjectName("Fit");
    fit_->setAccessibleName(fit_->text());

    auto* changesLabel = new QLabel(UiText(kChangesLabel, "What the import does:"), this);
    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName("Changes");
    changesLabel->setBuddy(table_);
    table_->setHorizontalHeaderLabels(
        {UiText(kResultColumn, "Result"), UiText(kDetailsColumn, "Details")});
    table_->setAccessibleName(UiText(kDetailsColumn, "Details"));
    table_->verticalHeader()->setVisible(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(true);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(this);
    apply_ = buttons->addButton(UiText(kApply, "&Apply"), QDialogButtonBox::AcceptRole);
    apply_->setObjectName("Apply");
    apply_->setAccessibleName(PlainCommandText(apply_->text()));
    cancel_ =
        buttons->addButton(UiText(ShellText::kCancel, "Cancel"), QDialogButtonBox::RejectRole);
    cancel_->setObjectName("Cancel");
    cancel_->setAccessibleName(cancel_->text());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(rowsLabel);
    layout->addWidget(rows_, 1);
    layout->addWidget(fit_);
    layout->addWidget(changesLabel);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(900, 600);

    FillRows();
    connect(rows_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && item->column() == Take) Replan();
    });
    connect(fit_, &QCheckBox::toggled, this, [this] {
        UpdateRowStates();
        Replan();
    });
}

void CDlgChannelImport::FillRows()
{
    // The whole file, planned once, gives every row and why it does not fit.
    const ChannelImport whole = PlanChannelImport(bytes_, Radio(), CurrentBandLimits(), Settings());
    fileRows_ = whole.rows;
    filling_ = true;
    rows_->setRowCount(static_cast<int>(fileRows_.size()));
    size_t ticked = 0;
    for (int r = 0; r < rows_->rowCount(); ++r) {
        const CsvRow& row = fileRows_[static_cast<size_t>(r)];
        auto* take = new QTableWidgetItem();
        const bool tick = row.Fits() && ticked < CChannelData::kSlots;
        ticked += tick ? 1 : 0;
        take->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
        take->setData(Qt::AccessibleTextRole, UiText(kTakeColumn, "Take"));
        rows_->setItem(r, Take, take);
        const QString texts[] = {QString::number(row.line),
                                 QString::number(row.location),
                                 ToQ(row.name),
                                 ToQ(row.frequency),
                                 ToQ(row.mode),
                                 ReasonText(row)};
        for (int c = Line; c < kRowColumns; ++c) {
            auto* item = new QTableWidgetItem(texts[c - Line]);
            item->setToolTip(texts[Reason - Line]);
            rows_->setItem(r, c, item);
        }
    }
    filling_ = false;
    UpdateRowStates();
    Replan();
}

void CDlgChannelImport::UpdateRowStates()
{
    filling_ = true;
    const bool fit = fit_->isChecked();
    size_t ticked = 0;
    for (int r = 0; r < rows_->rowCount(); ++r)
        if (rows_->item(r, Take)->checkState() == Qt::Checked) ++ticked;
    for (int r = 0; r < rows_->rowCount(); ++r) {
        const CsvRow& row = fileRows_[static_cast<size_t>(r)];
        const bool fits = row.FitsWith(fit);
        // Rows that fit once fitted values are stored are ticked as they become available,
        // while the radio has channels left for them.
        QTableWidgetItem* take = rows_->item(r, Take);
        if (fit && fits && !row.Fits() && take->checkState() != Qt::Checked &&
            ticked < CChannelData::kSlots) {
            take->setCheckState(Qt::Checked);
            ++ticked;
        }
        for (int c = 0; c < kRowColumns; ++c) {
            QTableWidgetItem* item = rows_->item(r, c);
            Qt::ItemFlags flags = Qt::ItemIsSelectable;
            if (fits) flags |= Qt::ItemIsEnabled;
            if (c == Take) flags |= Qt::ItemIsUserCheckable;
            item->setFlags(flags);
            if (c == Take && !fits) item->setCheckState(Qt::Unchecked);
        }
    }
    filling_ = false;
}

void CDlgChannelImport::Replan()
{
    CsvImportOptions options;
    options.fit = fit_->isChecked();
    options.rows.emplace();
    for (int r = 0; r < rows_->rowCount(); ++r)
        if (rows_->item(r, Take)->checkState() == Qt::Checked)
            options.rows->push_back(fileRows_[static_cast<size_t>(r)].location);
    // A file that could not be read as rows is shown with its own problems.
    const bool fileRead = !fileRows_.empty();
    if (!fileRead) options = {};
    plan_ = PlanChannelImport(bytes_, Radio(), CurrentBandLimits(), Settings(), options);

    const bool noneTicked = fileRead && options.rows->empty();
    QString summary = file_ + QStringLiteral("\n");
    if (noneTicked)
        summary +=
            UiText(kSummaryNoneTicked, "No row is ticked: tick the rows to import (at most %1).")
                .arg(CChannelData::kSlots);
    else if (plan_.Ok() && plan_.fitted.empty())
        summary += UiText(kSummaryOk,
                          "Rows ticked: %1 of %2. Apply replaces the channels of the open "
                          "configuration with the ticked rows.")
                       .arg(plan_.records.size())
                       .arg(fileRows_.size());
    else if (plan_.Ok() && plan_.fitted.size() == 1)
        summary += UiText(kSummaryOkOneChange,
                          "Rows ticked: %1 of %2; the channel rules change 1 value (listed "
                          "below). Apply replaces the channels of the open configuration with "
                          "the ticked rows.")
                       .arg(plan_.records.size())
                       .arg(fileRows_.size());
    else if (plan_.Ok())
        summary += UiText(kSummaryOkChanges,
                          "Rows ticked: %1 of %2; the channel rules change %3 values (listed "
                          "below). Apply replaces the channels of the open configuration with "
                          "the ticked rows.")
                       .arg(plan_.records.size())
                       .arg(fileRows_.size())
                       .arg(plan_.fitted.size());
    else if (fileRead && plan_.errors.size() == 1)
        summary += UiText(kSummaryRowsRefusedOne,
                          "The ticked rows cannot be imported (1 problem, listed below): "
                          "nothing can be applied. Untick the rows it names, tick at most %1 "
                          "rows, or store fitted values.")
                       .arg(CChannelData::kSlots);
    else if (fileRead)
        summary += UiText(kSummaryRowsRefused,
                          "The ticked rows cannot be imported (%1 problems, listed below): "
                          "nothing can be applied. Untick them, tick at most %2 rows, or store "
                          "fitted values.")
                       .arg(plan_.errors.size())
                       .arg(CChannelData::kSlots);
    else if (plan_.errors.size() == 1)
        summary += UiText(kSummaryRefusedOne,
                          "The file is refused (1 problem, listed below): nothing can be "
                          "applied. Mend the row named below and import again.");
    else
        summary += UiText(kSummaryRefused,
                          "The file is refused (%1 problems, listed below): nothing can be "
                          "applied. Mend the rows named below and import again.")
                       .arg(plan_.errors.size());
    summary_->setText(summary);
    summary_->setAccessibleName(summary);

    table_->setRowCount(0);
    const QString refused = UiText(kRefused, "Refused");
    for (const CsvNote& n : plan_.errors)
        if (!noneTicked) AddRow(*table_, refused, n);
    for (const CsvNote& n : plan_.fitted) AddRow(*table_, UiText(kChanged, "Changed"), n);
    for (const CsvNote& n : plan_.notices) AddRow(*table_, UiText(kNotice, "Notice"), n);
    for (const CsvNote& n : plan_.references) AddRow(*table_, UiText(kReference, "Reference"), n);

    apply_->setEnabled(plan_.Ok() && !plan_.records.empty());
    apply_->setDefault(apply_->isEnabled());
    cancel_->setDefault(!apply_->isEnabled());
}

}  // namespace rv
