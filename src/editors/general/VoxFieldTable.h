#pragma once
// The fields of the VOX record (CVoxBlock, 2 bytes).

#include "data/FieldTable.h"
#include "editors/general/VoxBlock.h"

namespace rv {

inline constexpr FieldDef kVoxFieldDefs[] = {
    field::Flag("inhibit_on_receive", 4427, 0, 0).Hidden(),
    field::Choice("gain_level", 4429, 0, CVoxBlock::kGainList)
        .Bits(1, 3)
        .EditionList(CVoxBlock::kGainListEdition),
    field::Flag("proceed_tone", 4428, 0, 4).Hidden(),
    field::Choice("delay_time", 4431, 1, CVoxBlock::kDelayList),
};

inline constexpr FieldTable kVoxFieldTable{"vox", 4420, CVoxBlock::kRecordSize, kVoxFieldDefs};
static_assert(IsValidTable(kVoxFieldTable));

}  // namespace rv
