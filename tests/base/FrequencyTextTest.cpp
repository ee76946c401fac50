// Frequency texts: the editors' lenient reading (as atof reads a typed text, rounded or
// truncated) and the field engine's exact reading agree on every text that is a frequency,
// and differ only where the exact reading refuses what the lenient one repairs.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/FrequencyText.h"

namespace rv {
namespace {

TEST(FrequencyText, LenientAndExactReadingsOfTypedTexts)
{
    struct Case {
        const char* text;
        uint32_t rounded;               ///< FreqTextToUnits
        uint32_t truncated;             ///< FreqTextToUnitsTruncated
        std::optional<uint32_t> exact;  ///< ExactFrequencyUnits, blank giving kNoFrequency
    };
    const Case cases[] = {
        {"446.00625", 44600625, 44600625, 44600625},
        {" 446.00625\t", 44600625, 44600625, 44600625},
        {"400.123456", 40012346, 40012345, 40012346},
        {"0", 0, 0, 0},
        {"", kNoFrequency, kNoFrequency, kNoFrequency},
        {"   ", kNoFrequency, kNoFrequency, kNoFrequency},
        // Repaired by the editors, refused by the field engine.
        {"abc", 0, 0, std::nullopt},
        {"446.5MHz", 44650000, 44650000, std::nullopt},
        {"-5", 0, 0, std::nullopt},
        {"inf", 0, 0, std::nullopt},
        {"999.99999", 99999999, 99999999, 99999999},
        {"1000", kMaxFreqUnits, kMaxFreqUnits, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FreqTextToUnits(c.text), c.rounded);
        EXPECT_EQ(FreqTextToUnitsTruncated(c.text), c.truncated);
        EXPECT_EQ(ExactFrequencyUnits(c.text, kNoFrequency), c.exact);
    }
}

TEST(FrequencyText, ShownTextsReadBackToTheSameFrequency)
{
    for (uint32_t units : {0u, 1u, 13600000u, 44600625u, 43477500u, kMaxFreqUnits}) {
        const std::string text = FormatFrequencyUnits(units);
        EXPECT_EQ(ExactFrequencyUnits(text, kNoFrequency), units) << text;
        EXPECT_EQ(FreqTextToUnitsTruncated(text), units) << text;
        EXPECT_EQ(FormatBcdFrequency(ToBcd(units)), text);
    }
    EXPECT_EQ(FormatFrequencyUnits(kNoFrequency), "");
    EXPECT_EQ(FormatBcdFrequency(kNoFrequency), "");
}

}  // namespace
}  // namespace rv
