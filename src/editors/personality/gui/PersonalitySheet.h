#pragma once
// The personality sheet: the RX/TX page always, the Signaling page for the model that has
// transmit signalling.

#include "ui/RecordSheet.h"

namespace rv {

class CPersonalityRXTXPage;
class CPersonalitySignalPage;

class CPersonalitySheet : public CRecordSheet {
    Q_OBJECT
public:
    /// withSignalPage: the Signaling page is part of the sheet.
    explicit CPersonalitySheet(bool withSignalPage, QWidget* parent = nullptr);

    /// The pages edit this personality (0: none) and load it.
    void SetPersonality(uint32_t id) { SetItem(id); }
    /// The RX/TX page.
    CPersonalityRXTXPage* RxTx() const { return rxtx_; }
    /// The Signaling page, nullptr when the sheet has none.
    CPersonalitySignalPage* Signal() const { return signal_; }

private:
    CPersonalityRXTXPage* rxtx_;
    CPersonalitySignalPage* signal_ = nullptr;
};

}  // namespace rv
