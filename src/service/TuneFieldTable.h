#pragma once
// The fields of the tuning record (CTuneBlock, 192 bytes): one byte per tuning item (keys
// "item_<item number in hexadecimal>"), and the base-band parameters of the Base Band
// screen's transmit and receive pages (keys by the control that shows them). Service levels
// only.

#include "data/FieldTable.h"
#include "service/TuneBlock.h"

namespace rv {

namespace detail {
constexpr unsigned kBaseBand = CTuneBlock::Offset::kBaseBand;
/// A base-band choice of control `id` (its list has the same number; its label is id - 1).
constexpr FieldDef BaseBandChoice(std::string_view key, int id, unsigned offset, unsigned first,
                                  unsigned bits)
{
    return field::Choice(key, id - 1, offset, id).Bits(first, bits).SeenBy(kSeenByServiceLevels);
}
constexpr FieldDef BaseBandSwitch(std::string_view key, int id, unsigned offset, unsigned bit)
{
    return field::Flag(key, id, offset, bit).SeenBy(kSeenByServiceLevels);
}
}  // namespace detail

inline constexpr FieldDef kTuneFieldDefs[] = {
    field::Number("item", 39350, CTuneBlock::Offset::kItems)
        .Repeat(kTuneItemCount, 1)
        .Suffixes(kTuneItems.data())
        .SeenBy(kSeenByServiceLevels),
    detail::BaseBandSwitch("base_band_tune", 7111, detail::kBaseBand, 0),
    detail::BaseBandChoice("tx_7116", 7116, detail::kBaseBand + 1, 0, 3),
    detail::BaseBandChoice("tx_7120", 7120, detail::kBaseBand + 1, 3, 1),
    detail::BaseBandChoice("tx_7123", 7123, detail::kBaseBand + 2, 1, 4),
    detail::BaseBandChoice("tx_7125", 7125, detail::kBaseBand + 2, 5, 3),
    detail::BaseBandSwitch("tx_7126", 7126, detail::kBaseBand + 3, 0),
    detail::BaseBandSwitch("tx_7127", 7127, detail::kBaseBand + 3, 1),
    detail::BaseBandSwitch("tx_7144", 7144, detail::kBaseBand + 3, 2),
    detail::BaseBandSwitch("tx_7145", 7145, detail::kBaseBand + 3, 3),
    detail::BaseBandChoice("tx_7141", 7141, detail::kBaseBand + 4, 0, 3),
    detail::BaseBandChoice("tx_7133", 7133, detail::kBaseBand + 5, 0, 8),
    detail::BaseBandChoice("tx_7135", 7135, detail::kBaseBand + 6, 0, 8),
    detail::BaseBandChoice("tx_7137", 7137, detail::kBaseBand + 7, 0, 2),
    detail::BaseBandChoice("tx_7139", 7139, detail::kBaseBand + 7, 2, 2),
    detail::BaseBandChoice("rx_7116", 7116, detail::kBaseBand + 12, 0, 3),
    detail::BaseBandChoice("rx_7118", 7118, detail::kBaseBand + 12, 4, 3),
    detail::BaseBandChoice("rx_7129", 7129, detail::kBaseBand + 13, 0, 3),
    detail::BaseBandChoice("rx_7131", 7131, detail::kBaseBand + 13, 3, 3),
    detail::BaseBandChoice("rx_7133", 7133, detail::kBaseBand + 14, 0, 8),
    detail::BaseBandChoice("rx_7135", 7135, detail::kBaseBand + 15, 0, 8),
    detail::BaseBandChoice("rx_7137", 7137, detail::kBaseBand + 16, 0, 2),
    detail::BaseBandChoice("rx_7125", 7125, detail::kBaseBand + 16, 5, 3),
};

inline constexpr FieldTable kTuneFieldTable{"tuning", 7002, CTuneBlock::kRecordSize,
                                            kTuneFieldDefs};
static_assert(IsValidTable(kTuneFieldTable));

}  // namespace rv
