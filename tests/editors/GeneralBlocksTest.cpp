// General settings blocks: default records per model, the text forms and the kept bits.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Bytes.h"
#include "data/RadioData.h"
#include "editors/general/MicBlock.h"
#include "editors/general/MiscBlock.h"
#include "editors/general/ModeBlock.h"
#include "editors/general/VolumeBlock.h"
#include "editors/general/VoxBlock.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(const CRawRecord& r) { return Bytes(r.Bytes().begin(), r.Bytes().end()); }

class GeneralBlocksTest : public test::HomeTest {};

struct DefaultCase {
    const char* modelId;
    Bytes vox, volume, mic, misc, mode;
};

TEST_F(GeneralBlocksTest, DefaultRecordsFollowTheModelEdition)
{
    const Bytes volume = {0x01, 0x7F, 0xFF, 0x7F, 0x0F, 0x0F, 0x0F,
                          0x0F, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const Bytes mic = {0x04, 0x00, 0x04, 0x00, 0xFF, 0xFF};
    const Bytes mode = {0xFF, 0x87};
    const DefaultCase cases[] = {
        {"RV205", {0xF7, 0x0F}, volume, mic,
         {0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x35, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         mode},
        {"RV305", {0xF9, 0x0F}, volume, mic,
         {0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0x06, 0x24, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         mode},
        {"RV385", {0xF9, 0x0F}, volume, mic,
         {0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0x06, 0x24, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         mode},
    };
    for (const DefaultCase& c : cases) {
        SCOPED_TRACE(c.modelId);
        UseModel(c.modelId, "400-470");
        RadioData& radio = Radio();
        EXPECT_EQ(Of(radio.Vox().Raw()), c.vox);
        EXPECT_EQ(Of(radio.Volume().Raw()), c.volume);
        EXPECT_EQ(Of(radio.Mic().Raw()), c.mic);
        EXPECT_EQ(Of(radio.Misc().Raw()), c.misc);
        EXPECT_EQ(Of(radio.Mode().Raw()), c.mode);
        // The defaults are re-applied over edited data.
        radio.Vox().Raw().Fill(0);
        radio.Misc().Raw().Fill(0);
        radio.Vox().SetDefaults();
        radio.Misc().SetDefaults();
        EXPECT_EQ(Of(radio.Vox().Raw()), c.vox);
        EXPECT_EQ(Of(radio.Misc().Raw()), c.misc);
    }
}

TEST_F(GeneralBlocksTest, DefaultsShowRealTexts)
{
    for (const char* model : {"RV205", "RV305"}) {
        SCOPED_TRACE(model);
        UseModel(model, "400-470");
        RadioData& radio = Radio();
        const VoxFields vox = radio.Vox().ToFields();
        EXPECT_FALSE(vox.GainLevelText.empty());
        EXPECT_EQ(vox.DelayText, "1.5");
        EXPECT_TRUE(vox.InhibitOnReceive);
        EXPECT_TRUE(vox.ProceedTone);
        for (const std::string& text : radio.Volume().ToFields().Texts) EXPECT_FALSE(text.empty());
        const MicFields mic = radio.Mic().ToFields();
        EXPECT_EQ(mic.InternalGainText, "0");
        EXPECT_EQ(mic.ExternalGainText, "0");
        const MiscFields misc = radio.Misc().ToFields();
        EXPECT_FALSE(misc.SquelchLevelText.empty());
        EXPECT_FALSE(misc.BatterySaveDelayText.empty());
        EXPECT_FALSE(misc.BatterySaveModeText.empty());
        EXPECT_FALSE(misc.TailRevertText.empty());
    }
}

TEST_F(GeneralBlocksTest, TextFormRoundTripKeepsEveryByte)
{
    // Kept bits and bytes hold a pattern that no field writes; field values stay on entries of
    // their lists.
    RadioData& radio = Radio();
    CVoxBlock& vox = radio.Vox();
    vox.Raw()[0] = 0x55;  // kept bits 5-7 = 010, gain 2, inhibit 1, proceed 1
    vox.Raw()[1] = 20;
    CMiscBlock& misc = radio.Misc();
    const uint8_t miscBytes[] = {3, 0x12, 0x34, 0x56, 0x78, 7, 0b10101010, 1, 2, 3, 4, 5, 6, 7};
    misc.Raw().CopyFrom(miscBytes);
    CVolumeBlock& volume = radio.Volume();
    volume.Raw()[9] = 0x11;
    volume.Raw()[13] = 0x22;
    CMicBlock& mic = radio.Mic();
    mic.Raw()[4] = 0xAB;
    mic.Raw()[5] = 0xCD;
    CModeBlock& mode = radio.Mode();
    mode.Raw()[0] = 0x5A;
    mode.Raw()[1] = 0b00101010;

    const Bytes before[] = {Of(vox.Raw()), Of(misc.Raw()), Of(volume.Raw()), Of(mic.Raw()),
                            Of(mode.Raw())};
    vox.FromFields(vox.ToFields());
    misc.FromFields(misc.ToFields());
    volume.FromFields(volume.ToFields());
    mic.FromFields(mic.ToFields());
    mode.FromFields(mode.ToFields());
    const Bytes after[] = {Of(vox.Raw()), Of(misc.Raw()), Of(volume.Raw()), Of(mic.Raw()),
                           Of(mode.Raw())};
    for (size_t i = 0; i < std::size(before); ++i) EXPECT_EQ(after[i], before[i]) << "block " << i;
}

TEST_F(GeneralBlocksTest, UnknownTextKeepsTheStoredBits)
{
    RadioData& radio = Radio();
    VoxFields vox = radio.Vox().ToFields();
    vox.GainLevelText = "no such level";
    vox.DelayText = "";
    radio.Vox().FromFields(vox);
    EXPECT_EQ(radio.Vox().GainLevel(), 3u);
    EXPECT_EQ(radio.Vox().Raw()[1], 15);
    EXPECT_EQ(radio.Vox().Raw()[0], 0xF7);

    MiscFields misc = radio.Misc().ToFields();
    misc.BatterySaveModeText = "?";
    misc.TailRevertText = "?";
    misc.SquelchLevelText = "?";
    radio.Misc().FromFields(misc);
    EXPECT_EQ(radio.Misc().Raw()[0], 5);
    EXPECT_EQ(radio.Misc().Raw().Bits(6, 0, 2), 1u);
    EXPECT_TRUE(radio.Misc().Raw().Bit(6, 2));
    EXPECT_FALSE(radio.Misc().Raw().Bit(6, 3));  // the kept bit is not written

    VolumeFields volume = radio.Volume().ToFields();
    volume.Texts[0] = "loud";
    radio.Volume().FromFields(volume);
    EXPECT_EQ(radio.Volume().Raw()[0], 1);

    MicFields mic = radio.Mic().ToFields();
    mic.ExternalGainText = "+99";
    radio.Mic().FromFields(mic);
    EXPECT_EQ(radio.Mic().ExternalGain(), 4);
    EXPECT_EQ(radio.Mic().InternalGain(), 4);
}

TEST_F(GeneralBlocksTest, FieldsLandOnTheirBits)
{
    RadioData& radio = Radio();
    const CSettings& s = Settings();

    VoxFields vox = radio.Vox().ToFields();
    vox.GainLevelText = s.GetChoiceText(CVoxBlock::GainList(), 0);
    vox.InhibitOnReceive = false;
    radio.Vox().FromFields(vox);
    EXPECT_EQ(radio.Vox().Raw()[0], 0xF0);
    EXPECT_FALSE(radio.Vox().VoxOn());

    MicFields mic;
    mic.InternalGainText = s.GetChoiceText(CMicBlock::kInternalGainList, 8);
    mic.ExternalGainText = s.GetChoiceText(CMicBlock::kExternalGainList, 0);
    radio.Mic().FromFields(mic);
    EXPECT_EQ(Of(radio.Mic().Raw()), (Bytes{0x08, 0x00, 0x00, 0x00, 0xFF, 0xFF}));

    MiscFields misc = radio.Misc().ToFields();
    misc.PowerLed = false;
    misc.ScanLed = false;
    misc.ChannelPlay = true;
    misc.ChannelChangeBeep = true;
    misc.BatterySaveModeText = s.GetChoiceText(CMiscBlock::kBatterySaveModeList, 2);
    misc.TailRevertText = s.GetChoiceText(CMiscBlock::kTailRevertList, 0);
    radio.Misc().FromFields(misc);
    EXPECT_EQ(radio.Misc().Raw()[6], 0b11000010);

    ModeFields mode;
    mode.PanelTest = true;
    mode.Destination = true;
    radio.Mode().FromFields(mode);
    EXPECT_EQ(radio.Mode().Raw()[1], 0x87 | 0x08 | 0x20);
    EXPECT_EQ(radio.Mode().ToFields(), mode);
}

TEST_F(GeneralBlocksTest, FactoryCloneNeedsClone)
{
    CModeBlock& block = Radio().Mode();
    ModeFields fields;
    fields.Clone = true;
    fields.FactoryClone = true;
    EXPECT_TRUE(ApplyCloneRule(fields));
    block.FromFields(fields);
    EXPECT_EQ(block.Raw()[1], 0x87 | 0x10 | 0x40);

    // Unchecking Clone Mode unchecks Factory Clone Mode: both bits stored as 0.
    fields.Clone = false;
    EXPECT_FALSE(ApplyCloneRule(fields));
    EXPECT_FALSE(fields.FactoryClone);
    block.FromFields(fields);
    EXPECT_EQ(block.Raw()[1], 0x87);
}

TEST_F(GeneralBlocksTest, EditionListsFollowTheModel)
{
    EXPECT_EQ(CVoxBlock::GainList(), 4430);
    EXPECT_EQ(CMiscBlock::SquelchList(), 1404);
    UseModel("RV385", "400-470");
    EXPECT_EQ(CVoxBlock::GainList(), 4440);
    EXPECT_EQ(CMiscBlock::SquelchList(), 1405);
    // The edition's default gain level 4 shows the text of the edition's list.
    EXPECT_EQ(Radio().Vox().ToFields().GainLevelText, Settings().GetChoiceText(4440, 4));
}

struct MiscShownCase {
    const char* modelId;
    const char* range;
    int removedSaveMode;
    bool beepShown;
};

// The editions drop battery-save mode 2; only the model of model text 310 shows the beep.
TEST_F(GeneralBlocksTest, MiscEntriesFollowTheModel)
{
    const MiscShownCase cases[] = {
        {"RV205", "400-470", -1, false},
        {"RV305", "400-470", 2, false},
        {"RV385", "400-470", 2, true},
    };
    for (const MiscShownCase& c : cases) {
        SCOPED_TRACE(c.modelId);
        UseModel(c.modelId, c.range);
        EXPECT_EQ(CMiscBlock::RemovedBatterySaveMode(), c.removedSaveMode);
        EXPECT_EQ(CMiscBlock::ChannelChangeBeepShown(), c.beepShown);
    }
}

}  // namespace
}  // namespace rv
