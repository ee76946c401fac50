#pragma once
// The data watch: a snapshot of the 2048-byte memory image and a log of every byte that
// changed since it was taken. Each comparison with the rebuilt image logs the changed bytes in
// ascending address order and takes their new values into the snapshot. The embedded
// messages' password is never shown: its bytes show as "**" in the table, the log and the
// detail lines.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rv {

/// Text numbers of the data watch screen.
struct DataWatchText {
    static constexpr int kForm = 3509;         ///< caption
    static constexpr int kCorner = 3510;       ///< top left cell of the table
    static constexpr int kDetail = 3546;       ///< detail box
    static constexpr int kTable = 3547;        ///< the table ("Data Watch")
    static constexpr int kClear = 3548;        ///< Clear button
    static constexpr int kLog = 3549;          ///< the log list
    static constexpr int kDetailName = 40103;  ///< accessible name of the detail box
    static constexpr int kLogLabel = 40104;    ///< label of the log list
    static constexpr int kDecimalLabel = 41300;  ///< label of the detail line in decimal
    static constexpr int kBinaryLabel = 41301;   ///< label of the detail line in binary
};

/// One changed byte.
struct WatchEntry {
    int row = 0;              ///< table row: address / 16 + 1
    int column = 0;           ///< table column: address mod 16 + 1
    std::string bitsText;     ///< "$E.0x%X:%s->%s" with eight binary digits each
    std::string decimalText;  ///< "$E.0x%X:%.2u->%.2u"
    std::string line;         ///< the log line "$E.0x%X:%.2X->%.2X"
    /// What the detail box shows: each text after its label, a line break between them.
    std::string Detail(const std::string& decimalLabel, const std::string& binaryLabel) const
    {
        return decimalLabel + " " + decimalText + "\r\n" + binaryLabel + " " + bitsText;
    }
};

class CDataWatch {
public:
    static constexpr size_t kImageSize = 2048;
    static constexpr int kRows = 129;    ///< header row and 128 rows of 16 bytes
    static constexpr int kColumns = 17;  ///< header column and 16 bytes
    using Image = std::array<uint8_t, kImageSize>;

    /// Takes the image as the snapshot and empties the log.
    void Open(const Image& image);
    /// Logs every byte where image differs from the snapshot (ascending address) and takes the
    /// new values into the snapshot. Returns the number of entries added.
    size_t Compare(const Image& image);
    /// Empties the log; the snapshot stays as it is.
    void Clear() { entries_.clear(); }

    const Image& Snapshot() const { return snapshot_; }
    const std::vector<WatchEntry>& Entries() const { return entries_; }
    /// Log lines whose selection shows their entry (the cell and the detail box): the first 130.
    /// Selecting a later line empties the detail box and leaves the table as it is.
    static constexpr size_t kShownLines = 130;
    /// True when selecting log line `line` (0-based) shows its entry.
    static bool LineShowsEntry(size_t line) { return line < kShownLines; }
    /// The first log line whose entry has this cell; nothing when none has.
    std::optional<size_t> FindLine(int row, int column) const;

    /// Text of a table cell: the corner is given; row 0 "_%X", column 0 "F:%.3X_", data
    /// cells "%.2X" of the snapshot byte ("**" for a byte of the password).
    std::string CellText(int row, int column, const std::string& corner) const;
    /// The log entry of one changed byte (its values "**" for a byte of the password).
    static WatchEntry MakeEntry(size_t address, uint8_t oldValue, uint8_t newValue);
    /// True for the bytes of the embedded messages' password, which the watch never shows.
    static bool IsHiddenByte(size_t address);

private:
    Image snapshot_{};
    std::vector<WatchEntry> entries_;
};

}  // namespace rv
