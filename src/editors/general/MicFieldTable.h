#pragma once
// The fields of the microphone record (CMicBlock, 6 bytes): two 16-bit choice values.

#include "data/FieldTable.h"
#include "editors/general/MicBlock.h"

namespace rv {

inline constexpr FieldDef kMicFieldDefs[] = {
    field::Choice("internal_gain", 6501, CMicBlock::Offset::kInternalGain,
                  CMicBlock::kInternalGainList)
        .Width(2),
    field::Choice("external_gain", 6503, CMicBlock::Offset::kExternalGain,
                  CMicBlock::kExternalGainList)
        .Width(2),
};

inline constexpr FieldTable kMicFieldTable{"microphone", 6500, CMicBlock::kRecordSize,
                                           kMicFieldDefs};
static_assert(IsValidTable(kMicFieldTable));

}  // namespace rv
