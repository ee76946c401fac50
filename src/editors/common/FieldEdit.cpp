#include "editors/common/FieldEdit.h"

#include <charconv>
#include <cmath>

#include "base/ChoiceList.h"
#include "base/FrequencyText.h"
#include "base/Settings.h"
#include "base/TextService.h"

namespace rv {

namespace {

/// Interface texts of the descriptions of what a field takes.
constexpr int kFlagValues = 41121;   ///< "0 or 1"
constexpr int kTextWidth = 41119;    ///< "up to %s characters"
constexpr int kRawWidth = 41120;     ///< "%s bytes in hexadecimal"
constexpr int kItemNumbers = 41116;  ///< "item numbers from 1"
constexpr int kMHzRange = 41117;     ///< "%s-%s MHz"

std::string Fill(const CTextService& texts, int id, const std::vector<std::string>& values,
                 const char* english)
{
    std::string text = texts.LoadText(id);
    if (text.empty()) text = english;
    return FillStrings(text, values);
}

/// A text read as a number (blanks around it ignored), as from_chars reads it: no locale.
std::optional<double> NumberOf(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return v;
}

/// The range descriptor of a number field's list, if it has one.
std::optional<RangeDescriptor> RangeOf(const FieldDef& def, const CTextService& texts)
{
    const int list = ListOf(def, texts);
    if (!list) return std::nullopt;
    return ParseRangeDescriptor(texts.LoadText(list));
}

}  // namespace

std::optional<FieldTarget> TargetOf(const FieldTable& table, std::string_view key,
                                    std::string_view prefix)
{
    const auto field = FindField(table, key);
    if (!field) return std::nullopt;
    return FieldTarget{&table, *field, std::string(prefix) + std::string(key)};
}

std::string RecordPrefix(std::string_view record, size_t index)
{
    std::string out(record);
    if (index) out += "[" + std::to_string(index) + "]";
    return out + ".";
}

std::string AcceptedValues(const FieldRef& field, std::span<const uint8_t> record,
                           const CTextService& texts, const std::optional<FrequencyLimits>& band)
{
    const FieldDef& def = *field.def;
    if (def.codec && def.codec->hint) return def.codec->hint(record, field.Offset(), texts);
    switch (def.kind) {
        case FieldKind::Choice: {
            std::string out;
            for (const ChoiceEntry& e : ParseChoiceList(texts.LoadText(ListOf(def, texts))))
                out += (out.empty() ? "\"" : ", \"") + e.text + "\"";
            return out;
        }
        case FieldKind::Flag:
            return Fill(texts, kFlagValues, {}, "0 or 1");
        case FieldKind::Frequency: {
            const FrequencyLimits limits = band.value_or(FrequencyLimits{0, kMaxFreqUnits});
            return Fill(texts, kMHzRange,
                        {FormatFrequencyUnits(limits.low), FormatFrequencyUnits(limits.high)},
                        "%s-%s MHz");
        }
        case FieldKind::Number:
            if (const auto range = RangeOf(def, texts))
                return range->Format(range->displayStart) + "-" + range->Format(range->displayEnd);
            return "0-" + std::to_string(MaskOf(def.BitWidth()));
        case FieldKind::Text:
            return Fill(texts, kTextWidth, {std::to_string(def.width)}, "up to %s characters");
        case FieldKind::ItemRef:
            return Fill(texts, kItemNumbers, {}, "item numbers from 1");
        case FieldKind::Raw:
            return Fill(texts, kRawWidth, {std::to_string(def.width)}, "%s bytes in hexadecimal");
    }
    return {};
}

EditResult EditPlainField(const FieldTarget& target, std::span<uint8_t> record,
                          std::string_view text, const CTextService& texts,
                          const std::optional<FrequencyLimits>& band)
{
    const FieldRef& field = target.field;
    const FieldDef& def = *field.def;
    if (def.derivedFrom)
        return EditResult::Refused(EditMessage::kDerived,
                                   {target.name, texts.LoadText(def.derivedFrom)});
    if (def.readOnly) return EditResult::Refused(EditMessage::kReadOnly, {target.name});
    const std::string before = GetText(field, record, texts);
    EditResult result;
    if (text == before) return result;
    const std::vector<std::string> refusal{target.name, std::string(text),
                                           AcceptedValues(field, record, texts, band)};
    const auto number = NumberOf(text);
    if (number && !std::isfinite(*number) && def.IsNumeric())
        return EditResult::Refused(EditMessage::kNotFinite, refusal);
    if (def.kind == FieldKind::Frequency && !text.empty()) {
        const auto units = ExactFrequencyUnits(text, kNoFrequency);
        if (!units || *units == kNoFrequency)
            return EditResult::Refused(number ? EditMessage::kOutOfRange : EditMessage::kBadValue,
                                       refusal);
        if (band && (*units < band->low || *units > band->high))
            return EditResult::Refused(EditMessage::kOutOfRange, refusal);
    }
    if (!SetText(field, record, text, texts)) {
        // A number the field cannot hold is out of its range; anything else is no value of it.
        const bool numeric = def.kind == FieldKind::Number || def.kind == FieldKind::ItemRef ||
                             def.kind == FieldKind::Flag;
        return EditResult::Refused(
            number && numeric && !def.codec ? EditMessage::kOutOfRange : EditMessage::kBadValue,
            refusal);
    }
    NoteChange(result, target.name, before, GetText(field, record, texts), 0);
    return result;
}

bool MoveField(EditResult& result, const FieldTable& table, std::string_view prefix,
               std::string_view key, std::span<uint8_t> record, std::string_view text,
               int reason, const CTextService& texts)
{
    const auto field = FindField(table, key);
    if (!field) return false;
    const std::string before = GetText(*field, record, texts);
    if (before == text) return true;
    if (!SetText(*field, record, text, texts)) return false;
    NoteChange(result, std::string(prefix) + std::string(key), before,
               GetText(*field, record, texts), reason);
    return true;
}

void NoteChange(EditResult& result, std::string key, std::string before, std::string after,
                int reason)
{
    if (before == after) return;
    result.changes.push_back({std::move(key), std::move(before), std::move(after), reason});
}

}  // namespace rv
