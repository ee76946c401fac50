#include "shell/DlgModelInfo.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Document.h"
#include "ui/GuiCommands.h"
#include "shell/MainFrame.h"
#include "base/Settings.h"
#include "ui/ComboHelpers.h"
#include "ui/QtText.h"

namespace rv {

CDlgModelInfo::CDlgModelInfo(const ModelIdentity& current, QWidget* parent)
    : QDialog(parent), modelId_(current.id)
{
    setObjectName("DlgModelInfo");
    setWindowTitle(UiText(ModelInfoText::kCaption, "Model Information"));
    setMinimumWidth(360);

    names_ = new QComboBox(this);
    names_->setObjectName("modelName");
    ranges_ = new QComboBox(this);
    ranges_->setObjectName("freqRange");
    signals_ = new QComboBox(this);
    signals_->setObjectName("signaling");
    for (QComboBox* combo : {names_, ranges_, signals_}) combo->setMinimumContentsLength(14);

    for (const std::string& name : ModelCatalog().AllModelNames()) names_->addItem(ToQ(name));
    names_->setCurrentIndex(names_->findText(ToQ(current.name)));
    FillRanges(current.id);
    ranges_->setCurrentIndex(ranges_->findText(ToQ(current.range)));
    FillComboBox(signals_, ModelInfoText::kSignalList);
    signals_->setCurrentIndex(
        signals_->findText(ToQ(Settings().GetChoiceText(ModelInfoText::kSignalList, current.signal))));
    signals_->setEnabled(Settings().HideValue(ModelInfoText::kSignalList) == 0);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setVerticalSpacing(8);
    form->addRow(UiText(ModelInfoText::kNameLabel, "Model Name"), names_);
    form->addRow(UiText(ModelInfoText::kRangeLabel, "Frequency Range[MHz]"), ranges_);
    form->addRow(UiText(ModelInfoText::kSignalLabel, "Signaling"), signals_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(UiText(ShellText::kOk, "OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(UiText(ShellText::kCancel, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    connect(names_, &QComboBox::textActivated, this, &CDlgModelInfo::PickName);
    connect(ranges_, &QComboBox::currentIndexChanged, this, &CDlgModelInfo::UpdateOk);
    UpdateOk();
}

void CDlgModelInfo::FillRanges(const std::string& modelId)
{
    ranges_->clear();
    for (const RangeEntry& entry : ModelCatalog().RangeEntries(modelId))
        ranges_->addItem(ToQ(entry.text), static_cast<int>(entry.bandCode));
}

void CDlgModelInfo::PickName(const QString& name)
{
    if (names_->currentText() != name) names_->setCurrentIndex(names_->findText(name));
    const std::string id = ModelCatalog().FindModelIdByName(FromQ(name));
    // Another name of the same model changes only the name; another model offers its ranges.
    if (!id.empty() && id != modelId_) {
        modelId_ = id;
        FillRanges(id);
        ranges_->setCurrentIndex(ranges_->count() > 0 ? 0 : -1);
    }
    ApplySignalRule();
    UpdateOk();
}

void CDlgModelInfo::ApplySignalRule()
{
    signals_->setEnabled(Settings().HideValue(ModelInfoText::kSignalList) == 0);
    const int entry = CModelCatalog::SignalEntryFor(modelId_);
    if (entry >= 0 && entry < signals_->count()) signals_->setCurrentIndex(entry);
}

void CDlgModelInfo::UpdateOk()
{
    // A model without a chosen range would name no default set.
    ok_->setEnabled(names_->currentIndex() >= 0 && ranges_->currentIndex() >= 0);
}

ModelIdentity CDlgModelInfo::Chosen() const
{
    ModelIdentity chosen;
    chosen.id = modelId_;
    chosen.name = FromQ(names_->currentText());
    chosen.range = FromQ(ranges_->currentText());
    chosen.signal = ComboValue(signals_, 0);
    return chosen;
}

void RunModelInformation(IMainShell& shell, CQTXDoc& document)
{
    const ModelIdentity current = CModelCatalog::CurrentIdentity();
    CDlgModelInfo dialog(current, shell.Window());
    if (dialog.exec() != QDialog::Accepted) return;
    ModelIdentity chosen = dialog.Chosen();
    // The signalling list may offer no entry for the current value: keep the value then.
    if (dialog.SignalList()->currentIndex() < 0) chosen.signal = current.signal;
    const auto [result, change] = document.ChangeModel(chosen);
    if (result.Ok() && change != ModelChange::None) shell.RefreshAll();
}

void RunModelInformation(IMainShell& shell)
{
    RunModelInformation(shell, shell.Document());
}

}  // namespace rv
