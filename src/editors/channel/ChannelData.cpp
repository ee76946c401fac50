#include "editors/channel/ChannelData.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/Settings.h"
#include "data/FieldBinding.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelFieldTable.h"
#include "editors/channel/ToneTables.h"
#include "editors/common/StepCode.h"
#include "editors/personality/PersonalityData.h"

namespace rv {

namespace {

/// One row of a licence-free band's channel table.
struct BandRow {
    uint32_t units;  ///< frequency in 10 Hz units
    ToneType type;   ///< tone type of receive and transmit
    uint16_t tone;   ///< tenths of Hz (analog) or code (digital); 0 with no tone
};

using BandTable = std::array<BandRow, CChannelData::kSlots>;

constexpr BandTable kBand433{{
    {43307500, ToneType::None, 0},
    {43310000, ToneType::None, 0},
    {43312500, ToneType::None, 0},
    {43315000, ToneType::None, 0},
    {43317500, ToneType::None, 0},
    {43320000, ToneType::None, 0},
    {43322500, ToneType::None, 0},
    {43325000, ToneType::None, 0},
    {43327500, ToneType::None, 0},
    {43330000, ToneType::None, 0},
    {43332500, ToneType::None, 0},
    {43335000, ToneType::None, 0},
    {43337500, ToneType::None, 0},
    {43340000, ToneType::None, 0},
    {43342500, ToneType::None, 0},
    {43345000, ToneType::None, 0},
}};

constexpr BandTable kBand446{{
    {44604375, ToneType::None, 0},
    {44600625, ToneType::None, 0},
    {44609375, ToneType::None, 0},
    {44605625, ToneType::None, 0},
    {44605625, ToneType::Analog, 670},
    {44605625, ToneType::Analog, 2503},
    {44604375, ToneType::Digital, 23},
    {44604375, ToneType::Digital, 754},
    {44609375, ToneType::Analog, 1273},
    {44608125, ToneType::Analog, 670},
    {44600625, ToneType::Analog, 2503},
    {44608125, ToneType::Digital, 23},
    {44601875, ToneType::Digital, 754},
    {44606875, ToneType::Digital, 23},
    {44600625, ToneType::Digital, 754},
    {44605625, ToneType::None, 0},
}};

constexpr BandTable kBand448{{
    {44875000, ToneType::None, 0},
    {44876250, ToneType::None, 0},
    {44877500, ToneType::None, 0},
    {44878750, ToneType::None, 0},
    {44880000, ToneType::None, 0},
    {44881250, ToneType::None, 0},
    {44882500, ToneType::None, 0},
    {44883750, ToneType::None, 0},
    {44885000, ToneType::None, 0},
    {44886250, ToneType::None, 0},
    {44887500, ToneType::None, 0},
    {44888750, ToneType::None, 0},
    {44890000, ToneType::None, 0},
    {44891250, ToneType::None, 0},
    {44892500, ToneType::None, 0},
    {44915000, ToneType::None, 0},
}};

/// The licence-free bands, named by the first number of the model's range.
struct LicenceFreeBand {
    int lowMHz;
    const BandTable* table;
};
constexpr std::array<LicenceFreeBand, 3> kLicenceFreeBands{
    {{433, &kBand433}, {446, &kBand446}, {448, &kBand448}}};

// Defaults of the other bands.
constexpr uint32_t kEditionOffset = 600000;      // 6 MHz higher start in the editions
constexpr uint32_t kChannelSpacing = 50000;      // 500 kHz between default channels
constexpr uint32_t kFirstChannelOffset = 32500;  // 325 kHz above the start
constexpr unsigned kFirstToneIndex = 20;         // 123.0 Hz
constexpr unsigned kToneCycle = 20;
constexpr size_t kFirstToneLessEditionChannel = 13;
constexpr uint8_t kDefaultSpacingPower = 0x22;  // spacing value 2, power value 2
// Texts of the invalid-log entry for a missing personality.
constexpr int kMissingPersonalityName = 3702;    // the field's name
constexpr int kChannelListName = 3655;           // where: the channels
constexpr int kMissingPersonalityReason = 3657;  // why: the personality is gone
/// The channel that starts scanning by itself in a default set.
constexpr size_t kAutoScanPosition = 15;

/// Offset within the tone cycle: the non-standard tones at 8, 10, 12 and 14 steps above the
/// first tone are replaced by the standard tone below them.
constexpr unsigned ToneStep(size_t position)
{
    const unsigned m = static_cast<unsigned>(position % kToneCycle);
    return (m == 8 || m == 10 || m == 12 || m == 14) ? m - 1 : m;
}

/// Tone word of a licence-free table row: index of the tone in its table, custom flag when
/// it is not there (a row without tone looks up 0 and so gets index 0xFF, custom).
uint16_t RowToneWord(const BandRow& row)
{
    const auto index = row.type == ToneType::Analog ? CtcssIndexOf(row.tone) : DcsIndexOf(row.tone);
    return CChannelData::MakeToneWord(row.type, index.value_or(kCustomToneIndex), !index);
}

}  // namespace

CChannelData::CChannelData(size_t position) : CQXTViewProc(kRecordSize, true)
{
    size_t noDivisorYet = 0;
    SetDefaults(position, noDivisorYet);
}

CChannelData::CChannelData(size_t position, size_t& latchedDivisor)
    : CQXTViewProc(kRecordSize, true)
{
    SetDefaults(position, latchedDivisor);
}

void CChannelData::SetDefaults(size_t position, size_t& latchedDivisor)
{
    record_.Fill(0xFF);
    const auto& settings = Settings();
    const bool edition = settings.EditionFlag();
    const int lowMHz = settings.CurrentRangeLow();
    const int highMHz = settings.CurrentRangeHigh();

    const LicenceFreeBand* band = nullptr;
    for (const auto& b : kLicenceFreeBands)
        if (b.lowMHz == lowMHz) band = &b;

    uint32_t units = 0;
    uint16_t tone = 0;
    uint8_t spacingPower = 0;
    if (band) {
        // A list longer than the table (a misuse) repeats the table instead of reading past it.
        const BandRow& row = (*band->table)[position % band->table->size()];
        units = row.units;
        tone = RowToneWord(row);
        spacingPower = 0x00;
    } else {
        const uint32_t start =
            static_cast<uint32_t>(lowMHz) * kFreqUnitsPerMHz + (edition ? kEditionOffset : 0);
        const uint32_t high = static_cast<uint32_t>(highMHz) * kFreqUnitsPerMHz;
        units = start + static_cast<uint32_t>(position) * kChannelSpacing + kFirstChannelOffset;
        if (units > high) {
            if (latchedDivisor == 0) latchedDivisor = position == 0 ? 1 : position;
            units = start + static_cast<uint32_t>(position % latchedDivisor) * kChannelSpacing +
                    kFirstChannelOffset;
            // A divisor latched in a wider band earlier in the run can still leave the band:
            // keep the default inside it by starting over at the first channel's frequency.
            if (units > high) units = start + kFirstChannelOffset;
        }
        const bool noTone = edition && position >= kFirstToneLessEditionChannel;
        tone = MakeToneWord(noTone ? ToneType::None : ToneType::Analog,
                            static_cast<uint16_t>(kFirstToneIndex + ToneStep(position)));
        spacingPower = kDefaultSpacingPower;
    }

    const auto step = static_cast<unsigned>(StepOf(units));
    SetRxFreq(ToBcd(units));
    SetTxFreq(ToBcd(units));
    record_.SetU16(Offset::RxTone, tone);
    record_.SetU16(Offset::TxTone, tone);
    record_.SetBits(Offset::Steps, 0, 4, step);
    record_.SetBits(Offset::Steps, 4, 4, step);
    record_[Offset::SpacingPower] = spacingPower;
    record_[Offset::Personality] = 0;
    record_[Offset::Flags] = 0;
    record_.SetBit(Offset::Flags, FlagBit::AutoStartScan, position == kAutoScanPosition);
    if (band) record_.SetBit(Offset::Flags, FlagBit::Compandor, !edition);
    personalityId_ = 0;
}

namespace {

/// Stored value of a choice text, or `kept` when the text is not in the list or the value
/// does not fit the field's `bits`.
unsigned ChoiceOr(const CTextService& texts, int list, const std::string& text, unsigned bits,
                  unsigned kept)
{
    const auto value = texts.ChoiceValue(list, text);
    if (!value || *value < 0 || *value >= (1 << bits)) return kept;
    return static_cast<unsigned>(*value);
}

/// Bit 7 of byte 19: shown as F7, never written back.
constexpr unsigned kReadOnlyFlag = 7;
constexpr unsigned kTypeBits = 2;
constexpr unsigned kNibble = 4;
constexpr uint16_t kRepairedIndex = 1;

ToneType TypeOfWord(uint16_t word)
{
    return static_cast<ToneType>(word >> CChannelData::ToneBits::TypeFirst);
}

/// Sets an index that is 0 or beyond the type's table to 1 (type, custom flag and bit 12 kept).
uint16_t RepairedToneWord(uint16_t word)
{
    using Bits = CChannelData::ToneBits;
    const ToneType type = TypeOfWord(word);
    if (type == ToneType::None) return word;
    const unsigned index = word & Bits::IndexMask;
    const bool inTable =
        type == ToneType::Analog ? CtcssAt(index).has_value() : DcsAt(index).has_value();
    return inTable ? word : static_cast<uint16_t>((word & ~Bits::IndexMask) | kRepairedIndex);
}

/// The text form's members by field key (tone texts by the tone rule, flags F1 to F7).
constexpr FieldBinding<ChannelFields> kChannelBinding[] = {
    {"rx_frequency", &ChannelFields::RxFreq},  {"rx_type", &ChannelFields::RxTypeText},
    {"rx_ctcss", &ChannelFields::RxCtcssText}, {"rx_dcs", &ChannelFields::RxDcsText},
    {"rx_step", &ChannelFields::RxStep},       {"tx_frequency", &ChannelFields::TxFreq},
    {"tx_type", &ChannelFields::TxTypeText},   {"tx_ctcss", &ChannelFields::TxCtcssText},
    {"tx_dcs", &ChannelFields::TxDcsText},     {"tx_step", &ChannelFields::TxStep},
    {"spacing", &ChannelFields::SpacingText},  {"power", &ChannelFields::PowerText},
};
constexpr FieldBinding<ChannelFields> kFlagBinding[] = {
    {"personality", &ChannelFields::PersonalityIndex},
    {"flag_1", &ChannelFields::F1},
    {"flag_2", &ChannelFields::F2},
    {"compandor", &ChannelFields::F3},
    {"scramble", &ChannelFields::F4},
    {"beat_shift", &ChannelFields::F5},
    {"auto_start_scan", &ChannelFields::F6},
    {"flag_7", &ChannelFields::F7},
};

/// Tone word of a type and the side's tone texts: the type's table index of the typed value
/// (limited to the typed-tone range), or 0xFF with the custom flag when it is not in the table.
/// Type 0 keeps the index bits and the custom flag; bit 12 is always kept.
uint16_t ToneWordOf(uint16_t old, unsigned type, const std::string& ctcss, const std::string& dcs)
{
    using Bits = CChannelData::ToneBits;
    constexpr unsigned kKeptBit12 = 1u << 12;
    constexpr unsigned kCustom = 1u << Bits::CustomBit;
    const unsigned typeBits = type << Bits::TypeFirst;
    if (static_cast<ToneType>(type) == ToneType::None)
        return static_cast<uint16_t>((old & (kKeptBit12 | kCustom | Bits::IndexMask)) | typeBits);
    const auto index = static_cast<ToneType>(type) == ToneType::Analog
                           ? CtcssIndexOf(ParseCtcssText(ctcss))
                           : DcsIndexOf(ParseDcsText(dcs));
    return static_cast<uint16_t>((old & kKeptBit12) | typeBits | (index ? 0u : kCustom) |
                                 index.value_or(kCustomToneIndex));
}

}  // namespace

ToneType CChannelData::RxToneType() const
{
    return TypeOfWord(RxTone());
}
ToneType CChannelData::TxToneType() const
{
    return TypeOfWord(TxTone());
}

ChannelFields CChannelData::ShowFields(const CTextService& texts) const
{
    ChannelFields f;
    ReadBound<ChannelFields>(kChannelFieldTable, kChannelBinding, record_.Bytes(), texts, f);
    ReadBound<ChannelFields>(kChannelFieldTable, kFlagBinding, record_.Bytes(), texts, f);
    return f;
}

ChannelFields CChannelData::ShowFields() const
{
    return ShowFields(Settings());
}

ChannelFields CChannelData::ToFields(const CTextService& texts)
{
    // Showing a tone index outside its table repairs it in the record.
    SetRxTone(RepairedToneWord(RxTone()));
    SetTxTone(RepairedToneWord(TxTone()));
    return ShowFields(texts);
}

ChannelFields CChannelData::ToFields()
{
    return ToFields(Settings());
}

void CChannelData::FromFields(const ChannelFields& fields)
{
    FromFields(fields, CurrentBandLimits());
}

void CChannelData::FromFields(const ChannelFields& fields, const BandLimits& band)
{
    FromFields(fields, band, Settings());
}

void CChannelData::FromFields(const ChannelFields& f, const BandLimits& band,
                              const CTextService& texts)
{
    FromFields(f, band, ChannelEdits::All(), texts);
}

void CChannelData::FromFields(const ChannelFields& f, const BandLimits& band,
                              const ChannelEdits& edits)
{
    FromFields(f, band, edits, Settings());
}

void CChannelData::FromFields(const ChannelFields& f, const BandLimits& band,
                              const ChannelEdits& edits, const CTextService& texts)
{
    if (edits.spacing)
        record_.SetBits(Offset::SpacingPower, 0, kNibble,
                        ChoiceOr(texts, kSpacingList, f.SpacingText, kNibble, Spacing()));
    if (edits.power)
        record_.SetBits(Offset::SpacingPower, kNibble, kNibble,
                        ChoiceOr(texts, kPowerList, f.PowerText, kNibble, Power()));

    if (edits.rxFreq || edits.txFreq) {
        uint32_t rx = edits.rxFreq ? f.RxFreq : RxFreq();
        uint32_t tx = edits.txFreq ? f.TxFreq : TxFreq();
        if (rx == kNoFrequency) {
            tx = kNoFrequency;
        } else if (tx != kNoFrequency) {
            // Packed decimal keeps numeric order, so the limits compare directly. The fixed
            // frequencies of a licence-free band are kept: the 433 MHz list runs up to
            // 434.775 MHz, beyond the band's nominal upper limit, and a choice from the list
            // must stay as chosen. A frequency the editor did not change is kept as stored.
            const uint32_t low = band.LowBcd();
            const uint32_t high = band.HighBcd();
            auto fit = [&](uint32_t bcd) {
                if (IsFixedFrequency(band.lowMHz, FromBcd(bcd))) return bcd;
                return std::clamp(bcd, low, high);
            };
            if (edits.rxFreq) rx = fit(rx);
            if (edits.txFreq) tx = fit(tx);
        }
        SetRxFreq(rx);
        SetTxFreq(tx);
        if (edits.rxFreq) record_.SetBits(Offset::Steps, 0, kNibble, f.RxStep);
        if (edits.txFreq) record_.SetBits(Offset::Steps, kNibble, kNibble, f.TxStep);
    }

    // A tone word is rebuilt from its texts only when its side's tone was changed: a word
    // read from a radio or a file whose index is not in the table stays as it came.
    if (edits.rxTone) {
        const unsigned rxType = ChoiceOr(texts, kRxTypeList, f.RxTypeText, kTypeBits,
                                         static_cast<unsigned>(RxToneType()));
        SetRxTone(ToneWordOf(RxTone(), rxType, f.RxCtcssText, f.RxDcsText));
    }
    if (edits.txTone) {
        const unsigned txType = ChoiceOr(texts, kTxTypeList, f.TxTypeText, kTypeBits,
                                         static_cast<unsigned>(TxToneType()));
        SetTxTone(ToneWordOf(TxTone(), txType, f.TxCtcssText, f.TxDcsText));
    }
}

void CChannelData::GetFlags(ChannelFields& f) const
{
    // Flags and the personality are numbers: no texts are looked up.
    ReadBound<ChannelFields>(kChannelFieldTable, kFlagBinding, record_.Bytes(), CTextTable(), f);
}

void CChannelData::SetFlags(const ChannelFields& fields)
{
    // Bit 7 is read-only in the table and bit 0 is no field: neither is written.
    ChannelFields f = fields;
    f.F7 = Flag(kReadOnlyFlag);
    WriteBound<ChannelFields>(kChannelFieldTable, kFlagBinding, f, BytesOf(record_), CTextTable());
}

void CChannelData::ResolveLinks()
{
    const auto& personalities = Radio().Personalities();
    const uint8_t index = PersonalityIndex();
    personalityId_ = 0;
    if (index < personalities.size() && personalities[index]->used_)
        personalityId_ = personalities[index]->id_;
}

void CChannelData::OnNotice(const NoticeRecord& notice)
{
    if (notice.code != NoticeCode::Deleted) return;
    const CPersonalityData* personality = Radio().FindPersonality(personalityId_);
    if (personality && personality->used_) return;

    const auto& settings = Settings();
    NoticeRecord entry;
    entry.itemTextId = kPersonalityTextId;
    entry.code = notice.code;
    entry.name = settings.LoadText(kMissingPersonalityName);
    entry.message = settings.LoadText(kChannelListName) + " - " +
                    std::to_string(Radio().ChannelNumberOf(id_)) + ": " +
                    settings.LoadText(kMissingPersonalityReason);
    entry.key = PersonalityNoticeKey();
    Radio().InvalidLog().Add(entry);
}

void CChannelData::WithdrawNotices()
{
    Radio().InvalidLog().Withdraw(PersonalityNoticeKey());
}

}  // namespace rv
