// Channel records: the tone tables, the defaults of a new channel for every kind of band and
// edition, the divisor latched for narrow bands, and the link to the channel's personality.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/common/StepCode.h"
#include "editors/channel/ToneTables.h"
#include "editors/personality/PersonalityData.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::HomeTest;

std::vector<uint8_t> Bytes(const CChannelData& c)
{
    return {c.Raw().Bytes().begin(), c.Raw().Bytes().end()};
}

unsigned ToneTypeOf(uint16_t word) { return GetBits(static_cast<uint8_t>(word >> 8), 6, 2); }
bool ToneCustom(uint16_t word) { return GetBits(static_cast<uint8_t>(word >> 8), 5, 1) != 0; }
unsigned ToneIndex(uint16_t word) { return word & 0x0FFFu; }

// ---------------------------------------------------------------------------------------
// Tone tables

TEST(ToneTablesTest, SizesEndsAndLookups)
{
    ASSERT_EQ(CtcssTable.size(), 51u);
    ASSERT_EQ(DcsTable.size(), 107u);
    EXPECT_EQ(CtcssIndexOf(630), 1);
    EXPECT_EQ(CtcssIndexOf(670), 2);
    EXPECT_EQ(CtcssIndexOf(1230), 20);
    EXPECT_EQ(CtcssIndexOf(2503), 50);
    EXPECT_EQ(CtcssIndexOf(2541), 51);
    EXPECT_FALSE(CtcssIndexOf(671));
    EXPECT_FALSE(CtcssIndexOf(0));
    EXPECT_EQ(DcsIndexOf(17), 1);
    EXPECT_EQ(DcsIndexOf(23), 2);
    EXPECT_EQ(DcsIndexOf(754), 107);
    EXPECT_FALSE(DcsIndexOf(18));
    EXPECT_FALSE(DcsIndexOf(0));
    EXPECT_FALSE(DcsIndexOf(777));
}

TEST(ToneTablesTest, EntryAtRejectsIndexesOutsideTheTable)
{
    EXPECT_FALSE(CtcssAt(0));
    EXPECT_FALSE(CtcssAt(52));
    EXPECT_FALSE(DcsAt(0));
    EXPECT_FALSE(DcsAt(108));
    EXPECT_EQ(CtcssAt(51)->value, 2541);
    EXPECT_EQ(DcsAt(107)->value, 754);
    for (unsigned i = 1; i <= CtcssTable.size(); ++i) EXPECT_EQ(CtcssIndexOf(CtcssAt(i)->value), i);
    for (unsigned i = 1; i <= DcsTable.size(); ++i) EXPECT_EQ(DcsIndexOf(DcsAt(i)->value), i);
}

TEST(ToneTablesTest, NonStandardMarks)
{
    const std::vector<uint16_t> marked{630,  693,  1598, 1655, 1713, 1773, 1835,
                                       1899, 1966, 1995, 2065, 2291, 2541};
    std::vector<uint16_t> found;
    for (const auto& e : CtcssTable)
        if (e.nonStandard) found.push_back(e.value);
    EXPECT_EQ(found, marked);
    const auto dcsMarked = std::count_if(DcsTable.begin(), DcsTable.end(),
                                         [](const ToneEntry& e) { return e.nonStandard; });
    EXPECT_EQ(dcsMarked, 1);
    EXPECT_TRUE(DcsTable[0].nonStandard);  // 017
}

// ---------------------------------------------------------------------------------------
// Defaults

class ChannelDefaultsTest : public HomeTest {
protected:
    void SetUp() override
    {
        Radio().ResetChannelDefaultsLatch();
        HomeTest::SetUp();
    }
    void TearDown() override { Radio().ResetChannelDefaultsLatch(); }
    const CChannelData& Channel(size_t n) const { return *Radio().Channels().at(n); }
    uint32_t Units(size_t n) const { return FromBcd(Channel(n).RxFreq()); }
};

struct RecordCase {
    const char* model;
    const char* range;
    size_t position;
    std::vector<uint8_t> bytes;
};

