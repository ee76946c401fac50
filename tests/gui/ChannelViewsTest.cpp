// The channel editors on real widgets: the grid control's typed cells, the Basic page's enable
// rules in the normal and the licence-free bands, commits and their notices between an open
// channel view and an open channel list, the record commands through the navigation bar, and
// the invalid-log round trip of a channel whose personality was deleted.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "data/Document.h"
#include "data/RadioData.h"
#include "editors/channel/gui/ChanSheet.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/common/ListCommand.h"
#include "editors/channel/gui/PageChanBasic.h"
#include "editors/channel/gui/PageChanMisc.h"
#include "editors/channel/gui/ViewChannel.h"
#include "editors/channel/gui/ViewChannelList.h"
#include "editors/personality/PersonalityData.h"
#include "editors/personality/gui/ViewPersonality.h"
#include "gui/GuiTestSupport.h"
#include "base/CommandIds.h"
#include "ui/GridCtrl.h"
#include "ui/InvalidLogPane.h"
#include "ui/NavigationBar.h"
#include "ui/QtText.h"

namespace rv {
namespace {

using C = ChannelControl;

void Activate(QComboBox* combo, int index)
{
    ASSERT_NE(combo, nullptr);
    ASSERT_GE(index, 0);
    ASSERT_LT(index, combo->count());
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void ActivateText(QComboBox* combo, const QString& text)
{
    ASSERT_NE(combo, nullptr);
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    Activate(combo, index);
}

void FocusOut(QWidget* w)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
}

void Key(QWidget* w, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

void TypeText(QWidget* w, const QString& text)
{
    for (QChar ch : text) Key(w, 0, QString(ch));
}

/// Replaces the text of a line edit as a user would (select all, type).
void Retype(QLineEdit* edit, const QString& text)
{
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    Key(edit, Qt::Key_Backspace);
    TypeText(edit, text);
}

// ---- the grid control ----

class GridControl : public test::HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        grid.SetColumns({{"Fixed", 60, GridCellKind::Fixed},
                         {"Freq", 90, GridCellKind::Frequency},
                         {"Tone", 60, GridCellKind::EditableDropDown},
                         {"Type", 0, GridCellKind::DropDown}});
        grid.SetRows(2);
        grid.SetColumnChoices(2, {"67.0", "71.9"});
        grid.SetColumnChoices(3, {"None", "CTCSS"});
        grid.SetFrequencyRule([](const QString& t) { return t.isEmpty() ? t : t + "00"; });
        QObject::connect(&grid, &CGridCtrl::cellCommitted,
                         [this](int r, int c) { commits.push_back({r, c}); });
        grid.resize(400, 200);
        grid.show();
    }
    CGridCtrl grid;
    std::vector<std::pair<int, int>> commits;
};

TEST_F(GridControl, FrequencyCellsTakeDigitsAndPointOnlyAndCommitThroughTheRule)
{
    grid.SetCellText(0, 1, "1.0");
    ASSERT_TRUE(grid.EditCell(0, 1));
    auto* editor = qobject_cast<QLineEdit*>(grid.OpenEditor());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeText(editor, "4a4-6.x5");
    EXPECT_EQ(editor->text(), "446.5");
    Key(editor, Qt::Key_Return);
    QApplication::processEvents();  // Return commits from the event loop
    EXPECT_EQ(grid.CellText(0, 1), "446.500");
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], std::make_pair(0, 1));
    EXPECT_EQ(grid.OpenEditor(), nullptr);
}

TEST_F(GridControl, EscapeRestoresTheTextAndCommitsNothing)
{
    grid.SetCellText(1, 1, "440.1");
    ASSERT_TRUE(grid.EditCell(1, 1));
    auto* editor = qobject_cast<QLineEdit*>(grid.OpenEditor());
    ASSERT_NE(editor, nullptr);
    TypeText(editor, "9");
    Key(editor, Qt::Key_Escape);
    EXPECT_EQ(grid.CellText(1, 1), "440.1");
    EXPECT_TRUE(commits.empty());
}

TEST_F(GridControl, FixedCellsOpenNoEditorAndArePaintedAsButtons)
{
    EXPECT_FALSE(grid.EditCell(0, 0));
    const QBrush fixed = grid.item(0, 0)->background();
    const QBrush editable = grid.item(0, 1)->background();
    EXPECT_EQ(fixed.color(), grid.palette().color(QPalette::Button));
    EXPECT_EQ(editable.color(), grid.palette().color(QPalette::Base));
    // A cell made fixed later is painted and locked the same way.
    grid.SetCellKind(0, 2, GridCellKind::Fixed);
    EXPECT_FALSE(grid.EditCell(0, 2));
    EXPECT_EQ(grid.item(0, 2)->background().color(), grid.palette().color(QPalette::Button));
}

TEST_F(GridControl, DropDownsOfferTheirChoicesAndCommitWhenPicked)
{
    grid.SetCellText(0, 3, "None");
    ASSERT_TRUE(grid.EditCell(0, 3));
    auto* combo = qobject_cast<QComboBox*>(grid.OpenEditor());
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "None");
    Activate(combo, 1);
    EXPECT_EQ(grid.CellText(0, 3), "CTCSS");
    EXPECT_EQ(commits.size(), 1u);

    // The editable kind takes a typed value that is not among its choices.
    ASSERT_TRUE(grid.EditCell(1, 2));
    auto* tone = qobject_cast<QComboBox*>(grid.OpenEditor());
    ASSERT_NE(tone, nullptr);
    EXPECT_TRUE(tone->isEditable());
    tone->setEditText("100.5");
    grid.CommitEdit();
    EXPECT_EQ(grid.CellText(1, 2), "100.5");
    EXPECT_EQ(commits.size(), 2u);
}

// ---- channel views in the main window ----

