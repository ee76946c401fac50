// Radio information record: defaults from the current model and range, the programming time
// stamp and the "Last Programmed Date" text.

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "base/Bytes.h"
#include "data/RadioData.h"
#include "editors/radio/FactoryBlock.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/TimeStamp.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

std::tm Time(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(TimeStampTest, LastProgrammedDateLimitsEachField)
{
    struct Case {
        TimeStamp stamp;
        const char* text;
    };
    const Case cases[] = {
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "2037-12-31 00:59:59"},
        {{0x30, 0x15, 0x10, 0x05, 0x03, 0x09, 0x14, 0x00}, "2009-03-05 16:21:48"},
        {{59, 59, 23, 31, 12, 37, 20, 0}, "2037-12-31 23:59:59"},
        {{0, 0, 24, 1, 1, 0, 20, 0}, "2000-01-01 00:00:00"},
        {{60, 60, 0, 1, 1, 38, 0, 0}, "2037-01-01 00:59:59"},
        {{0, 0, 0, 0, 0, 24, 20, 0}, "2024-00-00 00:00:00"},  // month/day 0 shown as stored
    };
    for (const Case& c : cases) EXPECT_EQ(LastProgrammedDate(c.stamp.data()), c.text);
}

TEST(TimeStampTest, StampOfALocalTime)
{
    EXPECT_EQ(MakeTimeStamp(Time(2009, 3, 5, 16, 21, 48)),
              (TimeStamp{0x30, 0x15, 0x10, 0x05, 0x03, 0x09, 0x14, 0x00}));
    EXPECT_EQ(MakeTimeStamp(Time(2100, 12, 31, 23, 59, 59)),
              (TimeStamp{59, 59, 23, 31, 12, 0, 21, 0}));
    uint8_t buffer[10] = {0xEE, 0, 0, 0, 0, 0, 0, 0, 0, 0xEE};
    WriteTimeStamp(buffer + 1, Time(2024, 7, 9, 8, 7, 6));
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(buffer[9], 0xEE);
    EXPECT_EQ(LastProgrammedDate(buffer + 1), "2024-07-09 08:07:06");
}

class RadioInfoBlockTest : public test::HomeTest {};

TEST_F(RadioInfoBlockTest, DefaultsFollowTheCurrentModelAndRange)
{
    struct Case {
        const char* model;
        const char* range;
        uint8_t bandCode;
        uint32_t low, high;
    };
    const Case cases[] = {
        {"RV205", "400-470", 1, 0x40000000, 0x47000000},
        {"RV205", "136-174", 128, 0x13600000, 0x17400000},
        {"RV385", "350-400", 6, 0x35000000, 0x40000000},
        {"RV205", "300-350", 0, 0x30000000, 0x35000000},  // not in the range table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.range);
        UseModel(c.model, c.range);
        const CRadioInfoBlock& info = Radio().RadioInfo();
        EXPECT_EQ(info.ModelName(), Settings().ModelName());
        EXPECT_EQ(info.BandCode(), c.bandCode);
        EXPECT_EQ(info.LowerEdgeBcd(), c.low);
        EXPECT_EQ(info.UpperEdgeBcd(), c.high);
        EXPECT_EQ(info.SerialNumber(), "----------------");
        EXPECT_EQ(info.Language(), 0);
        EXPECT_EQ(info.SignalType(), Settings().Signal());
        EXPECT_EQ(info.Raw()[13], 0xFF);
        EXPECT_FALSE(info.HasFactoryMarker());
        const TimeStamp stamp = info.GetTimeStamp();
        EXPECT_EQ(stamp[7], 0);
        EXPECT_EQ(stamp[6], 20);  // this century
        EXPECT_LE(stamp[4], 12);
    }
}

TEST_F(RadioInfoBlockTest, RangeTableEndsWithTheFallbackRange)
{
    // A model whose catalogue lists fewer ranges than it claims ends with 136-174 (code 128).
    home.Write("Model.dat", "[Setting]\nModelID=RV205\nRV205=RV-205\n[RV205]\nNumber=3\n"
                            "Freq0=400, 470, 400, 470, 1\n");
    Reinit();
    UseModel("RV205", "136-174");
    EXPECT_EQ(Radio().RadioInfo().BandCode(), 128);
    UseModel("RV205", "400-470");
    EXPECT_EQ(Radio().RadioInfo().BandFlag(), false);
    EXPECT_EQ(Radio().RadioInfo().RangeId(), 1);
}

TEST_F(RadioInfoBlockTest, TextFieldsAreCutAndZeroPadded)
{
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.SetModelName("RV-205 Professional");
    EXPECT_EQ(info.ModelName(), "RV-205 Profe");
    info.SetModelName("RV-2");
    EXPECT_EQ(info.ModelName(), "RV-2");
    for (size_t i = 4; i < 12; ++i) EXPECT_EQ(info.Raw()[i], 0) << i;
    EXPECT_EQ(info.Raw()[12], 1);  // the band code next to it is untouched

    info.SetSerialNumber("SN-0123456789ABCDEF");
    EXPECT_EQ(info.SerialNumber(), "SN-0123456789ABC");
    info.SetModelIdText("RV205");
    EXPECT_EQ(info.ModelIdText(), "RV205");
    info.SetFactoryMarker();
    EXPECT_TRUE(info.HasFactoryMarker());
    EXPECT_EQ(info.Raw()[88], 0x55);
    EXPECT_EQ(info.Raw()[91], 0x55);

    info.SetTimeStamp(Time(2009, 3, 5, 16, 21, 48));
    EXPECT_EQ(info.LastProgrammedDate(), "2009-03-05 16:21:48");
    EXPECT_EQ(info.Raw()[CRadioInfoBlock::Offset::kTimeStamp + 6], 20);
}

TEST_F(RadioInfoBlockTest, FactoryBlockPointsAtTheRadioInformation)
{
    CFactoryBlock factory;
    EXPECT_EQ(factory.Info(), nullptr);
    factory.Attach(&Radio().RadioInfo());
    factory.Info()->SetSerialNumber("12345");
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "12345");
}

}  // namespace
}  // namespace rv
