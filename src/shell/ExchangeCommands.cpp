#include "shell/ExchangeCommands.h"

#include <string>

#include "base/AtomicFile.h"
#include "base/CommandIds.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCsv.h"
#include "editors/channel/gui/DlgChannelImport.h"
#include "ui/FileDialogs.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/ShellRegistry.h"

namespace rv {

namespace {

/// A channel table larger than this is no channel table (the radio holds a few hundred rows).
constexpr uint64_t kMaxCsvSize = kMaxChannelCsvBytes;

CsvPathChooser& Chooser()
{
    static CsvPathChooser chooser;
    return chooser;
}

ImportPreviewRunner& PreviewRunner()
{
    static ImportPreviewRunner runner;
    return runner;
}

std::optional<QString> ChooseCsvPath(QWidget* parent, bool save)
{
    if (Chooser()) return Chooser()(parent, save);
    const QString filter = UiText(kCsvFilterText, "CSV files (*.csv)");
    QString path = save ? GetSaveFileName(parent, QString(), QStringLiteral("channels.csv"), filter)
                        : GetOpenFileName(parent, QString(), QString(), filter);
    if (path.isEmpty()) return std::nullopt;
    if (save && !path.contains(QLatin1Char('.'))) path += QStringLiteral(".csv");
    return path;
}

/// The command's menu text without mnemonic and ellipsis: the log row's operation.
QString Operation(Command command, const char* english, const QString& path)
{
    return PlainCommandText(UiText(Id(command), english)) + QStringLiteral(" ") + path;
}

void Fail(IMainShell& shell, const QString& operation, int message, const QString& path)
{
    const QString text = ToQ(Settings().LoadMessage(message, {FromQ(path)}));
    shell.LogEvent(operation, FailedResult(text));
    Prompt().Show(shell.Window(), text, CPrompt::Icon::Warning);
}

}  // namespace

CsvPathChooser SetCsvPathChooser(CsvPathChooser chooser)
{
    CsvPathChooser previous = std::move(Chooser());
    Chooser() = std::move(chooser);
    return previous;
}

ImportPreviewRunner SetImportPreviewRunner(ImportPreviewRunner runner)
{
    ImportPreviewRunner previous = std::move(PreviewRunner());
    PreviewRunner() = std::move(runner);
    return previous;
}

bool ExportChannelsTo(IMainShell& shell, const QString& path)
{
    const QString operation = Operation(Command::ExportChannels, "&Export Channels...", path);
    shell.StoreAllViews();
    if (!WriteFileAtomic(FromQ(path), ChannelsToCsv(Radio(), Settings()))) {
        Fail(shell, operation, ExchangeMessage::kNotWritten, path);
        return false;
    }
    shell.LogEvent(operation, UiText(ShellText::kResultDone, "Done"));
    return true;
}

bool ImportChannelsFrom(IMainShell& shell, const QString& path)
{
    const QString operation = Operation(Command::ImportChannels, "&Import Channels...", path);
    const std::string file = FromQ(path);
    std::string bytes;
    const FileProblem problem = CheckReadableFile(file, kMaxCsvSize);
    if (problem == FileProblem::TooLarge) {
        Fail(shell, operation, ExchangeMessage::kTooLarge, path);
        return false;
    }
    if (problem != FileProblem::None || !ReadWholeFile(file, bytes)) {
        Fail(shell, operation, ExchangeMessage::kNotRead, path);
        return false;
    }
    // The plan starts from the channels as the open views hold them; an edit they still held
    // is an undo step of its own, before the import's.
    shell.StoreAllViews();
    shell.Document().Checkpoint();
    CDlgChannelImport dialog(std::move(bytes), path, shell.Window());
    const int answer = PreviewRunner() ? PreviewRunner()(dialog) : dialog.exec();
    const ChannelImport& plan = dialog.Plan();
    if (answer != QDialog::Accepted || !plan.Ok()) {
        shell.LogEvent(operation, plan.Ok() ? UiText(ShellText::kResultCancelled, "Cancelled")
                                            : UiText(ShellText::kResultFailed, "Failed"));
        return false;
    }
    {
        // The whole import is one undo step.
        CUndoGroup step(shell.Document());
        ApplyChannelImport(Radio(), plan);
        // The channel count may have changed: tree counts, menus and every open view follow.
        shell.RefreshAll();
        shell.ReloadAllViews();
    }
    shell.Document().UpdateTitle();
    shell.LogEvent(operation, UiText(ShellText::kResultDone, "Done"));
    return true;
}

void RegisterExchangeCommands()
{
    RegisterCommand(Id(Command::ExportChannels), [](IMainShell& shell) {
        if (const auto path = ChooseCsvPath(shell.Window(), true)) ExportChannelsTo(shell, *path);
    });
    RegisterCommand(Id(Command::ImportChannels), [](IMainShell& shell) {
        if (const auto path = ChooseCsvPath(shell.Window(), false))
            ImportChannelsFrom(shell, *path);
    });
}

}  // namespace rv
