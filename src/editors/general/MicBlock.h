#pragma once
// Microphone gains of the internal and the external microphone.

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/QXTViewProc.h"

namespace rv {

class CTextService;

/// Text form of the microphone record.
struct MicFields {
    std::string InternalGainText;  ///< choice list 6502
    std::string ExternalGainText;  ///< choice list 6504
    bool operator==(const MicFields&) const = default;
};

// MicRecord, 6 bytes at image 273..278:
//
//   0..1  internal mic gain, 16-bit little-endian choice value (list 6502)
//   2..3  external mic gain, 16-bit little-endian choice value (list 6504)
//   4..5  kept
class CMicBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 273;
    static constexpr size_t kRecordSize = 6;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kInternalGain = 0;
        static constexpr size_t kExternalGain = 2;
    };
    static_assert(Offset::kExternalGain + 2 <= kRecordSize);

    static constexpr int kInternalGainList = 6502;
    static constexpr int kExternalGainList = 6504;
    /// Default of both gains.
    static constexpr uint16_t kDefaultGain = 4;

    /// A record with the defaults.
    CMicBlock();
    /// 04 00 04 00 FF FF.
    void SetDefaults() override;

    /// Stored gain values (16-bit choice values).
    uint16_t InternalGain() const;
    uint16_t ExternalGain() const;

    /// The record as its view shows it (choice fields as texts of their lists; a stored value
    /// no entry has as its number, "(value 9)").
    MicFields ToFields(const CTextService& texts) const;
    /// The same with the program's texts.
    MicFields ToFields() const;
    /// The view's fields into the record. A text that is not in its list, or that the record
    /// already shows, keeps the field's stored bits.
    void FromFields(const MicFields& fields, const CTextService& texts);
    /// The same with the program's texts.
    void FromFields(const MicFields& fields);
};

}  // namespace rv
