#pragma once
// The fields of the key record (CKeyBlock, 11 bytes): the six key functions, codes of choice
// list 6605. Labels are the texts before the key boxes (box id - 1).

#include "data/FieldTable.h"
#include "editors/keys/KeyBlock.h"

namespace rv {

inline constexpr FieldDef kKeyFieldDefs[] = {
    field::Choice("tk_short", 6607, CKeyBlock::Offset::kTkShort, CKeyBlock::kFunctionList)
        .SeenBy(kSeenByServiceLevels),
    field::Choice("tk_long", 6609, CKeyBlock::Offset::kTkLong, CKeyBlock::kFunctionList)
        .SeenBy(kSeenByServiceLevels),
    field::Choice("sk1_short", 6613, CKeyBlock::Offset::kSk1Short, CKeyBlock::kFunctionList),
    field::Choice("sk1_long", 6615, CKeyBlock::Offset::kSk1Long, CKeyBlock::kFunctionList),
    field::Choice("sk2_short", 6619, CKeyBlock::Offset::kSk2Short, CKeyBlock::kFunctionList),
    field::Choice("sk2_long", 6621, CKeyBlock::Offset::kSk2Long, CKeyBlock::kFunctionList),
};

inline constexpr FieldTable kKeyFieldTable{"keys", 6601, CKeyBlock::kRecordSize, kKeyFieldDefs};
static_assert(IsValidTable(kKeyFieldTable));

}  // namespace rv
