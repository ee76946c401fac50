#pragma once
// Frequency rules of the channel editors: the band range check, the commit rules of the boxes,
// grid cells and licence-free lists, the grid's step rounding and the fixed frequency lists of
// the licence-free bands. The texts themselves are read and written by base/FrequencyText.h.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bytes.h"
#include "base/FrequencyText.h"
#include "editors/common/StepCode.h"

namespace rv {

/// The model's band in whole MHz, both limits inclusive.
struct BandLimits {
    int lowMHz = 0;                                          ///< first number of the model's range
    int highMHz = 0;                                         ///< second number of the model's range
    uint32_t LowUnits() const;                               ///< low limit in 10 Hz units
    uint32_t HighUnits() const;                              ///< high limit in 10 Hz units
    uint32_t LowBcd() const { return ToBcd(LowUnits()); }    ///< low limit, packed decimal
    uint32_t HighBcd() const { return ToBcd(HighUnits()); }  ///< high limit, packed decimal
};

/// Band limits of the current model and range (settings).
BandLimits CurrentBandLimits();
/// Step rule of the current model (first edition, second edition or standard).
StepEdition CurrentStepEdition();

/// Result of the band range check.
struct BandClamp {
    uint32_t units = 0;    ///< the value, set to the nearest limit when it was outside
    bool clamped = false;  ///< true when the value was outside (the page shows message 1164)
};
/// Sets a value below the band to the low limit and above it to the high limit.
BandClamp ClampToBand(uint32_t units, const BandLimits& band);

/// What a frequency box or grid cell stores after its text was committed.
struct FrequencyEntry {
    uint32_t bcd = kNoFrequency;  ///< packed decimal value, kNoFrequency when empty
    std::optional<uint8_t> step;  ///< StepCode of the value; none when empty
    std::string text;             ///< the text rewritten from the value ("%.5f" or "")
    bool clamped = false;         ///< the value was set to a band limit (message 1164)
};
/// Frequency box rule: empty gives no frequency; otherwise rounded to 10 Hz, clamped to the
/// band (clamped set), fitted with StepOf of the edition, text rewritten.
FrequencyEntry CommitFrequencyBox(std::string_view text, const BandLimits& band,
                                  StepEdition edition);
/// Same with the current band's edition (the limits are given by the caller).
FrequencyEntry CommitFrequencyBox(std::string_view text, const BandLimits& band);
/// Grid rule: a value on none of the 12.5, 10, 6.25 and 5 kHz rasters is lowered to a
/// multiple of 2.5 kHz; others are kept.
uint32_t GridStepRound(uint32_t units);
/// Grid cell rule: empty gives no frequency; otherwise rounded to 10 Hz, clamped silently,
/// GridStepRound, text rewritten. The step is StepOf of the current edition on the result.
FrequencyEntry CommitFrequencyCell(std::string_view text, const BandLimits& band);

/// Messages that say how a committed frequency was changed ("%s" typed, "%s" stored).
inline constexpr int kMsgFrequencyAboveBand = 1700;
inline constexpr int kMsgFrequencyBelowBand = 1701;
inline constexpr int kMsgFrequencyOffStep = 1702;
/// What the user is told when a committed frequency text was stored as another value.
struct FrequencyNotice {
    int message = 0;     ///< kMsgFrequency... ; 0 when the value was stored as typed
    std::string typed;   ///< the typed value, "%.5f" MHz
    std::string stored;  ///< the stored value, "%.5f" MHz
};
/// The notice for a committed text and what its rule stored: above or below the band when
/// the value was clamped, off the step when it was fitted to a step; nothing for an empty
/// text or a value stored as typed (after rounding to 10 Hz).
FrequencyNotice FrequencyChangeNotice(std::string_view typed, const FrequencyEntry& stored,
                                      const BandLimits& band);

/// True for the licence-free bands (low limit 433, 446 or 448 MHz).
bool IsLicenceFreeBand(int lowMHz);
/// The fixed frequencies (10 Hz units) of a licence-free band in list order; empty for other
/// bands. 446: 8 entries from 446.00625; 433: 69 from 433.075; 448: 15 from 448.75 then 10
/// from 449.15.
std::vector<uint32_t> LicenceFreeFrequencies(int lowMHz);
/// True when a frequency (10 Hz units) is one of the fixed frequencies of a licence-free band.
bool IsFixedFrequency(int lowMHz, uint32_t units);
/// The entries of the receive and transmit frequency lists of a licence-free band: the
/// "no frequency" text (text 3686) first, then each frequency "%.5f".
std::vector<std::string> LicenceFreeListEntries(int lowMHz);
/// What the selected entry of a licence-free list stores: the "no frequency" entry (or any
/// entry that is no number) gives kNoFrequency; a frequency is converted with truncation and
/// its step computed with StepOf of the edition.
FrequencyEntry LicenceFreeSelection(std::string_view entryText, StepEdition edition);
/// Index of the list entry that shows a packed decimal frequency: 0 (the "no frequency"
/// entry) for kNoFrequency, -1 for a frequency that is not in the list (the page then adds
/// an entry for it and keeps the stored frequency unless the user picks another entry).
int LicenceFreeListIndex(const std::vector<std::string>& entries, uint32_t bcd);

}  // namespace rv
