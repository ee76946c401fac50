#pragma once
// One edit of one field, as every editor makes it: a value comes in as the text the views show,
// and the record's edit function answers with what it changed (this field and the fields a rule
// moved with it), the notices to raise, or a refusal with its message. The plain edit here checks
// the value against its field alone; the records with rules wrap it (keys, VOX, mode, emergency,
// scan lists, channels) in their category's edit function.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/FieldTable.h"
#include "data/Notice.h"

namespace rv {

class CTextService;

/// Message numbers of refused edits and of values a rule changed.
struct EditMessage {
    static constexpr int kBadValue = 1431;      ///< key, value, accepted values
    static constexpr int kNotFinite = 3100;     ///< key, value, accepted values
    static constexpr int kOutOfRange = 3101;    ///< key, value, accepted values
    static constexpr int kDerived = 3102;       ///< key, what it follows
    static constexpr int kReadOnly = 3103;      ///< key
    static constexpr int kRuleChanged = 3104;   ///< key, before, after, why
    static constexpr int kNoChannel = 3105;     ///< key, number, channels in use
    static constexpr int kNotOffered = 3106;    ///< key, value
    static constexpr int kCloneOff = 3107;      ///< key
    static constexpr int kNoDtmfSystem = 3108;  ///< key, number, systems in use
    static constexpr int kVoxOff = 1179;        ///< VOX On/Off on a side key while VOX is off
};

/// Interface texts that say why a rule moved a field, or what a derived field follows.
struct EditReason {
    static constexpr int kVoxOff = 41100;
    static constexpr int kTopKeyPair = 41101;
    static constexpr int kCloneOff = 41102;
    static constexpr int kFollowsIdType = 41103;
    static constexpr int kIdTypeLimits = 41104;
    static constexpr int kEmergencyId = 41105;
    static constexpr int kDtmfSystemCount = 41106;
    static constexpr int kPrimaryId = 41107;
    static constexpr int kChannelOrder = 41108;
    static constexpr int kChannelFrequency = 41109;
    static constexpr int kChannelRules = 41118;
};

/// One field an edit changed.
struct FieldChange {
    std::string key;     ///< the field's full key ("keys.sk1_long", "channels[3].rx_frequency")
    std::string before;  ///< the text shown before
    std::string after;   ///< the text shown after
    int reason = 0;      ///< text id of the rule that moved it; 0 for the edited field itself
    bool operator==(const FieldChange&) const = default;
};

/// What an edit did, or why it was refused.
struct EditResult {
    int message = 0;                ///< 0: stored; else the refusal's message number
    std::vector<std::string> args;  ///< the refusal message's values
    std::vector<FieldChange> changes;
    std::vector<NoticeRecord> notices;  ///< notices for the views and blocks to hear
    int warning = 0;                    ///< a message to show after a stored edit (0: none)

    bool Ok() const { return message == 0; }
    static EditResult Refused(int message, std::vector<std::string> args)
    {
        EditResult r;
        r.message = message;
        r.args = std::move(args);
        return r;
    }
};

/// Limits of a frequency field in 10 Hz units (both inclusive).
struct FrequencyLimits {
    uint32_t low = 0;
    uint32_t high = 0;
};

/// The field a key names in a record, with the key the messages use ("keys." + key).
struct FieldTarget {
    const FieldTable* table = nullptr;
    FieldRef field;
    std::string name;  ///< the full key
};
/// The field of `table` with this key; nullopt when the table has none.
std::optional<FieldTarget> TargetOf(const FieldTable& table, std::string_view key,
                                    std::string_view prefix);

/// What a field takes, for a refusal: the entries of its list, its range, the hint of a
/// text-by-rule field, the band of a frequency.
std::string AcceptedValues(const FieldRef& field, std::span<const uint8_t> record,
                           const CTextService& texts,
                           const std::optional<FrequencyLimits>& band = std::nullopt);

/// Checks a value against its field alone and stores it: a read-only or derived field is
/// refused by name; NaN, infinities, numbers outside the field's range and texts the field does
/// not take are refused with what it takes. A text the field already shows changes nothing.
EditResult EditPlainField(const FieldTarget& target, std::span<uint8_t> record,
                          std::string_view text, const CTextService& texts,
                          const std::optional<FrequencyLimits>& band = std::nullopt);

/// Stores a text into a field a rule moves, and notes the change (nothing when the field
/// already shows it). False when the field refuses the text.
bool MoveField(EditResult& result, const FieldTable& table, std::string_view prefix,
               std::string_view key, std::span<uint8_t> record, std::string_view text,
               int reason, const CTextService& texts);
/// Notes a change the caller made ("" before/after compare equal: nothing noted).
void NoteChange(EditResult& result, std::string key, std::string before, std::string after,
                int reason);

/// The full key of a field of a block ("keys.") or a list item ("channels[3].").
std::string RecordPrefix(std::string_view record, size_t index);

}  // namespace rv
