// The personality view on real widgets: its pages per model, the time-out rule of the RX/TX
// page, write-back of every change, reloads on add and delete notices, and the record
// commands.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "data/RadioData.h"
#include "editors/common/ListCommand.h"
#include "editors/personality/gui/PageRXTX.h"
#include "editors/personality/gui/PagePersonalitySignal.h"
#include "editors/personality/PersonalityData.h"
#include "editors/personality/gui/PersonalitySheet.h"
#include "editors/personality/gui/ViewPersonality.h"
#include "gui/GuiTestSupport.h"
#include "base/CommandIds.h"

namespace rv {
namespace {

class PersonalityView : public test::GuiTest {
protected:
    CViewPersonality* Open()
    {
        return dynamic_cast<CViewPersonality*>(frame->OpenView(Id(Command::Personality)));
    }
    static QComboBox* Box(CViewPersonality* view, int id)
    {
        return qobject_cast<QComboBox*>(view->Sheet()->RxTx()->Control(id));
    }
    static void Activate(QComboBox* combo, int index)
    {
        ASSERT_NE(combo, nullptr);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, combo->count());
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static CPersonalityData& First() { return *Radio().Personalities().front(); }
    /// Puts the record bytes of the time-out timer directly (values of their choice lists).
    static void SetTimes(CPersonalityData& p, uint8_t timeOut, uint8_t preAlert)
    {
        p.Raw()[CPersonalityData::Offset::TimeOut] = timeOut;
        p.Raw()[CPersonalityData::Offset::PreAlert] = preAlert;
    }
    static QStringList Items(const QComboBox* combo)
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        return items;
    }
};

TEST_F(PersonalityView, SignalingPageOnlyForTheModelWithTransmitSignalling)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(Settings().IsModel(ModelText::Rv205));
    EXPECT_EQ(view->Sheet()->count(), 2);
    EXPECT_NE(view->Sheet()->Signal(), nullptr);
    frame->CloseAllViews();
    Settle();

    UseModel(Settings().LoadModelText(ModelText::SecondEdition), "400-470");
    view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Sheet()->count(), 1);
    EXPECT_EQ(view->Sheet()->Signal(), nullptr);
}

struct TimeOutCase {
    const char* what;
    uint8_t timeOut;
    uint8_t preAlert;
    int offered;      ///< entries of the pre-alert box
    int selected;     ///< entry selected
    bool enabled;     ///< pre-alert, re-key and reset boxes
};

class TimeOutRule : public PersonalityView, public ::testing::WithParamInterface<TimeOutCase> {};

TEST_P(TimeOutRule, PreAlertBoxNeverOffersMoreThanTheTimeOut)
{
    const TimeOutCase& c = GetParam();
    const std::vector<ChoiceEntry> full = Settings().ChoiceEntries(kPreAlertList);
    ASSERT_GE(full.size(), 6u);
    SetTimes(First(), c.timeOut, c.preAlert);
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    QComboBox* preAlert = Box(view, kPreAlertList);
    EXPECT_EQ(preAlert->count(), std::min<int>(c.offered, static_cast<int>(full.size())));
    EXPECT_EQ(preAlert->currentIndex(), c.selected);
    for (int i = 0; i < preAlert->count(); ++i)
        EXPECT_EQ(preAlert->itemText(i).toStdString(), full[static_cast<size_t>(i)].text);
    for (int id : {kPreAlertList, kReKeyList, kResetList})
        EXPECT_EQ(Box(view, id)->isEnabled(), c.enabled) << c.what << " " << id;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeOutRule,
    ::testing::Values(TimeOutCase{"no time-out", 0, 0, 1, 0, false},
                      TimeOutCase{"three seconds, old pre-alert beyond", 3, 5, 3, 0, true},
                      TimeOutCase{"three seconds, pre-alert kept", 3, 2, 3, 2, true},
                      TimeOutCase{"long time-out offers the whole list", 60, 4, 99, 4, true}),
    [](const ::testing::TestParamInfo<TimeOutCase>& info) {
        std::string name;
        for (char ch : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

TEST_F(PersonalityView, ChangingTheTimeOutReappliesTheRuleAndWritesBack)
{
    SetTimes(First(), 60, 3);
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    QComboBox* timeOut = Box(view, kTimeOutList);
    QComboBox* preAlert = Box(view, kPreAlertList);
    ASSERT_EQ(timeOut->itemText(0).toStdString(), Settings().GetChoiceText(kTimeOutList, 0));
    Activate(timeOut, 0);
    EXPECT_EQ(First().TimeOut(), 0);
    EXPECT_EQ(preAlert->count(), 1);
    EXPECT_FALSE(preAlert->isEnabled());
    // The pre-alert fell back to the first entry, and the record says so.
    EXPECT_EQ(First().PreAlert(), Settings().ChoiceEntries(kPreAlertList).front().value);

    Activate(timeOut, 1);
    EXPECT_TRUE(preAlert->isEnabled());
    EXPECT_GT(preAlert->count(), 1);
    Activate(Box(view, kTxAdmitList), 2);
    EXPECT_EQ(First().TxAdmit(), Settings().ChoiceEntries(kTxAdmitList)[2].value);
}

// Values as a radio or a file may hold them: no entry of their lists has them, or the
// pre-alert lies beyond what the time-out offers. Looking at them (every box picks the entry it
// shows), storing and closing leaves the record as it came; a new time-out stores the
// pre-alert its rule shows.
TEST_F(PersonalityView, StoredValuesTheBoxesCannotShowAreKeptUntilChanged)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> record;
    };
    const Case cases[] = {
        {"no entry has them", {0xFF, 0x77, 0xEE, 0xDD, 0xCC, 0xBB, 0xCF, 0xFF}},
        {"pre-alert beyond the time-out", {0xFF, 0x01, 3, 5, 0, 0, 0xC0, 0xFF}},
        {"pre-alert without a time-out", {0xFF, 0x02, 0, 4, 3, 2, 0xC1, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::copy(c.record.begin(), c.record.end(), First().Record());
        auto* view = Open();
        ASSERT_NE(view, nullptr);
        for (int id : {kTxAdmitList, kTimeOutList, kPreAlertList, kReKeyList, kResetList}) {
            QComboBox* box = Box(view, id);
            if (box->currentIndex() >= 0) Activate(box, box->currentIndex());
        }
        auto* signal =
            qobject_cast<QComboBox*>(view->Sheet()->Signal()->Control(kTxSignallingList));
        if (signal->currentIndex() >= 0) Activate(signal, signal->currentIndex());
        view->Store();
        frame->CloseAllViews();
        Settle();
        const auto bytes = First().Raw().Bytes();
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), c.record);
    }

    // The time-out changed: the pre-alert it offers now is stored with it.
    SetTimes(First(), 3, 5);
    auto* view = Open();
    QComboBox* timeOut = Box(view, kTimeOutList);
    Activate(timeOut, 1);
    EXPECT_EQ(First().TimeOut(), Settings().ChoiceEntries(kTimeOutList)[1].value);
    EXPECT_EQ(First().PreAlert(),
              Settings().GetChoiceValue(kPreAlertList,
                                        Box(view, kPreAlertList)->currentText().toStdString()));
}

TEST_F(PersonalityView, SignalingPageStoresTheTransmitSignalling)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    auto* page = view->Sheet()->Signal();
    ASSERT_NE(page, nullptr);
    auto* tx = qobject_cast<QComboBox*>(page->Control(kTxSignallingList));
    ASSERT_GE(tx->count(), 2);
    Activate(tx, 1);
    EXPECT_EQ(First().TxSignalling(),
              static_cast<unsigned>(Settings().ChoiceEntries(kTxSignallingList)[1].value));
    // The record's kept bits of byte 6 stay as they were.
    EXPECT_EQ(First().Raw()[CPersonalityData::Offset::Signalling] & 0xF0, 0xC0);
}

