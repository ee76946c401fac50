// The service screens on real widgets: test frequencies (band limits, steps, stored as typed
// cells are committed), the maintenance board (Add, Del, the 30-record limit, kept in the data
// file), the data watch (exactly the bytes an edit changed), and which user levels see and
// reach the service commands.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTreeWidget>
#include <functional>
#include <set>

#include "base/CommandIds.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/RadioData.h"
#include "editors/dtmf/DtmfFieldTable.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/dtmf/gui/ViewDTMFSystem.h"
#include "gui/GuiTestSupport.h"
#include "service/DataWatch.h"
#include "service/MaintainBoard.h"
#include "service/TestFreqBlock.h"
#include "service/gui/ViewDataWatch.h"
#include "service/gui/ViewMaintainBoard.h"
#include "service/gui/ViewTestFreq.h"
#include "shell/ViewTable.h"
#include "ui/ChildFrame.h"
#include "ui/GridCtrl.h"
#include "ui/QtText.h"
#include "ui/ShellRegistry.h"

namespace rv {
namespace {

/// Types text into a grid cell's editor and commits it, as a user does.
void TypeIntoCell(CGridCtrl* grid, int row, int column, const QString& text)
{
    grid->setCurrentCell(row, column);
    ASSERT_TRUE(grid->EditCell(row, column));
    auto* edit = qobject_cast<QLineEdit*>(grid->OpenEditor());
    ASSERT_NE(edit, nullptr);
    edit->setText(text);
    grid->CommitEdit();
}

// ---- test frequencies ----

class TestFreqView : public test::GuiTest {
protected:
    CViewTestFreq* Open()
    {
        return dynamic_cast<CViewTestFreq*>(frame->OpenView(Id(Command::TestFreq)));
    }
    static CTestFreqBlock& Block() { return Radio().TestFreq(); }
};

TEST_F(TestFreqView, GridsShowTheRecord)
{
    CViewTestFreq* view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->TestGrid()->rowCount(), 16);
    EXPECT_EQ(view->PointGrid()->rowCount(), 5);
    EXPECT_EQ(view->TestGrid()->columnCount(), 3);
    EXPECT_EQ(view->TestGrid()->CellText(0, 0), "1");
    EXPECT_EQ(view->TestGrid()->CellText(8, 1), "469.85000");
    EXPECT_EQ(view->TestGrid()->CellText(8, 2), "470.00000");
    EXPECT_EQ(view->TestGrid()->CellText(9, 1), "");
    EXPECT_EQ(view->PointGrid()->CellText(1, 1), "417.15000");
    EXPECT_EQ(view->TestGrid()->horizontalHeaderItem(1)->text(), "RX Frequency[MHz]");
    EXPECT_FALSE(view->TestGrid()->accessibleName().isEmpty());
    EXPECT_FALSE(view->PointGrid()->accessibleName().isEmpty());
}

TEST_F(TestFreqView, TypedCellsAreClampedFittedStoredAndAnnounced)
{
    CViewTestFreq* view = Open();
    ASSERT_NE(view, nullptr);
    struct Case {
        bool pair;
        int row, column;
        const char* typed;
        const char* shown;
        uint32_t bcd;
        bool clamped;
    };
    const Case cases[] = {
        {true, 2, 1, "480", "470.00000", 0x47000000, true},
        {true, 3, 2, "380.5", "400.00000", 0x40000000, true},
        {true, 4, 1, "435.0130", "435.01250", 0x43501250, false},
        {false, 0, 2, "435.0130", "435.01300", 0x43501300, false},
        {false, 4, 1, "", "", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        prompt.shown.clear();
        CGridCtrl* grid = c.pair ? view->TestGrid() : view->PointGrid();
        TypeIntoCell(grid, c.row, c.column, c.typed);
        EXPECT_EQ(grid->CellText(c.row, c.column), c.shown);
        const size_t k = static_cast<size_t>(c.row);
        const uint32_t stored =
            c.pair ? (c.column == 1 ? Block().PairRxBcd(k) : Block().PairTxBcd(k))
                   : (c.column == 1 ? Block().PointRxBcd(k) : Block().PointTxBcd(k));
        EXPECT_EQ(stored, c.bcd);
        EXPECT_EQ(prompt.Saw(TestFreqText::kClamped), c.clamped);
        EXPECT_EQ(prompt.shown.size(), c.clamped ? 1u : 0u);
        EXPECT_TRUE(frame->Document().IsModified(false));
    }
}

TEST_F(TestFreqView, CellsCommittedAsTheyStandChangeNothing)
{
    // A pair off the step raster and a pair of four 0xFF bytes, as a radio may hold them.
    CTestFreqBlock& block = Block();
    block.Raw().SetU32(10 * 5 + 4, 0x43501300);
    block.Raw().SetU32(10 * 9, 0xFFFFFFFF);
    const std::vector<uint8_t> before(block.Raw().Bytes().begin(), block.Raw().Bytes().end());
    CViewTestFreq* view = Open();
    ASSERT_NE(view, nullptr);
    for (CGridCtrl* grid : {view->TestGrid(), view->PointGrid()})
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 1; c <= 2; ++c) TypeIntoCell(grid, r, c, grid->CellText(r, c));
    frame->StoreAllViews();
    EXPECT_EQ(std::vector<uint8_t>(block.Raw().Bytes().begin(), block.Raw().Bytes().end()), before);
    EXPECT_TRUE(prompt.shown.empty());
}

// ---- maintenance board ----

class BoardView : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        home.SetUserLevel(kServiceLevel);
        MakeFrame();
    }
    CViewMaintainBoard* Open()
    {
        return dynamic_cast<CViewMaintainBoard*>(frame->OpenView(Id(Command::MaintainBoard)));
    }
    CMaintainBoard Board() { return CMaintainBoard(frame->Document().Board()); }
};

