// The emergency view on real widgets: the ID follows its type when the type changes, a
// revert channel deleted elsewhere is logged and the log row leads back to its box, choosing
// a channel withdraws the entry, and a channel delete keeps the revert channel on its channel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <vector>

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCommands.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/emergency/gui/ViewEmergency.h"
#include "gui/GuiTestSupport.h"
#include "ui/ComboHelpers.h"
#include "ui/InvalidLogPane.h"

namespace rv {
namespace {

using Box = CViewEmergency::Box;

class EmergencyView : public test::GuiTest {
protected:
    CViewEmergency* Open()
    {
        return dynamic_cast<CViewEmergency*>(frame->OpenView(Id(Command::Emergency)));
    }
    static QComboBox* Combo(CViewEmergency* view, int id)
    {
        return qobject_cast<QComboBox*>(view->Control(id));
    }
    static QLineEdit* IdField(CViewEmergency* view)
    {
        return qobject_cast<QLineEdit*>(view->Control(Box::Id));
    }
    static void Activate(QComboBox* combo, int index)
    {
        ASSERT_NE(combo, nullptr);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, combo->count());
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static void ChooseType(CViewEmergency* view, int type)
    {
        QComboBox* box = Combo(view, Box::IdType);
        Activate(box, box->findData(type));
    }
    /// Deletes channel `number` from the channel list and announces it, as the channel views do.
    void DeleteChannel(size_t number)
    {
        const ListCommandResult r =
            RunChannelCommand(ListCommand::Delete, number - 1, 0, SingleItemDelete::NoCurrent);
        ASSERT_TRUE(r.notice);
        frame->BroadcastNotice(*r.notice);
    }
    static CEmergencyBlock& Block() { return Radio().Emergency(); }
};

TEST_F(EmergencyView, IdFollowsItsTypeAndIsStoredAsShown)
{
    // A radio whose signalling type offers every ID type.
    Settings().SetSignal(0);
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    QLineEdit* id = IdField(view);
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->text(), "0123");
    EXPECT_TRUE(Combo(view, Box::SignalingSystem)->isEnabled());

    struct Step {
        int type;
        const char* typed;  // nullptr: only the type changes
        const char* shown;
        bool signaling;
    };
    const Step steps[] = {
        {3, nullptr, "0123", false},    {3, "ab9f", "AB9E", false}, {4, nullptr, "000001", false},
        {4, "07a1b2", "07A1B2", false}, {2, nullptr, "0712", true}, {2, "*9#1", "*9#1", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.type << " " << (s.typed ? s.typed : "-"));
        ChooseType(view, s.type);
        if (s.typed) {
            id->clear();
            for (const char* key = s.typed; *key; ++key) id->insert(QString(QChar(*key)));
            emit id->editingFinished();
        }
        EXPECT_EQ(id->text(), s.shown);
        EXPECT_EQ(Block().IdType(), s.type);
        EXPECT_EQ(Block().IdText(), s.shown);
        EXPECT_EQ(Combo(view, Box::SignalingSystem)->isEnabled(), s.signaling);
    }
    // A key the type does not take is refused as typed.
    id->insert("A");
    EXPECT_EQ(id->text(), "*9#1");
    // Pasted text beyond the type's length is cut with a notice.
    id->clear();
    id->insert("123456");
    EXPECT_EQ(id->text(), "1234");
    EXPECT_FALSE(view->CutNotice().isEmpty());

    // The signalling system is kept for the DTMF type only.
    EXPECT_EQ(Block().SignalingSystemId(), Radio().DtmfSystems()[0]->id_);
    ChooseType(view, 3);
    EXPECT_EQ(Block().SignalingSystemId(), 0u);
}

TEST_F(EmergencyView, RevertChannelFollowsDeletesAndTheLogLeadsBackToIt)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    QComboBox* revert = Combo(view, Box::RevertChannel);
    Activate(revert, revert->findData(5));
    const uint32_t fifth = Radio().Channels()[4]->id_;
    EXPECT_EQ(Block().RevertChannelId(), fifth);

    // Deleting channel 2 keeps the revert channel on the same channel, now number 4.
    DeleteChannel(2);
    EXPECT_EQ(Block().Raw()[CEmergencyBlock::Offset::kRevertChannel], 4);
    EXPECT_EQ(revert->currentData().toInt(), 4);

    // Deleting the channel itself logs the entry; its row leads to the box.
    DeleteChannel(4);
    ASSERT_TRUE(Radio().InvalidLog().Contains(CEmergencyBlock::kRevertChannelKey));
    EXPECT_EQ(revert->currentIndex(), -1);
    frame->show();
    QApplication::setActiveWindow(frame.get());
    frame->OpenView(Id(Command::DtmfSystem));
    // (The scan list logs its own rows for the deleted members.)
    const auto& rows = Radio().InvalidLog().Rows();
    int row = 0;
    while (row < static_cast<int>(rows.size()) &&
           rows[static_cast<size_t>(row)].key != CEmergencyBlock::kRevertChannelKey)
        ++row;
    ASSERT_EQ(frame->InvalidPane()->topLevelItemCount(), static_cast<int>(rows.size()));
    emit frame->InvalidPane()->itemActivated(frame->InvalidPane()->topLevelItem(row), 0);
    Settle();
    EXPECT_EQ(QApplication::focusWidget(), revert);

    // Choosing a channel withdraws the entry.
    Activate(revert, revert->findData(1));
    EXPECT_FALSE(Radio().InvalidLog().Contains(CEmergencyBlock::kRevertChannelKey));
    EXPECT_EQ(Block().RevertChannelId(), Radio().Channels()[0]->id_);
}

// The radio's signalling type takes one ID type from the list; the send mode follows a type the
// user picks (the first entry for Alarm Tone, the second for the types that send an ID).
TEST_F(EmergencyView, IdTypesFollowTheSignallingTypeAndSendModeTheIdType)
{
    struct Case {
        int signal;
        std::vector<int> types;  ///< the stored values the ID-type box offers
    };
    const Case cases[] = {{0, {0, 1, 2, 3, 4}}, {1, {0, 1, 2, 4}}, {2, {0, 1, 3, 4}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signal);
        frame->CloseAllViews();
        Settings().SetSignal(c.signal);
        auto* view = Open();
        ASSERT_NE(view, nullptr);
        QComboBox* types = Combo(view, Box::IdType);
        std::vector<int> offered;
        for (int i = 0; i < types->count(); ++i) offered.push_back(types->itemData(i).toInt());
        EXPECT_EQ(offered, c.types);
    }
    auto* view = Open();
    QComboBox* sendMode = Combo(view, Box::SendMode);
    const std::pair<int, int> steps[] = {{1, 0}, {4, 1}, {1, 0}, {0, 0}};
    for (const auto& [type, mode] : steps) {
        SCOPED_TRACE(type);
        ChooseType(view, type);
        EXPECT_EQ(Block().Raw().Bit(CEmergencyBlock::Offset::kFlags,
                                    CEmergencyBlock::Offset::kSendModeBit),
                  mode == 1);
        EXPECT_EQ(sendMode->currentIndex(), mode);
        EXPECT_EQ(sendMode->isEnabled(), type != 0);
    }
}

}  // namespace
}  // namespace rv
