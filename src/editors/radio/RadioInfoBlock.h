#pragma once
// The radio information record: who the radio is (model name, band, signalling, serial
// number, band edges, model ID) and when it was last programmed.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "data/QXTViewProc.h"
#include "editors/radio/TimeStamp.h"

namespace rv {

// RadioInfoRecord, 104 bytes at image 16..119 (record offset = image address - 16):
//
//   0..11   model name, zero-padded text
//   12      band code: bit 7 U/V band flag | bits 0-6 frequency range ID
//   13      (kept)
//   14      signalling type
//   15      language
//   16..23  programming time stamp (sec min hour day month year%100 year/100 0)
//   24..27  lower band edge, packed decimal, 10 Hz units, little-endian
//   28..31  upper band edge, same coding
//   32..55  (kept)
//   56..71  serial number, zero-padded text
//   72..87  (kept)
//   88..91  factory marker 55 AA AA 55
//   92..103 model ID, zero-padded text
class CRadioInfoBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 16;
    static constexpr size_t kRecordSize = 104;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kModelName = 0;
        static constexpr size_t kModelNameWidth = 12;
        static constexpr size_t kBandCode = 12;
        static constexpr size_t kSignalType = 14;
        static constexpr size_t kLanguage = 15;
        static constexpr size_t kTimeStamp = 16;
        static constexpr size_t kLowerEdge = 24;
        static constexpr size_t kUpperEdge = 28;
        static constexpr size_t kSerialNumber = 56;
        static constexpr size_t kSerialNumberWidth = 16;
        static constexpr size_t kMarker = 88;
        static constexpr size_t kMarkerWidth = 4;
        static constexpr size_t kModelId = 92;
        static constexpr size_t kModelIdWidth = 12;
    };
    static_assert(Offset::kModelName + Offset::kModelNameWidth <= Offset::kBandCode);
    static_assert(Offset::kTimeStamp + kTimeStampSize <= Offset::kLowerEdge);
    static_assert(Offset::kUpperEdge + 4 <= Offset::kSerialNumber);
    static_assert(Offset::kSerialNumber + Offset::kSerialNumberWidth <= Offset::kMarker);
    static_assert(Offset::kMarker + Offset::kMarkerWidth <= Offset::kModelId);
    static_assert(Offset::kModelId + Offset::kModelIdWidth == kRecordSize);

    /// Image address of the programming time stamp (Write to Radio sends these 8 bytes).
    static constexpr uint16_t kTimeStampAddress = kImageAddress + Offset::kTimeStamp;
    /// The factory marker that Factory Mode writes.
    static constexpr uint8_t kFactoryMarker[Offset::kMarkerWidth] = {0x55, 0xAA, 0xAA, 0x55};

    /// A record with the defaults of the current model and range.
    CRadioInfoBlock();
    /// All 0xFF, then model name, band code, language 0, band edges of the current range,
    /// sixteen '-' as serial number, the local time as time stamp and the signalling type.
    void SetDefaults() override;

    /// Model name up to the first zero byte.
    std::string ModelName() const;
    /// Stores at most 12 characters, zero-padded.
    void SetModelName(std::string_view name);
    /// Byte 12 whole: band flag (bit 7) and range ID (bits 0-6).
    uint8_t BandCode() const;
    void SetBandCode(uint8_t code);
    /// U/V band flag (bit 7 of byte 12).
    bool BandFlag() const;
    /// Frequency range ID (bits 0-6 of byte 12).
    uint8_t RangeId() const;
    /// Signalling type byte.
    uint8_t SignalType() const;
    void SetSignalType(uint8_t type);
    /// Language byte.
    uint8_t Language() const;
    void SetLanguage(uint8_t language);
    /// The eight time-stamp bytes.
    TimeStamp GetTimeStamp() const;
    void SetTimeStamp(const TimeStamp& stamp);
    /// Stamps the record with a broken-down local time.
    void SetTimeStamp(const std::tm& time);
    /// "Last Programmed Date" text of the stored time stamp.
    std::string LastProgrammedDate() const;
    /// Lower and upper band edge as stored (packed decimal, 10 Hz units).
    uint32_t LowerEdgeBcd() const;
    uint32_t UpperEdgeBcd() const;
    void SetLowerEdgeBcd(uint32_t bcd);
    void SetUpperEdgeBcd(uint32_t bcd);
    /// Serial number up to the first zero byte.
    std::string SerialNumber() const;
    /// Stores at most 16 characters, zero-padded.
    void SetSerialNumber(std::string_view serial);
    /// True when bytes 88-91 hold the factory marker.
    bool HasFactoryMarker() const;
    void SetFactoryMarker();
    /// Model ID text up to the first zero byte.
    std::string ModelIdText() const;
    /// Stores at most 12 characters, zero-padded.
    void SetModelIdText(std::string_view modelId);
};

}  // namespace rv
