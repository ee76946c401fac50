#include <sys/stat.h>

#include <cstdio>

#include "base/AtomicFile.h"
#include "base/Settings.h"
#include "cli/Cli.h"
#include "data/DataFile.h"
#include "data/ModelCatalog.h"

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
    "       rvcps-cli [--home DIR] set FILE KEY=VALUE... -o OUT\n"
    "       rvcps-cli [--home DIR] export FILE --csv OUT.csv\n"
    "       rvcps-cli [--home DIR] import FILE --csv IN.csv [--rows LIST] [--fit] [--skip-unfit]"
    " -o OUT.dat\n"
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

ParsedArgs ParseArgs(std::span<const std::string> args, std::span<const OptionSpec> specs)
{
    ParsedArgs out;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            out.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        const OptionSpec* option = nullptr;
        for (const OptionSpec& s : specs)
            if (s.name == name) option = &s;
        if (!option || (out.Has(name) && !option->repeatable)) {
            out.bad = arg;
            return out;
        }
        if (!option->takesValue) {
            if (inlineValue) {
                out.bad = arg;
                return out;
            }
            out.options.emplace_back(name, std::string());
        } else if (inlineValue) {
            out.options.emplace_back(name, *inlineValue);
        } else if (i + 1 < args.size()) {
            out.options.emplace_back(name, args[++i]);
        } else {
            out.bad = arg;
            return out;
        }
    }
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
