// Service blocks: tuning defaults and item table, test frequencies, embedded messages, and
// the print selection.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/RadioData.h"
#include "editors/common/StepCode.h"
#include "service/EmbeddedBlock.h"
#include "service/TestFreqBlock.h"
#include "service/TuneBlock.h"
#include "data/PrintSelection.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Slice(const CRawRecord& r, size_t offset, size_t count)
{
    return Bytes(r.Bytes().begin() + static_cast<long>(offset),
                 r.Bytes().begin() + static_cast<long>(offset + count));
}

// ---- tuning ----

TEST(TuneBlockTest, ItemTableMapsItemsToOffsets)
{
    struct Case {
        uint16_t item;
        size_t offset;
    };
    const Case cases[] = {
        {0x8002, 0},  {0x8020, 1},   {0x8024, 5},   {0x8040, 6},   {0x805A, 16},
        {0x80B3, 64}, {0x80D2, 71},  {0x8212, 76},  {0x8300, 87},  {0x8442, 147},
        {0x8484, 152}, {0x84A2, 153},
        // Not in the table: offset 0.
        {0x8003, 0},  {0x8025, 0},   {0x850B, 0},   {0x0000, 0},   {0xFFFF, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TuneItemOffset(c.item), c.offset) << std::hex << c.item;
    EXPECT_TRUE(std::is_sorted(kTuneItems.begin(), kTuneItems.end()));
    EXPECT_EQ(std::adjacent_find(kTuneItems.begin(), kTuneItems.end()), kTuneItems.end());
    for (size_t k = 0; k < kTuneItemCount; ++k) EXPECT_EQ(TuneItemOffset(kTuneItems[k]), k);
}

TEST(TuneBlockTest, DefaultRecordRows)
{
    CTuneBlock tune;
    const CRawRecord& r = tune.Raw();
    EXPECT_EQ(Slice(r, 0, 16), (Bytes{0x28, 0x32, 0x2E, 0x2E, 0x32, 0x30, 0x65, 0x5F, 0x5F, 0x64,
                                      0x60, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Slice(r, 64, 16), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1B, 0x1A, 0x1A,
                                       0x19, 0x18, 0x8E, 0x87, 0x87, 0x8B}));
    EXPECT_EQ(Slice(r, 144, 16), (Bytes{0x13, 0x08, 0x13, 0x96, 0x61, 0x91, 0xAC, 0xD6, 0xF4, 0x7F,
                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Slice(r, 176, 16), (Bytes{0xF5, 0xFF, 0xFF, 0xFF, 0xFF, 0x98, 0xED, 0x21, 0x20, 0xDD,
                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(tune.ItemValue(0x84A2), 0x7F);
    EXPECT_EQ(tune.ItemValue(0x8442), 0x96);
    EXPECT_EQ(tune.ItemValue(0x8212), 0x8E);

    tune.SetItemValue(0x80B3, 0x42);
    EXPECT_EQ(r[64], 0x42);
    tune.SetDefaults();
    EXPECT_EQ(r[64], 0xFF);
    EXPECT_TRUE(std::equal(r.Bytes().begin(), r.Bytes().end(), CTuneBlock::DefaultRecord().begin()));
}

// ---- test frequencies ----

class TestFreqBlockTest : public test::HomeTest {};

struct PairText {
    const char* rx;
    const char* tx;
};

TEST_F(TestFreqBlockTest, DefaultsSpreadOverTheRange400To470)
{
    // M 435, Q1 417, Q3 452, E1 408, E2 426, E3 443, E4 461.
    const PairText pairs[] = {
        {"400.15000", "400.00000"}, {"408.15000", "408.00000"}, {"416.85000", "417.00000"},
        {"425.85000", "426.00000"}, {"435.15000", "435.00000"}, {"443.15000", "443.00000"},
        {"451.85000", "452.00000"}, {"460.85000", "461.00000"}, {"469.85000", "470.00000"},
    };
    const PairText points[] = {{"400.15000", "400.00000"}, {"417.15000", "417.00000"},
                               {"435.15000", "435.00000"}, {"452.15000", "452.00000"},
                               {"469.85000", "470.00000"}};
    const CTestFreqBlock& block = Radio().TestFreq();
    for (size_t k = 0; k < kTestPairCount; ++k) {
        SCOPED_TRACE(k);
        if (k < std::size(pairs)) {
            EXPECT_EQ(block.PairRxText(k), pairs[k].rx);
            EXPECT_EQ(block.PairTxText(k), pairs[k].tx);
            EXPECT_EQ(block.PairRxStep(k), static_cast<uint8_t>(StepCode::Step6k25));
        } else {
            EXPECT_EQ(block.PairRxBcd(k), 0u);
            EXPECT_EQ(block.PairTxBcd(k), 0u);
            EXPECT_EQ(block.PairRxStep(k), 0);
            EXPECT_EQ(block.PairTxStep(k), 0);
            EXPECT_EQ(block.PairRxText(k), "");
        }
    }
    for (size_t j = 0; j < kPointCount; ++j) {
        EXPECT_EQ(block.PointRxText(j), points[j].rx) << j;
        EXPECT_EQ(block.PointTxText(j), points[j].tx) << j;
    }
    // Pair 0 in the record: 400.15 MHz little-endian packed decimal.
    EXPECT_EQ(Slice(block.Raw(), 0, 10),
              (Bytes{0x00, 0x50, 0x01, 0x40, 0x00, 0x00, 0x00, 0x40, 0x03, 0x03}));
}

TEST_F(TestFreqBlockTest, DefaultsFollowTheCurrentRange)
{
    UseModel("RV205", "136-174");
    const CTestFreqBlock& block = Radio().TestFreq();
    EXPECT_EQ(block.PairRxText(4), "155.15000");
    EXPECT_EQ(block.PairTxText(4), "155.00000");
    EXPECT_EQ(block.PairRxText(0), "136.15000");
    EXPECT_EQ(block.PairTxText(8), "174.00000");
    // In an edition a multiple of 12.5 kHz is step code 6.
    UseModel("RV305", "136-174");
    EXPECT_EQ(Radio().TestFreq().PairTxStep(4), static_cast<uint8_t>(StepCode::Step12k5));
}

TEST_F(TestFreqBlockTest, StoringTextsFitsPairsToAStepAndKeepsPoints)
{
    struct Case {
        const char* model;
        const char* text;
        uint32_t pairBcd;
        StepCode step;
        uint32_t pointBcd;
    };
    const Case cases[] = {
        {"RV205", "", 0, StepCode::Step6k25, 0},
        {"RV305", "", 0, StepCode::Step12k5, 0},
        {"RV205", "435.0125", 0x43501250, StepCode::Step6k25, 0x43501250},
        {"RV205", "435.01", 0x43501000, StepCode::Step5k, 0x43501000},
        {"RV205", "435.0123", 0x43500625, StepCode::Step6k25, 0x43501230},
        {"RV305", "435.0123", 0x43500000, StepCode::Step12k5, 0x43501230},
        {"RV385", "435.005", 0x43500500, StepCode::Step5k, 0x43500500},
        {"RV205", "400.123456", 0x40011875, StepCode::Step6k25, 0x40012345},
        {"RV205", "-5", 0, StepCode::Step6k25, 0},
        {"RV205", "abc", 0, StepCode::Step6k25, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " '" + c.text + "'");
        UseModel(c.model, "400-470");
        CTestFreqBlock& block = Radio().TestFreq();
        block.SetPairRxText(1, c.text);
        block.SetPointTxText(2, c.text);
        block.StoreTexts();
        EXPECT_EQ(block.PairRxBcd(1), c.pairBcd);
        EXPECT_EQ(block.PairRxStep(1), static_cast<uint8_t>(c.step));
        EXPECT_EQ(block.PointTxBcd(2), c.pointBcd);
        // Everything else is stored back as it was.
        EXPECT_EQ(block.PairTxText(1), "408.00000");
        block.LoadTexts();
        EXPECT_EQ(block.PairRxText(1), CTestFreqBlock::FrequencyText(c.pairBcd));
    }
}

TEST_F(TestFreqBlockTest, EmptyAndErasedFrequenciesLoadAsEmptyTexts)
{
    CTestFreqBlock& block = Radio().TestFreq();
    block.Raw().SetU32(0, 0xFFFFFFFF);
    block.Raw().SetU32(180, 0);
    block.LoadTexts();
    EXPECT_EQ(block.PairRxText(0), "");
    EXPECT_EQ(block.PointTxText(0), "");
    EXPECT_EQ(CTestFreqBlock::FrequencyText(0x40012500), "400.12500");
    EXPECT_EQ(CTestFreqBlock::FrequencyText(0x00000001), "0.00001");
}

// ---- embedded messages ----

class EmbeddedBlockTest : public test::HomeTest {};

TEST_F(EmbeddedBlockTest, DefaultRecordIsZeros)
{
    CEmbeddedBlock& block = Radio().Embedded();
    EXPECT_TRUE(std::all_of(block.Raw().Bytes().begin(), block.Raw().Bytes().end(),
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(block.Password(), "");
    for (size_t i = 0; i < kEmbeddedMessageCount; ++i) EXPECT_EQ(block.Message(i), "");
}

TEST_F(EmbeddedBlockTest, TextsAreCutOrBlankPadded)
{
    CEmbeddedBlock& block = Radio().Embedded();
    const std::string forty(40, 'x');
    block.SetMessage(0, forty);
    EXPECT_EQ(block.Message(0), std::string(32, 'x'));
    EXPECT_EQ(block.Raw()[48], 0);  // message 2 untouched

    block.SetMessage(3, "abc");
    EXPECT_EQ(Slice(block.Raw(), 112, 4), (Bytes{'a', 'b', 'c', ' '}));
    EXPECT_EQ(block.Raw()[143], ' ');
    EXPECT_EQ(block.Message(3), "abc");

    block.SetPassword("1234");
    EXPECT_EQ(Slice(block.Raw(), 0, 8), (Bytes{'1', '2', '3', '4', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(block.Password(), "1234");
    EXPECT_EQ(block.SecondText(), "");

    block.SetSecondText("ABCDEFGHIJ");
    EXPECT_EQ(block.SecondText(), "ABCDEFGH");
    EXPECT_EQ(block.Raw()[16], 'x');  // message 1 untouched

    // A blank inside the text stays; only trailing blanks go.
    block.SetMessage(1, " call base ");
    EXPECT_EQ(block.Message(1), " call base");
}

TEST_F(EmbeddedBlockTest, ErasedFieldLoadsEmpty)
{
    CEmbeddedBlock& block = Radio().Embedded();
    block.SetMessage(2, "HELLO");
    block.Raw()[80] = 0xFF;
    EXPECT_EQ(block.Message(2), "");
    block.Raw().Fill(0xFF);
    EXPECT_EQ(block.Password(), "");
    EXPECT_EQ(block.Message(0), "");
}

TEST_F(EmbeddedBlockTest, MultiByteCharacterIsNotCutInHalf)
{
    CEmbeddedBlock& block = Radio().Embedded();
    // 7 ASCII bytes then a two-byte character: only the ASCII part fits the password.
    block.SetPassword("abcdefg\xC3\xA9");
    EXPECT_EQ(block.Password(), "abcdefg");
    EXPECT_EQ(block.Raw()[7], ' ');
}

// ---- print selection ----

TEST(PrintSelectionTest, CatalogueRowsStartClear)
{
    CPrintSelection selection;
    ASSERT_EQ(CPrintSelection::Count(), 16u);
    EXPECT_EQ(CPrintSelection::Row(0).formId, 1109);
    EXPECT_EQ(CPrintSelection::Row(0).commandId, 32800);
    EXPECT_EQ(CPrintSelection::Row(10).formId, 4000);
    EXPECT_EQ(CPrintSelection::Row(10).commandId, 32887);
    // The categories beyond the first eleven follow them.
    EXPECT_EQ(CPrintSelection::IndexOfCommand(32807), 11);  // microphone
    EXPECT_EQ(CPrintSelection::IndexOfCommand(32888), 15);  // data watch
    for (size_t i = 0; i < CPrintSelection::Count(); ++i) EXPECT_FALSE(selection.Selected(i));
    EXPECT_FALSE(selection.AnySelected());

    EXPECT_TRUE(selection.SelectCommand(32854, true));
    EXPECT_TRUE(selection.Selected(8));
    EXPECT_TRUE(selection.AnySelected());
    EXPECT_FALSE(selection.SelectCommand(12345, true));
    EXPECT_EQ(CPrintSelection::IndexOfCommand(32821), 6);
    EXPECT_EQ(CPrintSelection::IndexOfCommand(1), -1);
    selection.ClearAll();
    EXPECT_FALSE(selection.AnySelected());
}

}  // namespace
}  // namespace rv
