// The radio data object: construction, defaults, identities, the notice fan-out and the
// validity check, and the small helpers for item combo boxes and window titles.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <vector>

#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/personality/PersonalityData.h"
#include "editors/scan/ScanData.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::HomeTest;

// A fresh process is needed to see the object as it is constructed: the "threadsafe" death
// test style runs the statement in a newly started copy of this program with only this test.
TEST(RadioDataInstanceTest, FreshObjectHasBlankImageAndFirstIdentity)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            RadioData& radio = RadioData::Instance();
            const bool blank = std::all_of(radio.MemoryImage().begin(), radio.MemoryImage().end(),
                                           [](uint8_t b) { return b == 0xFF; });
            const bool emptyLists = radio.Channels().empty() && radio.Personalities().empty() &&
                                    radio.ScanLists().empty() && radio.DtmfSystems().empty();
            const bool firstId = radio.AddPersonality().id_ == 65735;
            std::_Exit(blank && emptyLists && firstId ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(RadioDataInstanceTest, InstanceIsOneObject)
{
    EXPECT_EQ(&RadioData::Instance(), &RadioData::Instance());
    EXPECT_EQ(&Radio(), &RadioData::Instance());
    EXPECT_EQ(Radio().MemoryImage().size(), kImageSize);
}

class RadioDataTest : public HomeTest {};

TEST_F(RadioDataTest, DefaultsFillEveryList)
{
    EXPECT_EQ(Radio().Channels().size(), 16u);
    EXPECT_EQ(Radio().Personalities().size(), 1u);
    EXPECT_EQ(Radio().ScanLists().size(), 1u);
    EXPECT_EQ(Radio().DtmfSystems().size(), 1u);
    EXPECT_EQ(Radio().ChannelListHead(), kChannelListHead);
    // The links are resolved at the end: every channel names the one personality.
    const uint32_t personalityId = Radio().Personalities()[0]->id_;
    for (const auto& channel : Radio().Channels())
        EXPECT_EQ(channel->personalityId_, personalityId);
    EXPECT_EQ(Radio().ScanLists()[0]->members_[15], Radio().Channels()[15]->id_);
}

TEST_F(RadioDataTest, DefaultsAppendWithoutClearingLists)
{
    Radio().SetDefaults();
    EXPECT_EQ(Radio().Channels().size(), 32u);
    EXPECT_EQ(Radio().Personalities().size(), 2u);
    EXPECT_EQ(Radio().ScanLists().size(), 2u);
    EXPECT_EQ(Radio().DtmfSystems().size(), 2u);
    Radio().ClearLists();
    EXPECT_TRUE(Radio().Channels().empty());
    EXPECT_TRUE(Radio().Personalities().empty());
    EXPECT_TRUE(Radio().ScanLists().empty());
    EXPECT_TRUE(Radio().DtmfSystems().empty());
}

TEST_F(RadioDataTest, IdentitiesGrowBy200AndAreNeverReused)
{
    std::vector<uint32_t> before;
    for (const auto& c : Radio().Channels()) before.push_back(c->id_);
    for (size_t i = 1; i < before.size(); ++i) EXPECT_EQ(before[i], before[i - 1] + 200);

    Radio().ClearLists();
    Radio().SetDefaults();
    const uint32_t next = Radio().Personalities()[0]->id_;
    EXPECT_GT(next, before.back());
    // Defaults create personality, scan list, then the channels, in that order.
    EXPECT_EQ(Radio().ScanLists()[0]->id_, next + 200);
    EXPECT_EQ(Radio().Channels()[0]->id_, next + 400);
    EXPECT_EQ(Radio().DtmfSystems()[0]->id_, Radio().Channels()[15]->id_ + 200);
}

TEST_F(RadioDataTest, FindAndNumberOfItems)
{
    const auto& channels = Radio().Channels();
    EXPECT_EQ(Radio().ChannelNumberOf(channels[4]->id_), 5u);
    EXPECT_EQ(Radio().FindChannel(channels[4]->id_), channels[4].get());
    EXPECT_EQ(Radio().ChannelNumberOf(0), 0u);
    EXPECT_EQ(Radio().FindChannel(1), nullptr);
    const auto& personality = Radio().Personalities()[0];
    EXPECT_EQ(Radio().PersonalityNumberOf(personality->id_), 1u);
    EXPECT_EQ(Radio().FindPersonality(personality->id_), personality.get());
    EXPECT_EQ(Radio().FindPersonality(channels[0]->id_), nullptr);
    const auto& dtmf = Radio().DtmfSystems()[0];
    EXPECT_EQ(Radio().FindDtmfSystem(dtmf->id_), dtmf.get());
    EXPECT_EQ(Radio().FindDtmfSystem(0), nullptr);
}

TEST_F(RadioDataTest, ResetChannelDataKeepsPersonalities)
{
    const uint32_t personalityId = Radio().Personalities()[0]->id_;
    const uint32_t oldChannel = Radio().Channels()[0]->id_;
    const uint32_t oldScan = Radio().ScanLists()[0]->id_;
    Radio().AddChannel();
    Radio().AddScanList();
    Radio().ResetChannelData();
    EXPECT_EQ(Radio().Channels().size(), 16u);
    EXPECT_EQ(Radio().ScanLists().size(), 1u);
    ASSERT_EQ(Radio().Personalities().size(), 1u);
    EXPECT_EQ(Radio().Personalities()[0]->id_, personalityId);
    EXPECT_EQ(Radio().FindChannel(oldChannel), nullptr);
    EXPECT_NE(Radio().ScanLists()[0]->id_, oldScan);
    EXPECT_EQ(Radio().Channels()[0]->personalityId_, personalityId);
    EXPECT_EQ(Radio().ScanLists()[0]->members_[0], Radio().Channels()[0]->id_);
}

// A channel whose notice handler changes the channel list, as an editor reacting to a notice
// may do. Every call is recorded by identity.
class CEditingChannel : public CChannelData {
public:
    using Action = std::function<void()>;
    CEditingChannel(size_t position, std::vector<uint32_t>& calls, Action action)
        : CChannelData(position), calls_(calls), action_(std::move(action))
    {
    }
    void OnNotice(const NoticeRecord&) override
    {
        calls_.push_back(id_);
        if (action_) action_();
    }

private:
    std::vector<uint32_t>& calls_;
    Action action_;
};

class RadioDataNotifyTest : public HomeTest {
protected:
    // Replaces the channels by four recording channels; the second runs the action.
    void UseRecordingChannels(CEditingChannel::Action action)
    {
        auto& channels = Radio().Channels();
        channels.clear();
        for (size_t i = 0; i < 4; ++i)
            channels.push_back(std::make_unique<CEditingChannel>(
                i, calls, i == 1 ? std::move(action) : CEditingChannel::Action{}));
        for (const auto& c : channels) ids.push_back(c->id_);
    }
    static void RemoveChannel(uint32_t id)
    {
        auto& channels = Radio().Channels();
        std::erase_if(channels, [id](const auto& c) { return c->id_ == id; });
    }
    std::vector<uint32_t> calls;
    std::vector<uint32_t> ids;
};

TEST_F(RadioDataNotifyTest, HandlerDeletingLaterItemsSkipsThem)
{
    UseRecordingChannels([this] {
        RemoveChannel(ids[2]);
        RemoveChannel(ids[3]);
    });
    Radio().Notify(NoticeRecord{});
    // The deleted channels are not called (the sanitizer would report a call on a destroyed
    // object); the earlier ones were called once each.
    EXPECT_EQ(calls, (std::vector<uint32_t>{ids[0], ids[1]}));
    EXPECT_EQ(Radio().Channels().size(), 2u);
}

TEST_F(RadioDataNotifyTest, HandlerDeletingEarlierItemKeepsTheRestInOrder)
{
    UseRecordingChannels([this] { RemoveChannel(ids[0]); });
    Radio().Notify(NoticeRecord{});
    EXPECT_EQ(calls, (std::vector<uint32_t>{ids[0], ids[1], ids[2], ids[3]}));
}

TEST_F(RadioDataNotifyTest, HandlerAddingItemsDoesNotExtendThisRound)
{
    UseRecordingChannels([] {
        Radio().AddChannel();
        Radio().AddChannel();
    });
    Radio().Notify(NoticeRecord{});
    EXPECT_EQ(calls.size(), 4u);
    EXPECT_EQ(Radio().Channels().size(), 6u);
}

TEST_F(RadioDataNotifyTest, HandlerClearingOtherListsIsSafe)
{
    // A channel handler that empties the scan lists and DTMF systems before their turn.
    UseRecordingChannels([] {
        Radio().ScanLists().clear();
        Radio().DtmfSystems().clear();
        Radio().AddScanList();
    });
    NoticeRecord deleted;
    deleted.code = NoticeCode::Deleted;
    Radio().Notify(deleted);
    EXPECT_EQ(calls.size(), 4u);
    EXPECT_EQ(Radio().ScanLists().size(), 1u);
}

class RadioDataValidateTest : public HomeTest {
protected:
    int focusCommits = 0;
    int logShown = 0;
    void SetUp() override
    {
        HomeTest::SetUp();
        Radio().commitFocusHook = [this] { ++focusCommits; };
        Radio().showInvalidLogHook = [this] { ++logShown; };
    }
    void TearDown() override
    {
        Radio().commitFocusHook = nullptr;
        Radio().showInvalidLogHook = nullptr;
    }
};

TEST_F(RadioDataValidateTest, ConsistentDataHasNoEntries)
{
    EXPECT_FALSE(Radio().ValidateAll());
    EXPECT_TRUE(Radio().InvalidLog().Empty());
    EXPECT_EQ(focusCommits, 1);
    EXPECT_EQ(logShown, 0);
}

TEST_F(RadioDataValidateTest, DeletedPersonalityIsReportedForItsChannel)
{
    // Channel 3 uses a second personality, which is then deleted.
    Radio().AddPersonality();
    auto& channel = *Radio().Channels()[2];
    channel.SetPersonalityIndex(1);
    Radio().MemoryMap().ResolveAllLinks();
    ASSERT_EQ(channel.personalityId_, Radio().Personalities()[1]->id_);
    Radio().Personalities().pop_back();

    EXPECT_TRUE(Radio().ValidateAll());
    ASSERT_EQ(Radio().InvalidLog().Rows().size(), 1u);
    EXPECT_EQ(Radio().InvalidLog().Rows()[0].key, channel.id_ + 69238);
    EXPECT_EQ(logShown, 1);

    // Validation starts from an empty log each time: nothing piles up.
    EXPECT_TRUE(Radio().ValidateAll());
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), 1u);
}

