// The memory map: unpacking the image into blocks and lists (channel ring, personality and
// scan-list counts, one DTMF system), packing them back (links, count bits, layout mark,
// every byte no field covers kept at every user level) and the adjustments for older radio firmware.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/general/MiscBlock.h"
#include "editors/general/VolumeBlock.h"
#include "editors/personality/PersonalityData.h"
#include "editors/personality/PersonalityRules.h"
#include "editors/scan/ScanData.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::HomeTest;

constexpr uint16_t kHead = 1408;
constexpr size_t kStride = 20;

uint16_t At16(const Image& image, size_t address) { return GetU16(image.data() + address); }

class MemoryMapTest : public HomeTest {
protected:
    /// An image of 0xFF holding a closed ring of n used channels (personality index 0).
    static Image RingImage(size_t n)
    {
        Image image;
        image.fill(0xFF);
        for (size_t k = 0; k < n; ++k) {
            uint8_t* rec = image.data() + kHead + k * kStride;
            PutU16(rec + 0, static_cast<uint16_t>(k == 0 ? kHead + (n - 1) * kStride
                                                         : kHead + (k - 1) * kStride));
            PutU16(rec + 2, static_cast<uint16_t>(k + 1 == n ? kHead : kHead + (k + 1) * kStride));
            PutU32(rec + 4, ToBcd(40000000 + static_cast<uint32_t>(k) * 2500));
            rec[18] = 0;
        }
        return image;
    }
    static void SetNextLink(Image& image, size_t k, uint16_t next)
    {
        PutU16(image.data() + kHead + k * kStride + 2, next);
    }
    static Image Stored()
    {
        Image image;
        image.fill(0x5A);
        Radio().MemoryMap().StoreToImage(image);
        return image;
    }
    CMemoryMap& Map() { return Radio().MemoryMap(); }
};

struct RingCase {
    const char* name;
    size_t ring;          // records written as a closed ring
    int changedRecord;    // -1: none
    int nextLink;         // new next link of that record (-1: keep)
    bool endMarkFF;       // set byte 18 of that record to 0xFF
    size_t expected;
};

TEST_F(MemoryMapTest, ChannelRingEndsWhereLinksOrEndMarkSay)
{
    const RingCase cases[] = {
        {"ring of one", 1, -1, -1, false, 1},
        {"ring of three", 3, -1, -1, false, 3},
        {"chain of 16 closed to the head", 16, -1, -1, false, 16},
        {"16th record pointing to the area end stops at 16", 16, 15, 1728, false, 16},
        {"next link 1728 is still inside the area", 5, 4, 1728, false, 6},
        {"byte 18 = FF ends the list whatever the links", 16, 2, -1, true, 3},
        {"next link below the area", 16, 4, 0x0000, false, 5},
        {"next link beyond the area", 16, 4, 1729, false, 5},
        {"next link back to the head", 16, 6, kHead, false, 7},
    };
    for (const RingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Image image = RingImage(c.ring);
        if (c.changedRecord >= 0) {
            if (c.nextLink >= 0)
                SetNextLink(image, static_cast<size_t>(c.changedRecord),
                            static_cast<uint16_t>(c.nextLink));
            if (c.endMarkFF) image[kHead + static_cast<size_t>(c.changedRecord) * kStride + 18] = 0xFF;
        }
        Map().LoadFromImage(image);
        ASSERT_EQ(Radio().Channels().size(), c.expected);
        // Records are taken consecutively, byte for byte.
        for (size_t k = 0; k < c.expected; ++k)
            EXPECT_TRUE(std::equal(image.begin() + kHead + k * kStride,
                                   image.begin() + kHead + (k + 1) * kStride,
                                   Radio().Channels()[k]->Record()));
    }
}

TEST_F(MemoryMapTest, ChannelUsedFlagFollowsReceiveFrequency)
{
    Image image = RingImage(3);
    PutU32(image.data() + kHead + kStride + 4, kNoFrequency);
    Map().LoadFromImage(image);
    ASSERT_EQ(Radio().Channels().size(), 3u);
    EXPECT_EQ(Radio().Channels()[0]->used_, 1u);
    EXPECT_EQ(Radio().Channels()[1]->used_, 0u);
    EXPECT_EQ(Radio().Channels()[2]->used_, 1u);
}

TEST_F(MemoryMapTest, BlankImageLoadsOneOfEachList)
{
    Image image;
    image.fill(0xFF);
    Map().LoadFromImage(image);
    RadioData& radio = Radio();
    ASSERT_EQ(radio.Channels().size(), 1u);
    EXPECT_EQ(radio.Channels()[0]->used_, 0u);
    EXPECT_EQ(radio.Personalities().size(), 1u);
    EXPECT_EQ(radio.ScanLists().size(), 1u);
    EXPECT_EQ(radio.DtmfSystems().size(), 1u);
    for (uint8_t b : radio.Personalities()[0]->Raw().Bytes()) EXPECT_EQ(b, 0xFF);
}

