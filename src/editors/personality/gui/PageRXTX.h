#pragma once
// The RX/TX page of the personality sheet: transmit admit criterion and the time-out timer
// with its pre-alert, re-key and reset times. The pre-alert box never offers more entries
// than the time-out value (the time-out rule of the core).

#include <QWidget>
#include <string>
#include <vector>

#include "editors/personality/PersonalityData.h"
#include "ui/FieldPage.h"

namespace rv {

class CPersonalityRXTXPage : public CFieldPageOf<CPersonalityData, &RadioData::FindPersonality> {
    Q_OBJECT
public:
    explicit CPersonalityRXTXPage(QWidget* parent = nullptr);

    /// Captions and choice lists from the language file; saves the full pre-alert list.
    void Init();
    /// Shows the personality's times and applies the time-out rule.
    void Load() override;

private:
    /// Refills the pre-alert box for the record's time-out and enables the dependent boxes.
    void ApplyTimeOutRule(const std::string& previousPreAlert);
    /// Writes back the box the user changed (and, after a new time-out, the pre-alert the
    /// rule re-fitted) and reports it as committed.
    void Changed(int controlId);

    std::vector<std::string> savedPreAlert_;
};

}  // namespace rv