TEST_F(PersonalityView, ReloadsOnAddAndDeleteNoticesOnly)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    QComboBox* timeOut = Box(view, kTimeOutList);
    SetTimes(First(), 0, 0);
    NoticeRecord other;
    other.code = NoticeCode::FieldCommitted;
    view->DeliverNotice(other);
    EXPECT_NE(timeOut->currentIndex(), 0) << "a field notice does not reload";
    other.code = NoticeCode::Added;
    view->DeliverNotice(other);
    EXPECT_EQ(timeOut->currentIndex(), 0);
}

TEST_F(PersonalityView, RecordCommandsAddDeleteAndKeepTheLastPersonality)
{
    while (Radio().Personalities().size() > 1) Radio().Personalities().pop_back();
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    view->Navigate(static_cast<int>(ListCommand::Add), 0);
    view->Navigate(static_cast<int>(ListCommand::Add), 0);
    EXPECT_EQ(Radio().Personalities().size(), 3u);
    EXPECT_EQ(view->CurrentRecord(), 3);
    EXPECT_EQ(frame->MdiArea()->activeSubWindow()->windowTitle().right(2), " 3");
    view->Navigate(static_cast<int>(ListCommand::First), 0);
    view->Navigate(static_cast<int>(ListCommand::Delete), 0);
    EXPECT_EQ(Radio().Personalities().size(), 2u);
    EXPECT_EQ(view->CurrentRecord(), 1);

    // The last one is never deleted; the view then has no current personality.
    view->Navigate(static_cast<int>(ListCommand::Delete), 0);
    view->Navigate(static_cast<int>(ListCommand::Delete), 0);
    EXPECT_EQ(Radio().Personalities().size(), 1u);
    EXPECT_EQ(view->CurrentRecord(), 0);
    EXPECT_FALSE(view->Sheet()->RxTx()->isEnabled());
    view->Navigate(static_cast<int>(ListCommand::GoTo), 1);
    EXPECT_TRUE(view->Sheet()->RxTx()->isEnabled());
}

TEST_F(PersonalityView, ActivePageIsRememberedForTheNextPersonalityView)
{
    auto* view = Open();
    ASSERT_NE(view, nullptr);
    view->Sheet()->setCurrentIndex(1);
    frame->CloseAllViews();
    Settle();
    view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Sheet()->currentIndex(), 1);
    view->Sheet()->setCurrentIndex(0);
    frame->CloseAllViews();
    Settle();
    EXPECT_EQ(CViewPersonality::RememberedPage(), 0);
}

}  // namespace
}  // namespace rv
