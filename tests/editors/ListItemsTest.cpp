// Personalities, scan lists and DTMF systems: default records, the scan list's channel
// references and its invalid-log entries, and the language texts of every default value.

#include <gtest/gtest.h>

#include <string>
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

std::vector<uint8_t> Bytes(const CRawRecord& r) { return {r.Bytes().begin(), r.Bytes().end()}; }

class ListItemsTest : public HomeTest {};

TEST_F(ListItemsTest, DefaultRecords)
{
    CPersonalityData personality;
    EXPECT_EQ(Bytes(personality.Raw()),
              (std::vector<uint8_t>{0xFF, 0x01, 0x3C, 0x00, 0x00, 0x00, 0xC0, 0xFF}));
    EXPECT_EQ(personality.rxSignallingId_, 0u);
    EXPECT_EQ(personality.txSignallingId_, 0u);
    EXPECT_EQ(personality.used_, 1u);

    CDtmfSystemData dtmf;
    EXPECT_EQ(Bytes(dtmf.Raw()), (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78, 0x08, 0x01, 0xFE,
                                                       0x19, 0x05, 0x05, 0xFF, 0xFF, 0xFF, 0xFF,
                                                       0xFF, 0xFF}));

    CScanData scan;
    std::vector<uint8_t> expected{0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0xE6, 0xC0, 0x08,
                                  0x01, 0x01, 0xF8, 0x01, 0x03, 0x0F, 0xFE, 0xFF};
    for (uint8_t k = 1; k <= 16; ++k) expected.push_back(k);
    EXPECT_EQ(Bytes(scan.Raw()), expected);
}

TEST_F(ListItemsTest, SetDefaultsRestoresAChangedRecord)
{
    CPersonalityData personality;
    CDtmfSystemData dtmf;
    CScanData scan;
    const auto p = Bytes(personality.Raw()), d = Bytes(dtmf.Raw()), s = Bytes(scan.Raw());
    personality.Raw().Fill(0x5A);
    dtmf.Raw().Fill(0x00);
    scan.Raw().Fill(0xA5);
    personality.SetDefaults();
    dtmf.SetDefaults();
    scan.SetDefaults();
    EXPECT_EQ(Bytes(personality.Raw()), p);
    EXPECT_EQ(Bytes(dtmf.Raw()), d);
    EXPECT_EQ(Bytes(scan.Raw()), s);
}

TEST_F(ListItemsTest, RecordLayoutsFitTheirImageStretch)
{
    EXPECT_EQ(CPersonalityData::kImageAddress + CPersonalityData::kRecordSize * 16,
              CDtmfSystemData::kImageAddress);
    EXPECT_LE(CDtmfSystemData::kImageAddress + CDtmfSystemData::kRecordSize,
              CScanData::kImageAddress);
    EXPECT_EQ(CScanData::kImageAddress + CScanData::kRecordSize * 2, 592u);
    EXPECT_EQ(CChannelData::kImageAddress + CChannelData::kRecordSize * 16, 1728u);
}

TEST_F(ListItemsTest, DefaultFieldAccessors)
{
    const auto& dtmf = *Radio().DtmfSystems()[0];
    EXPECT_EQ(dtmf.IdLength(), 8);
    EXPECT_EQ(dtmf.PttIdType(), 1);
    EXPECT_FALSE(dtmf.Option(CDtmfSystemData::OptionBit::SideTone));
    EXPECT_TRUE(dtmf.Option(CDtmfSystemData::OptionBit::ShortBeep));
    EXPECT_TRUE(dtmf.Option(CDtmfSystemData::OptionBit::TransmitCtcss));
    EXPECT_EQ(dtmf.Pretime(), 25);
    const auto& personality = *Radio().Personalities()[0];
    EXPECT_EQ(personality.TimeOut(), 60);
    EXPECT_EQ(personality.TxSignalling(), 0u);
    const auto& scan = *Radio().ScanLists()[0];
    EXPECT_EQ(scan.Entries(), 16);
    EXPECT_EQ(scan.Priority1Mode(), 0u);
    EXPECT_EQ(scan.Priority2Mode(), 0u);
    EXPECT_EQ(scan.TxMode(), 0u);
}

