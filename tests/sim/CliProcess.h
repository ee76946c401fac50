#pragma once
// The built rvcps-cli as a child process: its exit status, its output, and the chance to send
// it a signal while it runs.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

inline std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

/// rvcps-cli started with args; stdout and stderr go to files in dir.
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& args, const std::string& dir)
        : outPath_(dir + "cli.stdout"), errPath_(dir + "cli.stderr")
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv{const_cast<char*>(kCliProgramPath.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        spawned_ = posix_spawn(&pid_, kCliProgramPath.c_str(), &actions, nullptr, argv.data(),
                               environ) == 0;
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
