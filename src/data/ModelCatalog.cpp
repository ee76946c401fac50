#include "data/ModelCatalog.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "base/Bytes.h"
#include "base/IniFile.h"
#include "base/Settings.h"

namespace rv {

namespace {

constexpr const char* kSettingSection = "Setting";
constexpr const char* kModelIdKey = "ModelID";
constexpr const char* kNumberKey = "Number";
/// 10 Hz units per MHz.
constexpr uint32_t kUnitsPerMHz = 100000;

/// Offsets of the range record a radio reports.
struct RadioRangeOffset {
    static constexpr size_t BandCode = 0;
    static constexpr size_t Low = 1;
    static constexpr size_t High = 5;
};
static_assert(RadioRangeOffset::High + 4 == kRadioRangeSize);

std::string FreqKey(size_t n) { return "Freq" + std::to_string(n); }

std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

/// The non-empty items of a comma-separated list, trimmed.
std::vector<std::string> SplitList(const std::string& s)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(',', start);
        if (end == std::string::npos) end = s.size();
        std::string item = Trim(s.substr(start, end - start));
        if (!item.empty()) out.push_back(item);
        start = end + 1;
    }
    return out;
}

/// Replaces the "%d" placeholders of a language text in order; a text without them (a
/// translation that leaves them out) is shown as it is.
std::string FillNumbers(std::string text, std::initializer_list<int> values)
{
    size_t pos = 0;
    for (int v : values) {
        pos = text.find("%d", pos);
        if (pos == std::string::npos) break;
        std::string s = std::to_string(v);
        text.replace(pos, 2, s);
        pos += s.size();
    }
    return text;
}

/// "Number" of a section: missing or below 1 counts as 1.
int SectionNumber(const CIniFile& ini, const std::string& modelId)
{
    int number = ini.GetInt(modelId, kNumberKey, 1);
    return number < 1 ? 1 : number;
}

/// The ranges of a section; `fromFile` gets how many came from keys (the rest is the fallback).
std::vector<FreqRangeRecord> RangesOf(const CIniFile& ini, const std::string& modelId,
                                      size_t& fromFile)
{
    std::vector<FreqRangeRecord> table;
    fromFile = 0;
    const size_t number = static_cast<size_t>(SectionNumber(ini, modelId));
    // The table grows only by keys that exist, so a huge "Number" cannot make a huge table.
    for (size_t i = 0; i < number; ++i) {
        FreqRangeRecord record;
        if (modelId.empty() || !ini.HasKey(modelId, FreqKey(i)) ||
            !ParseRangeRecord(ini.GetString(modelId, FreqKey(i)), record)) {
            table.push_back(kFallbackRange);
            break;
        }
        table.push_back(record);
        ++fromFile;
    }
    return table;
}

}  // namespace

std::string FormatRangeRecord(const FreqRangeRecord& r)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "%d, %d, %d, %d, %d", r.low, r.high, r.low2, r.high2,
                  static_cast<int>(r.bandCode));
    return buf;
}

bool ParseRangeRecord(const std::string& text, FreqRangeRecord& record)
{
    int v[5] = {0, 0, 0, 0, 0};
    int n = std::sscanf(text.c_str(), " %d , %d , %d , %d , %d", &v[0], &v[1], &v[2], &v[3], &v[4]);
    if (n < 1) return false;
    record = {v[0], v[1], v[2], v[3], static_cast<uint8_t>(v[4] & 0xFF)};
    return true;
}

CModelCatalog& CModelCatalog::Instance()
{
    static CModelCatalog catalog;
    return catalog;
}

CModelCatalog::CModelCatalog() { Reset(); }

void CModelCatalog::Reset()
{
    table_.assign(1, kFallbackRange);
    tableModelId_.clear();
}

std::string CModelCatalog::Path() const { return Settings().ModelDatPath(); }

std::vector<std::string> CModelCatalog::ModelIds() const
{
    CIniFile ini;
    ini.Load(Path());
    return SplitList(ini.GetString(kSettingSection, kModelIdKey).substr(0, 1024));
}

std::vector<std::string> CModelCatalog::ModelNames(const std::string& modelId) const
{
    if (modelId.empty()) return {};
    CIniFile ini;
    ini.Load(Path());
    return SplitList(ini.GetString(kSettingSection, modelId));
}

std::vector<std::string> CModelCatalog::AllModelNames() const
{
    std::vector<std::string> out;
    for (const std::string& id : ModelIds())
        for (std::string& name : ModelNames(id)) out.push_back(std::move(name));
    return out;
}

std::string CModelCatalog::FindModelIdByName(const std::string& name) const
{
    for (const std::string& id : ModelIds())
        for (const std::string& n : ModelNames(id))
            if (n == name) return id;
    return {};
}

std::vector<FreqRangeRecord> CModelCatalog::ReadRanges(const std::string& modelId) const
{
    CIniFile ini;
    ini.Load(Path());
    size_t fromFile = 0;
    return RangesOf(ini, modelId, fromFile);
}

