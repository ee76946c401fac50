#pragma once
// The embedded-module view: the four messages kept in the radio behind a password. The view
// reads the record from the radio as it opens (and closes when that fails), shows the
// messages, writes them back after the password was given, and changes the password through
// the Change Password screen.

#include <QDialog>

#include "service/EmbeddedLink.h"
#include "ui/FieldForm.h"

class QLineEdit;
class QPushButton;

namespace rv {

/// The Input Password screen (141): one edit of at most 8 characters.
class CDlgInputPassword : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFormId = 141;
    static constexpr int kEdit = 1132;
    explicit CDlgInputPassword(QWidget* parent = nullptr);
    QLineEdit* Edit() const { return edit_; }
    QPushButton* OkButton() const { return ok_; }

private:
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
};

/// The Change Password screen (4721): Old, New and Confirm of at most 8 characters each. OK
/// closes the screen only when Old is the current password and New equals Confirm.
class CDlgChangePassword : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFormId = 4721;
    struct Control {
        static constexpr int kOld = 4724;
        static constexpr int kNew = 4725;
        static constexpr int kConfirm = 4726;
    };
    CDlgChangePassword(std::string current, QWidget* parent = nullptr);
    /// The new password (after OK).
    std::string NewPassword() const;
    QLineEdit* OldEdit() const { return old_; }
    QLineEdit* NewEdit() const { return new_; }
    QLineEdit* ConfirmEdit() const { return confirm_; }
    QPushButton* OkButton() const { return ok_; }

private:
    void Check();

    std::string current_;
    QLineEdit* old_ = nullptr;
    QLineEdit* new_ = nullptr;
    QLineEdit* confirm_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class CViewEmbedded : public CRecordFormView {
    Q_OBJECT
public:
    /// Form number of the view (caption text and help topic).
    static constexpr int kFormId = 4701;
    struct Control {
        static constexpr int kMessage1 = 4703;
        static constexpr int kMessage2 = 4705;
        static constexpr int kMessage3 = 4707;
        static constexpr int kMessage4 = 4709;
        static constexpr int kWrite = 4710;
        static constexpr int kChangePassword = 4711;
    };

    /// The view; once the event loop runs it reads the record from the radio.
    explicit CViewEmbedded(QWidget* parent = nullptr);

    /// Reads the record from the radio; on success the radio's identity is taken over, the
    /// other child windows are closed and the messages shown; on failure the message is shown
    /// and the view's window closes. True when read.
    bool ReadFromRadio();
    /// Write: stores the edits; asks for the password when one is set (three attempts); then
    /// writes the record to the radio. True when written.
    bool Write();
    /// Change Password: on OK the new password is stored and written to the radio. True when
    /// written.
    bool ChangePassword();

    /// True once a read from the radio has succeeded.
    bool HasRead() const { return read_; }

private:
    void ShowResult(const QString& operation, const LinkResult& result);
    void CloseWindow();

    bool read_ = false;
    CRadioProtocol link_;
};

}  // namespace rv
