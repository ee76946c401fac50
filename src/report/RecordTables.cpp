#include "report/RecordTables.h"

#include "data/RadioData.h"
#include "editors/channel/ChannelFieldTable.h"
#include "editors/dtmf/DtmfFieldTable.h"
#include "editors/emergency/EmergencyFieldTable.h"
#include "editors/general/MicFieldTable.h"
#include "editors/general/MiscFieldTable.h"
#include "editors/general/ModeFieldTable.h"
#include "editors/general/VolumeFieldTable.h"
#include "editors/general/VoxFieldTable.h"
#include "editors/keys/KeyFieldTable.h"
#include "editors/personality/PersonalityFieldTable.h"
#include "editors/radio/RadioInfoFieldTable.h"
#include "editors/scan/ScanFieldTable.h"
#include "service/EmbeddedFieldTable.h"
#include "service/TestFreqFieldTable.h"
#include "service/TuneFieldTable.h"

namespace rv {

namespace {

template <class T>
std::vector<CRawRecord*> Items(ItemList<T>& list)
{
    std::vector<CRawRecord*> out;
    for (auto& item : list) out.push_back(&item->Raw());
    return out;
}

constexpr RecordKind kKinds[] = {
    {&kRadioInfoFieldTable, nullptr, CRadioInfoBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.RadioInfo().Raw()}; }},
    {&kKeyFieldTable, nullptr, CKeyBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Keys().Raw()}; }},
    {&kVolumeFieldTable, nullptr, CVolumeBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Volume().Raw()}; }},
    {&kMicFieldTable, nullptr, CMicBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Mic().Raw()}; }},
    {&kVoxFieldTable, nullptr, CVoxBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Vox().Raw()}; }},
    {&kMiscFieldTable, nullptr, CMiscBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Misc().Raw()}; }},
    {&kModeFieldTable, nullptr, CModeBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Mode().Raw()}; }},
    {&kPersonalityFieldTable, "personalities", CPersonalityData::kImageAddress,
     [](RadioData& r) { return Items(r.Personalities()); }},
    {&kDtmfFieldTable, "dtmf_systems", CDtmfSystemData::kImageAddress,
     [](RadioData& r) { return Items(r.DtmfSystems()); }},
    {&kScanFieldTable, "scan_lists", CScanData::kImageAddress,
     [](RadioData& r) { return Items(r.ScanLists()); }},
    {&kEmergencyFieldTable, nullptr, CEmergencyBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Emergency().Raw()}; }},
    {&kTestFreqFieldTable, nullptr, CTestFreqBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.TestFreq().Raw()}; }},
    {&kTuneFieldTable, nullptr, CTuneBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Tune().Raw()}; }},
    {&kEmbeddedFieldTable, nullptr, CEmbeddedBlock::kImageAddress,
     [](RadioData& r) { return std::vector<CRawRecord*>{&r.Embedded().Raw()}; }},
    {&kChannelFieldTable, "channels", CChannelData::kImageAddress,
     [](RadioData& r) { return Items(r.Channels()); }},
};

/// Records lie in image order, each kind after the room of the one before.
constexpr bool InImageOrder()
{
    for (size_t i = 1; i < std::size(kKinds); ++i)
        if (kKinds[i - 1].address + kKinds[i - 1].table->recordSize > kKinds[i].address)
            return false;
    return true;
}
static_assert(InImageOrder());

}  // namespace

std::span<const RecordKind> RecordKinds()
{
    return kKinds;
}

std::vector<RecordEntry> AllRecords(RadioData& radio)
{
    std::vector<RecordEntry> out;
    for (const RecordKind& kind : kKinds) {
        const std::vector<CRawRecord*> records = kind.records(radio);
        for (size_t k = 0; k < records.size(); ++k)
            out.push_back({&kind, kind.listName ? k + 1 : 0,
                           kind.address + k * kind.table->recordSize, BytesOf(*records[k])});
    }
    return out;
}

}  // namespace rv
