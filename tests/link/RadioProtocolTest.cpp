// The frame protocol against the simulated radio over a real pseudo-terminal: every request
// byte for byte, the answer checks, the retries and the search for the radio.

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "base/Bytes.h"
#include "link/LinkTestSupport.h"
#include "link/RadioProtocol.h"

namespace rv::test {
namespace {

using sim::FaultKind;
using Bytes = std::vector<uint8_t>;

class RadioProtocolTest : public SimHomeTest {
protected:
    void SetUp() override
    {
        SimHomeTest::SetUp();
        Connect();
    }
    void Connect()
    {
        link.Close();
        ASSERT_TRUE(link.ConnectDevice(radio->DevicePath(), true));
    }
    Bytes LastRequest() const
    {
        auto r = radio->Requests();
        return r.empty() ? Bytes{} : r.back();
    }
    CRadioProtocol link;
};

// ----- requests, byte for byte -----

struct FrameCase {
    const char* name;
    std::function<bool(CRadioProtocol&)> command;
    Bytes request;
};

TEST_F(RadioProtocolTest, EveryRequestIsFramedByteForByte)
{
    uint8_t buf[16];
    const uint8_t data8[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const uint8_t tune[2] = {0x34, 0x12};
    const FrameCase cases[] = {
        {"handshake", [](CRadioProtocol& l) { return l.Handshake(); }, {0x02, 'P', 'a', 0x03}},
        {"mode 2", [](CRadioProtocol& l) { return l.SetRadioMode(RadioMode::Read); },
         {0x02, 'M', 'a', 0x02, 0x00, 0x03}},
        {"read block", [&](CRadioProtocol& l) { return l.ReadBlock(0x0130, 16, buf); },
         {0x02, 'E', 'b', 0x30, 0x01, 0x00, 0x00, 0x10, 0x00, 0x03}},
        {"mode 3", [](CRadioProtocol& l) { return l.SetRadioMode(RadioMode::Write); },
         {0x02, 'M', 'a', 0x03, 0x00, 0x03}},
        {"write block of 8",
         [&](CRadioProtocol& l) { return l.WriteBlock(776, 8, data8); },
         {0x02, 'E', 'a', 0x0D, 0x00, 0x08, 0x03, 0x00, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 0x1E, 0x03}},
        {"tune read", [&](CRadioProtocol& l) { return l.GetTuneValue(0x850B, buf, 2); },
         {0x02, 'V', 'b', 0x0B, 0x85, 0x03}},
        {"tune write", [&](CRadioProtocol& l) { return l.SetTuneValue(0x8301, tune, 2); },
         {0x02, 'V', 'a', 0x01, 0x83, 0x34, 0x12, 0x03}},
        {"end tuning, keep", [](CRadioProtocol& l) { return l.EndTuning(true); },
         {0x02, 'V', 'j', 0x00, 0x00, 0x03}},
        {"end tuning, discard", [](CRadioProtocol& l) { return l.EndTuning(false); },
         {0x02, 'V', 'k', 0x00, 0x00, 0x03}},
        {"test state", [](CRadioProtocol& l) { return l.SwitchTestState('b', 1); },
         {0x02, 'O', 'b', 0x01, 0x00, 0x03}},
        {"end", [](CRadioProtocol& l) { return l.SetRadioMode(RadioMode::End); },
         {0x02, 'M', 'a', 0x01, 0x00, 0x03}},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.command(link));
        EXPECT_EQ(HexBytes(LastRequest()), HexBytes(c.request));
    }
}

TEST_F(RadioProtocolTest, WriteFrameOfSixteenBytesCarriesLength21BeforeTheAddress)
{
    ASSERT_TRUE(link.SetRadioMode(RadioMode::Write));
    uint8_t data[16];
    for (int i = 0; i < 16; ++i) data[i] = static_cast<uint8_t>(0xF0 + i);
    ASSERT_TRUE(link.WriteBlock(0x0580, 16, data));
    const Bytes f = LastRequest();
    ASSERT_EQ(f.size(), 27u);
    EXPECT_EQ(f[3], 0x15);
    EXPECT_EQ(f[4], 0x00);
    EXPECT_EQ(GetU32(&f[5]), 0x0580u);
    unsigned sum = 0;
    for (size_t i = 1; i <= 25; ++i) sum += f[i];
    EXPECT_EQ(sum & 0xFF, 0u);  // checksum over offsets 1 .. n+8 plus itself
    EXPECT_EQ(f[26], 0x03);
    EXPECT_EQ(radio->GetMemory()[0x0580 + 15], 0xFF);
}

TEST_F(RadioProtocolTest, IdentityIsQueriedItemByItem)
{
    RadioIdentity id;
    ASSERT_TRUE(link.QueryIdentity(CRadioProtocol::kReferenceVersion, id));
    const auto requests = radio->Requests();
    ASSERT_GE(requests.size(), 5u);
    const uint8_t items[] = {0x03, 0x05, 0x07, 0x21, 0x22};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(requests[requests.size() - 5 + i], (Bytes{0x02, 'B', 'b', items[i], 0x00, 0x03}));
    EXPECT_EQ(id.modelName, "RV-205");
    EXPECT_EQ(id.range, (Bytes{0x01, 0, 0, 0, 0x40, 0, 0, 0, 0x47}));
    EXPECT_EQ(id.signal, 2u);
    EXPECT_EQ(id.version, "1.01.16.001");
    EXPECT_EQ(id.versionCompare, 0);
    EXPECT_EQ(id.modelId, "RV205");
}

TEST(CompareVersion, ComparesTheFirstFourBytesUnsigned)
{
    struct Case {
        const char* radio;
        int expected;
    } cases[] = {{"1.01.16.001", 0}, {"1.01.99.999", 0}, {"1.02.00.000", 1}, {"1.00.16.001", -1},
                 {"0.99", -1},       {"2", 1},          {"1.0\xF0", 1}};
    for (const Case& c : cases) {
        uint8_t bytes[16] = {};
        std::memcpy(bytes, c.radio, std::strlen(c.radio));
        EXPECT_EQ(CompareVersion(bytes, "1.01.16.001"), c.expected) << c.radio;
    }
}

// ----- answers -----

TEST_F(RadioProtocolTest, ReadBlockDeliversTheMemory)
{
    const sim::Memory m = PatternMemory();
    radio->SetMemory(m);
    ASSERT_TRUE(link.SetRadioMode(RadioMode::Read));
    uint8_t out[16];
    ASSERT_TRUE(link.ReadBlock(2032, 16, out));
    EXPECT_TRUE(std::equal(out, out + 16, m.begin() + 2032));
}

TEST_F(RadioProtocolTest, ModeChangeAcceptsBothAnswers)
{
    EXPECT_TRUE(link.SetRadioMode(RadioMode::Adjust));
    sim::SimOptions options;
    options.acceptWithAc = true;
    StartRadio(options);
    Connect();
    EXPECT_TRUE(link.SetRadioMode(RadioMode::Write));
    EXPECT_EQ(radio->Mode(), 3);
    radio->AddFault({FaultKind::RefuseMode, "Ma", 2, 0});
    EXPECT_FALSE(link.SetRadioMode(RadioMode::Read));
    EXPECT_EQ(link.LastFault(), AnswerFault::Refused);
    EXPECT_EQ(radio->CommandCount("Ma"), 4);  // a refusal is asked again like any fault
    EXPECT_EQ(radio->Mode(), 3);
}

TEST_F(RadioProtocolTest, ReadTuneValueNeedsTheAdjustmentMode)
{
    radio->SetTuneValue(0x8301, 0x1234);
    uint8_t v[2];
    EXPECT_EQ(link.ReadTuneValue(0x8301, v, 2), 1);
    EXPECT_EQ(GetU16(v), 0x1234);
    EXPECT_EQ(radio->Mode(), 6);
    radio->AddFault({FaultKind::RefuseMode, "Ma", 2, 3});
    EXPECT_EQ(link.ReadTuneValue(0x8301, v, 2), -1);
    radio->AddFault({FaultKind::BadChecksum, "Vb", 2, 0});  // corrupts the answer's item
    EXPECT_EQ(link.ReadTuneValue(0x8301, v, 2), 0);
    EXPECT_EQ(link.LastFault(), AnswerFault::Garbled);
    uint8_t nv[2] = {0x22, 0x00};
    EXPECT_TRUE(link.SetTuneValue(0x850B, nv, 2));
    EXPECT_EQ(radio->TuneValue(0x850B), 0x0022);
    EXPECT_TRUE(link.SwitchTestState('a', 1));
    EXPECT_EQ(radio->TestVariant(), 'a');
    EXPECT_EQ(radio->TestState(), 1);
}

// Retries: every kind of fault is asked again, up to three exchanges in all; the last fault
// says why a command failed.
struct RetryCase {
    const char* name;
    FaultKind kind;
    int times;
    bool delivered;
    int exchanges;
    AnswerFault fault;  // after the last exchange
};

TEST_F(RadioProtocolTest, BlockReadTriesEveryFaultKindAgain)
{
    const RetryCase cases[] = {
        {"two missing answers", FaultKind::NoAnswer, 2, true, 3, AnswerFault::None},
        {"two short answers", FaultKind::ShortAnswer, 2, true, 3, AnswerFault::None},
        {"line error", FaultKind::LineError, 1, true, 2, AnswerFault::None},
        {"wrong checksum", FaultKind::BadChecksum, 1, true, 2, AnswerFault::None},
        {"refusal", FaultKind::RefuseMode, 2, true, 3, AnswerFault::None},
        {"three missing answers", FaultKind::NoAnswer, 3, false, 3, AnswerFault::NoAnswer},
        {"three short answers", FaultKind::ShortAnswer, 3, false, 3, AnswerFault::ShortAnswer},
        {"three wrong checksums", FaultKind::BadChecksum, 3, false, 3, AnswerFault::ChecksumError},
        {"three refusals", FaultKind::RefuseMode, 3, false, 3, AnswerFault::Refused},
        {"three line errors", FaultKind::LineError, 3, false, 3, AnswerFault::LineError},
    };
    radio->SetMemory(PatternMemory());
    ASSERT_TRUE(link.SetRadioMode(RadioMode::Read));
    for (const RetryCase& c : cases) {
        SCOPED_TRACE(c.name);
        radio->ClearFaults();
        const int before = radio->CommandCount("Eb");
        radio->AddFault({c.kind, "Eb", before + 1, c.times});
        uint8_t out[16] = {};
        EXPECT_EQ(link.ReadBlock(64, 16, out), c.delivered);
        EXPECT_EQ(radio->CommandCount("Eb") - before, c.exchanges);
        EXPECT_EQ(link.LastFault(), c.fault);
        if (c.delivered) {
            const sim::Memory m = radio->GetMemory();
            EXPECT_TRUE(std::equal(out, out + 16, m.begin() + 64));
        }
    }
}

TEST_F(RadioProtocolTest, BlockWriteTriesAGarbledOrRefusedAcknowledgementAgain)
{
    struct Case {
        const char* name;
        FaultKind kind;
        int times;
        bool acknowledged;
        AnswerFault fault;
    } cases[] = {
        {"garbled once", FaultKind::BadChecksum, 1, true, AnswerFault::None},
        {"refused once", FaultKind::RefuseMode, 1, true, AnswerFault::None},
        {"garbled three times", FaultKind::BadChecksum, 3, false, AnswerFault::Garbled},
        {"refused three times", FaultKind::RefuseMode, 3, false, AnswerFault::Refused},
    };
    ASSERT_TRUE(link.SetRadioMode(RadioMode::Write));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio->ClearFaults();
        const int before = radio->CommandCount("Ea");
        radio->AddFault({c.kind, "Ea", before + 1, c.times});
        const uint8_t data[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        EXPECT_EQ(link.WriteBlock(640, 16, data), c.acknowledged);
        EXPECT_EQ(link.LastFault(), c.fault);
        EXPECT_EQ(radio->CommandCount("Ea") - before, c.acknowledged ? c.times + 1 : 3);
    }
}

TEST(RadioProtocolAnswer, BlockReadHeaderIsNotCompared)
{
    PtyPair pty;
    CRadioProtocol link;
    ASSERT_TRUE(link.Open(pty.Path()));
    link.Configure(9600, 8, Parity::None, StopBits::Two);
    link.SetReadTimeout(500);
    std::thread radio([&pty] {
        pty.Receive(10);
        Bytes a = {0x7E, 9, 9, 9, 9, 9, 9, 9, 9};  // a header unlike the request's
        for (int i = 0; i < 4; ++i) a.push_back(static_cast<uint8_t>(0xA0 + i));
        a.push_back(frame::Checksum(&a[1], a.size() - 1));
        a.push_back(0x55);
        pty.Send(a);
    });
    uint8_t out[4] = {};
    EXPECT_TRUE(link.ReadBlock(0, 4, out));
    radio.join();
    EXPECT_EQ(out[3], 0xA3);
}

// ----- answers that cannot be told apart -----

/// A link on a bare pseudo-terminal whose far end the test plays, with the program's timing.
class ScriptedRadio : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(link.Open(pty.Path()));
        link.Configure(9600, 8, Parity::None, StopBits::Two);
        link.SetReadTimeout(CRadioProtocol::kReadTimeoutMs);
    }
    /// A block-read answer of 4 data bytes `fill`, its header unlike any request's.
    static Bytes Answer(uint8_t fill)
    {
        Bytes a = {0x02, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, fill, fill, fill, fill};
        a.push_back(frame::Checksum(&a[1], a.size() - 1));
        a.push_back(0x03);
        return a;
    }
    static constexpr size_t kRequest = 10;  // a block-read request
    PtyPair pty;
    CRadioProtocol link;
};

