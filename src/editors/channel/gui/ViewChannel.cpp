#include "editors/channel/gui/ViewChannel.h"

#include "base/CommandIds.h"
#include "editors/channel/ChannelCommands.h"

namespace rv {

namespace {
constexpr ListItemKind<CChannelData> kChannels{&RadioData::Channels, &RunChannelCommand,
                                               &OpenChannelList, SingleItemDelete::KeepCurrent};
}  // namespace

CViewChannel::CViewChannel(QWidget* parent)
    : CListItemViewOf(kChannelViewFormId, Id(Command::Channel), "Channel", kChannels,
                      new CChanSheet, parent)
{
    setObjectName("ViewChannel");
}

}  // namespace rv
