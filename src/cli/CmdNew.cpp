// `new`: makes the default set of a model and frequency range and saves it as a data file.
//
//   rvcps-cli [--home DIR] new [--model ID] [--name NAME] [--range L-H] [--signal N] -o FILE
//
// The options set the model identity as the Model Information screen does, for this run only:
// picking a model selects its first name and first range and the model's usual signalling
// entry; --name, --range and --signal then choose among what that model offers. Without
// options the identity remembered in Settings.ini is used.

#include <algorithm>
#include <cctype>
#include <charconv>

#include "cli/Cli.h"
#include "data/Document.h"
#include "data/ModelCatalog.h"
#include "base/Settings.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kNewOptions[] = {
    {"--model", true}, {"--name", true}, {"--range", true}, {"--signal", true}, {"-o", true},
};

/// A failure of the identity: the message and the values it names.
struct IdentityError {
    int message = 0;
    std::vector<std::string> args;
};

/// Whole number of the full text; nothing when the text is anything else.
std::optional<int> ParseWholeNumber(const std::string& text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

/// "L-H" with two whole numbers of MHz.
bool IsRangeText(const std::string& text)
{
    const size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    auto low = ParseWholeNumber(text.substr(0, dash));
    auto high = ParseWholeNumber(text.substr(dash + 1));
    return low && high && *low >= 0 && *high >= 0 && std::isdigit(static_cast<unsigned char>(text[0])) &&
           std::isdigit(static_cast<unsigned char>(text[dash + 1]));
}

bool Contains(const std::vector<std::string>& list, const std::string& value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

/// The identity the options choose, starting from the remembered one.
std::optional<IdentityError> ChooseIdentity(const ParsedArgs& args, ModelIdentity& chosen)
{
    const CSettings& settings = Settings();
    const CModelCatalog& catalog = ModelCatalog();
    const std::vector<std::string> modelIds = catalog.ModelIds();
    auto supported = [&](const std::string& id) {
        return settings.IsKnownModel(id) && Contains(modelIds, id);
    };

    chosen = CModelCatalog::CurrentIdentity();
    bool picked = false;  // a model or name was picked: the signalling entry follows the model
    const auto model = args.Get("--model");
    const auto name = args.Get("--name");
    if (model) {
        if (!supported(*model)) return IdentityError{CliMessage::kUnknownModel, {*model}};
        if (*model != chosen.id) chosen = {*model, "", "", chosen.signal};
        picked = true;
    }
    if (name) {
        const std::string id = catalog.FindModelIdByName(*name);
        if (id.empty()) return IdentityError{CliMessage::kUnknownModelName, {*name}};
        if (model && id != *model) return IdentityError{CliMessage::kNameOfOtherModel, {*name}};
        if (!supported(id)) return IdentityError{CliMessage::kUnknownModel, {id}};
        if (id != chosen.id) chosen = {id, "", "", chosen.signal};
        chosen.name = *name;
        picked = true;
    }
    if (chosen.id.empty()) {
        // Nothing remembered and nothing given: the first supported model of the catalogue.
        for (const std::string& id : modelIds)
            if (supported(id)) {
                chosen = {id, "", "", chosen.signal};
                picked = true;
                break;
            }
    }
    if (!supported(chosen.id)) return IdentityError{CliMessage::kUnknownModel, {chosen.id}};
    if (chosen.name.empty()) {
        const std::vector<std::string> names = catalog.ModelNames(chosen.id);
        chosen.name = names.empty() ? chosen.id : names.front();
    }

    const std::vector<RangeEntry> ranges = catalog.RangeEntries(chosen.id);
    if (const auto range = args.Get("--range")) {
        const bool offered = std::any_of(ranges.begin(), ranges.end(),
                                         [&](const RangeEntry& r) { return r.text == *range; });
        if (!offered) return IdentityError{CliMessage::kRangeNotOffered, {*range}};
        chosen.range = *range;
    } else if (!chosen.range.empty() && !catalog.IsRangeOfModel(chosen.id, chosen.range)) {
        // The range remembered in Settings.ini is not one the model is made for: a file made
        // with it would carry a range no radio of the model has.
        return IdentityError{CliMessage::kRememberedRangeBad,
                             {settings.SettingsPath(), chosen.range, chosen.id}};
    } else if (chosen.range.empty()) {
        chosen.range = ranges.empty() ? FormatRange(kFallbackRange.low, kFallbackRange.high)
                                      : ranges.front().text;
    }

    const std::vector<ChoiceEntry> signals = settings.ChoiceEntries(kSignalList);
    if (picked) {
        const int entry = CModelCatalog::SignalEntryFor(chosen.id);
        if (entry >= 0 && entry < static_cast<int>(signals.size())) chosen.signal = signals[entry].value;
    }
    if (const auto signal = args.Get("--signal")) {
        const int value = *ParseWholeNumber(*signal);  // checked by the caller
        const bool offered =
            std::any_of(signals.begin(), signals.end(),
                        [&](const ChoiceEntry& e) { return e.value == value; });
        // Without a signalling list in the language file any value of the header byte goes.
        if (signals.empty() ? (value < 0 || value > 255) : !offered)
            return IdentityError{CliMessage::kSignalNotOffered, {*signal}};
        chosen.signal = value;
    }
    return std::nullopt;
}

}  // namespace

ExitCode RunNew(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kNewOptions);
    if (!args.Ok()) return UsageError(args.bad);
    if (!args.positionals.empty()) return UsageError(args.positionals.front());
    const auto out = args.Get("-o");
    if (!out || out->empty()) return UsageError("-o");
    if (const auto range = args.Get("--range"); range && !IsRangeText(*range))
        return UsageError(*range);
    if (const auto signal = args.Get("--signal"); signal && !ParseWholeNumber(*signal))
        return UsageError(*signal);

    ModelIdentity identity;
    if (const auto error = ChooseIdentity(args, identity)) {
        Report(error->message, error->args);
        return ExitCode::Failure;
    }
    CSettings& settings = Settings();
    settings.SetModelID(identity.id);
    settings.SetModelName(identity.name);
    settings.SetFreqRange(identity.range);
    settings.SetSignal(identity.signal);

    // New loads the default set of the identity (range table, defaults, default-set file);
    // saving stores the blocks into the image and writes the file atomically.
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!doc.New().Ok()) return ExitCode::Failure;
    if (!doc.SaveTo(*out, {}).Ok()) return ExitCode::Failure;
    return ExitCode::Success;
}

}  // namespace rv::cli
