#pragma once
// Choice lists of the language files: ';'-separated entries, each either "N.text" (value N,
// shown text) or a range descriptor of seven integers
// "display start:display step:display end:divisor:stored start:stored step:decimals".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rv {

/// One item of a choice list: the stored value and the shown text.
struct ChoiceEntry {
    int value = 0;
    std::string text;
    bool operator==(const ChoiceEntry&) const = default;
};

/// The seven numbers of a range descriptor.
struct RangeDescriptor {
    int displayStart = 0, displayStep = 1, displayEnd = 0, divisor = 1;
    int storedStart = 0, storedStep = 1, decimals = 0;
    /// Shown text of a display number: divided by the divisor, with the decimals.
    std::string Format(long long display) const;
    /// Number of items the descriptor stands for (0 when it is malformed).
    long long Count() const;
};

/// Parses one ';' entry as a range descriptor.
std::optional<RangeDescriptor> ParseRangeDescriptor(std::string_view entry);
/// All items of a choice list in order, range descriptors expanded (at most kMaxChoiceItems).
std::vector<ChoiceEntry> ParseChoiceList(std::string_view list);
/// Shown text of a stored value; "" when no entry has it.
std::string ChoiceTextOf(std::string_view list, int value);
/// Stored value of a shown text; std::nullopt when no entry shows it.
std::optional<int> ChoiceValueOf(std::string_view list, std::string_view text);
/// The part of each ';' entry before its first ',' (or the whole entry).
std::vector<std::string> SplitChoiceNames(std::string_view list);

/// Upper bound on the items one descriptor expands to, so that a corrupt language file
/// cannot make a list of millions of entries.
inline constexpr long long kMaxChoiceItems = 4096;

}  // namespace rv
