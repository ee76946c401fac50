#pragma once
// The radio verbs of the command line (read, write) and what they share: the port and model
// options and the progress bar drawn on stderr while a transfer runs.

#include <span>
#include <string>

#include "cli/Cli.h"
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
