#pragma once
// Channels as CSV in the column set of CHIRP's generic CSV files (the set other programming
// tools exchange channel plans in): Location, Name (the channel alias), Frequency (receive,
// MHz), Duplex and Offset (the transmit frequency), the tone columns (Tone, rToneFreq,
// cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode, CrossMode), Mode (FM/NFM from the spacing),
// TStep (kHz), Skip, Power (watts), Comment and four columns this radio has no use for.
//
// Import never moves a channel silently. Each row of the file is checked against what the
// radio can hold:
//   - a row the radio cannot hold at all (a value that is no number, a mode other than FM and
//     NFM, a tone mode or cross mode it lacks, an unknown Duplex or polarity) does not fit;
//   - a row whose values the channel rules would change (a frequency outside the band, set to
//     the band edge; a frequency on none of the channel steps, lowered onto the step raster;
//     a tone outside the tone range) does not fit either, unless fitted values are asked for
//     (`fit`): then the rules store them and every change is listed.
// Rows that do not fit are listed once each with their file line and Location, every problem
// named; the import is refused unless they are left out (`skipUnfit`, or unticked on the
// import screen). Rows are picked by Location (`rows`); more rows than the radio's channels
// are refused, naming how to pick. Location 0 is a row like any other. Names are cut to what
// the alias takes, with a notice; a file without a Power column keeps each channel's power.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/RadioData.h"
#include "editors/channel/FrequencyText.h"

