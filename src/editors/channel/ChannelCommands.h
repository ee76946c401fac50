#pragma once
// The channel commands of the channel view and the channel list view over the radio's channel
// list: navigation, add (at most 16 channels) and delete (never the last one).

#include <cstddef>
#include <optional>

#include "editors/common/ListCommand.h"

namespace rv {

/// Runs a channel command. Add appends a default channel (n = channels before it), resolves
/// its personality and makes it current (notice code 4); refused at 16 channels. Delete
/// withdraws the current channel's invalid-log entries, destroys it and makes the next (or the
/// new last) current (notice code 5); with one channel nothing is removed and `single` says
/// what becomes current. The caller broadcasts the notice (the main window hands it to
/// RadioData::Notify and to every open view); this function does not.
ListCommandResult RunChannelCommand(ListCommand command, std::optional<size_t> current, int number,
                                    SingleItemDelete single, const void* sender = nullptr);
/// Opening a channel view: an empty list gets one default channel (with a code 4 notice in the
/// result); the first channel is current.
ListCommandResult OpenChannelList(const void* sender = nullptr);

}  // namespace rv
