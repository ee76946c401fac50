#pragma once
// The fields of a scan-list record (CScanData, 32 bytes). Channels are named by their 1-based
// number, 0xFF for none.

#include "data/FieldTable.h"
#include "editors/scan/ScanData.h"

namespace rv {

namespace detail {
/// A channel of the scan list: 1-based channel number, 0xFF none.
constexpr FieldDef ScanChannel(std::string_view key, int label, unsigned offset)
{
    return field::Item(key, label, offset, 1, 0xFF);
}
}  // namespace detail

inline constexpr FieldDef kScanFieldDefs[] = {
    field::Choice("entries", 3940, CScanData::Offset::Entries, 3943),
    field::Choice("ctcss_scan_mode", 3829, CScanData::Offset::ScanModes, 3830).Bits(1, 2),
    field::Choice("signaling_scan_mode", 3831, CScanData::Offset::ScanModes, 3832).Bits(3, 2),
    field::Choice("priority_1_mode", 3833, CScanData::Offset::Priority, 3834).Bits(0, 2),
    field::Flag("priority_1_delete_add", 3837, CScanData::Offset::Priority, 2),
    field::Choice("priority_2_mode", 3838, CScanData::Offset::Priority, 3839).Bits(3, 2),
    field::Flag("priority_2_delete_add", 3842, CScanData::Offset::Priority, 5),
    field::Choice("sweep_time", 3843, CScanData::Offset::SweepTime, 3844),
    detail::ScanChannel("priority_1_channel", CScanData::TextId::Priority1Name,
                        CScanData::Offset::Priority1Channel),
    detail::ScanChannel("priority_2_channel", CScanData::TextId::Priority2Name,
                        CScanData::Offset::Priority2Channel),
    field::Choice("tx_mode", 3845, CScanData::Offset::TxMode, 3846).Bits(0, 3),
    field::Flag("talkback", 3861, CScanData::Offset::TxMode, 3),
    detail::ScanChannel("designated_channel", CScanData::TextId::DesignatedName,
                        CScanData::Offset::Designated),
    field::Choice("hang_time", 3847, CScanData::Offset::HangTime, 3848),
    field::Flag("start_alert", 3855, CScanData::Offset::Alerts, 0),
    field::Flag("end_alert", 3856, CScanData::Offset::Alerts, 1),
    field::Flag("priority_alert", 3860, CScanData::Offset::Alerts, 2),
    field::Flag("include_current", 3857, CScanData::Offset::Alerts, 4),
    field::Flag("nuisance_delete", 3854, CScanData::Offset::Alerts, 7),
    field::Flag("nuisance_reset", 3853, CScanData::Offset::Nuisance, 0),
    field::Flag("carried_flag", 39310, CScanData::Offset::Nuisance, 1).Hidden(),
    detail::ScanChannel("member", CScanData::TextId::FirstMemberLabel, CScanData::Offset::Members)
        .Repeat(CScanData::kMembers, 1, 1),
};

inline constexpr FieldTable kScanFieldTable{"scan_list", CScanData::TextId::ScanView,
                                            CScanData::kRecordSize, kScanFieldDefs};
static_assert(IsValidTable(kScanFieldTable));

}  // namespace rv
