#pragma once
// Volumes of the radio's tones: minimum and maximum volume and the alert, alarm and beep tones.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/QXTViewProc.h"

namespace rv {

class CTextService;

/// Number of volume fields (bytes 0 to 8 of the record).
inline constexpr size_t kVolumeFieldCount = 9;

/// Text form of the volume record: Texts[k] is the text of choice list 4904 + 2k for byte k.
struct VolumeFields {
    std::array<std::string, kVolumeFieldCount> Texts;
    bool operator==(const VolumeFields&) const = default;
};

// VolumeRecord, 14 bytes at image 131..144, one choice value per byte:
//
//   0 min volume   1 max volume   2 alert tone   3 emergency alarm   4 power-on tone
//   5 key tone     6 side tone    7 warning tone 8 lone worker tone  9..13 kept
class CVolumeBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 131;
    static constexpr size_t kRecordSize = 14;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kMinVolume = 0;
        static constexpr size_t kMaxVolume = 1;
        static constexpr size_t kAlertTone = 2;
        static constexpr size_t kEmergencyAlarm = 3;
        static constexpr size_t kPowerOnTone = 4;
        static constexpr size_t kKeyTone = 5;
        static constexpr size_t kSideTone = 6;
        static constexpr size_t kWarningTone = 7;
        static constexpr size_t kLoneWorkerTone = 8;
    };
    static_assert(Offset::kLoneWorkerTone + 1 == kVolumeFieldCount);
    static_assert(kVolumeFieldCount <= kRecordSize);

    /// Choice list of byte k: 4904 + 2k.
    static constexpr int ListOf(size_t k) { return 4904 + 2 * static_cast<int>(k); }
    /// Default value of each volume byte.
    static constexpr std::array<uint8_t, kVolumeFieldCount> kDefaults = {1,  127, 255, 127, 15,
                                                                         15, 15,  15,  15};

    /// A record with the defaults.
    CVolumeBlock();
    /// 01 7F FF 7F 0F 0F 0F 0F 0F FF FF FF FF FF.
    void SetDefaults() override;

    /// The record as its view shows it (choice fields as texts of their lists; a stored value
    /// no entry has as its number, "(value 9)").
    VolumeFields ToFields(const CTextService& texts) const;
    /// The same with the program's texts.
    VolumeFields ToFields() const;
    /// The view's fields into the record. A text that is not in its list, or that the record
    /// already shows, keeps the field's stored bits.
    void FromFields(const VolumeFields& fields, const CTextService& texts);
    /// The same with the program's texts.
    void FromFields(const VolumeFields& fields);
};

}  // namespace rv
