// Everyday editing on the real main window: undo and redo of grid edits, sheet fields, added and
// deleted channels and a channel import; copy, paste, fill down and clear in the channel grid;
// the notice when a typed frequency is stored as another value; the Edit menu, navigation and
// Print controls enabled exactly when they would do something.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <fstream>

#include "base/CommandIds.h"
#include "base/TextFormat.h"
#include "data/Document.h"
#include "data/RadioData.h"
#include "data/UndoStack.h"
#include "editors/channel/ChannelCsv.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/channel/FrequencyText.h"
#include "editors/channel/gui/ChanSheet.h"
#include "editors/channel/gui/DlgChannelImport.h"
#include "editors/channel/gui/PageChanBasic.h"
#include "editors/channel/gui/ViewChannel.h"
#include "editors/channel/gui/ViewChannelList.h"
#include "editors/common/ListCommand.h"
#include "gui/GuiTestSupport.h"
#include "shell/ExchangeCommands.h"
#include "ui/GridCtrl.h"
#include "ui/LogPane.h"
#include "ui/NavigationBar.h"

namespace rv {
namespace {

constexpr int kRx = static_cast<int>(ChannelColumn::RxFreq);
constexpr int kTx = static_cast<int>(ChannelColumn::TxFreq);
constexpr int kAlias = static_cast<int>(ChannelColumn::Alias);

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

void TypeText(QWidget* w, const QString& text)
{
    for (QChar ch : text) Key(w, 0, Qt::NoModifier, QString(ch));
}

class UndoEditing : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        SetChannelCount(4);
        // The history starts with the four channels, kept safe as if just opened.
        frame->Document().MarkClean();
        frame->Document().ResetUndo();
    }
    void TearDown() override
    {
        SetImportPreviewRunner({});
        SetCsvPathChooser({});
        GuiTest::TearDown();
    }
    static void SetChannelCount(size_t n)
    {
        auto& list = Radio().Channels();
        while (list.size() > n) list.pop_back();
        while (list.size() < n) Radio().AddChannel().ResolveLinks();
    }
    static CChannelData& Channel(size_t number) { return *Radio().Channels()[number - 1]; }
    CViewChannelList* OpenGrid()
    {
        return dynamic_cast<CViewChannelList*>(frame->OpenView(Id(Command::ChannelList)));
    }
    CViewChannel* OpenChannel()
    {
        return dynamic_cast<CViewChannel*>(frame->OpenView(Id(Command::Channel)));
    }
    /// Types text into a grid cell and commits it, as a user does.
    static void TypeIntoCell(CGridCtrl* grid, int row, int column, const QString& text)
    {
        ASSERT_TRUE(grid->EditCell(row, column));
        auto* editor = qobject_cast<QLineEdit*>(grid->OpenEditor());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        TypeText(editor, text);
        grid->CommitEdit();
    }
    bool Enabled(Command c) const
    {
        QAction* a = frame->Action(Id(c));
        return a && a->isEnabled();
    }
    void Undo() { frame->RunCommand(Id(Command::Undo)); }
    void Redo() { frame->RunCommand(Id(Command::Redo)); }
    bool TitleMarked() const { return frame->windowTitle().startsWith(QLatin1Char('*')); }
    QString LastLogRow() const
    {
        QTreeWidget* log = frame->LogPane();
        const int n = log->topLevelItemCount();
        if (n == 0) return {};
        QStringList cells;
        for (int c = 0; c < log->columnCount(); ++c) cells << log->topLevelItem(n - 1)->text(c);
        return cells.join(QLatin1Char('|'));
    }
};

