// The one edit path: every field a user level may set goes through the edit function of its
// record (the path of the views and of `rvcps-cli set`). A valid value comes back as the text
// the field shows; an invalid one (NaN, out of range, the wrong kind, no entry of the list) is
// refused by name and leaves every record as it was. The rules of the records run there.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <string>
#include <vector>

#include "base/ChoiceList.h"
#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/edit/RecordEdit.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/general/VoxBlock.h"
#include "editors/keys/KeyBlock.h"
#include "editors/scan/ScanData.h"
#include "report/RecordTables.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

/// Every byte of every record, to see that a refused edit changed nothing.
std::vector<std::vector<uint8_t>> Snapshot()
{
    std::vector<std::vector<uint8_t>> out;
    for (const RecordEntry& r : AllRecords(Radio())) out.emplace_back(r.bytes.begin(), r.bytes.end());
    return out;
}

std::string NameOf(const RecordEntry& r)
{
    return r.kind->listName ? r.kind->listName : std::string(r.kind->table->name);
}

/// An edit as `set` makes it: the record's edit function, or the field's own checks for a
/// record without rules.
EditResult Edit(const RecordEntry& r, const FieldRef& field, const std::string& text)
{
    if (auto result = EditRecordField(Radio(), NameOf(r), r.index, field.Key(), text, Settings()))
        return *result;
    const auto target = TargetOf(*r.kind->table, field.Key(), RecordPrefix(NameOf(r), r.index));
    return EditPlainField(*target, r.bytes, text, Settings());
}

/// A value the field takes that differs from what it shows, or nothing when the field has no
/// such value that no rule of its record refuses or moves.
std::optional<std::string> ValidOther(const FieldRef& field, std::span<const uint8_t> record,
                                      const std::string& record_name)
{
    const FieldDef& def = *field.def;
    const CSettings& texts = Settings();
    const std::string now = GetText(field, record, texts);
    auto differs = [&](const std::string& v) { return v != now ? std::optional(v) : std::nullopt; };
    switch (def.kind) {
        case FieldKind::Choice:
            for (const ChoiceEntry& e : ParseChoiceList(texts.LoadText(ListOf(def, texts)))) {
                // Key functions with rules of their own are the rule cases' business.
                if (record_name == "keys" && (e.value == 28 || e.value == 29 || e.value == 75 ||
                                              e.value == 79))
                    continue;
                if (record_name == "vox" && e.value == 0) continue;
                if (e.text != now) return e.text;
            }
            return std::nullopt;
        case FieldKind::Flag:
            if (def.key == "factory_clone") return std::nullopt;  // the clone rule's case
            return now == "1" ? "0" : "1";
        case FieldKind::Number:
            if (const int list = ListOf(def, texts))
                if (const auto range = ParseRangeDescriptor(texts.LoadText(list)))
                    return now == range->Format(range->displayStart)
                               ? range->Format(range->displayEnd)
                               : range->Format(range->displayStart);
            return differs("1") ? "1" : "2";
        case FieldKind::Frequency:
            return differs("401.00000") ? "401.00000" : "402.00000";
        case FieldKind::Text:
            return differs("AB") ? "AB" : "CD";
        case FieldKind::ItemRef:
            // A channel's personality: the default set has one personality only.
            if (record_name == "channels") return std::nullopt;
            // The emergency signalling system: the default set has one DTMF system.
            if (def.key == "signaling_system") return std::nullopt;
            return differs("2") ? "2" : "3";
        case FieldKind::Raw:
            if (def.key == "primary_id") return differs("12*#") ? "12*#" : "9";
            return std::nullopt;
    }
    return std::nullopt;
}

