// Start-up of the main window: tree, menus, status bar and title for each user level and
// model edition, and the menu texts from the language file.

#include <gtest/gtest.h>

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QTreeWidget>
#include <algorithm>
#include <cctype>

#include <filesystem>

#include "data/DataFile.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "gui/GuiTestSupport.h"
#include "base/IniFile.h"
#include "shell/ViewTable.h"
#include "base/TextFormat.h"

namespace rv {
namespace {

std::vector<int> TreeCommands(QTreeWidget* tree)
{
    std::vector<int> ids;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        ids.push_back(item->data(0, Qt::UserRole).toInt());
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) walk(tree->topLevelItem(i));
    return ids;
}

/// Command ids of a menu's entries in order; 0 for a separator.
std::vector<int> MenuCommands(QMenu* menu)
{
    std::vector<int> ids;
    for (QAction* a : menu->actions())
        if (a->isVisible()) ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
    return ids;
}

bool Contains(const std::vector<int>& v, Command c)
{
    return std::find(v.begin(), v.end(), Id(c)) != v.end();
}

class StartUp : public test::GuiTest {};

TEST_F(StartUp, TreeRootIsTheModelNameAndHoldsTheCategories)
{
    QTreeWidget* tree = frame->Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0).toStdString(), Settings().ModelName());
    EXPECT_TRUE(root->isExpanded());
    ASSERT_GT(root->childCount(), 0);
    QTreeWidgetItem* first = root->child(0);
    EXPECT_EQ(first->data(0, Qt::UserRole).toInt(), Id(Command::RadioInformation));
    EXPECT_EQ(first->text(0).toStdString(),
              TextOr(Settings().LoadText(Id(Command::RadioInformation)), "Radio Information"));
    // The channel item hangs below its group.
    for (int i = 0; i < root->childCount(); ++i)
        if (root->child(i)->data(0, Qt::UserRole).toInt() == Id(Command::ChannelGroup)) {
            ASSERT_EQ(root->child(i)->childCount(), 1);
            EXPECT_EQ(root->child(i)->child(0)->data(0, Qt::UserRole).toInt(),
                      Id(Command::Channel));
        }
}

TEST_F(StartUp, StatusBarTitleAndPanes)
{
    EXPECT_EQ(frame->windowTitle().toStdString(), Settings().LoadText(128));
    EXPECT_EQ(frame->RangePane()->text().toStdString(), Settings().FreqRange() + " MHz");
    EXPECT_EQ(frame->ModelPane()->text().toStdString(), Settings().ModelName());
    EXPECT_TRUE(frame->PortPane()->text().contains(QString::number(Settings().ComPort())));
    EXPECT_FALSE(frame->TreeDock()->isHidden());
    EXPECT_FALSE(frame->LogDock()->isHidden());
    ASSERT_NE(frame->Action(Id(Command::TreeBar)), nullptr);
    EXPECT_TRUE(frame->Action(Id(Command::TreeBar))->isChecked());
}

struct ProfileCase {
    const char* what;
    int level;
    ModelText model;
    std::vector<Command> inTree, notInTree, inMenus, notInMenus;
    Command programMenuLast;
};

class StartUpProfile : public test::GuiTest, public ::testing::WithParamInterface<ProfileCase> {};

