#include "sim/RadioSim.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Bytes.h"
#include "base/NumberText.h"
#include "data/DataFile.h"
#include "data/ModelCatalog.h"
#include "link/ComPort.h"
#include "link/Frame.h"
#include "base/AtomicFile.h"

namespace rv::sim {

namespace {

using namespace rv::frame;
using Clock = std::chrono::steady_clock;

constexpr unsigned kBitsPerByte = 11;  // start bit, 8 data bits, 2 stop bits
// A frame that stays incomplete this long is dropped, as a radio resets its receiver.
constexpr int kIncompleteFrameMs = 200;
// Largest block the radio accepts in one read or write.
constexpr size_t kMaxBlock = kMemorySize;
constexpr uint16_t kDefaultTuneValue = 0x0080;
constexpr size_t kTuneValueLength = 2;

std::string Letters(const std::vector<uint8_t>& f)
{
    return std::string{static_cast<char>(f[1]), static_cast<char>(f[2])};
}

bool IsCommand(const std::vector<uint8_t>& f, Command c)
{
    return f[1] == static_cast<uint8_t>(c.first) && f[2] == static_cast<uint8_t>(c.second);
}

std::vector<uint8_t> AckOf(const std::vector<uint8_t>& request, Command answer = kAck)
{
    auto a = MakeAck({static_cast<char>(request[1]), static_cast<char>(request[2])}, answer);
    return {a.begin(), a.end()};
}

std::string FaultName(FaultKind k)
{
    switch (k) {
        case FaultKind::NoAnswer: return "fault: no answer";
        case FaultKind::ShortAnswer: return "fault: short answer";
        case FaultKind::BadChecksum: return "fault: wrong checksum";
        case FaultKind::RefuseMode: return "fault: refused";
        case FaultKind::LineError: return "fault: line error";
        case FaultKind::CorruptWrite: return "fault: first byte stored inverted";
        case FaultKind::LostAnswer: return "fault: answer lost";
    }
    return {};
}

}  // namespace

std::array<uint8_t, 9> MakeRangeRecord(int lowMhz, int highMhz, uint8_t bandCode)
{
    constexpr uint32_t kUnitsPerMhz = 100000;  // 10 Hz units
    std::array<uint8_t, 9> r{};
    r[0] = bandCode;
    PutU32(&r[1], ToBcd(static_cast<uint32_t>(lowMhz) * kUnitsPerMhz));
    PutU32(&r[5], ToBcd(static_cast<uint32_t>(highMhz) * kUnitsPerMhz));
    return r;
}

std::optional<uint32_t> RequestArgument(const std::vector<uint8_t>& r)
{
    if (r.size() < 3) return std::nullopt;
    if (IsCommand(r, kReadBlock) && r.size() >= ReadRequest::kSize)
        return GetU32(&r[ReadRequest::Offset::kAddress]);
    if (IsCommand(r, kWriteBlock) && r.size() >= WriteRequest::Offset::kData)
        return GetU32(&r[WriteRequest::Offset::kAddress]);
    if (IsCommand(r, kQueryIdentity) && r.size() >= ShortRequest::kSize)
        return r[ShortRequest::Offset::kArgument];
    if ((IsCommand(r, kSetMode) || IsCommand(r, kGetTune) || IsCommand(r, kSetTune)) &&
        r.size() >= ShortRequest::kSize)
        return GetU16(&r[ShortRequest::Offset::kArgument]);
    return std::nullopt;
}

CRadioSim::CRadioSim(SimOptions options) : options_(std::move(options)) { memory_.fill(0xFF); }

CRadioSim::~CRadioSim() { Stop(); }

bool CRadioSim::Start()
{
    if (master_ >= 0) return true;
    int m = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m < 0) return false;
    if (grantpt(m) != 0 || unlockpt(m) != 0) {
        close(m);
        return false;
    }
    char name[128];
    if (ptsname_r(m, name, sizeof name) != 0) {
        close(m);
        return false;
    }
    int keep = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (keep < 0) {
        close(m);
        return false;
    }
    // Raw bytes from the start: no echo, no translation, until the program sets its line.
    termios tio{};
    if (tcgetattr(keep, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(keep, TCSANOW, &tio);
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        close(keep);
        close(m);
        return false;
    }
    fcntl(m, F_SETFL, fcntl(m, F_GETFL) | O_NONBLOCK);
    master_ = m;
    slaveKeep_ = keep;
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    devicePath_ = name;
    if (!options_.logPath.empty())
        logFile_ = options_.logPath == "-" ? stderr : std::fopen(options_.logPath.c_str(), "w");
    start_ = Clock::now();
    rxFree_ = txFree_ = start_;
    stop_ = false;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void CRadioSim::Stop()
{
    if (master_ < 0) return;
    stop_ = true;
    const char c = 0;
    (void)!write(wakeWrite_, &c, 1);
    if (thread_.joinable()) thread_.join();
    close(wakeRead_);
    close(wakeWrite_);
    close(slaveKeep_);
    close(master_);
    master_ = slaveKeep_ = wakeRead_ = wakeWrite_ = -1;
    std::lock_guard<std::mutex> lock(mutex_);
    if (logFile_ && logFile_ != stderr) std::fclose(logFile_);
    logFile_ = nullptr;
}

Memory CRadioSim::GetMemory() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return memory_;
}

void CRadioSim::SetMemory(const Memory& memory)
{
    std::lock_guard<std::mutex> lock(mutex_);
    memory_ = memory;
}

bool CRadioSim::LoadMemory(const std::string& path)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    Memory m{};
    if (bytes.size() == kMemorySize &&
        !std::equal(kDataFileMagic.begin(), kDataFileMagic.end(), bytes.begin())) {
        std::memcpy(m.data(), bytes.data(), kMemorySize);
    } else if (!CDataFile::Read(path, nullptr, m)) {
        return false;
    }
    SetMemory(m);
    return true;
}

