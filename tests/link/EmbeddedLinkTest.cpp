// The embedded messages against the simulated radio: where Read, Write and Write Password put
// the record in the radio's memory, the radios they refuse, what a failure at each step leaves
// behind, and the password rules of the view's screens.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "link/LinkTestSupport.h"
#include "service/EmbeddedLink.h"

namespace rv::test {
namespace {

using sim::FaultKind;
using Bytes = std::vector<uint8_t>;

constexpr size_t kFirst = CEmbeddedBlock::kImageAddress;
constexpr size_t kSize = CEmbeddedBlock::kRecordSize;

Bytes RecordOf(const CEmbeddedBlock& block)
{
    return Bytes(block.Raw().Data(), block.Raw().Data() + kSize);
}

Bytes MemoryPart(const sim::Memory& m, size_t first, size_t count)
{
    return Bytes(m.begin() + static_cast<long>(first),
                 m.begin() + static_cast<long>(first + count));
}

/// Addresses of the block reads (Eb) or writes (Ea) the radio received, in order.
std::vector<uint32_t> BlockAddresses(const sim::CRadioSim& radio, char second)
{
    std::vector<uint32_t> out;
    for (const std::vector<uint8_t>& r : radio.Requests())
        if (r.size() > 5 && r[1] == 'E' && r[2] == second)
            out.push_back(sim::RequestArgument(r).value_or(0));
    return out;
}

sim::SimFault Always(FaultKind kind, const std::string& command, uint32_t argument)
{
    sim::SimFault f{kind, command, 1, 0};
    f.argument = argument;
    return f;
}

std::vector<uint32_t> AllBlocks()
{
    std::vector<uint32_t> v;
    for (uint32_t k = 0; k < kEmbeddedBlockCount; ++k) v.push_back(kFirst + 16 * k);
    return v;
}

class EmbeddedLinkTest : public SimHomeTest {
protected:
    void SetUp() override
    {
        SimHomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
        radio->SetMemory(PatternMemory());
    }
    CRadioProtocol link;
    RadioIdentity identity;
};

TEST_F(EmbeddedLinkTest, ReadTakesImageBytes1024To1167)
{
    sim::SimIdentity id;
    id.modelName = "RV-205 EX";
    id.signal = 1;
    radio->SetIdentity(id);
    CEmbeddedBlock& block = Radio().Embedded();
    const LinkResult r = EmbeddedRead(link, block, identity);
    ASSERT_TRUE(r.Ok()) << r.Text();
    EXPECT_EQ(r.message, LinkMessage::kReadDone);
    EXPECT_EQ(RecordOf(block), MemoryPart(PatternMemory(), kFirst, kSize));
    EXPECT_EQ(BlockAddresses(*radio, 'b'), AllBlocks());
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_FALSE(link.IsOpen());
    TakeEmbeddedIdentity(identity);
    EXPECT_EQ(Settings().ModelName(), "RV-205 EX");
    EXPECT_EQ(Settings().Signal(), 1);
    EXPECT_EQ(Settings().FreqRange(), "400-470");
}

TEST_F(EmbeddedLinkTest, WriteAndWritePasswordPutTheRecordWhereReadFindsIt)
{
    CEmbeddedBlock& block = Radio().Embedded();
    block.SetPassword("abc");
    block.SetSecondText("SECOND");
    for (size_t i = 0; i < kEmbeddedMessageCount; ++i)
        block.SetMessage(i, "Message " + std::to_string(i + 1));
    LinkResult r = EmbeddedWrite(link, block);
    ASSERT_TRUE(r.Ok()) << r.Text();
    EXPECT_EQ(r.message, LinkMessage::kWriteDone);
    EXPECT_EQ(BlockAddresses(*radio, 'a'), AllBlocks());
    sim::Memory m = radio->GetMemory();
    EXPECT_EQ(MemoryPart(m, kFirst, kSize), RecordOf(block));
    EXPECT_EQ(MemoryPart(m, 0, kFirst), MemoryPart(PatternMemory(), 0, kFirst));
    EXPECT_EQ(MemoryPart(m, kFirst + kSize, 2048 - kFirst - kSize),
              MemoryPart(PatternMemory(), kFirst + kSize, 2048 - kFirst - kSize));

    // The password alone: record bytes 0..7 to 1024..1031, nothing else.
    radio->SetMemory(PatternMemory());
    block.SetPassword("new");
    const size_t writesBefore = BlockAddresses(*radio, 'a').size();
    r = EmbeddedWritePassword(link, block);
    ASSERT_TRUE(r.Ok()) << r.Text();
    const std::vector<uint32_t> writes = BlockAddresses(*radio, 'a');
    EXPECT_EQ(std::vector<uint32_t>(writes.begin() + static_cast<long>(writesBefore), writes.end()),
              std::vector<uint32_t>{kFirst});
    m = radio->GetMemory();
    EXPECT_EQ(MemoryPart(m, kFirst, 8), (Bytes{'n', 'e', 'w', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(MemoryPart(m, kFirst + 8, 2048 - kFirst - 8),
              MemoryPart(PatternMemory(), kFirst + 8, 2048 - kFirst - 8));

    // Read back what was written.
    radio->SetMemory(PatternMemory());
    ASSERT_TRUE(EmbeddedWrite(link, block).Ok());
    CEmbeddedBlock back;
    ASSERT_TRUE(EmbeddedRead(link, back, identity).Ok());
    EXPECT_EQ(back.Password(), "new");
    EXPECT_EQ(back.SecondText(), "SECOND");
    EXPECT_EQ(back.Message(3), "Message 4");
}

// Another radio is refused by all three operations before anything is moved.
TEST_F(EmbeddedLinkTest, AnotherRadioIsRefusedByEveryOperation)
{
    struct Case {
        const char* name;
        sim::SimIdentity identity;
        int message;
    };
    sim::SimIdentity otherModel;
    otherModel.modelId = "RV305";
    sim::SimIdentity unknownModel;
    unknownModel.modelId = "ZZ000";
    sim::SimIdentity otherRange;
    otherRange.range = sim::MakeRangeRecord(136, 174, 128);
    sim::SimIdentity newer;
    newer.version = "1.02.00.000";
    const Case cases[] = {
        {"other model", otherModel, LinkMessage::kModelRefused},
        {"unknown model", unknownModel, LinkMessage::kModelRefused},
        {"other range", otherRange, LinkMessage::kBandMismatch},
        {"newer firmware", newer, LinkMessage::kVersionHigher},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio->SetIdentity(c.identity);
        CEmbeddedBlock& block = Radio().Embedded();
        block.SetMessage(0, "must not arrive");
        const Bytes before = RecordOf(block);
        const std::string name = Settings().ModelName();
        for (int op = 0; op < 3; ++op) {
            const LinkResult r = op == 0   ? EmbeddedRead(link, block, identity)
                                 : op == 1 ? EmbeddedWrite(link, block)
                                           : EmbeddedWritePassword(link, block);
            EXPECT_EQ(r.message, c.message) << op << ": " << r.Text();
            EXPECT_FALSE(link.IsOpen());
        }
        EXPECT_EQ(RecordOf(block), before);
        EXPECT_EQ(Settings().ModelName(), name);
        EXPECT_TRUE(BlockAddresses(*radio, 'a').empty());
        EXPECT_TRUE(BlockAddresses(*radio, 'b').empty());
        if (c.message == LinkMessage::kBandMismatch) {
            EXPECT_NE(LinkResult(EmbeddedRead(link, block, identity)).Text().find("136-174"),
                      std::string::npos);
        }
    }
}

// A failed read at any step: the message names it (and the address), the record is unchanged,
// the port is closed and the radio back in mode 1.
TEST_F(EmbeddedLinkTest, FailedReadAtEveryStepLeavesTheRecordUnchanged)
{
    struct Case {
        std::string name;
        sim::SimFault fault;
        int message;
        long address;
    };
    std::vector<Case> cases = {
        {"no radio", {FaultKind::NoAnswer, "Pa", 1, 0}, LinkMessage::kNoRadio, 0},
        {"identity", Always(FaultKind::NoAnswer, "Bb", 0x05), LinkMessage::kIdentityFailed, 0},
        {"read mode", Always(FaultKind::RefuseMode, "Ma", 2), LinkMessage::kModeRefused, 0},
    };
    for (uint32_t address : AllBlocks())
        cases.push_back(
            {"block " + std::to_string(address),
             Always(address % 32 ? FaultKind::BadChecksum : FaultKind::NoAnswer, "Eb", address),
             LinkMessage::kReadFailed, address});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio->ClearFaults();
        radio->AddFault(c.fault);
        CEmbeddedBlock& block = Radio().Embedded();
        block.SetMessage(1, "kept");
        const Bytes before = RecordOf(block);
        const LinkResult r = EmbeddedRead(link, block, identity);
        EXPECT_EQ(r.message, c.message) << r.Text();
        EXPECT_EQ(RecordOf(block), before);
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(radio->Mode(), 1);
        if (c.address) {
            EXPECT_EQ(r.number, c.address);
            EXPECT_NE(r.Text().find(AddressText(c.address)), std::string::npos) << r.Text();
        }
    }
}

TEST_F(EmbeddedLinkTest, FailedWriteNamesTheBlockAndWhatTheRadioHolds)
{
    radio->AddFault(Always(FaultKind::NoAnswer, "Ea", kFirst + 48));
    CEmbeddedBlock& block = Radio().Embedded();
    block.SetMessage(0, "first");
    const LinkResult r = EmbeddedWrite(link, block);
    EXPECT_EQ(r.message, LinkMessage::kWriteFailed);
    EXPECT_EQ(r.number, static_cast<long>(kFirst + 48));
    ASSERT_EQ(r.written.size(), 1u);
    EXPECT_EQ(r.written[0], (AddressRange{1024, 1071}));
    EXPECT_EQ(radio->Mode(), 1);
    const sim::Memory m = radio->GetMemory();
    const Bytes record = RecordOf(block);
    EXPECT_EQ(MemoryPart(m, kFirst, 48), Bytes(record.begin(), record.begin() + 48));
    EXPECT_EQ(MemoryPart(m, kFirst + 48, kSize - 48),
              MemoryPart(PatternMemory(), kFirst + 48, kSize - 48));

    radio->ClearFaults();
    radio->AddFault(Always(FaultKind::NoAnswer, "Ea", kFirst));
    const LinkResult p = EmbeddedWritePassword(link, block);
    EXPECT_EQ(p.message, LinkMessage::kWriteFailed);
    EXPECT_EQ(p.number, static_cast<long>(kFirst));
}

TEST(EmbeddedPasswordTest, ThreeAttemptsAtMost)
{
    struct Case {
        const char* name;
        std::string password;
        std::vector<std::optional<std::string>> entries;
        PasswordOutcome outcome;
        int asked;
        int wrong;
    };
    const Case cases[] = {
        {"no password", "", {}, PasswordOutcome::Accepted, 0, 0},
        {"right at once", "abc", {"abc"}, PasswordOutcome::Accepted, 1, 0},
        {"right at the third", "abc", {"x", "ABC", "abc"}, PasswordOutcome::Accepted, 3, 2},
        {"blank padded is not the password",
         "abc",
         {"abc ", "abc  ", "abc     "},
         PasswordOutcome::Refused,
         3,
         3},
        {"three wrong", "abc", {"1", "2", "3", "abc"}, PasswordOutcome::Refused, 3, 3},
        {"cancelled", "abc", {"1", std::nullopt}, PasswordOutcome::Cancelled, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int asked = 0, wrong = 0;
        const PasswordOutcome outcome = CheckPassword(
            c.password,
            [&]() -> std::optional<std::string> {
                return asked < static_cast<int>(c.entries.size()) ? c.entries[asked++]
                                                                  : std::nullopt;
            },
            [&] { ++wrong; });
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(wrong, c.wrong);
    }
}

TEST(EmbeddedPasswordTest, ChangeNeedsTheOldPasswordAndAMatchingConfirmation)
{
    struct Case {
        const char* current;
        const char* oldEntry;
        const char* newEntry;
        const char* confirm;
        PasswordChange change;
        int message;
    };
    const Case cases[] = {
        {"abc", "abc", "xyz", "xyz", PasswordChange::Accepted, 1169},
        {"", "", "first", "first", PasswordChange::Accepted, 1169},
        {"abc", "abd", "xyz", "xyz", PasswordChange::OldWrong, 1171},
        {"abc", "abc", "xyz", "xy", PasswordChange::ConfirmDiffers, 1170},
        {"abc", "ABC", "xyz", "xy", PasswordChange::OldWrong, 1171},
    };
    for (const Case& c : cases) {
        const PasswordChange change =
            CheckPasswordChange(c.current, c.oldEntry, c.newEntry, c.confirm);
        EXPECT_EQ(change, c.change) << c.oldEntry << " " << c.newEntry;
        EXPECT_EQ(PasswordChangeMessage(change), c.message);
    }
}

}  // namespace
}  // namespace rv::test
