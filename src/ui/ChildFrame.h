#pragma once
// A child window of the main window hosting one view. Closing it lets the view store its
// fields first; activating it gives the focus back to the view's last control.

#include <QMdiSubWindow>
#include <QPointer>

class QScrollArea;

namespace rv {

class CCustomFormView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    /// A child window showing view (it takes ownership); the window deletes itself on close.
    explicit CChildFrame(CCustomFormView* view, QWidget* parent = nullptr);
    /// The view shown, nullptr once it is gone.
    CCustomFormView* View() const { return view_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    /// The window is closing (its view has stored its fields).
    void closing(rv::CChildFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<CCustomFormView> view_;
    QScrollArea* scroll_ = nullptr;  ///< holds the view, scrolling it when the window is small
};

}  // namespace rv
