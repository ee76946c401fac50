#include "editors/radio/TimeStamp.h"

#include <algorithm>
#include <cstdio>

namespace rv {

namespace {

/// Position of each field in the stamp.
enum StampByte : size_t { kSecond, kMinute, kHour, kDay, kMonth, kYearLow, kCentury, kZero };

uint8_t Clamp8(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

}  // namespace

TimeStamp MakeTimeStamp(const std::tm& time)
{
    const int year = time.tm_year + 1900;
    TimeStamp stamp{};
    stamp[kSecond] = Clamp8(time.tm_sec);
    stamp[kMinute] = Clamp8(time.tm_min);
    stamp[kHour] = Clamp8(time.tm_hour);
    stamp[kDay] = Clamp8(time.tm_mday);
    stamp[kMonth] = Clamp8(time.tm_mon + 1);
    stamp[kYearLow] = Clamp8(((year % 100) + 100) % 100);
    stamp[kCentury] = Clamp8(year / 100);
    stamp[kZero] = 0;
    return stamp;
}

void WriteTimeStamp(uint8_t* dst, const std::tm& time)
{
    const TimeStamp stamp = MakeTimeStamp(time);
    std::copy(stamp.begin(), stamp.end(), dst);
}

TimeStamp CurrentTimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return MakeTimeStamp(local);
}

std::string LastProgrammedDate(const uint8_t* stamp)
{
    // Each field is limited so that a never-programmed radio (all 0xFF) still shows a date.
    const int year = std::min(2000 + stamp[kYearLow], 2037);
    const int month = std::min<int>(stamp[kMonth], 12);
    const int day = std::min<int>(stamp[kDay], 31);
    const int hour = stamp[kHour] >= 24 ? 0 : stamp[kHour];
    const int minute = std::min<int>(stamp[kMinute], 59);
    const int second = std::min<int>(stamp[kSecond], 59);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return text;
}

}  // namespace rv
