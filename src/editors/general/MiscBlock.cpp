#include "editors/general/MiscBlock.h"

#include "base/Settings.h"

namespace rv {

namespace {

/// Default values; the editions differ in the battery save and the power LED.
struct MiscDefaults {
    uint8_t squelchLevel;
    uint8_t batterySaveDelay;
    unsigned batterySaveMode;
    bool powerLed;
};
constexpr MiscDefaults kStandardDefaults{5, 2, 1, true};
constexpr MiscDefaults kEditionDefaults{5, 6, 0, false};
constexpr unsigned kTailRevertDefault = 1;

unsigned Masked(int value, unsigned bits) { return static_cast<unsigned>(value) & ((1u << bits) - 1u); }

}  // namespace

CMiscBlock::CMiscBlock() : CQXTViewProc(kRecordSize, false) { SetDefaults(); }

int CMiscBlock::SquelchList()
{
    return Settings().EditionFlag() ? kSquelchListEdition : kSquelchList;
}

void CMiscBlock::SetDefaults()
{
    const MiscDefaults& d = Settings().EditionFlag() ? kEditionDefaults : kStandardDefaults;
    record_.Fill(0xFF);
    record_[Offset::kSquelchLevel] = d.squelchLevel;
    record_[Offset::kBatterySaveDelay] = d.batterySaveDelay;
    record_.SetBits(Offset::kFlags, Offset::kBatterySaveModeFirstBit,
                    Offset::kBatterySaveModeBits, d.batterySaveMode);
    record_.SetBits(Offset::kFlags, Offset::kTailRevertBit, 1, kTailRevertDefault);
    record_.SetBit(Offset::kFlags, Offset::kKeptBit, false);
    record_.SetBit(Offset::kFlags, Offset::kPowerLedBit, d.powerLed);
    record_.SetBit(Offset::kFlags, Offset::kScanLedBit, true);
    record_.SetBit(Offset::kFlags, Offset::kChannelPlayBit, false);
    record_.SetBit(Offset::kFlags, Offset::kChannelChangeBeepBit, false);
}

MiscFields CMiscBlock::ToFields() const
{
    const CSettings& s = Settings();
    MiscFields f;
    f.SquelchLevelText = s.GetChoiceText(SquelchList(), record_[Offset::kSquelchLevel]);
    f.BatterySaveDelayText =
        s.GetChoiceText(kBatterySaveDelayList, record_[Offset::kBatterySaveDelay]);
    f.BatterySaveModeText = s.GetChoiceText(
        kBatterySaveModeList, static_cast<int>(record_.Bits(Offset::kFlags, Offset::kBatterySaveModeFirstBit,
                                                            Offset::kBatterySaveModeBits)));
    f.TailRevertText = s.GetChoiceText(
        kTailRevertList, static_cast<int>(record_.Bits(Offset::kFlags, Offset::kTailRevertBit, 1)));
    f.PowerLed = record_.Bit(Offset::kFlags, Offset::kPowerLedBit);
    f.ScanLed = record_.Bit(Offset::kFlags, Offset::kScanLedBit);
    f.ChannelPlay = record_.Bit(Offset::kFlags, Offset::kChannelPlayBit);
    f.ChannelChangeBeep = record_.Bit(Offset::kFlags, Offset::kChannelChangeBeepBit);
    return f;
}

void CMiscBlock::FromFields(const MiscFields& f)
{
    const CSettings& s = Settings();
    record_[Offset::kSquelchLevel] =
        static_cast<uint8_t>(s.GetChoiceValue(SquelchList(), f.SquelchLevelText));
    record_[Offset::kBatterySaveDelay] =
        static_cast<uint8_t>(s.GetChoiceValue(kBatterySaveDelayList, f.BatterySaveDelayText));
    record_.SetBits(Offset::kFlags, Offset::kBatterySaveModeFirstBit,
                    Offset::kBatterySaveModeBits,
                    Masked(s.GetChoiceValue(kBatterySaveModeList, f.BatterySaveModeText),
                           Offset::kBatterySaveModeBits));
    record_.SetBits(Offset::kFlags, Offset::kTailRevertBit, 1,
                    Masked(s.GetChoiceValue(kTailRevertList, f.TailRevertText), 1));
    record_.SetBit(Offset::kFlags, Offset::kPowerLedBit, f.PowerLed);
    record_.SetBit(Offset::kFlags, Offset::kScanLedBit, f.ScanLed);
    record_.SetBit(Offset::kFlags, Offset::kChannelPlayBit, f.ChannelPlay);
    record_.SetBit(Offset::kFlags, Offset::kChannelChangeBeepBit, f.ChannelChangeBeep);
}

}  // namespace rv