TEST_F(ChannelDefaultsTest, RecordsPerBandAndEdition)
{
    const RecordCase cases[] = {
        // Ordinary band, standard model: 400.325 MHz, 123.0 Hz, 25 kHz, high power.
        {"RV205", "400-470", 0,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x25, 0x03, 0x40, 0x00, 0x25, 0x03, 0x40, 0x14, 0x40,
          0x14, 0x40, 0x33, 0x22, 0x00, 0x00}},
        // Channel 16: 407.825 MHz, 179.9 Hz, auto start scan.
        {"RV205", "400-470", 15,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x25, 0x78, 0x40, 0x00, 0x25, 0x78, 0x40, 0x23, 0x40,
          0x23, 0x40, 0x33, 0x22, 0x00, 0x40}},
        // First edition: 6 MHz higher start, 12.5 kHz step code, no tone from channel 14 on.
        {"RV305", "400-470", 13,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x25, 0x28, 0x41, 0x00, 0x25, 0x28, 0x41, 0x21, 0x00,
          0x21, 0x00, 0x66, 0x22, 0x00, 0x00}},
        {"RV305", "400-470", 12,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x25, 0x23, 0x41, 0x00, 0x25, 0x23, 0x41, 0x1F, 0x40,
          0x1F, 0x40, 0x66, 0x22, 0x00, 0x00}},
        // Second edition.
        {"RV385", "136-174", 0,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x25, 0x23, 0x14, 0x00, 0x25, 0x23, 0x14, 0x14, 0x40,
          0x14, 0x40, 0x66, 0x22, 0x00, 0x00}},
        // Licence-free bands: table frequency and tone, spacing and power 0, compandor on for
        // the standard model.
        {"RV205", "446-447", 0,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x75, 0x43, 0x60, 0x44, 0x75, 0x43, 0x60, 0x44, 0xFF, 0x20,
          0xFF, 0x20, 0x33, 0x00, 0x00, 0x08}},
        {"RV205", "446-447", 7,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x75, 0x43, 0x60, 0x44, 0x75, 0x43, 0x60, 0x44, 0x6B, 0x80,
          0x6B, 0x80, 0x33, 0x00, 0x00, 0x08}},
        {"RV205", "446-447", 15,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x25, 0x56, 0x60, 0x44, 0x25, 0x56, 0x60, 0x44, 0xFF, 0x20,
          0xFF, 0x20, 0x33, 0x00, 0x00, 0x48}},
        {"RV305", "446-447", 0,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x75, 0x43, 0x60, 0x44, 0x75, 0x43, 0x60, 0x44, 0xFF, 0x20,
          0xFF, 0x20, 0x33, 0x00, 0x00, 0x00}},
        {"RV205", "433-434", 0,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x75, 0x30, 0x43, 0x00, 0x75, 0x30, 0x43, 0xFF, 0x20,
          0xFF, 0x20, 0x33, 0x00, 0x00, 0x08}},
        {"RV205", "448-450", 1,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x50, 0x62, 0x87, 0x44, 0x50, 0x62, 0x87, 0x44, 0xFF, 0x20,
          0xFF, 0x20, 0x33, 0x00, 0x00, 0x08}},
        {"RV205", "448-450", 15,
         {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x50, 0x91, 0x44, 0x00, 0x50, 0x91, 0x44, 0xFF, 0x20,
          0xFF, 0x20, 0x33, 0x00, 0x00, 0x48}},
    };
    for (const auto& c : cases) {
        UseModel(c.model, c.range);
        EXPECT_EQ(Bytes(Channel(c.position)), c.bytes)
            << c.model << " " << c.range << " channel " << c.position + 1;
    }
}

