#include "editors/dtmf/DtmfSystemData.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/Settings.h"

namespace rv {

namespace {
// Default Primary ID "12345678" packed two digits a byte, and its length.
constexpr std::array<uint8_t, 4> kDefaultPrimaryId{0x12, 0x34, 0x56, 0x78};
constexpr uint8_t kDefaultIdLength = 8;
constexpr uint8_t kDefaultPttIdType = 1;
constexpr uint8_t kDefaultPretime = 25;
constexpr uint8_t kDefaultDigitDuration = 5;
constexpr uint8_t kDefaultDigitInterval = 5;

// Choice lists of the text fields.
constexpr int kPttIdTypeList = 5308;
constexpr int kPretimeList = 5343;
constexpr int kDigitDurationList = 5349;
constexpr int kDigitIntervalList = 5351;

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

/// Stored value of a text in a choice list; 0xFF when the list has no such text.
uint8_t ChoiceValue(int list, const std::string& text)
{
    const int value = Settings().GetChoiceValue(list, text);
    return value >= 0 && value <= 0xFF ? static_cast<uint8_t>(value) : 0xFF;
}

}  // namespace

CDtmfSystemData::CDtmfSystemData() : CQXTViewProc(kRecordSize, true) { SetDefaults(); }

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

std::string CDtmfSystemData::PrimaryId() const
{
    // A length above 8 (an unprogrammed radio gives 0xFF) shows all eight digits.
    const size_t length = std::min<size_t>(IdLength(), kMaxIdDigits);
    std::string id;
    for (size_t k = 0; k < length; ++k) {
        const size_t byte = Offset::PrimaryId + k / 2;
        const unsigned first = k % 2 == 0 ? 4 : 0;  // first digit in the high nibble
        id += DigitKey(record_.Bits(byte, first, 4));
    }
    return id;
}

bool CDtmfSystemData::SetPrimaryId(const std::string& text)
{
    std::array<uint8_t, kMaxIdDigits> codes{};  // positions behind the ID hold digit 0
    size_t length = 0;
    for (char key : text) {
        if (key == ' ') continue;
        const auto code = DigitCode(key);
        if (!code || length == kMaxIdDigits) return false;
        codes[length++] = *code;
    }
    record_[Offset::IdLength] = static_cast<uint8_t>(length);
    if (length == 0) return true;  // no ID: the digit bytes keep what they held
    for (size_t k = 0; k < kMaxIdDigits; ++k) {
        const size_t byte = Offset::PrimaryId + k / 2;
        record_.SetBits(byte, k % 2 == 0 ? 4 : 0, 4, codes[k]);
    }
    return true;
}

void CDtmfSystemData::ToBasic(DtmfBasicFields& fields) const
{
    fields.primaryId = PrimaryId();
    fields.pttIdTypeText = Settings().GetChoiceText(kPttIdTypeList, PttIdType());
    fields.sideTone = Option(OptionBit::SideTone);
    fields.shortBeep = Option(OptionBit::ShortBeep);
    fields.transmitCtcss = Option(OptionBit::TransmitCtcss);
}

bool CDtmfSystemData::FromBasic(const DtmfBasicFields& fields)
{
    const bool idStored = SetPrimaryId(fields.primaryId);
    record_[Offset::PttIdType] = ChoiceValue(kPttIdTypeList, fields.pttIdTypeText);
    record_.SetBit(Offset::Options, OptionBit::SideTone, fields.sideTone);
    record_.SetBit(Offset::Options, OptionBit::ShortBeep, fields.shortBeep);
    record_.SetBit(Offset::Options, OptionBit::TransmitCtcss, fields.transmitCtcss);
    return idStored;
}

void CDtmfSystemData::ToAdvanced(DtmfAdvancedFields& fields) const
{
    const auto& settings = Settings();
    fields.pretimeText = settings.GetChoiceText(kPretimeList, Pretime());
    fields.digitDurationText = settings.GetChoiceText(kDigitDurationList, DigitDuration());
    fields.digitIntervalText = settings.GetChoiceText(kDigitIntervalList, DigitInterval());
}

void CDtmfSystemData::FromAdvanced(const DtmfAdvancedFields& fields)
{
    record_[Offset::Pretime] = ChoiceValue(kPretimeList, fields.pretimeText);
    record_[Offset::DigitDuration] = ChoiceValue(kDigitDurationList, fields.digitDurationText);
    record_[Offset::DigitInterval] = ChoiceValue(kDigitIntervalList, fields.digitIntervalText);
}

}  // namespace rv
