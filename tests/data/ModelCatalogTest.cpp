// The model catalogue: reading the range table from "Model.dat", finding model IDs by name,
// band codes, ranges reported by a radio, learning a new range and classifying a model change.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "data/ModelCatalog.h"
#include "base/IniFile.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::HomeTest;

class ModelCatalogTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
    }
    /// Replaces Model.dat by a catalogue with one model section.
    void WriteSection(const std::string& body)
    {
        home.Write("Model.dat",
                   "[Setting]\nModelID=RV205,RV305\nRV205=RV-205, RV-205U\nRV305=RV-305\n\n[RV205]\n" +
                       body);
    }
};

TEST_F(ModelCatalogTest, ShippedCatalogueGivesTheModelsRanges)
{
    const std::vector<FreqRangeRecord> expected = {{136, 174, 136, 174, 128},
                                                   {400, 470, 400, 470, 1},
                                                   {433, 434, 433, 434, 2},
                                                   {446, 447, 446, 447, 3},
                                                   {448, 450, 448, 450, 4}};
    EXPECT_EQ(ModelCatalog().RangeTable(), expected);
    EXPECT_EQ(ModelCatalog().TableModelId(), "RV205");
    EXPECT_EQ(ModelCatalog().CurrentBandCode(), 1);
    EXPECT_EQ(ModelCatalog().ModelIds(), (std::vector<std::string>{"RV205", "RV305", "RV385"}));
}

struct TableCase {
    const char* name;
    const char* section;
    std::vector<FreqRangeRecord> expected;
};

TEST_F(ModelCatalogTest, RangeTableEndsWithFallbackAtFirstMissingKey)
{
    const FreqRangeRecord a{400, 470, 400, 470, 1};
    const FreqRangeRecord b{450, 520, 450, 520, 5};
    const TableCase cases[] = {
        {"complete", "Number=2\nFreq0=400, 470, 400, 470, 1\nFreq1=450, 520, 450, 520, 5\n", {a, b}},
        {"Number 3, only Freq0", "Number=3\nFreq0=400, 470, 400, 470, 1\n", {a, kFallbackRange}},
        {"Number missing counts as 1", "Freq0=400, 470, 400, 470, 1\nFreq1=450, 520, 450, 520, 5\n", {a}},
        {"Number 0 counts as 1", "Number=0\nFreq0=400, 470, 400, 470, 1\n", {a}},
        {"no keys at all", "Number=2\n", {kFallbackRange}},
        {"huge Number, two keys",
         "Number=2000000000\nFreq0=400, 470, 400, 470, 1\nFreq1=450, 520, 450, 520, 5\n",
         {a, b, kFallbackRange}},
        {"Number smaller than the keys", "Number=1\nFreq0=400, 470, 400, 470, 1\nFreq1=450, 520, 450, 520, 5\n", {a}},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSection(c.section);
        EXPECT_EQ(ModelCatalog().LoadRangeTable("RV205"), 0);
        EXPECT_EQ(ModelCatalog().RangeTable(), c.expected);
    }
}

TEST_F(ModelCatalogTest, MissingCatalogueOrSectionGivesFallbackOnly)
{
    ModelCatalog().LoadRangeTable("NOSUCH");
    EXPECT_EQ(ModelCatalog().RangeTable(), std::vector<FreqRangeRecord>{kFallbackRange});
    std::remove(home.Path("Model.dat").c_str());
    ModelCatalog().LoadRangeTable("RV205");
    EXPECT_EQ(ModelCatalog().RangeTable(), std::vector<FreqRangeRecord>{kFallbackRange});
    EXPECT_TRUE(ModelCatalog().ModelIds().empty());
}

TEST_F(ModelCatalogTest, FindModelIdByName)
{
    WriteSection("Number=1\nFreq0=400, 470, 400, 470, 1\n");
    EXPECT_EQ(ModelCatalog().FindModelIdByName("RV-205"), "RV205");
    EXPECT_EQ(ModelCatalog().FindModelIdByName("RV-205U"), "RV205");
    EXPECT_EQ(ModelCatalog().FindModelIdByName("RV-305"), "RV305");
    EXPECT_EQ(ModelCatalog().FindModelIdByName("RV-999"), "");
    EXPECT_EQ(ModelCatalog().AllModelNames(),
              (std::vector<std::string>{"RV-205", "RV-205U", "RV-305"}));
}

TEST_F(ModelCatalogTest, BandCodeOfCurrentRange)
{
    EXPECT_TRUE(ModelCatalog().RangeIsKnown(433, 434));
    EXPECT_FALSE(ModelCatalog().RangeIsKnown(433, 470));
    Settings().SetFreqRange("448-450");
    EXPECT_EQ(ModelCatalog().CurrentBandCode(), 4);
    Settings().SetFreqRange("300-350");
    EXPECT_EQ(ModelCatalog().CurrentBandCode(), 0);
    Settings().SetFreqRange("");
    EXPECT_EQ(ModelCatalog().CurrentBandCode(), 0);
}

