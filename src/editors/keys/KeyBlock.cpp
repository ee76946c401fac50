#include "editors/keys/KeyBlock.h"

#include "base/Settings.h"
#include "data/FieldBinding.h"
#include "editors/keys/KeyFieldTable.h"

namespace rv {

namespace {

/// Default function codes of bytes 0 to 5 (SK1 long press differs in the editions).
constexpr uint8_t kDefaultFunctions[6] = {29, 28, 66, 75, 66, 80};
constexpr uint8_t kEditionSk1Long = 0;
/// Bit of byte 10 that the defaults clear.
constexpr unsigned kFlagsDefaultClearBit = 0;

/// The four side-key bytes (the functions that depend on VOX).
constexpr size_t kSideKeys[] = {CKeyBlock::Offset::kSk1Short, CKeyBlock::Offset::kSk1Long,
                                CKeyBlock::Offset::kSk2Short, CKeyBlock::Offset::kSk2Long};

/// The text form's members by field key.
constexpr FieldBinding<KeyFields> kKeyBinding[] = {
    {"tk_short", &KeyFields::TkShortText},   {"tk_long", &KeyFields::TkLongText},
    {"sk1_short", &KeyFields::Sk1ShortText}, {"sk1_long", &KeyFields::Sk1LongText},
    {"sk2_short", &KeyFields::Sk2ShortText}, {"sk2_long", &KeyFields::Sk2LongText},
};

}  // namespace

uint8_t PairedTopKeyCode(uint8_t changedCode, uint8_t otherCode)
{
    constexpr auto a = static_cast<uint8_t>(KeyFunction::TopKeyPairA);
    constexpr auto b = static_cast<uint8_t>(KeyFunction::TopKeyPairB);
    if (changedCode == a) return b;
    if (changedCode == b) return a;
    if (otherCode == a || otherCode == b) return static_cast<uint8_t>(KeyFunction::None);
    return otherCode;
}

bool SideKeyAllowed(uint8_t code, bool voxOn)
{
    return voxOn || code != static_cast<uint8_t>(KeyFunction::Vox);
}

bool KeyFunctionOffered(uint8_t code)
{
    if (code != static_cast<uint8_t>(KeyFunction::Restricted)) return true;
    const CSettings& s = Settings();
    return !(s.EditionFlag() || s.IsModel(ModelText::Rv205));
}

EditResult EditKeyField(std::span<uint8_t> record, bool voxOn, std::string_view key,
                        std::string_view text, const CTextService& texts)
{
    const std::string prefix = RecordPrefix(kKeyFieldTable.name, 0);
    const auto target = TargetOf(kKeyFieldTable, key, prefix);
    if (!target) return EditResult::Refused(EditMessage::kBadValue, {prefix + std::string(key)});
    const std::string before = GetText(target->field, record, texts);
    if (text == before) return {};
    // The code the text names: an entry of the list, or a stored number shown as such.
    std::optional<long long> code = texts.ChoiceValue(CKeyBlock::kFunctionList, text);
    if (!code) code = texts.ParseUnlistedValue(text);
    if (code && *code >= 0 && *code <= 0xFF) {
        const auto c = static_cast<uint8_t>(*code);
        if (!KeyFunctionOffered(c))
            return EditResult::Refused(EditMessage::kNotOffered, {target->name, std::string(text)});
        const bool sideKey = target->field.Offset() >= CKeyBlock::Offset::kSk1Short;
        if (sideKey && !SideKeyAllowed(c, voxOn))
            return EditResult::Refused(EditMessage::kVoxOff, {target->name, std::string(text)});
    }
    EditResult result = EditPlainField(*target, record, text, texts);
    if (!result.Ok() || result.changes.empty()) return result;
    // A changed top key takes its pair on the other top key.
    const size_t offset = target->field.Offset();
    if (offset == CKeyBlock::Offset::kTkShort || offset == CKeyBlock::Offset::kTkLong) {
        const size_t other = offset == CKeyBlock::Offset::kTkShort ? CKeyBlock::Offset::kTkLong
                                                                   : CKeyBlock::Offset::kTkShort;
        const uint8_t paired = PairedTopKeyCode(record[offset], record[other]);
        if (paired != record[other]) {
            const auto otherField = FindField(kKeyFieldTable, other == CKeyBlock::Offset::kTkShort
                                                                  ? "tk_short"
                                                                  : "tk_long");
            const std::string was = GetText(*otherField, record, texts);
            record[other] = paired;
            NoteChange(result, prefix + std::string(otherField->def->key), was,
                       GetText(*otherField, record, texts), EditReason::kTopKeyPair);
        }
    }
    return result;
}

CKeyBlock::CKeyBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CKeyBlock::SetDefaults()
{
    record_.Fill(0xFF);
    for (size_t i = 0; i < std::size(kDefaultFunctions); ++i) record_[i] = kDefaultFunctions[i];
    if (Settings().EditionFlag()) record_[Offset::kSk1Long] = kEditionSk1Long;
    record_.SetBit(Offset::kFlags, kFlagsDefaultClearBit, false);
}

void CKeyBlock::OnNotice(const NoticeRecord& notice)
{
    // VOX switched off: a side key may no longer start VOX.
    if (notice.code != NoticeCode::VoxChanged || notice.key != 0) return;
    for (size_t offset : kSideKeys)
        if (record_[offset] == static_cast<uint8_t>(KeyFunction::Vox))
            record_[offset] = static_cast<uint8_t>(KeyFunction::None);
}

KeyFields CKeyBlock::ToFields(const CTextService& texts) const
{
    KeyFields f;
    ReadBound<KeyFields>(kKeyFieldTable, kKeyBinding, record_.Bytes(), texts, f);
    return f;
}

KeyFields CKeyBlock::ToFields() const { return ToFields(Settings()); }

void CKeyBlock::FromFields(const KeyFields& f, const CTextService& texts)
{
    WriteBound<KeyFields>(kKeyFieldTable, kKeyBinding, f, BytesOf(record_), texts);
}

void CKeyBlock::FromFields(const KeyFields& f) { FromFields(f, Settings()); }

}  // namespace rv
