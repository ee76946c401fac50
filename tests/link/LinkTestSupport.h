#pragma once
// Fixtures of the link tests: a bare pseudo-terminal whose far end the test plays itself, and
// a program directory with the simulated radio pinned to a port number.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/PortNames.h"
#include "base/IniFile.h"
#include "base/Settings.h"
#include "sim/RadioSim.h"
#include "support/TestSupport.h"

namespace rv::test {

/// A pseudo-terminal pair: the test holds the master, the code under test opens Path().
class PtyPair {
public:
    PtyPair()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        char name[128];
        if (ptsname_r(master_, name, sizeof name) == 0) path_ = name;
        // Keep the slave open so that the master never sees a hang-up, in raw mode.
        keep_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios tio{};
        if (keep_ >= 0 && tcgetattr(keep_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(keep_, TCSANOW, &tio);
        }
    }
    ~PtyPair()
    {
        if (keep_ >= 0) close(keep_);
        if (master_ >= 0) close(master_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& Path() const { return path_; }
    int Master() const { return master_; }
    /// Writes bytes as the far end.
    void Send(const std::vector<uint8_t>& bytes) const
    {
        (void)!write(master_, bytes.data(), bytes.size());
    }
    /// Reads what the near end wrote, waiting up to timeoutMs for count bytes.
    std::vector<uint8_t> Receive(size_t count, int timeoutMs = 1000) const
    {
        std::vector<uint8_t> out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
            uint8_t buf[256];
            const ssize_t n = read(master_, buf, std::min(sizeof buf, count - out.size()));
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

private:
    int master_ = -1;
    int keep_ = -1;
    std::string path_;
};

/// A memory whose bytes differ from their neighbours (0xFF among them), so that any misplaced
/// or mangled block shows.
inline sim::Memory PatternMemory()
{
    sim::Memory m{};
    for (size_t i = 0; i < m.size(); ++i) m[i] = static_cast<uint8_t>((i * 7 + i / 256) & 0xFF);
    return m;
}

/// Port number the simulated radio is pinned to in the test's "Settings.ini".
inline constexpr int kSimPort = 3;

/// A program directory (RV-205, 400-470) with a simulated radio, unpaced, on port 3; no other
/// serial device exists for the search.
class SimHomeTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        SetSerialDeviceSource([] { return std::vector<std::string>{}; });
        StartRadio({});
    }
    void TearDown() override
    {
        radio.reset();
        silentLine.reset();
        SetSerialDeviceSource({});
    }
    /// No radio on the stored port: the port stays a terminal of its own that never answers.
    /// (Leaving the radio's old terminal name there would let a test running at the same time,
    /// which was given that terminal since, be disturbed by this one's search.)
    void UnplugRadio()
    {
        radio.reset();
        silentLine = std::make_unique<PtyPair>();
        CIniFile::WriteString(home.Path("Settings.ini"), "Ports", "COM" + std::to_string(kSimPort),
                              silentLine->Path());
    }
    /// Restarts the radio with other options and pins it to port 3 (the stored port).
    void StartRadio(sim::SimOptions options)
    {
        radio.reset();
        radio = std::make_unique<sim::CRadioSim>(std::move(options));
        ASSERT_TRUE(radio->Start());
        CIniFile::WriteString(home.Path("Settings.ini"), "Ports", "COM" + std::to_string(kSimPort),
                              radio->DevicePath());
        Settings().SetComPort(kSimPort);
    }
    std::unique_ptr<sim::CRadioSim> radio;
    std::unique_ptr<PtyPair> silentLine;
};

}  // namespace rv::test
