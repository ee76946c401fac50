// `write`: writes a data file to one radio or to several at once.
//
//   rvcps-cli [--home DIR] write --port PORT... [--no-backup] [--no-verify] [--changed-only]
//                                [--trace LOG] FILE
//
// The file is opened as the Open command does (its model and range become the current ones),
// checked for broken references, stored into the memory image and written to the radio's
// configuration areas with a new programming time stamp. The file itself is not changed.
// Before anything is written the whole radio is read and saved as a backup data file (unless
// --no-backup); a backup that cannot be read or saved stops the write before it starts. With
// --changed-only only the 16-byte blocks that differ from what the backup read found are sent
// (the time stamp always). After the write the written ranges and the time stamp are read back
// and compared with what was sent (unless --no-verify). Each of these is a connection of its
// own, exactly as a read or a write. A failed write or verify names the backup and how to put
// it back. --trace writes every frame of every connection to LOG.
//
// Several --port options program each radio on a thread of its own, each with its own backup,
// write and verify; one radio's failure never touches the others. Each radio gets one result
// line, then a summary; the exit status is 1 when any radio failed.
// Ctrl-C, SIGTERM and SIGHUP end the write after the block under way: the radio is put back to
// normal operation, the port released, and the message says which addresses hold the new
// configuration (exit status 130).

#include <cstdio>
#include <thread>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "cli/CliLink.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "link/SafeWrite.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kWriteOptions[] = {
    {"--port", true, true},    {"--no-backup", false}, {"--no-verify", false},
    {"--changed-only", false}, {"--trace", true},
};

struct WriteOptions {
    bool backup = true;
    bool verify = true;
    bool changedOnly = false;
    std::string sourceFile;
};

/// Where one radio's messages go: printed at once (one radio), or kept for its result line
/// (several radios at once, where the lines of the threads must not mix).
class RadioJob {
public:
    RadioJob(std::string port, bool immediate) : port_(std::move(port)), immediate_(immediate) {}

    const std::string& Port() const { return port_; }
    /// A line of what went well (stdout).
    void Out(const std::string& text)
    {
        if (immediate_) {
            std::printf("%s\n", text.c_str());
            std::fflush(stdout);
        } else {
            notes_.push_back(text);
        }
    }
    /// A message of what failed (stderr, or the radio's result).
    void Err(int id, const std::string& text)
    {
        if (immediate_)
            ReportText(id, text);
        else
            troubles_.push_back(text.empty() ? "#" + std::to_string(id) : text);
    }
    /// Connects and runs a transfer; a failure's text goes inside message `within` when given.
    ExitCode Transfer(CTransfer& transfer, int within = 0, LinkResult* outcome = nullptr)
    {
        if (immediate_) return RunTransfer(transfer, port_, within, outcome);
        SilentProgress quiet;
        const LinkResult result = TransferQuietly(transfer, port_, quiet);
        if (outcome) *outcome = result;
        if (result.Ok()) return ExitCode::Success;
        Err(within ? within : result.message,
            within ? Settings().LoadMessage(within, {result.Text()}) : result.Text());
        return result.status == LinkStatus::Interrupted || StopFlag().load() ? ExitCode::Interrupted
                                                                             : ExitCode::Failure;
    }

    const std::vector<std::string>& Notes() const { return notes_; }
    const std::vector<std::string>& Troubles() const { return troubles_; }

private:
    std::string port_;
    bool immediate_;
    std::vector<std::string> notes_, troubles_;
};

/// Reads the radio and saves it as a backup; the backup's path, or "" after the message.
std::string TakeBackup(RadioJob& job, const std::string& sourceFile, Image& held, ExitCode& code)
{
    code = ExitCode::Failure;
    std::string tried;
    const std::string folder = BackupFolder(Settings().ProgramDir(), HomeGiven(), tried);
    if (folder.empty()) {
        job.Err(SafeWriteMessage::kBackupFolderFailed,
                Settings().LoadMessage(SafeWriteMessage::kBackupFolderFailed, {tried}));
        return {};
    }
    CTransfer read(TransferDirection::Read);
    if (code = job.Transfer(read, SafeWriteMessage::kBackupReadFailed); code != ExitCode::Success)
        return {};
    code = ExitCode::Failure;
    const std::string path = SaveBackup(folder, read.Buffer(), read.Identity().modelName,
                                        Settings().FreqRange(), sourceFile, tried);
    if (path.empty()) {
        job.Err(SafeWriteMessage::kBackupSaveFailed,
                Settings().LoadMessage(SafeWriteMessage::kBackupSaveFailed, {tried}));
        return {};
    }
    code = ExitCode::Success;
    held = read.Buffer();
    job.Out(Settings().LoadMessage(SafeWriteMessage::kBackupSaved, {path}));
    return path;
}

