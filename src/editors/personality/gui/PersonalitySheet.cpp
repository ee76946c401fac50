#include "editors/personality/gui/PersonalitySheet.h"

#include "editors/personality/gui/PageRXTX.h"
#include "editors/personality/gui/PagePersonalitySignal.h"
#include "editors/personality/PersonalityData.h"
#include "ui/QtText.h"

namespace rv {

CPersonalitySheet::CPersonalitySheet(bool withSignalPage, QWidget* parent)
    : QTabWidget(parent), rxtx_(new CPersonalityRXTXPage(this))
{
    setObjectName("PersonalitySheet");
    addTab(rxtx_, QString());
    if (withSignalPage) {
        signal_ = new CPersonalitySignalPage(this);
        addTab(signal_, QString());
    }
    Retranslate();
}

void CPersonalitySheet::Retranslate()
{
    setTabText(0, UiText(kPersonalityRxTxPageId, "RX/TX"));
    if (signal_) setTabText(1, UiText(kPersonalitySignalPageId, "Signaling"));
}

void CPersonalitySheet::SetSink(NoticeSink sink, const void* sender)
{
    rxtx_->SetSink(sink, sender);
    if (signal_) signal_->SetSink(sink, sender);
}

void CPersonalitySheet::SetPersonality(uint32_t id)
{
    rxtx_->SetPersonality(id);
    if (signal_) signal_->SetPersonality(id);
    Load();
}

void CPersonalitySheet::Load()
{
    rxtx_->Load();
    if (signal_) signal_->Load();
}

void CPersonalitySheet::Store()
{
    rxtx_->WriteBack();
    if (signal_) signal_->WriteBack();
}

void CPersonalitySheet::Detach()
{
    SetSink({}, nullptr);
    rxtx_->SetPersonality(0);
    if (signal_) signal_->SetPersonality(0);
}

}  // namespace rv
