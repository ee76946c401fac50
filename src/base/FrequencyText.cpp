#include "base/FrequencyText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    char* end = nullptr;
    const double read = std::strtod(s.c_str(), &end);
    reading.readable = end != s.c_str();
    const double mhz = std::isfinite(read) ? read : 0.0;
    const double units = mhz * kFreqUnitsPerMHz +
                         (rounding == FreqRounding::Nearest ? kRoundingHalf : kTruncationGuard);
    reading.exact = reading.readable && *end == '\0' && std::isfinite(read) && read >= 0.0 &&
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
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", units / static_cast<double>(kFreqUnitsPerMHz));
    return text;
}

std::string FormatBcdFrequency(uint32_t bcd)
{
    return bcd == kNoFrequency ? std::string() : FormatFrequencyUnits(FromBcd(bcd));
}

}  // namespace rv