// Every value a default record holds must have a text in its choice list, or the editors
// would show an empty box and store 0xFF on the next write-back.
TEST_F(ListItemsTest, EveryDefaultValueHasAChoiceText)
{
    struct Case {
        int list;
        int value;
    };
    const Case cases[] = {
        {3661, 0}, {3661, 2}, {3663, 0}, {3663, 2},                      // channel
        {3668, 0}, {3668, 1}, {3668, 2}, {3668, 3},
        {3677, 0}, {3677, 1}, {3677, 2}, {3677, 3},
        {2321, 1}, {2325, 0}, {2325, 60}, {2327, 0},  // personality
        {2329, 0}, {2331, 0}, {2407, 0},
        {3830, 3}, {3832, 0}, {3834, 0}, {3834, 1}, {3839, 0}, {3839, 1},  // scan
        {3844, 8}, {3846, 0}, {3846, 1}, {3848, 3}, {3943, 1}, {3943, 16},
        {5308, 1}, {5343, 25}, {5349, 5}, {5351, 5},                      // DTMF
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Settings().GetChoiceText(c.list, c.value).empty())
            << "list " << c.list << " value " << c.value;
    // The number of entries shows the plain number.
    EXPECT_EQ(Settings().GetChoiceText(3943, 16), "16");
    EXPECT_EQ(Settings().GetChoiceValue(3943, "4"), 4);
}

TEST_F(ListItemsTest, InvalidLogTextsExist)
{
    for (int id : {3655, 3657, 3702, 3703, 3800, 3801, 3803, 3835, 3840, 3849})
        EXPECT_FALSE(Settings().LoadText(id).empty()) << id;
    for (int id = 3905; id <= 3920; ++id) EXPECT_FALSE(Settings().LoadText(id).empty()) << id;
    EXPECT_FALSE(Settings().LoadMessage(1164).empty());
}

// ---------------------------------------------------------------------------------------
// Scan list channel references

class ScanLinksTest : public HomeTest {
protected:
    CScanData& scan() { return *Radio().ScanLists()[0]; }
    uint32_t ChannelId(size_t number) { return Radio().Channels()[number - 1]->id_; }
    void Check(NoticeCode code)
    {
        NoticeRecord n;
        n.code = code;
        scan().OnNotice(n);
    }
    std::vector<uint32_t> Keys()
    {
        std::vector<uint32_t> keys;
        for (const auto& row : Radio().InvalidLog().Rows()) keys.push_back(row.key);
        return keys;
    }
    uint32_t Key(uint32_t textId) { return scan().id_ + 65535 + textId; }
};

TEST_F(ScanLinksTest, DefaultsResolveToChannelsOneToSixteen)
{
    for (size_t k = 0; k < 16; ++k) EXPECT_EQ(scan().members_[k], ChannelId(k + 1));
    EXPECT_EQ(scan().designatedId_, ChannelId(1));
    EXPECT_EQ(scan().priority1Id_, ChannelId(1));
    EXPECT_EQ(scan().priority2Id_, ChannelId(1));
}

TEST_F(ScanLinksTest, MissingOrUnusedChannelsResolveToNone)
{
    Radio().Channels().resize(10);
    Radio().Channels()[2]->used_ = 0;
    scan().Raw()[CScanData::Offset::Designated] = 0xFF;
    scan().Raw()[CScanData::Offset::Priority1Channel] = 0;
    scan().Raw()[CScanData::Offset::Priority2Channel] = 3;
    scan().ResolveLinks();
    for (size_t k = 0; k < 16; ++k) {
        const bool present = k < 10 && k != 2;
        EXPECT_EQ(scan().members_[k], present ? ChannelId(k + 1) : 0u) << "member " << k + 1;
    }
    EXPECT_EQ(scan().designatedId_, 0u);
    EXPECT_EQ(scan().priority1Id_, 0u);
    EXPECT_EQ(scan().priority2Id_, 0u);
}

TEST_F(ScanLinksTest, ChannelNumberOfIdNeedsAUsedChannel)
{
    EXPECT_EQ(CScanData::ChannelNumberOfId(ChannelId(7)), 7);
    EXPECT_EQ(CScanData::ChannelNumberOfId(0), 0xFF);
    EXPECT_EQ(CScanData::ChannelNumberOfId(scan().id_), 0xFF);
    Radio().Channels()[6]->used_ = 0;
    EXPECT_EQ(CScanData::ChannelNumberOfId(ChannelId(7)), 0xFF);
}

TEST_F(ScanLinksTest, ConsistentListLogsNothing)
{
    Check(NoticeCode::Deleted);
    Check(NoticeCode::UsedChanged);
    EXPECT_TRUE(Radio().InvalidLog().Empty());
}

TEST_F(ScanLinksTest, BrokenMembersAreLoggedOnDeletionAndUsedChange)
{
    Radio().Channels()[4]->used_ = 0;  // member 5 not in use
    Radio().Channels().pop_back();     // member 16 gone
    Check(NoticeCode::FieldCommitted);
    Check(NoticeCode::Added);
    EXPECT_TRUE(Radio().InvalidLog().Empty()) << "only codes 5 and 9 check";

    Check(NoticeCode::UsedChanged);
    EXPECT_EQ(Keys(), (std::vector<uint32_t>{Key(3877), Key(3888)}));
    const auto& row = Radio().InvalidLog().Rows()[0];
    EXPECT_EQ(row.name, Settings().LoadText(3909));
    EXPECT_EQ(row.message, Settings().LoadText(3801) + " - 1: " + Settings().LoadText(3803));

    Check(NoticeCode::Deleted);  // already listed: no duplicates
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), 2u);
}

