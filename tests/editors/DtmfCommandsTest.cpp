// The record commands of the DTMF system list: the image holds one system, so the list never
// grows, and Delete of the only system removes nothing and leaves no system current.

#include <gtest/gtest.h>

#include "data/RadioData.h"
#include "editors/dtmf/DtmfCommands.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

class DtmfCommandsTest : public test::HomeTest {};

TEST_F(DtmfCommandsTest, TheOnlySystemStaysAndNoneIsCurrentAfterDelete)
{
    ASSERT_TRUE(OpenDtmfSystemList().current.has_value());
    ASSERT_EQ(Radio().DtmfSystems().size(), 1u);
    // Whatever the view asks for when one item is left.
    for (SingleItemDelete single : {SingleItemDelete::KeepCurrent, SingleItemDelete::NoCurrent}) {
        const ListCommandResult r = RunDtmfSystemCommand(ListCommand::Delete, 0, 0, single);
        EXPECT_TRUE(r.refused);
        EXPECT_FALSE(r.current.has_value());
        EXPECT_FALSE(r.listChanged);
        EXPECT_EQ(Radio().DtmfSystems().size(), 1u);
    }
    // Add is refused with the list full; the current system stays.
    const ListCommandResult add =
        RunDtmfSystemCommand(ListCommand::Add, 0, 0, SingleItemDelete::NoCurrent);
    EXPECT_TRUE(add.refused);
    EXPECT_EQ(add.current, std::optional<size_t>(0));
    EXPECT_EQ(Radio().DtmfSystems().size(), 1u);
    // A navigation command makes it current again.
    EXPECT_EQ(RunDtmfSystemCommand(ListCommand::First, std::nullopt, 0, SingleItemDelete::NoCurrent)
                  .current,
              std::optional<size_t>(0));
}

}  // namespace
}  // namespace rv
