#include "editors/personality/gui/PagePersonalitySignal.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

#include "data/RadioData.h"
#include "editors/common/FieldNotice.h"
#include "ui/ComboHelpers.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Widest the page's form grows.
constexpr int kFormMaxWidth = 520;

constexpr FormRow kRows[] = {
    {2401, ControlKind::Label, "RX Optional Signaling"},
    {kRxOptionalSignallingId, ControlKind::Combo, ""},
    {2403, ControlKind::Label, "RX Signaling System"},
    {kRxSignallingSystemId, ControlKind::Combo, ""},
    {2406, ControlKind::Label, "TX Optional Signaling"},
    {kTxSignallingList, ControlKind::Combo, ""},
    {2408, ControlKind::Label, "TX Signaling System"},
    {kTxSignallingSystemId, ControlKind::Combo, ""},
    {2412, ControlKind::Label, "Signaling Decode Condition"},
    {kDecodeConditionId, ControlKind::Combo, ""},
};

}  // namespace

CPersonalitySignalPage::CPersonalitySignalPage(QWidget* parent) : QWidget(parent)
{
    setObjectName("PagePersonalitySignal");
    SetControlId(this, kPersonalitySignalPageId);
    // The form keeps a readable width in a wide window.
    auto* outer = new QHBoxLayout(this);
    auto* content = new QWidget(this);
    content->setMaximumWidth(kFormMaxWidth);
    outer->addWidget(content);
    outer->addStretch(1);
    controls_ = BuildForm(content, kPersonalitySignalPageId, kRows);
    content->layout()->setContentsMargins(0, 0, 0, 0);
    // Only the transmit signalling is kept in the personality record: the other boxes show
    // their setting but take no input, and the signalling system boxes, which would only ever
    // be empty, are left out.
    for (int id : {kRxOptionalSignallingId, kRxSignallingSystemId, kTxSignallingSystemId,
                   kDecodeConditionId})
        Control(id)->setEnabled(false);
    for (int id : {kRxSignallingSystemId, kTxSignallingSystemId}) {
        Control(id)->hide();
        if (QLabel* label = controls_.LabelOf(id)) label->hide();
    }
    connect(controls_.Get<QComboBox>(kTxSignallingList), &QComboBox::activated, this, [this] {
        if (loading_ || !Personality()) return;
        WriteBack();
        if (sink_)
            sink_(FieldCommittedNotice(kTxSignallingList, kPersonalitySignalPageId, sender_));
    });
}

void CPersonalitySignalPage::SetSink(NoticeSink sink, const void* sender)
{
    sink_ = std::move(sink);
    sender_ = sender;
}

CPersonalityData* CPersonalitySignalPage::Personality() const
{
    return personalityId_ ? Radio().FindPersonality(personalityId_) : nullptr;
}

void CPersonalitySignalPage::Load()
{
    loading_ = true;
    CPersonalityData* personality = Personality();
    setEnabled(personality != nullptr);
    auto* tx = controls_.Get<QComboBox>(kTxSignallingList);
    if (personality)
        tx->setCurrentIndex(
            tx->findText(ToQ(personality->ToSignalFields().TxSignallingText), Qt::MatchExactly));
    else
        tx->setCurrentIndex(-1);
    shownTx_ = FromQ(tx->currentText());
    loading_ = false;
}

void CPersonalitySignalPage::WriteBack()
{
    CPersonalityData* personality = Personality();
    if (!personality) return;
    PersonalitySignalFields fields;
    fields.TxSignallingText = FromQ(controls_.Get<QComboBox>(kTxSignallingList)->currentText());
    // A value no entry has stays as it came until the user picks an entry.
    if (fields.TxSignallingText != shownTx_) personality->FromSignalFields(fields);
    shownTx_ = fields.TxSignallingText;
    personality->rxSignallingId_ = SelectedItemId(controls_.Get<QComboBox>(kRxSignallingSystemId));
    personality->txSignallingId_ = SelectedItemId(controls_.Get<QComboBox>(kTxSignallingSystemId));
}

void CPersonalitySignalPage::OnNotice(const NoticeRecord& notice)
{
    if (notice.code == NoticeCode::Added || notice.code == NoticeCode::Deleted) Load();
}

}  // namespace rv
