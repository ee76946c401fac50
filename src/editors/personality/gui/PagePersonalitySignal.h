#pragma once
// The Signaling page of the personality sheet (offered for one model only): the transmit
// optional signalling, and the signalling systems, which are kept in memory only.

#include <QWidget>

#include "editors/personality/PersonalityData.h"
#include "ui/FieldPage.h"

namespace rv {

class CPersonalitySignalPage : public CFieldPageOf<CPersonalityData, &RadioData::FindPersonality> {
    Q_OBJECT
public:
    explicit CPersonalitySignalPage(QWidget* parent = nullptr);

    /// Writes the transmit signalling (when the user changed it since the page showed it) and
    /// the system choices back.
    void WriteBack() override;
};

}  // namespace rv