class ChannelViews : public test::GuiTest {
protected:
    /// Opens (or activates) the channel view.
    CViewChannel* OpenChannel()
    {
        return dynamic_cast<CViewChannel*>(frame->OpenView(Id(Command::Channel)));
    }
    CViewChannelList* OpenGrid()
    {
        return dynamic_cast<CViewChannelList*>(frame->OpenView(Id(Command::ChannelList)));
    }
    /// Switches model and band, with fresh default data and menus.
    void Use(const std::string& model, const std::string& range)
    {
        frame->CloseAllViews();
        UseModel(model, range);
        frame->RefreshAll();
    }
    /// Exactly n channels, the defaults of their positions.
    static void SetChannelCount(size_t n)
    {
        auto& list = Radio().Channels();
        while (list.size() > n) list.pop_back();
        while (list.size() < n) Radio().AddChannel().ResolveLinks();
    }
    static CChannelData& Channel(size_t number) { return *Radio().Channels()[number - 1]; }
    CNavigationBar* Bar() const { return frame->findChild<CNavigationBar*>(); }
    QString ChannelTreeLabel() const
    {
        const auto items = frame->Tree()->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive);
        for (QTreeWidgetItem* item : items)
            if (item->data(0, Qt::UserRole).toInt() == Id(Command::Channel)) return item->text(0);
        return {};
    }

    template <class T>
    static T* Basic(CViewChannel* view, C id)
    {
        return qobject_cast<T*>(view->Sheet()->Basic()->Control(id));
    }
    template <class T>
    static T* Misc(CViewChannel* view, C id)
    {
        return qobject_cast<T*>(view->Sheet()->Misc()->Control(id));
    }
    static QString ChoiceText(int list, int value)
    {
        return QString::fromStdString(Settings().GetChoiceText(list, value));
    }
};

TEST_F(ChannelViews, ChannelViewOpensFromTheTreeOnTheFirstChannel)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    Settle();
    EXPECT_EQ(view->CurrentRecord(), 1);
    EXPECT_EQ(view->Current(), &Channel(1));
    // Shown on the Basic page: the channel's receive frequency as MHz text.
    EXPECT_EQ(Basic<QLineEdit>(view, C::RxFreqBox)->text().toStdString(),
              FormatBcdFrequency(Channel(1).RxFreq()));
    EXPECT_EQ(frame->MdiArea()->activeSubWindow()->windowTitle(),
              UiText(Id(Command::Channel), "Channel") + " 1");
    // The record bar follows the active view: on the first record only the way forward is open.
    ASSERT_NE(Bar(), nullptr);
    EXPECT_FALSE(Bar()->Action(static_cast<int>(ListCommand::First))->isEnabled());
    EXPECT_TRUE(Bar()->Action(static_cast<int>(ListCommand::Next))->isEnabled());
    EXPECT_EQ(Bar()->NumberField()->value(), 1);
}

struct ToneTypeCase {
    int type;
    bool ctcss;
    bool dcs;
};

TEST_F(ChannelViews, ToneBoxesFollowTheirTypeOnBothSides)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    const ToneTypeCase cases[] = {{0, false, false}, {1, true, false}, {2, false, true},
                                  {3, false, true}};
    for (const ToneTypeCase& c : cases) {
        ActivateText(Basic<QComboBox>(view, C::RxType), ChoiceText(kRxTypeList, c.type));
        ActivateText(Basic<QComboBox>(view, C::TxType), ChoiceText(kTxTypeList, c.type));
        EXPECT_EQ(Basic<QComboBox>(view, C::RxCtcss)->isEnabled(), c.ctcss) << c.type;
        EXPECT_EQ(Basic<QComboBox>(view, C::RxDcs)->isEnabled(), c.dcs) << c.type;
        EXPECT_EQ(Basic<QComboBox>(view, C::TxCtcss)->isEnabled(), c.ctcss) << c.type;
        EXPECT_EQ(Basic<QComboBox>(view, C::TxDcs)->isEnabled(), c.dcs) << c.type;
        // The type went into the record at once.
        EXPECT_EQ(static_cast<int>(Channel(1).RxToneType()), c.type);
        EXPECT_EQ(static_cast<int>(Channel(1).TxToneType()), c.type);
    }
}

TEST_F(ChannelViews, ClearingTheReceiveFrequencyEmptiesTransmitAndMarksTheChannelUnused)
{
    auto* grid = OpenGrid();
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(grid, nullptr);
    auto* rx = Basic<QLineEdit>(view, C::RxFreqBox);
    auto* tx = Basic<QLineEdit>(view, C::TxFreqBox);
    EXPECT_FALSE(rx->isHidden());
    EXPECT_TRUE(Basic<QComboBox>(view, C::RxFreqList)->isHidden());
    ASSERT_FALSE(tx->text().isEmpty());

    Retype(rx, "");
    EXPECT_TRUE(tx->text().isEmpty());
    EXPECT_FALSE(tx->isEnabled());
    FocusOut(rx);
    EXPECT_EQ(Channel(1).RxFreq(), kNoFrequency);
    EXPECT_EQ(Channel(1).TxFreq(), kNoFrequency);
    EXPECT_EQ(Channel(1).used_, 0u);
    // The open channel list heard of it.
    EXPECT_EQ(grid->Grid()->CellText(0, static_cast<int>(ChannelColumn::RxFreq)), "");

    // A frequency again: the transmit box opens.
    Retype(rx, "440.5");
    EXPECT_TRUE(tx->isEnabled());
    FocusOut(rx);
    EXPECT_EQ(rx->text(), "440.50000");
    EXPECT_EQ(Channel(1).used_, 1u);
}

TEST_F(ChannelViews, FrequencyOutsideTheBandIsClampedWithAMessage)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* rx = Basic<QLineEdit>(view, C::RxFreqBox);
    Retype(rx, "500");
    FocusOut(rx);
    Settle();
    EXPECT_EQ(rx->text(), "470.00000");
    EXPECT_EQ(Channel(1).RxFreq(), ToBcd(47000000));
    EXPECT_TRUE(prompt.Saw(kMsgFrequencyClamped));
    // Inside the band: no message.
    prompt.shown.clear();
    Retype(rx, "433.0375");
    FocusOut(rx);
    Settle();
    EXPECT_EQ(rx->text(), "433.03750");
    EXPECT_TRUE(prompt.shown.empty());
}

