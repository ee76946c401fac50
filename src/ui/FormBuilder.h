#pragma once
// Forms from data: a view lists its controls as rows of (control id, kind, English text) and
// the builder lays them out. Every control is named by its id, which is also its text number,
// so captions, labels, choice lists, hide values and numeric ranges all come from the language
// file the same way (TranslateDialog); a text the language file lacks keeps the English
// default.
//
// Layout: a Label row directly followed by a field row (Edit, ReadOnly, Combo, Number, List)
// makes one line with the label on the left; any other row takes a whole line. Group ... EndGroup
// puts rows into a group box; Column starts the next column of the form.

#include <QDoubleSpinBox>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "base/ChoiceList.h"

class QWidget;
class QLabel;

namespace rv {

/// What a form row makes.
enum class ControlKind {
    Label,     ///< static text (QLabel)
    Edit,      ///< text field (QLineEdit)
    ReadOnly,  ///< read-only text field (QLineEdit)
    Combo,     ///< combo box filled with the choice list of its id (QComboBox)
    Number,    ///< numeric field limited by the range descriptor of its id (CRangeSpinBox)
    Check,     ///< check box (QCheckBox)
    Button,    ///< push button (QPushButton)
    List,      ///< list box of the N.text entries of its id (QListWidget)
    Group,     ///< starts a group box captioned with its text
    EndGroup,  ///< ends the innermost group box
    Column,    ///< starts the next column
};

/// One row of a form table.
struct FormRow {
    int id;  ///< control id and text number (0 for EndGroup and Column)
    ControlKind kind;
    const char* english;  ///< default text of a label, check box, button or group box
};

/// A numeric field whose limits, step and decimals come from a range descriptor; it shows the
/// display value and hands out the stored value.
class CRangeSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit CRangeSpinBox(QWidget* parent = nullptr);
    /// Limits, step and decimals of the descriptor (the value is kept in range).
    void SetDescriptor(const RangeDescriptor& range);
    /// Without a descriptor the field shows stored values 0 to 255 as they are.
    void ClearDescriptor();
    const std::optional<RangeDescriptor>& Descriptor() const { return range_; }
    /// Shows the item of a stored value.
    void SetStoredValue(long long stored);
    /// Stored value of the shown number (the nearest item).
    long long StoredValue() const;

private:
    std::optional<RangeDescriptor> range_;
};

/// The controls a form was built with, by id.
class CFormControls {
public:
    /// The control with this id, nullptr when the form has none.
    QWidget* Control(int id) const;
    /// The control with this id as a T, nullptr when it has none of that type.
    template <class T>
    T* Get(int id) const
    {
        return qobject_cast<T*>(Control(id));
    }
    /// The label shown beside a field, nullptr when it has none.
    QLabel* LabelOf(int fieldId) const;
    /// Ids in the order of the rows.
    const std::vector<int>& Ids() const { return order_; }

    void Add(int id, QWidget* control);         ///< used by the builder
    void AddLabel(int fieldId, QLabel* label);  ///< used by the builder

private:
    std::map<int, QWidget*> controls_;
    std::map<int, QLabel*> labels_;
    std::vector<int> order_;
};

/// Lays out the rows in form (which gets a new layout), names every control by its id and
/// translates the form (TranslateDialog with formId).
CFormControls BuildForm(QWidget* form, int formId, std::span<const FormRow> rows);

/// Names a widget by its control id and keeps its English default text.
void SetControlId(QWidget* widget, int id, const QString& english = {});
/// Control id of a widget; 0 when it has none.
int ControlIdOf(const QWidget* widget);
/// Control ids from a widget outwards through its parents (the control, its group, its form
/// ...): the help topics to try, most specific first.
std::vector<int> ControlIdChain(const QWidget* widget);

/// Applies the language file to one named control: text of labels, buttons, check boxes and
/// group boxes; items of combo boxes (the selected value kept) and list boxes; limits of
/// numeric fields; disabled when the control's hide value is non-zero.
void TranslateControl(QWidget* widget);
/// Caption of window from text `number` (when the language file has it), then
/// TranslateControl for every named control inside it.
void TranslateDialog(QWidget* window, int number);
/// Enables or disables a control; a control hidden for the current model stays disabled.
void EnableControl(QWidget* widget, bool enabled);
/// True when the current model's hide value disables the control.
bool IsControlHidden(const QWidget* widget);

}  // namespace rv
