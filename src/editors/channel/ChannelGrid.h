#pragma once
// The channel list grid as data: its 15 columns, the cells of one channel row, which tone
// cells a row lets the user edit, the choices of each cell, and committing an edited row.

#include <array>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "data/Notice.h"
#include "editors/common/FieldEdit.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFieldTable.h"
#include "editors/channel/ChannelFields.h"
#include "editors/channel/FrequencyText.h"

namespace rv {

/// How a grid cell is edited.
enum class CellKind {
    Fixed,             ///< shown only (button-face background)
    Text,              ///< free text
    Frequency,         ///< MHz text: digits and '.', committed with CommitFrequencyCell
    DropDown,          ///< choice from a list
    EditableDropDown,  ///< choice from a list or typed text
};

/// Columns of the channel grid.
enum class ChannelColumn : size_t {
    Number = 0,
    Alias,
    RxFreq,
    RxType,
    RxCtcss,
    RxDcs,
    TxFreq,
    TxType,
    TxCtcss,
    TxDcs,
    Spacing,
    Power,
    Personality,
    ScanList,
    AutoStartScan,
};
/// Number of columns of the channel grid.
inline constexpr size_t kChannelGridColumns = 15;

/// Marks a grid column that shows no field of the channel record (row number, alias, scan list).
inline constexpr std::string_view kNoChannelField{};

/// Header text of the row-number column ("No.").
inline constexpr int kNumberHeaderText = 39950;

/// One column: the channel field it shows, width and the kind of its cells. A column that
/// shows a field takes its header text from the field's label, so the grid and the channel
/// field table cannot name the same value differently.
struct ChannelGridColumn {
    std::string_view field;  ///< key in kChannelFieldTable; kNoChannelField for none
    int ownHeaderTextId;     ///< header text of a column without a field
    int width;               ///< width in pixels; 0 = the rest of the grid
    CellKind kind;           ///< cell kind before the row's tone types are applied
    int choiceList;          ///< choice list of a drop-down (header id + 1); 0 for none or tones
};

/// The columns in grid order.
inline constexpr std::array<ChannelGridColumn, kChannelGridColumns> kChannelGridLayout{{
    {kNoChannelField, kNumberHeaderText, 60, CellKind::Fixed, 0},
    {kNoChannelField, 3690, 95, CellKind::Text, 0},
    {"rx_frequency", 0, 95, CellKind::Frequency, 0},
    {"rx_type", 0, 50, CellKind::DropDown, kRxTypeList},
    {"rx_ctcss", 0, 50, CellKind::EditableDropDown, 0},
    {"rx_dcs", 0, 95, CellKind::EditableDropDown, 0},
    {"tx_frequency", 0, 95, CellKind::Frequency, 0},
    {"tx_type", 0, 50, CellKind::DropDown, kTxTypeList},
    {"tx_ctcss", 0, 50, CellKind::EditableDropDown, 0},
    {"tx_dcs", 0, 60, CellKind::EditableDropDown, 0},
    {"spacing", 0, 60, CellKind::DropDown, kSpacingList},
    {"power", 0, 90, CellKind::DropDown, kPowerList},
    {"personality", 0, 60, CellKind::DropDown, kPersonalityColumnList},
    {kNoChannelField, 3705, 90, CellKind::DropDown, 0},
    {"auto_start_scan", 0, 0, CellKind::Text, 0},
}};

/// Marks a column whose field the channel field table does not hold.
inline constexpr size_t kNoFieldRow = static_cast<size_t>(-1);

/// Row of kChannelFieldDefs that a column shows; kNoFieldRow for a column without a field
/// (or past the last column).
constexpr size_t ChannelColumnFieldRow(size_t column)
{
    if (column >= kChannelGridColumns || kChannelGridLayout[column].field.empty())
        return kNoFieldRow;
    for (size_t i = 0; i < std::size(kChannelFieldDefs); ++i)
        if (kChannelFieldDefs[i].key == kChannelGridLayout[column].field) return i;
    return kNoFieldRow;
}

/// Text id of a column's header: the label of its field, or the column's own text id.
constexpr int ChannelColumnHeaderTextId(size_t column)
{
    const size_t row = ChannelColumnFieldRow(column);
    if (row != kNoFieldRow) return kChannelFieldDefs[row].label;
    return column < kChannelGridColumns ? kChannelGridLayout[column].ownHeaderTextId : 0;
}

/// True when every column that names a field finds it in the channel field table and leaves
/// its own header id empty (the label is the field's).
constexpr bool ChannelGridNamesItsFields()
{
    for (size_t c = 0; c < kChannelGridColumns; ++c) {
        if (kChannelGridLayout[c].field.empty()) continue;
        if (ChannelColumnFieldRow(c) == kNoFieldRow || kChannelGridLayout[c].ownHeaderTextId != 0)
            return false;
    }
    return true;
}
static_assert(ChannelGridNamesItsFields());

/// Header text of a column ("No." for column 0, the language text otherwise).
std::string ChannelColumnHeader(size_t column);

/// One channel row: the cell texts and the cell kinds after the row's tone types.
struct ChannelGridRow {
    std::array<std::string, kChannelGridColumns> cells;  ///< texts in column order
    std::array<CellKind, kChannelGridColumns> kinds{};   ///< kinds in column order
};

/// Cell kinds of a channel row: a tone cell is an editable drop-down only when its side's type
/// uses it (analog for columns 4/8, digital for 5/9), otherwise fixed; the type, spacing and
/// power drop-downs (3, 7, 10, 11) also accept typed text (a text not in the list keeps the
/// stored value); the personality and scan list cells (12, 13) store nothing and are fixed.
std::array<CellKind, kChannelGridColumns> ChannelRowKinds(ToneType rxType, ToneType txType);
/// The row of channel `number` (1-based) from its text form: "%u" number, the fields, in
/// column 12 "%d" of the personality number when byte 18 names an existing personality (else
/// empty), column 13 empty, column 14 "%d" of F6; kinds from the type texts.
ChannelGridRow MakeChannelRow(size_t number, const ChannelFields& fields);
/// The row of a channel as ShowFields shows it (the record is not changed).
ChannelGridRow FillChannelRow(const CChannelData& channel, size_t number);
/// Recomputes the row's kinds from its type cells (after a type cell changed).
void RetypeChannelRow(ChannelGridRow& row);
/// Choices a cell of a column offers: all 51 tones or all 107 codes for the tone columns
/// (no user-level filter), the texts of the header id + 1 choice list for columns 3, 7, 10 and
/// 11, nothing for the other columns.
std::vector<std::string> ChannelCellChoices(size_t column);
/// Text form of a row: cells 1-11 into their fields (frequencies read with rounding as packed
/// decimal, empty = none; a cell that still shows the frequency of `base` gives that value),
/// F6 from column 14 read as a number (non-zero = set); step codes, PersonalityIndex and
/// F1-F5, F7 are taken from `base`.
ChannelFields ChannelRowToFields(const ChannelGridRow& row, const ChannelFields& base);
/// Commits an edited row into the channel: FromFields with the band for the fields whose cells
/// differ from what the channel shows (the others keep their bytes), the step nibble of a
/// changed frequency from StepOf of the stored value, flags with byte 18 and F1-F5 unchanged
/// and F6 from column 14,
/// in-use flag from the receive frequency. Refills and retypes `row` (keeping its alias, which
/// the record does not hold), and returns the notice to broadcast (code 7, flags 2048,
/// key = number).
NoticeRecord CommitChannelRow(CChannelData& channel, ChannelGridRow& row, size_t number,
                              const BandLimits& band, const void* sender = nullptr);

/// Channel `number`'s edit function for one field by key: a field the grid shows goes through
/// the grid's row commit (CommitChannelRow) after its value was checked (a frequency a number
/// within the band, a drop-down one of its entries, a tone a number); the personality names a
/// personality in use; the links, step codes and read-only flags are refused by name. Every
/// field the rules moved besides the edited one is named with the reason.
EditResult EditChannelField(CChannelData& channel, size_t number, std::string_view key,
                            std::string_view text, const BandLimits& band,
                            const CTextService& texts);

}  // namespace rv
