#pragma once
// Small text rules shared by every screen: the language text or its English default, filling
// a number or a text into a language text safely, the status bar's range text, and the number
// a numeric field shows for a stored value under a range descriptor.

#include <optional>
#include <string>
#include <string_view>

#include "base/ChoiceList.h"

namespace rv {

/// The language text, or the English default when the language file has none.
std::string TextOr(const std::string& text, const char* english);
/// Status bar range pane: the range followed by " MHz"; "" without a range.
std::string RangeStatusText(const std::string& range);
/// A language text with its first integer placeholder (%d, %u, %i, %ld ...) replaced by value.
/// Every other '%' is shown as it is, so a faulty language file cannot break the formatting.
std::string FormatTextNumber(const std::string& format, long long value);
/// Same for the first string placeholder (%s).
std::string FormatTextString(const std::string& format, const std::string& value);
/// A radio memory address as every message shows it: decimal, then hexadecimal
/// ("744 (0x2E8)", "1024 (0x400)"). Negative addresses do not occur; they show as decimal only.
std::string AddressText(long address);
/// Text without its leading backslashes.
std::string StripLeadingBackslashes(std::string_view text);

/// Display number (before the divisor) that a numeric field shows for a stored value under a
/// range descriptor: the item whose stored value is nearest, within the descriptor's items.
/// Nothing when the descriptor is malformed (no items or a step of 0).
std::optional<long long> RangeDisplayOf(const RangeDescriptor& range, long long stored);
/// Stored value of a display number: the nearest item of the descriptor, within its items.
/// Nothing when the descriptor is malformed.
std::optional<long long> RangeStoredOf(const RangeDescriptor& range, long long display);

}  // namespace rv
