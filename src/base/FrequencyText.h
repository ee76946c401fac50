#pragma once
// Frequency texts: a typed MHz text to 10 Hz units and back. The editors read a text as atof
// does (rounded for the boxes and grid cells, truncated for the fixed lists of the licence-free
// bands); the field engine takes only a text that is a frequency and nothing else. Both read
// the text here, so that a box, a grid cell and a field of a text form agree on every text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Bytes.h"

namespace rv {

/// 10 Hz units in one MHz.
inline constexpr uint32_t kFreqUnitsPerMHz = 100000;
/// Largest frequency eight packed decimal digits hold (10 Hz units).
inline constexpr uint32_t kMaxFreqUnits = 99999999;

/// How a MHz text's digits below 10 Hz go.
enum class FreqRounding : uint8_t {
    Nearest,   ///< rounded to the nearest 10 Hz
    Truncate,  ///< dropped (with a guard against binary representation error)
};

/// A MHz text read as a frequency.
struct FreqReading {
    bool blank = true;      ///< the text is empty or blank
    bool readable = false;  ///< the text starts with a number
    bool exact = false;     ///< the whole text is a number of at least 0 that eight digits hold
    uint32_t units = 0;     ///< the number in 10 Hz units as atof reads the text's start: 0 when
                            ///< unreadable or negative, limited to kMaxFreqUnits
};

/// Reads a MHz text (blanks around it ignored).
FreqReading ReadFrequencyText(std::string_view text, FreqRounding rounding);
/// MHz text to 10 Hz units rounded to the nearest 10 Hz (frequency boxes and grid cells);
/// kNoFrequency for an empty or blank text. Negative or unreadable numbers give 0, numbers
/// beyond eight decimal digits give 99999999.
uint32_t FreqTextToUnits(std::string_view text);
/// MHz text to 10 Hz units with the digits below 10 Hz dropped (licence-free lists);
/// kNoFrequency for an empty or blank text.
uint32_t FreqTextToUnitsTruncated(std::string_view text);
/// A text that is a frequency and nothing else, rounded to 10 Hz, in 10 Hz units; `blank` for
/// an empty or blank text; nullopt for any other text.
std::optional<uint32_t> ExactFrequencyUnits(std::string_view text, uint32_t blank);
/// "%.5f" MHz text of a frequency in 10 Hz units; "" for kNoFrequency.
std::string FormatFrequencyUnits(uint32_t units);
/// "%.5f" MHz text of a packed decimal frequency; "" for kNoFrequency.
std::string FormatBcdFrequency(uint32_t bcd);

}  // namespace rv
