// `info`: the header of a data file, one "key: value" line each.
//
//   rvcps-cli [--home DIR] info FILE
//
// The keys are fixed identifiers (the same in every language) so that scripts can read them.
// The file is checked as `dump` and `write` check it (header, model, version and the whole
// image), so that a script may use `info` to check a file before writing it to a radio.

#include <cstdio>

#include "cli/Cli.h"
#include "data/DataFile.h"

namespace rv::cli {

std::string FormatHeaderLines(const std::vector<HeaderField>& fields)
{
    std::string out;
    for (const HeaderField& f : fields) {
        out += f.key;
        out += ": ";
        // One line per field whatever the file holds.
        for (unsigned char c : f.text) {
            if (c == '\n') {
                out += "\\n";
            } else if (c == '\r') {
                out += "\\r";
            } else if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
        out += '\n';
    }
    return out;
}

ExitCode RunInfo(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, {});
    if (!args.Ok()) return UsageError(args.bad);
    if (args.positionals.size() != 1)
        return UsageError(args.positionals.empty() ? "info" : args.positionals[1]);
    const std::string& path = args.positionals.front();

    CliDocumentUi ui;
    CQTXDoc doc(ui);
    if (!OpenDataFile(doc, path)) return ExitCode::Failure;
    std::fputs(
        FormatHeaderLines(HeaderFields(doc.LastHeader(), CDataFile::ReadComment(path))).c_str(),
        stdout);
    return ExitCode::Success;
}

}  // namespace rv::cli
