#include "editors/emergency/gui/ViewEmergency.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>
#include <QValidator>
#include <functional>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/emergency/EmergencyFieldTable.h"
#include "ui/Prompt.h"
#include "ui/ComboHelpers.h"
#include "ui/QtText.h"

namespace rv {

namespace {

using Box = CViewEmergency::Box;

/// Notice shown when an emergency ID was cut to the length its type holds (%d: the length).
constexpr int kIdCutText = 39550;

constexpr FormRow kRows[] = {
    {7309, ControlKind::Label, "Emergency Revert Channel"},
    {Box::RevertChannel, ControlKind::Combo, ""},
    {7313, ControlKind::Label, "Emergency ID Type"},
    {Box::IdType, ControlKind::Combo, ""},
    {7317, ControlKind::Label, "Signaling System"},
    {Box::SignalingSystem, ControlKind::Combo, ""},
    {7319, ControlKind::Label, "Emergency ID (Selcall/DTMF)"},
    {Box::Id, ControlKind::Edit, ""},
    {7311, ControlKind::Label, "Emergency Send Mode"},
    {Box::SendMode, ControlKind::Combo, ""},
    {7321, ControlKind::Label, "Emergency ID Impolite Send Times"},
    {Box::Impolite, ControlKind::Combo, ""},
    {7323, ControlKind::Label, "Emergency ID Polite Send Times"},
    {Box::Polite, ControlKind::Combo, ""},
    {Box::PowerSwitch, ControlKind::Check, "Power On/Off Switch Enable"},
    {0, ControlKind::Column, ""},
    {7325, ControlKind::Label, "Emergency Alarm Mode"},
    {Box::AlarmMode, ControlKind::Combo, ""},
    {7327, ControlKind::Label, "Alarm Duration[s]"},
    {Box::AlarmDuration, ControlKind::Number, ""},
    {7330, ControlKind::Label, "Emergency Alarm Cycles Mode"},
    {Box::AlarmCyclesMode, ControlKind::Combo, ""},
    {7332, ControlKind::Label, "Number of Emergency Alarm Cycles"},
    {Box::AlarmCycles, ControlKind::Number, ""},
    {7335, ControlKind::Label, "Emergency Voice Cycles Mode"},
    {Box::VoiceCyclesMode, ControlKind::Combo, ""},
    {7337, ControlKind::Label, "Number of Emergency Voice Cycles"},
    {Box::VoiceCycles, ControlKind::Number, ""},
    {7340, ControlKind::Label, "Emergency Squelch Mode"},
    {Box::SquelchMode, ControlKind::Combo, ""},
    {7342, ControlKind::Label, "Emergency TX Duration[s]"},
    {Box::TxDuration, ControlKind::Number, ""},
    {7345, ControlKind::Label, "Emergency RX Duration[s]"},
    {Box::RxDuration, ControlKind::Number, ""},
};

constexpr int kNumberBoxes[] = {Box::AlarmDuration, Box::AlarmCycles, Box::VoiceCycles,
                                Box::TxDuration, Box::RxDuration};
/// The field key of each number box, in the order of kNumberBoxes.
constexpr const char* kNumberKeys[] = {"alarm_duration", "alarm_cycles", "voice_cycles",
                                       "tx_duration", "rx_duration"};
/// The choice boxes and the fields they show.
constexpr std::pair<int, const char*> kChoiceFields[] = {
    {Box::IdType, "id_type"},
    {Box::SendMode, "send_mode"},
    {Box::Impolite, "impolite_send_times"},
    {Box::Polite, "polite_send_times"},
    {Box::AlarmMode, "alarm_mode"},
    {Box::AlarmCyclesMode, "alarm_cycles_mode"},
    {Box::VoiceCyclesMode, "voice_cycles_mode"},
    {Box::SquelchMode, "squelch_mode"},
};

/// Lets into the ID field only the characters of the current ID type, cut to its length.
class CEmergencyIdValidator : public QValidator {
public:
    CEmergencyIdValidator(const QComboBox* idType, std::function<void()> onCut, QObject* parent)
        : QValidator(parent), idType_(idType), onCut_(std::move(onCut))
    {
    }
    State validate(QString& input, int& pos) const override
    {
        const unsigned type = static_cast<unsigned>(std::max(0, ComboValue(idType_, 0)));
        const auto in = CEmergencyBlock::FilterIdInput(type, FromQ(input));
        if (in.refused) return Invalid;
        if (in.cut) {
            input = ToQ(in.text);
            pos = std::min(pos, static_cast<int>(input.size()));
            onCut_();
        }
        return Acceptable;
    }

private:
    const QComboBox* idType_;
    std::function<void()> onCut_;
};

QComboBox* Combo(const CFormControls& c, int id)
{
    return c.Get<QComboBox>(id);
}

}  // namespace

CViewEmergency::CViewEmergency(QWidget* parent) : CCustomFormView(kFormId, parent)
{
    setObjectName("ViewEmergency");
    controls_ = BuildForm(this, kFormId, kRows);
    auto commit = [this] {
        if (!loading_) Store();
    };
    for (int id : controls_.Ids()) {
        QWidget* control = controls_.Control(id);
        if (auto* combo = qobject_cast<QComboBox*>(control))
            connect(combo, &QComboBox::activated, this, [this, id, commit] {
                if (loading_) return;
                // Picking the type the box already showed changes nothing.
                if (id == Box::IdType && IdTypeValue() != shown_.idType) IdTypeChanged();
                if (id == Box::RevertChannel)
                    Radio().InvalidLog().Withdraw(CEmergencyBlock::kRevertChannelKey);
                if (id == Box::SignalingSystem)
                    Radio().InvalidLog().Withdraw(CEmergencyBlock::kSignalingKey);
                commit();
                ApplyEnables();
            });
        else if (auto* check = qobject_cast<QCheckBox*>(control))
            connect(check, &QCheckBox::clicked, this, commit);
    }
    for (int id : kNumberBoxes)
        if (auto* spin = controls_.Get<CRangeSpinBox>(id)) {
            // A click past either end goes round to the other end.
            spin->setWrapping(true);
            connect(spin, &QDoubleSpinBox::valueChanged, this, commit);
        }
    // The radio's signalling type takes one ID type away.
    if (const int removed = RemovedIdTypePosition(Settings().Signal()); removed >= 0)
        if (auto* idType = Combo(controls_, Box::IdType); removed < idType->count())
            idType->removeItem(removed);
    auto* id = controls_.Get<QLineEdit>(Box::Id);
    // Text beyond the type's length (pasted) is cut by the validator: say so.
    id->setValidator(new CEmergencyIdValidator(
        Combo(controls_, Box::IdType), [this] { ShowCutNotice(true); }, id));
    connect(id, &QLineEdit::editingFinished, this, [this] { IdLeft(); });
    Reload();
}

int CViewEmergency::IdTypeValue() const
{
    // A stored type the box does not offer (the signalling type took it away) stays the type
    // of the ID until the user picks another.
    return std::max(0, ComboValue(Combo(controls_, Box::IdType), Radio().Emergency().IdType()));
}

QString CViewEmergency::CutNotice() const
{
    return controls_.Control(Box::Id)->toolTip();
}

void CViewEmergency::ShowCutNotice(bool cut)
{
    QWidget* id = controls_.Control(Box::Id);
    if (!cut) {
        id->setToolTip(QString());
        return;
    }
    const int length = static_cast<int>(CEmergencyBlock::IdCapacity(IdTypeValue()));
    std::string text = Settings().LoadText(kIdCutText);
    if (text.empty()) text = "The ID was cut to %d characters, the most this ID type holds.";
    const QString notice = ToQ(FormatTextNumber(text, length));
    id->setToolTip(notice);
    QToolTip::showText(id->mapToGlobal(QPoint(0, id->height())), notice, id);
}

void CViewEmergency::FillItemBoxes()
{
    RadioData& radio = Radio();
    auto* revert = Combo(controls_, Box::RevertChannel);
    revert->clear();
    std::string none = Settings().LoadText(CEmergencyBlock::kRevertChannelId);
    revert->addItem(ToQ(none.empty() ? std::string("None") : none), 0);
    const auto& channels = radio.Channels();
    for (size_t i = 0; i < channels.size(); ++i)
        if (channels[i]->used_) revert->addItem(QString::number(i + 1), static_cast<int>(i + 1));

    auto* system = Combo(controls_, Box::SignalingSystem);
    system->clear();
    const auto& systems = radio.DtmfSystems();
    for (size_t i = 0; i < systems.size(); ++i)
        if (systems[i]->used_) system->addItem(QString::number(i + 1), static_cast<int>(i));
}

void CViewEmergency::Reload()
{
    loading_ = true;
    FillItemBoxes();
    const EmergencyFields f = Radio().Emergency().ToFields();
    auto select = [this](int id, const std::string& text) {
        auto* combo = Combo(controls_, id);
        combo->setCurrentIndex(combo->findText(ToQ(text), Qt::MatchExactly));
    };
    select(Box::IdType, f.IdTypeText);
    select(Box::SendMode, f.SendModeText);
    select(Box::Impolite, f.ImpoliteText);
    select(Box::Polite, f.PoliteText);
    select(Box::AlarmMode, f.AlarmModeText);
    select(Box::AlarmCyclesMode, f.AlarmCyclesModeText);
    select(Box::VoiceCyclesMode, f.VoiceCyclesModeText);
    select(Box::SquelchMode, f.SquelchModeText);
    auto* revert = Combo(controls_, Box::RevertChannel);
    revert->setCurrentIndex(f.RevertChannel == 0xFF ? -1 : revert->findData(f.RevertChannel));
    auto* system = Combo(controls_, Box::SignalingSystem);
    system->setCurrentIndex(f.SignalingIndex);
    controls_.Get<QCheckBox>(Box::PowerSwitch)->setChecked(f.PowerSwitch);
    const std::pair<int, uint8_t> numbers[] = {{Box::AlarmDuration, f.AlarmDurationRaw},
                                               {Box::AlarmCycles, f.AlarmCyclesRaw},
                                               {Box::VoiceCycles, f.VoiceCyclesRaw},
                                               {Box::TxDuration, f.TxDurationRaw},
                                               {Box::RxDuration, f.RxDurationRaw}};
    size_t n = 0;
    for (const auto& [id, raw] : numbers) {
        auto* spin = controls_.Get<CRangeSpinBox>(id);
        spin->SetStoredValue(raw);
        shown_.numbers[n++] = spin->StoredValue();
    }
    controls_.Get<QLineEdit>(Box::Id)->setText(ToQ(f.IdText));
    for (const auto& [id, key] : kChoiceFields)
        shown_.choices[id] = FromQ(Combo(controls_, id)->currentText());
    shown_.system = system->currentIndex();
    shown_.powerSwitch = f.PowerSwitch;
    shown_.revert = revert->currentIndex();
    shown_.id = f.IdText;
    shown_.idType = IdTypeValue();
    ApplyEnables();
    loading_ = false;
}

void CViewEmergency::Store()
{
    if (loading_) return;
    // Only what the user changed since the last load goes through the edit function: a box
    // that still shows what it was loaded with leaves its bytes as they are.
    CEmergencyBlock& block = Radio().Emergency();
    const CSettings& texts = Settings();
    std::vector<std::pair<std::string, std::string>> edits;
    auto* idType = Combo(controls_, Box::IdType);
    if (idType->currentIndex() >= 0 &&
        FromQ(idType->currentText()) != shown_.choices[Box::IdType])
        edits.emplace_back("id_type", FromQ(idType->currentText()));
    for (const auto& [id, key] : kChoiceFields) {
        auto* combo = Combo(controls_, id);
        if (id == Box::IdType || combo->currentIndex() < 0) continue;
        const std::string text = FromQ(combo->currentText());
        if (text != shown_.choices[id]) edits.emplace_back(key, text);
    }
    auto* revert = Combo(controls_, Box::RevertChannel);
    if (revert->currentIndex() >= 0 && revert->currentIndex() != shown_.revert)
        edits.emplace_back("revert_channel", std::to_string(revert->currentData().toInt()));
    auto* system = Combo(controls_, Box::SignalingSystem);
    if (system->currentIndex() >= 0 && system->currentIndex() != shown_.system)
        edits.emplace_back("signaling_system", std::to_string(system->currentData().toInt() + 1));
    const bool power = controls_.Get<QCheckBox>(Box::PowerSwitch)->isChecked();
    if (power != shown_.powerSwitch) edits.emplace_back("power_switch", power ? "1" : "0");
    for (size_t n = 0; n < std::size(kNumberBoxes); ++n) {
        const long long value = controls_.Get<CRangeSpinBox>(kNumberBoxes[n])->StoredValue();
        if (value == shown_.numbers[n]) continue;
        // The number as the field shows it, for the edit function.
        const auto field = FindField(kEmergencyFieldTable, kNumberKeys[n]);
        std::vector<uint8_t> scratch(block.Raw().Bytes().begin(), block.Raw().Bytes().end());
        if (SetValue(*field, scratch, FieldValue{static_cast<uint32_t>(value)}))
            edits.emplace_back(kNumberKeys[n], GetText(*field, scratch, texts));
    }
    const std::string id = FromQ(controls_.Get<QLineEdit>(Box::Id)->text());
    if (id != shown_.id || IdTypeValue() != shown_.idType) edits.emplace_back("id", id);

    bool changed = false;
    for (const auto& [key, text] : edits) {
        // The ID field shows the new type's re-fitted ID: it is an edit only when it differs.
        if (key == "id" && text == block.IdText()) continue;
        const EditResult result = EditEmergencyField(block, key, text, texts);
        if (!result.Ok()) {
            Prompt().Show(this, ToQ(texts.LoadMessage(result.message, result.args)),
                          CPrompt::Icon::Warning);
            continue;
        }
        changed = changed || !result.changes.empty();
        for (const NoticeRecord& notice : result.notices) RaiseNotice(notice);
    }
    // The boxes show what the rules made of the edits.
    if (changed || !edits.empty()) Reload();
}

void CViewEmergency::OnNotice(const NoticeRecord& notice)
{
    // Lists that grew or shrank, a channel's used flag, a committed row of the channel grid:
    // the revert channel and signalling system boxes show them.
    if (notice.code != NoticeCode::Added && notice.code != NoticeCode::Deleted &&
        notice.code != NoticeCode::RowCommitted && notice.code != NoticeCode::UsedChanged)
        return;
    Reload();
}

void CViewEmergency::ApplyEnables()
{
    auto pos = [this](int id) { return Combo(controls_, id)->currentIndex(); };
    const EmergencyEnables e = EmergencyEnableRules(pos(Box::AlarmMode), pos(Box::AlarmCyclesMode),
                                                    pos(Box::VoiceCyclesMode), IdTypeValue());
    const std::pair<int, bool> rules[] = {{Box::AlarmDuration, e.alarmDuration},
                                          {Box::AlarmCyclesMode, e.alarmCyclesMode},
                                          {Box::AlarmCycles, e.alarmCycles},
                                          {Box::VoiceCycles, e.voiceCycles},
                                          {Box::SquelchMode, e.squelchMode},
                                          {Box::TxDuration, e.txDuration},
                                          {Box::RxDuration, e.rxDuration},
                                          {Box::Impolite, e.impolite},
                                          {Box::Polite, e.polite},
                                          {Box::SignalingSystem, e.signalingSystem},
                                          {Box::Id, e.id},
                                          {Box::SendMode, e.impolite}};
    for (const auto& [id, on] : rules) EnableControl(controls_.Control(id), on);
}

void CViewEmergency::IdTypeChanged()
{
    auto* id = controls_.Get<QLineEdit>(Box::Id);
    const unsigned type = static_cast<unsigned>(IdTypeValue());
    const auto in = CEmergencyBlock::FilterIdInput(type, FromQ(id->text()));
    id->setText(ToQ(CEmergencyBlock::NormaliseId(type, in.text)));
    ShowCutNotice(in.cut);
    auto* system = Combo(controls_, Box::SignalingSystem);
    if (CEmergencyBlock::HasSignalingSystem(type) && system->count() > 0)
        system->setCurrentIndex(0);
    ApplyEnables();
    if (id->isEnabled()) id->setFocus();
}

void CViewEmergency::IdLeft()
{
    if (loading_) return;
    auto* id = controls_.Get<QLineEdit>(Box::Id);
    // An ID left as it was shown is no edit, even where the type cannot show it as stored.
    if (FromQ(id->text()) == shown_.id && IdTypeValue() == shown_.idType) return;
    id->setText(ToQ(CEmergencyBlock::NormaliseId(IdTypeValue(), FromQ(id->text()))));
    Store();
    id->setText(ToQ(Radio().Emergency().IdText()));
}

}  // namespace rv
