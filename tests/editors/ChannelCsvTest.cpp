// Channels as CSV: export then import gives the same channel bytes; CHIRP's own files import
// into the values they hold and an export reads under CHIRP's rules; import never moves a
// channel silently (rows that do not fit are refused, left out or fitted as asked, each listed
// with its line and Location); bad input is refused by line while the radio data stays as it
// was.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/Settings.h"
#include "data/Document.h"
#include "data/PowerLevels.h"
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

class ChannelCsvTest : public test::HomeTest {
protected:
    /// The first sixteen channels take each pair of transmit and receive tone types, with
    /// tones and codes that differ from channel to channel.
    void GiveEveryToneKind()
    {
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
    }
};

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
    GiveEveryToneKind();
    auto& channels = Radio().Channels();
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
    CsvImportOptions fit;
    fit.fit = true;
    const ChannelImport plan =
        PlanChannelImport(csv, Radio(), CurrentBandLimits(), Settings(), fit);
    ASSERT_TRUE(plan.Ok());
    ASSERT_EQ(plan.records.size(), 2u);
    EXPECT_EQ(plan.aliases[0], "Hill, \"east\"");
    // Line 2: 500 and 505 MHz set to the band edge; line 3 lowered onto the 2.5 kHz raster
    // (its transmit frequency is the same and named once). Without a Location column a row's
    // Location is its place.
    std::vector<std::vector<std::string>> fitted;
    for (const CsvNote& n : plan.fitted) fitted.push_back(n.args);
    ASSERT_EQ(fitted.size(), 3u);
    EXPECT_EQ(fitted[0],
              (std::vector<std::string>{"2", "1", "Frequency", "500.00000", "470.00000"}));
    EXPECT_EQ(fitted[1], (std::vector<std::string>{"2", "1", "Offset", "505.00000", "470.00000"}));
    EXPECT_EQ(fitted[2],
              (std::vector<std::string>{"3", "2", "Frequency", "433.50340", "433.50250"}));

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
        {"Location,Frequency\n1,abc\n", CsvMessage::kRefusedRow, {"2", "1"}},
        {"Location,Frequency\n1,440\n2,\"44\"0\n", CsvMessage::kBadCsv, {"3"}},
        {"1,440.0,,0\n", CsvMessage::kNoHeader, {}},
        {"Location,Frequency\n\n\n", CsvMessage::kNoRows, {}},
        {"Frequency,Mode\n440,AM\n", CsvMessage::kRefusedRow, {"2", "1"}},
        {"Frequency,Tone,rToneFreq\n440,Tone,high\n", CsvMessage::kRefusedRow, {"2", "1"}},
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
    // "Name" column with Chinese text, in UTF-16LE with its mark and in GB18030: the text is
    // read right, and cut from the alias (which takes English keyboard characters) with a
    // notice that names it.
    const std::string utf16("\xFF\xFEN\0a\0m\0e\0\n\0\x2d\x4e\x7f\x7f\n\0", 16);
    const std::string gb = "Name\n\xD6\xD0\xD7\xAA\n";
    for (const std::string& csv : {utf16, gb}) {
        const ChannelImport plan = PlanChannelImport(csv, Radio(), CurrentBandLimits(), Settings());
        ASSERT_TRUE(plan.Ok());
        ASSERT_EQ(plan.aliases.size(), 1u);
        EXPECT_EQ(plan.aliases[0], "");
        ASSERT_EQ(plan.notices.size(), 1u);
        EXPECT_EQ(plan.notices[0].args.at(2).substr(0, 3), "\xE4\xB8\xAD");  // 中
    }
}

