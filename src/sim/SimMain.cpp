// rvsim: a simulated radio on a pseudo-terminal. Prints the device path of the program's end
// on standard output, then serves until it is killed (SIGINT, SIGTERM) or its standard input,
// when that is a pipe or a terminal, is closed.
//
// --firmware TEXT sets the firmware version the radio reports; "--version TEXT" is its old
// spelling and still sets it. --version alone (or followed by another option) prints the
// program's own version.

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RvVersion.h"
#include "base/Bytes.h"
#include "sim/RadioSim.h"

using namespace rv;
using namespace rv::sim;

namespace {

constexpr const char* kUsage =
    "usage: rvsim [options]\n"
    "  --model-id ID        model ID reported (RV205)\n"
    "  --model-name NAME    model name reported (RV-205)\n"
    "  --range L-H          frequency range in MHz (400-470)\n"
    "  --band N             band code of the range (1)\n"
    "  --signal N           signalling code (2)\n"
    "  --firmware TEXT      firmware version reported (1.01.16.001); also --version TEXT\n"
    "  --load FILE          memory from a data file or a raw 2048-byte image\n"
    "  --save FILE          save the memory as a data file when stopping\n"
    "  --save-raw FILE      save the memory as a raw image when stopping\n"
    "  --paced              bytes take their line time at 9600 baud, 11 bits a byte\n"
    "  --baud N             line rate when paced (9600)\n"
    "  --latency MS         time between a request and its answer (0)\n"
    "  --accept-ac          accept mode changes with 'A' 'c'\n"
    "  --foreign-headers    fill the header bytes of block and identity answers with values\n"
    "                       unlike the request\n"
    "  --log FILE           log every frame with a time stamp ('-' standard error)\n"
    "  --fault KIND:CMD:N[:TIMES[:ARG]]\n"
    "                       KIND no-answer, short, checksum, refuse, line-error, corrupt\n"
    "                       (a block write stores its first byte inverted) or lost-answer\n"
    "                       (the command takes effect, its answer is lost); CMD two\n"
    "                       letters (Eb, Ea, Ma, Pa, Bb ...) or '*'; hits the N-th command of\n"
    "                       that kind and TIMES-1 more (TIMES 0: all from N on; default 1);\n"
    "                       with ARG (a block address, identity item or mode, decimal or 0x..)\n"
    "                       only the commands naming it count\n"
    "  --version            print the version of rvsim\n"
    "  -h, --help           print this help\n";

bool ParseFault(const std::string& text, SimFault& fault)
{
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        const size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon == std::string::npos ? colon : colon - start));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    if (parts.size() < 3 || parts.size() > 5) return false;
    const std::string& kind = parts[0];
    if (kind == "no-answer") fault.kind = FaultKind::NoAnswer;
    else if (kind == "short") fault.kind = FaultKind::ShortAnswer;
    else if (kind == "checksum") fault.kind = FaultKind::BadChecksum;
    else if (kind == "refuse") fault.kind = FaultKind::RefuseMode;
    else if (kind == "line-error") fault.kind = FaultKind::LineError;
    else if (kind == "corrupt") fault.kind = FaultKind::CorruptWrite;
    else if (kind == "lost-answer") fault.kind = FaultKind::LostAnswer;
    else return false;
    fault.command = parts[1];
    if (fault.command != "*" && fault.command.size() != 2) return false;
    auto number = [](const std::string& s, int base, long& out) {
        char* end = nullptr;
        out = std::strtol(s.c_str(), &end, base);
        return !s.empty() && !*end;
    };
    long n = 0;
    if (!number(parts[2], 10, n) || n < 1 || n > 1000000) return false;
    fault.at = static_cast<int>(n);
    if (parts.size() > 3) {
        if (!number(parts[3], 10, n) || n < 0 || n > 1000000) return false;
        fault.times = static_cast<int>(n);
    }
    if (parts.size() > 4) {
        if (!number(parts[4], 0, n) || n < 0 || n > 0xFFFF) return false;
        fault.argument = static_cast<uint32_t>(n);
    }
    return true;
}

bool ParseInt(const char* s, long low, long high, long& out)
{
    char* end = nullptr;
    out = std::strtol(s, &end, 10);
    return *s && !*end && out >= low && out <= high;
}

