// `write`: writes a data file to a radio.
//
//   rvcps-cli [--home DIR] write --port PORT FILE
//
// The file is opened as the Open command does (its model and range become the current ones),
// checked for broken references, stored into the memory image and written to the radio's
// configuration areas with a new programming time stamp. The file itself is not changed.
// Ctrl-C, SIGTERM and SIGHUP end the write after the block under way: the radio is put back to
// normal operation, the port released, and the message says which addresses hold the new
// configuration (exit status 130).

#include "cli/CliLink.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kWriteOptions[] = {
    {"--port", true},
};

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
    if (!OpenDataFile(doc, args.positionals.front())) return ExitCode::Failure;
    RadioData& radio = Radio();
    if (radio.ValidateAll()) {
        Report(DocMessage::kInvalidData);
        return ExitCode::Failure;
    }
    radio.MemoryMap().StoreToImage(radio.MemoryImage());

    CTransfer transfer(TransferDirection::Write);
    if (const ExitCode code = RunTransfer(transfer, *port); code != ExitCode::Success) return code;
    transfer.CommitWrite();
    return ExitCode::Success;
}

}  // namespace rv::cli