TEST_F(ChannelCsvTest, PowerLevelsAreExchangedInWattsThatDoNotFollowTheLanguage)
{
    // A plan written by the English program reads the same in the Chinese one, and back.
    const auto before = ChannelBytes();
    const std::string english = ChannelsToCsv(Radio(), Settings());
    EXPECT_NE(english.find(",5.0W,"), std::string::npos) << english;
    Settings().SelectLanguage(1);
    ASSERT_TRUE(Settings().LanguageLoaded());
    EXPECT_EQ(ChannelsToCsv(Radio(), Settings()), english);
    const ChannelImport plan = PlanChannelImport(english, Radio(), CurrentBandLimits(), Settings());
    ASSERT_TRUE(plan.Ok());
    ApplyChannelImport(Radio(), plan);
    EXPECT_EQ(ChannelBytes(), before);
    Settings().SelectLanguage(0);
}

// ---- rows the radio cannot hold, picking rows, names, power in watts ----------------------

std::string ReadFixture(const std::string& name)
{
    const std::vector<unsigned char> bytes =
        test::ReadBytes(RV_RESOURCE_DIR "/../tests/fixtures/interop/" + name);
    return std::string(bytes.begin(), bytes.end());
}

ChannelImport Plan(const std::string& csv, const CsvImportOptions& options = {})
{
    return PlanChannelImport(csv, Radio(), CurrentBandLimits(), Settings(), options);
}

/// Line and Location of each note ("14/13").
std::vector<std::string> LinesOf(const std::vector<CsvNote>& notes)
{
    std::vector<std::string> out;
    for (const CsvNote& n : notes)
        out.push_back(n.args.size() >= 2 ? n.args[0] + "/" + n.args[1] : "?");
    return out;
}

/// A CSV reader that applies the rules the CHIRP generic CSV driver applies to a file: the
/// header names its columns; Frequency and Offset are decimal numbers; Duplex, Tone,
/// CrossMode, Mode and DtcsPolarity take their fixed words; tones are decimal numbers and DTCS
/// codes three digits; Power is watts matching ^\s*([0-9.]+)\s*([Ww]?)\s*$ (digits alone
/// too), anything else is refused as a power it cannot read. Returns the problems of every row
/// (empty: every row reads), or "No channels found" for a file without rows.
std::vector<std::string> ChirpRulesProblems(const std::string& csv)
{
    static const std::regex kPower(R"(^\s*([0-9.]+)\s*([Ww]?)\s*$)");
    static const std::regex kNumber(R"(^[0-9]+(\.[0-9]*)?$)");
    static const std::regex kCode(R"(^[0-7]{3}$)");
    const std::set<std::string> duplex{"", "+", "-", "split", "off"};
    const std::set<std::string> tone{"", "Tone", "TSQL", "DTCS", "DTCS-R", "TSQL-R", "Cross"};
    const std::set<std::string> cross{"Tone->Tone", "Tone->DTCS", "DTCS->Tone", "DTCS->DTCS",
                                      "Tone->",     "DTCS->",     "->Tone",     "->DTCS"};
    const std::set<std::string> mode{"FM", "NFM", "WFM", "AM", "NAM", "DV", "USB", "LSB", "CW"};
    const std::set<std::string> polarity{"NN", "NR", "RN", "RR"};

    // Rows of quoted or plain fields (the export quotes only a field with a comma or quote).
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\n') {
            row.push_back(field);
            field.clear();
            rows.push_back(row);
            row.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    if (rows.size() < 2) return {"No channels found"};
    std::map<std::string, size_t> at;
    for (size_t i = 0; i < rows[0].size(); ++i) at[rows[0][i]] = i;
    std::vector<std::string> problems;
    for (const char* column : {"Location", "Name", "Frequency", "Duplex", "Offset", "Tone",
                               "rToneFreq", "cToneFreq", "DtcsCode", "DtcsPolarity", "RxDtcsCode",
                               "CrossMode", "Mode", "TStep", "Skip", "Power", "Comment"})
        if (!at.count(column)) problems.push_back(std::string("no column ") + column);
    if (!problems.empty()) return problems;
    for (size_t r = 1; r < rows.size(); ++r) {
        const auto cell = [&](const char* c) {
            return at[c] < rows[r].size() ? rows[r][at[c]] : std::string();
        };
        const std::string where = "row " + std::to_string(r) + ": ";
        for (const char* c : {"Location", "Frequency", "Offset", "rToneFreq", "cToneFreq", "TStep"})
            if (!std::regex_match(cell(c), kNumber)) problems.push_back(where + c);
        for (const char* c : {"DtcsCode", "RxDtcsCode"})
            if (!std::regex_match(cell(c), kCode)) problems.push_back(where + c);
        if (!duplex.count(cell("Duplex"))) problems.push_back(where + "Duplex");
        if (!tone.count(cell("Tone"))) problems.push_back(where + "Tone");
        if (!cross.count(cell("CrossMode"))) problems.push_back(where + "CrossMode");
        if (!mode.count(cell("Mode"))) problems.push_back(where + "Mode");
        if (!polarity.count(cell("DtcsPolarity"))) problems.push_back(where + "DtcsPolarity");
        if (!std::regex_match(cell("Power"), kPower))
            problems.push_back(where + "Power '" + cell("Power") + "'");
    }
    return problems;
}

