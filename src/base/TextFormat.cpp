#include "base/TextFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace rv {

namespace {

/// Length of a printf conversion starting at format[pos] == '%' when it is one of the kinds
/// in `kinds` (flags, width and length modifiers allowed); 0 otherwise.
size_t ConversionLength(const std::string& format, size_t pos, std::string_view kinds)
{
    size_t i = pos + 1;
    while (i < format.size() && std::strchr("-+ #0123456789.hlLqjzt", format[i]) != nullptr &&
           format[i] != '\0')
        ++i;
    if (i < format.size() && kinds.find(format[i]) != std::string_view::npos) return i - pos + 1;
    return 0;
}

std::string ReplaceFirstConversion(const std::string& format, std::string_view kinds,
                                   const std::string& value)
{
    std::string out;
    bool replaced = false;
    for (size_t pos = 0; pos < format.size(); ++pos) {
        if (format[pos] != '%') {
            out += format[pos];
            continue;
        }
        if (pos + 1 < format.size() && format[pos + 1] == '%') {
            out += '%';  // "%%" is a literal percent sign
            ++pos;
            continue;
        }
        size_t len = replaced ? 0 : ConversionLength(format, pos, kinds);
        if (len == 0) {
            out += '%';
            continue;
        }
        out += value;
        replaced = true;
        pos += len - 1;
    }
    return out;
}

}  // namespace

std::string TextOr(const std::string& text, const char* english)
{
    return text.empty() ? std::string(english ? english : "") : text;
}

std::string RangeStatusText(const std::string& range)
{
    return range.empty() ? std::string() : range + " MHz";
}

std::string FormatTextNumber(const std::string& format, long long value)
{
    return ReplaceFirstConversion(format, "diu", std::to_string(value));
}

std::string FormatTextString(const std::string& format, const std::string& value)
{
    return ReplaceFirstConversion(format, "s", value);
}

std::string StripLeadingBackslashes(std::string_view text)
{
    size_t start = text.find_first_not_of('\\');
    return start == std::string_view::npos ? std::string() : std::string(text.substr(start));
}

namespace {

/// Index of the item nearest to offset / step, limited to [0, count - 1].
long long NearestIndex(long long offset, long long step, long long count)
{
    long long k = offset >= 0 ? (offset + step / 2) / step : -((-offset + step / 2) / step);
    return std::clamp(k, 0LL, count - 1);
}

}  // namespace

std::optional<long long> RangeDisplayOf(const RangeDescriptor& range, long long stored)
{
    const long long count = range.Count();
    if (count <= 0 || range.storedStep <= 0 || range.displayStep <= 0) return std::nullopt;
    long long k = NearestIndex(stored - range.storedStart, range.storedStep, count);
    return range.displayStart + k * range.displayStep;
}

std::optional<long long> RangeStoredOf(const RangeDescriptor& range, long long display)
{
    const long long count = range.Count();
    if (count <= 0 || range.storedStep <= 0 || range.displayStep <= 0) return std::nullopt;
    long long k = NearestIndex(display - range.displayStart, range.displayStep, count);
    return range.storedStart + k * range.storedStep;
}

std::string AddressText(long address)
{
    if (address < 0) return std::to_string(address);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ld (0x%03lX)", address, static_cast<unsigned long>(address));
    return buf;
}

}  // namespace rv
