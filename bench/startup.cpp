// Start-up of the desktop program: starts the real rvcps N times on a fresh program directory
// and measures the time from exec to the main window being exposed (its first paint done),
// the time to the end of start-up, and the resident memory then (VmHWM, the peak, and VmRSS
// from /proc). Prints every run and the medians.
//
//   bench_startup [--runs N] [--program PATH] [--language 0|1] [--display]
//
// Without --display the program runs on Qt's offscreen platform; with it, on the X display of
// DISPLAY (an Xvfb server, say), where the window is mapped and painted for real.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ProgramDir()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

/// A fresh program directory: the resources of the build's program directory (every file
/// that is not a program), with the language chosen.
bool MakeHome(const fs::path& from, const fs::path& home, int language)
{
    std::error_code ec;
    fs::create_directories(home, ec);
    if (ec) return false;
    for (const fs::directory_entry& e : fs::directory_iterator(from, ec)) {
        if (!e.is_regular_file()) continue;
        if ((e.status().permissions() & fs::perms::owner_exec) != fs::perms::none) continue;
        fs::copy_file(e.path(), home / e.path().filename(), fs::copy_options::overwrite_existing,
                      ec);
        if (ec) return false;
    }
    std::ofstream(home / "Settings.ini")
        << "[Setting]\nModelID=RV205\nModelName=RV-205\nFreqRange=400-470\nSignal=2\n"
           "ComPort=1\nLanguage="
        << language << "\n\n[User Mode]\nLevel=0\n";
    return true;
}

/// "VmHWM:    41236 kB" → 41236; -1 when absent.
long StatusKb(pid_t pid, const char* key)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const size_t n = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':')
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    return -1;
}

struct Run {
    double exposedMs = -1;
    double readyMs = -1;
    long hwmKb = -1;
    long rssKb = -1;
};

/// One start of the program; false (with a message) when it did not reach the end of
/// start-up within the time allowed.
bool StartOnce(const std::string& program, const fs::path& home, bool display, Run& run)
{
    int pipeFd[2];
    if (pipe2(pipeFd, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFd[1], 2);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        if (var.rfind("RVCPS_STARTUP_REPORT=", 0) == 0 || var.rfind("QT_QPA_PLATFORM=", 0) == 0)
            continue;
        env.push_back(var);
    }
    env.push_back("RVCPS_STARTUP_REPORT=1");
    if (!display) env.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string homeArg = home.string();
    std::string homeOpt = "--home";
    std::string prog = program;
    char* argv[] = {prog.data(), homeOpt.data(), homeArg.data(), nullptr};

    pid_t pid = 0;
    const Clock::time_point start = Clock::now();
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFd[1]);
    if (rc != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(rc));
        close(pipeFd[0]);
        return false;
    }

    std::string output;
    const Clock::time_point deadline = start + std::chrono::seconds(60);
    while (run.readyMs < 0 || run.exposedMs < 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        pollfd p{pipeFd[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buf[4096];
        const ssize_t n = read(pipeFd[0], buf, sizeof buf);
        if (n <= 0) break;  // the program ended
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        output.append(buf, static_cast<size_t>(n));
        if (run.exposedMs < 0 && output.find("rvcps: window exposed\n") != std::string::npos)
            run.exposedMs = ms;
        if (run.readyMs < 0 && output.find("rvcps: ready\n") != std::string::npos) run.readyMs = ms;
    }
    if (run.readyMs >= 0) {
        run.hwmKb = StatusKb(pid, "VmHWM");
        run.rssKb = StatusKb(pid, "VmRSS");
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    close(pipeFd[0]);
    if (run.readyMs < 0 || run.exposedMs < 0) {
        std::fprintf(stderr, "the program did not report its start; it wrote:\n%s\n",
                     output.c_str());
        return false;
    }
    return true;
}

template <typename T>
T Median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 10;
    int language = 0;
    bool display = false;
    std::string program = ProgramDir() + "rvcps";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--program" && i + 1 < argc) {
            program = argv[++i];
        } else if (a == "--language" && i + 1 < argc) {
            language = std::atoi(argv[++i]) == 1 ? 1 : 0;
        } else if (a == "--display") {
            display = true;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--runs N] [--program PATH] [--language 0|1] [--display]\n",
                         argv[0]);
            return 2;
        }
    }
    if (display && !std::getenv("DISPLAY")) {
        std::fprintf(stderr, "--display needs DISPLAY (start Xvfb first)\n");
        return 2;
    }

    char pattern[] = "/tmp/rvcps-startup-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path home = pattern;
    if (!MakeHome(fs::path(program).parent_path(), home, language)) {
        std::fprintf(stderr, "cannot make the program directory %s\n", pattern);
        return 1;
    }

    std::printf("start-up of %s (%s, language %d), %d runs after one warm-up\n", program.c_str(),
                display ? "X display" : "offscreen", language, runs);
    std::printf("%4s %14s %14s %10s %10s\n", "run", "exposed ms", "ready ms", "VmHWM MB",
                "VmRSS MB");
    std::vector<double> exposed, ready;
    std::vector<long> hwm, rss;
    int failures = 0;
    for (int i = 0; i <= runs; ++i) {
        Run r;
        if (!StartOnce(program, home, display, r)) {
            ++failures;
            continue;
        }
        if (i == 0) continue;  // warm-up: libraries and fonts into the page cache
        exposed.push_back(r.exposedMs);
        ready.push_back(r.readyMs);
        hwm.push_back(r.hwmKb);
        rss.push_back(r.rssKb);
        std::printf("%4d %14.1f %14.1f %10.1f %10.1f\n", i, r.exposedMs, r.readyMs,
                    r.hwmKb / 1024.0, r.rssKb / 1024.0);
    }
    std::error_code ec;
    fs::remove_all(home, ec);
    if (exposed.empty()) {
        std::fprintf(stderr, "no run reached the end of start-up\n");
        return 1;
    }
    std::printf("median %12.1f %14.1f %10.1f %10.1f\n", Median(exposed), Median(ready),
                Median(hwm) / 1024.0, Median(rss) / 1024.0);
    if (failures) std::printf("%d runs failed\n", failures);
    return failures ? 1 : 0;
}
