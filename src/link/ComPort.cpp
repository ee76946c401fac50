#include "link/ComPort.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace rv {

namespace {

// Longest single wait in poll() while a read is pending: error counters change without making
// the descriptor readable, so a waiting read looks at them at least this often.
constexpr int kErrorCheckIntervalMs = 50;
// Longest wait for room in the output queue before a write is given up.
constexpr int kWriteWaitMs = 1000;
// Device major numbers of pseudo-terminal slaves.
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;

speed_t SpeedCode(unsigned baud)
{
    switch (baud) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return 0;
    }
}

tcflag_t DataBitsFlag(unsigned bits)
{
    switch (bits) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        case 8: return CS8;
        default: return 0;
    }
}

PortError ErrorOfErrno(int err)
{
    switch (err) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case EIO: return PortError::NotFound;
        case EACCES:
        case EPERM: return PortError::AccessDenied;
        case EBUSY:
        case EWOULDBLOCK: return PortError::Busy;
        case ENOTTY: return PortError::NotSerial;
        default: return PortError::Failed;
    }
}

bool IsPtySlave(int fd)
{
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    unsigned maj = major(st.st_rdev);
    return maj >= kPtySlaveMajorFirst && maj <= kPtySlaveMajorLast;
}

}  // namespace

CComPort::CComPort() : clock_(&SystemClock()) {}

CComPort::~CComPort() { Close(); }

bool CComPort::Open(const std::string& device)
{
    Close();
    openError_ = PortError::None;
    if (device.empty()) {
        openError_ = PortError::NotFound;
        return false;
    }
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openError_ = ErrorOfErrno(errno);
        return false;
    }
    if (!isatty(fd)) {
        ::close(fd);
        openError_ = PortError::NotSerial;
        return false;
    }
    // Exclusive use: the advisory lock keeps out every program that honours it (root passes
    // TIOCEXCL but not the lock), TIOCEXCL keeps out the others.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        openError_ = errno == EWOULDBLOCK ? PortError::Busy : ErrorOfErrno(errno);
        ::close(fd);
        return false;
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        openError_ = ErrorOfErrno(errno);
        ::close(fd);
        return false;
    }
    // The cable draws its power from DTR and RTS. A pseudo-terminal has no modem lines and
    // refuses the call; that is not an error.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)ioctl(fd, TIOCMBIS, &lines);

    fd_ = fd;
    name_ = device;
    traffic_ = {};
    markState_ = 0;
    marking_ = false;
    lineErrorSeen_ = false;
    serial_icounter_struct counters {};
    if (ioctl(fd, TIOCGICOUNT, &counters) == 0)
        errorSource_ = LineErrorSource::Counters;
    else if (IsPtySlave(fd))
        errorSource_ = LineErrorSource::PtyWindow;
    else
        errorSource_ = LineErrorSource::None;
    errorBaseline_ = ErrorCount();
    return true;
}

bool CComPort::Close()
{
    if (fd_ < 0) return true;
    // The exclusive flag outlives the descriptor on a pseudo-terminal whose master stays open.
    (void)ioctl(fd_, TIOCNXCL);
    int rc = ::close(fd_);
    int err = errno;
    // Linux releases the descriptor even when close reports an error: never keep its number.
    fd_ = -1;
    name_.clear();
    marking_ = false;
    markState_ = 0;
    errorSource_ = LineErrorSource::None;
    return rc == 0 || err == EINTR;
}

bool CComPort::Configure(unsigned baud, unsigned dataBits, Parity parity, StopBits stopBits)
{
    if (fd_ < 0) return false;
    termios tio {};
    if (tcgetattr(fd_, &tio) != 0) return false;
    const speed_t speed = SpeedCode(baud);
    const tcflag_t size = DataBitsFlag(dataBits);
    if (speed == 0 || size == 0) return false;

    cfmakeraw(&tio);
    // Input: no flow control, no translation; a byte received with a framing or parity error
    // and a break are marked in the input (FF 00 x), a data byte FF arrives as FF FF.
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | IGNBRK | BRKINT | IGNPAR | ISTRIP | INLCR | IGNCR |
                     ICRNL);
    tio.c_iflag |= INPCK | PARMRK;
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= size | CREAD | CLOCAL | HUPCL;
    if (parity != Parity::None) tio.c_cflag |= PARENB | (parity == Parity::Odd ? PARODD : 0);
    if (stopBits == StopBits::Two) tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return false;
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) return false;
    marking_ = true;
    markState_ = 0;
    return true;
}

bool CComPort::SetReadTimeout(uint32_t milliseconds)
{
    readTimeout_ = milliseconds;
    return fd_ >= 0;
}

void CComPort::PurgeInput()
{
    if (fd_ < 0) return;
    (void)tcflush(fd_, TCIFLUSH);
    markState_ = 0;
    errorBaseline_ = ErrorCount();
}

size_t CComPort::Pending() const
{
    if (fd_ < 0) return 0;
    int queued = 0;
    if (ioctl(fd_, FIONREAD, &queued) != 0 || queued < 0) return 0;
    return static_cast<size_t>(queued);
}

