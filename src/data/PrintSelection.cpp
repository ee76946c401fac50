#include "data/PrintSelection.h"

#include <algorithm>

namespace rv {

int CPrintSelection::IndexOfCommand(uint32_t commandId)
{
    for (size_t i = 0; i < kPrintRowCount; ++i)
        if (kPrintCatalogue[i].commandId == commandId) return static_cast<int>(i);
    return -1;
}

bool CPrintSelection::SelectCommand(uint32_t commandId, bool on)
{
    const int i = IndexOfCommand(commandId);
    if (i < 0) return false;
    selected_[static_cast<size_t>(i)] = on;
    return true;
}

bool CPrintSelection::AnySelected() const
{
    return std::any_of(selected_.begin(), selected_.end(), [](bool on) { return on; });
}

}  // namespace rv
