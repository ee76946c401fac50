#include "editors/scan/gui/ViewScan.h"

#include "base/CommandIds.h"
#include "editors/scan/ScanCommands.h"

namespace rv {

namespace {
constexpr ListItemKind<CScanData> kScanLists{&RadioData::ScanLists, &RunScanCommand, &OpenScanList,
                                             SingleItemDelete::NoCurrent};
}  // namespace

CViewScan::CViewScan(QWidget* parent)
    : CListItemViewOf(kFormId, Id(Command::Scan), "Scan List", kScanLists, new CScanSheet(), parent)
{
    setObjectName("ViewScan");
}

}  // namespace rv
