// Emergency block: default record, the emergency ID texts, links to a channel and a DTMF
// system, and the invalid-log entries for broken links.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/Settings.h"
#include "data/Notice.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/emergency/EmergencyBlock.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using Bytes = std::vector<uint8_t>;
using Off = CEmergencyBlock::Offset;

Bytes Of(const CRawRecord& r)
{
    return Bytes(r.Bytes().begin(), r.Bytes().end());
}

class EmergencyBlockTest : public test::HomeTest {
protected:
    CEmergencyBlock& Block() { return Radio().Emergency(); }
    void SetIdType(unsigned type) { Block().Raw().SetBits(Off::kIdType, 0, 3, type); }
    /// Deletes channel k (1-based) as the channel list does.
    void DeleteChannel(size_t k)
    {
        auto& channels = Radio().Channels();
        channels[k - 1]->WithdrawNotices();
        channels.erase(channels.begin() + static_cast<long>(k - 1));
    }
    bool LogHas(uint32_t key) { return Radio().InvalidLog().Contains(key); }
    /// The invalid-log row with this key (other lists may log their own rows).
    const CInvalidLog::Row* LogRow(uint32_t key)
    {
        for (const auto& row : Radio().InvalidLog().Rows())
            if (row.key == key) return &row;
        return nullptr;
    }
    /// Re-checks every reference (as Save and Write to Radio do).
    void Validate() { Radio().ValidateAll(); }
};

TEST_F(EmergencyBlockTest, DefaultRecord)
{
    const Bytes expected = {0x0A, 0x00, 0xF8, 0xE2, 0x00, 0x01, 0x02, 0x03, 0xFF, 0xFF, 0xFF,
                            0xFF, 0x04, 0x0A, 0x0A, 0xF8, 0x0A, 0x0A, 0xFE, 0x0A, 0xFF, 0x14,
                            0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Of(Block().Raw()), expected);
    EXPECT_EQ(Block().IdText(), "0123");
    EXPECT_EQ(Block().id_, 0u);
    EXPECT_EQ(Block().RevertChannelId(), 0u);
    // The default DTMF ID (type 2) names the first DTMF system of the default radio.
    EXPECT_EQ(Block().SignalingSystemId(), Radio().DtmfSystems()[0]->id_);

    Block().Raw().Fill(0);
    Block().SetRevertChannelId(99);
    Block().SetDefaults();
    EXPECT_EQ(Of(Block().Raw()), expected);
    EXPECT_EQ(Block().RevertChannelId(), 0u);
}

TEST_F(EmergencyBlockTest, DefaultsShowRealTexts)
{
    const EmergencyFields f = Block().ToFields();
    for (const std::string* text :
         {&f.SendModeText, &f.IdTypeText, &f.ImpoliteText, &f.PoliteText, &f.AlarmModeText,
          &f.AlarmCyclesModeText, &f.VoiceCyclesModeText, &f.SquelchModeText})
        EXPECT_FALSE(text->empty());
    EXPECT_EQ(f.IdTypeText, Settings().LoadText(CEmergencyBlock::kIdTypeDtmfText));
    EXPECT_EQ(f.IdLength, 4);
    EXPECT_EQ(f.IdText, "0123");
    EXPECT_EQ(f.RevertChannel, 0);
    EXPECT_FALSE(Settings().LoadText(CEmergencyBlock::kRevertChannelId).empty());
}