TEST_F(ScriptedRadio, LateAnswerIsNeverTakenForTheNextBlock)
{
    // Every answer carries the bytes of the block asked for: 0xA0 for block 0, 0xB0 for 16.
    auto answerFor = [](const Bytes& request) {
        return Answer(request.size() == kRequest && request[3] == 16 ? 0xB0 : 0xA0);
    };
    std::atomic<bool> done{false};
    std::thread radio([&] {
        // Block 0: the answer to the first attempt comes only after the second attempt was
        // sent, the answer to the second attempt 150 ms after that.
        const Bytes first = pty.Receive(kRequest, 2000);
        const Bytes second = pty.Receive(kRequest, 2000);
        pty.Send(answerFor(first));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        pty.Send(answerFor(second));
        // From then on every request is answered at once.
        while (!done) {
            const Bytes request = pty.Receive(kRequest, 50);
            if (request.size() == kRequest) pty.Send(answerFor(request));
        }
    });
    uint8_t first[4] = {}, second[4] = {};
    const bool firstDelivered = link.ReadBlock(0, 4, first);
    const bool secondDelivered = link.ReadBlock(16, 4, second);
    done = true;
    radio.join();
    // Each block is its own bytes or a failure, never the late answer of the one before.
    EXPECT_TRUE(firstDelivered);
    if (firstDelivered) {
        EXPECT_EQ(first[0], 0xA0);
    }
    EXPECT_TRUE(secondDelivered);
    if (secondDelivered) {
        EXPECT_EQ(second[0], 0xB0);
    }
    EXPECT_GE(link.Traffic().bytesDrained, Answer(0xA0).size()) << "the late answer was waited out";
}

