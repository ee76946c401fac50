#pragma once
// Controls bound to the fields of a record by key: the binding fills the combo boxes with the
// fields' choice lists, shows a record's fields in the controls and writes back only the
// fields whose control the user changed, so that every other bit keeps its stored value (a
// stored value no entry has is shown as a number and kept). A single-record view is then a
// field table and a form layout.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Settings.h"
#include "data/FieldTable.h"
#include "ui/CustomFormView.h"
#include "ui/FormBuilder.h"

namespace rv {

/// One form control bound to one field: the control's id and the field's key.
struct FieldControl {
    int controlId;
    std::string_view key;
};

class CFieldFormBinding {
public:
    /// Binds the controls of a built form to the fields of table; a key the table does not
    /// have or a control the form does not have binds nothing.
    CFieldFormBinding(const FieldTable& table, const CFormControls& controls,
                      std::span<const FieldControl> fields);

    /// Fills the combo boxes with the choice lists of their fields.
    void Fill(const CTextService& texts);
    /// Shows the record's fields.
    void Load(std::span<const uint8_t> record, const CTextService& texts);
    /// Writes back the fields whose control shows something else than it was loaded with;
    /// returns the keys of the fields written.
    std::vector<std::string> Store(std::span<uint8_t> record, const CTextService& texts);

    // For the pages of list items, whose rules change controls between a load and a store.
    /// Shows no record: drop-downs select nothing, boxes are emptied, check boxes cleared.
    void Clear();
    /// What the controls show now is the starting point of the user's edits (after a rule
    /// re-filled or re-selected a control while loading).
    void TakeShown();
    /// The control of the field counts as changed at the next Store (a rule re-fitted it to
    /// a value the user changed).
    void MarkEdited(std::string_view key);

private:
    struct Bound {
        FieldRef field;
        QWidget* control;
        std::string shown;  ///< the text shown after the last load or store
    };
    std::vector<Bound> bound_;
};

/// A view of one record: a form laid out from rows whose controls are bound to the record's
/// fields. Reload shows the record, Store writes back what the user changed.
class CRecordFormView : public CCustomFormView {
    Q_OBJECT
public:
    /// The record the view edits (the block's bytes in the radio data object).
    using RecordAccess = std::function<std::span<uint8_t>()>;

    CRecordFormView(int formId, const FieldTable& table, std::span<const FormRow> rows,
                    std::span<const FieldControl> fields, RecordAccess record,
                    QWidget* parent = nullptr);

    void Reload() override;
    void Store() override;

    /// The controls of the form.
    const CFormControls& Controls() const { return controls_; }

protected:
    /// Stores the record at once whenever the user edits a bound control (a drop-down entry
    /// picked, a check box clicked, a box's editing finished), then calls afterEdit with the
    /// control's id so that the view can apply its rules.
    void StoreOnEdit(std::function<void(int controlId)> afterEdit = {});
    /// Re-fills the drop-downs with their fields' choice lists (after the view removed
    /// entries its model does not offer, before showing the record again).
    void FillBoxes();

private:
    CFormControls controls_;
    std::vector<int> boundIds_;
    CFieldFormBinding binding_;
    RecordAccess record_;
};

}  // namespace rv
