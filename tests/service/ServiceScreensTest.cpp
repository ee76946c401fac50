// Rules of the service screens: committing a typed test frequency (band limits, steps, what is
// left alone), the maintenance board's records and lists, and the data watch comparison.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/TextService.h"
#include "data/RadioData.h"
#include "editors/common/StepCode.h"
#include "service/DataWatch.h"
#include "service/MaintainBoard.h"
#include "service/TestFreqBlock.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

// ---- test frequencies ----

class TestFreqCommitTest : public test::HomeTest {};

TEST_F(TestFreqCommitTest, TypedFrequenciesAreTruncatedClampedAndFitted)
{
    const BandLimits band{400, 470};
    struct Case {
        const char* typed;
        bool pair;
        const char* shown;
        uint32_t bcd;
        bool clamped;
    };
    const Case cases[] = {
        {"435.0125", true, "435.01250", 0x43501250, false},
        // Not on a step: a pair frequency goes down to the step below, a point stays as typed.
        {"435.0130", true, "435.01250", 0x43501250, false},
        {"435.0130", false, "435.01300", 0x43501300, false},
        // Digits below 10 Hz are dropped.
        {"435.012509", false, "435.01250", 0x43501250, false},
        // Outside the band: the nearest limit, reported.
        {"399.99", true, "400.00000", 0x40000000, true},
        {"480", true, "470.00000", 0x47000000, true},
        {"1000", false, "470.00000", 0x47000000, true},
        {"400", true, "400.00000", 0x40000000, false},
        {"470", false, "470.00000", 0x47000000, false},
        // Empty: no frequency, stored as 0, shown empty, never clamped.
        {"", true, "", 0, false},
        {"", false, "", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.pair ? " pair" : " point"));
        CTestFreqBlock& block = Radio().TestFreq();
        block.SetDefaults();
        const TestFreqCommit done =
            c.pair ? block.CommitPairText(2, TestFreqSide::Transmit, c.typed, band)
                   : block.CommitPointText(2, TestFreqSide::Transmit, c.typed, band);
        EXPECT_EQ(done.text, c.shown);
        EXPECT_EQ(done.clamped, c.clamped);
        EXPECT_TRUE(done.changed);
        EXPECT_EQ(c.pair ? block.PairTxBcd(2) : block.PointTxBcd(2), c.bcd);
        EXPECT_EQ(c.pair ? block.PairTxText(2) : block.PointTxText(2), c.shown);
    }
}

TEST_F(TestFreqCommitTest, ACommitTouchesOnlyItsFrequencyAndStepByte)
{
    CTestFreqBlock& block = Radio().TestFreq();
    const std::vector<uint8_t> before(block.Raw().Bytes().begin(), block.Raw().Bytes().end());
    block.CommitPairText(5, TestFreqSide::Receive, "", BandLimits{400, 470});
    const std::vector<uint8_t> after(block.Raw().Bytes().begin(), block.Raw().Bytes().end());
    std::vector<size_t> changed;
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) changed.push_back(i);
    // Pair 5 receive at 50..53: 443.15000 (00 50 31 44) becomes 0; its step byte at 58 keeps
    // the code of a 6.25 kHz multiple, which 0 is too.
    EXPECT_EQ(changed, (std::vector<size_t>{51, 52, 53}));
    EXPECT_EQ(block.PairRxStep(5), static_cast<uint8_t>(StepCode::Step6k25));
    EXPECT_EQ(block.PairTxText(5), "443.00000");

    // The same value again changes nothing.
    EXPECT_FALSE(block.CommitPairText(5, TestFreqSide::Receive, "", BandLimits{400, 470}).changed);
    // The defaults' pair 0 transmit typed as it is shown changes nothing either.
    EXPECT_FALSE(
        block.CommitPairText(0, TestFreqSide::Transmit, "400.00000", BandLimits{400, 470}).changed);
}

// ---- maintenance board ----

CTextTable BoardTexts()
{
    CTextTable t;
    t.Set(BoardText::kKinds, "Inspection;Repair;Replacement");
    t.Set(BoardText::kDetails, "0.General;1.Power;1000.Board;1001.Antenna;2002.Case");
    t.Set(BoardText::kResults, "Passed;Failed");
    return t;
}

