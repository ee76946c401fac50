#pragma once
// Adjustment of the radio's analogue values: the tuning entry list of the language file, the
// sub-items of an entry by channel spacing, the session that reads and sends tuning values in
// adjustment mode, and Write Tune Data, which stores the whole tuning record in the radio.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/RadioProtocol.h"
#include "link/Transfer.h"
#include "service/TuneBlock.h"

namespace rv {

class CTextService;

/// Message numbers of the tuning procedures (language keys S01nnnnn).
struct TuneMessage {
    static constexpr int kWritten = 1153;       ///< base band or tune data written
    static constexpr int kBaseBandRead = 1154;  ///< base-band values read
    static constexpr int kSendFailed = 1155;    ///< (%s step, %s cause)
    static constexpr int kReadFailed = 1156;    ///< (%s step, %s cause)
    static constexpr int kNoSubItems = 1167;    ///< the entry has no sub-item
    static constexpr int kNoPointNames = 1168;  ///< the sub-item name list is empty
    /// Names of the steps, filled into 1155 and 1156.
    static constexpr int kStepItem = 1600;        ///< tuning item (%s number)
    static constexpr int kStepVolume = 1601;      ///< the tuning volume
    static constexpr int kStepSwitch = 1602;      ///< the transmitter switch
    static constexpr int kStepEndKeep = 1603;     ///< end of tuning keeping the values
    static constexpr int kStepEndDiscard = 1604;  ///< end of tuning discarding them
    static constexpr int kStepBaseBand = 1605;    ///< base-band values (%s address)
    static constexpr int kStepMode = 1606;        ///< the adjustment mode
};

/// Interface texts of the tuning screens and their lists (language keys S02nnnnn).
struct TuneText {
    static constexpr int kEntryList = 7053;         ///< N.text entries (standard models)
    static constexpr int kDefinitions = 7054;       ///< id,flags pairs (standard models)
    static constexpr int kEditionEntryList = 7055;  ///< number.text entries (editions)
    static constexpr int kEditionDefinitions = 7056;
    static constexpr int kPointNames = 7067;  ///< sub-item tab names ("name,...;...")
    static constexpr int kSwitchOnA = 7091, kSwitchOffA = 7092;
    static constexpr int kSwitchOnB = 7093, kSwitchOffB = 7094;
};

/// Record offset of a tuning item; nothing for an item that is not in the table.
constexpr std::optional<size_t> FindTuneItemOffset(uint16_t item)
{
    const auto* it = std::lower_bound(kTuneItems.begin(), kTuneItems.end(), item);
    if (it == kTuneItems.end() || *it != item) return std::nullopt;
    return static_cast<size_t>(it - kTuneItems.begin());
}
static_assert(FindTuneItemOffset(0x8002) == 0u && FindTuneItemOffset(0x84A2) == 153u);
static_assert(!FindTuneItemOffset(0x8001) && !FindTuneItemOffset(kTuneVolumeItem));

/// Channel spacing groups of an entry's sub-items.
enum class TuneGroup { Wide = 0, Middle = 1, Narrow = 2 };
inline constexpr size_t kTuneGroupCount = 3;
/// Sub-items per group (flag bits 0-4, 5-9, 10-14).
inline constexpr unsigned kTuneSubItemsPerGroup = 5;
/// Flag bit of a receive entry: the tuning volume is used instead of the transmitter switch.
inline constexpr uint16_t kTuneReceiveFlag = 0x8000;
/// Start value of the tuning volume.
inline constexpr int kTuneVolumeStart = 128;

/// Entries offered only at the full service level.
inline constexpr uint16_t kFullServiceEntries[] = {32976, 32992, 33008, 33024, 33040,
                                                   33536, 33664, 33680, 33808, 33952};

/// One sub-item of an entry: its item number and its place k (0..4) in its group.
struct TuneSubItem {
    uint16_t item = 0;
    unsigned point = 0;
    bool operator==(const TuneSubItem&) const = default;
};

/// An entry's definition: its id and flags, with the sub-items that exist in the item table
/// (a flag bit naming an item the table lacks is ignored).
struct TuneDefinition {
    int id = 0;
    uint16_t flags = 0;
    std::array<std::vector<TuneSubItem>, kTuneGroupCount> groups;