/// Values the field refuses: the wrong kind, NaN, infinity and numbers out of its range.
std::vector<std::string> Invalid(const FieldRef& field)
{
    switch (field.def->kind) {
        case FieldKind::Choice:
            return {"no such entry", "NaN"};
        case FieldKind::Flag:
            return {"2", "-1", "NaN", "yes"};
        case FieldKind::Number:
        case FieldKind::ItemRef:
            return {"NaN", "inf", "-5", "99999999", "abc"};
        case FieldKind::Frequency:
            return {"NaN", "-inf", "-5", "1000", "abc"};
        case FieldKind::Text:
            return {std::string(field.def->width + 1, 'X')};
        case FieldKind::Raw:
            return {"not an id"};
    }
    return {};
}

class RecordEditTest : public test::HomeTest {};

TEST_F(RecordEditTest, EverySettableFieldTakesAValidValueAndRefusesInvalidOnes)
{
    int checked = 0;
    for (const RecordEntry& r : AllRecords(Radio())) {
        // The first item of each list stands for the others.
        if (r.index > 1) continue;
        const std::string name = NameOf(r);
        for (const FieldRef& field : Fields(*r.kind->table)) {
            const FieldDef& def = *field.def;
            if (def.levels == kSeenByNone || !def.Settable() ||
                (def.codec && def.kind != FieldKind::Raw))
                continue;
            const std::string key = RecordPrefix(name, r.index) + field.Key();
            SCOPED_TRACE(key);
            for (const std::string& bad : Invalid(field)) {
                const auto before = Snapshot();
                const EditResult result = Edit(r, field, bad);
                EXPECT_FALSE(result.Ok()) << bad;
                ASSERT_FALSE(result.args.empty());
                EXPECT_EQ(result.args.front(), key);
                EXPECT_EQ(Snapshot(), before) << bad;
            }
            const auto value = ValidOther(field, r.bytes, name);
            if (!value) continue;
            const EditResult result = Edit(r, field, *value);
            ASSERT_TRUE(result.Ok()) << *value << ": message " << result.message;
            EXPECT_EQ(GetText(field, r.bytes, Settings()), *value);
            ASSERT_FALSE(result.changes.empty());
            EXPECT_EQ(result.changes.front().key, key);
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
}

TEST_F(RecordEditTest, DerivedAndReadOnlyFieldsAreRefusedByName)
{
    struct Case {
        const char* record;
        size_t index;
        const char* key;
        int message;
    };
    const Case cases[] = {
        {"dtmf_systems", 1, "system_count", EditMessage::kDerived},
        {"dtmf_systems", 1, "id_length", EditMessage::kDerived},
        {"emergency", 0, "id_length", EditMessage::kDerived},
        {"channels", 1, "prev_link", EditMessage::kDerived},
        {"channels", 1, "next_link", EditMessage::kDerived},
        {"channels", 1, "rx_step", EditMessage::kDerived},
        {"channels", 1, "flag_7", EditMessage::kReadOnly},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const auto before = Snapshot();
        const auto result = EditRecordField(Radio(), c.record, c.index, c.key, "1", Settings());
        ASSERT_TRUE(result);
        EXPECT_EQ(result->message, c.message);
        EXPECT_EQ(result->args.front(), RecordPrefix(c.record, c.index) + c.key);
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(RecordEditTest, TextByRuleFieldsNameWhatTheyTake)
{
    const auto primary = EditRecordField(Radio(), "dtmf_systems", 1, "primary_id", "XYZ", Settings());
    ASSERT_TRUE(primary);
    ASSERT_EQ(primary->args.size(), 3u);
    EXPECT_EQ(primary->args[2], "0-9, A-D, * and #, up to 8");
    const auto id = EditRecordField(Radio(), "emergency", 0, "id", "12345", Settings());
    ASSERT_TRUE(id);
    EXPECT_EQ(id->args[2], "0-9, * and #, up to 4");
}

// The rules of the views, as the edit functions apply them.
TEST_F(RecordEditTest, RulesMoveTheFieldsTheViewsMove)
{
    struct Case {
        const char* name;
        std::vector<std::tuple<const char*, const char*, const char*>> edits;  // record, key, text
        int message;  ///< of the last edit
        std::vector<std::pair<const char*, const char*>> moved;  ///< key, text after
    };
    const Case cases[] = {
        {"VoxOffFreesSideKeys", {{"vox", "gain_level", "Off"}}, 0,
         {{"keys.sk1_long", "None"}}},
        {"VoxKeyRefusedWhileVoxOff",
         {{"vox", "gain_level", "Off"}, {"keys", "sk2_short", "VOX On/Off"}},
         EditMessage::kVoxOff, {}},
        {"RestrictedCodeRefusedOnRv205", {{"keys", "sk1_short", "Scrambler On/Off"}},
         EditMessage::kNotOffered, {}},
        {"TopKeyTakesItsPair", {{"keys", "tk_long", "Emergency Off"}}, 0,
         {{"keys.tk_short", "Emergency On"}}},
        {"TopKeyLosesItsPartner", {{"keys", "tk_short", "Monitor"}}, 0,
         {{"keys.tk_long", "None"}}},
        {"FactoryCloneNeedsClone", {{"mode", "factory_clone", "1"}}, EditMessage::kCloneOff, {}},
        {"CloneOffClearsFactoryClone",
         {{"mode", "clone", "1"}, {"mode", "factory_clone", "1"}, {"mode", "clone", "0"}}, 0,
         {{"mode.factory_clone", "0"}}},
        {"SelcallIdFollowsItsType",
         {{"emergency", "id", "1*#2"}, {"emergency", "id_type", "Selcall"}}, 0,
         {{"emergency.id", "0012"}, {"emergency.send_mode", "Polite"}}},
        {"AlarmToneSendsImpolitely",
         {{"emergency", "id_type", "Selcall"}, {"emergency", "id_type", "Alarm Tone"}}, 0,
         {{"emergency.send_mode", "Impolite"}, {"emergency.id_length", "8"}}},
        {"RevertChannelMustBeInUse", {{"emergency", "revert_channel", "40"}},
         EditMessage::kNoChannel, {}},
        {"ScanMemberMustBeInUse", {{"scan_lists", "member_3", "40"}}, EditMessage::kNoChannel,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reinit();
        std::optional<EditResult> last;
        for (const auto& [record, key, text] : c.edits) {
            const size_t index = std::string_view(record) == "scan_lists" ? 1 : 0;
            last = EditRecordField(Radio(), record, index, key, text, Settings());
        }
        ASSERT_TRUE(last);
        EXPECT_EQ(last->message, c.message);
        for (const auto& [key, after] : c.moved) {
            const auto it = std::find_if(last->changes.begin(), last->changes.end(),
                                         [&](const FieldChange& ch) { return ch.key == key; });
            ASSERT_NE(it, last->changes.end()) << key;
            EXPECT_EQ(it->after, after) << key;
        }
    }
}

TEST_F(RecordEditTest, ReferencesAreLinkedSoThatTheCheckBeforeSavingKeepsThem)
{
    ASSERT_TRUE(EditRecordField(Radio(), "scan_lists", 1, "member_3", "5", Settings())->Ok());
    ASSERT_TRUE(EditRecordField(Radio(), "scan_lists", 1, "designated_channel", "7", Settings())->Ok());
    ASSERT_TRUE(EditRecordField(Radio(), "emergency", 0, "revert_channel", "9", Settings())->Ok());
    // The reference check that runs before every save.
    Radio().ValidateAll();
    const CScanData& scan = *Radio().ScanLists().front();
    EXPECT_EQ(scan.Raw()[CScanData::Offset::Members + 2], 5);
    EXPECT_EQ(scan.Raw()[CScanData::Offset::Designated], 7);
    EXPECT_EQ(Radio().Emergency().Raw()[CEmergencyBlock::Offset::kRevertChannel], 9);
    EXPECT_EQ(Radio().Emergency().RevertChannelId(), Radio().Channels()[8]->id_);
}

}  // namespace
}  // namespace rv
