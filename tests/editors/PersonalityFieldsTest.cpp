// Personality text forms, the time-out pre-alert rule, and the personality commands with their
// effect on the channels that use a personality.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelRules.h"
#include "editors/personality/PersonalityData.h"
#include "editors/personality/PersonalityRules.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::HomeTest;

class PersonalityFieldsTest : public HomeTest {
protected:
    CPersonalityData& personality(size_t i) { return *Radio().Personalities()[i]; }
    std::vector<uint8_t> Bytes(size_t i)
    {
        const auto b = personality(i).Raw().Bytes();
        return {b.begin(), b.end()};
    }
};

TEST_F(PersonalityFieldsTest, DefaultTextsAndRoundTrip)
{
    const PersonalityFields f = personality(0).ToFields();
    EXPECT_EQ(f.TxAdmitText, Settings().GetChoiceText(kTxAdmitList, 1));
    EXPECT_EQ(f.TimeOutText, Settings().GetChoiceText(kTimeOutList, 60));
    EXPECT_EQ(f.PreAlertText, Settings().GetChoiceText(kPreAlertList, 0));
    for (const std::string* t :
         {&f.TxAdmitText, &f.TimeOutText, &f.PreAlertText, &f.ReKeyText, &f.ResetText})
        EXPECT_FALSE(t->empty());
    personality(0).FromFields(f);
    personality(0).FromSignalFields(personality(0).ToSignalFields());
    EXPECT_EQ(Bytes(0), (std::vector<uint8_t>{0xFF, 0x01, 0x3C, 0x00, 0x00, 0x00, 0xC0, 0xFF}));
}

TEST_F(PersonalityFieldsTest, TextsGoToTheirBytes)
{
    PersonalityFields f;
    f.TxAdmitText = Settings().GetChoiceText(kTxAdmitList, 3);
    f.TimeOutText = Settings().GetChoiceText(kTimeOutList, 120);
    f.PreAlertText = Settings().GetChoiceText(kPreAlertList, 5);
    f.ReKeyText = Settings().GetChoiceText(kReKeyList, 10);
    f.ResetText = "not in the list";  // keeps the stored value
    personality(0).Raw()[CPersonalityData::Offset::Reset] = 7;
    personality(0).FromFields(f);
    EXPECT_EQ(Bytes(0), (std::vector<uint8_t>{0xFF, 3, 120, 5, 10, 7, 0xC0, 0xFF}));
    EXPECT_EQ(personality(0).ToFields().ResetText, Settings().GetChoiceText(kResetList, 7));
}

TEST_F(PersonalityFieldsTest, SignallingKeepsTheOtherBitsOfItsByte)
{
    personality(0).Raw()[CPersonalityData::Offset::Signalling] = 0xF0;
    personality(0).FromSignalFields({Settings().GetChoiceText(kTxSignallingList, 1)});
    EXPECT_EQ(personality(0).Raw()[CPersonalityData::Offset::Signalling], 0xF1);
    EXPECT_EQ(personality(0).ToSignalFields().TxSignallingText,
              Settings().GetChoiceText(kTxSignallingList, 1));
    personality(0).FromSignalFields({"unknown"});
    EXPECT_EQ(personality(0).Raw()[CPersonalityData::Offset::Signalling], 0xF1);
}

// ---------------------------------------------------------------------------------------
// Time-out pre-alert rule

TEST_F(PersonalityFieldsTest, PreAlertOffersNoMoreEntriesThanTheTimeOut)
{
    const std::vector<std::string> saved = PreAlertTexts();
    ASSERT_GE(saved.size(), 6u);
    struct Case {
        int timeOut;
        std::string previous;
        size_t entries;
        int selected;
        bool enabled;
    };
    const Case cases[] = {
        {0, saved[3], 1, 0, false},             // no time-out: one entry, all disabled
        {3, saved[5], 3, 0, true},              // sixth no longer offered: the first
        {3, saved[2], 3, 2, true},              // still offered: selected again
        {60, saved[5], saved.size(), 5, true},  // a list shorter than T: all of it
        {1, "", 1, 0, true},
    };
    for (const auto& c : cases) {
        const PreAlertOffer offer = ApplyTimeOutRule(c.timeOut, saved, c.previous);
        EXPECT_EQ(offer.entries.size(), c.entries) << c.timeOut;
        EXPECT_EQ(offer.selected, c.selected) << c.timeOut;
        EXPECT_EQ(offer.preAlertEnabled, c.enabled) << c.timeOut;
        EXPECT_EQ(offer.reKeyEnabled, c.enabled) << c.timeOut;
        EXPECT_EQ(offer.resetEnabled, c.enabled) << c.timeOut;
        EXPECT_TRUE(std::equal(offer.entries.begin(), offer.entries.end(), saved.begin()));
    }
    EXPECT_EQ(ApplyTimeOutRule(5, {}, "x").selected, -1);
}

