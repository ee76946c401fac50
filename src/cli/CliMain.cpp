// rvcps-cli: making, inspecting, reading and writing radio configurations without the desktop
// program.
//
//   rvcps-cli [--home DIR] <verb> ...
//
// --home names the program directory (Settings.ini, Model.dat, language files, default sets);
// without it the directory of this executable is one (a build folder), or the program is
// installed and reads the shared resources and the user's settings. The settings are read but
// never written. Exit status: 0 success, 1 failure (message on stderr), 2 usage error.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RvVersion.h"
#include "base/Settings.h"
#include "cli/Cli.h"
#include "cli/CliLink.h"

namespace rv::cli {
namespace {

/// One verb of the command line.
struct Verb {
    std::string_view name;
    ExitCode (*run)(std::span<const std::string> args);
};

// Each verb lives in its own Cmd<Verb>.cpp.
constexpr Verb kVerbs[] = {
    {"new", &RunNew},
    {"info", &RunInfo},
    {"dump", &RunDump},
    {"read", &RunRead},
    {"write", &RunWrite},
    {"verify", &RunVerify},
    {"restore", &RunRestore},
    {"backups", &RunBackups},
    {"print", &RunPrint},
    // Compare and field edits.
    {"diff", &RunDiff},
    {"set", &RunSet},
    {"export", &RunExport},
    {"import", &RunImport},
};

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

ExitCode Run(const std::vector<std::string>& args)
{
    // Global options come before the verb.
    static constexpr OptionSpec kGlobalOptions[] = {{"--home", true}, {"--version", false}};
    size_t i = 0;
    const ParsedArgs global = ParseLeadingOptions(args, kGlobalOptions, i);
    if (global.Ok() && global.Has("--help")) {
        std::fputs(kUsage, stdout);
        return ExitCode::Success;
    }
    if (global.Ok() && global.Has("--version")) {
        std::printf("rvcps-cli %s\n", RV_VERSION_TEXT);
        return ExitCode::Success;
    }
    const std::optional<std::string> home = global.Get("--home");
    const std::optional<std::string> bad =
        global.Ok() ? std::nullopt : std::optional<std::string>(global.bad);

    // The settings are read for the texts, the model identity and the user level; the
    // command line never writes them.
    CSettings& settings = Settings();
    settings.SetReadOnly(true);
    const bool homeOk = !home || (!home->empty() && IsDirectory(*home));
    if (home && homeOk)
        settings.Init(*home);
    else
        settings.Init(LocateProgramPaths(ExecutableDir()));
    SetHomeGiven(home && homeOk);
    // Without its language file the program has no message to say anything with.
    if (const std::string problem = settings.LanguageProblem(); !problem.empty()) {
        std::fprintf(stderr, "rvcps-cli: %s\n", problem.c_str());
        return ExitCode::Failure;
    }
    if (bad) return UsageError(*bad);
    if (!homeOk) {
        Report(CliMessage::kNoProgramDir, *home);
        return ExitCode::Failure;
    }

    if (i >= args.size()) {
        std::fputs(kUsage, stderr);
        return ExitCode::Usage;
    }
    const std::string& verb = args[i];
    for (const Verb& v : kVerbs) {
        if (v.name == verb) {
            SetCurrentVerb(v.name);
            return v.run(std::span<const std::string>(args).subspan(i + 1));
        }
    }
    return UsageError(verb);
}

}  // namespace
}  // namespace rv::cli

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const rv::cli::ExitCode code = rv::cli::Run(args);
    std::fflush(stdout);
    return static_cast<int>(code);
}
