// How the main window arranges what it shows: child windows tiled at a small screen size, a
// status message too long for the room left of the panes, and the size of the file dialogs.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QToolTip>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "base/CommandIds.h"
#include "gui/GuiTestSupport.h"
#include "shell/DlgFileHeader.h"
#include "ui/FileDialogs.h"
#include "ui/LogPane.h"

namespace rv {
namespace {

class WindowArrangement : public test::GuiTest {
protected:
    void ShowAt1024()
    {
        frame->resize(1024, 768);
        frame->show();
        Settle();
        // The main window fits a screen of 1024 x 768.
        EXPECT_EQ(frame->size(), QSize(1024, 768));
        EXPECT_LE(frame->minimumSizeHint().width(), 1024);
    }
};

TEST_F(WindowArrangement, TileKeepsEveryChildInsideItsOwnTile)
{
    ShowAt1024();
    const std::vector<Command> views = {
        Command::RadioInformation, Command::Channel,    Command::Scan,
        Command::Personality,      Command::DtmfSystem, Command::Keys};
    for (size_t count : {size_t{3}, size_t{6}}) {
        for (size_t i = 0; i < count; ++i) ASSERT_NE(frame->OpenView(Id(views[i])), nullptr);
        Settle();
        frame->RunCommand(Id(Command::Tile));
        Settle();
        QMdiArea* mdi = frame->findChild<QMdiArea*>();
        ASSERT_NE(mdi, nullptr);
        const QRect area = mdi->viewport()->rect();
        const QList<QMdiSubWindow*> children = mdi->subWindowList();
        ASSERT_EQ(static_cast<size_t>(children.size()), count);
        for (int a = 0; a < children.size(); ++a) {
            const QRect r = children[a]->geometry();
            EXPECT_TRUE(area.contains(r)) << count << " windows: child " << a << " at " << r.x()
                                          << "," << r.y() << " " << r.width() << "x" << r.height()
                                          << " outside " << area.width() << "x" << area.height();
            for (int b = a + 1; b < children.size(); ++b)
                EXPECT_FALSE(r.intersects(children[b]->geometry()))
                    << count << " windows: children " << a << " and " << b << " overlap";
        }
        frame->RunCommand(Id(Command::CloseAllWindows));
        Settle();
    }
}

TEST_F(WindowArrangement, LongStatusTextIsCutVisiblyAndShownWholeAsToolTipAndInTheLog)
{
    ShowAt1024();
    QStatusBar* bar = frame->statusBar();
    const QString operation = "Open /tmp/" + QString("a-long-folder-name/").repeated(6) + "x.dat";
    const QString result = "Failed: " + QString("The file could not be read. ").repeated(4);
    frame->LogEvent(operation, result);
    const QString full = operation + ": " + result;

    const QString shown = bar->currentMessage();
    ASSERT_NE(shown, full);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << "the cut is visible";
    EXPECT_TRUE(full.startsWith(shown.left(shown.size() - 1)));
    EXPECT_LE(bar->fontMetrics().horizontalAdvance(shown), frame->StatusMessageRoom());
    for (QLabel* pane : {frame->RangePane(), frame->ModelPane(), frame->PortPane()})
        EXPECT_GE(pane->x(), frame->StatusMessageRoom()) << "the message stops before the panes";

    // Hovering the message shows the whole text.
    const QPoint at(20, bar->height() / 2);
    QHelpEvent hover(QEvent::ToolTip, at, bar->mapToGlobal(at));
    QApplication::sendEvent(bar, &hover);
    EXPECT_EQ(QToolTip::text(), full);
    QToolTip::hideText();

    // The log keeps the whole row.
    const QTreeWidgetItem* row =
        frame->LogPane()->topLevelItem(frame->LogPane()->topLevelItemCount() - 1);
    EXPECT_EQ(row->text(1), operation);
    EXPECT_EQ(row->text(2), result);

    // A short message is shown whole.
    frame->LogEvent("Save", "Done");
    EXPECT_EQ(bar->currentMessage(), "Save: Done");
}

/// Rows of the dialog's file list that are wholly visible.
int VisibleFileRows(QFileDialog& dialog)
{
    auto* list = dialog.findChild<QAbstractItemView*>("listView");
    if (!list || !list->isVisible()) list = dialog.findChild<QAbstractItemView*>("treeView");
    if (!list || !list->model()) return 0;
    const QModelIndex root = list->rootIndex();
    int rows = 0;
    for (int r = 0; r < list->model()->rowCount(root); ++r)
        if (list->viewport()->rect().contains(list->visualRect(list->model()->index(r, 0, root))))
            ++rows;
    return rows;
}

TEST_F(WindowArrangement, FileDialogsShowMoreThanFourRowsOfFiles)
{
    ShowAt1024();
    const std::string folder = home.Path("many");
    std::filesystem::create_directories(folder);
    for (int i = 0; i < 20; ++i)
        std::ofstream(folder + "/file" + std::to_string(i + 10) + ".dat") << "x";

    struct DialogCase {
        const char* what;
        std::function<std::unique_ptr<QFileDialog>()> make;
    };
    const std::vector<DialogCase> cases = {
        {"Open",
         [&] { return std::make_unique<CDlgFileHeader>(CDlgFileHeader::Mode::Open, frame.get()); }},
        {"Save As",
         [&] {
             return std::make_unique<CDlgFileHeader>(CDlgFileHeader::Mode::SaveAs, frame.get());
         }},
        {"plain",
         [&] {
             auto d = std::make_unique<QFileDialog>(frame.get());
             PrepareFileDialog(*d);
             return d;
         }},
    };
    for (const DialogCase& c : cases) {
        std::unique_ptr<QFileDialog> dialog = c.make();
        dialog->setNameFilter("*.dat");
        dialog->setDirectory(QString::fromStdString(folder));
        dialog->show();
        // The folder is listed by a background thread: wait for the model, not for time.
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        const QModelIndex dir = model->index(QString::fromStdString(folder));
        while (model->rowCount(dir) < 20)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        Settle();
        EXPECT_GT(VisibleFileRows(*dialog), 4) << c.what;
        EXPECT_LE(dialog->width(), frame->screen()->availableGeometry().width()) << c.what;
        dialog->reject();
        RememberFileDialogSize(*dialog);
    }
}

}  // namespace
}  // namespace rv

namespace rv {
namespace {

// A small form maximised takes the whole work area, with its view at the top left and nothing
// cut; restored, it goes back to its own size.
TEST_F(WindowArrangement, MaximisedSmallFormsFillTheWorkArea)
{
    ShowAt1024();
    QMdiArea* mdi = frame->findChild<QMdiArea*>();
    ASSERT_NE(mdi, nullptr);
    for (Command c : {Command::Mode, Command::Volume, Command::Microphone, Command::Vox,
                      Command::Personality}) {
        SCOPED_TRACE(Id(c));
        ASSERT_NE(frame->OpenView(Id(c)), nullptr);
        QMdiSubWindow* window = mdi->activeSubWindow();
        ASSERT_NE(window, nullptr);
        Settle();
        const QSize normal = window->size();
        window->showMaximized();
        Settle();
        EXPECT_TRUE(window->isMaximized());
        EXPECT_EQ(window->geometry(), mdi->viewport()->rect());
        window->showNormal();
        Settle();
        EXPECT_EQ(window->size(), normal);
        frame->CloseAllViews();
    }
}

}  // namespace
}  // namespace rv
