// Putting a radio back exactly, against the simulated radio through the built rvcps-cli:
// restore writes a backup's own bytes (invalid references, noise where no field is, all 00,
// all FF) at every user level; a radio of random memory written and restored reads back
// identical; verify compares bytes and names each one; a lost or garbled acknowledgement says
// which addresses may hold either configuration; no other program gets the port during a
// session; a signal at any step boundary ends the session with what the radio holds; a write
// sends only the blocks that differ and reads back only those.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <random>

#include "cli/CliLink.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "link/LinkTestSupport.h"
#include "link/SafeWrite.h"
#include "link/Transfer.h"
#include "link/WriteSession.h"
#include "support/CliProcess.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;
using sim::FaultKind;

/// Addresses as the messages give them.
std::string A(long address)
{
    return AddressText(address);
}

class RestoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings().SetReadOnly(true);
        Settings().Init(home.Dir());
        file = work.Path("new.dat");
        const CliOutcome made = RunCliProgram(Cli({"new", "-o", file}), work.Dir());
        ASSERT_EQ(made.status, 0) << made.err;
        ASSERT_TRUE(CDataFile::Read(file, nullptr, fileImage));
    }
    void TearDown() override
    {
        radio.reset();
        Settings().SetReadOnly(false);
    }
    void StartRadio(const sim::Memory& memory, sim::SimOptions options = {})
    {
        radio = std::make_unique<sim::CRadioSim>(std::move(options));
        ASSERT_TRUE(radio->Start());
        radio->SetMemory(memory);
    }
    /// Sets the user level and re-reads the settings the test compares with.
    void UseLevel(int level)
    {
        home.SetUserLevel(level);
        Settings().Init(home.Dir());
    }
    std::vector<std::string> Cli(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--home", home.Dir()});
        return args;
    }
    CliOutcome Run(const std::string& verb, std::vector<std::string> options,
                   const std::string& path)
    {
        std::vector<std::string> args{verb, "--port", radio->DevicePath()};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(path);
        return RunCliProgram(Cli(args), work.Dir());
    }
    /// A data file of the file's model and range holding image.
    std::string DataFileOf(const Image& image, const std::string& name)
    {
        const std::string path = work.Path(name);
        CDataFile data;
        const std::optional<CDataFileHeader> header = CDataFile::ReadHeader(file);
        EXPECT_TRUE(header && data.SetHeader(*header));
        EXPECT_TRUE(data.Write(path, {}, image, "test image"));
        return path;
    }
    std::vector<std::string> Backups() const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(home.Path("Backups"), ec))
            names.push_back(home.Path("Backups/" + e.path().filename().string()));
        std::sort(names.begin(), names.end());
        return names;
    }
    /// The addresses of the blocks of one command the radio saw ("Ea" writes, "Eb" reads).
    std::vector<uint32_t> Addresses(const char* command) const
    {
        std::vector<uint32_t> at;
        for (const auto& request : radio->Requests())
            if (request.size() > 2 && request[1] == command[0] && request[2] == command[1])
                at.push_back(*sim::RequestArgument(request));
        return at;
    }
    static std::string Message(int id, const std::vector<std::string>& values = {})
    {
        return Settings().LoadMessage(id, values);
    }
    static std::string Line(int id, const std::vector<std::string>& values = {})
    {
        return "rvcps-cli: " + Message(id, values) + "\n";
    }
    /// Expects the radio to hold image in every range a write reaches at the level.
    void ExpectRadioHolds(const Image& image, bool serviceLevel) const
    {
        const sim::Memory now = radio->GetMemory();
        for (const AddressRange& r : WrittenRanges(serviceLevel))
            for (size_t a = r.first; a <= r.last; ++a)
                ASSERT_EQ(now[a], image[a]) << "address " << a;
    }

    TempHome home, work;
    std::unique_ptr<sim::CRadioSim> radio;
    std::string file;
    Image fileImage{};
};

sim::Memory RandomMemory(unsigned seed)
{
    std::mt19937 random(seed);
    sim::Memory m{};
    for (uint8_t& b : m) b = static_cast<uint8_t>(random() & 0xFF);
    return m;
}

// ----- a radio of random memory, written and put back -----

