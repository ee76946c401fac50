#include <getopt.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/Settings.h"
#include "cli/Cli.h"
#include "cli/CliLink.h"
#include "data/DataFile.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"

namespace rv::cli {

const char* const kUsage =
    "usage: rvcps-cli [--home DIR] new [--model ID] [--name NAME] [--range L-H] [--signal N]"
    " -o FILE\n"
    "       rvcps-cli [--home DIR] info FILE\n"
    "       rvcps-cli [--home DIR] dump FILE [--json]\n"
    "       rvcps-cli [--home DIR] dump --keys\n"
    "       rvcps-cli [--home DIR] read --port PORT... [--model ID] [--range L-H] [--trace LOG]"
    " -o FILE\n"
    "       rvcps-cli [--home DIR] write --port PORT... [--no-backup] [--no-verify]"
    " [--all-blocks | --changed-only] [--trace LOG] FILE\n"
    "       rvcps-cli [--home DIR] verify --port PORT [--trace LOG] FILE\n"
    "       rvcps-cli [--home DIR] restore --port PORT [--other-radio] [--trace LOG] BACKUP.dat\n"
    "       rvcps-cli [--home DIR] backups\n"
    "       rvcps-cli [--home DIR] print FILE -o REPORT.pdf [--sections LIST|all]\n"
    "       rvcps-cli [--home DIR] diff A.dat B.dat [--json]\n"
    "       rvcps-cli [--home DIR] set FILE [--from CONFIG.json] [KEY=VALUE...] -o OUT\n"
    "       rvcps-cli [--home DIR] export FILE --csv OUT.csv\n"
    "       rvcps-cli [--home DIR] import FILE --csv IN.csv [--rows LIST] [--fit] [--skip-unfit]"
    " -o OUT.dat\n"
    "       rvcps-cli --version\n"
    "       rvcps-cli [--home DIR] VERB --help\n"
    "PORT is a device path or a port number (1 to 16). Several --port options program (or read)\n"
    "several radios at once; read's FILE then names them with {port}.\n";

bool ParsedArgs::Has(std::string_view name) const
{
    return Get(name).has_value();
}

std::optional<std::string> ParsedArgs::Get(std::string_view name) const
{
    for (const auto& [key, value] : options)
        if (key == name) return value;
    return std::nullopt;
}

std::vector<std::string> ParsedArgs::GetAll(std::string_view name) const
{
    std::vector<std::string> values;
    for (const auto& [key, value] : options)
        if (key == name) values.push_back(value);
    return values;
}

namespace {

/// The value getopt_long returns for the help option that every verb has.
constexpr int kHelpCode = 0x10000;
/// getopt_long answers the i-th option of a verb's table with this value plus i.
constexpr int kFirstOptionCode = 0x10001;

std::string gCurrentVerb;

/// What the help says about a verb and an option (interface texts "S02%05d").
struct HelpText {
    std::string_view name;
    int text;
};
constexpr HelpText kVerbTexts[] = {
    {"new", 41500},    {"info", 41501},    {"dump", 41502},    {"read", 41503}, {"write", 41504},
    {"verify", 41505}, {"backups", 41506}, {"print", 41507},   {"diff", 41508}, {"set", 41509},
    {"export", 41510}, {"import", 41511},  {"restore", 41512},
};
constexpr HelpText kOptionTexts[] = {
    {"--home", 41520},        {"--help", 41521},       {"--version", 41522},
    {"--model", 41523},       {"--name", 41524},       {"--range", 41525},
    {"--signal", 41526},      {"-o", 41527},           {"--json", 41528},
    {"--keys", 41529},        {"--port", 41530},       {"--trace", 41531},
    {"--no-backup", 41532},   {"--no-verify", 41533},  {"--changed-only", 41534},
    {"--sections", 41535},    {"--csv", 41536},        {"--all-blocks", 41537},
    {"--other-radio", 41538}, {"--from", 41539},       {"--rows", 41540},
    {"--fit", 41541},         {"--skip-unfit", 41542},
};
constexpr int kOptionsHeading = 41550;
constexpr int kGlobalOptionsHeading = 41551;

std::string TextOf(std::span<const HelpText> table, std::string_view name)
{
    for (const HelpText& t : table)
        if (t.name == name) return Settings().LoadText(t.text);
    return {};
}

/// The arguments of getopt_long built from a table of options: long options by their names
/// without dashes, one-letter options in the option string.
class GetoptTable {
public:
    GetoptTable(std::span<const OptionSpec> accepted, bool stopAtOperand, bool withHelp)
    {
        // '+': stop at the first operand; '-': operands come back in order as code 1.
        // ':' after it: a missing value is told apart from an unknown option.
        shorts_ = stopAtOperand ? "+:" : "-:";
        names_.reserve(accepted.size() + 1);
        bool hasHelp = false, hasH = false;
        for (size_t i = 0; i < accepted.size(); ++i) {
            const std::string_view name = accepted[i].name;
            const int code = kFirstOptionCode + static_cast<int>(i);
            if (name.size() > 2 && name.substr(0, 2) == "--") {
                names_.emplace_back(name.substr(2));
                longs_.push_back({nullptr, accepted[i].takesValue ? required_argument : no_argument,
                                  nullptr, code});
                hasHelp = hasHelp || name == "--help";
            } else if (name.size() == 2 && name[0] == '-') {
                shorts_ += name[1];
                if (accepted[i].takesValue) shorts_ += ':';
                shortCodes_.emplace_back(name[1], code);
                hasH = hasH || name == "-h";
            }
        }
        if (withHelp && !hasHelp) {
            names_.emplace_back("help");
            longs_.push_back({nullptr, no_argument, nullptr, kHelpCode});
        }
        if (withHelp && !hasH) {
            shorts_ += 'h';
            shortCodes_.emplace_back('h', kHelpCode);
        }
        for (size_t i = 0; i < longs_.size(); ++i) longs_[i].name = names_[i].c_str();
        longs_.push_back({nullptr, 0, nullptr, 0});
    }
    const char* Shorts() const { return shorts_.c_str(); }
    const option* Longs() const { return longs_.data(); }
    /// The code of an answer: a long option's own, or that of the one-letter option.
    int CodeOf(int answer) const
    {
        for (const auto& [letter, code] : shortCodes_)
            if (answer == static_cast<unsigned char>(letter)) return code;
        return answer;
    }

private:
    std::string shorts_;
    std::vector<std::string> names_;
    std::vector<option> longs_;
    std::vector<std::pair<char, int>> shortCodes_;
};

/// Runs getopt_long over args. An abbreviated long option is refused: the names are the
/// contract, and an abbreviation that works today would change meaning with a new option.
ParsedArgs ParseWithGetopt(std::span<const std::string> args, std::span<const OptionSpec> accepted,
                           bool stopAtOperand, bool& help, size_t& next)
{
    ParsedArgs out;
    help = false;
    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.emplace_back("rvcps-cli");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : storage) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(storage.size());