bool CRadioSim::SaveMemory(const std::string& path, bool raw) const
{
    const Memory m = GetMemory();
    if (raw) return WriteFileAtomic(path, std::span<const unsigned char>(m.data(), m.size()));
    SimIdentity id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = options_.identity;
    }
    const FreqRangeRecord range =
        CModelCatalog::RangeFromRadio(std::span<const uint8_t, kRadioRangeSize>(id.range));
    CDataFile file;
    file.SetHeader(CDataFileHeader::Make(id.modelId, id.modelName, range.low, range.high,
                                         id.version, id.range[0], id.signal));
    return file.Write(path, {}, m, "");
}

uint16_t CRadioSim::Mode() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return mode_;
}

std::vector<SimFrame> CRadioSim::FrameLog() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

std::vector<std::vector<uint8_t>> CRadioSim::Requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::vector<uint8_t>> out;
    for (const SimFrame& f : log_)
        if (!f.fromRadio) out.push_back(f.bytes);
    return out;
}

int CRadioSim::CommandCount(const std::string& command) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (command == "*") {
        int n = 0;
        for (const auto& [k, v] : counts_) n += v;
        return n;
    }
    auto it = counts_.find(command);
    return it == counts_.end() ? 0 : it->second;
}

void CRadioSim::AddFault(const SimFault& fault)
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.faults.push_back(fault);
}

void CRadioSim::ClearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.faults.clear();
}

void CRadioSim::SetIdentity(const SimIdentity& identity)
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.identity = identity;
}

uint16_t CRadioSim::TuneValue(uint16_t item) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = tune_.find(item);
    return it == tune_.end() ? kDefaultTuneValue : it->second;
}

void CRadioSim::SetTuneValue(uint16_t item, uint16_t value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tune_[item] = value;
}

char CRadioSim::TestVariant() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return testVariant_;
}

uint8_t CRadioSim::TestState() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return testState_;
}

std::chrono::nanoseconds CRadioSim::ByteTime() const
{
    return std::chrono::nanoseconds(1000000000ull * kBitsPerByte / options_.baud);
}

