#pragma once
// Fields as data. Every record of the radio has one constexpr table of its fields: a stable
// snake_case key, the label's text id, where the field lies (offset, bits or bytes), its kind,
// its choice list and the user levels whose views show it. One engine turns any record into
// the texts and values its views show and back, into a text form, and (FieldJson.h) into JSON.
//
// A field lies in a little-endian integer of `width` bytes at `offset` (bits firstBit to
// firstBit + bitCount - 1 of it; bitCount 0 takes the whole integer), or, for texts and raw
// bytes, in `width` bytes at `offset`. A repeated field (member channels, test frequency
// pairs, tuning items) has `count` copies `stride` bytes apart; copy k has the key
// "<key>_<k + 1>" (or "<key>_<suffix>" with the suffixes given in hexadecimal).
//
// Shown texts follow the views: a choice field shows the text of its entry; a stored value no
// entry has is shown as a number (text 39300, "(value 9)") and is kept when the form is
// written back unchanged or with any text that is not in the list.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/Bytes.h"

namespace rv {

class CTextService;

/// What a field holds and how its text is made.
enum class FieldKind : uint8_t {
    Choice,     ///< stored value of an entry of a choice list (drop-down list)
    Number,     ///< a number, shown through the range descriptor of its list, else in decimal
    Flag,       ///< one bit (check box), shown as "1" or "0"
    Frequency,  ///< packed-decimal frequency in 10 Hz units, shown in MHz ("%.5f")
    Text,       ///< fixed-width text
    ItemRef,    ///< an item of a list (channel, personality, DTMF system) by its position
    Raw,        ///< bytes, shown and given as hexadecimal
};

/// How a text field pads and marks an empty field.
enum class TextCoding : uint8_t {
    ZeroPadded,   ///< zero bytes after the text; a first byte 0xFF is an erased (empty) field
    BlankPadded,  ///< blanks after the text (removed when shown); first byte 0xFF is empty
};

/// Bits of the user levels whose views show a field.
enum FieldLevel : uint8_t {
    kSeenByNone = 0,  ///< carried by the record, shown by no view
    kSeenByNormal = 1,
    kSeenByService = 2,
    kSeenByFullService = 4,
};
inline constexpr uint8_t kSeenByServiceLevels = kSeenByService | kSeenByFullService;
inline constexpr uint8_t kSeenByAll = kSeenByNormal | kSeenByServiceLevels;

/// The rule of a field whose text is not a plain function of its own bits (it reads other
/// fields of the record, or packs digits). `offset` is the field's (copy's) offset.
struct FieldCodec {
    /// The shown text.
    std::string (*format)(std::span<const uint8_t> record, size_t offset, const CTextService&);
    /// Stores a shown text; false (record unchanged) when the text is refused.
    bool (*parse)(std::span<uint8_t> record, size_t offset, std::string_view text,
                  const CTextService&);
    /// What the field takes, for a refused text ("0-9, A-D, * and #, up to 8"); nullptr when
    /// the kind's own description serves.
    std::string (*hint)(std::span<const uint8_t> record, size_t offset,
                        const CTextService&) = nullptr;
};

/// No stored value means "no item" for this reference field.
inline constexpr int64_t kNoNoneValue = -1;

/// One field of a record (or a run of repeated fields).
struct FieldDef {
    std::string_view key;  ///< stable snake_case key
    int label = 0;         ///< text id of the label (the caption of the control)
    FieldKind kind = FieldKind::Number;
    uint16_t offset = 0;          ///< byte offset in the record
    uint8_t width = 1;            ///< bytes of the integer holding the field, or of a text/raw
    uint8_t firstBit = 0;         ///< first bit of the field inside that integer
    uint8_t bitCount = 0;         ///< bits of the field; 0: the whole integer
    int list = 0;                 ///< choice list or range descriptor (Choice, Number)
    int editionList = 0;          ///< the list in the editions; 0: the same list
    uint8_t levels = kSeenByAll;  ///< user levels whose views show the field
    bool readOnly = false;        ///< shown, never written back
    int derivedFrom = 0;  ///< text id naming what the field follows (0: the user sets it)
    bool zeroIsNone = false;      ///< frequency: 0 is "no frequency" too and is what "" stores
    TextCoding coding = TextCoding::ZeroPadded;
    uint8_t refBase = 1;             ///< item reference: 1 = stored 1-based number, 0 = position
    int64_t refNone = kNoNoneValue;  ///< item reference: the stored value meaning no item
    int noneText = 0;                ///< item reference: text id shown for no item (0: "")
    uint16_t count = 1;              ///< number of copies of a repeated field
    uint16_t stride = 0;             ///< bytes between copies
    int labelStep = 0;  ///< label id step between copies (0: the label with the number)
    const uint16_t* suffixes = nullptr;  ///< key suffixes of the copies (shown in hexadecimal)
    const FieldCodec* codec = nullptr;   ///< rule for the text, when not the kind's own

