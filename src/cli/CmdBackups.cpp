// `backups`: lists the backups a write has taken, newest first.
//
//   rvcps-cli [--home DIR] backups
//
// One line a backup: its time, the radio's serial number, the file and its comment, separated
// by tabs. The folder is the one `write` saves into (Backups in the program directory, always
// with --home; otherwise also the user's data folder). Nothing is made or changed.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "base/Settings.h"
#include "cli/CliLink.h"
#include "link/SafeWrite.h"

namespace rv::cli {

ExitCode RunBackups(std::span<const std::string> argv)
{
    const ParsedArgs args = ParseArgs(argv, {});
    if (!args.Ok()) return UsageError(args.bad);
    if (!args.positionals.empty()) return UsageError(args.positionals.front());

    const std::vector<std::string> folders =
        BackupFolderCandidates(Settings().ProgramDir(), HomeGiven());
    std::vector<BackupEntry> all;
    for (const std::string& folder : folders) {
        const std::vector<BackupEntry> some = ListBackups(folder);
        all.insert(all.end(), some.begin(), some.end());
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const BackupEntry& a, const BackupEntry& b) { return a.time > b.time; });
    if (all.empty()) {
        std::printf(
            "%s\n",
            Settings().LoadMessage(SafeWriteMessage::kNoBackups, {folders.front()}).c_str());
        return ExitCode::Success;
    }
    for (const BackupEntry& e : all) {
        char when[32] = "-";
        if (e.time) {
            std::tm tm{};
            localtime_r(&e.time, &tm);
            std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &tm);
        }
        std::string comment = e.comment;
        for (char& c : comment)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        std::printf("%s\t%s\t%s\t%s\n", when, e.serial.c_str(), e.path.c_str(), comment.c_str());
    }
    return ExitCode::Success;
}

}  // namespace rv::cli
