#pragma once
// The fields of a personality record (CPersonalityData, 8 bytes).

#include "data/FieldTable.h"
#include "editors/personality/PersonalityData.h"

namespace rv {

inline constexpr FieldDef kPersonalityFieldDefs[] = {
    field::Choice("tx_admit", 2320, CPersonalityData::Offset::TxAdmit, kTxAdmitList),
    field::Choice("tx_time_out", 2324, CPersonalityData::Offset::TimeOut, kTimeOutList),
    field::Choice("tot_pre_alert", 2326, CPersonalityData::Offset::PreAlert, kPreAlertList),
    field::Choice("tot_re_key", 2328, CPersonalityData::Offset::ReKey, kReKeyList),
    field::Choice("tot_reset", 2330, CPersonalityData::Offset::Reset, kResetList),
    field::Choice("tx_optional_signaling", 2406, CPersonalityData::Offset::Signalling,
                  kTxSignallingList)
        .Bits(0, 4),
};

inline constexpr FieldTable kPersonalityFieldTable{
    "personality", kPersonalityFormId, CPersonalityData::kRecordSize, kPersonalityFieldDefs};
static_assert(IsValidTable(kPersonalityFieldTable));

}  // namespace rv
