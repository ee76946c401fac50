#include "ui/NavigationBar.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "editors/common/ListCommand.h"
#include "ui/ChildFrame.h"
#include "ui/CustomFormView.h"
#include "ui/FormBuilder.h"
#include "ui/GuiCommands.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Every bar of the process (the main window has one; tests may make more).
std::vector<CNavigationBar*>& Bars()
{
    static std::vector<CNavigationBar*> bars;
    return bars;
}

struct ButtonSpec {
    ListCommand command;
    int textId;
    const char* english;
    QStyle::StandardPixmap icon;
    const char* shortcut;
};

// Alt with the movement keys: the plain and Ctrl forms belong to the text fields and grids.
constexpr ButtonSpec kButtons[CNavigationBar::kCommandCount] = {
    {ListCommand::First, NavigationText::kFirst, "First Record", QStyle::SP_MediaSkipBackward,
     "Alt+Home"},
    {ListCommand::Previous, NavigationText::kPrevious, "Previous Record",
     QStyle::SP_MediaSeekBackward, "Alt+PgUp"},
    {ListCommand::Next, NavigationText::kNext, "Next Record", QStyle::SP_MediaSeekForward,
     "Alt+PgDown"},
    {ListCommand::Last, NavigationText::kLast, "Last Record", QStyle::SP_MediaSkipForward,
     "Alt+End"},
    {ListCommand::Add, NavigationText::kAdd, "Add Record", QStyle::SP_FileDialogNewFolder,
     "Alt+Ins"},
    {ListCommand::Delete, NavigationText::kDelete, "Delete Record", QStyle::SP_TrashIcon,
     "Alt+Del"},
};

QString Tip(const QAction* action, const QString& text)
{
    const QString keys = action->shortcut().toString(QKeySequence::NativeText);
    return keys.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, keys);
}

}  // namespace

void RecordListChanged()
{
    if (IMainShell* shell = CCustomFormView::Shell()) shell->RefreshAll();
    CNavigationBar::RefreshAll();
}

CNavigationBar::CNavigationBar(QMdiArea* mdi, QWidget* parent) : QToolBar(parent), mdi_(mdi)
{
    setObjectName("NavigationBar");
    SetControlId(this, NavigationText::kBar);
    for (int i = 0; i < kCommandCount; ++i) {
        const ButtonSpec& button = kButtons[i];
        QAction* action = addAction(style()->standardIcon(button.icon), QString());
        action->setObjectName(QStringLiteral("nav%1").arg(i));
        action->setShortcut(QKeySequence(QString::fromLatin1(button.shortcut)));
        action->setShortcutContext(Qt::WindowShortcut);
        const int command = static_cast<int>(button.command);
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
        actions_[static_cast<size_t>(i)] = action;
        if (button.command == ListCommand::Last) addSeparator();
    }
    addSeparator();

    number_ = new QSpinBox(this);
    number_->setObjectName("navNumber");
    number_->setRange(0, 0);
    number_->setAlignment(Qt::AlignRight);
    number_->setKeyboardTracking(false);
    number_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    number_->setMinimumWidth(44);
    addWidget(number_);
    count_ = new QLabel(this);
    count_->setObjectName("navCount");
    count_->setMinimumWidth(36);
    addWidget(count_);
    // Enter in the number field goes to that record.
    connect(number_, &QSpinBox::editingFinished, this, [this] {
        if (!refreshing_ && number_->hasFocus())
            Run(static_cast<int>(ListCommand::GoTo), number_->value());
    });

    // Ctrl+G puts the cursor into the number field.
    goTo_ = new QAction(this);
    goTo_->setObjectName("navGoTo");
    goTo_->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    goTo_->setShortcutContext(Qt::WindowShortcut);
    connect(goTo_, &QAction::triggered, this, [this] {
        if (!number_->isEnabled()) return;
        number_->setFocus(Qt::ShortcutFocusReason);
        number_->selectAll();
    });
    // The shortcuts work while the bar is hidden too.
    QWidget* owner = parent ? parent : this;
    owner->addAction(goTo_);
    if (parent)
        for (QAction* a : actions_) parent->addAction(a);

    if (mdi_) connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { Refresh(); });
    Bars().push_back(this);
    Retranslate();
    Refresh();
}

CNavigationBar::~CNavigationBar()
{
    std::erase(Bars(), this);
}

QAction* CNavigationBar::Action(int command) const
{
    return command >= 0 && command < kCommandCount ? actions_[static_cast<size_t>(command)]
                                                   : nullptr;
}

void CNavigationBar::Retranslate()
{
    setWindowTitle(UiText(NavigationText::kBar, "Record Navigation"));
    for (int i = 0; i < kCommandCount; ++i) {
        QAction* a = actions_[static_cast<size_t>(i)];
        const QString text = UiText(kButtons[i].textId, kButtons[i].english);
        a->setText(text);
        a->setToolTip(Tip(a, text));
        a->setStatusTip(text);
    }
    const QString goTo = UiText(NavigationText::kGoTo, "Go to Record");
    goTo_->setText(goTo);
    number_->setToolTip(Tip(goTo_, goTo));
}

CCustomFormView* CNavigationBar::ActiveView() const
{
    if (!mdi_) return nullptr;
    auto* frame = qobject_cast<CChildFrame*>(mdi_->activeSubWindow());
    return frame ? frame->View() : nullptr;
}

void CNavigationBar::Run(int command, int number)
{
    CCustomFormView* view = ActiveView();
    if (!view || !dynamic_cast<IRecordList*>(view)) return;
    view->Navigate(command, number);
    RefreshAll();
}

void CNavigationBar::Refresh()
{
    refreshing_ = true;
    Retranslate();  // the language may have changed since (a few texts only)
    const auto* list = dynamic_cast<const IRecordList*>(ActiveView());
    // A command that would do nothing here (First on the first record, Add at a full list) is
    // disabled; Add at the limit says why.
    const RecordCommandStates states =
        list ? RecordCommandStatesOf(list->RecordCount(), list->CurrentRecord(),
                                     list->RecordLimit(), list->OffersAddDelete())
             : RecordCommandStates{};
    const bool enabled[kCommandCount] = {states.first, states.previous, states.next,
                                         states.last,  states.add,      states.del};
    for (int i = 0; i < kCommandCount; ++i)
        actions_[static_cast<size_t>(i)]->setEnabled(enabled[i]);
    QAction* add = actions_[static_cast<size_t>(ListCommand::Add)];
    if (list && list->OffersAddDelete() && !states.add)
        add->setToolTip(
            ToQ(FormatTextNumber(TextOr(Settings().LoadText(NavigationText::kListFull),
                                        "Add Record: the list is full (at most %d records)"),
                                 list->RecordLimit())));
    goTo_->setEnabled(list != nullptr);
    number_->setEnabled(list != nullptr);
    if (list) {
        const int count = list->RecordCount();
        number_->setRange(0, std::max(count, 0));
        number_->setSpecialValueText(QStringLiteral("-"));
        number_->setValue(list->CurrentRecord());
        count_->setText(QStringLiteral(" / %1 ").arg(count));
    } else {
        number_->setRange(0, 0);
        number_->setSpecialValueText(QString());
        number_->clear();
        count_->clear();
    }
    refreshing_ = false;
}

void CNavigationBar::RefreshAll()
{
    for (CNavigationBar* bar : Bars()) bar->Refresh();
}

}  // namespace rv