TEST(MaintainBoardTest, RowTextsComeFromTheRecordAndTheLists)
{
    const CTextTable texts = BoardTexts();
    struct Case {
        BoardRecord record;
        std::array<std::string, 4> shown;
    };
    const Case cases[] = {
        {{9, 3, 14, 0, 1, 1}, {"2009-03-14", "Inspection", "Power", "Failed"}},
        {{26, 12, 31, 1, 1, 0}, {"2026-12-31", "Repair", "Antenna", "Passed"}},
        // A kind or result beyond the end of its list, and a pair without an entry: empty.
        {{0, 1, 1, 7, 0, 9}, {"2000-01-01", "", "", ""}},
        {{1, 2, 3, 2, 1, 0}, {"2001-02-03", "Replacement", "", "Passed"}},
    };
    for (const Case& c : cases) EXPECT_EQ(BoardRowTexts(texts, c.record), c.shown);
    EXPECT_EQ(BoardDetails(texts, 1),
              (std::vector<std::pair<int, std::string>>{{0, "Board"}, {1, "Antenna"}}));
    EXPECT_TRUE(BoardDetails(texts, 5).empty());
}

TEST(MaintainBoardTest, AddAndDeleteKeepTheCountByteAndTheRecordsInStep)
{
    CMaintainBoard board;
    EXPECT_EQ(board.Count(), 0u);
    for (uint8_t k = 0; k < CMaintainBoard::kMaxRecords; ++k)
        ASSERT_TRUE(board.Add({k, 1, 1, k, 0, 0})) << int(k);
    EXPECT_EQ(board.Bytes()[0], 30);
    EXPECT_FALSE(board.CanAdd());
    EXPECT_FALSE(board.Add({}));
    EXPECT_EQ(board.Bytes()[0], 30);

    // Record 0 goes: record 1 moves into it without touching the count byte.
    ASSERT_TRUE(board.Delete(0));
    EXPECT_EQ(board.Count(), 29u);
    EXPECT_EQ(board.Record(0).year, 1);
    EXPECT_EQ(board.Record(28).year, 29);
    // The freed last record is zero, except its unused first byte.
    for (size_t i = 29 * 8 + 1; i < 240; ++i) EXPECT_EQ(board.Bytes()[i], 0) << i;
    ASSERT_TRUE(board.Delete(13));
    EXPECT_EQ(board.Record(13).year, 15);
    EXPECT_TRUE(board.CanAdd());
    EXPECT_FALSE(board.Delete(28));
    EXPECT_EQ(board.Count(), 28u);

    // Deleting the only record leaves an empty board.
    CMaintainBoard one;
    one.Add({9, 3, 14, 1, 1, 1});
    ASSERT_TRUE(one.Delete(0));
    EXPECT_EQ(one, CMaintainBoard());
}

TEST(MaintainBoardTest, UnwrittenOrImpossibleCountsReadAsAnEmptyBoard)
{
    for (uint8_t count : {uint8_t{0xFF}, uint8_t{31}, uint8_t{200}}) {
        std::array<uint8_t, CMaintainBoard::kSize> bytes;
        bytes.fill(0xFF);
        bytes[0] = count;
        CMaintainBoard board(bytes);
        EXPECT_EQ(board.Count(), 0u) << int(count);
        // The first record added starts a board of one record; no byte the record does not
        // hold is zeroed.
        ASSERT_TRUE(board.Add({9, 3, 14, 0, 0, 0}));
        EXPECT_EQ(board.Count(), 1u);
        EXPECT_EQ(board.Record(0), (BoardRecord{9, 3, 14, 0, 0, 0}));
        EXPECT_EQ(board.Bytes()[0], 1);
        for (size_t i = 7; i < CMaintainBoard::kSize; ++i)
            EXPECT_EQ(board.Bytes()[i], 0xFF) << int(count) << " byte " << i;
    }
}