TEST_F(EmergencyBlockTest, IdTextByType)
{
    struct Case {
        unsigned type;
        Bytes id;  // bytes 4-6
        uint8_t length;
        const char* text;
    };
    const Case cases[] = {
        {2, {0x0E, 0x09, 0x05}, 2, "*9"},     {2, {0x0F, 0x0A, 0x00}, 3, "#A0"},
        {2, {0x01, 0x02, 0x03}, 0, ""},       {3, {0xFF, 0xFF, 0x00}, 4, "DEEE"},
        {3, {0x00, 0x00, 0x00}, 4, "0001"},   {3, {0x34, 0x12, 0x00}, 4, "1234"},
        {4, {0x25, 0x34, 0x12}, 6, "051234"}, {0, {0x01, 0x02, 0x03}, 8, ""},
        {5, {0x01, 0x02, 0x03}, 8, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SetIdType(c.type);
        std::copy(c.id.begin(), c.id.end(), Block().Record() + Off::kId);
        Block().Raw()[Off::kIdLength] = c.length;
        EXPECT_EQ(Block().IdText(), c.text);
    }
}

TEST_F(EmergencyBlockTest, CorruptDtmfLengthNeverReadsPastTheId)
{
    SetIdType(2);
    for (size_t i = 0; i < 8; ++i) Block().Raw()[Off::kId + i] = 1;
    Block().Raw()[Off::kIdLength] = 0xFF;
    EXPECT_EQ(Block().IdText(), "11111111");
}

TEST_F(EmergencyBlockTest, DtmfIdTypedOnThePageIsPackedOneKeyPerByte)
{
    EmergencyFields f = Block().ToFields();
    f.IdText = "*9";
    Block().FromFields(f);
    const CRawRecord& r = Block().Raw();
    EXPECT_EQ(r[4], 0x0E);
    EXPECT_EQ(r[5], 0x09);
    EXPECT_EQ(r[6], 0x02);  // unchanged
    EXPECT_EQ(r[7], 0x03);
    EXPECT_EQ(r[Off::kIdLength], 2);
    EXPECT_EQ(Block().IdText(), "*9");

    // At most four keys; an empty text keeps the bytes and stores length 0.
    f.IdText = "123456";
    Block().FromFields(f);
    EXPECT_EQ(Block().IdText(), "1234");
    f = Block().ToFields();
    f.IdText = "";
    Block().FromFields(f);
    EXPECT_EQ(r[Off::kIdLength], 0);
    EXPECT_EQ(r[4], 1);
    EXPECT_EQ(r[7], 4);
}

TEST_F(EmergencyBlockTest, IdsOfEveryTypeAreStoredAndComeBackTheSame)
{
    const CSettings& s = Settings();
    struct Case {
        unsigned type;
        const char* typed;
        uint8_t length;
        Bytes id;  // bytes 4-7 afterwards
        const char* shown;
    };
    const Case cases[] = {
        {2, "*9", 2, {0x0E, 0x09, 0x02, 0x03}, "*9"},
        {3, "9999", 4, {0x99, 0x99, 0x02, 0x03}, "9999"},
        {3, "ffff", 4, {0xEE, 0xDE, 0x02, 0x03}, "DEEE"},  // limited as shown
        {4, "07A1B2", 6, {0x07, 0xB2, 0xA1, 0x03}, "07A1B2"},
        {4, "9999", 6, {0x00, 0x01, 0x00, 0x03}, "000001"},  // too short: the first ID
        {1, "9999", 8, {0x00, 0x01, 0x02, 0x03}, ""},        // no ID: bytes kept
        {0, "9999", 8, {0x00, 0x01, 0x02, 0x03}, ""},
        {3, "", 4, {0x00, 0x01, 0x02, 0x03}, "0100"},  // empty: the stored ID stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + std::string(" type ") + std::to_string(c.type));
        Block().SetDefaults();
        EmergencyFields f = Block().ToFields();
        f.IdTypeText = s.GetChoiceText(CEmergencyBlock::kIdTypeList, static_cast<int>(c.type));
        f.IdText = c.typed;
        Block().FromFields(f);
        EXPECT_EQ(Block().IdType(), c.type);
        EXPECT_EQ(Block().Raw()[Off::kIdLength], c.length);
        EXPECT_EQ(Bytes(Block().Record() + Off::kId, Block().Record() + Off::kId + 4), c.id);
        EXPECT_EQ(Block().IdText(), c.shown);
        // What the page shows is stored unchanged again.
        EmergencyFields again = Block().ToFields();
        Block().FromFields(again);
        EXPECT_EQ(Block().IdText(), c.shown);
    }
}

TEST_F(EmergencyBlockTest, IdCharacterSetsPerType)
{
    struct Case {
        unsigned type;
        const char* typed;
        const char* text;  // as typed
        bool refused;
        bool cut;
        const char* left;  // on leaving the field
    };
    const Case cases[] = {
        {2, "12*#", "12*#", false, false, "12*#"},
        {2, "1a2", "12", true, false, "12"},
        {2, "12345", "1234", false, true, "1234"},
        {3, "a1f", "A1F", false, false, "0A1E"},
        {3, "12g", "12", true, false, "0012"},
        {3, "", "", false, false, "0001"},
        {3, "0000", "0000", false, false, "0001"},
        {4, "1a", "1", true, false, "000001"},
        {4, "16abcd", "16ABCD", false, false, "15ABCD"},
        {4, "0512345", "051234", false, true, "051234"},
        {0, "12", "", true, false, ""},
        {1, "12", "", true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + std::string(" type ") + std::to_string(c.type));
        const auto in = CEmergencyBlock::FilterIdInput(c.type, c.typed);
        EXPECT_EQ(in.text, c.text);
        EXPECT_EQ(in.refused, c.refused);
        EXPECT_EQ(in.cut, c.cut);
        EXPECT_EQ(CEmergencyBlock::NormaliseId(c.type, c.typed), c.left);
    }
    EXPECT_TRUE(CEmergencyBlock::HasSignalingSystem(2));
    for (unsigned type : {0u, 1u, 3u, 4u, 5u})
        EXPECT_FALSE(CEmergencyBlock::HasSignalingSystem(type));
}

TEST_F(EmergencyBlockTest, TextFormRoundTripKeepsEveryByte)
{
    CRawRecord& r = Block().Raw();
    // Kept bits hold a pattern; fields hold values that their lists know.
    r[2] = 0b01010101;   // power switch, send mode 1, kept 01010
    r[3] = 0b10100011;   // type 3, system 0, kept 101
    r[15] = 0b01011001;  // alarm mode 1, cycles mode 2, kept 0101
    r[18] = 0b10100101;  // voice cycles mode 1
    r[20] = 0b01010110;  // squelch mode 2, background tone
    r[23] = 0x12;
    r[31] = 0x34;
    const Bytes before = Of(r);
    Block().FromFields(Block().ToFields());
    EXPECT_EQ(Of(r), before);
}

TEST_F(EmergencyBlockTest, UnknownTextsKeepTheStoredBits)
{
    CRawRecord& r = Block().Raw();
    r[15] = 0b11110110;  // alarm mode 2, cycles mode 1
    const Bytes before = Of(r);
    EmergencyFields f = Block().ToFields();
    f.AlarmModeText = "?";
    f.SquelchModeText = "?";
    f.ImpoliteText = "?";
    f.SendModeText = "?";
    Block().FromFields(f);
    EXPECT_EQ(r.Bits(15, 0, 2), 2u);
    EXPECT_EQ(r.Bits(15, 2, 2), 1u);
    EXPECT_EQ(Of(r), before);
}

TEST_F(EmergencyBlockTest, ResolveLinksFindsTheRevertChannelAndSignalingSystem)
{
    RadioData& radio = Radio();
    auto& channels = radio.Channels();
    ASSERT_GE(channels.size(), 3u);
    struct Case {
        uint8_t number;
        bool used;
        bool expectLink;
    };
    for (const Case c : {Case{3, true, true}, Case{3, false, false}, Case{0, true, false},
                         Case{static_cast<uint8_t>(channels.size() + 1), true, false}}) {
        SCOPED_TRACE(int(c.number));
        for (auto& ch : channels) ch->used_ = 1;
        if (c.number >= 1 && c.number <= channels.size()) channels[c.number - 1]->used_ = c.used;
        Block().Raw()[Off::kRevertChannel] = c.number;
        Block().ResolveLinks();
        EXPECT_EQ(Block().RevertChannelId(), c.expectLink ? channels[c.number - 1]->id_ : 0u);
    }

    // The DTMF system is linked only for ID type 2 (DTMF), the type whose page shows it and
    // whose check looks for it.
    SetIdType(3);
    Block().ResolveLinks();
    EXPECT_EQ(Block().SignalingSystemId(), 0u);
    SetIdType(2);
    Block().ResolveLinks();
    EXPECT_EQ(Block().SignalingSystemId(), radio.DtmfSystems()[0]->id_);
    Block().Raw().SetBits(Off::kIdType, 3, 2, 1);  // past the end of the list
    Block().ResolveLinks();
    EXPECT_EQ(Block().SignalingSystemId(), 0u);
}

TEST_F(EmergencyBlockTest, DeletedRevertChannelIsLoggedAndWithdrawnWhenAnotherIsChosen)
{
    RadioData& radio = Radio();
    Block().Raw()[Off::kRevertChannel] = 3;
    Block().ResolveLinks();
    ASSERT_NE(Block().RevertChannelId(), 0u);
    EXPECT_FALSE(radio.ValidateAll());

    DeleteChannel(3);
    EXPECT_TRUE(radio.ValidateAll());
    const CInvalidLog::Row* row = LogRow(72845);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, Settings().LoadText(7309));
    EXPECT_EQ(row->message, Settings().LoadText(7300));
    EXPECT_FALSE(LogHas(CEmergencyBlock::kSignalingKey));
    EXPECT_EQ(Block().Raw()[Off::kRevertChannel], 3);  // the record is not changed

    // A second check adds nothing new.
    const size_t rows = radio.InvalidLog().Rows().size();
    NoticeRecord check;
    check.code = NoticeCode::Deleted;
    radio.Notify(check);
    EXPECT_EQ(radio.InvalidLog().Rows().size(), rows);

    // The page shows no selection until another channel is chosen; then the entry goes.
    EmergencyFields f = Block().ToFields();
    EXPECT_EQ(f.RevertChannel, 0xFF);
    Block().FromFields(f);
    EXPECT_EQ(Block().Raw()[Off::kRevertChannel], 3);
    Validate();
    EXPECT_TRUE(LogHas(CEmergencyBlock::kRevertChannelKey));
    f.RevertChannel = 2;
    Block().FromFields(f);
    EXPECT_EQ(Block().RevertChannelId(), radio.Channels()[1]->id_);
    Validate();
    EXPECT_FALSE(LogHas(CEmergencyBlock::kRevertChannelKey));
}