TEST_F(ChannelDefaultsTest, OrdinaryBandUsesStandardTonesOnly)
{
    const uint16_t tones[16] = {1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
                                1567, 1622, 1622, 1679, 1679, 1738, 1738, 1799};
    for (size_t n = 0; n < 16; ++n) {
        const CChannelData& c = Channel(n);
        EXPECT_EQ(c.RxTone(), c.TxTone());
        EXPECT_EQ(ToneTypeOf(c.RxTone()), 1u);
        EXPECT_FALSE(ToneCustom(c.RxTone()));
        const auto entry = CtcssAt(ToneIndex(c.RxTone()));
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->value, tones[n]) << "channel " << n + 1;
        EXPECT_FALSE(entry->nonStandard);
        EXPECT_EQ(Units(n), 40032500u + 50000u * n);
        EXPECT_EQ(c.Flag(CChannelData::FlagBit::AutoStartScan), n == 15);
    }
}

TEST_F(ChannelDefaultsTest, EditionsDropTheToneFromChannel14)
{
    for (const char* model : {"RV305", "RV385"}) {
        UseModel(model, "400-470");
        for (size_t n = 0; n < 16; ++n)
            EXPECT_EQ(ToneTypeOf(Channel(n).RxTone()), n >= 13 ? 0u : 1u) << model << " " << n;
        EXPECT_EQ(Units(0), 40632500u) << model;
    }
}

TEST_F(ChannelDefaultsTest, Band446Tones)
{
    UseModel("RV205", "446-447");
    struct Row {
        uint32_t units;
        unsigned type;
        uint16_t value;  // 0: no tone
    };
    const Row rows[16] = {
        {44604375, 0, 0},    {44600625, 0, 0},    {44609375, 0, 0},    {44605625, 0, 0},
        {44605625, 1, 670},  {44605625, 1, 2503}, {44604375, 2, 23},   {44604375, 2, 754},
        {44609375, 1, 1273}, {44608125, 1, 670},  {44600625, 1, 2503}, {44608125, 2, 23},
        {44601875, 2, 754},  {44606875, 2, 23},   {44600625, 2, 754},  {44605625, 0, 0},
    };
    for (size_t n = 0; n < 16; ++n) {
        const CChannelData& c = Channel(n);
        const uint16_t word = c.RxTone();
        EXPECT_EQ(Units(n), rows[n].units) << n;
        EXPECT_EQ(c.TxFreq(), c.RxFreq()) << n;
        EXPECT_EQ(c.TxTone(), word) << n;
        EXPECT_EQ(ToneTypeOf(word), rows[n].type) << n;
        if (rows[n].type == 0) {
            EXPECT_EQ(word, 0x20FF) << n;
        } else {
            EXPECT_FALSE(ToneCustom(word)) << n;
            const unsigned index = ToneIndex(word);
            const auto entry = rows[n].type == 1 ? CtcssAt(index) : DcsAt(index);
            ASSERT_TRUE(entry) << n;
            EXPECT_EQ(entry->value, rows[n].value) << n;
        }
    }
}

TEST_F(ChannelDefaultsTest, LicenceFreeTableRepeatsBeyondSixteenChannels)
{
    UseModel("RV205", "446-447");
    Radio().SetDefaults();  // 32 channels
    ASSERT_EQ(Radio().Channels().size(), 32u);
    for (size_t n = 16; n < 32; ++n) EXPECT_EQ(Channel(n).RxFreq(), Channel(n - 16).RxFreq());
}

TEST_F(ChannelDefaultsTest, NarrowBandLatchesTheDivisorOfItsFirstOverflow)
{
    // 136-137 MHz holds two channels at 500 kHz: channel 3 overflows and latches divisor 2.
    UseModel("RV205", "136-137");
    for (size_t n = 0; n < 16; ++n)
        EXPECT_EQ(Units(n), 13632500u + 50000u * (n % 2)) << n;

    // The latch stays for the run: a wider band that overflows at channel 9 keeps divisor 2.
    UseModel("RV205", "136-140");
    EXPECT_EQ(Units(7), 13982500u);
    EXPECT_EQ(Units(8), 13632500u);
    EXPECT_EQ(Units(10), 13632500u);

    // Forgotten, the same band latches its own divisor 8.
    Radio().ResetChannelDefaultsLatch();
    UseModel("RV205", "136-140");
    EXPECT_EQ(Units(8), 13632500u);
    EXPECT_EQ(Units(10), 13732500u);
}

