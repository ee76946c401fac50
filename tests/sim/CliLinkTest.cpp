// rvcps-cli read and write against the simulated radio over a pseudo-terminal, as a user runs
// them: every kind of fault at every place of a connection, once (tried again, the transfer
// succeeds) and for good (a clean failure that names the cause and the place), with the exit
// status, the message, the output file, the data file and the radio's memory and mode
// afterwards; and the signals that stop a transfer.

#include <sys/file.h>
#include <sys/ioctl.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>

#include "cli/Cli.h"
#include "data/DataFile.h"
#include "data/MemoryMap.h"
#include "link/LinkTestSupport.h"
#include "link/Transfer.h"
#include "link/WriteSession.h"
#include "support/CliProcess.h"

namespace rv::test {
namespace {

using cli::CliMessage;
using sim::FaultKind;
using D = TransferDirection;

/// Where in a connection a fault hits.
enum class Place {
    Handshake,
    ModelName,
    Range,
    Signal,
    Version,
    ModelId,
    ModeChange,
    FirstBlock,
    MiddleBlock,
    LastBlock,
    Stamp,
};

const char* PlaceName(Place p)
{
    switch (p) {
        case Place::Handshake:
            return "Handshake";
        case Place::ModelName:
            return "ModelName";
        case Place::Range:
            return "Range";
        case Place::Signal:
            return "Signal";
        case Place::Version:
            return "Version";
        case Place::ModelId:
            return "ModelId";
        case Place::ModeChange:
            return "ModeChange";
        case Place::FirstBlock:
            return "FirstBlock";
        case Place::MiddleBlock:
            return "MiddleBlock";
        case Place::LastBlock:
            return "LastBlock";
        case Place::Stamp:
            return "Stamp";
    }
    return "";
}

const char* KindName(FaultKind k)
{
    switch (k) {
        case FaultKind::NoAnswer:
            return "NoAnswer";
        case FaultKind::ShortAnswer:
            return "Short";
        case FaultKind::BadChecksum:
            return "Checksum";
        case FaultKind::RefuseMode:
            return "Refusal";
        case FaultKind::LineError:
            return "LineError";
        case FaultKind::CorruptWrite:
            return "Corrupt";
        case FaultKind::LostAnswer:
            return "LostAnswer";
    }
    return "";
}

constexpr FaultKind kKinds[] = {FaultKind::NoAnswer, FaultKind::ShortAnswer, FaultKind::BadChecksum,
                                FaultKind::RefuseMode, FaultKind::LineError};
constexpr Place kPlaces[] = {Place::Handshake,  Place::ModelName,  Place::Range,
                             Place::Signal,     Place::Version,    Place::ModelId,
                             Place::ModeChange, Place::FirstBlock, Place::MiddleBlock,
                             Place::LastBlock,  Place::Stamp};

bool IsIdentity(Place p)
{
    return p >= Place::ModelName && p <= Place::ModelId;
}
bool IsBlock(Place p)
{
    return p >= Place::FirstBlock;
}

frame::IdentityItem ItemOf(Place p)
{
    using frame::IdentityItem;
    switch (p) {
        case Place::ModelName:
            return IdentityItem::ModelName;
        case Place::Range:
            return IdentityItem::Range;
        case Place::Signal:
            return IdentityItem::Signal;
        case Place::Version:
            return IdentityItem::Version;
        default:
            return IdentityItem::ModelId;
    }
}

/// Index in the write plan (below the service levels) of a block place.
size_t WriteIndexOf(Place p)
{
    const size_t last = WritePlan(false).size() - 2;  // the last block before the stamp
    switch (p) {
        case Place::FirstBlock:
            return 0;
        case Place::MiddleBlock:
            return last / 2;
        case Place::LastBlock:
            return last;
        default:
            return last + 1;  // the time stamp
    }
}

/// Image address of a block place.
uint16_t AddressOf(Place p, D direction)
{
    if (direction == D::Write) return WritePlan(false)[WriteIndexOf(p)].address;
    switch (p) {
        case Place::FirstBlock:
            return 0;
        case Place::MiddleBlock:
            return 1024;
        default:
            return 2032;
    }
}

/// The fault at a place: every command there (persistent) or the first one (once).
sim::SimFault FaultAt(Place p, D direction, FaultKind kind, bool once)
{
    sim::SimFault f{kind, "Pa", 1, once ? 1 : 0};
    if (IsIdentity(p)) {
        f.command = "Bb";
        f.argument = static_cast<uint32_t>(ItemOf(p));
    } else if (p == Place::ModeChange) {
        f.command = "Ma";
        f.argument = direction == D::Read ? 2 : 3;
    } else if (IsBlock(p)) {
        f.command = direction == D::Read ? "Eb" : "Ea";
        f.argument = AddressOf(p, direction);
    }
    return f;
}

/// Why the program finds an answer at the place wrong, for a kind of fault.
AnswerFault CauseOf(FaultKind kind, Place p, D direction)
{
    switch (kind) {
        case FaultKind::NoAnswer:
        case FaultKind::LostAnswer:
            return AnswerFault::NoAnswer;
        case FaultKind::ShortAnswer:
            return AnswerFault::ShortAnswer;
        case FaultKind::RefuseMode:
            return AnswerFault::Refused;
        case FaultKind::LineError:
            return AnswerFault::LineError;
        case FaultKind::CorruptWrite:
            return AnswerFault::None;
        case FaultKind::BadChecksum:
            // Acknowledgements have no checksum: the simulated radio garbles their letter.
            return IsIdentity(p) || (IsBlock(p) && direction == D::Read)
                       ? AnswerFault::ChecksumError
                       : AnswerFault::Garbled;
    }
    return AnswerFault::None;
}

/// A fault kind with which the radio still carries out the command.
bool TakesEffect(FaultKind kind)
{
    return kind == FaultKind::ShortAnswer || kind == FaultKind::BadChecksum ||
           kind == FaultKind::LineError || kind == FaultKind::LostAnswer;
}

std::string Hex(uint16_t address)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u (0x%03X)", address, address);
    return buf;
}

class CliLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The program's language file, for the expected texts; never written by the test.
        Settings().SetReadOnly(true);
        Settings().Init(home.Dir());
    }
    void TearDown() override
    {
        radio.reset();
        Settings().SetReadOnly(false);
    }
    void StartRadio(sim::SimOptions options = {})
    {
        radio = std::make_unique<sim::CRadioSim>(std::move(options));
        ASSERT_TRUE(radio->Start());
        radio->SetMemory(PatternMemory());
    }
    std::vector<std::string> Cli(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--home", home.Dir()});
        return args;
    }
    /// A data file made by `new`, and the image a write of it puts into the radio.
    std::string MakeDataFile(Image& sent)
    {
        const std::string path = work.Path("new.dat");
        const CliOutcome made = RunCliProgram(Cli({"new", "-o", path}), work.Dir());
        EXPECT_EQ(made.status, 0) << made.err;
        EXPECT_TRUE(CDataFile::Read(path, nullptr, sent));
        ApplyFirmwareAdjustments(sent, sim::SimIdentity{}.version);
        return path;
    }
    /// What the radio's memory must hold after a write that changed the first `blocks` blocks
    /// of the plan (the time stamp among them when all were written).
    sim::Memory MemoryAfterWrite(const Image& sent, size_t blocks) const
    {
        sim::Memory m = PatternMemory();
        const auto plan = WritePlan(false);
        for (size_t i = 0; i < blocks && i + 1 < plan.size(); ++i)
            std::copy_n(sent.begin() + plan[i].address, plan[i].count, m.begin() + plan[i].address);
        return m;
    }
    /// Asserts that the radio's memory equals `expected`, the time stamp's 8 bytes set apart:
    /// new when stampNew, as before otherwise.
    void ExpectMemory(const sim::Memory& expected, bool stampNew) const
    {
        const sim::Memory now = radio->GetMemory();
        for (size_t a = 0; a < now.size(); ++a) {
            if (a >= kStampBlock.address && a < size_t{kStampBlock.address} + kStampBlock.count)
                continue;
            ASSERT_EQ(now[a], expected[a]) << "address " << a;
        }
        const bool stampChanged = !std::equal(now.begin() + kStampBlock.address,
                                              now.begin() + kStampBlock.address + kStampBlock.count,
                                              PatternMemory().begin() + kStampBlock.address);
        EXPECT_EQ(stampChanged, stampNew);
    }
    static std::string Line(int message, const std::vector<std::string>& values = {})
    {
        return "rvcps-cli: " + Settings().LoadMessage(message, values) + "\n";
    }

    TempHome home;  ///< the program directory of rvcps-cli
    TempHome work;  ///< the data files
    std::unique_ptr<sim::CRadioSim> radio;
};

