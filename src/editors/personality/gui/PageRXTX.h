#pragma once
// The RX/TX page of the personality sheet: transmit admit criterion and the time-out timer
// with its pre-alert, re-key and reset times. The pre-alert box never offers more entries
// than the time-out value (the time-out rule of the core).

#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "data/Notice.h"
#include "editors/personality/PersonalityData.h"
#include "ui/FieldForm.h"
#include "ui/FormBuilder.h"
#include "ui/RecordSheet.h"

namespace rv {

class CPersonalityRXTXPage : public CRecordPageOf<CPersonalityData, &RadioData::FindPersonality> {
    Q_OBJECT
public:
    explicit CPersonalityRXTXPage(QWidget* parent = nullptr);

    /// Captions and choice lists from the language file; saves the full pre-alert list.
    void Init();
    /// Shows the personality's times and applies the time-out rule.
    void Load() override;
    /// Writes the texts the user changed since the page showed them back into the
    /// personality; the other bytes keep their values.
    void WriteBack() override;
    /// Loads again when another view added or deleted an item.
    void OnNotice(const NoticeRecord& notice) override;

    /// The control with this id, nullptr when none.
    QWidget* Control(int id) const { return controls_.Control(id); }

private:
    /// Refills the pre-alert box for the record's time-out and enables the dependent boxes.
    void ApplyTimeOutRule(const std::string& previousPreAlert);
    void Changed(int controlId);

    CFormControls controls_;
    /// The five boxes whose fields the personality record keeps, bound by key.
    CFieldFormBinding binding_;
    std::vector<std::string> savedPreAlert_;
    bool loading_ = false;
};

}  // namespace rv