// Standard input ends the radio only when it is a pipe, socket or terminal: started in the
// background with /dev/null as input it runs until it is killed.
bool WatchStdin()
{
    struct stat st {};
    if (fstat(STDIN_FILENO, &st) != 0) return false;
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || isatty(STDIN_FILENO);
}

}  // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    std::string load, save, saveRaw;
    int low = 400, high = 470;
    long band = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "rvsim: %s needs a value\n%s", arg.c_str(), kUsage);
                std::exit(2);
            }
            return argv[++i];
        };
        long n = 0;
        if (arg == "--model-id") options.identity.modelId = value();
        else if (arg == "--model-name") options.identity.modelName = value();
        else if (arg == "--range") {
            if (!ParseRange(value(), low, high) || low <= 0 || high <= 0) {
                std::fprintf(stderr, "rvsim: --range wants L-H in MHz\n");
                return 2;
            }
        } else if (arg == "--band") {
            if (!ParseInt(value(), 0, 255, band)) return std::fprintf(stderr, "rvsim: bad --band\n"), 2;
        } else if (arg == "--signal") {
            if (!ParseInt(value(), 0, 255, n)) return std::fprintf(stderr, "rvsim: bad --signal\n"), 2;
            options.identity.signal = static_cast<uint8_t>(n);
        } else if (arg == "--firmware") options.identity.version = value();
        else if (arg == "--version" && i + 1 < argc && argv[i + 1][0] != '-')
            options.identity.version = value();  // the old spelling of --firmware
        else if (arg == "--version") {
            std::printf("rvsim %s\n", RV_VERSION_TEXT);
            return 0;
        }
        else if (arg == "--load") load = value();
        else if (arg == "--save") save = value();
        else if (arg == "--save-raw") saveRaw = value();
        else if (arg == "--paced") options.paced = true;
        else if (arg == "--baud") {
            if (!ParseInt(value(), 300, 1000000, n)) return std::fprintf(stderr, "rvsim: bad --baud\n"), 2;
            options.baud = static_cast<unsigned>(n);
        } else if (arg == "--latency") {
            if (!ParseInt(value(), 0, 10000, n)) return std::fprintf(stderr, "rvsim: bad --latency\n"), 2;
            options.latency = std::chrono::milliseconds(n);
        } else if (arg == "--accept-ac") options.acceptWithAc = true;
        else if (arg == "--foreign-headers") options.foreignHeaders = true;
        else if (arg == "--log") options.logPath = value();
        else if (arg == "--fault") {
            SimFault f;
            if (!ParseFault(value(), f)) {
                std::fprintf(stderr, "rvsim: bad --fault\n%s", kUsage);
                return 2;
            }
            options.faults.push_back(f);
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "rvsim: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    options.identity.range = MakeRangeRecord(low, high, static_cast<uint8_t>(band));

    // Signals are taken through a descriptor so that the radio stops cleanly and saves.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const int sigFd = signalfd(-1, &signals, SFD_CLOEXEC);

    CRadioSim radio(options);
    if (!load.empty() && !radio.LoadMemory(load)) {
        std::fprintf(stderr, "rvsim: %s is neither a data file nor a 2048-byte image\n",
                     load.c_str());
        return 1;
    }
    if (!radio.Start()) {
        std::fprintf(stderr, "rvsim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", radio.DevicePath().c_str());
    std::fflush(stdout);

    const bool watchStdin = WatchStdin();
    for (;;) {
        pollfd fds[2] = {{sigFd, POLLIN, 0}, {watchStdin ? STDIN_FILENO : -1, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents & POLLIN) break;
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[256];
            const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
            if (n <= 0) break;
        }
    }
    radio.Stop();
    int rc = 0;
    if (!save.empty() && !radio.SaveMemory(save, false)) {
        std::fprintf(stderr, "rvsim: cannot write %s\n", save.c_str());
        rc = 1;
    }
    if (!saveRaw.empty() && !radio.SaveMemory(saveRaw, true)) {
        std::fprintf(stderr, "rvsim: cannot write %s\n", saveRaw.c_str());
        rc = 1;
    }
    return rc;
}
