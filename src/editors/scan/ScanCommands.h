#pragma once
// The record commands of the scan view: navigation among the scan lists, add (at most two, the
// slots of the memory image) and delete (never the last one).

#include <optional>

#include "editors/common/ListCommand.h"

namespace rv {

ListCommandResult RunScanCommand(ListCommand command, std::optional<size_t> current, int number,
                                 SingleItemDelete single, const void* sender = nullptr);
/// Opens the list for the view (an empty list first gets a default scan list).
ListCommandResult OpenScanList(const void* sender = nullptr);

}  // namespace rv
