// What a transfer may never do, against the simulated radio over a pseudo-terminal: take a late
// answer for the next block (a sweep of answer latencies, with block answers whose header
// bytes tell nothing about their request), or leave the radio in a transfer mode when it is
// asked to stop.

#include <atomic>

#include "data/RadioData.h"
#include "link/LinkTestSupport.h"
#include "link/Transfer.h"

namespace rv::test {
namespace {

using namespace std::chrono_literals;

struct Quiet : ITransferObserver {
    void OnTransferProgress(TransferDirection, int) override {}
    void OnTransferFinished(TransferDirection, const LinkResult&) override {}
};

// ----- the latency sweep -----

class LatencySweep : public SimHomeTest, public ::testing::WithParamInterface<int> {};

TEST_P(LatencySweep, ReadGivesTheExactImageOrACleanFailure)
{
    const int latencyMs = GetParam();
    sim::SimOptions options;
    options.latency = std::chrono::milliseconds(latencyMs);
    options.foreignHeaders = true;
    StartRadio(options);
    // Every block different from every other, so that a block taken for its neighbour shows.
    radio->SetMemory(PatternMemory());
    ModelCatalog().LoadRangeTable();
    Radio().MemoryImage().fill(0x5A);
    const Image before = Radio().MemoryImage();

    CTransfer t(TransferDirection::Read);
    Quiet quiet;
    LinkResult r = t.Connect();
    if (r.Ok()) r = t.Run(quiet);
    t.CommitRead();
    EXPECT_FALSE(t.Link().IsOpen());
    if (r.Ok()) {
        EXPECT_EQ(t.Buffer(), radio->GetMemory()) << "latency " << latencyMs << " ms";
        EXPECT_EQ(Radio().MemoryImage(), radio->GetMemory());
    } else {
        // A clean failure: a message with its cause, and nothing taken over.
        EXPECT_NE(r.message, 0);
        EXPECT_NE(r.Text(), "");
        EXPECT_TRUE(r.status == LinkStatus::NoRadio || r.status == LinkStatus::IdentityFailed ||
                    r.status == LinkStatus::ModeRefused || r.status == LinkStatus::BlockFailed)
            << static_cast<int>(r.status);
        EXPECT_EQ(Radio().MemoryImage(), before);
    }
    // A radio that answers in time is read whatever its header bytes hold.
    if (latencyMs <= 50) {
        EXPECT_TRUE(r.Ok()) << r.Text();
    }
}

// From an answer at once, through answers at the edge of the 30 + 70 ms an exchange waits, to
// answers that come in the next exchange.
INSTANTIATE_TEST_SUITE_P(Latencies, LatencySweep, ::testing::Values(0, 50, 90, 100, 110, 130, 150),
                         [](const auto& info) { return std::to_string(info.param) + "ms"; });

// ----- stopping on request -----

/// Asks the transfer to stop once `after` blocks have been reported.
struct StopAfter : ITransferObserver {
    StopAfter(std::atomic<bool>& stop, int after) : stop(stop), after(after) {}
    void OnTransferProgress(TransferDirection, int) override
    {
        if (++blocks == after) stop = true;
    }
    void OnTransferFinished(TransferDirection, const LinkResult&) override {}
    std::atomic<bool>& stop;
    int after;
    int blocks = 0;
};

class StopRequest : public SimHomeTest {
protected:
    void SetUp() override
    {
        SimHomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
        radio->SetMemory(PatternMemory());
        Radio().MemoryImage().fill(0x5A);
    }
    std::atomic<bool> stop{false};
};

TEST_F(StopRequest, WriteEndsAfterTheBlockUnderWayAndSaysWhatTheRadioHolds)
{
    CTransfer t(TransferDirection::Write);
    t.SetStopRequest(&stop);
    ASSERT_TRUE(t.Connect().Ok());
    StopAfter observer(stop, 10);
    const LinkResult r = t.Run(observer);
    EXPECT_EQ(r.status, LinkStatus::Interrupted);
    EXPECT_EQ(r.message, LinkMessage::kWriteInterrupted);
    const AddressRange written{120, 120 + 10 * 16 - 1};
    ASSERT_EQ(r.written, std::vector<AddressRange>{written});
    EXPECT_NE(r.Text().find("Addresses 120 (0x078) to 279 (0x117) hold the new configuration"),
              std::string::npos)
        << r.Text();
    EXPECT_EQ(radio->CommandCount("Ea"), 10);
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_FALSE(t.Link().IsOpen());
    const sim::Memory after = radio->GetMemory();
    const sim::Memory original = PatternMemory();
    const Image& sent = Radio().MemoryImage();  // with the adjustments for older firmware
    for (size_t a = 0; a < after.size(); ++a) {
        if (a >= written.first && a <= written.last)
            EXPECT_EQ(after[a], sent[a]) << a;
        else
            EXPECT_EQ(after[a], original[a]) << a;
    }
}

TEST_F(StopRequest, ReadEndsTheConnectionAndTakesNothingOver)
{
    const Image before = Radio().MemoryImage();
    CTransfer t(TransferDirection::Read);
    t.SetStopRequest(&stop);
    ASSERT_TRUE(t.Connect().Ok());
    StopAfter observer(stop, 5);
    const LinkResult r = t.Run(observer);
    t.CommitRead();
    EXPECT_EQ(r.status, LinkStatus::Interrupted);
    EXPECT_EQ(r.message, LinkMessage::kReadInterrupted);
    EXPECT_EQ(radio->CommandCount("Eb"), 5);
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_EQ(Radio().MemoryImage(), before);
}

TEST_F(StopRequest, BeforeTheModeChangeNothingIsAsked)
{
    stop = true;
    CTransfer t(TransferDirection::Write);
    t.SetStopRequest(&stop);
    const LinkResult r = t.Connect();
    EXPECT_EQ(r.status, LinkStatus::Interrupted);
    EXPECT_EQ(r.message, LinkMessage::kConnectInterrupted);
    EXPECT_EQ(radio->CommandCount("Ma"), 0);
    EXPECT_EQ(radio->CommandCount("Bb"), 0);
    EXPECT_FALSE(t.Link().IsOpen());
}

}  // namespace
}  // namespace rv::test
