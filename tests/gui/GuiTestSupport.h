#pragma once
// Fixtures of the GUI tests: a prompt that records every message and answers questions from
// a list, a file chooser that answers the file dialogs, and a main window on a fresh program
// directory after the first New.

#include <QApplication>
#include <QString>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Settings.h"
#include "shell/DlgFileHeader.h"
#include "shell/MainFrame.h"
#include "shell/QtTranslations.h"
#include "support/TestSupport.h"
#include "ui/Prompt.h"

namespace rv::test {

/// Records the messages and questions shown; answers questions in order (Yes when none left).
class CTestPrompt : public CPrompt {
public:
    struct Shown {
        QString text;
        Icon icon;
        bool question;
    };
    Answer AskYesNo(QWidget*, const QString& text) override
    {
        shown.push_back({text, Icon::Question, true});
        if (answers.empty()) return Answer::Yes;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    Answer AskYesNoCancel(QWidget* parent, const QString& text) override
    {
        return AskYesNo(parent, text);
    }
    void Show(QWidget*, const QString& text, Icon icon) override
    {
        shown.push_back({text, icon, false});
    }
    /// True when message n was shown or asked (its text up to the first placeholder).
    bool Saw(int messageId) const
    {
        std::string text = Settings().LoadMessage(messageId);
        const QString head = QString::fromStdString(text.substr(0, text.find('%')));
        for (const Shown& s : shown)
            if (!head.isEmpty() && s.text.startsWith(head)) return true;
        return false;
    }
    size_t Questions() const
    {
        size_t n = 0;
        for (const Shown& s : shown) n += s.question;
        return n;
    }
    std::vector<Shown> shown;
    std::deque<Answer> answers;
};

/// Answers the Open and Save As dialogs; nothing (cancel) when no answer is set.
class CTestFileChooser : public IFileChooser {
public:
    std::optional<std::string> ChooseOpenPath(QWidget*, const std::string&) override
    {
        ++openCalls;
        return openPath;
    }
    std::optional<SaveChoice> ChooseSavePath(QWidget*, const std::string&, const CDataFileHeader& h,
                                             const std::string& comment) override
    {
        ++saveCalls;
        lastHeader = h;
        lastComment = comment;
        return save;
    }
    std::optional<std::string> openPath;
    std::optional<SaveChoice> save;
    int openCalls = 0;
    int saveCalls = 0;
    CDataFileHeader lastHeader;
    std::string lastComment;
};

/// A main window on a fresh program directory, after the first New, with the test prompt and
/// file chooser installed.
class GuiTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        SetPrompt(&prompt);
        SetFileChooser(&files);
        MakeFrame();
    }
    void TearDown() override
    {
        frame.reset();
        SetPrompt(nullptr);
        SetFileChooser(nullptr);
        // A test that changed the language leaves Qt's own texts English for the next one.
        if (Settings().LanguageIndex() != 0) {
            Settings().SelectLanguage(0);
            ApplyQtTranslations();
        }
    }
    /// A new main window for the current settings (re-read from the program directory first
    /// when reinit is true), with its first New done.
    void MakeFrame(bool reinit = false)
    {
        frame.reset();
        if (reinit) Settings().Init(home.Dir());
        frame = std::make_unique<CMainFrame>();
        frame->Document().New();
    }
    /// Lets queued events (deferred deletes, single-shot timers) run.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i) {
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
        }
    }
    CTestPrompt prompt;
    CTestFileChooser files;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace rv::test