TEST_F(BoardView, AddAndDelKeepTheBoardAndTheGridInStepUpToThirtyRecords)
{
    CViewMaintainBoard* view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Grid()->rowCount(), 0);
    EXPECT_TRUE(view->AddButton()->isEnabled());
    EXPECT_FALSE(view->DeleteButton()->isEnabled());
    // Nothing of the board goes to the radio or the printer: those buttons are not shown, and
    // the view says why.
    for (QPushButton* b : {view->WriteButton(), view->PrintButton()}) {
        EXPECT_FALSE(b->isEnabled());
        EXPECT_TRUE(b->isHidden());
    }
    auto* note = view->findChild<QLabel*>(QStringLiteral("BoardNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), view->WriteButton()->toolTip());
    EXPECT_FALSE(note->text().isEmpty());
    for (QPushButton* b :
         {view->AddButton(), view->DeleteButton(), view->WriteButton(), view->PrintButton()})
        EXPECT_FALSE(b->accessibleName().isEmpty());

    const BoardRecord today = TodayBoardRecord();
    for (int n = 1; n <= 30; ++n) {
        view->AddButton()->click();
        ASSERT_EQ(view->Grid()->rowCount(), n);
        ASSERT_EQ(Board().Count(), static_cast<size_t>(n));
    }
    EXPECT_FALSE(view->AddButton()->isEnabled());
    view->Add();  // refused when full, whatever way it is asked
    EXPECT_EQ(Board().Count(), 30u);
    EXPECT_EQ(view->Grid()->CellText(29, CViewMaintainBoard::kDate), ToQ(BoardDateText(today)));
    EXPECT_EQ(view->Grid()->CellText(29, CViewMaintainBoard::kKind), "Inspection");
    EXPECT_EQ(view->Grid()->CellText(29, CViewMaintainBoard::kNumber), "30");

    // Row 3 gets another date; then row 2 goes and row 3 moves up, renumbered.
    TypeIntoCell(view->Grid(), 2, CViewMaintainBoard::kDate, "2009-03-14");
    EXPECT_EQ(Board().Record(2), (BoardRecord{9, 3, 14, 0, 0, 0}));
    view->Grid()->setCurrentCell(1, CViewMaintainBoard::kDate);
    EXPECT_TRUE(view->DeleteButton()->isEnabled());
    view->DeleteButton()->click();
    EXPECT_EQ(Board().Count(), 29u);
    EXPECT_EQ(frame->Document().Board()[0], 29);
    EXPECT_EQ(view->Grid()->rowCount(), 29);
    EXPECT_EQ(view->Grid()->CellText(1, CViewMaintainBoard::kDate), "2009-03-14");
    EXPECT_EQ(view->Grid()->CellText(28, CViewMaintainBoard::kNumber), "29");
    EXPECT_TRUE(view->AddButton()->isEnabled());
}

TEST_F(BoardView, EditsOfDateKindDetailAndResult)
{
    CViewMaintainBoard* view = Open();
    ASSERT_NE(view, nullptr);
    view->Add();
    CGridCtrl* grid = view->Grid();
    // Drop-down cells: pick entries as a user does.
    auto pick = [&](int column, const QString& text) {
        grid->setCurrentCell(0, column);
        ASSERT_TRUE(grid->EditCell(0, column));
        auto* combo = qobject_cast<QComboBox*>(grid->OpenEditor());
        ASSERT_NE(combo, nullptr);
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        grid->CommitEdit();
    };
    pick(CViewMaintainBoard::kKind, "Repair");
    EXPECT_EQ(Board().Record(0).kind, 1);
    EXPECT_EQ(grid->CellText(0, CViewMaintainBoard::kDetail), "Board");  // the kind's first
    pick(CViewMaintainBoard::kDetail, "Antenna");
    EXPECT_EQ(Board().Record(0).detail, 1);
    pick(CViewMaintainBoard::kResult, "Failed");
    EXPECT_EQ(Board().Record(0).result, 1);

    // A date that is no date is refused with a message and the stored date comes back.
    const BoardRecord before = Board().Record(0);
    prompt.shown.clear();
    TypeIntoCell(grid, 0, CViewMaintainBoard::kDate, "2023-02-30");
    EXPECT_TRUE(prompt.Saw(BoardText::kBadDate));
    EXPECT_EQ(Board().Record(0), before);
    EXPECT_EQ(grid->CellText(0, CViewMaintainBoard::kDate), ToQ(BoardDateText(before)));
}

TEST_F(BoardView, SaveAndReopenKeepBoardAndTestFrequencies)
{
    CViewMaintainBoard* board = Open();
    ASSERT_NE(board, nullptr);
    board->Add();
    TypeIntoCell(board->Grid(), 0, CViewMaintainBoard::kDate, "2009-03-14");
    board->Add();
    auto* freq = dynamic_cast<CViewTestFreq*>(frame->OpenView(Id(Command::TestFreq)));
    ASSERT_NE(freq, nullptr);
    TypeIntoCell(freq->TestGrid(), 10, 1, "433.125");
    const BoardBytes saved = frame->Document().Board();

    ASSERT_TRUE(frame->Document().SaveTo(home.Path("service.dat"), "").Ok());
    ASSERT_TRUE(frame->Document().New().Ok());
    EXPECT_EQ(CMaintainBoard(frame->Document().Board()).Count(), 0u);
    EXPECT_EQ(Radio().TestFreq().PairRxText(10), "");
    ASSERT_TRUE(frame->Document().OpenPath(home.Path("service.dat")).Ok());
    EXPECT_EQ(frame->Document().Board(), saved);
    EXPECT_EQ(Radio().TestFreq().PairRxText(10), "433.12500");

    board = Open();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->Grid()->rowCount(), 2);
    EXPECT_EQ(board->Grid()->CellText(0, CViewMaintainBoard::kDate), "2009-03-14");
    freq = dynamic_cast<CViewTestFreq*>(frame->OpenView(Id(Command::TestFreq)));
    ASSERT_NE(freq, nullptr);
    EXPECT_EQ(freq->TestGrid()->CellText(10, 1), "433.12500");
}

