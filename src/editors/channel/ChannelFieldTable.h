#pragma once
// The fields of a channel record (CChannelData, 20 bytes). The tone texts are made by the
// tone rule of the channel pages: a side that its tone type does not use shows "67.0" or
// "023", and an index outside its table shows the table's first tone.

#include "data/FieldTable.h"
#include "editors/common/FieldEdit.h"
#include "editors/channel/ChannelData.h"

namespace rv {

/// Tone texts of a tone word at `offset` (both read the word's type), and back.
std::string FormatCtcssTone(std::span<const uint8_t> record, size_t offset,
                            const CTextService& texts);
bool ParseCtcssTone(std::span<uint8_t> record, size_t offset, std::string_view text,
                    const CTextService& texts);
std::string FormatDcsTone(std::span<const uint8_t> record, size_t offset,
                          const CTextService& texts);
bool ParseDcsTone(std::span<uint8_t> record, size_t offset, std::string_view text,
                  const CTextService& texts);
inline constexpr FieldCodec kCtcssToneCodec{&FormatCtcssTone, &ParseCtcssTone};
inline constexpr FieldCodec kDcsToneCodec{&FormatDcsTone, &ParseDcsTone};

namespace detail {
using ChannelOffset = CChannelData::Offset;
using ToneBits = CChannelData::ToneBits;

/// The fields of one side's tone word: type, analog tone, digital code, custom flag.
constexpr FieldDef ToneTypeField(std::string_view key, int label, unsigned offset, int list)
{
    return field::Choice(key, label, offset, list).Width(2).Bits(ToneBits::TypeFirst, 2);
}
constexpr FieldDef ToneIndexField(std::string_view key, int label, unsigned offset,
                                  const FieldCodec* codec)
{
    return field::Number(key, label, offset).Width(2).Bits(0, 12).Codec(codec);
}
constexpr FieldDef ToneCustomField(std::string_view key, int label, unsigned offset)
{
    return field::Flag(key, label, offset, ToneBits::CustomBit).Width(2).Hidden();
}
}  // namespace detail

inline constexpr FieldDef kChannelFieldDefs[] = {
    field::Number("prev_link", 39320, detail::ChannelOffset::PrevLink)
        .Width(2)
        .Hidden()
        .Derived(EditReason::kChannelOrder),
    field::Number("next_link", 39321, detail::ChannelOffset::NextLink)
        .Width(2)
        .Hidden()
        .Derived(EditReason::kChannelOrder),
    field::Frequency("rx_frequency", 3665, detail::ChannelOffset::RxFreq),
    detail::ToneTypeField("rx_type", 3667, detail::ChannelOffset::RxTone, kRxTypeList),
    detail::ToneIndexField("rx_ctcss", 3669, detail::ChannelOffset::RxTone, &kCtcssToneCodec),
    detail::ToneIndexField("rx_dcs", 3671, detail::ChannelOffset::RxTone, &kDcsToneCodec),
    detail::ToneCustomField("rx_custom", 39322, detail::ChannelOffset::RxTone),
    field::Number("rx_step", 39323, detail::ChannelOffset::Steps)
        .Bits(0, 4)
        .Hidden()
        .Derived(EditReason::kChannelFrequency),
    field::Frequency("tx_frequency", 3674, detail::ChannelOffset::TxFreq),
    detail::ToneTypeField("tx_type", 3676, detail::ChannelOffset::TxTone, kTxTypeList),
    detail::ToneIndexField("tx_ctcss", 3678, detail::ChannelOffset::TxTone, &kCtcssToneCodec),
    detail::ToneIndexField("tx_dcs", 3680, detail::ChannelOffset::TxTone, &kDcsToneCodec),
    detail::ToneCustomField("tx_custom", 39324, detail::ChannelOffset::TxTone),
    field::Number("tx_step", 39325, detail::ChannelOffset::Steps)
        .Bits(4, 4)
        .Hidden()
        .Derived(EditReason::kChannelFrequency),
    field::Choice("spacing", 3660, detail::ChannelOffset::SpacingPower, kSpacingList).Bits(0, 4),
    field::Choice("power", 3662, detail::ChannelOffset::SpacingPower, kPowerList).Bits(4, 4),
    field::Item("personality", 3702, detail::ChannelOffset::Personality, 0, 0xFF),
    field::Flag("flag_1", 39326, detail::ChannelOffset::Flags, 1).Hidden(),
    field::Flag("flag_2", 39327, detail::ChannelOffset::Flags, 2).Hidden(),
    field::Flag("compandor", 3710, detail::ChannelOffset::Flags, CChannelData::FlagBit::Compandor),
    field::Flag("scramble", 3711, detail::ChannelOffset::Flags, CChannelData::FlagBit::Scramble),
    field::Flag("beat_shift", 3712, detail::ChannelOffset::Flags, CChannelData::FlagBit::BeatShift),
    field::Flag("auto_start_scan", 3707, detail::ChannelOffset::Flags,
                CChannelData::FlagBit::AutoStartScan),
    field::Flag("flag_7", 39328, detail::ChannelOffset::Flags, 7).Hidden().ReadOnly(),
};

inline constexpr FieldTable kChannelFieldTable{"channel", kChannelViewFormId,
                                               CChannelData::kRecordSize, kChannelFieldDefs};
static_assert(IsValidTable(kChannelFieldTable));

}  // namespace rv
