// `set`: changes fields of a data file by their keys and writes the result to another file.
//
//   rvcps-cli [--home DIR] set FILE KEY=VALUE... -o OUT
//   rvcps-cli [--home DIR] set FILE --from CONFIG.json [KEY=VALUE...] -o OUT
//
// A key is "<block>.<field>" ("vox.gain_level") or "<list>[N].<field>" with the 1-based item
// number the views show ("channels[3].rx_frequency"), the keys of `dump --json`. A value is the
// text the views show and take. Every edit goes through the edit function of its record, the
// one the views call (src/editors/edit/RecordEdit.h): the record's rules run, a value a rule
// changed is named on stderr, and a refused edit names the key and what it takes; then nothing
// is written.
//
// --from applies a document of the shape `dump --json` writes (all of it, or any subset of
// records and fields): a dumped list (items with "raw") is the whole list, other items edit
// the radio's items by position; each record's "raw" bytes are its starting point, then every field's "text" (or "value") goes through the edit
// path. A derived or read-only field is not set: it must agree with what the others give.

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "base/Settings.h"
#include "base/NumberText.h"
#include "cli/Cli.h"
#include "data/FieldJson.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/FrequencyText.h"
#include "editors/common/FieldEdit.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/edit/RecordEdit.h"
#include "editors/personality/PersonalityData.h"
#include "editors/scan/ScanData.h"
#include "report/RecordTables.h"

namespace rv::cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr OptionSpec kSetOptions[] = {{"-o", true}, {"--from", true}};

struct SetMessage {
    static constexpr int kBadKey = 1430;      ///< "%s" key
    static constexpr int kAdjusted = 1432;    ///< "%s" key, "%s" value, "%s" stored text
    static constexpr int kNotAssign = 1433;   ///< "%s" argument
    static constexpr int kBadDocument = 3109;  ///< file, what is wrong
    static constexpr int kDisagrees = 3110;    ///< key, document's text, text the others give, why
    static constexpr int kTooMany = 3111;      ///< list, items in the document, most items
    static constexpr int kBadRaw = 3112;       ///< record, bytes
};

