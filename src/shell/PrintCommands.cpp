#include "shell/PrintCommands.h"

#include <ctime>

#include "base/CommandIds.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "report/gui/ReportPrinting.h"
#include "service/gui/ViewDataWatch.h"
#include "shell/GuiHelp.h"
#include "shell/ViewTable.h"
#include "ui/GuiCommands.h"
#include "ui/QtText.h"
#include "ui/ShellRegistry.h"

namespace rv {

namespace {

/// The report of the rows selected now, of the data as the open views hold them: the
/// document's maintenance board, and the table and log of an open Data Watch window.
ReportDocument CurrentReport(IMainShell& shell)
{
    shell.StoreAllViews();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    ReportSources sources;
    sources.board = &shell.Document().Board();
    if (const auto* watch =
            qobject_cast<const CDataWatchView*>(shell.FindView(Id(Command::DataWatch)))) {
        sources.watchImage = &watch->Watch().Snapshot();
        sources.watchLog = watch->Watch().Entries();
    }
    return MakeReportDocument(Radio(), Radio().PrintSelection(), Settings(),
                              shell.Document().Path(), local, sources);
}

void RunPrint(IMainShell& shell)
{
    QString root = ToQ(Settings().ModelName());
    if (root.isEmpty()) root = ToQ(Settings().ModelID());
    CDlgPrintTree dialog(
        shell.Window(), Radio().PrintSelection(), root, PrintTreeItems(),
        [&shell] { CReportPrinting::PrintSetup(shell.Window()); },
        [&shell] { ShowHelp({CDlgPrintTree::kDialogId}, shell.Window()); });
    if (dialog.exec() != QDialog::Accepted) return;
    CReportPrinting::Print(shell.Window(), CurrentReport(shell));
}

}  // namespace

std::vector<PrintTreeItem> PrintTreeItems()
{
    std::vector<PrintTreeItem> items;
    const std::string countFormat = FromQ(UiText(ShellText::kTreeCount, "%s (%d)"));
    for (const TreeRow& row : VisibleTreeRows(CurrentUiProfile())) {
        const std::string text = FromQ(UiText(row.textId, row.english));
        items.push_back({row.textId, row.level, ToQ(TreeItemLabel(text, row.textId, countFormat))});
    }
    return items;
}

void RegisterPrintCommands()
{
    RegisterCommand(Id(Command::Print), &RunPrint);
    RegisterCommand(Id(Command::PrintPreview), [](IMainShell& shell) {
        CReportPrinting::Preview(shell.Window(), CurrentReport(shell));
    });
    RegisterCommand(Id(Command::PrintSetup),
                    [](IMainShell& shell) { CReportPrinting::PrintSetup(shell.Window()); });
}

}  // namespace rv
