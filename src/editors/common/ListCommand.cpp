#include "editors/common/ListCommand.h"

namespace rv {

std::optional<size_t> NavigateIndex(ListCommand command, std::optional<size_t> current,
                                    size_t count, int number)
{
    if (count == 0) return std::nullopt;
    // A current index beyond the list (the list shrank elsewhere) counts as the last item.
    if (current && *current >= count) current = count - 1;
    switch (command) {
        case ListCommand::First:
            return size_t{0};
        case ListCommand::Previous:
            if (!current) return std::nullopt;
            return *current == 0 ? 0 : *current - 1;
        case ListCommand::Next:
            if (!current) return std::nullopt;
            return *current + 1 < count ? *current + 1 : *current;
        case ListCommand::Last:
            return count - 1;
        case ListCommand::GoTo:
            if (number < 1 || static_cast<size_t>(number) > count) return std::nullopt;
            return static_cast<size_t>(number - 1);
        case ListCommand::Add:
        case ListCommand::Delete:
            break;
    }
    return current;
}

std::optional<size_t> IndexAfterDelete(size_t removed, size_t countAfter)
{
    if (countAfter == 0) return std::nullopt;
    return removed < countAfter ? removed : countAfter - 1;
}

RecordCommandStates RecordCommandStatesOf(int count, int current, int limit, bool offersAddDelete)
{
    RecordCommandStates s;
    const bool valid = current >= 1 && current <= count;
    s.first = count > 0 && (!valid || current > 1);
    s.previous = valid && current > 1;
    s.next = valid && current < count;
    s.last = count > 0 && (!valid || current < count);
    s.add = offersAddDelete && (limit <= 0 || count < limit);
    s.del = offersAddDelete && valid;
    s.goTo = count > 0;
    return s;
}

}  // namespace rv
