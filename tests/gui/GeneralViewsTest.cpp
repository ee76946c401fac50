// The general settings and key views on the main window: the VOX view switching VOX off frees
// the side keys in the record and in an open key view, a side key refuses VOX On/Off while
// VOX is off, the mode view's clone rule, and the entries each model offers.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>

#include "data/RadioData.h"
#include "editors/general/ModeBlock.h"
#include "editors/general/VoxBlock.h"
#include "editors/general/gui/ViewGeneral.h"
#include "editors/keys/KeyBlock.h"
#include "editors/keys/gui/ViewKeys.h"
#include "gui/GuiTestSupport.h"
#include "ui/ComboHelpers.h"

namespace rv {
namespace {

constexpr int kVoxOnOff = 75;

class GeneralViewsTest : public test::GuiTest {
protected:
    template <class View>
    View* Open(Command command)
    {
        auto* view = dynamic_cast<View*>(frame->OpenView(Id(command)));
        EXPECT_NE(view, nullptr);
        return view;
    }
    /// Picks the entry with this stored value as the user does; false when the box has none.
    static bool Pick(QComboBox* combo, int value)
    {
        const int index = combo->findData(value);
        if (index < 0) return false;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return true;
    }
    static uint8_t FirstCode(const QComboBox* combo)
    {
        return static_cast<uint8_t>(combo->itemData(0).toInt());
    }
};

TEST_F(GeneralViewsTest, VoxOffFreesSideKeysInTheRecordAndTheOpenKeyView)
{
    CKeyBlock& keys = Radio().Keys();
    keys.SetFunction(CKeyBlock::Offset::kSk1Long, kVoxOnOff);
    keys.SetFunction(CKeyBlock::Offset::kSk2Short, 66);
    Radio().Vox().SetGainLevel(3);
    auto* keyView = Open<CViewKeys>(Command::Keys);
    auto* voxView = Open<CViewVox>(Command::Vox);
    ASSERT_TRUE(keyView && voxView);
    auto* sk1Long = keyView->Controls().Get<QComboBox>(CViewKeys::Control::kSk1Long);
    ASSERT_EQ(ComboValue(sk1Long), kVoxOnOff);

    auto* gain = voxView->Controls().Get<QComboBox>(CViewVox::Control::kGainLevel);
    ASSERT_TRUE(Pick(gain, 0));
    EXPECT_FALSE(Radio().Vox().VoxOn());
    EXPECT_EQ(sk1Long->currentIndex(), 0);
    EXPECT_EQ(keys.Function(CKeyBlock::Offset::kSk1Long), FirstCode(sk1Long));
    EXPECT_EQ(keys.Function(CKeyBlock::Offset::kSk2Short), 66);

    // Switching VOX on again gives nothing back.
    ASSERT_TRUE(Pick(gain, 2));
    EXPECT_EQ(Radio().Vox().GainLevel(), 2u);
    keyView->Store();
    EXPECT_EQ(keys.Function(CKeyBlock::Offset::kSk1Long), FirstCode(sk1Long));
}

TEST_F(GeneralViewsTest, SideKeyRefusesVoxOnOffWhileVoxIsOff)
{
    struct Case {
        unsigned gainLevel;
        bool refused;
    };
    for (const Case c : {Case{0, true}, Case{4, false}}) {
        SCOPED_TRACE(c.gainLevel);
        prompt.shown.clear();
        Radio().Vox().SetGainLevel(c.gainLevel);
        Radio().Keys().SetFunction(CKeyBlock::Offset::kSk2Short, 66);
        auto* view = Open<CViewKeys>(Command::Keys);
        ASSERT_TRUE(view);
        view->Reload();
        auto* sk2Short = view->Controls().Get<QComboBox>(CViewKeys::Control::kSk2Short);
        ASSERT_TRUE(Pick(sk2Short, kVoxOnOff));
        EXPECT_EQ(prompt.Saw(CViewKeys::kVoxOffMessage), c.refused);
        // Refused, the key keeps the function it had (as `set` refuses it).
        const uint8_t expected = c.refused ? 66 : kVoxOnOff;
        EXPECT_EQ(ComboValue(sk2Short), expected);
        EXPECT_EQ(Radio().Keys().Function(CKeyBlock::Offset::kSk2Short), expected);
    }
}

TEST_F(GeneralViewsTest, FactoryCloneOnlyWhileCloneIsOn)
{
    auto& mode = Radio().Mode().Raw();
    mode[1] = 0x87 | 0x10 | 0x40;  // clone and factory clone on, kept bits set
    auto* view = Open<CViewMode>(Command::Mode);
    ASSERT_TRUE(view);
    view->Reload();
    auto* clone = view->Controls().Get<QCheckBox>(CViewMode::Control::kClone);
    auto* factory = view->Controls().Get<QCheckBox>(CViewMode::Control::kFactoryClone);
    EXPECT_TRUE(factory->isEnabled());
    EXPECT_TRUE(factory->isChecked());

    clone->click();
    EXPECT_FALSE(factory->isEnabled());
    EXPECT_FALSE(factory->isChecked());
    EXPECT_EQ(mode[1], 0x87);

    clone->click();
    EXPECT_TRUE(factory->isEnabled());
    EXPECT_FALSE(factory->isChecked());
    factory->click();
    EXPECT_EQ(mode[1], 0x87 | 0x10 | 0x40);
}

// The top key is shown at the service levels only; its two boxes pair Emergency On and Off,
// and the other box loses a half of the pair when one box leaves it.
TEST_F(GeneralViewsTest, TopKeyShownAtServiceLevelsAndPaired)
{
    auto* userView = Open<CViewKeys>(Command::Keys);
    ASSERT_TRUE(userView);
    EXPECT_EQ(userView->Controls().Get<QComboBox>(CViewKeys::Control::kTkShort), nullptr);

    frame.reset();
    home.SetUserLevel(kServiceLevel);
    MakeFrame(true);
    CKeyBlock& keys = Radio().Keys();
    keys.SetFunction(CKeyBlock::Offset::kTkShort, 5);
    keys.SetFunction(CKeyBlock::Offset::kTkLong, 5);
    auto* view = Open<CViewKeys>(Command::Keys);
    ASSERT_TRUE(view);
    view->Reload();
    auto* tkShort = view->Controls().Get<QComboBox>(CViewKeys::Control::kTkShort);
    auto* tkLong = view->Controls().Get<QComboBox>(CViewKeys::Control::kTkLong);
    ASSERT_TRUE(tkShort && tkLong);

    ASSERT_TRUE(Pick(tkShort, 29));
    EXPECT_EQ(keys.Function(CKeyBlock::Offset::kTkLong), 28);
    ASSERT_TRUE(Pick(tkLong, 29));
    EXPECT_EQ(keys.Function(CKeyBlock::Offset::kTkShort), 28);
    ASSERT_TRUE(Pick(tkShort, 5));
    EXPECT_EQ(keys.Function(CKeyBlock::Offset::kTkLong), 0);
    EXPECT_EQ(keys.Function(CKeyBlock::Offset::kTkShort), 5);
}

struct ModelCase {
    const char* modelId;
    bool batterySaveMode2;
    bool channelChangeBeep;
    bool offers79;
};

// What each model offers: battery-save mode 2, the channel change beep, key function 79.
TEST_F(GeneralViewsTest, ViewsOfferWhatTheModelHas)
{
    const ModelCase cases[] = {
        {"RV205", true, false, false},
        {"RV305", false, false, false},
        {"RV385", false, true, false},
    };
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.modelId);
        frame.reset();
        UseModel(c.modelId, "400-470");
        MakeFrame();
        auto* misc = Open<CViewMisc>(Command::Misc);
        auto* keys = Open<CViewKeys>(Command::Keys);
        ASSERT_TRUE(misc && keys);
        auto* saveMode = misc->Controls().Get<QComboBox>(CViewMisc::Control::kBatterySaveMode);
        EXPECT_EQ(saveMode->findData(2) >= 0, c.batterySaveMode2);
        EXPECT_EQ(
            misc->Controls().Get<QCheckBox>(CViewMisc::Control::kChannelChangeBeep)->isHidden(),
            !c.channelChangeBeep);
        auto* sk1Short = keys->Controls().Get<QComboBox>(CViewKeys::Control::kSk1Short);
        EXPECT_EQ(sk1Short->findData(79) >= 0, c.offers79);
    }
}

}  // namespace
}  // namespace rv