class RandomRadio : public RestoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(RandomRadio, WrittenThenRestoredReadsBackIdenticalAndVerifyNamesAChangedByte)
{
    UseLevel(GetParam());
    const bool service = Settings().IsServiceLevel();
    const sim::Memory random = RandomMemory(2048);
    StartRadio(random);

    const CliOutcome write = Run("write", {}, file);
    ASSERT_EQ(write.status, 0) << write.err;
    ASSERT_EQ(Backups().size(), 1u);
    const std::string backup = Backups().front();

    const CliOutcome restore = Run("restore", {}, backup);
    ASSERT_EQ(restore.status, 0) << restore.err;
    // The random memory's references are broken: said as a notice, not a refusal.
    EXPECT_NE(restore.err.find(Message(WriteSessionMessage::kRestoreInvalidNotice)),
              std::string::npos)
        << restore.err;
    EXPECT_NE(restore.out.find(Message(WriteSessionMessage::kRestored,
                                       {StretchListText(WrittenRanges(service))})),
              std::string::npos)
        << restore.out;
    const std::string unreached = Message(
        WriteSessionMessage::kNotReached, {Message(LinkMessage::kStretch, {A(784), A(824)})});
    EXPECT_EQ(restore.out.find(unreached) != std::string::npos, !service) << restore.out;

    // Read back: identical in every range a write reaches, the time stamp included.
    const std::string read = work.Path("read.dat");
    const CliOutcome back =
        RunCliProgram(Cli({"read", "--port", radio->DevicePath(), "-o", read}), work.Dir());
    ASSERT_EQ(back.status, 0) << back.err;
    Image got{};
    ASSERT_TRUE(CDataFile::Read(read, nullptr, got));
    Image want{};
    std::copy(random.begin(), random.end(), want.begin());
    for (const AddressRange& r : WrittenRanges(service))
        for (size_t a = r.first; a <= r.last; ++a) ASSERT_EQ(got[a], want[a]) << "address " << a;

    const CliOutcome equal = Run("verify", {}, backup);
    EXPECT_EQ(equal.status, 0) << equal.out << equal.err;
    EXPECT_EQ(equal.out, Message(SafeWriteMessage::kVerifyEqual) + "\n");

    // One unmapped byte changed in the radio: verify names its address and both bytes.
    sim::Memory changed = radio->GetMemory();
    changed[0x91] = static_cast<uint8_t>(random[0x91] ^ 0x5A);
    radio->SetMemory(changed);
    const CliOutcome differs = Run("verify", {}, backup);
    EXPECT_EQ(differs.status, 1);
    char radioByte[8], fileByte[8];
    std::snprintf(radioByte, sizeof radioByte, "0x%02X", changed[0x91]);
    std::snprintf(fileByte, sizeof fileByte, "0x%02X", random[0x91]);
    EXPECT_NE(differs.out.find(Message(SafeWriteMessage::kByteDifferenceFile,
                                       {"0x0091", radioByte, fileByte})),
              std::string::npos)
        << differs.out;
}

INSTANTIATE_TEST_SUITE_P(Levels, RandomRadio,
                         ::testing::Values(0, kServiceLevel, kFullServiceLevel),
                         [](const auto& info) {
                             return info.param == 0               ? std::string("User")
                                    : info.param == kServiceLevel ? std::string("Service")
                                                                  : std::string("FullService");
                         });

// ----- restore of unusual backups at every level -----

struct ImageCase {
    const char* name;
    Image (*make)(const Image& file);
};

Image InvalidReference(const Image& file)
{
    Image image = file;
    image[1408 + 18] = 20;  // channel 1 names personality 20
    return image;
}

Image NoiseWhereNoFieldIs(const Image& file)
{
    Image image = file;
    std::mt19937 random(7);
    for (auto [first, last] : {std::pair{0, 15}, {145, 272}, {297, 303}, {448, 527}, {824, 824},
                               {826, 831}, {1168, 1407}, {1728, 2047}})
        for (int a = first; a <= last; ++a) image[static_cast<size_t>(a)] = random() & 0xFF;
    return image;
}

Image Filled(uint8_t value)
{
    Image image;
    image.fill(value);
    return image;
}

