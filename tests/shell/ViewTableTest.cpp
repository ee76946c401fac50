#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/scan/ScanData.h"
#include "shell/ViewTable.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

constexpr UiProfile kNormal{0, false};
constexpr UiProfile kService{kServiceLevel, false};
constexpr UiProfile kFull{kFullServiceLevel, false};
constexpr UiProfile kEdition{0, true};

std::vector<int> MenuIds(Menu menu, const UiProfile& p)
{
    std::vector<int> ids;
    for (const MenuEntry& e : VisibleMenuEntries(menu, p)) ids.push_back(e.id);
    return ids;
}

bool InMenus(int id, const UiProfile& p)
{
    for (int m = 0; m < kMenuCount; ++m) {
        auto ids = MenuIds(static_cast<Menu>(m), p);
        if (std::find(ids.begin(), ids.end(), id) != ids.end()) return true;
    }
    return false;
}

bool InTree(int id, const UiProfile& p)
{
    for (const TreeRow& r : VisibleTreeRows(p))
        if (r.textId == id) return true;
    return false;
}

struct PresenceCase {
    const char* what;
    UiProfile profile;
    Command command;
    bool inMenu;
    bool inTree;
};

class PresenceTest : public ::testing::TestWithParam<PresenceCase> {};

TEST_P(PresenceTest, MenuAndTreeFollowUserLevelAndEdition)
{
    const PresenceCase& c = GetParam();
    EXPECT_EQ(InMenus(Id(c.command), c.profile), c.inMenu) << c.what;
    EXPECT_EQ(InTree(Id(c.command), c.profile), c.inTree) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Levels, PresenceTest,
    ::testing::Values(
        PresenceCase{"normal: no memory update", kNormal, Command::MemoryUpdate, false, false},
        PresenceCase{"normal: no write tune", kNormal, Command::WriteTuneData, false, false},
        PresenceCase{"normal: no factory", kNormal, Command::FactoryMode, false, false},
        PresenceCase{"normal: no base band", kNormal, Command::BaseBand, false, false},
        PresenceCase{"normal: adjustment", kNormal, Command::Adjustment, true, false},
        PresenceCase{"normal: no data watch", kNormal, Command::DataWatch, false, false},
        PresenceCase{"service: no memory update", kService, Command::MemoryUpdate, false, false},
        PresenceCase{"service: factory", kService, Command::FactoryMode, true, false},
        PresenceCase{"service: base band", kService, Command::BaseBand, true, false},
        PresenceCase{"service: write tune", kService, Command::WriteTuneData, true, false},
        PresenceCase{"service: no data watch", kService, Command::DataWatch, false, false},
        PresenceCase{"full: memory update", kFull, Command::MemoryUpdate, true, false},
        PresenceCase{"full: data watch", kFull, Command::DataWatch, true, true},
        PresenceCase{"normal: no maintenance board", kNormal, Command::MaintainBoard, false,
                     false},
        PresenceCase{"service: maintenance board", kService, Command::MaintainBoard, true, true},
        PresenceCase{"full: maintenance board", kFull, Command::MaintainBoard, true, true},
        PresenceCase{"normal: test frequencies", kNormal, Command::TestFreq, true, true},
        PresenceCase{"plain model: dtmf", kNormal, Command::DtmfSystem, true, true},
        PresenceCase{"plain model: emergency", kNormal, Command::Emergency, true, true},
        PresenceCase{"edition: no dtmf", kEdition, Command::DtmfSystem, false, false},
        // The edition models lose the emergency tree item only; the menu keeps it.
        PresenceCase{"edition: emergency", kEdition, Command::Emergency, true, false},
        PresenceCase{"edition: channels stay", kEdition, Command::Channel, true, true}),
    [](const ::testing::TestParamInfo<PresenceCase>& info) {
        std::string name;
        for (char ch : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

TEST(ViewTableMenus, ProgramMenuEndsWithAdjustmentAtNormalLevel)
{
    auto ids = MenuIds(Menu::Program, kNormal);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.back(), Id(Command::Adjustment));
    EXPECT_EQ(MenuIds(Menu::Program, kService).back(), Id(Command::WriteTuneData));
    EXPECT_EQ(MenuIds(Menu::Program, kFull).back(), Id(Command::MemoryUpdate));
}

TEST(ViewTableMenus, NoMenuHasStraySeparatorsForAnyProfile)
{
    for (const UiProfile& p :
         {kNormal, kService, kFull, kEdition, UiProfile{kFullServiceLevel, true}})
        for (int m = 0; m < kMenuCount; ++m) {
            auto ids = MenuIds(static_cast<Menu>(m), p);
            ASSERT_FALSE(ids.empty()) << "menu " << m;
            EXPECT_NE(ids.front(), 0) << "menu " << m;
            EXPECT_NE(ids.back(), 0) << "menu " << m;
            for (size_t i = 1; i < ids.size(); ++i)
                EXPECT_FALSE(ids[i] == 0 && ids[i - 1] == 0) << "menu " << m << " at " << i;
        }
}

TEST(ViewTableMenus, CommandsAppearOnceAndHaveEnglishTexts)
{
    std::set<int> seen;
    auto check = [&](const auto& table) {
        for (const MenuEntry& e : table) {
            if (e.id == 0) continue;
            EXPECT_TRUE(seen.insert(e.id).second) << "command listed twice: " << e.id;
            EXPECT_NE(std::string(e.english), "") << e.id;
        }
    };
    check(kMenuLayout);
    check(kMenuLayoutTail);
    // Every view can be reached from a menu as well as from the tree.
    for (const ViewRow& v : kViewTable) EXPECT_TRUE(seen.count(v.command)) << v.className;
}

TEST(ViewTableTree, LayoutStartsAtLevelZeroAndGroupsHoldTheirLists)
{
    EXPECT_EQ(kTreeLayout.front().level, 0);
    auto rows = VisibleTreeRows(kFull);
    auto at = [&](int id) {
        return std::find_if(rows.begin(), rows.end(),
                            [id](const TreeRow& r) { return r.textId == id; });
    };
    auto channel = at(Id(Command::Channel));
    ASSERT_NE(channel, rows.end());
    EXPECT_EQ(channel->level, 1);
    EXPECT_EQ((channel - 1)->textId, Id(Command::ChannelGroup));
    EXPECT_EQ(at(Id(Command::Keys))->level, 1);
    // Every row that is not a group opens a view.
    for (const TreeRow& r : kTreeLayout) {
        bool group = r.textId == Id(Command::GeneralGroup) ||
                     r.textId == Id(Command::ChannelGroup) ||
                     r.textId == Id(Command::PersonalityGroup);
        EXPECT_EQ(FindViewRow(r.textId) != nullptr, !group) << r.textId;
    }
}

TEST(ViewTableViews, LookupAndGroupCommands)
{
    ASSERT_NE(FindViewRow(Id(Command::RadioInformation)), nullptr);
    EXPECT_EQ(FindViewRow(Id(Command::RadioInformation))->kind, ViewKind::Radio);
    EXPECT_EQ(FindViewRow(Id(Command::Channel))->maxItems, 16);
    EXPECT_EQ(FindViewRow(Id(Command::Scan))->maxItems, 2);
    EXPECT_EQ(FindViewRow(Id(Command::GeneralGroup)), nullptr);
    EXPECT_EQ(FindViewRow(Id(Command::New)), nullptr);

    EXPECT_EQ(NormalizeViewCommand(Id(Command::ChannelGroup)), Id(Command::Channel));
    EXPECT_EQ(NormalizeViewCommand(Id(Command::PersonalityGroup)), Id(Command::Personality));
    EXPECT_EQ(NormalizeViewCommand(Id(Command::Keys)), Id(Command::Keys));

    EXPECT_TRUE(IsViewCommand(32800));
    EXPECT_TRUE(IsViewCommand(32950));
    EXPECT_FALSE(IsViewCommand(32799));
    EXPECT_FALSE(IsViewCommand(32951));
}

TEST(ViewTableTexts, ListPositionFromTitle)
{
    struct Case {
        const char* title;
        int number;
    } cases[] = {
        {"Channel 12", 12},
        {"Scan List 2", 2},
        {"Channel", 0},
        {"12", 0},
        {"", 0},
        {"Channel 99999999999999", 0},
        {"CH3", 3},
        {"Channel 1 ", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ListPositionFromTitle(c.title), c.number) << c.title;
}

TEST(ViewTableTexts, TitlesAndStatusTexts)
{
    EXPECT_EQ(StripLeadingBackslashes("\\\\Channel"), "Channel");
    EXPECT_EQ(StripLeadingBackslashes("Chan\\nel"), "Chan\\nel");
    EXPECT_EQ(StripLeadingBackslashes("\\\\"), "");
    EXPECT_EQ(RangeStatusText("400-470"), "400-470 MHz");
    EXPECT_EQ(RangeStatusText(""), "");
    EXPECT_EQ(TextOr("", "Open"), "Open");
    EXPECT_EQ(TextOr("Öffnen", "Open"), "Öffnen");
    EXPECT_STREQ(SplashFileName(0), "splash_E.jpg");
    EXPECT_STREQ(SplashFileName(1), "splash_S.jpg");
}

TEST(ViewTableTexts, PlaceholdersAreFilledSafely)
{
    struct Case {
        const char* format;
        const char* expected;
    } cases[] = {
        {"Port: COM%d", "Port: COM3"},
        {"COM%u now", "COM3 now"},
        {"%ld ports", "3 ports"},
        {"%02d", "3"},
        {"no placeholder", "no placeholder"},
        {"100%% %d", "100% 3"},
        {"%s and %d and %d", "%s and 3 and %d"},  // only the first number, text kinds untouched
        {"ends with %", "ends with %"},
        {"%n %x", "%n %x"},  // conversions that are not numbers are shown as written
    };
    for (const Case& c : cases) EXPECT_EQ(FormatTextNumber(c.format, 3), c.expected) << c.format;
    EXPECT_EQ(FormatTextString("File %s not found (%d)", "a.dat"), "File a.dat not found (%d)");
}

TEST(ViewTableTexts, ListItemsShowTheirCountAndSingleItemsDoNot)
{
    Radio().ClearLists();
    Radio().SetDefaults();
    const size_t channels = Radio().Channels().size();
    const std::string expected = "Channel (" + std::to_string(channels) + ")";
    EXPECT_EQ(TreeItemLabel("Channel", Id(Command::Channel), "%s (%d)"), expected);
    EXPECT_EQ(TreeItemLabel("Keys", Id(Command::Keys), "%s (%d)"), "Keys");
    // A '%' in the item's own text is shown as it is.
    EXPECT_EQ(TreeItemLabel("100%d", Id(Command::Scan), "%s [%d]"),
              "100%d [" + std::to_string(Radio().ScanLists().size()) + "]");
}

TEST(ViewTableTexts, InvalidLogRowsLeadToTheirChannelAndField)
{
    Radio().ClearLists();
    Radio().SetDefaults();
    const uint32_t third = Radio().Channels()[2]->id_;
    constexpr int kPersonalityBox = 3703;
    const InvalidRowTarget expected{Id(Command::Channel), 3, kPersonalityBox};
    EXPECT_EQ(LocateInvalidRow({third + 65535 + kPersonalityBox, "", "", kPersonalityBox}),
              expected);
    // A channel deleted since, a row without field, a key too small to hold one: nowhere.
    EXPECT_FALSE(LocateInvalidRow({third + 1 + 65535 + kPersonalityBox, "", "", kPersonalityBox}));
    EXPECT_FALSE(LocateInvalidRow({third + 65535 + kPersonalityBox, "", "", 0}));
    EXPECT_FALSE(LocateInvalidRow({100, "", "", kPersonalityBox}));
}

TEST(ViewTableTexts, InvalidLogRowsLeadToTheirScanListAndToTheEmergencyView)
{
    Radio().ClearLists();
    Radio().SetDefaults();
    const uint32_t second = Radio().AddScanList().id_;
    constexpr int kMember3 = 3875;
    EXPECT_EQ(LocateInvalidRow({second + 65535 + kMember3, "", "", kMember3}),
              (InvalidRowTarget{Id(Command::Scan), 2, kMember3}));
    for (int field : {7310, 7318})
        EXPECT_EQ(LocateInvalidRow({static_cast<uint32_t>(65535 + field), "", "", field}),
                  (InvalidRowTarget{Id(Command::Emergency), 1, field}))
            << field;
    // Another field with the emergency block's key base leads nowhere.
    EXPECT_FALSE(LocateInvalidRow({65535 + 7320, "", "", 7320}));
}

TEST(ViewTableNumbers, StoredAndDisplayValuesFollowTheRangeDescriptor)
{
    const RangeDescriptor volts{1250, 625, 2500, 1000, 0, 1, 3};
    const RangeDescriptor channels{1, 1, 16, 1, 0, 1, 0};
    struct Case {
        const RangeDescriptor* range;
        long long stored;
        long long display;
    } toDisplay[] = {
        {&volts, 0, 1250},  {&volts, 1, 1875},   {&volts, 2, 2500},
        {&volts, 7, 2500},  // beyond the last item: the last item
        {&volts, -3, 1250}, {&channels, 15, 16}, {&channels, 0, 1},
    };
    for (const Case& c : toDisplay)
        EXPECT_EQ(RangeDisplayOf(*c.range, c.stored), c.display) << c.stored;
    Case toStored[] = {
        {&volts, 0, 1250}, {&volts, 1, 1875}, {&volts, 1, 1900},  // nearest item
        {&volts, 2, 9999}, {&volts, 0, -10},  {&channels, 15, 16},
    };
    for (const Case& c : toStored)
        EXPECT_EQ(RangeStoredOf(*c.range, c.display), c.stored) << c.display;

    const RangeDescriptor noStep{1, 0, 16, 1, 0, 1, 0};
    const RangeDescriptor backwards{16, 1, 1, 1, 0, 1, 0};
    EXPECT_FALSE(RangeDisplayOf(noStep, 3));
    EXPECT_FALSE(RangeStoredOf(backwards, 3));
}

TEST(ViewTableHelp, TopicsAreChosenFromTheControlOutwards)
{
    const std::string html =
        "<html><a name=\"0\"></a><h2 id=\"1109\">Radio</h2><a name=\"1111\">Model</a>"
        "<img filename=\"1113\"></html>";
    EXPECT_TRUE(HelpHasTopic(html, 1109));
    EXPECT_TRUE(HelpHasTopic(html, 1111));
    EXPECT_FALSE(HelpHasTopic(html, 1113)) << "an attribute ending in name= is no anchor";
    EXPECT_FALSE(HelpHasTopic(html, 111));
    EXPECT_EQ(ChooseHelpTopic({1111, 1109}, html), 1111);
    EXPECT_EQ(ChooseHelpTopic({1115, 1109}, html), 1109);
    EXPECT_EQ(ChooseHelpTopic({1115, 4000}, html), 0);
    EXPECT_EQ(ChooseHelpTopic({}, html), 0);
}

TEST(ViewTableHelp, ShippedHelpHasATopicForEveryViewAndTreeItem)
{
    // The English and the Chinese help have the same topics, so that F1 lands on the same
    // place in either language; every view, tree item and screen has its topic in both.
    auto anchors = [](const std::string& html) {
        std::set<std::string> names;
        for (size_t at = html.find("name=\""); at != std::string::npos;
             at = html.find("name=\"", at + 1)) {
            const size_t begin = at + 6;
            names.insert(html.substr(begin, html.find('"', begin) - begin));
        }
        return names;
    };
    std::set<std::string> english;
    for (const char* file : {"help_E.html", "help_S.html"}) {
        std::ifstream in(std::string(RV_RESOURCE_DIR) + "/" + file);
        ASSERT_TRUE(in) << file << " missing";
        std::string html{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (const TreeRow& r : kTreeLayout)
            EXPECT_TRUE(HelpHasTopic(html, r.textId)) << file << " " << r.textId;
        for (const ViewRow& v : kViewTable)
            EXPECT_TRUE(HelpHasTopic(html, v.command)) << file << " " << v.className;
        // Communication Port, the transfer screen, Language, About.
        for (int screen : {150, 1601, 1037, 100})
            EXPECT_TRUE(HelpHasTopic(html, screen)) << file << " " << screen;
        if (english.empty())
            english = anchors(html);
        else
            EXPECT_EQ(anchors(html), english) << file;
    }
}

class ViewTableProfile : public test::HomeTest {};

TEST_F(ViewTableProfile, CurrentProfileReadsLevelAndModel)
{
    EXPECT_EQ(CurrentUiProfile().userLevel, 0);
    EXPECT_FALSE(CurrentUiProfile().editionFlag);
    home.SetUserLevel(kServiceLevel);
    EXPECT_EQ(CurrentUiProfile().userLevel, kServiceLevel);  // read at each use
    UseModel(Settings().LoadModelText(ModelText::FirstEdition), "400-470");
    EXPECT_TRUE(CurrentUiProfile().editionFlag);
}

}  // namespace
}  // namespace rv
