#pragma once
// The fields of the miscellaneous record (CMiscBlock, 14 bytes).

#include "data/FieldTable.h"
#include "editors/general/MiscBlock.h"

namespace rv {

inline constexpr FieldDef kMiscFieldDefs[] = {
    field::Choice("squelch_level", 1403, CMiscBlock::Offset::kSquelchLevel,
                  CMiscBlock::kSquelchList)
        .EditionList(CMiscBlock::kSquelchListEdition),
    field::Choice("battery_save_delay", 1411, CMiscBlock::Offset::kBatterySaveDelay,
                  CMiscBlock::kBatterySaveDelayList),
    field::Choice("battery_save_mode", 1413, CMiscBlock::Offset::kFlags,
                  CMiscBlock::kBatterySaveModeList)
        .Bits(CMiscBlock::Offset::kBatterySaveModeFirstBit,
              CMiscBlock::Offset::kBatterySaveModeBits),
    field::Choice("tail_revert", 1401, CMiscBlock::Offset::kFlags, CMiscBlock::kTailRevertList)
        .Bits(CMiscBlock::Offset::kTailRevertBit, 1),
    field::Flag("power_led", 1415, CMiscBlock::Offset::kFlags, CMiscBlock::Offset::kPowerLedBit),
    field::Flag("scan_led", 1416, CMiscBlock::Offset::kFlags, CMiscBlock::Offset::kScanLedBit),
    field::Flag("channel_play", 1417, CMiscBlock::Offset::kFlags,
                CMiscBlock::Offset::kChannelPlayBit)
        .Hidden(),
    field::Flag("channel_change_beep", 1418, CMiscBlock::Offset::kFlags,
                CMiscBlock::Offset::kChannelChangeBeepBit),
};

inline constexpr FieldTable kMiscFieldTable{"misc", 1400, CMiscBlock::kRecordSize, kMiscFieldDefs};
static_assert(IsValidTable(kMiscFieldTable));

}  // namespace rv
