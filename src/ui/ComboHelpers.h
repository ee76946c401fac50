#pragma once
// Combo boxes filled from the language file's choice lists (each item carries its stored value
// as item data) or from the items of a list (each item carries the item's identity).

#include <cstdint>
#include <vector>

#include "data/RadioData.h"
#include "base/ChoiceList.h"

class QComboBox;

namespace rv {

/// Empties the combo box and adds the entries in order, each with its value as item data.
void FillComboBox(QComboBox* combo, const std::vector<ChoiceEntry>& entries);
/// The same with the items of choice list n of the language file.
void FillComboBox(QComboBox* combo, int listId);
/// Selects the item whose value is value; with none, clears the selection and returns false.
bool SelectComboValue(QComboBox* combo, int value);
/// Stored value of the selected item; none when nothing is selected.
int ComboValue(const QComboBox* combo, int none = -1);
/// Empties the combo box and adds (text, identity) entries (FillItemCombo of the core).
void FillItemCombo(QComboBox* combo, const std::vector<ItemEntry>& entries);
/// Selects the entry with this identity; with none, clears the selection and returns false.
bool SelectItemById(QComboBox* combo, uint32_t id);
/// Identity of the selected entry; 0 when nothing is selected.
uint32_t SelectedItemId(const QComboBox* combo);

}  // namespace rv
