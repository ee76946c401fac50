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
#include "data/InvalidLog.h"
#include "link/LinkTrace.h"
#include "link/Transfer.h"
#include "link/WriteSession.h"

namespace rv::cli {

/// `read --port PORT [--model ID] [--range L-H] -o FILE`
ExitCode RunRead(std::span<const std::string> args);
/// `write --port PORT... [--no-backup] [--no-verify] [--all-blocks|--changed-only] FILE`
ExitCode RunWrite(std::span<const std::string> args);
/// `restore --port PORT [--other-radio] BACKUP.dat`
ExitCode RunRestore(std::span<const std::string> args);
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
    static constexpr int kAllOrChanged = 3030;        ///< --all-blocks with --changed-only
    /// the backup read found a radio of another range (%s radio's, %s the file's)
    static constexpr int kRangeMismatch = 3031;
    static constexpr int kInvalidEntry = 3032;  ///< one invalid entry (%s where and why, %s field)
    /// a file with broken references was not saved / not written; the entries follow
    static constexpr int kInvalidNotSaved = 3606;
    static constexpr int kInvalidNotWritten = 3607;
    /// a restore: the backup's time and model do not matter, only its bytes (%s the backup)
    static constexpr int kRestoreOf = 3033;
};

/// Names of the steps of a write session on the terminal's progress line (texts "S02%05d").
struct CliLinkText {
    static constexpr int kStepBackup = 41000;
    static constexpr int kStepWrite = 41001;
    static constexpr int kStepVerify = 41002;
    static constexpr int kBlocksOf = 41003;  ///< "%d of %d blocks"
};

/// Prints each entry of the invalid log on stderr: where (record and item), why, and the field.
void ReportInvalidEntries(const CInvalidLog& log);

/// Where one radio's messages go: printed at once (one radio), or kept for its result line
/// (several radios at once, where the lines of the threads must not mix).
class RadioJob {
public:
    RadioJob(std::string port, bool immediate) : port_(std::move(port)), immediate_(immediate) {}

    const std::string& Port() const { return port_; }
    bool Immediate() const { return immediate_; }
    /// A line of what went well (stdout).
    void Out(const std::string& text);
    /// A message of what failed (stderr, or the radio's result).
    void Err(int id, const std::string& text);

    const std::vector<std::string>& Notes() const { return notes_; }
    const std::vector<std::string>& Troubles() const { return troubles_; }

private:
    std::string port_;
    bool immediate_;
    std::vector<std::string> notes_, troubles_;
};

/// Runs one radio's write session (backup, write, verify on one locked port) with the stop
/// signals' flag, reporting through job: the backup saved, the result ("2 of 83 blocks written.
/// Written and verified."), a restore's ranges, or the failure and the backup that puts the
/// radio back. image is what is sent (its own copy when several radios are written at once).
ExitCode RunSessionJob(RadioJob& job, WriteSessionOptions options, Image& image);

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
