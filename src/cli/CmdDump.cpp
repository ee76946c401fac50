// `dump`: opens a data file as the desktop program does and shows its header and every record
// of the radio data, decoded field by field by the record's field table.
//
//   rvcps-cli [--home DIR] dump FILE [--json]
//   rvcps-cli [--home DIR] dump --keys
//
// Text form: the header lines of `info`, then per record a title line ("channel 1 @ 0x580,
// 20 bytes"), its bytes in rows of 16 ("  0x580: 10 05 ..."), and one line per field: the
// label, the key and the text the editors show ("  RX Frequency[MHz]  rx_frequency: 400.32500").
// JSON form: one object: "header", then in image order each block as an object and each list
// (personalities, dtmf_systems, scan_lists, channels) as an array of objects; a record's
// object holds its image "address", each field under its key as {"value": the stored number
// or text, "text": what the editors show}, and its bytes in hexadecimal under "raw".
// --keys: the field keys of every record as a Markdown table (the README's key table).

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "data/DataFile.h"
#include "data/FieldJson.h"
#include "data/RadioData.h"
#include "report/RecordTables.h"
#include "base/Settings.h"

namespace rv::cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr OptionSpec kDumpOptions[] = {{"--json", false}, {"--keys", false}};
/// Bytes per row of the text form.
constexpr size_t kRowBytes = 16;

