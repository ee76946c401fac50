// Channels as CSV: export then import gives the same channel bytes, import goes through the
// channel grid's rules and names what they fitted, and bad input is refused with its row and
// column while the radio data stays as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/Settings.h"
#include "data/Document.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCsv.h"
#include "editors/channel/ChannelData.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/scan/ScanData.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

class QuietUi : public DocumentUi {
public:
    bool AskYesNo(int, const std::string&) override { return true; }
    void ShowMessage(int, const std::string&) override {}
};

std::vector<std::vector<uint8_t>> ChannelBytes()
{
    std::vector<std::vector<uint8_t>> out;
    for (const auto& ch : Radio().Channels())
        out.emplace_back(ch->Raw().Data(), ch->Raw().Data() + ch->Raw().Size());
    return out;
}

/// Exports the channels, imports the text again and checks the bytes stayed.
void ExpectRoundTrip()
{
    const auto before = ChannelBytes();
    const std::string csv = ChannelsToCsv(Radio(), Settings());
    const ChannelImport plan = PlanChannelImport(csv, Radio(), CurrentBandLimits(), Settings());
    ASSERT_TRUE(plan.Ok()) << csv;
    EXPECT_TRUE(plan.fitted.empty()) << csv;
    ApplyChannelImport(Radio(), plan);
    EXPECT_EQ(ChannelBytes(), before) << csv;
}

class ChannelCsvTest : public test::HomeTest {};

TEST_F(ChannelCsvTest, ExportThenImportKeepsTheBytesOfEveryDefaultSet)
{
    QuietUi ui;
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home.Dir())) {
        const std::string file = entry.path().string();
        if (!file.ends_with("DefaultSet.dat")) continue;
        SCOPED_TRACE(file);
        ++files;
        CQTXDoc doc(ui);
        ASSERT_TRUE(doc.OpenPath(file).Ok());
        ExpectRoundTrip();
    }
    EXPECT_GT(files, 0u);
}

TEST_F(ChannelCsvTest, ExportThenImportKeepsEveryToneKind)
{
    // Each pair of transmit and receive tone types, with tones and codes that differ.
    const ToneType types[] = {ToneType::None, ToneType::Analog, ToneType::Digital,
                              ToneType::DigitalInverted};
    auto& channels = Radio().Channels();
    size_t k = 0;
    for (ToneType tx : types)
        for (ToneType rx : types) {
            ASSERT_LT(k, channels.size());
            CChannelData& ch = *channels[k++];
            ch.SetTxTone(CChannelData::MakeToneWord(tx, static_cast<uint16_t>(3 + k)));
            ch.SetRxTone(CChannelData::MakeToneWord(rx, static_cast<uint16_t>(20 + k)));
        }
    // Same tone both ways (TSQL, DTCS), transmit only, a split and no transmit frequency.
    channels[0]->SetTxTone(CChannelData::MakeToneWord(ToneType::Analog, 12));
    channels[0]->SetRxTone(CChannelData::MakeToneWord(ToneType::Analog, 12));
    channels[1]->SetTxTone(CChannelData::MakeToneWord(ToneType::Digital, 40));
    channels[1]->SetRxTone(CChannelData::MakeToneWord(ToneType::Digital, 40));
    channels[2]->SetTxFreq(ToBcd(45000000));
    channels[3]->SetTxFreq(kNoFrequency);
    ExpectRoundTrip();
}

TEST_F(ChannelCsvTest, ImportFitsValuesByTheGridRulesAndNamesThem)
{
    const std::string csv =
        "\xEF\xBB\xBFName,Frequency,Duplex,Offset,Tone,rToneFreq,Unknown\r\n"
        "\"Hill, \"\"east\"\"\",500,+,5,Tone,100.0,x\r\n"
        "Base,433.5034,,,,,\r\n";
    const ChannelImport plan = PlanChannelImport(csv, Radio(), CurrentBandLimits(), Settings());
    ASSERT_TRUE(plan.Ok());
    ASSERT_EQ(plan.records.size(), 2u);
    EXPECT_EQ(plan.aliases[0], "Hill, \"east\"");
    // Row 2: 500 and 505 MHz clamped to the band; row 3 lowered onto the 2.5 kHz raster.
    std::vector<std::vector<std::string>> fitted;
    for (const CsvNote& n : plan.fitted) fitted.push_back(n.args);
    ASSERT_EQ(fitted.size(), 4u);
    EXPECT_EQ(fitted[0][0], "2");
    EXPECT_EQ(fitted[0][3], "470.00000");
    EXPECT_EQ(fitted[2][0], "3");
    EXPECT_EQ(fitted[2][3], "433.50250");

    ApplyChannelImport(Radio(), plan);
    ASSERT_EQ(Radio().Channels().size(), 2u);
    EXPECT_EQ(Radio().Channels()[0]->TxToneType(), ToneType::Analog);
    EXPECT_EQ(Radio().Channels()[0]->RxToneType(), ToneType::None);
    EXPECT_EQ(Radio().ChannelAlias(Radio().Channels()[0]->id_), "Hill, \"east\"");
}