struct LicenceFreeCase {
    const char* range;
    int entries;  ///< "None" included
    int probe;    ///< an entry index to check
    const char* probeText;
};

class LicenceFreeBands : public ChannelViews,
                         public ::testing::WithParamInterface<LicenceFreeCase> {};

TEST_P(LicenceFreeBands, ListsReplaceTheBoxesAndGovernTheOtherControls)
{
    const LicenceFreeCase& c = GetParam();
    Use("RV205", c.range);
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* rxList = Basic<QComboBox>(view, C::RxFreqList);
    auto* txList = Basic<QComboBox>(view, C::TxFreqList);
    EXPECT_FALSE(rxList->isHidden());
    EXPECT_TRUE(Basic<QLineEdit>(view, C::RxFreqBox)->isHidden());
    ASSERT_EQ(rxList->count(), c.entries);
    EXPECT_EQ(rxList->itemText(c.probe), c.probeText);
    // The default channel stands on its band's first table frequency.
    EXPECT_GT(rxList->currentIndex(), 0);

    // A receive frequency without a transmit frequency: transmit type and tones closed.
    Activate(txList, 0);
    EXPECT_TRUE(Basic<QComboBox>(view, C::RxType)->isEnabled());
    EXPECT_FALSE(Basic<QComboBox>(view, C::TxType)->isEnabled());
    EXPECT_EQ(Channel(1).TxFreq(), kNoFrequency);

    // "None" as receive frequency: transmit follows, everything but the list closes.
    Activate(txList, 1);
    Activate(rxList, 0);
    EXPECT_EQ(txList->currentIndex(), 0);
    EXPECT_FALSE(txList->isEnabled());
    EXPECT_FALSE(Basic<QComboBox>(view, C::RxType)->isEnabled());
    EXPECT_FALSE(Basic<QComboBox>(view, C::TxType)->isEnabled());
    for (C tone : {C::RxCtcss, C::RxDcs, C::TxCtcss, C::TxDcs})
        EXPECT_FALSE(Basic<QComboBox>(view, tone)->isEnabled());
    EXPECT_EQ(Channel(1).RxFreq(), kNoFrequency);
    EXPECT_EQ(Channel(1).used_, 0u);

    // Picking a frequency stores it (truncated table value) and opens the transmit list.
    Activate(rxList, 1);
    EXPECT_TRUE(txList->isEnabled());
    EXPECT_EQ(FormatBcdFrequency(Channel(1).RxFreq()), rxList->itemText(1).toStdString());
    EXPECT_EQ(Channel(1).used_, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, LicenceFreeBands,
    ::testing::Values(LicenceFreeCase{"446-447", 9, 8, "446.09375"},
                      LicenceFreeCase{"433-434", 70, 69, "434.77500"},
                      LicenceFreeCase{"448-450", 26, 16, "449.15000"}),
    [](const ::testing::TestParamInfo<LicenceFreeCase>& info) {
        return std::string("Band") + std::string(info.param.range).substr(0, 3);
    });

// ---- looking at a channel changes nothing ----

std::vector<uint8_t> RecordBytes(const CChannelData& channel)
{
    return {channel.Raw().Bytes().begin(), channel.Raw().Bytes().end()};
}

/// Every control of the Basic page loses the focus (commits), the view stores and all views
/// close, as when a dealer looks at a channel and writes the radio.
void LookAndClose(CMainFrame& frame, CViewChannel* view)
{
    for (C c : {C::Alias, C::Spacing, C::Power, C::RxFreqBox, C::RxFreqList, C::RxType, C::RxCtcss,
                C::RxDcs, C::TxFreqBox, C::TxFreqList, C::TxType, C::TxCtcss, C::TxDcs})
        FocusOut(view->Sheet()->Basic()->Control(c));
    view->Store();
    frame.CloseAllViews();
}

struct OffListCase {
    const char* name;
    const char* range;
    uint32_t rx;  ///< packed decimal
    uint32_t tx;
};

void PrintTo(const OffListCase& c, std::ostream* os)
{
    *os << c.name;
}

class LicenceFreeOffList : public ChannelViews,
                           public ::testing::WithParamInterface<OffListCase> {};

// A licence-free channel whose frequency is not in the band's list (from a radio or a file) is
// shown with an entry of its own and stays as it came; another entry replaces it, and its own
// entry brings it back.
TEST_P(LicenceFreeOffList, StoredFrequencyIsShownAndKept)
{
    const OffListCase& c = GetParam();
    Use("RV205", c.range);
    CChannelData& channel = Channel(1);
    channel.SetRxFreq(c.rx);
    channel.SetTxFreq(c.tx);
    channel.Raw()[CChannelData::Offset::Steps] = 0x73;  // step codes as the radio gave them
    const std::vector<uint8_t> before = RecordBytes(channel);

    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* rxList = Basic<QComboBox>(view, C::RxFreqList);
    auto* txList = Basic<QComboBox>(view, C::TxFreqList);
    EXPECT_EQ(rxList->currentText().toStdString(), FormatBcdFrequency(c.rx));
    EXPECT_EQ(txList->currentText().toStdString(), c.tx == kNoFrequency
                                                       ? Settings().LoadText(kNoFrequencyTextId)
                                                       : FormatBcdFrequency(c.tx));
    // A receive frequency is set: the transmit side and the receive type are open.
    EXPECT_TRUE(txList->isEnabled());
    EXPECT_TRUE(Basic<QComboBox>(view, C::RxType)->isEnabled());
    LookAndClose(*frame, view);
    Settle();
    EXPECT_EQ(RecordBytes(Channel(1)), before);
    EXPECT_EQ(Channel(1).used_, 1u);

    view = OpenChannel();
    rxList = Basic<QComboBox>(view, C::RxFreqList);
    const int own = rxList->currentIndex();
    ASSERT_GT(own, 0);
    const int other = own == 1 ? 2 : 1;
    Activate(rxList, other);
    EXPECT_EQ(FormatBcdFrequency(Channel(1).RxFreq()), rxList->itemText(other).toStdString());
    Activate(rxList, own);
    EXPECT_EQ(Channel(1).RxFreq(), c.rx);
    EXPECT_EQ(Channel(1).RxStep(), 3u);
    EXPECT_EQ(Channel(1).TxFreq(), c.tx);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, LicenceFreeOffList,
    ::testing::Values(
        OffListCase{"Band446BothOff", "446-447", 0x44620000, 0x44620000},
        OffListCase{"Band446TransmitOff", "446-447", 0x44600625, 0x44650000},
        OffListCase{"Band433OffRasterAndBeyondTheList", "433-434", 0x43307600, 0x43480000},
        OffListCase{"Band448InTheGapNoTransmit", "448-450", 0x44900000, kNoFrequency}),
    [](const ::testing::TestParamInfo<OffListCase>& info) { return info.param.name; });

struct StoredFrequencyCase {
    const char* name;
    const char* model;
    const char* range;
    uint32_t rx, tx;    ///< packed decimal
    uint8_t steps;      ///< byte 16 as stored
    const char* typed;  ///< then typed into the receive box
    const char* shows;  ///< what the box rule makes of it
    bool clamped;       ///< with message 1164
};

void PrintTo(const StoredFrequencyCase& c, std::ostream* os)
{
    *os << c.name;
}

class StoredFrequencies : public ChannelViews,
                          public ::testing::WithParamInterface<StoredFrequencyCase> {};

// Stored frequencies are not run through the frequency box rule: off the page's step grid (as
// the grid's 2.5 kHz rule stores them) or outside the band with no transmit frequency, they
// survive every commit, the store and the closing of the view, without message 1164. The rule
// applies to what the user types.
TEST_P(StoredFrequencies, SurviveLookingAndTheRuleAppliesToTypedValues)
{
    const StoredFrequencyCase& c = GetParam();
    Use(c.model, c.range);
    CChannelData& channel = Channel(1);
    channel.SetRxFreq(c.rx);
    channel.SetTxFreq(c.tx);
    channel.Raw()[CChannelData::Offset::Steps] = c.steps;
    const std::vector<uint8_t> before = RecordBytes(channel);

    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* rx = Basic<QLineEdit>(view, C::RxFreqBox);
    EXPECT_EQ(rx->text().toStdString(), FormatBcdFrequency(c.rx));
    Key(rx, Qt::Key_Return);
    LookAndClose(*frame, view);
    Settle();
    EXPECT_EQ(RecordBytes(Channel(1)), before);
    EXPECT_TRUE(prompt.shown.empty());

    view = OpenChannel();
    rx = Basic<QLineEdit>(view, C::RxFreqBox);
    Retype(rx, c.typed);
    FocusOut(rx);
    Settle();
    EXPECT_EQ(rx->text(), c.shows);
    EXPECT_EQ(FormatBcdFrequency(Channel(1).RxFreq()), c.shows);
    EXPECT_EQ(prompt.Saw(kMsgFrequencyClamped), c.clamped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredFrequencies,
    ::testing::Values(StoredFrequencyCase{"OffTheStepGrid", "RV205", "136-174", 0x14652250,
                                          0x14652250, 0x33, "146.5225", "146.51875", false},
                      StoredFrequencyCase{"OffTheFirstEditionGrid", "RV305", "136-174", 0x14652250,
                                          0x14652500, 0x63, "146.5225", "146.51250", false},
                      StoredFrequencyCase{"BelowTheBandNoTransmit", "RV205", "400-470", 0x39000000,
                                          kNoFrequency, 0xF3, "390", "400.00000", true},
                      StoredFrequencyCase{"AboveTheBandNoTransmit", "RV205", "400-470", 0x48012500,
                                          kNoFrequency, 0xF6, "480.125", "470.00000", true}),
    [](const ::testing::TestParamInfo<StoredFrequencyCase>& info) { return info.param.name; });

struct ToneWordCase {
    const char* name;
    uint16_t word;      ///< receive and transmit tone word as stored
    const char* ctcss;  ///< shown in the analog boxes
    const char* dcs;    ///< shown in the code boxes
};

void PrintTo(const ToneWordCase& c, std::ostream* os)
{
    *os << c.name;
}

class ToneWordsOutOfTable : public ChannelViews,
                            public ::testing::WithParamInterface<ToneWordCase> {};

// Tone words whose index is not in the table are shown as index 1 of their table and reach the
// radio as they came, from the channel view and from a row commit of the channel list, until
// the user edits that tone.
TEST_P(ToneWordsOutOfTable, AreShownAndKeptUntilEdited)
{
    const ToneWordCase& c = GetParam();
    CChannelData& channel = Channel(1);
    channel.SetRxTone(c.word);
    channel.SetTxTone(c.word);
    const std::vector<uint8_t> before = RecordBytes(channel);

    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Basic<QComboBox>(view, C::RxCtcss)->currentText(), c.ctcss);
    EXPECT_EQ(Basic<QComboBox>(view, C::RxDcs)->currentText(), c.dcs);
    EXPECT_EQ(Basic<QComboBox>(view, C::TxCtcss)->currentText(), c.ctcss);
    EXPECT_EQ(Basic<QComboBox>(view, C::TxDcs)->currentText(), c.dcs);
    EXPECT_EQ(RecordBytes(Channel(1)), before) << "showing repairs nothing";
    LookAndClose(*frame, view);
    Settle();
    EXPECT_EQ(RecordBytes(Channel(1)), before);

    // A row of the channel list committed for another cell keeps both words.
    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    const int power = static_cast<int>(ChannelColumn::Power);
    list->Grid()->SetCellText(0, power, ChoiceText(kPowerList, 0));
    emit list->Grid()->cellCommitted(0, power);
    EXPECT_EQ(Channel(1).Power(), 0u);
    EXPECT_EQ(Channel(1).RxTone(), c.word);
    EXPECT_EQ(Channel(1).TxTone(), c.word);
    frame->CloseAllViews();
    Settle();

    // The receive tone edited: only its word is built again.
    view = OpenChannel();
    ActivateText(Basic<QComboBox>(view, C::RxType), ChoiceText(kRxTypeList, 1));
    auto* tone = Basic<QComboBox>(view, C::RxCtcss);
    tone->setEditText("67.0");
    FocusOut(tone);
    EXPECT_EQ(Channel(1).RxTone() & 0xEFFFu, 0x4002u);
    EXPECT_EQ(Channel(1).TxTone(), c.word);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ToneWordsOutOfTable,
    ::testing::Values(ToneWordCase{"AnalogCustomIndexFF", 0x60FF, "63.0", "023"},
                      ToneWordCase{"AnalogIndex52", 0x4034, "63.0", "023"},
                      ToneWordCase{"AnalogIndex0Bit12", 0x5000, "63.0", "023"},
                      ToneWordCase{"AnalogIndexFFNoFlag", 0x40FF, "63.0", "023"},
                      ToneWordCase{"DigitalIndex0", 0x8000, "67.0", "017"},
                      ToneWordCase{"DigitalInvertedCustomIndex200", 0xE0C8, "67.0", "017"},
                      ToneWordCase{"NoToneCustomIndexFF", 0x20FF, "67.0", "023"}),
    [](const ::testing::TestParamInfo<ToneWordCase>& info) { return info.param.name; });

TEST_F(ChannelViews, TypedToneIsStoredWhenTheBoxLosesTheFocus)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    ActivateText(Basic<QComboBox>(view, C::RxType), ChoiceText(kRxTypeList, 1));
    auto* tone = Basic<QComboBox>(view, C::RxCtcss);
    ASSERT_TRUE(tone->isEditable());
    tone->setEditText("100.0");
    FocusOut(tone);
    EXPECT_EQ(Channel(1).RxTone() & CChannelData::ToneBits::IndexMask, 14u);  // 100.0 Hz
    // The code box takes three octal digits at most.
    ActivateText(Basic<QComboBox>(view, C::RxType), ChoiceText(kRxTypeList, 2));
    auto* code = Basic<QComboBox>(view, C::RxDcs);
    code->lineEdit()->clear();
    TypeText(code->lineEdit(), "8123");
    EXPECT_EQ(code->currentText(), "123");
}

