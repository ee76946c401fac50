#include "editors/keys/gui/ViewKeys.h"

#include <QComboBox>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/general/VoxBlock.h"
#include "editors/keys/KeyFieldTable.h"
#include "ui/ComboHelpers.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

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
    StoreOnEdit();
}

void CViewKeys::Store()
{
    auto record = BytesOf(Radio().Keys().Raw());
    const CSettings& texts = Settings();
    // The edits are taken before any is applied: the other top key, moved by the pairing, is no
    // edit of the user.
    std::vector<std::pair<std::string_view, std::string>> edits;
    for (const KeyBox* box : ShownBoxes()) {
        auto* combo = Controls().Get<QComboBox>(box->controlId);
        const auto field = FindField(kKeyFieldTable, box->key);
        if (!combo || combo->currentIndex() < 0) continue;
        const std::string text = FromQ(combo->currentText());
        if (text != GetText(*field, record, texts)) edits.emplace_back(box->key, text);
    }
    const bool edited = !edits.empty();
    for (const auto& [key, text] : edits) {
        const EditResult result = EditKeyField(record, Radio().Vox().VoxOn(), key, text, texts);
        if (result.message == EditMessage::kVoxOff)
            ShowMessage(this, kVoxOffMessage, CPrompt::Icon::Warning);
        else if (!result.Ok())
            Prompt().Show(this, ToQ(texts.LoadMessage(result.message, result.args)),
                          CPrompt::Icon::Warning);
    }
    if (edited) Reload();
}

void CViewKeys::OnNotice(const NoticeRecord& notice)
{
    if (notice.code == NoticeCode::VoxChanged) Reload();
}

}  // namespace rv