const ImageCase kImages[] = {
    {"InvalidReference", &InvalidReference},
    {"NoiseWhereNoFieldIs", &NoiseWhereNoFieldIs},
    {"All00", [](const Image&) { return Filled(0x00); }},
    {"AllFF", [](const Image&) { return Filled(0xFF); }},
};

class UnusualBackup : public RestoreTest,
                      public ::testing::WithParamInterface<std::tuple<ImageCase, int>> {};

TEST_P(UnusualBackup, IsRestoredByteForByte)
{
    const auto& [c, level] = GetParam();
    UseLevel(level);
    const Image image = c.make(fileImage);
    const std::string backup = DataFileOf(image, "backup.dat");
    sim::Memory start{};
    std::copy(fileImage.begin(), fileImage.end(), start.begin());
    StartRadio(start);
    // The images carry no serial number of the radio's: the user has said it is another one.
    const CliOutcome run = Run("restore", {"--other-radio"}, backup);
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectRadioHolds(image, Settings().IsServiceLevel());
    EXPECT_EQ(radio->Mode(), 1);
    // What the backup read found went into a backup of its own.
    ASSERT_EQ(Backups().size(), 1u);
    Image saved{};
    ASSERT_TRUE(CDataFile::Read(Backups().front(), nullptr, saved));
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), start.begin()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnusualBackup,
    ::testing::Combine(::testing::ValuesIn(kImages),
                       ::testing::Values(0, kServiceLevel, kFullServiceLevel)),
    [](const auto& info) {
        const int level = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) +
               (level == 0 ? "_User" : level == kServiceLevel ? "_Service" : "_FullService");
    });

TEST_F(RestoreTest, BackupOfAnotherRadioNeedsOtherRadioAndAnotherModelIsRefused)
{
    Image mine = fileImage;
    std::copy_n("SN-1", 5, mine.begin() + 72);
    const std::string backup = DataFileOf(mine, "sn1.dat");
    sim::Memory start{};
    std::copy(fileImage.begin(), fileImage.end(), start.begin());
    std::copy_n("SN-2", 5, start.begin() + 72);
    StartRadio(start);

    const CliOutcome refused = Run("restore", {}, backup);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, Line(WriteSessionMessage::kOtherRadio, {"SN-1", "SN-2"}));
    EXPECT_EQ(radio->CommandCount("Ea"), 0) << "nothing written";
    EXPECT_EQ(radio->Mode(), 1);

    const CliOutcome allowed = Run("restore", {"--other-radio"}, backup);
    ASSERT_EQ(allowed.status, 0) << allowed.err;
    ExpectRadioHolds(mine, false);

    sim::SimIdentity other;
    other.modelId = "RV305";
    radio->SetIdentity(other);
    const int sent = radio->CommandCount("Ea");
    const CliOutcome model = Run("restore", {"--other-radio"}, backup);
    EXPECT_EQ(model.status, 1);
    EXPECT_EQ(model.err, Line(LinkMessage::kModelRefused));
    EXPECT_EQ(radio->CommandCount("Ea"), sent);
}

TEST_F(RestoreTest, WriteOfAFileWithBrokenReferencesListsEachEntryAndAsksTheRadioNothing)
{
    const std::string broken = DataFileOf(InvalidReference(fileImage), "broken.dat");
    StartRadio(RandomMemory(1));
    const CliOutcome run = Run("write", {}, broken);
    // A set that cannot save the file says so in the same terms.
    const CliOutcome set = RunCliProgram(
        Cli({"set", broken, "channels[1].rx_frequency=433.5", "-o", work.Path("out.dat")}),
        work.Dir());
    for (const auto& [outcome, message] :
         {std::pair{run, cli::CliLinkMessage::kInvalidNotWritten},
          std::pair{set, cli::CliLinkMessage::kInvalidNotSaved}}) {
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.err.rfind(Line(message), 0), 0u) << outcome.err;
        // Each entry on a line of its own: where and why, and the field.
        const std::string entry = Message(cli::CliLinkMessage::kInvalidEntry, {"", ""});
        const std::string field = entry.substr(0, entry.size() - 1);
        const size_t line = outcome.err.find("\n  ");
        ASSERT_NE(line, std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(field, line), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(fs::exists(work.Path("out.dat")));
    EXPECT_EQ(radio->CommandCount("*"), 0) << "the radio is not asked anything";
}

TEST_F(RestoreTest, RadioOfAnotherRangeFoundByTheBackupReadIsRefusedInCommandLineTerms)
{
    sim::SimOptions options;
    options.identity.range = sim::MakeRangeRecord(136, 174, 128);
    StartRadio(RandomMemory(3), options);
    const CliOutcome run = Run("write", {}, file);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, Line(cli::CliLinkMessage::kRangeMismatch, {"136-174", "400-470"}));
    EXPECT_EQ(radio->CommandCount("Ea"), 0);
}

