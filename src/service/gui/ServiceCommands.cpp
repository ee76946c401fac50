#include "service/gui/ServiceCommands.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "service/gui/DlgFactory.h"
#include "ui/CustomFormView.h"
#include "ui/GuiCommands.h"
#include "ui/ShellRegistry.h"

namespace rv {

void RunMemoryUpdate(IMainShell& shell)
{
    if (!Settings().IsFullServiceLevel()) return;
    Radio().MemoryMap().PrepareImage();
    CCustomFormView* watch = shell.FindView(Id(Command::DataWatch));
    if (!watch) return;
    watch->CompareImage();
    for (QWidget* w = watch->parentWidget(); w; w = w->parentWidget())
        if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) {
            if (frame->mdiArea()) frame->mdiArea()->setActiveSubWindow(frame);
            break;
        }
}

void RegisterServiceCommands()
{
    RegisterCommand(Id(Command::FactoryMode), [](IMainShell& shell) { RunFactoryMode(shell); });
    RegisterCommand(Id(Command::MemoryUpdate), [](IMainShell& shell) { RunMemoryUpdate(shell); });
}

}  // namespace rv
