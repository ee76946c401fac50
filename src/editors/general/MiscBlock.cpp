#include "editors/general/MiscBlock.h"

#include "base/Settings.h"
#include "data/FieldBinding.h"
#include "editors/general/MiscFieldTable.h"

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

/// The text form's members by field key.
constexpr FieldBinding<MiscFields> kMiscBinding[] = {
    {"squelch_level", &MiscFields::SquelchLevelText},
    {"battery_save_delay", &MiscFields::BatterySaveDelayText},
    {"battery_save_mode", &MiscFields::BatterySaveModeText},
    {"tail_revert", &MiscFields::TailRevertText},
    {"power_led", &MiscFields::PowerLed},
    {"scan_led", &MiscFields::ScanLed},
    {"channel_play", &MiscFields::ChannelPlay},
    {"channel_change_beep", &MiscFields::ChannelChangeBeep},
};

}  // namespace

CMiscBlock::CMiscBlock() : CQXTViewProc(kRecordSize, false)
{
    SetDefaults();
}

int CMiscBlock::RemovedBatterySaveMode()
{
    return Settings().EditionFlag() ? 2 : -1;
}

bool CMiscBlock::ChannelChangeBeepShown()
{
    return Settings().IsSecondEdition();
}

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
    record_.SetBits(Offset::kFlags, Offset::kBatterySaveModeFirstBit, Offset::kBatterySaveModeBits,
                    d.batterySaveMode);
    record_.SetBits(Offset::kFlags, Offset::kTailRevertBit, 1, kTailRevertDefault);
    record_.SetBit(Offset::kFlags, Offset::kKeptBit, false);
    record_.SetBit(Offset::kFlags, Offset::kPowerLedBit, d.powerLed);
    record_.SetBit(Offset::kFlags, Offset::kScanLedBit, true);
    record_.SetBit(Offset::kFlags, Offset::kChannelPlayBit, false);
    record_.SetBit(Offset::kFlags, Offset::kChannelChangeBeepBit, false);
}

MiscFields CMiscBlock::ToFields(const CTextService& texts) const
{
    MiscFields f;
    ReadBound<MiscFields>(kMiscFieldTable, kMiscBinding, record_.Bytes(), texts, f);
    return f;
}

MiscFields CMiscBlock::ToFields() const
{
    return ToFields(Settings());
}

void CMiscBlock::FromFields(const MiscFields& f, const CTextService& texts)
{
    WriteBound<MiscFields>(kMiscFieldTable, kMiscBinding, f, BytesOf(record_), texts);
}

void CMiscBlock::FromFields(const MiscFields& f)
{
    FromFields(f, Settings());
}

}  // namespace rv
