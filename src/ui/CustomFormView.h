#pragma once
// The base of every category view: a form shown in a child window of the main window. The
// main window asks it to reload its fields from the data (Reload), to store them into the data
// (Store), hands it every notice another view raised (OnNotice) and moves list views between
// their items (Navigate). A view raises notices of its own with RaiseNotice. It remembers the
// control that had the keyboard focus and gives the focus back when it is activated again.

#include <QPointer>
#include <QWidget>
#include <string_view>

#include "data/Notice.h"

namespace rv {

class IMainShell;

class CCustomFormView : public QWidget {
    Q_OBJECT
public:
    /// A view built from form (dialog) formId; the form id is also its help topic.
    explicit CCustomFormView(int formId, QWidget* parent = nullptr);
    ~CCustomFormView() override;

    /// The form's number (caption text, help topic).
    int FormId() const { return formId_; }
    /// The tree command the view was opened for (set by the main window).
    int Command() const { return command_; }
    void SetCommand(int command) { command_ = command; }

    /// Fills the controls from the data (after a load, a write, or when asked).
    virtual void Reload() {}
    /// Commits the controls into the data (before a save, a write, or when closing).
    virtual void Store() {}
    /// Reacts to a notice raised elsewhere.
    virtual void OnNotice(const NoticeRecord& notice) {}
    /// List views: command 0 first, 1 previous, 2 next, 3 last, 4 add, 5 delete, 6 go to item
    /// `number` (1-based). Single views ignore it.
    virtual void Navigate(int command, int number) {}

    /// Hands a notice to OnNotice unless this view raised it.
    void DeliverNotice(const NoticeRecord& notice);
    /// Raises a notice from this view: the main window lets the data re-check their
    /// references and passes it to every other open view.
    void RaiseNotice(NoticeRecord notice);

    /// Puts the keyboard focus on the control with this id, bringing forward the tab pages
    /// that hold it; false when the view has no such control.
    bool FocusControl(int controlId);
    /// Puts the keyboard focus on the control that shows the record field with this key (the
    /// one the view shows, where a field has a control for each kind of band), bringing
    /// forward its tab pages; false when the view shows no such field.
    bool FocusField(std::string_view key);
    /// Marks control as the one that shows the record field key (for FocusField).
    static void SetFieldKey(QWidget* control, std::string_view key);
    /// Gives the keyboard focus back to the control that had it last (or the first control).
    void RestoreFocus();
    /// The control that had the focus last, nullptr when none.
    QWidget* LastFocus() const { return lastFocus_; }
    /// Sets the caption of the child window that shows the view.
    void SetFrameTitle(const QString& title);

    /// The main window, nullptr when the view stands alone (tests).
    static IMainShell* Shell();
    /// Set by the main window when it is created and cleared when it goes.
    static void SetShell(IMainShell* shell);

signals:
    /// Emitted by RaiseNotice; the main window broadcasts it.
    void noticeRaised(const rv::NoticeRecord& notice);

private:
    /// Shows the tab pages on the way up to target and gives it the focus.
    void FocusWidget(QWidget* target);
    void OnFocusChanged(QWidget* old, QWidget* now);

    int formId_;
    int command_ = 0;
    QPointer<QWidget> lastFocus_;
};

}  // namespace rv
