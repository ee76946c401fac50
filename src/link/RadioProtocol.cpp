#include "link/RadioProtocol.h"

#include <algorithm>
#include <cstring>

#include "base/Bytes.h"
#include "base/Settings.h"
#include "link/LinkTrace.h"
#include "link/PortNames.h"

namespace rv {

namespace {

using namespace frame;

// Rank of an open failure for SearchError: the higher, the more it tells the user.
int Rank(PortError e)
{
    switch (e) {
        case PortError::AccessDenied:
            return 5;
        case PortError::Busy:
            return 4;
        case PortError::NotSerial:
            return 3;
        case PortError::Failed:
            return 2;
        case PortError::NotFound:
            return 1;
        case PortError::None:
            return 0;
    }
    return 0;
}

std::array<uint8_t, ShortRequest::kSize> ShortFrame(Command command, uint8_t arg0, uint8_t arg1)
{
    std::array<uint8_t, ShortRequest::kSize> f{};
    f[ShortRequest::Offset::kStx] = kStx;
    f[ShortRequest::Offset::kCommand] = static_cast<uint8_t>(command.first);
    f[ShortRequest::Offset::kCommand + 1] = static_cast<uint8_t>(command.second);
    f[ShortRequest::Offset::kArgument] = arg0;
    f[ShortRequest::Offset::kArgument + 1] = arg1;
    f[ShortRequest::Offset::kEtx] = kEtx;
    return f;
}

// Identity items in the order they are queried, with their data lengths (0: the caller's).
struct IdentityStep {
    IdentityItem item;
    size_t length;
};
constexpr IdentityStep kIdentitySteps[] = {
    {IdentityItem::ModelName, kModelNameLength}, {IdentityItem::Range, 0},
    {IdentityItem::Signal, kSignalLength},       {IdentityItem::Version, kVersionLength},
    {IdentityItem::ModelId, kModelIdLength},
};

// An acknowledgement of command: the expected one (or, for a mode change, the alternative),
// the radio's refusal, or something else.
AnswerFault JudgeAck(const uint8_t* answer, Command command, bool alternativeAccepts)
{
    auto is = [answer, command](Command letters) {
        const auto frame = MakeAck(command, letters);
        return std::equal(frame.begin(), frame.end(), answer);
    };
    if (is(kAck) || (alternativeAccepts && is(kAckAlternative))) return AnswerFault::None;
    if (is(kRefusal)) return AnswerFault::Refused;
    return AnswerFault::Garbled;
}

// How much a handshake failure tells the user: a refusal most, no answer least.
int Rank(AnswerFault f)
{
    switch (f) {
        case AnswerFault::Refused:
            return 4;
        case AnswerFault::Garbled:
        case AnswerFault::ChecksumError:
            return 3;
        case AnswerFault::ShortAnswer:
        case AnswerFault::LineError:
            return 2;
        case AnswerFault::NoAnswer:
            return 1;
        case AnswerFault::None:
            return 0;
    }
    return 0;
}

}  // namespace

int CompareVersion(const uint8_t* versionBytes, const std::string& reference)
{
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t ref = i < reference.size() ? static_cast<uint8_t>(reference[i]) : 0;
        if (versionBytes[i] != ref) return versionBytes[i] < ref ? -1 : 1;
    }
    return 0;
}

bool CRadioProtocol::Transact(const uint8_t* request, size_t requestLength, uint8_t* answer,
                              size_t answerLength, int attempts)
{
    return Transact(request, requestLength, answer, answerLength, AnswerCheck{}, attempts);
}

void CRadioProtocol::SettleLine()
{
    if (!unsettled_) return;
    unsettled_ = false;
    const IClock::TimePoint notBefore = std::max(settleAfter_, Clock().Now());
    settleAfter_ = {};
    if (!DrainInput(std::chrono::milliseconds(kReadTimeoutMs), notBefore, kDrainLimit))
        unsettled_ = true;  // the line keeps sending: the next request waits again
}

CLinkTrace* CRadioProtocol::Trace() const
{
    return trace_ ? trace_ : SessionTrace();
}

