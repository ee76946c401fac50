#include "editors/personality/gui/PersonalitySheet.h"

#include "editors/personality/PersonalityData.h"
#include "editors/personality/gui/PagePersonalitySignal.h"
#include "editors/personality/gui/PageRXTX.h"

namespace rv {

CPersonalitySheet::CPersonalitySheet(bool withSignalPage, QWidget* parent)
    : CRecordSheet(parent),
      rxtx_(AddPage(new CPersonalityRXTXPage(this), kPersonalityRxTxPageId, "RX/TX"))
{
    setObjectName("PersonalitySheet");
    if (withSignalPage)
        signal_ = AddPage(new CPersonalitySignalPage(this), kPersonalitySignalPageId, "Signaling");
    Retranslate();
}

}  // namespace rv