// ----- a lost or garbled acknowledgement -----

struct AckCase {
    const char* name;
    FaultKind kind;
    uint16_t address;
    int cause;          ///< the cause's text
    const char* holds;  ///< which statement: "first", "middle", "last"
};

class LostAcknowledgement : public RestoreTest, public ::testing::WithParamInterface<AckCase> {};

TEST_P(LostAcknowledgement, SaysWhichAddressesMayHoldEitherConfiguration)
{
    const AckCase& c = GetParam();
    StartRadio(PatternMemory());
    radio->AddFault({c.kind, "Ea", 1, 0, c.address});
    // Every block is sent, so that the stretches are the plan's.
    const CliOutcome run = Run("write", {"--no-backup", "--no-verify"}, file);
    EXPECT_EQ(run.status, 1);
    const std::string stretch = Message(LinkMessage::kStretch, {A(c.address), A(c.address + 15)});
    std::string holds;
    if (std::string(c.holds) == "first") {
        holds = Message(LinkMessage::kHoldsEitherOnly, {stretch});
    } else if (std::string(c.holds) == "middle") {
        holds = Message(LinkMessage::kHoldsNewAndEither,
                        {Message(LinkMessage::kStretch, {A(120), A(c.address - 1)}), stretch});
    } else {
        const std::string before =
            Message(LinkMessage::kListJoin, {Message(LinkMessage::kStretch, {A(120), A(783)}),
                                             Message(LinkMessage::kStretch,
                                                     {A(1408), A(c.address - 1)})});
        holds = Message(LinkMessage::kHoldsNewAndEither, {before, stretch});
    }
    EXPECT_EQ(run.err, Line(LinkMessage::kWriteFailed,
                            {A(c.address), Message(c.cause), holds}));
    EXPECT_EQ(radio->Mode(), 1);
    // The block whose answer was lost did reach the radio: it does hold either.
    if (c.kind == FaultKind::LostAnswer) {
        const sim::Memory now = radio->GetMemory();
        EXPECT_TRUE(std::equal(fileImage.begin() + c.address, fileImage.begin() + c.address + 16,
                               now.begin() + c.address));
    }
}

INSTANTIATE_TEST_SUITE_P(
    FirstMiddleLast, LostAcknowledgement,
    ::testing::Values(
        AckCase{"LostAtFirst", FaultKind::LostAnswer, 120, LinkMessage::kCauseNoAnswer, "first"},
        AckCase{"LostInTheMiddle", FaultKind::LostAnswer, 744, LinkMessage::kCauseNoAnswer,
                "middle"},
        AckCase{"LostAtLast", FaultKind::LostAnswer, 2032, LinkMessage::kCauseNoAnswer, "last"},
        AckCase{"GarbledAtFirst", FaultKind::BadChecksum, 120, LinkMessage::kCauseGarbled,
                "first"},
        AckCase{"GarbledInTheMiddle", FaultKind::BadChecksum, 744, LinkMessage::kCauseGarbled,
                "middle"},
        AckCase{"GarbledAtLast", FaultKind::BadChecksum, 2032, LinkMessage::kCauseGarbled,
                "last"}),
    [](const auto& info) { return std::string(info.param.name); });

// ----- one session holds the port -----

