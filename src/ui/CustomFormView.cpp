#include "ui/CustomFormView.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QStackedWidget>
#include <QTabWidget>
#include <algorithm>

#include "ui/FormBuilder.h"

namespace rv {

namespace {
IMainShell* mainShell = nullptr;
}

CCustomFormView::CCustomFormView(int formId, QWidget* parent) : QWidget(parent), formId_(formId)
{
    SetControlId(this, formId);
    connect(qApp, &QApplication::focusChanged, this, &CCustomFormView::OnFocusChanged);
}

CCustomFormView::~CCustomFormView() = default;

void CCustomFormView::DeliverNotice(const NoticeRecord& notice)
{
    if (notice.sender == this) return;
    OnNotice(notice);
}

void CCustomFormView::RaiseNotice(NoticeRecord notice)
{
    notice.sender = this;
    emit noticeRaised(notice);
}

void CCustomFormView::OnFocusChanged(QWidget*, QWidget* now)
{
    if (now && now != this && isAncestorOf(now)) lastFocus_ = now;
}

bool CCustomFormView::FocusControl(int controlId)
{
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    auto it = std::find_if(widgets.begin(), widgets.end(),
                           [controlId](const QWidget* w) { return ControlIdOf(w) == controlId; });
    if (it == widgets.end()) return false;
    FocusWidget(*it);
    return true;
}

namespace {
constexpr char kFieldKeyProperty[] = "rvFieldKey";
}  // namespace

void CCustomFormView::SetFieldKey(QWidget* control, std::string_view key)
{
    if (control)
        control->setProperty(kFieldKeyProperty,
                             QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
}

bool CCustomFormView::FocusField(std::string_view key)
{
    const QString wanted = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
    QWidget* found = nullptr;
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->property(kFieldKeyProperty).toString() != wanted) continue;
        // Of a field's controls for the kinds of band, the one the view shows.
        if (!found || (found->isHidden() && !w->isHidden())) found = w;
    }
    if (!found) return false;
    FocusWidget(found);
    return true;
}

void CCustomFormView::FocusWidget(QWidget* target)
{
    // A control on a hidden tab page: show each page on the way up.
    for (QWidget* w = target; w && w != this; w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        if (!stack) continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
            tabs->setCurrentWidget(w);
        else
            stack->setCurrentWidget(w);
    }
    target->setFocus(Qt::OtherFocusReason);
}

void CCustomFormView::RestoreFocus()
{
    if (lastFocus_ && lastFocus_->isEnabled() && lastFocus_->isVisible()) {
        lastFocus_->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The first control that takes the keyboard focus.
    for (QWidget* w = nextInFocusChain(); w && w != this && isAncestorOf(w);
         w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus && w->isEnabled() && w->isVisibleTo(this)) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    setFocus(Qt::OtherFocusReason);
}

void CCustomFormView::SetFrameTitle(const QString& title)
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            sub->setWindowTitle(title);
            return;
        }
    setWindowTitle(title);
}

IMainShell* CCustomFormView::Shell()
{
    return mainShell;
}

void CCustomFormView::SetShell(IMainShell* shell)
{
    mainShell = shell;
}

}  // namespace rv
