#pragma once
// The Miscellaneous page of the channel sheet: the personality the channel uses and the
// COMPANDOR, Scramble, Beat Shift and Auto Start Scan flags. Choosing a personality also
// withdraws the channel's invalid-log entry for a missing personality.

#include <QWidget>

#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFields.h"
#include "ui/FieldPage.h"

namespace rv {

class CPageChanMisc : public CFieldPageOf<CChannelData, &RadioData::FindChannel> {
    Q_OBJECT
public:
    explicit CPageChanMisc(QWidget* parent = nullptr);

    /// Refills the personality box and shows the channel's flags and personality.
    void Load() override;
    /// Reacts to a notice of another view: on add and delete writes back and refills the
    /// personality box; after a committed row of the channel list shows the flags again.
    void OnNotice(const NoticeRecord& notice) override;

    /// The control with this id (ChannelControl values), nullptr when none.
    QWidget* Control(ChannelControl id) const
    {
        return CFieldPageOf::Control(static_cast<int>(id));
    }

private:
    /// Writes the flags the user changed back and reports the field as committed.
    void Commit(ChannelControl id);
};

}  // namespace rv
