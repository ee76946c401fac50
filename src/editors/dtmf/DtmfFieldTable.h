#pragma once
// The fields of a DTMF system record (CDtmfSystemData, 16 bytes).

#include "data/FieldTable.h"
#include "editors/common/FieldEdit.h"
#include "editors/dtmf/DtmfSystemData.h"

namespace rv {

/// Choice lists of the DTMF system's fields (also the ids of the boxes showing them).
inline constexpr int kPttIdTypeList = 5308;
inline constexpr int kPretimeList = 5343;
inline constexpr int kDigitDurationList = 5349;
inline constexpr int kDigitIntervalList = 5351;

/// The Primary ID: digits of bytes 0-3 up to the length of byte 4, * and # for E and F.
std::string FormatDtmfPrimaryId(std::span<const uint8_t> record, size_t offset,
                                const CTextService& texts);
bool ParseDtmfPrimaryId(std::span<uint8_t> record, size_t offset, std::string_view text,
                        const CTextService& texts);
/// What the Primary ID takes: "0-9, A-D, * and #, up to 8".
std::string DtmfPrimaryIdHint(std::span<const uint8_t> record, size_t offset,
                              const CTextService& texts);
inline constexpr FieldCodec kDtmfPrimaryIdCodec{&FormatDtmfPrimaryId, &ParseDtmfPrimaryId,
                                                &DtmfPrimaryIdHint};

inline constexpr FieldDef kDtmfFieldDefs[] = {
    field::Raw("primary_id", 5303, CDtmfSystemData::Offset::PrimaryId, 4)
        .Codec(&kDtmfPrimaryIdCodec),
    field::Number("id_length", 39305, CDtmfSystemData::Offset::IdLength)
        .Hidden()
        .Derived(EditReason::kPrimaryId),
    field::Choice("ptt_id_type", 5307, CDtmfSystemData::Offset::PttIdType, kPttIdTypeList),
    field::Flag("side_tone", 5309, CDtmfSystemData::Offset::Options,
                CDtmfSystemData::OptionBit::SideTone),
    field::Flag("short_beep", 5310, CDtmfSystemData::Offset::Options,
                CDtmfSystemData::OptionBit::ShortBeep),
    field::Flag("transmit_ctcss", 39306, CDtmfSystemData::Offset::Options,
                CDtmfSystemData::OptionBit::TransmitCtcss)
        .Hidden(),
    field::Number("system_count", 39307, CDtmfSystemData::Offset::Options)
        .Bits(CDtmfSystemData::OptionBit::CountFirst, 2)
        .Hidden()
        .Derived(EditReason::kDtmfSystemCount),
    field::Choice("pretime", 5342, CDtmfSystemData::Offset::Pretime, kPretimeList),
    field::Choice("digit_duration", 5348, CDtmfSystemData::Offset::DigitDuration,
                  kDigitDurationList),
    field::Choice("digit_interval", 5350, CDtmfSystemData::Offset::DigitInterval,
                  kDigitIntervalList),
};

inline constexpr FieldTable kDtmfFieldTable{"dtmf_system", 5300, CDtmfSystemData::kRecordSize,
                                            kDtmfFieldDefs};
static_assert(IsValidTable(kDtmfFieldTable));

}  // namespace rv
