// Undo and redo of configuration changes: the step logic on plain snapshots, and the
// document's history over the real radio data (image, channel list, aliases).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDocumentUi.h"
#include "data/Document.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "data/UndoStack.h"
#include "editors/channel/ChannelData.h"
#include "editors/general/MiscBlock.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

UndoSnapshot State(uint8_t marker, std::vector<std::string> aliases = {})
{
    UndoSnapshot s;
    s.image.fill(0xFF);
    s.image[0] = marker;
    s.aliases = std::move(aliases);
    return s;
}

TEST(UndoStack, StepsFollowCheckpointsUndoAndRedo)
{
    CUndoStack stack;
    // Nothing is recorded before the history starts.
    EXPECT_FALSE(stack.Checkpoint(State(1)));
    EXPECT_FALSE(stack.CanUndo(State(1)));

    stack.Reset(State(1));
    EXPECT_FALSE(stack.Checkpoint(State(1)));  // unchanged: no step
    EXPECT_TRUE(stack.Checkpoint(State(2)));
    EXPECT_TRUE(stack.Checkpoint(State(2, {"base"})));  // an alias alone is a change
    EXPECT_EQ(stack.UndoCount(), 2u);

    // A change not yet checkpointed is undone first.
    EXPECT_TRUE(stack.CanUndo(State(3)));
    EXPECT_EQ(stack.Undo(State(3)), State(2, {"base"}));
    EXPECT_TRUE(stack.CanRedo(State(2, {"base"})));
    EXPECT_EQ(stack.Undo(State(2, {"base"})), State(2));
    EXPECT_EQ(stack.Undo(State(2)), State(1));
    EXPECT_FALSE(stack.Undo(State(1)).has_value());
    EXPECT_FALSE(stack.CanUndo(State(1)));

    EXPECT_EQ(stack.Redo(State(1)), State(2));
    EXPECT_EQ(stack.Redo(State(2)), State(2, {"base"}));
    EXPECT_TRUE(stack.CanRedo(State(2, {"base"})));

    // A new change after an undo drops what could be redone.
    EXPECT_FALSE(stack.CanRedo(State(9)));
    EXPECT_FALSE(stack.Redo(State(9)).has_value());
    EXPECT_EQ(stack.RedoCount(), 0u);
    EXPECT_EQ(stack.Undo(State(9)), State(2, {"base"}));

    stack.Reset(State(5));
    EXPECT_FALSE(stack.CanUndo(State(5)));
    EXPECT_FALSE(stack.CanRedo(State(5)));
}

TEST(UndoStack, KeepsOnlyTheNewestStepsUpToItsDepth)
{
    CUndoStack stack(3);
    stack.Reset(State(0));
    for (uint8_t m = 1; m <= 6; ++m) stack.Checkpoint(State(m));
    EXPECT_EQ(stack.UndoCount(), 3u);
    EXPECT_EQ(stack.Undo(State(6)), State(5));
    EXPECT_EQ(stack.Undo(State(5)), State(4));
    EXPECT_EQ(stack.Undo(State(4)), State(3));
    EXPECT_FALSE(stack.Undo(State(3)).has_value());
    // Redo brings back every undone step, and the depth still holds afterwards.
    EXPECT_EQ(stack.Redo(State(3)), State(4));
    EXPECT_EQ(stack.Redo(State(4)), State(5));
    EXPECT_EQ(stack.Redo(State(5)), State(6));
    EXPECT_EQ(stack.UndoCount(), 3u);
}

class DocumentUndo : public test::HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
        ASSERT_TRUE(doc.New().Ok());
        // Room for one more channel; the history starts here.
        while (Radio().Channels().size() > 4) Radio().Channels().pop_back();
        doc.MarkClean();
        doc.ResetUndo();
    }
    static uint8_t& Marker() { return Radio().Misc().Raw()[0]; }
    test::FakeDocumentUi ui;
    CQTXDoc doc{ui};
};

TEST_F(DocumentUndo, RestoresImageChannelsAndAliasesThroughTheMemoryMap)
{
    RadioData& radio = Radio();
    const UndoSnapshot start = CaptureConfig();
    const size_t channels = radio.Channels().size();
    ASSERT_GE(channels, 2u);
    ASSERT_LT(channels, kMaxChannels);
    EXPECT_FALSE(doc.CanUndo());

    Marker() = 0x0D;
    radio.SetChannelAlias(radio.Channels()[1]->id_, "Gate");
    EXPECT_TRUE(doc.Checkpoint());
    const UndoSnapshot edited = CaptureConfig();
    radio.AddChannel();
    EXPECT_TRUE(doc.Checkpoint());
    EXPECT_EQ(radio.Channels().size(), channels + 1);

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(radio.Channels().size(), channels);
    EXPECT_EQ(CaptureConfig(), edited);
    // The alias follows the channel's position into the unpacked list.
    EXPECT_EQ(radio.ChannelAlias(radio.Channels()[1]->id_), "Gate");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(CaptureConfig(), start);
    EXPECT_EQ(radio.ChannelAlias(radio.Channels()[1]->id_), "");
    EXPECT_FALSE(doc.Undo());
    EXPECT_TRUE(doc.IsModified() == false);

    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(CaptureConfig(), edited);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(radio.Channels().size(), channels + 1);
    EXPECT_FALSE(doc.Redo());
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentUndo, NewDataStartANewHistory)
{
    Marker() = 0x0D;
    EXPECT_TRUE(doc.CanUndo());   // the change counts before any checkpoint
    ASSERT_TRUE(doc.New().Ok());  // asks 800; the fake says Yes
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.CanRedo());

    Marker() = 0x0D;
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.CanRedo());
    doc.LoadDefaultSet(2);  // a model or language change reloads
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_FALSE(doc.CanUndo());
}

}  // namespace
}  // namespace rv