TEST_F(EmergencyBlockTest, UnusedRevertChannelIsLoggedAndChoosingNoneClearsIt)
{
    RadioData& radio = Radio();
    Block().Raw()[Off::kRevertChannel] = 2;
    Block().ResolveLinks();
    radio.Channels()[1]->used_ = 0;
    Validate();
    EXPECT_TRUE(LogHas(CEmergencyBlock::kRevertChannelKey));
    EmergencyFields f = Block().ToFields();
    f.RevertChannel = 0;
    Block().FromFields(f);
    EXPECT_EQ(Block().Raw()[Off::kRevertChannel], 0);
    EXPECT_EQ(Block().RevertChannelId(), 0u);
    Validate();
    EXPECT_FALSE(LogHas(CEmergencyBlock::kRevertChannelKey));
}

TEST_F(EmergencyBlockTest, DeletingAnEarlierChannelKeepsTheStoredNumberOnTheChosenChannel)
{
    Block().Raw()[Off::kRevertChannel] = 5;
    Block().ResolveLinks();
    const uint32_t chosen = Block().RevertChannelId();
    DeleteChannel(2);
    Validate();
    EXPECT_FALSE(LogHas(CEmergencyBlock::kRevertChannelKey));
    EXPECT_EQ(Block().Raw()[Off::kRevertChannel], 4);
    Block().ResolveLinks();
    EXPECT_EQ(Block().RevertChannelId(), chosen);
}

