#pragma once
// One conventional channel: its 20-byte record as it lies in the radio's memory image, the
// defaults of a new channel for the model's band, and the link to the personality it uses.

#include <cstddef>
#include <cstdint>

#include "data/QXTViewProc.h"
#include "editors/channel/FrequencyText.h"
#include "editors/channel/ChannelFields.h"

namespace rv {

class CTextService;

/// Type of a tone word (bits 14-15); the values of choice lists 3668 and 3677.
enum class ToneType : uint8_t {
    None = 0,     ///< no tone
    Analog = 1,   ///< sub-audible tone from CtcssTable
    Digital = 2,  ///< digital code from DcsTable
    DigitalInverted = 3,  ///< digital code from DcsTable, second variant
};

// Channel record, 20 bytes (little-endian words):
//
//  byte  0-1   previous link (image address of the previous record, written when packing)
//  byte  2-3   next link     (image address of the next record, written when packing)
//  byte  4-7   receive frequency, packed decimal of 10 Hz units, FFFFFFFF = empty channel
//  byte  8-11  transmit frequency, same, FFFFFFFF = none
//  byte 12-13  receive tone word  | 15 14 | 13     | 12   | 11 ........... 0 |
//  byte 14-15  transmit tone word | type  | custom | kept | table index      |
//  byte 16     | 7..4 tx step code | 3..0 rx step code |
//  byte 17     | 7..4 power (3663) | 3..0 spacing (3661) |
//  byte 18     personality index (0-based), FF ends the channel list in the image
//  byte 19     | 7 F7 | 6 auto start scan | 5 beat shift | 4 scramble | 3 compandor |
//              | 2 F2 | 1 F1 | 0 kept |
class CChannelData : public CQXTViewProc {
public:
    /// Image address of the first channel slot.
    static constexpr uint16_t kImageAddress = 1408;
    /// Bytes of one channel record.
    static constexpr size_t kRecordSize = 20;
    /// Number of channel slots in the image.
    static constexpr size_t kSlots = 16;

    /// Byte offsets of the record's fields.
    struct Offset {
        static constexpr size_t PrevLink = 0;
        static constexpr size_t NextLink = 2;
        static constexpr size_t RxFreq = 4;
        static constexpr size_t TxFreq = 8;
        static constexpr size_t RxTone = 12;
        static constexpr size_t TxTone = 14;
        static constexpr size_t Steps = 16;
        static constexpr size_t SpacingPower = 17;
        static constexpr size_t Personality = 18;
        static constexpr size_t Flags = 19;
    };
    static_assert(Offset::Flags < kRecordSize);
    static_assert(Offset::TxFreq + 4 <= Offset::RxTone);

    /// Bits of the flags byte (19).
    struct FlagBit {
        static constexpr unsigned Compandor = 3;
        static constexpr unsigned Scramble = 4;
        static constexpr unsigned BeatShift = 5;
        static constexpr unsigned AutoStartScan = 6;
    };

    /// A new channel with the band defaults for list position `position` (the number of
    /// channels already in the list), with a new identity. `latchedDivisor` is the divisor
    /// that folds the defaults back into a band too narrow for all channels: 0 until such a
    /// band is met, then kept by its owner (the radio data object, for the whole run).
    CChannelData(size_t position, size_t& latchedDivisor);
    /// The same with no divisor latched yet (a channel made outside the radio data).
    explicit CChannelData(size_t position);

    /// Fills the record with the defaults of list position `position` for the current band.
    void SetDefaults(size_t position, size_t& latchedDivisor);

    /// Receive and transmit frequencies (packed decimal, kNoFrequency when none).
    uint32_t RxFreq() const { return record_.U32(Offset::RxFreq); }
    uint32_t TxFreq() const { return record_.U32(Offset::TxFreq); }
    void SetRxFreq(uint32_t bcd) { record_.SetU32(Offset::RxFreq, bcd); }
    void SetTxFreq(uint32_t bcd) { record_.SetU32(Offset::TxFreq, bcd); }
    /// Receive and transmit tone words.
    uint16_t RxTone() const { return record_.U16(Offset::RxTone); }
    uint16_t TxTone() const { return record_.U16(Offset::TxTone); }
    /// Replace the receive and transmit tone words.
    void SetRxTone(uint16_t word) { record_.SetU16(Offset::RxTone, word); }
    void SetTxTone(uint16_t word) { record_.SetU16(Offset::TxTone, word); }
    /// Receive and transmit step codes (nibbles of byte 16).
    unsigned RxStep() const { return record_.Bits(Offset::Steps, 0, 4); }
    unsigned TxStep() const { return record_.Bits(Offset::Steps, 4, 4); }
    /// Spacing value (list 3661) and power value (list 3663).
    unsigned Spacing() const { return record_.Bits(Offset::SpacingPower, 0, 4); }
    unsigned Power() const { return record_.Bits(Offset::SpacingPower, 4, 4); }
    /// Record byte 18: the 0-based personality position.
    uint8_t PersonalityIndex() const { return record_[Offset::Personality]; }
    void SetPersonalityIndex(uint8_t index) { record_[Offset::Personality] = index; }
    /// One bit of the flags byte.
    bool Flag(unsigned bit) const { return record_.Bit(Offset::Flags, bit); }

