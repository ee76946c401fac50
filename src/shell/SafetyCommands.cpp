#include "shell/SafetyCommands.h"

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "link/LinkTrace.h"
#include "link/gui/DlgRestoreBackup.h"
#include "ui/FileDialogs.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/ShellRegistry.h"

namespace rv {

namespace {

TracePathChooser& Chooser()
{
    static TracePathChooser chooser;
    return chooser;
}

QString Operation()
{
    return PlainCommandText(UiText(Id(Command::SaveLinkTrace), "Save &Link Trace..."));
}

std::optional<QString> ChooseTracePath(QWidget* parent)
{
    if (Chooser()) return Chooser()(parent);
    const QString path = GetSaveFileName(parent, UiText(TraceText::kTitle, "Save Link Trace"),
                                         ToQ(Settings().UserFilesDir() + "link-trace.txt"),
                                         UiText(TraceText::kFilter, "Link trace (*.txt)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace

CLinkTrace& GuiSessionTrace()
{
    static CLinkTrace trace(kSessionTraceLines);
    SetSessionTrace(&trace);
    return trace;
}

TracePathChooser SetTracePathChooser(TracePathChooser chooser)
{
    TracePathChooser previous = std::move(Chooser());
    Chooser() = std::move(chooser);
    return previous;
}

bool SaveLinkTraceTo(IMainShell& shell, const QString& path)
{
    const CSettings& s = Settings();
    const CLinkTrace& trace = GuiSessionTrace();
    QString text;
    CPrompt::Icon icon = CPrompt::Icon::Information;
    bool saved = false;
    if (trace.Empty()) {
        text = ToQ(s.LoadMessage(TraceMessage::kEmpty));
        icon = CPrompt::Icon::Warning;
    } else if (!trace.Save(FromQ(path))) {
        text = ToQ(s.LoadMessage(TraceMessage::kNotSaved, {FromQ(path)}));
        icon = CPrompt::Icon::Error;
    } else {
        text = ToQ(s.LoadMessage(TraceMessage::kSaved, {FromQ(path)}));
        saved = true;
    }
    shell.LogEvent(Operation(), text);
    Prompt().Show(shell.Window(), text, icon);
    return saved;
}

void RegisterSafetyCommands()
{
    GuiSessionTrace();
    RegisterCommand(Id(Command::SaveLinkTrace), [](IMainShell& shell) {
        if (GuiSessionTrace().Empty()) {
            SaveLinkTraceTo(shell, {});
            return;
        }
        if (const auto path = ChooseTracePath(shell.Window())) SaveLinkTraceTo(shell, *path);
    });
    RegisterCommand(Id(Command::RestoreBackup), [](IMainShell& shell) { RunRestoreBackup(shell); });
}

}  // namespace rv
