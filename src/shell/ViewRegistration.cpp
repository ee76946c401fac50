#include "shell/ViewRegistration.h"

#include "base/CommandIds.h"
#include "editors/channel/gui/ViewChannel.h"
#include "editors/channel/gui/ViewChannelList.h"
#include "editors/dtmf/gui/ViewDTMFSystem.h"
#include "editors/emergency/gui/ViewEmergency.h"
#include "editors/personality/gui/ViewPersonality.h"
#include "editors/radio/gui/ViewRadio.h"
#include "editors/scan/gui/ViewScan.h"
#include "shell/PrintCommands.h"
#include "ui/ShellRegistry.h"

namespace rv {

namespace {

/// Registers view class View (constructor View(QWidget* parent)) for a tree command.
template <class View>
void Register(Command command)
{
    RegisterView(Id(command), [](QWidget* parent) -> CCustomFormView* { return new View(parent); });
}

}  // namespace

void RegisterViews()
{
    Register<CViewRadio>(Command::RadioInformation);
    Register<CViewChannel>(Command::Channel);
    Register<CViewChannelList>(Command::ChannelList);
    Register<CViewPersonality>(Command::Personality);
    Register<CViewDTMFSystem>(Command::DtmfSystem);
    Register<CViewEmergency>(Command::Emergency);
    Register<CViewScan>(Command::Scan);
    // The File menu's print commands.
    RegisterPrintCommands();
}

}  // namespace rv