TEST_F(MemoryMapTest, ListHeadOutsideChannelAreaGivesOneDefaultChannel)
{
    Radio().ChannelListHead() = 1000;
    Map().LoadFromImage(RingImage(5));
    EXPECT_EQ(Radio().Channels().size(), 1u);
    Radio().ChannelListHead() = kHead;
}

TEST_F(MemoryMapTest, StoringThreeChannelsWritesClosedRing)
{
    auto& channels = Radio().Channels();
    channels.resize(3);
    Image image = Stored();
    const uint16_t expected[3][2] = {{1448, 1428}, {1408, 1448}, {1428, 1408}};
    for (size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(At16(image, kHead + k * kStride), expected[k][0]);
        EXPECT_EQ(At16(image, kHead + k * kStride + 2), expected[k][1]);
        // The channels' own records carry the same links.
        EXPECT_EQ(channels[k]->Raw().U16(0), expected[k][0]);
        EXPECT_EQ(channels[k]->Raw().U16(2), expected[k][1]);
    }
    // Slot 4 onwards keeps what the image held: the ring's links end the list.
    EXPECT_EQ(image[kHead + 3 * kStride + 18], 0x5A);
    Map().LoadFromImage(image);
    EXPECT_EQ(Radio().Channels().size(), 3u);
}

TEST_F(MemoryMapTest, PersonalityAndScanCountsSurviveStoreAndLoad)
{
    Radio().AddPersonality();
    ASSERT_EQ(Radio().Personalities().size(), 2u);
    Image image = Stored();
    // Byte 1 of the third personality slot stays 0xFF: that is how the next load counts 2.
    EXPECT_EQ(image[321], 0xFF);
    // Scan slot 2, byte 4 likewise.
    EXPECT_EQ(image[528 + 32 + 4], 0xFF);
    Map().LoadFromImage(image);
    EXPECT_EQ(Radio().Personalities().size(), 2u);
    EXPECT_EQ(Radio().ScanLists().size(), 1u);

    Radio().AddScanList();
    image = Stored();
    Map().LoadFromImage(image);
    EXPECT_EQ(Radio().ScanLists().size(), 2u);
}

struct DeleteCase {
    const char* name;
    bool scanLists;  // personalities otherwise
    size_t count;    // items in the image first
    size_t deleted;  // 0-based position of the item deleted
};

struct LevelCase {
    const char* name;
    int level;
};

void PrintTo(const DeleteCase& c, std::ostream* os)
{
    *os << c.name;
}
void PrintTo(const LevelCase& c, std::ostream* os)
{
    *os << c.name;
}

class DeletedItemsStayDeleted
    : public MemoryMapTest,
      public ::testing::WithParamInterface<std::tuple<DeleteCase, LevelCase>> {};

