// The printed report: the rows each section gives (titles, labels, the views' texts, check
// boxes as texts 20 and 21), the page metrics, the split into pages, the Print Tree's
// selection rules and the texts of the page frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelFieldTable.h"
#include "editors/general/VoxFieldTable.h"
#include "editors/scan/ScanData.h"
#include "report/PrintReport.h"
#include "service/EmbeddedBlock.h"
#include "service/MaintainBoard.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::HomeTest;

class PrintReportTest : public HomeTest {};

std::vector<std::string> SectionTitles(const std::vector<ReportRow>& rows)
{
    std::vector<std::string> out;
    for (const ReportRow& r : rows)
        if (r.kind == ReportRowKind::Section) out.push_back(r.cells.at(1).text);
    return out;
}

/// The value printed beside a label in the rows from `first` on.
std::string ValueOf(const std::vector<ReportRow>& rows, const std::string& label, size_t first = 0)
{
    for (size_t i = first; i < rows.size(); ++i)
        if (rows[i].kind == ReportRowKind::Field && rows[i].cells.at(0).text == label)
            return rows[i].cells.at(1).text;
    return "<missing>";
}

TEST_F(PrintReportTest, VoxAloneGivesOneSectionWithItsTwoLabels)
{
    CPrintSelection selection;
    SelectCheckedItems(selection, {Id(Command::Vox)});
    const std::vector<ReportRow> rows = BuildReport(Radio(), selection, Settings());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].kind, ReportRowKind::Section);
    ASSERT_EQ(rows[0].cells.size(), 3u);
    EXPECT_EQ(rows[0].cells[0].text, "");
    EXPECT_EQ(rows[0].cells[1].text, Settings().LoadText(4420));
    EXPECT_EQ(rows[0].cells[0].width, rows[0].cells[1].width);
    EXPECT_FALSE(rows[0].cells[1].text.empty());
    EXPECT_EQ(rows[1].cells.at(0).text, Settings().LoadText(4429));
    EXPECT_EQ(rows[2].cells.at(0).text, Settings().LoadText(4431));
    // The values are the texts the VOX view shows.
    const auto record = Radio().Vox().Raw().Bytes();
    EXPECT_EQ(rows[1].cells.at(1).text,
              GetText(*FindField(kVoxFieldTable, "gain_level"), record, Settings()));
    EXPECT_EQ(rows[2].cells.at(1).text,
              GetText(*FindField(kVoxFieldTable, "delay_time"), record, Settings()));
}

TEST_F(PrintReportTest, EverySectionHasItsTitleAndNoEmptyText)
{
    home.SetUserLevel(kFullServiceLevel);  // the level that is offered every category
    CPrintSelection selection;
    for (size_t i = 0; i < CPrintSelection::Count(); ++i) selection.SetSelected(i, true);
    const std::vector<ReportRow> rows = BuildReport(Radio(), selection, Settings());
    for (const ReportRow& r : rows) {
        if (r.kind == ReportRowKind::Blank) continue;
        // Every title, caption and label comes from the language file.
        const size_t textCell = r.kind == ReportRowKind::Section ? 1 : 0;
        EXPECT_FALSE(r.cells.at(textCell).text.empty()) << "a row of kind " << int(r.kind);
    }
    const std::vector<std::string> titles = SectionTitles(rows);
    for (size_t i = 0; i < CPrintSelection::Count(); ++i) {
        const std::string title = Settings().LoadText(CPrintSelection::Row(i).formId);
        const bool found = std::any_of(titles.begin(), titles.end(), [&](const std::string& t) {
            return t.rfind(title, 0) == 0;
        });
        EXPECT_TRUE(found) << "no section titled " << title;
    }
}