/// The cells of the columns rvcps holds, row by row (Location, Name, Frequency, Duplex,
/// Offset, the tone columns, Mode, TStep, Power).
std::vector<std::vector<std::string>> HeldColumns(const std::string& csv)
{
    std::vector<std::vector<std::string>> out;
    std::istringstream in(csv);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // The quoted name "Quote,Name" is the one field with a comma: keep it whole.
        std::vector<std::string> cells;
        std::string cell;
        bool quoted = false;
        for (char c : line) {
            if (c == '"') quoted = !quoted;
            if (c == ',' && !quoted) {
                cells.push_back(cell);
                cell.clear();
            } else {
                cell += c;
            }
        }
        cells.push_back(cell);
        cells.resize(16);
        cells.erase(cells.begin() + 14);  // Skip
        out.push_back(cells);
    }
    return out;
}

TEST_F(ChannelCsvTest, ChirpWrittenFileImportsIntoItsValuesAndExportsRowForRow)
{
    const std::string file = ReadFixture("chirp-written.csv");
    const ChannelImport plan = Plan(file);
    ASSERT_TRUE(plan.Ok()) << (plan.errors.empty() ? "" : CsvNoteText(plan.errors[0]));
    EXPECT_TRUE(plan.fitted.empty());
    EXPECT_TRUE(plan.notices.empty());
    ApplyChannelImport(Radio(), plan);
    const auto& ch = Radio().Channels();
    ASSERT_EQ(ch.size(), 16u);
    // A few values read back from the records themselves.
    EXPECT_EQ(Radio().ChannelAlias(ch[0]->id_), "PMR 1");
    EXPECT_EQ(Radio().ChannelAlias(ch[3]->id_), "Quote,Name");
    EXPECT_EQ(FromBcd(ch[1]->TxFreq()), 44710000u);     // 442.1 + 5
    EXPECT_EQ(FromBcd(ch[2]->TxFreq()), 44150000u);     // 446.5 - 5
    EXPECT_EQ(FromBcd(ch[13]->RxFreq()), 44600625u);    // 446.00625
    EXPECT_EQ(ch[0]->Power(), 0u);                      // 1.0W: Low
    EXPECT_EQ(ch[2]->Power(), 1u);                      // 2.5W: Middle
    EXPECT_EQ(ch[1]->Power(), 2u);                      // 5.0W: High
    EXPECT_EQ(ch[0]->Spacing(), 0u);                    // NFM
    EXPECT_EQ(ch[5]->TxToneType(), ToneType::Digital);  // NR
    EXPECT_EQ(ch[5]->RxToneType(), ToneType::DigitalInverted);
    EXPECT_EQ(ch[7]->TxToneType(), ToneType::Digital);  // DTCS->Tone
    EXPECT_EQ(ch[7]->RxToneType(), ToneType::Analog);
    EXPECT_EQ(ch[14]->TxToneType(), ToneType::DigitalInverted);  // DTCS-> with RN
    EXPECT_EQ(ch[14]->RxToneType(), ToneType::None);

    const std::string exported = ChannelsToCsv(Radio(), Settings());
    const auto want = HeldColumns(file), got = HeldColumns(exported);
    ASSERT_EQ(got.size(), want.size()) << exported;
    for (size_t r = 0; r < want.size(); ++r) EXPECT_EQ(got[r], want[r]) << "row " << r;
}

