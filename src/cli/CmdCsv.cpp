// `export` and `import`: the channels of a data file as CSV and back.
//
//   rvcps-cli [--home DIR] export FILE --csv OUT.csv
//   rvcps-cli [--home DIR] import FILE --csv IN.csv [--rows LIST] [--fit] [--skip-unfit]
//             -o OUT.dat
//
// Import never moves a channel silently: a row the radio cannot hold as it stands is listed
// with its line, Location and every problem, and the file is refused with one "Nothing was
// written" at the end. `--fit` stores the values the channel rules fit (band edge, step
// raster) and names each change; `--skip-unfit` leaves out the rows that still do not fit,
// naming each; `--rows 1-8,20` takes those Locations into channels 1, 2, ... in that order.
// Names cut to what the alias takes and every scan-list or emergency reference to a channel
// that a plan with fewer rows removes are named too.

#include "base/AtomicFile.h"
#include "base/Settings.h"
#include "cli/Cli.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCsv.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kExportOptions[] = {{"--csv", true}};
constexpr OptionSpec kImportOptions[] = {
    {"--csv", true}, {"-o", true}, {"--rows", true}, {"--fit", false}, {"--skip-unfit", false}};

void ReportNote(const CsvNote& note)
{
    ReportText(note.message, CsvNoteText(note));
}

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
    CsvImportOptions options;
    options.fit = args.Has("--fit");
    options.skipUnfit = args.Has("--skip-unfit");
    if (const std::optional<std::string> rows = args.Get("--rows")) {
        options.rows = ParseRowList(*rows);
        if (!options.rows) return UsageError("--rows " + *rows);
    }
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, args.positionals[0]) || !CheckOutputFile(*out)) return ExitCode::Failure;
    switch (CheckReadableFile(*csv, kMaxChannelCsvBytes)) {
        case FileProblem::None:
            break;
        case FileProblem::TooLarge:
            Report(CsvMessage::kTooLarge, SizeText(kMaxChannelCsvBytes));
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
    const ChannelImport plan =
        PlanChannelImport(bytes, Radio(), CurrentBandLimits(), Settings(), options);
    for (const CsvNote& n : plan.errors) ReportNote(n);
    if (!plan.Ok()) {
        Report(CsvMessage::kNothingWritten);
        return ExitCode::Failure;
    }
    for (const CsvNote& n : plan.skipped) ReportNote(n);
    for (const CsvNote& n : plan.fitted) ReportNote(n);
    for (const CsvNote& n : plan.notices) ReportNote(n);
    for (const CsvNote& n : plan.references) ReportNote(n);
    ApplyChannelImport(Radio(), plan);
    return doc.SaveTo(*out, "").Ok() ? ExitCode::Success : ExitCode::Failure;
}

}  // namespace rv::cli