// ----- a fault for good at each place -----

struct FaultCase {
    D direction;
    FaultKind kind;
    Place place;
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << (c.direction == D::Read ? "read, " : "write, ") << KindName(c.kind) << " at "
        << PlaceName(c.place);
}

std::vector<FaultCase> AllFaultCases()
{
    std::vector<FaultCase> cases;
    for (D direction : {D::Read, D::Write})
        for (FaultKind kind : kKinds)
            for (Place place : kPlaces)
                if (direction == D::Write || place != Place::Stamp)
                    cases.push_back({direction, kind, place});
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info)
{
    return std::string(info.param.direction == D::Read ? "Read" : "Write") + "_" +
           KindName(info.param.kind) + "_" + PlaceName(info.param.place);
}

class PersistentFault : public CliLinkTest, public ::testing::WithParamInterface<FaultCase> {
protected:
    /// The message rvcps-cli must print for the case.
    std::string ExpectedMessage(const FaultCase& c, const std::string& device) const
    {
        const AnswerFault cause = CauseOf(c.kind, c.place, c.direction);
        const std::string causeText = CauseText(cause);
        if (c.place == Place::Handshake) {
            std::string text = Settings().LoadMessage(LinkMessage::kHandshakeFailed,
                                                      {device, causeText});
            if (cause == AnswerFault::NoAnswer)
                text = Settings().LoadMessage(LinkMessage::kNoRadioOnPort, {PortText(device)});
            if (cause == AnswerFault::Refused)
                text = Settings().LoadMessage(LinkMessage::kHandshakeRefused, {device});
            // A write whose port never answered says that nothing was written.
            if (c.direction == D::Write)
                text = Settings().LoadMessage(WriteSessionMessage::kNothingWritten, {text});
            return "rvcps-cli: " + text + "\n";
        }
        if (IsIdentity(c.place)) {
            const int itemText = LinkMessage::kItemModelName + static_cast<int>(c.place) -
                                 static_cast<int>(Place::ModelName);
            return Line(LinkMessage::kIdentityFailed,
                        {Settings().LoadMessage(itemText), causeText});
        }
        const int modeText =
            c.direction == D::Read ? LinkMessage::kModeRead : LinkMessage::kModeWrite;
        if (c.place == Place::ModeChange) {
            if (cause == AnswerFault::Refused)
                return Line(LinkMessage::kModeRefused, {Settings().LoadMessage(modeText)});
            return Line(LinkMessage::kModeFailed, {Settings().LoadMessage(modeText), causeText});
        }
        const uint16_t address = AddressOf(c.place, c.direction);
        if (c.direction == D::Read)
            return Line(LinkMessage::kReadFailed, {Hex(address), causeText});
        std::string where = Hex(address);
        if (c.place == Place::Stamp)
            where += ", " + Settings().LoadMessage(LinkMessage::kStampPlace);
        // The stretches acknowledged before the failing block.
        const CSettings& s = Settings();
        auto stretch = [&s](const char* first, const std::string& last) {
            return s.LoadMessage(LinkMessage::kStretch, {first, last});
        };
        std::string before;
        switch (c.place) {
            case Place::FirstBlock:
                break;
            case Place::MiddleBlock:
                before = stretch("120 (0x078)", AddressText(address - 1));
                break;
            case Place::LastBlock:
                before = s.LoadMessage(LinkMessage::kListJoin,
                                       {stretch("120 (0x078)", "783 (0x30F)"),
                                        stretch("1408 (0x580)", "2031 (0x7EF)")});
                break;
            default:
                before = s.LoadMessage(LinkMessage::kListJoin,
                                       {stretch("120 (0x078)", "783 (0x30F)"),
                                        stretch("1408 (0x580)", "2047 (0x7FF)")});
                break;
        }
        std::string holds;
        if (cause == AnswerFault::Refused) {
            // A refused block was certainly not stored.
            holds = before.empty()
                        ? s.LoadMessage(LinkMessage::kHoldsOld)
                    : c.place == Place::MiddleBlock
                        ? s.LoadMessage(LinkMessage::kHoldsOneStretch,
                                        {"120 (0x078)", AddressText(address - 1)})
                        : s.LoadMessage(LinkMessage::kHoldsTwoStretches,
                                        {"120 (0x078)", "783 (0x30F)", "1408 (0x580)",
                                         c.place == Place::LastBlock ? "2031 (0x7EF)"
                                                                     : "2047 (0x7FF)"});
        } else {
            // A block whose answer was lost or spoilt may hold either configuration.
            const uint16_t count = c.place == Place::Stamp ? 8 : 16;
            const std::string either = stretch(AddressText(address).c_str(),
                                               AddressText(address + count - 1));
            holds = before.empty()
                        ? s.LoadMessage(LinkMessage::kHoldsEitherOnly, {either})
                        : s.LoadMessage(LinkMessage::kHoldsNewAndEither, {before, either});
        }
        return Line(LinkMessage::kWriteFailed, {where, causeText, holds});
    }
};

