#include "editors/keys/gui/ViewKeys.h"

#include <QComboBox>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/general/VoxBlock.h"
#include "editors/keys/KeyFieldTable.h"
#include "ui/ComboHelpers.h"
#include "ui/Prompt.h"

namespace rv {

namespace {

using C = CViewKeys::Control;

struct KeyBox {
    int labelId;
    int controlId;
    std::string_view key;
    const char* english;
};
constexpr KeyBox kBoxes[] = {
    {6607, C::kTkShort, "tk_short", "TK(short)"},    {6609, C::kTkLong, "tk_long", "TK(long)"},
    {6613, C::kSk1Short, "sk1_short", "SK1(SHORT)"}, {6615, C::kSk1Long, "sk1_long", "SK1(LONG)"},
    {6619, C::kSk2Short, "sk2_short", "SK2(SHORT)"}, {6621, C::kSk2Long, "sk2_long", "SK2(LONG)"},
};
constexpr int kSideBoxes[] = {C::kSk1Short, C::kSk1Long, C::kSk2Short, C::kSk2Long};

/// The boxes the current user level sees (the field table says which).
std::vector<const KeyBox*> ShownBoxes()
{
    std::vector<const KeyBox*> shown;
    for (const KeyBox& box : kBoxes)
        if (const auto field = FindField(kKeyFieldTable, box.key);
            field && SeenAt(*field->def, Settings().UserLevel()))
            shown.push_back(&box);
    return shown;
}

std::vector<FormRow> RowsOf(const std::vector<const KeyBox*>& boxes)
{
    std::vector<FormRow> rows;
    for (const KeyBox* box : boxes) {
        rows.push_back({box->labelId, ControlKind::Label, box->english});
        rows.push_back({box->controlId, ControlKind::Combo, ""});
    }
    return rows;
}

std::vector<FieldControl> FieldsOf(const std::vector<const KeyBox*>& boxes)
{
    std::vector<FieldControl> fields;
    for (const KeyBox* box : boxes) fields.push_back({box->controlId, box->key});
    return fields;
}

constexpr auto kVoxCode = static_cast<int>(KeyFunction::Vox);

}  // namespace

CViewKeys::CViewKeys(QWidget* parent)
    : CRecordFormView(
          kFormId, kKeyFieldTable, RowsOf(ShownBoxes()), FieldsOf(ShownBoxes()),
          [] { return BytesOf(Radio().Keys().Raw()); }, parent)
{
    setObjectName("ViewKeys");
    constexpr auto restricted = static_cast<uint8_t>(KeyFunction::Restricted);
    if (!KeyFunctionOffered(restricted))
        for (const KeyBox& box : kBoxes)
            if (auto* combo = Controls().Get<QComboBox>(box.controlId))
                for (int i = combo->findData(restricted); i >= 0; i = combo->findData(restricted))
                    combo->removeItem(i);
    Reload();
    StoreOnEdit([this](int id) { OnEdited(id); });
}

void CViewKeys::Reload()
{
    CRecordFormView::Reload();
    // The top-key pair is completed when the view shows the record (and stored with the
    // next store, like an edit).
    PairTopKey(C::kTkShort);
}

void CViewKeys::OnNotice(const NoticeRecord& notice)
{
    if (notice.code != NoticeCode::VoxChanged) return;
    if (DropVoxFromSideKeys()) Store();
}

void CViewKeys::OnEdited(int id)
{
    if (id == C::kTkShort || id == C::kTkLong) {
        PairTopKey(id);
        Store();
    } else if (DropVoxFromSideKeys(id)) {
        Store();
        ShowMessage(this, kVoxOffMessage, CPrompt::Icon::Warning);
    }
}

void CViewKeys::PairTopKey(int id)
{
    auto* changed = Controls().Get<QComboBox>(id);
    auto* other = Controls().Get<QComboBox>(id == C::kTkShort ? C::kTkLong : C::kTkShort);
    if (!changed || !other) return;
    const int code = ComboValue(changed);
    const int otherCode = ComboValue(other);
    if (code < 0 || otherCode < 0) return;  // a code no entry has stays as it is
    const int paired =
        PairedTopKeyCode(static_cast<uint8_t>(code), static_cast<uint8_t>(otherCode));
    if (paired != otherCode) SelectComboValue(other, paired);
}

bool CViewKeys::DropVoxFromSideKeys(int onlyId)
{
    if (Radio().Vox().VoxOn()) return false;
    bool dropped = false;
    for (int id : kSideBoxes) {
        if (onlyId != 0 && id != onlyId) continue;
        auto* combo = Controls().Get<QComboBox>(id);
        if (!combo || ComboValue(combo) != kVoxCode || combo->count() == 0) continue;
        combo->setCurrentIndex(0);
        dropped = true;
    }
    return dropped;
}

}  // namespace rv
