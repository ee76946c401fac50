#include "editors/general/VolumeBlock.h"

#include "base/Settings.h"
#include "editors/general/VolumeFieldTable.h"

namespace rv {

CVolumeBlock::CVolumeBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CVolumeBlock::SetDefaults()
{
    record_.Fill(0xFF);
    for (size_t k = 0; k < kVolumeFieldCount; ++k) record_[k] = kDefaults[k];
}

VolumeFields CVolumeBlock::ToFields(const CTextService& texts) const
{
    const CFieldForm form = ToForm(kVolumeFieldTable, record_.Bytes(), texts);
    VolumeFields f;
    for (size_t k = 0; k < kVolumeFieldCount; ++k) f.Texts[k] = form.Text(kVolumeKeys[k]);
    return f;
}

VolumeFields CVolumeBlock::ToFields() const { return ToFields(Settings()); }

void CVolumeBlock::FromFields(const VolumeFields& f, const CTextService& texts)
{
    CFieldForm form;
    for (size_t k = 0; k < kVolumeFieldCount; ++k) form.Set(kVolumeKeys[k], f.Texts[k]);
    FromForm(kVolumeFieldTable, form, BytesOf(record_), texts);
}

void CVolumeBlock::FromFields(const VolumeFields& f) { FromFields(f, Settings()); }

}  // namespace rv
