#include "editors/scan/ScanCommands.h"

#include "data/RadioData.h"
#include "editors/common/ListCommandRunner.h"
#include "editors/scan/ScanData.h"

namespace rv {

namespace {

void AddDefaultScanList()
{
    Radio().AddScanList().ResolveLinks();
}

}  // namespace

ListCommandResult RunScanCommand(ListCommand command, std::optional<size_t> current, int number,
                                 SingleItemDelete single, const void* sender)
{
    return RunListCommand(Radio().ScanLists(), kMaxScanLists, AddDefaultScanList, command, current,
                          number, single, sender);
}

ListCommandResult OpenScanList(const void* sender)
{
    return OpenList(Radio().ScanLists(), AddDefaultScanList, sender);
}

}  // namespace rv
