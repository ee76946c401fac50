#include "editors/emergency/EmergencyBlock.h"

#include <algorithm>
#include <cstdio>

#include "base/Settings.h"
#include "data/FieldBinding.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/emergency/EmergencyFieldTable.h"

namespace rv {

namespace {

using Off = CEmergencyBlock::Offset;

/// Emergency ID types with an encoding of their own.
enum class IdKind : uint8_t { Dtmf = 2, Hex = 3, Decimal = 4 };

/// Default record: every field, with the kept bits of bytes 2, 3, 15, 18 and 20 set.
constexpr uint8_t kDefaultRecord[CEmergencyBlock::kRecordSize] = {
    0x0A, 0x00, 0xF8, 0xE2, 0x00, 0x01, 0x02, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x0A, 0x0A, 0xF8,
    0x0A, 0x0A, 0xFE, 0x0A, 0xFF, 0x14, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

/// Number of DTMF digits a type-2 ID holds.
constexpr size_t kDtmfIdDigits = 4;
/// ID lengths of the other types.
constexpr uint8_t kHexIdLength = 4;
constexpr uint8_t kDecimalIdLength = 6;
constexpr uint8_t kOtherIdLength = 8;

/// The page's choice, number and flag members by field key.
constexpr FieldBinding<EmergencyFields> kEmergencyBinding[] = {
    {"long_press", &EmergencyFields::LongPressRaw},
    {"power_switch", &EmergencyFields::PowerSwitch},
    {"secret", &EmergencyFields::Secret},
    {"send_mode", &EmergencyFields::SendModeText},
    {"id_type", &EmergencyFields::IdTypeText},
    {"impolite_send_times", &EmergencyFields::ImpoliteText},
    {"polite_send_times", &EmergencyFields::PoliteText},
    {"alarm_mode", &EmergencyFields::AlarmModeText},
    {"alarm_cycles_mode", &EmergencyFields::AlarmCyclesModeText},
    {"alarm_cycles", &EmergencyFields::AlarmCyclesRaw},
    {"alarm_duration", &EmergencyFields::AlarmDurationRaw},
    {"voice_cycles_mode", &EmergencyFields::VoiceCyclesModeText},
    {"voice_cycles", &EmergencyFields::VoiceCyclesRaw},
    {"squelch_mode", &EmergencyFields::SquelchModeText},
    {"background_tone", &EmergencyFields::BackgroundTone},
    {"tx_duration", &EmergencyFields::TxDurationRaw},
    {"rx_duration", &EmergencyFields::RxDurationRaw},
};

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

CEmergencyBlock::CEmergencyBlock() : CQXTViewProc(kRecordSize, false)
{
    SetDefaults();
}

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
    if (HasSignalingSystem(IdType()) && signalingSystemId_ != 0 &&
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

std::string CEmergencyBlock::IdTextOf(std::span<const uint8_t> record)
{
    char text[16];
    const auto type =
        static_cast<IdKind>(GetBits(record[Off::kIdType], Off::kIdTypeFirstBit, Off::kIdTypeBits));
    switch (type) {
        case IdKind::Dtmf: {
            // The length byte may be anything after a bad load: never read past the ID bytes.
            const size_t count = std::min<size_t>(record[Off::kIdLength], Off::kIdWidth);
            std::string out;
            for (size_t i = 0; i < count; ++i) {
                std::snprintf(text, sizeof text, "%X", record[Off::kId + i]);
                out += text;
            }
            std::replace(out.begin(), out.end(), 'E', '*');
            std::replace(out.begin(), out.end(), 'F', '#');
            return out;
        }
        case IdKind::Hex:
            std::snprintf(text, sizeof text, "%04X", LimitHexId(GetU16(&record[Off::kId])));
            return text;
        case IdKind::Decimal:
            std::snprintf(text, sizeof text, "%02d%04X", record[Off::kId] % 16,
                          record[Off::kId + 2] * 256 + record[Off::kId + 1]);
            return text;
    }
    return {};
}

bool CEmergencyBlock::StoreIdText(std::span<uint8_t> record, std::string_view text)
{
    const auto type =
        static_cast<IdKind>(GetBits(record[Off::kIdType], Off::kIdTypeFirstBit, Off::kIdTypeBits));
    switch (type) {
        case IdKind::Dtmf: {
            // One DTMF key per byte, at most four keys; an empty ID keeps the digit bytes.
            if (text.size() > kDtmfIdDigits) return false;
            uint8_t codes[kDtmfIdDigits] = {};
            for (size_t i = 0; i < text.size(); ++i) {
                const char c = text[i];
                const bool key = (c >= '0' && c <= '9') || c == '*' || c == '#';
                if (!key) return false;
                codes[i] = DtmfDigitCode(c);
            }
            std::copy_n(codes, text.size(), &record[Off::kId]);
            record[Off::kIdLength] = static_cast<uint8_t>(text.size());
            return true;
        }
        case IdKind::Hex: {
            // Four hexadecimal digits, limited digit by digit as they are shown.
            if (text.empty() || text.size() > 4 ||
                text.find_first_not_of("0123456789ABCDEFabcdef") != std::string_view::npos)
                return false;
            const auto value = static_cast<uint16_t>(std::stoul(std::string(text), nullptr, 16));
            PutU16(&record[Off::kId], LimitHexId(value));
            return true;
        }
        case IdKind::Decimal: {
            // Two decimal digits (the low nibble of byte 4), then four hexadecimal digits.
            if (text.size() != kDecimalIdLength ||
                text.substr(0, 2).find_first_not_of("0123456789") != std::string_view::npos ||
                text.substr(2).find_first_not_of("0123456789ABCDEFabcdef") !=
                    std::string_view::npos)
                return false;
            const unsigned fleet = std::stoul(std::string(text.substr(0, 2)));
            if (fleet > 15) return false;
            record[Off::kId] = WithBits(record[Off::kId], 0, 4, fleet);
            PutU16(&record[Off::kId + 1],
                   static_cast<uint16_t>(std::stoul(std::string(text.substr(2)), nullptr, 16)));
            return true;
        }
    }
    return text.empty();
}

size_t CEmergencyBlock::IdCapacity(unsigned idType)
{
    switch (static_cast<IdKind>(idType)) {
        case IdKind::Dtmf:
            return kDtmfIdDigits;
        case IdKind::Hex:
            return kHexIdLength;
        case IdKind::Decimal:
            return kDecimalIdLength;
    }
    return 0;
}

bool CEmergencyBlock::HasSignalingSystem(unsigned idType)
{
    return idType == static_cast<unsigned>(IdKind::Dtmf);
}

CEmergencyBlock::IdInput CEmergencyBlock::FilterIdInput(unsigned idType, std::string_view typed)
{
    constexpr std::string_view kDtmfKeys = "0123456789*#";
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    constexpr std::string_view kDecimalDigits = "0123456789";
    constexpr size_t kFleetDigits = 2;
    const auto kind = static_cast<IdKind>(idType);
    const size_t capacity = IdCapacity(idType);
    IdInput in;
    for (char c : typed) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        std::string_view accepted;
        if (kind == IdKind::Dtmf)
            accepted = kDtmfKeys;
        else if (kind == IdKind::Hex)
            accepted = kHexDigits;
        else if (kind == IdKind::Decimal)
            accepted = in.text.size() < kFleetDigits ? kDecimalDigits : kHexDigits;
        if (accepted.find(c) == std::string_view::npos) {
            in.refused = true;
            continue;
        }
        if (in.text.size() >= capacity) {
            in.cut = true;
            continue;
        }
        in.text += c;
    }
    return in;
}

std::string CEmergencyBlock::NormaliseId(unsigned idType, std::string_view text)
{
    std::string id = FilterIdInput(idType, text).text;
    char out[16];
    switch (static_cast<IdKind>(idType)) {
        case IdKind::Hex: {
            const unsigned long value = id.empty() ? 0 : std::stoul(id, nullptr, 16);
            std::snprintf(out, sizeof out, "%04X", LimitHexId(static_cast<uint16_t>(value)));
            return out;
        }
        case IdKind::Decimal: {
            if (id.size() < kDecimalIdLength) return "000001";
            const unsigned fleet =
                std::min(15u, static_cast<unsigned>(std::stoul(id.substr(0, 2))));
            std::snprintf(out, sizeof out, "%02u", fleet);
            return out + id.substr(2);
        }
        default:
            return id;
    }
}

std::string CEmergencyBlock::IdText() const
{
    return IdTextOf(record_.Bytes());
}

EmergencyFields CEmergencyBlock::ToFields(const CTextService& texts) const
{
    RadioData& radio = Radio();
    EmergencyFields f;
    ReadBound<EmergencyFields>(kEmergencyFieldTable, kEmergencyBinding, record_.Bytes(), texts, f);
    if (revertChannelId_ == 0) {
        f.RevertChannel = 0;
    } else {
        const size_t number = radio.ChannelNumberOf(revertChannelId_);
        const bool used = number != 0 && radio.Channels()[number - 1]->used_;
        f.RevertChannel = used ? static_cast<uint8_t>(number) : 0xFF;
    }
    f.SignalingIndex =
        HasSignalingSystem(IdType()) ? UsedPositionOf(radio.DtmfSystems(), signalingSystemId_) : -1;
    std::copy_n(Record() + Off::kId, Off::kIdWidth, f.IdBytes.begin());
    switch (static_cast<IdKind>(IdType())) {
        case IdKind::Dtmf:
            f.IdLength = record_[Off::kIdLength];
            break;
        case IdKind::Hex:
            f.IdLength = kHexIdLength;
            break;
        case IdKind::Decimal:
            f.IdLength = kDecimalIdLength;
            break;
        default:
            f.IdLength = kOtherIdLength;
            break;
    }
    f.LocalRecord = false;
    f.IdText = IdText();
    return f;
}

EmergencyFields CEmergencyBlock::ToFields() const
{
    return ToFields(Settings());
}

void CEmergencyBlock::FromFields(const EmergencyFields& f, const CTextService& texts)
{
    RadioData& radio = Radio();
    // The choice, number and flag fields by the table (a text not in its list keeps its bits).
    WriteBound<EmergencyFields>(kEmergencyFieldTable, kEmergencyBinding, f, BytesOf(record_),
                                texts);

    // Revert channel: 0 = none, k = channel k. Without a selection (the chosen channel was
    // deleted) the stored number and the link stay as they are, so the invalid log keeps
    // reporting the broken reference instead of the record naming channel 255.
    if (f.RevertChannel == 0) {
        record_[Off::kRevertChannel] = 0;
        revertChannelId_ = 0;
    } else if (f.RevertChannel != 0xFF) {
        record_[Off::kRevertChannel] = f.RevertChannel;
        const auto& channels = radio.Channels();
        revertChannelId_ =
            f.RevertChannel <= channels.size() && channels[f.RevertChannel - 1]->used_
                ? channels[f.RevertChannel - 1]->id_
                : 0;
    }

    // Bits 3-4 follow the signalling box only while it has a selection; else kept.
    if (f.SignalingIndex >= 0)
        record_.SetBits(Off::kIdType, Off::kSignalingFirstBit, Off::kSignalingBits,
                        static_cast<unsigned>(f.SignalingIndex) % 4);

    const unsigned type = IdType();
    std::copy(f.IdBytes.begin(), f.IdBytes.end(), Record() + Off::kId);
    uint8_t idLength = kOtherIdLength;
    if (f.IdTypeText == texts.LoadText(kIdTypeDtmfText) && !f.IdTypeText.empty()) {
        // One DTMF key per byte, at most four keys.
        const std::string keys = FilterIdInput(static_cast<unsigned>(IdKind::Dtmf), f.IdText).text;
        const size_t n = keys.size();
        for (size_t i = 0; i < n; ++i) record_[Off::kId + i] = DtmfDigitCode(keys[i]);
        idLength = static_cast<uint8_t>(n);
    } else if (type == static_cast<unsigned>(IdKind::Dtmf)) {
        idLength = static_cast<uint8_t>(std::min<size_t>(f.IdLength, kDtmfIdDigits));
    } else if (type == static_cast<unsigned>(IdKind::Hex) ||
               type == static_cast<unsigned>(IdKind::Decimal)) {
        // The ID typed for these types is packed as it is shown, so that it comes back the
        // same; an empty text keeps the stored ID.
        idLength = static_cast<uint8_t>(IdCapacity(type));
        if (!f.IdText.empty()) StoreIdText(BytesOf(record_), NormaliseId(type, f.IdText));
    }
    record_[Off::kIdLength] = idLength;
}

void CEmergencyBlock::FromFields(const EmergencyFields& f)
{
    FromFields(f, Settings());
}

uint8_t CEmergencyBlock::IdLengthFor(unsigned idType, std::string_view idText)
{
    switch (static_cast<IdKind>(idType)) {
        case IdKind::Dtmf:
            return static_cast<uint8_t>(std::min(idText.size(), kDtmfIdDigits));
        case IdKind::Hex:
            return kHexIdLength;
        case IdKind::Decimal:
            return kDecimalIdLength;
    }
    return kOtherIdLength;
}

namespace {

/// The numbers of the used items of a list ("1, 2, 5"; "-" when none).
template <class T>
std::string UsedNumbers(const ItemList<T>& list)
{
    std::string out;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->used_) out += (out.empty() ? "" : ", ") + std::to_string(i + 1);
    return out.empty() ? "-" : out;
}

/// A whole number from 1 up, and nothing else.
std::optional<size_t> ItemNumberOf(std::string_view text)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    const size_t n = std::stoul(std::string(text));
    return n == 0 ? std::nullopt : std::optional<size_t>(n);
}

}  // namespace

EditResult EditEmergencyField(CEmergencyBlock& block, std::string_view key, std::string_view text,
                              const CTextService& texts)
{
    RadioData& radio = Radio();
    const std::string prefix = RecordPrefix(kEmergencyFieldTable.name, 0);
    const auto target = TargetOf(kEmergencyFieldTable, key, prefix);
    if (!target) return EditResult::Refused(EditMessage::kBadValue, {prefix + std::string(key)});
    const auto record = BytesOf(block.Raw());
    const std::string before = GetText(target->field, record, texts);
    if (text == before) return {};
    EditResult result;

    if (key == "revert_channel") {
        const std::string none = texts.LoadText(CEmergencyBlock::kRevertChannelId);
        if (text == none || text.empty() || text == "0") {
            record[Off::kRevertChannel] = 0;
            block.SetRevertChannelId(0);
        } else {
            const auto n = ItemNumberOf(text);
            const auto& channels = radio.Channels();
            if (!n || *n > channels.size() || !channels[*n - 1]->used_)
                return EditResult::Refused(EditMessage::kNoChannel,
                                           {target->name, std::string(text), UsedNumbers(channels)});
            record[Off::kRevertChannel] = static_cast<uint8_t>(*n);
            block.SetRevertChannelId(channels[*n - 1]->id_);
        }
        NoteChange(result, target->name, before, GetText(target->field, record, texts), 0);
        return result;
    }
    if (key == "signaling_system") {
        const auto n = ItemNumberOf(text);
        const auto& systems = radio.DtmfSystems();
        if (!CEmergencyBlock::HasSignalingSystem(block.IdType()) || !n || *n > systems.size() ||
            *n > 4 || !systems[*n - 1]->used_)
            return EditResult::Refused(EditMessage::kNoDtmfSystem,
                                       {target->name, std::string(text), UsedNumbers(systems)});
        block.Raw().SetBits(Off::kIdType, Off::kSignalingFirstBit, Off::kSignalingBits,
                            static_cast<unsigned>(*n - 1));
        block.SetSignalingSystemId(systems[*n - 1]->id_);
        NoteChange(result, target->name, before, GetText(target->field, record, texts), 0);
        return result;
    }

    const std::string idBefore = block.IdText();
    const auto idLength = FindField(kEmergencyFieldTable, "id_length");
    const std::string lengthBefore = GetText(*idLength, record, texts);
    result = EditPlainField(*target, record, text, texts);
    if (!result.Ok() || result.changes.empty()) return result;
    const unsigned type = block.IdType();
    if (key == "id") {
        // The ID as stored may differ from the text (letters, digits limited by the type).
        if (result.changes.front().after != text) result.changes.front().reason = EditReason::kIdTypeLimits;
        record[Off::kIdLength] = CEmergencyBlock::IdLengthFor(type, block.IdText());
        NoteChange(result, prefix + "id_length", lengthBefore, GetText(*idLength, record, texts),
                   EditReason::kFollowsIdType);
    } else if (key == "id_type") {
        // The ID takes the new type's characters and length, as the view re-fits it.
        const std::string id = CEmergencyBlock::NormaliseId(
            type, CEmergencyBlock::FilterIdInput(type, idBefore).text);
        CEmergencyBlock::StoreIdText(record, id);
        record[Off::kIdLength] = CEmergencyBlock::IdLengthFor(type, id);
        NoteChange(result, prefix + "id", idBefore, block.IdText(), EditReason::kFollowsIdType);
        NoteChange(result, prefix + "id_length", lengthBefore, GetText(*idLength, record, texts),
                   EditReason::kFollowsIdType);
        const EmergencyEnables e = EmergencyEnableRules(0, 0, 0, static_cast<int>(type));
        if (e.sendMode >= 0) {
            const auto sendMode = FindField(kEmergencyFieldTable, "send_mode");
            const std::string was = GetText(*sendMode, record, texts);
            SetValue(*sendMode, record, FieldValue{static_cast<uint32_t>(e.sendMode)});
            NoteChange(result, prefix + "send_mode", was, GetText(*sendMode, record, texts),
                       EditReason::kFollowsIdType);
        }
        // A DTMF ID is sent with a DTMF system: the first in use when none is chosen.
        if (CEmergencyBlock::HasSignalingSystem(type) &&
            !UsedItemExists(radio.DtmfSystems(), block.SignalingSystemId())) {
            const auto& systems = radio.DtmfSystems();
            for (size_t i = 0; i < systems.size() && i < 4; ++i) {
                if (!systems[i]->used_) continue;
                const auto system = FindField(kEmergencyFieldTable, "signaling_system");
                const std::string was = GetText(*system, record, texts);
                block.Raw().SetBits(Off::kIdType, Off::kSignalingFirstBit, Off::kSignalingBits,
                                    static_cast<unsigned>(i));
                block.SetSignalingSystemId(systems[i]->id_);
                NoteChange(result, prefix + "signaling_system", was,
                           GetText(*system, record, texts), EditReason::kFollowsIdType);
                break;
            }
        }
        if (!CEmergencyBlock::HasSignalingSystem(type)) block.SetSignalingSystemId(0);
    }
    return result;
}

int RemovedIdTypePosition(int signalType)
{
    constexpr int kSelcallPosition = 3, kDtmfPosition = 2;
    return signalType == 1 ? kSelcallPosition : signalType == 2 ? kDtmfPosition : -1;
}

EmergencyEnables EmergencyEnableRules(int alarmMode, int alarmCyclesMode, int voiceCyclesMode,
                                      int idType)
{
    constexpr int kSetNumber = 2;  // cycles modes: "set number" enables the count
    EmergencyEnables e;
    const bool alarm = alarmMode > 0;
    e.alarmDuration = e.alarmCyclesMode = alarm;
    e.alarmCycles = alarm && alarmCyclesMode == kSetNumber;
    const bool voice = voiceCyclesMode > 0;
    e.squelchMode = e.txDuration = e.rxDuration = e.backgroundTone = voice;
    e.voiceCycles = voice && voiceCyclesMode == kSetNumber;
    const bool anyId = idType > 0;
    e.impolite = e.id = anyId;
    // The signalling system belongs to the DTMF ID alone.
    e.signalingSystem = CEmergencyBlock::HasSignalingSystem(static_cast<unsigned>(idType));
    // An alarm tone alone is sent impolitely; an ID may wait politely for a free channel.
    e.polite = idType > 1;
    if (anyId) e.sendMode = idType == 1 ? 0 : 1;
    return e;
}

}  // namespace rv
