#pragma once
// The one way a number with decimals is written and read: a point whatever the desktop's
// language, and a typed comma read as the decimal mark too. The C library's number functions
// follow the desktop's language once the program has started (a German desktop writes
// "446,50000" and reads "446.5" as 446), so nothing that a user or a file sees goes through
// them. Also the count texts whose words agree with the count.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rv {

/// A number with `decimals` digits after a point, whatever the desktop's language
/// (446.5 with 5 decimals -> "446.50000"; decimals limited to 0-9).
std::string DecimalText(double value, int decimals);

/// The start of a text read as a decimal number.
struct DecimalStart {
    double value = 0.0;  ///< the number (an infinity when it is too large for a double)
    size_t length = 0;   ///< characters read, blanks before the number included; 0: no number
};
/// Reads the number a text starts with, as a user types it: blanks, an optional sign, digits
/// with a point or a comma as the decimal mark ("446.5" and "446,5" are the same number), an
/// optional exponent. Never reads "inf", "nan" or hexadecimal numbers.
DecimalStart ReadDecimalStart(std::string_view text);
/// A text that is a finite decimal number and nothing else (blanks around it allowed).
std::optional<double> ReadDecimal(std::string_view text);

/// A count in words that agree with it: `one` for 1, otherwise `many` with the count filled
/// into its integer placeholder ("1 problem", "3 problems").
std::string CountText(const std::string& one, const std::string& many, long long count);

}  // namespace rv
