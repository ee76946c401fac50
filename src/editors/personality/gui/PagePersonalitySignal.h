#pragma once
// The Signaling page of the personality sheet (offered for one model only): the transmit
// optional signalling, and the signalling systems, which are kept in memory only.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "data/Notice.h"
#include "editors/personality/PersonalityData.h"
#include "ui/FormBuilder.h"
#include "ui/RecordSheet.h"

namespace rv {

class CPersonalitySignalPage : public QWidget, public IRecordPage {
    Q_OBJECT
public:
    explicit CPersonalitySignalPage(QWidget* parent = nullptr);

    /// Sets where notices go and the sender they carry.
    void SetSink(NoticeSink sink, const void* sender) override;
    /// The personality the page edits (by identity; 0 for none). Call Load afterwards.
    void SetPersonality(uint32_t id) { SetItem(id); }
    void SetItem(uint32_t id) override { personalityId_ = id; }
    /// The personality edited, nullptr when none.
    CPersonalityData* Personality() const;

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
    NoticeSink sink_;
    const void* sender_ = nullptr;
    uint32_t personalityId_ = 0;
    /// The transmit signalling text shown after the last load or write-back.
    std::string shownTx_;
    bool loading_ = false;
};

}  // namespace rv
