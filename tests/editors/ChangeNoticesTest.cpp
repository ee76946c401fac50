// Rules behind "no silent changes" and "controls that do nothing are disabled": the notice for
// a committed frequency that was stored as another value, and which record commands would do
// something on a list.

#include <gtest/gtest.h>

#include "editors/channel/FrequencyText.h"
#include "editors/common/ListCommand.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

class FrequencyNotices : public test::HomeTest {};

TEST_F(FrequencyNotices, SayWhatWasTypedAndWhatWasStored)
{
    const BandLimits band{400, 470};
    struct Case {
        const char* typed;
        bool box;  ///< the sheet's box rule, else the grid's cell rule
        int message;
        const char* shownTyped;
        const char* shownStored;
    };
    const Case cases[] = {
        {"480", false, kMsgFrequencyAboveBand, "480.00000", "470.00000"},
        {"500", true, kMsgFrequencyAboveBand, "500.00000", "470.00000"},
        {"399.9", false, kMsgFrequencyBelowBand, "399.90000", "400.00000"},
        {"440.5234", false, kMsgFrequencyOffStep, "440.52340", "440.52250"},
        {"440.5", false, 0, "", ""},  // on the raster: stored as typed
        {"440.50000", true, 0, "", ""},
        {"", false, 0, "", ""},     // no frequency: nothing to say
        {"470", false, 0, "", ""},  // the limit itself is inside
    };
    for (const Case& c : cases) {
        const FrequencyEntry entry =
            c.box ? CommitFrequencyBox(c.typed, band) : CommitFrequencyCell(c.typed, band);
        const FrequencyNotice notice = FrequencyChangeNotice(c.typed, entry, band);
        EXPECT_EQ(notice.message, c.message) << c.typed;
        EXPECT_EQ(notice.typed, c.shownTyped) << c.typed;
        EXPECT_EQ(notice.stored, c.shownStored) << c.typed;
    }
}

TEST(RecordCommands, EnabledOnlyWhereTheyWouldDoSomething)
{
    struct Case {
        int count, current, limit;
        bool offers;
        RecordCommandStates want;  // first, previous, next, last, add, del, goTo
    };
    const Case cases[] = {
        {5, 1, 16, true, {false, false, true, true, true, true, true}},
        {5, 3, 16, true, {true, true, true, true, true, true, true}},
        {5, 5, 16, true, {true, true, false, false, true, true, true}},
        {1, 1, 16, true, {false, false, false, false, true, true, true}},
        {16, 16, 16, true, {true, true, false, false, false, true, true}},  // full: no Add
        {2, 2, 2, true, {true, true, false, false, false, true, true}},     // scan lists
        {3, 0, 16, true, {true, false, false, true, true, false, true}},    // no current row
        {0, 0, 16, true, {false, false, false, false, true, false, false}},
        {1, 1, 0, false, {false, false, false, false, false, false, true}},  // fixed list
    };
    for (const Case& c : cases) {
        const RecordCommandStates s = RecordCommandStatesOf(c.count, c.current, c.limit, c.offers);
        const auto tuple = [](const RecordCommandStates& x) {
            return std::tuple(x.first, x.previous, x.next, x.last, x.add, x.del, x.goTo);
        };
        EXPECT_EQ(tuple(s), tuple(c.want))
            << c.count << " items, current " << c.current << ", limit " << c.limit;
    }
}

}  // namespace
}  // namespace rv