TEST_F(ChannelViews, CopyButtonCopiesReceiveToTransmit)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    Retype(Basic<QLineEdit>(view, C::RxFreqBox), "441.25");
    ActivateText(Basic<QComboBox>(view, C::RxType), ChoiceText(kRxTypeList, 2));
    Basic<QPushButton>(view, C::CopyRxToTx)->click();
    EXPECT_EQ(Channel(1).TxFreq(), ToBcd(44125000));
    EXPECT_EQ(Channel(1).TxTone(), Channel(1).RxTone());
    EXPECT_EQ(Basic<QLineEdit>(view, C::TxFreqBox)->text(), "441.25000");
    EXPECT_EQ(Basic<QComboBox>(view, C::TxType)->currentText(), ChoiceText(kTxTypeList, 2));
}

TEST_F(ChannelViews, ClosingWithATypedChangeOffersToSaveIt)
{
    frame->show();
    // Nothing changed: the program ends without a question.
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(prompt.Questions(), 0u);

    frame->show();
    view = OpenChannel();
    ASSERT_NE(view, nullptr);
    // Typed but not yet committed: the box still has the focus when the user closes.
    Retype(Basic<QLineEdit>(view, C::RxFreqBox), "441.25");
    prompt.answers = {CPrompt::Answer::Cancel};
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(prompt.Saw(DocMessage::kSaveChanges));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(Channel(1).RxFreq(), ToBcd(44125000)) << "the view stored what was typed";

    // Yes, but the Save As dialog is cancelled: still running, nothing lost.
    prompt.answers = {CPrompt::Answer::Yes};
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(files.saveCalls, 1);

    prompt.answers = {CPrompt::Answer::No};
    EXPECT_TRUE(frame->close());
}

