#pragma once
// The programming time stamp that Write to Radio leaves in the radio information record, and
// the "Last Programmed Date" text shown for it.
//
//   byte: 0    1    2     3    4      5          6          7
//         sec  min  hour  day  month  year%100   year/100   0      (plain numbers, not BCD)

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace rv {

/// Length of a programming time stamp in bytes.
inline constexpr size_t kTimeStampSize = 8;
/// The eight bytes of a programming time stamp.
using TimeStamp = std::array<uint8_t, kTimeStampSize>;

/// Time stamp of a broken-down local time (tm_year counts from 1900, tm_mon from 0).
TimeStamp MakeTimeStamp(const std::tm& time);
/// Writes the time stamp of time to the eight bytes at dst.
void WriteTimeStamp(uint8_t* dst, const std::tm& time);
/// Time stamp of the computer's local time now.
TimeStamp CurrentTimeStamp();
/// "%Y-%m-%d %H:%M:%S" text of the eight time-stamp bytes at stamp, each field limited as the
/// radio information view shows it (year 2000 + byte 5 up to 2037, month up to 12, day up to
/// 31, hour 0 when 24 or more, minute and second up to 59); the century byte is not used.
std::string LastProgrammedDate(const uint8_t* stamp);

}  // namespace rv