    const GetoptTable table(accepted, stopAtOperand, true);
    optind = 0;  // a fresh scan (GNU)
    opterr = 0;  // the program says what went wrong, in its own words
    for (;;) {
        const int at = std::max(optind, 1);
        const int answer = getopt_long(argc, argv.data(), table.Shorts(), table.Longs(), nullptr);
        if (answer == -1) break;
        if (answer == 1) {
            out.positionals.emplace_back(optarg);
            continue;
        }
        const std::string text = at < argc ? storage[static_cast<size_t>(at)] : std::string();
        const int code = table.CodeOf(answer);
        if (code == kHelpCode) {
            help = true;
            continue;
        }
        // Unknown, ambiguous or abbreviated, a value where none belongs or none given, or
        // given twice: the first fault is kept, and the scan goes on for a --help behind it.
        const bool known =
            code >= kFirstOptionCode && code < kFirstOptionCode + static_cast<int>(accepted.size());
        const OptionSpec* option =
            known ? &accepted[static_cast<size_t>(code - kFirstOptionCode)] : nullptr;
        const bool fault =
            !option ||
            (option->name.size() > 2 && text.substr(0, text.find('=')) != option->name) ||
            (out.Has(option->name) && !option->repeatable);
        if (fault) {
            if (out.bad.empty()) out.bad = text.empty() ? std::string("-") : text;
            continue;
        }
        out.options.emplace_back(std::string(option->name), option->takesValue && optarg
                                                                ? std::string(optarg)
                                                                : std::string());
    }
    next = std::min(static_cast<size_t>(std::max(optind, 1)), storage.size()) - 1;
    if (!stopAtOperand && out.Ok())
        for (size_t i = next; i < args.size(); ++i) out.positionals.push_back(args[i]);
    optind = 0;
    return out;
}

/// The lines of kUsage that show a verb: "rvcps-cli [--home DIR] VERB ..." and the lines that
/// go on from them (indented, without the program's name).
std::vector<std::string> UsageLinesOf(std::string_view verb)
{
    std::vector<std::string> lines;
    std::istringstream in(kUsage);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        std::string body = line;
        if (body.rfind("usage:", 0) == 0) body = body.substr(6);
        const size_t start = body.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        body = body.substr(start);
        if (body.rfind("rvcps-cli", 0) == 0) {
            std::istringstream words(body.substr(9));
            std::string word;
            while (words >> word && (word.front() == '[' || word.back() == ']')) {
            }
            inside = word == verb;
            if (inside) lines.push_back(body);
        } else if (inside && line.front() == ' ') {
            lines.push_back(body);
        } else {
            inside = false;
        }
    }
    return lines;
}

