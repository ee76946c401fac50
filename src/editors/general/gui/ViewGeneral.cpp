#include "editors/general/gui/ViewGeneral.h"

#include <QCheckBox>
#include <QComboBox>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/general/MicFieldTable.h"
#include "editors/general/MiscFieldTable.h"
#include "editors/general/ModeFieldTable.h"
#include "editors/general/VolumeFieldTable.h"
#include "editors/general/VoxFieldTable.h"
#include "ui/ComboHelpers.h"

namespace rv {

namespace {

constexpr FormRow kVoxRows[] = {
    {4429, ControlKind::Label, "VOX Gain Level"},
    {CViewVox::Control::kGainLevel, ControlKind::Combo, ""},
    {4431, ControlKind::Label, "VOX Delay Time[s]"},
    {CViewVox::Control::kDelayTime, ControlKind::Combo, ""},
};
constexpr FieldControl kVoxFields[] = {
    {CViewVox::Control::kGainLevel, "gain_level"},
    {CViewVox::Control::kDelayTime, "delay_time"},
};

constexpr FormRow kVolumeRows[] = {
    {4907, ControlKind::Label, "Alert Tone Volume"},
    {CViewVolume::Control::kAlertTone, ControlKind::Combo, ""},
};
constexpr FieldControl kVolumeFields[] = {
    {CViewVolume::Control::kAlertTone, "alert_tone"},
};

constexpr FormRow kMicRows[] = {
    {6501, ControlKind::Label, "Mic Gain (internal)[dB]"},
    {CViewMicrophone::Control::kInternalGain, ControlKind::Combo, ""},
    {6503, ControlKind::Label, "Mic Gain (external)[dB]"},
    {CViewMicrophone::Control::kExternalGain, ControlKind::Combo, ""},
};
constexpr FieldControl kMicFields[] = {
    {CViewMicrophone::Control::kInternalGain, "internal_gain"},
    {CViewMicrophone::Control::kExternalGain, "external_gain"},
};

using MiscC = CViewMisc::Control;
constexpr FormRow kMiscRows[] = {
    {1403, ControlKind::Label, "Carrier Squelch Level"},
    {MiscC::kSquelchLevel, ControlKind::Combo, ""},
    {1401, ControlKind::Label, "CTCSS Tail Revert Option"},
    {MiscC::kTailRevert, ControlKind::Combo, ""},
    {1413, ControlKind::Label, "Battery Save Mode"},
    {MiscC::kBatterySaveMode, ControlKind::Combo, ""},
    {1411, ControlKind::Label, "Battery Save Delay time[s]"},
    {MiscC::kBatterySaveDelay, ControlKind::Combo, ""},
    {MiscC::kPowerLed, ControlKind::Check, "POWER LED"},
    {MiscC::kScanLed, ControlKind::Check, "SCAN LED"},
    {MiscC::kChannelChangeBeep, ControlKind::Check, "Channel Change Beep"},
};
constexpr FieldControl kMiscFields[] = {
    {MiscC::kSquelchLevel, "squelch_level"},
    {MiscC::kTailRevert, "tail_revert"},
    {MiscC::kBatterySaveMode, "battery_save_mode"},
    {MiscC::kBatterySaveDelay, "battery_save_delay"},
    {MiscC::kPowerLed, "power_led"},
    {MiscC::kScanLed, "scan_led"},
    {MiscC::kChannelChangeBeep, "channel_change_beep"},
};

using ModeC = CViewMode::Control;
constexpr FormRow kModeRows[] = {
    {ModeC::kPanelTest, ControlKind::Check, "Panel Test Mode"},
    {ModeC::kClone, ControlKind::Check, "Clone Mode"},
    {ModeC::kFactoryClone, ControlKind::Check, "Factory Clone Mode"},
};
constexpr FieldControl kModeFields[] = {
    {ModeC::kPanelTest, "panel_test"},
    {ModeC::kClone, "clone"},
    {ModeC::kFactoryClone, "factory_clone"},
};

}  // namespace

CViewVox::CViewVox(QWidget* parent)
    : CRecordFormView(
          kFormId, kVoxFieldTable, kVoxRows, kVoxFields,
          [] { return BytesOf(Radio().Vox().Raw()); }, parent)
{
    setObjectName("ViewVox");
    StoreOnEdit([this](int id) {
        if (id != Control::kGainLevel) return;
        NoticeRecord notice;
        notice.code = NoticeCode::VoxChanged;
        notice.itemTextId = Control::kGainLevel;
        notice.key = Radio().Vox().GainLevel();
        RaiseNotice(notice);
    });
}

CViewVolume::CViewVolume(QWidget* parent)
    : CRecordFormView(
          kFormId, kVolumeFieldTable, kVolumeRows, kVolumeFields,
          [] { return BytesOf(Radio().Volume().Raw()); }, parent)
{
    setObjectName("ViewVolume");
    StoreOnEdit();
}

CViewMicrophone::CViewMicrophone(QWidget* parent)
    : CRecordFormView(
          kFormId, kMicFieldTable, kMicRows, kMicFields,
          [] { return BytesOf(Radio().Mic().Raw()); }, parent)
{
    setObjectName("ViewMicrophone");
    StoreOnEdit();
}

CViewMisc::CViewMisc(QWidget* parent)
    : CRecordFormView(
          kFormId, kMiscFieldTable, kMiscRows, kMiscFields,
          [] { return BytesOf(Radio().Misc().Raw()); }, parent)
{
    setObjectName("ViewMisc");
    if (const int removed = CMiscBlock::RemovedBatterySaveMode(); removed >= 0)
        if (auto* mode = Controls().Get<QComboBox>(Control::kBatterySaveMode))
            if (const int index = mode->findData(removed); index >= 0) {
                mode->removeItem(index);
                Reload();  // a stored value the box no longer offers shows as its number
            }
    if (auto* beep = Controls().Get<QCheckBox>(Control::kChannelChangeBeep))
        beep->setVisible(CMiscBlock::ChannelChangeBeepShown());
    StoreOnEdit();
}

CViewMode::CViewMode(QWidget* parent)
    : CRecordFormView(
          kFormId, kModeFieldTable, kModeRows, kModeFields,
          [] { return BytesOf(Radio().Mode().Raw()); }, parent)
{
    setObjectName("ViewMode");
    ApplyCloneRule();
    StoreOnEdit([this](int id) {
        if (id != Control::kClone) return;
        ApplyCloneRule();
        Store();
    });
}

void CViewMode::Reload()
{
    CRecordFormView::Reload();
    ApplyCloneRule();
}

void CViewMode::ApplyCloneRule()
{
    auto* clone = Controls().Get<QCheckBox>(Control::kClone);
    auto* factory = Controls().Get<QCheckBox>(Control::kFactoryClone);
    if (!clone || !factory) return;
    ModeFields fields;
    fields.Clone = clone->isChecked();
    fields.FactoryClone = factory->isChecked();
    factory->setEnabled(rv::ApplyCloneRule(fields));
    factory->setChecked(fields.FactoryClone);
}

}  // namespace rv
