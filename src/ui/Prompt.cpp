#include "ui/Prompt.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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

/// Room the title bar takes beside its caption: the window icon and the close button, with
/// margins, on the common window managers.
constexpr int kTitleBarRoom = 160;

/// Makes a message box wide enough for its whole caption: a box sized for a short text would
/// cut a long caption (a Chinese program title, a long file name) in its title bar.
void FitCaption(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont title = box.font();
    title.setBold(true);  // many window managers draw the caption bold
    const int width = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
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
        FitCaption(box);
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
        FitCaption(box);
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
        FitCaption(box);
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