TEST_F(BoardView, AFileWhoseBoardIsDamagedOpensWithAnEmptyBoardAndANotice)
{
    CViewMaintainBoard* board = Open();
    ASSERT_NE(board, nullptr);
    board->Add();
    CDataFile file;
    ASSERT_TRUE(file.SetHeader(CQTXDoc::BuildHeader()));
    const std::vector<uint8_t> odd(17, 0x33);
    ASSERT_TRUE(file.Write(home.Path("odd.dat"), odd, Radio().MemoryImage(), "odd"));
    // The added record is a change: Open offers to save it first (No, twice).
    prompt.answers = {CPrompt::Answer::No, CPrompt::Answer::No};
    frame->RunCommand(Id(Command::Open));  // no file chosen: nothing happens
    EXPECT_EQ(prompt.Questions(), 1u);
    EXPECT_EQ(CMaintainBoard(frame->Document().Board()).Count(), 1u);
    files.openPath = home.Path("odd.dat");
    frame->RunCommand(Id(Command::Open));
    EXPECT_TRUE(prompt.Saw(DocMessage::kBoardDamaged));
    EXPECT_EQ(frame->Document().Path(), home.Path("odd.dat"));
    board = Open();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->Grid()->rowCount(), 0);
    EXPECT_TRUE(board->AddButton()->isEnabled());
}