TEST_F(ChannelCsvTest, FewerRowsThanChannelsMendTheReferencesToTheRemovedOnes)
{
    // Sixteen channels; the scan lists name them all, the emergency reverts to channel 10.
    QuietUi ui;
    CQTXDoc doc(ui);
    ASSERT_TRUE(doc.OpenPath(CQTXDoc::DefaultSetPath()).Ok());
    RadioData& radio = Radio();
    ASSERT_EQ(radio.Channels().size(), kMaxChannels);
    radio.Emergency().Raw()[CEmergencyBlock::Offset::kRevertChannel] = 10;
    radio.Emergency().ResolveLinks();
    std::string csv = ChannelsToCsv(radio, Settings());
    size_t end = 0;
    for (int line = 0; line < 4; ++line) end = csv.find('\n', end) + 1;
    csv.resize(end);  // the header and channels 1 to 3

    const ChannelImport plan = PlanChannelImport(csv, radio, CurrentBandLimits(), Settings());
    ASSERT_TRUE(plan.Ok());
    ASSERT_EQ(plan.records.size(), 3u);
    std::vector<std::vector<std::string>> refs;
    for (const CsvNote& n : plan.references) refs.push_back(n.args);
    ASSERT_FALSE(refs.empty());
    EXPECT_EQ(plan.references[0].message, CsvMessage::kMemberCut);
    EXPECT_EQ(refs[0], (std::vector<std::string>{"1", "4", "4"}));
    EXPECT_EQ(plan.references.back().message, CsvMessage::kRevertCut);
    EXPECT_EQ(refs.back(), std::vector<std::string>{"10"});

    ApplyChannelImport(radio, plan);
    EXPECT_FALSE(radio.ValidateAll()) << radio.InvalidLog().Rows().size() << " invalid entries";
    for (const auto& scan : radio.ScanLists()) {
        EXPECT_LE(scan->Entries(), 3);
        for (uint32_t id : scan->members_) EXPECT_NE(radio.ChannelNumberOf(id), 4u);
    }
    EXPECT_EQ(radio.Emergency().Raw()[CEmergencyBlock::Offset::kRevertChannel], 0);
    EXPECT_TRUE(doc.SaveTo(home.Path("cut.dat"), "").Ok());
}

TEST_F(ChannelCsvTest, BadInputIsRefusedWithRowAndColumnAndChangesNothing)
{
    struct Case {
        std::string csv;
        int message;
        std::vector<std::string> firstArgs;
    };
    std::string tooMany = "Location,Frequency\n";
    for (int i = 1; i <= 10000; ++i) tooMany += std::to_string(i) + ",440\n";
    const Case cases[] = {
        {"Location,Frequency\n1,abc\n", CsvMessage::kNotANumber, {"2", "Frequency", "abc"}},
        {"Location,Frequency\n1,440\n2,\"44\"0\n", CsvMessage::kBadCsv, {"3"}},
        {"1,440.0,,0\n", CsvMessage::kNoHeader, {}},
        {"Location,Frequency\n\n\n", CsvMessage::kNoRows, {}},
        {"Frequency,Mode\n440,AM\n", CsvMessage::kNotAccepted, {"2", "Mode", "AM"}},
        {"Frequency,Tone,rToneFreq\n440,Tone,high\n",
         CsvMessage::kNotANumber,
         {"2", "rToneFreq", "high"}},
        {tooMany, CsvMessage::kTooManyRows, {"10000", "16"}},
        {std::string("\x00\xFF\xFE\x81\x30", 5), CsvMessage::kNotText, {}},
        {"", CsvMessage::kNoHeader, {}},
    };
    const auto before = ChannelBytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv.substr(0, 60));
        const ChannelImport plan =
            PlanChannelImport(c.csv, Radio(), CurrentBandLimits(), Settings());
        ASSERT_FALSE(plan.Ok());
        EXPECT_EQ(plan.errors[0].message, c.message);
        for (size_t i = 0; i < c.firstArgs.size(); ++i)
            EXPECT_EQ(plan.errors[0].args.at(i), c.firstArgs[i]);
        EXPECT_TRUE(plan.records.empty());
        ApplyChannelImport(Radio(), plan);
        EXPECT_EQ(ChannelBytes(), before);
    }
}

TEST_F(ChannelCsvTest, OtherEncodingsReadRight)
{
    // "Name" column with Chinese text, in UTF-16LE with its mark and in GB18030.
    const std::string utf16("\xFF\xFEN\0a\0m\0e\0\n\0\x2d\x4e\x7f\x7f\n\0", 16);
    const std::string gb = "Name\n\xD6\xD0\xD7\xAA\n";
    for (const std::string& csv : {utf16, gb}) {
        const ChannelImport plan = PlanChannelImport(csv, Radio(), CurrentBandLimits(), Settings());
        ASSERT_TRUE(plan.Ok());
        ASSERT_EQ(plan.aliases.size(), 1u);
        EXPECT_FALSE(plan.aliases[0].empty());
        EXPECT_EQ(plan.aliases[0].substr(0, 3), "\xE4\xB8\xAD");  // 中
    }
}

TEST_F(ChannelCsvTest, PowerLevelsAreExchangedByNamesThatDoNotFollowTheLanguage)
{
    // A plan written by the English program reads the same in the Chinese one, and back.
    const auto before = ChannelBytes();
    const std::string english = ChannelsToCsv(Radio(), Settings());
    EXPECT_NE(english.find(",High,"), std::string::npos) << english;
    Settings().SelectLanguage(1);
    ASSERT_TRUE(Settings().LanguageLoaded());
    EXPECT_EQ(ChannelsToCsv(Radio(), Settings()), english);
    const ChannelImport plan = PlanChannelImport(english, Radio(), CurrentBandLimits(), Settings());
    ASSERT_TRUE(plan.Ok());
    ApplyChannelImport(Radio(), plan);
    EXPECT_EQ(ChannelBytes(), before);
    Settings().SelectLanguage(0);
}

}  // namespace
}  // namespace rv
