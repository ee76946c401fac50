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

#include "link/Transfer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "base/Settings.h"
#include "data/RadioData.h"
#include "sim/RadioSim.h"

using namespace rv;
using namespace rv::bench;

namespace {

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
    std::printf(
        "%-5s wall %8.1f ms | floor %8.1f ms (fixed waits %7.1f + line %7.1f for %llu "
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
        if (a == "--home" && i + 1 < argc)
            home = argv[++i];
        else if (a == "--sim" && i + 1 < argc)
            simProgram = argv[++i];
        else if (a == "--in-process")
            inProcess = true;
        else if (a == "--latency" && i + 1 < argc)
            latencyMs = std::atoi(argv[++i]);
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
