// Reads and writes a whole radio against the simulated radio running at the real line rate
// (9600 baud, 11 bits a byte) and prints, for each direction:
//   - the wall time of the connection and transfer,
//   - the floor: the protocol's fixed waits plus the line time of every byte sent and received,
//     added up one after the other,
//   - the overlapped bound: the same exchanges where the 30 ms answer wait and the line time of
//     the request and its answer run at the same time, as they do on a real line,
//   - the CPU time of this process (the radio runs in its own process unless --in-process).
//
//   bench_transfer [--home DIR] [--sim PATH] [--in-process] [--latency MS]

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "data/RadioData.h"
#include "link/Transfer.h"
#include "base/Settings.h"
#include "sim/RadioSim.h"

extern char** environ;

using namespace rv;
using Ms = std::chrono::duration<double, std::milli>;

namespace {

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

double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

std::string ProgramDir()
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

bool Measure(TransferDirection direction, const std::string& device, const char* name)
{
    CTransfer transfer(direction);
    CMeteredClock clock(transfer.Link());
    transfer.Link().SetClock(clock);
    Quiet quiet;
    const double cpu0 = CpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    LinkResult result = transfer.Connect(device);
    if (result.Ok()) result = transfer.Run(quiet);
    const double wall = Ms(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuMs() - cpu0;
    if (!result.Ok()) {
        std::fprintf(stderr, "%s failed: message %d (%ld) %s\n", name, result.message,
                     result.number, result.Text().c_str());
        return false;
    }
    const PortTraffic& traffic = transfer.Link().Traffic();
    const uint64_t bytes = traffic.bytesWritten + traffic.bytesRead;
    const double line = static_cast<double>(bytes) * kByteMs;
    const double floor = clock.Waits() + line;
    const double bound = clock.OverlappedBound();
    std::printf("%-5s wall %8.1f ms | floor %8.1f ms (fixed waits %7.1f + line %7.1f for %llu "
                "bytes) wall/floor %.3f | overlapped bound %8.1f ms wall/bound %.3f | "
                "CPU %6.1f ms = %.2f %% of wall\n",
                name, wall, floor, clock.Waits(), line, static_cast<unsigned long long>(bytes),
                wall / floor, bound, wall / bound, cpu, 100.0 * cpu / wall);
    if (direction == TransferDirection::Read) {
        transfer.CommitRead();
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string home = ProgramDir();
    std::string simProgram = ProgramDir() + "rvsim";
    bool inProcess = false;
    int latencyMs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--home" && i + 1 < argc) home = argv[++i];
        else if (a == "--sim" && i + 1 < argc) simProgram = argv[++i];
        else if (a == "--in-process") inProcess = true;
        else if (a == "--latency" && i + 1 < argc) latencyMs = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr,
                         "usage: bench_transfer [--home DIR] [--sim PATH] [--in-process] "
                         "[--latency MS]\n");
            return 2;
        }
    }
    Settings().SetReadOnly(true);
    Settings().Init(home);
    // The radio's model and range are the data's.
    Settings().SetModelID("RV205");
    Settings().SetFreqRange("400-470");

    std::unique_ptr<sim::CRadioSim> radio;
    SimProcess process;
    std::string device;
    if (inProcess) {
        sim::SimOptions options;
        options.paced = true;
        options.latency = std::chrono::milliseconds(latencyMs);
        radio = std::make_unique<sim::CRadioSim>(options);
        if (!radio->Start()) return 1;
        device = radio->DevicePath();
    } else {
        if (!process.Start(simProgram, {"--paced", "--latency", std::to_string(latencyMs)})) {
            std::fprintf(stderr, "cannot start %s\n", simProgram.c_str());
            return 1;
        }
        device = process.device;
    }
    std::printf("radio on %s (%s, paced at 9600 baud, 11 bits a byte, latency %d ms)\n",
                device.c_str(), inProcess ? "in this process" : "own process", latencyMs);
    const bool ok = Measure(TransferDirection::Read, device, "read") &&
                    Measure(TransferDirection::Write, device, "write");
    process.Stop();
    return ok ? 0 : 1;
}
