#include "ui/RecordSheet.h"

#include "ui/QtText.h"

namespace rv {

CRecordSheet::CRecordSheet(QWidget* parent) : QTabWidget(parent) {}

void CRecordSheet::Retranslate()
{
    for (size_t i = 0; i < pages_.size(); ++i)
        setTabText(static_cast<int>(i), UiText(pages_[i].textId, pages_[i].fallback));
}

void CRecordSheet::SetSink(NoticeSink sink, const void* sender)
{
    for (const Entry& e : pages_) e.page->SetSink(sink, sender);
}

void CRecordSheet::SetItem(uint32_t id)
{
    for (const Entry& e : pages_) e.page->SetItem(id);
    Load();
}

void CRecordSheet::Detach()
{
    SetSink({}, nullptr);
    for (const Entry& e : pages_) e.page->SetItem(0);
}

void CRecordSheet::Load()
{
    for (const Entry& e : pages_) e.page->Load();
}

void CRecordSheet::Store()
{
    for (const Entry& e : pages_) e.page->WriteBack();
}

void CRecordSheet::OnNotice(const NoticeRecord& notice)
{
    for (const Entry& e : pages_) e.page->OnNotice(notice);
}

}  // namespace rv
