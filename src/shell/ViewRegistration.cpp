#include "shell/ViewRegistration.h"

#include "base/CommandIds.h"
#include "editors/channel/gui/ViewChannel.h"
#include "editors/channel/gui/ViewChannelList.h"
#include "editors/dtmf/gui/ViewDTMFSystem.h"
#include "editors/emergency/gui/ViewEmergency.h"
#include "editors/general/gui/ViewGeneral.h"
#include "editors/keys/gui/ViewKeys.h"
#include "editors/personality/gui/ViewPersonality.h"
#include "editors/radio/gui/ViewRadio.h"
#include "editors/scan/gui/ViewScan.h"
#include "service/gui/ServiceCommands.h"
#include "service/gui/ViewDataWatch.h"
#include "service/gui/ViewEmbedded.h"
#include "service/gui/ViewMaintainBoard.h"
#include "service/gui/ViewTestFreq.h"
#include "shell/CompareCommands.h"
#include "shell/ExchangeCommands.h"
#include "shell/PrintCommands.h"
#include "shell/TuningCommands.h"
#include "shell/SafetyCommands.h"
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
    // The File menu's channel exchange.
    RegisterExchangeCommands();
    // The Program menu's tuning commands.
    RegisterTuningCommands();
    RegisterCompareCommands();
    // The backups put back on the radio and the link trace.
    RegisterSafetyCommands();
    // General settings and programmable keys.
    Register<CViewKeys>(Command::Keys);
    Register<CViewMisc>(Command::Misc);
    Register<CViewVolume>(Command::Volume);
    Register<CViewMicrophone>(Command::Microphone);
    Register<CViewVox>(Command::Vox);
    Register<CViewMode>(Command::Mode);
    // The embedded messages, Factory Mode and Memory Update.
    Register<CViewEmbedded>(Command::Embedded);
    RegisterServiceCommands();
    // Service screens.
    Register<CViewTestFreq>(Command::TestFreq);
    Register<CViewMaintainBoard>(Command::MaintainBoard);
    Register<CDataWatchView>(Command::DataWatch);
}

}  // namespace rv
