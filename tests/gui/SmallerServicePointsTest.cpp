// Smaller points of the emergency, data watch and maintenance board views: the notices the
// emergency view reloads on, the data watch's selectable log lines, and Add on a board whose
// count byte cannot be a count.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "base/CommandIds.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/emergency/gui/ViewEmergency.h"
#include "gui/GuiTestSupport.h"
#include "service/MaintainBoard.h"
#include "service/gui/ViewDataWatch.h"
#include "service/gui/ViewMaintainBoard.h"

namespace rv {
namespace {

class SmallerServicePoints : public test::GuiTest {};

TEST_F(SmallerServicePoints, TheEmergencyViewReloadsOnTheNoticesOfChangedLists)
{
    struct Case {
        NoticeCode code;
        bool reloads;
    };
    const Case cases[] = {
        {NoticeCode::Added, true},        {NoticeCode::Deleted, true},
        {NoticeCode::RowCommitted, true}, {NoticeCode::UsedChanged, true},
        {NoticeCode::Next, false},        {NoticeCode::FieldCommitted, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        frame->CloseAllViews();
        Settle();
        auto* view = dynamic_cast<CViewEmergency*>(frame->OpenView(Id(Command::Emergency)));
        ASSERT_NE(view, nullptr);
        auto* revert = qobject_cast<QComboBox*>(view->Control(CViewEmergency::Box::RevertChannel));
        ASSERT_NE(revert, nullptr);
        const int before = revert->count();
        // One more channel in use, as a committed grid row may bring it.
        Radio().AddChannel();
        NoticeRecord notice;
        notice.code = c.code;
        if (c.code == NoticeCode::RowCommitted) {
            notice.flags = kRowCommittedFlags;
            notice.key = static_cast<uint32_t>(Radio().Channels().size());
        }
        view->DeliverNotice(notice);
        EXPECT_EQ(revert->count(), c.reloads ? before + 1 : before);
    }
}

TEST_F(SmallerServicePoints, TheDataWatchShowsTheEntriesOfItsFirst130LogLines)
{
    home.SetUserLevel(kFullServiceLevel);
    frame->RefreshAll();
    auto* view = qobject_cast<CDataWatchView*>(frame->OpenView(Id(Command::DataWatch)));
    ASSERT_NE(view, nullptr);
    for (size_t a = 0; a < 140; ++a) Radio().MemoryImage()[a] ^= 0x01;
    view->Compare();
    ASSERT_EQ(view->Log()->count(), 140);
    struct Case {
        int line;
        bool shown;
    };
    for (const Case& c : {Case{0, true}, Case{129, true}, Case{130, false}, Case{139, false}}) {
        // Another line's entry first: a line beyond the limit must not leave it shown.
        view->Log()->setCurrentRow(c.line == 0 ? 1 : 0);
        const int row = view->Table()->currentRow();
        view->Log()->setCurrentRow(c.line);
        const QString detail = view->Detail()->toPlainText();
        const size_t address = static_cast<size_t>(c.line);
        if (c.shown) {
            const QString head =
                QStringLiteral("Decimal: $E.0x%1:").arg(QString::number(address, 16).toUpper());
            EXPECT_TRUE(detail.startsWith(head)) << c.line << " " << detail.toStdString();
            EXPECT_EQ(view->Table()->currentRow(), static_cast<int>(address / 16) + 1);
        } else {
            EXPECT_TRUE(detail.isEmpty()) << c.line;
            EXPECT_EQ(view->Table()->currentRow(), row) << c.line;
        }
    }
}

TEST_F(SmallerServicePoints, AddOnABoardWithAnImpossibleCountTouchesOnlyItsNewRecord)
{
    home.SetUserLevel(kServiceLevel);
    frame->RefreshAll();
    BoardBytes& bytes = frame->Document().Board();
    bytes.fill(0x5A);
    bytes[0] = 200;
    const BoardBytes before = bytes;
    auto* view = qobject_cast<CViewMaintainBoard*>(frame->OpenView(Id(Command::MaintainBoard)));
    ASSERT_NE(view, nullptr);
    QPushButton* add = nullptr;
    for (QPushButton* b : view->findChildren<QPushButton*>())
        if (b->text().remove('&') == QString::fromStdString(Settings().LoadText(BoardText::kAdd)))
            add = b;
    ASSERT_NE(add, nullptr);
    ASSERT_TRUE(add->isEnabled());
    add->click();
    EXPECT_EQ(CMaintainBoard(bytes).Count(), 1u);
    EXPECT_EQ(bytes[0], 1);
    // Record 0's date, kind, detail and result are the new record's; nothing else changed.
    for (size_t i = 7; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], before[i]) << i;
}

}  // namespace
}  // namespace rv
