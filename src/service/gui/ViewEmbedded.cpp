#include "service/gui/ViewEmbedded.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>

#include "base/CommandIds.h"
#include "data/RadioData.h"
#include "editors/common/FieldNotice.h"
#include "service/EmbeddedFieldTable.h"
#include "service/gui/LinkPrompt.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

using C = CViewEmbedded::Control;

/// Interface texts of the password screens that have no control of their own.
struct EmbeddedText {
    static constexpr int kPasswordLabel = 40050;
    static constexpr int kOldLabel = 40051;
    static constexpr int kNewLabel = 40052;
    static constexpr int kConfirmLabel = 40053;
};

/// Accepts a text only while its UTF-8 form fits a field of the record, so that nothing typed
/// is cut when it is stored.
class CByteLengthValidator : public QValidator {
public:
    CByteLengthValidator(int bytes, QObject* parent) : QValidator(parent), bytes_(bytes) {}
    State validate(QString& input, int&) const override
    {
        return input.toUtf8().size() <= bytes_ ? Acceptable : Invalid;
    }

private:
    int bytes_;
};

QLineEdit* MakeFieldEdit(QWidget* parent, int id, int bytes)
{
    auto* edit = new QLineEdit(parent);
    SetControlId(edit, id);
    edit->setMaxLength(bytes);
    edit->setValidator(new CByteLengthValidator(bytes, edit));
    return edit;
}

QDialogButtonBox* MakeButtons(QDialog* dialog, QPushButton*& ok)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(UiText(ShellText::kOk, "OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(UiText(ShellText::kCancel, "Cancel"));
    for (QAbstractButton* b : buttons->buttons()) b->setAccessibleName(b->text());
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void AddRow(QFormLayout* form, int labelId, const char* english, QLineEdit* edit)
{
    const QString label = UiText(labelId, english);
    edit->setAccessibleName(PlainCommandText(label));
    form->addRow(label, edit);
}

constexpr FormRow kRows[] = {
    {4702, ControlKind::Label, "Message NO.1"},
    {C::kMessage1, ControlKind::Edit, ""},
    {4704, ControlKind::Label, "Message NO.2"},
    {C::kMessage2, ControlKind::Edit, ""},
    {4706, ControlKind::Label, "Message NO.3"},
    {C::kMessage3, ControlKind::Edit, ""},
    {4708, ControlKind::Label, "Message NO.4"},
    {C::kMessage4, ControlKind::Edit, ""},
    {C::kWrite, ControlKind::Button, "Write"},
    {C::kChangePassword, ControlKind::Button, "Change Password"},
};

constexpr FieldControl kFields[] = {
    {C::kMessage1, "message_1"},
    {C::kMessage2, "message_2"},
    {C::kMessage3, "message_3"},
    {C::kMessage4, "message_4"},
};

/// The log's operation: the view's caption, and the button that started it.
QString Operation(int id = 0, const char* english = "")
{
    QString text = UiText(CViewEmbedded::kFormId, "Embedded Module");
    if (id) text += QStringLiteral(": ") + PlainCommandText(UiText(id, english));
    return text.remove(QStringLiteral("..."));
}

}  // namespace

// ---- Input Password ----

CDlgInputPassword::CDlgInputPassword(QWidget* parent) : QDialog(parent)
{
    setObjectName("DlgInputPassword");
    setWindowTitle(UiText(kFormId, "Input Password"));
    edit_ = MakeFieldEdit(this, kEdit, static_cast<int>(CEmbeddedBlock::Offset::kPasswordWidth));
    edit_->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    AddRow(form, EmbeddedText::kPasswordLabel, "Password", edit_);
    QDialogButtonBox* buttons = MakeButtons(this, ok_);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}

// ---- Change Password ----

CDlgChangePassword::CDlgChangePassword(std::string current, QWidget* parent)
    : QDialog(parent), current_(std::move(current))
{
    setObjectName("DlgChangePassword");
    setWindowTitle(UiText(kFormId, "Change Password"));
    const int width = static_cast<int>(CEmbeddedBlock::Offset::kPasswordWidth);
    old_ = MakeFieldEdit(this, Control::kOld, width);
    new_ = MakeFieldEdit(this, Control::kNew, width);
    confirm_ = MakeFieldEdit(this, Control::kConfirm, width);
    for (QLineEdit* e : {old_, new_, confirm_}) e->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    AddRow(form, EmbeddedText::kOldLabel, "Old password", old_);
    AddRow(form, EmbeddedText::kNewLabel, "New password", new_);
    AddRow(form, EmbeddedText::kConfirmLabel, "Confirm new password", confirm_);
    QDialogButtonBox* buttons = MakeButtons(this, ok_);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgChangePassword::Check);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(340);
}

std::string CDlgChangePassword::NewPassword() const
{
    return FromQ(new_->text());
}

