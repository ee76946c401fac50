// `diff`: compares two data files field by field through the field tables.
//
//   rvcps-cli [--home DIR] diff A.dat B.dat [--json]
//
// Text form: one line per difference ("channel 3, RX Frequency[MHz]: 433.50000 → 400.32500"),
// header lines first ("header, model_id: ..."), list items one file lacks ("channel 9: only
// in B.dat") and image bytes outside every field by address ("0x7F0: FF → 00").
// JSON form: an array of objects {"kind", "record", "index", "key", "label", "a", "b",
// "address"}. Exit status as diff(1): 0 equal, 1 different, 2 trouble.

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/Settings.h"
#include "cli/Cli.h"
#include "data/DataFile.h"
#include "report/ConfigCompare.h"

namespace rv::cli {
namespace {

constexpr OptionSpec kDiffOptions[] = {{"--json", false}};
/// Interface text "only in %s".
constexpr int kOnlyInText = 39750;

const char* KindName(DifferenceKind kind)
{
    switch (kind) {
        case DifferenceKind::Header:
            return "header";
        case DifferenceKind::Field:
            return "field";
        case DifferenceKind::Record:
            return "record";
        case DifferenceKind::Byte:
            return "byte";
    }
    return "";
}

/// Opens a data file as the desktop program does and takes its snapshot.
std::optional<ConfigSnapshot> Load(const std::string& path)
{
    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, path)) return std::nullopt;
    return TakeSnapshot(Radio(), HeaderLinesOf(doc.LastHeader(), CDataFile::ReadComment(path)));
}

}  // namespace

ExitCode RunDiff(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, kDiffOptions);
    if (!args.Ok()) return UsageError(args.bad);
    if (args.positionals.size() != 2)
        return UsageError(args.positionals.size() > 2 ? args.positionals[2] : "diff");
    const std::optional<ConfigSnapshot> a = Load(args.positionals[0]);
    if (!a) return ExitCode::Usage;  // trouble: the message is on stderr
    const std::optional<ConfigSnapshot> b = Load(args.positionals[1]);
    if (!b) return ExitCode::Usage;

    const std::vector<Difference> diffs = CompareConfigs(*a, *b, Settings());
    if (args.Has("--json")) {
        nlohmann::ordered_json out = nlohmann::ordered_json::array();
        for (const Difference& d : diffs)
            out.push_back({{"kind", KindName(d.kind)},
                           {"record", d.record},
                           {"index", d.index},
                           {"key", d.key},
                           {"label", d.label},
                           {"a", d.a},
                           {"b", d.b},
                           {"address", d.address}});
        std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << '\n';
    } else {
        const std::string onlyIn = Settings().LoadText(kOnlyInText);
        const std::string onlyA = FillStrings(onlyIn, {args.positionals[0]});
        const std::string onlyB = FillStrings(onlyIn, {args.positionals[1]});
        std::string text;
        for (const Difference& d : diffs) text += DifferenceLine(d, onlyA, onlyB) + '\n';
        std::fputs(text.c_str(), stdout);
    }
    return diffs.empty() ? ExitCode::Success : ExitCode::Failure;
}

}  // namespace rv::cli
