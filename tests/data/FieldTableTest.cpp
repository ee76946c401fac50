// The field engine on a small record of every kind of field, with texts held in memory: no
// language file and no program directory.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/FieldJson.h"
#include "data/FieldTable.h"
#include "base/Settings.h"
#include "base/TextService.h"

namespace rv {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kOnOffList = 100;    // 0.Off;1.On;3.Boost
constexpr int kRangeList = 101;    // 5:1:30:10:5:1:1 (0.5 to 3.0)
constexpr int kEditionList = 102;  // 0.Low;1.High
constexpr int kNoneText = 103;     // "None"
constexpr int kPairLabel = 104;    // "Pair"
constexpr uint16_t kSuffixes[] = {0x8002, 0x80BA};
// A 24-byte record:
//   0      bits 0-1 mode (choice 100, editions 102) | bit 2 flag | bits 3-7 kept
//   1      number through a range descriptor (101)
//   2-3    16-bit word: bits 0-11 count, bits 14-15 choice 100
//   4-7    frequency           8-11   frequency, 0 empty too
//   12-15  zero-padded text    16-19  blank-padded text
//   20     1-based item, 0xFF none        21  0-based item, "None" for 0xFF, read-only
//   22-23  two raw bytes, repeated with hexadecimal key suffixes
constexpr FieldDef kTestFieldDefs[] = {
    field::Choice("mode", 1, 0, kOnOffList).Bits(0, 2).EditionList(kEditionList),
    field::Flag("flag", 2, 0, 2),
    field::Number("level", 3, 1, kRangeList),
    field::Number("count", 4, 2).Width(2).Bits(0, 12),
    field::Choice("kind", 5, 2, kOnOffList).Width(2).Bits(14, 2),
    field::Frequency("frequency", 6, 4),
    field::Frequency("test_frequency", 7, 8).ZeroIsNone(),
    field::Text("name", 8, 12, 4),
    field::Text("note", 9, 16, 4, TextCoding::BlankPadded),
    field::Item("channel", 10, 20, 1, 0xFF),
    field::Item("personality", 11, 21, 0, 0xFF).NoneText(kNoneText).ReadOnly(),
    field::Raw("tune", kPairLabel, 22, 1).Repeat(2, 1).Suffixes(kSuffixes),
};
constexpr FieldTable kTestTable{"test_record", 0, 24, kTestFieldDefs};
static_assert(IsValidTable(kTestTable));

// Tables that break the rules are refused at build time.
constexpr FieldDef kTooLong[] = {field::Raw("tail", 1, 20, 8)};
static_assert(!IsValidTable({"bad", 0, 24, kTooLong}));
constexpr FieldDef kTwice[] = {field::Flag("same", 1, 0, 0), field::Flag("same", 1, 0, 1)};
static_assert(!IsValidTable({"bad", 0, 24, kTwice}));
constexpr FieldDef kBadKey[] = {field::Flag("Bad-Key", 1, 0, 0)};
static_assert(!IsValidTable({"bad", 0, 24, kBadKey}));
constexpr FieldDef kWideBits[] = {field::Number("wide", 1, 0).Bits(6, 3)};
static_assert(!IsValidTable({"bad", 0, 24, kWideBits}));
constexpr FieldDef kChoiceWithoutList[] = {field::Choice("mode", 1, 0, 0)};
static_assert(!IsValidTable({"bad", 0, 24, kChoiceWithoutList}));

CTextTable Texts()
{
    CTextTable t;
    t.Set(kOnOffList, "0.Off;1.On;3.Boost");
    t.Set(kRangeList, "5:1:30:10:5:1:1");
    t.Set(kEditionList, "0.Low;1.High");
    t.Set(kNoneText, "None");
    t.Set(kPairLabel, "Pair");
    t.Set(kUnlistedValueText, "(value %d)");
    return t;
}

/// A record every field of which has a value: mode 1, flag, kept 10101, level 10, count 291,
/// kind 3, 433.075 MHz, 0, "AB", "hi", channel 3, personality 0, raw 5A A5.
Bytes Sample()
{
    return {0b10101101, 10,  0x23, 0xC1, 0x00, 0x75, 0x30, 0x43, 0x00, 0x00, 0x00, 0x00,
            'A',        'B', 0,    0,    'h',  'i',  ' ',  ' ',  3,    0,    0x5A, 0xA5};
}

FieldRef Field(std::string_view key)
{
    const auto field = FindField(kTestTable, key);
    EXPECT_TRUE(field) << key;
    return *field;
}

TEST(FieldTableTest, KeysOfRepeatedFieldsAndLookUp)
{
    std::vector<std::string> keys;
    for (const FieldRef& f : Fields(kTestTable)) keys.push_back(f.Key());
    EXPECT_EQ(keys, (std::vector<std::string>{"mode", "flag", "level", "count", "kind", "frequency",
                                              "test_frequency", "name", "note", "channel",
                                              "personality", "tune_8002", "tune_80ba"}));
    EXPECT_EQ(Field("tune_80ba").Offset(), 23u);
    EXPECT_FALSE(FindField(kTestTable, "tune_80bb"));
    EXPECT_FALSE(FindField(kTestTable, "tune"));
    EXPECT_FALSE(FindField(kTestTable, "nothing"));
    EXPECT_EQ(LabelText(Field("tune_8002"), Texts()), "Pair 8002");
}

TEST(FieldTableTest, ValuesAndTextsOfEveryKind)
{
    const CTextTable texts = Texts();
    const Bytes r = Sample();
    struct Case {
        const char* key;
        FieldValue value;
        const char* text;
    };
    const Case cases[] = {
        {"mode", 1u, "On"},
        {"flag", 1u, "1"},
        {"level", 10u, "1.0"},
        {"count", 0x123u, "291"},
        {"kind", 3u, "Boost"},
        {"frequency", 0x43307500u, "433.07500"},
        {"test_frequency", 0u, ""},
        {"name", std::string("AB"), "AB"},
        {"note", std::string("hi"), "hi"},
        {"channel", 3u, "3"},
        {"personality", 0u, "1"},
        {"tune_8002", std::string("5A"), "5A"},
        {"tune_80ba", std::string("A5"), "A5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetValue(Field(c.key), r), c.value) << c.key;
        EXPECT_EQ(GetText(Field(c.key), r, texts), c.text) << c.key;
    }
}

TEST(FieldTableTest, TextsOfSpecialValues)
{
    const CTextTable texts = Texts();
    Bytes r = Sample();
    r[0] = 0b11111110;            // mode 2: no entry has it
    r[1] = 40;                    // beyond the descriptor's items
    PutU32(&r[4], kNoFrequency);  // no frequency
    PutU32(&r[8], kNoFrequency);
    r[12] = 0xFF;  // an erased text
    r[20] = 0xFF;  // no channel
    r[21] = 0xFF;  // no personality: its none text
    EXPECT_EQ(GetText(Field("mode"), r, texts), "(value 2)");
    EXPECT_EQ(GetText(Field("level"), r, texts), "(value 40)");
    EXPECT_EQ(GetText(Field("frequency"), r, texts), "");
    EXPECT_EQ(GetText(Field("test_frequency"), r, texts), "");
    EXPECT_EQ(GetText(Field("name"), r, texts), "");
    EXPECT_EQ(GetText(Field("channel"), r, texts), "");
    EXPECT_EQ(GetText(Field("personality"), r, texts), "None");

    // The editions take their own list.
    CTextTable edition = Texts();
    edition.SetEdition(true);
    EXPECT_EQ(GetText(Field("mode"), Sample(), edition), "High");
    EXPECT_EQ(ListOf(*Field("mode").def, edition), kEditionList);
}

TEST(FieldTableTest, UnlistedValueTextComesFromTheLanguageText)
{
    CTextTable texts;
    EXPECT_EQ(texts.UnlistedValueText(9), "9") << "no language text: the bare number";
    EXPECT_EQ(texts.ParseUnlistedValue("9"), 9);
    // Only the "%d" is replaced: a language text is never a printf format.
    texts.Set(kUnlistedValueText, "%s [%d] %n");
    EXPECT_EQ(texts.UnlistedValueText(9), "%s [9] %n");
    EXPECT_EQ(texts.ParseUnlistedValue("%s [12] %n"), 12);
    for (const char* other : {"%s [] %n", "%s [1x] %n", "[12]", "", "%s [99999999999999999999] %n"})
        EXPECT_FALSE(texts.ParseUnlistedValue(other)) << other;
}

TEST(FieldTableTest, TextsAreStoredAndRefusedTextsKeepTheBits)
{
    const CTextTable texts = Texts();
    struct Case {
        const char* key;
        const char* text;
        bool stored;
        size_t byte;       // the byte to look at
        uint8_t expected;  // its value afterwards (the sample's when refused)
    };
    const Case cases[] = {
        {"mode", "Boost", true, 0, 0b10101111},
        {"mode", "(value 2)", true, 0, 0b10101110},
        {"mode", "(value 4)", false, 0, 0b10101101},  // does not fit 2 bits
        {"mode", "Loud", false, 0, 0b10101101},
        {"mode", "", false, 0, 0b10101101},
        {"flag", "0", true, 0, 0b10101001},
        {"flag", "yes", false, 0, 0b10101101},
        {"level", "3.0", true, 1, 30},
        {"level", "3.1", false, 1, 10},
        {"count", "4095", true, 2, 0xFF},
        {"count", "4096", false, 2, 0x23},
        {"count", "-1", false, 2, 0x23},
        {"kind", "Off", true, 3, 0x01},
        {"frequency", "446.00625", true, 4, 0x25},
        {"frequency", "", true, 4, 0xFF},
        {"frequency", "fast", false, 4, 0x00},
        {"frequency", "1000", false, 4, 0x00},  // more than eight digits of 10 Hz
        {"test_frequency", "", true, 8, 0x00},
        {"name", "ABCD", true, 15, 'D'},
        {"name", "ABCDE", false, 12, 'A'},
        {"note", "x", true, 17, ' '},
        {"channel", "16", true, 20, 16},
        {"channel", "", true, 20, 0xFF},
        {"channel", "0", false, 20, 3},
        {"personality", "2", false, 21, 0},  // read-only
        {"personality", "1", true, 21, 0},   // unchanged
        {"tune_80ba", "0f", true, 23, 0x0F},
        {"tune_80ba", "0FF", false, 23, 0xA5},
    };
    for (const Case& c : cases) {
        Bytes r = Sample();
        EXPECT_EQ(SetText(Field(c.key), r, c.text, texts), c.stored) << c.key << " " << c.text;
        EXPECT_EQ(r[c.byte], c.expected) << c.key << " " << c.text;
        if (!c.stored) {
            EXPECT_EQ(r, Sample()) << c.key << " " << c.text;
        }
    }
}

TEST(FieldTableTest, ValuesMustFitTheirField)
{
    Bytes r = Sample();
    EXPECT_TRUE(SetValue(Field("count"), r, 0xFFFu));
    EXPECT_EQ(GetU16(&r[2]), 0xCFFF) << "bits 12-15 kept";
    EXPECT_FALSE(SetValue(Field("count"), r, 0x1000u));
    EXPECT_FALSE(SetValue(Field("count"), r, std::string("1")));
    EXPECT_FALSE(SetValue(Field("name"), r, 1u));
    EXPECT_FALSE(SetValue(Field("personality"), r, 1u)) << "read-only";
    EXPECT_TRUE(SetValue(Field("personality"), r, 0u));
    // A text the field already shows keeps its bytes, padding and all.
    r[15] = 'Z';  // behind the terminating zero
    EXPECT_TRUE(SetValue(Field("name"), r, std::string("AB")));
    EXPECT_EQ(r[15], 'Z');
}

TEST(FieldTableTest, FormWritesOnlyWhatChanged)
{
    const CTextTable texts = Texts();
    CTextTable twins = Texts();
    twins.Set(kOnOffList, "0.Same;1.Same;3.Boost");  // two entries show one text
    Bytes r = Sample();
    CFieldForm form = ToForm(kTestTable, r, twins);
    EXPECT_EQ(form.Text("mode"), "Same");
    EXPECT_TRUE(FromForm(kTestTable, form, r, twins).empty());
    EXPECT_EQ(r, Sample()) << "an unchanged text keeps the value the first entry would give";

    form = ToForm(kTestTable, r, texts);
    form.Set("mode", "Loud");
    form.Set("level", "2.5");
    form.Set("unknown_key", "1");
    EXPECT_EQ(FromForm(kTestTable, form, r, texts), std::vector<std::string>{"mode"});
    Bytes expected = Sample();
    expected[1] = 25;
    EXPECT_EQ(r, expected);
}

TEST(FieldTableTest, JsonValuesRestoreEveryField)
{
    const CTextTable texts = Texts();
    const Bytes sample = Sample();
    const nlohmann::ordered_json json = RecordToJson(kTestTable, sample, texts);
    EXPECT_EQ(json["level"]["value"], 10);
    EXPECT_EQ(json["level"]["text"], "1.0");
    EXPECT_EQ(json["raw"], HexText(sample));

    // Onto a record whose fields all differ (the kept bits of byte 0 and the read-only field
    // excepted): every field comes back.
    Bytes other = {0b10101010, 5, 0, 0, 0,   0,   0,   0,   1, 0, 0, 0,
                   'Q',        0, 0, 0, 'z', ' ', ' ', ' ', 7, 0, 0, 0};
    EXPECT_TRUE(RecordFromJson(kTestTable, json, other, texts).empty());
    EXPECT_EQ(other, sample);

    // A member with only a text is taken as the views take it; bad values are refused.
    nlohmann::ordered_json edit = {{"level", {{"text", "3.0"}}},
                                   {"count", -1},
                                   {"channel", 4096},
                                   {"flag", {{"value", "1"}}},
                                   {"kind", true}};
    Bytes r = Sample();
    EXPECT_EQ(RecordFromJson(kTestTable, edit, r, texts),
              (std::vector<std::string>{"flag", "count", "channel"}));
    EXPECT_EQ(r[1], 30);
    EXPECT_EQ(r[3] >> 6, 1) << "true is 1";
}

TEST(FieldTableTest, UserLevelsThatSeeAField)
{
    struct Case {
        uint8_t levels;
        bool normal, service, fullService;
    };
    const Case cases[] = {
        {kSeenByAll, true, true, true},
        {kSeenByServiceLevels, false, true, true},
        {kSeenByFullService, false, false, true},
        {kSeenByNone, false, false, false},
    };
    for (const Case& c : cases) {
        const FieldDef def = field::Flag("flag", 1, 0, 0).SeenBy(c.levels);
        EXPECT_EQ(SeenAt(def, 0), c.normal) << int(c.levels);
        EXPECT_EQ(SeenAt(def, 12345), c.normal) << "any other level is the normal one";
        EXPECT_EQ(SeenAt(def, kServiceLevel), c.service) << int(c.levels);
        EXPECT_EQ(SeenAt(def, kFullServiceLevel), c.fullService) << int(c.levels);
    }
}

TEST(FieldTableTest, HexTexts)
{
    EXPECT_EQ(HexText(Bytes{0x0A, 0xFF}), "0AFF");
    EXPECT_EQ(ParseHexText("0a ff"), (Bytes{0x0A, 0xFF}));
    EXPECT_FALSE(ParseHexText("0a f"));
    EXPECT_FALSE(ParseHexText("0g"));
    EXPECT_EQ(ParseHexText(""), Bytes{});
}

}  // namespace
}  // namespace rv
