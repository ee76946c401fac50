#include "editors/scan/gui/ScanSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <string>

#include "base/Settings.h"
#include "editors/channel/ChannelData.h"
#include "editors/scan/ScanFieldTable.h"
#include "ui/QtText.h"

namespace rv {

namespace {

using T = CScanData::TextId;

constexpr int kFormMaxWidth = 760;
constexpr int kEntriesBox = 3943;

constexpr FormRow kConfigRows[] = {
    {3829, ControlKind::Label, "CTCSS/CDCSS Scan Mode"},
    {3830, ControlKind::Combo, ""},
    {3831, ControlKind::Label, "Signaling Scan Mode"},
    {3832, ControlKind::Combo, ""},
    {3845, ControlKind::Label, "Scan TX Mode"},
    {3846, ControlKind::Combo, ""},
    {T::DesignatedName, ControlKind::Label, "Designated Channel No"},
    {T::DesignatedBox, ControlKind::Combo, ""},
    {3847, ControlKind::Label, "Hang Time[s]"},
    {3848, ControlKind::Combo, ""},
    {3861, ControlKind::Check, "Talkback Enable"},
    {3855, ControlKind::Check, "Scan Start Alert"},
    {3856, ControlKind::Check, "Scan End Alert"},
    {3857, ControlKind::Check, "Include Current Channel"},
    {3854, ControlKind::Check, "Nuisance Delete"},
    {3853, ControlKind::Check, "Nuisance Reset"},
    {0, ControlKind::Column, ""},
    {3833, ControlKind::Label, "Priority Channel 1 Mode"},
    {3834, ControlKind::Combo, ""},
    {T::Priority1Name, ControlKind::Label, "Priority Channel 1"},
    {T::Priority1Box, ControlKind::Combo, ""},
    {3837, ControlKind::Check, "Priority Channel 1 Delete/Add"},
    {3838, ControlKind::Label, "Priority Channel 2 Mode"},
    {3839, ControlKind::Combo, ""},
    {T::Priority2Name, ControlKind::Label, "Priority Channel 2"},
    {T::Priority2Box, ControlKind::Combo, ""},
    {3842, ControlKind::Check, "Priority Channel 2 Delete/Add"},
    {3843, ControlKind::Label, "Priority Sweep Time[ms]"},
    {3844, ControlKind::Combo, ""},
    {3860, ControlKind::Check, "Priority Scan Alert"},
};
constexpr FieldControl kConfigFields[] = {
    {3830, "ctcss_scan_mode"}, {3832, "signaling_scan_mode"},
    {3846, "tx_mode"},         {3848, "hang_time"},
    {3861, "talkback"},        {3855, "start_alert"},
    {3856, "end_alert"},       {3857, "include_current"},
    {3854, "nuisance_delete"}, {3853, "nuisance_reset"},
    {3834, "priority_1_mode"}, {3837, "priority_1_delete_add"},
    {3839, "priority_2_mode"}, {3842, "priority_2_delete_add"},
    {3844, "sweep_time"},      {3860, "priority_alert"},
};
constexpr ScanChannelBox kConfigChannels[] = {
    {T::DesignatedBox, 0}, {T::Priority1Box, 1}, {T::Priority2Box, 2}};

/// The channel list page: the number of entries, then label and box of each member, in two
/// columns of eight.
constexpr auto kListRows = [] {
    std::array<FormRow, 2 + 2 * CScanData::kMembers + 1> rows{};
    size_t r = 0;
    rows[r++] = {3940, ControlKind::Label, "Number of Entries in Scan List"};
    rows[r++] = {kEntriesBox, ControlKind::Combo, ""};
    for (size_t k = 0; k < CScanData::kMembers; ++k) {
        if (k == CScanData::kMembers / 2) rows[r++] = {0, ControlKind::Column, ""};
        rows[r++] = {static_cast<int>(T::FirstMemberLabel + k), ControlKind::Label, "Member"};
        rows[r++] = {static_cast<int>(T::FirstMemberBox + k), ControlKind::Combo, ""};
    }
    return rows;
}();
constexpr FieldControl kListFields[] = {{kEntriesBox, "entries"}};
constexpr auto kListChannels = [] {
    std::array<ScanChannelBox, CScanData::kMembers> boxes{};
    for (size_t k = 0; k < CScanData::kMembers; ++k)
        boxes[k] = {static_cast<int>(T::FirstMemberBox + k), 3 + k};
    return boxes;
}();

}  // namespace

CScanPage::CScanPage(Kind kind, std::span<const FormRow> rows, std::span<const FieldControl> fields,
                     std::span<const ScanChannelBox> channelBoxes, QWidget* parent)
    : CRecordPageOf(kind == Kind::Config ? "PageScanConfig" : "PageScanChannelList",
                    kind == Kind::Config ? T::ConfigPage : T::ChannelListPage, kFormMaxWidth,
                    parent),
      kind_(kind),
      controls_(BuildPageForm(rows)),
      binding_(kScanFieldTable, controls_, fields),
      fields_(fields),
      channelBoxes_(channelBoxes)
{
    binding_.Fill(Settings());
    for (const FieldControl& f : fields_) {
        QWidget* control = controls_.Control(f.controlId);
        auto commit = [this, id = f.controlId] {
            if (loading_ || !Record()) return;
            WriteBack();
            ApplyEnables();
            RaiseCommitted(id);
        };
        if (auto* combo = qobject_cast<QComboBox*>(control))
            connect(combo, &QComboBox::activated, this, commit);
        else if (auto* check = qobject_cast<QCheckBox*>(control))
            connect(check, &QCheckBox::clicked, this, commit);
    }
    for (const ScanChannelBox& box : channelBoxes_)
        if (auto* combo = controls_.Get<QComboBox>(box.controlId)) {
            connect(combo, &QComboBox::activated, this, [this, &box] { ChannelChosen(box); });
            // The record field the box shows, in reference order.
            static constexpr const char* kSingles[] = {"designated_channel", "priority_1_channel",
                                                       "priority_2_channel"};
            CCustomFormView::SetFieldKey(
                combo, box.reference < std::size(kSingles)
                           ? std::string(kSingles[box.reference])
                           : "member_" + std::to_string(box.reference - std::size(kSingles) + 1));
        }
}

void CScanPage::Load()
{
    loading_ = true;
    CScanData* scan = Record();
    setEnabled(scan != nullptr);
    if (scan) {
        binding_.Load(scan->Raw().Bytes(), Settings());
        const auto& channels = Radio().Channels();
        for (const ScanChannelBox& box : channelBoxes_) {
            auto* combo = controls_.Get<QComboBox>(box.controlId);
            combo->clear();
            for (size_t i = 0; i < channels.size(); ++i)
                if (channels[i]->used_)
                    combo->addItem(QString::number(i + 1), QVariant::fromValue(channels[i]->id_));
            const uint32_t id = scan->ReferenceId(box.reference);
            combo->setCurrentIndex(id == 0 ? -1 : combo->findData(QVariant::fromValue(id)));
        }
    }
    ApplyEnables();
    loading_ = false;
}

void CScanPage::WriteBack()
{
    if (CScanData* scan = Record()) binding_.Store(BytesOf(scan->Raw()), Settings());
}

void CScanPage::OnNotice(const NoticeRecord& notice)
{
    if (notice.code == NoticeCode::Added || notice.code == NoticeCode::Deleted ||
        notice.code == NoticeCode::UsedChanged) {
        WriteBack();
        Load();
    }
}

void CScanPage::ChannelChosen(const ScanChannelBox& box)
{
    CScanData* scan = Record();
    if (loading_ || !scan) return;
    auto* combo = controls_.Get<QComboBox>(box.controlId);
    scan->SetReference(box.reference, combo->currentData().value<uint32_t>());
    Radio().InvalidLog().Withdraw(scan->NoticeKey(static_cast<uint32_t>(box.controlId)));
    RaiseCommitted(box.controlId);
}

void CScanPage::ApplyEnables()
{
    CScanData* scan = Record();
    if (!scan) return;
    if (kind_ == Kind::ChannelList) {
        const size_t n =
            EnabledMemberBoxes(FromQ(controls_.Get<QComboBox>(kEntriesBox)->currentText()));
        for (size_t k = 0; k < CScanData::kMembers; ++k) {
            const int id = static_cast<int>(T::FirstMemberBox + k);
            EnableControl(controls_.Control(id), k < n);
            if (QLabel* label = controls_.LabelOf(id)) label->setEnabled(k < n);
        }
        return;
    }
    const ScanConfigEnables e =
        ScanConfigEnableRules(scan->TxMode(), scan->Priority1Mode(), scan->Priority2Mode());
    const std::pair<int, bool> rules[] = {{T::DesignatedBox, e.designated},
                                          {T::Priority1Box, e.priority1Channel},
                                          {3837, e.priority1DeleteAdd},
                                          {3839, e.priority2Mode},
                                          {T::Priority2Box, e.priority2Channel},
                                          {3842, e.priority2DeleteAdd},
                                          {3844, e.sweepTime}};
    for (const auto& [id, on] : rules) EnableControl(controls_.Control(id), on);
}

CScanSheet::CScanSheet(QWidget* parent)
    : CRecordSheet(parent),
      config_(AddPage(
          new CScanPage(CScanPage::Kind::Config, kConfigRows, kConfigFields, kConfigChannels, this),
          T::ConfigPage, "Scan Configuration")),
      channelList_(AddPage(
          new CScanPage(CScanPage::Kind::ChannelList, kListRows, kListFields, kListChannels, this),
          T::ChannelListPage, "Channel List"))
{
    setObjectName("ScanSheet");
    Retranslate();
}

}  // namespace rv
