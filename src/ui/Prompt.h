#pragma once
// Every question and message box of the desktop program goes through one prompt object, so
// that tests can answer questions and read the messages that were shown.

#include <QString>

class QWidget;

namespace rv {

class CPrompt {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Answer { Yes, No, Ok, Cancel };
    virtual ~CPrompt() = default;
    /// A Yes/No question; returns Yes or No.
    virtual Answer AskYesNo(QWidget* parent, const QString& text) = 0;
    /// A Yes/No/Cancel question; returns Yes, No or Cancel (Escape and closing the box cancel).
    virtual Answer AskYesNoCancel(QWidget* parent, const QString& text) = 0;
    /// A message with an OK button.
    virtual void Show(QWidget* parent, const QString& text, Icon icon) = 0;
    /// A message with an OK button under a caption of its own (the program title otherwise).
    virtual void ShowCaptioned(QWidget* parent, const QString& caption, const QString& text,
                               Icon icon)
    {
        Show(parent, text, icon);
    }
};

/// The prompt in use (message boxes unless a test installed another).
CPrompt& Prompt();
/// Installs a prompt (nullptr restores the message boxes); returns the previous one.
CPrompt* SetPrompt(CPrompt* prompt);

/// Shows message n of the language file (with printf-style arguments already applied by the
/// caller when it has placeholders).
void ShowMessage(QWidget* parent, int messageId, CPrompt::Icon icon = CPrompt::Icon::Information);
/// Asks message n as a Yes/No question; true for Yes.
bool AskMessage(QWidget* parent, int messageId);

}  // namespace rv