TEST_F(ChannelViews, GridWindowOpensShowingEveryColumnInsideTheWorkspace)
{
    frame->resize(1600, 1000);
    frame->show();
    Settle();
    OpenChannel();  // the grid's window is placed after another one
    auto* view = OpenGrid();
    ASSERT_NE(view, nullptr);
    Settle();
    const QRect area = frame->MdiArea()->viewport()->rect();
    const QRect window = frame->MdiArea()->activeSubWindow()->geometry();
    EXPECT_TRUE(area.contains(window)) << window.x() << "," << window.width();
    CGridCtrl* grid = view->Grid();
    const int last = grid->columnCount() - 1;
    EXPECT_LE(grid->columnViewportPosition(last) + grid->columnWidth(last),
              grid->viewport()->width());

    // In a small main window the grid's window is cut to the workspace instead.
    frame->CloseAllViews();
    frame->resize(800, 600);
    Settle();
    OpenChannel();
    ASSERT_NE(OpenGrid(), nullptr);
    Settle();
    EXPECT_TRUE(frame->MdiArea()->viewport()->rect().contains(
        frame->MdiArea()->activeSubWindow()->geometry()));
}

TEST_F(ChannelViews, GridShowsEveryChannelWithTypedToneCells)
{
    SetChannelCount(3);
    auto* view = OpenGrid();
    ASSERT_NE(view, nullptr);
    CGridCtrl* grid = view->Grid();
    ASSERT_EQ(grid->rowCount(), 3);
    ASSERT_EQ(grid->columnCount(), static_cast<int>(kChannelGridColumns));
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "No.");
    for (int r = 0; r < 3; ++r) {
        const ChannelGridRow expected = FillChannelRow(Channel(r + 1), r + 1);
        for (int c : {0, 2, 3, 4, 5, 10, 11, 14})
            EXPECT_EQ(grid->CellText(r, c).toStdString(), expected.cells[c]) << r << "," << c;
    }
    // The default channels use analog tones: the analog cell is open, the code cell fixed.
    EXPECT_EQ(grid->CellKind(0, 4), GridCellKind::EditableDropDown);
    EXPECT_EQ(grid->CellKind(0, 5), GridCellKind::Fixed);
    EXPECT_EQ(grid->CellKind(0, 0), GridCellKind::Fixed);
    // Tone cells offer the whole tables, non-standard entries included.
    EXPECT_EQ(grid->CellChoices(0, 4).size(), 51);
    EXPECT_TRUE(grid->CellChoices(0, 5).contains("017"));

    // Changing the type re-types the row.
    ASSERT_TRUE(grid->EditCell(0, 3));
    auto* type = qobject_cast<QComboBox*>(grid->OpenEditor());
    ASSERT_NE(type, nullptr);
    ActivateText(type, ChoiceText(kRxTypeList, 2));
    EXPECT_EQ(grid->CellKind(0, 4), GridCellKind::Fixed);
    EXPECT_EQ(grid->CellKind(0, 5), GridCellKind::EditableDropDown);
    EXPECT_EQ(Channel(1).RxToneType(), ToneType::Digital);
}

