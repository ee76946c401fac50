#include "editors/dtmf/gui/DTMFSysSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

#include "base/Settings.h"
#include "editors/dtmf/DtmfFieldTable.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Widest the pages' forms grow.
constexpr int kFormMaxWidth = 480;

constexpr FormRow kBasicRows[] = {
    {5303, ControlKind::Label, "Primary ID"},  {kDtmfPrimaryIdBox, ControlKind::Edit, ""},
    {5307, ControlKind::Label, "PTT ID Type"}, {kPttIdTypeList, ControlKind::Combo, ""},
    {5309, ControlKind::Check, "Side Tone"},   {5310, ControlKind::Check, "Short Beep"},
};
constexpr FieldControl kBasicFields[] = {
    {kDtmfPrimaryIdBox, "primary_id"},
    {kPttIdTypeList, "ptt_id_type"},
    {5309, "side_tone"},
    {5310, "short_beep"},
};

constexpr FormRow kAdvancedRows[] = {
    {5342, ControlKind::Label, "Pretime"},
    {kPretimeList, ControlKind::Combo, ""},
    {5348, ControlKind::Label, "Digit Duration"},
    {kDigitDurationList, ControlKind::Combo, ""},
    {5350, ControlKind::Label, "Digit Interval Duration[ms]"},
    {kDigitIntervalList, ControlKind::Combo, ""},
};
constexpr FieldControl kAdvancedFields[] = {
    {kPretimeList, "pretime"},
    {kDigitDurationList, "digit_duration"},
    {kDigitIntervalList, "digit_interval"},
};

/// Lets into the Primary ID field only DTMF keys, at most eight, shown in upper case.
class CPrimaryIdValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        const auto accepted = CDtmfSystemData::AcceptPrimaryIdInput(FromQ(input));
        if (!accepted) return Invalid;
        input = ToQ(*accepted);
        return Acceptable;
    }
};

}  // namespace

CDtmfSystemPage::CDtmfSystemPage(const char* name, int pageId, std::span<const FormRow> rows,
                                 std::span<const FieldControl> fields, bool raiseChanges,
                                 QWidget* parent)
    : CRecordPageOf(name, pageId, kFormMaxWidth, parent),
      controls_(BuildPageForm(rows)),
      binding_(kDtmfFieldTable, controls_, fields),
      fields_(fields),
      raiseChanges_(raiseChanges)
{
    binding_.Fill(Settings());
    auto commit = [this] {
        if (!loading_) WriteBack();
    };
    for (const FieldControl& f : fields_) {
        QWidget* control = controls_.Control(f.controlId);
        if (auto* combo = qobject_cast<QComboBox*>(control))
            connect(combo, &QComboBox::activated, this, commit);
        else if (auto* check = qobject_cast<QCheckBox*>(control))
            connect(check, &QCheckBox::clicked, this, commit);
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            connect(edit, &QLineEdit::editingFinished, this, commit);
    }
    if (auto* id = controls_.Get<QLineEdit>(kDtmfPrimaryIdBox)) {
        id->setValidator(new CPrimaryIdValidator(id));
        id->setMaxLength(static_cast<int>(CDtmfSystemData::kMaxIdDigits));
    }
}

void CDtmfSystemPage::Load()
{
    loading_ = true;
    CDtmfSystemData* system = Record();
    setEnabled(system != nullptr);
    if (system) binding_.Load(system->Raw().Bytes(), Settings());
    loading_ = false;
}

void CDtmfSystemPage::WriteBack()
{
    CDtmfSystemData* system = Record();
    if (!system) return;
    const std::vector<std::string> written = binding_.Store(BytesOf(system->Raw()), Settings());
    if (!raiseChanges_) return;
    for (const std::string& key : written)
        for (const FieldControl& f : fields_)
            if (f.key == key) RaiseCommitted(f.controlId);
}

CDTMFSysSheet::CDTMFSysSheet(QWidget* parent)
    : CRecordSheet(parent),
      basic_(AddPage(new CDtmfSystemPage("PageDtmfBasic", kDtmfBasicPageId, kBasicRows,
                                         kBasicFields, false, this),
                     kDtmfBasicPageId, "Basic")),
      advanced_(AddPage(new CDtmfSystemPage("PageDtmfAdvanced", kDtmfAdvancedPageId, kAdvancedRows,
                                            kAdvancedFields, true, this),
                        kDtmfAdvancedPageId, "Advanced"))
{
    setObjectName("DTMFSysSheet");
    Retranslate();
}

}  // namespace rv