TEST_F(PrintReportTest, ListSectionsHaveOneTitledBlockPerItem)
{
    while (Radio().Channels().size() < 3) Radio().AddChannel();
    const size_t channels = Radio().Channels().size();
    // Channel 2 with a frequency and a set check box; the rest as they are.
    auto bytes = BytesOf(Radio().Channels()[1]->Raw());
    ASSERT_TRUE(
        SetText(*FindField(kChannelFieldTable, "rx_frequency"), bytes, "433.12500", Settings()));
    ASSERT_TRUE(SetValue(*FindField(kChannelFieldTable, "scramble"), bytes, 1u));
    ASSERT_TRUE(SetValue(*FindField(kChannelFieldTable, "compandor"), bytes, 0u));

    std::vector<ReportRow> rows;
    BuildSection(6, Radio(), Settings(), rows);
    const std::string title = Settings().LoadText(3655);
    std::vector<std::string> expected;
    for (size_t n = 1; n <= channels; ++n) expected.push_back(title + " - " + std::to_string(n));
    EXPECT_EQ(SectionTitles(rows), expected);

    size_t second = 0;
    while (second < rows.size() && !(rows[second].kind == ReportRowKind::Section &&
                                     rows[second].cells[1].text == expected[1]))
        ++second;
    EXPECT_EQ(ValueOf(rows, Settings().LoadText(3665), second), "433.12500");
    EXPECT_EQ(ValueOf(rows, Settings().LoadText(3711), second), Settings().LoadText(20));
    EXPECT_EQ(ValueOf(rows, Settings().LoadText(3710), second), Settings().LoadText(21));
    // The labels of a channel: those of the first report in their order, with the views'
    // captions between them, then the other fields of the channel pages in their order.
    std::vector<std::string> labels;
    for (size_t i = second + 1; i < rows.size() && rows[i].kind != ReportRowKind::Blank; ++i)
        labels.push_back(rows[i].cells.at(0).text);
    std::vector<std::string> expectedLabels;
    for (int id : {3656, 3660, 3662, 3664, 3665, 3671, 3669, 3673, 3674, 3680,
                   3678, 3657, 3702, 3711, 3710, 3707, 3667, 3676, 3712, 3690})
        expectedLabels.push_back(Settings().LoadText(id));
    EXPECT_EQ(labels, expectedLabels);
}

TEST_F(PrintReportTest, AListWithoutItemsPrintsItsTitleAndANote)
{
    Radio().ScanLists().clear();
    std::vector<ReportRow> rows;
    BuildSection(9, Radio(), Settings(), rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells.at(1).text, Settings().LoadText(3801));
    EXPECT_EQ(rows[1].cells.at(0).text, Settings().LoadText(ReportText::kNoItems));
}

/// The labels of the field rows.
std::vector<std::string> FieldLabels(const std::vector<ReportRow>& rows)
{
    std::vector<std::string> out;
    for (const ReportRow& r : rows)
        if (r.kind == ReportRowKind::Field) out.push_back(r.cells.at(0).text);
    return out;
}

bool HasLabel(const std::vector<ReportRow>& rows, int textId)
{
    const std::vector<std::string> labels = FieldLabels(rows);
    return std::find(labels.begin(), labels.end(), Settings().LoadText(textId)) != labels.end();
}