// A grid cell opened and committed as it stands is no edit: a frequency from a radio on none of
// the grid's rasters, outside the band, keeps its value and step code. A typed value still goes
// through the grid's rule.
TEST_F(ChannelViews, GridCellCommittedAsItStandsKeepsTheStoredFrequency)
{
    Use("RV205", "400-470");
    CChannelData& channel = Channel(1);
    channel.SetRxFreq(0x39652340);  // 396.52340 MHz: below the band, on no raster
    channel.SetTxFreq(kNoFrequency);
    channel.Raw()[CChannelData::Offset::Steps] = 0xF7;
    const std::vector<uint8_t> before = RecordBytes(channel);
    auto* view = OpenGrid();
    ASSERT_NE(view, nullptr);
    CGridCtrl* grid = view->Grid();
    const int rx = static_cast<int>(ChannelColumn::RxFreq);
    for (int column = 1; column < grid->columnCount(); ++column)
        if (!grid->isColumnHidden(column) && grid->EditCell(0, column)) grid->CommitEdit();
    EXPECT_EQ(RecordBytes(Channel(1)), before);
    EXPECT_EQ(grid->CellText(0, rx), "396.52340");

    ASSERT_TRUE(grid->EditCell(0, rx));
    auto* editor = qobject_cast<QLineEdit*>(grid->OpenEditor());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeText(editor, "440.5234");
    grid->CommitEdit();
    EXPECT_EQ(grid->CellText(0, rx), "440.52250");
    EXPECT_EQ(Channel(1).RxFreq(), 0x44052250u);
}

