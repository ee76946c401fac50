#include "ui/FormBuilder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "ui/ComboHelpers.h"
#include "ui/DecimalInput.h"
#include "ui/QtText.h"

namespace rv {

namespace {

constexpr const char* kIdProperty = "rvId";
constexpr const char* kEnglishProperty = "rvEnglish";
constexpr const char* kHiddenProperty = "rvHidden";
/// Stored values a numeric field without a range descriptor accepts.
constexpr int kPlainNumberMax = 255;
/// Width of a field column, so that the forms line up.
constexpr int kFieldMinWidth = 170;

bool IsField(ControlKind kind)
{
    switch (kind) {
        case ControlKind::Edit:
        case ControlKind::ReadOnly:
        case ControlKind::Combo:
        case ControlKind::Number:
        case ControlKind::List:
            return true;
        default:
            return false;
    }
}

QWidget* MakeControl(const FormRow& row, QWidget* parent)
{
    const QString english = QString::fromUtf8(row.english ? row.english : "");
    QWidget* w = nullptr;
    switch (row.kind) {
        case ControlKind::Label:
            w = new QLabel(english, parent);
            break;
        case ControlKind::Edit:
            w = new QLineEdit(parent);
            break;
        case ControlKind::ReadOnly: {
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(true);
            // A field that cannot be typed into does not look like one.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
            w = edit;
            break;
        }
        case ControlKind::Combo:
            w = new QComboBox(parent);
            break;
        case ControlKind::Number:
            w = new CRangeSpinBox(parent);
            break;
        case ControlKind::Check:
            w = new QCheckBox(english, parent);
            break;
        case ControlKind::Button:
            w = new QPushButton(english, parent);
            break;
        case ControlKind::List:
            w = new QListWidget(parent);
            break;
        case ControlKind::Group:
            w = new QGroupBox(english, parent);
            break;
        default:
            return nullptr;
    }
    if (IsField(row.kind)) w->setMinimumWidth(kFieldMinWidth);
    SetControlId(w, row.id, english);
    return w;
}

/// One grid being filled: the form's column or a group box inside it.
struct Grid {
    QGridLayout* layout;
    QWidget* owner;
    int row = 0;
};

}  // namespace

// ---- CRangeSpinBox ----

CRangeSpinBox::CRangeSpinBox(QWidget* parent) : QDoubleSpinBox(parent)
{
    // A point whatever the desktop's language; a typed comma is the decimal mark too.
    UsePointDecimals(this);
    ClearDescriptor();
}

void CRangeSpinBox::SetDescriptor(const RangeDescriptor& range)
{
    const long long count = range.Count();
    if (count <= 0 || range.storedStep <= 0) {
        ClearDescriptor();
        return;
    }
    range_ = range;
    const double div = range.divisor == 0 ? 1.0 : range.divisor;
    setDecimals(std::max(0, range.decimals));
    setRange(range.displayStart / div,
             (range.displayStart + (count - 1) * range.displayStep) / div);
    setSingleStep(range.displayStep / div);
}

void CRangeSpinBox::ClearDescriptor()
{
    range_.reset();
    setDecimals(0);
    setRange(0, kPlainNumberMax);
    setSingleStep(1);
}

void CRangeSpinBox::SetStoredValue(long long stored)
{
    if (!range_) {
        setValue(static_cast<double>(stored));
        return;
    }
    const double div = range_->divisor == 0 ? 1.0 : range_->divisor;
    if (auto display = RangeDisplayOf(*range_, stored)) setValue(*display / div);
}

long long CRangeSpinBox::StoredValue() const
{
    if (!range_) return std::llround(value());
    const double div = range_->divisor == 0 ? 1.0 : range_->divisor;
    const long long display = std::llround(value() * div);
    return RangeStoredOf(*range_, display).value_or(range_->storedStart);
}

// ---- CFormControls ----

QWidget* CFormControls::Control(int id) const
{
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QLabel* CFormControls::LabelOf(int fieldId) const
{
    auto it = labels_.find(fieldId);
    return it == labels_.end() ? nullptr : it->second;
}

void CFormControls::Add(int id, QWidget* control)
{
    if (controls_.emplace(id, control).second) order_.push_back(id);
}

void CFormControls::AddLabel(int fieldId, QLabel* label)
{
    labels_[fieldId] = label;
}

// ---- building ----

CFormControls BuildForm(QWidget* form, int formId, std::span<const FormRow> rows)
{
    CFormControls controls;
    auto* outer = new QHBoxLayout(form);
    std::vector<Grid> stack;
    QLabel* pendingLabel = nullptr;

    auto newColumn = [&] {
        auto* column = new QVBoxLayout;
        auto* grid = new QGridLayout;
        grid->setColumnStretch(1, 1);
        column->addLayout(grid);
        column->addStretch(1);
        outer->addLayout(column, 1);
        stack.assign(1, Grid{grid, form, 0});
    };
    auto addWhole = [&](QWidget* w) {
        Grid& g = stack.back();
        g.layout->addWidget(w, g.row++, 0, 1, 2);
    };
    auto flushLabel = [&] {
        if (pendingLabel) addWhole(pendingLabel);
        pendingLabel = nullptr;
    };

    newColumn();
    for (const FormRow& row : rows) {
        switch (row.kind) {
            case ControlKind::Column:
                flushLabel();
                newColumn();
                continue;
            case ControlKind::EndGroup:
                flushLabel();
                if (stack.size() > 1) stack.pop_back();
                continue;
            default:
                break;
        }
        QWidget* w = MakeControl(row, stack.back().owner);
        if (!w) continue;
        controls.Add(row.id, w);
        if (row.kind == ControlKind::Label) {
            flushLabel();
            pendingLabel = static_cast<QLabel*>(w);
        } else if (IsField(row.kind) && pendingLabel) {
            Grid& g = stack.back();
            g.layout->addWidget(pendingLabel, g.row, 0);
            g.layout->addWidget(w, g.row++, 1);
            pendingLabel->setBuddy(w);
            controls.AddLabel(row.id, pendingLabel);
            pendingLabel = nullptr;
        } else {
            flushLabel();
            addWhole(w);
            if (row.kind == ControlKind::Group) {
                auto* grid = new QGridLayout(w);
                grid->setColumnStretch(1, 1);
                stack.push_back(Grid{grid, w, 0});
            }
        }
    }
    flushLabel();
    SetControlId(form, formId);
    TranslateDialog(form, formId);
    return controls;
}

// ---- control ids and translation ----

void SetControlId(QWidget* widget, int id, const QString& english)
{
    widget->setProperty(kIdProperty, id);
    if (!english.isEmpty()) widget->setProperty(kEnglishProperty, english);
}

int ControlIdOf(const QWidget* widget)
{
    const QVariant v = widget ? widget->property(kIdProperty) : QVariant();
    return v.isValid() ? v.toInt() : 0;
}

std::vector<int> ControlIdChain(const QWidget* widget)
{
    std::vector<int> ids;
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (int id = ControlIdOf(w); id > 0 && (ids.empty() || ids.back() != id)) ids.push_back(id);
    return ids;
}

void TranslateControl(QWidget* widget)
{
    const int id = ControlIdOf(widget);
    if (id <= 0) return;
    const ControlTexts t = Settings().TranslateControl(id);
    widget->setProperty(kHiddenProperty, t.disabled);
    if (t.disabled) widget->setEnabled(false);
    const QString text =
        t.text.empty() ? widget->property(kEnglishProperty).toString() : ToQ(t.text);

    if (auto* spin = qobject_cast<CRangeSpinBox*>(widget)) {
        if (t.range) {
            const long long stored = spin->StoredValue();
            spin->SetDescriptor(*t.range);
            spin->SetStoredValue(stored);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (!t.entries.empty()) {
            const int value = ComboValue(combo, INT_MIN);
            FillComboBox(combo, t.entries);
            if (value != INT_MIN) SelectComboValue(combo, value);
        }
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        if (!t.entries.empty()) {
            const int row = list->currentRow();
            list->clear();
            for (const ChoiceEntry& e : t.entries) {
                auto* item = new QListWidgetItem(ToQ(e.text), list);
                item->setData(Qt::UserRole, e.value);
            }
            if (row >= 0 && row < list->count()) list->setCurrentRow(row);
        }
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (!text.isEmpty()) label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (!text.isEmpty()) button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        if (!text.isEmpty()) group->setTitle(text);
    }
}

void TranslateDialog(QWidget* window, int number)
{
    const std::string caption = Settings().LoadText(number);
    if (!caption.empty()) window->setWindowTitle(ToQ(caption));
    for (QWidget* child : window->findChildren<QWidget*>()) TranslateControl(child);
}

void EnableControl(QWidget* widget, bool enabled)
{
    widget->setEnabled(enabled && !IsControlHidden(widget));
}

bool IsControlHidden(const QWidget* widget)
{
    return widget->property(kHiddenProperty).toBool();
}

}  // namespace rv