TEST_F(PrintReportTest, AScanListPrintsItsMembersUpToItsCountAndNamesUnusedChannels)
{
    while (Radio().Channels().size() < 10) Radio().AddChannel();
    Radio().Channels()[8]->used_ = false;  // channel 9 is not in use
    Radio().ScanLists().clear();
    CScanData& scan = Radio().AddScanList();
    CRawRecord& r = scan.Raw();
    r[CScanData::Offset::Entries] = 4;
    // Members 1 to 4: in use, not in use, beyond the channel list, none; 5 and 6 set but
    // behind the count.
    const uint8_t members[] = {2, 9, 40, 0xFF, 3, 4};
    for (size_t k = 0; k < std::size(members); ++k) r[CScanData::Offset::Members + k] = members[k];
    r[CScanData::Offset::Designated] = 9;

    std::vector<ReportRow> rows;
    BuildSection(9, Radio(), Settings(), rows);
    struct Case {
        int label;
        std::string value;
    };
    const Case cases[] = {
        {3905, "2"}, {3906, "Channel 9 (not in use)"}, {3907, "Channel 40 (not in use)"},
        {3908, ""},  {3905 + 4, "<missing>"},          {3905 + 5, "<missing>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValueOf(rows, Settings().LoadText(c.label)), c.value) << c.label;
    EXPECT_EQ(ValueOf(rows, Settings().LoadText(CScanData::TextId::DesignatedName)),
              "Channel 9 (not in use)");
    // The fields of the configuration page beyond the first report's, before the members.
    for (int label : {3831, 3854, 3853, 3860}) EXPECT_TRUE(HasLabel(rows, label)) << label;
}

TEST_F(PrintReportTest, FieldsFollowTheUserLevelAndTheModel)
{
    struct Case {
        const char* model;
        const char* range;
        int level;
        bool topKey;  ///< TK short and long (service levels)
        bool beep;    ///< Channel Change Beep (the model whose view shows it)
    };
    const Case cases[] = {
        {"RV205", "400-470", 0, false, false},
        {"RV205", "400-470", kServiceLevel, true, false},
        {"RV205", "400-470", kFullServiceLevel, true, false},
        {"RV385", "400-470", 0, false, true},
        {"RV305", "136-174", kFullServiceLevel, true, false},
    };
    for (const Case& c : cases) {
        home.SetUserLevel(c.level);
        UseModel(c.model, c.range);
        std::vector<ReportRow> keys, misc;
        BuildSection(1, Radio(), Settings(), keys);
        BuildSection(2, Radio(), Settings(), misc);
        const std::string trace = std::string(c.model) + " level " + std::to_string(c.level);
        EXPECT_EQ(HasLabel(keys, 6607), c.topKey) << trace;
        EXPECT_EQ(HasLabel(keys, 6609), c.topKey) << trace;
        EXPECT_TRUE(HasLabel(keys, 6613)) << trace;
        EXPECT_EQ(HasLabel(misc, 1418), c.beep) << trace;
    }
}

TEST_F(PrintReportTest, OnlyTheCategoriesTheLevelAndModelOfferArePrinted)
{
    struct Case {
        const char* model;
        const char* range;
        int level;
        std::vector<size_t> leftOut;
    };
    const Case cases[] = {
        {"RV205", "400-470", 0, {kBoardRow, kDataWatchRow}},
        {"RV205", "400-470", kServiceLevel, {kDataWatchRow}},
        {"RV205", "400-470", kFullServiceLevel, {}},
        {"RV305", "136-174", kFullServiceLevel, {8, kEmergencyRow}},
    };
    CPrintSelection all;
    for (size_t i = 0; i < CPrintSelection::Count(); ++i) all.SetSelected(i, true);
    for (const Case& c : cases) {
        home.SetUserLevel(c.level);
        UseModel(c.model, c.range);
        const std::vector<std::string> titles =
            SectionTitles(BuildReport(Radio(), all, Settings()));
        for (size_t i = 0; i < CPrintSelection::Count(); ++i) {
            const bool offered =
                std::find(c.leftOut.begin(), c.leftOut.end(), i) == c.leftOut.end();
            EXPECT_EQ(SectionOffered(i, Settings()), offered) << c.model << " row " << i;
            const std::string title = Settings().LoadText(CPrintSelection::Row(i).formId);
            const bool printed =
                std::any_of(titles.begin(), titles.end(),
                            [&](const std::string& t) { return t.rfind(title, 0) == 0; });
            EXPECT_EQ(printed, offered) << c.model << " row " << i;
        }
    }
}

TEST_F(PrintReportTest, NoPasswordIsEverPrinted)
{
    home.SetUserLevel(kFullServiceLevel);
    Radio().Embedded().SetPassword("PW4711XY");
    Radio().Embedded().SetMessage(1, "CALL BASE");
    Radio().Embedded().Raw().CopyTo(Radio().MemoryImage().data() + CEmbeddedBlock::kImageAddress);
    CMaintainBoard board;
    board.Add(NewBoardRecord(2009, 3, 14));
    const BoardBytes boardBytes = board.Bytes();
    ReportSources sources;
    sources.board = &boardBytes;
    // A logged change of a password byte and of a byte beside it.
    sources.watchLog = {CDataWatch::MakeEntry(CEmbeddedBlock::kImageAddress + 2, 0x20, 0x34),
                        CDataWatch::MakeEntry(0x1B4, 8, 4)};

    std::vector<ReportRow> rows;
    for (size_t row : {kEmbeddedRow, kBoardRow, kDataWatchRow})
        BuildSection(row, Radio(), Settings(), rows, sources);
    std::string all;
    for (const ReportRow& r : rows)
        for (const ReportCell& c : r.cells) all += c.text + "|";
    EXPECT_EQ(all.find("PW4711XY"), std::string::npos);
    EXPECT_NE(all.find("CALL BASE"), std::string::npos);
    EXPECT_NE(all.find("2009-03-14"), std::string::npos);
    EXPECT_NE(all.find("$E.0x402:**->**"), std::string::npos);
    EXPECT_NE(all.find("$E.0x1B4:08->04"), std::string::npos);
    // The table row of 0x400: the eight password bytes as "**", the rest as they are.
    const auto tableRow = std::find_if(rows.begin(), rows.end(), [](const ReportRow& r) {
        return r.cells.size() == 17 && r.cells[0].text == "F:040_";
    });
    ASSERT_NE(tableRow, rows.end());
    for (size_t c = 1; c <= 16; ++c) EXPECT_EQ(tableRow->cells[c].text == "**", c <= 8) << c;
}

TEST(PageMetricsTest, LinesAndTopOffsetFollowThePageHeight)
{
    struct Case {
        double widthMm, heightMm;
        int lines, top;
    };
    const Case cases[] = {
        {210, 297, 48, 35},      // A4: (2970 - 300) / 50 - 5, ((2670 mod 50) + 50) / 2
        {215.9, 279.4, 44, 47},  // Letter
        {148, 210, 31, 25},      // A5: nothing left over, half a line
        {100, 40, 1, 25},        // smaller than the frame: still one line
    };
    for (const Case& c : cases) {
        const PageMetrics m = PageMetrics::ForPageMm(c.widthMm, c.heightMm);
        EXPECT_EQ(m.LinesPerPage(), c.lines) << c.heightMm;
        EXPECT_EQ(m.TopOffset(), c.top) << c.heightMm;
    }
    EXPECT_EQ(PageMetrics::ForPageMm(210, 297).PrintableWidth(), 2040);
}

std::vector<ReportRow> Rows(const std::string& kinds)
{
    std::vector<ReportRow> rows;
    for (char k : kinds) {
        const ReportRowKind kind = k == 'S'   ? ReportRowKind::Section
                                   : k == 'G' ? ReportRowKind::Group
                                   : k == 'B' ? ReportRowKind::Blank
                                              : ReportRowKind::Field;
        rows.push_back({kind, {{1, std::string(1, k)}}});
    }
    return rows;
}

TEST(PaginateTest, TitlesStayWithTheirFirstRowAndBlanksNeverOpenAPage)
{
    struct Case {
        const char* kinds;
        int lines;
        std::vector<ReportPage> pages;
    };
    const Case cases[] = {
        {"", 5, {{}}},                         // an empty report has its frame
        {"SFF", 3, {{0, 1, 2}}},               // exactly one page
        {"SFFF", 3, {{0, 1, 2}, {0, 3}}},      // the title again over the rest
        {"SFBSF", 3, {{0, 1}, {3, 4}}},        // blank + title moved: no blank at the top
        {"SFFBSF", 4, {{0, 1, 2}, {4, 5}}},    // a title never ends a page
        {"SFGFF", 4, {{0, 1}, {0, 2, 3, 4}}},  // a caption goes with its rows
        {"SFFGFFFFF", 5, {{0, 1, 2, 3, 4}, {0, 5, 6, 7, 8}}},  // unless they are too many
        {"SGF", 2, {{0}, {1, 2}}},  // too long for a page: the caption keeps its row
        // A block that fits a page is not split: it starts the next page.
        {"SFFBSFGF", 6, {{0, 1, 2}, {4, 5, 6, 7}}},
        {"SFFBSFFFFF", 6, {{0, 1, 2}, {4, 5, 6, 7, 8, 9}}},
        // Too long for a page: split as before, the title again over the rest.
        {"SFFBSFFFFFF", 6, {{0, 1, 2, 3, 4, 5}, {4, 6, 7, 8, 9, 10}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Paginate(Rows(c.kinds), c.lines), c.pages) << c.kinds << " / " << c.lines;
}

TEST(PrintTreeRulesTest, NothingCheckedAsksThreeTimesThenCancels)
{
    CEmptySelectionCounter counter;
    const int expected[] = {1229, 1229, 1229, 1228, 1229, 1229, 1229, 1228};
    for (int message : expected) {
        const EmptySelectionAnswer answer = counter.Next();
        EXPECT_EQ(answer.message, message);
        EXPECT_EQ(answer.cancel, message == 1228);
    }
}

TEST(PrintTreeRulesTest, CheckedItemsSelectTheirRowsAndListItemsTheirGroups)
{
    CPrintSelection selection;
    selection.SetSelected(0, true);  // cleared by every OK
    SelectCheckedItems(selection, {Id(Command::Channel), Id(Command::Personality),
                                   Id(Command::GeneralGroup), Id(Command::Emergency)});
    for (size_t i = 0; i < CPrintSelection::Count(); ++i) {
        const uint16_t command = CPrintSelection::Row(i).commandId;
        EXPECT_EQ(selection.Selected(i), command == Id(Command::ChannelGroup) ||
                                             command == Id(Command::PersonalityGroup) ||
                                             command == Id(Command::Emergency))
            << command;
    }
}

TEST(PrintSectionNamesTest, NamesSelectRowsAndABadNameChangesNothing)
{
    struct Case {
        const char* list;
        std::optional<std::string> bad;
        std::vector<size_t> rows;
    };
    const Case cases[] = {
        {"vox", std::nullopt, {4}},
        {"channels,radio,channels", std::nullopt, {0, 6}},
        {"all", std::nullopt, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"microphone,data_watch,maintenance_board", std::nullopt, {11, 14, 15}},
        {"keys,chanels", "chanels", {3}},  // the selection before stays
        {"keys,,vox", "", {3}},
        {"", "", {3}},
        {"ALL", "ALL", {3}},
    };
    for (const Case& c : cases) {
        CPrintSelection selection;
        selection.SetSelected(3, true);
        EXPECT_EQ(SelectSectionNames(selection, c.list), c.bad) << c.list;
        std::vector<size_t> rows;
        for (size_t i = 0; i < CPrintSelection::Count(); ++i)
            if (selection.Selected(i)) rows.push_back(i);
        EXPECT_EQ(rows, c.rows) << c.list;
    }
}

TEST_F(PrintReportTest, FrameTextsFollowTheLanguageFile)
{
    EXPECT_EQ(HeaderText("", Settings()), Settings().LoadText(128));
    EXPECT_EQ(HeaderText("/data/radio.dat", Settings()), "/data/radio.dat");
    EXPECT_EQ(PageText(2, 7, Settings().LoadText(ReportText::kPageOfPages)), "Page 2 of 7");
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 16;
    t.tm_min = 21;
    t.tm_sec = 8;
    EXPECT_EQ(PrintTimeText(t), "03/05/2026 16:21:08");
    const std::vector<InfoPair> info = RadioInfoBlock(Radio(), Settings());
    ASSERT_EQ(info.size(), 3u);
    EXPECT_EQ(info[0].label, Settings().LoadText(1110));
    EXPECT_EQ(info[1].value, Settings().FreqRange());
    EXPECT_EQ(info[2].label, Settings().LoadText(1116));
}

}  // namespace
}  // namespace rv
