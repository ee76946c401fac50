#pragma once
// The fields of the embedded record (CEmbeddedBlock, 144 bytes): the password, a second text
// no screen edits, and the four messages; blank-padded texts.

#include "data/FieldTable.h"
#include "service/EmbeddedBlock.h"

namespace rv {

inline constexpr FieldDef kEmbeddedFieldDefs[] = {
    field::Text("password", 39340, CEmbeddedBlock::Offset::kPassword,
                CEmbeddedBlock::Offset::kPasswordWidth, TextCoding::BlankPadded)
        .Hidden(),
    field::Text("second_text", 39341, CEmbeddedBlock::Offset::kSecondText,
                CEmbeddedBlock::Offset::kSecondTextWidth, TextCoding::BlankPadded)
        .Hidden(),
    field::Text("message", 4702, CEmbeddedBlock::Offset::kMessages,
                CEmbeddedBlock::Offset::kMessageWidth, TextCoding::BlankPadded)
        .Repeat(kEmbeddedMessageCount, CEmbeddedBlock::Offset::kMessageWidth, 2),
};

inline constexpr FieldTable kEmbeddedFieldTable{"embedded", 4701, CEmbeddedBlock::kRecordSize,
                                                kEmbeddedFieldDefs};
static_assert(IsValidTable(kEmbeddedFieldTable));

}  // namespace rv