std::vector<RangeEntry> CModelCatalog::RangeEntries(const std::string& modelId) const
{
    std::vector<RangeEntry> out;
    for (const FreqRangeRecord& r : ReadRanges(modelId))
        out.push_back({FormatRange(r.low, r.high), r.bandCode});
    return out;
}

bool CModelCatalog::IsRangeOfModel(const std::string& modelId, const std::string& range) const
{
    for (const RangeEntry& e : RangeEntries(modelId))
        if (e.text == range) return true;
    return false;
}

int CModelCatalog::LoadRangeTable(const std::string& modelId)
{
    try {
        table_ = ReadRanges(modelId);
        tableModelId_ = modelId;
        return 0;
    } catch (const std::bad_alloc&) {
        Reset();
        return CatalogMessage::kRangeTableFailed;
    }
}

int CModelCatalog::LoadRangeTable() { return LoadRangeTable(Settings().ModelID()); }

bool CModelCatalog::RangeIsKnown(int low, int high) const
{
    for (const FreqRangeRecord& r : table_)
        if (r.low == low && r.high == high) return true;
    return false;
}

uint8_t CModelCatalog::BandCodeOf(int low, int high) const
{
    for (const FreqRangeRecord& r : table_)
        if (r.low == low && r.high == high) return r.bandCode;
    return 0;
}

uint8_t CModelCatalog::CurrentBandCode() const
{
    int low = 0, high = 0;
    if (!ParseRange(Settings().FreqRange(), low, high)) return 0;
    return BandCodeOf(low, high);
}

FreqRangeRecord CModelCatalog::RangeFromRadio(std::span<const uint8_t, kRadioRangeSize> bytes)
{
    int low = static_cast<int>(FromBcd(GetU32(&bytes[RadioRangeOffset::Low])) / kUnitsPerMHz);
    int high = static_cast<int>(FromBcd(GetU32(&bytes[RadioRangeOffset::High])) / kUnitsPerMHz);
    if (low < kRadioRangeFloor) low = kRadioRangeFloor;
    if (high < kRadioRangeFloor) high = kRadioRangeDefaultHigh;
    return {low, high, low, high, bytes[RadioRangeOffset::BandCode]};
}

bool CModelCatalog::AddRange(const FreqRangeRecord& record)
{
    const std::string& modelId = Settings().ModelID();
    if (modelId.empty()) return false;
    CIniFile ini;
    ini.Load(Path());
    // The new range takes the first key the table did not find, so that the next load reads
    // it: in a complete section that is "Freq<Number>", and "Number" grows by one. A section
    // with a gap (Number=3 but only Freq0) gets the record at the gap instead of behind it,
    // where the reader, which stops at the first missing key, would never see it.
    size_t fromFile = 0;
    RangesOf(ini, modelId, fromFile);
    const int oldNumber = ini.HasKey(modelId, kNumberKey) ? SectionNumber(ini, modelId) : 0;
    const int newNumber = std::max(oldNumber, static_cast<int>(fromFile) + 1);
    ini.SetString(modelId, kNumberKey, std::to_string(newNumber));
    ini.SetString(modelId, FreqKey(fromFile), FormatRangeRecord(record));
    return ini.Save(Path());
}

std::string CModelCatalog::NewRangeQuestion(int low, int high) const
{
    return FillNumbers(Settings().LoadMessage(CatalogMessage::kNewRangeQuestion), {low, high});
}

AddRangeResult CModelCatalog::AskAddRange(FreqRangeRecord record, const AskYesNoFn& ask)
{
    if (RangeIsKnown(record.low, record.high)) return AddRangeResult::Known;
    const bool yes = ask && ask(CatalogMessage::kNewRangeQuestion,
                                NewRangeQuestion(record.low, record.high));
    Settings().SetLastRangeAnswer(yes ? kAnswerYes : kAnswerNo);
    if (!yes) return AddRangeResult::Declined;
    record.low2 = record.low;
    record.high2 = record.high;
    AddRange(record);
    LoadRangeTable();
    return AddRangeResult::Added;
}

ModelChange CModelCatalog::ClassifyModelChange(const ModelIdentity& chosen,
                                               const ModelIdentity& current)
{
    if (chosen == current) return ModelChange::None;
    if (chosen.id == current.id && chosen.range == current.range &&
        chosen.signal == current.signal)
        return ModelChange::NameOnly;
    return ModelChange::Model;
}

ModelIdentity CModelCatalog::CurrentIdentity()
{
    const CSettings& s = Settings();
    return {s.ModelID(), s.ModelName(), s.FreqRange(), s.Signal()};
}

int CModelCatalog::SignalEntryFor(const std::string& modelId)
{
    if (modelId.empty()) return -1;
    const CSettings& s = Settings();
    if (modelId == s.LoadModelText(ModelText::Rv205)) return 1;
    if (modelId == s.LoadModelText(ModelText::FirstEdition) ||
        modelId == s.LoadModelText(ModelText::SecondEdition))
        return 0;
    return -1;
}

}  // namespace rv
