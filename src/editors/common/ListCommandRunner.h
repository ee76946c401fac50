#pragma once
// The record commands over one item list of the radio data, shared by the channel and the
// personality commands.

#include <cstddef>
#include <optional>

#include "data/RadioData.h"
#include "editors/common/ListCommand.h"

namespace rv {

/// Announcement of a command's result: code = the command, key = 1-based number of the new
/// current item (0 for none).
inline NoticeRecord ListNotice(ListCommand command, std::optional<size_t> current,
                               const void* sender)
{
    NoticeRecord n;
    n.sender = sender;
    n.code = static_cast<NoticeCode>(command);
    n.key = current ? static_cast<uint32_t>(*current + 1) : 0;
    return n;
}

/// Runs a command over `list` (at most `maxItems` items); `add` appends one default item.
template <class T, class AddFn>
ListCommandResult RunListCommand(ItemList<T>& list, size_t maxItems, AddFn add, ListCommand command,
                                 std::optional<size_t> current, int number, SingleItemDelete single,
                                 const void* sender)
{
    ListCommandResult r;
    const size_t count = list.size();
    if (current && *current >= count) current.reset();
    switch (command) {
        case ListCommand::Add:
            if (count >= maxItems) {
                r.current = current;
                r.refused = true;
                return r;
            }
            add();
            r.current = list.size() - 1;
            r.listChanged = true;
            break;
        case ListCommand::Delete:
            if (!current) {
                r.refused = true;  // nothing is current: nothing to delete
                return r;
            }
            if (count <= 1) {
                r.refused = true;
                if (single == SingleItemDelete::KeepCurrent) r.current = current;
                return r;
            }
            list[*current]->WithdrawNotices();
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(*current));
            r.current = IndexAfterDelete(*current, list.size());
            r.listChanged = true;
            break;
        default:
            r.current = NavigateIndex(command, current, count, number);
            break;
    }
    r.notice = ListNotice(command, r.current, sender);
    return r;
}

/// Opening a list view: an empty list gets one default item (announced with code 4); the
/// first item is current.
template <class T, class AddFn>
ListCommandResult OpenList(ItemList<T>& list, AddFn add, const void* sender)
{
    ListCommandResult r;
    if (list.empty()) {
        add();
        r.listChanged = true;
        r.notice = ListNotice(ListCommand::Add, size_t{0}, sender);
    }
    r.current = size_t{0};
    return r;
}

}  // namespace rv
