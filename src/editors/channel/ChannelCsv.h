#pragma once
// Channels as CSV in the column set other programming tools exchange channel plans in:
// Location, Name, Frequency (receive, MHz), Duplex and Offset (the transmit frequency), the
// tone columns (Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode, CrossMode),
// Mode (FM/NFM from the spacing), TStep (kHz), Skip, Power, Comment and four columns this
// radio has no use for. Import goes through the channel grid's own rules, row by row, and
// gives one change that is applied at once.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/RadioData.h"
#include "editors/channel/FrequencyText.h"

namespace rv {

class CTextService;

/// Messages of the channel import (texts "S01%05d").
struct CsvMessage {
    static constexpr int kNotANumber = 1434;   ///< row, column, text
    static constexpr int kNotAccepted = 1435;  ///< row, column, text, accepted values
    static constexpr int kFitted = 1436;       ///< row, column, text, stored text
    static constexpr int kBadCsv = 1437;       ///< row, reason
    static constexpr int kNoHeader = 1438;
    static constexpr int kTooManyRows = 1439;  ///< rows, limit, limit
    static constexpr int kNoRows = 1440;
    static constexpr int kNotText = 1441;
    // References to channels the import removes (a plan with fewer rows than channels).
    static constexpr int kMemberCut = 1820;      ///< scan list, member, channel
    static constexpr int kDesignatedCut = 1821;  ///< scan list, channel
    static constexpr int kPriorityCut = 1822;    ///< scan list, priority 1 or 2, channel
    static constexpr int kScanRefilled = 1823;   ///< scan list
    static constexpr int kRevertCut = 1824;      ///< channel
};

/// One message of an import: its number and the values of its "%s" in order.
struct CsvNote {
    int message = 0;
    std::vector<std::string> args;
};

/// The channels of the radio data as CSV (a header row, then one row per channel).
std::string ChannelsToCsv(RadioData& radio, const CTextService& texts);

/// What an import will do: the records of channels 1..n and their aliases, and what the
/// channel rules fitted. With errors nothing may be applied.
struct ChannelImport {
    std::vector<std::vector<uint8_t>> records;
    std::vector<std::string> aliases;
    std::vector<CsvNote> fitted;  ///< values the channel rules changed
    std::vector<CsvNote> errors;  ///< refused rows and unreadable input
    /// References to channels behind the imported ones, which the import removes, and what
    /// they become; the scan-list records and the emergency record with them mended (empty:
    /// unchanged).
    std::vector<CsvNote> references;
    std::vector<std::vector<uint8_t>> scanRecords;
    std::vector<uint8_t> emergencyRecord;
    bool Ok() const { return errors.empty(); }
};

/// Reads CSV bytes (UTF-8 with or without byte-order mark, UTF-16 with its mark, or GB18030)
/// and works out the channels, based on the radio's channels (fields the CSV has no column
/// for keep their bytes; a missing column takes the value of a new channel).
ChannelImport PlanChannelImport(std::string_view bytes, RadioData& radio, const BandLimits& band,
                                const CTextService& texts);
/// Applies a plan without errors as one change: channels are added or removed to its count
/// and take its records and aliases; references to removed channels are mended as the plan
/// says, so that the configuration has no invalid entries the import made.
void ApplyChannelImport(RadioData& radio, const ChannelImport& plan);

}  // namespace rv
