#include "base/FrequencyText.h"

#include <cmath>

#include "base/NumberText.h"

namespace rv {

namespace {

/// Guards the truncating conversion against binary representation error: "446.00625" read as
/// a double times 100000 may lie a hair below 44600625 and must not lose 10 Hz.
constexpr double kTruncationGuard = 1e-6;
constexpr double kRoundingHalf = 0.5;

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

FreqReading ReadFrequencyText(std::string_view text, FreqRounding rounding)
{
    FreqReading reading;
    const std::string s(Trimmed(text));
    if (s.empty()) return reading;
    reading.blank = false;
    const DecimalStart start = ReadDecimalStart(s);
    const double read = start.value;
    reading.readable = start.length > 0;
    const double mhz = std::isfinite(read) ? read : 0.0;
    const double units = mhz * kFreqUnitsPerMHz +
                         (rounding == FreqRounding::Nearest ? kRoundingHalf : kTruncationGuard);
    reading.exact = reading.readable && start.length == s.size() && std::isfinite(read) && read >= 0.0 &&
                    units < kMaxFreqUnits + 1.0;
    if (!(units >= 0.0))
        reading.units = 0;
    else if (units >= kMaxFreqUnits)
        reading.units = kMaxFreqUnits;
    else
        reading.units = static_cast<uint32_t>(units);
    return reading;
}

uint32_t FreqTextToUnits(std::string_view text)
{
    const FreqReading r = ReadFrequencyText(text, FreqRounding::Nearest);
    return r.blank ? kNoFrequency : r.units;
}

uint32_t FreqTextToUnitsTruncated(std::string_view text)
{
    const FreqReading r = ReadFrequencyText(text, FreqRounding::Truncate);
    return r.blank ? kNoFrequency : r.units;
}

std::optional<uint32_t> ExactFrequencyUnits(std::string_view text, uint32_t blank)
{
    const FreqReading r = ReadFrequencyText(text, FreqRounding::Nearest);
    if (r.blank) return blank;
    if (!r.exact) return std::nullopt;
    return r.units;
}

std::string FormatFrequencyUnits(uint32_t units)
{
    if (units == kNoFrequency) return {};
    // Whole MHz, a point, then five digits of 10 Hz: exact, and the same on every desktop.
    std::string fraction = std::to_string(units % kFreqUnitsPerMHz);
    fraction.insert(0, 5 - fraction.size(), '0');
    return std::to_string(units / kFreqUnitsPerMHz) + "." + fraction;
}

std::string FormatBcdFrequency(uint32_t bcd)
{
    return bcd == kNoFrequency ? std::string() : FormatFrequencyUnits(FromBcd(bcd));
}

}  // namespace rv
