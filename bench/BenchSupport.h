#pragma once
// What the link benchmarks share: a clock that keeps account of the protocol's waits, the
// simulated radio started as its own paced process, and the CPU time of this process.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "link/Transfer.h"

extern char** environ;

namespace rv::bench {

using Ms = std::chrono::duration<double, std::milli>;

constexpr double kByteMs = 11.0 * 1000.0 / 9600.0;  // line time of one byte

// A clock that sleeps for real and keeps account of the protocol's waits. At each answer wait
// it notes the port's byte counters, which splits the traffic into exchanges.
class CMeteredClock final : public IClock {
public:
    explicit CMeteredClock(const CComPort& port) : port_(port) {}
    TimePoint Now() const override { return SystemClock().Now(); }
    void Sleep(std::chrono::milliseconds d) override
    {
        if (d == CRadioProtocol::kAnswerDelay)
            marks_.push_back({port_.Traffic().bytesWritten, port_.Traffic().bytesRead});
        else
            otherWaits_ += Ms(d).count();
        waits_ += Ms(d).count();
        SystemClock().Sleep(d);
    }
    double Waits() const { return waits_; }
    /// Sum over exchanges of max(answer wait, request and answer line time), plus the other
    /// waits, which no line time overlaps.
    double OverlappedBound() const
    {
        double sum = otherWaits_;
        const double wait = Ms(CRadioProtocol::kAnswerDelay).count();
        uint64_t prevWritten = 0;
        for (size_t i = 0; i < marks_.size(); ++i) {
            const uint64_t request = marks_[i].written - prevWritten;
            const uint64_t readEnd =
                i + 1 < marks_.size() ? marks_[i + 1].read : port_.Traffic().bytesRead;
            const uint64_t answer = readEnd - marks_[i].read;
            prevWritten = marks_[i].written;
            sum += std::max(wait, static_cast<double>(request + answer) * kByteMs);
        }
        return sum;
    }

private:
    struct Mark {
        uint64_t written, read;
    };
    const CComPort& port_;
    std::vector<Mark> marks_;
    double waits_ = 0, otherWaits_ = 0;
};

struct Quiet : ITransferObserver {
    void OnTransferProgress(TransferDirection, int) override {}
    void OnTransferFinished(TransferDirection, const LinkResult&) override {}
};

inline double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

/// The figures of one connection and transfer.
struct TransferFigures {
    bool ok = false;
    std::vector<AddressRange> written;  ///< what a write sent
    double wall = 0;                    ///< ms
    double floor = 0;   ///< ms: the exchanges' waits and line times overlapped as on a line
    double serial = 0;  ///< ms: every wait and every byte's line time one after the other
    double cpu = 0;     ///< ms of this process
    size_t blocks = 0;
};

/// One connection and transfer on device, timed, with the floor of its exchanges; image and
/// held image as the transfer was given them.
inline TransferFigures MeasureTransfer(CTransfer& transfer, const std::string& device)
{
    CMeteredClock clock(transfer.Link());
    transfer.Link().SetClock(clock);
    Quiet quiet;
    TransferFigures f;
    const double cpu0 = CpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    LinkResult result = transfer.Connect(device);
    if (result.Ok()) result = transfer.Run(quiet);
    f.wall = Ms(std::chrono::steady_clock::now() - t0).count();
    f.cpu = CpuMs() - cpu0;
    f.ok = result.Ok();
    f.written = result.written;
    if (!f.ok) std::fprintf(stderr, "%s failed: %s\n", device.c_str(), result.Text().c_str());
    const PortTraffic& traffic = transfer.Link().Traffic();
    f.serial =
        clock.Waits() + static_cast<double>(traffic.bytesWritten + traffic.bytesRead) * kByteMs;
    f.floor = clock.OverlappedBound();
    f.blocks = transfer.BlocksSent();
    transfer.Link().SetClock(SystemClock());
    return f;
}

inline std::string ProgramDir()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

// The rvsim program, paced, with its standard input on a pipe (closing it stops the radio).
struct SimProcess {
    pid_t pid = 0;
    int input = -1;
    std::string device;
    bool Start(const std::string& program, const std::vector<std::string>& args)
    {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, in[0], 0);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const bool ok = posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&fa);
        close(in[0]);
        close(out[1]);
        input = in[1];
        char c;
        while (ok && read(out[0], &c, 1) == 1 && c != '\n') device += c;
        close(out[0]);
        return ok && !device.empty();
    }
    void Stop()
    {
        if (input >= 0) close(input);
        input = -1;
        if (pid > 0) waitpid(pid, nullptr, 0);
        pid = 0;
    }
};

}  // namespace rv::bench
