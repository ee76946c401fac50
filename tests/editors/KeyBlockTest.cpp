// Programmable keys: default record, the VOX-off notice and the text form.

#include <gtest/gtest.h>

#include <vector>

#include "data/Notice.h"
#include "data/RadioData.h"
#include "editors/keys/KeyBlock.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(const CRawRecord& r) { return Bytes(r.Bytes().begin(), r.Bytes().end()); }

NoticeRecord VoxNotice(uint32_t level)
{
    NoticeRecord n;
    n.code = NoticeCode::VoxChanged;
    n.key = level;
    return n;
}

class KeyBlockTest : public test::HomeTest {};

TEST_F(KeyBlockTest, DefaultRecordPerEdition)
{
    EXPECT_EQ(Of(Radio().Keys().Raw()),
              (Bytes{0x1D, 0x1C, 0x42, 0x4B, 0x42, 0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}));
    UseModel("RV305", "400-470");
    EXPECT_EQ(Of(Radio().Keys().Raw()),
              (Bytes{0x1D, 0x1C, 0x42, 0x00, 0x42, 0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}));
}

TEST_F(KeyBlockTest, VoxOffClearsOnlySideKeysHoldingVox)
{
    CKeyBlock& keys = Radio().Keys();
    const uint8_t start[] = {75, 75, 75, 66, 75, 75, 75, 75, 75, 75, 75};
    keys.Raw().CopyFrom(start);

    keys.OnNotice(VoxNotice(3));  // VOX still on: nothing changes
    EXPECT_EQ(Of(keys.Raw()), Bytes(std::begin(start), std::end(start)));

    NoticeRecord other = VoxNotice(0);
    other.code = NoticeCode::Deleted;
    keys.OnNotice(other);  // another notice with key 0
    EXPECT_EQ(Of(keys.Raw()), Bytes(std::begin(start), std::end(start)));

    keys.OnNotice(VoxNotice(0));
    EXPECT_EQ(Of(keys.Raw()), (Bytes{75, 75, 0, 66, 0, 0, 75, 75, 75, 75, 75}));
}

TEST_F(KeyBlockTest, NotifyReachesTheKeyBlockAndTurningVoxBackOnRestoresNothing)
{
    RadioData& radio = Radio();
    ASSERT_EQ(radio.Keys().Function(CKeyBlock::Offset::kSk1Long), 75);
    radio.Notify(VoxNotice(0));
    EXPECT_EQ(radio.Keys().Function(CKeyBlock::Offset::kSk1Long), 0);
    radio.Notify(VoxNotice(3));
    EXPECT_EQ(radio.Keys().Function(CKeyBlock::Offset::kSk1Long), 0);
}

TEST_F(KeyBlockTest, TextFormUsesTheFunctionList)
{
    CKeyBlock& keys = Radio().Keys();
    const CSettings& s = Settings();
    const KeyFields f = keys.ToFields();
    EXPECT_EQ(f.TkShortText, s.GetChoiceText(6605, 29));
    EXPECT_EQ(f.Sk1LongText, s.GetChoiceText(6605, 75));
    EXPECT_FALSE(f.TkShortText.empty());
    EXPECT_FALSE(f.Sk2LongText.empty());

    // Bytes 6-10 are never touched; an unknown text keeps the stored code.
    keys.Raw()[6] = 0x12;
    keys.Raw()[10] = 0x34;
    KeyFields edited = f;
    edited.TkLongText = s.GetChoiceText(6605, 5);
    edited.Sk2ShortText = "not a key function";
    keys.FromFields(edited);
    EXPECT_EQ(Of(keys.Raw()),
              (Bytes{0x1D, 0x05, 0x42, 0x4B, 0x42, 0x50, 0x12, 0xFF, 0xFF, 0xFF, 0x34}));
    EXPECT_EQ(keys.ToFields().Sk2ShortText, s.GetChoiceText(6605, 66));
}

TEST(KeyRulesTest, TopKeysPairUp)
{
    struct Case {
        uint8_t changed, other, expected;
    };
    const Case cases[] = {
        {29, 5, 28},   // taking 29 gives the other box 28
        {28, 29, 29},  // taking 28 gives 29
        {5, 28, 0},    // the other box loses its partner
        {5, 29, 0},
        {5, 66, 66},   // unrelated codes stay
        {0, 80, 80},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PairedTopKeyCode(c.changed, c.other), c.expected)
            << int(c.changed) << " " << int(c.other);
}

TEST(KeyRulesTest, VoxFunctionNeedsVoxOn)
{
    EXPECT_FALSE(SideKeyAllowed(75, false));
    EXPECT_TRUE(SideKeyAllowed(75, true));
    EXPECT_TRUE(SideKeyAllowed(66, false));
}

TEST_F(KeyBlockTest, RestrictedFunctionDependsOnTheModel)
{
    struct Case {
        const char* model;
        bool offered;
    };
    // The shipped language file names RV205 as model text 510 and RV305/RV385 as editions.
    for (const Case c : {Case{"RV205", false}, Case{"RV305", false}, Case{"RV385", false},
                         Case{"RV999", true}}) {
        SCOPED_TRACE(c.model);
        Settings().SetModelID(c.model);
        EXPECT_EQ(KeyFunctionOffered(79), c.offered);
        EXPECT_TRUE(KeyFunctionOffered(75));
    }
}

}  // namespace
}  // namespace rv