TEST_F(PersonalityFieldsTest, TimeOutRuleFromTheTimeOutText)
{
    const std::vector<std::string> saved = PreAlertTexts();
    const PreAlertOffer off =
        ApplyTimeOutRule(Settings().GetChoiceText(kTimeOutList, 0), saved, "");
    EXPECT_EQ(off.entries.size(), 1u);
    EXPECT_FALSE(off.preAlertEnabled);
    const PreAlertOffer on =
        ApplyTimeOutRule(Settings().GetChoiceText(kTimeOutList, 15), saved, "");
    EXPECT_EQ(on.entries.size(), std::min<size_t>(15, saved.size()));
    EXPECT_TRUE(on.reKeyEnabled);
}

// ---------------------------------------------------------------------------------------
// Personality commands

TEST_F(PersonalityFieldsTest, DeleteOnlyWhenMoreThanOne)
{
    ASSERT_EQ(Radio().Personalities().size(), 1u);
    ListCommandResult r =
        RunPersonalityCommand(ListCommand::Delete, 0, 0, SingleItemDelete::NoCurrent);
    EXPECT_TRUE(r.refused);
    EXPECT_FALSE(r.current);
    EXPECT_EQ(Radio().Personalities().size(), 1u);

    r = RunPersonalityCommand(ListCommand::Add, 0, 0, SingleItemDelete::NoCurrent);
    EXPECT_EQ(r.current, 1u);
    ASSERT_TRUE(r.notice);
    EXPECT_EQ(r.notice->code, NoticeCode::Added);
    while (Radio().Personalities().size() < kMaxPersonalities) Radio().AddPersonality();
    r = RunPersonalityCommand(ListCommand::Add, 3, 0, SingleItemDelete::NoCurrent);
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(Radio().Personalities().size(), kMaxPersonalities);
}

TEST_F(PersonalityFieldsTest, DeletingAUsedPersonalityLogsItsChannels)
{
    Radio().AddPersonality();
    Radio().AddPersonality();
    auto& channels = Radio().Channels();
    // Channels 1-2 use personality 1, channel 3 personality 2, channel 4 personality 3.
    const uint32_t third = personality(2).id_;
    ChoosePersonality(*channels[2], personality(1).id_);
    ChoosePersonality(*channels[3], third);

    const ListCommandResult r =
        RunPersonalityCommand(ListCommand::Delete, 1, 0, SingleItemDelete::NoCurrent);
    ASSERT_TRUE(r.notice);
    EXPECT_EQ(r.notice->code, NoticeCode::Deleted);
    EXPECT_EQ(r.current, 1u);
    Radio().Notify(*r.notice);  // as the main window does with every notice

    const CInvalidLog& log = Radio().InvalidLog();
    ASSERT_EQ(log.Rows().size(), 1u);
    EXPECT_TRUE(log.Contains(channels[2]->PersonalityNoticeKey()));
    EXPECT_EQ(log.Rows()[0].message,
              Settings().LoadText(3655) + " - 3: " + Settings().LoadText(3657));
    EXPECT_EQ(channels[2]->PersonalityIndex(), 1) << "byte 18 kept until a new choice";
    // The personality that moved up keeps its channels: byte 18 follows its new position.
    EXPECT_EQ(channels[3]->personalityId_, third);
    EXPECT_EQ(channels[3]->PersonalityIndex(), 1);

    ChoosePersonality(*channels[2], personality(0).id_);
    EXPECT_TRUE(log.Empty());
    EXPECT_EQ(channels[2]->PersonalityIndex(), 0);
}

TEST_F(PersonalityFieldsTest, OpeningAnEmptyListCreatesOnePersonality)
{
    Radio().Personalities().clear();
    const ListCommandResult r = OpenPersonalityList();
    EXPECT_EQ(Radio().Personalities().size(), 1u);
    EXPECT_EQ(r.current, 0u);
    ASSERT_TRUE(r.notice);
    EXPECT_EQ(r.notice->code, NoticeCode::Added);
}

}  // namespace
}  // namespace rv
