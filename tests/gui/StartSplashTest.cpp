// The start-up picture lies over the shown main window without holding it up: the window takes
// clicks and keys while the picture is up, and the picture goes at the first of them, when
// another window (a notice) is shown, when it is clicked, or after its time.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMdiArea>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTreeWidget>
#include <functional>

#include "gui/GuiTestSupport.h"
#include "shell/StartSplash.h"
#include "shell/ViewTable.h"
#include "ui/QtText.h"

namespace rv {
namespace {

/// A pause longer than any test: the picture goes only through what the test does.
constexpr int kForever = 24 * 3600 * 1000;

class StartSplashTest : public test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        frame->show();
        QApplication::setActiveWindow(frame.get());
        Settle();
    }
    QPixmap Picture() const
    {
        return QPixmap(
            QString::fromStdString(home.Path(SplashFileName(Settings().LanguageIndex()))));
    }
    QTreeWidgetItem* TreeItem(Command command) const
    {
        QTreeWidget* tree = frame->Tree();
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == Id(command)) return *it;
        return nullptr;
    }
    static void Mouse(QWidget* widget, QEvent::Type type, QPoint at)
    {
        QMouseEvent e(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(widget, &e);
    }
};

TEST_F(StartSplashTest, PictureLiesInsideTheShownWindowAndIsNamed)
{
    for (int language : {0, 1}) {
        SCOPED_TRACE(language);
        Settings().SelectLanguage(language);
        const QPixmap picture = Picture();
        ASSERT_FALSE(picture.isNull());
        QPointer<CStartSplash> splash = CStartSplash::ShowOver(frame.get(), picture, kForever);
        ASSERT_TRUE(splash);
        EXPECT_TRUE(frame->isVisible());
        EXPECT_TRUE(splash->isVisible());
        EXPECT_EQ(splash->parentWidget(), frame.get());
        EXPECT_TRUE(frame->rect().contains(splash->geometry()));
        EXPECT_EQ(splash->pixmap().toImage(), picture.toImage()) << "unscaled in a large window";
        EXPECT_EQ(splash->accessibleName(), UiText(CStartSplash::kAccessibleNameText, ""))
            << "named in the language";
        EXPECT_FALSE(splash->accessibleName().isEmpty());

        // A window smaller than the picture shows it scaled down, whole and centred.
        frame->resize(320, 240);
        Settle();
        ASSERT_TRUE(splash);
        EXPECT_TRUE(frame->rect().contains(splash->geometry()));
        EXPECT_LT(splash->pixmap().width(), picture.width());
        frame->resize(1100, 720);
        splash->Dismiss();
        Settle();
        EXPECT_FALSE(splash);
    }
}

TEST_F(StartSplashTest, WindowTakesInputWhileThePictureIsUpAndTheInputRemovesIt)
{
    struct Case {
        const char* what;
        std::function<void(QTreeWidget*, QTreeWidgetItem*)> act;
    };
    const Case cases[] = {
        {"Return on the tree item",
         [](QTreeWidget* tree, QTreeWidgetItem* item) {
             tree->setCurrentItem(item);
             tree->setFocus();
             QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
             QApplication::sendEvent(tree, &key);
         }},
        {"double-click on the tree item",
         [](QTreeWidget* tree, QTreeWidgetItem* item) {
             const QPoint at = tree->visualItemRect(item).center();
             for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                       QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
                 Mouse(tree->viewport(), type, at);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frame->RunCommand(Id(Command::CloseAllWindows));
        Settle();
        ASSERT_EQ(frame->FindView(Id(Command::RadioInformation)), nullptr);
        QPointer<CStartSplash> splash = CStartSplash::ShowOver(frame.get(), Picture(), kForever);
        ASSERT_TRUE(splash);
        QTreeWidgetItem* item = TreeItem(Command::RadioInformation);
        ASSERT_NE(item, nullptr);
        c.act(frame->Tree(), item);
        EXPECT_NE(frame->FindView(Id(Command::RadioInformation)), nullptr)
            << "the command reached the main window";
        Settle();
        EXPECT_FALSE(splash) << "the input removed the picture";
    }
}

TEST_F(StartSplashTest, ClickOnThePictureRemovesItAndDoesNothingElse)
{
    QPointer<CStartSplash> splash = CStartSplash::ShowOver(frame.get(), Picture(), kForever);
    ASSERT_TRUE(splash);
    const QPoint middle = splash->rect().center();
    Mouse(splash, QEvent::MouseButtonPress, middle);
    Mouse(splash, QEvent::MouseButtonRelease, middle);
    Settle();
    EXPECT_FALSE(splash);
    EXPECT_TRUE(frame->MdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(StartSplashTest, NoticeShownAtStartUpIsNeverUnderThePicture)
{
    QPointer<CStartSplash> splash = CStartSplash::ShowOver(frame.get(), Picture(), kForever);
    ASSERT_TRUE(splash);
    QMessageBox box(QMessageBox::Warning, "rvcps", "The language file cannot be read.",
                    QMessageBox::Ok, frame.get());
    box.show();
    Settle();
    EXPECT_FALSE(splash);
    EXPECT_TRUE(box.isVisible());
    box.close();
}

TEST_F(StartSplashTest, PictureGoesAfterItsTimeAndAMissingPictureShowsNothing)
{
    QPointer<CStartSplash> splash = CStartSplash::ShowOver(frame.get(), Picture(), 0);
    ASSERT_TRUE(splash);
    Settle();
    EXPECT_FALSE(splash);

    std::filesystem::remove(home.Path("splash_E.jpg"));
    EXPECT_EQ(CStartSplash::ShowOver(frame.get(), Picture(), kForever), nullptr);
    EXPECT_EQ(frame->findChild<CStartSplash*>(), nullptr);
    EXPECT_TRUE(frame->isVisible());
}

}  // namespace
}  // namespace rv
