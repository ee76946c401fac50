#pragma once
// The VOX settings: gain level (0 = VOX off), delay, proceed tone and inhibit on receive.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/QXTViewProc.h"
#include "editors/common/FieldEdit.h"

namespace rv {

class CTextService;

/// Text form of the VOX record.
struct VoxFields {
    bool InhibitOnReceive = false;
    std::string GainLevelText;  ///< choice list 4430 (4440 in the editions)
    bool ProceedTone = false;
    std::string DelayText;      ///< choice list 4432
    bool operator==(const VoxFields&) const = default;
};

/// The VOX record's edit function. Switching VOX off (gain level Off) frees the side keys of
/// `keyRecord` that hold VOX On/Off (they get None, each named with the reason) and raises the
/// VOX notice (code 1140, key = the new gain level) for the views.
EditResult EditVoxField(std::span<uint8_t> record, std::span<uint8_t> keyRecord,
                        std::string_view key, std::string_view text, const CTextService& texts);

// VoxRecord, 2 bytes at image 279..280:
//
//   byte 0:  7 6 5 | 4             | 3 2 1      | 0
//            kept  | proceed tone  | gain level | inhibit on receive
//   byte 1:  delay time (choice list 4432)
class CVoxBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 279;
    static constexpr size_t kRecordSize = 2;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kFlags = 0;
        static constexpr unsigned kInhibitBit = 0;
        static constexpr unsigned kGainFirstBit = 1;
        static constexpr unsigned kGainBits = 3;
        static constexpr unsigned kProceedToneBit = 4;
        static constexpr size_t kDelay = 1;
    };
    static_assert(Offset::kGainFirstBit + Offset::kGainBits <= Offset::kProceedToneBit);
    static_assert(Offset::kDelay < kRecordSize);

    static constexpr int kGainList = 4430;
    static constexpr int kGainListEdition = 4440;
    static constexpr int kDelayList = 4432;

    /// A record with the defaults.
    CVoxBlock();
    /// F7 0F (gain 3), or F9 0F (gain 4) when the current model is an edition.
    void SetDefaults() override;

    /// VOX gain level (bits 1-3 of byte 0); 0 means VOX off.
    unsigned GainLevel() const;
    void SetGainLevel(unsigned level);
    /// True when the gain level is not 0.
    bool VoxOn() const { return GainLevel() != 0; }
    /// The gain level's choice list for the current model.
    static int GainList();

    /// The record as its view shows it (choice fields as texts of their lists; a stored value
    /// no entry has as its number, "(value 9)").
    VoxFields ToFields(const CTextService& texts) const;
    /// The same with the program's texts.
    VoxFields ToFields() const;
    /// The view's fields into the record. A text that is not in its list, or that the record
    /// already shows, keeps the field's stored bits.
    void FromFields(const VoxFields& fields, const CTextService& texts);
    /// The same with the program's texts.
    void FromFields(const VoxFields& fields);
};

}  // namespace rv
