// `restore`: puts a backup back on the radio it was taken from, byte for byte.
//
//   rvcps-cli [--home DIR] restore --port PORT [--other-radio] [--trace LOG] BACKUP.dat
//
// A backup is the radio's own earlier state, so its bytes are written as they are over every
// range a write reaches at the current user level, its own time stamp included: nothing is
// repacked, no adjustment for older firmware is made, and broken references between its items
// do not stop it (what the reference check finds is listed as a notice). The session is the
// write's: a backup of the radio as it is now is taken first, the blocks that differ from the
// backup being restored are sent, and they are read back and compared byte for byte. A backup
// of another model or range is refused as `write` refuses it; one of a radio with another
// serial number needs --other-radio. The result names the ranges restored and those the user
// level does not reach. Signals and exit status as `write` has them.

#include "base/Settings.h"
#include "cli/CliLink.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/RadioData.h"
#include "link/WriteSession.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kRestoreOptions[] = {
    {"--port", true},
    {"--other-radio", false},
    {"--trace", true},
};

}  // namespace

ExitCode RunRestore(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kRestoreOptions);
    if (!args.Ok()) return UsageError(args.bad);
    const auto port = args.Get("--port");
    if (!port || port->empty()) return UsageError("--port");
    if (args.positionals.size() != 1) {
        return UsageError(args.positionals.empty() ? std::string("BACKUP.dat")
                                                   : args.positionals[1]);
    }
    const std::string path = args.positionals.front();

    // Opened as write opens it, so that its model and range become the current ones; the
    // bytes sent are the file's own.
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, path)) return ExitCode::Failure;
    Image image{};
    if (!CDataFile::Read(path, nullptr, image)) return ExitCode::Failure;
    RadioData& radio = Radio();
    if (radio.ValidateAll()) {
        Report(WriteSessionMessage::kRestoreInvalidNotice, std::string());
        ReportInvalidEntries(radio.InvalidLog());
    }

    WriteSessionOptions options;
    options.restore = true;
    options.otherRadio = args.Has("--other-radio");
    options.sourceFile = path;

    CliTraceScope trace(args.Get("--trace").value_or(std::string()));
    if (!trace.Ok()) return ExitCode::Failure;
    const CliStopSignals signals;
    RadioJob job(*port, true);
    return trace.Finish(RunSessionJob(job, options, image));
}

}  // namespace rv::cli