TEST_F(UndoEditing, GridEditUndoneAndRedoneInEveryOpenView)
{
    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    auto* sheet = OpenChannel();
    ASSERT_NE(sheet, nullptr);
    CGridCtrl* grid = list->Grid();
    const uint32_t before = Channel(1).RxFreq();
    const QString shown = grid->CellText(0, kRx);
    EXPECT_FALSE(Enabled(Command::Undo));
    EXPECT_FALSE(Enabled(Command::Redo));
    EXPECT_FALSE(TitleMarked());

    TypeIntoCell(grid, 0, kRx, "441.25");
    EXPECT_EQ(Channel(1).RxFreq(), 0x44125000u);
    EXPECT_TRUE(Enabled(Command::Undo));
    frame->UpdateModifiedMark();
    EXPECT_TRUE(TitleMarked());

    Undo();
    EXPECT_EQ(Channel(1).RxFreq(), before);
    EXPECT_EQ(list->Grid()->CellText(0, kRx), shown);
    EXPECT_EQ(list->CurrentRecord(), 1);  // the grid stays on its row
    auto* rxBox =
        qobject_cast<QLineEdit*>(sheet->Sheet()->Basic()->Control(ChannelControl::RxFreqBox));
    ASSERT_NE(rxBox, nullptr);
    EXPECT_EQ(rxBox->text(), shown);  // the sheet shows the restored channel too
    EXPECT_FALSE(Enabled(Command::Undo));
    EXPECT_TRUE(Enabled(Command::Redo));
    EXPECT_FALSE(TitleMarked());

    Redo();
    EXPECT_EQ(Channel(1).RxFreq(), 0x44125000u);
    EXPECT_EQ(list->Grid()->CellText(0, kRx), "441.25000");
    EXPECT_EQ(rxBox->text(), "441.25000");
    EXPECT_TRUE(TitleMarked());
    EXPECT_FALSE(Enabled(Command::Redo));
}

TEST_F(UndoEditing, SheetFieldAndAliasAreUndoneOneByOne)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* rx = qobject_cast<QLineEdit*>(view->Sheet()->Basic()->Control(ChannelControl::RxFreqBox));
    auto* alias = qobject_cast<QLineEdit*>(view->Sheet()->Basic()->Control(ChannelControl::Alias));
    ASSERT_NE(rx, nullptr);
    ASSERT_NE(alias, nullptr);
    const QString shown = rx->text();
    const Image start = CaptureConfig().image;

    frame->show();
    QApplication::setActiveWindow(frame.get());
    rx->setFocus();
    rx->selectAll();
    TypeText(rx, "445.5");
    Key(rx, Qt::Key_Return);
    alias->setFocus();
    TypeText(alias, "Depot");
    rx->setFocus();  // the alias box commits as it loses the focus
    ASSERT_EQ(Radio().ChannelAlias(Channel(1).id_), "Depot");
    ASSERT_EQ(Channel(1).RxFreq(), 0x44550000u);

    // Ctrl+Z in a text box is the configuration's: the main window takes the key from the box.
    QApplication::setActiveWindow(frame.get());
    rx->setFocus();
    QKeyEvent ctrlZ(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier);
    ctrlZ.ignore();
    QApplication::sendEvent(rx, &ctrlZ);
    EXPECT_FALSE(ctrlZ.isAccepted()) << "the box kept Ctrl+Z for its own typing";
    frame->RunCommand(Id(Command::Undo));
    EXPECT_EQ(Radio().ChannelAlias(Channel(1).id_), "");
    EXPECT_EQ(alias->text(), "");
    EXPECT_EQ(Channel(1).RxFreq(), 0x44550000u);
    frame->RunCommand(Id(Command::Undo));
    EXPECT_EQ(rx->text(), shown);
    EXPECT_EQ(CaptureConfig().image, start);
    frame->RunCommand(Id(Command::Redo));
    EXPECT_EQ(rx->text(), "445.50000");
    frame->hide();
}

TEST_F(UndoEditing, AddedAndDeletedChannelsComeBackWithoutAQuestion)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    Radio().SetChannelAlias(Channel(2).id_, "Gate");
    frame->Document().Checkpoint();
    const UndoSnapshot start = CaptureConfig();

    view->Navigate(static_cast<int>(ListCommand::Add), 0);
    EXPECT_EQ(Radio().Channels().size(), 5u);
    view->Navigate(static_cast<int>(ListCommand::GoTo), 2);
    view->Navigate(static_cast<int>(ListCommand::Delete), 0);
    EXPECT_EQ(Radio().Channels().size(), 4u);
    EXPECT_EQ(prompt.Questions(), 0u);

    Undo();  // the delete
    ASSERT_EQ(Radio().Channels().size(), 5u);
    EXPECT_EQ(Radio().ChannelAlias(Channel(2).id_), "Gate");
    Undo();  // the add
    EXPECT_EQ(Radio().Channels().size(), 4u);
    EXPECT_EQ(CaptureConfig(), start);
    // The open view shows a channel that exists, and the tree counts four.
    EXPECT_GE(view->CurrentRecord(), 1);
    EXPECT_LE(view->CurrentRecord(), 4);
    Redo();
    Redo();
    EXPECT_EQ(Radio().Channels().size(), 4u);
    EXPECT_EQ(Radio().ChannelAlias(Channel(2).id_), "");
}

