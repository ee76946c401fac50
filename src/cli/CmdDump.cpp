// `dump`: opens a data file as the desktop program does and shows its header and the raw record
// of every block and list item with its address in the memory image.
//
//   rvcps-cli [--home DIR] dump FILE [--json]
//
// Text form: the header lines of `info`, then per block a title line and rows of 16 bytes
// ("  0x580: 10 05 ..."), followed for channels and personalities by one "  name: value" line
// per field with the text the editors show. JSON form: {"header": {...}, "blocks": [{"name",
// "index" (list items, from 1), "address", "size", "raw" (hex), "fields" (channels and
// personalities: {name: text or number})}]}, blocks in image order.

#include <algorithm>
#include <cstdio>
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "data/DataFile.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFieldList.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/general/MicBlock.h"
#include "editors/general/MiscBlock.h"
#include "editors/general/ModeBlock.h"
#include "editors/general/VolumeBlock.h"
#include "editors/general/VoxBlock.h"
#include "editors/keys/KeyBlock.h"
#include "editors/personality/PersonalityData.h"
#include "editors/personality/PersonalityFieldList.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/scan/ScanData.h"
#include "service/EmbeddedBlock.h"
#include "service/TestFreqBlock.h"
#include "service/TuneBlock.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kDumpOptions[] = {{"--json", false}};
/// Bytes per row of the text form.
constexpr size_t kRowBytes = 16;

/// One block of RadioData that has a place in the image.
struct BlockRow {
    const char* name;
    uint16_t address;
    const CRawRecord& (*raw)(RadioData&);
};

constexpr BlockRow kBlocks[] = {
    {"radio_info", CRadioInfoBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.RadioInfo().Raw(); }},
    {"keys", CKeyBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Keys().Raw(); }},
    {"volume", CVolumeBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Volume().Raw(); }},
    {"microphone", CMicBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Mic().Raw(); }},
    {"vox", CVoxBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Vox().Raw(); }},
    {"misc", CMiscBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Misc().Raw(); }},
    {"mode", CModeBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Mode().Raw(); }},
    {"emergency", CEmergencyBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Emergency().Raw(); }},
    {"test_frequencies", CTestFreqBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.TestFreq().Raw(); }},
    {"tuning", CTuneBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Tune().Raw(); }},
    {"embedded", CEmbeddedBlock::kImageAddress,
     [](RadioData& r) -> const CRawRecord& { return r.Embedded().Raw(); }},
};

/// A record to show: a block, or item `index` (from 1) of a list.
struct DumpRecord {
    const char* name;
    size_t index;  ///< 0 for a block
    size_t address;
    const CRawRecord* raw;
    std::vector<NamedField> fields;  ///< what the editors show; empty for blocks without a list
};

/// Items of a list lie consecutively from the list's first address.
template <class T>
void AddItems(std::vector<DumpRecord>& out, const char* name, const ItemList<T>& list)
{
    for (size_t k = 0; k < list.size(); ++k)
        out.push_back({name, k + 1, T::kImageAddress + k * T::kRecordSize, &list[k]->Raw(), {}});
}

/// Items of a list with their fields by name.
template <class T>
void AddItemsWithFields(std::vector<DumpRecord>& out, const char* name, const ItemList<T>& list,
                        std::vector<NamedField> (*fields)(const T&))
{
    const size_t first = out.size();
    AddItems(out, name, list);
    for (size_t k = 0; k < list.size(); ++k) out[first + k].fields = fields(*list[k]);
}

std::vector<DumpRecord> CollectRecords(RadioData& radio)
{
    std::vector<DumpRecord> out;
    for (const BlockRow& b : kBlocks) out.push_back({b.name, 0, b.address, &b.raw(radio), {}});
    AddItemsWithFields(out, "personality", radio.Personalities(), PersonalityFieldList);
    AddItems(out, "dtmf_system", radio.DtmfSystems());
    AddItems(out, "scan_list", radio.ScanLists());
    AddItemsWithFields(out, "channel", radio.Channels(), ChannelFieldList);
    std::stable_sort(out.begin(), out.end(), [](const DumpRecord& a, const DumpRecord& b) {
        return a.address < b.address;
    });
    return out;
}

std::string Hex(std::span<const uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

void PrintText(const std::vector<HeaderField>& header, const std::vector<DumpRecord>& records)
{
    std::string out = FormatHeaderLines(header);
    char line[64];
    for (const DumpRecord& r : records) {
        out += '\n';
        out += r.name;
        if (r.index) out += " " + std::to_string(r.index);
        std::snprintf(line, sizeof line, " @ 0x%03zX, %zu bytes\n", r.address, r.raw->Size());
        out += line;
        const std::span<const uint8_t> bytes = r.raw->Bytes();
        for (size_t row = 0; row < bytes.size(); row += kRowBytes) {
            std::snprintf(line, sizeof line, "  0x%03zX: ", r.address + row);
            out += line;
            out += HexBytes(bytes.subspan(row, std::min(kRowBytes, bytes.size() - row)));
            out += '\n';
        }
        for (const NamedField& f : r.fields) out += "  " + f.name + ": " + f.text + '\n';
    }
    std::fputs(out.c_str(), stdout);
}

void PrintJson(const std::vector<HeaderField>& header, const std::vector<DumpRecord>& records)
{
    nlohmann::ordered_json headerJson = nlohmann::ordered_json::object();
    for (const HeaderField& f : header) {
        if (f.number)
            headerJson[f.key] = *f.number;
        else
            headerJson[f.key] = f.text;
    }
    nlohmann::ordered_json blocks = nlohmann::ordered_json::array();
    for (const DumpRecord& r : records) {
        nlohmann::ordered_json block = {{"name", r.name}};
        if (r.index) block["index"] = r.index;
        block["address"] = r.address;
        block["size"] = r.raw->Size();
        block["raw"] = Hex(r.raw->Bytes());
        if (!r.fields.empty()) {
            nlohmann::ordered_json fields = nlohmann::ordered_json::object();
            for (const NamedField& f : r.fields) {
                if (f.number)
                    fields[f.name] = *f.number;
                else
                    fields[f.name] = f.text;
            }
            block["fields"] = std::move(fields);
        }
        blocks.push_back(std::move(block));
    }
    const nlohmann::ordered_json doc = {{"header", std::move(headerJson)},
                                        {"blocks", std::move(blocks)}};
    // Texts from a file need not be valid UTF-8: such bytes are replaced, never thrown on.
    std::cout << doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

ExitCode RunDump(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kDumpOptions);
    if (!args.Ok()) return UsageError(args.bad);
    if (args.positionals.size() != 1)
        return UsageError(args.positionals.empty() ? "dump" : args.positionals[1]);
    const std::string& path = args.positionals.front();

    // Open as the desktop program does: header checks (811, 810, 1140, 1141), then the image.
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, path)) return ExitCode::Failure;

    const std::vector<HeaderField> header =
        HeaderFields(doc.LastHeader(), CDataFile::ReadComment(path));
    const std::vector<DumpRecord> records = CollectRecords(Radio());
    if (args.Has("--json"))
        PrintJson(header, records);
    else
        PrintText(header, records);
    return ExitCode::Success;
}

}  // namespace rv::cli
