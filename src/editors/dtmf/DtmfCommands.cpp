#include "editors/dtmf/DtmfCommands.h"

#include "data/RadioData.h"
#include "editors/common/ListCommandRunner.h"
#include "editors/dtmf/DtmfSystemData.h"

namespace rv {

namespace {

void AddDefaultDtmfSystem()
{
    Radio().AddDtmfSystem();
}

}  // namespace

ListCommandResult RunDtmfSystemCommand(ListCommand command, std::optional<size_t> current,
                                       int number, SingleItemDelete single, const void* sender)
{
    return RunListCommand(Radio().DtmfSystems(), kMaxDtmfSystems, AddDefaultDtmfSystem, command,
                          current, number, single, sender);
}

ListCommandResult OpenDtmfSystemList(const void* sender)
{
    return OpenList(Radio().DtmfSystems(), AddDefaultDtmfSystem, sender);
}

}  // namespace rv
