// `read`: reads a radio and saves its memory as a data file.
//
//   rvcps-cli [--home DIR] read --port PORT [--model ID] [--range L-H] -o FILE
//
// PORT is a device path or a port number 1 to 16. --model and --range set the current model
// and frequency range before connecting, as the Model Information screen does, for this run
// only: a radio is read only when its band is the current range. The file holds the radio's
// memory byte for byte, with the radio's identity in its header. When the read fails nothing
// is written and a file already at FILE stays as it was; that FILE can be written is checked
// before the radio is asked anything. Ctrl-C, SIGTERM and SIGHUP end the read after the block
// under way, put the radio back to normal operation and save nothing (exit status 130).

#include <algorithm>

#include "cli/CliLink.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/ModelCatalog.h"
#include "base/Settings.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kReadOptions[] = {
    {"--port", true}, {"--model", true}, {"--range", true}, {"-o", true},
};

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
    const auto port = args.Get("--port");
    if (!port || port->empty()) return UsageError("--port");
    const auto out = args.Get("-o");
    if (!out || out->empty()) return UsageError("-o");

    std::string refused;
    if (const int message = ApplyModelOptions(args, refused)) {
        if (message > 0) Report(message, refused);
        return ExitCode::Failure;
    }
    // A file that cannot be written must not cost the user a whole read.
    if (!CheckOutputFile(*out)) return ExitCode::Failure;

    CTransfer transfer(TransferDirection::Read);
    if (const ExitCode code = RunTransfer(transfer, *port); code != ExitCode::Success) return code;

    // The radio's identity and memory become the current data; the file takes the memory as
    // it was read, unmapped bytes included.
    transfer.CommitRead();
    CDataFile file;
    file.SetHeader(CQTXDoc::BuildHeader());
    if (!file.Write(*out, {}, transfer.Buffer(), {})) {
        Report(DocMessage::kWriteFailed, *out);
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}

}  // namespace rv::cli
