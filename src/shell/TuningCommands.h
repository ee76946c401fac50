#pragma once
// The tuning commands of the Program menu: Adjustment, Base Band and Write Tune Data. Each
// connects with IdentifyRadio, runs its screen or its writing, and ends the connection with
// mode 1.

namespace rv {

class IMainShell;

/// Adjustment: the radio in adjustment mode, the Tuning screen, then mode 1.
void RunAdjustment(IMainShell& shell);
/// Base Band: the radio in mode 3, the Base Band screen, then mode 1 (service levels).
void RunBaseBand(IMainShell& shell);
/// Write Tune Data: after a question, the tuning record to the radio (service levels).
void RunWriteTuneData(IMainShell& shell);
/// Registers the three commands with the main window.
void RegisterTuningCommands();

}  // namespace rv
