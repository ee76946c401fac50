// Channel editing rules: the Basic page's enable rules in normal and licence-free bands, the
// channel commands (navigation, add, delete), the channel list grid (columns, cell kinds, row
// commit), copying receive to transmit and the personality choice of the Miscellaneous page.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Bytes.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCommands.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFieldTable.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/channel/ChannelRules.h"
#include "editors/channel/ToneTables.h"
#include "editors/personality/PersonalityData.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::HomeTest;

/// The notice of a deleted item: every channel checks its personality.
NoticeRecord DeletionNotice()
{
    NoticeRecord n;
    n.code = NoticeCode::Deleted;
    return n;
}

// ---------------------------------------------------------------------------------------
// Enable rules

TEST(BasicPageRulesTest, EnableRulesPerBandKind)
{
    using T = ToneType;
    struct Case {
        BasicPageState state;
        // rxType rxCtcss rxDcs txFreq txType txCtcss txDcs clearTx
        bool e[8];
    };
    const Case cases[] = {
        // Normal bands: types always open, tones by type, the transmit box needs a receive
        // frequency.
        {{false, true, true, T::Analog, T::Digital}, {1, 1, 0, 1, 1, 0, 1, 0}},
        {{false, true, false, T::None, T::DigitalInverted}, {1, 0, 0, 1, 1, 0, 1, 0}},
        {{false, false, false, T::Analog, T::Analog}, {1, 1, 0, 0, 1, 1, 0, 1}},
        // Licence-free bands: each side needs its frequency, transmit needs receive.
        {{true, true, true, T::Analog, T::Digital}, {1, 1, 0, 1, 1, 0, 1, 0}},
        {{true, true, false, T::Digital, T::Analog}, {1, 0, 1, 1, 0, 0, 0, 0}},
        {{true, false, true, T::Analog, T::Analog}, {0, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const BasicPageEnables e = BasicPageEnableRules(c.state);
        const bool got[8] = {
            e.rxType, e.rxCtcss, e.rxDcs, c.state.licenceFree ? e.txFreqList : e.txFreqBox,
            e.txType, e.txCtcss, e.txDcs, e.clearTx};
        for (int k = 0; k < 8; ++k) EXPECT_EQ(got[k], c.e[k]) << "case " << i << " item " << k;
        EXPECT_EQ(e.showFreqLists, c.state.licenceFree);
        EXPECT_EQ(e.Enabled(ChannelControl::TxType), e.txType);
        EXPECT_EQ(e.Enabled(ChannelControl::RxDcs), e.rxDcs);
        EXPECT_TRUE(e.Enabled(ChannelControl::Spacing));
        if (c.state.licenceFree) {
            EXPECT_TRUE(e.rxFreqList);
            EXPECT_FALSE(e.rxFreqBox);
        } else {
            EXPECT_TRUE(e.rxFreqBox);
            EXPECT_FALSE(e.rxFreqList);
        }
    }
}

class ChannelRulesTest : public HomeTest {
protected:
    CChannelData& channel(size_t i) { return *Radio().Channels()[i]; }
    size_t count() { return Radio().Channels().size(); }
};

TEST_F(ChannelRulesTest, StateFromTheTextForm)
{
    ChannelFields f = channel(0).ToFields();
    f.TxFreq = kNoFrequency;
    f.TxTypeText = Settings().GetChoiceText(kTxTypeList, 3);
    const BasicPageState s = BasicPageStateOf(f, true);
    EXPECT_TRUE(s.licenceFree);
    EXPECT_TRUE(s.rxSet);
    EXPECT_FALSE(s.txSet);
    EXPECT_EQ(s.rxType, ToneType::Analog);
    EXPECT_EQ(s.txType, ToneType::DigitalInverted);
    EXPECT_EQ(ToneTypeOfText(kRxTypeList, "not a type"), ToneType::None);
}

TEST_F(ChannelRulesTest, CopyReceiveToTransmit)
{
    CChannelData& c = channel(0);
    c.SetRxFreq(0x44600625);
    c.Raw().SetBits(CChannelData::Offset::Steps, 0, 4, 3);
    c.SetRxTone(CChannelData::MakeToneWord(ToneType::Digital, 107));
    CopyRxToTx(c);
    EXPECT_EQ(c.TxFreq(), 0x44600625u);
    EXPECT_EQ(c.TxTone(), c.RxTone());
    EXPECT_EQ(c.TxStep(), 3u);
}

// ---------------------------------------------------------------------------------------
// Channel commands

TEST(ListCommandTest, NavigationIndexes)
{
    using C = ListCommand;
    struct Case {
        C command;
        std::optional<size_t> current;
        size_t count;
        int number;
        std::optional<size_t> expected;
    };
    const Case cases[] = {
        {C::First, 3, 5, 0, 0},
        {C::Previous, 3, 5, 0, 2},
        {C::Previous, 0, 5, 0, 0},
        {C::Next, 3, 5, 0, 4},
        {C::Next, 4, 5, 0, 4},
        {C::Last, 0, 5, 0, 4},
        {C::GoTo, 0, 5, 5, 4},
        {C::GoTo, 0, 5, 6, std::nullopt},
        {C::GoTo, 0, 5, 0, std::nullopt},
        {C::First, std::nullopt, 0, 0, std::nullopt},
        {C::Next, 9, 5, 0, 4},  // a stale index counts as the last item
    };
    for (const auto& c : cases)
        EXPECT_EQ(NavigateIndex(c.command, c.current, c.count, c.number), c.expected)
            << int(c.command) << " " << c.current.value_or(99) << " " << c.number;
    EXPECT_EQ(IndexAfterDelete(2, 4), 2u);
    EXPECT_EQ(IndexAfterDelete(4, 4), 3u);
    EXPECT_EQ(IndexAfterDelete(0, 0), std::nullopt);
}

TEST_F(ChannelRulesTest, DeleteMakesTheFollowingOrTheNewLastChannelCurrent)
{
    while (count() > 5) Radio().Channels().pop_back();
    const uint32_t fourth = channel(3).id_;
    ListCommandResult r = RunChannelCommand(ListCommand::Delete, 2, 0, SingleItemDelete::NoCurrent);
    EXPECT_EQ(count(), 4u);
    ASSERT_EQ(r.current, 2u);
    EXPECT_EQ(channel(*r.current).id_, fourth);
    EXPECT_TRUE(r.listChanged);
    ASSERT_TRUE(r.notice);
    EXPECT_EQ(r.notice->code, NoticeCode::Deleted);

    r = RunChannelCommand(ListCommand::Delete, 3, 0, SingleItemDelete::NoCurrent);
    EXPECT_EQ(r.current, 2u);
    EXPECT_EQ(count(), 3u);
}

TEST_F(ChannelRulesTest, TheLastChannelIsNeverDeleted)
{
    while (count() > 1) Radio().Channels().pop_back();
    ListCommandResult r = RunChannelCommand(ListCommand::Delete, 0, 0, SingleItemDelete::NoCurrent);
    EXPECT_EQ(count(), 1u);
    EXPECT_TRUE(r.refused);
    EXPECT_FALSE(r.current);
    EXPECT_FALSE(r.notice);
    r = RunChannelCommand(ListCommand::Delete, 0, 0, SingleItemDelete::KeepCurrent);
    EXPECT_EQ(r.current, 0u);
    EXPECT_EQ(count(), 1u);
}

TEST_F(ChannelRulesTest, DeleteWithdrawsTheChannelsInvalidLogEntry)
{
    Radio().Personalities()[0]->used_ = 0;
    Radio().Notify(DeletionNotice());
    ASSERT_EQ(Radio().InvalidLog().Rows().size(), count());
    const uint32_t key = channel(1).PersonalityNoticeKey();
    RunChannelCommand(ListCommand::Delete, 1, 0, SingleItemDelete::KeepCurrent);
    EXPECT_FALSE(Radio().InvalidLog().Contains(key));
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), count());
}

