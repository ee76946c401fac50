#pragma once
// Which categories the print command prints: the print catalogue with a selected flag per row.

#include <array>
#include <cstddef>
#include <cstdint>

namespace rv {

/// One row of the print catalogue: the section's form (also its title text) and the tree item.
struct PrintCatalogueRow {
    uint16_t formId;
    uint16_t commandId;
};

/// Number of rows of the print catalogue.
inline constexpr size_t kPrintRowCount = 16;
/// The print catalogue: the eleven rows of the first catalogue, then the other categories the
/// navigation tree offers (their row numbers follow the first eleven so that a row keeps its
/// number). The report prints them in the tree's order.
inline constexpr std::array<PrintCatalogueRow, kPrintRowCount> kPrintCatalogue = {{
    {1109, 32800},  // radio information
    {6601, 32802},  // programmable keys
    {1400, 32803},  // miscellaneous
    {4900, 32805},  // volume
    {4420, 32809},  // VOX
    {4650, 32815},  // mode
    {3655, 32821},  // channels
    {2310, 32823},  // personalities
    {5300, 32854},  // DTMF system
    {3801, 32884},  // scan lists
    {4000, 32887},  // test frequencies
    {6500, 32807},  // microphone
    {7300, 32885},  // emergency
    {4701, 32886},  // embedded module (the messages, never the password)
    {7401, 32889},  // maintenance board (service levels)
    {3509, 32888},  // data watch (full service level)
}};

class CPrintSelection {
public:
    /// Every row clear.
    CPrintSelection() = default;
    /// Number of rows.
    static constexpr size_t Count() { return kPrintRowCount; }
    /// Catalogue row i.
    static const PrintCatalogueRow& Row(size_t i) { return kPrintCatalogue.at(i); }
    /// Row index of a tree command id, or -1 when no row has it.
    static int IndexOfCommand(uint32_t commandId);
    /// Selected flag of row i.
    bool Selected(size_t i) const { return selected_.at(i); }
    void SetSelected(size_t i, bool on) { selected_.at(i) = on; }
    /// Sets the flag of the row with this command id; false when no row has it.
    bool SelectCommand(uint32_t commandId, bool on);
    /// Clears every flag.
    void ClearAll() { selected_.fill(false); }
    /// True when at least one row is selected.
    bool AnySelected() const;

private:
    std::array<bool, kPrintRowCount> selected_{};
};

}  // namespace rv
