#pragma once
// The fields of the radio information record (CRadioInfoBlock, 104 bytes). The factory fields
// are the Factory Mode screen's; the view shows the model name, serial number and date.

#include "data/FieldTable.h"
#include "editors/radio/RadioInfoBlock.h"

namespace rv {

/// The programming time stamp as the view shows it ("%Y-%m-%d %H:%M:%S"), and back.
std::string FormatTimeStamp(std::span<const uint8_t> record, size_t offset,
                            const CTextService& texts);
bool ParseTimeStamp(std::span<uint8_t> record, size_t offset, std::string_view text,
                    const CTextService& texts);
inline constexpr FieldCodec kTimeStampCodec{&FormatTimeStamp, &ParseTimeStamp};

namespace detail {
using RadioInfoOffset = CRadioInfoBlock::Offset;
}  // namespace detail

inline constexpr FieldDef kRadioInfoFieldDefs[] = {
    field::Text("model_name", 1110, detail::RadioInfoOffset::kModelName,
                detail::RadioInfoOffset::kModelNameWidth)
        .SeenBy(kSeenByAll),
    field::Choice("band_flag", 4849, detail::RadioInfoOffset::kBandCode, 4850)
        .Bits(7, 1)
        .SeenBy(kSeenByFullService),
    field::Number("range_id", 4851, detail::RadioInfoOffset::kBandCode)
        .Bits(0, 7)
        .SeenBy(kSeenByFullService),
    field::Choice("signal_type", 4847, detail::RadioInfoOffset::kSignalType, 4848)
        .SeenBy(kSeenByFullService),
    field::Choice("language", 4855, detail::RadioInfoOffset::kLanguage, 4856).Hidden(),
    field::Raw("time_stamp", 1120, detail::RadioInfoOffset::kTimeStamp, kTimeStampSize)
        .Codec(&kTimeStampCodec),
    field::Frequency("lower_edge", 4818, detail::RadioInfoOffset::kLowerEdge)
        .SeenBy(kSeenByFullService),
    field::Frequency("upper_edge", 4820, detail::RadioInfoOffset::kUpperEdge)
        .SeenBy(kSeenByFullService),
    field::Text("serial_number", 1114, detail::RadioInfoOffset::kSerialNumber,
                detail::RadioInfoOffset::kSerialNumberWidth),
    field::Raw("factory_marker", 39301, detail::RadioInfoOffset::kMarker,
               detail::RadioInfoOffset::kMarkerWidth)
        .Hidden(),
    field::Text("model_id", 4857, detail::RadioInfoOffset::kModelId,
                detail::RadioInfoOffset::kModelIdWidth)
        .SeenBy(kSeenByServiceLevels),
};

inline constexpr FieldTable kRadioInfoFieldTable{"radio_info", 1109, CRadioInfoBlock::kRecordSize,
                                                 kRadioInfoFieldDefs};
static_assert(IsValidTable(kRadioInfoFieldTable));

}  // namespace rv
