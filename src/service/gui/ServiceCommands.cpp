#include "service/gui/ServiceCommands.h"

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "service/gui/DlgFactory.h"
#include "service/gui/ViewDataWatch.h"
#include "ui/CustomFormView.h"
#include "ui/GuiCommands.h"
#include "ui/ShellRegistry.h"

namespace rv {

void RunMemoryUpdate(IMainShell& shell)
{
    if (!Settings().IsFullServiceLevel()) return;
    Radio().MemoryMap().PrepareImage();
    CompareOpenDataWatch(shell);
}

void RegisterServiceCommands()
{
    RegisterCommand(Id(Command::FactoryMode), [](IMainShell& shell) { RunFactoryMode(shell); });
    RegisterCommand(Id(Command::MemoryUpdate), [](IMainShell& shell) { RunMemoryUpdate(shell); });
}

}  // namespace rv
