// Read from Radio, Write to Radio and the service connection against the simulated radio:
// the main paths, every refusal with what it leaves behind, and the exact areas a write sends.

#include <ctime>

#include "data/Document.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/general/MiscBlock.h"
#include "editors/radio/RadioInfoBlock.h"
#include "link/LinkTestSupport.h"
#include "link/Transfer.h"

namespace rv::test {
namespace {

using sim::FaultKind;

struct Recorder : ITransferObserver {
    void OnTransferProgress(TransferDirection d, int percent) override
    {
        directions.push_back(d);
        progress.push_back(percent);
    }
    void OnTransferFinished(TransferDirection d, const LinkResult& r) override
    {
        finished.push_back(r);
    }
    std::vector<TransferDirection> directions;
    std::vector<int> progress;
    std::vector<LinkResult> finished;
};

// What a connection must leave alone when it fails.
struct Snapshot {
    std::string modelId, modelName, range, version, tableModel;
    int signal;
    Image image;
    static Snapshot Take()
    {
        const CSettings& s = Settings();
        return {s.ModelID(),   s.ModelName(), s.FreqRange(),
                s.RadioVersion(), ModelCatalog().TableModelId(), s.Signal(),
                Radio().MemoryImage()};
    }
    bool operator==(const Snapshot&) const = default;
};

class TransferTest : public SimHomeTest {
protected:
    void SetUp() override
    {
        SimHomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
        radio->SetMemory(PatternMemory());
        // The data start out different from the radio in every byte of the plan.
        Radio().MemoryImage().fill(0x5A);
    }
    LinkResult Transfer(CTransfer& t, const std::string& port = {})
    {
        LinkResult r = t.Connect(port);
        if (!r.Ok()) return r;
        return t.Run(recorder);
    }
    Recorder recorder;
};

// ----- read -----

TEST_F(TransferTest, ReadTakesRadioAndIdentityTogetherOnSuccess)
{
    Settings().SetModelName("Old name");
    Settings().SetSignal(0);
    Settings().SetRadioVersion("1.01.09.000");
    Settings().SetComPort(0);
    const Snapshot before = Snapshot::Take();

    CTransfer t(TransferDirection::Read);
    const LinkResult r = Transfer(t, std::to_string(kSimPort));
    ASSERT_TRUE(r.Ok()) << r.message;
    EXPECT_EQ(r.message, LinkMessage::kReadDone);
    ASSERT_EQ(recorder.finished.size(), 1u);
    EXPECT_EQ(recorder.finished[0].message, LinkMessage::kReadDone);
    EXPECT_FALSE(t.Link().IsOpen());
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_EQ(radio->CommandCount("Eb"), 128);
    EXPECT_EQ(t.Buffer(), radio->GetMemory());
    EXPECT_EQ(Settings().ComPort(), kSimPort);

    // Progress after every block, 0 after the first and 100 after the last.
    ASSERT_EQ(recorder.progress.size(), 128u);
    EXPECT_EQ(recorder.progress.front(), 0);
    EXPECT_EQ(recorder.progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(recorder.progress.begin(), recorder.progress.end()));

    // Nothing taken over before the commit.
    Snapshot unchanged = Snapshot::Take();
    unchanged.tableModel = before.tableModel;
    EXPECT_EQ(unchanged, before);

    t.CommitRead();
    EXPECT_EQ(Radio().MemoryImage(), radio->GetMemory());
    EXPECT_EQ(Settings().ModelID(), "RV205");
    EXPECT_EQ(Settings().ModelName(), "RV-205");
    EXPECT_EQ(Settings().Signal(), 2);
    EXPECT_EQ(Settings().RadioVersion(), "1.01.16.001");
    EXPECT_EQ(Settings().FreqRange(), "400-470");
    EXPECT_EQ(Settings().PrevFreqRange(), before.range);
}

TEST_F(TransferTest, ReadOfAnotherKnownModelTakesItsIdentityAndRangeTable)
{
    UseModel("RV305", "400-470");
    ModelCatalog().LoadRangeTable();
    CTransfer t(TransferDirection::Read);
    ASSERT_TRUE(Transfer(t).Ok());
    EXPECT_EQ(ModelCatalog().TableModelId(), "RV305");
    t.CommitRead();
    EXPECT_EQ(Settings().ModelID(), "RV205");
    EXPECT_EQ(ModelCatalog().TableModelId(), "RV205");
}

TEST_F(TransferTest, CommitWithoutSuccessDoesNothing)
{
    radio->AddFault({FaultKind::NoAnswer, "Eb", 3, 3});
    const Snapshot before = Snapshot::Take();
    CTransfer t(TransferDirection::Read);
    EXPECT_FALSE(Transfer(t).Ok());
    t.CommitRead();
    EXPECT_EQ(Snapshot::Take(), before);
}

// ----- refusals -----

struct RefusalCase {
    const char* name;
    TransferDirection direction;
    std::function<void(sim::CRadioSim&, sim::SimIdentity&)> setup;
    LinkStatus status;
    int message;
    std::string argument;
    long number;
    AnswerFault cause = AnswerFault::None;
};

/// A fault that hits every command of a kind naming argument (an address, item or mode).
sim::SimFault Always(FaultKind kind, const char* command, uint32_t argument)
{
    sim::SimFault f{kind, command, 1, 0};
    f.argument = argument;
    return f;
}

TEST_F(TransferTest, EveryRefusalLeavesSettingsAndDataAsTheyWere)
{
    using D = TransferDirection;
    const RefusalCase cases[] = {
        {"identity query fails", D::Read,
         [](sim::CRadioSim& r, sim::SimIdentity&) {
             r.AddFault({FaultKind::NoAnswer, "Bb", 2, 3});
         },
         LinkStatus::IdentityFailed, LinkMessage::kIdentityFailed, "", 0, AnswerFault::NoAnswer},
        {"unknown model", D::Read,
         [](sim::CRadioSim&, sim::SimIdentity& id) { id.modelId = "XR900"; },
         LinkStatus::ModelRefused, LinkMessage::kModelRefused, "", 0},
        {"other model on write", D::Write,
         [](sim::CRadioSim&, sim::SimIdentity& id) { id.modelId = "RV305"; },
         LinkStatus::ModelRefused, LinkMessage::kModelRefused, "", 0},
        {"version higher", D::Read,
         [](sim::CRadioSim&, sim::SimIdentity& id) { id.version = "1.02.00.000"; },
         LinkStatus::VersionRefused, LinkMessage::kVersionHigher, "", 0},
        {"version lower", D::Write,
         [](sim::CRadioSim&, sim::SimIdentity& id) { id.version = "1.00.99.999"; },
         LinkStatus::VersionRefused, LinkMessage::kVersionLower, "", 0},
        {"band differs on read", D::Read,
         [](sim::CRadioSim&, sim::SimIdentity& id) {
             id.range = sim::MakeRangeRecord(136, 174, 128);
         },
         LinkStatus::BandMismatch, LinkMessage::kBandMismatch, "136-174", 0},
        {"band differs on write", D::Write,
         [](sim::CRadioSim&, sim::SimIdentity& id) {
             id.range = sim::MakeRangeRecord(136, 174, 128);
         },
         LinkStatus::BandMismatch, LinkMessage::kBandMismatch, "136-174", 0},
        {"read mode refused", D::Read,
         [](sim::CRadioSim& r, sim::SimIdentity&) {
             r.AddFault(Always(FaultKind::RefuseMode, "Ma", 2));
         },
         LinkStatus::ModeRefused, LinkMessage::kModeRefused, "", 0, AnswerFault::Refused},
        {"read mode not answered", D::Read,
         [](sim::CRadioSim& r, sim::SimIdentity&) {
             r.AddFault(Always(FaultKind::NoAnswer, "Ma", 2));
         },
         LinkStatus::ModeRefused, LinkMessage::kModeFailed, "", 0, AnswerFault::NoAnswer},
        {"block read fails", D::Read,
         [](sim::CRadioSim& r, sim::SimIdentity&) {
             r.AddFault({FaultKind::NoAnswer, "Eb", 5, 3});
         },
         LinkStatus::BlockFailed, LinkMessage::kReadFailed, "", 64, AnswerFault::NoAnswer},
        {"last block read fails", D::Read,
         [](sim::CRadioSim& r, sim::SimIdentity&) {
             r.AddFault(Always(FaultKind::BadChecksum, "Eb", 2032));
         },
         LinkStatus::BlockFailed, LinkMessage::kReadFailed, "", 2032, AnswerFault::ChecksumError},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimIdentity id;
        sim::SimOptions options;
        StartRadio(options);
        radio->SetMemory(PatternMemory());
        c.setup(*radio, id);
        radio->SetIdentity(id);
        const Snapshot before = Snapshot::Take();

        CTransfer t(c.direction);
        Recorder rec;
        LinkResult r = t.Connect();
        if (r.Ok()) r = t.Run(rec);
        t.CommitRead();
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.argument, c.argument);
        EXPECT_EQ(r.number, c.number);
        EXPECT_EQ(r.cause, c.cause);
        EXPECT_TRUE(r.endConfirmed);
        EXPECT_FALSE(t.Link().IsOpen());
        EXPECT_EQ(radio->Mode(), 1) << "the connection is ended on every failure";
        if (c.direction == TransferDirection::Read) {
            EXPECT_EQ(Snapshot::Take(), before);
        } else {
            EXPECT_EQ(radio->GetMemory(), PatternMemory());
        }
    }
}

TEST_F(TransferTest, NoRadioIsReportedAndNothingChanges)
{
    UnplugRadio();
    Settings().SetComPort(kSimPort);
    const Snapshot before = Snapshot::Take();
    CTransfer t(TransferDirection::Read);
    const LinkResult r = t.Connect();
    EXPECT_EQ(r.status, LinkStatus::NoRadio);
    EXPECT_EQ(r.message, LinkMessage::kNoRadio);
    EXPECT_EQ(Snapshot::Take(), before);
    EXPECT_EQ(Settings().ComPort(), kSimPort);
    EXPECT_FALSE(t.Link().IsOpen());

    // The message names the ports: the search lists what it looked at, a port given by number
    // or by path is named both ways, and a machine without serial ports is told so.
    const std::string port = FillStrings(Settings().LoadMessage(LinkMessage::kPortWithNumber),
                                         {std::to_string(kSimPort), silentLine->Path()});
    EXPECT_EQ(r.Text(), Settings().LoadMessage(LinkMessage::kNoRadioOnPorts, {port}));
    for (const std::string& given : {std::to_string(kSimPort), silentLine->Path()})
        EXPECT_EQ(t.Connect(given).Text(), Settings().LoadMessage(LinkMessage::kNoRadioOnPort, {port}))
            << given;
    CIniFile::WriteString(home.Path("Settings.ini"), "Ports", "COM" + std::to_string(kSimPort), "");
    EXPECT_EQ(t.Connect().Text(), Settings().LoadMessage(LinkMessage::kNoSerialPort));
}

TEST_F(TransferTest, NamedPortThatCannotBeUsedSaysWhich)
{
    CTransfer t(TransferDirection::Read);
    LinkResult r = t.Connect("/nonexistent/ttyUSB7");
    EXPECT_EQ(r.message, LinkMessage::kPortMissing);
    EXPECT_EQ(r.argument, "/nonexistent/ttyUSB7");
    r = t.Connect("9");  // a port number that names no device
    EXPECT_EQ(r.message, LinkMessage::kPortMissing);
    EXPECT_EQ(r.argument, "9");
    r = t.Connect("/dev/null");
    EXPECT_EQ(r.message, LinkMessage::kPortFailed);
    // The radio's own port, by path, works.
    r = t.Connect(radio->DevicePath());
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(t.PortNumber(), 0);
}

TEST(LinkResultText, MessagesNameTheCauseAndThePlace)
{
    TempHome home;
    Settings().Init(home.Dir());
    auto result = [](LinkStatus status, int message, long number, AnswerFault cause, int item = 0) {
        LinkResult r;
        r.status = status;
        r.message = message;
        r.number = number;
        r.cause = cause;
        r.item = item;
        return r;
    };
    LinkResult written =
        result(LinkStatus::BlockFailed, LinkMessage::kWriteFailed, 744, AnswerFault::Garbled);
    written.written = {{120, 743}};
    LinkResult both =
        result(LinkStatus::BlockFailed, LinkMessage::kWriteFailed, 32, AnswerFault::NoAnswer);
    both.written = {{120, 783}, {1408, 2047}};
    LinkResult interrupted =
        result(LinkStatus::Interrupted, LinkMessage::kWriteInterrupted, 0, AnswerFault::None);
    interrupted.written = {{120, 743}};
    LinkResult unconfirmed =
        result(LinkStatus::BlockFailed, LinkMessage::kReadFailed, 16, AnswerFault::ShortAnswer);
    unconfirmed.endConfirmed = false;
    struct Case {
        LinkResult result;
        std::vector<std::string> contains;
    } cases[] = {
        {result(LinkStatus::BlockFailed, LinkMessage::kReadFailed, 2032,
                AnswerFault::ChecksumError),
         {"2032 (0x7F0)", "checksum error", "not been changed"}},
        {written,
         {"744 (0x2E8)", "garbled",
          "Addresses 120 (0x078) to 743 (0x2E7) hold the new configuration"}},
        {both,
         {"32 (0x020), the programming time stamp", "did not answer",
          "120 (0x078) to 783 (0x30F) and 1408 (0x580) to 2047 (0x7FF)"}},
        {result(LinkStatus::BlockFailed, LinkMessage::kWriteFailed, 120, AnswerFault::Refused),
         {"120 (0x078)", "refused", "still holds its old configuration"}},
        {result(LinkStatus::IdentityFailed, LinkMessage::kIdentityFailed, 0, AnswerFault::LineError,
                static_cast<int>(frame::IdentityItem::Version)),
         {"firmware version", "line error"}},
        {result(LinkStatus::ModeRefused, LinkMessage::kModeRefused, 0, AnswerFault::Refused,
                static_cast<int>(RadioMode::Write)),
         {"refused to change to write mode"}},
        {result(LinkStatus::ModeRefused, LinkMessage::kModeFailed, 0, AnswerFault::NoAnswer,
                static_cast<int>(RadioMode::Read)),
         {"read mode", "did not answer"}},
        {interrupted,
         {"interrupted", "Addresses 120 (0x078) to 743 (0x2E7) hold the new configuration"}},
        {unconfirmed, {"incomplete", "did not confirm the end of the connection"}},
        {{LinkStatus::BandMismatch, LinkMessage::kBandMismatch, "136-174", 0}, {"136-174 MHz"}},
        {NoRadioResult(PortError::AccessDenied, "/dev/ttyUSB0"), {"dialout"}},
        {NoRadioResult(PortError::Busy, "/dev/ttyUSB0"), {"/dev/ttyUSB0"}},
        {NoRadioResult(PortError::None, "/dev/ttyUSB0"), {"No radio answered on /dev/ttyUSB0"}},
    };
    for (const Case& c : cases) {
        const std::string text = c.result.Text();
        for (const std::string& part : c.contains)
            EXPECT_NE(text.find(part), std::string::npos) << part << " in: " << text;
        EXPECT_EQ(text.find('%'), std::string::npos) << text;
    }
}

// ----- write -----

// Image addresses a write may change: the plan's areas and the time stamp.
std::vector<bool> PlannedBytes(bool serviceLevel)
{
    std::vector<bool> planned(kImageSize, false);
    for (const TransferBlock& b : WritePlan(serviceLevel))
        for (size_t a = b.address; a < size_t{b.address} + b.count; ++a) planned[a] = true;
    return planned;
}

TEST_F(TransferTest, WriteChangesExactlyThePlannedAreasAndTheStamp)
{
    for (bool service : {false, true}) {
        SCOPED_TRACE(service ? "service level" : "normal level");
        home.SetUserLevel(service ? kServiceLevel : 0);
        StartRadio({});
        radio->SetMemory(PatternMemory());
        Radio().MemoryImage().fill(0x5A);
        Recorder rec;
        CTransfer t(TransferDirection::Write);
        const std::time_t now = std::time(nullptr);
        LinkResult r = t.Connect();
        ASSERT_TRUE(r.Ok()) << r.message;
        r = t.Run(rec);
        ASSERT_TRUE(r.Ok()) << r.message;
        EXPECT_EQ(r.message, LinkMessage::kWriteDone);
        EXPECT_EQ(radio->Mode(), 1);

        // The requests follow the plan block by block, the stamp last.
        std::vector<TransferBlock> sent;
        for (const auto& f : radio->Requests())
            if (f[1] == 'E' && f[2] == 'a')
                sent.push_back({static_cast<uint16_t>(GetU32(&f[5])),
                                static_cast<uint16_t>(GetU16(&f[3]) - 5)});
        const auto plan = WritePlan(service);
        ASSERT_EQ(sent.size(), service ? 86u : 83u);
        for (size_t i = 0; i < plan.size(); ++i) {
            EXPECT_EQ(sent[i].address, plan[i].address) << i;
            EXPECT_EQ(sent[i].count, plan[i].count) << i;
        }

        const sim::Memory after = radio->GetMemory();
        const sim::Memory original = PatternMemory();
        const std::vector<bool> planned = PlannedBytes(service);
        const Image& image = Radio().MemoryImage();
        for (size_t a = 0; a < kImageSize; ++a) {
            if (planned[a]) {
                EXPECT_EQ(after[a], image[a]) << a;
            } else {
                EXPECT_EQ(after[a], original[a]) << a;
            }
        }
        // The stamp is the local time of the write, also in the image now.
        const TimeStamp stamp = t.Stamp();
        EXPECT_TRUE(std::equal(stamp.begin(), stamp.end(), after.begin() + 32));
        std::tm local{};
        localtime_r(&now, &local);
        EXPECT_EQ(stamp[5], local.tm_year % 100);
        EXPECT_EQ(stamp[6], (local.tm_year + 1900) / 100);
        EXPECT_EQ(stamp[7], 0);

        // Progress after each block of the areas: n * 100 / total.
        const size_t total = plan.size() - 1;
        ASSERT_EQ(rec.progress.size(), total);
        for (size_t n = 1; n <= total; ++n) EXPECT_EQ(rec.progress[n - 1], int(n * 100 / total));
        EXPECT_EQ(rec.directions.front(), TransferDirection::Write);

        t.CommitWrite();
        EXPECT_EQ(Radio().RadioInfo().GetTimeStamp(), stamp);
    }
}

TEST_F(TransferTest, WriteFailuresReportTheBlockAddressAndWhatTheRadioHolds)
{
    struct Case {
        int failingWrite;  // 1-based number of the block write that fails
        long address;
        std::vector<AddressRange> written;
    } cases[] = {{1, 120, {}},
                 {10, 264, {{120, 263}}},
                 {42, 776, {{120, 775}}},
                 {83, 32, {{120, 783}, {1408, 2047}}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        StartRadio({});
        radio->SetMemory(PatternMemory());
        radio->AddFault({FaultKind::NoAnswer, "Ea", c.failingWrite, 3});
        Recorder rec;
        CTransfer t(TransferDirection::Write);
        ASSERT_TRUE(t.Connect().Ok());
        const LinkResult r = t.Run(rec);
        EXPECT_EQ(r.status, LinkStatus::BlockFailed);
        EXPECT_EQ(r.message, LinkMessage::kWriteFailed);
        EXPECT_EQ(r.number, c.address);
        EXPECT_EQ(r.cause, AnswerFault::NoAnswer);
        EXPECT_EQ(r.written, c.written);
        EXPECT_EQ(rec.finished.size(), 1u);
        EXPECT_FALSE(t.Link().IsOpen());
        EXPECT_EQ(radio->Mode(), 1) << "not left in write mode";
        EXPECT_EQ(rec.progress.size(), static_cast<size_t>(std::min(c.failingWrite - 1, 82)));
        // No new stamp in the image after a failure.
        EXPECT_EQ(Radio().MemoryImage()[32], 0x5A);
    }
}

TEST_F(TransferTest, WriteAppliesTheAdjustmentsForOlderFirmware)
{
    sim::SimIdentity id;
    id.version = "1.01.14.001";
    radio->SetIdentity(id);
    CRawRecord& misc = Radio().Misc().Raw();
    misc[5] = 0x07;
    misc[7] = 0x00;
    Radio().MemoryMap().StoreToImage(Radio().MemoryImage());
    CTransfer t(TransferDirection::Write);
    ASSERT_TRUE(Transfer(t).Ok());
    const sim::Memory after = radio->GetMemory();
    EXPECT_EQ(after[281 + 5], 0);
    EXPECT_EQ(after[281 + 7], 0x07);

    // Not for the model of model text 310.
    UseModel("RV385", "400-470");
    id.modelId = "RV385";
    radio->SetIdentity(id);
    Radio().Misc().Raw()[5] = 0x07;
    Radio().MemoryMap().StoreToImage(Radio().MemoryImage());
    CTransfer t2(TransferDirection::Write);
    ASSERT_TRUE(Transfer(t2).Ok());
    EXPECT_EQ(radio->GetMemory()[281 + 5], 0x07);
}

TEST_F(TransferTest, RetriedBlocksStillGiveTheWholeImage)
{
    radio->AddFault({FaultKind::ShortAnswer, "Eb", 10, 2});
    radio->AddFault({FaultKind::LineError, "Eb", 50, 1});
    radio->AddFault({FaultKind::NoAnswer, "Eb", 100, 2});
    CTransfer t(TransferDirection::Read);
    ASSERT_TRUE(Transfer(t).Ok());
    EXPECT_EQ(t.Buffer(), radio->GetMemory());
    EXPECT_EQ(radio->CommandCount("Eb"), 128 + 5);
}

// ----- the service connection -----

struct StubUi : DocumentUi {
    bool AskYesNo(int, const std::string&) override { return true; }
    void ShowMessage(int, const std::string&) override {}
    void CloseAllViews() override { ++closed; }
    void Refresh() override { ++refreshed; }
    int closed = 0;
    int refreshed = 0;
};

TEST_F(TransferTest, IdentifyRadioConnectsInTheGivenMode)
{
    StubUi ui;
    CQTXDoc doc(ui);
    CRadioProtocol link;
    sim::SimIdentity id;
    id.version = "1.01.17.002";
    radio->SetIdentity(id);
    const LinkResult r = IdentifyRadio(link, RadioMode::Adjust, doc, ui);
    ASSERT_TRUE(r.Ok()) << r.message;
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(radio->Mode(), 6);
    EXPECT_EQ(Settings().RadioVersion(), "1.01.17.002");
    EXPECT_GE(ui.closed, 1);
    link.SetRadioMode(RadioMode::End);
    link.Close();
}

TEST_F(TransferTest, IdentifyRadioOfAnotherModelLoadsItsDefaultsAndKeepsTheRadioVersion)
{
    UseModel("RV305", "400-470");
    StubUi ui;
    CQTXDoc doc(ui);
    CRadioProtocol link;
    sim::SimIdentity id;
    id.version = "1.01.12.000";
    radio->SetIdentity(id);
    ASSERT_TRUE(IdentifyRadio(link, RadioMode::Adjust, doc, ui).Ok());
    EXPECT_EQ(Settings().ModelID(), "RV205");
    EXPECT_EQ(Settings().RadioVersion(), "1.01.12.000");
    EXPECT_EQ(ModelCatalog().TableModelId(), "RV205");
}

TEST_F(TransferTest, IdentifyRadioRefusals)
{
    struct Case {
        const char* name;
        RadioMode mode;
        std::function<void(sim::CRadioSim&, sim::SimIdentity&)> setup;
        int message;
    } cases[] = {
        {"band differs", RadioMode::Adjust,
         [](sim::CRadioSim&, sim::SimIdentity& id) {
             id.range = sim::MakeRangeRecord(136, 174, 128);
         },
         LinkMessage::kBandMismatch},
        {"other model for writing", RadioMode::Write,
         [](sim::CRadioSim&, sim::SimIdentity& id) { id.modelId = "RV305"; },
         LinkMessage::kModelRefused},
        {"mode refused", RadioMode::Write,
         [](sim::CRadioSim& r, sim::SimIdentity&) {
             r.AddFault(Always(FaultKind::RefuseMode, "Ma", 3));
         },
         LinkMessage::kModeRefused},
        {"mode not taken", RadioMode::Adjust,
         [](sim::CRadioSim& r, sim::SimIdentity&) {
             r.AddFault(Always(FaultKind::ShortAnswer, "Ma", 6));
         },
         LinkMessage::kModeFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartRadio({});
        sim::SimIdentity id;
        c.setup(*radio, id);
        radio->SetIdentity(id);
        StubUi ui;
        CQTXDoc doc(ui);
        CRadioProtocol link;
        const LinkResult r = IdentifyRadio(link, c.mode, doc, ui);
        EXPECT_EQ(r.message, c.message);
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(radio->Mode(), 1);
        EXPECT_EQ(Settings().FreqRange(), "400-470");
    }
}

}  // namespace
}  // namespace rv::test