TEST_F(EmergencyBlockTest, DeletedSignalingSystemIsLoggedForDtmfIds)
{
    RadioData& radio = Radio();
    SetIdType(2);
    Block().SetSignalingSystemId(radio.DtmfSystems()[0]->id_);
    Validate();
    EXPECT_FALSE(LogHas(CEmergencyBlock::kSignalingKey));
    radio.DtmfSystems()[0]->used_ = 0;
    Validate();
    const CInvalidLog::Row* row = LogRow(CEmergencyBlock::kSignalingKey);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, Settings().LoadText(7317));
    EXPECT_EQ(row->message, Settings().LoadText(7300));
    EXPECT_FALSE(LogHas(CEmergencyBlock::kRevertChannelKey));

    // Other ID types do not check the signalling system.
    SetIdType(3);
    Validate();
    EXPECT_FALSE(LogHas(CEmergencyBlock::kSignalingKey));

    // Withdrawing removes both entries.
    SetIdType(2);
    Block().Raw()[Off::kRevertChannel] = 1;
    Block().ResolveLinks();
    Block().SetSignalingSystemId(radio.DtmfSystems()[0]->id_);
    radio.Channels()[0]->used_ = 0;
    Validate();
    EXPECT_TRUE(LogHas(CEmergencyBlock::kRevertChannelKey));
    EXPECT_TRUE(LogHas(CEmergencyBlock::kSignalingKey));
    Block().WithdrawNotices();
    EXPECT_FALSE(LogHas(CEmergencyBlock::kRevertChannelKey));
    EXPECT_FALSE(LogHas(CEmergencyBlock::kSignalingKey));
}

