// `print`: opens a data file as the desktop program does and writes the printed report of the
// chosen sections as a PDF file, with the pages the desktop program prints (A4).
//
//   rvcps-cli [--home DIR] print FILE -o REPORT.pdf [--sections LIST|all]
//
// LIST is a comma-separated list of section names (radio, keys, misc, volume, vox, mode,
// channels, personalities, dtmf, scan, test_frequencies, microphone, emergency, embedded,
// maintenance_board, data_watch); without --sections every section the user level and the
// model offer is printed. The maintenance board is the data file's; the data watch prints the
// file's memory image. The pages are drawn by Qt on its offscreen platform: no display is needed,
// and the other verbs never start Qt at all.

#include <QGuiApplication>
#include <QPageSize>
#include <cstdio>
#include <ctime>
#include <memory>

#include "base/Settings.h"
#include "cli/Cli.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "report/PrintReport.h"
#include "report/render/ReportRenderer.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kPrintOptions[] = {{"-o"}, {"--sections"}};

/// Messages of the print verb.
constexpr int kMsgReportNotWritten = 1501;   ///< "%s": the PDF file
constexpr int kMsgUnknownSection = 1503;     ///< "%s" the name, "%s" the names there are
constexpr int kMsgNotDrawn = 1504;           ///< "%s": what failed
constexpr int kMsgSectionNotOffered = 3400;  ///< "%s" the name: not at this level or model

/// Qt's notes (a missing runtime folder and the like) are not the command's messages.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "rvcps-cli: %s\n", qPrintable(text));
}

/// Qt's application object on the offscreen platform, made for this verb only.
std::unique_ptr<QGuiApplication> StartOffscreenQt()
{
    qInstallMessageHandler(&QuietQtMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rvcps-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

ExitCode RunPrint(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kPrintOptions);
    if (!args.Ok()) return UsageError(args.bad);
    if (args.positionals.size() != 1)
        return UsageError(args.positionals.empty() ? "print" : args.positionals[1]);
    const std::optional<std::string> out = args.Get("-o");
    if (!out || out->empty()) return UsageError("-o");

    CPrintSelection selection;
    const std::string sections = args.Get("--sections").value_or("all");
    if (const auto bad = SelectSectionNames(selection, sections)) {
        Report(kMsgUnknownSection, {*bad, PrintSectionNameList()});
        return ExitCode::Failure;
    }

    const std::string& path = args.positionals.front();
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, path)) return ExitCode::Failure;
    // A section named on purpose that the user level or the file's model does not offer is
    // refused by name (with "all" it is left out, as the desktop program's tree leaves it out).
    if (sections != "all")
        for (size_t i = 0; i < CPrintSelection::Count(); ++i)
            if (selection.Selected(i) && !SectionOffered(i, Settings())) {
                Report(kMsgSectionNotOffered, kPrintSectionNames[i]);
                return ExitCode::Failure;
            }
    if (!CheckOutputFile(*out)) return ExitCode::Failure;

    const std::unique_ptr<QGuiApplication> app = StartOffscreenQt();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    ReportSources sources;
    sources.board = &doc.Board();
    const ReportDocument report =
        MakeReportDocument(Radio(), selection, Settings(), doc.Path(), local, sources);
    std::string error;
    if (!WriteReportPdf(report, *out, QPageSize(QPageSize::A4), error)) {
        if (error == *out)
            Report(kMsgReportNotWritten, *out);
        else
            Report(kMsgNotDrawn, error);
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}

}  // namespace rv::cli
