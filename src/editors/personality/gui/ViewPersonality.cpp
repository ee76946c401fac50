#include "editors/personality/gui/ViewPersonality.h"

#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "data/RadioData.h"
#include "editors/personality/PersonalityRules.h"
#include "editors/personality/gui/PersonalitySheet.h"
#include "base/Settings.h"
#include "base/CommandIds.h"
#include "ui/QtText.h"

namespace rv {

namespace {
/// The page the last personality view showed when it closed (kept for the program run).
int rememberedPage = 0;
}  // namespace

CViewPersonality::CViewPersonality(QWidget* parent) : CCustomFormView(kFormId, parent)
{
    setObjectName("ViewPersonality");
    auto* layout = new QVBoxLayout(this);
    // The Signaling page belongs to the model that has transmit signalling.
    sheet_ = new CPersonalitySheet(Settings().IsModel(ModelText::Rv205), this);
    layout->addWidget(sheet_);
    sheet_->SetSink([this](const NoticeRecord& n) { RaiseNotice(n); }, this);

    const ListCommandResult opened = OpenPersonalityList(this);
    if (opened.notice)
        QMetaObject::invokeMethod(
            this, [this, n = *opened.notice] { RaiseNotice(n); }, Qt::QueuedConnection);
    ShowIndex(opened.current);
    sheet_->setCurrentIndex(std::clamp(rememberedPage, 0, sheet_->count() - 1));
    // The main window names the child window after the view is made: name it after the
    // current item once it is open.
    QMetaObject::invokeMethod(this, [this] { UpdateTitle(); }, Qt::QueuedConnection);
}

CViewPersonality::~CViewPersonality()
{
    rememberedPage = sheet_->currentIndex();
    // The window has stored and announced its fields when it closed; what is left is stored
    // without notices, the views around may be going too.
    sheet_->SetSink({}, nullptr);
    sheet_->Store();
    sheet_->Detach();
}

int CViewPersonality::RememberedPage()
{
    return rememberedPage;
}

CPersonalityData* CViewPersonality::Current() const
{
    return currentId_ ? Radio().FindPersonality(currentId_) : nullptr;
}

int CViewPersonality::RecordCount() const
{
    return static_cast<int>(Radio().Personalities().size());
}

int CViewPersonality::CurrentRecord() const
{
    return static_cast<int>(Radio().PersonalityNumberOf(currentId_));
}

void CViewPersonality::ShowIndex(std::optional<size_t> index)
{
    const auto& list = Radio().Personalities();
    if (index && *index < list.size()) {
        currentId_ = list[*index]->id_;
        lastIndex_ = *index;
    } else {
        currentId_ = 0;
    }
    sheet_->SetPersonality(currentId_);
    UpdateTitle();
    CNavigationBar::RefreshAll();
}

void CViewPersonality::UpdateTitle()
{
    const QString name = UiText(Id(Command::Personality), "Personality");
    const int number = CurrentRecord();
    SetFrameTitle(number > 0 ? QStringLiteral("%1 %2").arg(name).arg(number) : name);
}

void CViewPersonality::showEvent(QShowEvent* event)
{
    CCustomFormView::showEvent(event);
    UpdateTitle();
}

void CViewPersonality::Reload()
{
    if (currentId_ && !Current()) {
        const size_t count = Radio().Personalities().size();
        ShowIndex(IndexAfterDelete(lastIndex_, count));
        return;
    }
    sheet_->Load();
    UpdateTitle();
}

void CViewPersonality::Store()
{
    sheet_->Store();
}

void CViewPersonality::OnNotice(const NoticeRecord& notice)
{
    if (notice.code != NoticeCode::Added && notice.code != NoticeCode::Deleted) return;
    Reload();
}

void CViewPersonality::Navigate(int command, int number)
{
    if (command < static_cast<int>(ListCommand::First) ||
        command > static_cast<int>(ListCommand::GoTo))
        return;
    sheet_->Store();
    std::optional<size_t> current;
    if (int n = CurrentRecord(); n > 0) current = static_cast<size_t>(n - 1);
    const ListCommandResult result = RunPersonalityCommand(
        static_cast<ListCommand>(command), current, number, SingleItemDelete::NoCurrent, this);
    ShowIndex(result.current);
    if (result.notice) RaiseNotice(*result.notice);
    if (result.listChanged) RecordListChanged();
}

}  // namespace rv
