#pragma once
// The one radio data object: the 2048-byte memory image, one block per settings category and
// the four item lists (channels, personalities, scan lists, DTMF systems). Every editor, the
// document, the radio link and printing read and change the configuration through it.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data/InvalidLog.h"
#include "data/MemoryMap.h"
#include "data/Notice.h"

namespace rv {

class CRadioInfoBlock;
class CKeyBlock;
class CMiscBlock;
class CVoxBlock;
class CVolumeBlock;
class CMicBlock;
class CModeBlock;
class CTestFreqBlock;
class CEmbeddedBlock;
class CFactoryBlock;
class CPrintSelection;
class CEmergencyBlock;
class CTuneBlock;
class CChannelData;
class CPersonalityData;
class CScanData;
class CDtmfSystemData;

/// Size of the radio's configuration memory.
inline constexpr size_t kImageSize = 2048;
/// Image address of the first channel record (the channel list head).
inline constexpr uint16_t kChannelListHead = 1408;
/// Largest number of items per list.
inline constexpr size_t kMaxChannels = 16;
inline constexpr size_t kMaxPersonalities = 16;
inline constexpr size_t kMaxScanLists = 2;

using Image = std::array<uint8_t, kImageSize>;

/// One (text, id) entry of a combo box listing items of a list.
struct ItemEntry {
    std::string text;
    uint32_t id = 0;
};

/// An owning list of items in list order.
template <class T>
using ItemList = std::vector<std::unique_ptr<T>>;

class RadioData {
public:
    /// The one radio data object, constructed with every block at its defaults, empty lists
    /// and an image of 0xFF.
    static RadioData& Instance();
    ~RadioData();
    RadioData(const RadioData&) = delete;
    RadioData& operator=(const RadioData&) = delete;

    // Memory image and converter.
    Image& MemoryImage() { return image_; }
    const Image& MemoryImage() const { return image_; }
    CMemoryMap& MemoryMap() { return memoryMap_; }

    // Blocks.
    CRadioInfoBlock& RadioInfo() { return *radioInfo_; }
    uint16_t& ChannelListHead() { return channelListHead_; }
    CKeyBlock& Keys() { return *keys_; }
    CMiscBlock& Misc() { return *misc_; }
    CVoxBlock& Vox() { return *vox_; }
    CVolumeBlock& Volume() { return *volume_; }
    CMicBlock& Mic() { return *mic_; }
    CModeBlock& Mode() { return *mode_; }
    CTestFreqBlock& TestFreq() { return *testFreq_; }
    CEmbeddedBlock& Embedded() { return *embedded_; }
    CFactoryBlock& Factory() { return *factory_; }
    CPrintSelection& PrintSelection() { return *printSelection_; }
    CEmergencyBlock& Emergency() { return *emergency_; }
    CTuneBlock& Tune() { return *tune_; }

    // Lists.
    ItemList<CChannelData>& Channels() { return channels_; }
    ItemList<CPersonalityData>& Personalities() { return personalities_; }
    ItemList<CScanData>& ScanLists() { return scanLists_; }
    ItemList<CDtmfSystemData>& DtmfSystems() { return dtmfSystems_; }
    /// Appends a new default item (with a new identity) and returns it.
    CChannelData& AddChannel();
    CPersonalityData& AddPersonality();
    CScanData& AddScanList();
    CDtmfSystemData& AddDtmfSystem();
    /// 1-based position of the item with this identity, 0 when it is not in the list.
    size_t ChannelNumberOf(uint32_t id) const;
    size_t PersonalityNumberOf(uint32_t id) const;
    /// The item with this identity, nullptr when none.
    CChannelData* FindChannel(uint32_t id) const;
    CPersonalityData* FindPersonality(uint32_t id) const;
    CDtmfSystemData* FindDtmfSystem(uint32_t id) const;
    CScanData* FindScanList(uint32_t id) const;

    /// Removes and destroys every item of the four lists.
    void ClearLists();
    /// Fills every block and list with the defaults (appends: call ClearLists first).
    void SetDefaults();
    /// Replaces the channels and scan lists by defaults and resets the test frequencies and
    /// radio information (a radio of another frequency range was connected).
    void ResetChannelData();