// ---- data watch ----

class DataWatchView : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        home.SetUserLevel(kFullServiceLevel);
        MakeFrame();
    }
    /// Runs Memory Update as its menu entry (F5) does; true when a data watch view is open.
    bool MemoryUpdate()
    {
        frame->RunCommand(Id(Command::MemoryUpdate));
        return frame->FindView(Id(Command::DataWatch)) != nullptr;
    }
    CDataWatchView* Open()
    {
        return dynamic_cast<CDataWatchView*>(frame->OpenView(Id(Command::DataWatch)));
    }
    static QStringList Lines(CDataWatchView* view)
    {
        QStringList lines;
        for (int i = 0; i < view->Log()->count(); ++i) lines << view->Log()->item(i)->text();
        return lines;
    }
};

TEST_F(DataWatchView, MarksExactlyTheBytesAnEditChanged)
{
    Radio().MemoryMap().PrepareImage();
    CDataWatchView* watch = Open();
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(watch->Table()->rowCount(), 129);
    EXPECT_EQ(watch->Table()->columnCount(), 17);
    EXPECT_EQ(watch->Table()->item(128, 0)->text(), "F:07F_");
    EXPECT_EQ(watch->Table()->item(0, 16)->text(), "_F");
    EXPECT_EQ(watch->Table()->item(28, 5)->text(), "08");

    // Nothing edited: nothing logged.
    ASSERT_TRUE(MemoryUpdate());
    EXPECT_EQ(watch->Log()->count(), 0);

    // The DTMF Primary ID shortened from eight digits to four.
    auto* dtmf = dynamic_cast<CViewDTMFSystem*>(frame->OpenView(Id(Command::DtmfSystem)));
    ASSERT_NE(dtmf, nullptr);
    auto* id = qobject_cast<QLineEdit*>(dtmf->Sheet()->Basic()->Control(kDtmfPrimaryIdBox));
    ASSERT_NE(id, nullptr);
    ASSERT_EQ(id->text(), "12345678");
    const Image before = Radio().MemoryImage();
    id->setText("1234");
    emit id->editingFinished();
    ASSERT_TRUE(MemoryUpdate());
    const Image after = Radio().MemoryImage();
    EXPECT_EQ(qobject_cast<CChildFrame*>(frame->MdiArea()->activeSubWindow())->View(), watch);

    // One line per byte that differs, and only those cells green.
    QStringList expected;
    std::set<std::pair<int, int>> changedCells;
    for (size_t a = 0; a < kImageSize; ++a)
        if (before[a] != after[a]) {
            expected << ToQ(CDataWatch::MakeEntry(a, before[a], after[a]).line);
            changedCells.insert({static_cast<int>(a / 16) + 1, static_cast<int>(a % 16) + 1});
        }
    EXPECT_EQ(Lines(watch), expected);
    EXPECT_TRUE(expected.contains("$E.0x1B4:08->04"));
    for (int r = 1; r < 129; ++r)
        for (int c = 1; c < 17; ++c) {
            const bool green =
                watch->Table()->item(r, c)->background().color() == QColor(0, 255, 0);
            EXPECT_EQ(green, changedCells.count({r, c}) == 1) << r << "," << c;
        }
    EXPECT_EQ(watch->Table()->item(28, 5)->text(), "04");
    // The last change is shown.
    EXPECT_EQ(watch->Log()->currentRow(), watch->Log()->count() - 1);
    EXPECT_FALSE(watch->Detail()->toPlainText().isEmpty());

    // Choosing the 1B4 line shows its detail and its cell.
    watch->Log()->setCurrentRow(static_cast<int>(expected.indexOf("$E.0x1B4:08->04")));
    EXPECT_EQ(watch->Detail()->toPlainText(),
              "Decimal: $E.0x1B4:08->04\nBinary: $E.0x1B4:00001000->00000100");
    EXPECT_EQ(watch->Table()->currentRow(), 28);
    EXPECT_EQ(watch->Table()->currentColumn(), 5);

    // A second update without edits adds nothing; Clear empties the log, not the snapshot.
    ASSERT_TRUE(MemoryUpdate());
    EXPECT_EQ(Lines(watch), expected);
    watch->ClearButton()->click();
    EXPECT_EQ(watch->Log()->count(), 0);
    EXPECT_TRUE(watch->Detail()->toPlainText().isEmpty());
    EXPECT_NE(watch->Table()->item(28, 5)->background().color(), QColor(0, 255, 0));
    ASSERT_TRUE(MemoryUpdate());
    EXPECT_EQ(watch->Log()->count(), 0);
    EXPECT_EQ(watch->Table()->item(28, 5)->text(), "04");
}

