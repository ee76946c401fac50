#pragma once
// The built programs (rvcps-cli above all) as child processes: their exit status, their
// output, and the chance to send one a signal while it runs.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/TestSupport.h"

extern char** environ;

namespace rv::test {

inline const std::string kCliProgramPath = RV_BIN_DIR "/rvcps-cli";

/// How a run of rvcps-cli ended.
struct CliOutcome {
    int status = -1;  ///< exit status; -1 when it did not exit normally
    int signal = 0;   ///< the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
};

/// What a program started by CliProcess reads on its standard input.
enum class ChildInput { Inherited, Nothing };

/// rvcps-cli (or another program of the build) started with args; stdout and stderr go to
/// files in dir.
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const std::string& dir,
               const std::string& program = kCliProgramPath,
               ChildInput input = ChildInput::Inherited)
        : outPath_(dir + "cli.stdout"), errPath_(dir + "cli.stderr")
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (input == ChildInput::Nothing)
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        spawned_ =
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CliProcess()
    {
        if (spawned_) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    bool Running() const { return spawned_; }
    /// The program's process id (0 when it was not started).
    pid_t Pid() const { return spawned_ ? pid_ : 0; }
    /// Sends a signal to the running program.
    void Signal(int sig) const
    {
        if (spawned_) ::kill(pid_, sig);
    }
    /// Waits for the program to end.
    CliOutcome Wait()
    {
        CliOutcome outcome;
        if (spawned_) {
            int status = 0;
            if (waitpid(pid_, &status, 0) == pid_) {
                if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
                if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
            }
            spawned_ = false;
        }
        outcome.out = ReadFileText(outPath_);
        outcome.err = ReadFileText(errPath_);
        return outcome;
    }

private:
    std::string outPath_, errPath_;
    pid_t pid_ = 0;
    bool spawned_ = false;
};

/// Runs rvcps-cli to its end.
inline CliOutcome RunCliProgram(const std::vector<std::string>& args, const std::string& dir)
{
    CliProcess p(args, dir);
    return p.Wait();
}

/// Runs a program of the build ("rvsim") to its end, with nothing on its standard input.
inline CliOutcome RunBuiltProgram(const std::string& program, const std::vector<std::string>& args,
                                  const std::string& dir)
{
    CliProcess p(args, dir, std::string(RV_BIN_DIR) + "/" + program, ChildInput::Nothing);
    return p.Wait();
}

/// Runs "rvcps-cli ARGS" through the shell, so that args may quote a value ('a b=c'), to its
/// end. Standard output goes to stdoutPath when one is given (and is read back from there),
/// else to a file in dir; standard error to a file in dir.
inline CliOutcome RunCliCommandLine(const std::string& args, const std::string& dir,
                                    const std::string& stdoutPath = {})
{
    const std::string out = stdoutPath.empty() ? dir + "cli.stdout" : stdoutPath;
    const std::string err = dir + "cli.stderr";
    const int rc = std::system((kCliProgramPath + " " + args + " >" + out + " 2>" + err).c_str());
    CliOutcome outcome;
    if (rc != -1 && WIFEXITED(rc)) outcome.status = WEXITSTATUS(rc);
    outcome.out = ReadFileText(out);
    outcome.err = ReadFileText(err);
    return outcome;
}

/// Waits up to `limit` for a condition; true when it came.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds limit = std::chrono::seconds(30))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace rv::test