TEST_F(UndoEditing, ChannelImportIsOneStep)
{
    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    const UndoSnapshot start = CaptureConfig();
    const std::string csv = home.Path("two.csv");
    // The exported table with the first two channels renamed and moved, as in a spreadsheet.
    QStringList lines = QString::fromStdString(ChannelsToCsv(Radio(), Settings())).split('\n');
    ASSERT_GE(lines.size(), 3);
    for (int i : {1, 2}) {
        QStringList cells = lines[i].split(QLatin1Char(','));
        cells[1] = i == 1 ? QStringLiteral("North") : QStringLiteral("South");
        cells[2] = i == 1 ? QStringLiteral("441.5") : QStringLiteral("442.5");
        lines[i] = cells.join(QLatin1Char(','));
    }
    std::ofstream(csv, std::ios::binary) << lines.join('\n').toStdString();
    SetCsvPathChooser(
        [csv](QWidget*, bool) -> std::optional<QString> { return QString::fromStdString(csv); });
    SetImportPreviewRunner([](CDlgChannelImport& dialog) {
        dialog.ApplyButton()->click();
        return dialog.result();
    });
    frame->RunCommand(Id(Command::ImportChannels));
    ASSERT_NE(CaptureConfig(), start) << "the import changed nothing";
    EXPECT_EQ(Radio().ChannelAlias(Channel(1).id_), "North");
    EXPECT_EQ(frame->Document().UndoSteps().UndoCount(), 1u);

    Undo();
    EXPECT_EQ(CaptureConfig(), start);
    EXPECT_EQ(list->Grid()->rowCount(), 4);
    EXPECT_EQ(list->Grid()->CellText(0, kAlias), "");
    Redo();
    EXPECT_EQ(list->Grid()->CellText(0, kAlias), "North");
}

TEST_F(UndoEditing, PasteOfTwoRowsGoesThroughTheCellRulesAsOneStep)
{
    Settings().SetFreqRange("400-470");
    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    CGridCtrl* grid = list->Grid();
    const UndoSnapshot start = CaptureConfig();

    // Two rows from a spreadsheet: alias and receive frequency; the second is above the band
    // and the first off the grid's raster.
    grid->setCurrentCell(1, kAlias);
    const QString rows = QStringLiteral("East\t440.5234\r\nWest\t480\r\n");
    EXPECT_EQ(grid->PasteText(rows), 4);
    EXPECT_EQ(grid->CellText(1, kAlias), "East");
    EXPECT_EQ(grid->CellText(1, kRx), "440.52250");
    EXPECT_EQ(grid->CellText(2, kRx), "470.00000");
    EXPECT_EQ(Channel(2).RxFreq(), 0x44052250u);
    EXPECT_EQ(Channel(3).RxFreq(), 0x47000000u);
    EXPECT_EQ(Radio().ChannelAlias(Channel(3).id_), "West");
    EXPECT_EQ(frame->Document().UndoSteps().UndoCount(), 1u);

    // Copy of the two rows gives the same tab-separated text back.
    grid->setRangeSelected(QTableWidgetSelectionRange(1, kAlias, 2, kRx), true);
    EXPECT_EQ(grid->SelectionText(), QStringLiteral("East\t440.52250\nWest\t470.00000\n"));
    ASSERT_TRUE(grid->Copy());
    EXPECT_EQ(QApplication::clipboard()->text(), grid->SelectionText());

    Undo();
    EXPECT_EQ(CaptureConfig(), start);
    EXPECT_EQ(grid->CellText(1, kAlias), "");

    // A text a frequency cell cannot take is left out, and the user is told.
    const QString kept = grid->CellText(0, kRx);
    grid->clearSelection();
    grid->setCurrentCell(0, kRx);
    EXPECT_EQ(grid->PasteText(QStringLiteral("4x1.5\n")), 0);
    EXPECT_EQ(grid->CellText(0, kRx), kept);
    // One value: the message says so in the singular and names the cell.
    const std::string cell = "Channel 1, " + grid->horizontalHeaderItem(kRx)->text().toStdString();
    const QString refused =
        QString::fromStdString(FormatTextString(Settings().LoadMessage(3300), cell));
    EXPECT_TRUE(LastLogRow().endsWith(refused)) << LastLogRow().toStdString();
    EXPECT_EQ(CaptureConfig(), start);
    // Several: the count and the cells.
    grid->clearSelection();
    grid->setCurrentCell(0, kRx);
    EXPECT_EQ(grid->PasteText(QStringLiteral("4x1.5\n4y\n")), 0);
    EXPECT_TRUE(LastLogRow().contains(QStringLiteral("2 "))) << LastLogRow().toStdString();
    EXPECT_TRUE(LastLogRow().contains(QStringLiteral("Channel 1, ")) &&
                LastLogRow().contains(QStringLiteral("; Channel 2, ")))
        << LastLogRow().toStdString();
}

