#pragma once
// The service commands of the Program menu that this folder serves: Factory Mode and Memory
// Update.

namespace rv {

class IMainShell;

/// Memory Update (F5, full service level): every open view stores its fields, the memory
/// image is rebuilt from the data, and an open Data Watch view compares the image with what
/// it showed before and is brought forward.
void RunMemoryUpdate(IMainShell& shell);
/// Registers Factory Mode and Memory Update with the main window.
void RegisterServiceCommands();

}  // namespace rv
