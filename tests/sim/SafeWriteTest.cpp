// rvcps-cli write with its backup and its verify against the simulated radio, and the verify
// and backups commands: the backup holds the radio as it was, a backup that cannot be taken
// stops the write before a block is sent, a radio that does not hold what was sent fails the
// write naming the address and the field, a failed write names the backup, the backup written
// back makes the radio equal to it again; the data file is never changed. Also what the write
// builds on that: changed blocks only, the link trace, several radios at once, a port that
// another program holds.

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <sstream>

#include "cli/Cli.h"
#include "cli/CliLink.h"
#include "data/DataFile.h"
#include "data/MemoryMap.h"
#include "link/ComPort.h"
#include "link/LinkTestSupport.h"
#include "link/SafeWrite.h"
#include "link/Transfer.h"
#include "link/WriteSession.h"
#include "support/CliProcess.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;
using cli::CliLinkMessage;
using sim::FaultKind;

constexpr char kSerial[] = "SN-4711";

class SafeWriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The program's language file, for the expected texts; never written by the test.
        Settings().SetReadOnly(true);
        Settings().Init(home.Dir());
        file = work.Path("new.dat");
        const CliOutcome made = RunCliProgram(Cli({"new", "-o", file}), work.Dir());
        ASSERT_EQ(made.status, 0) << made.err;
        fileBytes = ReadBytes(file);
        // The radio holds the file's configuration with its own serial number and channel 1
        // receiving on 433.50000 MHz instead of 400.32500 MHz.
        Image image{};
        ASSERT_TRUE(CDataFile::Read(file, nullptr, image));
        std::copy(image.begin(), image.end(), before.begin());
        std::copy_n(kSerial, sizeof kSerial, before.begin() + 72);
        const uint8_t rx[] = {0x00, 0x00, 0x35, 0x43};
        ASSERT_EQ(before[1412 + 3], 0x40) << "channel 1 receives on 400.32500 MHz in the file";
        std::copy_n(rx, 4, before.begin() + 1412);
        radio = std::make_unique<sim::CRadioSim>();
        ASSERT_TRUE(radio->Start());
        radio->SetMemory(before);
    }
    void TearDown() override
    {
        radio.reset();
        Settings().SetReadOnly(false);
    }
    std::vector<std::string> Cli(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--home", home.Dir()});
        return args;
    }
    CliOutcome Write(std::vector<std::string> options = {}, const std::string& path = {})
    {
        std::vector<std::string> args{"write", "--port", radio->DevicePath()};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(path.empty() ? file : path);
        return RunCliProgram(Cli(args), work.Dir());
    }
    CliOutcome Verify(const std::string& path)
    {
        return RunCliProgram(Cli({"verify", "--port", radio->DevicePath(), path}), work.Dir());
    }
    std::vector<std::string> Backups() const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(home.Path("Backups"), ec))
            names.push_back(e.path().filename().string());
        return names;
    }
    static std::string Message(int id, const std::vector<std::string>& values = {})
    {
        return Settings().LoadMessage(id, values);
    }
    /// The part of a message before its first value.
    static std::string Lead(int id)
    {
        const std::string text = Settings().LoadMessage(id);
        return text.substr(0, text.find("%s"));
    }
    void ExpectNothingWritten() const
    {
        EXPECT_EQ(radio->CommandCount("Ea"), 0) << "no block was sent";
        EXPECT_TRUE(radio->GetMemory() == before);
        EXPECT_EQ(radio->Mode(), 1);
    }

    TempHome home;  ///< the program directory of rvcps-cli
    TempHome work;  ///< the data files
    std::unique_ptr<sim::CRadioSim> radio;
    sim::Memory before{};
    std::string file;
    std::vector<unsigned char> fileBytes;
};