void CRadioSim::SleepUntil(Clock::time_point t) const
{
    // The steady clock is CLOCK_MONOTONIC; an absolute wake-up keeps the pacing free of drift.
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

// Length of the frame at the start of `in` (which starts with STX): 0 while more bytes are
// needed to tell, SIZE_MAX when the bytes cannot start a frame.
size_t CRadioSim::FrameLength(const std::vector<uint8_t>& in) const
{
    if (in.size() < 3) return 0;
    const char a = static_cast<char>(in[1]), b = static_cast<char>(in[2]);
    const Command c{a, b};
    if (c == kHandshake) return HandshakeRequest::kSize;
    if (c == kReadBlock) return ReadRequest::kSize;
    if (c == kSetMode || c == kQueryIdentity || c == kGetTune || c == kEndTuneKeep ||
        c == kEndTuneDiscard || (a == kTestState && (b == 'a' || b == 'b')))
        return ShortRequest::kSize;
    if (c == kSetTune) return SetTuneRequest::Size(kTuneValueLength);
    if (c == kWriteBlock) {
        if (in.size() < WriteRequest::Offset::kAddress) return 0;
        const uint16_t field = GetU16(&in[WriteRequest::Offset::kLength]);
        if (field < WriteRequest::LengthField(1) || field > WriteRequest::LengthField(kMaxBlock))
            return SIZE_MAX;
        return WriteRequest::Size(field - WriteRequest::LengthField(0));
    }
    return SIZE_MAX;
}

void CRadioSim::Serve()
{
    std::vector<uint8_t> in;
    Clock::time_point arrived{};
    uint8_t buf[512];
    while (!stop_) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        const int rc = poll(fds, 2, in.empty() ? -1 : kIncompleteFrameMs);
        if (stop_) break;
        if (rc < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (rc == 0) {  // an incomplete frame timed out
            in.clear();
            continue;
        }
        if (!(fds[0].revents & POLLIN)) continue;
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0) continue;
        if (in.empty()) arrived = Clock::now();
        in.insert(in.end(), buf, buf + n);
        for (;;) {
            // Bytes before a frame start are line noise.
            auto stx = std::find(in.begin(), in.end(), kStx);
            in.erase(in.begin(), stx);
            if (in.empty()) break;
            const size_t len = FrameLength(in);
            if (len == SIZE_MAX) {
                Log(false, {in.begin(), in.begin() + 1}, "not a frame start: dropped");
                in.erase(in.begin());
                continue;
            }
            if (len == 0 || in.size() < len) break;
            std::vector<uint8_t> request(in.begin(), in.begin() + static_cast<long>(len));
            in.erase(in.begin(), in.begin() + static_cast<long>(len));
            Handle(request, arrived);
            if (stop_) return;
        }
    }
}

// Counts the request and returns the fault that hits it, if any. Called with mutex_ held.
const SimFault* CRadioSim::FaultFor(const std::vector<uint8_t>& request)
{
    const std::string command = Letters(request);
    const int count = ++counts_[command];
    int all = 0;
    for (const auto& [k, v] : counts_) all += v;
    const std::optional<uint32_t> argument = RequestArgument(request);
    const int argumentCount = argument ? ++argumentCounts_[{command, *argument}] : 0;
    for (const SimFault& f : options_.faults) {
        if (f.command != "*" && f.command != command) continue;
        int n = f.command == "*" ? all : count;
        if (f.argument) {
            if (argument != f.argument) continue;
            n = argumentCount;
        }
        if (n < f.at) continue;
        if (f.times != 0 && n >= f.at + f.times) continue;
        return &f;
    }
    return nullptr;
}

void CRadioSim::Handle(const std::vector<uint8_t>& request, Clock::time_point arrived)
{
    Log(false, request, "");
    if (options_.onRequest) options_.onRequest(request);
    if (options_.paced) {
        // The radio has the request only when its last byte has crossed the line.
        const auto begin = std::max(arrived, rxFree_);
        rxFree_ = begin + ByteTime() * request.size();
        SleepUntil(rxFree_);
    }
    FaultKind faultKind{};
    bool faulty = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const SimFault* f = FaultFor(request)) {
            faulty = true;
            faultKind = f->kind;
        }
    }
    if (faulty && faultKind == FaultKind::NoAnswer) {
        Log(true, {}, FaultName(faultKind));
        return;
    }
    std::vector<uint8_t> answer;
    std::string note;
    if (faulty && faultKind == FaultKind::RefuseMode) {
        answer = AckOf(request, kRefusal);
    } else {
        answer = Answer(request, note);
    }
    if (answer.empty()) {
        Log(true, {}, note.empty() ? "no answer" : note);
        return;
    }
    if (faulty && faultKind == FaultKind::LostAnswer) {
        Log(true, {}, FaultName(faultKind));
        return;
    }
    if (faulty) {
        note = FaultName(faultKind);
        switch (faultKind) {
            case FaultKind::ShortAnswer: answer.resize(answer.size() / 2); break;
            case FaultKind::BadChecksum: {
                // Frames without a checksum get a wrong second letter instead.
                size_t at = 2;
                if (IsCommand(request, kReadBlock))
                    at = ReadAnswer::ChecksumAt(answer.size() - ReadAnswer::Size(0));
                else if (IsCommand(request, kQueryIdentity))
                    at = IdentityAnswer::ChecksumAt(answer.size() - IdentityAnswer::Size(0));
                answer[at] = static_cast<uint8_t>(answer[at] ^ 0x5A);
                break;
            }
            case FaultKind::LineError: SignalPtyLineError(master_); break;
            case FaultKind::CorruptWrite:
                if (IsCommand(request, kWriteBlock) && request.size() > WriteRequest::Offset::kData) {
                    const uint32_t address = GetU32(&request[WriteRequest::Offset::kAddress]);
                    std::lock_guard<std::mutex> lock(mutex_);
                    if (address < memory_.size()) memory_[address] ^= 0xFF;
                }
                break;
            default: break;
        }
    }
    if (options_.latency.count() > 0) SleepUntil(Clock::now() + options_.latency);
    Send(std::move(answer), note);
}