TEST_F(RestoreTest, NoOtherProcessGetsThePortDuringAWriteSession)
{
    // Shared with the helper process: the requests the radio has seen, and the count at the
    // first moment the helper held the port.
    struct Shared {
        std::atomic<int> requests{0};
        std::atomic<int> lockedAt{-1};
        std::atomic<bool> stop{false};
    };
    void* memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    auto* shared = new (memory) Shared;
    sim::SimOptions options;
    options.onRequest = [shared](const std::vector<uint8_t>&) { ++shared->requests; };
    sim::Memory start{};
    std::copy(fileImage.begin(), fileImage.end(), start.begin());
    start[1412 + 3] = 0x43;  // one channel differs
    StartRadio(start, options);
    const std::string device = radio->DevicePath();

    CliProcess cli(Cli({"write", "--port", device, file}), work.Dir());
    ASSERT_TRUE(cli.Running());
    // The helper tries to take the port from the first request of the session on.
    const pid_t helper = fork();
    if (helper == 0) {
        while (shared->requests.load() == 0 && !shared->stop.load()) {
        }
        while (!shared->stop.load()) {
            const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) continue;
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                int expected = -1;
                shared->lockedAt.compare_exchange_strong(expected, shared->requests.load());
            }
            ::close(fd);
        }
        _exit(0);
    }
    ASSERT_GT(helper, 0);
    const CliOutcome run = cli.Wait();
    const int total = shared->requests.load();
    shared->stop = true;
    int status = 0;
    waitpid(helper, &status, 0);
    EXPECT_EQ(run.status, 0) << run.err;
    const int lockedAt = shared->lockedAt.load();
    EXPECT_TRUE(lockedAt < 0 || lockedAt >= total)
        << "the helper held the port after request " << lockedAt << " of " << total;
    munmap(memory, sizeof(Shared));
}

// ----- a signal at each step boundary -----

struct SignalCase {
    const char* name;
    const char* command;  ///< the request at which the signal is sent
    uint32_t argument;
    int nth;  ///< the nth such request
    int message;
    bool written;  ///< blocks reached the radio
};

class SignalAtStep : public RestoreTest, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(SignalAtStep, EndsTheSessionAfterTheStepWithExit130AndWhatTheRadioHolds)
{
    const SignalCase& c = GetParam();
    std::atomic<pid_t> target{0};
    std::atomic<int> seen{0};
    sim::SimOptions options;
    options.onRequest = [&](const std::vector<uint8_t>& request) {
        if (request.size() > 2 && request[1] == c.command[0] && request[2] == c.command[1] &&
            sim::RequestArgument(request) == c.argument && ++seen == c.nth)
            ::kill(target.load(), SIGINT);
    };
    sim::Memory start{};
    std::copy(fileImage.begin(), fileImage.end(), start.begin());
    start[1412 + 3] = 0x43;  // channel 1 differs: the block at 1408 is sent
    StartRadio(start, options);

