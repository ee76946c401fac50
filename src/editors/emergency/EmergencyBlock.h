#pragma once
// The emergency settings: what the emergency key does, the revert channel, the emergency ID
// and how often it is sent, the alarm and voice cycles and the emergency RX/TX periods.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/Notice.h"
#include "data/QXTViewProc.h"
#include "editors/common/FieldEdit.h"

namespace rv {

class CTextService;

/// Which controls of the emergency page take input, from the positions of the alarm mode, the
/// alarm cycles mode, the voice cycles mode and the ID type boxes (-1: no selection).
struct EmergencyEnables {
    bool alarmDuration = false, alarmCyclesMode = false, alarmCycles = false;
    bool voiceCycles = false, squelchMode = false, txDuration = false, rxDuration = false,
         backgroundTone = false;
    bool impolite = false, polite = false, signalingSystem = false, id = false;
    /// Position the send-mode box takes for the ID type (-1: left as it is).
    int sendMode = -1;
    bool operator==(const EmergencyEnables&) const = default;
};
EmergencyEnables EmergencyEnableRules(int alarmMode, int alarmCyclesMode, int voiceCyclesMode,
                                      int idType);
/// The position of the ID-type list (7314) that the radio's signalling type takes away: the
/// fourth entry (Selcall) for signalling type 1, the third (DTMF) for type 2; -1 for none.
int RemovedIdTypePosition(int signalType);

/// Text form of the emergency page.
struct EmergencyFields {
    uint8_t LongPressRaw = 0;
    uint8_t RevertChannel = 0;  ///< 1-based channel number; 0 none; 0xFF no selection
    bool PowerSwitch = false;
    bool Secret = false;
    std::string SendModeText;  ///< choice list 7312
    std::string IdTypeText;    ///< choice list 7314
    int SignalingIndex = -1;   ///< position in the signalling-system box; -1 no selection
    std::array<uint8_t, 8> IdBytes{};
    uint8_t IdLength = 0;
    std::string ImpoliteText;         ///< choice list 7322
    std::string PoliteText;           ///< choice list 7324
    std::string AlarmModeText;        ///< choice list 7326
    std::string AlarmCyclesModeText;  ///< choice list 7331
    uint8_t AlarmCyclesRaw = 0;
    uint8_t AlarmDurationRaw = 0;
    std::string VoiceCyclesModeText;  ///< choice list 7336
    uint8_t VoiceCyclesRaw = 0;
    std::string SquelchModeText;  ///< choice list 7341
    bool BackgroundTone = false;
    uint8_t TxDurationRaw = 0;
    uint8_t RxDurationRaw = 0;
    bool LocalRecord = false;  ///< shown on the page, never stored
    std::string IdText;        ///< the emergency ID as the page shows it
    bool operator==(const EmergencyFields&) const = default;
};

// EmergencyRecord, 32 bytes at image 592..623:
//
//   0      long-press duration (raw, one decimal)      1   revert channel (0 none, k = channel k)
//   2:     7..3 kept | 2 send mode | 1 secret | 0 power on/off switch
//   3:     7..5 kept | 4 3 signalling system index | 2 1 0 ID type
//   4..11  emergency ID (type 2: one DTMF digit code per byte)
//   12     ID length   13 impolite send times   14 polite send times
//   15:    7..4 kept | 3 2 alarm cycles mode | 1 0 alarm mode
//   16     alarm cycles   17 alarm duration [s]
//   18:    7..2 kept | 1 0 voice cycles mode     19  voice cycles
//   20:    7..3 kept | 2 background tone | 1 0 squelch mode
//   21     TX duration [s]   22 RX duration [s]   23..31 kept
class CEmergencyBlock;

/// The emergency record's edit function, with the rules of the emergency view: the revert
/// channel names a channel in use (or none) and the signalling system a DTMF system in use,
/// each linked at once; a new ID type re-fits the ID to the type's characters, sets the ID
/// length, the send mode (the first entry for Alarm Tone, the second for the other types) and,
/// for DTMF, a signalling system; the ID takes only what its type holds; the ID length follows
/// the ID and cannot be set.
EditResult EditEmergencyField(CEmergencyBlock& block, std::string_view key, std::string_view text,
                              const CTextService& texts);

class CEmergencyBlock : public CQXTViewProc {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 592;
    static constexpr size_t kRecordSize = 32;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kLongPress = 0;
        static constexpr size_t kRevertChannel = 1;
        static constexpr size_t kFlags = 2;
        static constexpr unsigned kPowerSwitchBit = 0;
        static constexpr unsigned kSecretBit = 1;
        static constexpr unsigned kSendModeBit = 2;
        static constexpr size_t kIdType = 3;
        static constexpr unsigned kIdTypeFirstBit = 0;
        static constexpr unsigned kIdTypeBits = 3;
        static constexpr unsigned kSignalingFirstBit = 3;
        static constexpr unsigned kSignalingBits = 2;
        static constexpr size_t kId = 4;
        static constexpr size_t kIdWidth = 8;
        static constexpr size_t kIdLength = 12;
        static constexpr size_t kImpolite = 13;
        static constexpr size_t kPolite = 14;
        static constexpr size_t kAlarmModes = 15;
        static constexpr unsigned kAlarmModeFirstBit = 0;
        static constexpr unsigned kAlarmCyclesModeFirstBit = 2;
        static constexpr size_t kAlarmCycles = 16;
        static constexpr size_t kAlarmDuration = 17;
        static constexpr size_t kVoiceCyclesMode = 18;
        static constexpr size_t kVoiceCycles = 19;
        static constexpr size_t kSquelch = 20;
        static constexpr unsigned kSquelchModeFirstBit = 0;
        static constexpr unsigned kBackgroundToneBit = 2;
        static constexpr size_t kTxDuration = 21;
        static constexpr size_t kRxDuration = 22;
        static constexpr size_t kReserved = 23;
    };
    static_assert(Offset::kId + Offset::kIdWidth == Offset::kIdLength);
    static_assert(Offset::kIdTypeFirstBit + Offset::kIdTypeBits == Offset::kSignalingFirstBit);
    static_assert(Offset::kReserved < kRecordSize);

