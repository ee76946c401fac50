// `write`: writes a data file to one radio or to several at once.
//
//   rvcps-cli [--home DIR] write --port PORT... [--no-backup] [--no-verify]
//                                [--all-blocks | --changed-only] [--trace LOG] FILE
//
// The file is opened as the Open command does (its model and range become the current ones),
// checked for broken references (each one found is listed), stored into the memory image and
// written to the radio's configuration areas with a new programming time stamp. The file itself
// is not changed. The write is one session on the port, opened and locked once for all of its
// steps: the whole radio is read and saved as a backup data file (unless --no-backup; a backup
// that cannot be read or saved stops the write before it starts), the 16-byte blocks that differ
// from what the backup read found are sent (every block with --all-blocks or --no-backup;
// --changed-only names the default) and the time stamp, then the blocks sent and the time stamp
// are read back and compared byte for byte with what was sent (unless --no-verify). The result
// says how many blocks were sent and what was checked. A failed write or verify names the backup
// and how to put it back. --trace writes every frame of the session to LOG.
//
// Several --port options program each radio on a thread of its own, each with its own session;
// one radio's failure never touches the others. Each radio gets one result line, then a
// summary; the exit status is 1 when any radio failed.
// Ctrl-C, SIGTERM and SIGHUP end the session after the block or the step under way: the radio
// is put back to normal operation, the port released, and the message says which addresses
// hold the new configuration (exit status 130).
//
// `restore` (CmdRestore.cpp) runs the same session with a backup's own bytes.

#include <cstdio>
#include <thread>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "cli/CliLink.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "link/SafeWrite.h"

#include "link/WriteSession.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kWriteOptions[] = {
    {"--port", true, true},    {"--no-backup", false},  {"--no-verify", false},
    {"--changed-only", false}, {"--all-blocks", false}, {"--trace", true},
};

/// Writes to every port at once, each radio on its own thread, then prints one result line
/// per radio and the summary.
ExitCode WriteRadios(const std::vector<std::string>& ports, const WriteSessionOptions& options)
{
    const CSettings& s = Settings();
    std::vector<RadioJob> jobs;
    std::vector<Image> images(ports.size(), Radio().MemoryImage());
    std::vector<ExitCode> codes(ports.size(), ExitCode::Failure);
    for (const std::string& port : ports) jobs.emplace_back(port, false);
    {
        std::vector<std::jthread> threads;
        for (size_t i = 0; i < ports.size(); ++i)
            threads.emplace_back(
                [&, i] { codes[i] = RunSessionJob(jobs[i], options, images[i]); });
    }
    size_t failed = 0;
    bool interrupted = false;
    for (size_t i = 0; i < jobs.size(); ++i) {
        std::string what;
        if (codes[i] == ExitCode::Success) {
            for (const std::string& note : jobs[i].Notes())
                what += (what.empty() ? "" : " ") + note;
        } else {
            ++failed;
            interrupted = interrupted || codes[i] == ExitCode::Interrupted;
            for (const std::string& trouble : jobs[i].Troubles())
                what += (what.empty() ? "" : "\n") + trouble;
        }
        // A message of several lines stays under its radio.
        std::string line = s.LoadMessage(CliLinkMessage::kRadioResult, {jobs[i].Port(), what});
        for (size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at + 5))
            line.replace(at, 1, "\n    ");
        std::printf("%s\n", line.c_str());
    }
    std::printf("%s\n", s.LoadMessage(CliLinkMessage::kSummary,
                                      {std::to_string(jobs.size() - failed),
                                       std::to_string(jobs.size()), std::to_string(failed)})
                            .c_str());
    std::fflush(stdout);
    if (interrupted) return ExitCode::Interrupted;
    return failed ? ExitCode::Failure : ExitCode::Success;
}

}  // namespace

ExitCode RunWrite(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kWriteOptions);
    if (!args.Ok()) return UsageError(args.bad);
    std::vector<std::string> ports;
    if (const auto fault = TakePorts(args, ports)) return *fault;
    if (args.positionals.size() != 1) {
        return UsageError(args.positionals.empty() ? std::string("FILE") : args.positionals[1]);
    }
    WriteSessionOptions options;
    options.backup = !args.Has("--no-backup");
    options.verify = !args.Has("--no-verify");
    options.allBlocks = args.Has("--all-blocks");
    options.sourceFile = args.positionals.front();
    if (args.Has("--changed-only") && !options.backup) {
        Report(CliLinkMessage::kChangedNeedsBackup);
        return ExitCode::Usage;
    }
    if (args.Has("--changed-only") && options.allBlocks) {
        Report(CliLinkMessage::kAllOrChanged);
        return ExitCode::Usage;
    }

    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, options.sourceFile)) return ExitCode::Failure;
    RadioData& radio = Radio();
    if (radio.ValidateAll()) {
        // The command line has no invalid list to look at: each entry is named here.
        Report(CliLinkMessage::kInvalidNotWritten);
        ReportInvalidEntries(radio.InvalidLog());
        return ExitCode::Failure;
    }
    radio.MemoryMap().StoreToImage(radio.MemoryImage());

    CliTraceScope trace(args.Get("--trace").value_or(std::string()));
    if (!trace.Ok()) return ExitCode::Failure;
    // The signals are caught for the whole session, so that one between two steps is honoured.
    const CliStopSignals signals;
    if (ports.size() > 1) return trace.Finish(WriteRadios(ports, options));
    RadioJob job(ports.front(), true);
    return trace.Finish(RunSessionJob(job, options, radio.MemoryImage()));
}

}  // namespace rv::cli