bool CComPort::DrainInput(std::chrono::milliseconds quiet, IClock::TimePoint notBefore,
                          std::chrono::milliseconds limit)
{
    if (fd_ < 0) return true;
    IClock::TimePoint lastByte = clock_->Now();
    const IClock::TimePoint giveUp = std::max(lastByte, notBefore) + quiet + limit;
    uint8_t raw[256];
    bool quietReached = false;
    bool hungUp = false;
    for (;;) {
        // Take whatever is queued; line errors in it do not matter, the bytes are discarded.
        for (;;) {
            const ssize_t n = ::read(fd_, raw, sizeof raw);
            if (n > 0) {
                traffic_.bytesDrained += static_cast<uint64_t>(n);
                lastByte = clock_->Now();
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            break;
        }
        // A line that hung up stays readable for ever: nothing more will come.
        if (hungUp) {
            quietReached = true;
            break;
        }
        const IClock::TimePoint now = clock_->Now();
        const IClock::TimePoint end = std::max(lastByte, notBefore) + quiet;
        if (now >= end) {
            quietReached = true;
            break;
        }
        if (now >= giveUp) break;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(std::min(end, giveUp) - now);
        pollfd p {fd_, POLLIN, 0};
        const int rc = poll(&p, 1, static_cast<int>(std::max<long long>(wait.count(), 1)));
        if (rc < 0 && errno != EINTR) break;
        if (rc > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) hungUp = true;
    }
    PurgeInput();
    return quietReached;
}

size_t CComPort::Write(const uint8_t* data, size_t count)
{
    if (fd_ < 0) return 0;
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, data + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p {fd_, POLLOUT, 0};
            int rc = poll(&p, 1, kWriteWaitMs);
            if (rc > 0 && (p.revents & POLLOUT)) continue;
            if (rc < 0 && errno == EINTR) continue;
        }
        return 0;
    }
    traffic_.bytesWritten += done;
    return done;
}

size_t CComPort::Read(uint8_t* buffer, size_t count)
{
    lineErrorSeen_ = false;
    if (fd_ < 0 || count == 0) return 0;
    const IClock::TimePoint deadline = clock_->Now() + std::chrono::milliseconds(readTimeout_);
    size_t got = 0;
    uint8_t raw[256];
    bool lastPass = false;  // the line hung up: take what is queued, then stop
    for (;;) {
        bool hungUp = false;
        // Take what is queued. Every received byte gives at most one data byte, so asking for
        // no more than the data still missing never takes bytes beyond count off the queue.
        while (got < count) {
            ssize_t n = ::read(fd_, raw, std::min(count - got, sizeof raw));
            if (n > 0) {
                if (!DecodeInput(raw, static_cast<size_t>(n), buffer, got)) {
                    lineErrorSeen_ = true;
                    ++traffic_.lineErrors;
                    errorBaseline_ = ErrorCount();
                    return 0;
                }
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            // In raw mode without a minimum count an empty queue reads as 0 bytes; a line that
            // went away shows in poll() as a hang-up.
            if (n == 0 || errno == EAGAIN) break;
            hungUp = true;  // the device went away (EIO) or refuses to be read
            break;
        }
        if (ErrorCount() != errorBaseline_) {
            lineErrorSeen_ = true;
            ++traffic_.lineErrors;
            errorBaseline_ = ErrorCount();
            return 0;
        }
        if (got == count || hungUp || lastPass) break;

        int waitMs = -1;
        if (readTimeout_ != 0) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock_->Now());
            if (left.count() <= 0) break;
            waitMs = static_cast<int>(left.count());
        }
        if (errorSource_ != LineErrorSource::None &&
            (waitMs < 0 || waitMs > kErrorCheckIntervalMs))
            waitMs = kErrorCheckIntervalMs;
        pollfd p {fd_, POLLIN, 0};
        int rc = poll(&p, 1, waitMs);
        if (rc < 0 && errno != EINTR) break;
        if (rc > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) lastPass = true;
    }
    traffic_.bytesRead += got;
    return got;
}

bool CComPort::DecodeInput(const uint8_t* raw, size_t n, uint8_t* out, size_t& got)
{
    for (size_t i = 0; i < n; ++i) {
        const uint8_t b = raw[i];
        if (!marking_) {
            out[got++] = b;
            continue;
        }
        switch (markState_) {
            case 0:
                if (b == 0xFF)
                    markState_ = 1;
                else
                    out[got++] = b;
                break;
            case 1:
                if (b == 0xFF) {
                    out[got++] = 0xFF;
                    markState_ = 0;
                } else if (b == 0x00) {
                    markState_ = 2;
                } else {
                    markState_ = 0;
                    return false;  // not a sequence the line discipline makes
                }
                break;
            default:
                // FF 00 x: byte x came with a framing or parity error, x = 0 is a break.
                markState_ = 0;
                return false;
        }
    }
    return true;
}

uint64_t CComPort::ErrorCount() const
{
    if (fd_ < 0) return 0;
    switch (errorSource_) {
        case LineErrorSource::Counters: {
            serial_icounter_struct c {};
            if (ioctl(fd_, TIOCGICOUNT, &c) != 0) return errorBaseline_;
            return static_cast<uint64_t>(c.frame) + static_cast<uint64_t>(c.overrun) +
                   static_cast<uint64_t>(c.parity) + static_cast<uint64_t>(c.brk) +
                   static_cast<uint64_t>(c.buf_overrun);
        }
        case LineErrorSource::PtyWindow: {
            winsize ws {};
            if (ioctl(fd_, TIOCGWINSZ, &ws) != 0) return errorBaseline_;
            return ws.ws_xpixel;
        }
        case LineErrorSource::None: break;
    }
    return 0;
}

bool SignalPtyLineError(int masterFd)
{
    winsize ws {};
    if (ioctl(masterFd, TIOCGWINSZ, &ws) != 0) return false;
    ws.ws_xpixel = static_cast<unsigned short>(ws.ws_xpixel + 1);
    return ioctl(masterFd, TIOCSWINSZ, &ws) == 0;
}

}  // namespace rv
