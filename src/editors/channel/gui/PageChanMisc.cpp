#include "editors/channel/gui/PageChanMisc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelFieldTable.h"
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

/// The flag check boxes and the field each shows.
constexpr FieldControl kFlags[] = {
    {Id(C::Compandor), "compandor"},
    {Id(C::Scramble), "scramble"},
    {Id(C::BeatShift), "beat_shift"},
    {Id(C::AutoStartScan), "auto_start_scan"},
};

}  // namespace

CPageChanMisc::CPageChanMisc(QWidget* parent)
    : CRecordPageOf("PageChanMisc", kChannelMiscPageId, kFormMaxWidth, parent),
      controls_(BuildPageForm(kRows)),
      flags_(kChannelFieldTable, controls_, kFlags)
{
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
    for (const FieldControl& f : kFlags) {
        const auto control = static_cast<C>(f.controlId);
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
    if (channel) {
        personality->setCurrentIndex(PersonalityChoiceIndex(entries, *channel));
        flags_.Load(channel->Raw().Bytes(), Settings());
    } else {
        personality->setCurrentIndex(-1);
        flags_.Clear();
    }
    loading_ = false;
}

void CPageChanMisc::WriteBack()
{
    CChannelData* channel = Record();
    if (!channel) return;
    // Only the flags whose box the user changed are written; byte 18 is written when a
    // personality is picked, the other bits of byte 19 are never written here.
    flags_.Store(BytesOf(channel->Raw()), Settings());
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
