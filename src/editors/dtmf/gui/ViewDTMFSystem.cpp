#include "editors/dtmf/gui/ViewDTMFSystem.h"

#include "base/CommandIds.h"
#include "editors/dtmf/DtmfCommands.h"

namespace rv {

namespace {
constexpr ListItemKind<CDtmfSystemData> kDtmfSystems{&RadioData::DtmfSystems, &RunDtmfSystemCommand,
                                                     &OpenDtmfSystemList,
                                                     SingleItemDelete::KeepCurrent};
}  // namespace

CViewDTMFSystem::CViewDTMFSystem(QWidget* parent)
    : CListItemViewOf(kFormId, Id(Command::DtmfSystem), "DTMF System", kDtmfSystems,
                      new CDTMFSysSheet(), parent)
{
    setObjectName("ViewDTMFSystem");
}

}  // namespace rv