void CDlgChangePassword::Check()
{
    const PasswordChange change = CheckPasswordChange(current_, FromQ(old_->text()),
                                                      FromQ(new_->text()), FromQ(confirm_->text()));
    const int message = PasswordChangeMessage(change);
    switch (change) {
        case PasswordChange::OldWrong:
            old_->clear();
            new_->clear();
            confirm_->clear();
            ShowMessage(this, message, CPrompt::Icon::Warning);
            old_->setFocus();
            return;
        case PasswordChange::ConfirmDiffers:
            new_->clear();
            confirm_->clear();
            ShowMessage(this, message, CPrompt::Icon::Warning);
            new_->setFocus();
            return;
        case PasswordChange::Accepted:
            ShowMessage(this, message, CPrompt::Icon::Information);
            accept();
            return;
    }
}

// ---- the view ----

CViewEmbedded::CViewEmbedded(QWidget* parent)
    : CRecordFormView(
          kFormId, kEmbeddedFieldTable, kRows, kFields,
          [] { return BytesOf(Radio().Embedded().Raw()); }, parent)
{
    setObjectName("ViewEmbedded");
    const int width = static_cast<int>(CEmbeddedBlock::Offset::kMessageWidth);
    for (const FieldControl& f : kFields)
        if (auto* edit = Controls().Get<QLineEdit>(f.controlId)) {
            edit->setMaxLength(width);
            edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * (width + 4));
            edit->setValidator(new CByteLengthValidator(width, edit));
        }
    NameFormControls(Controls());
    StoreOnEdit([this](int id) { RaiseNotice(FieldCommittedNotice(id, kFormId, this)); });
    if (auto* b = Controls().Get<QPushButton>(C::kWrite))
        connect(b, &QPushButton::clicked, this, [this] { Write(); });
    if (auto* b = Controls().Get<QPushButton>(C::kChangePassword))
        connect(b, &QPushButton::clicked, this, [this] { ChangePassword(); });
    // The record is read from the radio once the view's window is up.
    QTimer::singleShot(0, this, [this] { ReadFromRadio(); });
}

void CViewEmbedded::ShowResult(const QString& operation, const LinkResult& result)
{
    ReportLinkResult(this, operation, result);
}

void CViewEmbedded::CloseWindow()
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) {
            frame->close();
            return;
        }
    close();
}

bool CViewEmbedded::ReadFromRadio()
{
    RadioIdentity identity;
    LinkResult result;
    {
        CWaitCursor wait;
        result = EmbeddedRead(link_, Radio().Embedded(), identity);
    }
    if (!result.Ok()) {
        ShowResult(Operation(), result);
        CloseWindow();
        return false;
    }
    read_ = true;
    TakeEmbeddedIdentity(identity);
    if (IMainShell* shell = Shell()) {
        // The other child windows show data of the radio before: they are closed (this one
        // made the current window first), the main window shows the radio's identity.
        for (QWidget* w = parentWidget(); w; w = w->parentWidget())
            if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) {
                if (frame->mdiArea()) frame->mdiArea()->setActiveSubWindow(frame);
                break;
            }
        shell->RunCommand(Id(Command::CloseAllButThis));
        shell->RefreshAll();
    }
    Reload();
    ShowResult(Operation(), result);
    return true;
}

bool CViewEmbedded::Write()
{
    Store();
    CEmbeddedBlock& block = Radio().Embedded();
    const PasswordOutcome outcome = CheckPassword(
        block.Password(),
        [this]() -> std::optional<std::string> {
            CDlgInputPassword dialog(this);
            if (dialog.exec() != QDialog::Accepted) return std::nullopt;
            return FromQ(dialog.Edit()->text());
        },
        [this] { ShowMessage(this, EmbeddedMessage::kWrongPassword, CPrompt::Icon::Warning); });
    if (outcome != PasswordOutcome::Accepted) return false;
    LinkResult result;
    {
        CWaitCursor wait;
        result = EmbeddedWrite(link_, block);
    }
    ShowResult(Operation(C::kWrite, "Write"), result);
    return result.Ok();
}

bool CViewEmbedded::ChangePassword()
{
    Store();
    CEmbeddedBlock& block = Radio().Embedded();
    CDlgChangePassword dialog(block.Password(), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    // The record keeps the password the radio holds: a new one that did not reach the radio
    // is not kept.
    std::vector<uint8_t> before(block.Raw().Data(),
                                block.Raw().Data() + CEmbeddedBlock::kRecordSize);
    block.SetPassword(dialog.NewPassword());
    LinkResult result;
    {
        CWaitCursor wait;
        result = EmbeddedWritePassword(link_, block);
    }
    ShowResult(Operation(C::kChangePassword, "Change Password"), result);
    if (!result.Ok()) {
        block.Raw().CopyFrom(before.data());
        return false;
    }
    RaiseNotice(FieldCommittedNotice(C::kChangePassword, kFormId, this));
    return true;
}

}  // namespace rv
