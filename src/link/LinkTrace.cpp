#include "link/LinkTrace.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "base/AtomicFile.h"
#include "base/Bytes.h"
#include "link/Frame.h"

namespace rv {

namespace {

using namespace frame;

std::atomic<CLinkTrace*> gSessionTrace{nullptr};

// "2026-12-11 02:30:01.123": local wall-clock time to the millisecond.
std::string Stamp()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const long ms = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    char buf[48];
    const size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    std::snprintf(buf + n, sizeof buf - n, ".%03ld", ms);
    return buf;
}

std::string Hex(const uint8_t* bytes, size_t count)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(count * 3);
    for (size_t i = 0; i < count; ++i) {
        if (i) out += ' ';
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0x0F];
    }
    return out;
}

std::string Letters(const uint8_t* bytes, size_t count, size_t at)
{
    if (count < at + 2) return {};
    const auto printable = [](uint8_t c) { return c >= 0x20 && c < 0x7F; };
    if (!printable(bytes[at]) || !printable(bytes[at + 1])) return {};
    return {static_cast<char>(bytes[at]), static_cast<char>(bytes[at + 1])};
}

std::string Format(const char* format, unsigned long a, unsigned long b = 0)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

const char* FaultName(AnswerFault fault)
{
    switch (fault) {
        case AnswerFault::None:
            return "none";
        case AnswerFault::NoAnswer:
            return "TIME-OUT: no answer";
        case AnswerFault::ShortAnswer:
            return "TIME-OUT: short answer";
        case AnswerFault::ChecksumError:
            return "CHECKSUM ERROR";
        case AnswerFault::Refused:
            return "REFUSED by the radio";
        case AnswerFault::LineError:
            return "LINE ERROR (framing, parity, overrun or break)";
        case AnswerFault::Garbled:
            return "WRONG ANSWER";
    }
    return "?";
}

}  // namespace

std::string DescribeRequest(const uint8_t* bytes, size_t count)
{
    if (count < 4 || bytes[0] != kStx) return "?";
    const std::string letters = Letters(bytes, count, 1);
    if (letters.empty()) return "?";
    const Command c{letters[0], letters[1]};
    std::string what;
    if (c == kHandshake) {
        what = "handshake";
    } else if (c == kSetMode && count >= ShortRequest::kSize) {
        what = Format("mode %lu", GetU16(bytes + ShortRequest::Offset::kArgument));
    } else if (c == kReadBlock && count >= ReadRequest::kSize) {
        what = Format("read 0x%04lX %lu", GetU32(bytes + ReadRequest::Offset::kAddress),
                      GetU16(bytes + ReadRequest::Offset::kCount));
    } else if (c == kWriteBlock && count >= WriteRequest::Size(0)) {
        what = Format("write 0x%04lX %lu", GetU32(bytes + WriteRequest::Offset::kAddress),
                      count - WriteRequest::Size(0));
    } else if (c == kQueryIdentity && count >= ShortRequest::kSize) {
        what = Format("identity item 0x%02lX", bytes[ShortRequest::Offset::kArgument]);
    } else if (c == kGetTune && count >= ShortRequest::kSize) {
        what = Format("get tuning item %lu", GetU16(bytes + ShortRequest::Offset::kArgument));
    } else if (c == kSetTune && count >= SetTuneRequest::Size(0)) {
        what = Format("set tuning item %lu", GetU16(bytes + SetTuneRequest::Offset::kItem));
    } else if (c == kEndTuneKeep) {
        what = "end tuning, keep";
    } else if (c == kEndTuneDiscard) {
        what = "end tuning, discard";
    } else if (c.first == kTestState && count >= ShortRequest::kSize) {
        what = Format("test state %lu", bytes[ShortRequest::Offset::kArgument]);
    } else {
        what = "unknown command";
    }
    return letters + " " + what;
}

std::string DescribeAnswer(const uint8_t* bytes, size_t count, const uint8_t* request,
                           size_t requestLength)
{
    if (count == Ack::kSize && bytes[0] == kStx) {
        const std::string letters = Letters(bytes, count, Ack::Offset::kAnswer);
        const std::string of = Letters(bytes, count, Ack::Offset::kCommand);
        if (letters == "Aa" || letters == "Ac") return letters + " accepted " + of;
        if (letters == "An") return letters + " refused " + of;
    }
    if (!request) return "answer";
    return "answer to " + DescribeRequest(request, requestLength);
}

void CLinkTrace::Add(std::string line)
{
    const std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
    if (maxLines_ && lines_.size() > maxLines_) {
        lines_.pop_front();
        ++dropped_;
    }
}

void CLinkTrace::Frame(const std::string& device, bool toRadio, const uint8_t* bytes, size_t count,
                       const uint8_t* request, size_t requestLength)
{
    const std::string what = toRadio ? DescribeRequest(bytes, count)
                                     : DescribeAnswer(bytes, count, request, requestLength);
    Add(Stamp() + "  " + device + (toRadio ? "  >>  " : "  <<  ") + Hex(bytes, count) + "  [" +
        what + "]");
}

void CLinkTrace::Fault(const std::string& device, AnswerFault fault, size_t got, int attempt)
{
    Add(Stamp() + "  " + device + "  !!  " + FaultName(fault) + " (" + std::to_string(got) +
        " bytes came, attempt " + std::to_string(attempt) + ")");
}

void CLinkTrace::Note(const std::string& device, const std::string& text)
{
    Add(Stamp() + "  " + device + "  --  " + text);
}

std::string CLinkTrace::Text() const
{
    const std::lock_guard lock(mutex_);
    std::string text;
    if (dropped_) text += "(" + std::to_string(dropped_) + " older lines are no longer kept)\n";
    for (const std::string& line : lines_) {
        text += line;
        text += '\n';
    }
    return text;
}

size_t CLinkTrace::LineCount() const
{
    const std::lock_guard lock(mutex_);
    return lines_.size();
}

void CLinkTrace::Clear()
{
    const std::lock_guard lock(mutex_);
    lines_.clear();
    dropped_ = 0;
}

bool CLinkTrace::Save(const std::string& path) const
{
    return WriteFileAtomic(path, Text());
}

void SetSessionTrace(CLinkTrace* trace)
{
    gSessionTrace.store(trace);
}

CLinkTrace* SessionTrace()
{
    return gSessionTrace.load();
}

}  // namespace rv
