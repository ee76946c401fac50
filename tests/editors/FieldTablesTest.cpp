// The field tables of every record against the default sets of every model and range: the
// text form and the JSON values give the record back byte for byte, a choice value that no
// entry has is shown as its number and kept, and the conversions run on a language file
// without a program directory.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "data/FieldJson.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "report/RecordTables.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/general/MicBlock.h"
#include "editors/general/MiscBlock.h"
#include "editors/general/VolumeBlock.h"
#include "editors/general/VoxBlock.h"
#include "editors/keys/KeyBlock.h"
#include "editors/personality/PersonalityData.h"
#include "base/ChoiceList.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(std::span<const uint8_t> bytes)
{
    return Bytes(bytes.begin(), bytes.end());
}

uint32_t MaskOf(const FieldDef& def)
{
    return def.BitWidth() >= 32 ? 0xFFFFFFFFu : (1u << def.BitWidth()) - 1u;
}

/// True when writing the field's shown text gives its bytes back (no bytes behind the end of
/// the text, the padding of its coding).
bool TextIsCanonical(const FieldRef& field, std::span<const uint8_t> record)
{
    const FieldDef& def = *field.def;
    const std::string text = std::get<std::string>(GetValue(field, record));
    Bytes expected(text.begin(), text.end());
    expected.resize(def.width, def.coding == TextCoding::BlankPadded ? ' ' : 0);
    return Of(record.subspan(field.Offset(), def.width)) == expected;
}

/// The record with every field that can be written given another value: numbers one up,
/// raw bytes inverted, texts replaced where the text gives the bytes back. Fields with a rule
/// of their own (codec) only when asked.
Bytes Scrambled(const FieldTable& table, const Bytes& record, bool withCodecFields)
{
    Bytes out = record;
    for (const FieldRef& field : Fields(table)) {
        const FieldDef& def = *field.def;
        if (def.readOnly || (def.codec && !withCodecFields)) continue;
        if (def.IsNumeric()) {
            EXPECT_TRUE(SetValue(field, out, (GetNumber(field, out) + 1) & MaskOf(def)))
                << field.Key();
        } else if (def.kind == FieldKind::Raw) {
            Bytes inverted = Of(std::span<const uint8_t>(out).subspan(field.Offset(), def.width));
            for (uint8_t& b : inverted) b = static_cast<uint8_t>(~b);
            EXPECT_TRUE(SetValue(field, out, HexText(inverted))) << field.Key();
        } else if (TextIsCanonical(field, out)) {
            EXPECT_TRUE(SetValue(field, out, std::string("~"))) << field.Key();
        }
    }
    return out;
}

class FieldTablesTest : public test::HomeTest {
protected:
    /// The default sets of the program directory: file, model ID, range.
    struct DefaultSet {
        std::string path, model, range;
    };
    std::vector<DefaultSet> DefaultSets() const
    {
        std::vector<DefaultSet> out;
        const std::regex name("(RV[0-9]{3})([0-9]+-[0-9]+)DefaultSet\\.dat");
        for (const auto& entry : std::filesystem::directory_iterator(home.Dir())) {
            std::smatch m;
            const std::string file = entry.path().filename().string();
            if (std::regex_match(file, m, name)) out.push_back({entry.path().string(), m[1], m[2]});
        }
        std::sort(out.begin(), out.end(),
                  [](const DefaultSet& a, const DefaultSet& b) { return a.path < b.path; });
        return out;
    }
    /// Loads a default set into the radio data as New does, with its model current.
    void Load(const DefaultSet& set)
    {
        UseModel(set.model, set.range);
        std::array<uint8_t, kDataFileImageSize> image{};
        ASSERT_TRUE(CDataFile::Read(set.path, nullptr, image)) << set.path;
        Radio().MemoryMap().LoadFromImage(image);
    }
};

