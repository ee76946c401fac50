// Channel text form and frequency texts: typed frequencies to values (rounding, truncation,
// band limits, step fitting per edition), the fixed lists of the licence-free bands, the tone
// choices, and the record <-> text form conversions with their repairs and clamps.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFields.h"
#include "editors/channel/ChannelRules.h"
#include "editors/channel/FrequencyText.h"
#include "editors/channel/ToneTables.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::HomeTest;

constexpr BandLimits kBand400{400, 470};
constexpr BandLimits kBand136{136, 174};

unsigned ToneIndex(uint16_t word)
{
    return word & 0x0FFFu;
}
bool ToneCustom(uint16_t word)
{
    return (word >> 13) & 1u;
}
unsigned ToneTypeBits(uint16_t word)
{
    return word >> 14;
}

// ---------------------------------------------------------------------------------------
// Frequency texts

TEST(FrequencyTextTest, TextToUnits)
{
    struct Case {
        const char* text;
        uint32_t rounded;
        uint32_t truncated;
    };
    const Case cases[] = {
        {"446.00625", 44600625, 44600625},
        {"146.5234", 14652340, 14652340},
        {"433.074999", 43307500, 43307499},  // below 10 Hz: rounded vs dropped
        {"433.075", 43307500, 43307500},
        {" 145 ", 14500000, 14500000},
        {"", kNoFrequency, kNoFrequency},
        {"   ", kNoFrequency, kNoFrequency},
        {"-5", 0, 0},                  // never wraps to a huge unsigned value
        {"abc", 0, 0},                 // as atof reads it
        {"1e30", 99999999, 99999999},  // limited to eight digits
        {"nan", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FreqTextToUnits(c.text), c.rounded) << c.text;
        EXPECT_EQ(FreqTextToUnitsTruncated(c.text), c.truncated) << c.text;
    }
    EXPECT_EQ(FormatFrequencyUnits(44600625), "446.00625");
    EXPECT_EQ(FormatFrequencyUnits(kNoFrequency), "");
}

TEST(FrequencyTextTest, ClampToBandReportsTheClamp)
{
    EXPECT_EQ(ClampToBand(39999999, kBand400).units, 40000000u);
    EXPECT_TRUE(ClampToBand(39999999, kBand400).clamped);
    EXPECT_EQ(ClampToBand(47000001, kBand400).units, 47000000u);
    EXPECT_TRUE(ClampToBand(47000001, kBand400).clamped);
    // Both limits are inside the band.
    EXPECT_FALSE(ClampToBand(40000000, kBand400).clamped);
    EXPECT_FALSE(ClampToBand(47000000, kBand400).clamped);
}

TEST(FrequencyTextTest, FrequencyBoxRoundsClampsAndFitsTheStep)
{
    struct Case {
        const char* text;
        StepEdition edition;
        BandLimits band;
        const char* shown;
        uint32_t bcd;
        StepCode step;
        bool clamped;
    };
    const Case cases[] = {
        // On the 6.25 kHz raster only: code 3, unchanged, in every edition.
        {"446.00625", StepEdition::Standard, kBand400, "446.00625", 0x44600625, StepCode::Step6k25,
         false},
        {"446.00625", StepEdition::First, kBand400, "446.00625", 0x44600625, StepCode::Step6k25,
         false},
        {"446.00625", StepEdition::Second, kBand400, "446.00625", 0x44600625, StepCode::Step6k25,
         false},
        // Off every raster: lowered to 6.25 kHz (standard) or 12.5 kHz (editions).
        {"146.5234", StepEdition::Standard, kBand136, "146.51875", 0x14651875, StepCode::Step6k25,
         false},
        {"146.5234", StepEdition::First, kBand136, "146.51250", 0x14651250, StepCode::Step12k5,
         false},
        {"146.5234", StepEdition::Second, kBand136, "146.51250", 0x14651250, StepCode::Step12k5,
         false},
        // A multiple of 12.5 kHz is code 6 in the editions although it is on 6.25 kHz too.
        {"145.000", StepEdition::Second, kBand136, "145.00000", 0x14500000, StepCode::Step12k5,
         false},
        {"145.000", StepEdition::Standard, kBand136, "145.00000", 0x14500000, StepCode::Step6k25,
         false},
        // 5 kHz only counts in the second edition and the standard rule.
        {"145.005", StepEdition::Second, kBand136, "145.00500", 0x14500500, StepCode::Step5k,
         false},
        {"145.005", StepEdition::First, kBand136, "145.00000", 0x14500000, StepCode::Step12k5,
         false},
        // Out of band: set to the limit.
        {"500", StepEdition::Standard, kBand400, "470.00000", 0x47000000, StepCode::Step6k25, true},
        {"12.5", StepEdition::Standard, kBand400, "400.00000", 0x40000000, StepCode::Step6k25,
         true},
    };
    for (const auto& c : cases) {
        const FrequencyEntry e = CommitFrequencyBox(c.text, c.band, c.edition);
        EXPECT_EQ(e.text, c.shown) << c.text;
        EXPECT_EQ(e.bcd, c.bcd) << c.text;
        ASSERT_TRUE(e.step) << c.text;
        EXPECT_EQ(*e.step, static_cast<uint8_t>(c.step)) << c.text;
        EXPECT_EQ(e.clamped, c.clamped) << c.text;
    }
    const FrequencyEntry empty = CommitFrequencyBox("", kBand400, StepEdition::Standard);
    EXPECT_EQ(empty.bcd, kNoFrequency);
    EXPECT_FALSE(empty.step);
    EXPECT_EQ(empty.text, "");
    EXPECT_FALSE(empty.clamped);
}