bool CRadioProtocol::Transact(const uint8_t* request, size_t requestLength, uint8_t* answer,
                              size_t answerLength, const AnswerCheck& check, int attempts)
{
    // Every frame of every command passes here, so the trace is written here alone.
    CLinkTrace* const trace = Trace();
    lastFault_ = AnswerFault::None;
    IClock::TimePoint firstSent{};
    for (int attempt = 0; attempt < attempts; ++attempt) {
        SettleLine();
        if (unsettled_) {
            // Nothing can be told apart on a line that never falls quiet.
            lastFault_ = AnswerFault::Garbled;
            continue;
        }
        PurgeInput();
        const IClock::TimePoint sent = Clock().Now();
        if (attempt == 0) firstSent = sent;
        Write(request, requestLength);
        if (trace) trace->Frame(PortName(), true, request, requestLength);
        Clock().Sleep(kAnswerDelay);
        const size_t got = Read(answer, answerLength);
        if (trace && got > 0) trace->Frame(PortName(), false, answer, got, request, requestLength);
        AnswerFault fault = AnswerFault::None;
        if (got == answerLength) {
            if (Pending() > 0)
                fault = AnswerFault::Garbled;  // more than the answer: not one answer alone
            else if (check)
                fault = check(answer);
        } else if (got == 0) {
            fault = LineErrorSeen() ? AnswerFault::LineError : AnswerFault::NoAnswer;
        } else {
            // A refusal is shorter than most answers; it names the command it refuses.
            fault = AnswerFault::ShortAnswer;
            constexpr size_t kLetters = ShortRequest::Offset::kCommand;
            if (check && got == Ack::kSize && requestLength > kLetters + 1) {
                const Command command{static_cast<char>(request[kLetters]),
                                      static_cast<char>(request[kLetters + 1])};
                if (JudgeAck(answer, command, false) == AnswerFault::Refused)
                    fault = AnswerFault::Refused;
            }
        }
        if (fault == AnswerFault::None) {
            lastFault_ = AnswerFault::None;
            if (attempt > 0) {
                // The answer taken may be the late answer to the first attempt; the answers
                // to the later attempts are then as late after their requests.
                unsettled_ = true;
                settleAfter_ = sent + (Clock().Now() - firstSent);
            }
            return true;
        }
        lastFault_ = fault;
        unsettled_ = true;
        if (trace) trace->Fault(PortName(), fault, got, attempt + 1);
    }
    return false;
}

bool CRadioProtocol::TransactAck(const uint8_t* request, size_t requestLength, Command command)
{
    std::array<uint8_t, Ack::kSize> answer{};
    return Transact(request, requestLength, answer.data(), answer.size(),
                    [command](const uint8_t* a) { return JudgeAck(a, command, false); });
}

bool CRadioProtocol::Handshake()
{
    const uint8_t request[HandshakeRequest::kSize] = {kStx, 'P', 'a', kEtx};
    if (!TransactAck(request, sizeof request, kHandshake)) return false;
    PurgeInput();
    return true;
}

bool CRadioProtocol::HandshakePatient()
{
    const uint8_t request[HandshakeRequest::kSize] = {kStx, 'P', 'a', kEtx};
    for (int round = 0; round < kPatientRounds; ++round) {
        if (TransactAck(request, sizeof request, kHandshake)) {
            PurgeInput();
            return true;
        }
        // A radio that answered completely, but not with the acknowledgement, has decided.
        if (lastFault_ == AnswerFault::Refused || lastFault_ == AnswerFault::Garbled) return false;
        if (round + 1 < kPatientRounds) Clock().Sleep(kPatientPause);
    }
    return false;
}

bool CRadioProtocol::SetRadioMode(uint16_t mode)
{
    const auto request =
        ShortFrame(kSetMode, static_cast<uint8_t>(mode), static_cast<uint8_t>(mode >> 8));
    std::array<uint8_t, Ack::kSize> answer{};
    return Transact(request.data(), request.size(), answer.data(), answer.size(),
                    [](const uint8_t* a) { return JudgeAck(a, kSetMode, true); });
}