TEST_F(ChannelRulesTest, AddAppendsBandDefaultsUpToSixteen)
{
    while (count() > 3) Radio().Channels().pop_back();
    ListCommandResult r = RunChannelCommand(ListCommand::Add, 0, 0, SingleItemDelete::NoCurrent);
    ASSERT_EQ(count(), 4u);
    EXPECT_EQ(r.current, 3u);
    ASSERT_TRUE(r.notice);
    EXPECT_EQ(r.notice->code, NoticeCode::Added);
    EXPECT_EQ(r.notice->key, 4u);
    // n = 3: 400.325 + 3 x 0.5 MHz.
    EXPECT_EQ(channel(3).RxFreq(), 0x40182500u);
    EXPECT_EQ(channel(3).personalityId_, Radio().Personalities()[0]->id_);

    while (count() < kMaxChannels) Radio().AddChannel();
    r = RunChannelCommand(ListCommand::Add, 5, 0, SingleItemDelete::NoCurrent);
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(r.current, 5u);
    EXPECT_EQ(count(), kMaxChannels);
}

TEST_F(ChannelRulesTest, NavigationAnnouncesTheCommand)
{
    const ListCommandResult r =
        RunChannelCommand(ListCommand::GoTo, 0, 7, SingleItemDelete::NoCurrent);
    EXPECT_EQ(r.current, 6u);
    ASSERT_TRUE(r.notice);
    EXPECT_EQ(r.notice->code, NoticeCode::GoTo);
    EXPECT_EQ(r.notice->key, 7u);
    EXPECT_FALSE(r.listChanged);
}

