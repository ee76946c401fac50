// Opening views from the tree and the menus, re-activating them, notices between views, the
// radio information view, and help on the focused control.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>

#include "base/CommandIds.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/gui/ViewRadio.h"
#include "gui/GuiTestSupport.h"
#include "shell/GuiHelp.h"
#include "shell/ViewTable.h"
#include "ui/ChildFrame.h"
#include "ui/FormBuilder.h"
#include "ui/ShellRegistry.h"

namespace rv {
namespace {

/// A view that records what the main window asked of it.
class CRecordingView : public CCustomFormView {
public:
    explicit CRecordingView(QWidget* parent) : CCustomFormView(4242, parent)
    {
        edit = new QLineEdit(this);
        edit->setGeometry(0, 0, 100, 20);
    }
    void Store() override { ++stores; }
    void Reload() override { ++reloads; }
    void OnNotice(const NoticeRecord& n) override { notices.push_back(n); }
    void Navigate(int command, int number) override { navigations.push_back({command, number}); }
    int stores = 0;
    int reloads = 0;
    std::vector<NoticeRecord> notices;
    std::vector<std::pair<int, int>> navigations;
    QLineEdit* edit;
};

/// Stands recording views in for some commands for the length of a test.
class ViewsTest : public test::GuiTest {
protected:
    void StandIn(Command c)
    {
        saved_.push_back({Id(c), ReplaceView(Id(c), [](QWidget* p) -> CCustomFormView* {
                              return new CRecordingView(p);
                          })});
        frame->RefreshAll();  // menus and tree see the view
    }
    void TearDown() override
    {
        frame.reset();
        for (auto& [id, factory] : saved_) ReplaceView(id, factory);
        GuiTest::TearDown();
    }
    CRecordingView* Open(Command c, const QString& title = {})
    {
        return dynamic_cast<CRecordingView*>(frame->OpenView(Id(c), title));
    }
    QTreeWidgetItem* TreeItem(Command c)
    {
        QList<QTreeWidgetItem*> all =
            frame->Tree()->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive);
        for (QTreeWidgetItem* item : all)
            if (item->data(0, Qt::UserRole).toInt() == Id(c)) return item;
        return nullptr;
    }

private:
    std::vector<std::pair<int, ViewFactory>> saved_;
};

TEST_F(ViewsTest, SecondActivationReusesTheChildWindow)
{
    CCustomFormView* view = frame->OpenView(Id(Command::RadioInformation));
    ASSERT_NE(view, nullptr);
    EXPECT_NE(dynamic_cast<CViewRadio*>(view), nullptr);
    EXPECT_EQ(frame->OpenView(Id(Command::RadioInformation)), view);

    QTreeWidgetItem* item = TreeItem(Command::RadioInformation);
    ASSERT_NE(item, nullptr);
    emit frame->Tree()->itemActivated(item, 0);
    emit frame->Tree()->itemActivated(item, 0);
    frame->RunCommand(Id(Command::RadioInformation));
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame->FindView(Id(Command::RadioInformation)), view);
    EXPECT_EQ(qobject_cast<CChildFrame*>(frame->MdiArea()->activeSubWindow())->View(), view);
    EXPECT_EQ(frame->MdiArea()->activeSubWindow()->windowTitle(), item->text(0));
}

TEST_F(ViewsTest, EveryViewIsRegisteredAsTheClassTheViewTableNames)
{
    // The views the program has: one left out of RegisterViews() is missing here.
    for (Command c : {Command::RadioInformation, Command::Channel, Command::ChannelList,
                      Command::Personality, Command::TestFreq, Command::MaintainBoard,
                      Command::DataWatch}) {
        const ViewRow* row = FindViewRow(Id(c));
        ASSERT_NE(row, nullptr) << Id(c);
        std::unique_ptr<CCustomFormView> view(CreateRegisteredView(Id(c), nullptr));
        ASSERT_NE(view, nullptr) << row->className << " is not registered";
        EXPECT_EQ(std::string(view->metaObject()->className()),
                  std::string("rv::") + row->className);
    }
    // No view is registered under a command that no tree item or menu entry opens.
    for (int id = kFirstViewCommand; id <= kLastViewCommand; ++id)
        if (HasRegisteredView(id)) {
            EXPECT_NE(FindViewRow(id), nullptr) << id;
        }
}

