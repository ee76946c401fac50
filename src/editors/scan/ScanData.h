#pragma once
// One scan list: up to 16 member channels, a designated transmit channel, two priority
// channels, and the timing and alert options of scanning.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/QXTViewProc.h"
#include "editors/common/FieldEdit.h"

namespace rv {

// Scan list record, 32 bytes (channel references are 1-based channel numbers, FF = none):
//
//  byte 0-3   kept (FF)
//  byte 4     number of entries (list 3943); FF marks an unused slot in the image
//  byte 5     | 7..5 kept | 4 3 signalling scan mode (3832) |
//             | 2 1 CTCSS/CDCSS scan mode (3830) | 0 kept |
//  byte 6     | 7 6 kept | 5 prio 2 del/add | 4 3 prio 2 mode (3839) |
//             | 2 prio 1 del/add | 1 0 prio 1 mode (3834) |
//  byte 7     priority sweep time (list 3844)
//  byte 8     priority channel 1          byte 9   priority channel 2
//  byte 10    | 7..4 kept | 3 talkback | 2..0 scan TX mode (3846) |
//  byte 11    designated channel
//  byte 12    hang time (list 3848)
//  byte 13    | 7 nuisance delete | 6 5 kept | 4 include current | 3 kept |
//             | 2 priority scan alert | 1 scan end alert | 0 scan start alert |
//  byte 14    | 7..2 kept | 1 carried | 0 nuisance reset |
//  byte 15    kept (FF)
//  byte 16-31 members 1 to 16
class CScanData : public CQXTViewProc {
public:
    /// Image address of the first scan-list slot.
    static constexpr uint16_t kImageAddress = 528;
    /// Bytes of one scan-list record.
    static constexpr size_t kRecordSize = 32;
    /// Number of scan-list slots in the image.
    static constexpr size_t kSlots = 2;
    /// Number of member channels.
    static constexpr size_t kMembers = 16;

    /// Byte offsets of the record's fields.
    struct Offset {
        static constexpr size_t Entries = 4;
        static constexpr size_t ScanModes = 5;
        static constexpr size_t Priority = 6;
        static constexpr size_t SweepTime = 7;
        static constexpr size_t Priority1Channel = 8;
        static constexpr size_t Priority2Channel = 9;
        static constexpr size_t TxMode = 10;
        static constexpr size_t Designated = 11;
        static constexpr size_t HangTime = 12;
        static constexpr size_t Alerts = 13;
        static constexpr size_t Nuisance = 14;
        static constexpr size_t Members = 16;
    };
    static_assert(Offset::Members + kMembers == kRecordSize);

    /// Text ids (control ids) of the fields whose channel references are checked.
    struct TextId {
        static constexpr uint32_t FirstMemberBox = 3873;    ///< members 1..16: 3873..3888
        static constexpr uint32_t FirstMemberLabel = 3905;  ///< members 1..16: 3905..3920
        static constexpr uint32_t DesignatedBox = 3850;
        static constexpr uint32_t DesignatedName = 3849;
        static constexpr uint32_t Priority1Box = 3836;
        static constexpr uint32_t Priority1Name = 3835;
        static constexpr uint32_t Priority2Box = 3841;
        static constexpr uint32_t Priority2Name = 3840;
        static constexpr uint32_t ScanView = 3801;
        static constexpr uint32_t ConfigPage = 3800;
        static constexpr uint32_t ChannelListPage = 3803;
    };

    /// A new scan list with the defaults and a new identity.
    CScanData();
    /// Fills the record with the defaults (members 1..16, priority and designated channel 1).
    void SetDefaults();

    /// Number of entries (byte 4); 0xFF in an unused slot.
    uint8_t Entries() const { return record_[Offset::Entries]; }
    /// Priority channel 1 and 2 modes (0 = no priority channel).
    unsigned Priority1Mode() const { return record_.Bits(Offset::Priority, 0, 2); }
    unsigned Priority2Mode() const { return record_.Bits(Offset::Priority, 3, 2); }
    /// Scan TX mode (byte 10 bits 0-2).
    unsigned TxMode() const { return record_.Bits(Offset::TxMode, 0, 3); }

    /// Identities of the member channels (0 = none).
    std::array<uint32_t, kMembers> members_{};
    /// Identity of the designated transmit channel (0 = none).
    uint32_t designatedId_ = 0;
    /// Identities of priority channels 1 and 2 (0 = none).
    uint32_t priority1Id_ = 0;
    uint32_t priority2Id_ = 0;