TEST_F(RadioDataValidateTest, StaleEntriesAreDroppedWhenDataIsConsistentAgain)
{
    NoticeRecord stale;
    stale.key = 12345;
    stale.name = "old";
    Radio().InvalidLog().Add(stale);
    EXPECT_FALSE(Radio().ValidateAll());
    EXPECT_TRUE(Radio().InvalidLog().Empty());
}

TEST_F(RadioDataValidateTest, ClearingListsWithdrawsTheirEntries)
{
    Radio().Personalities().clear();
    EXPECT_TRUE(Radio().ValidateAll());
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), 16u);
    Radio().ClearLists();
    EXPECT_TRUE(Radio().InvalidLog().Empty());
}

TEST_F(RadioDataTest, DtmfSystemIdAtNeedsDtmfTypeAndUsedSystem)
{
    auto& system = *Radio().DtmfSystems()[0];
    struct Case {
        uint8_t type, index;
        bool expectId;
    };
    const Case cases[] = {
        {2, 0, true}, {0, 0, false}, {1, 0, false}, {3, 0, false},
        {4, 0, false}, {2, 1, false}, {2, 0xFF, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Radio().DtmfSystemIdAt(c.type, c.index), c.expectId ? system.id_ : 0u)
            << "type " << int(c.type) << " index " << int(c.index);
    system.used_ = 0;
    EXPECT_EQ(Radio().DtmfSystemIdAt(2, 0), 0u);
}

TEST(RadioDataHelpersTest, SplitTrailingNumber)
{
    struct Case {
        const char* text;
        bool ok;
        const char* head;
        int number;
    };
    const Case cases[] = {
        {"Channel 12", true, "Channel ", 12},
        {"Scan List 2", true, "Scan List ", 2},
        {"CH007", true, "CH", 7},
        {"A0", true, "A", 0},
        {"Channel", false, "", 0},
        {"12", false, "", 0},
        {"", false, "", 0},
        {"Channel 12 ", false, "", 0},
        {"Channel 99999999999", false, "", 0},
    };
    for (const auto& c : cases) {
        std::string head = "unchanged";
        int number = -1;
        EXPECT_EQ(SplitTrailingNumber(c.text, head, number), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(head, c.head) << c.text;
            EXPECT_EQ(number, c.number) << c.text;
        } else {
            EXPECT_EQ(head, "unchanged") << c.text;
        }
    }
}

TEST_F(RadioDataTest, ItemComboListsUsedItemsAndSelectsById)
{
    auto& channels = Radio().Channels();
    channels[1]->used_ = 0;
    const auto entries = FillItemCombo(channels, "CH");
    ASSERT_EQ(entries.size(), 15u);
    EXPECT_EQ(entries[0].text, "CH1");
    EXPECT_EQ(entries[1].text, "CH3");  // positions keep their numbers
    EXPECT_EQ(entries[1].id, channels[2]->id_);

    EXPECT_EQ(SelectItemById(entries, channels[2]->id_), 1);
    EXPECT_EQ(SelectItemById(entries, channels[1]->id_), -1);  // not listed: unused
    EXPECT_EQ(SelectItemById(entries, 0), -1);
    EXPECT_EQ(SelectItemById({}, channels[0]->id_), -1);
}

}  // namespace
}  // namespace rv
