#include "editors/channel/FrequencyText.h"

#include <algorithm>
#include <string>

#include "base/Settings.h"
#include "editors/channel/ChannelFields.h"

namespace rv {

namespace {

/// Frequencies of the licence-free lists differ by these rasters (10 Hz units).
constexpr uint32_t kRaster12k5 = 1250;
constexpr uint32_t kRaster25k = 2500;
/// The grid lowers a frequency on no step raster to this raster (2.5 kHz).
constexpr uint32_t kGridFallbackRaster = 250;

/// One run of evenly spaced fixed frequencies.
struct FixedRun {
    int lowMHz;       ///< band the run belongs to
    uint32_t first;   ///< first frequency, 10 Hz units
    uint32_t raster;  ///< distance between entries
    unsigned count;   ///< number of entries
};
constexpr FixedRun kFixedRuns[] = {
    {446, 44600625, kRaster12k5, 8},
    {433, 43307500, kRaster25k, 69},
    {448, 44875000, kRaster12k5, 15},
    {448, 44915000, kRaster12k5, 10},
};
constexpr int kLicenceFreeBands[] = {433, 446, 448};

}  // namespace

uint32_t BandLimits::LowUnits() const
{
    return static_cast<uint32_t>(std::max(lowMHz, 0)) * kFreqUnitsPerMHz;
}

uint32_t BandLimits::HighUnits() const
{
    return static_cast<uint32_t>(std::max(highMHz, 0)) * kFreqUnitsPerMHz;
}

BandLimits CurrentBandLimits()
{
    const CSettings& s = Settings();
    return {s.CurrentRangeLow(), s.CurrentRangeHigh()};
}

StepEdition CurrentStepEdition()
{
    const CSettings& s = Settings();
    if (s.IsFirstEdition()) return StepEdition::First;
    if (s.IsSecondEdition()) return StepEdition::Second;
    return StepEdition::Standard;
}

BandClamp ClampToBand(uint32_t units, const BandLimits& band)
{
    if (units < band.LowUnits()) return {band.LowUnits(), true};
    if (units > band.HighUnits()) return {band.HighUnits(), true};
    return {units, false};
}

FrequencyEntry CommitFrequencyBox(std::string_view text, const BandLimits& band,
                                  StepEdition edition)
{
    FrequencyEntry entry;
    const uint32_t typed = FreqTextToUnits(text);
    if (typed == kNoFrequency) return entry;
    BandClamp fit = ClampToBand(typed, band);
    entry.step = static_cast<uint8_t>(StepOf(fit.units, edition));
    entry.bcd = ToBcd(fit.units);
    entry.text = FormatFrequencyUnits(fit.units);
    entry.clamped = fit.clamped;
    return entry;
}

FrequencyEntry CommitFrequencyBox(std::string_view text, const BandLimits& band)
{
    return CommitFrequencyBox(text, band, CurrentStepEdition());
}

uint32_t GridStepRound(uint32_t units)
{
    for (uint32_t raster : {1250u, 1000u, 625u, 500u})
        if (units % raster == 0) return units;
    return units / kGridFallbackRaster * kGridFallbackRaster;
}

FrequencyEntry CommitFrequencyCell(std::string_view text, const BandLimits& band)
{
    FrequencyEntry entry;
    const uint32_t typed = FreqTextToUnits(text);
    if (typed == kNoFrequency) return entry;
    const BandClamp fit = ClampToBand(typed, band);
    const uint32_t units = GridStepRound(fit.units);
    uint32_t forStep = units;  // the grid keeps its own raster; only the code is computed
    entry.step = static_cast<uint8_t>(StepOf(forStep, CurrentStepEdition()));
    entry.bcd = ToBcd(units);
    entry.text = FormatFrequencyUnits(units);
    entry.clamped = fit.clamped;
    return entry;
}

FrequencyNotice FrequencyChangeNotice(std::string_view typed, const FrequencyEntry& stored,
                                      const BandLimits& band)
{
    FrequencyNotice notice;
    const uint32_t units = FreqTextToUnits(typed);
    if (units == kNoFrequency || stored.bcd == kNoFrequency) return notice;
    const uint32_t storedUnits = FromBcd(stored.bcd);
    if (storedUnits == units) return notice;
    if (units > band.HighUnits())
        notice.message = kMsgFrequencyAboveBand;
    else if (units < band.LowUnits())
        notice.message = kMsgFrequencyBelowBand;
    else
        notice.message = kMsgFrequencyOffStep;
    notice.typed = FormatFrequencyUnits(units);
    notice.stored = FormatFrequencyUnits(storedUnits);
    return notice;
}

bool IsLicenceFreeBand(int lowMHz)
{
    return std::find(std::begin(kLicenceFreeBands), std::end(kLicenceFreeBands), lowMHz) !=
           std::end(kLicenceFreeBands);
}

std::vector<uint32_t> LicenceFreeFrequencies(int lowMHz)
{
    std::vector<uint32_t> out;
    for (const FixedRun& run : kFixedRuns)
        if (run.lowMHz == lowMHz)
            for (unsigned k = 0; k < run.count; ++k) out.push_back(run.first + k * run.raster);
    return out;
}

bool IsFixedFrequency(int lowMHz, uint32_t units)
{
    for (const FixedRun& run : kFixedRuns)
        if (run.lowMHz == lowMHz && units >= run.first && (units - run.first) % run.raster == 0 &&
            (units - run.first) / run.raster < run.count)
            return true;
    return false;
}

std::vector<std::string> LicenceFreeListEntries(int lowMHz)
{
    std::vector<std::string> out;
    if (!IsLicenceFreeBand(lowMHz)) return out;
    out.push_back(Settings().LoadText(kNoFrequencyTextId));
    for (uint32_t units : LicenceFreeFrequencies(lowMHz))
        out.push_back(FormatFrequencyUnits(units));
    return out;
}

FrequencyEntry LicenceFreeSelection(std::string_view entryText, StepEdition edition)
{
    FrequencyEntry entry;
    const FreqReading reading = ReadFrequencyText(entryText, FreqRounding::Truncate);
    if (reading.blank || !reading.readable) return entry;  // the "no frequency" entry
    uint32_t units = reading.units;
    entry.step = static_cast<uint8_t>(StepOf(units, edition));
    entry.bcd = ToBcd(units);
    entry.text = FormatFrequencyUnits(units);
    return entry;
}

int LicenceFreeListIndex(const std::vector<std::string>& entries, uint32_t bcd)
{
    if (bcd == kNoFrequency) return 0;
    const std::string text = FormatBcdFrequency(bcd);
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace rv