// With foreign headers: every header byte is changed to a value unlike the request's field at
// that place, by an amount that changes from one answer to the next, so that repeated answers
// to the same request differ too. Called with mutex_ held.
void CRadioSim::ForeignHeader(uint8_t* header, size_t length)
{
    ++answers_;
    if (!options_.foreignHeaders) return;
    for (size_t i = 0; i < length; ++i) {
        // 1 to 255 added: never the request's byte; the sum changes with every answer.
        const uint8_t step = static_cast<uint8_t>(1 + (answers_ * 37 + i * 11) % 255);
        header[i] = static_cast<uint8_t>(header[i] + step);
    }
}

std::vector<uint8_t> CRadioSim::Answer(const std::vector<uint8_t>& r, std::string& note)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (r.back() != kEtx) {
        note = "no end byte: ignored";
        return {};
    }
    if (IsCommand(r, kHandshake)) return AckOf(r);
    if (IsCommand(r, kSetMode)) {
        const uint16_t mode = GetU16(&r[ShortRequest::Offset::kArgument]);
        if (mode != 1 && mode != 2 && mode != 3 && mode != 6) return AckOf(r, kRefusal);
        mode_ = mode;
        return AckOf(r, options_.acceptWithAc ? kAckAlternative : kAck);
    }
    if (IsCommand(r, kReadBlock)) {
        const uint32_t address = GetU32(&r[ReadRequest::Offset::kAddress]);
        const uint16_t count = GetU16(&r[ReadRequest::Offset::kCount]);
        if (mode_ == 1) {
            note = "not in a transfer mode: ignored";
            return {};
        }
        if (count == 0 || address >= kMemorySize || count > kMemorySize - address) {
            note = "outside the memory: ignored";
            return {};
        }
        std::vector<uint8_t> a(ReadAnswer::Size(count));
        a[ReadAnswer::Offset::kStart] = kStx;
        // The header repeats the request's command, address and count.
        std::copy(r.begin() + 1, r.begin() + 1 + ReadAnswer::kHeaderLength,
                  a.begin() + ReadAnswer::Offset::kHeader);
        ForeignHeader(&a[ReadAnswer::Offset::kHeader], ReadAnswer::kHeaderLength);
        std::copy(memory_.begin() + address, memory_.begin() + address + count,
                  a.begin() + ReadAnswer::Offset::kData);
        const size_t sumAt = ReadAnswer::ChecksumAt(count);
        a[sumAt] = Checksum(&a[1], sumAt - 1);
        a[sumAt + 1] = kEtx;
        return a;
    }
    if (IsCommand(r, kWriteBlock)) {
        const size_t n = r.size() - WriteRequest::Size(0);
        const uint32_t address = GetU32(&r[WriteRequest::Offset::kAddress]);
        const size_t sumAt = WriteRequest::ChecksumAt(n);
        if (Checksum(&r[1], sumAt - 1) != r[sumAt]) {
            note = "wrong checksum: ignored";
            return {};
        }
        if (mode_ != static_cast<uint16_t>(RadioMode::Write)) {
            note = "not in write mode: ignored";
            return {};
        }
        if (address >= kMemorySize || n > kMemorySize - address) {
            note = "outside the memory: ignored";
            return {};
        }
        std::copy(r.begin() + WriteRequest::Offset::kData,
                  r.begin() + static_cast<long>(WriteRequest::Offset::kData + n),
                  memory_.begin() + address);
        return AckOf(r);
    }
    if (IsCommand(r, kQueryIdentity)) {
        const SimIdentity& id = options_.identity;
        std::vector<uint8_t> data;
        auto text = [&data](const std::string& s, size_t width) {
            data.assign(width, 0);
            WriteText(data.data(), width, s);
        };
        switch (static_cast<IdentityItem>(r[ShortRequest::Offset::kArgument])) {
            case IdentityItem::ModelName: text(id.modelName, kModelNameLength); break;
            case IdentityItem::Range: data.assign(id.range.begin(), id.range.end()); break;
            case IdentityItem::Signal: data = {id.signal}; break;
            case IdentityItem::Version: text(id.version, kVersionLength); break;
            case IdentityItem::ModelId: text(id.modelId, kModelIdLength); break;
            default: note = "unknown identity item: ignored"; return {};
        }
        const size_t n = data.size();
        std::vector<uint8_t> a(IdentityAnswer::Size(n));
        a[IdentityAnswer::Offset::kStx] = kStx;
        // Header: the request's command and item, then the data length.
        a[1] = r[1];
        a[2] = r[2];
        a[3] = r[3];
        a[4] = 0;
        PutU16(&a[5], static_cast<uint16_t>(n));
        ForeignHeader(&a[IdentityAnswer::Offset::kHeader], IdentityAnswer::kHeaderLength);
        std::copy(data.begin(), data.end(), a.begin() + IdentityAnswer::Offset::kData);
        const size_t sumAt = IdentityAnswer::ChecksumAt(n);
        a[sumAt] = Checksum(&a[1], sumAt - 1);
        a[sumAt + 1] = kEtx;
        return a;
    }
    if (IsCommand(r, kGetTune)) {
        const uint16_t item = GetU16(&r[ShortRequest::Offset::kArgument]);
        auto it = tune_.find(item);
        const uint16_t value = it == tune_.end() ? kDefaultTuneValue : it->second;
        std::vector<uint8_t> a(TuneAnswer::Size(kTuneValueLength));
        a[0] = kStx;
        a[1] = static_cast<uint8_t>(kTuneAnswer.first);
        a[2] = static_cast<uint8_t>(kTuneAnswer.second);
        PutU16(&a[TuneAnswer::Offset::kItem], item);
        PutU16(&a[TuneAnswer::Offset::kData], value);
        a.back() = kEtx;
        return a;
    }
    if (IsCommand(r, kSetTune)) {
        tune_[GetU16(&r[SetTuneRequest::Offset::kItem])] =
            GetU16(&r[SetTuneRequest::Offset::kData]);
        return AckOf(r);
    }
    if (IsCommand(r, kEndTuneKeep) || IsCommand(r, kEndTuneDiscard)) return AckOf(r);
    if (r[1] == static_cast<uint8_t>(kTestState)) {
        testVariant_ = static_cast<char>(r[TestStateRequest::Offset::kVariant]);
        testState_ = r[TestStateRequest::Offset::kState];
        return AckOf(r);
    }
    note = "unknown command: ignored";
    return {};
}

