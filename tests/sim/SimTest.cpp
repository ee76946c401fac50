// The simulated radio: how it frames, counts and misbehaves in-process, and the rvsim program
// with the command line's read and write verbs end to end over a pseudo-terminal.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/Bytes.h"
#include "data/DataFile.h"
#include "link/LinkTestSupport.h"
#include "link/RadioProtocol.h"
#include "link/Transfer.h"

extern char** environ;

namespace rv::test {
namespace {

using namespace std::chrono_literals;
using sim::FaultKind;
using Bytes = std::vector<uint8_t>;

// ----- in-process -----

class SimTest : public SimHomeTest {
protected:
    void SetUp() override
    {
        SimHomeTest::SetUp();
        ASSERT_TRUE(link.ConnectDevice(radio->DevicePath(), false));
    }
    CRadioProtocol link;
};

TEST_F(SimTest, LogsEveryFrameWithItsTime)
{
    ASSERT_TRUE(link.SetRadioMode(RadioMode::Read));
    const auto log = radio->FrameLog();
    ASSERT_EQ(log.size(), 4u);  // handshake and mode, each request and answer
    EXPECT_FALSE(log[0].fromRadio);
    EXPECT_EQ(log[0].bytes, (Bytes{0x02, 'P', 'a', 0x03}));
    EXPECT_TRUE(log[1].fromRadio);
    EXPECT_EQ(log[1].bytes, (Bytes{0x02, 'A', 'a', 'P', 'a', 0x03}));
    for (size_t i = 1; i < log.size(); ++i) EXPECT_GE(log[i].seconds, log[i - 1].seconds);
}

TEST_F(SimTest, BlockCommandsNeedTheirMode)
{
    uint8_t data[16] = {};
    EXPECT_FALSE(link.ReadBlock(0, 16, data));  // still in mode 1
    ASSERT_TRUE(link.SetRadioMode(RadioMode::Read));
    EXPECT_TRUE(link.ReadBlock(0, 16, data));
    EXPECT_FALSE(link.WriteBlock(0, 16, data));  // writing needs mode 3
    EXPECT_FALSE(link.ReadBlock(2040, 16, data));  // beyond the memory
    ASSERT_TRUE(link.SetRadioMode(RadioMode::Write));
    std::fill(std::begin(data), std::end(data), 0);
    EXPECT_TRUE(link.WriteBlock(2032, 16, data));
    EXPECT_EQ(radio->GetMemory()[2047], 0);
    EXPECT_EQ(radio->GetMemory()[2031], 0xFF);
}

TEST_F(SimTest, FaultsHitTheNthCommandOfTheirKind)
{
    struct Case {
        const char* name;
        const char* command;
        int at, times;
        std::vector<bool> answered;  // handshakes 1.. after the fault is added
    };
    const Case cases[] = {
        {"second handshake", "Pa", 2, 1, {true, false, true, true}},
        {"from the third on", "Pa", 3, 0, {true, true, false, false}},
        {"two of any kind", "*", 2, 2, {true, false, false, true}},
        {"other kind only", "Ma", 1, 0, {true, true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartRadio({});
        sim::SimFault fault;
        fault.kind = FaultKind::NoAnswer;
        fault.command = c.command;
        fault.at = c.at;
        fault.times = c.times;
        radio->AddFault(fault);
        CRadioProtocol l;
        ASSERT_TRUE(l.Open(radio->DevicePath()));
        l.Configure(9600, 8, Parity::None, StopBits::Two);
        l.SetReadTimeout(70);
        for (size_t i = 0; i < c.answered.size(); ++i) {
            const uint8_t hs[4] = {0x02, 'P', 'a', 0x03};
            uint8_t answer[6];
            EXPECT_EQ(l.Transact(hs, 4, answer, 6, 1), c.answered[i]) << i;
        }
    }
}

TEST_F(SimTest, FaultsNamingAnArgumentCountOnlyTheCommandsNamingIt)
{
    ASSERT_TRUE(link.SetRadioMode(RadioMode::Read));
    sim::SimFault second{FaultKind::NoAnswer, "Eb", 2, 1};
    second.argument = 32;
    radio->AddFault(second);
    struct Step {
        uint32_t address;
        bool answered;
    } steps[] = {{0, true}, {32, true}, {16, true}, {32, false}, {32, true}, {0, true}};
    for (const Step& step : steps) {
        uint8_t request[10] = {0x02, 'E', 'b', 0, 0, 0, 0, 16, 0, 0x03};
        PutU32(&request[3], step.address);
        uint8_t answer[27];
        EXPECT_EQ(link.Transact(request, sizeof request, answer, sizeof answer, 1), step.answered)
            << step.address;
    }
    // A mode change names its mode.
    sim::SimFault write{FaultKind::RefuseMode, "Ma", 1, 0};
    write.argument = 3;
    radio->AddFault(write);
    EXPECT_FALSE(link.SetRadioMode(RadioMode::Write));
    EXPECT_TRUE(link.SetRadioMode(RadioMode::End));
    EXPECT_EQ(radio->Mode(), 1);
}

TEST_F(SimTest, ForeignHeadersTellNothingAboutTheRequest)
{
    sim::SimOptions options;
    options.foreignHeaders = true;
    StartRadio(options);
    radio->SetMemory(PatternMemory());
    CRadioProtocol l;
    ASSERT_TRUE(l.ConnectDevice(radio->DevicePath(), false));
    ASSERT_TRUE(l.SetRadioMode(RadioMode::Read));
    const uint8_t request[10] = {0x02, 'E', 'b', 0x40, 0x00, 0x00, 0x00, 16, 0x00, 0x03};
    Bytes headers[2];
    for (Bytes& header : headers) {
        uint8_t answer[27];
        ASSERT_TRUE(l.Transact(request, sizeof request, answer, sizeof answer, 1));
        header.assign(answer + 1, answer + 9);
        for (size_t i = 0; i < header.size(); ++i)
            EXPECT_NE(header[i], request[1 + i]) << "header byte " << i;
        EXPECT_TRUE(std::equal(answer + 9, answer + 25, PatternMemory().begin() + 0x40));
    }
    EXPECT_NE(headers[0], headers[1]) << "two answers to the same request differ";
    // The program reads the radio all the same.
    uint8_t out[16];
    ASSERT_TRUE(l.ReadBlock(0x40, 16, out));
    EXPECT_TRUE(std::equal(out, out + 16, PatternMemory().begin() + 0x40));
    RadioIdentity id;
    ASSERT_TRUE(l.QueryIdentity(CRadioProtocol::kReferenceVersion, id));
    EXPECT_EQ(id.modelId, "RV205");
}

TEST_F(SimTest, NoiseAndBrokenFramesAreSkipped)
{
    const uint8_t noise[] = {0x55, 0x00, 0x02, 'E'};  // garbage, then half a frame
    link.Write(noise, sizeof noise);
    std::this_thread::sleep_for(400ms);  // the radio drops the half frame
    EXPECT_TRUE(link.Handshake());
    const uint8_t unknown[] = {0x02, 'Z', 'z', 0x03};
    uint8_t answer[6];
    EXPECT_FALSE(link.Transact(unknown, sizeof unknown, answer, 6, 1));
    EXPECT_TRUE(link.Handshake());
}

TEST_F(SimTest, LineErrorIsSeenByThePort)
{
    radio->AddFault({FaultKind::LineError, "Pa", 1, 0});
    const uint8_t hs[4] = {0x02, 'P', 'a', 0x03};
    uint8_t answer[6];
    EXPECT_FALSE(link.Transact(hs, 4, answer, 6, 1));
    EXPECT_TRUE(link.LineErrorSeen());
    EXPECT_EQ(link.Traffic().lineErrors, 1u);
}

TEST_F(SimTest, PacedRadioAnswersTheSame)
{
    sim::SimOptions options;
    options.paced = true;
    options.latency = 2ms;
    StartRadio(options);
    radio->SetMemory(PatternMemory());
    CRadioProtocol l;
    ASSERT_TRUE(l.ConnectDevice(radio->DevicePath(), false));
    ASSERT_TRUE(l.SetRadioMode(RadioMode::Read));
    uint8_t out[16];
    ASSERT_TRUE(l.ReadBlock(304, 16, out));
    EXPECT_TRUE(std::equal(out, out + 16, PatternMemory().begin() + 304));
}

TEST_F(SimTest, MemoryLoadsAndSavesAsImageOrDataFile)
{
    radio->SetMemory(PatternMemory());
    const std::string raw = home.Path("radio.img"), dat = home.Path("radio.dat");
    ASSERT_TRUE(radio->SaveMemory(raw, true));
    ASSERT_TRUE(radio->SaveMemory(dat, false));
    EXPECT_EQ(ReadBytes(raw).size(), 2048u);
    const auto header = CDataFile::ReadHeader(dat);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->ModelId(), "RV205");
    EXPECT_EQ(header->RangeText(), "400-470");

    for (const std::string& path : {raw, dat}) {
        sim::CRadioSim other;
        ASSERT_TRUE(other.LoadMemory(path)) << path;
        EXPECT_EQ(other.GetMemory(), PatternMemory()) << path;
    }
    home.Write("junk.bin", "not a radio");
    sim::CRadioSim other;
    EXPECT_FALSE(other.LoadMemory(home.Path("junk.bin")));
    EXPECT_FALSE(other.LoadMemory(home.Path("missing.bin")));
}

// ----- rvsim and rvcps-cli as a user runs them -----

const std::string kSimProgram = RV_BIN_DIR "/rvsim";
const std::string kCliProgram = RV_BIN_DIR "/rvcps-cli";

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

/// The rvsim program, started with a pipe on its standard input; closing the pipe stops it.
class SimProcess {
public:
    SimProcess(const std::vector<std::string>& args, const std::string& dir)
    {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        const std::string errPath = dir + "rvsim.stderr";
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv{const_cast<char*>(kSimProgram.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        spawned_ = posix_spawn(&pid_, kSimProgram.c_str(), &actions, nullptr, argv.data(),
                               environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        stdin_ = in[1];
        // The first line of its output is the device path.
        char c;
        while (spawned_ && read(out[0], &c, 1) == 1 && c != '\n') device_ += c;
        close(out[0]);
    }
    ~SimProcess() { Stop(); }
    const std::string& Device() const { return device_; }
    /// Closes its input and waits for it; its exit status.
    int Stop()
    {
        if (stdin_ >= 0) close(stdin_);
        stdin_ = -1;
        if (!spawned_) return status_;
        spawned_ = false;
        int status = 0;
        if (waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status)) status_ = WEXITSTATUS(status);
        return status_;
    }

private:
    pid_t pid_ = 0;
    bool spawned_ = false;
    int stdin_ = -1;
    int status_ = -1;
    std::string device_;
};

struct CliRun {
    int status = -1;
    std::string err;
};

CliRun RunCli(const std::vector<std::string>& args, const std::string& dir)
{
    const std::string errPath = dir + "cli.stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv{const_cast<char*>(kCliProgram.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    CliRun run;
    if (posix_spawn(&pid, kCliProgram.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.err = FileText(errPath);
    return run;
}

Image ImageOfFile(const std::string& path)
{
    Image image{};
    EXPECT_TRUE(CDataFile::Read(path, nullptr, image)) << path;
    return image;
}

class CliRadioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const sim::Memory m = PatternMemory();
        radioImage_ = home.Path("radio.img");
        std::ofstream(radioImage_, std::ios::binary)
            .write(reinterpret_cast<const char*>(m.data()), static_cast<long>(m.size()));
        settingsBefore_ = FileText(home.Path("Settings.ini"));
    }
    void TearDown() override
    {
        EXPECT_EQ(FileText(home.Path("Settings.ini")), settingsBefore_);  // never written
    }
    std::vector<std::string> Cli(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--home", home.Dir()});
        return args;
    }
    TempHome home;
    std::string radioImage_;
    std::string settingsBefore_;
};

TEST_F(CliRadioTest, ReadSavesTheRadiosMemory)
{
    SimProcess sim({"--load", radioImage_}, home.Dir());
    ASSERT_FALSE(sim.Device().empty());
    const std::string out = home.Path("read.dat");
    const CliRun run = RunCli(Cli({"read", "--port", sim.Device(), "-o", out}), home.Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<unsigned char> expected = ReadBytes(radioImage_);
    const Image image = ImageOfFile(out);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), expected.begin()));
    const auto header = CDataFile::ReadHeader(out);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->ModelId(), "RV205");
    EXPECT_EQ(header->RadioVersion(), "1.01.16.001");
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(CliRadioTest, FailedReadWritesNoFile)
{
    SimProcess sim({"--load", radioImage_, "--fault", "no-answer:Eb:5:3"}, home.Dir());
    const std::string out = home.Path("read.dat");
    CliRun run = RunCli(Cli({"read", "--port", sim.Device(), "-o", out}), home.Dir());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("address 64"), std::string::npos) << run.err;
    EXPECT_FALSE(std::ifstream(out).good());

    // A file already there stays as it was.
    SimProcess broken({"--load", radioImage_, "--fault", "checksum:Eb:1:0"}, home.Dir());
    home.Write("read.dat", "previous");
    run = RunCli(Cli({"read", "--port", broken.Device(), "-o", out}), home.Dir());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(FileText(out), "previous");
}

TEST_F(CliRadioTest, FaultAtAnAddressOfTheRadioProgram)
{
    SimProcess sim({"--load", radioImage_, "--foreign-headers", "--fault", "checksum:Eb:1:0:0x400"},
                   home.Dir());
    ASSERT_FALSE(sim.Device().empty());
    const std::string out = home.Path("read.dat");
    const CliRun run = RunCli(Cli({"read", "--port", sim.Device(), "-o", out}), home.Dir());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("1024 (0x400)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("checksum"), std::string::npos) << run.err;
    EXPECT_FALSE(std::ifstream(out).good());
    EXPECT_EQ(sim.Stop(), 0);
    for (const char* bad : {"checksum:Eb:1:0:zz", "checksum:Eb:1:0:70000", "checksum:Eb:1:0:1:2",
                            "checksum:Eb", "noise:Eb:1"}) {
        SimProcess refused({"--fault", bad}, home.Dir());
        EXPECT_EQ(refused.Device(), "") << bad;
        EXPECT_EQ(refused.Stop(), 2) << bad;
    }
}

TEST_F(CliRadioTest, RefusalsAndUsage)
{
    SimProcess sim({"--range", "136-174", "--band", "128"}, home.Dir());
    const std::string out = home.Path("x.dat");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;
    } cases[] = {
        {{"read", "--port", sim.Device(), "-o", out}, 1, "136-174"},
        {{"read", "--port", "/nonexistent/ttyUSB0", "-o", out}, 1, "/nonexistent/ttyUSB0"},
        {{"read", "--port", sim.Device(), "--model", "XR900", "-o", out}, 1, "XR900"},
        {{"read", "--port", sim.Device(), "--range", "1-2", "-o", out}, 1, "1-2"},
        {{"read", "-o", out}, 2, "--port"},
        {{"read", "--port", sim.Device()}, 2, "-o"},
        {{"write", "--port", sim.Device()}, 2, ""},
        {{"write", "--port", sim.Device(), home.Path("missing.dat")}, 1, "missing.dat"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(Cli(c.args), home.Dir());
        EXPECT_EQ(run.status, c.status) << c.args[2] << " " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::ifstream(out).good());
    // The band of that radio is read once the range says so.
    const CliRun run =
        RunCli(Cli({"read", "--port", sim.Device(), "--range", "136-174", "-o", out}), home.Dir());
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST_F(CliRadioTest, WriteChangesThePlannedAreasAndTheStamp)
{
    const std::string file = home.Path("new.dat");
    ASSERT_EQ(RunCli(Cli({"new", "-o", file}), home.Dir()).status, 0);
    const std::string after = home.Path("after.img");
    SimProcess sim({"--load", radioImage_, "--save-raw", after}, home.Dir());
    const CliRun run = RunCli(Cli({"write", "--port", sim.Device(), file}), home.Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(sim.Stop(), 0);

    const std::vector<unsigned char> before = ReadBytes(radioImage_);
    const std::vector<unsigned char> now = ReadBytes(after);
    ASSERT_EQ(now.size(), 2048u);
    std::vector<bool> planned(2048, false);
    for (const TransferBlock& b : WritePlan(false))
        for (size_t a = b.address; a < size_t{b.address} + b.count; ++a) planned[a] = true;
    const Image sent = ImageOfFile(file);
    for (size_t a = 0; a < 2048; ++a) {
        if (!planned[a]) {
            EXPECT_EQ(now[a], before[a]) << a;
        } else if (a >= 40 && a != 133 && a != 286) {  // the stamp, the firmware adjustments
            EXPECT_EQ(now[a], sent[a]) << a;
        }
    }
    EXPECT_EQ(now[38], 20);  // century byte of the new stamp
}

}  // namespace
}  // namespace rv::test
