#include "editors/general/VoxBlock.h"

#include "base/Settings.h"
#include "data/FieldBinding.h"
#include "editors/general/VoxFieldTable.h"
#include "editors/keys/KeyBlock.h"
#include "editors/keys/KeyFieldTable.h"

namespace rv {

namespace {
constexpr unsigned kDefaultGain = 3;
constexpr unsigned kDefaultGainEdition = 4;
constexpr uint8_t kDefaultDelay = 15;

/// The text form's members by field key.
constexpr FieldBinding<VoxFields> kVoxBinding[] = {
    {"inhibit_on_receive", &VoxFields::InhibitOnReceive},
    {"gain_level", &VoxFields::GainLevelText},
    {"proceed_tone", &VoxFields::ProceedTone},
    {"delay_time", &VoxFields::DelayText},
};
}  // namespace

EditResult EditVoxField(std::span<uint8_t> record, std::span<uint8_t> keyRecord,
                        std::string_view key, std::string_view text, const CTextService& texts)
{
    const std::string prefix = RecordPrefix(kVoxFieldTable.name, 0);
    const auto target = TargetOf(kVoxFieldTable, key, prefix);
    if (!target) return EditResult::Refused(EditMessage::kBadValue, {prefix + std::string(key)});
    EditResult result = EditPlainField(*target, record, text, texts);
    if (!result.Ok() || result.changes.empty() || target->field.def->key != "gain_level")
        return result;
    const unsigned gain = GetNumber(target->field, record);
    if (gain == 0) {
        // VOX off: no side key may start VOX any more.
        const std::string keys = RecordPrefix(kKeyFieldTable.name, 0);
        for (const char* side : {"sk1_short", "sk1_long", "sk2_short", "sk2_long"}) {
            const auto field = FindField(kKeyFieldTable, side);
            if (GetNumber(*field, keyRecord) != static_cast<uint32_t>(KeyFunction::Vox)) continue;
            const std::string was = GetText(*field, keyRecord, texts);
            SetValue(*field, keyRecord, FieldValue{static_cast<uint32_t>(KeyFunction::None)});
            NoteChange(result, keys + side, was, GetText(*field, keyRecord, texts),
                       EditReason::kVoxOff);
        }
    }
    NoticeRecord notice;
    notice.code = NoticeCode::VoxChanged;
    notice.itemTextId = CVoxBlock::kGainList;
    notice.key = gain;
    result.notices.push_back(notice);
    return result;
}

CVoxBlock::CVoxBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

int CVoxBlock::GainList() { return Settings().EditionFlag() ? kGainListEdition : kGainList; }

void CVoxBlock::SetDefaults()
{
    record_.Fill(0xFF);
    record_.SetBit(Offset::kFlags, Offset::kInhibitBit, true);
    SetGainLevel(Settings().EditionFlag() ? kDefaultGainEdition : kDefaultGain);
    record_.SetBit(Offset::kFlags, Offset::kProceedToneBit, true);
    record_[Offset::kDelay] = kDefaultDelay;
}

unsigned CVoxBlock::GainLevel() const
{
    return record_.Bits(Offset::kFlags, Offset::kGainFirstBit, Offset::kGainBits);
}

void CVoxBlock::SetGainLevel(unsigned level)
{
    record_.SetBits(Offset::kFlags, Offset::kGainFirstBit, Offset::kGainBits, level);
}

VoxFields CVoxBlock::ToFields(const CTextService& texts) const
{
    VoxFields f;
    ReadBound<VoxFields>(kVoxFieldTable, kVoxBinding, record_.Bytes(), texts, f);
    return f;
}

VoxFields CVoxBlock::ToFields() const { return ToFields(Settings()); }

void CVoxBlock::FromFields(const VoxFields& f, const CTextService& texts)
{
    WriteBound<VoxFields>(kVoxFieldTable, kVoxBinding, f, BytesOf(record_), texts);
}

void CVoxBlock::FromFields(const VoxFields& f) { FromFields(f, Settings()); }

}  // namespace rv
