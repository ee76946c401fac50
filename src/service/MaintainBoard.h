#pragma once
// The maintenance board: a small service log kept for a radio, dated rows that each name a
// kind of service work, a detail of it and a result. It is kept with the document and saved in
// the data file's extra chunk; it never goes to the radio.
//
// Board buffer, 240 bytes: up to 30 records of 8 bytes.
//
//   record k at 8k:  +0 in record 0: number of records (0xFF: empty board); otherwise unused
//                    +1 year - 2000   +2 month 1..12   +3 day of month
//                    +4 kind of work (index into list 7411)
//                    +5 detail (with the kind: entry kind * 1000 + detail of list 7412)
//                    +6 result (index into list 7413)   +7 unused

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/TextService.h"

namespace rv {

/// Text numbers of the maintenance board.
struct BoardText {
    static constexpr int kForm = 7401;         ///< caption of the screen
    static constexpr int kGrid = 7402;         ///< the grid ("Maintain Board")
    static constexpr int kWrite = 7403;        ///< Write button
    static constexpr int kDelete = 7404;       ///< Del button
    static constexpr int kPrint = 7405;        ///< Print button
    static constexpr int kAdd = 7406;          ///< Add button
    static constexpr int kKinds = 7411;        ///< kinds of work, by index
    static constexpr int kDetails = 7412;      ///< details, "kind * 1000 + detail.text"
    static constexpr int kResults = 7413;      ///< results, by index
    static constexpr int kMenu = 7414;         ///< context menu: Add New Record
    static constexpr int kMenuDelete = 40100;  ///< context menu: Delete
    static constexpr int kColumns = 40101;     ///< column headers: Date;Kind;Detail;Result
    static constexpr int kNotSent = 40102;     ///< tool tip of Write and Print
    static constexpr int kBadDate = 1661;      ///< message: a date that is no date
};

/// One record of the board.
struct BoardRecord {
    uint8_t year = 0;  ///< year - 2000
    uint8_t month = 1;
    uint8_t day = 1;
    uint8_t kind = 0;
    uint8_t detail = 0;
    uint8_t result = 0;
    bool operator==(const BoardRecord&) const = default;
};

/// The board buffer and its editing rules.
class CMaintainBoard {
public:
    static constexpr size_t kRecordSize = 8;
    static constexpr size_t kMaxRecords = 30;
    static constexpr size_t kSize = kRecordSize * kMaxRecords;
    /// Offsets within a record.
    struct Offset {
        static constexpr size_t kCount = 0;  ///< record 0 only
        static constexpr size_t kYear = 1;
        static constexpr size_t kMonth = 2;
        static constexpr size_t kDay = 3;
        static constexpr size_t kKind = 4;
        static constexpr size_t kDetail = 5;
        static constexpr size_t kResult = 6;
    };
    /// The count byte of a board that was never written.
    static constexpr uint8_t kEmptyCount = 0xFF;

    /// An empty board (all bytes zero).
    CMaintainBoard() { bytes_.fill(0); }
    /// The board of a 240-byte buffer (the document keeps it in the data file's extra chunk).
    explicit CMaintainBoard(std::span<const uint8_t, kSize> bytes);

    /// Number of records: the count byte, where 0xFF (never written) and any count beyond 30
    /// read as an empty board.
    size_t Count() const;
    /// Record k (0-based, below Count()).
    BoardRecord Record(size_t k) const;
    /// Replaces record k (below Count()).
    void SetRecord(size_t k, const BoardRecord& record);
    /// True while a record can be added (fewer than 30).
    bool CanAdd() const { return Count() < kMaxRecords; }
    /// Appends a record; false (nothing changed) when the board is full. Only the count byte
    /// and the new record's bytes change, also on a board that read as empty.
    bool Add(const BoardRecord& record);
    /// Removes record k; the later records move up and the count is lowered. False (nothing
    /// changed) when there is no record k.
    bool Delete(size_t k);

    /// The 240 bytes.
    const std::array<uint8_t, kSize>& Bytes() const { return bytes_; }
    bool operator==(const CMaintainBoard&) const = default;

private:
    void SetCount(size_t count) { bytes_[Offset::kCount] = static_cast<uint8_t>(count); }
    std::array<uint8_t, kSize> bytes_{};
};

/// A record dated with a local calendar date (year - 2000, or 0 before 2000), kind, detail and
/// result 0.
BoardRecord NewBoardRecord(int year, int month, int day);
/// A record dated today by the computer's local clock.
BoardRecord TodayBoardRecord();
/// "%04d-%02d-%02d" of the record's date (year byte + 2000).
std::string BoardDateText(const BoardRecord& record);
/// Reads a "yyyy-mm-dd" text into the record's date; false (record unchanged) for a text that
/// is no calendar date from 2000 to 2255.
bool ParseBoardDate(std::string_view text, BoardRecord& record);

/// Entry `index` of list `list` (the part before its first ','); "" beyond the end.
std::string BoardListText(const CTextService& texts, int list, int index);
/// The entries of list 7411 or 7413 in index order.
std::vector<std::string> BoardListEntries(const CTextService& texts, int list);
/// Text of the detail of a kind (list 7412, value kind * 1000 + detail); "" when none.
std::string BoardDetailText(const CTextService& texts, int kind, int detail);
/// The details a kind offers: (detail, text) in list order.
std::vector<std::pair<int, std::string>> BoardDetails(const CTextService& texts, int kind);

/// The four shown cells of a record: date, kind, detail, result.
std::array<std::string, 4> BoardRowTexts(const CTextService& texts, const BoardRecord& record);

}  // namespace rv
