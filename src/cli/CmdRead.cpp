// `read`: reads a radio and saves its memory as a data file.
//
//   rvcps-cli [--home DIR] read --port PORT... [--model ID] [--range L-H] [--trace LOG] -o FILE
//
// PORT is a device path or a port number 1 to 16. --model and --range set the current model
// and frequency range before connecting, as the Model Information screen does, for this run
// only: a radio is read only when its band is the current range. The file holds the radio's
// memory byte for byte, with the radio's identity in its header. When the read fails nothing
// is written and a file already at FILE stays as it was; that FILE can be written is checked
// before the radio is asked anything. Ctrl-C, SIGTERM and SIGHUP end the read after the block
// under way, put the radio back to normal operation and save nothing (exit status 130).
// --trace writes every frame of the connection to LOG.
//
// Several --port options read each radio on a thread of its own; FILE then names the files
// with "{port}", which becomes each port's name ("radio-{port}.dat" -> "radio-ttyUSB0.dat").
// Each file's header carries its own radio's identity; the settings are not changed. One
// result line per radio, a summary, and exit status 1 when any radio failed.

#include <algorithm>
#include <cstdio>
#include <set>
#include <thread>

#include "base/Settings.h"
#include "cli/CliLink.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/ModelCatalog.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kReadOptions[] = {
    {"--port", true, true}, {"--model", true}, {"--range", true}, {"-o", true}, {"--trace", true},
};

constexpr std::string_view kPortField = "{port}";

/// The file of a port: the pattern with "{port}" replaced by the port's own name (the last
/// part of a device path), characters other than letters, digits, '-', '_' and '.' as '-'.
std::string FileForPort(const std::string& pattern, const std::string& port)
{
    std::string name = port.substr(port.find_last_of('/') + 1);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.')
            c = '-';
    std::string file = pattern;
    for (size_t at = file.find(kPortField); at != std::string::npos;
         at = file.find(kPortField, at + name.size()))
        file.replace(at, kPortField.size(), name);
    return file;
}

/// Reads one radio of several and saves its file with a header of its own identity; the
/// failure's text, or "" when it was saved.
std::string ReadOneOfSeveral(const std::string& port, const std::string& file, ExitCode& code)
{
    CTransfer transfer(TransferDirection::Read);
    SilentProgress quiet;
    const LinkResult result = TransferQuietly(transfer, port, quiet);
    code = ExitCode::Failure;
    if (!result.Ok()) {
        if (result.status == LinkStatus::Interrupted || StopFlag().load())
            code = ExitCode::Interrupted;
        return result.Text();
    }
    const RadioIdentity& id = transfer.Identity();
    const FreqRangeRecord& range = transfer.RadioRange();
    CDataFile out;
    out.SetHeader(CDataFileHeader::Make(id.modelId, id.modelName, range.low, range.high, id.version,
                                        range.bandCode, static_cast<int>(id.signal)));
    if (!out.Write(file, {}, transfer.Buffer(), {}))
        return Settings().LoadMessage(DocMessage::kWriteFailed, {file});
    code = ExitCode::Success;
    return {};
}

ExitCode ReadRadios(const std::vector<std::string>& ports, const std::string& pattern)
{
    const CSettings& s = Settings();
    std::vector<std::string> files, troubles(ports.size());
    std::vector<ExitCode> codes(ports.size(), ExitCode::Failure);
    for (const std::string& port : ports) files.push_back(FileForPort(pattern, port));
    if (std::set<std::string>(files.begin(), files.end()).size() != files.size()) {
        Report(CliLinkMessage::kPatternNeedsPort, pattern);
        return ExitCode::Usage;
    }
    for (const std::string& file : files)
        if (!CheckOutputFile(file)) return ExitCode::Failure;
    {
        const CliStopSignals signals;
        std::vector<std::jthread> threads;
        for (size_t i = 0; i < ports.size(); ++i)
            threads.emplace_back(
                [&, i] { troubles[i] = ReadOneOfSeveral(ports[i], files[i], codes[i]); });
    }
    size_t failed = 0;
    bool interrupted = false;
    for (size_t i = 0; i < ports.size(); ++i) {
        std::string what;
        if (codes[i] == ExitCode::Success) {
            what = s.LoadMessage(LinkMessage::kReadDone) + " " +
                   s.LoadMessage(CliLinkMessage::kReadSaved, {files[i]});
        } else {
            ++failed;
            interrupted = interrupted || codes[i] == ExitCode::Interrupted;
            what = troubles[i];
        }
        std::printf("%s\n", s.LoadMessage(CliLinkMessage::kRadioResult, {ports[i], what}).c_str());
    }
    std::printf("%s\n", s.LoadMessage(CliLinkMessage::kSummary,
                                      {std::to_string(ports.size() - failed),
                                       std::to_string(ports.size()), std::to_string(failed)})
                            .c_str());
    std::fflush(stdout);
    if (interrupted) return ExitCode::Interrupted;
    return failed ? ExitCode::Failure : ExitCode::Success;
}

