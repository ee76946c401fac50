#include "shell/GuiHelp.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "base/Settings.h"
#include "shell/ViewTable.h"
#include "base/TextFormat.h"
#include "ui/FormBuilder.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

QPointer<CHelpViewer> viewer;

/// Help file used when the language file names none.
constexpr const char* kDefaultHelpFile = "help_E.html";

}  // namespace

CHelpViewer::CHelpViewer(QWidget* parent) : QDialog(parent, Qt::Window)
{
    setObjectName("HelpViewer");
    setWindowTitle(UiText(ShellText::kHelpCaption, "rvcps Help"));
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    auto* bar = new QToolBar(this);
    bar->addAction(UiText(ShellText::kHelpContents, "Contents"), browser_, &QTextBrowser::home);
    bar->addAction(UiText(ShellText::kHelpBack, "Back"), browser_, &QTextBrowser::backward);
    bar->addAction(UiText(ShellText::kHelpForward, "Forward"), browser_, &QTextBrowser::forward);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_);
    resize(640, 560);
}

bool CHelpViewer::LoadFile(const QString& path)
{
    if (!QFile::exists(path)) return false;
    const QUrl url = QUrl::fromLocalFile(path);
    if (browser_->source() != url) browser_->setSource(url);
    return true;
}

void CHelpViewer::ShowTopic(int topic)
{
    topic_ = topic;
    if (topic > 0)
        browser_->scrollToAnchor(ToQ(HelpAnchor(topic)));
    else
        browser_->verticalScrollBar()->setValue(0);
}

QString HelpFilePath()
{
    const std::string& name = Settings().HelpFile();
    return ToQ(Settings().ProgramDir() + (name.empty() ? kDefaultHelpFile : name));
}

bool ShowHelp(const std::vector<int>& candidates, QWidget* parent)
{
    const QString path = HelpFilePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompt().Show(parent,
                      ToQ(FormatTextString(TextOr(Settings().LoadMessage(ShellText::kHelpMissing),
                                                  "The help file %s cannot be found."),
                                           FromQ(path))),
                      CPrompt::Icon::Warning);
        return false;
    }
    const QByteArray html = file.readAll();
    const int topic = ChooseHelpTopic(candidates, std::string_view(html.constData(), html.size()));

    // A help window opened from a modal screen must belong to it, or the screen blocks it.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = parent;
    if (!viewer) {
        viewer = new CHelpViewer(owner);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
    } else if (viewer->parentWidget() != owner) {
        viewer->setParent(owner, Qt::Window);
    }
    viewer->LoadFile(path);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    viewer->ShowTopic(topic);
    return true;
}

bool ShowHelpForFocus(QWidget* parent)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus) focus = QApplication::activeWindow();
    return ShowHelp(ControlIdChain(focus), parent);
}

CHelpViewer* HelpViewer()
{
    return viewer;
}

}  // namespace rv
