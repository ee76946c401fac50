// `verify`: reads a radio and compares it with a data file, byte for byte.
//
//   rvcps-cli [--home DIR] verify --port PORT [--trace LOG] FILE
//
// The file is opened as `write` opens it (its model and range become the current ones); the
// blocks of the ranges a write reaches (the time stamp aside: every write gives a new one) are
// read from the radio and compared byte for byte with the file's own bytes. Exit status as diff
// has it: 0 equal, 1 different, with the first differing address, the number of differing
// bytes and each difference on stdout (the field where one covers it, else the address and
// both bytes). A file or a radio that cannot be read is trouble (2) with its message on stderr
// and nothing on stdout. Nothing is written: not the file, not the radio.

#include <cstdio>

#include "base/Settings.h"
#include "cli/CliLink.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/RadioData.h"
#include "link/SafeWrite.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kVerifyOptions[] = {
    {"--port", true},
    {"--trace", true},
};

}  // namespace

ExitCode RunVerify(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kVerifyOptions);
    if (!args.Ok()) return UsageError(args.bad);
    const auto port = args.Get("--port");
    if (!port || port->empty()) return UsageError("--port");
    if (args.positionals.size() != 1) {
        return UsageError(args.positionals.empty() ? std::string("FILE") : args.positionals[1]);
    }
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    // A file or a radio that cannot be read is trouble (2), as diff has it; 1 means different.
    const std::string& path = args.positionals.front();
    if (!OpenDataFile(doc, path)) return ExitCode::Usage;
    // The file's own bytes, as a write of it sends them: not repacked.
    Image file{};
    if (!CDataFile::Read(path, nullptr, file)) return ExitCode::Usage;

    CliTraceScope trace(args.Get("--trace").value_or(std::string()));
    if (!trace.Ok()) return ExitCode::Usage;
    std::vector<AddressRange> ranges;
    for (const AddressRange& r : WrittenRanges(Settings().IsServiceLevel()))
        if (r.first != kStampBlock.address) ranges.push_back(r);
    CTransfer read(TransferDirection::Read);
    read.SetReadRanges(ranges);
    if (const ExitCode code = RunTransfer(read, *port); code != ExitCode::Success)
        return trace.Finish(code == ExitCode::Interrupted ? code : ExitCode::Usage);
    // A trace that cannot be saved is trouble (2), whatever the comparison found.
    if (trace.Finish(ExitCode::Success) != ExitCode::Success) return ExitCode::Usage;

    const ImageDifference difference =
        CompareRanges(file, read.Buffer(), ranges, DifferenceSource::File);
    if (difference.Equal()) {
        std::printf("%s\n", Settings().LoadMessage(SafeWriteMessage::kVerifyEqual).c_str());
        return ExitCode::Success;
    }
    std::printf("%s\n", DifferenceText(difference, DifferenceSource::File).c_str());
    return ExitCode::Failure;
}

}  // namespace rv::cli
