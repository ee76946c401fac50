#pragma once
// The link trace: every frame that goes to or comes from a radio, with a millisecond time
// stamp, its direction, its bytes in hex and the command it carries, and every exchange that
// failed (time-out, short answer, checksum error, refusal, line error). It is what a user sends
// when a radio misbehaves. The protocol writes into it from any thread; the text is kept in
// memory, bounded to the newest lines when a limit is given, and saved as one file.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "link/RadioProtocol.h"

namespace rv {

class CLinkTrace {
public:
    /// A trace that keeps at most maxLines lines (the oldest go first); 0 keeps every line.
    explicit CLinkTrace(size_t maxLines = 0) : maxLines_(maxLines) {}

    /// A frame sent to (toRadio) or received from the radio on device; an answer is described
    /// with the request it answers.
    void Frame(const std::string& device, bool toRadio, const uint8_t* bytes, size_t count,
               const uint8_t* request = nullptr, size_t requestLength = 0);
    /// An exchange attempt that failed, and why; `got` bytes of the answer had come.
    void Fault(const std::string& device, AnswerFault fault, size_t got, int attempt);
    /// A line of its own (a port opened or closed, a transfer begun).
    void Note(const std::string& device, const std::string& text);

    /// The whole trace as text, oldest line first; "" when nothing was traced.
    std::string Text() const;
    /// Lines held now.
    size_t LineCount() const;
    bool Empty() const { return LineCount() == 0; }
    /// Drops every line.
    void Clear();
    /// Writes Text() to path atomically; false when it cannot be written (errno set).
    bool Save(const std::string& path) const;

private:
    void Add(std::string line);

    size_t maxLines_;
    size_t dropped_ = 0;
    mutable std::mutex mutex_;
    std::deque<std::string> lines_;
};

/// What a request carries, in words: "Eb read 0x0400 16", "Ea write 0x0400 16", "Ma mode 2"
/// ("?" when it is no request of the protocol).
std::string DescribeRequest(const uint8_t* bytes, size_t count);
/// What an answer carries: "Aa accepted Ea", "An refused Ma", or "answer to " the request.
std::string DescribeAnswer(const uint8_t* bytes, size_t count, const uint8_t* request,
                           size_t requestLength);

/// The trace every link writes into unless it was given its own (none at first). The
/// desktop program keeps one for the whole session.
void SetSessionTrace(CLinkTrace* trace);
CLinkTrace* SessionTrace();

}  // namespace rv
