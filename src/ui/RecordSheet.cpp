#include "ui/RecordSheet.h"

#include <QHBoxLayout>
#include <QLayout>

#include "editors/common/FieldNotice.h"
#include "ui/FormBuilder.h"
#include "ui/QtText.h"

namespace rv {

CRecordPage::CRecordPage(const char* name, int pageId, int maxWidth, QWidget* parent)
    : QWidget(parent), pageId_(pageId), content_(new QWidget(this))
{
    setObjectName(name);
    SetControlId(this, pageId);
    // The form keeps a readable width in a wide window.
    auto* outer = new QHBoxLayout(this);
    content_->setMaximumWidth(maxWidth);
    outer->addWidget(content_);
    outer->addStretch(1);
}

CFormControls CRecordPage::BuildPageForm(std::span<const FormRow> rows)
{
    CFormControls controls = BuildForm(content_, pageId_, rows);
    content_->layout()->setContentsMargins(0, 0, 0, 0);
    return controls;
}

void CRecordPage::SetSink(NoticeSink sink, const void* sender)
{
    sink_ = std::move(sink);
    sender_ = sender;
}

void CRecordPage::Raise(const NoticeRecord& notice) const
{
    if (sink_) sink_(notice);
}

void CRecordPage::RaiseCommitted(int controlId) const
{
    Raise(FieldCommittedNotice(controlId, pageId_, sender_));
}

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