TEST_F(ChannelCsvTest, ChirpListWithMoreRowsThanChannelsIsPickedByLocation)
{
    const std::string file = ReadFixture("chirp-24-rows.csv");
    // 25 rows (Location 0 to 24): refused, naming how to pick.
    ChannelImport plan = Plan(file);
    ASSERT_FALSE(plan.Ok());
    EXPECT_EQ(plan.errors[0].message, CsvMessage::kTooManyRows);
    EXPECT_EQ(plan.errors[0].args, (std::vector<std::string>{"25", "16"}));
    EXPECT_NE(CsvNoteText(plan.errors[0]).find("--rows"), std::string::npos);
    ASSERT_EQ(plan.rows.size(), 25u);  // the import screen still lists every row
    EXPECT_EQ(plan.rows[0].location, 0);
    EXPECT_FALSE(plan.rows[0].Fits());  // 146.01 MHz
    EXPECT_FALSE(plan.rows[0].FitsWith(false));
    EXPECT_TRUE(plan.rows[0].FitsWith(true));
    EXPECT_FALSE(plan.rows[19].FitsWith(true));  // USB
    // Leaving rows out does not pick them: the user says which rows to take.
    plan = Plan(file, {std::nullopt, true, true});
    ASSERT_FALSE(plan.Ok());
    EXPECT_EQ(plan.errors[0].message, CsvMessage::kTooManyRows);

    // The sixteen PMR channels.
    plan = Plan(file, {std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}});
    ASSERT_TRUE(plan.Ok());
    ApplyChannelImport(Radio(), plan);
    ASSERT_EQ(Radio().Channels().size(), 16u);
    EXPECT_EQ(Radio().ChannelAlias(Radio().Channels()[15]->id_), "CH16");
    EXPECT_EQ(FromBcd(Radio().Channels()[15]->RxFreq()), 44619375u);
    EXPECT_EQ(Radio().Channels()[0]->Power(), 0u);  // 0.5W: Low

    // Rows in the order picked, the ones that do not fit left out and listed once each.
    plan = Plan(file, {ParseRowList("24,9-23"), false, true});
    ASSERT_TRUE(plan.Ok()) << CsvNoteText(plan.errors[0]);
    EXPECT_EQ(LinesOf(plan.skipped), (std::vector<std::string>{"21/19", "22/20", "23/21"}));
    ASSERT_EQ(plan.aliases.size(), 13u);
    EXPECT_EQ(plan.aliases[0], "CH24");
    EXPECT_EQ(plan.aliases[1], "CH09");
    EXPECT_EQ(plan.aliases.back(), "CH23");
}

