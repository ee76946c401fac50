#include "editors/general/VoxBlock.h"

#include "base/Settings.h"
#include "data/FieldBinding.h"
#include "editors/general/VoxFieldTable.h"

namespace rv {

namespace {
constexpr unsigned kDefaultGain = 3;
constexpr unsigned kDefaultGainEdition = 4;
constexpr uint8_t kDefaultDelay = 15;

/// The text form's members by field key.
constexpr FieldBinding<VoxFields> kVoxBinding[] = {
    {"inhibit_on_receive", &VoxFields::InhibitOnReceive},
    {"gain_level", &VoxFields::GainLevelText},
    {"proceed_tone", &VoxFields::ProceedTone},
    {"delay_time", &VoxFields::DelayText},
};
}  // namespace

CVoxBlock::CVoxBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

int CVoxBlock::GainList() { return Settings().EditionFlag() ? kGainListEdition : kGainList; }

void CVoxBlock::SetDefaults()
{
    record_.Fill(0xFF);
    record_.SetBit(Offset::kFlags, Offset::kInhibitBit, true);
    SetGainLevel(Settings().EditionFlag() ? kDefaultGainEdition : kDefaultGain);
    record_.SetBit(Offset::kFlags, Offset::kProceedToneBit, true);
    record_[Offset::kDelay] = kDefaultDelay;
}

unsigned CVoxBlock::GainLevel() const
{
    return record_.Bits(Offset::kFlags, Offset::kGainFirstBit, Offset::kGainBits);
}

void CVoxBlock::SetGainLevel(unsigned level)
{
    record_.SetBits(Offset::kFlags, Offset::kGainFirstBit, Offset::kGainBits, level);
}

VoxFields CVoxBlock::ToFields(const CTextService& texts) const
{
    VoxFields f;
    ReadBound<VoxFields>(kVoxFieldTable, kVoxBinding, record_.Bytes(), texts, f);
    return f;
}

VoxFields CVoxBlock::ToFields() const { return ToFields(Settings()); }

void CVoxBlock::FromFields(const VoxFields& f, const CTextService& texts)
{
    WriteBound<VoxFields>(kVoxFieldTable, kVoxBinding, f, BytesOf(record_), texts);
}

void CVoxBlock::FromFields(const VoxFields& f) { FromFields(f, Settings()); }

}  // namespace rv
