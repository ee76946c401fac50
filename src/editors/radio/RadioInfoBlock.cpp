#include "editors/radio/RadioInfoBlock.h"

#include <algorithm>
#include <cstdio>

#include "base/Bytes.h"
#include "data/ModelCatalog.h"
#include "base/Settings.h"

namespace rv {

namespace {

/// Serial number of a new record: sixteen dashes.
constexpr std::string_view kBlankSerial = "----------------";
static_assert(kBlankSerial.size() == CRadioInfoBlock::Offset::kSerialNumberWidth);

constexpr uint8_t kBandFlagBit = 7;

/// Band code of the current range in the current model's range table; 0 when the table has
/// no such range. The table is read from the catalogue so that defaults made before the main
/// window loaded it (start-up, command line) get the same code.
uint8_t CurrentBandCode()
{
    const CSettings& s = Settings();
    CModelCatalog& catalog = ModelCatalog();
    if (catalog.TableModelId() == s.ModelID()) return catalog.CurrentBandCode();
    const int low = s.CurrentRangeLow(), high = s.CurrentRangeHigh();
    for (const FreqRangeRecord& range : catalog.ReadRanges(s.ModelID()))
        if (range.low == low && range.high == high) return range.bandCode;
    return 0;
}

}  // namespace

CRadioInfoBlock::CRadioInfoBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CRadioInfoBlock::SetDefaults()
{
    const CSettings& s = Settings();
    record_.Fill(0xFF);
    SetModelName(s.ModelName());
    SetBandCode(CurrentBandCode());
    SetLanguage(0);
    SetLowerEdgeBcd(ToBcd(static_cast<uint32_t>(std::max(0, s.CurrentRangeLow())) * 100000u));
    SetUpperEdgeBcd(ToBcd(static_cast<uint32_t>(std::max(0, s.CurrentRangeHigh())) * 100000u));
    record_.SetText(Offset::kSerialNumber, Offset::kSerialNumberWidth, kBlankSerial);
    SetTimeStamp(CurrentTimeStamp());
    SetSignalType(static_cast<uint8_t>(s.Signal()));
}

std::string CRadioInfoBlock::ModelName() const
{
    return record_.Text(Offset::kModelName, Offset::kModelNameWidth);
}

void CRadioInfoBlock::SetModelName(std::string_view name)
{
    record_.SetText(Offset::kModelName, Offset::kModelNameWidth, name, 0);
}

uint8_t CRadioInfoBlock::BandCode() const { return record_[Offset::kBandCode]; }
void CRadioInfoBlock::SetBandCode(uint8_t code) { record_[Offset::kBandCode] = code; }
bool CRadioInfoBlock::BandFlag() const { return record_.Bit(Offset::kBandCode, kBandFlagBit); }
uint8_t CRadioInfoBlock::RangeId() const
{
    return static_cast<uint8_t>(record_.Bits(Offset::kBandCode, 0, kBandFlagBit));
}

uint8_t CRadioInfoBlock::SignalType() const { return record_[Offset::kSignalType]; }
void CRadioInfoBlock::SetSignalType(uint8_t type) { record_[Offset::kSignalType] = type; }
uint8_t CRadioInfoBlock::Language() const { return record_[Offset::kLanguage]; }
void CRadioInfoBlock::SetLanguage(uint8_t language) { record_[Offset::kLanguage] = language; }

TimeStamp CRadioInfoBlock::GetTimeStamp() const
{
    TimeStamp stamp{};
    std::copy_n(Record() + Offset::kTimeStamp, kTimeStampSize, stamp.begin());
    return stamp;
}

void CRadioInfoBlock::SetTimeStamp(const TimeStamp& stamp)
{
    std::copy(stamp.begin(), stamp.end(), Record() + Offset::kTimeStamp);
}

void CRadioInfoBlock::SetTimeStamp(const std::tm& time) { SetTimeStamp(MakeTimeStamp(time)); }

std::string CRadioInfoBlock::LastProgrammedDate() const
{
    return rv::LastProgrammedDate(Record() + Offset::kTimeStamp);
}

uint32_t CRadioInfoBlock::LowerEdgeBcd() const { return record_.U32(Offset::kLowerEdge); }
uint32_t CRadioInfoBlock::UpperEdgeBcd() const { return record_.U32(Offset::kUpperEdge); }
void CRadioInfoBlock::SetLowerEdgeBcd(uint32_t bcd) { record_.SetU32(Offset::kLowerEdge, bcd); }
void CRadioInfoBlock::SetUpperEdgeBcd(uint32_t bcd) { record_.SetU32(Offset::kUpperEdge, bcd); }

std::string CRadioInfoBlock::SerialNumber() const
{
    return record_.Text(Offset::kSerialNumber, Offset::kSerialNumberWidth);
}

void CRadioInfoBlock::SetSerialNumber(std::string_view serial)
{
    record_.SetText(Offset::kSerialNumber, Offset::kSerialNumberWidth, serial, 0);
}

bool CRadioInfoBlock::HasFactoryMarker() const
{
    return std::equal(std::begin(kFactoryMarker), std::end(kFactoryMarker),
                      Record() + Offset::kMarker);
}

void CRadioInfoBlock::SetFactoryMarker()
{
    std::copy(std::begin(kFactoryMarker), std::end(kFactoryMarker), Record() + Offset::kMarker);
}

std::string CRadioInfoBlock::ModelIdText() const
{
    return record_.Text(Offset::kModelId, Offset::kModelIdWidth);
}

void CRadioInfoBlock::SetModelIdText(std::string_view modelId)
{
    record_.SetText(Offset::kModelId, Offset::kModelIdWidth, modelId, 0);
}

}  // namespace rv
