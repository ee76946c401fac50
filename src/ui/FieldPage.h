#pragma once
// A page of a record sheet whose controls are bound to fields of the item's record by key:
// the page lays out its form, shows the bound fields of the item, writes back the fields whose
// control the user changed, and loads again when another view adds or deletes items. What a
// page adds to this is its rules (enable rules, links, lists that depend on other fields).

#include <cstdint>
#include <span>

#include "base/Settings.h"
#include "data/FieldTable.h"
#include "data/Notice.h"
#include "ui/FieldForm.h"
#include "ui/FormBuilder.h"
#include "ui/RecordSheet.h"

namespace rv {

/// Widest a page's form grows in a wide window.
inline constexpr int kPageFormMaxWidth = 520;

/// A page that edits the fields of an item of class Item, found in the radio data object by
/// Find.
template <class Item, Item* (RadioData::*Find)(uint32_t) const>
class CFieldPageOf : public CRecordPageOf<Item, Find> {
public:
    /// The control with this id, nullptr when none.
    QWidget* Control(int id) const { return controls_.Control(id); }
    /// Shows the item's fields; with no item the page is disabled and shows nothing.
    void Load() override
    {
        loading_ = true;
        this->setEnabled(this->Record() != nullptr);
        LoadFields();
        loading_ = false;
    }
    /// Writes back the fields the user changed.
    void WriteBack() override { StoreFields(); }
    /// Loads again when another view added or deleted an item.
    void OnNotice(const NoticeRecord& notice) override
    {
        if (notice.code == NoticeCode::Added || notice.code == NoticeCode::Deleted) this->Load();
    }

protected:
    /// A page named name whose control id is pageId (the text id of its tab caption), laid out
    /// from rows; the controls of fields are bound to the fields of table.
    CFieldPageOf(const char* name, int pageId, const FieldTable& table,
                 std::span<const FormRow> rows, std::span<const FieldControl> fields,
                 QWidget* parent, int maxWidth = kPageFormMaxWidth)
        : CRecordPageOf<Item, Find>(name, pageId, maxWidth, parent),
          controls_(this->BuildPageForm(rows)),
          binding_(table, controls_, fields)
    {
    }

    /// The controls of the form.
    const CFormControls& Controls() const { return controls_; }
    /// The binding of the controls to the fields.
    CFieldFormBinding& Binding() { return binding_; }
    /// Shows the item's bound fields; with no item the controls show nothing.
    void LoadFields()
    {
        if (Item* item = this->Record())
            binding_.Load(item->Raw().Bytes(), Settings());
        else
            binding_.Clear();
    }
    /// Writes back the bound fields whose control the user changed; every other bit of the
    /// record keeps its value.
    void StoreFields()
    {
        if (Item* item = this->Record()) binding_.Store(BytesOf(item->Raw()), Settings());
    }

    /// True while the page fills its controls (their signals are no edits).
    bool loading_ = false;

private:
    CFormControls controls_;
    CFieldFormBinding binding_;
};

}  // namespace rv
