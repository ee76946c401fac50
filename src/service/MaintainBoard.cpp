#include "service/MaintainBoard.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>

#include "base/ChoiceList.h"

namespace rv {

namespace {

/// Value of a detail entry in list 7412.
constexpr int kDetailKindFactor = 1000;

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return kDays[month - 1];
}

/// A whole number of exactly `digits` digits at the start of text.
bool TakeNumber(std::string_view& text, size_t digits, int& value)
{
    if (text.size() < digits) return false;
    for (size_t i = 0; i < digits; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    std::from_chars(text.data(), text.data() + digits, value);
    text.remove_prefix(digits);
    return true;
}

}  // namespace

CMaintainBoard::CMaintainBoard(std::span<const uint8_t, kSize> bytes)
{
    std::copy(bytes.begin(), bytes.end(), bytes_.begin());
}

size_t CMaintainBoard::Count() const
{
    const size_t count = bytes_[Offset::kCount];
    return count > kMaxRecords ? 0 : count;
}

BoardRecord CMaintainBoard::Record(size_t k) const
{
    const uint8_t* r = bytes_.data() + k * kRecordSize;
    return {r[Offset::kYear], r[Offset::kMonth],  r[Offset::kDay],
            r[Offset::kKind], r[Offset::kDetail], r[Offset::kResult]};
}

void CMaintainBoard::SetRecord(size_t k, const BoardRecord& record)
{
    uint8_t* r = bytes_.data() + k * kRecordSize;
    r[Offset::kYear] = record.year;
    r[Offset::kMonth] = record.month;
    r[Offset::kDay] = record.day;
    r[Offset::kKind] = record.kind;
    r[Offset::kDetail] = record.detail;
    r[Offset::kResult] = record.result;
}

bool CMaintainBoard::Add(const BoardRecord& record)
{
    const size_t count = Count();
    if (count >= kMaxRecords) return false;
    // A board that was never written (count 0xFF) or whose count is impossible starts with
    // this record as its only one: the count byte and the record's bytes are written, every
    // other byte stays as it was (no record reads it while the count does not reach it).
    SetRecord(count, record);
    SetCount(count + 1);
    return true;
}

bool CMaintainBoard::Delete(size_t k)
{
    const size_t count = Count();
    if (k >= count) return false;
    // Byte 0 of record 0 is the count: the records move up field by field, never over it.
    for (size_t i = k; i + 1 < count; ++i) SetRecord(i, Record(i + 1));
    std::fill_n(bytes_.begin() + static_cast<long>((count - 1) * kRecordSize) + 1, kRecordSize - 1,
                uint8_t{0});
    SetCount(count - 1);
    return true;
}

BoardRecord NewBoardRecord(int year, int month, int day)
{
    BoardRecord r;
    r.year = year < 2000 ? 0 : static_cast<uint8_t>(std::min(year - 2000, 255));
    r.month = static_cast<uint8_t>(month);
    r.day = static_cast<uint8_t>(day);
    return r;
}

BoardRecord TodayBoardRecord()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return NewBoardRecord(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string BoardDateText(const BoardRecord& record)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", record.year + 2000, record.month,
                  record.day);
    return text;
}

bool ParseBoardDate(std::string_view text, BoardRecord& record)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    int year = 0, month = 0, day = 0;
    if (!TakeNumber(text, 4, year) || text.empty() || text.front() != '-') return false;
    text.remove_prefix(1);
    if (!TakeNumber(text, 2, month) || text.empty() || text.front() != '-') return false;
    text.remove_prefix(1);
    if (!TakeNumber(text, 2, day) || !text.empty()) return false;
    if (year < 2000 || year > 2255 || month < 1 || month > 12) return false;
    if (day < 1 || day > DaysInMonth(year, month)) return false;
    record.year = static_cast<uint8_t>(year - 2000);
    record.month = static_cast<uint8_t>(month);
    record.day = static_cast<uint8_t>(day);
    return true;
}

std::vector<std::string> BoardListEntries(const CTextService& texts, int list)
{
    return SplitChoiceNames(texts.LoadText(list));
}

std::string BoardListText(const CTextService& texts, int list, int index)
{
    const std::vector<std::string> entries = BoardListEntries(texts, list);
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) return {};
    return entries[static_cast<size_t>(index)];
}

std::string BoardDetailText(const CTextService& texts, int kind, int detail)
{
    return ChoiceTextOf(texts.LoadText(BoardText::kDetails), kind * kDetailKindFactor + detail);
}

std::vector<std::pair<int, std::string>> BoardDetails(const CTextService& texts, int kind)
{
    std::vector<std::pair<int, std::string>> details;
    for (const ChoiceEntry& e : ParseChoiceList(texts.LoadText(BoardText::kDetails)))
        if (e.value >= 0 && e.value / kDetailKindFactor == kind &&
            e.value % kDetailKindFactor <= 255)
            details.emplace_back(e.value % kDetailKindFactor, e.text);
    return details;
}

std::array<std::string, 4> BoardRowTexts(const CTextService& texts, const BoardRecord& record)
{
    return {BoardDateText(record), BoardListText(texts, BoardText::kKinds, record.kind),
            BoardDetailText(texts, record.kind, record.detail),
            BoardListText(texts, BoardText::kResults, record.result)};
}

}  // namespace rv