/// Applies --model and --range to the settings: a model that changes selects its first name
/// and range and its usual signalling; a range must be one the model is made for. Returns the
/// message and value of a refusal, or 0; -1 when the range remembered in Settings.ini is not
/// one of the model's (the message was printed).
int ApplyModelOptions(const ParsedArgs& args, std::string& refused)
{
    CSettings& settings = Settings();
    const CModelCatalog& catalog = ModelCatalog();
    if (const auto model = args.Get("--model")) {
        const std::vector<std::string> ids = catalog.ModelIds();
        if (!settings.IsKnownModel(*model) ||
            std::find(ids.begin(), ids.end(), *model) == ids.end()) {
            refused = *model;
            return CliMessage::kUnknownModel;
        }
        if (*model != settings.ModelID()) {
            const std::vector<std::string> names = catalog.ModelNames(*model);
            const std::vector<RangeEntry> ranges = catalog.RangeEntries(*model);
            settings.SetModelID(*model);
            settings.SetModelName(names.empty() ? *model : names.front());
            settings.SetFreqRange(ranges.empty()
                                      ? FormatRange(kFallbackRange.low, kFallbackRange.high)
                                      : ranges.front().text);
            const std::vector<ChoiceEntry> signals = settings.ChoiceEntries(kSignalList);
            const int entry = CModelCatalog::SignalEntryFor(*model);
            if (entry >= 0 && entry < static_cast<int>(signals.size()))
                settings.SetSignal(signals[static_cast<size_t>(entry)].value);
        }
    }
    if (const auto range = args.Get("--range")) {
        const std::vector<RangeEntry> ranges = catalog.RangeEntries(settings.ModelID());
        if (std::none_of(ranges.begin(), ranges.end(),
                         [&](const RangeEntry& r) { return r.text == *range; })) {
            refused = *range;
            return CliMessage::kRangeNotOffered;
        }
        settings.SetFreqRange(*range);
    } else if (!CheckRememberedRange(settings.ModelID(), settings.FreqRange())) {
        return -1;
    }
    return 0;
}

}  // namespace

ExitCode RunRead(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kReadOptions);
    if (!args.Ok()) return UsageError(args.bad);
    if (!args.positionals.empty()) return UsageError(args.positionals.front());
    std::vector<std::string> ports;
    if (const auto fault = TakePorts(args, ports)) return *fault;
    const auto out = args.Get("-o");
    if (!out || out->empty()) return UsageError("-o");
    if (ports.size() > 1 && out->find(kPortField) == std::string::npos) {
        Report(CliLinkMessage::kPatternNeedsPort, *out);
        return ExitCode::Usage;
    }

    std::string refused;
    if (const int message = ApplyModelOptions(args, refused)) {
        if (message > 0) Report(message, refused);
        return ExitCode::Failure;
    }
    CliTraceScope trace(args.Get("--trace").value_or(std::string()));
    if (!trace.Ok()) return ExitCode::Failure;
    if (ports.size() > 1) return trace.Finish(ReadRadios(ports, *out));
    // A file that cannot be written must not cost the user a whole read.
    if (!CheckOutputFile(*out)) return ExitCode::Failure;

    CTransfer transfer(TransferDirection::Read);
    if (const ExitCode code = RunTransfer(transfer, ports.front()); code != ExitCode::Success)
        return trace.Finish(code);

    // The radio's identity and memory become the current data; the file takes the memory as
    // it was read, unmapped bytes included.
    transfer.CommitRead();
    CDataFile file;
    file.SetHeader(CQTXDoc::BuildHeader());
    if (!file.Write(*out, {}, transfer.Buffer(), {})) {
        Report(DocMessage::kWriteFailed, *out);
        return trace.Finish(ExitCode::Failure);
    }
    return trace.Finish(ExitCode::Success);
}

}  // namespace rv::cli
