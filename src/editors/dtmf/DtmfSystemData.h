#pragma once
// One DTMF system: the radio's own DTMF identity (Primary ID), the PTT ID type, the option
// bits and the timing choices of DTMF signalling.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "data/QXTViewProc.h"

namespace rv {

class CTextService;

// DTMF system record, 16 bytes:
//
//  byte 0-3   Primary ID, eight digits, two per byte, first digit in the high nibble
//             (0-9, A-D = 0xA-0xD, * = 0xE, # = 0xF)
//  byte 4     Primary ID length, 0 to 8 (0 = no ID)
//  byte 5     PTT ID type (list 5308)
//  byte 6     | 7 6 systems - 1 (written when packing) | 5..3 kept | 2 transmit CTCSS/CDCSS |
//             | 1 short beep | 0 side tone |
//  byte 7     pretime (list 5343)
//  byte 8     digit duration (list 5349)
//  byte 9     digit interval duration (list 5351)
//  byte 10-15 reserved (FF), kept as loaded
/// Text form of the Basic page.
struct DtmfBasicFields {
    std::string primaryId;      ///< DTMF keys 0-9, A-D, *, # (up to 8)
    std::string pttIdTypeText;  ///< text of choice list 5308
    bool sideTone = false;
    bool shortBeep = false;
    bool transmitCtcss = false;  ///< carried unchanged; the page does not offer it
};

/// Text form of the Advanced page (texts of choice lists 5343, 5349 and 5351).
struct DtmfAdvancedFields {
    std::string pretimeText;
    std::string digitDurationText;
    std::string digitIntervalText;
};

class CDtmfSystemData : public CQXTViewProc {
public:
    /// Image address of the first DTMF system record.
    static constexpr uint16_t kImageAddress = 432;
    /// Bytes of one DTMF system record.
    static constexpr size_t kRecordSize = 16;

    /// Byte offsets of the record's fields.
    struct Offset {
        static constexpr size_t PrimaryId = 0;  ///< 4 bytes
        static constexpr size_t IdLength = 4;
        static constexpr size_t PttIdType = 5;
        static constexpr size_t Options = 6;
        static constexpr size_t Pretime = 7;
        static constexpr size_t DigitDuration = 8;
        static constexpr size_t DigitInterval = 9;
    };
    static_assert(Offset::DigitInterval < kRecordSize);

    /// Bits of the options byte (6).
    struct OptionBit {
        static constexpr unsigned SideTone = 0;
        static constexpr unsigned ShortBeep = 1;
        static constexpr unsigned TransmitCtcss = 2;
        static constexpr unsigned CountFirst = 6;  ///< bits 6-7: number of systems - 1
    };

    /// A new DTMF system with the defaults and a new identity.
    CDtmfSystemData();
    /// Fills the record with the defaults (12 34 56 78 08 01 FE 19 05 05 FF FF FF FF FF FF).
    void SetDefaults();

    /// Largest number of Primary ID digits.
    static constexpr size_t kMaxIdDigits = 8;

    /// Fills the Basic page's fields from the record.
    void ToBasic(DtmfBasicFields& fields, const CTextService& texts) const;
    void ToBasic(DtmfBasicFields& fields) const;  ///< with the program's texts
    /// Stores the Basic page's fields. Spaces in the Primary ID are dropped; an ID with a
    /// character that is no DTMF key, or with more than 8 keys, is refused: the ID bytes stay
    /// as they were and the result is false (the other fields are stored all the same). A
    /// choice text not in its list keeps the stored value.
    bool FromBasic(const DtmfBasicFields& fields, const CTextService& texts);
    bool FromBasic(const DtmfBasicFields& fields);  ///< with the program's texts
    /// Fills the Advanced page's fields from the record.
    void ToAdvanced(DtmfAdvancedFields& fields, const CTextService& texts) const;
    void ToAdvanced(DtmfAdvancedFields& fields) const;  ///< with the program's texts
    /// Stores the Advanced page's fields (a text not in its list keeps the stored value).
    void FromAdvanced(const DtmfAdvancedFields& fields, const CTextService& texts);
    void FromAdvanced(const DtmfAdvancedFields& fields);  ///< with the program's texts

    /// Primary ID text of the record's digits (at most 8 keys; E shown as *, F as #).
    std::string PrimaryId() const;
    /// Stores a Primary ID; false (record unchanged) for a character that is no DTMF key or
    /// more than 8 keys. Spaces are dropped; an empty ID sets the length 0 and keeps the digits.
    bool SetPrimaryId(const std::string& text);
    /// The Primary ID field's text as the user typed or pasted it: spaces dropped, letters in
    /// upper case; nothing (refused) for a character that is no DTMF key (0-9, A-D, *, #) or
    /// more than 8 keys.
    static std::optional<std::string> AcceptPrimaryIdInput(std::string_view typed);
    /// The Primary ID text of a DTMF system record.
    static std::string PrimaryIdOf(std::span<const uint8_t> record);
    /// Stores a Primary ID into a DTMF system record (as SetPrimaryId).
    static bool StorePrimaryId(std::span<uint8_t> record, std::string_view text);

    uint8_t IdLength() const { return record_[Offset::IdLength]; }
    uint8_t PttIdType() const { return record_[Offset::PttIdType]; }
    bool Option(unsigned bit) const { return record_.Bit(Offset::Options, bit); }
    uint8_t Pretime() const { return record_[Offset::Pretime]; }
    uint8_t DigitDuration() const { return record_[Offset::DigitDuration]; }
    uint8_t DigitInterval() const { return record_[Offset::DigitInterval]; }
};

}  // namespace rv