// An image read from a radio holds `count` items; one is deleted, the data are stored into the
// same image (at the service levels its bytes are not cleared first) and loaded again: the
// deleted item is gone and the others follow in order, at every user level.
TEST_P(DeletedItemsStayDeleted, DeleteStoreLoad)
{
    const auto& [c, level] = GetParam();
    RadioData& radio = Radio();
    // Items that tell each other apart by one byte of their own.
    for (size_t k = 0; k < c.count; ++k) {
        const auto mark = static_cast<uint8_t>(10 + k);
        if (c.scanLists) {
            if (k >= radio.ScanLists().size()) radio.AddScanList();
            radio.ScanLists()[k]->Raw()[CScanData::Offset::HangTime] = mark;
        } else {
            if (k >= radio.Personalities().size()) radio.AddPersonality();
            radio.Personalities()[k]->Raw()[CPersonalityData::Offset::Reset] = mark;
        }
    }
    Image& image = radio.MemoryImage();
    image.fill(0xFF);
    Map().StoreToImage(image);

    home.SetUserLevel(level.level);
    Map().LoadFromImage(image);
    std::vector<uint8_t> marks;
    if (c.scanLists) {
        auto& lists = radio.ScanLists();
        ASSERT_EQ(lists.size(), c.count);
        // There is no scan view yet: the list loses the item as a delete does.
        lists[c.deleted]->WithdrawNotices();
        lists.erase(lists.begin() + static_cast<std::ptrdiff_t>(c.deleted));
        for (const auto& l : lists) marks.push_back(l->Raw()[CScanData::Offset::HangTime]);
    } else {
        ASSERT_EQ(radio.Personalities().size(), c.count);
        const ListCommandResult r =
            RunPersonalityCommand(ListCommand::Delete, c.deleted, 0, SingleItemDelete::NoCurrent);
        ASSERT_TRUE(r.listChanged);
        for (const auto& p : radio.Personalities())
            marks.push_back(p->Raw()[CPersonalityData::Offset::Reset]);
    }

    Map().StoreToImage(image);
    Map().LoadFromImage(image);
    std::vector<uint8_t> loaded;
    if (c.scanLists)
        for (const auto& l : radio.ScanLists())
            loaded.push_back(l->Raw()[CScanData::Offset::HangTime]);
    else
        for (const auto& p : radio.Personalities())
            loaded.push_back(p->Raw()[CPersonalityData::Offset::Reset]);
    EXPECT_EQ(loaded, marks);
    // The slot after the last item holds the end mark the unpacking stops at.
    const size_t endMark = c.scanLists ? 528 + 32 * (c.count - 1) + 4 : 304 + 8 * (c.count - 1) + 1;
    EXPECT_EQ(image[endMark], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, DeletedItemsStayDeleted,
    ::testing::Combine(::testing::Values(DeleteCase{"ThirdOfThreePersonalities", false, 3, 2},
                                         DeleteCase{"FirstOfThreePersonalities", false, 3, 0},
                                         DeleteCase{"LastOfSixteenPersonalities", false, 16, 15},
                                         DeleteCase{"SecondOfTwoScanLists", true, 2, 1},
                                         DeleteCase{"FirstOfTwoScanLists", true, 2, 0}),
                       ::testing::Values(LevelCase{"Normal", 0},
                                         LevelCase{"Service", kServiceLevel},
                                         LevelCase{"FullService", kFullServiceLevel})),
    [](const ::testing::TestParamInfo<std::tuple<DeleteCase, LevelCase>>& info) {
        return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });

TEST_F(MemoryMapTest, ServiceLevelStoreOfFewerItemsTouchesOnlyTheEndMark)
{
    // The rest of the slot after the last item, and the unmapped bytes, keep what they had.
    home.SetUserLevel(kServiceLevel);
    Image image;
    image.fill(0x5A);
    Map().StoreToImage(image);
    EXPECT_EQ(image[312 + 1], 0xFF);  // personality slot 2, byte 1
    EXPECT_EQ(image[312], 0x5A);
    EXPECT_EQ(image[312 + 2], 0x5A);
    EXPECT_EQ(image[320 + 1], 0x5A);  // slot 3 is not touched
    EXPECT_EQ(image[560 + 4], 0xFF);  // scan-list slot 2, byte 4
    EXPECT_EQ(image[560 + 5], 0x5A);
}

TEST_F(MemoryMapTest, ListsAreBoundedBySlotCount)
{
    Image image;
    image.fill(0x01);  // no end marks anywhere
    Map().LoadFromImage(image);
    EXPECT_EQ(Radio().Personalities().size(), 16u);
    EXPECT_EQ(Radio().ScanLists().size(), 2u);
    EXPECT_EQ(Radio().DtmfSystems().size(), 1u);
}

TEST_F(MemoryMapTest, OverlongListsNeverSpillIntoNeighbouringAreas)
{
    home.SetUserLevel(kServiceLevel);
    RadioData& radio = Radio();
    radio.AddChannel();  // 17 channels
    for (int i = 0; i < 16; ++i) radio.AddPersonality();
    for (int i = 0; i < 2; ++i) radio.AddScanList();
    Image image;
    image.fill(0x5A);
    Map().StoreToImage(image);
    EXPECT_EQ(image[1728], 0x5A);
    EXPECT_EQ(image[448], 0x5A);
    // The ring closes on the 16th record.
    EXPECT_EQ(At16(image, kHead + 15 * kStride + 2), kHead);
    EXPECT_EQ(At16(image, kHead), kHead + 15 * kStride);
}

TEST_F(MemoryMapTest, DtmfCountBitsAreWrittenAndOtherBitsKept)
{
    RadioData& radio = Radio();
    CRawRecord& record = radio.DtmfSystems()[0]->Raw();
    record[6] = 0xC5;
    Image image = Stored();
    EXPECT_EQ(image[438], 0x05);
    EXPECT_EQ(record[6], 0x05);

    radio.AddDtmfSystem();
    image = Stored();
    EXPECT_EQ(image[438] >> 6, 1);
    EXPECT_EQ(image[438] & 0x3F, 0x05);
    // One slot only: the second system does not spill into the unmapped area, which keeps
    // what the image held.
    EXPECT_EQ(image[448], 0x5A);

    Map().LoadFromImage(image);
    EXPECT_EQ(radio.DtmfSystems().size(), 1u);
}

TEST_F(MemoryMapTest, StoreKeepsEveryByteNoFieldCoversAtEveryLevel)
{
    // A configuration whose every byte outside the lists' structure is seeded noise other than
    // 0xFF: the unmapped areas, the reserved bits inside the records, the unused list slots.
    // Loaded and stored at any user level it comes back byte for byte.
    const Image canonical = Stored();
    std::mt19937 noise(2026);
    std::uniform_int_distribution<int> notFF(0, 0xFE);
    Image image = canonical;
    for (uint8_t& b : image) b = static_cast<uint8_t>(notFF(noise));
    // What the lists' structure needs stays as stored: the 16 channels' links and their used
    // marks, the end marks after the one personality and the one scan list, the DTMF count
    // bits and the layout mark.
    for (size_t k = 0; k < 16; ++k)
        for (size_t i : {0u, 1u, 2u, 3u, 18u})
            image[kHead + k * kStride + i] = canonical[kHead + k * kStride + i];
    image[304 + 8 + 1] = 0xFF;
    image[528 + 32 + 4] = 0xFF;
    image[432 + 6] = static_cast<uint8_t>((image[432 + 6] & 0x3F) | (canonical[432 + 6] & 0xC0));
    image[825] = canonical[825];

    const int levels[] = {0, 12345, kServiceLevel, kFullServiceLevel};
    for (const Image& start : {image, canonical}) {
        for (int level : levels) {
            SCOPED_TRACE(level);
            home.SetUserLevel(level);
            Map().LoadFromImage(start);
            Image stored = start;
            Map().StoreToImage(stored);
            for (size_t a = 0; a < stored.size(); ++a)
                ASSERT_EQ(stored[a], start[a]) << "address " << a;
        }
    }
}

TEST_F(MemoryMapTest, DefaultsRoundTripByteForByte)
{
    Image first = Stored();
    Map().LoadFromImage(first);
    EXPECT_EQ(Radio().Channels().size(), 16u);
    EXPECT_EQ(Radio().Personalities().size(), 1u);
    EXPECT_EQ(Radio().ScanLists().size(), 1u);
    EXPECT_EQ(Radio().DtmfSystems().size(), 1u);
    Image second = Stored();
    EXPECT_TRUE(first == second);
}

TEST_F(MemoryMapTest, PrepareImageStoresViewsFirst)
{
    bool stored = false;
    Map().storeViewsHook = [&] {
        stored = true;
        Radio().Misc().Raw()[0] = 0x07;
    };
    Radio().MemoryImage().fill(0x00);
    Map().PrepareImage();
    Map().storeViewsHook = nullptr;
    EXPECT_TRUE(stored);
    EXPECT_EQ(Radio().MemoryImage()[281], 0x07);
    EXPECT_EQ(Radio().MemoryImage()[825], 8);
}

struct FirmwareCase {
    const char* version;
    const char* model;
    bool miscMoved;
    bool volumeCleared;
};

TEST_F(MemoryMapTest, OlderFirmwareAdjustments)
{
    const FirmwareCase cases[] = {
        {"1.01.14.001", "RV205", true, true},
        {"1.01.15.001", "RV205", false, true},
        {"1.01.20.001", "RV205", false, true},
        {"1.01.21.001", "RV205", false, false},
        {"1.01.16.001RQ070", "RV205", false, false},
        {"1.01.14.001RQ070", "RV305", true, false},
        {"1.01.14.001", "RV385", false, false},  // model text 310: never adjusted
        {"1.01", "RV205", false, false},         // no firmware number: sent as stored
        {"", "RV205", false, false},
        {"1.01.9", "RV205", true, true},         // one digit is still a number
    };
    for (const FirmwareCase& c : cases) {
        SCOPED_TRACE(c.version + std::string(" ") + c.model);
        UseModel(c.model, "400-470");
        CRawRecord& misc = Radio().Misc().Raw();
        misc[5] = 0x03;
        misc[7] = 0xFF;
        Radio().Volume().Raw()[2] = 12;
        Image image = Stored();
        ApplyFirmwareAdjustments(image, c.version);
        EXPECT_EQ(misc[7], c.miscMoved ? 0x03 : 0xFF);
        EXPECT_EQ(image[288], c.miscMoved ? 0x03 : 0xFF);
        EXPECT_EQ(image[286], c.miscMoved ? 0x00 : 0x03);
        EXPECT_EQ(image[133], c.volumeCleared ? 0xFF : 12);
    }
}

TEST_F(MemoryMapTest, VolumeAtOrBelowNineIsKeptForOldFirmware)
{
    Radio().Volume().Raw()[2] = 9;
    Image image = Stored();
    ApplyFirmwareAdjustments(image, "1.01.16.001");
    EXPECT_EQ(image[133], 9);
}

}  // namespace
}  // namespace rv
