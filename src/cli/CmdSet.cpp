// `set`: changes fields of a data file by their keys and writes the result to another file.
//
//   rvcps-cli [--home DIR] set FILE KEY=VALUE... -o OUT
//
// A key is "<block>.<field>" ("vox.level") or "<list>[N].<field>" with the 1-based item
// number the views show ("channels[3].rx_frequency"), the keys of `dump --json`. A value is
// the text the views show and take. A channel field of the channel list goes through the
// grid's own rules (band clamping, step raster, tone tables); every other field through its
// field table's conversion and range check. A value the rules fitted is reported on stderr.
// A bad key or value names the key and the accepted values, and nothing is written.

#include <cstdlib>
#include <map>

#include "base/ChoiceList.h"
#include "base/Settings.h"
#include "base/NumberText.h"
#include "cli/Cli.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/channel/FrequencyText.h"
#include "report/RecordTables.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kSetOptions[] = {{"-o", true}};

struct SetMessage {
    static constexpr int kBadKey = 1430;     ///< "%s" key
    static constexpr int kBadValue = 1431;   ///< "%s" key, "%s" value, "%s" accepted values
    static constexpr int kAdjusted = 1432;   ///< "%s" key, "%s" value, "%s" stored text
    static constexpr int kNotAssign = 1433;  ///< "%s" argument
};

struct Target {
    RecordEntry record;
    FieldRef field;
};

/// The record and field a key names; nothing for a key no record has.
std::optional<Target> FindTarget(const std::vector<RecordEntry>& records, const std::string& key)
{
    const size_t dot = key.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    std::string record = key.substr(0, dot);
    size_t index = 0;
    if (const size_t open = record.find('['); open != std::string::npos) {
        if (record.back() != ']') return std::nullopt;
        const std::string number = record.substr(open + 1, record.size() - open - 2);
        if (number.empty() || number.size() > 4 ||
            number.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        index = std::strtoul(number.c_str(), nullptr, 10);
        if (index == 0) return std::nullopt;
        record.resize(open);
    }
    for (const RecordEntry& r : records) {
        const std::string name =
            r.kind->listName ? r.kind->listName : std::string(r.kind->table->name);
        if (name != record || r.index != index) continue;
        if (auto f = FindField(*r.kind->table, key.substr(dot + 1))) return Target{r, *f};
    }
    return std::nullopt;
}

/// What a field accepts, for the message of a refused value.
std::string AcceptedValues(const FieldRef& field)
{
    const FieldDef& def = *field.def;
    const CSettings& texts = Settings();
    switch (def.kind) {
        case FieldKind::Choice: {
            std::string out;
            for (const ChoiceEntry& e : ParseChoiceList(texts.LoadText(ListOf(def, texts))))
                out += (out.empty() ? "\"" : ", \"") + e.text + "\"";
            return out;
        }
        case FieldKind::Flag:
            return "0, 1";
        case FieldKind::Frequency: {
            const BandLimits band = CurrentBandLimits();
            return "MHz " + std::to_string(band.lowMHz) + "-" + std::to_string(band.highMHz);
        }
        case FieldKind::Number:
            if (const int list = ListOf(def, texts))
                if (auto range = ParseRangeDescriptor(texts.LoadText(list)))
                    return range->Format(range->displayStart) + "-" +
                           range->Format(range->displayEnd);
            return "0-" + std::to_string((1ull << def.BitWidth()) - 1);
        case FieldKind::Text:
            return std::to_string(def.width) + " characters";
        case FieldKind::ItemRef:
            return "item numbers";
        case FieldKind::Raw:
            return std::to_string(def.width) + " bytes in hexadecimal";
    }
    return {};
}

/// True when a text is a plain decimal number.
bool IsNumber(const std::string& text)
{
    const DecimalStart start = ReadDecimalStart(text);
    return start.length > 0 && start.length == text.size();
}

/// Stores a value into a channel through the channel grid's cell rules; false when the
/// field is no grid column or the value is refused.
std::optional<bool> SetChannelCell(const Target& t, const std::string& value)
{
    size_t column = kChannelGridColumns;
    for (size_t c = 0; c < kChannelGridColumns; ++c)
        if (kChannelGridLayout[c].field == t.field.def->key) column = c;
    if (column == kChannelGridColumns) return std::nullopt;
    CChannelData& channel = *Radio().Channels()[t.record.index - 1];
    const CellKind kind = kChannelGridLayout[column].kind;
    if (kind == CellKind::Frequency && !value.empty() && !IsNumber(value)) return false;
    if (kind == CellKind::DropDown && kChannelGridLayout[column].choiceList &&
        !ChoiceValueOf(Settings().LoadText(kChannelGridLayout[column].choiceList), value))
        return false;
    if (kind == CellKind::EditableDropDown && !IsNumber(value)) return false;
    if (t.field.def->kind == FieldKind::Flag && value != "0" && value != "1") return false;
    ChannelGridRow row = FillChannelRow(channel, t.record.index);
    row.cells[column] =
        kind == CellKind::Frequency ? CommitFrequencyCell(value, CurrentBandLimits()).text : value;
    RetypeChannelRow(row);
    CommitChannelRow(channel, row, t.record.index, CurrentBandLimits());
    return true;
}

}  // namespace