TEST_F(ChannelCsvTest, RowsThatDoNotFitAreRefusedListedOrFittedAsAsked)
{
    // The plan of a first-time user: five rows below the band, one USB row, one of TSQL-R.
    std::string csv = "Location,Name,Frequency,Duplex,Offset,Tone,Mode,Power\n";
    for (int i = 1; i <= 5; ++i) csv += std::to_string(i) + ",,77.687500,,0,,FM,5.0W\n";
    csv += "6,,446.100000,,0,,USB,5.0W\n";
    csv += "7,,446.200000,,0,TSQL-R,NFM,5.0W\n";
    csv += "8,,433.503400,,0,,NFM,1W\n";  // on none of the channel steps

    // Refused: every row that does not fit, once, with line and Location; nothing planned.
    ChannelImport plan = Plan(csv);
    ASSERT_FALSE(plan.Ok());
    EXPECT_TRUE(plan.records.empty());
    EXPECT_EQ(LinesOf(plan.errors),
              (std::vector<std::string>{"2/1", "3/2", "4/3", "5/4", "6/5", "7/6", "8/7", "9/8"}));
    EXPECT_EQ(plan.errors[0].message, CsvMessage::kRefusedRow);
    ASSERT_EQ(plan.errors[0].parts.size(), 1u);
    EXPECT_EQ(plan.errors[0].parts[0].message, CsvMessage::kOutOfBand);
    EXPECT_EQ(plan.errors[0].parts[0].args,
              (std::vector<std::string>{"Frequency", "77.68750", "400-470"}));
    EXPECT_EQ(CsvNoteText(plan.errors[0]),
              "Line 2, Location 1 does not fit the radio: column Frequency: 77.68750 MHz is "
              "outside the radio's band 400-470 MHz (fitted: the band edge).");
    EXPECT_EQ(plan.errors[5].parts[0].args, (std::vector<std::string>{"Mode", "USB", "FM, NFM"}));
    EXPECT_EQ(plan.errors[6].parts[0].args[1], "TSQL-R");
    EXPECT_EQ(plan.errors[7].parts[0].message, CsvMessage::kOffStep);

    // --fit: the band edge and the step raster, each change listed; USB and TSQL-R still
    // cannot be held.
    plan = Plan(csv, {std::nullopt, true, false});
    ASSERT_FALSE(plan.Ok());
    EXPECT_EQ(LinesOf(plan.errors), (std::vector<std::string>{"7/6", "8/7"}));

    // --fit and --skip-unfit: six channels, two rows left out.
    plan = Plan(csv, {std::nullopt, true, true});
    ASSERT_TRUE(plan.Ok());
    EXPECT_EQ(plan.records.size(), 6u);
    EXPECT_EQ(LinesOf(plan.skipped), (std::vector<std::string>{"7/6", "8/7"}));
    ASSERT_EQ(plan.fitted.size(), 6u);
    EXPECT_EQ(plan.fitted[0].args,
              (std::vector<std::string>{"2", "1", "Frequency", "77.68750", "400.00000"}));
    EXPECT_EQ(plan.fitted[5].args,
              (std::vector<std::string>{"9", "8", "Frequency", "433.50340", "433.50250"}));

    // --skip-unfit alone: only the channel that fits as it stands is left.
    plan = Plan(csv, {std::nullopt, false, true});
    ASSERT_FALSE(plan.Ok());
    EXPECT_EQ(plan.errors[0].message, CsvMessage::kNoRowLeft);
}

TEST_F(ChannelCsvTest, FileLevelFaultsAreNamedByLine)
{
    struct Case {
        const char* what;
        std::string csv;
        std::vector<long> rows;  // the Locations picked; none: every row
        int message;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"duplicate Location",
         "Location,Frequency\n1,440\n2,441\n1,442\n",
         {},
         CsvMessage::kDuplicateLocation,
         {"4", "1", "2"}},
        {"Location no number",
         "Location,Frequency\n1,440\nx,441\n",
         {},
         CsvMessage::kBadLocation,
         {"3", "x", "99999"}},
        {"negative Location",
         "Location,Frequency\n-1,440\n",
         {},
         CsvMessage::kBadLocation,
         {"2", "-1", "99999"}},
        {"quote not closed",
         "Location,Name,Frequency\n1,a,440\n2,\"open,441\n3,b,442\n",
         {},
         CsvMessage::kUnclosedQuote,
         {"3"}},
        {"quote inside a field",
         "Location,Frequency\n1,440\n2,\"44\"0\n",
         {},
         CsvMessage::kBadCsv,
         {"3"}},
        {"a name over two lines counts its lines",
         "Location,Name,Frequency\n1,\"a\nb\",440\n2,x,4x\n",
         {},
         CsvMessage::kRefusedRow,
         {"4", "2"}},
        {"picked Location missing",
         "Location,Frequency\n1,440\n",
         {1, 5},
         CsvMessage::kRowNotInFile,
         {"5"}},
        {"picked twice",
         "Location,Frequency\n1,440\n",
         {1, 1},
         CsvMessage::kRowPickedTwice,
         {"1"}},
        {"too large",
         std::string(kMaxChannelCsvBytes + 1, ' '),
         {},
         CsvMessage::kTooLarge,
         {"16 MB"}},
    };
    const auto before = ChannelBytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CsvImportOptions options;
        if (!c.rows.empty()) options.rows = c.rows;
        const ChannelImport plan = Plan(c.csv, options);
        ASSERT_FALSE(plan.Ok());
        EXPECT_EQ(plan.errors[0].message, c.message);
        EXPECT_EQ(std::vector<std::string>(plan.errors[0].args.begin(),
                                           plan.errors[0].args.begin() +
                                               std::min(plan.errors[0].args.size(), c.args.size())),
                  c.args);
        EXPECT_TRUE(plan.records.empty());
        EXPECT_EQ(ChannelBytes(), before);
    }
}

