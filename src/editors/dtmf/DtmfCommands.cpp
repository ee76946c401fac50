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
                                       int number, SingleItemDelete, const void* sender)
{
    // Delete of the only system removes nothing and leaves no system current, whatever the
    // view asks for: the system list works as the other list views do.
    return RunListCommand(Radio().DtmfSystems(), kMaxDtmfSystems, AddDefaultDtmfSystem, command,
                          current, number, SingleItemDelete::NoCurrent, sender);
}

ListCommandResult OpenDtmfSystemList(const void* sender)
{
    return OpenList(Radio().DtmfSystems(), AddDefaultDtmfSystem, sender);
}

}  // namespace rv