    /// Hands a notice to every channel, scan list, DTMF system, the emergency and key blocks.
    void Notify(const NoticeRecord& notice);
    /// Re-checks every reference; true when the invalid log has rows afterwards.
    bool ValidateAll();
    CInvalidLog& InvalidLog() { return invalidLog_; }
    /// Run first by ValidateAll so that an editor that commits on losing focus stores its input
    /// (the GUI moves the keyboard focus).
    std::function<void()> commitFocusHook;
    /// Run by ValidateAll when it found invalid entries (the GUI shows the invalid-log pane).
    std::function<void()> showInvalidLogHook;

    /// Forgets the divisor that the channel defaults latched for a band too narrow for all
    /// default channels, as at program start. The divisor is kept for the whole run
    /// otherwise, across New and Open.
    void ResetChannelDefaultsLatch() { channelDefaultsDivisor_ = 0; }

    /// The alias (name) the user gave a channel: saved in the data file's extra chunk with
    /// the channel's position, never written to the radio (it has no place for it). "" when
    /// none.
    std::string ChannelAlias(uint32_t channelId) const;
    /// Sets a channel's alias ("" removes it).
    void SetChannelAlias(uint32_t channelId, std::string alias);
    /// The alias of each channel by list position (without trailing empty ones).
    std::vector<std::string> ChannelAliasesByPosition() const;
    /// Forgets every alias, then gives channel i the alias i (the rest get none).
    void SetChannelAliasesByPosition(const std::vector<std::string>& aliases);

    /// DTMF system identity for an emergency signal type and index: 0 unless the type is 2 (DTMF),
    /// the index names an item of the list and that item is used.
    uint32_t DtmfSystemIdAt(uint8_t signalType, uint8_t index) const;

private:
    RadioData();

    Image image_{};
    CMemoryMap memoryMap_;
    std::unique_ptr<CRadioInfoBlock> radioInfo_;
    uint16_t channelListHead_ = kChannelListHead;
    std::unique_ptr<CKeyBlock> keys_;
    std::unique_ptr<CMiscBlock> misc_;
    std::unique_ptr<CVoxBlock> vox_;
    std::unique_ptr<CVolumeBlock> volume_;
    std::unique_ptr<CMicBlock> mic_;
    std::unique_ptr<CModeBlock> mode_;
    std::unique_ptr<CTestFreqBlock> testFreq_;
    std::unique_ptr<CEmbeddedBlock> embedded_;
    std::unique_ptr<CFactoryBlock> factory_;
    std::unique_ptr<CPrintSelection> printSelection_;
    std::unique_ptr<CEmergencyBlock> emergency_;
    std::unique_ptr<CTuneBlock> tune_;
    ItemList<CChannelData> channels_;
    ItemList<CPersonalityData> personalities_;
    ItemList<CScanData> scanLists_;
    ItemList<CDtmfSystemData> dtmfSystems_;
    CInvalidLog invalidLog_;
    /// Divisor of the channel defaults (0 until a band too narrow for them was met).
    size_t channelDefaultsDivisor_ = 0;
    /// Channel aliases by channel identity.
    std::unordered_map<uint32_t, std::string> channelAliases_;
};

/// Most items a list can hold; 0 for a list without a limit of its own.
template <class T>
constexpr size_t ListCapacity(const ItemList<T>&)
{
    return 0;
}
constexpr size_t ListCapacity(const ItemList<CChannelData>&)
{
    return kMaxChannels;
}
constexpr size_t ListCapacity(const ItemList<CPersonalityData>&)
{
    return kMaxPersonalities;
}
constexpr size_t ListCapacity(const ItemList<CScanData>&)
{
    return kMaxScanLists;
}

/// (text, id) entries for every used item of a list: prefix + "%d" of its 1-based position.
template <class T>
std::vector<ItemEntry> FillItemCombo(const ItemList<T>& list, const std::string& prefix)
{
    std::vector<ItemEntry> out;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->used_) out.push_back({prefix + std::to_string(i + 1), list[i]->id_});
    return out;
}
/// Index of the entry whose id equals id, or -1 (no selection).
int SelectItemById(const std::vector<ItemEntry>& entries, uint32_t id);
/// Splits "Channel 12" into ("Channel ", 12); false when the text does not end in digits or
/// consists of digits only.
bool SplitTrailingNumber(const std::string& text, std::string& head, int& number);

/// Shorthand for RadioData::Instance().
inline RadioData& Radio()
{
    return RadioData::Instance();
}

}  // namespace rv
