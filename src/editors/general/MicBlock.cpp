#include "editors/general/MicBlock.h"

#include "base/Settings.h"

namespace rv {

namespace {

/// Stored value of a gain text: 0xFF when the text is not in the list.
uint16_t GainOf(int list, const std::string& text)
{
    return static_cast<uint16_t>(Settings().GetChoiceValue(list, text));
}

}  // namespace

CMicBlock::CMicBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CMicBlock::SetDefaults()
{
    // Bytes 4-5 are not used by the editors; a new block gives them the erased value 0xFF.
    record_.Fill(0xFF);
    record_.SetU16(Offset::kInternalGain, kDefaultGain);
    record_.SetU16(Offset::kExternalGain, kDefaultGain);
}

uint16_t CMicBlock::InternalGain() const { return record_.U16(Offset::kInternalGain); }
uint16_t CMicBlock::ExternalGain() const { return record_.U16(Offset::kExternalGain); }

MicFields CMicBlock::ToFields() const
{
    MicFields f;
    f.InternalGainText = Settings().GetChoiceText(kInternalGainList, InternalGain());
    f.ExternalGainText = Settings().GetChoiceText(kExternalGainList, ExternalGain());
    return f;
}

void CMicBlock::FromFields(const MicFields& f)
{
    record_.SetU16(Offset::kInternalGain, GainOf(kInternalGainList, f.InternalGainText));
    record_.SetU16(Offset::kExternalGain, GainOf(kExternalGainList, f.ExternalGainText));
}

}  // namespace rv
