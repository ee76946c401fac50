// `export` and `import`: the channels of a data file as CSV and back.
//
//   rvcps-cli [--home DIR] export FILE --csv OUT.csv
//   rvcps-cli [--home DIR] import FILE --csv IN.csv -o OUT.dat
//
// Import applies the channel grid's rules row by row; every value they fitted is named on
// stderr with its row and column, and so is every scan-list or emergency reference to a
// channel that a plan with fewer rows removes, with what it became. A refused row or
// unreadable input names row and column and nothing is written.

#include "base/AtomicFile.h"
#include "base/Settings.h"
#include "cli/Cli.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCsv.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kExportOptions[] = {{"--csv", true}};
constexpr OptionSpec kImportOptions[] = {{"--csv", true}, {"-o", true}};

}  // namespace

ExitCode RunExport(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kExportOptions);
    if (!args.Ok()) return UsageError(args.bad);
    const std::optional<std::string> out = args.Get("--csv");
    if (!out || args.positionals.size() != 1)
        return UsageError(args.positionals.size() > 1 ? args.positionals[1] : "export");
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, args.positionals[0]) || !CheckOutputFile(*out)) return ExitCode::Failure;
    if (!WriteFileAtomic(*out, ChannelsToCsv(Radio(), Settings()))) {
        Report(CliMessage::kOutputNotWritable, *out);
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}

ExitCode RunImport(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kImportOptions);
    if (!args.Ok()) return UsageError(args.bad);
    const std::optional<std::string> csv = args.Get("--csv");
    const std::optional<std::string> out = args.Get("-o");
    if (!csv || !out || args.positionals.size() != 1)
        return UsageError(args.positionals.size() > 1 ? args.positionals[1] : "import");
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, args.positionals[0]) || !CheckOutputFile(*out)) return ExitCode::Failure;
    switch (CheckReadableFile(*csv, 16u << 20)) {
        case FileProblem::None:
            break;
        case FileProblem::TooLarge:
            Report(CliMessage::kFileTooLarge, {*csv, ">16 MB"});
            return ExitCode::Failure;
        case FileProblem::IsFolder:
            Report(CliMessage::kFileIsFolder, *csv);
            return ExitCode::Failure;
        case FileProblem::Missing:
        case FileProblem::NoFolder:
            Report(CliMessage::kFileMissing, *csv);
            return ExitCode::Failure;
        default:
            Report(CliMessage::kFileNotReadable, *csv);
            return ExitCode::Failure;
    }
    std::string bytes;
    if (!ReadWholeFile(*csv, bytes)) {
        Report(CliMessage::kFileNotReadable, *csv);
        return ExitCode::Failure;
    }
    const ChannelImport plan = PlanChannelImport(bytes, Radio(), CurrentBandLimits(), Settings());
    for (const CsvNote& n : plan.errors) Report(n.message, n.args);
    if (!plan.Ok()) return ExitCode::Failure;
    for (const CsvNote& n : plan.fitted) Report(n.message, n.args);
    for (const CsvNote& n : plan.references) Report(n.message, n.args);
    ApplyChannelImport(Radio(), plan);
    return doc.SaveTo(*out, "").Ok() ? ExitCode::Success : ExitCode::Failure;
}

}  // namespace rv::cli
