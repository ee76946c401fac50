#include "editors/channel/ToneTables.h"

#include <algorithm>

namespace rv {

namespace {

template <size_t N>
std::optional<uint16_t> IndexIn(const std::array<ToneEntry, N>& table, uint16_t value)
{
    auto it = std::find_if(table.begin(), table.end(),
                           [value](const ToneEntry& e) { return e.value == value; });
    if (it == table.end()) return std::nullopt;
    return static_cast<uint16_t>(it - table.begin() + 1);
}

template <size_t N>
std::optional<ToneEntry> EntryAt(const std::array<ToneEntry, N>& table, unsigned index)
{
    if (index == 0 || index > N) return std::nullopt;
    return table[index - 1];
}

// The tables must stay sorted: the tone boxes list them in this order.
template <size_t N>
constexpr bool Ascending(const std::array<ToneEntry, N>& table)
{
    for (size_t i = 1; i < N; ++i)
        if (table[i - 1].value >= table[i].value) return false;
    return true;
}
static_assert(Ascending(CtcssTable));
static_assert(Ascending(DcsTable));

}  // namespace

std::optional<uint16_t> CtcssIndexOf(uint16_t tenthsHz) { return IndexIn(CtcssTable, tenthsHz); }
std::optional<uint16_t> DcsIndexOf(uint16_t code) { return IndexIn(DcsTable, code); }
std::optional<ToneEntry> CtcssAt(unsigned index) { return EntryAt(CtcssTable, index); }
std::optional<ToneEntry> DcsAt(unsigned index) { return EntryAt(DcsTable, index); }

}  // namespace rv
