#include "editors/channel/gui/PageChanMisc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>

#include "data/RadioData.h"
#include "editors/channel/ChannelRules.h"
#include "ui/ComboHelpers.h"

namespace rv {

namespace {

/// Widest the page's form grows.
constexpr int kFormMaxWidth = 520;

using C = ChannelControl;

constexpr int Id(C c)
{
    return static_cast<int>(c);
}

constexpr FormRow kRows[] = {
    {3702, ControlKind::Label, "Personality"},
    {Id(C::Personality), ControlKind::Combo, ""},
    {3705, ControlKind::Label, "Scan List"},
    {Id(C::ScanList), ControlKind::Combo, ""},
    {Id(C::Compandor), ControlKind::Check, "COMPANDOR"},
    {Id(C::Scramble), ControlKind::Check, "Scramble"},
    {Id(C::BeatShift), ControlKind::Check, "Beat Shift"},
    {Id(C::AutoStartScan), ControlKind::Check, "Auto Start Scan"},
    {Id(C::SqlTail), ControlKind::Check, "SQL Tail Elimination"},
};

/// The flag check boxes and the flag each shows.
struct FlagBox {
    C control;
    bool ChannelFields::*flag;
};
constexpr FlagBox kFlags[] = {
    {C::Compandor, &ChannelFields::F3},
    {C::Scramble, &ChannelFields::F4},
    {C::BeatShift, &ChannelFields::F5},
    {C::AutoStartScan, &ChannelFields::F6},
};

}  // namespace

CPageChanMisc::CPageChanMisc(QWidget* parent)
    : CRecordPageOf("PageChanMisc", kChannelMiscPageId, kFormMaxWidth, parent)
{
    controls_ = BuildPageForm(kRows);

    // The channel record keeps neither a scan list nor the squelch tail setting. The scan list
    // box would only ever be empty and is left out; the squelch tail box shows the radio's
    // setting but takes no input.
    Control(C::ScanList)->setEnabled(false);
    Control(C::ScanList)->hide();
    if (QLabel* label = controls_.LabelOf(Id(C::ScanList))) label->hide();
    Control(C::SqlTail)->setEnabled(false);

    auto* personality = qobject_cast<QComboBox*>(Control(C::Personality));
    connect(personality, &QComboBox::activated, this, [this, personality] {
        CChannelData* channel = Record();
        if (loading_ || !channel) return;
        ChoosePersonality(*channel, SelectedItemId(personality));
        Commit(C::Personality);
    });
    for (const FlagBox& f : kFlags) {
        const C control = f.control;
        connect(qobject_cast<QCheckBox*>(Control(control)), &QCheckBox::clicked, this,
                [this, control] {
                    if (!loading_) Commit(control);
                });
    }
}

void CPageChanMisc::Load()
{
    loading_ = true;
    CChannelData* channel = Record();
    setEnabled(channel != nullptr);
    auto* personality = qobject_cast<QComboBox*>(Control(C::Personality));
    const std::vector<ItemEntry> entries = PersonalityChoices();
    FillItemCombo(personality, entries);
    fields_ = ChannelFields{};
    if (channel) {
        channel->GetFlags(fields_);
        personality->setCurrentIndex(PersonalityChoiceIndex(entries, *channel));
    } else {
        personality->setCurrentIndex(-1);
    }
    for (const FlagBox& f : kFlags)
        qobject_cast<QCheckBox*>(Control(f.control))->setChecked(fields_.*(f.flag));
    loading_ = false;
}

void CPageChanMisc::WriteBack()
{
    CChannelData* channel = Record();
    if (!channel) return;
    // Byte 18 and the flags the page does not show are taken from the record as it is now
    // (the personality box writes byte 18 when a personality is picked).
    channel->GetFlags(fields_);
    for (const FlagBox& f : kFlags)
        fields_.*(f.flag) = qobject_cast<QCheckBox*>(Control(f.control))->isChecked();
    channel->SetFlags(fields_);
}

void CPageChanMisc::Commit(ChannelControl id)
{
    WriteBack();
    RaiseCommitted(Id(id));
}

void CPageChanMisc::OnNotice(const NoticeRecord& notice)
{
    if (notice.code == NoticeCode::Added || notice.code == NoticeCode::Deleted) {
        WriteBack();
        Load();
    } else if (notice.code == NoticeCode::RowCommitted && notice.flags == kRowCommittedFlags) {
        // The channel list changed the Auto Start Scan flag: show it, so that the next write
        // back does not put the old state back.
        Load();
    }
}

}  // namespace rv