TEST_F(ChannelCsvTest, LocationZeroIsARowLikeAnyOther)
{
    const ChannelImport plan = Plan("Location,Name,Frequency\n2,two,441\n0,zero,440\n");
    ASSERT_TRUE(plan.Ok());
    EXPECT_EQ(plan.aliases, (std::vector<std::string>{"zero", "two"}));
    const ChannelImport picked =
        Plan("Location,Name,Frequency\n0,zero,440\n1,one,441\n", {std::vector<long>{0}});
    ASSERT_TRUE(picked.Ok());
    EXPECT_EQ(picked.aliases, std::vector<std::string>{"zero"});
}

TEST_F(ChannelCsvTest, NamesAreCutToWhatTheAliasTakesWithANotice)
{
    const ChannelImport plan = Plan(
        "Location,Name,Frequency\n1,Short,440\n2,A name much longer than sixteen,441\n"
        "3,\xE4\xB8\xAD\xE7\xBB\xA7 Relay,442\n");
    ASSERT_TRUE(plan.Ok());
    EXPECT_EQ(plan.aliases, (std::vector<std::string>{"Short", "A name much long", "Relay"}));
    ASSERT_EQ(plan.notices.size(), 2u);
    EXPECT_EQ(plan.notices[0].args,
              (std::vector<std::string>{"3", "2", "A name much longer than sixteen",
                                        "A name much long", "16"}));
    EXPECT_EQ(LinesOf(plan.notices)[1], "4/3");
}

