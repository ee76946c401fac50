#include "editors/channel/ChannelFieldTable.h"

#include "editors/channel/ToneTables.h"

namespace rv {

namespace {

using Bits = CChannelData::ToneBits;

/// Tone texts shown for the side of a tone word that its type does not use.
constexpr uint16_t kIdleCtcss = 670;
constexpr uint16_t kIdleDcs = 23;
/// Index shown for an index outside the table.
constexpr unsigned kShownForBadIndex = 1;

ToneType TypeOfWord(uint16_t word)
{
    return static_cast<ToneType>(word >> Bits::TypeFirst);
}

bool IsDigital(ToneType type)
{
    return type == ToneType::Digital || type == ToneType::DigitalInverted;
}

/// Stores a table index (or the custom index with the custom flag) into the tone word.
void StoreToneIndex(std::span<uint8_t> record, size_t offset, std::optional<uint16_t> index)
{
    constexpr unsigned kCustom = 1u << Bits::CustomBit;
    const uint16_t word = GetU16(&record[offset]);
    const unsigned kept = word & ~(kCustom | Bits::IndexMask);
    PutU16(&record[offset],
           static_cast<uint16_t>(kept | (index ? 0u : kCustom) | index.value_or(kCustomToneIndex)));
}

}  // namespace

std::string FormatCtcssTone(std::span<const uint8_t> record, size_t offset, const CTextService&)
{
    const uint16_t word = GetU16(&record[offset]);
    if (TypeOfWord(word) != ToneType::Analog) return FormatCtcss(kIdleCtcss);
    const auto entry = CtcssAt(word & Bits::IndexMask);
    return FormatCtcss(entry ? entry->value : CtcssAt(kShownForBadIndex)->value);
}

bool ParseCtcssTone(std::span<uint8_t> record, size_t offset, std::string_view text,
                    const CTextService&)
{
    // Only the side of the word's type takes a tone.
    if (TypeOfWord(GetU16(&record[offset])) != ToneType::Analog) return false;
    StoreToneIndex(record, offset, CtcssIndexOf(ParseCtcssText(text)));
    return true;
}

std::string FormatDcsTone(std::span<const uint8_t> record, size_t offset, const CTextService&)
{
    const uint16_t word = GetU16(&record[offset]);
    if (!IsDigital(TypeOfWord(word))) return FormatDcs(kIdleDcs);
    const auto entry = DcsAt(word & Bits::IndexMask);
    return FormatDcs(entry ? entry->value : DcsAt(kShownForBadIndex)->value);
}

bool ParseDcsTone(std::span<uint8_t> record, size_t offset, std::string_view text,
                  const CTextService&)
{
    if (!IsDigital(TypeOfWord(GetU16(&record[offset])))) return false;
    StoreToneIndex(record, offset, DcsIndexOf(ParseDcsText(text)));
    return true;
}

}  // namespace rv
