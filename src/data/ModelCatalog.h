#pragma once
// The model catalogue "Model.dat" (model IDs, the names sold under each ID, the frequency
// ranges of each model) and the range table of the current model, which decides the band code
// written into data files and radios and which ranges a connected radio may report.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace rv {

/// One frequency range of a model: low and high in whole MHz, the same pair again (every
/// record the program writes repeats it), and the radio's band code.
struct FreqRangeRecord {
    int low = 0;           ///< whole MHz
    int high = 0;          ///< whole MHz
    int low2 = 0;          ///< low again
    int high2 = 0;         ///< high again
    uint8_t bandCode = 0;  ///< the radio's range code
    bool operator==(const FreqRangeRecord&) const = default;
};

/// The record that stands in for the first missing "Freq%d" key of a model's section.
inline constexpr FreqRangeRecord kFallbackRange{136, 174, 136, 174, 128};
/// Bytes of the range record a radio reports: band code, low and high packed decimal.
inline constexpr size_t kRadioRangeSize = 9;
/// Lowest whole MHz a radio-reported range starts at, and the high end used when a radio
/// reports a high end below it.
inline constexpr int kRadioRangeFloor = 136;
inline constexpr int kRadioRangeDefaultHigh = 174;

/// The four values that say which model and range the data belong to.
struct ModelIdentity {
    std::string id;     ///< model ID (section of "Model.dat")
    std::string name;   ///< model name shown as the tree root
    std::string range;  ///< "%d-%d" whole MHz
    int signal = 0;     ///< item data of the chosen entry of choice list 1076
    bool operator==(const ModelIdentity&) const = default;
};

/// What the Model Information dialog changed.
enum class ModelChange {
    None,      ///< nothing differs
    NameOnly,  ///< another name of the same model: only the name is replaced
    Model,     ///< ID, range or signalling differ: the data are reset to the new default set
};

/// Outcome of learning a range reported by a radio.
enum class AddRangeResult : int {
    Known = 0,     ///< the range is already in the table
    Declined = 1,  ///< the user did not want it added
    Added = 2,     ///< appended to "Model.dat" and the table reloaded
};

/// Answers in the settings object's "last new-range answer" (Windows Yes/No button codes).
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

/// Message numbers of the catalogue.
struct CatalogMessage {
    static constexpr int kConfirmModelChange = 800;  ///< reset the data for another model?
    static constexpr int kNewRangeQuestion = 804;    ///< "%d-%d" found on a radio: add it?
    static constexpr int kRangeTableFailed = 1147;   ///< the range table could not be made
    /// At start-up: Settings.ini (%s) held a range (%s) that is not one of the model's (%s);
    /// the model's first range (%s) is used instead.
    static constexpr int kRememberedRangeReplaced = 1288;
};

/// One entry of the Model Information dialog's range list.
struct RangeEntry {
    std::string text;      ///< "%d-%d"
    uint8_t bandCode = 0;  ///< item data of the entry
};

/// Asks a Yes/No question (message number, text with its values filled in); true for Yes.
using AskYesNoFn = std::function<bool(int messageId, const std::string& text)>;

/// "Model.dat" and the range table of the current model (one per process).
class CModelCatalog {
public:
    /// The one catalogue of the process (its range table starts as the fallback record).
    static CModelCatalog& Instance();

    /// "Model.dat" of the program directory.
    std::string Path() const;
    /// The model IDs of section "Setting", key "ModelID", in file order.
    std::vector<std::string> ModelIds() const;
    /// The names sold under one model ID, in file order.
    std::vector<std::string> ModelNames(const std::string& modelId) const;
    /// Every name of every model ID, in file order (the dialog's model name list).
    std::vector<std::string> AllModelNames() const;
    /// The first model ID whose name list holds name; "" when none does.
    std::string FindModelIdByName(const std::string& name) const;
    /// The ranges of a model's section as LoadRangeTable reads them ("Number" keys from
    /// "Freq0" on; the first missing key becomes the fallback record and ends the list).
    std::vector<FreqRangeRecord> ReadRanges(const std::string& modelId) const;
    /// The dialog's range list for a model: "%d-%d" and band code of each range.
    std::vector<RangeEntry> RangeEntries(const std::string& modelId) const;
    /// True when range is exactly the "%d-%d" text of one of the model's ranges.
    bool IsRangeOfModel(const std::string& modelId, const std::string& range) const;

    /// Replaces the range table by the ranges of modelId. Returns 0, or message 1147 when
    /// the table could not be made (it then holds the fallback record only).
    int LoadRangeTable(const std::string& modelId);
    /// LoadRangeTable for the current model ID of the settings.
    int LoadRangeTable();
    /// The range table of the current model.
    const std::vector<FreqRangeRecord>& RangeTable() const { return table_; }
    /// The model ID the table was last loaded for.
    const std::string& TableModelId() const { return tableModelId_; }

    /// True when a record of the table has exactly this low and high.
    bool RangeIsKnown(int low, int high) const;
    /// Band code of the table record matching the current range text; 0 when none does.
    uint8_t CurrentBandCode() const;
    /// Band code of the table record with this low and high; 0 when none has them.
    uint8_t BandCodeOf(int low, int high) const;

    /// Range record from the 9 bytes a radio reports (band code, low, high packed decimal):
    /// whole MHz of each, low at least 136, a high below 136 replaced by 174.
    static FreqRangeRecord RangeFromRadio(std::span<const uint8_t, kRadioRangeSize> bytes);
    /// Appends a range to the current model's section of "Model.dat" (see the .cpp for the
    /// numbering). False when the file cannot be written.
    bool AddRange(const FreqRangeRecord& record);
    /// Learns a range reported by a radio: Known when the table has it; else asks message
    /// 804 (remembering the answer in the settings) and on Yes adds it and reloads the table.
    AddRangeResult AskAddRange(FreqRangeRecord record, const AskYesNoFn& ask);
    /// The question text of message 804 for a range.
    std::string NewRangeQuestion(int low, int high) const;

    /// What changes when the dialog's chosen identity replaces the current one.
    static ModelChange ClassifyModelChange(const ModelIdentity& chosen,
                                           const ModelIdentity& current);
    /// The identity held by the settings object.
    static ModelIdentity CurrentIdentity();
    /// Index of the signalling entry (choice list 1076) the dialog selects for a model after
    /// each pick: 1 for the model of model text 510, 0 for 300 and 310, -1 to keep the choice.
    static int SignalEntryFor(const std::string& modelId);

    /// Puts the table back to the fallback record (for tests).
    void Reset();

private:
    CModelCatalog();
    std::vector<FreqRangeRecord> table_;
    std::string tableModelId_;
};

/// Shorthand for CModelCatalog::Instance().
inline CModelCatalog& ModelCatalog() { return CModelCatalog::Instance(); }

/// "%d, %d, %d, %d, %d" text of a range record, as "Model.dat" holds it.
std::string FormatRangeRecord(const FreqRangeRecord& record);
/// Reads the five comma-separated integers of a "Freq%d" value; missing numbers are 0.
/// False when not even the first number is there.
bool ParseRangeRecord(const std::string& text, FreqRangeRecord& record);

}  // namespace rv
