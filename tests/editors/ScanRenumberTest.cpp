// Scan lists follow their channels: deleting a channel renumbers every channel reference of
// every scan list, whether an editor is open or not, and a reference to the deleted channel
// becomes none and is logged. Also the enable rules of the scan pages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/RadioData.h"
#include "editors/channel/ChannelCommands.h"
#include "editors/channel/ChannelData.h"
#include "editors/scan/ScanData.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using Off = CScanData::Offset;
constexpr uint8_t kNone = 0xFF;

class ScanRenumberTest : public test::HomeTest {
protected:
    /// Channel count of the fixture radio (the default radio holds more).
    static constexpr size_t kChannels = 8;
    void SetUp() override
    {
        test::HomeTest::SetUp();
        Radio().Channels().resize(kChannels);
    }
    CScanData& Scan(size_t k = 0) { return *Radio().ScanLists()[k]; }
    /// Writes the references as numbers (designated, priority 1, priority 2, members) and
    /// resolves them, as reading an image does.
    void SetReferences(CScanData& scan, std::vector<uint8_t> refs)
    {
        scan.Raw()[Off::Designated] = refs[0];
        scan.Raw()[Off::Priority1Channel] = refs[1];
        scan.Raw()[Off::Priority2Channel] = refs[2];
        for (size_t k = 0; k < CScanData::kMembers; ++k)
            scan.Raw()[Off::Members + k] = k + 3 < refs.size() ? refs[k + 3] : kNone;
        scan.ResolveLinks();
    }
    std::vector<uint8_t> References(const CScanData& scan)
    {
        std::vector<uint8_t> refs = {scan.Raw()[Off::Designated], scan.Raw()[Off::Priority1Channel],
                                     scan.Raw()[Off::Priority2Channel]};
        for (size_t k = 0; k < CScanData::kMembers; ++k)
            refs.push_back(scan.Raw()[Off::Members + k]);
        while (refs.size() > 3 && refs.back() == kNone) refs.pop_back();
        return refs;
    }
    /// Deletes channel `number` with the channel command and broadcasts its notice, as the
    /// channel views do.
    void DeleteChannel(size_t number)
    {
        const ListCommandResult r =
            RunChannelCommand(ListCommand::Delete, number - 1, 0, SingleItemDelete::NoCurrent);
        ASSERT_TRUE(r.notice.has_value());
        Radio().Notify(*r.notice);
    }
    bool Logged(const CScanData& scan, uint32_t box)
    {
        return Radio().InvalidLog().Contains(scan.NoticeKey(box));
    }
};

