#include "ui/FieldForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

#include "ui/ComboHelpers.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// The text a control shows in the field's terms ("1"/"0" for a check box, the stored
/// number for a number box).
std::string ControlText(const QWidget* control)
{
    if (const auto* spin = qobject_cast<const CRangeSpinBox*>(control))
        return std::to_string(spin->StoredValue());
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText().toStdString();
    if (const auto* check = qobject_cast<const QCheckBox*>(control))
        return check->isChecked() ? "1" : "0";
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text().toStdString();
    return {};
}

/// Shows a field's text in a control. A combo box that has no such entry gets one (a stored
/// value no entry has shows as a number and stays until the user picks another entry).
void ShowText(QWidget* control, const std::string& text)
{
    const QString shown = ToQ(text);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        int index = combo->findText(shown);
        if (index < 0) {
            combo->addItem(shown);
            index = combo->count() - 1;
        }
        combo->setCurrentIndex(index);
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        check->setChecked(text == "1");
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(shown);
    }
}

}  // namespace

CFieldFormBinding::CFieldFormBinding(const FieldTable& table, const CFormControls& controls,
                                     std::span<const FieldControl> fields)
{
    for (const FieldControl& f : fields) {
        const std::optional<FieldRef> field = FindField(table, f.key);
        QWidget* control = controls.Control(f.controlId);
        if (!field || !control) continue;
        bound_.push_back({*field, control, {}});
        CCustomFormView::SetFieldKey(control, f.key);
    }
}

void CFieldFormBinding::Fill(const CTextService& texts)
{
    for (Bound& b : bound_) {
        if (auto* combo = qobject_cast<QComboBox*>(b.control);
            combo && b.field.def->kind == FieldKind::Choice)
            FillComboBox(combo, ListOf(*b.field.def, texts));
        // A number box takes the range descriptor of its field's list.
        if (auto* spin = qobject_cast<CRangeSpinBox*>(b.control)) {
            const int list = ListOf(*b.field.def, texts);
            if (list <= 0) continue;
            const std::string entries = texts.LoadText(list);
            for (size_t from = 0; from <= entries.size();) {
                const size_t to = std::min(entries.find(';', from), entries.size());
                if (auto range =
                        ParseRangeDescriptor(std::string_view(entries).substr(from, to - from))) {
                    spin->SetDescriptor(*range);
                    break;
                }
                from = to + 1;
            }
        }
    }
}

void CFieldFormBinding::Load(std::span<const uint8_t> record, const CTextService& texts)
{
    for (Bound& b : bound_) {
        // A number box shows the stored number through its range descriptor; the box keeps
        // every typed number within the range (a stored number outside it is kept until the
        // user changes the box).
        if (auto* spin = qobject_cast<CRangeSpinBox*>(b.control))
            spin->SetStoredValue(GetNumber(b.field, record));
        else
            ShowText(b.control, GetText(b.field, record, texts));
        b.shown = ControlText(b.control);
    }
}

std::vector<std::string> CFieldFormBinding::Store(std::span<uint8_t> record,
                                                  const CTextService& texts)
{
    std::vector<std::string> written;
    for (Bound& b : bound_) {
        const std::string text = ControlText(b.control);
        if (text == b.shown || b.field.def->readOnly) continue;
        const auto* spin = qobject_cast<const CRangeSpinBox*>(b.control);
        const bool stored =
            spin ? SetValue(b.field, record, FieldValue{static_cast<uint32_t>(spin->StoredValue())})
                 : SetText(b.field, record, text, texts);
        if (stored) written.push_back(b.field.Key());
        b.shown = text;
    }
    return written;
}

void CFieldFormBinding::Clear()
{
    for (Bound& b : bound_) {
        if (auto* combo = qobject_cast<QComboBox*>(b.control)) {
            combo->setCurrentIndex(-1);
            if (combo->isEditable()) combo->setEditText(QString());
        } else if (auto* check = qobject_cast<QCheckBox*>(b.control)) {
            check->setChecked(false);
        } else if (auto* edit = qobject_cast<QLineEdit*>(b.control)) {
            edit->clear();
        }
        b.shown = ControlText(b.control);
    }
}

void CFieldFormBinding::TakeShown()
{
    for (Bound& b : bound_) b.shown = ControlText(b.control);
}

void CFieldFormBinding::MarkEdited(std::string_view key)
{
    // No control shows a text with a zero character: the next Store writes the field.
    for (Bound& b : bound_)
        if (b.field.Key() == key) b.shown = std::string(1, '\0');
}

CRecordFormView::CRecordFormView(int formId, const FieldTable& table, std::span<const FormRow> rows,
                                 std::span<const FieldControl> fields, RecordAccess record,
                                 QWidget* parent)
    : CCustomFormView(formId, parent),
      controls_(BuildForm(this, formId, rows)),
      binding_(table, controls_, fields),
      record_(std::move(record))
{
    for (const FieldControl& f : fields) boundIds_.push_back(f.controlId);
    binding_.Fill(Settings());
    Reload();
}

void CRecordFormView::Reload()
{
    binding_.Load(record_(), Settings());
}

void CRecordFormView::Store()
{
    binding_.Store(record_(), Settings());
}

void CRecordFormView::FillBoxes()
{
    binding_.Fill(Settings());
}

void CRecordFormView::StoreOnEdit(std::function<void(int controlId)> afterEdit)
{
    for (int id : boundIds_) {
        QWidget* control = controls_.Control(id);
        const auto edited = [this, id, afterEdit] {
            Store();
            if (afterEdit) afterEdit(id);
        };
        if (auto* combo = qobject_cast<QComboBox*>(control))
            connect(combo, &QComboBox::activated, this, edited);
        else if (auto* check = qobject_cast<QCheckBox*>(control))
            connect(check, &QCheckBox::clicked, this, edited);
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            connect(edit, &QLineEdit::editingFinished, this, edited);
        else if (auto* spin = qobject_cast<CRangeSpinBox*>(control))
            connect(spin, &QAbstractSpinBox::editingFinished, this, edited);
    }
}

}  // namespace rv
