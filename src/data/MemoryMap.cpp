#include "data/MemoryMap.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "base/Bytes.h"
#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/general/MicBlock.h"
#include "editors/general/MiscBlock.h"
#include "editors/general/ModeBlock.h"
#include "editors/general/VolumeBlock.h"
#include "editors/general/VoxBlock.h"
#include "editors/keys/KeyBlock.h"
#include "editors/personality/PersonalityData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/scan/ScanData.h"
#include "service/EmbeddedBlock.h"
#include "service/TestFreqBlock.h"
#include "service/TuneBlock.h"

namespace rv {

namespace {

// Address map of the 2048-byte image (decimal):
//
//     0..  15  not mapped              528.. 591  2 scan lists x 32
//    16.. 119  radio information       592.. 623  emergency
//   120.. 130  keys                    624.. 823  test frequencies
//   131.. 144  volume                  824        not mapped
//   145.. 272  not mapped              825        layout mark (8 after every store)
//   273.. 278  microphone              826.. 831  not mapped
//   279.. 280  VOX                     832..1023  tuning
//   281.. 294  misc                   1024..1167  embedded module
//   295.. 296  mode                   1168..1407  not mapped
//   297.. 303  not mapped             1408..1727  16 channels x 20, a linked ring
//   304.. 431  16 personalities x 8   1728..2047  not mapped
//   432.. 447  DTMF system
//   448.. 527  not mapped
static_assert(CRadioInfoBlock::kImageAddress == 16 && CRadioInfoBlock::kRecordSize == 104);
static_assert(CKeyBlock::kImageAddress == 120 && CKeyBlock::kRecordSize == 11);
static_assert(CVolumeBlock::kImageAddress == 131 && CVolumeBlock::kRecordSize == 14);
static_assert(CMicBlock::kImageAddress == 273 && CMicBlock::kRecordSize == 6);
static_assert(CVoxBlock::kImageAddress == 279 && CVoxBlock::kRecordSize == 2);
static_assert(CMiscBlock::kImageAddress == 281 && CMiscBlock::kRecordSize == 14);
static_assert(CModeBlock::kImageAddress == 295 && CModeBlock::kRecordSize == 2);
static_assert(CPersonalityData::kImageAddress == 304 && CPersonalityData::kRecordSize == 8);
static_assert(CDtmfSystemData::kImageAddress == 432 && CDtmfSystemData::kRecordSize == 16);
static_assert(CScanData::kImageAddress == 528 && CScanData::kRecordSize == 32);
static_assert(CEmergencyBlock::kImageAddress == 592 && CEmergencyBlock::kRecordSize == 32);
static_assert(CTestFreqBlock::kImageAddress == 624 && CTestFreqBlock::kRecordSize == 200);
static_assert(CTuneBlock::kImageAddress == 832 && CTuneBlock::kRecordSize == 192);
static_assert(CEmbeddedBlock::kImageAddress == 1024 && CEmbeddedBlock::kRecordSize == 144);
static_assert(CChannelData::kImageAddress == kChannelListHead && CChannelData::kRecordSize == 20);

/// The consecutive slots of each list fit in front of the next mapped area.
static_assert(CPersonalityData::kImageAddress + kMaxPersonalities * CPersonalityData::kRecordSize <=
              CDtmfSystemData::kImageAddress);
static_assert(CScanData::kImageAddress + kMaxScanLists * CScanData::kRecordSize <=
              CEmergencyBlock::kImageAddress);

/// End of the channel area: the highest next link a record may hold and still continue.
constexpr uint16_t kChannelAreaEnd = 1728;
static_assert(kChannelListHead + kMaxChannels * CChannelData::kRecordSize == kChannelAreaEnd);
static_assert(kChannelAreaEnd <= kImageSize);

/// Byte of a channel record that ends the channel list when it is 0xFF (the personality index).
constexpr size_t kChannelEndMark = CChannelData::Offset::Personality;
/// Byte of the record after the last personality / scan list that is 0xFF in an unused slot
/// (loading stops there; storing fewer items than slots puts it there).
constexpr size_t kPersonalityEndMark = CPersonalityData::Offset::TxAdmit;
constexpr size_t kScanListEndMark = CScanData::Offset::Entries;

/// The layout mark every store writes.
constexpr size_t kLayoutMarkAddress = 825;
constexpr uint8_t kLayoutMark = 8;

/// Number of DTMF systems the count bits (6 and 7 of byte 6) can express.
constexpr size_t kDtmfCountModulo = 4;

template <class Block>
void LoadBlock(Block& block, const Image& image)
{
    block.Raw().CopyFrom(image.data() + Block::kImageAddress);
}

template <class Block>
void StoreBlock(const Block& block, Image& image)
{
    block.Raw().CopyTo(image.data() + Block::kImageAddress);
}

/// Number of items of one list in consecutive slots: at least one, at most `limit`, ending
/// where the record after the last item has 0xFF at `endMark`.
template <class Item>
size_t CountConsecutive(const Image& image, size_t limit, size_t endMark)
{
    for (size_t k = 0; k < limit; ++k) {
        const size_t following = Item::kImageAddress + (k + 1) * Item::kRecordSize;
        if (k + 1 == limit || image[following + endMark] == 0xFF) return k + 1;
    }
    return limit;
}

/// Reads `count` items of one list from consecutive slots.
template <class Item, class AddFn>
void LoadConsecutive(const Image& image, size_t count, AddFn add)
{
    for (size_t k = 0; k < count; ++k)
        add().Raw().CopyFrom(image.data() + Item::kImageAddress + k * Item::kRecordSize);
}

/// Writes the first `limit` items of a list to consecutive slots (the image has room for no
/// more; a longer list would overwrite the next area). When fewer items than slots are
/// written, the slot after the last item gets 0xFF at `endMark`, where LoadConsecutive stops:
/// at the service levels the image keeps its bytes, and an item deleted since the last load
/// would otherwise still stand in that slot and come back with the next load or in the radio.
/// The rest of that slot and the slots behind it keep their bytes.
template <class Item>
void StoreConsecutive(const ItemList<Item>& list, size_t limit, size_t endMark, Image& image)
{
    const size_t n = std::min(list.size(), limit);
    for (size_t k = 0; k < n; ++k)
        list[k]->Raw().CopyTo(image.data() + Item::kImageAddress + k * Item::kRecordSize);
    if (n < limit) image[Item::kImageAddress + n * Item::kRecordSize + endMark] = 0xFF;
}

/// Number of channel records from the first slot: the links only tell where the ring ends.
size_t CountChannels(const Image& image, uint16_t head)
{
    if (head < kChannelListHead || head > kChannelAreaEnd) return 0;
    for (size_t k = 0; k < kMaxChannels; ++k) {
        const uint8_t* record = image.data() + kChannelListHead + k * CChannelData::kRecordSize;
        const uint16_t next = GetU16(record + CChannelData::Offset::NextLink);
        const bool more = next >= kChannelListHead && next <= kChannelAreaEnd && next != head &&
                          record[kChannelEndMark] != 0xFF;
        if (!more) return k + 1;
    }
    return kMaxChannels;
}

void LoadChannels(RadioData& radio, const Image& image, size_t count)
{
    // A list head outside the channel area: one default channel.
    if (count == 0) {
        radio.AddChannel();
        return;
    }
    for (size_t k = 0; k < count; ++k) {
        CChannelData& channel = radio.AddChannel();
        channel.Raw().CopyFrom(image.data() + kChannelListHead + k * CChannelData::kRecordSize);
        channel.used_ = channel.RxFreq() != kNoFrequency ? 1 : 0;
    }
}

void StoreChannels(RadioData& radio, Image& image)
{
    auto& channels = radio.Channels();
    if (channels.empty()) return;
    radio.ChannelListHead() = kChannelListHead;
    constexpr uint16_t kStride = CChannelData::kRecordSize;
    const size_t n = std::min(channels.size(), kMaxChannels);
    for (size_t k = 0; k < n; ++k) {
        const uint16_t address = static_cast<uint16_t>(kChannelListHead + k * kStride);
        const uint16_t prev = k == 0 ? static_cast<uint16_t>(kChannelListHead + (n - 1) * kStride)
                                     : static_cast<uint16_t>(address - kStride);
        const uint16_t next =
            k + 1 == n ? kChannelListHead : static_cast<uint16_t>(address + kStride);
        CRawRecord& record = channels[k]->Raw();
        record.SetU16(CChannelData::Offset::PrevLink, prev);
        record.SetU16(CChannelData::Offset::NextLink, next);
        record.CopyTo(image.data() + address);
    }
}

/// The firmware number of a radio version text: the decimal digits at positions 5 and 6
/// ("1.01.16.001" gives 16). Nothing when there is no digit at position 5.
std::optional<int> FirmwareNumber(const std::string& version)
{
    constexpr size_t kFirst = 5;
    constexpr size_t kDigits = 2;
    int n = 0;
    size_t digits = 0;
    for (size_t i = kFirst; i < kFirst + kDigits && i < version.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(version[i]))) break;
        n = n * 10 + (version[i] - '0');
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return n;
}

}  // namespace

