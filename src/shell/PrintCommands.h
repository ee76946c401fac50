#pragma once
// Print (with the Print Tree screen), Print Preview and Print Setup of the File menu.

#include <vector>

#include "report/gui/DlgPrintTree.h"

namespace rv {

/// Registers the three print commands with the main window's registry.
void RegisterPrintCommands();
/// The items of the Print Tree screen: the navigation tree's items as the main window shows
/// them (the user level and the edition remove the same ones).
std::vector<PrintTreeItem> PrintTreeItems();

}  // namespace rv
