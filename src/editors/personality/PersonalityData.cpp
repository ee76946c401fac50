#include "editors/personality/PersonalityData.h"

namespace rv {

namespace {
// Default values of the edited fields.
constexpr uint8_t kDefaultTxAdmit = 1;
constexpr uint8_t kDefaultTimeOut = 60;  // seconds
// Byte 6: signalling 0, bits 4-5 clear, bits 6-7 set.
constexpr unsigned kKeptHighBits = 0x3;
}  // namespace

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