ImageListCounts CountListItems(const std::array<uint8_t, 2048>& image, uint16_t head)
{
    ImageListCounts counts;
    counts.channels = CountChannels(image, head);
    counts.personalities =
        CountConsecutive<CPersonalityData>(image, kMaxPersonalities, kPersonalityEndMark);
    counts.scanLists = CountConsecutive<CScanData>(image, kMaxScanLists, kScanListEndMark);
    return counts;
}

void CMemoryMap::LoadFromImage(const std::array<uint8_t, 2048>& image)
{
    RadioData& radio = Radio();
    // Entries of the invalid log that name items about to be destroyed could never be
    // withdrawn again.
    radio.ClearLists();

    const ImageListCounts counts = CountListItems(image, radio.ChannelListHead());
    LoadChannels(radio, image, counts.channels);
    LoadBlock(radio.TestFreq(), image);
    radio.TestFreq().LoadTexts();
    LoadBlock(radio.RadioInfo(), image);
    LoadConsecutive<CPersonalityData>(
        image, counts.personalities, [&]() -> CPersonalityData& { return radio.AddPersonality(); });
    LoadConsecutive<CScanData>(image, counts.scanLists,
                               [&]() -> CScanData& { return radio.AddScanList(); });
    LoadBlock(radio.Embedded(), image);
    LoadBlock(radio.Keys(), image);
    LoadBlock(radio.Vox(), image);
    LoadBlock(radio.Mic(), image);
    LoadBlock(radio.Misc(), image);
    LoadBlock(radio.Mode(), image);
    LoadBlock(radio.Volume(), image);
    LoadBlock(radio.AddDtmfSystem(), image);
    LoadBlock(radio.Emergency(), image);
    LoadBlock(radio.Tune(), image);
    ResolveAllLinks();
}