    bool IsReceive() const { return (flags & kTuneReceiveFlag) != 0; }
    const std::vector<TuneSubItem>& Group(TuneGroup g) const
    {
        return groups[static_cast<size_t>(g)];
    }
    bool HasSubItems() const;
    /// Wide when it has wide sub-items, else middle, else narrow.
    TuneGroup StartGroup() const;
};

/// One entry of the list shown to the user.
struct TuneEntry {
    int id = 0;
    std::string text;
    bool operator==(const TuneEntry&) const = default;
};

/// Parses "id,flags;id,flags" (blanks removed first); pairs that do not read as two numbers
/// are skipped.
std::vector<TuneDefinition> ParseTuneDefinitions(const std::string& text);
/// Parses "number.text;number.text"; items without a number before the first '.' are skipped.
std::vector<TuneEntry> ParseTuneEntries(const std::string& text);
/// The entry list of the language (7055 in the editions, else 7053), without the entries of
/// the full service level unless fullServiceLevel.
std::vector<TuneEntry> TuneEntryList(const CTextService& texts, bool fullServiceLevel);
/// The definition of an entry (7056 in the editions, else 7054); nothing when none.
std::optional<TuneDefinition> FindTuneDefinition(const CTextService& texts, int id);
/// The name of sub-item tab k from text 7067 (a name ends at the first ','); all names.
std::vector<std::string> TunePointNames(const CTextService& texts);
/// The transmitter switch's variant for an item: 'b' for 0x8300..0x84AF, else 'a'.
constexpr char TransmitVariant(uint16_t item)
{
    return item >= 0x8300 && item <= 0x84AF ? 'b' : 'a';
}
/// Caption text id of the transmitter switch for its variant and state.
constexpr int TransmitCaption(char variant, bool on)
{
    return variant == 'b' ? (on ? TuneText::kSwitchOnB : TuneText::kSwitchOffB)
                          : (on ? TuneText::kSwitchOnA : TuneText::kSwitchOffA);
}
/// The range of a tuning value and of the tuning volume (one byte on the radio).
inline constexpr int kTuneValueMin = 0;
inline constexpr int kTuneValueMax = 255;
/// A tuning value clamped to its range.
constexpr int ClampTuneValue(int value)
{
    return value < kTuneValueMin ? kTuneValueMin : value > kTuneValueMax ? kTuneValueMax : value;
}

/// Outcome of one tuning or base-band step: what to tell the user.
struct TuneResult {
    bool ok = true;
    int message = 0;   ///< message to show; 0 for none
    std::string step;  ///< the step's name, filled into 1155 and 1156
    AnswerFault cause = AnswerFault::None;
    bool modeRefused = false;  ///< the radio refused the adjustment mode (message 1143)
    /// The message text of the current language with the step and cause filled in.
    std::string Text() const;
};

/// The name of a tuning item step ("tuning item 0x8020").
std::string TuneItemStep(uint16_t item);

/// The adjustment session on a connection IdentifyRadio has put into mode 6 (or mode 3 for
/// the Base Band screen): tuning values read and sent, the visits of the Tune Sub Item screen
/// with their working copy, and the end of the connection.
class CAdjustment {
public:
    CAdjustment(CRadioProtocol& link, CTuneBlock& block) : link_(link), block_(block) {}

    /// Reads an item's value (adjustment mode first): value holds the 2 bytes, low first.
    TuneResult ReadValue(uint16_t item, std::array<uint8_t, 2>& value);

    /// Starts a visit of the Tune Sub Item screen: the working copy takes the record.
    void BeginVisit();
    /// The working copy of the visit.
    const std::array<uint8_t, CTuneBlock::kRecordSize>& WorkingCopy() const { return working_; }
    /// Sends an item's value, clamped to 0..255, as 2 bytes low first; when acknowledged the
    /// low byte goes into the working copy at the item's offset (an item without one stores
    /// nothing).
    TuneResult SendValue(uint16_t item, int value);
    /// Sends the tuning volume (item 0x850B), clamped; never stored.
    TuneResult SendVolume(int value);
    /// Switches the transmitter test state for an item on or off.
    TuneResult SwitchTransmit(uint16_t item, bool on);
    /// Ends the visit: keep ('V' 'j') or discard ('V' 'k'). The record takes the working copy
    /// only when keep is acknowledged.
    TuneResult EndVisit(bool keep);

    /// Ends the connection: mode 1, then the port is closed. False when the radio did not
    /// confirm mode 1.
    bool End();

    CRadioProtocol& Link() { return link_; }
    CTuneBlock& Block() { return block_; }

private:
    CRadioProtocol& link_;
    CTuneBlock& block_;
    std::array<uint8_t, CTuneBlock::kRecordSize> working_{};
};

/// Write Tune Data blocks: 12 of 16 bytes from image 832, ascending.
inline constexpr uint16_t kTuneDataBlockCount = CTuneBlock::kRecordSize / kTransferBlockSize;
static_assert(kTuneDataBlockCount == 12);

/// Writes the tuning record on a connection in mode 3: 12 WriteBlocks of 16 bytes from 832.
/// The first failure stops with message 1139 (address, cause, what the radio holds);
/// success gives 1153. The connection is ended with mode 1 and closed either way.
/// progress, when given, is told the percent done after every block.
LinkResult WriteTuneData(CRadioProtocol& link, const CTuneBlock& block,
                         const std::function<void(int percent)>& progress = {});

}  // namespace rv
