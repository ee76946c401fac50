#pragma once
// The fields of the emergency record (CEmergencyBlock, 32 bytes).

#include "data/FieldTable.h"
#include "editors/common/FieldEdit.h"
#include "editors/emergency/EmergencyBlock.h"

namespace rv {

/// The emergency ID as its page shows it for the record's ID type, and back.
std::string FormatEmergencyId(std::span<const uint8_t> record, size_t offset,
                              const CTextService& texts);
bool ParseEmergencyId(std::span<uint8_t> record, size_t offset, std::string_view text,
                      const CTextService& texts);
/// What the emergency ID takes for the record's ID type.
std::string EmergencyIdHint(std::span<const uint8_t> record, size_t offset,
                            const CTextService& texts);
inline constexpr FieldCodec kEmergencyIdCodec{&FormatEmergencyId, &ParseEmergencyId,
                                              &EmergencyIdHint};

namespace detail {
using EmergencyOffset = CEmergencyBlock::Offset;
}  // namespace detail

inline constexpr FieldDef kEmergencyFieldDefs[] = {
    field::Number("long_press", 7306, detail::EmergencyOffset::kLongPress, 7307).Hidden(),
    field::Item("revert_channel", CEmergencyBlock::kRevertChannelNameId,
                detail::EmergencyOffset::kRevertChannel, 1, 0)
        .NoneText(CEmergencyBlock::kRevertChannelId),
    field::Flag("power_switch", 7349, detail::EmergencyOffset::kFlags,
                detail::EmergencyOffset::kPowerSwitchBit),
    field::Flag("secret", 7350, detail::EmergencyOffset::kFlags,
                detail::EmergencyOffset::kSecretBit)
        .Hidden(),
    field::Choice("send_mode", 7311, detail::EmergencyOffset::kFlags,
                  CEmergencyBlock::kSendModeList)
        .Bits(detail::EmergencyOffset::kSendModeBit, 1),
    field::Choice("id_type", 7313, detail::EmergencyOffset::kIdType, CEmergencyBlock::kIdTypeList)
        .Bits(detail::EmergencyOffset::kIdTypeFirstBit, detail::EmergencyOffset::kIdTypeBits),
    field::Item("signaling_system", CEmergencyBlock::kSignalingNameId,
                detail::EmergencyOffset::kIdType, 0, kNoNoneValue)
        .Bits(detail::EmergencyOffset::kSignalingFirstBit, detail::EmergencyOffset::kSignalingBits),
    field::Raw("id", 7319, detail::EmergencyOffset::kId, detail::EmergencyOffset::kIdWidth)
        .Codec(&kEmergencyIdCodec),
    field::Number("id_length", 39315, detail::EmergencyOffset::kIdLength)
        .Hidden()
        .Derived(EditReason::kEmergencyId),
    field::Choice("impolite_send_times", 7321, detail::EmergencyOffset::kImpolite,
                  CEmergencyBlock::kImpoliteList),
    field::Choice("polite_send_times", 7323, detail::EmergencyOffset::kPolite,
                  CEmergencyBlock::kPoliteList),
    field::Choice("alarm_mode", 7325, detail::EmergencyOffset::kAlarmModes,
                  CEmergencyBlock::kAlarmModeList)
        .Bits(detail::EmergencyOffset::kAlarmModeFirstBit, 2),
    field::Choice("alarm_cycles_mode", 7330, detail::EmergencyOffset::kAlarmModes,
                  CEmergencyBlock::kAlarmCyclesModeList)
        .Bits(detail::EmergencyOffset::kAlarmCyclesModeFirstBit, 2),
    field::Number("alarm_cycles", 7332, detail::EmergencyOffset::kAlarmCycles, 7333),
    field::Number("alarm_duration", 7327, detail::EmergencyOffset::kAlarmDuration, 7328),
    field::Choice("voice_cycles_mode", 7335, detail::EmergencyOffset::kVoiceCyclesMode,
                  CEmergencyBlock::kVoiceCyclesModeList)
        .Bits(0, 2),
    field::Number("voice_cycles", 7337, detail::EmergencyOffset::kVoiceCycles, 7338),
    field::Choice("squelch_mode", 7340, detail::EmergencyOffset::kSquelch,
                  CEmergencyBlock::kSquelchModeList)
        .Bits(detail::EmergencyOffset::kSquelchModeFirstBit, 2),
    field::Flag("background_tone", 7348, detail::EmergencyOffset::kSquelch,
                detail::EmergencyOffset::kBackgroundToneBit)
        .Hidden(),
    field::Number("tx_duration", 7342, detail::EmergencyOffset::kTxDuration, 7343),
    field::Number("rx_duration", 7345, detail::EmergencyOffset::kRxDuration, 7346),
};

inline constexpr FieldTable kEmergencyFieldTable{"emergency", CEmergencyBlock::kPageTextId,
                                                 CEmergencyBlock::kRecordSize, kEmergencyFieldDefs};
static_assert(IsValidTable(kEmergencyFieldTable));

}  // namespace rv