void CMemoryMap::StoreToImage(std::array<uint8_t, 2048>& image)
{
    RadioData& radio = Radio();
    // At every user level the image keeps what was loaded from the file or the radio: bytes no
    // field covers (unmapped areas, reserved bits) go back exactly as they came.

    StoreBlock(radio.RadioInfo(), image);
    StoreBlock(radio.Keys(), image);
    StoreBlock(radio.Vox(), image);
    StoreBlock(radio.Mic(), image);
    StoreBlock(radio.Misc(), image);
    StoreBlock(radio.Mode(), image);
    StoreBlock(radio.Volume(), image);
    StoreChannels(radio, image);
    // The count of each list is its end mark in the slot after the last item.
    StoreConsecutive(radio.Personalities(), kMaxPersonalities, kPersonalityEndMark, image);
    StoreConsecutive(radio.ScanLists(), kMaxScanLists, kScanListEndMark, image);
    StoreBlock(radio.TestFreq(), image);
    StoreBlock(radio.Embedded(), image);
    auto& systems = radio.DtmfSystems();
    if (!systems.empty()) {
        // The image has one DTMF slot; bits 6-7 of its byte 6 hold the number of systems - 1.
        const unsigned count = static_cast<unsigned>((systems.size() - 1) % kDtmfCountModulo);
        CRawRecord& record = systems.front()->Raw();
        record.SetBits(CDtmfSystemData::Offset::Options, CDtmfSystemData::OptionBit::CountFirst, 2,
                       count);
        record.CopyTo(image.data() + CDtmfSystemData::kImageAddress);
    }
    StoreBlock(radio.Emergency(), image);
    StoreBlock(radio.Tune(), image);
    image[kLayoutMarkAddress] = kLayoutMark;
}

