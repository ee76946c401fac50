#include "data/RadioData.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "data/PrintSelection.h"
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
#include "editors/radio/FactoryBlock.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/scan/ScanData.h"
#include "service/EmbeddedBlock.h"
#include "service/TestFreqBlock.h"
#include "service/TuneBlock.h"

namespace rv {

namespace {

/// Number of channels a default configuration holds.
constexpr size_t kDefaultChannels = 16;

template <class T>
T* FindById(const ItemList<T>& list, uint32_t id)
{
    for (const auto& item : list)
        if (item->id_ == id) return item.get();
    return nullptr;
}

template <class T>
size_t NumberOf(const ItemList<T>& list, uint32_t id)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->id_ == id) return i + 1;
    return 0;
}

/// Hands a notice to every item of a list. The identities are taken before the first call;
/// each item is looked up again just before its turn, so an item that an earlier handler
/// removed (and destroyed) is skipped, and items added by a handler wait for the next notice.
template <class T>
void NotifyList(ItemList<T>& list, const NoticeRecord& notice)
{
    std::vector<uint32_t> ids;
    ids.reserve(list.size());
    for (const auto& item : list) ids.push_back(item->id_);
    for (uint32_t id : ids)
        if (T* item = FindById(list, id)) item->OnNotice(notice);
}

template <class T>
void WithdrawAndClear(ItemList<T>& list)
{
    for (auto& item : list) item->WithdrawNotices();
    list.clear();
}

}  // namespace

RadioData& RadioData::Instance()
{
    static RadioData instance;
    return instance;
}

RadioData::RadioData()
    : radioInfo_(std::make_unique<CRadioInfoBlock>()),
      keys_(std::make_unique<CKeyBlock>()),
      misc_(std::make_unique<CMiscBlock>()),
      vox_(std::make_unique<CVoxBlock>()),
      volume_(std::make_unique<CVolumeBlock>()),
      mic_(std::make_unique<CMicBlock>()),
      mode_(std::make_unique<CModeBlock>()),
      testFreq_(std::make_unique<CTestFreqBlock>()),
      embedded_(std::make_unique<CEmbeddedBlock>()),
      factory_(std::make_unique<CFactoryBlock>()),
      printSelection_(std::make_unique<CPrintSelection>()),
      emergency_(std::make_unique<CEmergencyBlock>()),
      tune_(std::make_unique<CTuneBlock>())
{
    image_.fill(0xFF);
}

RadioData::~RadioData() = default;

CChannelData& RadioData::AddChannel()
{
    // The band defaults depend on the position the channel takes.
    channels_.push_back(std::make_unique<CChannelData>(channels_.size(), channelDefaultsDivisor_));
    return *channels_.back();
}

CPersonalityData& RadioData::AddPersonality()
{
    personalities_.push_back(std::make_unique<CPersonalityData>());
    return *personalities_.back();
}

CScanData& RadioData::AddScanList()
{
    scanLists_.push_back(std::make_unique<CScanData>());
    return *scanLists_.back();
}

CDtmfSystemData& RadioData::AddDtmfSystem()
{
    dtmfSystems_.push_back(std::make_unique<CDtmfSystemData>());
    return *dtmfSystems_.back();
}

size_t RadioData::ChannelNumberOf(uint32_t id) const
{
    return NumberOf(channels_, id);
}
size_t RadioData::PersonalityNumberOf(uint32_t id) const
{
    return NumberOf(personalities_, id);
}
CChannelData* RadioData::FindChannel(uint32_t id) const
{
    return FindById(channels_, id);
}
CPersonalityData* RadioData::FindPersonality(uint32_t id) const
{
    return FindById(personalities_, id);
}
CDtmfSystemData* RadioData::FindDtmfSystem(uint32_t id) const
{
    return FindById(dtmfSystems_, id);
}

CScanData* RadioData::FindScanList(uint32_t id) const
{
    return FindById(scanLists_, id);
}

