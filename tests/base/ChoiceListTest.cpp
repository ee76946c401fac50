// Choice lists of the language files: the items a combo box gets, the text shown for a stored
// value and the value of a shown text, for value entries, range descriptors and both mixed,
// and bounded, safe behaviour on descriptors a damaged language file may hold.

#include "base/ChoiceList.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace rv {
namespace {

using Items = std::vector<ChoiceEntry>;

struct ListCase {
    const char* list;
    Items expected;
};

class ChoiceListParseTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(ChoiceListParseTest, ItemsInOrder)
{
    EXPECT_EQ(ParseChoiceList(GetParam().list), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ChoiceListParseTest,
    ::testing::Values(
        ListCase{"0.Off;1.On", {{0, "Off"}, {1, "On"}}},
        ListCase{"1250:625:2500:1000:0:1:3", {{0, "1.250"}, {1, "1.875"}, {2, "2.500"}}},
        // Mixed: value entries around a descriptor whose stored values start at 1.
        ListCase{"0.Off;1:1:3:1:1:1:0;9.Max", {{0, "Off"}, {1, "1"}, {2, "2"}, {3, "3"}, {9, "Max"}}},
        // Stored step and display step differ; whole numbers are divided by the divisor.
        ListCase{"0:50:200:10:4:2:0", {{4, "0"}, {6, "5"}, {8, "10"}, {10, "15"}, {12, "20"}}},
        // Blanks and line breaks between entries, an empty entry, and texts with dots.
        ListCase{" 0.12.5 kHz ;\r\n;1. 25 kHz\t", {{0, "12.5 kHz"}, {1, " 25 kHz"}}},
        // Entries that are neither kind are skipped.
        ListCase{"Off;.5;x.y;3.Three;1:2:3", {{3, "Three"}}},
        ListCase{"", {}}));

TEST(ChoiceList, SixteenChannelNumbers)
{
    const Items items = ParseChoiceList("1:1:16:1:0:1:0");
    ASSERT_EQ(items.size(), 16u);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(items[k], (ChoiceEntry{k, std::to_string(k + 1)}));
    EXPECT_EQ(ChoiceTextOf("1:1:16:1:0:1:0", 15), "16");
}

struct TextCase {
    const char* list;
    int value;
    const char* text;  // "" when the value is not in the list
};

class ChoiceTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ChoiceTextTest, ShownTextOfAStoredValue)
{
    EXPECT_EQ(ChoiceTextOf(GetParam().list, GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ChoiceTextTest,
    ::testing::Values(
        TextCase{"0.Off;1.On", 1, "On"}, TextCase{"0.Off;1.On", 0, "Off"},
        TextCase{"0.Off;1.On", 2, ""}, TextCase{"0.Off;1.On;1.Again", 1, "On"},
        TextCase{"1:1:16:1:0:1:0", 0, "1"}, TextCase{"1:1:16:1:0:1:0", 16, ""},
        TextCase{"1:1:16:1:0:1:0", -1, ""},
        TextCase{"1250:625:2500:1000:0:1:3", 1, "1.875"},
        TextCase{"1250:625:2500:1000:0:1:3", 3, ""},
        TextCase{"0.Off;15:15:240:1:15:15:0", 0, "Off"},
        TextCase{"0.Off;15:15:240:1:15:15:0", 45, "45"},
        TextCase{"0.Off;15:15:240:1:15:15:0", 240, "240"},
        TextCase{"0.Off;15:15:240:1:15:15:0", 255, ""},
        // A value between two stored values of the descriptor is not one of its items.
        TextCase{"0:50:200:10:4:2:0", 5, ""}, TextCase{"0:50:200:10:4:2:0", 12, "20"},
        TextCase{"0.Off;1:1:3:1:1:1:0;9.Max", 9, "Max"}, TextCase{"", 0, ""}));

TEST(ChoiceList, TextOfEveryItemMatchesTheFilledList)
{
    // What a combo box shows for an item and what a grid cell shows for the same stored value
    // must agree, including descriptors with a divisor and no decimals.
    for (const char* list : {"0.Off;1.On", "1:1:16:1:0:1:0", "1250:625:2500:1000:0:1:3",
                             "0:100:1000:100:0:1:0", "0:50:200:10:4:2:0",
                             "0.Off;15:15:240:1:15:15:0", "-30:5:30:10:0:1:1",
                             "1:1:3:1:5:-2:0"}) {
        for (const ChoiceEntry& item : ParseChoiceList(list)) {
            EXPECT_EQ(ChoiceTextOf(list, item.value), item.text) << list << " value " << item.value;
            EXPECT_EQ(ChoiceValueOf(list, item.text), item.value) << list << " text " << item.text;
        }
    }
}

TEST(ChoiceList, ValueOfAShownText)
{
    EXPECT_EQ(ChoiceValueOf("0.Off;1.On", "On"), 1);
    EXPECT_EQ(ChoiceValueOf("1250:625:2500:1000:0:1:3", "2.500"), 2);
    EXPECT_EQ(ChoiceValueOf("0.Off;1.On", "on"), std::nullopt);
    EXPECT_EQ(ChoiceValueOf("0.Off;1.On", "Maybe"), std::nullopt);
    EXPECT_EQ(ChoiceValueOf("", ""), std::nullopt);
}

TEST(ChoiceList, NamesBeforeTheFirstComma)
{
    EXPECT_EQ(SplitChoiceNames("English,1;简体中文,2,x;Plain"),
              (std::vector<std::string>{"English", "简体中文", "Plain"}));
    EXPECT_TRUE(SplitChoiceNames("").empty());
}

TEST(ChoiceList, RangeDescriptorNeedsExactlySevenNumbers)
{
    auto r = ParseRangeDescriptor("1250:625:2500:1000:0:1:3");
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->displayStart, 1250);
    EXPECT_EQ(r->displayStep, 625);
    EXPECT_EQ(r->displayEnd, 2500);
    EXPECT_EQ(r->divisor, 1000);
    EXPECT_EQ(r->storedStart, 0);
    EXPECT_EQ(r->storedStep, 1);
    EXPECT_EQ(r->decimals, 3);
    EXPECT_EQ(r->Count(), 3);
    for (const char* bad : {"1:2:3:4:5:6", "1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7x", "0.Off", "", "a:b:c:d:e:f:g"})
        EXPECT_FALSE(ParseRangeDescriptor(bad).has_value()) << bad;
}

// ---- descriptors a damaged language file may hold ----

struct MalformedCase {
    const char* list;
    size_t items;            // items the list fills
    int probeValue;          // a stored value to look up
    const char* probeText;   // its text
};

class ChoiceListMalformedTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(ChoiceListMalformedTest, BoundedAndSafe)
{
    const MalformedCase& c = GetParam();
    const Items items = ParseChoiceList(c.list);
    EXPECT_EQ(items.size(), c.items);
    EXPECT_LE(static_cast<long long>(items.size()), kMaxChoiceItems);
    EXPECT_EQ(ChoiceTextOf(c.list, c.probeValue), c.probeText);
    (void)ChoiceValueOf(c.list, "1");
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, ChoiceListMalformedTest,
    ::testing::Values(
        MalformedCase{"1:0:16:1:0:1:0", 0, 0, ""},    // display step 0: no items, no endless loop
        MalformedCase{"1:-1:16:1:0:1:0", 0, 0, ""},   // negative display step
        MalformedCase{"16:1:1:1:0:1:0", 0, 0, ""},    // end below start
        MalformedCase{"1:1:3:0:0:1:0", 3, 2, "3"},    // divisor 0 counts as 1
        MalformedCase{"1:1:3:0:0:1:2", 3, 1, "2.00"},
        // Stored step 0: every item has the same value, which shows as the first item.
        MalformedCase{"1:1:3:1:5:0:0", 3, 5, "1"},
        MalformedCase{"1:1:3:1:5:-2:0", 3, 1, "3"},  // negative stored step counts down
        MalformedCase{"1:1:3:1:0:1:-4", 3, 1, "2"},   // negative decimals: whole numbers
        MalformedCase{"1:1:3:1:0:1:400", 3, 1, "2.000000000"},  // decimals capped
        // Huge ranges fill at most kMaxChoiceItems items, and the lookup stays direct.
        MalformedCase{"0:1:2147483647:1:0:1:0", static_cast<size_t>(kMaxChoiceItems),
                      2000000000, "2000000000"},
        MalformedCase{"-2147483648:1:2147483647:1:0:1:0", static_cast<size_t>(kMaxChoiceItems),
                      0, "-2147483648"},
        // Extreme steps and a negative divisor: no overflow.
        MalformedCase{"-2147483648:2147483647:2147483647:-1:-2147483648:2147483647:0", 3, -1,
                      "1"},
        MalformedCase{"0:1:2147483647:1:0:1:0;7.Seven", static_cast<size_t>(kMaxChoiceItems), 7,
                      "7"},
        // A number beyond the int range makes the entry no descriptor.
        MalformedCase{"99999999999999999999:1:2:1:0:1:0", 0, 0, ""},
        MalformedCase{"1:1:2:1:0:1:2147483648", 0, 0, ""}));

TEST(ChoiceList, ManyDescriptorsStayWithinTheItemLimit)
{
    std::string list;
    for (int i = 0; i < 100; ++i) list += "0:1:1000:1:0:1:0;";
    EXPECT_EQ(static_cast<long long>(ParseChoiceList(list).size()), kMaxChoiceItems);
}

}  // namespace
}  // namespace rv
