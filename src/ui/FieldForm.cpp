#include "ui/FieldForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "ui/ComboHelpers.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// The text a control shows in the field's terms ("1"/"0" for a check box).
std::string ControlText(const QWidget* control)
{
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
        if (field && control) bound_.push_back({*field, control, {}});
    }
}

void CFieldFormBinding::Fill(const CTextService& texts)
{
    for (Bound& b : bound_)
        if (auto* combo = qobject_cast<QComboBox*>(b.control);
            combo && b.field.def->kind == FieldKind::Choice)
            FillComboBox(combo, ListOf(*b.field.def, texts));
}

void CFieldFormBinding::Load(std::span<const uint8_t> record, const CTextService& texts)
{
    for (Bound& b : bound_) {
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
        if (SetText(b.field, record, text, texts)) written.push_back(b.field.Key());
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
    }
}

}  // namespace rv