// The embedded messages' password (image 1024 to 1031) never shows: not in the table, the log
// or the detail lines; the second text beside it does.
TEST_F(DataWatchView, NeverShowsTheEmbeddedMessagePassword)
{
    CDataWatchView* watch = Open();
    ASSERT_NE(watch, nullptr);
    const std::string secret = "SECRET12";
    std::copy(secret.begin(), secret.end(), Radio().MemoryImage().begin() + 1024);
    Radio().MemoryImage()[1032] = 'X';
    CompareOpenDataWatch(*frame);
    const QStringList lines = Lines(watch);
    ASSERT_EQ(lines.size(), 9);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i], QStringLiteral("$E.0x%1:**->**").arg(0x400 + i, 0, 16));
        EXPECT_EQ(watch->Table()->item(65, i + 1)->text(), QStringLiteral("**"));
        watch->Log()->setCurrentRow(i);
        EXPECT_EQ(watch->Detail()->toPlainText().count(QStringLiteral("**")), 4);
        EXPECT_FALSE(watch->Detail()->toPlainText().contains(QRegularExpression(":[0-9]")));
    }
    EXPECT_EQ(watch->Table()->item(65, 9)->text(), QStringLiteral("58"));
    watch->Log()->setCurrentRow(8);
    EXPECT_TRUE(watch->Detail()->toPlainText().contains(QStringLiteral("->88")));
}

TEST_F(DataWatchView, LogLinesShowTheirEntryUpToTheLimitAndCellsFindTheirLine)
{
    CDataWatchView* watch = Open();
    ASSERT_NE(watch, nullptr);
    // 300 changed bytes: more lines than the 130 whose selection shows their entry.
    for (size_t a = 0; a < 300; ++a) Radio().MemoryImage()[a + 1408] ^= 0x5A;
    CompareOpenDataWatch(*frame);
    ASSERT_EQ(watch->Log()->count(), 300);
    watch->Log()->setCurrentRow(120);
    const size_t address = 1408 + 120;
    EXPECT_EQ(watch->Table()->currentRow(), static_cast<int>(address / 16) + 1);
    EXPECT_EQ(watch->Table()->currentColumn(), static_cast<int>(address % 16) + 1);
    EXPECT_TRUE(watch->Detail()->toPlainText().startsWith(QStringLiteral("Decimal: $E.0x5F8:")));
    // Line 251 is beyond the limit: no entry is shown, not even the one shown before.
    watch->Log()->setCurrentRow(250);
    EXPECT_EQ(watch->Table()->currentRow(), static_cast<int>(address / 16) + 1);
    EXPECT_TRUE(watch->Detail()->toPlainText().isEmpty());
    watch->Log()->setCurrentRow(120);

    // A click on a changed cell selects its line; on another cell no line stays selected and
    // the detail box keeps what it shows.
    const QString detail = watch->Detail()->toPlainText();
    emit watch->Table()->cellClicked(static_cast<int>(1408 / 16) + 1, 1);
    EXPECT_EQ(watch->Log()->currentRow(), 0);
    emit watch->Table()->cellClicked(1, 1);
    EXPECT_EQ(watch->Log()->currentRow(), -1);
    EXPECT_EQ(watch->Detail()->toPlainText(), detail);
}

TEST_F(DataWatchView, MemoryUpdateWithoutAnOpenWatchOnlyRebuilds)
{
    EXPECT_FALSE(MemoryUpdate());
}

// ---- user levels ----

struct LevelCase {
    const char* what;
    int level;
    std::set<Command> reached;  ///< the service commands this level sees and reaches
};

