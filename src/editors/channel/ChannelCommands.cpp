#include "editors/channel/ChannelCommands.h"

#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/common/ListCommandRunner.h"

namespace rv {

namespace {

/// Appends a channel with the band defaults of its position and resolves its personality.
void AddDefaultChannel()
{
    Radio().AddChannel().ResolveLinks();
}

}  // namespace

ListCommandResult RunChannelCommand(ListCommand command, std::optional<size_t> current, int number,
                                    SingleItemDelete single, const void* sender)
{
    return RunListCommand(Radio().Channels(), kMaxChannels, AddDefaultChannel, command, current,
                          number, single, sender);
}

ListCommandResult OpenChannelList(const void* sender)
{
    return OpenList(Radio().Channels(), AddDefaultChannel, sender);
}

}  // namespace rv
