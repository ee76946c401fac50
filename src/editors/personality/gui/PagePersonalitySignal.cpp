#include "editors/personality/gui/PagePersonalitySignal.h"

#include <QComboBox>
#include <QLabel>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/common/FieldNotice.h"
#include "editors/personality/PersonalityFieldTable.h"
#include "ui/ComboHelpers.h"
#include "ui/QtText.h"

namespace rv {

namespace {

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

/// The box whose field the personality record keeps.
constexpr FieldControl kFields[] = {{kTxSignallingList, "tx_optional_signaling"}};

}  // namespace

CPersonalitySignalPage::CPersonalitySignalPage(QWidget* parent)
    : CFieldPageOf("PagePersonalitySignal", kPersonalitySignalPageId, kPersonalityFieldTable, kRows,
                   kFields, parent)
{
    // Only the transmit signalling is kept in the personality record: the other boxes show
    // their setting but take no input, and the signalling system boxes, which would only ever
    // be empty, are left out.
    for (int id : {kRxOptionalSignallingId, kRxSignallingSystemId, kTxSignallingSystemId,
                   kDecodeConditionId})
        Control(id)->setEnabled(false);
    for (int id : {kRxSignallingSystemId, kTxSignallingSystemId}) {
        Control(id)->hide();
        if (QLabel* label = Controls().LabelOf(id)) label->hide();
    }
    connect(Controls().Get<QComboBox>(kTxSignallingList), &QComboBox::activated, this, [this] {
        if (loading_ || !Record()) return;
        WriteBack();
        RaiseCommitted(kTxSignallingList);
    });
}

void CPersonalitySignalPage::WriteBack()
{
    CPersonalityData* personality = Record();
    if (!personality) return;
    // A value no entry has stays as it came until the user picks an entry.
    StoreFields();
    personality->rxSignallingId_ = SelectedItemId(Controls().Get<QComboBox>(kRxSignallingSystemId));
    personality->txSignallingId_ = SelectedItemId(Controls().Get<QComboBox>(kTxSignallingSystemId));
}

}  // namespace rv