/// Backup, write and verify of one radio; image is the memory to send (its own copy when
/// several radios are written at once).
ExitCode WriteRadio(RadioJob& job, const WriteOptions& options, Image& image)
{
    const CSettings& s = Settings();
    auto restoreHint = [&job, &s](const std::string& backup) {
        if (!backup.empty())
            job.Err(SafeWriteMessage::kRestoreHint,
                    s.LoadMessage(SafeWriteMessage::kRestoreHint, {backup}));
    };

    std::string backup;
    Image held{};
    if (options.backup) {
        ExitCode code = ExitCode::Success;
        backup = TakeBackup(job, options.sourceFile, held, code);
        if (backup.empty()) return code;
    }

    CTransfer transfer(TransferDirection::Write);
    transfer.UseImage(image);
    if (options.changedOnly) transfer.SetHeldImage(&held);
    LinkResult written;
    if (const ExitCode code = job.Transfer(transfer, 0, &written); code != ExitCode::Success) {
        // Only a write that sent blocks has changed the radio.
        if (written.status == LinkStatus::BlockFailed || !written.written.empty())
            restoreHint(backup);
        return code;
    }
    if (options.changedOnly)
        job.Out(s.LoadMessage(SafeWriteMessage::kChangedBlocks,
                              {std::to_string(transfer.BlocksSent()),
                               std::to_string(WritePlan(s.IsServiceLevel()).size())}));
    if (!options.verify) return ExitCode::Success;

    // The image now holds what was sent, the new time stamp included. After a write of the
    // changed blocks only those and the time stamp are read back: the rest is what the backup
    // read found a moment ago.
    const std::vector<AddressRange> ranges =
        VerifyRanges(options.changedOnly, written.written, s.IsServiceLevel());
    CTransfer check(TransferDirection::Read);
    if (options.changedOnly) check.SetReadRanges(ranges);
    if (const ExitCode code = job.Transfer(check, SafeWriteMessage::kVerifyReadFailed);
        code != ExitCode::Success) {
        restoreHint(backup);
        return code;
    }
    const ImageDifference difference = CompareRanges(image, check.Buffer(), ranges);
    if (!difference.Equal()) {
        job.Err(SafeWriteMessage::kVerifyMismatch, DifferenceText(difference));
        restoreHint(backup);
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}

/// Writes to every port at once, each radio on its own thread, then prints one result line
/// per radio and the summary.
ExitCode WriteRadios(const std::vector<std::string>& ports, const WriteOptions& options)
{
    const CSettings& s = Settings();
    const CliStopSignals signals;
    std::vector<RadioJob> jobs;
    std::vector<Image> images(ports.size(), Radio().MemoryImage());
    std::vector<ExitCode> codes(ports.size(), ExitCode::Failure);
    for (const std::string& port : ports) jobs.emplace_back(port, false);
    {
        std::vector<std::jthread> threads;
        for (size_t i = 0; i < ports.size(); ++i)
            threads.emplace_back([&, i] { codes[i] = WriteRadio(jobs[i], options, images[i]); });
    }
    size_t failed = 0;
    bool interrupted = false;
    for (size_t i = 0; i < jobs.size(); ++i) {
        std::string what;
        if (codes[i] == ExitCode::Success) {
            what = s.LoadMessage(LinkMessage::kWriteDone);
            if (options.verify) what += " " + s.LoadMessage(CliLinkMessage::kVerified);
            for (const std::string& note : jobs[i].Notes()) what += " " + note;
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
    WriteOptions options;
    options.backup = !args.Has("--no-backup");
    options.verify = !args.Has("--no-verify");
    options.changedOnly = args.Has("--changed-only");
    options.sourceFile = args.positionals.front();
    if (options.changedOnly && !options.backup) {
        Report(CliLinkMessage::kChangedNeedsBackup);
        return ExitCode::Usage;
    }

    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, options.sourceFile)) return ExitCode::Failure;
    RadioData& radio = Radio();
    if (radio.ValidateAll()) {
        Report(DocMessage::kInvalidData);
        return ExitCode::Failure;
    }
    radio.MemoryMap().StoreToImage(radio.MemoryImage());

    CliTraceScope trace(args.Get("--trace").value_or(std::string()));
    if (!trace.Ok()) return ExitCode::Failure;
    if (ports.size() > 1) return trace.Finish(WriteRadios(ports, options));
    RadioJob job(ports.front(), true);
    return trace.Finish(WriteRadio(job, options, radio.MemoryImage()));
}

}  // namespace rv::cli
