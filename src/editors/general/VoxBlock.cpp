#include "editors/general/VoxBlock.h"

#include "base/Settings.h"

namespace rv {

namespace {
constexpr unsigned kDefaultGain = 3;
constexpr unsigned kDefaultGainEdition = 4;
constexpr uint8_t kDefaultDelay = 15;
constexpr unsigned kGainMask = (1u << CVoxBlock::Offset::kGainBits) - 1u;
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

VoxFields CVoxBlock::ToFields() const
{
    const CSettings& s = Settings();
    VoxFields f;
    f.InhibitOnReceive = record_.Bit(Offset::kFlags, Offset::kInhibitBit);
    f.GainLevelText = s.GetChoiceText(GainList(), static_cast<int>(GainLevel()));
    f.ProceedTone = record_.Bit(Offset::kFlags, Offset::kProceedToneBit);
    f.DelayText = s.GetChoiceText(kDelayList, record_[Offset::kDelay]);
    return f;
}

void CVoxBlock::FromFields(const VoxFields& f)
{
    const CSettings& s = Settings();
    record_.SetBit(Offset::kFlags, Offset::kInhibitBit, f.InhibitOnReceive);
    SetGainLevel(static_cast<unsigned>(s.GetChoiceValue(GainList(), f.GainLevelText)) & kGainMask);
    record_.SetBit(Offset::kFlags, Offset::kProceedToneBit, f.ProceedTone);
    record_[Offset::kDelay] = static_cast<uint8_t>(s.GetChoiceValue(kDelayList, f.DelayText));
}

}  // namespace rv
