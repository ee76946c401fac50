#include "editors/general/VolumeBlock.h"

#include "base/Settings.h"

namespace rv {

CVolumeBlock::CVolumeBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CVolumeBlock::SetDefaults()
{
    record_.Fill(0xFF);
    for (size_t k = 0; k < kVolumeFieldCount; ++k) record_[k] = kDefaults[k];
}

VolumeFields CVolumeBlock::ToFields() const
{
    VolumeFields f;
    for (size_t k = 0; k < kVolumeFieldCount; ++k)
        f.Texts[k] = Settings().GetChoiceText(ListOf(k), record_[k]);
    return f;
}

void CVolumeBlock::FromFields(const VolumeFields& f)
{
    for (size_t k = 0; k < kVolumeFieldCount; ++k)
        record_[k] = static_cast<uint8_t>(Settings().GetChoiceValue(ListOf(k), f.Texts[k]));
}

}  // namespace rv
