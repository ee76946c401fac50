#pragma once
// The serial port that the programming cable is attached to: exclusive open of a device path,
// the fixed line settings (9600 baud 8N2, raw bytes, DTR and RTS raised), reads of a known
// length against a time-out, and detection of line errors (framing, parity, overrun, break).

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/Clock.h"

namespace rv {

/// Parity setting of the line.
enum class Parity { None = 0, Odd = 1, Even = 2 };
/// Stop bits, numbered as the serial interface codes them (0 = one, 2 = two).
enum class StopBits { One = 0, Two = 2 };

/// Why the last Open failed.
enum class PortError {
    None,          ///< the port is open (or no open was tried)
    NotFound,      ///< no such device, or a device without hardware behind it
    AccessDenied,  ///< the user may not open the device (not in the dialout group)
    Busy,          ///< another program holds the port
    NotSerial,     ///< the path names something that is not a terminal device
    Failed,        ///< any other refusal of the operating system
};

/// How line errors of the open device are seen, besides the marked bytes in the input.
enum class LineErrorSource {
    None,         ///< only marked bytes in the input
    Counters,     ///< the driver's error counters (frame, parity, overrun, break)
    PtyWindow,    ///< a pseudo-terminal: the far end counts injected errors (see below)
};

/// Traffic of a port since it was opened.
struct PortTraffic {
    uint64_t bytesWritten = 0;  ///< bytes handed to the line
    uint64_t bytesRead = 0;     ///< bytes delivered by Read
    uint64_t lineErrors = 0;    ///< reads that ended with a line error
    uint64_t bytesDrained = 0;  ///< bytes discarded while waiting for a quiet line
};

/// One serial port. Reads wait in poll() until the requested bytes are there, a line error is
/// seen or the read time-out passes; nothing polls in a busy loop.
class CComPort {
public:
    CComPort();
    /// Closes the port when one is open.
    virtual ~CComPort();
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    /// Opens a device exclusively for reading and writing without waiting for a carrier, and
    /// raises DTR and RTS. A port already open is closed first. False on failure (OpenError).
    bool Open(const std::string& device);
    /// Why the last Open failed (PortError::None after a successful one).
    PortError OpenError() const { return openError_; }
    /// Closes the port; true when closed or nothing was open.
    bool Close();
    /// True while a port is open.
    bool IsOpen() const { return fd_ >= 0; }
    /// Device the port was opened with; empty when closed.
    const std::string& PortName() const { return name_; }

    /// Replaces the line settings whole: baud rate, data bits, parity, stop bits, raw bytes, no
    /// flow control, line errors marked in the input. False when the device refuses.
    bool Configure(unsigned baud, unsigned dataBits, Parity parity, StopBits stopBits);
    /// Sets how long Read waits for its bytes, in milliseconds; 0 waits without limit.
    bool SetReadTimeout(uint32_t milliseconds);
    /// The current read time-out in milliseconds.
    uint32_t ReadTimeout() const { return readTimeout_; }
    /// Clears the line-error state and discards every byte received but not yet read.
    void PurgeInput();
    /// Writes the whole string; the number of bytes written, 0 when the write failed.
    size_t Write(const uint8_t* data, size_t count);
    /// Reads count bytes: returns count when they all came, fewer when the time-out passed
    /// first, 0 when a line error was seen (LineErrorSeen) or no port is open. Bytes beyond
    /// count stay queued.
    size_t Read(uint8_t* buffer, size_t count);
    /// True when the last Read ended because of a line error.
    bool LineErrorSeen() const { return lineErrorSeen_; }
    /// Number of received bytes waiting to be read (0 when none or no port is open). Does not
    /// wait.
    size_t Pending() const;
    /// Discards everything that arrives until nothing has come for `quiet`, counted from the
    /// last byte or from `notBefore`, whichever is later; then clears the line-error state as
    /// PurgeInput does. Gives up when the line keeps sending for `limit` beyond that. True
    /// when the line fell quiet.
    bool DrainInput(std::chrono::milliseconds quiet, IClock::TimePoint notBefore,
                    std::chrono::milliseconds limit);
    /// How line errors of the open device are detected.
    LineErrorSource ErrorSource() const { return errorSource_; }

    /// The clock used for time-outs and by the protocol for its waits (the system clock by
    /// default); it must outlive the port.
    void SetClock(IClock& clock) { clock_ = &clock; }
    IClock& Clock() const { return *clock_; }
    /// Bytes moved and line errors seen since the port was opened.
    const PortTraffic& Traffic() const { return traffic_; }

private:
    uint64_t ErrorCount() const;
    bool DecodeInput(const uint8_t* raw, size_t n, uint8_t* out, size_t& got);

    int fd_ = -1;
    std::string name_;
    uint32_t readTimeout_ = 0;
    PortError openError_ = PortError::None;
    LineErrorSource errorSource_ = LineErrorSource::None;
    uint64_t errorBaseline_ = 0;
    bool marking_ = false;       // PARMRK on: FF FF is a data FF, FF 00 x a byte in error
    int markState_ = 0;          // bytes of a mark sequence seen so far (0, 1 or 2)
    bool lineErrorSeen_ = false;
    IClock* clock_;
    PortTraffic traffic_;
};

/// The far end of a pseudo-terminal has no line whose errors a driver could count, and its
/// line discipline passes every byte it writes as data (a data FF arrives doubled, so a mark
/// cannot be forged). The simulated radio therefore reports a line error by raising the pixel
/// width of the pseudo-terminal's window size, a value nothing else on a serial line uses; a
/// CComPort on the other end treats that value as the error counter of the pseudo-terminal.
/// Called with the master descriptor; false when the pseudo-terminal refuses.
bool SignalPtyLineError(int masterFd);

}  // namespace rv
