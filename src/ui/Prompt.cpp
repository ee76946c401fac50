#include "ui/Prompt.h"

#include <QAbstractButton>
#include <QMessageBox>

#include "ui/QtText.h"

namespace rv {

namespace {

QMessageBox::Icon BoxIcon(CPrompt::Icon icon)
{
    switch (icon) {
        case CPrompt::Icon::Warning:
            return QMessageBox::Warning;
        case CPrompt::Icon::Error:
            return QMessageBox::Critical;
        case CPrompt::Icon::Question:
            return QMessageBox::Question;
        case CPrompt::Icon::Information:
            break;
    }
    return QMessageBox::Information;
}

/// Message boxes captioned with the program title, their buttons labelled from the language
/// file.
class CMessageBoxPrompt : public CPrompt {
public:
    Answer AskYesNo(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, Caption(), text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.button(QMessageBox::Yes)->setText(UiText(ShellText::kYes, "&Yes"));
        box.button(QMessageBox::No)->setText(UiText(ShellText::kNo, "&No"));
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }

    Answer AskYesNoCancel(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, Caption(), text,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
        box.button(QMessageBox::Yes)->setText(UiText(ShellText::kYes, "&Yes"));
        box.button(QMessageBox::No)->setText(UiText(ShellText::kNo, "&No"));
        box.button(QMessageBox::Cancel)->setText(UiText(ShellText::kCancel, "Cancel"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
            case QMessageBox::Yes: return Answer::Yes;
            case QMessageBox::No: return Answer::No;
            default: return Answer::Cancel;
        }
    }

    void Show(QWidget* parent, const QString& text, Icon icon) override
    {
        ShowCaptioned(parent, Caption(), text, icon);
    }

    void ShowCaptioned(QWidget* parent, const QString& caption, const QString& text,
                       Icon icon) override
    {
        QMessageBox box(BoxIcon(icon), caption, text, QMessageBox::Ok, parent);
        box.button(QMessageBox::Ok)->setText(UiText(ShellText::kOk, "OK"));
        box.exec();
    }

private:
    static QString Caption() { return UiText(ShellText::kProgramTitle, "rvcps"); }
};

CMessageBoxPrompt& MessageBoxes()
{
    static CMessageBoxPrompt boxes;
    return boxes;
}

CPrompt* installed = nullptr;

/// The text of message n; a language file without it still tells which message it was.
QString MessageText(int messageId)
{
    std::string text = Settings().LoadMessage(messageId);
    if (text.empty()) return QStringLiteral("#%1").arg(messageId);
    return ToQ(text);
}

}  // namespace

CPrompt& Prompt()
{
    return installed ? *installed : MessageBoxes();
}

CPrompt* SetPrompt(CPrompt* prompt)
{
    CPrompt* previous = installed;
    installed = prompt;
    return previous;
}

void ShowMessage(QWidget* parent, int messageId, CPrompt::Icon icon)
{
    Prompt().Show(parent, MessageText(messageId), icon);
}

bool AskMessage(QWidget* parent, int messageId)
{
    return Prompt().AskYesNo(parent, MessageText(messageId)) == CPrompt::Answer::Yes;
}

}  // namespace rv
