#include "editors/emergency/EmergencyBlock.h"

#include <algorithm>
#include <cstdio>

#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "base/Settings.h"

namespace rv {

namespace {

using Off = CEmergencyBlock::Offset;

/// Emergency ID types with an encoding of their own.
enum class IdKind : uint8_t { Dtmf = 2, Hex = 3, Decimal = 4 };

/// Default record: every field, with the kept bits of bytes 2, 3, 15, 18 and 20 set.
constexpr uint8_t kDefaultRecord[CEmergencyBlock::kRecordSize] = {
    0x0A, 0x00, 0xF8, 0xE2, 0x00, 0x01, 0x02, 0x03, 0xFF, 0xFF, 0xFF,
    0xFF, 0x04, 0x0A, 0x0A, 0xF8, 0x0A, 0x0A, 0xFE, 0x0A, 0xFF, 0x14,
    0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

/// Number of DTMF digits a type-2 ID holds.
constexpr size_t kDtmfIdDigits = 4;
/// ID lengths of the other types.
constexpr uint8_t kHexIdLength = 4;
constexpr uint8_t kDecimalIdLength = 6;
constexpr uint8_t kOtherIdLength = 8;

unsigned Masked(int value, unsigned bits) { return static_cast<unsigned>(value) & ((1u << bits) - 1u); }

std::string ChoiceText(int list, unsigned value)
{
    return Settings().GetChoiceText(list, static_cast<int>(value));
}

int ChoiceValue(int list, const std::string& text) { return Settings().GetChoiceValue(list, text); }

/// The value of a DTMF key: 0-9, A-D, * = 0xE, # = 0xF (anything else 0).
uint8_t DtmfDigitCode(char c)
{
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c == '*') return 0xE;
    if (c == '#') return 0xF;
    if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
    return 0;
}

/// True when a used item of the list has this identity.
template <class T>
bool UsedItemExists(const ItemList<T>& list, uint32_t id)
{
    return std::any_of(list.begin(), list.end(),
                       [id](const auto& item) { return item->used_ && item->id_ == id; });
}

/// Position of the identity among the used items of the list (as a combo box lists them);
/// -1 when none.
template <class T>
int UsedPositionOf(const ItemList<T>& list, uint32_t id)
{
    int position = 0;
    for (const auto& item : list) {
        if (!item->used_) continue;
        if (item->id_ == id) return position;
        ++position;
    }
    return -1;
}

}  // namespace

CEmergencyBlock::CEmergencyBlock() : CQXTViewProc(kRecordSize, false) { SetDefaults(); }

void CEmergencyBlock::SetDefaults()
{
    record_.CopyFrom(kDefaultRecord);
    revertChannelId_ = 0;
    signalingSystemId_ = 0;
}

uint8_t CEmergencyBlock::IdType() const
{
    return static_cast<uint8_t>(record_.Bits(Off::kIdType, Off::kIdTypeFirstBit, Off::kIdTypeBits));
}

uint8_t CEmergencyBlock::SignalingIndex() const
{
    return static_cast<uint8_t>(
        record_.Bits(Off::kIdType, Off::kSignalingFirstBit, Off::kSignalingBits));
}

void CEmergencyBlock::ResolveLinks()
{
    RadioData& radio = Radio();
    const auto& channels = radio.Channels();
    const uint8_t number = record_[Off::kRevertChannel];
    revertChannelId_ = 0;
    if (number >= 1 && number <= channels.size() && channels[number - 1]->used_)
        revertChannelId_ = channels[number - 1]->id_;
    signalingSystemId_ = radio.DtmfSystemIdAt(IdType(), SignalingIndex());
}

void CEmergencyBlock::OnNotice(const NoticeRecord& notice)
{
    if (notice.code != NoticeCode::Deleted) return;
    RadioData& radio = Radio();
    const CSettings& s = Settings();

    if (revertChannelId_ != 0) {
        if (UsedItemExists(radio.Channels(), revertChannelId_)) {
            // Deleting a channel renumbers the ones behind it: keep the stored number on the
            // channel the user chose, so the image never names another channel.
            record_[Off::kRevertChannel] =
                static_cast<uint8_t>(radio.ChannelNumberOf(revertChannelId_));
        } else {
            NoticeRecord entry;
            entry.code = notice.code;
            entry.name = s.LoadText(kRevertChannelNameId);
            entry.message = s.LoadText(kPageTextId);
            entry.itemTextId = kRevertChannelId;
            entry.key = id_ + kRevertChannelKey;
            radio.InvalidLog().Add(entry);
        }
    }
    if (IdType() == static_cast<uint8_t>(IdKind::Dtmf) && signalingSystemId_ != 0 &&
        !UsedItemExists(radio.DtmfSystems(), signalingSystemId_)) {
        NoticeRecord entry;
        entry.code = notice.code;
        entry.name = s.LoadText(kSignalingNameId);
        entry.message = s.LoadText(kPageTextId);
        entry.itemTextId = kSignalingId;
        entry.key = id_ + kSignalingKey;
        radio.InvalidLog().Add(entry);
    }
}

void CEmergencyBlock::WithdrawNotices()
{
    CInvalidLog& log = Radio().InvalidLog();
    log.Withdraw(id_ + kRevertChannelKey);
    log.Withdraw(id_ + kSignalingKey);
}

uint16_t CEmergencyBlock::LimitHexId(uint16_t value)
{
    // Top digit at most D, the three others at most E.
    unsigned result = 0;
    for (unsigned digit = 0; digit < 4; ++digit) {
        const unsigned limit = digit == 3 ? 0xD : 0xE;
        const unsigned nibble = std::min((value >> (4 * digit)) & 0xFu, limit);
        result |= nibble << (4 * digit);
    }
    return static_cast<uint16_t>(result == 0 ? 1 : result);
}

std::string CEmergencyBlock::IdText() const
{
    char text[16];
    switch (static_cast<IdKind>(IdType())) {
    case IdKind::Dtmf: {
        // The length byte may be anything after a bad load: never read past the ID bytes.
        const size_t count = std::min<size_t>(record_[Off::kIdLength], Off::kIdWidth);
        std::string out;
        for (size_t i = 0; i < count; ++i) {
            std::snprintf(text, sizeof text, "%X", record_[Off::kId + i]);
            out += text;
        }
        std::replace(out.begin(), out.end(), 'E', '*');
        std::replace(out.begin(), out.end(), 'F', '#');
        return out;
    }
    case IdKind::Hex:
        std::snprintf(text, sizeof text, "%04X", LimitHexId(record_.U16(Off::kId)));
        return text;
    case IdKind::Decimal:
        std::snprintf(text, sizeof text, "%02d%04X", record_[Off::kId] % 16,
                      record_[Off::kId + 2] * 256 + record_[Off::kId + 1]);
        return text;
    }
    return {};
}

EmergencyFields CEmergencyBlock::ToFields() const
{
    RadioData& radio = Radio();
    EmergencyFields f;
    f.LongPressRaw = record_[Off::kLongPress];
    if (revertChannelId_ == 0) {
        f.RevertChannel = 0;
    } else {
        const size_t number = radio.ChannelNumberOf(revertChannelId_);
        const bool used = number != 0 && radio.Channels()[number - 1]->used_;
        f.RevertChannel = used ? static_cast<uint8_t>(number) : 0xFF;
    }
    f.PowerSwitch = record_.Bit(Off::kFlags, Off::kPowerSwitchBit);
    f.Secret = record_.Bit(Off::kFlags, Off::kSecretBit);
    f.SendModeText = ChoiceText(kSendModeList, record_.Bits(Off::kFlags, Off::kSendModeBit, 1));
    f.IdTypeText = ChoiceText(kIdTypeList, IdType());
    f.SignalingIndex = IdType() == static_cast<uint8_t>(IdKind::Dtmf)
                           ? UsedPositionOf(radio.DtmfSystems(),
                                            signalingSystemId_)
                           : -1;
    std::copy_n(Record() + Off::kId, Off::kIdWidth, f.IdBytes.begin());
    switch (static_cast<IdKind>(IdType())) {
    case IdKind::Dtmf: f.IdLength = record_[Off::kIdLength]; break;
    case IdKind::Hex: f.IdLength = kHexIdLength; break;
    case IdKind::Decimal: f.IdLength = kDecimalIdLength; break;
    default: f.IdLength = kOtherIdLength; break;
    }
    f.ImpoliteText = ChoiceText(kImpoliteList, record_[Off::kImpolite]);
    f.PoliteText = ChoiceText(kPoliteList, record_[Off::kPolite]);
    f.AlarmModeText = ChoiceText(kAlarmModeList, record_.Bits(Off::kAlarmModes, Off::kAlarmModeFirstBit, 2));
    f.AlarmCyclesModeText = ChoiceText(
        kAlarmCyclesModeList, record_.Bits(Off::kAlarmModes, Off::kAlarmCyclesModeFirstBit, 2));
    f.AlarmCyclesRaw = record_[Off::kAlarmCycles];
    f.AlarmDurationRaw = record_[Off::kAlarmDuration];
    f.VoiceCyclesModeText = ChoiceText(kVoiceCyclesModeList, record_.Bits(Off::kVoiceCyclesMode, 0, 2));
    f.VoiceCyclesRaw = record_[Off::kVoiceCycles];
    f.SquelchModeText = ChoiceText(kSquelchModeList, record_.Bits(Off::kSquelch, Off::kSquelchModeFirstBit, 2));
    f.BackgroundTone = record_.Bit(Off::kSquelch, Off::kBackgroundToneBit);
    f.TxDurationRaw = record_[Off::kTxDuration];
    f.RxDurationRaw = record_[Off::kRxDuration];
    f.LocalRecord = false;
    f.IdText = IdText();
    return f;
}

void CEmergencyBlock::FromFields(const EmergencyFields& f)
{
    RadioData& radio = Radio();
    const CSettings& s = Settings();
    record_[Off::kLongPress] = f.LongPressRaw;

    // Revert channel: 0 = none, k = channel k. Without a selection (the chosen channel was
    // deleted) the stored number and the link stay as they are, so the invalid log keeps
    // reporting the broken reference instead of the record naming channel 255.
    if (f.RevertChannel == 0) {
        record_[Off::kRevertChannel] = 0;
        revertChannelId_ = 0;
    } else if (f.RevertChannel != 0xFF) {
        record_[Off::kRevertChannel] = f.RevertChannel;
        const auto& channels = radio.Channels();
        revertChannelId_ = f.RevertChannel <= channels.size() && channels[f.RevertChannel - 1]->used_
                               ? channels[f.RevertChannel - 1]->id_
                               : 0;
    }

    record_.SetBit(Off::kFlags, Off::kPowerSwitchBit, f.PowerSwitch);
    record_.SetBit(Off::kFlags, Off::kSecretBit, f.Secret);
    record_.SetBits(Off::kFlags, Off::kSendModeBit, 1, Masked(ChoiceValue(kSendModeList, f.SendModeText), 1));
    const unsigned type = Masked(ChoiceValue(kIdTypeList, f.IdTypeText), Off::kIdTypeBits);
    record_.SetBits(Off::kIdType, Off::kIdTypeFirstBit, Off::kIdTypeBits, type);
    // Bits 3-4 follow the signalling box only while it has a selection; else kept.
    if (f.SignalingIndex >= 0)
        record_.SetBits(Off::kIdType, Off::kSignalingFirstBit, Off::kSignalingBits,
                        static_cast<unsigned>(f.SignalingIndex) % 4);

    std::copy(f.IdBytes.begin(), f.IdBytes.end(), Record() + Off::kId);
    uint8_t idLength = kOtherIdLength;
    if (f.IdTypeText == s.LoadText(kIdTypeDtmfText) && !f.IdTypeText.empty()) {
        // One DTMF key per byte, at most four keys.
        const size_t n = std::min(f.IdText.size(), kDtmfIdDigits);
        for (size_t i = 0; i < n; ++i) record_[Off::kId + i] = DtmfDigitCode(f.IdText[i]);
        idLength = static_cast<uint8_t>(n);
    } else if (type == static_cast<unsigned>(IdKind::Dtmf)) {
        idLength = static_cast<uint8_t>(std::min<size_t>(f.IdLength, kDtmfIdDigits));
    } else if (type == static_cast<unsigned>(IdKind::Hex)) {
        idLength = kHexIdLength;
    } else if (type == static_cast<unsigned>(IdKind::Decimal)) {
        idLength = kDecimalIdLength;
    }
    record_[Off::kIdLength] = idLength;

    record_[Off::kImpolite] = static_cast<uint8_t>(ChoiceValue(kImpoliteList, f.ImpoliteText));
    record_[Off::kPolite] = static_cast<uint8_t>(ChoiceValue(kPoliteList, f.PoliteText));
    record_.SetBits(Off::kAlarmModes, Off::kAlarmModeFirstBit, 2,
                    Masked(ChoiceValue(kAlarmModeList, f.AlarmModeText), 2));
    record_.SetBits(Off::kAlarmModes, Off::kAlarmCyclesModeFirstBit, 2,
                    Masked(ChoiceValue(kAlarmCyclesModeList, f.AlarmCyclesModeText), 2));
    record_[Off::kAlarmCycles] = f.AlarmCyclesRaw;
    record_[Off::kAlarmDuration] = f.AlarmDurationRaw;
    record_.SetBits(Off::kVoiceCyclesMode, 0, 2,
                    Masked(ChoiceValue(kVoiceCyclesModeList, f.VoiceCyclesModeText), 2));
    record_[Off::kVoiceCycles] = f.VoiceCyclesRaw;
    record_.SetBits(Off::kSquelch, Off::kSquelchModeFirstBit, 2,
                    Masked(ChoiceValue(kSquelchModeList, f.SquelchModeText), 2));
    record_.SetBit(Off::kSquelch, Off::kBackgroundToneBit, f.BackgroundTone);
    record_[Off::kTxDuration] = f.TxDurationRaw;
    record_[Off::kRxDuration] = f.RxDurationRaw;
}

}  // namespace rv
