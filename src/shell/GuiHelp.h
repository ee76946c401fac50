#pragma once
// The help viewer: the help file of the current language (an HTML file named by the language
// file) in a browser window, opened at the topic of the control that asked for help, of its
// form, or at the default topic. F1 anywhere in the program asks for help.

#include <QDialog>
#include <vector>

class QTextBrowser;

namespace rv {

class CHelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit CHelpViewer(QWidget* parent = nullptr);
    /// Loads the help file; false when it cannot be read.
    bool LoadFile(const QString& path);
    /// Scrolls to a topic; 0 is the default topic (the top).
    void ShowTopic(int topic);
    /// The topic shown last.
    int Topic() const { return topic_; }
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    int topic_ = 0;
};

/// Path of the current language's help file.
QString HelpFilePath();
/// Opens the help viewer at the first of the candidate topics that the help file has (the
/// default topic when none has). Shows a message and returns false when the file is missing.
bool ShowHelp(const std::vector<int>& candidates, QWidget* parent = nullptr);
/// Help for the control that has the keyboard focus (its id, then its group's, its form's).
bool ShowHelpForFocus(QWidget* parent = nullptr);
/// The help viewer, nullptr until help was first asked for.
CHelpViewer* HelpViewer();

}  // namespace rv
