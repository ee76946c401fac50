#include "editors/personality/PersonalityData.h"

#include "base/ChoiceList.h"
#include "base/Settings.h"

namespace rv {

namespace {
// Default values of the edited fields.
constexpr uint8_t kDefaultTxAdmit = 1;
constexpr uint8_t kDefaultTimeOut = 60;  // seconds
// Byte 6: signalling 0, bits 4-5 clear, bits 6-7 set.
constexpr unsigned kKeptHighBits = 0x3;
constexpr unsigned kSignallingBits = 4;
constexpr unsigned kByteBits = 8;

/// Stored value of a choice text, or `kept` when the text is not in the list or the value
/// does not fit `bits` bits.
unsigned ChoiceOr(int list, const std::string& text, unsigned bits, unsigned kept)
{
    const auto value = ChoiceValueOf(Settings().LoadText(list), text);
    if (!value || *value < 0 || *value >= (1 << bits)) return kept;
    return static_cast<unsigned>(*value);
}

/// One RXTX field: its record byte, choice list, text and edit mark.
struct ByteField {
    size_t offset;
    int list;
    std::string PersonalityFields::*text;
    bool PersonalityEdits::*edited;
};
constexpr ByteField kRxTxFields[] = {
    {CPersonalityData::Offset::TxAdmit, kTxAdmitList, &PersonalityFields::TxAdmitText,
     &PersonalityEdits::txAdmit},
    {CPersonalityData::Offset::TimeOut, kTimeOutList, &PersonalityFields::TimeOutText,
     &PersonalityEdits::timeOut},
    {CPersonalityData::Offset::PreAlert, kPreAlertList, &PersonalityFields::PreAlertText,
     &PersonalityEdits::preAlert},
    {CPersonalityData::Offset::ReKey, kReKeyList, &PersonalityFields::ReKeyText,
     &PersonalityEdits::reKey},
    {CPersonalityData::Offset::Reset, kResetList, &PersonalityFields::ResetText,
     &PersonalityEdits::reset},
};

}  // namespace

PersonalityFields CPersonalityData::ToFields() const
{
    PersonalityFields f;
    for (const ByteField& b : kRxTxFields)
        f.*b.text = Settings().GetChoiceText(b.list, record_[b.offset]);
    return f;
}

void CPersonalityData::FromFields(const PersonalityFields& f)
{
    FromFields(f, PersonalityEdits{});
}

void CPersonalityData::FromFields(const PersonalityFields& f, const PersonalityEdits& edits)
{
    for (const ByteField& b : kRxTxFields)
        if (edits.*b.edited)
            record_[b.offset] =
                static_cast<uint8_t>(ChoiceOr(b.list, f.*b.text, kByteBits, record_[b.offset]));
}

PersonalitySignalFields CPersonalityData::ToSignalFields() const
{
    return {Settings().GetChoiceText(kTxSignallingList, static_cast<int>(TxSignalling()))};
}

void CPersonalityData::FromSignalFields(const PersonalitySignalFields& f)
{
    const unsigned value =
        ChoiceOr(kTxSignallingList, f.TxSignallingText, kSignallingBits, TxSignalling());
    record_.SetBits(Offset::Signalling, 0, kSignallingBits, value);
}

CPersonalityData::CPersonalityData() : CQXTViewProc(kRecordSize, true) { SetDefaults(); }

void CPersonalityData::SetDefaults()
{
    record_.Fill(0xFF);
    record_[Offset::TxAdmit] = kDefaultTxAdmit;
    record_[Offset::TimeOut] = kDefaultTimeOut;
    record_[Offset::PreAlert] = 0;
    record_[Offset::ReKey] = 0;
    record_[Offset::Reset] = 0;
    record_.SetBits(Offset::Signalling, 0, 4, 0);
    record_.SetBits(Offset::Signalling, 4, 2, 0);
    record_.SetBits(Offset::Signalling, 6, 2, kKeptHighBits);
}

}  // namespace rv
