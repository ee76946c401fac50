#pragma once
// The record commands of the list views (channels, personalities): first, previous, next,
// last, add, delete and go to N, as index arithmetic and as the result a view acts on.

#include <cstddef>
#include <optional>

#include "data/Notice.h"

namespace rv {

/// Command codes of message 1126 (also the code of the notice that announces the result).
enum class ListCommand : int {
    First = 0,     ///< current = the first item
    Previous = 1,  ///< the item before the current one; stays on the first
    Next = 2,      ///< the item after the current one; stays on the last
    Last = 3,      ///< the last item
    Add = 4,       ///< a new default item is appended and becomes current
    Delete = 5,    ///< the current item is removed; the next (or new last) becomes current
    GoTo = 6,      ///< the item with the 1-based number given; none when out of range
};

/// Which record commands would do something: a list of `count` items, item `current`
/// (1-based, 0 for none) current, at most `limit` items (0: no limit), add and delete
/// offered or not.
struct RecordCommandStates {
    bool first = false;     ///< a current item that is not the first (or none, with items)
    bool previous = false;  ///< a current item after the first
    bool next = false;      ///< a current item before the last
    bool last = false;      ///< a current item that is not the last (or none, with items)
    bool add = false;       ///< offered and below the limit
    bool del = false;       ///< offered and an item is current
    bool goTo = false;      ///< there are items
};
RecordCommandStates RecordCommandStatesOf(int count, int current, int limit, bool offersAddDelete);

/// What a delete does when only one item is left.
enum class SingleItemDelete {
    NoCurrent,    ///< list views: nothing is removed and the view has no current item
    KeepCurrent,  ///< item views: nothing happens, the current item stays
};

/// What a command did.
struct ListCommandResult {
    std::optional<size_t> current;  ///< 0-based index of the new current item; none
    bool listChanged = false;       ///< an item was added or removed
    bool refused = false;           ///< add with a full list, delete with one item
    /// Notice to broadcast (code = the command; key = 1-based number of the new current item,
    /// 0 for none). Add and delete also carry the item list's change: code 4 or 5. Absent when
    /// the command changed nothing.
    std::optional<NoticeRecord> notice;
};

/// New current index of a navigation command (First, Previous, Next, Last, GoTo) over a list of
/// `count` items; `number` is the 1-based item number of GoTo.
std::optional<size_t> NavigateIndex(ListCommand command, std::optional<size_t> current,
                                    size_t count, int number);
/// Index that becomes current after the item at `removed` was deleted from a list that now
/// holds `countAfter` items: the item that followed it, or the new last item.
std::optional<size_t> IndexAfterDelete(size_t removed, size_t countAfter);

}  // namespace rv
