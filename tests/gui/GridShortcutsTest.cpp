// Every key the Edit menu shows, pressed in the channel grid, does what the menu entry does.
// The keys go through Qt's shortcut handling as a user's keys do: on X11 the platform's Delete
// sequence includes Ctrl+D, which once cleared the selected cells instead of filling down.
// CTest runs these tests under a real X server too (GridUnderARealXServer), where that binding
// is in force; the offscreen platform binds Delete to the Delete key alone.

#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QTableWidgetSelectionRange>
#include <QtTest/QTest>
#include <string>
#include <vector>

#include "base/CommandIds.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/channel/gui/ViewChannelList.h"
#include "gui/GuiTestSupport.h"
#include "shell/ViewTable.h"
#include "ui/GridCtrl.h"

namespace rv {
namespace {

constexpr int kRx = static_cast<int>(ChannelColumn::RxFreq);
constexpr int kTx = static_cast<int>(ChannelColumn::TxFreq);

/// What an edit left: every cell of the grid, the clipboard and the channels' frequencies.
struct GridState {
    std::vector<QString> cells;
    QString clipboard;
    std::vector<uint32_t> frequencies;
    bool operator==(const GridState&) const = default;
};

class GridShortcuts : public test::GuiTest {
protected:
    void TearDown() override
    {
        if (frame) frame->hide();
        GuiTest::TearDown();
    }
    /// Four channels with their own frequencies, the first one typed in the grid (so that Undo
    /// has a step), the receive and transmit cells of all four selected, the grid focused.
    CGridCtrl* Prepare()
    {
        MakeFrame();
        auto& list = Radio().Channels();
        while (list.size() > 4) list.pop_back();
        frame->Document().MarkClean();
        frame->Document().ResetUndo();
        auto* view = dynamic_cast<CViewChannelList*>(frame->OpenView(Id(Command::ChannelList)));
        if (!view) return nullptr;
        CGridCtrl* grid = view->Grid();
        frame->show();
        QApplication::setActiveWindow(frame.get());
        if (grid->EditCell(0, kRx)) {
            auto* editor = qobject_cast<QLineEdit*>(grid->OpenEditor());
            if (editor) editor->setText(QStringLiteral("441.125"));
            grid->CommitEdit();
        }
        frame->RunCommand(Id(Command::Cascade));  // a command: the edit becomes an undo step
        QApplication::clipboard()->setText(QStringLiteral("442.5\t443.5"));
        grid->setFocus();
        grid->clearSelection();
        grid->setCurrentCell(0, kRx);
        grid->setRangeSelected(QTableWidgetSelectionRange(0, kRx, 3, kTx), true);
        return grid;
    }
    static GridState State(const CGridCtrl* grid)
    {
        GridState s;
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c) s.cells.push_back(grid->CellText(r, c));
        s.clipboard = QApplication::clipboard()->text();
        for (const auto& channel : Radio().Channels()) {
            s.frequencies.push_back(channel->RxFreq());
            s.frequencies.push_back(channel->TxFreq());
        }
        return s;
    }
};

TEST_F(GridShortcuts, EveryEditMenuKeyInTheGridDoesWhatItsMenuEntryDoes)
{
    int keys = 0;
    for (const MenuEntry& entry : kMenuLayout) {
        if (entry.menu != Menu::Edit || !entry.shortcut || !*entry.shortcut) continue;
        SCOPED_TRACE(std::string(entry.english) + " " + entry.shortcut);
        ++keys;
        CGridCtrl* grid = Prepare();
        ASSERT_NE(grid, nullptr);
        const GridState before = State(grid);
        frame->RunCommand(entry.id);
        const GridState byMenu = State(grid);

        grid = Prepare();
        ASSERT_NE(grid, nullptr);
        ASSERT_EQ(QApplication::focusWidget(), grid);
        const QKeyCombination key = QKeySequence(QString::fromLatin1(entry.shortcut))[0];
        QTest::keyClick(grid, key.key(), key.keyboardModifiers());
        Settle();
        EXPECT_EQ(State(grid), byMenu);
        if (entry.id == Id(Command::FillDown)) {
            // The menu entry itself filled rows 2 to 4 from row 1 and cleared nothing.
            EXPECT_NE(byMenu, before);
            for (int r = 1; r < 4; ++r) {
                EXPECT_EQ(grid->CellText(r, kRx), grid->CellText(0, kRx)) << r;
                EXPECT_EQ(grid->CellText(r, kTx), grid->CellText(0, kTx)) << r;
            }
            EXPECT_EQ(grid->CellText(0, kRx), QStringLiteral("441.12500"));
        }
    }
    // Undo, Redo, Cut, Copy, Paste and Fill Down.
    EXPECT_EQ(keys, 6);
}

TEST_F(GridShortcuts, TheDeleteKeyStillClearsTheSelectedCells)
{
    CGridCtrl* grid = Prepare();
    ASSERT_NE(grid, nullptr);
    grid->clearSelection();
    grid->setRangeSelected(QTableWidgetSelectionRange(1, kRx, 1, kRx), true);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(grid->CellText(1, kRx), QString());
    EXPECT_EQ(Radio().Channels()[1]->RxFreq(), kNoFrequency);
    EXPECT_EQ(grid->CellText(0, kRx), QStringLiteral("441.12500"));
}

}  // namespace
}  // namespace rv
