#pragma once
// Export Channels and Import Channels of the File menu: the channels as a CSV channel table
// and back, the import previewed (values the channel rules change, rows refused) before it is
// applied.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace rv {

class CDlgChannelImport;
class IMainShell;

/// Message numbers of the channel exchange (texts "S01%05d").
struct ExchangeMessage {
    static constexpr int kNotWritten = 1448;  ///< path
    static constexpr int kNotRead = 1449;     ///< path
    static constexpr int kTooLarge = 1450;    ///< path
};

/// Text number of the file dialogs' filter.
inline constexpr int kCsvFilterText = 39763;

/// Asks for a CSV file (save: a file to write); nothing when cancelled.
using CsvPathChooser = std::function<std::optional<QString>(QWidget* parent, bool save)>;
/// Installs a chooser instead of the file dialogs (an empty one restores them); returns the
/// previous one.
CsvPathChooser SetCsvPathChooser(CsvPathChooser chooser);
/// Runs the import preview instead of exec() (tests press its buttons); returns the result
/// code. An empty function restores exec().
using ImportPreviewRunner = std::function<int(CDlgChannelImport& dialog)>;
ImportPreviewRunner SetImportPreviewRunner(ImportPreviewRunner runner);

/// Registers the exchange commands with the main window's registry.
void RegisterExchangeCommands();

/// Writes the channels to path; false (message shown, log row) when the file was not written.
bool ExportChannelsTo(IMainShell& shell, const QString& path);
/// Reads path, shows the preview and applies the import on Apply; true when it was applied.
bool ImportChannelsFrom(IMainShell& shell, const QString& path);

}  // namespace rv
