#pragma once
// The record commands of the DTMF system view. The memory image holds exactly one DTMF system,
// so the list moves between its systems but never grows or shrinks: add and delete are
// refused, and no second system can be made only to be lost when the data is saved.

#include <optional>

#include "editors/common/ListCommand.h"

namespace rv {

/// Most DTMF systems the memory image holds.
inline constexpr size_t kMaxDtmfSystems = 1;

/// Runs a record command on the DTMF system list: navigation as for every list; add refused
/// once the list is full, delete refused while only one system is left, and then no system is
/// current (`single` is not used: the DTMF list always answers so).
ListCommandResult RunDtmfSystemCommand(ListCommand command, std::optional<size_t> current,
                                       int number, SingleItemDelete single,
                                       const void* sender = nullptr);
/// Opens the list for the view (an empty list first gets a default system).
ListCommandResult OpenDtmfSystemList(const void* sender = nullptr);

}  // namespace rv
