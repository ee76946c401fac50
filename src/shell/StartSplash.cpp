#include "shell/StartSplash.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMouseEvent>

#include "ui/QtText.h"

namespace rv {

CStartSplash* CStartSplash::ShowOver(QWidget* window, const QPixmap& picture, int milliseconds)
{
    if (!window || picture.isNull()) return nullptr;
    auto* splash = new CStartSplash(window, picture, milliseconds);
    splash->Place();
    splash->show();
    splash->raise();
    return splash;
}

CStartSplash::CStartSplash(QWidget* window, const QPixmap& picture, int milliseconds)
    : QLabel(window), picture_(picture)
{
    setObjectName("StartSplash");
    setAccessibleName(
        UiText(kAccessibleNameText, "Start-up picture (click or press a key to close it)"));
    // The picture never takes the keyboard: typing goes to the main window beneath it.
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::Box);
    setAlignment(Qt::AlignCenter);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &CStartSplash::Dismiss);
    timer_.start(milliseconds);
    window->installEventFilter(this);
    qApp->installEventFilter(this);
}

void CStartSplash::Dismiss()
{
    if (dismissed_) return;
    dismissed_ = true;
    timer_.stop();
    qApp->removeEventFilter(this);
    if (parentWidget()) parentWidget()->removeEventFilter(this);
    hide();
    deleteLater();
}

void CStartSplash::Place()
{
    QWidget* window = parentWidget();
    if (!window) return;
    // The middle of the work area (the main window's central widget) when the picture fits
    // there, else the middle of the whole window, scaled down when even that is too small.
    QRect area = window->rect();
    if (auto* main = qobject_cast<QMainWindow*>(window); main && main->centralWidget()) {
        const QRect central = main->centralWidget()->geometry();
        if (central.width() >= picture_.width() + 2 * frameWidth() &&
            central.height() >= picture_.height() + 2 * frameWidth())
            area = central;
    }
    const QSize room = area.size() * 9 / 10;
    QPixmap shown = picture_;
    if (shown.width() > room.width() || shown.height() > room.height())
        shown = picture_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(shown);
    QRect place(QPoint(), shown.size() + QSize(2 * frameWidth(), 2 * frameWidth()));
    place.moveCenter(area.center());
    setGeometry(place);
}

bool CStartSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (dismissed_) return false;
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize) Place();
        if (event->type() == QEvent::Hide) Dismiss();
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::KeyPress:
        // A shortcut reaches its action without a key press event.
        case QEvent::ShortcutOverride:
            Dismiss();
            break;
        case QEvent::Show: {
            // Another window (a notice, a question, a dialog) must never lie under the picture.
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow() && widget != parentWidget() &&
                widget->windowType() != Qt::ToolTip)
                Dismiss();
            break;
        }
        default:
            break;
    }
    // The event goes on to where it was going: the picture never swallows the user's input.
    return false;
}

void CStartSplash::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    Dismiss();
}

}  // namespace rv