ExitCode RunSet(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kSetOptions);
    if (!args.Ok()) return UsageError(args.bad);
    const std::optional<std::string> out = args.Get("-o");
    if (!out || args.positionals.size() < 2)
        return UsageError(args.positionals.empty() ? "set" : args.positionals.back());
    for (size_t i = 1; i < args.positionals.size(); ++i)
        if (args.positionals[i].find('=') == std::string::npos) {
            Report(SetMessage::kNotAssign, args.positionals[i]);
            return ExitCode::Usage;
        }

    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, args.positionals[0]) || !CheckOutputFile(*out)) return ExitCode::Failure;
    const CSettings& texts = Settings();
    std::vector<std::vector<std::string>> adjusted;
    for (size_t i = 1; i < args.positionals.size(); ++i) {
        const std::string& assign = args.positionals[i];
        const std::string key = assign.substr(0, assign.find('='));
        const std::string value = assign.substr(assign.find('=') + 1);
        const std::vector<RecordEntry> records = AllRecords(Radio());
        const std::optional<Target> t = FindTarget(records, key);
        if (!t) {
            Report(SetMessage::kBadKey, key);
            return ExitCode::Failure;
        }
        bool ok = false;
        std::optional<bool> channel;
        if (t->record.kind->listName && std::string(t->record.kind->listName) == "channels")
            channel = SetChannelCell(*t, value);
        if (channel)
            ok = *channel;
        else if (t->field.def->kind == FieldKind::Frequency && !value.empty() && !IsNumber(value))
            ok = false;
        else
            ok = SetText(t->field, t->record.bytes, value, texts);
        if (!ok) {
            Report(SetMessage::kBadValue, {key, value, AcceptedValues(t->field)});
            return ExitCode::Failure;
        }
        // The record may have moved (the list objects stay): read the stored text again.
        const std::optional<Target> after = FindTarget(AllRecords(Radio()), key);
        const std::string stored = GetText(after->field, after->record.bytes, texts);
        const std::string asTyped = t->field.def->kind == FieldKind::Frequency
                                        ? FormatFrequencyUnits(FreqTextToUnits(value))
                                        : value;
        if (stored != asTyped) adjusted.push_back({key, value, stored});
    }
    for (const auto& a : adjusted) Report(SetMessage::kAdjusted, a);
    const DocResult saved = doc.SaveTo(*out, "");
    return saved.Ok() ? ExitCode::Success : ExitCode::Failure;
}

}  // namespace rv::cli
