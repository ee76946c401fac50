#pragma once
// Miscellaneous settings: squelch level, battery save, tail revert, LEDs and channel beeps.

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/QXTViewProc.h"

namespace rv {

class CTextService;

/// Text form of the misc record.
struct MiscFields {
    std::string SquelchLevelText;      ///< choice list 1404 (1405 in the editions)
    std::string BatterySaveDelayText;  ///< choice list 1412
    std::string BatterySaveModeText;   ///< choice list 1414
    std::string TailRevertText;        ///< choice list 1402
    bool PowerLed = false;
    bool ScanLed = false;
    bool ChannelPlay = false;
    bool ChannelChangeBeep = false;
    bool operator==(const MiscFields&) const = default;
};

// MiscRecord, 14 bytes at image 281..294:
//
//   0      carrier squelch level (choice value)
//   1..4   kept
//   5      battery save delay time (choice value)
//   6:     7      | 6            | 5        | 4         | 3    | 2           | 1 0
//          ch.beep| channel play | scan LED | power LED | kept | tail revert | battery save mode
//   7..13  kept
class CMiscBlock : public CQXTViewProc {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 281;
    static constexpr size_t kRecordSize = 14;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kSquelchLevel = 0;
        static constexpr size_t kBatterySaveDelay = 5;
        static constexpr size_t kFlags = 6;
        static constexpr unsigned kBatterySaveModeFirstBit = 0;
        static constexpr unsigned kBatterySaveModeBits = 2;
        static constexpr unsigned kTailRevertBit = 2;
        static constexpr unsigned kKeptBit = 3;
        static constexpr unsigned kPowerLedBit = 4;
        static constexpr unsigned kScanLedBit = 5;
        static constexpr unsigned kChannelPlayBit = 6;
        static constexpr unsigned kChannelChangeBeepBit = 7;
    };
    static_assert(Offset::kFlags < kRecordSize);
    static_assert(Offset::kBatterySaveModeFirstBit + Offset::kBatterySaveModeBits <=
                  Offset::kTailRevertBit);

    static constexpr int kTailRevertList = 1402;
    static constexpr int kSquelchList = 1404;
    static constexpr int kSquelchListEdition = 1405;
    static constexpr int kBatterySaveDelayList = 1412;
    static constexpr int kBatterySaveModeList = 1414;

    /// A record with the defaults (the block takes no identity).
    CMiscBlock();
    /// 05 FF FF FF FF 02 35 FF..., or 05 FF FF FF FF 06 24 FF... in the editions.
    void SetDefaults();
    /// The squelch level's choice list for the current model.
    static int SquelchList();
    /// Stored value of the battery-save-mode entry the current model does not offer (the
    /// editions have no entry 2), -1 when the model offers every entry.
    static int RemovedBatterySaveMode();
    /// True when the current model shows "Channel Change Beep" (only the model of model
    /// text 310); "Channel Play" is never shown.
    static bool ChannelChangeBeepShown();

    /// The record as its view shows it (choice fields as texts of their lists; a stored value
    /// no entry has as its number, "(value 9)").
    MiscFields ToFields(const CTextService& texts) const;
    /// The same with the program's texts.
    MiscFields ToFields() const;
    /// The view's fields into the record. A text that is not in its list, or that the record
    /// already shows, keeps the field's stored bits.
    void FromFields(const MiscFields& fields, const CTextService& texts);
    /// The same with the program's texts.
    void FromFields(const MiscFields& fields);
};

}  // namespace rv
