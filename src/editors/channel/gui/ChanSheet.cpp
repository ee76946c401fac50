#include "editors/channel/gui/ChanSheet.h"

#include "editors/channel/ChannelFields.h"
#include "editors/channel/gui/PageChanBasic.h"
#include "editors/channel/gui/PageChanMisc.h"
#include "ui/FormBuilder.h"
#include "ui/QtText.h"

namespace rv {

CChanSheet::CChanSheet(QWidget* parent)
    : QTabWidget(parent), basic_(new CPageChanBasic(this)), misc_(new CPageChanMisc(this))
{
    setObjectName("ChanSheet");
    addTab(basic_, QString());
    addTab(misc_, QString());
    Retranslate();
}

void CChanSheet::Retranslate()
{
    setTabText(0, UiText(kChannelBasicPageId, "Basic"));
    setTabText(1, UiText(kChannelMiscPageId, "Miscellaneous"));
}

void CChanSheet::SetSink(NoticeSink sink, const void* sender)
{
    basic_->SetSink(sink, sender);
    misc_->SetSink(sink, sender);
}

void CChanSheet::SetChannel(uint32_t channelId)
{
    basic_->SetChannel(channelId);
    misc_->SetChannel(channelId);
    Load();
}

void CChanSheet::Detach()
{
    basic_->SetSink({}, nullptr);
    misc_->SetSink({}, nullptr);
    basic_->SetChannel(0);
    misc_->SetChannel(0);
}

void CChanSheet::Load()
{
    basic_->Load();
    misc_->Load();
}

void CChanSheet::Store()
{
    basic_->WriteBack();
    misc_->WriteBack();
}

void CChanSheet::OnNotice(const NoticeRecord& notice)
{
    basic_->OnNotice(notice);
    misc_->OnNotice(notice);
}

}  // namespace rv