    /// Bits of the field.
    constexpr unsigned BitWidth() const { return bitCount ? bitCount : width * 8u; }
    /// True for the kinds whose value is a number.
    constexpr bool IsNumeric() const { return kind != FieldKind::Text && kind != FieldKind::Raw; }

    // Modifiers for the table rows, each returning a changed copy.
    constexpr FieldDef Bits(unsigned first, unsigned n) const
    {
        FieldDef d = *this;
        d.firstBit = static_cast<uint8_t>(first);
        d.bitCount = static_cast<uint8_t>(n);
        return d;
    }
    constexpr FieldDef Width(unsigned bytes) const
    {
        FieldDef d = *this;
        d.width = static_cast<uint8_t>(bytes);
        return d;
    }
    constexpr FieldDef EditionList(int id) const
    {
        FieldDef d = *this;
        d.editionList = id;
        return d;
    }
    constexpr FieldDef SeenBy(uint8_t levelBits) const
    {
        FieldDef d = *this;
        d.levels = levelBits;
        return d;
    }
    constexpr FieldDef Hidden() const { return SeenBy(kSeenByNone); }
    constexpr FieldDef ReadOnly() const
    {
        FieldDef d = *this;
        d.readOnly = true;
        return d;
    }
    /// The field follows other data (text id `what` names it); an edit cannot set it.
    constexpr FieldDef Derived(int what) const
    {
        FieldDef d = *this;
        d.derivedFrom = what;
        return d;
    }
    /// True when an edit may set the field.
    constexpr bool Settable() const { return !readOnly && derivedFrom == 0; }
    constexpr FieldDef ZeroIsNone() const
    {
        FieldDef d = *this;
        d.zeroIsNone = true;
        return d;
    }
    constexpr FieldDef Repeat(unsigned copies, unsigned bytesApart, int labelIdStep = 0) const
    {
        FieldDef d = *this;
        d.count = static_cast<uint16_t>(copies);
        d.stride = static_cast<uint16_t>(bytesApart);
        d.labelStep = labelIdStep;
        return d;
    }
    constexpr FieldDef Suffixes(const uint16_t* hexSuffixes) const
    {
        FieldDef d = *this;
        d.suffixes = hexSuffixes;
        return d;
    }
    constexpr FieldDef Codec(const FieldCodec* rule) const
    {
        FieldDef d = *this;
        d.codec = rule;
        return d;
    }
    constexpr FieldDef NoneText(int id) const
    {
        FieldDef d = *this;
        d.noneText = id;
        return d;
    }
};

/// Table rows by kind.
namespace field {
constexpr FieldDef Choice(std::string_view key, int label, unsigned offset, int list)
{
    FieldDef d{.key = key, .label = label, .kind = FieldKind::Choice};
    d.offset = static_cast<uint16_t>(offset);
    d.list = list;
    return d;
}
/// A number, shown through the range descriptor of `list` (0: in decimal).
constexpr FieldDef Number(std::string_view key, int label, unsigned offset, int list = 0)
{
    FieldDef d = Choice(key, label, offset, list);
    d.kind = FieldKind::Number;
    return d;
}
constexpr FieldDef Flag(std::string_view key, int label, unsigned offset, unsigned bit)
{
    FieldDef d = Number(key, label, offset).Bits(bit, 1);
    d.kind = FieldKind::Flag;
    return d;
}
constexpr FieldDef Frequency(std::string_view key, int label, unsigned offset)
{
    FieldDef d = Number(key, label, offset).Width(4);
    d.kind = FieldKind::Frequency;
    return d;
}
constexpr FieldDef Text(std::string_view key, int label, unsigned offset, unsigned width,
                        TextCoding coding = TextCoding::ZeroPadded)
{
    FieldDef d = Number(key, label, offset).Width(width);
    d.kind = FieldKind::Text;
    d.coding = coding;
    return d;
}
/// A reference to an item: `base` 1 stores the 1-based number, 0 the 0-based position;
/// `none` is the stored value for no item (kNoNoneValue when there is none).
constexpr FieldDef Item(std::string_view key, int label, unsigned offset, unsigned base,
                        int64_t none)
{
    FieldDef d = Number(key, label, offset);
    d.kind = FieldKind::ItemRef;
    d.refBase = static_cast<uint8_t>(base);
    d.refNone = none;
    return d;
}
constexpr FieldDef Raw(std::string_view key, int label, unsigned offset, unsigned width)
{
    FieldDef d = Number(key, label, offset).Width(width);
    d.kind = FieldKind::Raw;
    return d;
}
}  // namespace field

/// The field table of one record.
struct FieldTable {
    std::string_view name;  ///< the record's snake_case name
    int title = 0;          ///< text id of the record's view (or print section)
    size_t recordSize = 0;  ///< bytes of the record
    std::span<const FieldDef> fields;
};

/// True when every row fits the record and has a snake_case key of its own; each table
/// checks itself with a static_assert.
constexpr bool IsValidTable(const FieldTable& table)
{
    auto snakeCase = [](std::string_view key) {
        if (key.empty() || key.front() < 'a' || key.front() > 'z' || key.back() == '_')
            return false;
        for (char c : key)
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
        return true;
    };
    for (size_t i = 0; i < table.fields.size(); ++i) {
        const FieldDef& f = table.fields[i];
        if (!snakeCase(f.key) || f.width == 0 || f.count == 0) return false;
        if (f.count > 1 && f.stride == 0) return false;
        const size_t last = f.offset + static_cast<size_t>(f.count - 1) * f.stride + f.width;
        if (last > table.recordSize) return false;
        if (f.IsNumeric()) {
            if (f.width > 4 || f.firstBit + f.BitWidth() > f.width * 8u) return false;
            if (f.kind == FieldKind::Flag && f.BitWidth() != 1) return false;
            if (f.kind == FieldKind::Frequency && (f.width != 4 || f.bitCount != 0)) return false;
        }
        if (f.kind == FieldKind::Choice && f.list == 0) return false;
        for (size_t j = 0; j < i; ++j)
            if (table.fields[j].key == f.key) return false;
    }
    return true;
}

/// One field of a record: a row of its table and, for a repeated row, which copy.
struct FieldRef {
    const FieldDef* def = nullptr;
    unsigned index = 0;
    /// Offset of this copy in the record.
    size_t Offset() const { return def->offset + static_cast<size_t>(index) * def->stride; }
    /// The stable key ("member_3" for copy 2 of "member").
    std::string Key() const;
    /// Text id of the label of this copy.
    int LabelId() const { return def->label + static_cast<int>(index) * def->labelStep; }
};

/// A field's value: a number for the numeric kinds, a string for texts and raw bytes (hex).
using FieldValue = std::variant<uint32_t, std::string>;

/// Every field of the table, repeated rows expanded, in table order.
std::vector<FieldRef> Fields(const FieldTable& table);
/// The field with this key; nullopt when the table has none.
std::optional<FieldRef> FindField(const FieldTable& table, std::string_view key);
/// The choice list of a field for the current model (the edition list in the editions).
int ListOf(const FieldDef& def, const CTextService& texts);
/// True when a user level (the settings' "Level" value) sees the field in its view.
bool SeenAt(const FieldDef& def, int userLevel);
/// The label as shown: the label text, with the copy's number or suffix for a repeated row
/// that has one label for all copies.
std::string LabelText(const FieldRef& field, const CTextService& texts);

/// A mutable view of a raw record for the engine.
inline std::span<uint8_t> BytesOf(CRawRecord& record)
{
    return {record.Data(), record.Size()};
}

/// The stored number of a numeric field (its bits).
uint32_t GetNumber(const FieldRef& field, std::span<const uint8_t> record);
/// The field's value (number, text or hexadecimal bytes).
FieldValue GetValue(const FieldRef& field, std::span<const uint8_t> record);
/// Stores a value. False (record unchanged) when the value does not fit the field, has the
/// wrong type, or would change a read-only field. A text equal to the one shown keeps the
/// bytes as they are.
bool SetValue(const FieldRef& field, std::span<uint8_t> record, const FieldValue& value);
/// The text the views show for the field.
std::string GetText(const FieldRef& field, std::span<const uint8_t> record,
                    const CTextService& texts);
/// Stores a shown text. False (record unchanged) when the text is refused: not in the
/// choice list, not a number the field holds, a read-only field changed, and so on.
bool SetText(const FieldRef& field, std::span<uint8_t> record, std::string_view text,
             const CTextService& texts);

/// A record's text form: every field's shown text by key, in table order.
class CFieldForm {
public:
    struct Entry {
        std::string key;
        std::string text;
        bool operator==(const Entry&) const = default;
    };
    /// The text of a key; nullptr when the form has no such key.
    const std::string* Find(std::string_view key) const;
    /// The text of a key; "" when the form has no such key.
    std::string Text(std::string_view key) const;
    /// The flag of a key ("1"), false when absent.
    bool Flag(std::string_view key) const { return Text(key) == "1"; }
    /// Sets (or appends) the text of a key.
    void Set(std::string_view key, std::string text);
    void SetFlag(std::string_view key, bool on) { Set(key, on ? "1" : "0"); }
    const std::vector<Entry>& Entries() const { return entries_; }
    bool operator==(const CFieldForm&) const = default;

private:
    std::vector<Entry> entries_;
};

/// The record's text form.
CFieldForm ToForm(const FieldTable& table, std::span<const uint8_t> record,
                  const CTextService& texts);
/// Writes a text form back in table order. A text equal to what the record shows is skipped
/// (the bits stay as they are); a text the field refuses keeps its bits too. Returns the keys
/// of the refused texts. Keys the table does not have are ignored.
std::vector<std::string> FromForm(const FieldTable& table, const CFieldForm& form,
                                  std::span<uint8_t> record, const CTextService& texts);

/// One decoded field for listings (dump, print rows, compare).
struct DecodedField {
    FieldRef field;
    std::string key;
    std::string label;
    FieldValue value;
    std::string text;
};
/// Every field of the record with its key, label, value and shown text.
std::vector<DecodedField> Decode(const FieldTable& table, std::span<const uint8_t> record,
                                 const CTextService& texts);

/// Upper-case hexadecimal of bytes without separators ("0AFF").
std::string HexText(std::span<const uint8_t> bytes);
/// Bytes of a hexadecimal text (blanks ignored); nullopt for a text that is not hex bytes.
std::optional<std::vector<uint8_t>> ParseHexText(std::string_view text);

}  // namespace rv