TEST_F(ChannelViews, GridRowCommitKeepsPersonalityAndHiddenFlagsAndReachesTheChannelView)
{
    SetChannelCount(2);
    CChannelData& second = Channel(2);
    second.Raw().SetBits(CChannelData::Offset::Flags, 3, 3, 0b111);  // COMPANDOR .. Beat Shift
    auto* channelView = OpenChannel();
    channelView->Navigate(static_cast<int>(ListCommand::GoTo), 2);
    auto* listView = OpenGrid();
    ASSERT_NE(listView, nullptr);
    CGridCtrl* grid = listView->Grid();
    const uint8_t personality = second.PersonalityIndex();

    // Below the band: set to the limit without a message.
    ASSERT_TRUE(grid->EditCell(1, static_cast<int>(ChannelColumn::RxFreq)));
    auto* editor = qobject_cast<QLineEdit*>(grid->OpenEditor());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeText(editor, "145.2");
    Key(editor, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(grid->CellText(1, static_cast<int>(ChannelColumn::RxFreq)), "400.00000");
    EXPECT_EQ(second.RxFreq(), ToBcd(40000000));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(second.PersonalityIndex(), personality);
    EXPECT_TRUE(second.Flag(CChannelData::FlagBit::Compandor));
    EXPECT_TRUE(second.Flag(CChannelData::FlagBit::Scramble));
    EXPECT_TRUE(second.Flag(CChannelData::FlagBit::BeatShift));
    // Tab moved on to the next editable cell.
    EXPECT_NE(grid->OpenEditor(), nullptr);
    grid->CancelEdit();

    // Auto Start Scan from the last column.
    grid->SetCellText(1, static_cast<int>(ChannelColumn::AutoStartScan), "1");
    emit grid->cellCommitted(1, static_cast<int>(ChannelColumn::AutoStartScan));
    EXPECT_TRUE(second.Flag(CChannelData::FlagBit::AutoStartScan));

    // The open channel sheet on channel 2 shows the grid's edit.
    EXPECT_EQ(Basic<QLineEdit>(channelView, C::RxFreqBox)->text(), "400.00000");
    EXPECT_TRUE(Misc<QCheckBox>(channelView, C::AutoStartScan)->isChecked());
}

TEST_F(ChannelViews, SheetCommitsReachTheOpenGrid)
{
    SetChannelCount(2);
    auto* listView = OpenGrid();
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* power = Basic<QComboBox>(view, C::Power);
    const int other = (power->currentIndex() + 1) % power->count();
    Activate(power, other);
    EXPECT_EQ(listView->Grid()->CellText(0, static_cast<int>(ChannelColumn::Power)),
              power->itemText(other));
    // A channel added in the sheet appears as a new row of the grid.
    view->Navigate(static_cast<int>(ListCommand::Add), 0);
    EXPECT_EQ(Radio().Channels().size(), 3u);
    EXPECT_EQ(view->CurrentRecord(), 3);
    EXPECT_EQ(listView->Grid()->rowCount(), 3);
}

TEST_F(ChannelViews, SheetLeavesAChannelTheGridDeleted)
{
    SetChannelCount(3);
    auto* sheet = OpenChannel();
    sheet->Navigate(static_cast<int>(ListCommand::GoTo), 2);
    const uint32_t third = Channel(3).id_;
    auto* list = OpenGrid();
    ASSERT_NE(list, nullptr);
    list->Grid()->setCurrentCell(1, 2);
    ASSERT_EQ(list->CurrentRecord(), 2);
    list->Navigate(static_cast<int>(ListCommand::Delete), 0);
    ASSERT_EQ(Radio().Channels().size(), 2u);
    EXPECT_EQ(list->Grid()->rowCount(), 2);
    // The sheet shows the channel that followed the deleted one and edits it safely.
    ASSERT_NE(sheet->Current(), nullptr);
    EXPECT_EQ(sheet->Current()->id_, third);
    EXPECT_EQ(Basic<QLineEdit>(sheet, C::RxFreqBox)->text().toStdString(),
              FormatBcdFrequency(Channel(2).RxFreq()));
    sheet->Store();
}

TEST_F(ChannelViews, RecordCommandsMoveTheSheetAndDeleteKeepsOneChannel)
{
    SetChannelCount(5);
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    CNavigationBar* bar = Bar();
    ASSERT_NE(bar, nullptr);
    bar->Action(static_cast<int>(ListCommand::Last))->trigger();
    EXPECT_EQ(view->CurrentRecord(), 5);
    bar->Action(static_cast<int>(ListCommand::Previous))->trigger();
    EXPECT_EQ(view->CurrentRecord(), 4);
    bar->Run(static_cast<int>(ListCommand::GoTo), 3);
    EXPECT_EQ(view->CurrentRecord(), 3);
    EXPECT_EQ(bar->NumberField()->value(), 3);

    // Delete on channel 3 of 5: the old channel 4 becomes current, and the tree's count follows.
    const uint32_t fourth = Channel(4).id_;
    bar->Action(static_cast<int>(ListCommand::Delete))->trigger();
    ASSERT_EQ(Radio().Channels().size(), 4u);
    EXPECT_EQ(ChannelTreeLabel(), UiText(Id(Command::Channel), "Channel") + " (4)");
    EXPECT_EQ(view->Current()->id_, fourth);
    EXPECT_EQ(view->CurrentRecord(), 3);
    // Delete on the last channel: the new last one.
    bar->Action(static_cast<int>(ListCommand::Last))->trigger();
    bar->Action(static_cast<int>(ListCommand::Delete))->trigger();
    EXPECT_EQ(view->CurrentRecord(), 3);

    // With one channel left nothing is removed and the sheet stays on it.
    SetChannelCount(1);
    view->Reload();
    bar->Action(static_cast<int>(ListCommand::Delete))->trigger();
    EXPECT_EQ(Radio().Channels().size(), 1u);
    EXPECT_EQ(view->CurrentRecord(), 1);
}

TEST_F(ChannelViews, GridDeleteWithOneChannelLeavesNoCurrentChannel)
{
    SetChannelCount(1);
    auto* view = OpenGrid();
    ASSERT_NE(view, nullptr);
    view->Navigate(static_cast<int>(ListCommand::Delete), 0);
    EXPECT_EQ(Radio().Channels().size(), 1u);
    EXPECT_EQ(view->CurrentRecord(), 0);
    // Clicking a row makes it current again.
    view->Grid()->setCurrentCell(0, 2);
    EXPECT_EQ(view->CurrentRecord(), 1);
}

TEST_F(ChannelViews, NavigationShortcutsWorkOnTheActiveListViewOnly)
{
    SetChannelCount(3);
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    CNavigationBar* bar = Bar();
    EXPECT_EQ(bar->Action(static_cast<int>(ListCommand::Next))->shortcut(),
              QKeySequence(QStringLiteral("Alt+PgDown")));
    bar->Action(static_cast<int>(ListCommand::Next))->trigger();
    EXPECT_EQ(view->CurrentRecord(), 2);
    // A single view in front: the bar is idle.
    frame->OpenView(Id(Command::RadioInformation));
    EXPECT_FALSE(bar->Action(static_cast<int>(ListCommand::Next))->isEnabled());
    bar->Run(static_cast<int>(ListCommand::Next));
    EXPECT_EQ(view->CurrentRecord(), 2);
}

TEST_F(ChannelViews, ActivePageIsRememberedForTheNextChannelView)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    view->Sheet()->setCurrentIndex(1);
    frame->CloseAllViews();
    Settle();
    EXPECT_EQ(CViewChannel::RememberedPage(), 1);
    view = OpenChannel();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Sheet()->currentIndex(), 1);
    view->Sheet()->setCurrentIndex(0);
    frame->CloseAllViews();
    Settle();
}

TEST_F(ChannelViews, MiscPageStoresTheFlags)
{
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* scramble = Misc<QCheckBox>(view, C::Scramble);
    const bool before = Channel(1).Flag(CChannelData::FlagBit::Scramble);
    scramble->click();
    EXPECT_EQ(Channel(1).Flag(CChannelData::FlagBit::Scramble), !before);
    EXPECT_FALSE(Misc<QComboBox>(view, C::ScanList)->isEnabled());
}

