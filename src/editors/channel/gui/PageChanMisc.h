#pragma once
// The Miscellaneous page of the channel sheet: the personality the channel uses and the
// COMPANDOR, Scramble, Beat Shift and Auto Start Scan flags. Choosing a personality also
// withdraws the channel's invalid-log entry for a missing personality.

#include <QWidget>
#include <cstdint>

#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFields.h"
#include "ui/FieldForm.h"
#include "ui/FormBuilder.h"
#include "ui/RecordSheet.h"

namespace rv {

class CPageChanMisc : public CRecordPageOf<CChannelData, &RadioData::FindChannel> {
    Q_OBJECT
public:
    explicit CPageChanMisc(QWidget* parent = nullptr);

    /// Refills the personality box and shows the channel's flags and personality.
    void Load() override;
    /// Writes the flags the user changed back into the channel.
    void WriteBack() override;
    /// Reacts to a notice of another view: on add and delete writes back and refills the
    /// personality box; after a committed row of the channel list shows the flags again.
    void OnNotice(const NoticeRecord& notice) override;

    /// The control with this id (ChannelControl values), nullptr when none.
    QWidget* Control(ChannelControl id) const { return controls_.Control(static_cast<int>(id)); }

private:
    void Commit(ChannelControl id);

    CFormControls controls_;
    /// The flag check boxes, bound to the channel's flag fields.
    CFieldFormBinding flags_;
    bool loading_ = false;
};

}  // namespace rv
