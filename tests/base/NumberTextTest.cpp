// Numbers with decimals are written with a point and read with a point or a comma, whatever the
// desktop's language: each case runs under the C locale and under a German one, where the C
// library writes "446,50000" and reads "446.5" as 446.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "base/ChoiceList.h"
#include "base/FrequencyText.h"
#include "base/NumberText.h"

namespace rv {
namespace {

/// Runs each test under the locale named by its parameter, and back under "C" after it.
class NumberTextTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        if (std::setlocale(LC_ALL, GetParam()) == nullptr)
            GTEST_SKIP() << GetParam() << " is not installed (scripts/test.sh generates it)";
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_P(NumberTextTest, WrittenWithAPoint)
{
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {446.5, 5, "446.50000"}, {67.0, 1, "67.0"},    {0.5, 1, "0.5"},   {-2.25, 2, "-2.25"},
        {12.0, 0, "12"},         {2.5, 12, "2.500000000"}, {446.00625, 5, "446.00625"},
    };
    for (const Case& c : cases) EXPECT_EQ(DecimalText(c.value, c.decimals), c.text);
    EXPECT_EQ(FormatFrequencyUnits(44650000), "446.50000");
    EXPECT_EQ(FormatFrequencyUnits(1), "0.00001");
    RangeDescriptor halves;
    halves.divisor = 2;
    halves.decimals = 1;
    EXPECT_EQ(halves.Format(5), "2.5");
}

TEST_P(NumberTextTest, ReadWithAPointOrAComma)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* text;
        double value;   ///< the number the text starts with
        size_t length;  ///< characters read; 0 when it starts with none
    };
    const Case cases[] = {
        {"446.5", 446.5, 5},     {"446,5", 446.5, 5},   {"  446,5MHz", 446.5, 7},
        {"-5", -5, 2},           {"+5", 5, 2},          {".5", 0.5, 2},
        {",5", 0.5, 2},          {"5.", 5, 2},          {"5,", 5, 2},
        {"1e3", 1000, 3},        {"1,5E-1", 0.15, 6},   {"1e", 1, 1},
        {"1.2.3", 1.2, 3},       {"1,234.5", 1.234, 5}, {"0x10", 0, 1},
        {"1e400", kInf, 5},      {"-1e400", -kInf, 6},  {"1e-400", 0, 6},
        {"abc", 0, 0},           {".", 0, 0},           {"-", 0, 0},
        {"inf", 0, 0},           {"nan", 0, 0},         {"", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const DecimalStart start = ReadDecimalStart(c.text);
        EXPECT_EQ(start.length, c.length);
        EXPECT_EQ(start.value, c.value);
    }
    EXPECT_EQ(ReadDecimal(" 446,5 "), 446.5);
    EXPECT_EQ(ReadDecimal("446.5"), 446.5);
    for (const char* refused : {"", " ", "446.5x", "446 5", "1e400", "nan", "inf"})
        EXPECT_EQ(ReadDecimal(refused), std::nullopt) << refused;
}

TEST_P(NumberTextTest, TypedFrequenciesKeepTheirDecimals)
{
    // A comma-decimal desktop once stored 446.5 typed in a box as 446.00000.
    for (const char* text : {"446.5", "446,5", "446,50000", " 446.5 "}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(FreqTextToUnits(text), 44650000u);
        EXPECT_EQ(FreqTextToUnitsTruncated(text), 44650000u);
        EXPECT_EQ(ExactFrequencyUnits(text, kNoFrequency), 44650000u);
    }
    EXPECT_EQ(ExactFrequencyUnits("446,5,1", kNoFrequency), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextTest, ::testing::Values("C", "de_DE.UTF-8"),
                         [](const auto& info) {
                             return std::string(info.index == 0 ? "C" : "CommaDecimal");
                         });

}  // namespace
}  // namespace rv