TEST_F(ViewsTest, ChildWindowsLeaveCtrlWToWriteToRadio)
{
    frame->OpenView(Id(Command::RadioInformation));
    QMdiSubWindow* child = frame->MdiArea()->activeSubWindow();
    ASSERT_NE(child, nullptr);
    for (QAction* a : child->findChildren<QAction*>())
        EXPECT_FALSE(a->shortcuts().contains(QKeySequence("Ctrl+W"))) << a->text().toStdString();
    EXPECT_EQ(frame->Action(Id(Command::WriteToRadio))->shortcut(), QKeySequence("Ctrl+W"));
}

TEST_F(ViewsTest, CommandsWithoutAViewOpenNothing)
{
    EXPECT_EQ(frame->OpenView(Id(Command::GeneralGroup)), nullptr);
    EXPECT_EQ(frame->OpenView(Id(Command::New)), nullptr);
    EXPECT_TRUE(frame->MdiArea()->subWindowList().isEmpty());
}

TEST_F(ViewsTest, RadioViewShowsTheRecordAndReloads)
{
    auto* view = dynamic_cast<CViewRadio*>(frame->OpenView(Id(Command::RadioInformation)));
    ASSERT_NE(view, nullptr);
    auto text = [&](int id) { return view->Controls().Get<QLineEdit>(id)->text().toStdString(); };
    EXPECT_EQ(text(CViewRadio::Control::kModelName), Radio().RadioInfo().ModelName());
    EXPECT_EQ(text(CViewRadio::Control::kFrequencyRange), Settings().FreqRange());
    EXPECT_EQ(text(CViewRadio::Control::kFirmwareVersion), "V1.01.16");
    EXPECT_TRUE(view->Controls().Get<QLineEdit>(CViewRadio::Control::kSerialNumber)->isReadOnly());

    Radio().RadioInfo().SetSerialNumber("AB123");
    frame->ReloadAllViews();
    EXPECT_EQ(text(CViewRadio::Control::kSerialNumber), "AB123");
}

TEST_F(ViewsTest, NoticesReachEveryOtherView)
{
    StandIn(Command::Keys);
    StandIn(Command::Misc);
    CRecordingView* keys = Open(Command::Keys);
    CRecordingView* misc = Open(Command::Misc);
    ASSERT_TRUE(keys && misc);
    NoticeRecord n;
    n.code = NoticeCode::VoxChanged;
    n.key = 0;
    keys->RaiseNotice(n);
    EXPECT_TRUE(keys->notices.empty()) << "a view ignores its own notice";
    ASSERT_EQ(misc->notices.size(), 1u);
    EXPECT_EQ(misc->notices[0].code, NoticeCode::VoxChanged);
    EXPECT_EQ(misc->notices[0].sender, keys);
}

TEST_F(ViewsTest, ListViewsStartOnTheItemTheirTitleNames)
{
    StandIn(Command::Channel);
    CRecordingView* view = Open(Command::Channel, "Channel 3");
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->navigations.size(), 1u);
    EXPECT_EQ(view->navigations[0], std::make_pair(static_cast<int>(NoticeCode::GoTo), 3));
    // Activating the open view again leaves the user where they are.
    EXPECT_EQ(Open(Command::Channel, "Channel 5"), view);
    EXPECT_EQ(view->navigations.size(), 1u);
    // The channel group of the tree opens the channel view.
    emit frame->Tree()->itemActivated(TreeItem(Command::ChannelGroup), 0);
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 1);
}

TEST_F(ViewsTest, ViewsStoreWhenClosedAndBeforeTheImageIsBuilt)
{
    StandIn(Command::Keys);
    CRecordingView* keys = Open(Command::Keys);
    ASSERT_NE(keys, nullptr);
    Radio().MemoryMap().PrepareImage();
    EXPECT_EQ(keys->stores, 1);

    QPointer<CRecordingView> alive(keys);
    frame->RunCommand(Id(Command::CloseAllWindows));
    ASSERT_TRUE(alive);  // deleted later by the event loop
    EXPECT_EQ(keys->stores, 2);
    Settle();
    EXPECT_FALSE(alive);
    EXPECT_TRUE(frame->OpenViews().empty());
    EXPECT_TRUE(frame->MdiArea()->subWindowList().isEmpty());
    // A closed kind opens again in a new window.
    EXPECT_NE(Open(Command::Keys), nullptr);
}

TEST_F(ViewsTest, ClosingOneChildWindowForgetsIt)
{
    CCustomFormView* view = frame->OpenView(Id(Command::RadioInformation));
    ASSERT_NE(view, nullptr);
    frame->MdiArea()->activeSubWindow()->close();
    Settle();
    EXPECT_EQ(frame->FindView(Id(Command::RadioInformation)), nullptr);
    EXPECT_NE(frame->OpenView(Id(Command::RadioInformation)), nullptr);
}