/// The notes of kUsage (its lines that are no usage lines), one paragraph each: a line that
/// ends with a full stop ends its paragraph.
std::vector<std::string> UsageNotes()
{
    std::vector<std::string> notes;
    std::istringstream in(kUsage);
    bool open = false;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.rfind("usage:", 0) == 0 || line.front() == ' ') continue;
        if (open)
            notes.back() += "\n" + line;
        else
            notes.push_back(line);
        open = line.back() != '.';
    }
    return notes;
}

/// The value an option takes as the usage lines name it ("--port PORT..." gives "PORT...").
std::string ValueNameOf(const std::vector<std::string>& usage, std::string_view option)
{
    for (const std::string& line : usage) {
        std::istringstream words(line);
        std::vector<std::string> all;
        for (std::string w; words >> w;) all.push_back(w);
        for (size_t i = 0; i + 1 < all.size(); ++i) {
            std::string name = all[i];
            if (!name.empty() && name.front() == '[') name.erase(0, 1);
            if (name != option) continue;
            std::string value = all[i + 1];
            const size_t close = value.find(']');
            if (close != std::string::npos) value.erase(close);
            if (!value.empty() && value.front() != '-') return value;
        }
    }
    return "VALUE";
}

std::string OptionRows(const std::vector<std::pair<std::string, std::string>>& rows)
{
    size_t width = 0;
    for (const auto& [left, text] : rows) width = std::max(width, left.size());
    std::string out;
    for (const auto& [left, text] : rows) {
        std::string line = "  " + left;
        if (!text.empty()) line += std::string(width - left.size() + 3, ' ') + text;
        out += line + "\n";
    }
    return out;
}

}  // namespace

void SetCurrentVerb(std::string_view verb)
{
    gCurrentVerb = verb;
}

std::string VerbHelp(std::string_view verb, std::span<const OptionSpec> accepted)
{
    const std::vector<std::string> usage = UsageLinesOf(verb);
    std::string out;
    for (size_t i = 0; i < usage.size(); ++i)
        out += (i == 0 ? "usage: " : "       ") + usage[i] + "\n";
    if (usage.empty()) out += "usage: rvcps-cli [--home DIR] " + std::string(verb) + "\n";
    if (const std::string what = TextOf(kVerbTexts, verb); !what.empty()) out += "\n" + what + "\n";

    std::vector<std::pair<std::string, std::string>> rows;
    for (const OptionSpec& option : accepted) {
        std::string left(option.name);
        if (option.takesValue) {
            std::string value = ValueNameOf(usage, option.name);
            if (option.repeatable && value.find("...") == std::string::npos) value += "...";
            left += " " + value;
        }
        rows.emplace_back(left, TextOf(kOptionTexts, option.name));
    }
    if (!rows.empty()) out += "\n" + Settings().LoadText(kOptionsHeading) + "\n" + OptionRows(rows);
    out += "\n" + Settings().LoadText(kGlobalOptionsHeading) + "\n" +
           OptionRows({{"--home DIR", TextOf(kOptionTexts, "--home")},
                       {"-h, --help", TextOf(kOptionTexts, "--help")}});

    // The notes that explain a word of the verb's usage lines ("PORT is ...").
    std::string notes;
    for (const std::string& note : UsageNotes()) {
        const std::string word = note.substr(0, note.find(' '));
        if (std::any_of(usage.begin(), usage.end(), [&](const std::string& line) {
                return line.find(word) != std::string::npos;
            }))
            notes += note + "\n";
    }
    if (!notes.empty()) out += "\n" + notes;
    return out;
}

