#include "editors/general/MicBlock.h"

#include "base/Settings.h"
#include "data/FieldBinding.h"
#include "editors/general/MicFieldTable.h"

namespace rv {

namespace {

/// The text form's members by field key.
constexpr FieldBinding<MicFields> kMicBinding[] = {
    {"internal_gain", &MicFields::InternalGainText},
    {"external_gain", &MicFields::ExternalGainText},
};

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

MicFields CMicBlock::ToFields(const CTextService& texts) const
{
    MicFields f;
    ReadBound<MicFields>(kMicFieldTable, kMicBinding, record_.Bytes(), texts, f);
    return f;
}

MicFields CMicBlock::ToFields() const { return ToFields(Settings()); }

void CMicBlock::FromFields(const MicFields& f, const CTextService& texts)
{
    WriteBound<MicFields>(kMicFieldTable, kMicBinding, f, BytesOf(record_), texts);
}

void CMicBlock::FromFields(const MicFields& f) { FromFields(f, Settings()); }

}  // namespace rv
