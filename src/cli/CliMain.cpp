// rvcps-cli: making, inspecting, reading and writing radio configurations without the desktop
// program.
//
//   rvcps-cli [--home DIR] <verb> ...
//
// --home names the program directory (Settings.ini, Model.dat, language files, default sets);
// without it the directory of this executable is used. The settings are read but never
// written. Exit status: 0 success, 1 failure (message on stderr), 2 usage error.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Cli.h"
#include "cli/CliLink.h"
#include "base/Settings.h"

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

/// Directory of the running executable, with a trailing '/'.
std::string ExecutableDir()
{
    std::vector<char> buf(4096);
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return "./";
    std::string path(buf.data(), static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

ExitCode Run(const std::vector<std::string>& args)
{
    // Global options come before the verb.
    std::optional<std::string> home;
    std::optional<std::string> bad;
    size_t i = 0;
    for (; i < args.size() && !bad && args[i].size() > 1 && args[i][0] == '-'; ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return ExitCode::Success;
        }
        if (arg == "--home" && i + 1 < args.size() && !home)
            home = args[++i];
        else if (arg.rfind("--home=", 0) == 0 && !home)
            home = arg.substr(7);
        else
            bad = arg;
    }

    // The settings are read for the texts, the model identity and the user level; the
    // command line never writes them.
    CSettings& settings = Settings();
    settings.SetReadOnly(true);
    const bool homeOk = !home || (!home->empty() && IsDirectory(*home));
    settings.Init(home && homeOk ? *home : ExecutableDir());
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
    for (const Verb& v : kVerbs)
        if (v.name == verb) return v.run(std::span<const std::string>(args).subspan(i + 1));
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