TEST_F(UndoEditing, WholeRowsCopyPasteFillDownAndDelete)
{
    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    CGridCtrl* grid = list->Grid();
    Radio().SetChannelAlias(Channel(1).id_, "Base");
    list->Reload();
    TypeIntoCell(grid, 0, kRx, "441.125");
    const size_t stepsBefore = frame->Document().UndoSteps().UndoCount();

    // Row 1 selected as a whole (a click on its number) and pasted over row 4.
    grid->clearSelection();
    grid->selectRow(0);
    const QString row = grid->SelectionText();
    EXPECT_TRUE(row.startsWith(QStringLiteral("1\tBase\t441.12500\t")));
    grid->clearSelection();
    grid->setCurrentCell(3, 0);
    grid->PasteText(row);
    EXPECT_EQ(grid->CellText(3, 0), "4");  // the number stays
    EXPECT_EQ(Radio().ChannelAlias(Channel(4).id_), "Base");
    EXPECT_EQ(Channel(4).RxFreq(), Channel(1).RxFreq());
    EXPECT_EQ(Channel(4).TxFreq(), Channel(1).TxFreq());

    // Fill down the transmit frequency of row 1 into rows 2 and 3.
    grid->clearSelection();
    grid->setRangeSelected(QTableWidgetSelectionRange(0, kTx, 2, kTx), true);
    EXPECT_EQ(grid->FillDown(), 2);
    EXPECT_EQ(Channel(2).TxFreq(), Channel(1).TxFreq());
    EXPECT_EQ(Channel(3).TxFreq(), Channel(1).TxFreq());

    // Delete empties the editable cells: alias and receive frequency of row 2 (unused now).
    grid->clearSelection();
    grid->setRangeSelected(QTableWidgetSelectionRange(1, kAlias, 1, kRx), true);
    Key(grid, Qt::Key_Delete);
    EXPECT_EQ(grid->CellText(1, kRx), "");
    EXPECT_EQ(Channel(2).RxFreq(), kNoFrequency);
    EXPECT_EQ(Channel(2).used_, 0u);

    EXPECT_EQ(frame->Document().UndoSteps().UndoCount(), stepsBefore + 3);
    Undo();
    EXPECT_NE(Channel(2).RxFreq(), kNoFrequency);
    EXPECT_EQ(list->Grid()->CellText(1, kRx).isEmpty(), false);
}

TEST_F(UndoEditing, ClampedAndSteppedValuesAreToldInTheStatusBarAndTheLog)
{
    Settings().SetFreqRange("400-470");
    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    TypeIntoCell(list->Grid(), 2, kRx, "480");
    EXPECT_EQ(list->Grid()->CellText(2, kRx), "470.00000");
    const QString above = QString::fromStdString(
        Settings().LoadMessage(kMsgFrequencyAboveBand, {"480.00000", "470.00000"}));
    ASSERT_FALSE(above.isEmpty());
    EXPECT_TRUE(frame->statusBar()->currentMessage().endsWith(above))
        << frame->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(frame->statusBar()->currentMessage().contains(QStringLiteral(" 3")));
    EXPECT_TRUE(LastLogRow().contains(above)) << LastLogRow().toStdString();

    // The sheet tells of its step fit the same way (no message box for it).
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* rx = qobject_cast<QLineEdit*>(view->Sheet()->Basic()->Control(ChannelControl::RxFreqBox));
    rx->selectAll();
    Key(rx, Qt::Key_Backspace);
    TypeText(rx, "445.12345");
    Key(rx, Qt::Key_Return);
    const FrequencyEntry fitted = CommitFrequencyBox("445.12345", CurrentBandLimits());
    ASSERT_NE(fitted.text, "445.12345");
    const QString stepped = QString::fromStdString(
        Settings().LoadMessage(kMsgFrequencyOffStep, {"445.12345", fitted.text}));
    EXPECT_EQ(rx->text().toStdString(), fitted.text);
    EXPECT_TRUE(frame->statusBar()->currentMessage().endsWith(stepped))
        << frame->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(LastLogRow().contains(stepped));
    // A value stored as typed adds no row.
    const int rows = frame->LogPane()->topLevelItemCount();
    TypeIntoCell(list->Grid(), 1, kRx, "441.5");
    EXPECT_EQ(frame->LogPane()->topLevelItemCount(), rows);
}

