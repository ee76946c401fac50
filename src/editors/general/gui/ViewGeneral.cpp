#include "editors/general/gui/ViewGeneral.h"

#include <QCheckBox>
#include <QComboBox>
#include <optional>
#include <span>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/general/MicFieldTable.h"
#include "editors/general/MiscFieldTable.h"
#include "editors/general/ModeFieldTable.h"
#include "editors/general/VolumeFieldTable.h"
#include "editors/general/VoxFieldTable.h"
#include "editors/keys/KeyBlock.h"
#include "ui/ComboHelpers.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

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

/// The text a bound control shows in its field's terms ("1"/"0" for a check box); nothing for
/// a drop-down without a selection.
std::optional<std::string> ShownText(QWidget* control)
{
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentIndex() < 0 ? std::nullopt
                                         : std::optional<std::string>(FromQ(combo->currentText()));
    if (auto* check = qobject_cast<QCheckBox*>(control)) return check->isChecked() ? "1" : "0";
    return std::nullopt;
}

/// Every bound control that shows something else than its field holds is an edit the user
/// made: each goes through the record's edit function. Refusals are shown; returns the results.
template <class Edit>
std::vector<EditResult> StoreEdits(CRecordFormView& view, const FieldTable& table,
                                   std::span<const FieldControl> fields, std::span<uint8_t> record,
                                   Edit edit)
{
    const CSettings& texts = Settings();
    // The edits are taken before any is applied: a field a rule moves is no edit of the user.
    std::vector<std::pair<std::string_view, std::string>> edits;
    for (const FieldControl& f : fields) {
        const auto field = FindField(table, f.key);
        const auto text = ShownText(view.Controls().Control(f.controlId));
        if (field && text && *text != GetText(*field, record, texts)) edits.emplace_back(f.key, *text);
    }
    std::vector<EditResult> results;
    for (const auto& [key, text] : edits) {
        EditResult result = edit(key, text);
        if (!result.Ok())
            Prompt().Show(&view, ToQ(texts.LoadMessage(result.message, result.args)),
                          CPrompt::Icon::Warning);
        results.push_back(std::move(result));
    }
    return results;
}

}  // namespace

CViewVox::CViewVox(QWidget* parent)
    : CRecordFormView(
          kFormId, kVoxFieldTable, kVoxRows, kVoxFields,
          [] { return BytesOf(Radio().Vox().Raw()); }, parent)
{
    setObjectName("ViewVox");
    StoreOnEdit();
}

void CViewVox::Store()
{
    auto record = BytesOf(Radio().Vox().Raw());
    const auto results =
        StoreEdits(*this, kVoxFieldTable, kVoxFields, record, [&](std::string_view key, auto text) {
            return EditVoxField(record, BytesOf(Radio().Keys().Raw()), key, text, Settings());
        });
    if (results.empty()) return;
    Reload();
    for (const EditResult& r : results)
        for (const NoticeRecord& notice : r.notices) RaiseNotice(notice);
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
    StoreOnEdit();
}

void CViewMode::Reload()
{
    CRecordFormView::Reload();
    ApplyCloneRule();
}

void CViewMode::Store()
{
    auto record = BytesOf(Radio().Mode().Raw());
    const auto results =
        StoreEdits(*this, kModeFieldTable, kModeFields, record,
                   [&](std::string_view key, auto text) {
                       return EditModeField(record, key, text, Settings());
                   });
    if (!results.empty()) Reload();
}

void CViewMode::ApplyCloneRule()
{
    auto* clone = Controls().Get<QCheckBox>(Control::kClone);
    auto* factory = Controls().Get<QCheckBox>(Control::kFactoryClone);
    if (!clone || !factory) return;
    ModeFields fields;
    fields.Clone = clone->isChecked();
    fields.FactoryClone = factory->isChecked();
    // Greyed while clone is off; what the record holds is shown as it is.
    factory->setEnabled(rv::ApplyCloneRule(fields));
}

}  // namespace rv
