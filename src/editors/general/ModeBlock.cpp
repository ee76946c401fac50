#include "editors/general/ModeBlock.h"

namespace rv {

bool ApplyCloneRule(ModeFields& fields)
{
    if (!fields.Clone) fields.FactoryClone = false;
    return fields.Clone;
}

CModeBlock::CModeBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CModeBlock::SetDefaults()
{
    record_.Fill(0xFF);
    FromFields(ModeFields{});
}

ModeFields CModeBlock::ToFields() const
{
    ModeFields f;
    f.PanelTest = record_.Bit(Offset::kModes, Offset::kPanelTestBit);
    f.Clone = record_.Bit(Offset::kModes, Offset::kCloneBit);
    f.Destination = record_.Bit(Offset::kModes, Offset::kDestinationBit);
    f.FactoryClone = record_.Bit(Offset::kModes, Offset::kFactoryCloneBit);
    return f;
}

void CModeBlock::FromFields(const ModeFields& f)
{
    record_.SetBit(Offset::kModes, Offset::kPanelTestBit, f.PanelTest);
    record_.SetBit(Offset::kModes, Offset::kCloneBit, f.Clone);
    record_.SetBit(Offset::kModes, Offset::kDestinationBit, f.Destination);
    record_.SetBit(Offset::kModes, Offset::kFactoryCloneBit, f.FactoryClone);
}

}  // namespace rv