TEST_F(SafeWriteTest, DefaultWriteIsBackedUpVerifiedAndTheBackupRestoresTheRadio)
{
    const CliOutcome run = Write();
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 1u);
    const std::string& name = names.front();
    EXPECT_EQ(name.rfind(std::string("RV-205_400-470_") + kSerial + "_", 0), 0u) << name;
    ASSERT_EQ(name.size(), std::string("RV-205_400-470_SN-4711_20261210-134433.dat").size());
    const std::string backup = home.Path("Backups/" + name);
    EXPECT_EQ(run.out, Message(SafeWriteMessage::kBackupSaved, {backup}) + "\n" +
                           Message(WriteSessionMessage::kBlocksWritten, {"2", "83"}) + " " +
                           Message(WriteSessionMessage::kWrittenVerified) + "\n");
    Image saved{};
    ASSERT_TRUE(CDataFile::Read(backup, nullptr, saved));
    EXPECT_TRUE(saved == before) << "the backup holds the radio as it was";
    EXPECT_EQ(ReadBytes(file), fileBytes) << "the data file is never changed";
    EXPECT_FALSE(radio->GetMemory() == before);
    EXPECT_EQ(radio->CommandCount("Eb"), 128 + 2)
        << "the backup read and the read-back of the channel's block and the time stamp";

    const CliOutcome equal = Verify(file);
    EXPECT_EQ(equal.status, 0) << equal.out << equal.err;
    EXPECT_EQ(equal.out, Message(SafeWriteMessage::kVerifyEqual) + "\n");
    const CliOutcome differs = Verify(backup);
    EXPECT_EQ(differs.status, 1);
    EXPECT_EQ(differs.out.rfind(Lead(SafeWriteMessage::kFileMismatch), 0), 0u) << differs.out;

    const CliOutcome list = RunCliProgram(Cli({"backups"}), work.Dir());
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find(backup), std::string::npos) << list.out;
    EXPECT_NE(list.out.find(kSerial), std::string::npos) << list.out;

    // Restoring the backup: the radio equals it again, and the restore took a backup of its own.
    const CliOutcome restore =
        RunCliProgram(Cli({"restore", "--port", radio->DevicePath(), backup}), work.Dir());
    ASSERT_EQ(restore.status, 0) << restore.err;
    const CliOutcome same = Verify(backup);
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    EXPECT_EQ(Backups().size(), 2u);
    const CliOutcome listed = RunCliProgram(Cli({"backups"}), work.Dir());
    const std::vector<std::string> after = Backups();
    const std::string newer = after[0] == name ? after[1] : after[0];
    EXPECT_LT(listed.out.find(newer), listed.out.find(name)) << "newest first:\n" << listed.out;
}

// ----- a backup read that fails writes nothing -----

struct BackupFault {
    const char* name;
    sim::SimFault fault;
};

void PrintTo(const BackupFault& c, std::ostream* os)
{
    *os << c.name;
}

class FailedBackup : public SafeWriteTest, public ::testing::WithParamInterface<BackupFault> {};

TEST_P(FailedBackup, WritesNothingAndSaysWhy)
{
    radio->AddFault(GetParam().fault);
    const CliOutcome run = Write();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err.rfind("rvcps-cli: " + Lead(SafeWriteMessage::kBackupReadFailed), 0), 0u)
        << run.err;
    EXPECT_TRUE(Backups().empty());
    ExpectNothingWritten();
    EXPECT_EQ(ReadBytes(file), fileBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedBackup,
    ::testing::Values(
        BackupFault{"NoAnswerToTheHandshake", {FaultKind::NoAnswer, "Pa", 1, 0}},
        BackupFault{"ChecksumOfTheModelId", {FaultKind::BadChecksum, "Bb", 1, 0, 0x22}},
        BackupFault{"ReadModeRefused", {FaultKind::RefuseMode, "Ma", 1, 0, 2}},
        BackupFault{"ShortBlock", {FaultKind::ShortAnswer, "Eb", 1, 0, 1024}},
        BackupFault{"LineErrorOnTheLastBlock", {FaultKind::LineError, "Eb", 1, 0, 2032}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SafeWriteTest, BackupFolderThatCannotBeMadeStopsTheWriteBeforeTheRadioIsAsked)
{
    home.Write("Backups", "a file where the folder should be");
    const CliOutcome run = Write();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "rvcps-cli: " +
                           Message(SafeWriteMessage::kBackupFolderFailed, {home.Path("Backups")}) +
                           "\n");
    EXPECT_EQ(radio->CommandCount("*"), 0);
    ExpectNothingWritten();
    // Turned off, the backup is not needed.
    const CliOutcome unsafe = Write({"--no-backup"});
    EXPECT_EQ(unsafe.status, 0) << unsafe.err;
    EXPECT_EQ(radio->CommandCount("Eb"), 83) << "the read-back of every block sent only";
}

// ----- a radio that does not hold what was sent -----

TEST_F(SafeWriteTest, ByteTheRadioStoresWronglyFailsTheWriteNamingAddressFieldAndBackup)
{
    // The first channel's block: its first byte goes wrong in the radio.
    radio->AddFault({FaultKind::CorruptWrite, "Ea", 1, 1, 1408});
    const CliOutcome run = Write();
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(Backups().size(), 1u);
    const std::string backup = home.Path("Backups/" + Backups().front());
    const std::string mismatch = "rvcps-cli: " + Lead(SafeWriteMessage::kVerifyMismatch);
    ASSERT_EQ(run.err.rfind(mismatch, 0), 0u) << run.err;
    EXPECT_EQ(run.err.substr(mismatch.size(), 13), "1408 (0x580);") << run.err;
    // One field of channel 1, with what was sent and what the radio holds.
    const std::string fieldLine = "\n  ";
    const size_t at = run.err.find(fieldLine);
    ASSERT_NE(at, std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" 1, ", at), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(Message(SafeWriteMessage::kRestoreHint, {backup})), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadBytes(file), fileBytes);
    EXPECT_EQ(radio->Mode(), 1);

    // Verify says the same of the radio, on stdout, exit 1.
    const CliOutcome check = Verify(file);
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.err, "");
    EXPECT_NE(check.out.find("1408 (0x580)"), std::string::npos) << check.out;
}