bool CRadioProtocol::ReadBlock(uint32_t address, uint16_t count, uint8_t* destination)
{
    uint8_t request[ReadRequest::kSize];
    request[ReadRequest::Offset::kStx] = kStx;
    request[ReadRequest::Offset::kCommand] = static_cast<uint8_t>(kReadBlock.first);
    request[ReadRequest::Offset::kCommand + 1] = static_cast<uint8_t>(kReadBlock.second);
    PutU32(request + ReadRequest::Offset::kAddress, address);
    PutU16(request + ReadRequest::Offset::kCount, count);
    request[ReadRequest::Offset::kEtx] = kEtx;

    // The first byte, the header bytes and the last byte of the answer are not compared: a
    // radio may fill them otherwise than the request.
    const size_t sumAt = ReadAnswer::ChecksumAt(count);
    std::vector<uint8_t> answer(ReadAnswer::Size(count));
    if (!Transact(request, sizeof request, answer.data(), answer.size(), [sumAt](const uint8_t* a) {
            return Checksum(a + ReadAnswer::Offset::kHeader, sumAt - ReadAnswer::Offset::kHeader) ==
                           a[sumAt]
                       ? AnswerFault::None
                       : AnswerFault::ChecksumError;
        }))
        return false;
    std::memcpy(destination, answer.data() + ReadAnswer::Offset::kData, count);
    return true;
}

bool CRadioProtocol::WriteBlock(uint32_t address, uint16_t count, const uint8_t* source)
{
    std::vector<uint8_t> request(WriteRequest::Size(count));
    request[WriteRequest::Offset::kStx] = kStx;
    request[WriteRequest::Offset::kCommand] = static_cast<uint8_t>(kWriteBlock.first);
    request[WriteRequest::Offset::kCommand + 1] = static_cast<uint8_t>(kWriteBlock.second);
    PutU16(&request[WriteRequest::Offset::kLength], WriteRequest::LengthField(count));
    PutU32(&request[WriteRequest::Offset::kAddress], address);
    std::memcpy(&request[WriteRequest::Offset::kData], source, count);
    const size_t sumAt = WriteRequest::ChecksumAt(count);
    request[sumAt] = Checksum(&request[1], sumAt - 1);
    request[sumAt + 1] = kEtx;

    Clock().Sleep(kWriteDelay);
    return TransactAck(request.data(), request.size(), kWriteBlock);
}

bool CRadioProtocol::QueryIdentity(const std::string& referenceVersion, RadioIdentity& identity,
                                   size_t rangeLength)
{
    for (const IdentityStep& step : kIdentitySteps) {
        const size_t n = step.length ? step.length : rangeLength;
        const auto request = ShortFrame(kQueryIdentity, static_cast<uint8_t>(step.item), 0);
        std::vector<uint8_t> answer(IdentityAnswer::Size(n));
        const size_t sumAt = IdentityAnswer::ChecksumAt(n);
        failedItem_ = step.item;
        if (!Transact(request.data(), request.size(), answer.data(), answer.size(),
                      [sumAt](const uint8_t* a) {
                          if (a[IdentityAnswer::Offset::kStx] != kStx || a[sumAt + 1] != kEtx)
                              return AnswerFault::Garbled;
                          return Checksum(a + 1, sumAt - 1) == a[sumAt]
                                     ? AnswerFault::None
                                     : AnswerFault::ChecksumError;
                      }))
            return false;
        const uint8_t* data = &answer[IdentityAnswer::Offset::kData];
        switch (step.item) {
            case IdentityItem::ModelName:
                identity.modelName = ReadText(data, n);
                break;
            case IdentityItem::Range:
                identity.range.assign(data, data + n);
                break;
            case IdentityItem::Signal:
                identity.signal = data[0];
                break;
            case IdentityItem::Version:
                identity.version = ReadText(data, n);
                identity.versionCompare = CompareVersion(data, referenceVersion);
                break;
            case IdentityItem::ModelId:
                identity.modelId = ReadText(data, n);
                break;
        }
    }
    return true;
}