TEST_F(ViewsTest, FocusReturnsToTheLastControlOfAView)
{
    StandIn(Command::Keys);
    frame->show();
    QApplication::setActiveWindow(frame.get());
    CCustomFormView* radio = frame->OpenView(Id(Command::RadioInformation));
    auto* serial = static_cast<CViewRadio*>(radio)->Controls().Get<QLineEdit>(
        CViewRadio::Control::kSerialNumber);
    serial->setFocus();
    Settle();
    ASSERT_EQ(QApplication::focusWidget(), serial);
    CRecordingView* keys = Open(Command::Keys);
    keys->edit->setFocus();
    Settle();
    frame->OpenView(Id(Command::RadioInformation));
    Settle();
    EXPECT_EQ(radio->LastFocus(), serial);
    EXPECT_EQ(QApplication::focusWidget(), serial);
}

TEST_F(ViewsTest, F1OpensHelpAtTheFocusedControl)
{
    frame->show();
    QApplication::setActiveWindow(frame.get());
    auto* radio = static_cast<CViewRadio*>(frame->OpenView(Id(Command::RadioInformation)));
    QLineEdit* name = radio->Controls().Get<QLineEdit>(CViewRadio::Control::kModelName);
    name->setFocus();
    Settle();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(name, &f1);
    ASSERT_NE(HelpViewer(), nullptr);
    EXPECT_EQ(HelpViewer()->Topic(), CViewRadio::Control::kModelName);

    // Help Topics opens the default topic.
    frame->RunCommand(Id(Command::HelpTopics));
    EXPECT_EQ(HelpViewer()->Topic(), 0);
    HelpViewer()->close();
}

TEST_F(ViewsTest, F1InChineseOpensTheChineseHelpAtTheSameTopic)
{
    Settings().SelectLanguage(1);
    ASSERT_EQ(Settings().HelpFile(), "help_S.html");
    frame->Retranslate();
    frame->show();
    QApplication::setActiveWindow(frame.get());
    auto* radio = static_cast<CViewRadio*>(frame->OpenView(Id(Command::RadioInformation)));
    QLineEdit* serial = radio->Controls().Get<QLineEdit>(CViewRadio::Control::kSerialNumber);
    serial->setFocus();
    Settle();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(serial, &f1);
    ASSERT_NE(HelpViewer(), nullptr);
    EXPECT_EQ(HelpViewer()->Browser()->source(),
              QUrl::fromLocalFile(QString::fromStdString(home.Path("help_S.html"))));
    EXPECT_EQ(HelpViewer()->Topic(), CViewRadio::Control::kSerialNumber);
    EXPECT_TRUE(HelpViewer()->Browser()->toPlainText().contains(QStringLiteral("序列号")));
    HelpViewer()->close();
}

TEST_F(ViewsTest, EveryControlFindsTheSameHelpTopicInBothLanguages)
{
    // F1 on any control of any view opens a topic (its own, its group's or its view's), and
    // the same one in English and in Chinese.
    auto read = [this](const char* name) {
        QFile file(QString::fromStdString(home.Path(name)));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        return file.readAll().toStdString();
    };
    const std::string english = read("help_E.html"), chinese = read("help_S.html");
    int controls = 0;
    for (const ViewRow& row : kViewTable) {
        QWidget* view = frame->OpenView(row.command);
        if (!view) continue;  // not offered at this user level or model
        for (QWidget* w : view->findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus) continue;
            const std::vector<int> chain = ControlIdChain(w);
            const int topic = ChooseHelpTopic(chain, english);
            EXPECT_NE(topic, 0) << row.className << " " << w->metaObject()->className() << " "
                                << w->objectName().toStdString();
            EXPECT_EQ(ChooseHelpTopic(chain, chinese), topic) << row.className;
            ++controls;
        }
        frame->CloseAllViews();
    }
    EXPECT_GT(controls, 0);
}

TEST_F(ViewsTest, MissingHelpFileIsReported)
{
    QFile::remove(HelpFilePath());
    frame->RunCommand(Id(Command::HelpTopics));
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().icon, CPrompt::Icon::Warning);
    EXPECT_TRUE(prompt.shown.back().text.contains(HelpFilePath()));
}

}  // namespace
}  // namespace rv
