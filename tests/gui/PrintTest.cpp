// Printing in the desktop program: the Print Tree screen (its items, check marks, the
// selection it makes and its answers to OK with nothing checked), the preview's pages against
// the PDF's, saving a PDF when the machine has no printer, and the print commands' states.

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "base/CommandIds.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "gui/GuiTestSupport.h"
#include "report/gui/DlgPrintTree.h"
#include "report/gui/ReportPrinting.h"
#include "report/render/ReportRenderer.h"
#include "shell/PrintCommands.h"
#include "shell/ViewTable.h"
#include "ui/ShellRegistry.h"

namespace rv {
namespace {

using test::GuiTest;

/// The test prompt that also keeps the captions of captioned messages.
class CCaptionPrompt : public test::CTestPrompt {
public:
    void ShowCaptioned(QWidget* parent, const QString& caption, const QString& text,
                       Icon icon) override
    {
        captions.push_back(caption);
        Show(parent, text, icon);
    }
    std::vector<QString> captions;
};

class PrintTest : public GuiTest {
protected:
    std::unique_ptr<CDlgPrintTree> MakeTree()
    {
        auto dialog = std::make_unique<CDlgPrintTree>(frame.get(), Radio().PrintSelection(),
                                                      QStringLiteral("RV-205"), PrintTreeItems(),
                                                      nullptr, nullptr);
        dialog->show();
        return dialog;
    }
    static QTreeWidgetItem* ItemOf(CDlgPrintTree& dialog, int command)
    {
        for (QTreeWidgetItemIterator it(dialog.Tree()); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == command) return *it;
        return nullptr;
    }
    static ReportDocument Report(const CPrintSelection& selection)
    {
        std::tm now{};
        return MakeReportDocument(Radio(), selection, Settings(), "/home/dealer/radio.dat", now);
    }
};

TEST_F(PrintTest, TreeHasTheNavigationItemsUncheckedAndClearsTheSelection)
{
    Radio().PrintSelection().SetSelected(0, true);
    auto dialog = MakeTree();
    EXPECT_FALSE(Radio().PrintSelection().AnySelected());
    size_t items = 0;
    for (QTreeWidgetItemIterator it(dialog->Tree()); *it; ++it, ++items)
        EXPECT_EQ((*it)->checkState(0), Qt::Unchecked) << (*it)->text(0).toStdString();
    EXPECT_EQ(items, VisibleTreeRows(CurrentUiProfile()).size() + 1);  // and the root
    dialog->CheckAll(true);
    for (QTreeWidgetItemIterator it(dialog->Tree()); *it; ++it)
        EXPECT_EQ((*it)->checkState(0), Qt::Checked);
    dialog->CheckAll(false);
    EXPECT_TRUE(dialog->CheckedCommands().empty());
}

TEST_F(PrintTest, CheckedChannelAndPersonalityItemsSelectTheirSections)
{
    auto dialog = MakeTree();
    ItemOf(*dialog, Id(Command::Channel))->setCheckState(0, Qt::Checked);
    ItemOf(*dialog, Id(Command::Personality))->setCheckState(0, Qt::Checked);
    ItemOf(*dialog, Id(Command::Vox))->setCheckState(0, Qt::Checked);
    dialog->OnOk();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const CPrintSelection& s = Radio().PrintSelection();
    for (size_t i = 0; i < CPrintSelection::Count(); ++i) {
        const int command = CPrintSelection::Row(i).commandId;
        EXPECT_EQ(s.Selected(i), command == Id(Command::ChannelGroup) ||
                                     command == Id(Command::PersonalityGroup) ||
                                     command == Id(Command::Vox))
            << command;
    }
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(PrintTest, OkWithNothingCheckedAsksThreeTimesThenCancels)
{
    CCaptionPrompt captioned;
    SetPrompt(&captioned);
    test::CTestPrompt& prompt = captioned;
    auto dialog = MakeTree();
    // The counter lives for the program run: first bring it to its start.
    for (int k = 0; k < 4 && (prompt.shown.empty() || !prompt.Saw(1228)); ++k) {
        dialog->show();
        dialog->OnOk();
    }
    ASSERT_TRUE(prompt.Saw(1228));
    for (int round = 0; round < 4; ++round) {
        prompt.shown.clear();
        dialog->setResult(QDialog::Accepted);
        dialog->show();
        dialog->OnOk();
        const bool last = round == 3;
        EXPECT_EQ(prompt.Saw(1228), last) << round;
        EXPECT_EQ(prompt.Saw(1229), !last) << round;
        EXPECT_EQ(dialog->isVisible(), !last) << round;
        if (last) {
            EXPECT_EQ(dialog->result(), QDialog::Rejected);
        }
    }
    EXPECT_FALSE(Radio().PrintSelection().AnySelected());
    EXPECT_FALSE(captioned.captions.empty());
    for (const QString& caption : captioned.captions)
        EXPECT_EQ(caption.toStdString(), Settings().LoadMessage(1173));
    SetPrompt(&this->prompt);
}

TEST_F(PrintTest, PreviewHasThePagesOfThePdf)
{
    CPrintSelection all;
    for (size_t i = 0; i < CPrintSelection::Count(); ++i) all.SetSelected(i, true);
    const ReportDocument doc = Report(all);
    std::string error;
    int pdfPages = 0;
    const std::string pdf = home.Path("report.pdf");
    ASSERT_TRUE(WriteReportPdf(doc, pdf, QPageSize(QPageSize::A4), error, &pdfPages)) << error;
    CReportPrinting::Printer().setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog* preview = CReportPrinting::MakePreview(frame.get(), doc);
    auto* widget = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    widget->updatePreview();
    EXPECT_GT(pdfPages, 1);
    EXPECT_EQ(widget->pageCount(), pdfPages);
    delete preview;
}

TEST_F(PrintTest, WithoutAPrinterPrintOffersAPdf)
{
    if (CReportPrinting::HasPrinter()) GTEST_SKIP() << "this machine has a printer";
    CPrintSelection vox;
    vox.SetSelected(4, true);
    const std::string pdf = home.Path("vox.pdf");
    SetPdfPathChooser(
        [&pdf](QWidget*) { return std::optional<QString>(QString::fromStdString(pdf)); });
    prompt.answers = {CPrompt::Answer::No};
    EXPECT_FALSE(CReportPrinting::Print(frame.get(), Report(vox)));
    EXPECT_TRUE(prompt.Saw(CReportPrinting::kMsgSaveAsPdf));
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_TRUE(CReportPrinting::Print(frame.get(), Report(vox)));  // Yes
    EXPECT_GT(std::filesystem::file_size(pdf), 0u);
    // A folder that is not there: the message names the file, nothing is written.
    const std::string bad = home.Path("no/such/folder/vox.pdf");
    SetPdfPathChooser(
        [&bad](QWidget*) { return std::optional<QString>(QString::fromStdString(bad)); });
    prompt.shown.clear();
    EXPECT_FALSE(CReportPrinting::Print(frame.get(), Report(vox)));
    EXPECT_TRUE(prompt.Saw(CReportPrinting::kMsgPdfNotWritten));
    EXPECT_FALSE(std::filesystem::exists(bad));
    SetPdfPathChooser({});
}

TEST_F(PrintTest, PrintCommandsAreEnabledWhenPrintingIsPartOfTheProgram)
{
    auto toolButton = [this] {
        auto* bar = frame->findChild<QToolBar*>("ToolBar");
        return bar ? bar->widgetForAction(frame->Action(Id(Command::Print))) : nullptr;
    };
    for (Command c : {Command::Print, Command::PrintPreview, Command::PrintSetup})
        EXPECT_TRUE(frame->Action(Id(c))->isEnabled()) << Id(c);
    ASSERT_NE(toolButton(), nullptr);
    EXPECT_TRUE(toolButton()->isEnabled());
    EXPECT_EQ(frame->Action(Id(Command::Print))->shortcut(), QKeySequence("Ctrl+P"));

    for (Command c : {Command::Print, Command::PrintPreview, Command::PrintSetup})
        RegisterCommand(Id(c), {});
    frame->RefreshAll();
    for (Command c : {Command::Print, Command::PrintPreview, Command::PrintSetup})
        EXPECT_FALSE(frame->Action(Id(c))->isEnabled()) << Id(c);
    EXPECT_FALSE(toolButton()->isEnabled());
    RegisterPrintCommands();
}

}  // namespace
}  // namespace rv
