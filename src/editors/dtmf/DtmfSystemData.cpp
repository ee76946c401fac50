#include "editors/dtmf/DtmfSystemData.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/Settings.h"
#include "data/FieldBinding.h"
#include "editors/dtmf/DtmfFieldTable.h"

namespace rv {

namespace {
// Default Primary ID "12345678" packed two digits a byte, and its length.
constexpr std::array<uint8_t, 4> kDefaultPrimaryId{0x12, 0x34, 0x56, 0x78};
constexpr uint8_t kDefaultIdLength = 8;
constexpr uint8_t kDefaultPttIdType = 1;
constexpr uint8_t kDefaultPretime = 25;
constexpr uint8_t kDefaultDigitDuration = 5;
constexpr uint8_t kDefaultDigitInterval = 5;

/// Digit code of a DTMF key (0-9, A-D in either case, * and #); nullopt for any other.
std::optional<uint8_t> DigitCode(char key)
{
    if (key >= '0' && key <= '9') return static_cast<uint8_t>(key - '0');
    if (key >= 'A' && key <= 'D') return static_cast<uint8_t>(0xA + key - 'A');
    if (key >= 'a' && key <= 'd') return static_cast<uint8_t>(0xA + key - 'a');
    if (key == '*') return uint8_t{0xE};
    if (key == '#') return uint8_t{0xF};
    return std::nullopt;
}

/// Key shown for a digit code.
char DigitKey(unsigned code)
{
    static constexpr char kKeys[] = "0123456789ABCD*#";
    return kKeys[code & 0xF];
}

/// The pages' members by field key.
constexpr FieldBinding<DtmfBasicFields> kBasicBinding[] = {
    {"primary_id", &DtmfBasicFields::primaryId},
    {"ptt_id_type", &DtmfBasicFields::pttIdTypeText},
    {"side_tone", &DtmfBasicFields::sideTone},
    {"short_beep", &DtmfBasicFields::shortBeep},
    {"transmit_ctcss", &DtmfBasicFields::transmitCtcss},
};
constexpr FieldBinding<DtmfAdvancedFields> kAdvancedBinding[] = {
    {"pretime", &DtmfAdvancedFields::pretimeText},
    {"digit_duration", &DtmfAdvancedFields::digitDurationText},
    {"digit_interval", &DtmfAdvancedFields::digitIntervalText},
};

}  // namespace

CDtmfSystemData::CDtmfSystemData() : CQXTViewProc(kRecordSize, true)
{
    SetDefaults();
}

void CDtmfSystemData::SetDefaults()
{
    record_.Fill(0xFF);
    for (size_t i = 0; i < kDefaultPrimaryId.size(); ++i)
        record_[Offset::PrimaryId + i] = kDefaultPrimaryId[i];
    record_[Offset::IdLength] = kDefaultIdLength;
    record_[Offset::PttIdType] = kDefaultPttIdType;
    record_.SetBit(Offset::Options, OptionBit::SideTone, false);
    record_.SetBit(Offset::Options, OptionBit::ShortBeep, true);
    record_.SetBit(Offset::Options, OptionBit::TransmitCtcss, true);
    record_[Offset::Pretime] = kDefaultPretime;
    record_[Offset::DigitDuration] = kDefaultDigitDuration;
    record_[Offset::DigitInterval] = kDefaultDigitInterval;
}

std::optional<std::string> CDtmfSystemData::AcceptPrimaryIdInput(std::string_view typed)
{
    std::string id;
    for (char c : typed) {
        if (c == ' ') continue;
        const auto code = DigitCode(c);
        if (!code) return std::nullopt;
        id += DigitKey(*code);
    }
    if (id.size() > kMaxIdDigits) return std::nullopt;
    return id;
}

std::string CDtmfSystemData::PrimaryIdOf(std::span<const uint8_t> record)
{
    // A length above 8 (an unprogrammed radio gives 0xFF) shows all eight digits.
    const size_t length = std::min<size_t>(record[Offset::IdLength], kMaxIdDigits);
    std::string id;
    for (size_t k = 0; k < length; ++k) {
        const uint8_t byte = record[Offset::PrimaryId + k / 2];
        id += DigitKey(GetBits(byte, k % 2 == 0 ? 4 : 0, 4));  // first digit in the high nibble
    }
    return id;
}

bool CDtmfSystemData::StorePrimaryId(std::span<uint8_t> record, std::string_view text)
{
    std::array<uint8_t, kMaxIdDigits> codes{};  // positions behind the ID hold digit 0
    size_t length = 0;
    for (char key : text) {
        if (key == ' ') continue;
        const auto code = DigitCode(key);
        if (!code || length == kMaxIdDigits) return false;
        codes[length++] = *code;
    }
    record[Offset::IdLength] = static_cast<uint8_t>(length);
    if (length == 0) return true;  // no ID: the digit bytes keep what they held
    for (size_t k = 0; k < kMaxIdDigits; ++k) {
        uint8_t& byte = record[Offset::PrimaryId + k / 2];
        byte = WithBits(byte, k % 2 == 0 ? 4 : 0, 4, codes[k]);
    }
    return true;
}

std::string CDtmfSystemData::PrimaryId() const
{
    return PrimaryIdOf(record_.Bytes());
}

bool CDtmfSystemData::SetPrimaryId(const std::string& text)
{
    return StorePrimaryId(BytesOf(record_), text);
}

void CDtmfSystemData::ToBasic(DtmfBasicFields& fields, const CTextService& texts) const
{
    ReadBound<DtmfBasicFields>(kDtmfFieldTable, kBasicBinding, record_.Bytes(), texts, fields);
}

void CDtmfSystemData::ToBasic(DtmfBasicFields& fields) const
{
    ToBasic(fields, Settings());
}

bool CDtmfSystemData::FromBasic(const DtmfBasicFields& fields, const CTextService& texts)
{
    const auto refused = WriteBound<DtmfBasicFields>(kDtmfFieldTable, kBasicBinding, fields,
                                                     BytesOf(record_), texts);
    return std::find(refused.begin(), refused.end(), "primary_id") == refused.end();
}

bool CDtmfSystemData::FromBasic(const DtmfBasicFields& fields)
{
    return FromBasic(fields, Settings());
}

void CDtmfSystemData::ToAdvanced(DtmfAdvancedFields& fields, const CTextService& texts) const
{
    ReadBound<DtmfAdvancedFields>(kDtmfFieldTable, kAdvancedBinding, record_.Bytes(), texts,
                                  fields);
}

void CDtmfSystemData::ToAdvanced(DtmfAdvancedFields& fields) const
{
    ToAdvanced(fields, Settings());
}

void CDtmfSystemData::FromAdvanced(const DtmfAdvancedFields& fields, const CTextService& texts)
{
    WriteBound<DtmfAdvancedFields>(kDtmfFieldTable, kAdvancedBinding, fields, BytesOf(record_),
                                   texts);
}

void CDtmfSystemData::FromAdvanced(const DtmfAdvancedFields& fields)
{
    FromAdvanced(fields, Settings());
}

}  // namespace rv