    CliProcess cli(Cli({"write", "--port", radio->DevicePath(), file}), work.Dir());
    ASSERT_TRUE(cli.Running());
    target = cli.Pid();
    const CliOutcome run = cli.Wait();
    ASSERT_EQ(seen.load() >= c.nth, true) << "the step was reached";
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(radio->Mode(), 1);
    const std::string stretches = Message(
        LinkMessage::kListJoin, {Message(LinkMessage::kStretch, {A(1408), A(1423)}),
                                 Message(LinkMessage::kStretch, {A(32), A(39)})});
    std::string expected = Message(c.message);
    if (c.message == WriteSessionMessage::kStoppedBeforeVerify ||
        c.message == WriteSessionMessage::kStoppedInVerify)
        expected = Message(c.message, {stretches});
    if (c.message == LinkMessage::kWriteInterrupted)
        expected = Message(c.message, {Message(LinkMessage::kHoldsOld)});
    EXPECT_EQ(run.err.rfind("rvcps-cli: " + expected + "\n", 0), 0u) << run.err;
    EXPECT_EQ(radio->CommandCount("Ea") > 0, c.written);
    if (c.written) {
        ASSERT_EQ(Backups().size(), 1u);
        EXPECT_NE(run.err.find(Message(SafeWriteMessage::kRestoreHint, {Backups().front()})),
                  std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, SignalAtStep,
    ::testing::Values(
        // During the backup read: nothing is sent.
        SignalCase{"Backup", "Eb", 0, 1, WriteSessionMessage::kBackupStopped, false},
        // While the write's mode is set: the radio still holds its old configuration.
        SignalCase{"Write", "Ma", 3, 1, LinkMessage::kWriteInterrupted, false},
        // While the time stamp is sent: written, not verified.
        SignalCase{"Stamp", "Ea", 32, 1, WriteSessionMessage::kStoppedBeforeVerify, true},
        // During the read-back, at its first block (the time stamp's).
        SignalCase{"Verify", "Eb", 32, 2, WriteSessionMessage::kStoppedInVerify, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ----- a write costs what changed -----

TEST_F(RestoreTest, OneChannelEditSendsItsBlockAndTheStampAndReadsBackOnlyThose)
{
    sim::Memory start{};
    std::copy(fileImage.begin(), fileImage.end(), start.begin());
    start[1412 + 3] = 0x43;  // channel 1 receives elsewhere in the radio
    StartRadio(start);
    const CliOutcome run = Run("write", {}, file);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<uint32_t> reads(kReadBlockCount);
    for (size_t k = 0; k < reads.size(); ++k) reads[k] = static_cast<uint32_t>(k * 16);
    reads.push_back(32);  // the read-back: the stamp's block, then the channel's
    reads.push_back(1408);
    EXPECT_EQ(Addresses("Eb"), reads) << "the backup read, then the read-back of what was sent";
    EXPECT_EQ(Addresses("Ea"), (std::vector<uint32_t>{1408, kStampBlock.address}));
    EXPECT_EQ(radio->CommandCount("Pa"), 3) << "the backup goes on from the opening handshake";
    EXPECT_NE(run.out.find(Message(WriteSessionMessage::kBlocksWritten, {"2", "83"}) + " " +
                           Message(WriteSessionMessage::kWrittenVerified)),
              std::string::npos)
        << run.out;
}

TEST_F(RestoreTest, AllBlocksAndNoBackupSendTheWholePlan)
{
    sim::Memory start{};
    std::copy(fileImage.begin(), fileImage.end(), start.begin());
    StartRadio(start);
    std::vector<uint32_t> plan;
    for (const TransferBlock& b : WritePlan(false)) plan.push_back(b.address);

    const CliOutcome all = Run("write", {"--all-blocks"}, file);
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(Addresses("Ea"), plan);
    EXPECT_NE(all.out.find(Message(WriteSessionMessage::kBlocksWritten, {"83", "83"})),
              std::string::npos)
        << all.out;

    const CliOutcome unsafe = Run("write", {"--no-backup", "--no-verify"}, file);
    ASSERT_EQ(unsafe.status, 0) << unsafe.err;
    EXPECT_EQ(radio->CommandCount("Ea"), 2 * 83);
    EXPECT_EQ(unsafe.out, Message(WriteSessionMessage::kBlocksWritten, {"83", "83"}) + " " +
                              Message(WriteSessionMessage::kWrittenNotVerified) + " " +
                              Message(WriteSessionMessage::kNoBackup) + "\n");

    const CliOutcome contradict = Run("write", {"--all-blocks", "--changed-only"}, file);
    EXPECT_EQ(contradict.status, 2);
    EXPECT_EQ(contradict.err, Line(cli::CliLinkMessage::kAllOrChanged));
}

TEST_F(RestoreTest, FirmwareAdjustmentsArePartOfWhatIsComparedSoTheirBlockIsSent)
{
    // A radio that holds the file's bytes, with firmware 14: the battery-save delay moves from
    // misc byte 5 to byte 7, so the block that holds them differs from the radio.
    Image adjusted = fileImage;
    adjusted[281 + 5] = 3;
    const std::string path = DataFileOf(adjusted, "delay.dat");
    sim::Memory start{};
    std::copy(adjusted.begin(), adjusted.end(), start.begin());
    sim::SimOptions options;
    options.identity.version = "1.01.14.001";
    StartRadio(start, options);
    const CliOutcome run = Run("write", {}, path);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Addresses("Ea"), (std::vector<uint32_t>{280, kStampBlock.address}));
    EXPECT_EQ(radio->GetMemory()[281 + 5], 0);
    EXPECT_EQ(radio->GetMemory()[281 + 7], 3);
}

}  // namespace
}  // namespace rv::test