    /// The record as the editors show it (flags and personality index included; a choice
    /// value no entry has as its number). Repairs a tone index that is 0 or beyond its table
    /// to 1 in the record itself.
    ChannelFields ToFields(const CTextService& texts);
    ChannelFields ToFields();  ///< with the program's texts
    /// The same text form without repairing the record (what the editors,
    /// printing and inspection show: a tone index outside its table is shown as index 1 and kept).
    ChannelFields ShowFields(const CTextService& texts) const;
    ChannelFields ShowFields() const;  ///< with the program's texts
    /// Writes the text form back with the band limits of the current model (frequencies
    /// clamped into the band unless one of them is empty; see the overload).
    void FromFields(const ChannelFields& fields);
    /// Writes the text form back: spacing, power and tone types by their choice lists (a text
    /// not in its list keeps the stored value), frequencies (no receive frequency forces no
    /// transmit frequency; with both set each is clamped into the band unless it is a fixed
    /// frequency of the licence-free band), tone words from the
    /// tone texts of their type (custom when not in the table), step nibbles. Flags and byte
    /// 18 are not touched (SetFlags).
    void FromFields(const ChannelFields& fields, const BandLimits& band);
    /// The same for the parts an editor changed only: a part not in `edits` keeps its bytes
    /// (a tone word not in its table, a frequency off the step grid or outside the band, a
    /// choice value no list entry has). Of the frequencies only a changed one is clamped; a
    /// cleared receive frequency still clears the transmit frequency.
    void FromFields(const ChannelFields& fields, const BandLimits& band, const ChannelEdits& edits);
    /// The same with the choice lists of a text service.
    void FromFields(const ChannelFields& fields, const BandLimits& band,
                    const CTextService& texts);
    /// The same for the parts in `edits` with the choice lists of a text service.
    void FromFields(const ChannelFields& fields, const BandLimits& band, const ChannelEdits& edits,
                    const CTextService& texts);
    /// Copies byte 19 bits 1-7 into F1-F7 and byte 18 into PersonalityIndex.
    void GetFlags(ChannelFields& fields) const;
    /// Copies F1-F6 into byte 19 bits 1-6 and PersonalityIndex into byte 18 (bits 0 and 7
    /// are never written).
    void SetFlags(const ChannelFields& fields);
    /// Tone type of the receive and transmit tone words.
    ToneType RxToneType() const;
    ToneType TxToneType() const;

    /// Identity of the personality byte 18 selects (0: none); set by ResolveLinks and by the
    /// channel editors.
    uint32_t personalityId_ = 0;

    /// Recomputes the personality identity from byte 18.
    void ResolveLinks() override;
    /// On an item deletion (code 5): logs an invalid entry when the personality is gone or
    /// not in use.
    void OnNotice(const NoticeRecord& notice) override;
    /// Withdraws this channel's invalid-log entry.
    void WithdrawNotices() override;
    /// Key of this channel's invalid-log entry for the personality box (3703).
    uint32_t PersonalityNoticeKey() const { return id_ + kInvalidKeyBase + kPersonalityTextId; }

    /// Text id of the personality box and of its invalid-log entries.
    static constexpr uint32_t kPersonalityTextId = 3703;

    /// Parts of a tone word: index in bits 0-11, custom flag bit 13, type in bits 14-15.
    struct ToneBits {
        static constexpr unsigned IndexMask = 0x0FFF;
        static constexpr unsigned CustomBit = 13;
        static constexpr unsigned TypeFirst = 14;
    };
    /// Tone word of a type and a 1-based table index (custom: the tone is not in the table).
    static constexpr uint16_t MakeToneWord(ToneType type, uint16_t index, bool custom = false)
    {
        const unsigned typeBits = static_cast<unsigned>(type) << ToneBits::TypeFirst;
        const unsigned customBit = custom ? 1u << ToneBits::CustomBit : 0u;
        return static_cast<uint16_t>(typeBits | customBit | (index & ToneBits::IndexMask));
    }
};

}  // namespace rv
