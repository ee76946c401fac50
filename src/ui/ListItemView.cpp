#include "ui/ListItemView.h"

#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/QtText.h"
#include "ui/RecordSheet.h"

namespace rv {

int CRecordListView::RecordCount() const
{
    return static_cast<int>(ItemCount());
}

int CRecordListView::CurrentRecord() const
{
    return static_cast<int>(NumberOf(currentId_));
}

void CRecordListView::Navigate(int command, int number)
{
    if (command < static_cast<int>(ListCommand::First) ||
        command > static_cast<int>(ListCommand::GoTo))
        return;
    WriteBackShown();
    std::optional<size_t> current;
    if (size_t n = NumberOf(currentId_); n > 0) current = n - 1;
    const ListCommandResult result = Run(static_cast<ListCommand>(command), current, number);
    ShowIndex(result.current);
    if (result.notice) RaiseNotice(*result.notice);
    if (result.listChanged) RecordListChanged();
}

CListItemView::CListItemView(int formId, int titleCommand, const char* titleFallback,
                             int& rememberedPage, QWidget* parent)
    : CRecordListView(formId, parent),
      titleCommand_(titleCommand),
      titleFallback_(titleFallback),
      rememberedPage_(rememberedPage)
{
}

void CListItemView::Open(CRecordSheet* sheet, const ListCommandResult& opened)
{
    sheet_ = sheet;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sheet_);
    sheet_->SetSink([this](const NoticeRecord& n) { RaiseNotice(n); }, this);
    if (opened.notice) {
        // The main window hears the view once it has been opened.
        QMetaObject::invokeMethod(
            this, [this, n = *opened.notice] { RaiseNotice(n); }, Qt::QueuedConnection);
    }
    ShowIndex(opened.current);
    sheet_->setCurrentIndex(std::clamp(rememberedPage_, 0, sheet_->count() - 1));
    // The main window names the child window after the view is made: name it after the
    // current item once it is open.
    QMetaObject::invokeMethod(
        this, [this] { UpdateTitle(); }, Qt::QueuedConnection);
}

CListItemView::~CListItemView()
{
    if (!sheet_) return;
    rememberedPage_ = sheet_->currentIndex();
    // The window has stored and announced its fields when it closed; what is left is stored
    // without notices, the views around may be going too.
    sheet_->SetSink({}, nullptr);
    sheet_->Store();
    sheet_->Detach();
}

void CListItemView::ShowIndex(std::optional<size_t> index)
{
    if (index && *index < ItemCount()) {
        SetCurrentId(ItemIdAt(*index));
        lastIndex_ = *index;
    } else {
        SetCurrentId(0);
    }
    sheet_->SetItem(CurrentId());
    UpdateTitle();
    CNavigationBar::RefreshAll();
}

bool CListItemView::ReplaceDeleted()
{
    if (!CurrentId() || NumberOf(CurrentId()) > 0) return false;
    ShowIndex(IndexAfterDelete(lastIndex_, ItemCount()));
    return true;
}

void CListItemView::UpdateTitle()
{
    const QString name = UiText(titleCommand_, titleFallback_);
    const int number = CurrentRecord();
    SetFrameTitle(number > 0 ? QStringLiteral("%1 %2").arg(name).arg(number) : name);
}

void CListItemView::showEvent(QShowEvent* event)
{
    CCustomFormView::showEvent(event);
    UpdateTitle();
}

void CListItemView::Reload()
{
    // The item may be gone (new data): the one at the same position takes its place.
    if (ReplaceDeleted()) return;
    sheet_->Load();
    UpdateTitle();
}

void CListItemView::Store()
{
    sheet_->Store();
}

void CListItemView::OnNotice(const NoticeRecord& notice)
{
    // Another view may have deleted the item shown here; otherwise the number of the item
    // shown may have changed.
    if (!ReplaceDeleted() &&
        (notice.code == NoticeCode::Added || notice.code == NoticeCode::Deleted))
        UpdateTitle();
    sheet_->OnNotice(notice);
}

void CListItemView::WriteBackShown()
{
    sheet_->Store();
}

}  // namespace rv