    /// Turns the record's channel numbers into channel identities.
    void ResolveLinks() override;
    /// Writes the current 1-based number of every channel the record names back into the
    /// record, so that the references follow their channels when channels are deleted or
    /// moved. A reference whose channel is gone becomes none (0xFF); a number that named no
    /// channel (beyond the list) is kept.
    void RenumberChannels();
    /// The channel references of the record in the order of the pages' boxes.
    enum class Reference : size_t { Designated = 0, Priority1 = 1, Priority2 = 2, Member1 = 3 };
    /// The reference's channel identity (0 = none).
    uint32_t ReferenceId(size_t k) const;
    /// Names the channel with this identity (0 = none) in reference k (Reference values, then
    /// members 1 to 16): the identity and the channel's number go into the record together; a
    /// channel that is not in use (or not there) makes the reference none (0, 0xFF).
    void SetReference(size_t k, uint32_t channelId);
    /// Number of references (designated, two priority channels, 16 members).
    static constexpr size_t kReferences = kMembers + 3;
    /// On code 5: renumbers the channel references first (a channel may have been deleted).
    /// On codes 5 and 9: logs an invalid entry for every checked reference whose channel is
    /// gone or not in use.
    void OnNotice(const NoticeRecord& notice) override;
    /// Withdraws every invalid-log entry this scan list can have logged.
    void WithdrawNotices() override;
    /// Key of the invalid-log entry of the field with this text id.
    uint32_t NoticeKey(uint32_t textId) const { return id_ + kInvalidKeyBase + textId; }

    /// A reference of a scan list to a channel that a shorter channel list no longer has, and
    /// what became of it.
    struct ChannelCut {
        enum class What {
            Member,      ///< the member left the list (those behind moved up)
            Designated,  ///< the designated channel; the scan transmits on the current channel
            Priority1,   ///< priority channel 1; it watches the current channel
            Priority2,   ///< priority channel 2; it watches the current channel
            Refilled,    ///< no member was left; the list scans channel 1
        };
        What what = What::Member;
        size_t member = 0;    ///< 1-based member box (Member)
        uint8_t channel = 0;  ///< the channel number that is gone (not for Refilled)
        bool operator==(const ChannelCut&) const = default;
    };
    /// Fits a scan-list record to a channel list cut to its first `count` channels: a member
    /// naming a channel behind them leaves the list (the members behind it move up and the
    /// number of entries follows; a list left without members scans channel 1); a designated
    /// or priority channel behind them, where its mode uses it, gives way to the current
    /// channel. References the record's modes do not use become none. Returns what changed
    /// that the user would notice, in record order.
    static std::vector<ChannelCut> CutChannels(std::span<uint8_t> record, size_t count);

    /// Identity of the used channel with this 1-based number, 0 when there is none.
    static uint32_t ChannelIdOfNumber(uint8_t number);
    /// 1-based number of the used channel with this identity, 0xFF when there is none.
    static uint8_t ChannelNumberOfId(uint32_t id);

private:
    /// Record bytes that name a channel, in the order of `named_`: designated, priority 1,
    /// priority 2, members 1 to 16.
    static size_t ReferenceOffset(size_t k);
    /// The channel each reference byte named when it was last resolved or renumbered, used or
    /// not, and the byte's value then (a byte changed since names what it now says).
    struct Named {
        uint32_t channelId = 0;  ///< 0: the byte named no channel
        uint8_t number = kNoChannelNumber;
    };
    static constexpr uint8_t kNoChannelNumber = 0xFF;
    std::array<Named, kMembers + 3> named_{};
};

/// A scan list's edit function (`number` its 1-based item number): a channel reference names a
/// channel in use, linked at once so that the reference follows its channel and is saved as
/// set (an empty text names none); a number no used channel has is refused with the channels in
/// use. The other fields are checked against their field.
EditResult EditScanField(CScanData& scan, size_t number, std::string_view key,
                         std::string_view text, const CTextService& texts);

/// Which boxes of the scan configuration page take input, from the scan TX mode and the two
/// priority channel modes (1 = a channel of its own): the designated channel for TX mode 1;
/// with priority channel 1 off nothing about the priority channels but their first mode box.
struct ScanConfigEnables {
    bool designated = false;
    bool priority1Channel = false, priority1DeleteAdd = false;
    bool priority2Mode = false, priority2Channel = false, priority2DeleteAdd = false;
    bool sweepTime = false;
    bool operator==(const ScanConfigEnables&) const = default;
};
ScanConfigEnables ScanConfigEnableRules(unsigned txMode, unsigned priority1Mode,
                                        unsigned priority2Mode);
/// Number of member boxes that take input for the number-of-entries text (its leading digits,
/// at most 16; 0 when it has none).
size_t EnabledMemberBoxes(const std::string& entriesText);

}  // namespace rv
