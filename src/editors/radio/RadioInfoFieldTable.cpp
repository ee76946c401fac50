#include "editors/radio/RadioInfoFieldTable.h"

#include <cstdio>
#include <string>

namespace rv {

std::string FormatTimeStamp(std::span<const uint8_t> record, size_t offset, const CTextService&)
{
    return LastProgrammedDate(&record[offset]);
}

bool ParseTimeStamp(std::span<uint8_t> record, size_t offset, std::string_view text,
                    const CTextService&)
{
    const std::string s(text);
    std::tm time{};
    int year = 0, month = 0, consumed = 0;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &year, &month, &time.tm_mday,
                    &time.tm_hour, &time.tm_min, &time.tm_sec, &consumed) != 6 ||
        static_cast<size_t>(consumed) != s.size())
        return false;
    if (year < 2000 || year > 2099 || month < 1 || month > 12 || time.tm_mday < 1 ||
        time.tm_mday > 31 || time.tm_hour > 23 || time.tm_min > 59 || time.tm_sec > 59 ||
        time.tm_hour < 0 || time.tm_min < 0 || time.tm_sec < 0)
        return false;
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    WriteTimeStamp(&record[offset], time);
    return true;
}

}  // namespace rv
