#include "editors/general/ModeBlock.h"

#include "data/FieldBinding.h"
#include "editors/general/ModeFieldTable.h"
#include "base/Settings.h"

namespace rv {

namespace {

/// The text form's members by field key.
constexpr FieldBinding<ModeFields> kModeBinding[] = {
    {"panel_test", &ModeFields::PanelTest},
    {"clone", &ModeFields::Clone},
    {"destination", &ModeFields::Destination},
    {"factory_clone", &ModeFields::FactoryClone},
};

}  // namespace

bool ApplyCloneRule(ModeFields& fields)
{
    if (!fields.Clone) fields.FactoryClone = false;
    return fields.Clone;
}

EditResult EditModeField(std::span<uint8_t> record, std::string_view key, std::string_view text,
                         const CTextService& texts)
{
    const std::string prefix = RecordPrefix(kModeFieldTable.name, 0);
    const auto target = TargetOf(kModeFieldTable, key, prefix);
    if (!target) return EditResult::Refused(EditMessage::kBadValue, {prefix + std::string(key)});
    const auto clone = FindField(kModeFieldTable, "clone");
    if (target->field.def->key == "factory_clone" && text == "1" &&
        GetNumber(*clone, record) == 0 && GetText(target->field, record, texts) != "1")
        return EditResult::Refused(EditMessage::kCloneOff, {target->name});
    EditResult result = EditPlainField(*target, record, text, texts);
    if (result.Ok() && !result.changes.empty() && target->field.def->key == "clone" &&
        GetNumber(*clone, record) == 0)
        MoveField(result, kModeFieldTable, prefix, "factory_clone", record, "0",
                  EditReason::kCloneOff, texts);
    return result;
}

CModeBlock::CModeBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CModeBlock::SetDefaults()
{
    record_.Fill(0xFF);
    FromFields(ModeFields{});
}

ModeFields CModeBlock::ToFields(const CTextService& texts) const
{
    ModeFields f;
    ReadBound<ModeFields>(kModeFieldTable, kModeBinding, record_.Bytes(), texts, f);
    return f;
}

ModeFields CModeBlock::ToFields() const { return ToFields(Settings()); }

void CModeBlock::FromFields(const ModeFields& f, const CTextService& texts)
{
    WriteBound<ModeFields>(kModeFieldTable, kModeBinding, f, BytesOf(record_), texts);
}

void CModeBlock::FromFields(const ModeFields& f) { FromFields(f, Settings()); }

}  // namespace rv