TEST_F(ScriptedRadio, BytesBeyondTheAnswerSpoilTheExchange)
{
    std::vector<Bytes> requests;
    std::thread radio([this, &requests] {
        requests.push_back(pty.Receive(kRequest, 2000));
        Bytes spoiled = Answer(0xEE);
        spoiled.insert(spoiled.end(), {0x55, 0x02, 0x41});
        pty.Send(spoiled);
        requests.push_back(pty.Receive(kRequest, 2000));
        pty.Send(Answer(0xA0));
    });
    uint8_t out[4] = {};
    EXPECT_TRUE(link.ReadBlock(0, 4, out));
    radio.join();
    EXPECT_EQ(out[0], 0xA0);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], requests[0]);  // the same request again
}

TEST_F(ScriptedRadio, InputWaitingBeforeARequestIsDiscarded)
{
    // An answer nobody asked for is waiting when the program asks for block 0.
    pty.Send(Answer(0xEE));
    for (int i = 0; i < 100 && link.Pending() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GT(link.Pending(), 0u);
    std::thread radio([this] {
        pty.Receive(kRequest, 2000);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pty.Send(Answer(0xA0));
    });
    uint8_t out[4] = {};
    EXPECT_TRUE(link.ReadBlock(0, 4, out));
    radio.join();
    EXPECT_EQ(out[0], 0xA0);
}

TEST_F(RadioProtocolTest, IdentityFailureKeepsTheItemsBeforeItAndNamesTheItem)
{
    sim::SimFault version{FaultKind::BadChecksum, "Bb", 1, 0};
    version.argument = 0x21;
    radio->AddFault(version);
    RadioIdentity id;
    EXPECT_FALSE(link.QueryIdentity(CRadioProtocol::kReferenceVersion, id));
    EXPECT_EQ(link.FailedIdentityItem(), frame::IdentityItem::Version);
    EXPECT_EQ(link.LastFault(), AnswerFault::ChecksumError);
    EXPECT_EQ(id.modelName, "RV-205");
    EXPECT_EQ(id.range.size(), 9u);
    EXPECT_EQ(id.signal, 2u);
    EXPECT_EQ(id.version, "");
    EXPECT_EQ(id.modelId, "");
    EXPECT_EQ(radio->CommandCount("Bb"), 3 + 3);
}

// ----- handshakes and the search -----

TEST_F(RadioProtocolTest, PatientHandshakeAsksTwelveTimes)
{
    const int before = radio->CommandCount("Pa");
    radio->AddFault({FaultKind::ShortAnswer, "Pa", before + 1, 11});
    EXPECT_TRUE(link.HandshakePatient());
    EXPECT_EQ(radio->CommandCount("Pa") - before, 12);
    radio->AddFault({FaultKind::NoAnswer, "Pa", before + 13, 12});
    EXPECT_FALSE(link.HandshakePatient());
    EXPECT_EQ(radio->CommandCount("Pa") - before, 24);
}

TEST_F(RadioProtocolTest, RefusedHandshakeEndsAfterOneExchange)
{
    const int before = radio->CommandCount("Pa");
    radio->AddFault({FaultKind::RefuseMode, "Pa", before + 1, 0});
    EXPECT_FALSE(link.HandshakePatient());
    EXPECT_EQ(link.LastFault(), AnswerFault::Refused);
    EXPECT_EQ(radio->CommandCount("Pa") - before, 3);  // one exchange of three attempts
}

TEST_F(RadioProtocolTest, FindRadioTriesTheStoredPortFirst)
{
    link.Close();
    EXPECT_EQ(link.FindRadio(), kSimPort);
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(link.PortName(), radio->DevicePath());
    EXPECT_EQ(link.ReadTimeout(), 70u);
    EXPECT_EQ(radio->CommandCount("Pa"), 2);  // Connect in SetUp, then the stored port
}

TEST_F(RadioProtocolTest, FindRadioSearchesFromPortOneWhenTheStoredPortFails)
{
    link.Close();
    // Stored port 0 names no device; the search reaches port 3.
    Settings().SetComPort(0);
    EXPECT_EQ(link.FindRadio(), kSimPort);
    // A stored port whose radio fails all twelve handshakes: the search asks it again.
    link.Close();
    Settings().SetComPort(kSimPort);
    const int before = radio->CommandCount("Pa");
    radio->AddFault({FaultKind::ShortAnswer, "Pa", before + 1, 12});
    EXPECT_EQ(link.FindRadio(), kSimPort);
    EXPECT_EQ(radio->CommandCount("Pa") - before, 13);
}

TEST_F(RadioProtocolTest, FindRadioWithoutRadioLeavesNoPortOpen)
{
    link.Close();
    UnplugRadio();
    EXPECT_EQ(link.FindRadio(), 0);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(RadioProtocolTest, PortNumbersNameDevices)
{
    EXPECT_EQ(PortDevice(kSimPort), radio->DevicePath());
    EXPECT_EQ(PortDevice(0), "");
    EXPECT_EQ(PortDevice(17), "");
    SetSerialDeviceSource([] { return std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyS0"}; });
    EXPECT_EQ(PortDevice(1), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevice(2), "/dev/ttyS0");
    EXPECT_EQ(PortDevice(4), "");
    int n = -1;
    EXPECT_EQ(ResolvePort("2", n), "/dev/ttyS0");
    EXPECT_EQ(n, 2);
    EXPECT_EQ(ResolvePort("com3", n), radio->DevicePath());
    EXPECT_EQ(n, 3);
    EXPECT_EQ(ResolvePort("/dev/ttyACM1", n), "/dev/ttyACM1");
    EXPECT_EQ(n, 0);
}

TEST(PortNames, UsbAdaptersComeFirstInNumericOrder)
{
    std::vector<std::string> names = {"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyACM0",
                                      "/dev/ttyS0", "/dev/ttyUSB2"};
    SortDeviceNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0",
                                               "/dev/ttyS0", "/dev/ttyS1"}));
}

}  // namespace
}  // namespace rv::test