TEST_F(ChannelRulesTest, OpeningAnEmptyListCreatesOneChannel)
{
    Radio().Channels().clear();
    ListCommandResult r = OpenChannelList();
    EXPECT_EQ(count(), 1u);
    EXPECT_EQ(r.current, 0u);
    ASSERT_TRUE(r.notice);
    EXPECT_EQ(r.notice->code, NoticeCode::Added);
    r = OpenChannelList();
    EXPECT_FALSE(r.notice);
    EXPECT_EQ(count(), 1u);
}

// ---------------------------------------------------------------------------------------
// Channel list grid

TEST_F(ChannelRulesTest, GridColumnsHaveHeadersAndChoices)
{
    EXPECT_EQ(ChannelColumnHeader(0), "No.");
    for (size_t c = 1; c < kChannelGridColumns; ++c)
        EXPECT_FALSE(ChannelColumnHeader(c).empty()) << "column " << c;
    EXPECT_EQ(ChannelCellChoices(4).size(), 51u);
    EXPECT_EQ(ChannelCellChoices(9).size(), 107u);
    EXPECT_EQ(ChannelCellChoices(5).front(), "017");  // no user-level filter in the grid
    EXPECT_EQ(ChannelCellChoices(3).size(), 4u);
    EXPECT_EQ(ChannelCellChoices(10).size(), Settings().ChoiceEntries(kSpacingList).size());
    EXPECT_TRUE(ChannelCellChoices(13).empty());
    EXPECT_TRUE(ChannelCellChoices(2).empty());
}

// Each grid column that shows a channel field names it by key and is headed by the field's
// label, so the grid and the field table cannot drift apart; the row number, the alias and
// the scan list show nothing of the record.
TEST_F(ChannelRulesTest, GridColumnsAreHeadedByTheirFieldsLabels)
{
    std::vector<size_t> withoutField;
    for (size_t c = 0; c < kChannelGridColumns; ++c) {
        SCOPED_TRACE("column " + std::to_string(c));
        const std::string_view key = kChannelGridLayout[c].field;
        if (key.empty()) {
            withoutField.push_back(c);
            continue;
        }
        const auto field = FindField(kChannelFieldTable, key);
        ASSERT_TRUE(field) << key;
        EXPECT_EQ(ChannelColumnHeaderTextId(c), field->LabelId());
        EXPECT_EQ(kChannelGridLayout[c].ownHeaderTextId, 0);
        EXPECT_EQ(ChannelColumnHeader(c), LabelText(*field, Settings()));
    }
    EXPECT_EQ(withoutField, (std::vector<size_t>{static_cast<size_t>(ChannelColumn::Number),
                                                 static_cast<size_t>(ChannelColumn::Alias),
                                                 static_cast<size_t>(ChannelColumn::ScanList)}));
}

TEST_F(ChannelRulesTest, ToneCellsFollowTheRowsToneTypes)
{
    using K = CellKind;
    using T = ToneType;
    struct Case {
        T rx, tx;
        K rxCtcss, rxDcs, txCtcss, txDcs;
    };
    const Case cases[] = {
        {T::None, T::Analog, K::Fixed, K::Fixed, K::EditableDropDown, K::Fixed},
        {T::Digital, T::DigitalInverted, K::Fixed, K::EditableDropDown, K::Fixed,
         K::EditableDropDown},
    };
    for (const auto& c : cases) {
        const auto kinds = ChannelRowKinds(c.rx, c.tx);
        EXPECT_EQ(kinds[4], c.rxCtcss);
        EXPECT_EQ(kinds[5], c.rxDcs);
        EXPECT_EQ(kinds[8], c.txCtcss);
        EXPECT_EQ(kinds[9], c.txDcs);
        EXPECT_EQ(kinds[2], K::Frequency);
        EXPECT_EQ(kinds[0], K::Fixed);
    }
}

TEST_F(ChannelRulesTest, RowShowsTheChannel)
{
    channel(2).Raw().SetBit(CChannelData::Offset::Flags, CChannelData::FlagBit::AutoStartScan,
                            true);
    const ChannelGridRow row = FillChannelRow(channel(2), 3);
    EXPECT_EQ(row.cells[0], "3");
    EXPECT_EQ(row.cells[2], "401.32500");
    EXPECT_EQ(row.cells[4], "131.8");
    EXPECT_EQ(row.cells[5], "023");
    EXPECT_EQ(row.cells[12], "1");
    EXPECT_EQ(row.cells[13], "");
    EXPECT_EQ(row.cells[14], "1");
    EXPECT_EQ(row.kinds[4], CellKind::EditableDropDown);
    EXPECT_EQ(row.kinds[5], CellKind::Fixed);
}