ParsedArgs ParseArgs(std::span<const std::string> args, std::span<const OptionSpec> accepted)
{
    bool help = false;
    size_t next = 0;
    ParsedArgs out = ParseWithGetopt(args, accepted, false, help, next);
    if (help) {
        // Help is asked for on its own: whatever else the line holds is not looked at.
        std::fputs(VerbHelp(gCurrentVerb, accepted).c_str(), stdout);
        std::fflush(stdout);
        std::exit(static_cast<int>(ExitCode::Success));
    }
    return out;
}

ParsedArgs ParseLeadingOptions(std::span<const std::string> args,
                               std::span<const OptionSpec> accepted, size_t& verbAt)
{
    bool help = false;
    ParsedArgs out = ParseWithGetopt(args, accepted, true, help, verbAt);
    if (help && out.Ok()) out.options.emplace_back("--help", std::string());
    return out;
}

void ReportText(int messageId, const std::string& text)
{
    // A language file without the text: the number still tells what failed, and the note
    // where it should have come from.
    if (text.empty())
        std::fprintf(stderr, "rvcps-cli: message %d (the language file %s has no text for it)\n",
                     messageId, Settings().LanguageFile().c_str());
    else
        std::fprintf(stderr, "rvcps-cli: %s\n", text.c_str());
}

void Report(int messageId, const std::vector<std::string>& args)
{
    std::string text = Settings().LoadMessage(messageId);
    std::string values;
    for (const std::string& a : args)
        if (!a.empty()) values += (values.empty() ? "" : ", ") + a;
    if (text.empty() && !values.empty()) {
        std::fprintf(stderr,
                     "rvcps-cli: message %d: %s (the language file %s has no text for it)\n",
                     messageId, values.c_str(), Settings().LanguageFile().c_str());
        return;
    }
    ReportText(messageId, FillStrings(text, args));
}

void Report(int messageId, const std::string& arg)
{
    Report(messageId, std::vector<std::string>{arg});
}

bool OpenDataFile(CQTXDoc& doc, const std::string& path)
{
    switch (CheckReadableFile(path, CDataFile::kMaxFileSize)) {
        case FileProblem::None:
            break;
        case FileProblem::Missing:
        case FileProblem::NoFolder:
            Report(CliMessage::kFileMissing, path);
            return false;
        case FileProblem::NoPermission:
            Report(CliMessage::kFileNotReadable, path);
            return false;
        case FileProblem::IsFolder:
            Report(CliMessage::kFileIsFolder, path);
            return false;
        case FileProblem::TooLarge: {
            struct stat st {};
            const long long size = ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
            Report(CliMessage::kFileTooLarge, {path, std::to_string(size)});
            return false;
        }
        case FileProblem::Other:
            break;  // the reader says it cannot read it
    }
    return doc.OpenPath(path).Ok();
}

bool CheckOutputFile(const std::string& path)
{
    switch (CheckWritableFile(path)) {
        case FileProblem::None:
            return true;
        case FileProblem::Missing:
        case FileProblem::NoFolder:
            Report(CliMessage::kOutputNoFolder, path);
            return false;
        case FileProblem::NoPermission:
            Report(CliMessage::kOutputNotWritable, path);
            return false;
        case FileProblem::IsFolder:
            Report(CliMessage::kOutputIsFolder, path);
            return false;
        case FileProblem::TooLarge:
        case FileProblem::Other:
            Report(DocMessage::kWriteFailed, path);
            return false;
    }
    return false;
}

bool CheckRememberedRange(const std::string& modelId, const std::string& range)
{
    if (range.empty() || ModelCatalog().IsRangeOfModel(modelId, range)) return true;
    Report(CliMessage::kRememberedRangeBad, {Settings().SettingsPath(), range, modelId});
    return false;
}

ExitCode UsageError(const std::string& bad)
{
    Report(CliMessage::kBadCommandLine, bad);
    std::fputs(kUsage, stderr);
    return ExitCode::Usage;
}

void CliDocumentUi::ShowMessage(int messageId, const std::string& text)
{
    if (messageId == DocMessage::kInvalidData) {
        // The command line has no invalid list to look at: each entry is named here.
        Report(CliLinkMessage::kInvalidNotSaved);
        ReportInvalidEntries(Radio().InvalidLog());
        return;
    }
    ReportText(messageId, text);
}

namespace {
bool gHomeGiven = false;
}  // namespace

bool HomeGiven()
{
    return gHomeGiven;
}
void SetHomeGiven(bool given)
{
    gHomeGiven = given;
}

}  // namespace rv::cli