TEST_F(UndoEditing, DropDownEditorFillsItsColumnAndAliasCellsSayTheyAreForThisSession)
{
    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    CGridCtrl* grid = list->Grid();
    frame->show();
    const int type = static_cast<int>(ChannelColumn::RxType);
    ASSERT_TRUE(grid->EditCell(0, type));
    auto* combo = qobject_cast<QComboBox*>(grid->OpenEditor());
    ASSERT_NE(combo, nullptr);
    // The cell less its grid line.
    EXPECT_GE(combo->width(), grid->columnWidth(type) - 1);
    EXPECT_LE(combo->width(), grid->columnWidth(type));
    EXPECT_GE(combo->view()->minimumWidth(), grid->columnWidth(type));
    grid->CancelEdit();
    const QString note = QString::fromStdString(Settings().LoadText(kAliasNoteText));
    ASSERT_FALSE(note.isEmpty());
    for (int r = 0; r < grid->rowCount(); ++r)
        EXPECT_EQ(grid->item(r, kAlias)->toolTip(), note) << r;
    frame->hide();
}

TEST_F(UndoEditing, EditAndRecordCommandsEnabledExactlyWhenTheyWouldDoSomething)
{
    CNavigationBar* bar = frame->findChild<CNavigationBar*>();
    ASSERT_NE(bar, nullptr);
    auto nav = [bar](ListCommand c) { return bar->Action(static_cast<int>(c))->isEnabled(); };

    // Print: the tool button is the menu entry.
    QToolBar* tools = frame->findChild<QToolBar*>("ToolBar");
    ASSERT_NE(tools, nullptr);
    QAction* print = frame->Action(Id(Command::Print));
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(tools->actions().contains(print));

    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    CGridCtrl* grid = list->Grid();
    frame->show();
    QApplication::setActiveWindow(frame.get());
    grid->setFocus();
    grid->setCurrentCell(0, kRx);
    QApplication::clipboard()->setText(QStringLiteral("441.5"));
    struct Row {
        const char* what;
        bool first, previous, next, last, add, del, copy, paste, fill, undo;
    };
    auto check = [&](const Row& want) {
        grid->setFocus();
        frame->RunCommand(Id(Command::Cascade));  // any command updates the states
        ASSERT_EQ(QApplication::focusWidget(), grid) << want.what;
        EXPECT_EQ(nav(ListCommand::First), want.first) << want.what;
        EXPECT_EQ(nav(ListCommand::Previous), want.previous) << want.what;
        EXPECT_EQ(nav(ListCommand::Next), want.next) << want.what;
        EXPECT_EQ(nav(ListCommand::Last), want.last) << want.what;
        EXPECT_EQ(nav(ListCommand::Add), want.add) << want.what;
        EXPECT_EQ(nav(ListCommand::Delete), want.del) << want.what;
        EXPECT_EQ(Enabled(Command::Copy), want.copy) << want.what;
        EXPECT_EQ(Enabled(Command::Paste), want.paste) << want.what;
        EXPECT_EQ(Enabled(Command::FillDown), want.fill) << want.what;
        EXPECT_EQ(Enabled(Command::Undo), want.undo) << want.what;
    };
    check({"first of four", false, false, true, true, true, true, true, true, true, false});
    list->Navigate(static_cast<int>(ListCommand::Last), 0);
    grid->setCurrentCell(3, 0);  // the number column: nothing there takes a text
    grid->clearSelection();
    grid->setRangeSelected(QTableWidgetSelectionRange(3, 0, 3, 0), true);
    check({"last of four, on its number", true, true, false, false, true, true, true, false, false,
           false});
    SetChannelCount(kMaxChannels);
    list->Reload();
    CNavigationBar::RefreshAll();
    check({"sixteen of sixteen", true, true, true, true, false, true, true, true, true, true});
    EXPECT_TRUE(
        bar->Action(static_cast<int>(ListCommand::Add))->toolTip().contains(QStringLiteral("16")));
    frame->hide();
}

}  // namespace
}  // namespace rv