class GatingTest : public test::GuiTest {
protected:
    void TearDown() override
    {
        frame.reset();
        for (auto& [id, handler] : saved_) RegisterCommand(id, handler);
        GuiTest::TearDown();
    }
    /// Puts a counting handler in place of a command's handler for the test.
    void Count(Command c)
    {
        const CommandHandler* old = FindRegisteredCommand(Id(c));
        saved_.push_back({Id(c), old ? *old : CommandHandler{}});
        RegisterCommand(Id(c), [this, c](IMainShell&) { ++runs[c]; });
    }
    bool InTree(Command c) const
    {
        bool found = false;
        std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
            found = found || item->data(0, Qt::UserRole).toInt() == Id(c);
            for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
        };
        for (int i = 0; i < frame->Tree()->topLevelItemCount(); ++i)
            walk(frame->Tree()->topLevelItem(i));
        return found;
    }
    std::map<Command, int> runs;

private:
    std::vector<std::pair<int, CommandHandler>> saved_;
};

class ServiceLevelGating : public GatingTest, public ::testing::WithParamInterface<LevelCase> {};

const Command kServiceCommands[] = {Command::MemoryUpdate, Command::BaseBand, Command::FactoryMode,
                                    Command::WriteTuneData, Command::Adjustment};
const Command kServiceViews[] = {Command::DataWatch, Command::MaintainBoard, Command::TestFreq};

TEST_P(ServiceLevelGating, CommandsTreeRowsAndViewsAppearOnlyAtTheirLevels)
{
    const LevelCase& p = GetParam();
    for (Command c : kServiceCommands) Count(c);
    home.SetUserLevel(p.level);
    MakeFrame();

    for (Command c : kServiceCommands) {
        SCOPED_TRACE(Id(c));
        const bool allowed = p.reached.count(c) == 1;
        EXPECT_EQ(frame->Action(Id(c)) != nullptr, allowed);
        frame->RunCommand(Id(c));
        EXPECT_EQ(runs[c], allowed ? 1 : 0);
    }
    for (Command c : kServiceViews) {
        SCOPED_TRACE(Id(c));
        const bool allowed = p.reached.count(c) == 1;
        EXPECT_EQ(frame->Action(Id(c)) != nullptr, allowed);
        EXPECT_EQ(InTree(c), allowed);
        EXPECT_EQ(frame->OpenView(Id(c)) != nullptr, allowed);
        frame->CloseAllViews();
        frame->RunCommand(Id(c));
        EXPECT_EQ(frame->FindView(Id(c)) != nullptr, allowed);
        frame->CloseAllViews();
    }
    // No shortcut of the window reaches a command of a higher level.
    for (QAction* a : frame->findChildren<QAction*>())
        if (a->data().isValid() && !a->shortcut().isEmpty()) {
            EXPECT_TRUE(IsCommandReachable(a->data().toInt(), CurrentUiProfile()))
                << a->data().toInt();
        }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ServiceLevelGating,
    ::testing::Values(LevelCase{"normal", 0, {Command::Adjustment, Command::TestFreq}},
                      LevelCase{"other number", 12345, {Command::Adjustment, Command::TestFreq}},
                      LevelCase{
                          "service",
                          kServiceLevel,
                          {Command::Adjustment, Command::BaseBand, Command::FactoryMode,
                           Command::WriteTuneData, Command::MaintainBoard, Command::TestFreq}},
                      LevelCase{"full service",
                                kFullServiceLevel,
                                {Command::Adjustment, Command::BaseBand, Command::FactoryMode,
                                 Command::WriteTuneData, Command::MaintainBoard, Command::TestFreq,
                                 Command::MemoryUpdate, Command::DataWatch}}),
    [](const ::testing::TestParamInfo<LevelCase>& info) {
        std::string name;
        for (char ch : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

TEST_F(GatingTest, ALevelLoweredWhileTheWindowIsOpenClosesTheWayAtOnce)
{
    Count(Command::MemoryUpdate);
    home.SetUserLevel(kFullServiceLevel);
    MakeFrame();
    QAction* update = frame->Action(Id(Command::MemoryUpdate));
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->shortcut(), QKeySequence("F5"));
    update->trigger();
    EXPECT_EQ(runs[Command::MemoryUpdate], 1);

    // The settings file now says normal: the shortcut made before reaches nothing.
    home.SetUserLevel(0);
    update->trigger();
    EXPECT_EQ(runs[Command::MemoryUpdate], 1);
    EXPECT_EQ(frame->OpenView(Id(Command::DataWatch)), nullptr);
    EXPECT_EQ(frame->OpenView(Id(Command::MaintainBoard)), nullptr);
    EXPECT_NE(frame->OpenView(Id(Command::TestFreq)), nullptr);
}

}  // namespace
}  // namespace rv