TEST_P(PersistentFault, FailsCleanlyNamingCauseAndPlace)
{
    const FaultCase& c = GetParam();
    StartRadio();
    Image sent{};
    const std::string file = c.direction == D::Write ? MakeDataFile(sent) : std::string();
    const std::vector<unsigned char> fileBefore =
        file.empty() ? std::vector<unsigned char>{} : ReadBytes(file);
    radio->AddFault(FaultAt(c.place, c.direction, c.kind, false));
    const std::string out = work.Path("read.dat");
    const CliOutcome run =
        c.direction == D::Read
            ? RunCliProgram(Cli({"read", "--port", radio->DevicePath(), "-o", out}), work.Dir())
            : RunCliProgram(Cli({"write", "--no-backup", "--no-verify", "--port", radio->DevicePath(), file}), work.Dir());

    // Only the time stamp's acknowledgement lost: the radio holds it, and that is success.
    const bool stampArrived = c.place == Place::Stamp && TakesEffect(c.kind);
    if (stampArrived) {
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, Settings().LoadMessage(WriteSessionMessage::kBlocksWritten,
                                                  {"83", "83"}) +
                               " " +
                               Settings().LoadMessage(WriteSessionMessage::kWrittenNotVerified) +
                               " " + Settings().LoadMessage(WriteSessionMessage::kNoBackup) +
                               "\n");
    } else {
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.err, ExpectedMessage(c, radio->DevicePath()));
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(radio->Mode(), 1) << "the radio is not left in a transfer mode";

    if (c.direction == D::Read) {
        EXPECT_FALSE(std::ifstream(out).good()) << "a failed read saves nothing";
        ExpectMemory(PatternMemory(), false);
        return;
    }
    EXPECT_EQ(ReadBytes(file), fileBefore) << "writing never changes the data file";
    size_t changed = 0;  // blocks of the plan the radio has taken
    if (IsBlock(c.place)) changed = WriteIndexOf(c.place) + (TakesEffect(c.kind) ? 1 : 0);
    ExpectMemory(MemoryAfterWrite(sent, changed), stampArrived);
}

