#include "ui/ChildFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QStyle>
#include <QTimer>

#include "ui/CustomFormView.h"

namespace rv {

CChildFrame::CChildFrame(CCustomFormView* view, QWidget* parent)
    : QMdiSubWindow(parent), view_(view)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
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

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (view_) view_->Store();
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) emit closing(this);
}

}  // namespace rv