TEST_F(SafeWriteTest, VerifyReadThatFailsFailsTheWriteAndNamesTheBackup)
{
    // The channel's block is read twice by a write: by the backup and by the read-back.
    radio->AddFault({FaultKind::NoAnswer, "Eb", 2, 0, 1408});
    const CliOutcome run = Write();
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(Backups().size(), 1u);
    const std::string backup = home.Path("Backups/" + Backups().front());
    EXPECT_EQ(run.err.rfind("rvcps-cli: " + Message(WriteSessionMessage::kVerifyReadFailed,
                                                    {AddressText(1408),
                                                     Message(LinkMessage::kCauseNoAnswer)}),
                            0),
              0u)
        << run.err;
    EXPECT_EQ(run.err.find("Your data have not been changed"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(Message(SafeWriteMessage::kRestoreHint, {backup})), std::string::npos)
        << run.err;
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_EQ(ReadBytes(file), fileBytes);
}

TEST_F(SafeWriteTest, FailedWriteNamesTheBackupThatHoldsTheRadioAsItWas)
{
    radio->AddFault({FaultKind::NoAnswer, "Ea", 1, 0, WritePlan(false)[40].address});
    const CliOutcome run = Write({"--all-blocks"});
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(Backups().size(), 1u);
    const std::string backup = home.Path("Backups/" + Backups().front());
    EXPECT_EQ(run.err.rfind("rvcps-cli: " + Lead(LinkMessage::kWriteFailed), 0), 0u) << run.err;
    EXPECT_NE(run.err.find(Message(SafeWriteMessage::kRestoreHint, {backup})), std::string::npos)
        << run.err;
    EXPECT_EQ(radio->CommandCount("Eb"), 128) << "no verify after a failed write";

    // Restored, the radio is as it was, its time stamp included.
    radio->ClearFaults();
    const CliOutcome restore =
        RunCliProgram(Cli({"restore", "--port", radio->DevicePath(), backup}), work.Dir());
    ASSERT_EQ(restore.status, 0) << restore.err;
    const CliOutcome same = Verify(backup);
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    EXPECT_TRUE(radio->GetMemory() == before);
}

TEST_F(SafeWriteTest, RadioOfAnotherModelIsBackedUpButNotWrittenAndNoRestoreIsOffered)
{
    sim::SimIdentity other;
    other.modelId = "RV305";
    radio->SetIdentity(other);
    const CliOutcome run = Write();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "rvcps-cli: " + Message(LinkMessage::kModelRefused) + "\n");
    EXPECT_EQ(Backups().size(), 1u);
    ExpectNothingWritten();
}

// ----- changed blocks only -----