/// Number of characters (not bytes) of a UTF-8 text, for aligning columns.
size_t CharCount(const std::string& text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string RecordTitle(const RecordEntry& r)
{
    std::string title(r.kind->table->name);
    if (r.index) title += " " + std::to_string(r.index);
    return title;
}

void PrintText(const std::vector<HeaderField>& header, const std::vector<RecordEntry>& records)
{
    const CSettings& texts = Settings();
    std::string out = FormatHeaderLines(header);
    char line[64];
    for (const RecordEntry& r : records) {
        out += '\n' + RecordTitle(r);
        std::snprintf(line, sizeof line, " @ 0x%03zX, %zu bytes\n", r.address, r.bytes.size());
        out += line;
        for (size_t row = 0; row < r.bytes.size(); row += kRowBytes) {
            std::snprintf(line, sizeof line, "  0x%03zX: ", r.address + row);
            out += line;
            out += HexBytes(r.bytes.subspan(row, std::min(kRowBytes, r.bytes.size() - row)));
            out += '\n';
        }
        const std::vector<DecodedField> fields = Decode(*r.kind->table, r.bytes, texts);
        size_t labelWidth = 0;
        for (const DecodedField& f : fields) labelWidth = std::max(labelWidth, CharCount(f.label));
        for (const DecodedField& f : fields) {
            out += "  " + f.label + std::string(labelWidth - CharCount(f.label), ' ');
            out += "  " + f.key + ": " + f.text + '\n';
        }
    }
    std::fputs(out.c_str(), stdout);
}

void PrintJson(const std::vector<HeaderField>& header, const std::vector<RecordEntry>& records)
{
    const CSettings& texts = Settings();
    Json doc = Json::object();
    Json& headerJson = doc["header"] = Json::object();
    for (const HeaderField& f : header) {
        if (f.number)
            headerJson[f.key] = *f.number;
        else
            headerJson[f.key] = f.text;
    }
    // Blocks and lists in image order; every list is present, also when it is empty.
    for (const RecordKind& kind : RecordKinds()) {
        if (kind.listName)
            doc[kind.listName] = Json::array();
        else
            doc[std::string(kind.table->name)] = Json::object();
    }
    for (const RecordEntry& r : records) {
        Json object = {{"address", r.address}};
        object.update(RecordToJson(*r.kind->table, r.bytes, texts));
        if (r.kind->listName)
            doc[r.kind->listName].push_back(std::move(object));
        else
            doc[std::string(r.kind->table->name)] = std::move(object);
    }
    // Texts from a file need not be valid UTF-8: such bytes are replaced, never thrown on.
    std::cout << doc.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

const char* KindName(FieldKind kind)
{
    switch (kind) {
        case FieldKind::Choice:
            return "choice";
        case FieldKind::Number:
            return "number";
        case FieldKind::Flag:
            return "flag";
        case FieldKind::Frequency:
            return "frequency";
        case FieldKind::Text:
            return "text";
        case FieldKind::ItemRef:
            return "item";
        case FieldKind::Raw:
            return "raw";
    }
    return "";
}

std::string LevelsText(uint8_t levels)
{
    if (levels == kSeenByAll) return "all";
    if (levels == kSeenByServiceLevels) return "service";
    if (levels == kSeenByFullService) return "full service";
    if (levels == kSeenByNone) return "none";
    std::string out;
    if (levels & kSeenByNormal) out += "normal ";
    if (levels & kSeenByService) out += "service ";
    if (levels & kSeenByFullService) out += "full service ";
    out.pop_back();
    return out;
}

/// One Markdown row per table row: record, key, label, place, kind, list, who sees it.
void PrintKeys()
{
    const CSettings& texts = Settings();
    std::string out =
        "| record | key | label | byte | bits | kind | list | seen by |\n"
        "|---|---|---|---|---|---|---|---|\n";
    for (const RecordKind& kind : RecordKinds()) {
        const FieldTable& table = *kind.table;
        const std::string record = kind.listName ? kind.listName : std::string(table.name);
        for (const FieldDef& def : table.fields) {
            const FieldRef first{&def, 0};
            std::string key = "`" + std::string(def.key) + "`";
            std::string label = texts.LoadText(def.label);
            std::string byte = std::to_string(def.offset);
            if (!def.IsNumeric() && def.width > 1)
                byte += "-" + std::to_string(def.offset + def.width - 1);
            else if (def.width > 1)
                byte += "-" + std::to_string(def.offset + def.width - 1) + " (LE)";
            if (def.count > 1) {
                const std::string lastKey = FieldRef{&def, def.count - 1u}.Key();
                key = "`" + first.Key() + "` ... `" + lastKey + "`";
                byte += ", +" + std::to_string(def.stride) + " each";
                if (def.labelStep == 0)
                    label += " (N)";
                else
                    label += " ... " + texts.LoadText(FieldRef{&def, def.count - 1u}.LabelId());
            }
            std::string bits;
            if (def.IsNumeric() && def.bitCount != 0) {
                bits = std::to_string(def.firstBit);
                if (def.bitCount > 1) bits += "-" + std::to_string(def.firstBit + def.bitCount - 1);
            }
            std::string list = def.list ? std::to_string(def.list) : "";
            if (def.editionList) list += " (editions " + std::to_string(def.editionList) + ")";
            std::string kindText = KindName(def.kind);
            if (def.codec) kindText += ", text by rule";
            if (def.readOnly) kindText += ", read-only";
            if (def.derivedFrom) kindText += ", derived";
            // A '|' in a label would end its cell.
            for (size_t at = label.find('|'); at != std::string::npos; at = label.find('|', at + 2))
                label.insert(at, "\\");
            out += "| " + record + " | " + key + " | " + label + " | " + byte + " | " + bits +
                   " | " + kindText + " | " + list + " | " + LevelsText(def.levels) + " |\n";
        }
    }
    std::fputs(out.c_str(), stdout);
}

}  // namespace

ExitCode RunDump(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kDumpOptions);
    if (!args.Ok()) return UsageError(args.bad);
    if (args.Has("--keys")) {
        if (!args.positionals.empty()) return UsageError(args.positionals.front());
        if (args.Has("--json")) return UsageError("--json");
        PrintKeys();
        return ExitCode::Success;
    }
    if (args.positionals.size() != 1)
        return UsageError(args.positionals.empty() ? "dump" : args.positionals[1]);
    const std::string& path = args.positionals.front();

    // Open as the desktop program does: header checks (811, 810, 1140, 1141), then the image.
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, path)) return ExitCode::Failure;

    const std::vector<HeaderField> header =
        HeaderFields(doc.LastHeader(), CDataFile::ReadComment(path));
    const std::vector<RecordEntry> records = AllRecords(Radio());
    if (args.Has("--json"))
        PrintJson(header, records);
    else
        PrintText(header, records);
    return ExitCode::Success;
}

}  // namespace rv::cli