TEST_P(StartUpProfile, MenusAndTreeFollowLevelAndEdition)
{
    const ProfileCase& c = GetParam();
    home.SetUserLevel(c.level);
    UseModel(Settings().LoadModelText(c.model), "400-470");
    MakeFrame();

    const std::vector<int> tree = TreeCommands(frame->Tree());
    for (Command cmd : c.inTree) EXPECT_TRUE(Contains(tree, cmd)) << c.what << " tree " << Id(cmd);
    for (Command cmd : c.notInTree)
        EXPECT_FALSE(Contains(tree, cmd)) << c.what << " tree " << Id(cmd);
    for (Command cmd : c.inMenus)
        EXPECT_NE(frame->Action(Id(cmd)), nullptr) << c.what << " menu " << Id(cmd);
    for (Command cmd : c.notInMenus)
        EXPECT_EQ(frame->Action(Id(cmd)), nullptr) << c.what << " menu " << Id(cmd);
    const std::vector<int> program = MenuCommands(frame->TopMenu(Menu::Program));
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), Id(c.programMenuLast)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, StartUpProfile,
    ::testing::Values(
        ProfileCase{"normal",
                    0,
                    ModelText::Rv205,
                    {Command::RadioInformation, Command::DtmfSystem, Command::Emergency},
                    {Command::DataWatch},
                    {Command::Adjustment, Command::DtmfSystem, Command::ReadFromRadio},
                    {Command::MemoryUpdate, Command::FactoryMode, Command::BaseBand,
                     Command::WriteTuneData, Command::DataWatch},
                    Command::Adjustment},
        ProfileCase{"service",
                    kServiceLevel,
                    ModelText::Rv205,
                    {Command::RadioInformation},
                    {Command::DataWatch},
                    {Command::FactoryMode, Command::BaseBand, Command::WriteTuneData},
                    {Command::MemoryUpdate, Command::DataWatch},
                    Command::WriteTuneData},
        ProfileCase{"full service",
                    kFullServiceLevel,
                    ModelText::Rv205,
                    {Command::DataWatch},
                    {},
                    {Command::MemoryUpdate, Command::DataWatch},
                    {},
                    Command::MemoryUpdate},
        ProfileCase{"first edition",
                    0,
                    ModelText::FirstEdition,
                    {Command::Channel},
                    {Command::DtmfSystem, Command::Emergency},
                    {Command::Emergency},
                    {Command::DtmfSystem},
                    Command::Adjustment},
        ProfileCase{"second edition",
                    0,
                    ModelText::SecondEdition,
                    {Command::Channel},
                    {Command::DtmfSystem, Command::Emergency},
                    {},
                    {Command::DtmfSystem},
                    Command::Adjustment}),
    [](const ::testing::TestParamInfo<ProfileCase>& info) {
        std::string name;
        for (char ch : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

/// The program's start with the settings file of the program directory as it is now.
class StartUpChecks : public test::GuiTest {
protected:
    void Start()
    {
        frame.reset();
        Settings().Init(home.Dir());
        prompt.shown.clear();
        frame = std::make_unique<CMainFrame>();
        frame->StartUp();
        frame->ShowStartUpNotices();
    }
};

TEST_F(StartUpChecks, RememberedRangeOfTheModelStartsWithoutANotice)
{
    Start();
    EXPECT_EQ(Settings().FreqRange(), "400-470");
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(StartUpChecks, RememberedRangeTheModelDoesNotHaveBecomesItsFirstRangeWithANotice)
{
    for (const char* range : {"400-", "999-1000", "470-400"}) {
        SCOPED_TRACE(range);
        CIniFile::WriteString(home.Path("Settings.ini"), "Setting", "FreqRange", range);
        Start();
        EXPECT_EQ(Settings().FreqRange(), "136-174") << "the model's first range";
        EXPECT_EQ(frame->RangePane()->text().toStdString(), "136-174 MHz");
        // The first New loaded the default set of that range (its time stamp set apart).
        Image defaults{};
        ASSERT_TRUE(CDataFile::Read(home.Path("RV205136-174DefaultSet.dat"), nullptr, defaults));
        const Image& image = Radio().MemoryImage();
        for (size_t a = 0; a < image.size(); ++a) {
            if (a < 32 || a >= 40) {
                ASSERT_EQ(image[a], defaults[a]) << a;
            }
        }
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].text.toStdString(),
                  Settings().LoadMessage(CatalogMessage::kRememberedRangeReplaced,
                                         {home.Path("Settings.ini"), range, "RV205", "136-174"}));
    }
}

TEST_F(StartUpChecks, MissingLanguageFileIsReportedInEnglishNamingFileAndFolder)
{
    std::filesystem::remove(home.Path("QTX_E.lng"));
    Start();
    ASSERT_EQ(prompt.shown.size(), 1u);
    const std::string text = prompt.shown[0].text.toStdString();
    EXPECT_NE(text.find("language file QTX_E.lng"), std::string::npos) << text;
    EXPECT_NE(text.find(home.Dir()), std::string::npos) << text;
    EXPECT_EQ(text.find("message"), std::string::npos) << text;
}

TEST_F(StartUp, MenuTextsComeFromTheLanguageFileWithEnglishDefaults)
{
    const std::string lng = home.Path("QTX_E.lng");
    ASSERT_TRUE(CIniFile::WriteString(lng, "Setting", "S0257600", "Neu"));
    ASSERT_TRUE(CIniFile::WriteString(lng, "Setting", "S0257601", ""));
    ASSERT_TRUE(CIniFile::WriteString(lng, "Setting", "S0232790", "&Datei"));
    ASSERT_TRUE(CIniFile::WriteString(lng, "Setting", "S0232791", ""));
    MakeFrame(true);
    EXPECT_EQ(frame->Action(Id(Command::New))->text(), "Neu");
    EXPECT_EQ(frame->Action(Id(Command::Open))->text(), "&Open...");
    EXPECT_EQ(frame->TopMenu(Menu::File)->title(), "&Datei");
    EXPECT_EQ(frame->TopMenu(Menu::Edit)->title(), "&Edit");
}

TEST_F(StartUp, ShortcutsOfTheMainCommands)
{
    struct Case {
        Command command;
        const char* keys;
    } cases[] = {{Command::ReadFromRadio, "Ctrl+R"},
                 {Command::WriteToRadio, "Ctrl+W"},
                 {Command::Print, "Ctrl+P"},
                 {Command::New, "Ctrl+N"},
                 {Command::Save, "Ctrl+S"}};
    for (const Case& c : cases) {
        QAction* a = frame->Action(Id(c.command));
        ASSERT_NE(a, nullptr) << c.keys;
        EXPECT_EQ(a->shortcut(), QKeySequence(c.keys)) << c.keys;
    }
    // Printing is part of the program: its entry can be chosen.
    EXPECT_TRUE(frame->Action(Id(Command::Print))->isEnabled());
}

TEST_F(StartUp, PanesAndTabViewToggle)
{
    frame->RunCommand(Id(Command::TreeBar));
    EXPECT_TRUE(frame->TreeDock()->isHidden());
    EXPECT_FALSE(frame->Action(Id(Command::TreeBar))->isChecked());
    frame->RunCommand(Id(Command::TreeBar));
    EXPECT_FALSE(frame->TreeDock()->isHidden());

    frame->RunCommand(Id(Command::TabView));
    EXPECT_EQ(frame->MdiArea()->viewMode(), QMdiArea::TabbedView);
    EXPECT_TRUE(frame->Action(Id(Command::TabView))->isChecked());
    frame->RunCommand(Id(Command::TabView));
    EXPECT_EQ(frame->MdiArea()->viewMode(), QMdiArea::SubWindowView);

    const bool invalidShown = !frame->InvalidDock()->isHidden();
    frame->RunCommand(Id(Command::InvalidView));
    EXPECT_EQ(frame->InvalidDock()->isHidden(), invalidShown);
}

}  // namespace
}  // namespace rv
