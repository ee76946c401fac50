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
    // The labels of a channel in their order, with the views' captions between them.
    std::vector<int> labels;
    for (size_t i = second + 1; i < rows.size() && rows[i].kind != ReportRowKind::Blank; ++i)
        labels.push_back(rows[i].kind == ReportRowKind::Field ? 1 : 0);
    EXPECT_EQ(labels.size(), 16u);
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
        EXPECT_EQ(selection.Selected(i),
                  command == Id(Command::ChannelGroup) || command == Id(Command::PersonalityGroup))
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
        {"all", std::nullopt, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
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