TEST_F(ChannelCsvTest, PowerIsReadAsWattsOrWordsAndAFileWithoutItKeepsEachChannelsPower)
{
    struct Case {
        const char* cell;
        unsigned level;
    };
    // Nominal 1, 2.5 and 5 W: the nearest level, a tie (1.75 W, 3.75 W) to the lower.
    const Case cases[] = {{"5.0W", 2}, {"50W", 2},    {"4", 2},    {" 2.5 w", 1}, {"3.75W", 1},
                          {"3.8W", 2}, {"1.75W", 0},  {"1.8W", 1}, {"0.5W", 0},   {"low", 0},
                          {"Mid", 1},  {"Middle", 1}, {"HIGH", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        const ChannelImport plan = Plan(std::string("Frequency,Power\n440,\"") + c.cell + "\"\n");
        ASSERT_TRUE(plan.Ok()) << CsvNoteText(plan.errors[0]);
        CChannelData channel(0);
        channel.Raw().CopyFrom(plan.records[0].data());
        EXPECT_EQ(channel.Power(), c.level);
    }
    for (const char* bad : {"5.0 dBm", "-1W", "W", "1e3W", "Max"}) {
        SCOPED_TRACE(bad);
        const ChannelImport plan = Plan(std::string("Frequency,Power\n440,") + bad + "\n");
        ASSERT_FALSE(plan.Ok());
        EXPECT_EQ(plan.errors[0].parts[0].message, CsvMessage::kNotAccepted);
    }

    // Without a Power column each channel keeps its level.
    auto& channels = Radio().Channels();
    ASSERT_GE(channels.size(), 3u);
    channels[0]->Raw().SetBits(CChannelData::Offset::SpacingPower, 4, 4, 0);
    channels[1]->Raw().SetBits(CChannelData::Offset::SpacingPower, 4, 4, 1);
    const ChannelImport plan = Plan("Location,Frequency\n1,440\n2,441\n");
    ASSERT_TRUE(plan.Ok());
    ApplyChannelImport(Radio(), plan);
    EXPECT_EQ(Radio().Channels()[0]->Power(), 0u);
    EXPECT_EQ(Radio().Channels()[1]->Power(), 1u);
}

TEST_F(ChannelCsvTest, ExportPassesTheChirpRulesReaderAndWritesWhatChirpWrites)
{
    // Every tone kind, a split, a channel that does not transmit, each power level.
    GiveEveryToneKind();
    auto& channels = Radio().Channels();
    for (size_t i = 0; i < CChannelData::kSlots; ++i)
        channels[i]->Raw().SetBits(CChannelData::Offset::SpacingPower, 4, 4, (i + 1) % 3);
    channels[2]->SetTxFreq(ToBcd(45000000));
    channels[3]->SetTxFreq(kNoFrequency);
    Radio().SetChannelAlias(channels[4]->id_, "Hill, \"east\"");
    const std::string csv = ChannelsToCsv(Radio(), Settings());
    EXPECT_EQ(ChirpRulesProblems(csv), std::vector<std::string>{}) << csv;
    // Simplex rows have Offset 0, a channel without transmit frequency Duplex "off", power
    // is in watts and Comment is empty.
    const auto rows = HeldColumns(csv);
    EXPECT_EQ(rows[1][4], "0.000000");
    EXPECT_EQ(rows[4][3], "off");
    EXPECT_EQ(rows[1][14], "2.5W");
    EXPECT_EQ(rows[2][14], "5.0W");
    EXPECT_EQ(rows[3][14], "1.0W");
    EXPECT_EQ(csv.find(",5.0W,x"), std::string::npos);
    EXPECT_NE(csv.find(",\"Hill, \"\"east\"\"\","), std::string::npos);

    // The reader is no stricter than CHIRP: CHIRP's own file passes it.
    EXPECT_EQ(ChirpRulesProblems(ReadFixture("chirp-written.csv")), std::vector<std::string>{});
}

TEST(ChannelCsvRows, RowListsAreReadAsLocations)
{
    struct Case {
        const char* text;
        std::optional<std::vector<long>> rows;
    };
    const Case cases[] = {
        {"1-8,20", std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 20}},
        {" 0 , 3-4 ", std::vector<long>{0, 3, 4}},
        {"5", std::vector<long>{5}},
        {"20,1", std::vector<long>{20, 1}},
        {"", std::nullopt},
        {"1,", std::nullopt},
        {"8-1", std::nullopt},
        {"1-", std::nullopt},
        {"-3", std::nullopt},
        {"a", std::nullopt},
        {"1-100000", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseRowList(c.text), c.rows) << c.text;
}

TEST(ChannelCsvPower, LevelsComeFromThePowerFileOrTheDefaults)
{
    test::TempHome dir;
    dir.Write("Power.dat", "[RV305]\nLow=0.5\nHigh=4\nMiddle=fast\n[RV385]\nHigh=-3\n");
    const PowerLevels a = ReadPowerLevels(dir.Path("Power.dat"), "RV305");
    EXPECT_EQ(a.watts, (std::array<double, kPowerLevelCount>{0.5, 2.5, 4.0}));
    EXPECT_EQ(ReadPowerLevels(dir.Path("Power.dat"), "RV385").watts, PowerLevels().watts);
    EXPECT_EQ(ReadPowerLevels(dir.Path("none.dat"), "RV205").watts, PowerLevels().watts);
    EXPECT_EQ(NearestPowerLevel(a, 2.25), 1u);
    EXPECT_EQ(WattsText(2.5), "2.5W");
    EXPECT_EQ(WattsText(0.5), "0.5W");
    EXPECT_EQ(SizeText(16u << 20), "16 MB");
}

}  // namespace
}  // namespace rv