TEST_F(ScanLinksTest, OnlyTheCountedMembersAreChecked)
{
    scan().Raw()[CScanData::Offset::Entries] = 4;
    Radio().Channels().resize(4);
    Check(NoticeCode::Deleted);
    EXPECT_TRUE(Radio().InvalidLog().Empty());

    scan().members_[0] = 0;  // an empty member counts as broken
    Check(NoticeCode::Deleted);
    EXPECT_EQ(Keys(), (std::vector<uint32_t>{Key(3873)}));
}

TEST_F(ScanLinksTest, UnusedSlotCountChecksAllSixteen)
{
    scan().Raw()[CScanData::Offset::Entries] = 0xFF;
    scan().members_.fill(0);
    Check(NoticeCode::Deleted);
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), 16u);
}

TEST_F(ScanLinksTest, OwnChannelsAreCheckedOnlyInTheirModes)
{
    scan().designatedId_ = 0;
    scan().priority1Id_ = 0;
    scan().priority2Id_ = 0;
    Check(NoticeCode::Deleted);
    EXPECT_TRUE(Radio().InvalidLog().Empty()) << "modes 0: references unused";

    // Mode 2 (current channel) names no channel of its own either.
    scan().Raw().SetBits(CScanData::Offset::Priority, 0, 2, 2);
    scan().Raw().SetBits(CScanData::Offset::TxMode, 0, 3, 2);
    Check(NoticeCode::Deleted);
    EXPECT_TRUE(Radio().InvalidLog().Empty());

    scan().Raw().SetBits(CScanData::Offset::TxMode, 0, 3, 1);
    scan().Raw().SetBits(CScanData::Offset::Priority, 0, 2, 1);
    scan().Raw().SetBits(CScanData::Offset::Priority, 3, 2, 1);
    Check(NoticeCode::Deleted);
    EXPECT_EQ(Keys(), (std::vector<uint32_t>{Key(3850), Key(3836), Key(3841)}));
    const auto& rows = Radio().InvalidLog().Rows();
    const std::string page = Settings().LoadText(3801) + " - 1: " + Settings().LoadText(3800);
    EXPECT_EQ(rows[0].name, Settings().LoadText(3849));
    EXPECT_EQ(rows[1].name, Settings().LoadText(3835));
    EXPECT_EQ(rows[2].name, Settings().LoadText(3840));
    for (const auto& row : rows) EXPECT_EQ(row.message, page);
}

TEST_F(ScanLinksTest, SecondListNamesItsNumber)
{
    auto& second = Radio().AddScanList();
    second.ResolveLinks();
    second.members_[1] = 0;
    NoticeRecord n;
    n.code = NoticeCode::Deleted;
    Radio().Notify(n);
    ASSERT_EQ(Radio().InvalidLog().Rows().size(), 1u);
    EXPECT_EQ(Radio().InvalidLog().Rows()[0].key, second.id_ + 65535 + 3874);
    EXPECT_EQ(Radio().InvalidLog().Rows()[0].message,
              Settings().LoadText(3801) + " - 2: " + Settings().LoadText(3803));
}

TEST_F(ScanLinksTest, WithdrawRemovesOnlyThisListsEntries)
{
    Radio().Personalities().clear();  // every channel logs its personality
    scan().members_.fill(0);
    scan().Raw().SetBits(CScanData::Offset::TxMode, 0, 3, 1);
    scan().Raw().SetBits(CScanData::Offset::Priority, 0, 2, 1);
    scan().Raw().SetBits(CScanData::Offset::Priority, 3, 2, 1);
    scan().designatedId_ = scan().priority1Id_ = scan().priority2Id_ = 0;
    NoticeRecord n;
    n.code = NoticeCode::Deleted;
    Radio().Notify(n);
    const size_t before = Radio().InvalidLog().Rows().size();
    for (uint32_t id = 3873; id <= 3888; ++id) EXPECT_TRUE(Radio().InvalidLog().Contains(Key(id)));
    for (uint32_t id : {3850u, 3836u, 3841u}) EXPECT_TRUE(Radio().InvalidLog().Contains(Key(id)));
    EXPECT_TRUE(Radio().InvalidLog().Contains(Radio().Channels()[0]->PersonalityNoticeKey()));
    scan().WithdrawNotices();
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), before - 19u);
    EXPECT_TRUE(Radio().InvalidLog().Contains(Radio().Channels()[0]->PersonalityNoticeKey()));
}

