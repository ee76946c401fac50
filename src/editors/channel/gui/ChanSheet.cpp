#include "editors/channel/gui/ChanSheet.h"

#include "editors/channel/ChannelFields.h"
#include "editors/channel/gui/PageChanBasic.h"
#include "editors/channel/gui/PageChanMisc.h"

namespace rv {

CChanSheet::CChanSheet(QWidget* parent)
    : CRecordSheet(parent),
      basic_(AddPage(new CPageChanBasic(this), kChannelBasicPageId, "Basic")),
      misc_(AddPage(new CPageChanMisc(this), kChannelMiscPageId, "Miscellaneous"))
{
    setObjectName("ChanSheet");
    Retranslate();
}

}  // namespace rv