void CMemoryMap::ResolveAllLinks()
{
    RadioData& radio = Radio();
    for (auto& item : radio.Channels()) item->ResolveLinks();
    for (auto& item : radio.ScanLists()) item->ResolveLinks();
    for (auto& item : radio.Personalities()) item->ResolveLinks();
    for (auto& item : radio.DtmfSystems()) item->ResolveLinks();
    radio.Misc().ResolveLinks();
    radio.Emergency().ResolveLinks();
}

void CMemoryMap::PrepareImage()
{
    if (storeViewsHook) storeViewsHook();
    StoreToImage(Radio().MemoryImage());
}

std::array<uint8_t, 2048> CMemoryMap::PackedImage(bool storeViews)
{
    if (storeViews && storeViewsHook) storeViewsHook();
    std::array<uint8_t, 2048> image = Radio().MemoryImage();
    StoreToImage(image);
    return image;
}

void ApplyFirmwareAdjustments(std::array<uint8_t, 2048>& image, const std::string& radioVersion)
{
    const CSettings& settings = Settings();
    if (settings.IsSecondEdition()) return;
    // A version text too short to carry a firmware number says nothing about old firmware:
    // the image is sent as stored.
    const std::optional<int> firmware = FirmwareNumber(radioVersion);
    if (!firmware) return;

    // Firmware below 15: the battery-save delay value moves from misc byte 5 to byte 7 (in
    // the block too) and byte 5 is sent as 0.
    constexpr int kMovedBatterySaveBelow = 15;
    constexpr size_t kMiscOldDelay = 7;
    if (*firmware < kMovedBatterySaveBelow) {
        CMiscBlock& misc = Radio().Misc();
        CRawRecord& record = misc.Raw();
        record[kMiscOldDelay] = record[CMiscBlock::Offset::kBatterySaveDelay];
        StoreBlock(misc, image);
        image[CMiscBlock::kImageAddress + CMiscBlock::Offset::kBatterySaveDelay] = 0;
    }

    // Firmware below 21, other than the RQ070 build: a value above 9 in volume byte 2 is sent
    // as 0xFF.
    constexpr int kWideVolumeFrom = 21;
    constexpr size_t kBuildSuffixAt = 11;
    constexpr size_t kVolumeLimitedByte = 2;
    constexpr uint8_t kVolumeOldMax = 9;
    const std::string build =
        radioVersion.size() > kBuildSuffixAt ? radioVersion.substr(kBuildSuffixAt) : std::string();
    if (*firmware < kWideVolumeFrom && build != "RQ070" &&
        Radio().Volume().Raw()[kVolumeLimitedByte] > kVolumeOldMax)
        image[CVolumeBlock::kImageAddress + kVolumeLimitedByte] = 0xFF;
}

}  // namespace rv
