#pragma once
// The radio verbs of the command line (read, write) and what they share: the port and model
// options and the progress bar drawn on stderr while a transfer runs.

#include <atomic>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "link/LinkTrace.h"
#include "link/Transfer.h"

namespace rv::cli {

/// `read --port PORT [--model ID] [--range L-H] -o FILE`
ExitCode RunRead(std::span<const std::string> args);
/// `write --port PORT [--no-backup] [--no-verify] FILE`
ExitCode RunWrite(std::span<const std::string> args);
/// `verify --port PORT FILE`
ExitCode RunVerify(std::span<const std::string> args);
/// `backups`
ExitCode RunBackups(std::span<const std::string> args);

/// Messages of the radio verbs (texts "S01%05d").
struct CliLinkMessage {
    static constexpr int kRadioResult = 1780;         ///< "%s" port, "%s" what became of it
    static constexpr int kVerified = 1781;            ///< the read-back found what was sent
    static constexpr int kSummary = 1782;             ///< "%s" done, "%s" of, "%s" failed
    static constexpr int kPortTwice = 1783;           ///< "%s" the port given twice
    static constexpr int kChangedNeedsBackup = 1784;  ///< --changed-only with --no-backup
    static constexpr int kTraceNotWritten = 1785;     ///< "%s" the trace file
    static constexpr int kPatternNeedsPort = 1787;    ///< "%s" the -o given for several ports
    static constexpr int kReadSaved = 1788;           ///< "%s" the file a read was saved as
};

/// The ports of the radio verbs (`--port`, one or more): none empty, none given twice. On a
/// fault the message has been printed and the exit code is returned; nothing when they are fine.
std::optional<ExitCode> TakePorts(const ParsedArgs& args, std::vector<std::string>& ports);

/// `--trace FILE` of the radio verbs: while it lives, every link of the program writes into
/// one trace, which Finish saves (atomically) whatever became of the command.
class CliTraceScope {
public:
    /// Checks that the file can be written before the radio is asked anything; Ok() is false
    /// after the message was printed. An empty path traces nothing.
    explicit CliTraceScope(const std::string& path);
    ~CliTraceScope();
    CliTraceScope(const CliTraceScope&) = delete;
    CliTraceScope& operator=(const CliTraceScope&) = delete;
    bool Ok() const { return ok_; }
    /// Saves the trace; a trace that cannot be saved turns success into Failure.
    ExitCode Finish(ExitCode code);

private:
    std::string path_;
    std::unique_ptr<CLinkTrace> trace_;
    bool ok_ = true;
};

/// Catches Ctrl-C, SIGTERM and SIGHUP while it lives (the dispositions before it come back);
/// StopFlag() is set by them.
class CliStopSignals {
public:
    CliStopSignals();
    ~CliStopSignals();
    CliStopSignals(const CliStopSignals&) = delete;
    CliStopSignals& operator=(const CliStopSignals&) = delete;
};
/// The flag the stop signals set.
const std::atomic<bool>& StopFlag();

/// Reports nothing (a transfer among several at once).
class SilentProgress : public ITransferObserver {
public:
    void OnTransferProgress(TransferDirection, int) override {}
    void OnTransferFinished(TransferDirection, const LinkResult&) override {}
};

/// Connect and Run on port with the stop flag, printing nothing; the result.
LinkResult TransferQuietly(CTransfer& transfer, const std::string& port,
                           ITransferObserver& observer);

/// Draws the transfer's progress as a bar on stderr when stderr is a terminal; otherwise
/// prints nothing.
class CliProgress : public ITransferObserver {
public:
    CliProgress();
    void OnTransferProgress(TransferDirection direction, int percent) override;
    void OnTransferFinished(TransferDirection direction, const LinkResult& result) override;

private:
    bool terminal_;
    int shown_ = -1;
};

/// Connects, transfers and reports: Connect on port, Run with a progress bar, the failure's
/// message on stderr. Ctrl-C, SIGTERM and SIGHUP are caught meanwhile: the transfer ends after
/// the block under way, the connection is ended and the port released, and the result is
/// Interrupted (the message says what the radio holds). Success, Failure or Interrupted.
/// With `within`, the failure's text is given inside that message (a backup or verify read);
/// with `outcome`, the result is kept there.
ExitCode RunTransfer(CTransfer& transfer, const std::string& port, int within = 0,
                     LinkResult* outcome = nullptr);

}  // namespace rv::cli
