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
    : CFieldPageOf("PageChanMisc", kChannelMiscPageId, kChannelFieldTable, kRows, kFlags, parent)
{
    // The channel record keeps neither a scan list nor the squelch tail setting. The scan list
    // box would only ever be empty and is left out; the squelch tail box shows the radio's
    // setting but takes no input.
    Control(C::ScanList)->setEnabled(false);
    Control(C::ScanList)->hide();
    if (QLabel* label = Controls().LabelOf(Id(C::ScanList))) label->hide();
    Control(C::SqlTail)->setEnabled(false);

    auto* personality = qobject_cast<QComboBox*>(Control(C::Personality));
    CCustomFormView::SetFieldKey(personality, "personality");
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
    // The flags by their fields; the personality box lists the personalities there are.
    CFieldPageOf::Load();
    loading_ = true;
    CChannelData* channel = Record();
    auto* personality = qobject_cast<QComboBox*>(Control(C::Personality));
    const std::vector<ItemEntry> entries = PersonalityChoices();
    FillItemCombo(personality, entries);
    personality->setCurrentIndex(channel ? PersonalityChoiceIndex(entries, *channel) : -1);
    loading_ = false;
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