void CRadioSim::Send(std::vector<uint8_t> bytes, const std::string& note)
{
    if (!options_.paced) {
        (void)!write(master_, bytes.data(), bytes.size());
        Log(true, bytes, note);
        return;
    }
    // Each byte reaches the program when its 11 bits have crossed the line.
    const auto begin = std::max(Clock::now(), txFree_);
    for (size_t i = 0; i < bytes.size() && !stop_; ++i) {
        SleepUntil(begin + ByteTime() * (i + 1));
        (void)!write(master_, &bytes[i], 1);
    }
    txFree_ = begin + ByteTime() * bytes.size();
    Log(true, bytes, note);
}

void CRadioSim::Log(bool fromRadio, const std::vector<uint8_t>& bytes, const std::string& note)
{
    const double t = std::chrono::duration<double>(Clock::now() - start_).count();
    std::lock_guard<std::mutex> lock(mutex_);
    // A long-running radio keeps the recent frames only.
    constexpr size_t kMaxLogFrames = 200000;
    if (log_.size() >= kMaxLogFrames) log_.erase(log_.begin(), log_.begin() + kMaxLogFrames / 2);
    log_.push_back({t, fromRadio, bytes, note});
    if (logFile_) {
        // The time with a point on every desktop: a radio run inside the program shares its
        // language settings.
        std::fprintf(logFile_, "%11s %s %s%s%s\n", DecimalText(t, 6).c_str(),
                     fromRadio ? "radio>" : "radio<",
                     HexBytes(bytes).c_str(), note.empty() ? "" : "  ; ", note.c_str());
        std::fflush(logFile_);
    }
}

}  // namespace rv::sim
