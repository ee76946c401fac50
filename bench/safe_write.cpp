// The safe write against simulated radios at the real line rate (9600 baud, 11 bits a byte),
// each radio its own rvsim process, and the figures it prints:
//   - backup, write and verify, each against the floor of its own exchanges (per exchange the
//     30 ms answer wait or the line time of the request and its answer, whichever is longer,
//     plus the other fixed waits: a line and a radio that cost nothing more), and the CPU time
//     of this process as a share of the wall time;
//   - a write of the changed blocks only after a one-channel edit, against the floor of one
//     read (and the whole job, backup and verify included);
//   - four radios written at once, each on its own thread, against one radio alone.
//
//   bench_safe_write [--home DIR] [--sim PATH]

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "base/Settings.h"
#include "data/RadioData.h"
#include "link/SafeWrite.h"
#include "link/Transfer.h"

using namespace rv;
using namespace rv::bench;

namespace {

constexpr int kRadios = 4;

void Print(const char* name, const TransferFigures& f)
{
    std::printf(
        "%-20s wall %7.1f ms | floor %7.1f ms | wall/floor %.3f | serial sum %7.1f ms | "
        "CPU %5.1f ms = %.2f %% of wall\n",
        name, f.wall, f.floor, f.wall / f.floor, f.serial, f.cpu, 100.0 * f.cpu / f.wall);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string home = ProgramDir();
    std::string simProgram = ProgramDir() + "rvsim";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--home" && i + 1 < argc)
            home = argv[++i];
        else if (a == "--sim" && i + 1 < argc)
            simProgram = argv[++i];
        else {
            std::fprintf(stderr, "usage: bench_safe_write [--home DIR] [--sim PATH]\n");
            return 2;
        }
    }
    Settings().SetReadOnly(true);
    Settings().Init(home);
    Settings().SetModelID("RV205");
    Settings().SetFreqRange("400-470");

    std::vector<SimProcess> radios(kRadios);
    for (SimProcess& r : radios)
        if (!r.Start(simProgram, {"--paced"})) {
            std::fprintf(stderr, "cannot start %s\n", simProgram.c_str());
            return 1;
        }
    std::printf("%d radios, each its own rvsim process, paced at 9600 baud (11 bits a byte)\n",
                kRadios);
    const std::string& device = radios.front().device;
    Image image = Radio().MemoryImage();
    bool ok = true;

    // Backup, write, verify of one radio.
    CTransfer backup(TransferDirection::Read);
    const TransferFigures b = MeasureTransfer(backup, device);
    CTransfer write(TransferDirection::Write);
    write.UseImage(image);
    const TransferFigures w = MeasureTransfer(write, device);
    CTransfer verify(TransferDirection::Read);
    const TransferFigures v = MeasureTransfer(verify, device);
    ok =
        b.ok && w.ok && v.ok && CompareRanges(image, verify.Buffer(), WrittenRanges(false)).Equal();
    Print("backup (read)", b);
    Print("write (83 blocks)", w);
    Print("verify (read)", v);

    // One channel edited: its block and the time stamp go.
    Image edited = image;
    edited[1412] ^= 0x01;
    CTransfer held(TransferDirection::Read);
    const TransferFigures hb = MeasureTransfer(held, device);
    CTransfer changed(TransferDirection::Write);
    changed.UseImage(edited);
    changed.SetHeldImage(&held.Buffer());
    const TransferFigures c = MeasureTransfer(changed, device);
    CTransfer check(TransferDirection::Read);
    const std::vector<AddressRange> ranges = VerifyRanges(true, c.written, false);
    check.SetReadRanges(ranges);
    const TransferFigures cv = MeasureTransfer(check, device);
    ok = ok && hb.ok && c.ok && cv.ok && c.blocks == 2 &&
         CompareRanges(edited, check.Buffer(), ranges).Equal();
    Print("changed-only write", c);
    Print("changed-only verify", cv);
    std::printf(
        "changed-only write: %zu blocks; wall %.1f ms = %.3f x the read floor %.1f ms; "
        "whole job (backup + write + verify) %.1f ms = %.3f x the read floor\n",
        c.blocks, c.wall, c.wall / b.floor, b.floor, hb.wall + c.wall + cv.wall,
        (hb.wall + c.wall + cv.wall) / b.floor);

    // Four radios at once against one alone (the write connection of each).
    std::vector<Image> images(kRadios, image);
    std::vector<TransferFigures> each(kRadios);
    const double cpu0 = CpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    {
        std::vector<std::jthread> threads;
        for (int i = 0; i < kRadios; ++i)
            threads.emplace_back([&, i] {
                CTransfer t(TransferDirection::Write);
                t.UseImage(images[static_cast<size_t>(i)]);
                each[static_cast<size_t>(i)] =
                    MeasureTransfer(t, radios[static_cast<size_t>(i)].device);
            });
    }
    const double wall4 = Ms(std::chrono::steady_clock::now() - t0).count();
    const double cpu4 = CpuMs() - cpu0;
    for (const TransferFigures& f : each) ok = ok && f.ok;
    std::printf(
        "%d radios written at once: wall %.1f ms = %.3f x one radio alone (%.1f ms); "
        "CPU %.1f ms = %.2f %% of wall\n",
        kRadios, wall4, wall4 / w.wall, w.wall, cpu4, 100.0 * cpu4 / wall4);

    for (SimProcess& r : radios) r.Stop();
    if (!ok) std::fprintf(stderr, "a transfer failed or the radio did not hold what was sent\n");
    return ok ? 0 : 1;
}