INSTANTIATE_TEST_SUITE_P(Table, PersistentFault, ::testing::ValuesIn(AllFaultCases()), CaseName);

// ----- a fault once at every place -----

struct OnceCase {
    D direction;
    FaultKind kind;
};

void PrintTo(const OnceCase& c, std::ostream* os)
{
    *os << (c.direction == D::Read ? "read, " : "write, ") << KindName(c.kind) << " once";
}

class FaultOnceEverywhere : public CliLinkTest, public ::testing::WithParamInterface<OnceCase> {};

TEST_P(FaultOnceEverywhere, IsTriedAgainAndTheTransferSucceeds)
{
    const OnceCase& c = GetParam();
    sim::SimOptions options;
    options.foreignHeaders = true;
    StartRadio(options);
    Image sent{};
    const std::string file = c.direction == D::Write ? MakeDataFile(sent) : std::string();
    size_t places = 0;
    for (Place p : kPlaces) {
        if (c.direction == D::Read && p == Place::Stamp) continue;
        radio->AddFault(FaultAt(p, c.direction, c.kind, true));
        ++places;
    }
    const std::string out = work.Path("read.dat");
    const CliOutcome run =
        c.direction == D::Read
            ? RunCliProgram(Cli({"read", "--port", radio->DevicePath(), "-o", out}), work.Dir())
            : RunCliProgram(Cli({"write", "--no-backup", "--no-verify", "--port", radio->DevicePath(), file}), work.Dir());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(radio->Mode(), 1);
    size_t faults = 0;
    for (const sim::SimFrame& f : radio->FrameLog()) faults += f.note.rfind("fault:", 0) == 0;
    EXPECT_EQ(faults, places) << "each place was hit once";

    if (c.direction == D::Read) {
        Image image{};
        ASSERT_TRUE(CDataFile::Read(out, nullptr, image));
        EXPECT_TRUE(image == radio->GetMemory()) << "the exact image";
        ExpectMemory(PatternMemory(), false);
    } else {
        ExpectMemory(MemoryAfterWrite(sent, WritePlan(false).size()), true);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FaultOnceEverywhere, ::testing::ValuesIn([] {
                             std::vector<OnceCase> cases;
                             for (D direction : {D::Read, D::Write})
                                 for (FaultKind kind : kKinds) cases.push_back({direction, kind});
                             return cases;
                         }()),
                         [](const auto& info) {
                             return std::string(info.param.direction == D::Read ? "Read"
                                                                                : "Write") +
                                    "_" + KindName(info.param.kind);
                         });

// ----- signals -----

struct SignalCase {
    D direction;
    int signal;
    const char* name;
};

void PrintTo(const SignalCase& c, std::ostream* os)
{
    *os << c.name;
}

class Interrupted : public CliLinkTest, public ::testing::WithParamInterface<SignalCase> {};

/// True when nothing holds the device any more: no exclusive mode, no lock.
bool PortReleased(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int exclusive = 1;
    const bool free = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive == 0 &&
                      ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

TEST_P(Interrupted, EndsTheConnectionReleasesThePortAndSaysWhatTheRadioHolds)
{
    const SignalCase& c = GetParam();
    sim::SimOptions options;
    options.paced = true;  // at the real line rate, so that the signal comes mid-transfer
    StartRadio(options);
    Image sent{};
    const std::string file = c.direction == D::Write ? MakeDataFile(sent) : std::string();
    const std::string out = work.Path("read.dat");
    const char* blockCommand = c.direction == D::Read ? "Eb" : "Ea";

    CliProcess cli(c.direction == D::Read ? Cli({"read", "--port", radio->DevicePath(), "-o", out})
                                          : Cli({"write", "--no-backup", "--no-verify", "--port", radio->DevicePath(), file}),
                   work.Dir());
    ASSERT_TRUE(cli.Running());
    ASSERT_TRUE(WaitFor([&] { return radio->CommandCount(blockCommand) >= 10; }));
    cli.Signal(c.signal);
    const CliOutcome run = cli.Wait();

    EXPECT_EQ(run.signal, 0) << "the program ends by itself";
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(radio->Mode(), 1) << "the connection was ended";
    EXPECT_TRUE(PortReleased(radio->DevicePath()));
    const int blocks = radio->CommandCount(blockCommand);
    EXPECT_GE(blocks, 10);
    if (c.direction == D::Read) {
        EXPECT_EQ(run.err, Line(LinkMessage::kReadInterrupted));
        EXPECT_FALSE(std::ifstream(out).good());
        return;
    }
    // The block under way was finished; the message names what the radio now holds.
    const uint16_t last = static_cast<uint16_t>(120 + 16 * blocks - 1);
    EXPECT_EQ(run.err, Line(LinkMessage::kWriteInterrupted,
                            {Settings().LoadMessage(LinkMessage::kHoldsOneStretch,
                                                    {"120 (0x078)", AddressText(last)})}));
    ExpectMemory(MemoryAfterWrite(sent, static_cast<size_t>(blocks)), false);
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupted,
                         ::testing::Values(SignalCase{D::Write, SIGINT, "WriteSIGINT"},
                                           SignalCase{D::Write, SIGTERM, "WriteSIGTERM"},
                                           SignalCase{D::Write, SIGHUP, "WriteSIGHUP"},
                                           SignalCase{D::Read, SIGINT, "ReadSIGINT"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ----- the output file of a read -----

TEST_F(CliLinkTest, ReadChecksTheOutputFileBeforeTheRadio)
{
    StartRadio();
    ASSERT_EQ(::mkdir(work.Path("folder").c_str(), 0755), 0);
    struct Case {
        std::string out;
        int message;
    } cases[] = {
        {work.Path("no/such/folder/read.dat"), CliMessage::kOutputNoFolder},
        {work.Path("folder"), CliMessage::kOutputIsFolder},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.out);
        const CliOutcome run =
            RunCliProgram(Cli({"read", "--port", radio->DevicePath(), "-o", k.out}), work.Dir());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, Line(k.message, {k.out}));
    }
    EXPECT_EQ(radio->CommandCount("*"), 0) << "the radio was not asked anything";
}

TEST_F(CliLinkTest, ReadRefusesARangeInTheSettingsFileThatTheModelDoesNotHave)
{
    StartRadio();
    for (const char* range : {"400-", "999-1000"}) {
        SCOPED_TRACE(range);
        CIniFile::WriteString(home.Path("Settings.ini"), "Setting", "FreqRange", range);
        const std::string out = work.Path("read.dat");
        const CliOutcome run =
            RunCliProgram(Cli({"read", "--port", radio->DevicePath(), "-o", out}), work.Dir());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, Line(CliMessage::kRememberedRangeBad,
                                {home.Path("Settings.ini"), range, "RV205"}));
        EXPECT_FALSE(std::ifstream(out).good());
    }
    EXPECT_EQ(radio->CommandCount("*"), 0);
}

}  // namespace
}  // namespace rv::test
