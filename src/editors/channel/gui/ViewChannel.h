#pragma once
// The channel view: one channel at a time on the channel sheet (Basic and Miscellaneous
// pages), moved between the channels by the record commands. The active page is remembered
// from one channel view to the next.

#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFields.h"
#include "editors/channel/gui/ChanSheet.h"
#include "ui/ListItemView.h"

namespace rv {

class CViewChannel : public CListItemViewOf<CChannelData, CChanSheet> {
    Q_OBJECT
public:
    /// Opens on the first channel (an empty channel list first gets a default channel).
    explicit CViewChannel(QWidget* parent = nullptr);
};

}  // namespace rv
