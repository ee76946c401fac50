// The scan view on real widgets: a scan list built on the channel list page keeps naming the
// same channels when a channel is deleted, with the view open or closed; a deleted member is
// logged and its row leads back to the member's box; the number of entries enables the boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QTreeWidget>

#include "base/CommandIds.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCommands.h"
#include "editors/channel/ChannelData.h"
#include "editors/scan/ScanData.h"
#include "editors/scan/gui/ViewScan.h"
#include "gui/GuiTestSupport.h"
#include "ui/InvalidLogPane.h"

namespace rv {
namespace {

using T = CScanData::TextId;
constexpr int kEntries = 3943;

class ScanView : public test::GuiTest {
protected:
    CViewScan* Open() { return dynamic_cast<CViewScan*>(frame->OpenView(Id(Command::Scan))); }
    static QComboBox* Box(CViewScan* view, int id)
    {
        return qobject_cast<QComboBox*>(view->Sheet()->ChannelList()->Control(id));
    }
    static void Activate(QComboBox* combo, int index)
    {
        ASSERT_NE(combo, nullptr);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, combo->count());
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    /// Makes the second scan list name channels 1, 3 and 5 on the channel list page.
    CScanData& BuildSecondList(CViewScan* view)
    {
        view->Navigate(static_cast<int>(ListCommand::Add), 0);
        EXPECT_EQ(view->CurrentRecord(), 2);
        Activate(Box(view, kEntries), Box(view, kEntries)->findText("3"));
        const char* members[] = {"1", "3", "5"};
        for (int k = 0; k < 3; ++k) {
            QComboBox* box = Box(view, static_cast<int>(T::FirstMemberBox) + k);
            Activate(box, box->findText(members[k]));
        }
        EXPECT_TRUE(Box(view, static_cast<int>(T::FirstMemberBox) + 2)->isEnabled());
        EXPECT_FALSE(Box(view, static_cast<int>(T::FirstMemberBox) + 3)->isEnabled());
        return *Radio().ScanLists()[1];
    }
    void DeleteChannel(size_t number)
    {
        const ListCommandResult r =
            RunChannelCommand(ListCommand::Delete, number - 1, 0, SingleItemDelete::NoCurrent);
        ASSERT_TRUE(r.notice);
        frame->BroadcastNotice(*r.notice);
    }
    static std::vector<int> Members(const CScanData& scan, size_t n)
    {
        std::vector<int> out;
        for (size_t k = 0; k < n; ++k) out.push_back(scan.Raw()[CScanData::Offset::Members + k]);
        return out;
    }
};

TEST_F(ScanView, MembersFollowADeletedChannelWithTheViewOpenOrClosed)
{
    for (bool keepOpen : {true, false}) {
        SCOPED_TRACE(keepOpen ? "view open" : "view closed");
        MakeFrame();
        auto* view = Open();
        ASSERT_NE(view, nullptr);
        CScanData& second = BuildSecondList(view);
        EXPECT_EQ(Members(second, 3), (std::vector<int>{1, 3, 5}));
        if (!keepOpen) {
            frame->CloseAllViews();
            view = nullptr;
        }
        DeleteChannel(2);
        EXPECT_EQ(Members(second, 3), (std::vector<int>{1, 2, 4}));
        if (keepOpen) {
            EXPECT_EQ(Box(view, static_cast<int>(T::FirstMemberBox) + 1)->currentText(), "2");
            EXPECT_EQ(Box(view, static_cast<int>(T::FirstMemberBox) + 2)->currentText(), "4");
        } else {
            view = Open();
            view->Navigate(static_cast<int>(ListCommand::Last), 0);
            EXPECT_EQ(Box(view, static_cast<int>(T::FirstMemberBox) + 2)->currentText(), "4");
        }
        // Deleting a member's channel leaves it none and logs it; the row leads to its box.
        DeleteChannel(2);
        EXPECT_EQ(Members(second, 3), (std::vector<int>{1, 0xFF, 3}));
        const uint32_t key = second.NoticeKey(T::FirstMemberBox + 1);
        ASSERT_TRUE(Radio().InvalidLog().Contains(key));
        const auto& rows = Radio().InvalidLog().Rows();
        int row = 0;
        while (row < static_cast<int>(rows.size()) && rows[static_cast<size_t>(row)].key != key)
            ++row;
        frame->show();
        QApplication::setActiveWindow(frame.get());
        view->Navigate(static_cast<int>(ListCommand::First), 0);
        view->Sheet()->setCurrentIndex(0);
        emit frame->InvalidPane()->itemActivated(frame->InvalidPane()->topLevelItem(row), 0);
        Settle();
        EXPECT_EQ(view->CurrentRecord(), 2);
        QComboBox* member2 = Box(view, static_cast<int>(T::FirstMemberBox) + 1);
        EXPECT_EQ(QApplication::focusWidget(), member2);
        // Choosing a channel withdraws the entry.
        Activate(member2, member2->findText("5"));
        EXPECT_FALSE(Radio().InvalidLog().Contains(key));
        EXPECT_EQ(Members(second, 3), (std::vector<int>{1, 5, 3}));
        frame->hide();
    }
}

}  // namespace
}  // namespace rv
