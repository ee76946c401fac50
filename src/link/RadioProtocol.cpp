#include "link/RadioProtocol.h"

#include <algorithm>
#include <cstring>

#include "base/Bytes.h"
#include "link/PortNames.h"
#include "base/Settings.h"

namespace rv {

namespace {

using namespace frame;

// Rank of an open failure for SearchError: the higher, the more it tells the user.
int Rank(PortError e)
{
    switch (e) {
        case PortError::AccessDenied: return 5;
        case PortError::Busy: return 4;
        case PortError::NotSerial: return 3;
        case PortError::Failed: return 2;
        case PortError::NotFound: return 1;
        case PortError::None: return 0;
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
    for (int attempt = 0; attempt < attempts; ++attempt) {
        PurgeInput();
        Write(request, requestLength);
        Clock().Sleep(kAnswerDelay);
        if (Read(answer, answerLength) == answerLength) return true;
    }
    return false;
}

bool CRadioProtocol::TransactAck(const uint8_t* request, size_t requestLength, Command command)
{
    std::array<uint8_t, Ack::kSize> answer{};
    if (!Transact(request, requestLength, answer.data(), answer.size())) return false;
    return answer == MakeAck(command);
}

bool CRadioProtocol::Handshake()
{
    const uint8_t request[HandshakeRequest::kSize] = {kStx, 'P', 'a', kEtx};
    std::array<uint8_t, Ack::kSize> answer{};
    if (!Transact(request, sizeof request, answer.data(), answer.size())) return false;
    if (answer != MakeAck(kHandshake)) return false;
    PurgeInput();
    return true;
}

bool CRadioProtocol::HandshakePatient()
{
    const uint8_t request[HandshakeRequest::kSize] = {kStx, 'P', 'a', kEtx};
    for (int round = 0; round < kPatientRounds; ++round) {
        std::array<uint8_t, Ack::kSize> answer{};
        if (Transact(request, sizeof request, answer.data(), answer.size())) {
            // A complete answer decides: a wrong one is not asked again.
            if (answer != MakeAck(kHandshake)) return false;
            PurgeInput();
            return true;
        }
        if (round + 1 < kPatientRounds) Clock().Sleep(kPatientPause);
    }
    return false;
}

bool CRadioProtocol::SetRadioMode(uint16_t mode)
{
    const auto request = ShortFrame(kSetMode, static_cast<uint8_t>(mode),
                                    static_cast<uint8_t>(mode >> 8));
    std::array<uint8_t, Ack::kSize> answer{};
    if (!Transact(request.data(), request.size(), answer.data(), answer.size())) return false;
    return answer == MakeAck(kSetMode) || answer == MakeAck(kSetMode, kAckAlternative);
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

    std::vector<uint8_t> answer(ReadAnswer::Size(count));
    if (!Transact(request, sizeof request, answer.data(), answer.size())) return false;
    const size_t sumAt = ReadAnswer::ChecksumAt(count);
    if (Checksum(answer.data() + ReadAnswer::Offset::kHeader, sumAt - ReadAnswer::Offset::kHeader) !=
        answer[sumAt])
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
        if (!Transact(request.data(), request.size(), answer.data(), answer.size())) return false;
        const size_t sumAt = IdentityAnswer::ChecksumAt(n);
        if (answer[IdentityAnswer::Offset::kStx] != kStx || answer[sumAt + 1] != kEtx ||
            Checksum(&answer[1], sumAt - 1) != answer[sumAt])
            return false;
        const uint8_t* data = &answer[IdentityAnswer::Offset::kData];
        switch (step.item) {
            case IdentityItem::ModelName: identity.modelName = ReadText(data, n); break;
            case IdentityItem::Range: identity.range.assign(data, data + n); break;
            case IdentityItem::Signal: identity.signal = data[0]; break;
            case IdentityItem::Version:
                identity.version = ReadText(data, n);
                identity.versionCompare = CompareVersion(data, referenceVersion);
                break;
            case IdentityItem::ModelId: identity.modelId = ReadText(data, n); break;
        }
    }
    return true;
}

bool CRadioProtocol::GetTuneValue(uint16_t item, uint8_t* destination, uint16_t count)
{
    const auto request =
        ShortFrame(kGetTune, static_cast<uint8_t>(item), static_cast<uint8_t>(item >> 8));
    std::vector<uint8_t> answer(TuneAnswer::Size(count));
    if (!Transact(request.data(), request.size(), answer.data(), answer.size())) return false;
    const uint8_t expected[TuneAnswer::Offset::kData] = {
        kStx, static_cast<uint8_t>(kTuneAnswer.first), static_cast<uint8_t>(kTuneAnswer.second),
        static_cast<uint8_t>(item), static_cast<uint8_t>(item >> 8)};
    if (!std::equal(expected, expected + sizeof expected, answer.begin())) return false;
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

bool CRadioProtocol::ConnectDevice(const std::string& device, bool patient)
{
    if (!Open(device)) {
        NoteOpenError(OpenError(), device);
        return false;
    }
    Configure(kBaud, kDataBits, Parity::None, StopBits::Two);
    SetReadTimeout(kReadTimeoutMs);
    Clock().Sleep(kSettleDelay);
    if (patient ? HandshakePatient() : Handshake()) return true;
    Close();
    return false;
}

int CRadioProtocol::FindRadio()
{
    searchError_ = PortError::None;
    searchErrorDevice_.clear();
    const int stored = Settings().ComPort();
    if (ConnectDevice(PortDevice(stored), true)) return stored;
    for (int port = 1; port <= kMaxPortNumber; ++port)
        if (ConnectDevice(PortDevice(port), false)) return port;
    return 0;
}

}  // namespace rv