TEST_F(ChannelViews, DeletedPersonalityIsLoggedUntilAnotherIsChosenAndSaveWaits)
{
    while (Radio().Personalities().size() < 2) Radio().AddPersonality();
    ASSERT_TRUE(Radio().InvalidLog().Empty());
    auto* view = OpenChannel();
    ASSERT_NE(view, nullptr);
    auto* box = Misc<QComboBox>(view, C::Personality);
    ASSERT_GE(box->count(), 2);
    // Channel 1 uses personality 2.
    Activate(box, 1);
    EXPECT_EQ(Channel(1).PersonalityIndex(), 1);

    // Personality 2 is deleted in the personality view.
    auto* personalities =
        dynamic_cast<CViewPersonality*>(frame->OpenView(Id(Command::Personality)));
    ASSERT_NE(personalities, nullptr);
    personalities->Navigate(static_cast<int>(ListCommand::GoTo), 2);
    personalities->Navigate(static_cast<int>(ListCommand::Delete), 0);
    const uint32_t key = Channel(1).PersonalityNoticeKey();
    EXPECT_TRUE(Radio().InvalidLog().Contains(key));
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), 1u);
    EXPECT_EQ(frame->InvalidPane()->topLevelItemCount(), 1);
    // The channel's box no longer names a personality.
    EXPECT_EQ(box->currentIndex(), -1);

    // Choosing the row takes the user to the field from wherever the sheet was: channel 1's
    // Miscellaneous page with the personality box focused.
    frame->show();
    QApplication::setActiveWindow(frame.get());
    frame->OpenView(Id(Command::Channel));
    view->Navigate(static_cast<int>(ListCommand::GoTo), 5);
    view->Sheet()->setCurrentIndex(0);
    emit frame->InvalidPane()->itemActivated(frame->InvalidPane()->topLevelItem(0), 0);
    Settle();
    EXPECT_EQ(view->CurrentRecord(), 1);
    EXPECT_EQ(view->Sheet()->currentWidget(), view->Sheet()->Misc());
    EXPECT_EQ(QApplication::focusWidget(), box);

    // Saving is refused meanwhile.
    const std::string path = home.Path("held.dat");
    files.save = SaveChoice{path, ""};
    frame->RunCommand(Id(Command::SaveAs));
    EXPECT_TRUE(prompt.Saw(DocMessage::kInvalidData));
    EXPECT_EQ(files.saveCalls, 0);

    // Another personality is chosen: the entry goes and the save goes through.
    frame->OpenView(Id(Command::Channel));
    Activate(box, 0);
    EXPECT_FALSE(Radio().InvalidLog().Contains(key));
    EXPECT_EQ(frame->InvalidPane()->topLevelItemCount(), 0);
    frame->RunCommand(Id(Command::SaveAs));
    EXPECT_EQ(files.saveCalls, 1);
}

TEST_F(ChannelViews, ChannelListIsOfferedExceptForTheEditionModels)
{
    QAction* action = frame->Action(Id(Command::ChannelList));
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->isEnabled());
    action->trigger();
    EXPECT_NE(dynamic_cast<CViewChannelList*>(frame->FindView(Id(Command::ChannelList))),
              nullptr);

    Use(Settings().LoadModelText(ModelText::FirstEdition), "400-470");
    ASSERT_TRUE(Settings().EditionFlag());
    EXPECT_EQ(frame->Action(Id(Command::ChannelList)), nullptr);
}

}  // namespace
}  // namespace rv
namespace rv {
namespace {

TEST_F(ChannelViews, GridScrollsRightFromItsFirstColumns)
{
    CViewChannelList* view = OpenGrid();
    ASSERT_NE(view, nullptr);
    frame->resize(900, 700);
    frame->show();
    QMdiSubWindow* sub = frame->MdiArea()->activeSubWindow();
    ASSERT_NE(sub, nullptr);
    sub->resize(500, 300);
    Settle();
    CGridCtrl* grid = view->Grid();
    QScrollBar* bar = grid->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the columns are wider than the window";
    EXPECT_EQ(bar->value(), bar->minimum()) << "the first columns show with the thumb at the left";
    EXPECT_EQ(grid->columnAt(0), 0);
    // The thumb moves right step by step, and the columns shown move right with it.
    int shown = grid->columnAt(0);
    for (int value : {bar->maximum() / 2, bar->maximum()}) {
        bar->setValue(value);
        Settle();
        EXPECT_GT(grid->columnAt(0), shown) << value;
        shown = grid->columnAt(0);
    }
    EXPECT_EQ(grid->columnAt(grid->viewport()->width() - 1), grid->columnCount() - 1)
        << "at the right end the last column shows";
}

TEST_F(ChannelViews, GridHeadersSpeakTheLanguage)
{
    Settings().SelectLanguage(1);
    CViewChannelList* view = OpenGrid();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Grid()->horizontalHeaderItem(0)->text().toStdString(),
              Settings().LoadText(kNumberHeaderText));
    EXPECT_NE(view->Grid()->horizontalHeaderItem(0)->text(), QStringLiteral("No."));
}

}  // namespace
}  // namespace rv
namespace rv {
namespace {

TEST_F(ChannelViews, AutoStartScanIsACheckBoxThatAClickOrSpaceToggles)
{
    CViewChannelList* view = OpenGrid();
    ASSERT_NE(view, nullptr);
    frame->show();
    Settle();
    CGridCtrl* grid = view->Grid();
    const int column = static_cast<int>(ChannelColumn::AutoStartScan);
    ASSERT_EQ(grid->CellKind(0, column), GridCellKind::Check);
    const CChannelData& first = *Radio().Channels()[0];
    const bool before = first.Flag(CChannelData::FlagBit::AutoStartScan);

    grid->scrollTo(grid->model()->index(0, column));
    const QRect cell = grid->visualRect(grid->model()->index(0, column));
    QMouseEvent press(QEvent::MouseButtonPress, cell.center(), grid->viewport()->mapToGlobal(cell.center()),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, cell.center(),
                        grid->viewport()->mapToGlobal(cell.center()), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &press);
    QApplication::sendEvent(grid->viewport(), &release);
    EXPECT_EQ(first.Flag(CChannelData::FlagBit::AutoStartScan), !before) << "a click toggles";
    EXPECT_EQ(grid->CellText(0, column), before ? "0" : "1");
    EXPECT_EQ(grid->OpenEditor(), nullptr) << "no 0/1 text editor";

    grid->setCurrentCell(0, column);
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(grid, &space);
    EXPECT_EQ(first.Flag(CChannelData::FlagBit::AutoStartScan), before) << "Space toggles back";
}

}  // namespace
}  // namespace rv