TEST_F(ListItemsTest, DtmfSystemAndPersonalityIgnoreNotices)
{
    auto& dtmf = *Radio().DtmfSystems()[0];
    auto& personality = *Radio().Personalities()[0];
    const auto d = Bytes(dtmf.Raw()), p = Bytes(personality.Raw());
    NoticeRecord n;
    n.code = NoticeCode::Deleted;
    dtmf.OnNotice(n);
    personality.OnNotice(n);
    dtmf.ResolveLinks();
    personality.ResolveLinks();
    EXPECT_EQ(Bytes(dtmf.Raw()), d);
    EXPECT_EQ(Bytes(personality.Raw()), p);
    EXPECT_TRUE(Radio().InvalidLog().Empty());
}

// ---------------------------------------------------------------------------------------
// DTMF Primary ID and page fields

TEST_F(ListItemsTest, PrimaryIdEncoding)
{
    struct Case {
        const char* typed;
        std::vector<uint8_t> digits;  // bytes 0-3
        uint8_t length;
        const char* shown;
    };
    const Case cases[] = {
        {"12*#", {0x12, 0xEF, 0x00, 0x00}, 4, "12*#"},
        {"abc", {0xAB, 0xC0, 0x00, 0x00}, 3, "ABC"},
        {"1 2 3", {0x12, 0x30, 0x00, 0x00}, 3, "123"},
        {"D0#*9876", {0xD0, 0xFE, 0x98, 0x76}, 8, "D0#*9876"},
    };
    for (const auto& c : cases) {
        CDtmfSystemData dtmf;
        ASSERT_TRUE(dtmf.SetPrimaryId(c.typed)) << c.typed;
        const auto bytes = Bytes(dtmf.Raw());
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), c.digits) << c.typed;
        EXPECT_EQ(dtmf.IdLength(), c.length) << c.typed;
        EXPECT_EQ(dtmf.PrimaryId(), c.shown) << c.typed;
    }
}

TEST_F(ListItemsTest, PrimaryIdEdgeCases)
{
    CDtmfSystemData dtmf;
    // Empty: no ID, the digits stay.
    ASSERT_TRUE(dtmf.SetPrimaryId("  "));
    EXPECT_EQ(dtmf.IdLength(), 0);
    EXPECT_EQ(dtmf.Raw()[0], 0x12);
    EXPECT_EQ(dtmf.PrimaryId(), "");
    // Not a DTMF key, or too many keys: refused, the record unchanged.
    const auto before = Bytes(dtmf.Raw());
    EXPECT_FALSE(dtmf.SetPrimaryId("12E4"));
    EXPECT_FALSE(dtmf.SetPrimaryId("123456789"));
    EXPECT_EQ(Bytes(dtmf.Raw()), before);
    // An unprogrammed length byte shows all eight digits.
    dtmf.Raw()[CDtmfSystemData::Offset::IdLength] = 0xFF;
    EXPECT_EQ(dtmf.PrimaryId(), "12345678");
}

TEST_F(ListItemsTest, DtmfPageFieldsRoundTrip)
{
    auto& dtmf = *Radio().DtmfSystems()[0];
    const auto defaults = Bytes(dtmf.Raw());
    DtmfBasicFields basic;
    DtmfAdvancedFields advanced;
    dtmf.ToBasic(basic);
    dtmf.ToAdvanced(advanced);
    EXPECT_EQ(basic.primaryId, "12345678");
    EXPECT_EQ(basic.pttIdTypeText, Settings().GetChoiceText(5308, 1));
    EXPECT_FALSE(basic.sideTone);
    EXPECT_TRUE(basic.shortBeep);
    EXPECT_TRUE(basic.transmitCtcss);
    EXPECT_EQ(advanced.pretimeText, Settings().GetChoiceText(5343, 25));
    EXPECT_TRUE(dtmf.FromBasic(basic));
    dtmf.FromAdvanced(advanced);
    EXPECT_EQ(Bytes(dtmf.Raw()), defaults);

    basic.sideTone = true;
    basic.pttIdTypeText = "no such entry";
    advanced.digitDurationText = "";
    EXPECT_TRUE(dtmf.FromBasic(basic));
    dtmf.FromAdvanced(advanced);
    EXPECT_TRUE(dtmf.Option(CDtmfSystemData::OptionBit::SideTone));
    // A text that is not in its list keeps the stored value.
    EXPECT_EQ(dtmf.PttIdType(), 1);
    EXPECT_EQ(dtmf.DigitDuration(), 5);
    // Bits 3-7 of the options byte are not the page's.
    EXPECT_EQ(dtmf.Raw()[CDtmfSystemData::Offset::Options] & 0xF8, 0xF8);
}

}  // namespace
}  // namespace rv
