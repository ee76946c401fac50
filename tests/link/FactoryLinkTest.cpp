// Factory Mode against the simulated radio: the blocks read and written and their order, what
// a failure at each step leaves behind, the closing questions and what the main window applies
// afterwards.

#include <algorithm>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/IniFile.h"
#include "data/Document.h"
#include "data/FakeDocumentUi.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "link/LinkTestSupport.h"
#include "service/FactoryLink.h"

namespace rv::test {
namespace {

using sim::FaultKind;
using Bytes = std::vector<uint8_t>;

/// The block and mode requests the radio received, as "Ma 2", "Eb 16@16", "Ea 4@104".
std::vector<std::string> Steps(const sim::CRadioSim& radio)
{
    std::vector<std::string> steps;
    for (const std::vector<uint8_t>& r : radio.Requests()) {
        if (r.size() < 5) continue;
        const std::string command{static_cast<char>(r[1]), static_cast<char>(r[2])};
        const uint32_t argument = sim::RequestArgument(r).value_or(0);
        if (command == "Ma") steps.push_back("Ma " + std::to_string(argument));
        if (command == "Eb")
            steps.push_back("Eb " + std::to_string(GetU16(&r[7])) + "@" + std::to_string(argument));
        if (command == "Ea")
            steps.push_back("Ea " + std::to_string(GetU16(&r[3]) - 5) + "@" +
                            std::to_string(argument));
    }
    return steps;
}

Bytes RecordOf(const CRadioInfoBlock& info)
{
    return Bytes(info.Raw().Data(), info.Raw().Data() + CRadioInfoBlock::kRecordSize);
}

sim::SimFault Always(FaultKind kind, const std::string& command, uint32_t argument)
{
    sim::SimFault f{kind, command, 1, 0};
    f.argument = argument;
    return f;
}

class FactoryLinkTest : public SimHomeTest {
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

TEST_F(FactoryLinkTest, ReadTakesTheThreeBlocksIntoTheRecord)
{
    CRadioInfoBlock& info = Radio().RadioInfo();
    Bytes expected = RecordOf(info);
    const sim::Memory memory = PatternMemory();
    for (const TransferBlock& b : kFactoryReadPlan)
        std::copy_n(memory.begin() + b.address, b.count, expected.begin() + (b.address - 16));

    const LinkResult r = FactoryRead(link, info, identity);
    EXPECT_TRUE(r.Ok()) << r.Text();
    EXPECT_EQ(r.message, LinkMessage::kReadDone);
    EXPECT_EQ(RecordOf(info), expected);
    EXPECT_EQ(Steps(*radio),
              (std::vector<std::string>{"Ma 2", "Eb 16@16", "Eb 8@40", "Eb 16@72", "Ma 1"}));
    EXPECT_EQ(identity.version, "1.01.16.001");
    EXPECT_EQ(identity.modelId, "RV205");
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(FactoryLinkTest, ReadIsMadeWithoutModelOrVersionCheck)
{
    sim::SimIdentity other;
    other.modelId = "XX999";
    other.version = "2.00.00.000";
    radio->SetIdentity(other);
    const LinkResult r = FactoryRead(link, Radio().RadioInfo(), identity);
    EXPECT_TRUE(r.Ok()) << r.Text();
    EXPECT_EQ(identity.modelId, "XX999");
}

// A failure at any step: the message names the step (and the block's address), the record is
// unchanged, the port is closed and a radio that was switched is back in mode 1.
TEST_F(FactoryLinkTest, FailureAtEveryStepLeavesTheRecordUnchanged)
{
    struct Case {
        const char* name;
        sim::SimFault fault;
        int message;
        long address;
    };
    const Case cases[] = {
        {"no radio", {FaultKind::NoAnswer, "Pa", 1, 0}, LinkMessage::kNoRadio, 0},
        {"identity", Always(FaultKind::NoAnswer, "Bb", 0x22), LinkMessage::kIdentityFailed, 0},
        {"read mode", Always(FaultKind::RefuseMode, "Ma", 2), LinkMessage::kModeRefused, 0},
        {"block 16", Always(FaultKind::NoAnswer, "Eb", 16), LinkMessage::kReadFailed, 16},
        {"block 40", Always(FaultKind::BadChecksum, "Eb", 40), LinkMessage::kReadFailed, 40},
        {"block 72", Always(FaultKind::NoAnswer, "Eb", 72), LinkMessage::kReadFailed, 72},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio->ClearFaults();
        radio->AddFault(c.fault);
        CRadioInfoBlock& info = Radio().RadioInfo();
        const Bytes before = RecordOf(info);
        const LinkResult r = FactoryRead(link, info, identity);
        EXPECT_FALSE(r.Ok());
        EXPECT_EQ(r.message, c.message) << r.Text();
        EXPECT_EQ(RecordOf(info), before);
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(radio->Mode(), 1);
        if (c.address) {
            EXPECT_EQ(r.number, c.address);
            EXPECT_NE(r.Text().find(AddressText(c.address)), std::string::npos) << r.Text();
        }
    }
}

TEST_F(FactoryLinkTest, WriteSendsTheFieldsMarkerAndModelIdInOrder)
{
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.SetModelName("RV-205 PRO");
    info.SetSerialNumber("SN-0001");
    info.SetLowerEdgeBcd(ToBcd(35000000));
    info.Raw()[CRadioInfoBlock::Offset::kMarker] = 0x00;

    const LinkResult r = FactoryWrite(link, info, identity);
    EXPECT_TRUE(r.Ok()) << r.Text();
    EXPECT_EQ(r.message, LinkMessage::kWriteDone);
    EXPECT_EQ(Steps(*radio), (std::vector<std::string>{"Ma 3", "Ea 16@16", "Ea 8@40", "Ea 4@104",
                                                       "Ea 12@108", "Ea 16@72", "Ma 1"}));
    const sim::Memory m = radio->GetMemory();
    EXPECT_EQ(Bytes(m.begin() + 104, m.begin() + 108), (Bytes{0x55, 0xAA, 0xAA, 0x55}));
    EXPECT_EQ(ReadText(m.data() + 108, 12), "RV205");
    EXPECT_EQ(m[108 + 5], 0);
    EXPECT_EQ(ReadText(m.data() + 16, 12), "RV-205 PRO");
    EXPECT_EQ(ReadText(m.data() + 72, 16), "SN-0001");
    EXPECT_EQ(GetU32(m.data() + 40), ToBcd(35000000));
    // What the radio holds now, the record holds too; the stretch 120..1023 was never touched.
    EXPECT_TRUE(info.HasFactoryMarker());
    EXPECT_EQ(info.ModelIdText(), "RV205");
    const sim::Memory pattern = PatternMemory();
    EXPECT_EQ(Bytes(m.begin() + 120, m.end()), Bytes(pattern.begin() + 120, pattern.end()));
}

TEST_F(FactoryLinkTest, WriteStopsAtTheFailingBlock)
{
    const uint16_t order[] = {16, 40, 104, 108, 72};
    for (size_t k = 0; k < std::size(order); ++k) {
        SCOPED_TRACE(order[k]);
        radio->ClearFaults();
        radio->SetMemory(PatternMemory());
        radio->AddFault(Always(FaultKind::NoAnswer, "Ea", order[k]));
        CRadioInfoBlock& info = Radio().RadioInfo();
        info.SetSerialNumber("SN-" + std::to_string(k));
        const Bytes before = RecordOf(info);
        const LinkResult r = FactoryWrite(link, info, identity);
        EXPECT_EQ(r.message, LinkMessage::kWriteFailed);
        EXPECT_EQ(r.number, order[k]);
        EXPECT_NE(r.Text().find(AddressText(order[k])), std::string::npos) << r.Text();
        EXPECT_EQ(RecordOf(info), before);
        EXPECT_EQ(radio->Mode(), 1);
        // The blocks before the failing one reached the radio, the later ones did not.
        const sim::Memory m = radio->GetMemory();
        for (size_t j = 0; j < std::size(order); ++j) {
            const bool sent = j < k;
            const TransferBlock& b = kFactoryWritePlan[j];
            const bool same = std::equal(m.begin() + b.address, m.begin() + b.address + b.count,
                                         PatternMemory().begin() + b.address);
            EXPECT_EQ(same, !sent) << "block " << b.address;
        }
    }
}

TEST_F(FactoryLinkTest, WriteTuneSwitchOnlyLooksForTheRadio)
{
    const LinkResult r = FactoryProbe(link);
    EXPECT_TRUE(r.Ok()) << r.Text();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_GT(radio->CommandCount("Pa"), 0);
    EXPECT_EQ(radio->CommandCount("*"), radio->CommandCount("Pa"));

    UnplugRadio();
    EXPECT_EQ(FactoryProbe(link).message, LinkMessage::kNoRadio);
}

// ---- closing the screen and what the main window applies ----

class FactoryCloseTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
    }
};

TEST_F(FactoryCloseTest, QuestionsAskOnlyForWhatDiffersAndNoPutsTheSettingBack)
{
    struct Case {
        const char* name;
        std::string modelName;
        int low, high;
        uint8_t signal;
        std::vector<bool> answers;
        std::vector<int> asked;
        FactoryChanges changes;
    };
    const CSettings& s = Settings();
    const uint8_t same = static_cast<uint8_t>(s.Signal());
    const uint8_t other = static_cast<uint8_t>(s.Signal() == 1 ? 2 : 1);
    const Case cases[] = {
        {"nothing differs", s.ModelName(), 400, 470, same, {}, {}, {}},
        {"all taken",
         "NEW NAME",
         350,
         390,
         other,
         {true, true, true},
         {1225, 1227, 1226},
         {true, true, true}},
        {"all refused", "NEW NAME", 350, 390, other, {false, false, false}, {1225, 1227, 1226}, {}},
        {"band only", s.ModelName(), 136, 174, same, {true}, {1227}, {false, true, false}},
        {"name kept, signal taken",
         "  OTHER  ",
         400,
         470,
         other,
         {false, true},
         {1225, 1226},
         {false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRadioInfoBlock info;
        info.SetModelName(c.modelName);
        info.SetLowerEdgeBcd(ToBcd(static_cast<uint32_t>(c.low) * 100000u));
        info.SetUpperEdgeBcd(ToBcd(static_cast<uint32_t>(c.high) * 100000u));
        info.SetSignalType(c.signal);
        std::vector<bool> answers = c.answers;
        std::vector<int> asked;
        const FactoryChanges changes =
            ResolveFactoryClose(info, [&](int id, const std::string& text) {
                asked.push_back(id);
                EXPECT_FALSE(text.empty());
                const bool yes = !answers.empty() && answers.front();
                if (!answers.empty()) answers.erase(answers.begin());
                return yes;
            });
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(changes, c.changes);
        // A refused value is the setting's again.
        if (!changes.modelName) {
            EXPECT_EQ(FactoryModelName(info), s.ModelName());
        }
        if (!changes.band) {
            EXPECT_EQ(FactoryBandText(info), s.FreqRange());
        }
        if (!changes.signal) {
            EXPECT_EQ(info.SignalType(), s.Signal());
        }
    }
}

TEST_F(FactoryCloseTest, NewBandIsLearntAndTheDefaultSetLoaded)
{
    FakeDocumentUi ui;
    CQTXDoc doc(ui);
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.SetModelName("RV-205 NEW");
    info.SetLowerEdgeBcd(ToBcd(35000000));
    info.SetUpperEdgeBcd(ToBcd(39000000));
    info.SetBandCode(0x07);
    const FactoryChanges changes{true, true, false};
    std::vector<int> asked;
    const FactoryRangeOutcome outcome =
        ApplyFactoryChanges(changes, info, doc, [&](int id, const std::string&) {
            asked.push_back(id);
            return true;
        });
    EXPECT_EQ(outcome, FactoryRangeOutcome::Taken);
    EXPECT_EQ(asked, std::vector<int>{CatalogMessage::kNewRangeQuestion});
    const CSettings& s = Settings();
    EXPECT_EQ(s.ModelName(), "RV-205 NEW");
    EXPECT_EQ(s.FreqRange(), "350-390");
    EXPECT_EQ(s.PrevFreqRange(), "400-470");
    EXPECT_TRUE(ModelCatalog().RangeIsKnown(350, 390));
    FreqRangeRecord added;
    ASSERT_TRUE(
        ParseRangeRecord(CIniFile::ReadString(s.ModelDatPath(), "RV205", "Freq5", ""), added));
    EXPECT_EQ(added, (FreqRangeRecord{350, 390, 350, 390, 0x07}));
    // The default set of the new range: the record shows the new name and band.
    EXPECT_GE(ui.closeAllViews, 1);
    EXPECT_EQ(Radio().RadioInfo().ModelName(), "RV-205 NEW");
    EXPECT_EQ(FactoryBandText(Radio().RadioInfo()), "350-390");
}

TEST_F(FactoryCloseTest, DeclinedBandKeepsTheRangeButStillLoadsTheDefaultSet)
{
    FakeDocumentUi ui;
    CQTXDoc doc(ui);
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.SetLowerEdgeBcd(ToBcd(35000000));
    info.SetUpperEdgeBcd(ToBcd(39000000));
    info.SetSerialNumber("KEEP?");
    const FactoryRangeOutcome outcome = ApplyFactoryChanges(
        {false, true, false}, info, doc, [](int, const std::string&) { return false; });
    EXPECT_EQ(outcome, FactoryRangeOutcome::Declined);
    EXPECT_EQ(Settings().FreqRange(), "400-470");
    EXPECT_FALSE(ModelCatalog().RangeIsKnown(350, 390));
    EXPECT_EQ(FactoryBandText(Radio().RadioInfo()), "400-470");
    EXPECT_NE(Radio().RadioInfo().SerialNumber(), "KEEP?");
}

TEST_F(FactoryCloseTest, KnownBandIsTakenWithoutAQuestion)
{
    FakeDocumentUi ui;
    CQTXDoc doc(ui);
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.SetLowerEdgeBcd(ToBcd(13600000));
    info.SetUpperEdgeBcd(ToBcd(17400000));
    info.SetSignalType(1);
    int questions = 0;
    const FactoryRangeOutcome outcome =
        ApplyFactoryChanges({false, true, true}, info, doc, [&](int, const std::string&) {
            ++questions;
            return true;
        });
    EXPECT_EQ(outcome, FactoryRangeOutcome::Taken);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(Settings().FreqRange(), "136-174");
    EXPECT_EQ(Settings().Signal(), 1);
}

}  // namespace
}  // namespace rv::test
