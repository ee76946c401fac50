#include "editors/channel/gui/DlgChannelImport.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/Settings.h"
#include "ui/QtText.h"

namespace rv {

namespace {

void AddRow(QTableWidget& table, const QString& result, const CsvNote& note)
{
    const int row = table.rowCount();
    table.insertRow(row);
    auto* kind = new QTableWidgetItem(result);
    auto* text = new QTableWidgetItem(ToQ(Settings().LoadMessage(note.message, note.args)));
    kind->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    text->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    text->setToolTip(text->text());
    table.setItem(row, 0, kind);
    table.setItem(row, 1, text);
}

}  // namespace

CDlgChannelImport::CDlgChannelImport(const ChannelImport& plan, const QString& file,
                                     QWidget* parent)
    : QDialog(parent)
{
    setObjectName("DlgChannelImport");
    setWindowTitle(UiText(kTitle, "Import Channels"));

    summary_ = new QLabel(this);
    summary_->setObjectName("Summary");
    summary_->setWordWrap(true);
    QString summary = file + QStringLiteral("\n");
    if (plan.Ok())
        summary += UiText(kSummaryOk,
                          "%1 channel rows read; the channel rules changed %2 values (listed "
                          "below). Apply replaces the channels of the open configuration.")
                       .arg(plan.records.size())
                       .arg(plan.fitted.size());
    else if (plan.errors.size() == 1)
        summary += UiText(kSummaryRefusedOne,
                          "The file is refused (1 problem, listed below): nothing can be "
                          "applied. Mend the row named below and import again.");
    else
        summary += UiText(kSummaryRefused,
                          "The file is refused (%1 problems, listed below): nothing can be "
                          "applied. Mend the rows named below and import again.")
                       .arg(plan.errors.size());
    summary_->setText(summary);
    summary_->setAccessibleName(summary);

    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName("Changes");
    table_->setHorizontalHeaderLabels(
        {UiText(kResultColumn, "Result"), UiText(kDetailsColumn, "Details")});
    table_->setAccessibleName(UiText(kDetailsColumn, "Details"));
    table_->verticalHeader()->setVisible(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(true);
    const QString refused = UiText(kRefused, "Refused");
    const QString changed = UiText(kChanged, "Changed");
    for (const CsvNote& n : plan.errors) AddRow(*table_, refused, n);
    for (const CsvNote& n : plan.fitted) AddRow(*table_, changed, n);
    const QString reference = UiText(kReference, "Reference");
    for (const CsvNote& n : plan.references) AddRow(*table_, reference, n);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(this);
    apply_ = buttons->addButton(UiText(kApply, "&Apply"), QDialogButtonBox::AcceptRole);
    apply_->setObjectName("Apply");
    apply_->setAccessibleName(QString(apply_->text()).remove(QLatin1Char('&')));
    apply_->setEnabled(plan.Ok() && !plan.records.empty());
    cancel_ =
        buttons->addButton(UiText(ShellText::kCancel, "Cancel"), QDialogButtonBox::RejectRole);
    cancel_->setObjectName("Cancel");
    cancel_->setAccessibleName(cancel_->text());
    if (apply_->isEnabled())
        apply_->setDefault(true);
    else
        cancel_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(760, 420);
}

}  // namespace rv
