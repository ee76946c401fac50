#pragma once
// The personality sheet: the RX/TX page always, the Signaling page for the model that has
// transmit signalling. The sheet passes the current personality, loads, stores and notices
// on to its pages.

#include <QTabWidget>
#include <cstdint>
#include <functional>

#include "data/Notice.h"

namespace rv {

class CPersonalityRXTXPage;
class CPersonalitySignalPage;

class CPersonalitySheet : public QTabWidget {
    Q_OBJECT
public:
    /// Where the pages' notices go (the view raises them).
    using NoticeSink = std::function<void(const NoticeRecord&)>;

    /// withSignalPage: the Signaling page is part of the sheet.
    explicit CPersonalitySheet(bool withSignalPage, QWidget* parent = nullptr);

    /// Sets where the pages' notices go and the sender they carry.
    void SetSink(NoticeSink sink, const void* sender);
    /// The pages edit this personality (0: none) and load it.
    void SetPersonality(uint32_t id);
    /// The pages load from the personality.
    void Load();
    /// The pages write back into the personality.
    void Store();
    /// Leaves the personality without writing or loading and sends no more notices.
    void Detach();
    /// Captions of the tabs from the language file.
    void Retranslate();

    /// The RX/TX page.
    CPersonalityRXTXPage* RxTx() const { return rxtx_; }
    /// The Signaling page, nullptr when the sheet has none.
    CPersonalitySignalPage* Signal() const { return signal_; }

private:
    CPersonalityRXTXPage* rxtx_;
    CPersonalitySignalPage* signal_ = nullptr;
};

}  // namespace rv
