#include "editors/scan/ScanData.h"

#include <algorithm>
#include <string>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/scan/ScanFieldTable.h"

namespace rv {

namespace {

/// Value of a channel reference that names no channel.
constexpr uint8_t kNoChannel = 0xFF;
/// Priority and designated channel modes that name a channel of their own.
constexpr unsigned kOwnChannelMode = 1;

// Defaults of the edited fields.
constexpr uint8_t kDefaultEntries = 16;
constexpr unsigned kDefaultCtcssScanMode = 3;
constexpr uint8_t kDefaultSweepTime = 8;
constexpr uint8_t kDefaultHangTime = 3;
constexpr uint8_t kDefaultChannel = 1;

}  // namespace

CScanData::CScanData() : CQXTViewProc(kRecordSize, true)
{
    SetDefaults();
}

void CScanData::SetDefaults()
{
    record_.Fill(0xFF);
    record_[Offset::Entries] = kDefaultEntries;
    // Byte 5: bit 0 clear, CTCSS/CDCSS scan mode 3, signalling scan mode 0, bits 5-7 set.
    record_.SetBit(Offset::ScanModes, 0, false);
    record_.SetBits(Offset::ScanModes, 1, 2, kDefaultCtcssScanMode);
    record_.SetBits(Offset::ScanModes, 3, 2, 0);
    // Byte 6: both priority channels off, delete/add off, bits 6-7 set.
    record_.SetBits(Offset::Priority, 0, 6, 0);
    record_[Offset::SweepTime] = kDefaultSweepTime;
    record_[Offset::Priority1Channel] = kDefaultChannel;
    record_[Offset::Priority2Channel] = kDefaultChannel;
    // Byte 10: scan TX mode 0, talkback on, bits 4-7 set.
    record_.SetBits(Offset::TxMode, 0, 3, 0);
    record_.SetBit(Offset::TxMode, 3, true);
    record_[Offset::Designated] = kDefaultChannel;
    record_[Offset::HangTime] = kDefaultHangTime;
    // Byte 13: start, end and priority alerts on, bit 3 set, include current and nuisance
    // delete off.
    record_.SetBits(Offset::Alerts, 0, 4, 0xF);
    record_.SetBits(Offset::Alerts, 4, 4, 0);
    // Byte 14: nuisance reset off, every other bit set.
    record_.SetBit(Offset::Nuisance, 0, false);
    for (size_t k = 0; k < kMembers; ++k)
        record_[Offset::Members + k] = static_cast<uint8_t>(k + 1);
}

uint32_t CScanData::ChannelIdOfNumber(uint8_t number)
{
    const auto& channels = Radio().Channels();
    if (number < 1 || number > channels.size()) return 0;
    const auto& channel = channels[number - 1];
    return channel->used_ ? channel->id_ : 0;
}

uint8_t CScanData::ChannelNumberOfId(uint32_t id)
{
    if (id == 0) return kNoChannel;
    const size_t number = Radio().ChannelNumberOf(id);
    if (number == 0 || !Radio().Channels()[number - 1]->used_) return kNoChannel;
    return static_cast<uint8_t>(number);
}

void CScanData::ResolveLinks()
{
    designatedId_ = ChannelIdOfNumber(record_[Offset::Designated]);
    priority1Id_ = ChannelIdOfNumber(record_[Offset::Priority1Channel]);
    priority2Id_ = ChannelIdOfNumber(record_[Offset::Priority2Channel]);
    for (size_t k = 0; k < kMembers; ++k)
        members_[k] = ChannelIdOfNumber(record_[Offset::Members + k]);
    const auto& channels = Radio().Channels();
    for (size_t k = 0; k < named_.size(); ++k) {
        const uint8_t number = record_[ReferenceOffset(k)];
        named_[k].number = number;
        named_[k].channelId =
            number >= 1 && number <= channels.size() ? channels[number - 1]->id_ : 0;
    }
}

size_t CScanData::ReferenceOffset(size_t k)
{
    switch (k) {
        case 0:
            return Offset::Designated;
        case 1:
            return Offset::Priority1Channel;
        case 2:
            return Offset::Priority2Channel;
        default:
            return Offset::Members + (k - 3);
    }
}

uint32_t CScanData::ReferenceId(size_t k) const
{
    return k == 0 ? designatedId_ : k == 1 ? priority1Id_ : k == 2 ? priority2Id_ : members_[k - 3];
}

void CScanData::SetReference(size_t k, uint32_t channelId)
{
    if (k >= kReferences) return;
    uint32_t& id = k == 0   ? designatedId_
                   : k == 1 ? priority1Id_
                   : k == 2 ? priority2Id_
                            : members_[k - 3];
    const uint8_t number = ChannelNumberOfId(channelId);
    // Only a used channel can be named; anything else is none.
    id = number == kNoChannel ? 0 : channelId;
    record_[ReferenceOffset(k)] = number;
    named_[k] = {id, number};
}

void CScanData::RenumberChannels()
{
    RadioData& radio = Radio();
    for (size_t k = 0; k < named_.size(); ++k) {
        // The identity the editor chose wins; otherwise the channel the byte named when it was
        // read (which may be a channel not in use).
        const uint32_t chosen = ReferenceId(k);
        uint8_t& byte = record_[ReferenceOffset(k)];
        const uint32_t channelId =
            chosen != 0 ? chosen : (byte == named_[k].number ? named_[k].channelId : 0);
        if (channelId == 0) continue;
        const size_t number = radio.ChannelNumberOf(channelId);
        byte = number == 0 ? kNoChannel : static_cast<uint8_t>(number);
        named_[k] = {number == 0 ? 0 : channelId, byte};
    }
}

std::vector<CScanData::ChannelCut> CScanData::CutChannels(std::span<uint8_t> record, size_t count)
{
    std::vector<ChannelCut> cuts;
    auto gone = [count](uint8_t number) { return number != kNoChannel && number > count; };
    // The modes whose channel is gone fall back to the current channel.
    constexpr unsigned kCurrentChannelTxMode = 0;
    constexpr unsigned kCurrentChannelPriority = 2;
    auto setBits = [&](size_t offset, unsigned first, unsigned bits, unsigned value) {
        const unsigned mask = ((1u << bits) - 1u) << first;
        record[offset] = static_cast<uint8_t>((record[offset] & ~mask) | ((value << first) & mask));
    };
    auto bitsOf = [&](size_t offset, unsigned first, unsigned bits) {
        return (record[offset] >> first) & ((1u << bits) - 1u);
    };
    struct Single {
        size_t channel;
        size_t modeOffset;
        unsigned firstBit, bits, fallback;
        ChannelCut::What what;
    };
    const Single singles[] = {
        {Offset::Priority1Channel, Offset::Priority, 0, 2, kCurrentChannelPriority,
         ChannelCut::What::Priority1},
        {Offset::Priority2Channel, Offset::Priority, 3, 2, kCurrentChannelPriority,
         ChannelCut::What::Priority2},
        {Offset::Designated, Offset::TxMode, 0, 3, kCurrentChannelTxMode,
         ChannelCut::What::Designated},
    };
    std::vector<ChannelCut> singleCuts;
    for (const Single& s : singles) {
        const uint8_t number = record[s.channel];
        if (!gone(number)) continue;
        record[s.channel] = kNoChannel;
        if (bitsOf(s.modeOffset, s.firstBit, s.bits) != kOwnChannelMode) continue;
        setBits(s.modeOffset, s.firstBit, s.bits, s.fallback);
        singleCuts.push_back({s.what, 0, number});
    }

    // Members: those within the entries that name a removed channel leave the list.
    const size_t entries = std::min<size_t>(record[Offset::Entries], kMembers);
    std::array<uint8_t, kMembers> kept{};
    kept.fill(kNoChannel);
    size_t n = 0, keptEntries = 0;
    for (size_t k = 0; k < kMembers; ++k) {
        const uint8_t number = record[Offset::Members + k];
        if (gone(number)) {
            if (k < entries) cuts.push_back({ChannelCut::What::Member, k + 1, number});
            if (k < entries) continue;
            kept[n++] = kNoChannel;  // behind the entries: kept in its place as none
            continue;
        }
        kept[n++] = number;
        if (k < entries) ++keptEntries;
    }
    const bool changed = !cuts.empty();
    std::copy(kept.begin(), kept.end(), record.begin() + Offset::Members);
    if (changed) {
        if (keptEntries == 0) {
            // Channel 1 goes in front; what stood behind the entries stays behind it.
            std::copy_backward(record.begin() + Offset::Members,
                               record.begin() + Offset::Members + kMembers - 1,
                               record.begin() + Offset::Members + kMembers);
            record[Offset::Members] = kDefaultChannel;
            keptEntries = 1;
            cuts.push_back({ChannelCut::What::Refilled, 0, 0});
        }
        record[Offset::Entries] = static_cast<uint8_t>(keptEntries);
    }
    // In record order: the priority and designated channels lie before the members.
    cuts.insert(cuts.begin(), singleCuts.begin(), singleCuts.end());
    return cuts;
}

void CScanData::OnNotice(const NoticeRecord& notice)
{
    if (notice.code != NoticeCode::Deleted && notice.code != NoticeCode::UsedChanged) return;
    if (notice.code == NoticeCode::Deleted) RenumberChannels();
    size_t listNumber = 0;
    const auto& lists = Radio().ScanLists();
    for (size_t i = 0; i < lists.size(); ++i)
        if (lists[i]->id_ == id_) listNumber = i + 1;
    const auto& settings = Settings();
    const std::string where =
        settings.LoadText(TextId::ScanView) + " - " + std::to_string(listNumber) + ": ";

    // A reference is broken when its channel is not in the list or not in use.
    auto valid = [](uint32_t channelId) { return ChannelNumberOfId(channelId) != kNoChannel; };
    auto log = [&](uint32_t nameId, uint32_t pageId, uint32_t boxId) {
        NoticeRecord entry;
        entry.itemTextId = boxId;
        entry.code = notice.code;
        entry.name = settings.LoadText(static_cast<int>(nameId));
        entry.message = where + settings.LoadText(static_cast<int>(pageId));
        entry.key = NoticeKey(boxId);
        Radio().InvalidLog().Add(entry);
    };

    const size_t checkedMembers = std::min<size_t>(Entries(), kMembers);
    for (size_t k = 0; k < checkedMembers; ++k)
        if (!valid(members_[k]))
            log(TextId::FirstMemberLabel + k, TextId::ChannelListPage, TextId::FirstMemberBox + k);
    if (TxMode() == kOwnChannelMode && !valid(designatedId_))
        log(TextId::DesignatedName, TextId::ConfigPage, TextId::DesignatedBox);
    if (Priority1Mode() == kOwnChannelMode && !valid(priority1Id_))
        log(TextId::Priority1Name, TextId::ConfigPage, TextId::Priority1Box);
    if (Priority2Mode() == kOwnChannelMode && !valid(priority2Id_))
        log(TextId::Priority2Name, TextId::ConfigPage, TextId::Priority2Box);
}

void CScanData::WithdrawNotices()
{
    auto& log = Radio().InvalidLog();
    for (size_t k = 0; k < kMembers; ++k) log.Withdraw(NoticeKey(TextId::FirstMemberBox + k));
    log.Withdraw(NoticeKey(TextId::DesignatedBox));
    log.Withdraw(NoticeKey(TextId::Priority1Box));
    log.Withdraw(NoticeKey(TextId::Priority2Box));
}

ScanConfigEnables ScanConfigEnableRules(unsigned txMode, unsigned priority1Mode,
                                        unsigned priority2Mode)
{
    constexpr unsigned kOwnChannel = 1;
    ScanConfigEnables e;
    e.designated = txMode == kOwnChannel;
    if (priority1Mode != 0) {
        e.priority1Channel = priority1Mode == kOwnChannel;
        e.priority1DeleteAdd = e.priority2Mode = e.sweepTime = true;
        e.priority2Channel = priority2Mode == kOwnChannel;
        e.priority2DeleteAdd = priority2Mode != 0;
    }
    return e;
}

size_t EnabledMemberBoxes(const std::string& entriesText)
{
    size_t n = 0;
    for (char c : entriesText) {
        if (c < '0' || c > '9') break;
        n = std::min<size_t>(n * 10 + static_cast<size_t>(c - '0'), 1000);
    }
    return std::min(n, CScanData::kMembers);
}

EditResult EditScanField(CScanData& scan, size_t number, std::string_view key,
                         std::string_view text, const CTextService& texts)
{
    const std::string prefix = RecordPrefix("scan_lists", number);
    const auto target = TargetOf(kScanFieldTable, key, prefix);
    if (!target) return EditResult::Refused(EditMessage::kBadValue, {prefix + std::string(key)});
    if (target->field.def->kind != FieldKind::ItemRef)
        return EditPlainField(*target, BytesOf(scan.Raw()), text, texts);
    const auto record = BytesOf(scan.Raw());
    const std::string before = GetText(target->field, record, texts);
    if (text == before) return {};
    const size_t offset = target->field.Offset();
    const size_t k = offset == CScanData::Offset::Designated         ? 0
                     : offset == CScanData::Offset::Priority1Channel ? 1
                     : offset == CScanData::Offset::Priority2Channel ? 2
                                                                     : 3 + offset - CScanData::Offset::Members;
    uint32_t channelId = 0;
    if (!text.empty()) {
        const bool digits = text.size() <= 3 && text.find_first_not_of("0123456789") == text.npos;
        const unsigned n = digits ? static_cast<unsigned>(std::stoul(std::string(text))) : 0;
        channelId = n >= 1 && n <= 0xFE ? CScanData::ChannelIdOfNumber(static_cast<uint8_t>(n)) : 0;
        if (channelId == 0) {
            std::string used;
            const auto& channels = Radio().Channels();
            for (size_t i = 0; i < channels.size(); ++i)
                if (channels[i]->used_) used += (used.empty() ? "" : ", ") + std::to_string(i + 1);
            return EditResult::Refused(EditMessage::kNoChannel,
                                       {target->name, std::string(text), used.empty() ? "-" : used});
        }
    }
    scan.SetReference(k, channelId);
    EditResult result;
    NoteChange(result, target->name, before, GetText(target->field, record, texts), 0);
    return result;
}

}  // namespace rv