TEST_F(FieldTablesTest, EveryDefaultSetComesBackFromItsTextFormAndItsJsonValues)
{
    const auto sets = DefaultSets();
    ASSERT_GE(sets.size(), 11u);
    const CSettings& texts = Settings();
    for (const DefaultSet& set : sets) {
        SCOPED_TRACE(set.path);
        Load(set);
        for (const RecordEntry& r : AllRecords(Radio())) {
            const FieldTable& table = *r.kind->table;
            SCOPED_TRACE(std::string(table.name) + " " + std::to_string(r.index));
            const Bytes original = Of(r.bytes);
            const CFieldForm form = ToForm(table, original, texts);

            Bytes same = original;
            EXPECT_TRUE(FromForm(table, form, same, texts).empty());
            EXPECT_EQ(same, original) << "an unchanged text form changes nothing";

            Bytes changed = Scrambled(table, original, false);
            // Only the texts of a record of zero bytes (embedded messages) give no bytes back.
            const bool onlyTexts =
                std::all_of(table.fields.begin(), table.fields.end(),
                            [](const FieldDef& f) { return f.kind == FieldKind::Text; });
            if (!onlyTexts) {
                EXPECT_NE(changed, original);
            }
            FromForm(table, form, changed, texts);
            EXPECT_EQ(changed, original) << "the text form sets every field back";

            const nlohmann::ordered_json json = RecordToJson(table, original, texts);
            changed = Scrambled(table, original, true);
            EXPECT_TRUE(RecordFromJson(table, json, changed, texts).empty());
            EXPECT_EQ(changed, original) << "the JSON values set every field back";
        }
    }
}

/// Largest value a choice field holds that no entry of its list has; nullopt when every value
/// has one, and for a list the language file does not have yet (its values show as numbers).
std::optional<uint32_t> UnlistedValue(const FieldDef& def, const CTextService& texts)
{
    const std::string list = texts.LoadText(ListOf(def, texts));
    if (def.kind != FieldKind::Choice || list.empty()) return std::nullopt;
    for (long long v = MaskOf(def); v >= 0; --v)
        if (ChoiceTextOf(list, static_cast<int>(v)).empty()) return static_cast<uint32_t>(v);
    return std::nullopt;
}

TEST_F(FieldTablesTest, ChoiceValuesThatNoEntryHasAreShownAsNumbersAndKept)
{
    const CSettings& texts = Settings();
    size_t checked = 0;
    for (const RecordEntry& r : AllRecords(Radio())) {
        if (r.index > 1) continue;  // one item of each list
        const FieldTable& table = *r.kind->table;
        for (const FieldRef& field : Fields(table)) {
            const auto value = UnlistedValue(*field.def, texts);
            if (!value) continue;
            const std::string key = field.Key();
            SCOPED_TRACE(std::string(table.name) + "." + key + " = " + std::to_string(*value));
            Bytes record = Of(r.bytes);
            ASSERT_TRUE(SetValue(field, record, *value));
            const Bytes before = record;

            const std::string shown = GetText(field, record, texts);
            EXPECT_EQ(shown, "(value " + std::to_string(*value) + ")");
            // The form written back as it was, or with a text not in the list: bits kept.
            EXPECT_TRUE(FromForm(table, ToForm(table, record, texts), record, texts).empty());
            CFieldForm edited = ToForm(table, record, texts);
            edited.Set(key, "no such entry");
            EXPECT_EQ(FromForm(table, edited, record, texts), std::vector<std::string>{key});
            EXPECT_EQ(record, before);
            // The shown number is taken back by another record.
            Bytes other = Of(r.bytes);
            EXPECT_TRUE(SetText(field, other, shown, texts));
            EXPECT_EQ(GetNumber(field, other), *value);
            ++checked;
        }
    }
    EXPECT_GT(checked, 40u);
}

/// A block's own text form, read and written back; `ruled` is a field whose value another
/// rule of the form follows (the emergency ID type sets the ID length), left as it is.
struct TextFormCase {
    const char* table;
    std::function<void(RadioData&)> roundTrip;
    const char* ruled = "";
};

