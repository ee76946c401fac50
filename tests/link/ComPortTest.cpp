// The serial port over a real pseudo-terminal whose far end the test plays.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "link/ComPort.h"
#include "link/LinkTestSupport.h"

namespace rv::test {
namespace {

using namespace std::chrono_literals;

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(pty.Path().empty());
        ASSERT_TRUE(port.Open(pty.Path()));
        ASSERT_TRUE(port.Configure(9600, 8, Parity::None, StopBits::Two));
    }
    PtyPair pty;
    CComPort port;
};

TEST(ComPortOpen, FailuresSayWhy)
{
    CComPort port;
    EXPECT_FALSE(port.Open("/nonexistent/ttyUSB9"));
    EXPECT_EQ(port.OpenError(), PortError::NotFound);
    EXPECT_FALSE(port.Open(""));
    EXPECT_EQ(port.OpenError(), PortError::NotFound);
    EXPECT_FALSE(port.Open("/dev/null"));
    EXPECT_EQ(port.OpenError(), PortError::NotSerial);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.PortName().empty());
}

TEST(ComPortOpen, IsExclusiveUntilClosed)
{
    PtyPair pty;
    CComPort first, second;
    ASSERT_TRUE(first.Open(pty.Path()));
    EXPECT_EQ(first.PortName(), pty.Path());
    EXPECT_EQ(first.ErrorSource(), LineErrorSource::PtyWindow);
    EXPECT_FALSE(second.Open(pty.Path()));
    EXPECT_EQ(second.OpenError(), PortError::Busy);
    EXPECT_TRUE(first.Close());
    EXPECT_TRUE(first.PortName().empty());
    EXPECT_TRUE(second.Open(pty.Path()));
    EXPECT_EQ(second.OpenError(), PortError::None);
}

TEST(ComPortOpen, CloseOfClosedPortDoesNothing)
{
    CComPort port;
    EXPECT_TRUE(port.Close());
    EXPECT_TRUE(port.Close());
    uint8_t b[4];
    EXPECT_EQ(port.Read(b, 4), 0u);
    EXPECT_EQ(port.Write(b, 4), 0u);
}

TEST(ComPortOpen, ConfigureSetsRawTwoStopBitsAndRefusesOddRates)
{
    PtyPair pty;
    CComPort port;
    EXPECT_FALSE(port.Configure(9600, 8, Parity::None, StopBits::Two));  // nothing open
    ASSERT_TRUE(port.Open(pty.Path()));
    EXPECT_FALSE(port.Configure(12345, 8, Parity::None, StopBits::Two));
    EXPECT_FALSE(port.Configure(9600, 9, Parity::None, StopBits::Two));
    ASSERT_TRUE(port.Configure(9600, 8, Parity::None, StopBits::Two));
    termios tio{};
    ASSERT_EQ(tcgetattr(pty.Master(), &tio), 0);  // the master sees the slave's settings
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | ICRNL));
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_TRUE(tio.c_iflag & PARMRK);
}

TEST_F(ComPortTest, ReadTakesExactlyCountAndLeavesTheRestQueued)
{
    port.SetReadTimeout(200);
    pty.Send({1, 2, 3, 4, 5, 6});
    uint8_t b[8] = {};
    EXPECT_EQ(port.Read(b, 4), 4u);
    EXPECT_EQ(b[3], 4);
    EXPECT_EQ(port.Read(b, 2), 2u);
    EXPECT_EQ(b[0], 5);
    EXPECT_EQ(b[1], 6);
}

TEST_F(ComPortTest, ReadReturnsWhatCameWhenTheTimeOutPasses)
{
    port.SetReadTimeout(70);
    pty.Send({0x02, 'A'});
    uint8_t b[6] = {};
    EXPECT_EQ(port.Read(b, 6), 2u);
    EXPECT_FALSE(port.LineErrorSeen());
    EXPECT_EQ(port.Read(b, 6), 0u);
}

TEST_F(ComPortTest, ReadWithoutTimeOutWaitsForTheBytes)
{
    port.SetReadTimeout(0);
    std::thread far([this] {
        std::this_thread::sleep_for(150ms);
        pty.Send({7, 8});
        std::this_thread::sleep_for(50ms);
        pty.Send({9});
    });
    uint8_t b[3] = {};
    EXPECT_EQ(port.Read(b, 3), 3u);
    far.join();
    EXPECT_EQ(b[2], 9);
}

TEST_F(ComPortTest, DataBytesFFPassUnchanged)
{
    port.SetReadTimeout(200);
    const std::vector<uint8_t> data = {0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x41, 0xFF};
    pty.Send(data);
    std::vector<uint8_t> b(data.size());
    ASSERT_EQ(port.Read(b.data(), b.size()), data.size());
    EXPECT_EQ(b, data);
    EXPECT_EQ(port.Traffic().bytesRead, data.size());
}

TEST_F(ComPortTest, LineErrorEndsTheReadUntilPurged)
{
    port.SetReadTimeout(200);
    port.PurgeInput();
    ASSERT_TRUE(SignalPtyLineError(pty.Master()));
    pty.Send({1, 2, 3});
    uint8_t b[3];
    EXPECT_EQ(port.Read(b, 3), 0u);
    EXPECT_TRUE(port.LineErrorSeen());
    EXPECT_EQ(port.Traffic().lineErrors, 1u);
    // Reported once; the purge of the next exchange clears the queue.
    port.PurgeInput();
    pty.Send({4, 5, 6});
    EXPECT_EQ(port.Read(b, 3), 3u);
    EXPECT_FALSE(port.LineErrorSeen());
    EXPECT_EQ(b[0], 4);
}

TEST_F(ComPortTest, LineErrorEndsAReadWithoutTimeOutAndWithoutData)
{
    port.SetReadTimeout(0);
    port.PurgeInput();
    std::thread far([this] {
        std::this_thread::sleep_for(100ms);
        SignalPtyLineError(pty.Master());
    });
    uint8_t b[3];
    EXPECT_EQ(port.Read(b, 3), 0u);
    far.join();
    EXPECT_TRUE(port.LineErrorSeen());
}

TEST_F(ComPortTest, PurgeDiscardsQueuedInput)
{
    port.SetReadTimeout(100);
    pty.Send({1, 2, 3});
    std::this_thread::sleep_for(20ms);
    port.PurgeInput();
    pty.Send({9});
    uint8_t b[1];
    EXPECT_EQ(port.Read(b, 1), 1u);
    EXPECT_EQ(b[0], 9);
}

TEST_F(ComPortTest, WriteSendsTheWholeString)
{
    const std::vector<uint8_t> frame = {0x02, 'P', 'a', 0x03, 0xFF, 0x0A};
    EXPECT_EQ(port.Write(frame.data(), frame.size()), frame.size());
    EXPECT_EQ(pty.Receive(frame.size()), frame);
    EXPECT_EQ(port.Traffic().bytesWritten, frame.size());
}

TEST_F(ComPortTest, ReadAfterTheFarEndHungUpReturnsWhatCame)
{
    port.SetReadTimeout(0);
    CComPort other;  // a second pair whose master goes away
    auto gone = std::make_unique<PtyPair>();
    ASSERT_TRUE(other.Open(gone->Path()));
    other.Configure(9600, 8, Parity::None, StopBits::Two);
    gone->Send({1});
    std::this_thread::sleep_for(20ms);
    gone.reset();
    uint8_t b[4];
    EXPECT_LE(other.Read(b, 4), 1u);  // returns instead of waiting for ever
}

}  // namespace
}  // namespace rv::test
