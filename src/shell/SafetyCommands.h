#pragma once
// File > Restore Backup... and Help > Save Link Trace...: the backups taken before writes put
// back on the radio, and the trace of this session's radio connections saved for whoever
// looks into a radio that misbehaves.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace rv {

class CLinkTrace;
class IMainShell;

/// Messages of the link trace command (texts "S01%05d").
struct TraceMessage {
    static constexpr int kNotSaved = 1785;  ///< %s the file
    static constexpr int kSaved = 1789;     ///< %s the file
    static constexpr int kEmpty = 1790;     ///< nothing traced yet
};
/// Interface texts of the link trace command (texts "S02%05d").
struct TraceText {
    static constexpr int kFilter = 40310;  ///< file dialog filter
    static constexpr int kTitle = 40311;   ///< file dialog title
};

/// Lines of the session trace kept in memory: the newest, about the last few transfers.
inline constexpr size_t kSessionTraceLines = 20000;

/// The trace of this session's radio connections, made and installed as every link's trace
/// (SetSessionTrace) on first use.
CLinkTrace& GuiSessionTrace();

/// Asks for the file to save the trace in; nothing when cancelled.
using TracePathChooser = std::function<std::optional<QString>(QWidget* parent)>;
/// Installs a chooser instead of the file dialog (an empty one restores it); returns the
/// previous one.
TracePathChooser SetTracePathChooser(TracePathChooser chooser);

/// Saves the session trace to path (atomically); false (message shown, log row) when it was
/// not saved or there was nothing to save.
bool SaveLinkTraceTo(IMainShell& shell, const QString& path);

/// Registers Restore Backup and Save Link Trace with the main window's registry and installs
/// the session trace.
void RegisterSafetyCommands();

}  // namespace rv