bool CRadioProtocol::GetTuneValue(uint16_t item, uint8_t* destination, uint16_t count)
{
    const auto request =
        ShortFrame(kGetTune, static_cast<uint8_t>(item), static_cast<uint8_t>(item >> 8));
    std::vector<uint8_t> answer(TuneAnswer::Size(count));
    const std::array<uint8_t, TuneAnswer::Offset::kData> expected = {
        kStx, static_cast<uint8_t>(kTuneAnswer.first), static_cast<uint8_t>(kTuneAnswer.second),
        static_cast<uint8_t>(item), static_cast<uint8_t>(item >> 8)};
    if (!Transact(request.data(), request.size(), answer.data(), answer.size(),
                  [&expected](const uint8_t* a) {
                      return std::equal(expected.begin(), expected.end(), a) ? AnswerFault::None
                                                                             : AnswerFault::Garbled;
                  }))
        return false;
    std::memcpy(destination, &answer[TuneAnswer::Offset::kData], count);
    return true;
}

int CRadioProtocol::ReadTuneValue(uint16_t item, uint8_t* destination, uint16_t count)
{
    if (!SetRadioMode(RadioMode::Adjust)) return -1;
    return GetTuneValue(item, destination, count) ? 1 : 0;
}

bool CRadioProtocol::SetTuneValue(uint16_t item, const uint8_t* source, uint16_t count)
{
    std::vector<uint8_t> request(SetTuneRequest::Size(count));
    request[SetTuneRequest::Offset::kStx] = kStx;
    request[SetTuneRequest::Offset::kCommand] = static_cast<uint8_t>(kSetTune.first);
    request[SetTuneRequest::Offset::kCommand + 1] = static_cast<uint8_t>(kSetTune.second);
    PutU16(&request[SetTuneRequest::Offset::kItem], item);
    std::memcpy(&request[SetTuneRequest::Offset::kData], source, count);
    request.back() = kEtx;
    return TransactAck(request.data(), request.size(), kSetTune);
}

bool CRadioProtocol::EndTuning(bool keep)
{
    const Command command = keep ? kEndTuneKeep : kEndTuneDiscard;
    const auto request = ShortFrame(command, 0, 0);
    return TransactAck(request.data(), request.size(), command);
}

bool CRadioProtocol::SwitchTestState(char variant, uint8_t state)
{
    const Command command{kTestState, variant};
    const auto request = ShortFrame(command, state, 0);
    return TransactAck(request.data(), request.size(), command);
}

void CRadioProtocol::NoteOpenError(PortError error, const std::string& device)
{
    if (Rank(error) <= Rank(searchError_)) return;
    searchError_ = error;
    searchErrorDevice_ = device;
}

void CRadioProtocol::NoteHandshakeFault(AnswerFault fault, const std::string& device)
{
    if (Rank(fault) <= Rank(handshakeFault_)) return;
    handshakeFault_ = fault;
    handshakeFaultDevice_ = device;
}

bool CRadioProtocol::ConnectDevice(const std::string& device, bool patient)
{
    unsettled_ = false;
    CLinkTrace* const trace = Trace();
    if (!Open(device)) {
        NoteOpenError(OpenError(), device);
        if (trace) trace->Note(device, "the port could not be opened");
        return false;
    }
    if (trace) trace->Note(device, "port opened");
    Configure(kBaud, kDataBits, Parity::None, StopBits::Two);
    SetReadTimeout(kReadTimeoutMs);
    Clock().Sleep(kSettleDelay);
    if (patient ? HandshakePatient() : Handshake()) return true;
    NoteHandshakeFault(lastFault_, device);
    Close();
    return false;
}

int CRadioProtocol::FindRadio()
{
    searchError_ = PortError::None;
    searchErrorDevice_.clear();
    handshakeFault_ = AnswerFault::None;
    handshakeFaultDevice_.clear();
    const int stored = Settings().ComPort();
    if (ConnectDevice(PortDevice(stored), true)) return stored;
    for (int port = 1; port <= kMaxPortNumber; ++port)
        if (ConnectDevice(PortDevice(port), false)) return port;
    return 0;
}

}  // namespace rv
