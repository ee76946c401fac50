// The channel grid's horizontal scroll bar runs with the columns: its thumb stands at the left
// while the first columns show and at the right at the last ones, and dragging it to the left
// shows the columns on the left. Run on the offscreen platform and, by CTest, under a real X
// server (xvfb), where the style draws a real scroll bar.

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest/QTest>

#include "base/CommandIds.h"
#include "editors/channel/gui/ViewChannelList.h"
#include "gui/GuiTestSupport.h"
#include "ui/GridCtrl.h"

namespace rv {
namespace {

/// Where the scroll bar draws its thumb.
QRect ThumbRect(QScrollBar* bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                        bar);
}

class GridScrollBar : public test::GuiTest {
protected:
    void TearDown() override
    {
        if (frame) frame->hide();
        GuiTest::TearDown();
    }
};

TEST_F(GridScrollBar, TheThumbRunsWithTheColumns)
{
    frame->resize(700, 500);
    frame->show();
    QApplication::setActiveWindow(frame.get());
    auto* view = dynamic_cast<CViewChannelList*>(frame->OpenView(Id(Command::ChannelList)));
    ASSERT_NE(view, nullptr);
    QMdiSubWindow* window = frame->MdiArea()->activeSubWindow();
    ASSERT_NE(window, nullptr);
    window->resize(560, 360);  // narrower than the columns
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    Settle();
    CGridCtrl* grid = view->Grid();
    QScrollBar* bar = grid->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), bar->minimum()) << "the columns fit: nothing to scroll";
    ASSERT_TRUE(bar->isVisible());
    EXPECT_FALSE(bar->invertedAppearance());
    EXPECT_EQ(bar->layoutDirection(), Qt::LeftToRight);

    // Opened at the first columns, the thumb at the left.
    EXPECT_EQ(bar->value(), bar->minimum());
    EXPECT_EQ(grid->columnAt(0), 0);
    const QRect groove = bar->rect();
    QRect thumb = ThumbRect(bar);
    EXPECT_LT(thumb.center().x(), groove.center().x()) << "thumb at the right";

    // At the end the last column shows and the thumb stands at the right.
    bar->setValue(bar->maximum());
    Settle();
    EXPECT_EQ(grid->columnAt(grid->viewport()->width() - 1), grid->columnCount() - 1);
    thumb = ThumbRect(bar);
    EXPECT_GT(thumb.center().x(), groove.center().x());

    // Dragging the thumb to the left brings the first columns back.
    const QPoint start = thumb.center();
    const int before = bar->value();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(bar, start - QPoint(thumb.width(), 0));
    QTest::mouseMove(bar, QPoint(groove.left() + 1, start.y()));
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(groove.left() + 1, start.y()));
    Settle();
    EXPECT_LT(bar->value(), before);
    EXPECT_EQ(bar->value(), bar->minimum());
    EXPECT_EQ(grid->columnAt(0), 0);
}

}  // namespace
}  // namespace rv
