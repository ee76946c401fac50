#pragma once
// The millisecond clock and sleep of the radio link. Every wait of the port and the protocol
// goes through this interface, so that a benchmark can account for the protocol's fixed waits
// while the link keeps running on real time.

#include <chrono>

namespace rv {

/// Monotonic time and sleeping, as the link uses them.
class IClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IClock() = default;
    /// The current monotonic time.
    virtual TimePoint Now() const = 0;
    /// Blocks the calling thread for the given time.
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

/// The real clock of the machine (steady clock, thread sleep).
IClock& SystemClock();

}  // namespace rv
