#include "editors/channel/ToneTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/NumberText.h"

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

template <size_t N>
std::vector<std::string> Texts(const std::array<ToneEntry, N>& table, bool includeNonStandard,
                               std::string (*format)(uint16_t))
{
    std::vector<std::string> out;
    out.reserve(N);
    for (const ToneEntry& e : table)
        if (includeNonStandard || !e.nonStandard) out.push_back(format(e.value));
    return out;
}

}  // namespace

std::string FormatCtcss(uint16_t tenthsHz)
{
    return DecimalText(tenthsHz / 10.0, 1);
}

std::string FormatDcs(uint16_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "%03d", static_cast<int>(code));
    return text;
}

uint16_t ParseCtcssText(std::string_view text)
{
    const double hz = ReadDecimalStart(text).value;
    // Limit before converting: a huge or negative number must not reach the integer cast.
    const double tenths = std::isfinite(hz) ? hz * 10.0 + 0.001 : 0.0;
    if (!(tenths >= kMinCtcssTenths)) return kMinCtcssTenths;
    if (tenths >= kMaxCtcssTenths) return kMaxCtcssTenths;
    return static_cast<uint16_t>(tenths);
}

uint16_t ParseDcsText(std::string_view text)
{
    const std::string s(text);
    const long code = std::strtol(s.c_str(), nullptr, 10);
    if (code <= 0) return 0;
    if (code > kMaxDcsCode) return kMaxDcsCode;
    return static_cast<uint16_t>(code);
}

std::vector<std::string> CtcssTexts(bool includeNonStandard)
{
    return Texts(CtcssTable, includeNonStandard, FormatCtcss);
}

std::vector<std::string> DcsTexts(bool includeNonStandard)
{
    return Texts(DcsTable, includeNonStandard, FormatDcs);
}

std::optional<uint16_t> CtcssIndexOf(uint16_t tenthsHz) { return IndexIn(CtcssTable, tenthsHz); }
std::optional<uint16_t> DcsIndexOf(uint16_t code) { return IndexIn(DcsTable, code); }
std::optional<ToneEntry> CtcssAt(unsigned index) { return EntryAt(CtcssTable, index); }
std::optional<ToneEntry> DcsAt(unsigned index) { return EntryAt(DcsTable, index); }

}  // namespace rv
