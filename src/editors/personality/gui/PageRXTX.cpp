#include "editors/personality/gui/PageRXTX.h"

#include <QCheckBox>
#include <QComboBox>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/common/FieldNotice.h"
#include "editors/personality/PersonalityFieldTable.h"
#include "editors/personality/PersonalityRules.h"
#include "ui/QtText.h"

namespace rv {

namespace {

constexpr FormRow kRows[] = {
    {2320, ControlKind::Label, "Tx Admit"},
    {kTxAdmitList, ControlKind::Combo, ""},
    {2324, ControlKind::Label, "TX Time out Time(s)"},
    {kTimeOutList, ControlKind::Combo, ""},
    {2326, ControlKind::Label, "TOT Pre-Alert Time(s)"},
    {kPreAlertList, ControlKind::Combo, ""},
    {2328, ControlKind::Label, "TOT Re-key Time(s)"},
    {kReKeyList, ControlKind::Combo, ""},
    {2330, ControlKind::Label, "TOT Reset Time (s)"},
    {kResetList, ControlKind::Combo, ""},
    {2322, ControlKind::Label, "Carrier Gone Time (s)"},
    {kCarrierGoneTimeId, ControlKind::Combo, ""},
    {kBusyChannelLockoutId, ControlKind::Check, "Busy Channel Lockout"},
};

/// The boxes whose fields the personality record keeps.
constexpr FieldControl kFields[] = {
    {kTxAdmitList, "tx_admit"}, {kTimeOutList, "tx_time_out"}, {kPreAlertList, "tot_pre_alert"},
    {kReKeyList, "tot_re_key"}, {kResetList, "tot_reset"},
};

std::string TextOf(const QComboBox* combo)
{
    return FromQ(combo->currentText());
}

}  // namespace

CPersonalityRXTXPage::CPersonalityRXTXPage(QWidget* parent)
    : CFieldPageOf("PagePersonalityRXTX", kPersonalityRxTxPageId, kPersonalityFieldTable, kRows,
                   kFields, parent)
{
    // The personality record keeps neither of these: shown for the layout, not editable.
    Control(kCarrierGoneTimeId)->setEnabled(false);
    Control(kBusyChannelLockoutId)->setEnabled(false);
    for (const FieldControl& f : kFields)
        connect(Controls().Get<QComboBox>(f.controlId), &QComboBox::activated, this,
                [this, id = f.controlId] { Changed(id); });
    Init();
}

void CPersonalityRXTXPage::Init()
{
    loading_ = true;
    TranslateDialog(this, kPersonalityRxTxPageId);
    savedPreAlert_ = PreAlertTexts();
    loading_ = false;
}

void CPersonalityRXTXPage::ApplyTimeOutRule(const std::string& previousPreAlert)
{
    // The time-out value of the record: a value its list does not show still counts.
    const CPersonalityData* personality = Record();
    const int timeOut = personality ? personality->TimeOut() : 0;
    const PreAlertOffer offer = rv::ApplyTimeOutRule(timeOut, savedPreAlert_, previousPreAlert);
    auto* preAlert = Controls().Get<QComboBox>(kPreAlertList);
    preAlert->clear();
    for (const std::string& text : offer.entries) preAlert->addItem(ToQ(text));
    preAlert->setCurrentIndex(offer.selected);
    EnableControl(preAlert, offer.preAlertEnabled);
    EnableControl(Control(kReKeyList), offer.reKeyEnabled);
    EnableControl(Control(kResetList), offer.resetEnabled);
}

void CPersonalityRXTXPage::Load()
{
    loading_ = true;
    CPersonalityData* personality = Record();
    setEnabled(personality != nullptr);
    LoadFields();
    ApplyTimeOutRule(TextOf(Controls().Get<QComboBox>(kPreAlertList)));
    // What the boxes show now is the starting point of the user's edits: a value no entry
    // has, or a pre-alert the time-out rule does not offer, stays as it is until the user
    // changes its box.
    Binding().TakeShown();
    loading_ = false;
}

void CPersonalityRXTXPage::Changed(int controlId)
{
    CPersonalityData* personality = Record();
    if (loading_ || !personality) return;
    const uint8_t timeOut = personality->TimeOut();
    WriteBack();
    if (controlId == kTimeOutList) {
        ApplyTimeOutRule(TextOf(Controls().Get<QComboBox>(kPreAlertList)));
        // A new time-out re-fits the pre-alert: what its box shows now is stored with it.
        if (personality->TimeOut() != timeOut) Binding().MarkEdited("tot_pre_alert");
        WriteBack();
    }
    RaiseCommitted(controlId);
}

}  // namespace rv
