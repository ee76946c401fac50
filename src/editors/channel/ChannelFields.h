#pragma once
// The text form of one channel as the channel editors show it (Basic and Miscellaneous pages,
// channel list grid), and the identifiers of the controls, choice lists and texts they use.

#include <cstdint>
#include <string>

#include "base/Bytes.h"

namespace rv {

/// Choice lists of the channel record's choice fields.
inline constexpr int kSpacingList = 3661;  ///< channel spacing (byte 17 low nibble)
inline constexpr int kPowerList = 3663;    ///< power level (byte 17 high nibble)
inline constexpr int kRxTypeList = 3668;   ///< receive tone type (tone word bits 14-15)
inline constexpr int kTxTypeList = 3677;   ///< transmit tone type
/// Choice list of the grid's personality column.
inline constexpr int kPersonalityColumnList = 3703;

/// Message shown when a typed frequency was set to the nearest band limit.
inline constexpr int kMsgFrequencyClamped = 1164;
/// Interface text of the "no frequency" entry of the licence-free frequency lists.
inline constexpr int kNoFrequencyTextId = 3686;
/// Tool tip of the alias box and column: the alias is saved in the data file, never sent to
/// the radio.
inline constexpr int kAliasNoteText = 39190;
/// Caption texts of the channel view's pages.
inline constexpr int kChannelBasicPageId = 3656;
inline constexpr int kChannelMiscPageId = 3657;
/// Form ids of the channel view and the channel list view, and the grid's control id.
inline constexpr int kChannelViewFormId = 3655;
inline constexpr int kChannelListFormId = 3770;
inline constexpr int kChannelGridId = 3771;

/// Control ids of the channel pages (each is also the number of its caption text).
enum class ChannelControl : int {
    Alias = 3691,          ///< alias text box (not in the record; kept in the data file)
    Spacing = 3661,        ///< channel spacing list
    Power = 3663,          ///< power level list
    RxFreqBox = 3666,      ///< receive frequency box (normal bands)
    RxType = 3668,         ///< receive tone type list
    RxCtcss = 3670,        ///< receive analog tone box (editable)
    RxDcs = 3672,          ///< receive digital code box (editable)
    CopyRxToTx = 3682,     ///< button: copy receive frequency and tone to transmit
    TxFreqBox = 3675,      ///< transmit frequency box (normal bands)
    TxType = 3677,         ///< transmit tone type list
    TxCtcss = 3679,        ///< transmit analog tone box (editable)
    TxDcs = 3681,          ///< transmit digital code box (editable)
    RxFreqList = 3684,     ///< receive frequency list (licence-free bands)
    TxFreqList = 3685,     ///< transmit frequency list (licence-free bands)
    Personality = 3703,    ///< Miscellaneous page: personality list
    ScanList = 3706,       ///< Miscellaneous page: scan list box (stores nothing)
    Compandor = 3710,      ///< flag F3
    Scramble = 3711,       ///< flag F4
    BeatShift = 3712,      ///< flag F5
    AutoStartScan = 3707,  ///< flag F6
    SqlTail = 3717,        ///< page-local value, not stored
};

/// One channel as text and values, filled by CChannelData::ToFields/GetFlags and written back
/// by FromFields/SetFlags.
struct ChannelFields {
    uint32_t RxFreq = kNoFrequency;  ///< packed decimal receive frequency (kNoFrequency: none)
    uint32_t TxFreq = kNoFrequency;  ///< packed decimal transmit frequency (kNoFrequency: none)
    std::string RxCtcssText;  ///< receive analog tone "%.1f" ("67.0" unless the type is analog)
    std::string RxDcsText;    ///< receive digital code "%03d" ("023" unless the type is digital)
    std::string RxTypeText;   ///< text of list 3668 at the receive tone type
    std::string TxCtcssText;  ///< transmit analog tone text
    std::string TxDcsText;    ///< transmit digital code text
    std::string TxTypeText;   ///< text of list 3677 at the transmit tone type
    uint8_t RxStep = 0;       ///< step code of the receive frequency (byte 16 low nibble)
    uint8_t TxStep = 0;       ///< step code of the transmit frequency (byte 16 high nibble)
    std::string SpacingText;  ///< text of list 3661
    std::string PowerText;    ///< text of list 3663
    uint8_t PersonalityIndex = 0;  ///< record byte 18 (0-based personality position)
    bool F1 = false;               ///< byte 19 bit 1
    bool F2 = false;               ///< byte 19 bit 2
    bool F3 = false;               ///< byte 19 bit 3, "COMPANDOR"
    bool F4 = false;               ///< byte 19 bit 4, "Scramble"
    bool F5 = false;               ///< byte 19 bit 5, "Beat Shift"
    bool F6 = false;               ///< byte 19 bit 6, "Auto Start Scan"
    bool F7 = false;               ///< byte 19 bit 7 (shown, never written back)
    std::string Alias;             ///< alias text of the view; not part of the record
    bool operator==(const ChannelFields&) const = default;
};

/// The parts of a channel's text form an editor changed. Only a changed part is written back
/// (with the rules of FromFields); every other part of the record keeps its bytes, so that a
/// channel that was only looked at reaches the radio exactly as it came.
struct ChannelEdits {
    bool spacing = true;  ///< spacing text (byte 17 low nibble)
    bool power = true;    ///< power text (byte 17 high nibble)
    bool rxFreq = true;   ///< receive frequency and its step code
    bool txFreq = true;   ///< transmit frequency and its step code
    bool rxTone = true;   ///< receive tone type and tone texts (receive tone word)
    bool txTone = true;   ///< transmit tone type and tone texts (transmit tone word)

    /// Every part: the text form replaces the record's fields.
    static ChannelEdits All() { return {}; }
    /// The parts in which `edited` differs from `shown`, the text form the editor showed.
    static ChannelEdits Between(const ChannelFields& shown, const ChannelFields& edited)
    {
        ChannelEdits e;
        e.spacing = edited.SpacingText != shown.SpacingText;
        e.power = edited.PowerText != shown.PowerText;
        e.rxFreq = edited.RxFreq != shown.RxFreq || edited.RxStep != shown.RxStep;
        e.txFreq = edited.TxFreq != shown.TxFreq || edited.TxStep != shown.TxStep;
        e.rxTone = edited.RxTypeText != shown.RxTypeText ||
                   edited.RxCtcssText != shown.RxCtcssText || edited.RxDcsText != shown.RxDcsText;
        e.txTone = edited.TxTypeText != shown.TxTypeText ||
                   edited.TxCtcssText != shown.TxCtcssText || edited.TxDcsText != shown.TxDcsText;
        return e;
    }
    /// True when nothing changed.
    bool None() const { return !(spacing || power || rxFreq || txFreq || rxTone || txTone); }
};

}  // namespace rv
