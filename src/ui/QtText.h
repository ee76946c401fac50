#pragma once
// Conversions between the core's UTF-8 texts and Qt strings, and language-text lookups for
// widgets (the English default stays when the language file has no text).

#include <QRegularExpression>
#include <QString>
#include <string>

#include "base/Settings.h"
#include "base/TextFormat.h"

namespace rv {

/// Qt string of a UTF-8 text.
inline QString ToQ(const std::string& text)
{
    return QString::fromStdString(text);
}
/// UTF-8 text of a Qt string.
inline std::string FromQ(const QString& text)
{
    return text.toStdString();
}
/// Interface text n, or the English default when the language file has none.
inline QString UiText(int n, const char* english)
{
    return ToQ(TextOr(Settings().LoadText(n), english));
}
/// A menu or button text as a caption, a log operation or an accessible name: without its
/// mnemonic ("&Open", or "(&O)" where a translation has no such letter), its dots and any
/// shortcut after a tab.
inline QString PlainCommandText(QString text)
{
    // Compiled once: every menu entry passes here when the menus are built.
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    text.remove(mnemonic);
    text.remove(QLatin1Char('&'));
    text.remove(QStringLiteral("..."));
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab >= 0 ? text.left(tab) : text;
}
/// Message n, or the English default when the language file has none.
inline QString UiMessage(int n, const char* english)
{
    return ToQ(TextOr(Settings().LoadMessage(n), english));
}

/// Text numbers of the shell's own captions and labels.
struct ShellText {
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;
    static constexpr int kYes = 6;
    static constexpr int kNo = 7;
    static constexpr int kAboutCaption = 100;
    static constexpr int kProgramTitle = 128;
    static constexpr int kTreeBar = 39101;
    static constexpr int kInvalidView = 39102;
    static constexpr int kInvalidName = 39103;
    static constexpr int kInvalidMessage = 39104;
    static constexpr int kLogView = 39105;
    static constexpr int kLogTime = 39106;
    static constexpr int kLogOperation = 39107;
    static constexpr int kLogResult = 39108;
    static constexpr int kToolBar = 39109;
    static constexpr int kReady = 39110;
    static constexpr int kTreeCount = 39111;
    static constexpr int kFileInformation = 39120;
    static constexpr int kComment = 39121;
    static constexpr int kHeaderModelId = 39122;
    static constexpr int kHeaderModelName = 39123;
    static constexpr int kHeaderRange = 39124;
    static constexpr int kHeaderRadioVersion = 39125;
    static constexpr int kHeaderDataVersion = 39126;
    static constexpr int kHeaderSignal = 39127;
    static constexpr int kNotADataFile = 39128;
    static constexpr int kHelpCaption = 39130;
    static constexpr int kHelpContents = 39131;
    static constexpr int kHelpBack = 39132;
    static constexpr int kHelpForward = 39133;
    static constexpr int kAboutVersion = 39140;
    static constexpr int kAboutText = 39141;
    static constexpr int kResultDone = 39150;
    static constexpr int kResultCancelled = 39151;
    static constexpr int kResultFailed = 39152;
    static constexpr int kHelpMissing = 39160;  ///< message: the help file cannot be found (%s)
    static constexpr int kResultFailedBecause = 40400;  ///< "Failed: %s", the message shown
};

/// A log row's result for a command that failed with the message shown to the user: the
/// message in words ("Failed: The file /tmp/a.dat cannot be read..."); plain "Failed" without.
inline QString FailedResult(const QString& message)
{
    if (message.isEmpty()) return UiText(ShellText::kResultFailed, "Failed");
    return ToQ(
        FormatTextString(TextOr(Settings().LoadText(ShellText::kResultFailedBecause), "Failed: %s"),
                         FromQ(message)));
}

}  // namespace rv
