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
