#include "ui/ChildFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>

#include "ui/CustomFormView.h"

namespace rv {

CChildFrame::CChildFrame(CCustomFormView* view, QWidget* parent)
    : QMdiSubWindow(parent), view_(view)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // A window made smaller than its view (tiled on a small screen, say) scrolls the view
    // rather than pressing its controls over each other.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ViewScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(view);
    setWidget(scroll_);
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    // The window menu closes with Ctrl+F4 only: Ctrl+W is Write to Radio here.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions()) {
            QList<QKeySequence> keys = action->shortcuts();
            keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W));
            action->setShortcuts(keys);
        }
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates old, Qt::WindowStates now) {
                if (!(old & Qt::WindowActive) && (now & Qt::WindowActive) && view_)
                    QTimer::singleShot(0, view_.data(), [v = view_] {
                        if (v) v->RestoreFocus();
                    });
            });
}

QSize CChildFrame::sizeHint() const
{
    // The size the view asks for, not the scroll area's capped guess.
    const QSize base = QMdiSubWindow::sizeHint();
    if (!view_) return base;
    return base - scroll_->sizeHint() + view_->sizeHint();
}

QSize CChildFrame::minimumSizeHint() const
{
    // The view scrolls: the window needs only its title bar and a little of the view.
    const QMargins m = contentsMargins();
    return QSize(m.left() + m.right() + 160, m.top() + m.bottom() + 60);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (view_) view_->Store();
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) emit closing(this);
}

}  // namespace rv