/// A key split into its record, item number and field; nothing for a key of no form.
struct KeyParts {
    std::string record;
    size_t index = 0;
    std::string field;
};
std::optional<KeyParts> SplitKey(const std::string& key)
{
    const size_t dot = key.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    KeyParts parts{key.substr(0, dot), 0, key.substr(dot + 1)};
    if (const size_t open = parts.record.find('['); open != std::string::npos) {
        if (parts.record.back() != ']') return std::nullopt;
        const std::string number =
            parts.record.substr(open + 1, parts.record.size() - open - 2);
        if (number.empty() || number.size() > 4 ||
            number.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        parts.index = std::stoul(number);
        if (parts.index == 0) return std::nullopt;
        parts.record.resize(open);
    }
    return parts;
}

/// The name a record kind has in keys and documents.
std::string NameOf(const RecordKind& kind)
{
    return kind.listName ? kind.listName : std::string(kind.table->name);
}

/// The record a key names, nothing when the radio data has none.
std::optional<RecordEntry> FindRecord(const std::string& record, size_t index)
{
    for (const RecordEntry& r : AllRecords(Radio()))
        if (NameOf(*r.kind) == record && r.index == index) return r;
    return std::nullopt;
}

/// Reports what an edit did: every field a rule moved, and the edited field when the rules
/// stored something else than the text given.
void ReportChanges(const EditResult& result, const std::string& key, const std::string& value)
{
    const CSettings& texts = Settings();
    for (const FieldChange& c : result.changes) {
        if (c.reason != 0)
            Report(EditMessage::kRuleChanged, {c.key, c.before, c.after, texts.LoadText(c.reason)});
        else if (c.key == key && c.after != value &&
                 c.after != FormatFrequencyUnits(FreqTextToUnits(value)))
            Report(SetMessage::kAdjusted, {key, value, c.after});
    }
}

/// One edit through the edit path; false (reported) when it was refused.
bool ApplyEdit(const std::string& key, const std::string& value)
{
    const CSettings& texts = Settings();
    const std::optional<KeyParts> parts = SplitKey(key);
    const std::optional<RecordEntry> record =
        parts ? FindRecord(parts->record, parts->index) : std::nullopt;
    if (!record || !FindField(*record->kind->table, parts->field)) {
        Report(SetMessage::kBadKey, key);
        return false;
    }
    std::optional<EditResult> result =
        EditRecordField(Radio(), parts->record, parts->index, parts->field, value, texts);
    if (!result) {
        // A record without rules of its own (the service records): its fields' own checks.
        const auto target = TargetOf(*record->kind->table, parts->field,
                                     RecordPrefix(parts->record, parts->index));
        result = EditPlainField(*target, record->bytes, value, texts);
    }
    if (!result->Ok()) {
        Report(result->message, result->args);
        return false;
    }
    for (const NoticeRecord& notice : result->notices) Radio().Notify(notice);
    ReportChanges(*result, key, value);
    return true;
}

/// Gives a list `count` items (new ones with the defaults, the last ones removed).
template <class T, class Add>
void Resize(ItemList<T>& list, size_t count, Add add)
{
    while (list.size() > count) list.pop_back();
    while (list.size() < count) add();
}

/// The text a document's member gives a field: its "text", else the text of its "value".
std::optional<std::string> TextOf(const Json& member, const FieldRef& field,
                                  std::span<const uint8_t> record)
{
    const Json* text = member.is_object() && member.contains("text") ? &member["text"] : nullptr;
    if (text && text->is_string()) return text->get<std::string>();
    const Json& value = member.is_object() && member.contains("value") ? member["value"] : member;
    std::vector<uint8_t> scratch(record.begin(), record.end());
    std::optional<FieldValue> v;
    if (value.is_string()) v = FieldValue{value.get<std::string>()};
    if (value.is_number_unsigned() && value.get<uint64_t>() <= 0xFFFFFFFFu)
        v = FieldValue{static_cast<uint32_t>(value.get<uint64_t>())};
    if (!v || !SetValue(field, scratch, *v)) return std::nullopt;
    return GetText(field, scratch, Settings());
}

/// Applies a configuration document; false (reported) when anything in it is refused.
bool ApplyDocument(const std::string& path)
{
    const CSettings& texts = Settings();
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    if (in) bytes << in.rdbuf();
    Json doc;
    try {
        if (!in) throw std::runtime_error("the file cannot be read");
        doc = Json::parse(bytes.str());
    } catch (const std::exception& e) {
        Report(SetMessage::kBadDocument, {path, e.what()});
        return false;
    }
    if (!doc.is_object()) {
        Report(SetMessage::kBadDocument, {path, "not a JSON object"});
        return false;
    }
    RadioData& radio = Radio();
    // The lists first: each gets the number of items the document has.
    struct ListSize {
        const char* name;
        size_t most;
        size_t current;
    };
    const ListSize lists[] = {{"channels", kMaxChannels, radio.Channels().size()},
                              {"personalities", kMaxPersonalities, radio.Personalities().size()},
                              {"scan_lists", kMaxScanLists, radio.ScanLists().size()},
                              {"dtmf_systems", 4, radio.DtmfSystems().size()}};
    for (const ListSize& l : lists) {
        if (!doc.contains(l.name)) continue;
        const Json& items = doc[l.name];
        if (!items.is_array() || items.size() > l.most || (items.empty() && l.most == 4)) {
            Report(SetMessage::kTooMany, {l.name, std::to_string(items.is_array() ? items.size() : 0),
                                          std::to_string(l.most)});
            return false;
        }
    }
    // A dumped list (every item with its raw bytes) is the whole list; items without raw bytes
    // edit the radio's items by position, new ones appended with the defaults.
    auto count = [&](const char* name, size_t current) {
        if (!doc.contains(name)) return current;
        const Json& items = doc[name];
        const bool whole = std::all_of(items.begin(), items.end(), [](const Json& item) {
            return item.is_object() && item.contains(kRawJsonKey);
        });
        return whole ? items.size() : std::max(current, items.size());
    };
    Resize(radio.Channels(), count("channels", radio.Channels().size()),
           [&] { radio.AddChannel(); });
    Resize(radio.Personalities(), count("personalities", radio.Personalities().size()),
           [&] { radio.AddPersonality(); });
    Resize(radio.ScanLists(), count("scan_lists", radio.ScanLists().size()),
           [&] { radio.AddScanList(); });
    Resize(radio.DtmfSystems(), count("dtmf_systems", radio.DtmfSystems().size()),
           [&] { radio.AddDtmfSystem(); });

    // Every record of the document with the JSON object that describes it.
    std::vector<std::pair<RecordEntry, const Json*>> records;
    for (const RecordEntry& r : AllRecords(radio)) {
        const std::string name = NameOf(*r.kind);
        if (!doc.contains(name)) continue;
        const Json& part = doc[name];
        if (r.kind->listName && r.index > part.size()) continue;
        const Json* object = r.kind->listName ? &part[r.index - 1] : &part;
        if (object->is_object()) records.emplace_back(r, object);
    }
    // The raw bytes are each record's starting point: bytes no field covers come back as the
    // document has them.
    for (const auto& [r, object] : records) {
        const auto raw = object->find(kRawJsonKey);
        if (raw == object->end()) continue;
        const auto hex = raw->is_string() ? ParseHexText(raw->get<std::string>()) : std::nullopt;
        if (!hex || hex->size() != r.bytes.size()) {
            Report(SetMessage::kBadRaw,
                   {RecordPrefix(NameOf(*r.kind), r.index) + kRawJsonKey,
                    std::to_string(r.bytes.size())});
            return false;
        }
        std::copy(hex->begin(), hex->end(), r.bytes.begin());
    }
    radio.MemoryMap().ResolveAllLinks();

    // Then every field through the edit path; derived and read-only ones are checked after.
    std::vector<std::tuple<std::string, std::string, RecordEntry, FieldRef>> checks;
    for (const auto& [r, object] : records) {
        const std::string prefix = RecordPrefix(NameOf(*r.kind), r.index);
        for (const FieldRef& field : Fields(*r.kind->table)) {
            const auto member = object->find(field.Key());
            if (member == object->end()) continue;
            const auto bytesNow = FindRecord(NameOf(*r.kind), r.index)->bytes;
            const std::optional<std::string> text = TextOf(*member, field, bytesNow);
            if (!text) {
                Report(EditMessage::kBadValue,
                       {prefix + field.Key(), member->dump(), AcceptedValues(field, bytesNow, texts)});
                return false;
            }
            if (!field.def->Settable()) {
                checks.emplace_back(prefix + field.Key(), *text, r, field);
                continue;
            }
            if (!ApplyEdit(prefix + field.Key(), *text)) return false;
        }
    }
    for (const auto& [key, text, r, field] : checks) {
        const auto bytesNow = FindRecord(NameOf(*r.kind), r.index)->bytes;
        const std::string now = GetText(field, bytesNow, texts);
        if (now == text) continue;
        const int why = field.def->derivedFrom;
        Report(SetMessage::kDisagrees,
               {key, text, now, why ? texts.LoadText(why) : std::string("-")});
        return false;
    }
    return true;
}

}  // namespace

ExitCode RunSet(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kSetOptions);
    if (!args.Ok()) return UsageError(args.bad);
    const std::optional<std::string> out = args.Get("-o");
    const std::optional<std::string> from = args.Get("--from");
    if (!out || args.positionals.empty() || (!from && args.positionals.size() < 2))
        return UsageError(args.positionals.empty() ? "set" : args.positionals.back());
    for (size_t i = 1; i < args.positionals.size(); ++i)
        if (args.positionals[i].find('=') == std::string::npos) {
            Report(SetMessage::kNotAssign, args.positionals[i]);
            return ExitCode::Usage;
        }

    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, args.positionals[0]) || !CheckOutputFile(*out)) return ExitCode::Failure;
    if (from && !ApplyDocument(*from)) return ExitCode::Failure;
    for (size_t i = 1; i < args.positionals.size(); ++i) {
        const std::string& assign = args.positionals[i];
        const size_t eq = assign.find('=');
        if (!ApplyEdit(assign.substr(0, eq), assign.substr(eq + 1))) return ExitCode::Failure;
    }
    const DocResult saved = doc.SaveTo(*out, "");
    return saved.Ok() ? ExitCode::Success : ExitCode::Failure;
}

}  // namespace rv::cli
