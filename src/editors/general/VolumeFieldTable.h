#pragma once
// The fields of the volume record (CVolumeBlock, 14 bytes): byte k is a choice of list
// 4904 + 2k, labelled by text 4903 + 2k.

#include "data/FieldTable.h"
#include "editors/general/VolumeBlock.h"

namespace rv {

/// Keys of volume bytes 0 to 8.
inline constexpr std::string_view kVolumeKeys[kVolumeFieldCount] = {
    "min_volume", "max_volume", "alert_tone",   "emergency_alarm",  "power_on_tone",
    "key_tone",   "side_tone",  "warning_tone", "lone_worker_tone",
};

namespace detail {
constexpr FieldDef VolumeField(size_t k)
{
    return field::Choice(kVolumeKeys[k], CVolumeBlock::ListOf(k) - 1, static_cast<unsigned>(k),
                         CVolumeBlock::ListOf(k))
        .SeenBy(k == CVolumeBlock::Offset::kAlertTone ? kSeenByAll : uint8_t{kSeenByNone});
}
}  // namespace detail

inline constexpr FieldDef kVolumeFieldDefs[] = {
    detail::VolumeField(0), detail::VolumeField(1), detail::VolumeField(2),
    detail::VolumeField(3), detail::VolumeField(4), detail::VolumeField(5),
    detail::VolumeField(6), detail::VolumeField(7), detail::VolumeField(8),
};
static_assert(std::size(kVolumeFieldDefs) == kVolumeFieldCount);

inline constexpr FieldTable kVolumeFieldTable{"volume", 4900, CVolumeBlock::kRecordSize,
                                              kVolumeFieldDefs};
static_assert(IsValidTable(kVolumeFieldTable));

}  // namespace rv
