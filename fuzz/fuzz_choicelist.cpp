// Choice lists from a language file: value entries, range descriptors and anything else a
// damaged file may hold. Filling stays within the item limit; lookups never run away.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/ChoiceList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace rv;
    // The first four bytes choose the value looked up; the rest is the list.
    int32_t probe = 0;
    if (size >= sizeof probe) {
        std::memcpy(&probe, data, sizeof probe);
        data += sizeof probe;
        size -= sizeof probe;
    }
    const std::string_view list(reinterpret_cast<const char*>(data), size);

    const auto items = ParseChoiceList(list);
    if (static_cast<long long>(items.size()) > kMaxChoiceItems) std::abort();
    (void)ChoiceTextOf(list, probe);
    (void)SplitChoiceNames(list);
    // The text shown for an item's value is some item's text, found again by the reverse
    // lookup (which gives the first item showing it).
    for (size_t i = 0; i < items.size() && i < 8; ++i) {
        const std::string text = ChoiceTextOf(list, items[i].value);
        if (!ChoiceValueOf(list, text)) std::abort();
    }
    return 0;
}
