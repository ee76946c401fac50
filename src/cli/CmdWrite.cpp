// `write`: writes a data file to a radio.
//
//   rvcps-cli [--home DIR] write --port PORT [--no-backup] [--no-verify] FILE
//
// The file is opened as the Open command does (its model and range become the current ones),
// checked for broken references, stored into the memory image and written to the radio's
// configuration areas with a new programming time stamp. The file itself is not changed.
// Before anything is written the whole radio is read and saved as a backup data file (unless
// --no-backup); a backup that cannot be read or saved stops the write before it starts. After
// the write the written ranges and the time stamp are read back and compared with what was
// sent (unless --no-verify). Each of these is a connection of its own, exactly as a read or a
// write. A failed write or verify names the backup and how to put it back.
// Ctrl-C, SIGTERM and SIGHUP end the write after the block under way: the radio is put back to
// normal operation, the port released, and the message says which addresses hold the new
// configuration (exit status 130).

#include <cstdio>

#include "base/Settings.h"
#include "cli/CliLink.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "link/SafeWrite.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kWriteOptions[] = {
    {"--port", true},
    {"--no-backup", false},
    {"--no-verify", false},
};

/// Reads the radio and saves it as a backup; the backup's path, or "" after the message.
std::string TakeBackup(const std::string& port, const std::string& sourceFile, ExitCode& code)
{
    code = ExitCode::Failure;
    std::string tried;
    const std::string folder = BackupFolder(Settings().ProgramDir(), HomeGiven(), tried);
    if (folder.empty()) {
        Report(SafeWriteMessage::kBackupFolderFailed, tried);
        return {};
    }
    CTransfer read(TransferDirection::Read);
    if (code = RunTransfer(read, port, SafeWriteMessage::kBackupReadFailed);
        code != ExitCode::Success)
        return {};
    code = ExitCode::Failure;
    const std::string path = SaveBackup(folder, read.Buffer(), read.Identity().modelName,
                                        Settings().FreqRange(), sourceFile, tried);
    if (path.empty()) {
        Report(SafeWriteMessage::kBackupSaveFailed, tried);
        return {};
    }
    code = ExitCode::Success;
    std::printf("%s\n", Settings().LoadMessage(SafeWriteMessage::kBackupSaved, {path}).c_str());
    std::fflush(stdout);
    return path;
}

void ReportRestore(const std::string& backup)
{
    if (!backup.empty()) Report(SafeWriteMessage::kRestoreHint, backup);
}

}  // namespace

ExitCode RunWrite(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kWriteOptions);
    if (!args.Ok()) return UsageError(args.bad);
    const auto port = args.Get("--port");
    if (!port || port->empty()) return UsageError("--port");
    if (args.positionals.size() != 1) {
        return UsageError(args.positionals.empty() ? std::string("FILE") : args.positionals[1]);
    }

    CliDocumentUi ui;
    CQTXDoc doc(ui);
    const std::string& fileName = args.positionals.front();
    if (!OpenDataFile(doc, fileName)) return ExitCode::Failure;
    RadioData& radio = Radio();
    if (radio.ValidateAll()) {
        Report(DocMessage::kInvalidData);
        return ExitCode::Failure;
    }
    radio.MemoryMap().StoreToImage(radio.MemoryImage());

    std::string backup;
    if (!args.Has("--no-backup")) {
        ExitCode code = ExitCode::Success;
        backup = TakeBackup(*port, fileName, code);
        if (backup.empty()) return code;
    }

    CTransfer transfer(TransferDirection::Write);
    LinkResult written;
    if (const ExitCode code = RunTransfer(transfer, *port, 0, &written);
        code != ExitCode::Success) {
        // Only a write that sent blocks has changed the radio.
        if (written.status == LinkStatus::BlockFailed || !written.written.empty())
            ReportRestore(backup);
        return code;
    }
    transfer.CommitWrite();
    if (args.Has("--no-verify")) return ExitCode::Success;

    // The image now holds what was sent, the new time stamp included.
    CTransfer check(TransferDirection::Read);
    if (const ExitCode code = RunTransfer(check, *port, SafeWriteMessage::kVerifyReadFailed);
        code != ExitCode::Success) {
        ReportRestore(backup);
        return code;
    }
    const ImageDifference difference = CompareRanges(radio.MemoryImage(), check.Buffer(),
                                                     WrittenRanges(Settings().IsServiceLevel()));
    if (!difference.Equal()) {
        ReportText(SafeWriteMessage::kVerifyMismatch, DifferenceText(difference));
        ReportRestore(backup);
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}

}  // namespace rv::cli