TEST_F(ChannelDefaultsTest, LatchFromAWiderBandStillKeepsDefaultsInsideTheBand)
{
    UseModel("RV205", "136-140");  // latches divisor 8
    UseModel("RV205", "136-137");
    for (size_t n = 0; n < 16; ++n) {
        EXPECT_GE(Units(n), 13600000u) << n;
        EXPECT_LE(Units(n), 13700000u) << n;
    }
}

TEST_F(ChannelDefaultsTest, EveryDefaultFrequencyIsOnItsStep)
{
    for (const char* model : {"RV205", "RV305", "RV385"}) {
        UseModel(model, "136-174");
        for (size_t n = 0; n < 16; ++n) {
            uint32_t units = Units(n);
            const auto step = static_cast<unsigned>(StepOf(units));
            EXPECT_EQ(units, Units(n)) << "frequency not on a raster";
            EXPECT_EQ(Channel(n).RxStep(), step);
            EXPECT_EQ(Channel(n).TxStep(), step);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Personality link

class ChannelPersonalityTest : public HomeTest {
protected:
    CChannelData& channel() { return *Radio().Channels()[2]; }
    NoticeRecord Notice(NoticeCode code)
    {
        NoticeRecord n;
        n.code = code;
        return n;
    }
};

TEST_F(ChannelPersonalityTest, ResolveLinksFollowsByte18)
{
    auto& second = Radio().AddPersonality();
    const uint32_t first = Radio().Personalities()[0]->id_;
    struct Case {
        uint8_t index;
        bool secondUsed;
        uint32_t expected;
    };
    const Case cases[] = {
        {0, true, first}, {1, true, second.id_}, {1, false, 0}, {2, true, 0}, {0xFF, true, 0},
    };
    for (const auto& c : cases) {
        second.used_ = c.secondUsed;
        channel().SetPersonalityIndex(c.index);
        channel().ResolveLinks();
        EXPECT_EQ(channel().personalityId_, c.expected) << int(c.index);
    }
}

TEST_F(ChannelPersonalityTest, MissingPersonalityIsLoggedOnceOnDeletion)
{
    Radio().Personalities().clear();
    channel().OnNotice(Notice(NoticeCode::FieldCommitted));
    channel().OnNotice(Notice(NoticeCode::UsedChanged));
    EXPECT_TRUE(Radio().InvalidLog().Empty()) << "only deletions are checked";

    channel().OnNotice(Notice(NoticeCode::Deleted));
    channel().OnNotice(Notice(NoticeCode::Deleted));
    ASSERT_EQ(Radio().InvalidLog().Rows().size(), 1u);
    const auto& row = Radio().InvalidLog().Rows()[0];
    EXPECT_EQ(row.key, channel().id_ + 69238);
    EXPECT_EQ(row.key, channel().PersonalityNoticeKey());
    EXPECT_EQ(row.name, Settings().LoadText(3702));
    EXPECT_EQ(row.message, Settings().LoadText(3655) + " - 3: " + Settings().LoadText(3657));
    EXPECT_FALSE(row.name.empty());

    // The record itself is not touched.
    EXPECT_EQ(channel().PersonalityIndex(), 0);

    channel().WithdrawNotices();
    EXPECT_TRUE(Radio().InvalidLog().Empty());
}

TEST_F(ChannelPersonalityTest, UnusedPersonalityIsLogged)
{
    Radio().Personalities()[0]->used_ = 0;
    Radio().Notify(Notice(NoticeCode::Deleted));
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), 16u);
}

TEST_F(ChannelPersonalityTest, ExistingPersonalityIsNotLogged)
{
    Radio().Notify(Notice(NoticeCode::Deleted));
    EXPECT_TRUE(Radio().InvalidLog().Empty());
}

}  // namespace
}  // namespace rv
