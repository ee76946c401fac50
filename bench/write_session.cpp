// What a write costs against a simulated radio at the real line rate (9600 baud, 11 bits a
// byte, an rvsim process), as the command line and the write screen run it: one session on one
// locked port with its backup read, the blocks that differ and the read-back of what was sent.
// Each case is run several times; the medians are printed against their floors:
//   - after a one-channel edit: the floor is the backup read, the changed block and the time
//     stamp, and their read-back (each a connection of its own, as the radio takes them);
//   - a whole new configuration (every block differs): the backup read, the full write and the
//     read-back of the written ranges;
//   - a read, and a write with --no-backup --no-verify: their own exchanges.
// A floor is the sum over the exchanges of the 30 ms answer wait or the line time of the
// request and its answer, whichever is longer, plus the protocol's other fixed waits: what a
// line and a radio that cost nothing more would take. Goals: 1.10, 1.05, 1.02 and 1.02.
//
//   bench_write_session [--home DIR] [--sim PATH] [--runs N]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "base/Settings.h"
#include "data/DataFile.h"
#include "link/SafeWrite.h"
#include "link/Transfer.h"
#include "link/WriteSession.h"

using namespace rv;
using namespace rv::bench;

namespace {

/// Puts image into the radio (every block; not timed).
bool Put(const std::string& device, const Image& image)
{
    Image copy = image;
    CTransfer write(TransferDirection::Write);
    write.UseImage(copy);
    Quiet quiet;
    LinkResult r = write.Connect(device);
    if (r.Ok()) r = write.Run(quiet);
    return r.Ok();
}

struct Silent : IWriteSessionObserver {
    void OnStepProgress(WriteStep, size_t, size_t) override {}
};

/// A whole write session, timed.
TransferFigures Session(const std::string& device, const Image& sent,
                        const WriteSessionOptions& options)
{
    Image image = sent;
    Silent silent;
    TransferFigures t;
    const auto t0 = std::chrono::steady_clock::now();
    const WriteSessionResult r = RunWriteSession(device, image, options, silent);
    t.wall = Ms(std::chrono::steady_clock::now() - t0).count();
    t.ok = r.Ok();
    t.blocks = r.blocksSent;
    if (!t.ok)
        std::fprintf(stderr, "session failed: %s\n", WriteSessionText(r, options, true).c_str());
    return t;
}

/// The floor of a default session that finds held in the radio and sends sent: the backup read,
/// the write of the differing blocks and the time stamp, the read-back of those.
double SessionFloor(const std::string& device, const Image& held, const Image& sent, bool& ok)
{
    ok = Put(device, held);
    CTransfer read(TransferDirection::Read);
    const TransferFigures b = MeasureTransfer(read, device);
    Image image = sent;
    CTransfer write(TransferDirection::Write);
    write.UseImage(image);
    write.SetHeldImage(&read.Buffer());
    const TransferFigures w = MeasureTransfer(write, device);
    CTransfer check(TransferDirection::Read);
    check.SetReadRanges(VerifyRanges(true, w.written, false));
    const TransferFigures v = MeasureTransfer(check, device);
    ok = ok && b.ok && w.ok && v.ok;
    return b.floor + w.floor + v.floor;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Report(const char* name, const std::vector<double>& walls, double floor, double goal,
            size_t blocks)
{
    const double wall = Median(walls);
    std::printf(
        "%-34s %2zu blocks | median wall %8.1f ms | floor %8.1f ms | ratio %.3f | goal "
        "<= %.2f %s\n",
        name, blocks, wall, floor, wall / floor, goal, wall / floor <= goal ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv)
{
    std::string home = ProgramDir();
    std::string simProgram = ProgramDir() + "rvsim";
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--home" && i + 1 < argc)
            home = argv[++i];
        else if (a == "--sim" && i + 1 < argc)
            simProgram = argv[++i];
        else if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr,
                         "usage: bench_write_session [--home DIR] [--sim PATH] [--runs N]\n");
            return 2;
        }
    }
    Settings().SetReadOnly(true);
    Settings().Init(home);
    Settings().SetModelID("RV205");
    Settings().SetFreqRange("400-470");
    Image config{};
    if (!CDataFile::Read(home + "/RV205400-470DefaultSet.dat", nullptr, config)) {
        std::fprintf(stderr, "no default set in %s\n", home.c_str());
        return 1;
    }
    const std::string backups =
        (std::filesystem::temp_directory_path() / ("rvcps-bench-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(backups);

    SimProcess radio;
    if (!radio.Start(simProgram, {"--paced"})) {
        std::fprintf(stderr, "cannot start %s\n", simProgram.c_str());
        return 1;
    }
    const std::string& device = radio.device;
    std::printf("rvsim paced at 9600 baud (11 bits a byte); medians of %d runs\n", runs);
    bool ok = true;

    WriteSessionOptions options;
    options.backupFolder = backups;
    options.sourceFile = "bench.dat";

    // A one-channel edit: the radio holds the configuration, channel 1's frequency changed.
    Image edited = config;
    edited[1412] ^= 0x01;
    // A whole new configuration: every byte of the radio differs from it.
    Image other = config;
    for (size_t a = 0; a < other.size(); ++a) other[a] = static_cast<uint8_t>(~config[a]);

    struct Case {
        const char* name;
        const Image* held;
        const Image* sent;
        double goal;
    };
    const Case cases[] = {
        {"default write, one channel edited", &config, &edited, 1.10},
        {"default write, whole configuration", &other, &config, 1.05},
    };
    for (const Case& c : cases) {
        bool floorOk = false;
        const double floor = SessionFloor(device, *c.held, *c.sent, floorOk);
        std::vector<double> walls;
        size_t blocks = 0;
        for (int r = 0; r < runs; ++r) {
            ok = ok && Put(device, *c.held);
            const TransferFigures t = Session(device, *c.sent, options);
            ok = ok && t.ok;
            walls.push_back(t.wall);
            blocks = t.blocks;
        }
        ok = ok && floorOk;
        Report(c.name, walls, floor, c.goal, blocks);
    }

    // A read, and a write without backup and verify.
    {
        std::vector<double> walls;
        double floor = 0;
        for (int r = 0; r < runs; ++r) {
            CTransfer read(TransferDirection::Read);
            const TransferFigures t = MeasureTransfer(read, device);
            ok = ok && t.ok;
            walls.push_back(t.wall);
            floor = t.floor;
        }
        Report("read", walls, floor, 1.02, kReadBlockCount);
    }
    {
        Image image = config;
        CTransfer write(TransferDirection::Write);
        write.UseImage(image);
        const TransferFigures alone = MeasureTransfer(write, device);
        WriteSessionOptions bare = options;
        bare.backup = bare.verify = false;
        std::vector<double> walls;
        size_t blocks = 0;
        for (int r = 0; r < runs; ++r) {
            const TransferFigures t = Session(device, config, bare);
            ok = ok && t.ok;
            walls.push_back(t.wall);
            blocks = t.blocks;
        }
        Report("write --no-backup --no-verify", walls, alone.floor, 1.02, blocks);
    }

    radio.Stop();
    std::error_code ec;
    std::filesystem::remove_all(backups, ec);
    if (!ok) std::fprintf(stderr, "a transfer failed\n");
    return ok ? 0 : 1;
}