TEST_F(EmergencyBlockTest, LimitHexIdDigitByDigit)
{
    EXPECT_EQ(CEmergencyBlock::LimitHexId(0xFFFF), 0xDEEE);
    EXPECT_EQ(CEmergencyBlock::LimitHexId(0x0000), 0x0001);
    EXPECT_EQ(CEmergencyBlock::LimitHexId(0xE0F0), 0xD0E0);
    EXPECT_EQ(CEmergencyBlock::LimitHexId(0x1234), 0x1234);
}

TEST(EmergencyEnableRules, FollowTheModesAndTheIdType)
{
    struct Case {
        int alarm, alarmCycles, voice, idType;
        EmergencyEnables e;
    };
    auto with = [](auto set) {
        EmergencyEnables e;
        set(e);
        return e;
    };
    const Case cases[] = {
        {0, 2, 0, 0, EmergencyEnables{}},
        {1, 0, 0, 0, with([](auto& e) { e.alarmDuration = e.alarmCyclesMode = true; })},
        {3, 2, 0, 0,
         with([](auto& e) { e.alarmDuration = e.alarmCyclesMode = e.alarmCycles = true; })},
        {0, 0, 1, 0, with([](auto& e) {
             e.squelchMode = e.txDuration = e.rxDuration = e.backgroundTone = true;
         })},
        {0, 0, 2, 0, with([](auto& e) {
             e.squelchMode = e.txDuration = e.rxDuration = e.backgroundTone = e.voiceCycles = true;
         })},
        {0, 0, 0, 1, with([](auto& e) {
             e.impolite = e.id = true;
             e.sendMode = 0;
         })},
        {0, 0, 0, 2, with([](auto& e) {
             e.impolite = e.id = e.polite = e.signalingSystem = true;
             e.sendMode = 1;
         })},
        {0, 0, 0, 4, with([](auto& e) {
             e.impolite = e.id = e.polite = true;
             e.sendMode = 1;
         })},
        {-1, -1, -1, -1, EmergencyEnables{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.alarm << c.alarmCycles << c.voice << c.idType);
        EXPECT_EQ(EmergencyEnableRules(c.alarm, c.alarmCycles, c.voice, c.idType), c.e);
    }
}

}  // namespace
}  // namespace rv
