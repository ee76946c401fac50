#pragma once
// The fields of the mode record (CModeBlock, 2 bytes).

#include "data/FieldTable.h"
#include "editors/general/ModeBlock.h"

namespace rv {

inline constexpr FieldDef kModeFieldDefs[] = {
    field::Flag("panel_test", 4660, CModeBlock::Offset::kModes, CModeBlock::Offset::kPanelTestBit),
    field::Flag("clone", 4661, CModeBlock::Offset::kModes, CModeBlock::Offset::kCloneBit),
    field::Flag("destination", 4662, CModeBlock::Offset::kModes,
                CModeBlock::Offset::kDestinationBit)
        .Hidden(),
    field::Flag("factory_clone", 4658, CModeBlock::Offset::kModes,
                CModeBlock::Offset::kFactoryCloneBit),
};

inline constexpr FieldTable kModeFieldTable{"mode", 4650, CModeBlock::kRecordSize, kModeFieldDefs};
static_assert(IsValidTable(kModeFieldTable));

}  // namespace rv