TEST_F(ChannelRulesTest, RowCommitKeepsPersonalityAndFlagsOfTheRecord)
{
    CChannelData& c = channel(1);
    c.SetPersonalityIndex(3);
    c.Raw()[CChannelData::Offset::Flags] = 0x38;  // compandor, scramble, beat shift
    ChannelGridRow row = FillChannelRow(c, 2);
    row.cells[1] = "Depot";
    row.cells[2] = "146.5234";  // typed without the cell's rounding: steps come from StepOf
    row.cells[7] = Settings().GetChoiceText(kTxTypeList, 2);
    row.cells[9] = "754";
    row.cells[14] = "1";
    const NoticeRecord n = CommitChannelRow(c, row, 2, {136, 174});
    EXPECT_EQ(n.code, NoticeCode::RowCommitted);
    EXPECT_EQ(n.flags, 2048u);
    EXPECT_EQ(n.key, 2u);
    EXPECT_EQ(c.PersonalityIndex(), 3);
    EXPECT_EQ(c.Raw()[CChannelData::Offset::Flags], 0x38 | 0x40);
    EXPECT_EQ(c.RxFreq(), 0x14652340u);
    EXPECT_EQ(c.RxStep(), 3u);  // standard model
    EXPECT_EQ(c.TxToneType(), ToneType::Digital);
    EXPECT_EQ(c.TxTone() & 0x0FFFu, 107u);
    EXPECT_EQ(row.cells[1], "Depot") << "the alias stays in the grid";
    EXPECT_EQ(row.cells[2], "146.52340");
    EXPECT_EQ(row.kinds[9], CellKind::EditableDropDown);
    EXPECT_EQ(row.kinds[8], CellKind::Fixed);
}

TEST_F(ChannelRulesTest, EmptyReceiveCellEmptiesTheChannel)
{
    CChannelData& c = channel(0);
    ChannelGridRow row = FillChannelRow(c, 1);
    row.cells[2] = "";
    CommitChannelRow(c, row, 1, {400, 470});
    EXPECT_EQ(c.RxFreq(), kNoFrequency);
    EXPECT_EQ(c.TxFreq(), kNoFrequency);
    EXPECT_EQ(c.used_, 0u);
    EXPECT_EQ(row.cells[6], "");
}

// ---------------------------------------------------------------------------------------
// Miscellaneous page: personality choice

TEST_F(ChannelRulesTest, ChoosingAPersonalityWithdrawsTheInvalidEntry)
{
    CPersonalityData& second = Radio().AddPersonality();
    Radio().Personalities()[0]->used_ = 0;
    Radio().Notify(DeletionNotice());
    CChannelData& c = channel(4);
    ASSERT_TRUE(Radio().InvalidLog().Contains(c.PersonalityNoticeKey()));

    const std::vector<ItemEntry> entries = PersonalityChoices();
    ASSERT_EQ(entries.size(), 1u) << "only personalities in use are offered";
    EXPECT_EQ(entries[0].text, "2");
    EXPECT_EQ(PersonalityChoiceIndex(entries, c), -1);

    ChoosePersonality(c, entries[0].id);
    EXPECT_FALSE(Radio().InvalidLog().Contains(c.PersonalityNoticeKey()));
    EXPECT_EQ(c.personalityId_, second.id_);
    EXPECT_EQ(c.PersonalityIndex(), 1) << "the list position, not the box position";
    EXPECT_EQ(PersonalityChoiceIndex(entries, c), 0);
}

TEST_F(ChannelRulesTest, NoticesOfThePages)
{
    const NoticeRecord f = FieldCommittedNotice(3661, kChannelBasicPageId, this);
    EXPECT_EQ(f.code, NoticeCode::FieldCommitted);
    EXPECT_EQ(f.itemTextId, 3661u);
    EXPECT_EQ(f.name, Settings().LoadText(3660));
    EXPECT_EQ(f.message, Settings().LoadText(3656));
    EXPECT_EQ(f.sender, this);
    const NoticeRecord u = UsedChangedNotice(channel(2), nullptr);
    EXPECT_EQ(u.code, NoticeCode::UsedChanged);
    EXPECT_EQ(u.key, 3u);
}

}  // namespace
}  // namespace rv
