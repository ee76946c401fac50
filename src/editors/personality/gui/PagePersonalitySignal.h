#pragma once
// The Signaling page of the personality sheet (offered for one model only): the transmit
// optional signalling, and the signalling systems, which are kept in memory only.

#include <QWidget>
#include <cstdint>
#include <string>

#include "data/Notice.h"
#include "editors/personality/PersonalityData.h"
#include "ui/FieldForm.h"
#include "ui/FormBuilder.h"
#include "ui/RecordSheet.h"

namespace rv {

class CPersonalitySignalPage : public CRecordPageOf<CPersonalityData, &RadioData::FindPersonality> {
    Q_OBJECT
public:
    explicit CPersonalitySignalPage(QWidget* parent = nullptr);

    /// Shows the personality's transmit signalling.
    void Load() override;
    /// Writes the transmit signalling (when the user changed it since the page showed it) and
    /// the system choices back.
    void WriteBack() override;
    /// Loads again when another view added or deleted an item.
    void OnNotice(const NoticeRecord& notice) override;

    /// The control with this id, nullptr when none.
    QWidget* Control(int id) const { return controls_.Control(id); }

private:
    CFormControls controls_;
    /// The transmit signalling box, bound to its field.
    CFieldFormBinding binding_;
    bool loading_ = false;
};

}  // namespace rv
