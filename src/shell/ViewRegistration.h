#pragma once
// The one list of the desktop program's views: which view class serves which tree command.

namespace rv {

/// Registers every view of the program with the main window's registry (ui/ShellRegistry.h).
/// The program and the GUI tests call it once before they make a main window; calling it again
/// puts the program's views back in place of any stand-ins.
void RegisterViews();

}  // namespace rv
