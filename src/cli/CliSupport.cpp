#include <cstdio>

#include "cli/Cli.h"
#include "base/Settings.h"

namespace rv::cli {

const char* const kUsage =
    "usage: rvcps-cli [--home DIR] new [--model ID] [--name NAME] [--range L-H] [--signal N]"
    " -o FILE\n"
    "       rvcps-cli [--home DIR] info FILE\n"
    "       rvcps-cli [--home DIR] dump FILE [--json]\n"
    "       rvcps-cli [--home DIR] dump --keys\n"
    "       rvcps-cli [--home DIR] read --port PORT [--model ID] [--range L-H] -o FILE\n"
    "       rvcps-cli [--home DIR] write --port PORT FILE\n"
    "PORT is a device path or a port number (1 to 16).\n";

bool ParsedArgs::Has(std::string_view name) const { return Get(name).has_value(); }

std::optional<std::string> ParsedArgs::Get(std::string_view name) const
{
    for (const auto& [key, value] : options)
        if (key == name) return value;
    return std::nullopt;
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
        if (!option || out.Has(name)) {
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
    // Without a language file there is no text; the number still tells what failed.
    if (text.empty())
        std::fprintf(stderr, "rvcps-cli: message %d\n", messageId);
    else
        std::fprintf(stderr, "rvcps-cli: %s\n", text.c_str());
}

void Report(int messageId, const std::string& arg)
{
    std::string text = Settings().LoadMessage(messageId);
    if (size_t pos = text.find("%s"); pos != std::string::npos) text.replace(pos, 2, arg);
    if (text.empty() && !arg.empty()) {
        std::fprintf(stderr, "rvcps-cli: message %d: %s\n", messageId, arg.c_str());
        return;
    }
    ReportText(messageId, text);
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

}  // namespace rv::cli
