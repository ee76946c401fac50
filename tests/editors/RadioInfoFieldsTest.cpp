// The radio information view's texts: record fields, the model identity of the settings and
// the firmware version taken from the last radio identity.

#include <gtest/gtest.h>

#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/RadioInfoFields.h"
#include "editors/radio/TimeStamp.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

TEST(RadioInfoFieldsTest, FirmwareVersionKeepsSevenCharacters)
{
    EXPECT_EQ(FirmwareVersionText("1.01.16.001"), "V1.01.16");
    EXPECT_EQ(FirmwareVersionText("1.02"), "V1.02");
    EXPECT_EQ(FirmwareVersionText(""), "V");
}

class RadioInfoFieldsHome : public test::HomeTest {};

TEST_F(RadioInfoFieldsHome, DefaultsShowTheCurrentModelIdentity)
{
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.SetDefaults();
    const RadioInfoFields f = ToFields(info, Settings());
    EXPECT_EQ(f.modelName, Settings().ModelName());
    EXPECT_EQ(f.frequencyRange, Settings().FreqRange());
    EXPECT_EQ(f.serialNumber, "----------------");
    EXPECT_EQ(f.signalingType, Settings().GetChoiceText(kSignalChoiceList, Settings().Signal()));
    EXPECT_FALSE(f.signalingType.empty());
    EXPECT_EQ(f.firmwareVersion, "V1.01.16");
}

TEST_F(RadioInfoFieldsHome, RecordFieldsAndIdentityAreShownAsTheyAre)
{
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.SetModelName("RV-2");  // shorter than the field: shown without the padding
    info.SetSerialNumber("SN12345");
    info.SetTimeStamp(TimeStamp{0x30, 0x15, 0x10, 0x05, 0x03, 0x09, 0x14, 0x00});
    Settings().SetFreqRange("136-174");
    Settings().SetRadioVersion("1.01.99.123");
    Settings().SetSignal(99);  // no entry in the choice list: nothing shown
    const RadioInfoFields f = ToFields(info, Settings());
    EXPECT_EQ(f.modelName, "RV-2");
    EXPECT_EQ(f.serialNumber, "SN12345");
    EXPECT_EQ(f.frequencyRange, "136-174");
    EXPECT_EQ(f.firmwareVersion, "V1.01.99");
    EXPECT_EQ(f.lastProgrammed, "2009-03-05 16:21:48");
    EXPECT_EQ(f.signalingType, "");
}

}  // namespace
}  // namespace rv
