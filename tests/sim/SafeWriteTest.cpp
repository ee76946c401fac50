// rvcps-cli write with its backup and its verify against the simulated radio, and the verify
// and backups commands: the backup holds the radio as it was, a backup that cannot be taken
// stops the write before a block is sent, a radio that does not hold what was sent fails the
// write naming the address and the field, a failed write names the backup, the backup written
// back makes the radio equal to it again; the data file is never changed.

#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "cli/Cli.h"
#include "data/DataFile.h"
#include "data/MemoryMap.h"
#include "link/LinkTestSupport.h"
#include "link/SafeWrite.h"
#include "link/Transfer.h"
#include "sim/CliProcess.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;
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
    EXPECT_EQ(run.out, Message(SafeWriteMessage::kBackupSaved, {backup}) + "\n");
    Image saved{};
    ASSERT_TRUE(CDataFile::Read(backup, nullptr, saved));
    EXPECT_TRUE(saved == before) << "the backup holds the radio as it was";
    EXPECT_EQ(ReadBytes(file), fileBytes) << "the data file is never changed";
    EXPECT_FALSE(radio->GetMemory() == before);
    EXPECT_EQ(radio->CommandCount("Eb"), 2 * 128) << "the backup read and the verify read";

    const CliOutcome equal = Verify(file);
    EXPECT_EQ(equal.status, 0) << equal.out << equal.err;
    EXPECT_EQ(equal.out, Message(SafeWriteMessage::kVerifyEqual) + "\n");
    const CliOutcome differs = Verify(backup);
    EXPECT_EQ(differs.status, 1);
    EXPECT_EQ(differs.out.rfind(Lead(SafeWriteMessage::kVerifyMismatch), 0), 0u) << differs.out;

    const CliOutcome list = RunCliProgram(Cli({"backups"}), work.Dir());
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find(backup), std::string::npos) << list.out;
    EXPECT_NE(list.out.find(kSerial), std::string::npos) << list.out;

    // Writing the backup back: the radio equals it again (time stamp aside), and that write
    // took a backup of its own.
    const CliOutcome restore = Write({}, backup);
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
    EXPECT_EQ(radio->CommandCount("Eb"), 128) << "the verify read only";
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
    // Address 0 is read twice by a write: by the backup and by the verify.
    radio->AddFault({FaultKind::NoAnswer, "Eb", 2, 0, 0});
    const CliOutcome run = Write();
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(Backups().size(), 1u);
    const std::string backup = home.Path("Backups/" + Backups().front());
    EXPECT_EQ(run.err.rfind("rvcps-cli: " + Lead(SafeWriteMessage::kVerifyReadFailed), 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find(Message(SafeWriteMessage::kRestoreHint, {backup})), std::string::npos)
        << run.err;
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_EQ(ReadBytes(file), fileBytes);
}

TEST_F(SafeWriteTest, FailedWriteNamesTheBackupThatHoldsTheRadioAsItWas)
{
    radio->AddFault({FaultKind::NoAnswer, "Ea", 1, 0, WritePlan(false)[40].address});
    const CliOutcome run = Write();
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(Backups().size(), 1u);
    const std::string backup = home.Path("Backups/" + Backups().front());
    EXPECT_EQ(run.err.rfind("rvcps-cli: " + Lead(LinkMessage::kWriteFailed), 0), 0u) << run.err;
    EXPECT_NE(run.err.find(Message(SafeWriteMessage::kRestoreHint, {backup})), std::string::npos)
        << run.err;
    EXPECT_EQ(radio->CommandCount("Eb"), 128) << "no verify after a failed write";

    // Put back, the radio is as it was apart from its time stamp.
    radio->ClearFaults();
    const CliOutcome restore = Write({}, backup);
    ASSERT_EQ(restore.status, 0) << restore.err;
    const CliOutcome same = Verify(backup);
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    const sim::Memory now = radio->GetMemory();
    for (size_t a = 0; a < now.size(); ++a)
        if (a < kStampBlock.address || a >= size_t{kStampBlock.address} + kStampBlock.count)
            ASSERT_EQ(now[a], before[a]) << "address " << a;
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

}  // namespace
}  // namespace rv::test