namespace rv {

class CTextService;

/// Messages of the channel import (texts "S01%05d").
struct CsvMessage {
    static constexpr int kNoHeader = 1438;
    static constexpr int kNoRows = 1440;
    static constexpr int kNotText = 1441;
    /// A row refused: line, Location, its problems.
    static constexpr int kRefusedRow = 3200;
    /// A row left out: line, Location, its problems.
    static constexpr int kSkippedRow = 3201;
    /// A value the channel rules fitted: line, Location, column, value in the file, stored.
    static constexpr int kFitted = 3202;
    // Problems of a row (joined into kRefusedRow or kSkippedRow).
    static constexpr int kNotANumber = 3203;   ///< column, text
    static constexpr int kNotAccepted = 3204;  ///< column, text, accepted values
    static constexpr int kOutOfBand = 3205;    ///< column, MHz, band "400-470"
    static constexpr int kOffStep = 3206;      ///< column, MHz, the step raster's value below
    static constexpr int kRuleChanges = 3207;  ///< column, text, the value stored
    /// A name cut to what the alias takes: line, Location, name, alias, most characters.
    static constexpr int kNameCut = 3208;
    // The file as a whole.
    static constexpr int kBadCsv = 3209;             ///< line, reason
    static constexpr int kUnclosedQuote = 3210;      ///< line
    static constexpr int kTooManyRows = 3211;        ///< rows, channels
    static constexpr int kDuplicateLocation = 3212;  ///< line, Location, earlier line
    static constexpr int kBadLocation = 3213;        ///< line, text, highest Location
    static constexpr int kRowNotInFile = 3214;       ///< Location picked
    static constexpr int kTooLarge = 3215;           ///< the largest size ("16 MB")
    static constexpr int kNothingWritten = 3216;     ///< the last line of a refusal
    static constexpr int kNoRowLeft = 3217;          ///< every row was left out
    static constexpr int kRowPickedTwice = 3218;     ///< Location picked twice
    static constexpr int kPickNoRows = 3219;         ///< an empty pick
    // References to channels the import removes (a plan with fewer rows than channels).
    static constexpr int kMemberCut = 1820;      ///< scan list, member, channel
    static constexpr int kDesignatedCut = 1821;  ///< scan list, channel
    static constexpr int kPriorityCut = 1822;    ///< scan list, priority 1 or 2, channel
    static constexpr int kScanRefilled = 1823;   ///< scan list
    static constexpr int kRevertCut = 1824;      ///< channel
};

/// Largest CSV file an import reads (a channel plan is a few kilobytes).
inline constexpr size_t kMaxChannelCsvBytes = 16u << 20;
/// Most rows a file may hold: stock channel lists have up to a few hundred, and every row is
/// checked for the import screen's list.
inline constexpr size_t kMaxChannelCsvRows = 1000;
/// Highest Location a row may have.
inline constexpr long kMaxCsvLocation = 99999;

/// A size as people read it: "16 MB", "512 kB", "300 bytes".
std::string SizeText(size_t bytes);

/// One message of an import: its number and the values of its "%s" in order.
struct CsvNote {
    CsvNote() = default;
    CsvNote(int m, std::vector<std::string> a = {}, std::vector<CsvNote> p = {})
        : message(m), args(std::move(a)), parts(std::move(p))
    {
    }
    int message = 0;
    std::vector<std::string> args;
    /// Notes whose texts, joined with "; ", fill the message's last "%s" (a row's problems).
    std::vector<CsvNote> parts;
};
/// The text of a note in the program's language.
std::string CsvNoteText(const CsvNote& note);

/// One row of the file as the import screen lists it.
struct CsvRow {
    size_t line = 0;        ///< file line the row begins on
    long location = 0;      ///< its Location (without that column: its place among the rows)
    std::string name;       ///< Name as the file has it
    std::string frequency;  ///< Frequency as the file has it
    std::string mode;       ///< Mode as the file has it
    std::vector<CsvNote> problems;  ///< why the radio cannot hold it as it stands
    bool fittable = true;           ///< every problem is a value the channel rules can fit
    /// True when the radio holds the row as it stands.
    bool Fits() const { return problems.empty(); }
    /// True when the radio holds it as it stands or, with fitted values allowed, fitted.
    bool FitsWith(bool fit) const { return problems.empty() || (fit && fittable); }
};

/// What an import takes from a file.
struct CsvImportOptions {
    /// The rows to take by Location, in this order, into channels 1, 2, ...; nothing: every
    /// row in the order of its Location.
    std::optional<std::vector<long>> rows;
    bool fit = false;        ///< store values the channel rules fit, listing each change
    bool skipUnfit = false;  ///< leave out the rows that do not fit, listing each
};

/// A list of Locations as `--rows` takes it: numbers and ranges "a-b" separated by commas
/// ("1-8,20"); blanks ignored. Nothing for any other text or a range that runs backwards.
std::optional<std::vector<long>> ParseRowList(std::string_view text);

/// The channels of the radio data as CSV (a header row, then one row per channel).
std::string ChannelsToCsv(RadioData& radio, const CTextService& texts);

/// What an import will do: the records of channels 1..n and their aliases, and what the
/// channel rules fitted. With errors nothing may be applied.
struct ChannelImport {
    std::vector<std::vector<uint8_t>> records;
    std::vector<std::string> aliases;
    std::vector<CsvNote> fitted;   ///< values the channel rules changed (with `fit`)
    std::vector<CsvNote> notices;  ///< names cut to what the alias takes
    std::vector<CsvNote> skipped;  ///< rows left out (with `skipUnfit`), one note each
    std::vector<CsvNote> errors;   ///< refused rows and unreadable input
    /// Every row of the file in the order of its Location (empty when the file could not be
    /// read as rows).
    std::vector<CsvRow> rows;
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
/// for keep their bytes; a missing column other than Power takes the value of a new channel).
ChannelImport PlanChannelImport(std::string_view bytes, RadioData& radio, const BandLimits& band,
                                const CTextService& texts, const CsvImportOptions& options = {});
/// Applies a plan without errors as one change: channels are added or removed to its count
/// and take its records and aliases; references to removed channels are mended as the plan
/// says, so that the configuration has no invalid entries the import made.
void ApplyChannelImport(RadioData& radio, const ChannelImport& plan);

}  // namespace rv