void RadioData::ClearLists()
{
    // Entries of the invalid log that name a destroyed item could never be resolved again.
    WithdrawAndClear(channels_);
    WithdrawAndClear(personalities_);
    WithdrawAndClear(scanLists_);
    WithdrawAndClear(dtmfSystems_);
    // Identities are never reused: the aliases of destroyed channels could never show again.
    channelAliases_.clear();
}

void RadioData::SetDefaults()
{
    channelListHead_ = kChannelListHead;
    AddPersonality();
    AddScanList();
    for (size_t i = 0; i < kDefaultChannels; ++i) AddChannel();
    keys_->SetDefaults();
    misc_->SetDefaults();
    vox_->SetDefaults();
    mic_->SetDefaults();
    volume_->SetDefaults();
    mode_->SetDefaults();
    embedded_->SetDefaults();
    radioInfo_->SetDefaults();
    // The factory block holds no data of its own.
    testFreq_->SetDefaults();
    AddDtmfSystem();
    emergency_->SetDefaults();
    tune_->SetDefaults();
    memoryMap_.ResolveAllLinks();
}

void RadioData::ResetChannelData()
{
    WithdrawAndClear(channels_);
    WithdrawAndClear(scanLists_);
    AddScanList();
    for (size_t i = 0; i < kDefaultChannels; ++i) AddChannel();
    testFreq_->SetDefaults();
    radioInfo_->SetDefaults();
    memoryMap_.ResolveAllLinks();
}

void RadioData::Notify(const NoticeRecord& notice)
{
    NotifyList(channels_, notice);
    NotifyList(scanLists_, notice);
    NotifyList(dtmfSystems_, notice);
    emergency_->OnNotice(notice);
    keys_->OnNotice(notice);
}

bool RadioData::ValidateAll()
{
    if (commitFocusHook) commitFocusHook();
    invalidLog_.Clear();
    NoticeRecord check;
    check.sender = nullptr;
    check.itemTextId = 1;
    check.code = NoticeCode::Deleted;
    Notify(check);
    if (invalidLog_.Empty()) return false;
    if (showInvalidLogHook) showInvalidLogHook();
    return true;
}

uint32_t RadioData::DtmfSystemIdAt(uint8_t signalType, uint8_t index) const
{
    // Only the DTMF ID type (2) carries a DTMF system; the page fills its box and the check
    // looks for it for that type alone.
    constexpr uint8_t kDtmfSignalType = 2;
    if (signalType != kDtmfSignalType || index >= dtmfSystems_.size()) return 0;
    const auto& system = dtmfSystems_[index];
    return system->used_ ? system->id_ : 0;
}

std::string RadioData::ChannelAlias(uint32_t channelId) const
{
    const auto it = channelAliases_.find(channelId);
    return it == channelAliases_.end() ? std::string() : it->second;
}

void RadioData::SetChannelAlias(uint32_t channelId, std::string alias)
{
    if (alias.empty())
        channelAliases_.erase(channelId);
    else
        channelAliases_[channelId] = std::move(alias);
}

std::vector<std::string> RadioData::ChannelAliasesByPosition() const
{
    std::vector<std::string> aliases;
    for (const auto& channel : channels_) aliases.push_back(ChannelAlias(channel->id_));
    while (!aliases.empty() && aliases.back().empty()) aliases.pop_back();
    return aliases;
}

void RadioData::SetChannelAliasesByPosition(const std::vector<std::string>& aliases)
{
    channelAliases_.clear();
    for (size_t i = 0; i < channels_.size() && i < aliases.size(); ++i)
        SetChannelAlias(channels_[i]->id_, aliases[i]);
}

int SelectItemById(const std::vector<ItemEntry>& entries, uint32_t id)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].id == id) return static_cast<int>(i);
    return -1;
}

bool SplitTrailingNumber(const std::string& text, std::string& head, int& number)
{
    size_t start = text.size();
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
    if (start == text.size() || start == 0) return false;
    int value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(first, last, value);
    // A number too large for an int names no item; refuse it rather than wrap around.
    if (ec != std::errc() || end != last) return false;
    head = text.substr(0, start);
    number = value;
    return true;
}

}  // namespace rv