TEST(MaintainBoardTest, DatesOfNewRecordsAndTypedDates)
{
    EXPECT_EQ(NewBoardRecord(2009, 3, 14), (BoardRecord{9, 3, 14, 0, 0, 0}));
    EXPECT_EQ(NewBoardRecord(1999, 12, 31).year, 0);
    EXPECT_EQ(NewBoardRecord(2026, 12, 11).year, 26);

    struct Case {
        const char* text;
        bool ok;
        uint8_t year, month, day;
    };
    const Case cases[] = {
        {"2009-03-14", true, 9, 3, 14},  {" 2024-02-29 ", true, 24, 2, 29},
        {"2000-01-01", true, 0, 1, 1},   {"2255-12-31", true, 255, 12, 31},
        {"2023-02-29", false, 0, 0, 0},  {"1999-12-31", false, 0, 0, 0},
        {"2256-01-01", false, 0, 0, 0},  {"2009-13-01", false, 0, 0, 0},
        {"2009-04-31", false, 0, 0, 0},  {"2009-3-14", false, 0, 0, 0},
        {"2009-03-14x", false, 0, 0, 0}, {"", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        BoardRecord r{7, 7, 7, 1, 2, 3};
        EXPECT_EQ(ParseBoardDate(c.text, r), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(r, (BoardRecord{c.year, c.month, c.day, 1, 2, 3})) << c.text;
        else
            EXPECT_EQ(r, (BoardRecord{7, 7, 7, 1, 2, 3})) << c.text;
    }
}

// ---- data watch ----

TEST(DataWatchTest, EntryTextsGiveAddressOldAndNewValue)
{
    struct Case {
        size_t address;
        uint8_t oldValue, newValue;
        int row, column;
        const char* line;
        const char* decimal;
        const char* bits;
    };
    const Case cases[] = {
        {0x1B4, 8, 4, 28, 5, "$E.0x1B4:08->04", "$E.0x1B4:08->04",
         "$E.0x1B4:00001000->00000100"},
        {0x1B5, 1, 0, 28, 6, "$E.0x1B5:01->00", "$E.0x1B5:01->00",
         "$E.0x1B5:00000001->00000000"},
        {0x10, 200, 5, 2, 1, "$E.0x10:C8->05", "$E.0x10:200->05", "$E.0x10:11001000->00000101"},
        {0x7FF, 0xFF, 0, 128, 16, "$E.0x7FF:FF->00", "$E.0x7FF:255->00",
         "$E.0x7FF:11111111->00000000"},
        // The embedded messages' password (1024 to 1031) is never shown; its neighbours are.
        {0x400, 'A', 'B', 65, 1, "$E.0x400:**->**", "$E.0x400:**->**", "$E.0x400:**->**"},
        {0x407, 'Z', ' ', 65, 8, "$E.0x407:**->**", "$E.0x407:**->**", "$E.0x407:**->**"},
        {0x408, 'A', 'B', 65, 9, "$E.0x408:41->42", "$E.0x408:65->66",
         "$E.0x408:01000001->01000010"},
    };
    for (const Case& c : cases) {
        const WatchEntry e = CDataWatch::MakeEntry(c.address, c.oldValue, c.newValue);
        EXPECT_EQ(e.row, c.row) << c.line;
        EXPECT_EQ(e.column, c.column) << c.line;
        EXPECT_EQ(e.line, c.line);
        EXPECT_EQ(e.decimalText, c.decimal);
        EXPECT_EQ(e.bitsText, c.bits);
        EXPECT_EQ(e.Detail("Decimal:", "Binary:"),
                  "Decimal: " + std::string(c.decimal) + "\r\nBinary: " + c.bits);
    }
}

TEST(DataWatchTest, CompareLogsEachChangeOnceInAddressOrder)
{
    CDataWatch watch;
    CDataWatch::Image image{};
    image.fill(0x11);
    watch.Open(image);
    EXPECT_EQ(watch.Compare(image), 0u);

    image[0x7FF] = 0x22;
    image[0x1B4] = 0x04;
    image[0] = 0x00;
    EXPECT_EQ(watch.Compare(image), 3u);
    std::vector<std::string> lines;
    for (const WatchEntry& e : watch.Entries()) lines.push_back(e.line);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"$E.0x0:11->00", "$E.0x1B4:11->04", "$E.0x7FF:11->22"}));
    EXPECT_EQ(watch.Snapshot(), image);
    // Nothing changed since: no new lines. After Clear the snapshot stays.
    EXPECT_EQ(watch.Compare(image), 0u);
    watch.Clear();
    EXPECT_TRUE(watch.Entries().empty());
    EXPECT_EQ(watch.Compare(image), 0u);
    EXPECT_EQ(watch.CellText(28, 5, "corner"), "04");

    // A byte that changes back is logged again; a cell finds its first line.
    image[0x1B4] = 0x11;
    image[0x1B5] = 0x12;
    watch.Compare(image);
    image[0x1B4] = 0x05;
    watch.Compare(image);
    EXPECT_EQ(watch.FindLine(28, 5), 0u);
    EXPECT_EQ(watch.FindLine(28, 6), 1u);
    EXPECT_EQ(watch.FindLine(1, 1), std::nullopt);
}

TEST(DataWatchTest, TableHeadersAndCells)
{
    CDataWatch watch;
    CDataWatch::Image image{};
    image[0x7FF] = 0xAB;
    image[0x10] = 0x5;
    image[0x400] = 'P';  // a byte of the password, shown as stars
    image[0x408] = 'S';
    watch.Open(image);
    struct Case {
        int row, column;
        const char* text;
    };
    const Case cases[] = {{0, 0, "corner"},   {0, 1, "_0"},    {0, 16, "_F"}, {1, 0, "F:000_"},
                          {128, 0, "F:07F_"}, {128, 16, "AB"}, {2, 1, "05"},  {1, 1, "00"},
                          {65, 1, "**"},      {65, 8, "**"},   {65, 9, "53"}};
    for (const Case& c : cases)
        EXPECT_EQ(watch.CellText(c.row, c.column, "corner"), c.text) << c.row << "," << c.column;
}

}  // namespace
}  // namespace rv