TEST_F(ScanRenumberTest, ReferencesFollowTheirChannelsWhenOneIsDeleted)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> before;  // designated, priority 1, priority 2, members...
        size_t deleted;
        std::vector<uint8_t> after;
    };
    const Case cases[] = {
        {"members 1, 3, 5 without channel 2", {1, 1, 1, 1, 3, 5}, 2, {1, 1, 1, 1, 2, 4}},
        {"channels before the deleted one keep their numbers",
         {3, 2, 1, 1, 2, 3},
         8,
         {3, 2, 1, 1, 2, 3}},
        {"own channels follow too", {6, 7, 8, 4}, 1, {5, 6, 7, 3}},
        {"the deleted channel becomes none", {5, 5, 2, 4, 5, 6}, 5, {kNone, kNone, 2, 4, kNone, 5}},
        {"numbers beyond the list are kept",
         {1, 1, 1, 2, 9, 20},
         1,
         {kNone, kNone, kNone, 1, 9, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        while (Radio().Channels().size() < kChannels) Radio().AddChannel().ResolveLinks();
        Radio().InvalidLog().Clear();
        SetReferences(Scan(), c.before);
        DeleteChannel(c.deleted);
        EXPECT_EQ(References(Scan()), c.after);
    }
}

TEST_F(ScanRenumberTest, EveryListIsRenumberedAndADeletedMemberIsLogged)
{
    CScanData& second = Radio().AddScanList();
    SetReferences(Scan(), {1, 1, 1, 1, 2, 3});
    SetReferences(second, {1, 1, 1, 1, 3, 5});
    Scan().Raw()[Off::Entries] = 3;
    second.Raw()[Off::Entries] = 3;
    const uint32_t third = Radio().Channels()[2]->id_;

    DeleteChannel(2);
    EXPECT_EQ(References(second), (std::vector<uint8_t>{1, 1, 1, 1, 2, 4}));
    EXPECT_EQ(second.members_[1], third);
    EXPECT_EQ(References(Scan()), (std::vector<uint8_t>{1, 1, 1, 1, kNone, 2}));
    EXPECT_TRUE(Logged(Scan(), CScanData::TextId::FirstMemberBox + 1));
    EXPECT_FALSE(Logged(second, CScanData::TextId::FirstMemberBox + 1));

    // Checking again (save, write) changes nothing more.
    Radio().ValidateAll();
    EXPECT_EQ(References(second), (std::vector<uint8_t>{1, 1, 1, 1, 2, 4}));
    EXPECT_EQ(References(Scan()), (std::vector<uint8_t>{1, 1, 1, 1, kNone, 2}));
}

TEST_F(ScanRenumberTest, AReferenceToAChannelNotInUseStaysOnThatChannel)
{
    Radio().Channels()[3]->used_ = 0;
    SetReferences(Scan(), {1, 1, 1, 4, 5});
    ASSERT_EQ(Scan().members_[0], 0u);  // not in use: shown as none
    DeleteChannel(2);
    // Byte 3 is still the channel that was 4, not the used channel that was 3 before.
    EXPECT_EQ(References(Scan()), (std::vector<uint8_t>{1, 1, 1, 3, 4}));
}

TEST_F(ScanRenumberTest, AByteChangedSinceReadingNamesWhatItNowSays)
{
    SetReferences(Scan(), {1, 1, 1, 4, 6});
    // The editor picks channel 7 for member 2 by identity and clears member 1 by its byte.
    Scan().members_[1] = Radio().Channels()[6]->id_;
    Scan().members_[0] = 0;
    Scan().Raw()[Off::Members] = kNone;
    DeleteChannel(1);
    EXPECT_EQ(References(Scan()), (std::vector<uint8_t>{kNone, kNone, kNone, kNone, 6}));
}

TEST_F(ScanRenumberTest, ChoosingAChannelStoresItsIdentityAndNumber)
{
    SetReferences(Scan(), {1, 1, 1, 1, 2});
    Scan().SetReference(4, Radio().Channels()[6]->id_);  // member 2 = channel 7
    Scan().SetReference(0, 0);                           // no designated channel
    Radio().Channels()[2]->used_ = 0;
    Scan().SetReference(3, Radio().Channels()[2]->id_);  // a channel not in use: none
    EXPECT_EQ(References(Scan()), (std::vector<uint8_t>{kNone, 1, 1, kNone, 7}));
    DeleteChannel(1);
    EXPECT_EQ(References(Scan()), (std::vector<uint8_t>{kNone, kNone, kNone, kNone, 6}));
}

TEST(ScanRules, ACutChannelListTakesTheRemovedChannelsOutOfAScanList)
{
    using What = CScanData::ChannelCut::What;
    using Cut = CScanData::ChannelCut;
    struct Case {
        const char* what;
        size_t keep;  // channels that stay
        uint8_t entries;
        std::vector<uint8_t> members;  // the rest none
        uint8_t txMode, designated;    // tx mode 1: the designated channel
        uint8_t priority, p1, p2;      // priority byte: mode 1 bits 0-1, mode 2 bits 3-4
        std::vector<Cut> cuts;
        uint8_t entriesAfter;
        std::vector<uint8_t> membersAfter;  // the rest none
        uint8_t txModeAfter, designatedAfter, priorityAfter, p1After, p2After;
    };
    const std::vector<Case> cases = {
        {"nothing removed", 8, 3, {1, 8, 2}, 1, 8, 0x09, 8, 8, {}, 3, {1, 8, 2}, 1, 8, 0x09, 8, 8},
        {"members behind the kept channels leave, the rest move up",
         4,
         5,
         {2, 9, 3, 12, 4, 6},
         0,
         1,
         0x00,
         1,
         1,
         {{What::Member, 2, 9}, {What::Member, 4, 12}},
         3,
         {2, 3, 4, kNone},
         0,
         1,
         0x00,
         1,
         1},
        {"a list left empty scans channel 1",
         4,
         2,
         {7, 5, 2},
         0,
         1,
         0x00,
         1,
         1,
         {{What::Member, 1, 7}, {What::Member, 2, 5}, {What::Refilled, 0, 0}},
         1,
         {1, 2},
         0,
         1,
         0x00,
         1,
         1},
        {"designated and priority channels give way to the current channel",
         4,
         1,
         {1},
         1,
         7,
         0x09,
         6,
         5,
         {{What::Priority1, 0, 6}, {What::Priority2, 0, 5}, {What::Designated, 0, 7}},
         1,
         {1},
         0,
         kNone,
         0x12,
         kNone,
         kNone},
        {"references the modes do not use become none unreported",
         4,
         1,
         {1},
         0,
         7,
         0x00,
         6,
         5,
         {},
         1,
         {1},
         0,
         kNone,
         0x00,
         kNone,
         kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> record(CScanData::kRecordSize, 0);
        record[Off::Entries] = c.entries;
        for (size_t k = 0; k < CScanData::kMembers; ++k)
            record[Off::Members + k] = k < c.members.size() ? c.members[k] : kNone;
        record[Off::TxMode] = c.txMode;
        record[Off::Designated] = c.designated;
        record[Off::Priority] = c.priority;
        record[Off::Priority1Channel] = c.p1;
        record[Off::Priority2Channel] = c.p2;

        EXPECT_EQ(CScanData::CutChannels(record, c.keep), c.cuts);
        EXPECT_EQ(record[Off::Entries], c.entriesAfter);
        for (size_t k = 0; k < CScanData::kMembers; ++k)
            EXPECT_EQ(record[Off::Members + k],
                      k < c.membersAfter.size() ? c.membersAfter[k] : kNone)
                << "member " << k + 1;
        EXPECT_EQ(record[Off::TxMode], c.txModeAfter);
        EXPECT_EQ(record[Off::Designated], c.designatedAfter);
        EXPECT_EQ(record[Off::Priority], c.priorityAfter);
        EXPECT_EQ(record[Off::Priority1Channel], c.p1After);
        EXPECT_EQ(record[Off::Priority2Channel], c.p2After);
    }
}

TEST(ScanRules, ConfigurationPageEnables)
{
    struct Case {
        unsigned tx, p1, p2;
        ScanConfigEnables e;
    };
    const Case cases[] = {
        {0, 0, 1, {}},
        {1, 0, 0, {.designated = true}},
        {2, 2, 0, {.priority1DeleteAdd = true, .priority2Mode = true, .sweepTime = true}},
        {0,
         1,
         2,
         {.priority1Channel = true,
          .priority1DeleteAdd = true,
          .priority2Mode = true,
          .priority2DeleteAdd = true,
          .sweepTime = true}},
        {0,
         1,
         1,
         {.priority1Channel = true,
          .priority1DeleteAdd = true,
          .priority2Mode = true,
          .priority2Channel = true,
          .priority2DeleteAdd = true,
          .sweepTime = true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.tx << c.p1 << c.p2);
        EXPECT_EQ(ScanConfigEnableRules(c.tx, c.p1, c.p2), c.e);
    }
    const std::pair<const char*, size_t> entries[] = {{"4", 4}, {"16", 16}, {"", 0},   {"0", 0},
                                                      {"x", 0}, {"99", 16}, {"3 ", 3}, {"-2", 0}};
    for (const auto& [text, n] : entries) EXPECT_EQ(EnabledMemberBoxes(text), n) << text;
}

}  // namespace
}  // namespace rv
