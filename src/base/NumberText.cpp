#include "base/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/TextFormat.h"

namespace rv {

std::string DecimalText(double value, int decimals)
{
    // Fixed notation of the largest double has 309 digits before the point.
    char buf[400];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                         std::clamp(decimals, 0, 9));
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// Index of the first non-digit at or after i.
size_t SkipDigits(std::string_view t, size_t i)
{
    while (i < t.size() && IsDigit(t[i])) ++i;
    return i;
}

}  // namespace

DecimalStart ReadDecimalStart(std::string_view t)
{
    size_t i = 0;
    while (i < t.size() && std::strchr(" \t\r\n\v\f", t[i]) != nullptr && t[i] != '\0') ++i;
    std::string number;  // the number as from_chars reads it: '-', digits, '.', exponent
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') number += '-';
        ++i;
    }
    const size_t whole = i;
    i = SkipDigits(t, i);
    number.append(t.substr(whole, i - whole));
    bool digits = i > whole;
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
        const size_t fraction = i + 1;
        const size_t after = SkipDigits(t, fraction);
        if (digits || after > fraction) {
            number += '.';
            number.append(t.substr(fraction, after - fraction));
            if (after == fraction) number += '0';
            digits = true;
            i = after;
        }
    }
    if (!digits) return {};
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t e = i + 1;
        if (e < t.size() && (t[e] == '+' || t[e] == '-')) ++e;
        const size_t end = SkipDigits(t, e);
        if (end > e) {
            number += 'e';
            number.append(t.substr(i + 1, end - i - 1));
            i = end;
        }
    }
    DecimalStart start;
    start.length = i;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto [ptr, ec] = std::from_chars(first, last, start.value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Beyond a double: too large gives an infinity, too small a zero, each with its sign,
        // as the C library's reader gives them. The number is small when its digits before the
        // mark are all zeros or its exponent is negative.
        const bool negative = number.front() == '-';
        const std::string_view wholeDigits =
            std::string_view(number).substr(negative, number.find_first_of(".e") - negative);
        const bool small = wholeDigits.find_first_not_of('0') == std::string_view::npos ||
                           number.find("e-") != std::string::npos;
        const double magnitude = small ? 0.0 : std::numeric_limits<double>::infinity();
        start.value = negative ? -magnitude : magnitude;
    } else if (ec != std::errc() || ptr != last) {
        return {};
    }
    return start;
}

std::optional<double> ReadDecimal(std::string_view text)
{
    const DecimalStart start = ReadDecimalStart(text);
    if (start.length == 0 || !std::isfinite(start.value)) return std::nullopt;
    const size_t rest = text.find_first_not_of(" \t\r\n\v\f", start.length);
    if (rest != std::string_view::npos) return std::nullopt;
    return start.value;
}

std::string CountText(const std::string& one, const std::string& many, long long count)
{
    return count == 1 ? FormatTextNumber(one, count) : FormatTextNumber(many, count);
}

}  // namespace rv