TEST_F(FieldTablesTest, TextFormsOfTheBlocksKeepChoiceValuesThatNoEntryHas)
{
    const TextFormCase cases[] = {
        {"keys", [](RadioData& r) { r.Keys().FromFields(r.Keys().ToFields()); }},
        {"volume", [](RadioData& r) { r.Volume().FromFields(r.Volume().ToFields()); }},
        {"microphone", [](RadioData& r) { r.Mic().FromFields(r.Mic().ToFields()); }},
        {"vox", [](RadioData& r) { r.Vox().FromFields(r.Vox().ToFields()); }},
        {"misc", [](RadioData& r) { r.Misc().FromFields(r.Misc().ToFields()); }},
        {"emergency", [](RadioData& r) { r.Emergency().FromFields(r.Emergency().ToFields()); },
         "id_type"},
        {"personality",
         [](RadioData& r) {
             CPersonalityData& p = *r.Personalities()[0];
             p.FromFields(p.ToFields());
             p.FromSignalFields(p.ToSignalFields());
         }},
        {"dtmf_system",
         [](RadioData& r) {
             CDtmfSystemData& d = *r.DtmfSystems()[0];
             DtmfBasicFields basic;
             DtmfAdvancedFields advanced;
             d.ToBasic(basic);
             d.ToAdvanced(advanced);
             EXPECT_TRUE(d.FromBasic(basic));
             d.FromAdvanced(advanced);
         }},
        {"channel",
         [](RadioData& r) {
             CChannelData& c = *r.Channels()[0];
             const ChannelFields f = c.ToFields();
             c.FromFields(f);
             c.SetFlags(f);
         }},
    };
    const CSettings& texts = Settings();
    for (const TextFormCase& c : cases) {
        SCOPED_TRACE(c.table);
        bool found = false;
        for (const RecordEntry& r : AllRecords(Radio())) {
            if (r.kind->table->name != c.table || r.index > 1) continue;
            found = true;
            size_t unlisted = 0;
            for (const FieldRef& field : Fields(*r.kind->table))
                if (field.Key() != c.ruled)
                    if (const auto value = UnlistedValue(*field.def, texts)) {
                        ASSERT_TRUE(SetValue(field, r.bytes, *value));
                        ++unlisted;
                    }
            EXPECT_GT(unlisted, 0u);
            const Bytes before = Of(r.bytes);
            c.roundTrip(Radio());
            EXPECT_EQ(Of(r.bytes), before);
        }
        EXPECT_TRUE(found);
    }
}

TEST_F(FieldTablesTest, EveryRecordHasATableThatCoversIt)
{
    for (const RecordEntry& r : AllRecords(Radio())) {
        EXPECT_EQ(r.kind->table->recordSize, r.bytes.size()) << r.kind->table->name;
        EXPECT_FALSE(Fields(*r.kind->table).empty());
    }
}

TEST(FieldTextServiceTest, ConversionsRunOnALanguageFileWithoutAProgramDirectory)
{
    const CLanguageTexts standard(RV_RESOURCE_DIR "/QTX_E.lng", "RV205");
    const CLanguageTexts edition(RV_RESOURCE_DIR "/QTX_E.lng", "RV385");
    ASSERT_TRUE(standard.Loaded());
    EXPECT_FALSE(standard.EditionFlag());
    EXPECT_TRUE(edition.EditionFlag());
    EXPECT_FALSE(CLanguageTexts("/nonexistent/QTX_E.lng").Loaded());

    CVoxBlock vox;
    vox.Raw()[0] = 0xF9;  // gain 4
    vox.Raw()[1] = 15;
    EXPECT_EQ(vox.ToFields(standard).GainLevelText, ChoiceTextOf(standard.LoadText(4430), 4));
    EXPECT_EQ(vox.ToFields(edition).GainLevelText, ChoiceTextOf(standard.LoadText(4440), 4));
    EXPECT_EQ(vox.ToFields(standard).DelayText, "1.5");
    VoxFields f = vox.ToFields(standard);
    f.DelayText = "3.0";
    vox.FromFields(f, standard);
    EXPECT_EQ(vox.Raw()[1], 30);

    CKeyBlock keys;
    keys.Raw()[2] = 9;  // no key function has code 9
    EXPECT_EQ(keys.ToFields(standard).Sk1ShortText, "(value 9)");

    CMicBlock mic;
    MicFields gains = mic.ToFields(standard);
    gains.InternalGainText = "12";
    mic.FromFields(gains, standard);
    EXPECT_EQ(mic.InternalGain(), 8);
}

TEST_F(FieldTablesTest, ChannelAliasesBelongToTheRadioData)
{
    RadioData& radio = Radio();
    const uint32_t first = radio.Channels()[0]->id_;
    const uint32_t second = radio.Channels()[1]->id_;
    radio.SetChannelAlias(first, "Gate");
    EXPECT_EQ(radio.ChannelAlias(first), "Gate");
    EXPECT_EQ(radio.ChannelAlias(second), "");
    radio.SetChannelAlias(first, "");
    EXPECT_EQ(radio.ChannelAlias(first), "");
    radio.SetChannelAlias(second, "Yard");
    radio.ClearLists();
    radio.SetDefaults();
    EXPECT_EQ(radio.ChannelAlias(second), "") << "the channels of an old set are gone";
}

}  // namespace
}  // namespace rv
