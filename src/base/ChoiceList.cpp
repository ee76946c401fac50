#include "base/ChoiceList.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "base/NumberText.h"

namespace rv {

namespace {

std::vector<std::string_view> SplitEntries(std::string_view list)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string_view::npos) end = list.size();
        std::string_view e = list.substr(start, end - start);
        // Entries may be written one per line with surrounding blanks.
        while (!e.empty() && (e.front() == ' ' || e.front() == '\t')) e.remove_prefix(1);
        while (!e.empty() && (e.back() == ' ' || e.back() == '\t' || e.back() == '\r')) e.remove_suffix(1);
        if (!e.empty()) out.push_back(e);
        start = end + 1;
    }
    return out;
}

// "N.text": the decimal number before the first '.', then the text.
bool ParseValueEntry(std::string_view e, ChoiceEntry& out)
{
    size_t dot = e.find('.');
    if (dot == std::string_view::npos || dot == 0) return false;
    std::string num(e.substr(0, dot));
    char* end = nullptr;
    long v = std::strtol(num.c_str(), &end, 10);
    if (end == num.c_str() || *end != '\0') return false;
    out.value = static_cast<int>(v);
    out.text = std::string(e.substr(dot + 1));
    return true;
}

}  // namespace

std::string RangeDescriptor::Format(long long display) const
{
    char buf[64];
    int div = divisor == 0 ? 1 : divisor;
    if (decimals <= 0) {
        std::snprintf(buf, sizeof buf, "%lld", display / div);
    } else {
        return DecimalText(static_cast<double>(display) / div, decimals);
    }
    return buf;
}

long long RangeDescriptor::Count() const
{
    if (displayStep <= 0 || displayEnd < displayStart) return 0;
    return (static_cast<long long>(displayEnd) - displayStart) / displayStep + 1;
}

std::optional<RangeDescriptor> ParseRangeDescriptor(std::string_view entry)
{
    // Seven ':'-separated integers and nothing else. Each number is range-checked: a number
    // too large for an int makes the entry no descriptor (sscanf's %d would be undefined).
    std::string s(entry);
    RangeDescriptor r;
    int* const fields[] = {&r.displayStart, &r.displayStep, &r.displayEnd, &r.divisor,
                           &r.storedStart, &r.storedStep, &r.decimals};
    const char* p = s.c_str();
    for (size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) {
            if (*p != ':') return std::nullopt;
            ++p;
        }
        char* end = nullptr;
        errno = 0;
        long long v = std::strtoll(p, &end, 10);
        if (end == p || errno == ERANGE || v < INT_MIN || v > INT_MAX) return std::nullopt;
        *fields[i] = static_cast<int>(v);
        p = end;
    }
    if (*p != '\0') return std::nullopt;
    return r;
}

std::vector<ChoiceEntry> ParseChoiceList(std::string_view list)
{
    std::vector<ChoiceEntry> out;
    for (std::string_view e : SplitEntries(list)) {
        if (auto r = ParseRangeDescriptor(e)) {
            long long count = r->Count();
            for (long long k = 0; k < count && static_cast<long long>(out.size()) < kMaxChoiceItems; ++k) {
                long long display = r->displayStart + k * r->displayStep;
                long long stored = r->storedStart + k * r->storedStep;
                out.push_back({static_cast<int>(stored), r->Format(display)});
            }
            continue;
        }
        ChoiceEntry item;
        if (ParseValueEntry(e, item) && static_cast<long long>(out.size()) < kMaxChoiceItems)
            out.push_back(std::move(item));
    }
    return out;
}

std::string ChoiceTextOf(std::string_view list, int value)
{
    for (std::string_view e : SplitEntries(list)) {
        if (auto r = ParseRangeDescriptor(e)) {
            if (r->Count() == 0) continue;
            // The item whose stored value this is; the same item the filled list shows for it
            // (with a stored step of 0 every item has the start value: the first one).
            long long k = (static_cast<long long>(value) - r->storedStart);
            if (r->storedStep == 0) {
                if (k != 0) continue;
            } else {
                if (k % r->storedStep != 0) continue;
                k /= r->storedStep;  // a negative stored step counts down from the start
            }
            if (k < 0 || k >= r->Count()) continue;
            return r->Format(r->displayStart + k * r->displayStep);
        }
        ChoiceEntry item;
        if (ParseValueEntry(e, item) && item.value == value) return item.text;
    }
    return {};
}

std::optional<int> ChoiceValueOf(std::string_view list, std::string_view text)
{
    for (const ChoiceEntry& item : ParseChoiceList(list))
        if (item.text == text) return item.value;
    return std::nullopt;
}

std::vector<std::string> SplitChoiceNames(std::string_view list)
{
    std::vector<std::string> out;
    for (std::string_view e : SplitEntries(list)) {
        size_t comma = e.find(',');
        out.emplace_back(e.substr(0, comma));
    }
    return out;
}

}  // namespace rv