    /// Text and control ids of the page and its fields.
    static constexpr uint32_t kPageTextId = 7300;
    static constexpr uint32_t kRevertChannelNameId = 7309;
    static constexpr uint32_t kRevertChannelId = 7310;
    static constexpr uint32_t kSignalingNameId = 7317;
    static constexpr uint32_t kSignalingId = 7318;
    static constexpr int kSendModeList = 7312;
    static constexpr int kIdTypeList = 7314;
    static constexpr int kImpoliteList = 7322;
    static constexpr int kPoliteList = 7324;
    static constexpr int kAlarmModeList = 7326;
    static constexpr int kAlarmCyclesModeList = 7331;
    static constexpr int kVoiceCyclesModeList = 7336;
    static constexpr int kSquelchModeList = 7341;
    /// Texts of the ID types 2 (DTMF), 3 and 4 in list 7314.
    static constexpr int kIdTypeDtmfText = 7358;
    static constexpr int kIdTypeHexText = 7359;
    static constexpr int kIdTypeDecimalText = 7360;
    /// Invalid-log keys (with id_ 0): 65535 + 7310 and 65535 + 7318.
    static constexpr uint32_t kRevertChannelKey = kInvalidKeyBase + kRevertChannelId;
    static constexpr uint32_t kSignalingKey = kInvalidKeyBase + kSignalingId;

    /// A record with the defaults (the block takes no identity).
    CEmergencyBlock();
    /// 0A 00 F8 E2 00 01 02 03 FF FF FF FF 04 0A 0A F8 0A 0A FE 0A FF 14 14 FF... and both
    /// resolved ids 0.
    void SetDefaults();

    /// Revert channel id from byte 1, signalling system id from the ID type and byte 3.
    void ResolveLinks() override;
    /// Code 5: logs the revert channel and signalling system when they no longer exist.
    void OnNotice(const NoticeRecord& notice) override;
    /// Withdraws both invalid-log entries.
    void WithdrawNotices() override;

    /// Identity of the revert channel, 0 when none.
    uint32_t RevertChannelId() const { return revertChannelId_; }
    void SetRevertChannelId(uint32_t id) { revertChannelId_ = id; }
    /// Identity of the signalling (DTMF) system, 0 when none.
    uint32_t SignalingSystemId() const { return signalingSystemId_; }
    void SetSignalingSystemId(uint32_t id) { signalingSystemId_ = id; }
    /// Emergency ID type (byte 3 bits 0-2).
    uint8_t IdType() const;
    /// Signalling system position (byte 3 bits 3-4).
    uint8_t SignalingIndex() const;

    /// The record as the page shows it (a stored value no entry has as its number).
    EmergencyFields ToFields(const CTextService& texts) const;
    EmergencyFields ToFields() const;  ///< with the program's texts
    /// The page's fields into the record (LocalRecord is not stored). A choice text that is
    /// not in its list, or that the record already shows, keeps the field's bits.
    void FromFields(const EmergencyFields& fields, const CTextService& texts);
    void FromFields(const EmergencyFields& fields);  ///< with the program's texts

    /// The emergency ID text of the record for its ID type (type 2 digits, type 3 four hex
    /// digits, type 4 two decimal and four hex digits, other types empty).
    std::string IdText() const;
    /// The emergency ID text of an emergency record.
    static std::string IdTextOf(std::span<const uint8_t> record);
    /// Stores an emergency ID text by the record's ID type: type 2 up to four DTMF keys (0-9,
    /// *, #; the length byte follows), type 3 four hexadecimal digits (limited as shown),
    /// type 4 two decimal and four hexadecimal digits. False (record unchanged) for a text the
    /// type cannot hold; any other type takes only the empty text.
    static bool StoreIdText(std::span<uint8_t> record, std::string_view text);
    /// An ID as typed into the page's field for an ID type: the characters the type accepts
    /// (type 2: 0-9 * #; type 3: hexadecimal digits; type 4: decimal digits for the two fleet
    /// digits, hexadecimal after them; no other type holds an ID), letters in upper case, cut
    /// to the type's length (4; 6 for type 4).
    struct IdInput {
        std::string text;
        bool refused = false;  ///< a character the type does not accept was dropped
        bool cut = false;      ///< the text was longer than the type allows
    };
    static IdInput FilterIdInput(unsigned idType, std::string_view typed);
    /// The ID as the field shows it when it is left (or when the ID type changes): filtered as
    /// typed, then type 3 read as hexadecimal and limited as shown ("%04X"; empty gives 0001),
    /// type 4 completed to six characters ("000001" when shorter) with the fleet at most 15.
    static std::string NormaliseId(unsigned idType, std::string_view text);
    /// Most characters an ID of the type has (0 for types without an ID).
    static size_t IdCapacity(unsigned idType);
    /// True when the type carries a signalling (DTMF) system: type 2 only.
    static bool HasSignalingSystem(unsigned idType);
    /// Limits a type-3 ID digit by digit (top digit at most D, others at most E; 0 becomes 1).
    static uint16_t LimitHexId(uint16_t value);

    /// The ID length a type stores for an ID text (the number of DTMF keys; 4, 6 or 8 else).
    static uint8_t IdLengthFor(unsigned idType, std::string_view idText);

private:
    uint32_t revertChannelId_ = 0;
    uint32_t signalingSystemId_ = 0;
};

}  // namespace rv
