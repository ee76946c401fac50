#include "editors/channel/gui/ViewChannel.h"

#include <QShowEvent>
#include <QVBoxLayout>

#include "data/RadioData.h"
#include "editors/channel/gui/ChanSheet.h"
#include "editors/channel/ChannelCommands.h"
#include "editors/channel/ChannelData.h"
#include "base/CommandIds.h"
#include "ui/QtText.h"

namespace rv {

namespace {
/// The page the last channel view showed when it closed (kept for the program run).
int rememberedPage = 0;
}  // namespace

CViewChannel::CViewChannel(QWidget* parent) : CCustomFormView(kFormId, parent)
{
    setObjectName("ViewChannel");
    auto* layout = new QVBoxLayout(this);
    sheet_ = new CChanSheet(this);
    layout->addWidget(sheet_);
    sheet_->SetSink([this](const NoticeRecord& n) { RaiseNotice(n); }, this);

    const ListCommandResult opened = OpenChannelList(this);
    if (opened.notice) {
        // The main window hears the view once it has been opened.
        QMetaObject::invokeMethod(
            this, [this, n = *opened.notice] { RaiseNotice(n); }, Qt::QueuedConnection);
    }
    ShowIndex(opened.current);
    sheet_->setCurrentIndex(std::clamp(rememberedPage, 0, sheet_->count() - 1));
    // The main window names the child window after the view is made: name it after the
    // current item once it is open.
    QMetaObject::invokeMethod(this, [this] { UpdateTitle(); }, Qt::QueuedConnection);
}

CViewChannel::~CViewChannel()
{
    rememberedPage = sheet_->currentIndex();
    // The window has stored and announced its fields when it closed; what is left is stored
    // without notices, the views around may be going too.
    sheet_->SetSink({}, nullptr);
    sheet_->Store();
    sheet_->Detach();
}

int CViewChannel::RememberedPage()
{
    return rememberedPage;
}

CChannelData* CViewChannel::Current() const
{
    return currentId_ ? Radio().FindChannel(currentId_) : nullptr;
}

int CViewChannel::RecordCount() const
{
    return static_cast<int>(Radio().Channels().size());
}

int CViewChannel::CurrentRecord() const
{
    return static_cast<int>(Radio().ChannelNumberOf(currentId_));
}

void CViewChannel::ShowIndex(std::optional<size_t> index)
{
    const auto& channels = Radio().Channels();
    if (index && *index < channels.size()) {
        currentId_ = channels[*index]->id_;
        lastIndex_ = *index;
    } else {
        currentId_ = 0;
    }
    sheet_->SetChannel(currentId_);
    UpdateTitle();
    CNavigationBar::RefreshAll();
}

void CViewChannel::UpdateTitle()
{
    const QString name = UiText(Id(Command::Channel), "Channel");
    const int number = CurrentRecord();
    SetFrameTitle(number > 0 ? QStringLiteral("%1 %2").arg(name).arg(number) : name);
}

void CViewChannel::showEvent(QShowEvent* event)
{
    CCustomFormView::showEvent(event);
    UpdateTitle();
}

void CViewChannel::Reload()
{
    // The channel may be gone (new data): the one at the same position takes its place.
    if (currentId_ && !Current()) {
        const size_t count = Radio().Channels().size();
        ShowIndex(IndexAfterDelete(lastIndex_, count));
        return;
    }
    sheet_->Load();
    UpdateTitle();
}

void CViewChannel::Store()
{
    sheet_->Store();
}

void CViewChannel::OnNotice(const NoticeRecord& notice)
{
    if (currentId_ && !Current()) {
        // Another view deleted the channel shown here.
        const size_t count = Radio().Channels().size();
        ShowIndex(IndexAfterDelete(lastIndex_, count));
    } else if (notice.code == NoticeCode::Added || notice.code == NoticeCode::Deleted) {
        // The number of the channel shown may have changed.
        UpdateTitle();
    }
    sheet_->OnNotice(notice);
}

void CViewChannel::Navigate(int command, int number)
{
    if (command < static_cast<int>(ListCommand::First) ||
        command > static_cast<int>(ListCommand::GoTo))
        return;
    sheet_->Store();
    std::optional<size_t> current;
    if (size_t n = Radio().ChannelNumberOf(currentId_); n > 0) current = n - 1;
    const ListCommandResult result = RunChannelCommand(
        static_cast<ListCommand>(command), current, number, SingleItemDelete::KeepCurrent, this);
    ShowIndex(result.current);
    if (result.notice) RaiseNotice(*result.notice);
    if (result.listChanged) RecordListChanged();
}

}  // namespace rv