TEST_F(SafeWriteTest, ChangedOnlySendsTheEditedChannelsBlockAndTheStampThenVerifies)
{
    // The radio differs from the file in channel 1 alone (the serial number is never written);
    // --changed-only names what a write does by default.
    const CliOutcome run = Write({"--changed-only"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(radio->CommandCount("Ea"), 2) << "the channel's block and the time stamp";
    std::vector<uint32_t> sent;
    for (const auto& request : radio->Requests())
        if (request.size() > 2 && request[1] == 'E' && request[2] == 'a')
            sent.push_back(*sim::RequestArgument(request));
    EXPECT_EQ(sent, (std::vector<uint32_t>{1408, kStampBlock.address}));
    EXPECT_NE(run.out.find(Message(WriteSessionMessage::kBlocksWritten, {"2", "83"})),
              std::string::npos)
        << run.out;
    EXPECT_EQ(radio->CommandCount("Eb"), 128 + 2)
        << "the backup, then the verify of the block sent and the time stamp";
    const CliOutcome same = Verify(file);
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    EXPECT_EQ(ReadBytes(file), fileBytes);

    // Nothing changed since: only the time stamp goes.
    const CliOutcome again = Write({"--changed-only", "--no-verify"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(radio->CommandCount("Ea"), 3);

    // Without the backup read there is nothing to compare with.
    const CliOutcome refused = Write({"--changed-only", "--no-backup"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "rvcps-cli: " + Message(CliLinkMessage::kChangedNeedsBackup) + "\n");
    EXPECT_EQ(radio->CommandCount("Ea"), 3);
}

struct ChangedOnlyFault {
    const char* name;
    sim::SimFault fault;
    int message;     ///< the message the error output begins with
    bool restore;    ///< the backup is named with how to put it back
    int blocksSent;  ///< block writes the radio saw
};

void PrintTo(const ChangedOnlyFault& c, std::ostream* os)
{
    *os << c.name;
}

class ChangedOnlyFaults : public SafeWriteTest,
                          public ::testing::WithParamInterface<ChangedOnlyFault> {};

TEST_P(ChangedOnlyFaults, FailSafelyAndSayWhere)
{
    const ChangedOnlyFault& c = GetParam();
    radio->AddFault(c.fault);
    const CliOutcome run = Write({"--changed-only"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err.rfind("rvcps-cli: " + Lead(c.message), 0), 0u) << run.err;
    EXPECT_EQ(radio->CommandCount("Ea"), c.blocksSent);
    const std::vector<std::string> names = Backups();
    if (c.restore) {
        ASSERT_EQ(names.size(), 1u);
        const std::string backup = home.Path("Backups/" + names.front());
        EXPECT_NE(run.err.find(Message(SafeWriteMessage::kRestoreHint, {backup})),
                  std::string::npos)
            << run.err;
    } else {
        EXPECT_EQ(run.err.find(Lead(SafeWriteMessage::kRestoreHint)), std::string::npos) << run.err;
    }
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_EQ(ReadBytes(file), fileBytes);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPhase, ChangedOnlyFaults,
    ::testing::Values(ChangedOnlyFault{"BackupBlockChecksum",
                                       {FaultKind::BadChecksum, "Eb", 1, 0, 1408},
                                       SafeWriteMessage::kBackupReadFailed,
                                       false,
                                       0},
                      ChangedOnlyFault{"WriteModeRefused",
                                       {FaultKind::RefuseMode, "Ma", 1, 0, 3},
                                       LinkMessage::kModeRefused,
                                       false,
                                       0},
                      ChangedOnlyFault{"ChangedBlockNoAnswer",
                                       {FaultKind::NoAnswer, "Ea", 1, 0, 1408},
                                       LinkMessage::kWriteFailed,
                                       true,
                                       3},
                      ChangedOnlyFault{"ChangedBlockShortAnswer",
                                       {FaultKind::ShortAnswer, "Ea", 1, 0, 1408},
                                       LinkMessage::kWriteFailed,
                                       true,
                                       3},
                      ChangedOnlyFault{"ChangedBlockLineError",
                                       {FaultKind::LineError, "Ea", 1, 0, 1408},
                                       LinkMessage::kWriteFailed,
                                       true,
                                       3},
                      ChangedOnlyFault{"ChangedBlockRefused",
                                       {FaultKind::RefuseMode, "Ea", 1, 0, 1408},
                                       LinkMessage::kWriteFailed,
                                       true,
                                       3},
                      ChangedOnlyFault{"ChangedBlockStoredWrongly",
                                       {FaultKind::CorruptWrite, "Ea", 1, 1, 1408},
                                       SafeWriteMessage::kVerifyMismatch,
                                       true,
                                       2},
                      ChangedOnlyFault{"StampNoAnswer",
                                       {FaultKind::NoAnswer, "Ea", 1, 0, kStampBlock.address},
                                       LinkMessage::kWriteFailed,
                                       true,
                                       4},
                      ChangedOnlyFault{"VerifyBlockLineError",
                                       {FaultKind::LineError, "Eb", 2, 0, 1408},
                                       WriteSessionMessage::kVerifyReadFailed,
                                       true,
                                       2}),
    [](const auto& info) { return std::string(info.param.name); });

// ----- the link trace -----

/// The lines of a trace file that hold a frame in a direction (">>" to the radio, "<<" from it)
/// or a failed exchange ("!!").
std::vector<std::string> TraceLines(const std::string& text, const std::string& mark)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find("  " + mark + "  ") != std::string::npos) lines.push_back(line);
    return lines;
}

TEST_F(SafeWriteTest, ReadTraceListsEveryFrameAndTheTimeOut)
{
    // The block at 1024 goes unanswered once; the second attempt gets it.
    radio->AddFault({FaultKind::NoAnswer, "Eb", 1, 1, 1024});
    const std::string trace = work.Path("read.trace");
    const CliOutcome run = RunCliProgram(
        Cli({"read", "--port", radio->DevicePath(), "--trace", trace, "-o", work.Path("r.dat")}),
        work.Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = ReadFileText(trace);
    const std::vector<std::string> sent = TraceLines(text, ">>");
    const std::vector<std::string> came = TraceLines(text, "<<");
    ASSERT_EQ(sent.size(), radio->Requests().size()) << text.substr(0, 2000);
    EXPECT_EQ(came.size(), sent.size() - 1) << "one request went unanswered";
    // Time stamp to the millisecond, the port, the bytes, the command.
    const std::string& first = sent.front();
    EXPECT_EQ(first[4], '-');
    EXPECT_EQ(first[19], '.');
    EXPECT_NE(first.find(radio->DevicePath() + "  >>  02 50 61 03  [Pa handshake]"),
              std::string::npos)
        << first;
    EXPECT_NE(text.find(">>  02 45 62 00 04 00 00 10 00 03  [Eb read 0x0400 16]"),
              std::string::npos);
    const std::vector<std::string> faults = TraceLines(text, "!!");
    ASSERT_EQ(faults.size(), 1u) << text;
    EXPECT_NE(faults.front().find("TIME-OUT"), std::string::npos) << faults.front();
    EXPECT_NE(text.find("[answer to Eb read 0x07F0 16]"), std::string::npos);

    // A checksum error is named as such (the read above was the first to ask for 512).
    radio->AddFault({FaultKind::BadChecksum, "Eb", 2, 1, 512});
    const CliOutcome verify = RunCliProgram(
        Cli({"verify", "--port", radio->DevicePath(), "--trace", trace, work.Path("r.dat")}),
        work.Dir());
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    const std::vector<std::string> checksum = TraceLines(ReadFileText(trace), "!!");
    ASSERT_EQ(checksum.size(), 1u);
    EXPECT_NE(checksum.front().find("CHECKSUM ERROR"), std::string::npos) << checksum.front();
}

TEST_F(SafeWriteTest, WriteTraceHoldsEveryConnectionAndATraceThatCannotBeWrittenStopsFirst)
{
    const std::string trace = work.Path("write.trace");
    const CliOutcome run = Write({"--trace", trace});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = ReadFileText(trace);
    EXPECT_EQ(TraceLines(text, ">>").size(), radio->Requests().size());
    EXPECT_NE(text.find("[Ea write 0x0580 16]"), std::string::npos);
    EXPECT_NE(text.find("[Aa accepted Ea]"), std::string::npos);
    EXPECT_NE(text.find("[Ea write 0x0020 8]"), std::string::npos) << "the time stamp";

    const int asked = radio->CommandCount("*");
    const std::string nowhere = work.Path("no-such-folder/write.trace");
    const CliOutcome refused = Write({"--trace", nowhere});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(nowhere), std::string::npos) << refused.err;
    EXPECT_EQ(radio->CommandCount("*"), asked) << "the radio is not asked anything";
}

// ----- several radios at once, and a port held by another program -----

TEST_F(SafeWriteTest, SeveralRadiosAreWrittenAtOnceAndOneFaultyRadioDisturbsNoOther)
{
    std::vector<std::unique_ptr<sim::CRadioSim>> radios;
    for (int i = 0; i < 2; ++i) {
        radios.push_back(std::make_unique<sim::CRadioSim>());
        ASSERT_TRUE(radios.back()->Start());
        radios.back()->SetMemory(before);
    }
    // The first radio never takes the block at 1408.
    radio->AddFault({FaultKind::NoAnswer, "Ea", 1, 0, 1408});
    const CliOutcome run =
        Write({"--port", radios[0]->DevicePath(), "--port", radios[1]->DevicePath()});
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    for (const auto& r : radios) {
        const size_t line =
            run.out.find(Message(CliLinkMessage::kRadioResult, {r->DevicePath(), ""}));
        ASSERT_NE(line, std::string::npos) << run.out;
        const std::string said = run.out.substr(line, run.out.find('\n', line) - line);
        EXPECT_NE(said.find(Message(WriteSessionMessage::kBlocksWritten, {"2", "83"}) + " " +
                            Message(WriteSessionMessage::kWrittenVerified)),
                  std::string::npos)
            << said;
    }
    const std::string bad = Message(CliLinkMessage::kRadioResult,
                                    {radio->DevicePath(), Lead(LinkMessage::kWriteFailed)});
    EXPECT_NE(run.out.find(bad), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(Message(CliLinkMessage::kSummary, {"2", "3", "1"})), std::string::npos)
        << run.out;
    EXPECT_EQ(Backups().size(), 3u) << "each radio backed up under a name of its own";
    for (const auto& r : radios) {
        const CliOutcome same =
            RunCliProgram(Cli({"verify", "--port", r->DevicePath(), file}), work.Dir());
        EXPECT_EQ(same.status, 0) << same.out << same.err;
        EXPECT_EQ(r->Mode(), 1);
    }
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_EQ(ReadBytes(file), fileBytes);

    // Read from both at once into files named by port.
    const CliOutcome read =
        RunCliProgram(Cli({"read", "--port", radios[0]->DevicePath(), "--port",
                           radios[1]->DevicePath(), "-o", work.Path("radio-{port}.dat")}),
                      work.Dir());
    ASSERT_EQ(read.status, 0) << read.out << read.err;
    for (const auto& r : radios) {
        const std::string name = r->DevicePath().substr(r->DevicePath().rfind('/') + 1);
        Image got{};
        ASSERT_TRUE(CDataFile::Read(work.Path("radio-" + name + ".dat"), nullptr, got)) << name;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), r->GetMemory().begin()));
    }
    const CliOutcome noPattern =
        RunCliProgram(Cli({"read", "--port", radios[0]->DevicePath(), "--port",
                           radios[1]->DevicePath(), "-o", work.Path("one.dat")}),
                      work.Dir());
    EXPECT_EQ(noPattern.status, 2);
    const CliOutcome twice = Write({"--port", radio->DevicePath()});
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(twice.err,
              "rvcps-cli: " + Message(CliLinkMessage::kPortTwice, {radio->DevicePath()}) + "\n");
}

TEST_F(SafeWriteTest, PortHeldByAnotherProgramIsRefusedCleanly)
{
    CComPort holder;
    ASSERT_TRUE(holder.Open(radio->DevicePath()));
    const CliOutcome run = Write();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("rvcps-cli: " + Lead(SafeWriteMessage::kBackupReadFailed), 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find(Message(LinkMessage::kPortBusy, {radio->DevicePath()})),
              std::string::npos)
        << run.err;
    EXPECT_EQ(radio->CommandCount("*"), 0);
    ExpectNothingWritten();
}

}  // namespace
}  // namespace rv::test