TEST(FrequencyTextTest, GridStepRounding)
{
    const std::pair<uint32_t, uint32_t> cases[] = {
        {14500000, 14500000},  // 12.5 kHz
        {14501000, 14501000},  // 10 kHz
        {14500625, 14500625},  // 6.25 kHz
        {14500500, 14500500},  // 5 kHz
        {14652340, 14652250},  // none: down to 2.5 kHz
        {14500260, 14500250},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(GridStepRound(in), out) << in;
}

class FrequencyCellTest : public HomeTest {};

TEST_F(FrequencyCellTest, GridCellClampsSilentlyAndKeepsTheGridRaster)
{
    const FrequencyEntry e = CommitFrequencyCell("146.5234", kBand136);
    EXPECT_EQ(e.text, "146.52250");
    EXPECT_EQ(e.bcd, 0x14652250u);
    const FrequencyEntry high = CommitFrequencyCell("999", kBand136);
    EXPECT_EQ(high.text, "174.00000");
    EXPECT_EQ(CommitFrequencyCell("", kBand136).bcd, kNoFrequency);
}

// ---------------------------------------------------------------------------------------
// Licence-free lists

class LicenceFreeListTest : public HomeTest {};

TEST_F(LicenceFreeListTest, ListsPerBand)
{
    EXPECT_TRUE(IsLicenceFreeBand(433));
    EXPECT_TRUE(IsLicenceFreeBand(446));
    EXPECT_TRUE(IsLicenceFreeBand(448));
    EXPECT_FALSE(IsLicenceFreeBand(400));
    EXPECT_TRUE(LicenceFreeListEntries(400).empty());

    const std::string none = Settings().LoadText(kNoFrequencyTextId);
    EXPECT_FALSE(none.empty());

    const auto b433 = LicenceFreeListEntries(433);
    ASSERT_EQ(b433.size(), 70u);
    EXPECT_EQ(b433[0], none);
    EXPECT_EQ(b433[1], "433.07500");
    EXPECT_EQ(b433.back(), "434.77500");

    const auto b446 = LicenceFreeListEntries(446);
    ASSERT_EQ(b446.size(), 9u);
    EXPECT_EQ(b446[1], "446.00625");
    EXPECT_EQ(b446.back(), "446.09375");

    const auto b448 = LicenceFreeListEntries(448);
    ASSERT_EQ(b448.size(), 26u);
    EXPECT_EQ(b448[15], "448.92500");
    EXPECT_EQ(b448[16], "449.15000");
    EXPECT_EQ(b448.back(), "449.26250");
}

TEST_F(LicenceFreeListTest, EveryEntryConvertsBackExactlyAndKeepsItsFrequency)
{
    for (int band : {433, 446, 448}) {
        for (StepEdition edition :
             {StepEdition::Standard, StepEdition::First, StepEdition::Second}) {
            for (uint32_t units : LicenceFreeFrequencies(band)) {
                const FrequencyEntry e = LicenceFreeSelection(FormatFrequencyUnits(units), edition);
                EXPECT_EQ(e.bcd, ToBcd(units)) << units;
                EXPECT_TRUE(e.step);
            }
        }
    }
    const auto entries = LicenceFreeListEntries(446);
    EXPECT_EQ(LicenceFreeSelection(entries[0], StepEdition::Standard).bcd, kNoFrequency);
    EXPECT_EQ(LicenceFreeListIndex(entries, kNoFrequency), 0);
    EXPECT_EQ(LicenceFreeListIndex(entries, 0x44600625), 1);
    EXPECT_EQ(LicenceFreeListIndex(entries, 0x40000000), -1);
}

// ---------------------------------------------------------------------------------------
// Tone texts and choices

TEST(ToneTextTest, ParsingClampsTypedTones)
{
    EXPECT_EQ(ParseCtcssText("67.0"), 670);
    EXPECT_EQ(ParseCtcssText("300.5"), 3000);
    EXPECT_EQ(ParseCtcssText("12"), 400);
    EXPECT_EQ(ParseCtcssText("-5"), 400);
    EXPECT_EQ(ParseCtcssText("1e9"), 3000);
    EXPECT_EQ(ParseDcsText("023"), 23);
    EXPECT_EQ(ParseDcsText("999"), 777);
    EXPECT_EQ(ParseDcsText("99999999999999"), 777);
    EXPECT_EQ(ParseDcsText("-1"), 0);
    EXPECT_EQ(FormatCtcss(630), "63.0");
    EXPECT_EQ(FormatDcs(17), "017");
}

class ToneChoiceTest : public HomeTest {};

TEST_F(ToneChoiceTest, PagesOfferNonStandardTonesOnlyAtTheFullServiceLevel)
{
    auto has = [](const std::vector<std::string>& v, const char* t) {
        return std::find(v.begin(), v.end(), t) != v.end();
    };
    home.SetUserLevel(0);
    EXPECT_FALSE(has(PageCtcssChoices(), "63.0"));
    EXPECT_TRUE(has(PageCtcssChoices(), "67.0"));
    EXPECT_FALSE(has(PageDcsChoices(), "017"));
    EXPECT_EQ(PageCtcssChoices().size(), 51u - 13u);  // 13 tones are non-standard

    home.SetUserLevel(kFullServiceLevel);
    EXPECT_TRUE(has(PageCtcssChoices(), "63.0"));
    EXPECT_TRUE(has(PageDcsChoices(), "017"));
    EXPECT_EQ(PageCtcssChoices().size(), 51u);
    EXPECT_EQ(PageDcsChoices().size(), 107u);
}

// ---------------------------------------------------------------------------------------
// Record <-> text form

class ChannelFieldsTest : public HomeTest {
protected:
    CChannelData& channel() { return *Radio().Channels()[0]; }
};

TEST_F(ChannelFieldsTest, DefaultChannelShowsItsTextsAndRoundTrips)
{
    CChannelData& c = channel();
    const std::vector<uint8_t> before(c.Raw().Bytes().begin(), c.Raw().Bytes().end());
    const ChannelFields f = c.ToFields();
    EXPECT_EQ(f.RxFreq, 0x40032500u);
    EXPECT_EQ(f.TxFreq, 0x40032500u);
    EXPECT_EQ(f.RxCtcssText, "123.0");
    EXPECT_EQ(f.RxDcsText, "023");
    EXPECT_EQ(f.RxTypeText, Settings().GetChoiceText(kRxTypeList, 1));
    EXPECT_EQ(f.SpacingText, Settings().GetChoiceText(kSpacingList, 2));
    EXPECT_EQ(f.PowerText, Settings().GetChoiceText(kPowerList, 2));
    EXPECT_FALSE(f.SpacingText.empty());
    EXPECT_FALSE(f.RxTypeText.empty());

    c.FromFields(f, kBand400);
    c.SetFlags(f);
    EXPECT_EQ(std::vector<uint8_t>(c.Raw().Bytes().begin(), c.Raw().Bytes().end()), before);
}

TEST_F(ChannelFieldsTest, OutOfTableToneIndexIsRepairedWhenShown)
{
    struct Case {
        ToneType type;
        uint16_t index;
        const char* ctcss;
        const char* dcs;
        unsigned storedIndex;
    };
    const Case cases[] = {
        {ToneType::Analog, 0, "63.0", "023", 1},
        {ToneType::Analog, 52, "63.0", "023", 1},
        {ToneType::Analog, 51, "254.1", "023", 51},
        {ToneType::Digital, 0, "67.0", "017", 1},
        {ToneType::DigitalInverted, 108, "67.0", "017", 1},
        {ToneType::Digital, 107, "67.0", "754", 107},
        {ToneType::None, 0, "67.0", "023", 0},  // no tone: nothing repaired
    };
    for (const auto& c : cases) {
        const uint16_t word = CChannelData::MakeToneWord(c.type, c.index) | 0x1000;  // bit 12
        channel().SetRxTone(word);
        const ChannelFields f = channel().ToFields();
        EXPECT_EQ(f.RxCtcssText, c.ctcss) << int(c.type) << "/" << c.index;
        EXPECT_EQ(f.RxDcsText, c.dcs) << int(c.type) << "/" << c.index;
        EXPECT_EQ(ToneIndex(channel().RxTone()), c.storedIndex);
        EXPECT_EQ(channel().RxTone() & 0xF000u, word & 0xF000u) << "type, custom and bit 12 kept";
    }
}

// A tone word read from a radio or a file whose index is not in its table is shown as index 1
// of its table; written back it stays as it came unless its side's tone is edited.
TEST_F(ChannelFieldsTest, OutOfTableToneWordsAreKeptUntilTheirToneIsEdited)
{
    struct Case {
        const char* what;
        uint16_t word;
        const char* ctcss;
        const char* dcs;
    };
    const Case cases[] = {
        {"analog, custom flag, index FF", 0x60FF, "63.0", "023"},
        {"analog, index 52, no flag", 0x4034, "63.0", "023"},
        {"analog, index 0, bit 12", 0x5000, "63.0", "023"},
        {"analog, index FF, no flag", 0x40FF, "63.0", "023"},
        {"digital, index 0", 0x8000, "67.0", "017"},
        {"digital inverted, custom flag, index 200", 0xE0C8, "67.0", "017"},
        {"no tone, custom flag, index FF", 0x20FF, "67.0", "023"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CChannelData& ch = channel();
        ch.SetRxTone(c.word);
        ch.SetTxTone(c.word);
        const ChannelFields shown = ch.ShowFields();
        EXPECT_EQ(shown.RxCtcssText, c.ctcss);
        EXPECT_EQ(shown.RxDcsText, c.dcs);
        EXPECT_EQ(ch.RxTone(), c.word) << "showing repairs nothing";

        // Written back as shown (open, store, close): both words as they came.
        ch.FromFields(shown, kBand400, ChannelEdits::Between(shown, shown));
        EXPECT_EQ(ch.RxTone(), c.word);
        EXPECT_EQ(ch.TxTone(), c.word);

        // The receive tone edited: its word is built from the texts, the transmit word stays.
        ChannelFields edited = shown;
        edited.RxTypeText = Settings().GetChoiceText(kRxTypeList, 1);
        edited.RxCtcssText = "67.0";
        ch.FromFields(edited, kBand400, ChannelEdits::Between(shown, edited));
        EXPECT_EQ(ch.RxTone() & 0xE000u, 0x4000u) << "analog, no custom flag";
        EXPECT_EQ(ToneIndex(ch.RxTone()), 2u);
        EXPECT_EQ(ch.TxTone(), c.word);
    }
}

// Parts of the record the editor did not change keep their bytes: a choice value no entry
// has, a frequency off the step grid, a frequency pair outside the band, a step code.
TEST_F(ChannelFieldsTest, UnchangedPartsKeepTheirBytes)
{
    struct Case {
        const char* what;
        uint32_t rx, tx;
        uint8_t steps;
        uint8_t spacingPower;
    };
    const Case cases[] = {
        {"off the step grid", 0x44002250, 0x44002250, 0x33, 0x22},
        {"both outside the band", 0x39000000, 0x48000000, 0x77, 0x22},
        {"receive outside the band, no transmit", 0x39000000, kNoFrequency, 0x26, 0x22},
        {"spacing and power no entry has", 0x44000000, 0x44000000, 0x66, 0xEF},
        {"no frequencies", kNoFrequency, kNoFrequency, 0xFF, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CChannelData& ch = channel();
        ch.SetRxFreq(c.rx);
        ch.SetTxFreq(c.tx);
        ch.Raw()[CChannelData::Offset::Steps] = c.steps;
        ch.Raw()[CChannelData::Offset::SpacingPower] = c.spacingPower;
        const std::vector<uint8_t> before(ch.Raw().Bytes().begin(), ch.Raw().Bytes().end());
        const ChannelFields shown = ch.ShowFields();
        const ChannelEdits none = ChannelEdits::Between(shown, shown);
        EXPECT_TRUE(none.None());
        ch.FromFields(shown, kBand400, none);
        EXPECT_EQ(std::vector<uint8_t>(ch.Raw().Bytes().begin(), ch.Raw().Bytes().end()), before);

        // Only the edited transmit frequency is fitted; the receive frequency stays.
        if (c.rx == kNoFrequency) continue;
        ChannelFields edited = shown;
        edited.TxFreq = 0x48500000;
        ch.FromFields(edited, kBand400, ChannelEdits::Between(shown, edited));
        EXPECT_EQ(ch.RxFreq(), c.rx);
        EXPECT_EQ(ch.TxFreq(), 0x47000000u);
        EXPECT_EQ(ch.RxStep(), c.steps & 0x0Fu);
        EXPECT_EQ(ch.Raw()[CChannelData::Offset::SpacingPower], c.spacingPower);
    }
    // A cleared receive frequency still takes the transmit frequency with it.
    channel().SetRxFreq(0x44000000);
    channel().SetTxFreq(0x44500000);
    ChannelFields shown = channel().ShowFields();
    ChannelFields edited = shown;
    edited.RxFreq = kNoFrequency;
    channel().FromFields(edited, kBand400, ChannelEdits::Between(shown, edited));
    EXPECT_EQ(channel().TxFreq(), kNoFrequency);
}

TEST_F(ChannelFieldsTest, TypedTonesBecomeTableIndexesOrCustom)
{
    struct Case {
        unsigned type;
        const char* ctcss;
        const char* dcs;
        unsigned index;
        bool custom;
    };
    const Case cases[] = {
        {1, "67.0", "023", 2, false},
        {1, "300.5", "023", 0xFF, true},  // clamped to 300.0, not in the table
        {1, "67.05", "023", 2, false},    // tenths truncated
        {1, "68", "023", 0xFF, true},
        {2, "67.0", "754", 107, false},
        {3, "67.0", "023", 2, false},
        {2, "67.0", "999", 0xFF, true},  // 777 is not a table code
        {2, "67.0", "018", 0xFF, true},
    };
    ChannelFields f = channel().ToFields();
    for (const auto& c : cases) {
        f.RxTypeText = Settings().GetChoiceText(kRxTypeList, static_cast<int>(c.type));
        f.RxCtcssText = c.ctcss;
        f.RxDcsText = c.dcs;
        channel().FromFields(f, kBand400);
        const uint16_t word = channel().RxTone();
        EXPECT_EQ(ToneTypeBits(word), c.type) << c.ctcss << "/" << c.dcs;
        EXPECT_EQ(ToneIndex(word), c.index) << c.ctcss << "/" << c.dcs;
        EXPECT_EQ(ToneCustom(word), c.custom) << c.ctcss << "/" << c.dcs;
    }
}

TEST_F(ChannelFieldsTest, NoToneKeepsTheIndexBits)
{
    channel().SetRxTone(CChannelData::MakeToneWord(ToneType::Analog, 20));
    ChannelFields f = channel().ToFields();
    f.RxTypeText = Settings().GetChoiceText(kRxTypeList, 0);
    f.RxCtcssText = "250.3";
    channel().FromFields(f, kBand400);
    EXPECT_EQ(channel().RxTone(), CChannelData::MakeToneWord(ToneType::None, 20));
}

TEST_F(ChannelFieldsTest, FrequenciesAreClampedOnlyWhenBothAreSet)
{
    struct Case {
        uint32_t rx, tx;
        uint32_t storedRx, storedTx;
    };
    const Case cases[] = {
        {kNoFrequency, 0x45000000, kNoFrequency, kNoFrequency},  // no receive: no transmit
        {0x39000000, kNoFrequency, 0x39000000, kNoFrequency},    // transmit empty: not clamped
        {0x39000000, 0x48000000, 0x40000000, 0x47000000},        // both clamped
        {0x45012500, 0x46012500, 0x45012500, 0x46012500},
    };
    ChannelFields f = channel().ToFields();
    for (const auto& c : cases) {
        f.RxFreq = c.rx;
        f.TxFreq = c.tx;
        channel().FromFields(f, kBand400);
        EXPECT_EQ(channel().RxFreq(), c.storedRx) << std::hex << c.rx << " " << c.tx;
        EXPECT_EQ(channel().TxFreq(), c.storedTx) << std::hex << c.rx << " " << c.tx;
    }
}

TEST_F(ChannelFieldsTest, FixedListFrequenciesBeyondTheNominalBandAreKept)
{
    // The 433 MHz list runs to 434.775 MHz although the band is given as 433-434.
    const BandLimits band433{433, 434};
    ChannelFields f = channel().ToFields();
    f.RxFreq = LicenceFreeSelection("434.77500", StepEdition::Standard).bcd;
    f.TxFreq = LicenceFreeSelection("434.02500", StepEdition::Standard).bcd;
    channel().FromFields(f, band433);
    EXPECT_EQ(channel().RxFreq(), 0x43477500u);
    EXPECT_EQ(channel().TxFreq(), 0x43402500u);
    // A typed frequency off the list is still clamped.
    f.TxFreq = 0x43480000;
    channel().FromFields(f, band433);
    EXPECT_EQ(channel().TxFreq(), 0x43400000u);
    EXPECT_FALSE(IsFixedFrequency(433, 43477500 + 2500));
    EXPECT_FALSE(IsFixedFrequency(446, 44600000));
    EXPECT_TRUE(IsFixedFrequency(448, 44915000));
}

TEST_F(ChannelFieldsTest, ClearedReceiveFrequencyMakesTheChannelUnused)
{
    ChannelFields f = channel().ToFields();
    f.RxFreq = CommitFrequencyBox("", kBand400, StepEdition::Standard).bcd;  // box emptied
    channel().FromFields(f, kBand400);
    EXPECT_TRUE(UpdateChannelInUse(channel()));
    EXPECT_EQ(channel().used_, 0u);
    EXPECT_EQ(channel().RxFreq(), kNoFrequency);
    EXPECT_EQ(channel().TxFreq(), kNoFrequency);
    EXPECT_FALSE(UpdateChannelInUse(channel()));
}

TEST_F(ChannelFieldsTest, ChoiceTextsNotInTheirListsKeepTheStoredValues)
{
    ChannelFields f = channel().ToFields();
    f.SpacingText = "no such spacing";
    f.PowerText = Settings().GetChoiceText(kPowerList, 0);
    f.TxTypeText = "bogus";
    channel().FromFields(f, kBand400);
    EXPECT_EQ(channel().Spacing(), 2u);
    EXPECT_EQ(channel().Power(), 0u);
    EXPECT_EQ(channel().TxToneType(), ToneType::Analog);
}

TEST_F(ChannelFieldsTest, StepsAreWrittenFromTheFields)
{
    ChannelFields f = channel().ToFields();
    f.RxStep = 7;
    f.TxStep = 2;
    channel().FromFields(f, kBand400);
    EXPECT_EQ(channel().RxStep(), 7u);
    EXPECT_EQ(channel().TxStep(), 2u);
}

TEST_F(ChannelFieldsTest, FlagsBitsZeroAndSevenAreNeverWritten)
{
    channel().Raw()[CChannelData::Offset::Flags] = 0x81;  // bit 0 and F7
    ChannelFields f;
    channel().GetFlags(f);
    EXPECT_TRUE(f.F7);
    EXPECT_FALSE(f.F1);
    f = ChannelFields{};
    f.F1 = f.F3 = f.F6 = true;
    f.PersonalityIndex = 4;
    channel().SetFlags(f);
    EXPECT_EQ(channel().Raw()[CChannelData::Offset::Flags], 0x81 | 0x02 | 0x08 | 0x40);
    EXPECT_EQ(channel().PersonalityIndex(), 4);
}

TEST_F(ChannelFieldsTest, FromFieldsUsesTheCurrentBand)
{
    ChannelFields f = channel().ToFields();
    f.RxFreq = 0x50000000;
    f.TxFreq = 0x50000000;
    channel().FromFields(f);
    EXPECT_EQ(channel().RxFreq(), CurrentBandLimits().HighBcd());
}

}  // namespace
}  // namespace rv