TEST_F(ModelCatalogTest, RangeFromRadio)
{
    struct Case {
        uint8_t band;
        uint32_t lowUnits, highUnits;
        FreqRangeRecord expected;
    };
    const Case cases[] = {
        {5, 13000000, 0, {136, 174, 136, 174, 5}},
        {1, 40012500, 47000000, {400, 470, 400, 470, 1}},
        {2, 13600000, 13599999, {136, 174, 136, 174, 2}},
        {6, 35000000, 40099999, {350, 400, 350, 400, 6}},
    };
    for (const Case& c : cases) {
        std::array<uint8_t, kRadioRangeSize> bytes{};
        bytes[0] = c.band;
        PutU32(&bytes[1], ToBcd(c.lowUnits));
        PutU32(&bytes[5], ToBcd(c.highUnits));
        EXPECT_EQ(CModelCatalog::RangeFromRadio(bytes), c.expected) << c.lowUnits;
    }
}

TEST_F(ModelCatalogTest, AddedRangeIsFoundAfterReload)
{
    ASSERT_TRUE(ModelCatalog().AddRange({350, 400, 350, 400, 6}));
    CIniFile ini;
    ini.Load(home.Path("Model.dat"));
    EXPECT_EQ(ini.GetInt("RV205", "Number"), 6);
    EXPECT_EQ(ini.GetString("RV205", "Freq5"), "350, 400, 350, 400, 6");
    // Comments and other sections are kept.
    EXPECT_EQ(ini.GetString("RV305", "Freq2"), "450, 520, 450, 520, 5");
    ModelCatalog().LoadRangeTable();
    EXPECT_TRUE(ModelCatalog().RangeIsKnown(350, 400));
}

TEST_F(ModelCatalogTest, RangeAddedToSectionWithGapIsStillFound)
{
    WriteSection("Number=3\nFreq0=400, 470, 400, 470, 1\n");
    ModelCatalog().LoadRangeTable();
    ASSERT_TRUE(ModelCatalog().AddRange({350, 400, 350, 400, 6}));
    ModelCatalog().LoadRangeTable();
    EXPECT_TRUE(ModelCatalog().RangeIsKnown(350, 400));
    EXPECT_TRUE(ModelCatalog().RangeIsKnown(400, 470));

    // A model without a section gets one.
    Settings().SetModelID("RV305");
    WriteSection("");
    ASSERT_TRUE(ModelCatalog().AddRange({350, 400, 350, 400, 6}));
    ModelCatalog().LoadRangeTable();
    EXPECT_EQ(ModelCatalog().RangeTable(),
              (std::vector<FreqRangeRecord>{{350, 400, 350, 400, 6}}));
}

TEST_F(ModelCatalogTest, AskAddRange)
{
    std::vector<std::string> questions;
    bool answer = false;
    auto ask = [&](int id, const std::string& text) {
        EXPECT_EQ(id, 804);
        questions.push_back(text);
        return answer;
    };

    EXPECT_EQ(ModelCatalog().AskAddRange({400, 470, 0, 0, 1}, ask), AddRangeResult::Known);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(Settings().LastRangeAnswer(), kAnswerYes);

    EXPECT_EQ(ModelCatalog().AskAddRange({350, 400, 0, 0, 6}, ask), AddRangeResult::Declined);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("350-400"), std::string::npos) << questions[0];
    EXPECT_EQ(Settings().LastRangeAnswer(), kAnswerNo);
    EXPECT_FALSE(ModelCatalog().RangeIsKnown(350, 400));

    answer = true;
    EXPECT_EQ(ModelCatalog().AskAddRange({350, 400, 0, 0, 6}, ask), AddRangeResult::Added);
    EXPECT_EQ(Settings().LastRangeAnswer(), kAnswerYes);
    EXPECT_TRUE(ModelCatalog().RangeIsKnown(350, 400));
    // The stored record repeats the first pair.
    EXPECT_EQ(ModelCatalog().RangeTable().back(), (FreqRangeRecord{350, 400, 350, 400, 6}));
}

TEST(ModelChangeTest, Classify)
{
    const ModelIdentity current{"RV205", "RV-205", "400-470", 2};
    struct Case {
        ModelIdentity chosen;
        ModelChange expected;
    };
    const Case cases[] = {
        {current, ModelChange::None},
        {{"RV205", "RV-205U", "400-470", 2}, ModelChange::NameOnly},
        {{"RV205", "RV-205", "400-470", 1}, ModelChange::Model},
        {{"RV205", "RV-205", "433-434", 2}, ModelChange::Model},
        {{"RV305", "RV-205", "400-470", 2}, ModelChange::Model},
        {{"RV305", "RV-305", "400-470", 1}, ModelChange::Model},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CModelCatalog::ClassifyModelChange(c.chosen, current), c.expected)
            << c.chosen.id << " " << c.chosen.name << " " << c.chosen.range << " " << c.chosen.signal;
}

TEST_F(ModelCatalogTest, SignalEntryAfterModelPick)
{
    EXPECT_EQ(CModelCatalog::SignalEntryFor("RV205"), 1);
    EXPECT_EQ(CModelCatalog::SignalEntryFor("RV305"), 0);
    EXPECT_EQ(CModelCatalog::SignalEntryFor("RV385"), 0);
    EXPECT_EQ(CModelCatalog::SignalEntryFor("XYZ"), -1);
    EXPECT_EQ(CModelCatalog::SignalEntryFor(""), -1);
}

TEST_F(ModelCatalogTest, RangeEntriesForTheDialog)
{
    const std::vector<RangeEntry> entries = ModelCatalog().RangeEntries("RV305");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].text, "450-520");
    EXPECT_EQ(entries[2].bandCode, 5);
}

}  // namespace
}  // namespace rv
