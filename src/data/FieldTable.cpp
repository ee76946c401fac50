#include "data/FieldTable.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/ChoiceList.h"
#include "base/FrequencyText.h"
#include "base/Settings.h"
#include "base/TextService.h"

namespace rv {

namespace {

constexpr uint8_t kErasedByte = 0xFF;
constexpr uint8_t kBlank = 0x20;
/// The little-endian integer holding a numeric field.
uint32_t ReadInteger(std::span<const uint8_t> record, size_t offset, unsigned width)
{
    uint32_t v = 0;
    for (unsigned i = 0; i < width; ++i) v |= static_cast<uint32_t>(record[offset + i]) << (8 * i);
    return v;
}

void WriteInteger(std::span<uint8_t> record, size_t offset, unsigned width, uint32_t v)
{
    for (unsigned i = 0; i < width; ++i) record[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool Fits(const FieldDef& def, long long value)
{
    return value >= 0 && static_cast<unsigned long long>(value) <= MaskOf(def.BitWidth());
}

/// A whole decimal number and nothing else.
std::optional<long long> ParseDecimal(std::string_view text)
{
    const std::string s(text);
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (errno == ERANGE) return std::nullopt;
    return v;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

/// The text of a text field as its views show it.
std::string DecodeText(const FieldDef& def, std::span<const uint8_t> bytes)
{
    if (bytes.empty() || bytes[0] == kErasedByte) return {};
    std::string text = ReadText(bytes.data(), bytes.size());
    if (def.coding == TextCoding::BlankPadded) {
        const size_t end = text.find_last_not_of(static_cast<char>(kBlank));
        text.erase(end == std::string::npos ? 0 : end + 1);
    }
    return text;
}

/// The list's text, "" when the field has no list or the language file lacks it.
std::string ListText(const FieldDef& def, const CTextService& texts)
{
    const int list = ListOf(def, texts);
    return list ? texts.LoadText(list) : std::string();
}

std::string NumberText(const FieldDef& def, uint32_t value, const CTextService& texts)
{
    const std::string list = ListText(def, texts);
    if (list.empty()) return std::to_string(value);
    std::string text = ChoiceTextOf(list, static_cast<int>(value));
    return text.empty() ? texts.UnlistedValueText(value) : text;
}

std::optional<long long> NumberOfText(const FieldDef& def, std::string_view text,
                                      const CTextService& texts)
{
    const std::string list = ListText(def, texts);
    if (!list.empty())
        if (const auto value = ChoiceValueOf(list, text)) return *value;
    if (const auto value = texts.ParseUnlistedValue(text)) return *value;
    if (list.empty()) return ParseDecimal(Trimmed(text));
    return std::nullopt;
}

std::string ItemText(const FieldDef& def, uint32_t value, const CTextService& texts)
{
    if (def.refNone != kNoNoneValue && value == def.refNone)
        return def.noneText ? texts.LoadText(def.noneText) : std::string();
    return std::to_string(static_cast<long long>(value) + 1 - def.refBase);
}

std::optional<long long> ItemOfText(const FieldDef& def, std::string_view text,
                                    const CTextService& texts)
{
    if (def.refNone != kNoNoneValue) {
        const std::string none = def.noneText ? texts.LoadText(def.noneText) : std::string();
        if (text == none) return def.refNone;
    }
    const auto number = ParseDecimal(Trimmed(text));
    if (!number || *number < 1) return std::nullopt;
    return *number - 1 + def.refBase;
}

std::optional<uint32_t> FrequencyOfText(const FieldDef& def, std::string_view text)
{
    // An empty text is "no frequency" (kNoFrequency, or 0 where 0 means none too).
    const uint32_t none = def.zeroIsNone ? 0u : kNoFrequency;
    const auto units = ExactFrequencyUnits(text, kNoFrequency);
    if (!units) return std::nullopt;
    return *units == kNoFrequency ? none : ToBcd(*units);
}

/// Stores a number into a numeric field's bits (the caller checked that it fits).
void PutNumber(const FieldRef& field, std::span<uint8_t> record, uint32_t value)
{
    const FieldDef& def = *field.def;
    const size_t offset = field.Offset();
    const uint32_t mask = MaskOf(def.BitWidth()) << def.firstBit;
    const uint32_t word = ReadInteger(record, offset, def.width);
    WriteInteger(record, offset, def.width, (word & ~mask) | ((value << def.firstBit) & mask));
}

/// Stores a number into a numeric field: false when it does not fit, or would change a
/// read-only field.
bool StoreNumber(const FieldRef& field, std::span<uint8_t> record, long long value)
{
    if (!Fits(*field.def, value)) return false;
    const auto v = static_cast<uint32_t>(value);
    if (field.def->readOnly) return v == GetNumber(field, record);
    PutNumber(field, record, v);
    return true;
}

bool StoreText(const FieldRef& field, std::span<uint8_t> record, std::string_view text)
{
    const FieldDef& def = *field.def;
    const auto bytes = record.subspan(field.Offset(), def.width);
    // What the field already shows stays byte for byte (padding, bytes behind the end).
    if (text == DecodeText(def, bytes)) return true;
    if (def.readOnly || text.size() > def.width || text.find('\0') != std::string_view::npos)
        return false;
    WriteText(bytes.data(), def.width, text,
              def.coding == TextCoding::BlankPadded ? kBlank : uint8_t{0});
    return true;
}

bool StoreRaw(const FieldRef& field, std::span<uint8_t> record, std::string_view hex)
{
    const FieldDef& def = *field.def;
    const auto bytes = ParseHexText(hex);
    if (!bytes || bytes->size() != def.width) return false;
    const auto target = record.subspan(field.Offset(), def.width);
    if (def.readOnly) return std::equal(bytes->begin(), bytes->end(), target.begin());
    std::copy(bytes->begin(), bytes->end(), target.begin());
    return true;
}

}  // namespace

std::string FieldRef::Key() const
{
    if (def->count <= 1) return std::string(def->key);
    std::string key(def->key);
    key += '_';
    if (def->suffixes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04x", def->suffixes[index]);
        key += hex;
    } else {
        key += std::to_string(index + 1);
    }
    return key;
}

std::vector<FieldRef> Fields(const FieldTable& table)
{
    std::vector<FieldRef> out;
    for (const FieldDef& def : table.fields)
        for (unsigned k = 0; k < def.count; ++k) out.push_back({&def, k});
    return out;
}

std::optional<FieldRef> FindField(const FieldTable& table, std::string_view key)
{
    for (const FieldDef& def : table.fields) {
        if (def.count <= 1) {
            if (def.key == key) return FieldRef{&def, 0};
            continue;
        }
        if (key.size() <= def.key.size() + 1 || key.substr(0, def.key.size()) != def.key ||
            key[def.key.size()] != '_')
            continue;
        for (unsigned k = 0; k < def.count; ++k) {
            const FieldRef ref{&def, k};
            if (ref.Key() == key) return ref;
        }
    }
    return std::nullopt;
}

int ListOf(const FieldDef& def, const CTextService& texts)
{
    return def.editionList && texts.EditionFlag() ? def.editionList : def.list;
}

bool SeenAt(const FieldDef& def, int userLevel)
{
    const uint8_t bit = userLevel == kFullServiceLevel ? kSeenByFullService
                        : userLevel == kServiceLevel   ? kSeenByService
                                                       : kSeenByNormal;
    return (def.levels & bit) != 0;
}

std::string LabelText(const FieldRef& field, const CTextService& texts)
{
    std::string label = texts.LoadText(field.LabelId());
    if (field.def->count > 1 && field.def->labelStep == 0) {
        const std::string key = field.Key();
        label += ' ' + key.substr(field.def->key.size() + 1);
    }
    return label;
}

uint32_t GetNumber(const FieldRef& field, std::span<const uint8_t> record)
{
    const FieldDef& def = *field.def;
    return (ReadInteger(record, field.Offset(), def.width) >> def.firstBit) &
           MaskOf(def.BitWidth());
}

FieldValue GetValue(const FieldRef& field, std::span<const uint8_t> record)
{
    const FieldDef& def = *field.def;
    if (def.IsNumeric()) return GetNumber(field, record);
    const auto bytes = record.subspan(field.Offset(), def.width);
    if (def.kind == FieldKind::Text) return DecodeText(def, bytes);
    return HexText(bytes);
}

bool SetValue(const FieldRef& field, std::span<uint8_t> record, const FieldValue& value)
{
    const FieldDef& def = *field.def;
    if (def.IsNumeric()) {
        const auto* number = std::get_if<uint32_t>(&value);
        return number && StoreNumber(field, record, *number);
    }
    const auto* text = std::get_if<std::string>(&value);
    if (!text) return false;
    return def.kind == FieldKind::Text ? StoreText(field, record, *text)
                                       : StoreRaw(field, record, *text);
}

std::string GetText(const FieldRef& field, std::span<const uint8_t> record,
                    const CTextService& texts)
{
    const FieldDef& def = *field.def;
    if (def.codec) return def.codec->format(record, field.Offset(), texts);
    switch (def.kind) {
        case FieldKind::Choice:
        case FieldKind::Number:
            return NumberText(def, GetNumber(field, record), texts);
        case FieldKind::Flag:
            return GetNumber(field, record) ? "1" : "0";
        case FieldKind::Frequency: {
            const uint32_t bcd = GetNumber(field, record);
            return def.zeroIsNone && bcd == 0 ? std::string() : FormatBcdFrequency(bcd);
        }
        case FieldKind::ItemRef:
            return ItemText(def, GetNumber(field, record), texts);
        case FieldKind::Text:
        case FieldKind::Raw:
            return std::get<std::string>(GetValue(field, record));
    }
    return {};
}

bool SetText(const FieldRef& field, std::span<uint8_t> record, std::string_view text,
             const CTextService& texts)
{
    const FieldDef& def = *field.def;
    if (def.codec) {
        if (text == def.codec->format(record, field.Offset(), texts)) return true;
        return !def.readOnly && def.codec->parse(record, field.Offset(), text, texts);
    }
    std::optional<long long> number;
    switch (def.kind) {
        case FieldKind::Choice:
        case FieldKind::Number:
            number = NumberOfText(def, text, texts);
            break;
        case FieldKind::Flag:
            if (text == "1" || text == "0") number = text == "1";
            break;
        case FieldKind::Frequency:
            if (const auto bcd = FrequencyOfText(def, text)) number = *bcd;
            break;
        case FieldKind::ItemRef:
            number = ItemOfText(def, text, texts);
            break;
        case FieldKind::Text:
            return StoreText(field, record, text);
        case FieldKind::Raw:
            return StoreRaw(field, record, text);
    }
    return number && StoreNumber(field, record, *number);
}

const std::string* CFieldForm::Find(std::string_view key) const
{
    for (const Entry& e : entries_)
        if (e.key == key) return &e.text;
    return nullptr;
}

std::string CFieldForm::Text(std::string_view key) const
{
    const std::string* text = Find(key);
    return text ? *text : std::string();
}

void CFieldForm::Set(std::string_view key, std::string text)
{
    for (Entry& e : entries_)
        if (e.key == key) {
            e.text = std::move(text);
            return;
        }
    entries_.push_back({std::string(key), std::move(text)});
}

CFieldForm ToForm(const FieldTable& table, std::span<const uint8_t> record,
                  const CTextService& texts)
{
    CFieldForm form;
    for (const FieldRef& field : Fields(table))
        form.Set(field.Key(), GetText(field, record, texts));
    return form;
}

std::vector<std::string> FromForm(const FieldTable& table, const CFieldForm& form,
                                  std::span<uint8_t> record, const CTextService& texts)
{
    // Compared with what the record showed before the first write: a field whose text the
    // form did not change keeps its bits even when an earlier field changed its meaning.
    const CFieldForm shown = ToForm(table, record, texts);
    std::vector<std::string> refused;
    for (const FieldRef& field : Fields(table)) {
        const std::string key = field.Key();
        const std::string* text = form.Find(key);
        if (!text || *text == shown.Text(key)) continue;
        if (!SetText(field, record, *text, texts)) refused.push_back(key);
    }
    return refused;
}

std::vector<DecodedField> Decode(const FieldTable& table, std::span<const uint8_t> record,
                                 const CTextService& texts)
{
    std::vector<DecodedField> out;
    for (const FieldRef& field : Fields(table))
        out.push_back({field, field.Key(), LabelText(field, texts), GetValue(field, record),
                       GetText(field, record, texts)});
    return out;
}

std::string HexText(std::span<const uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

std::optional<std::vector<uint8_t>> ParseHexText(std::string_view text)
{
    std::vector<uint8_t> out;
    int high = -1;
    for (char c : text) {
        if (c == ' ') continue;
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return out;
}

}  // namespace rv
