#include "editors/personality/PersonalityData.h"

#include "data/FieldBinding.h"
#include "editors/personality/PersonalityFieldTable.h"
#include "base/Settings.h"

#include <vector>

namespace rv {

namespace {
// Default values of the edited fields.
constexpr uint8_t kDefaultTxAdmit = 1;
constexpr uint8_t kDefaultTimeOut = 60;  // seconds
// Byte 6: signalling 0, bits 4-5 clear, bits 6-7 set.
constexpr unsigned kKeptHighBits = 0x3;

/// The text forms' members by field key.
constexpr FieldBinding<PersonalityFields> kRxTxBinding[] = {
    {"tx_admit", &PersonalityFields::TxAdmitText},
    {"tx_time_out", &PersonalityFields::TimeOutText},
    {"tot_pre_alert", &PersonalityFields::PreAlertText},
    {"tot_re_key", &PersonalityFields::ReKeyText},
    {"tot_reset", &PersonalityFields::ResetText},
};
/// Which edit mark belongs to each binding of kRxTxBinding, in the same order.
constexpr bool PersonalityEdits::*kRxTxEdited[] = {
    &PersonalityEdits::txAdmit, &PersonalityEdits::timeOut, &PersonalityEdits::preAlert,
    &PersonalityEdits::reKey,   &PersonalityEdits::reset,
};
static_assert(std::size(kRxTxEdited) == std::size(kRxTxBinding));
constexpr FieldBinding<PersonalitySignalFields> kSignalBinding[] = {
    {"tx_optional_signaling", &PersonalitySignalFields::TxSignallingText},
};

}  // namespace

PersonalityFields CPersonalityData::ToFields(const CTextService& texts) const
{
    PersonalityFields f;
    ReadBound<PersonalityFields>(kPersonalityFieldTable, kRxTxBinding, record_.Bytes(), texts, f);
    return f;
}

PersonalityFields CPersonalityData::ToFields() const { return ToFields(Settings()); }

void CPersonalityData::FromFields(const PersonalityFields& f, const CTextService& texts)
{
    FromFields(f, PersonalityEdits{}, texts);
}

void CPersonalityData::FromFields(const PersonalityFields& f) { FromFields(f, Settings()); }

void CPersonalityData::FromFields(const PersonalityFields& f, const PersonalityEdits& edits)
{
    FromFields(f, edits, Settings());
}

void CPersonalityData::FromFields(const PersonalityFields& f, const PersonalityEdits& edits,
                                  const CTextService& texts)
{
    std::vector<FieldBinding<PersonalityFields>> edited;
    for (size_t i = 0; i < std::size(kRxTxBinding); ++i)
        if (edits.*kRxTxEdited[i]) edited.push_back(kRxTxBinding[i]);
    WriteBound<PersonalityFields>(kPersonalityFieldTable, edited, f, BytesOf(record_), texts);
}

PersonalitySignalFields CPersonalityData::ToSignalFields(const CTextService& texts) const
{
    PersonalitySignalFields f;
    ReadBound<PersonalitySignalFields>(kPersonalityFieldTable, kSignalBinding, record_.Bytes(),
                                       texts, f);
    return f;
}

PersonalitySignalFields CPersonalityData::ToSignalFields() const
{
    return ToSignalFields(Settings());
}

void CPersonalityData::FromSignalFields(const PersonalitySignalFields& f,
                                        const CTextService& texts)
{
    WriteBound<PersonalitySignalFields>(kPersonalityFieldTable, kSignalBinding, f,
                                        BytesOf(record_), texts);
}

void CPersonalityData::FromSignalFields(const PersonalitySignalFields& f)
{
    FromSignalFields(f, Settings());
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
