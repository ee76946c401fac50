#include "editors/personality/PersonalityFieldList.h"

#include "editors/personality/PersonalityData.h"

namespace rv {

std::vector<NamedField> PersonalityFieldList(const CPersonalityData& personality)
{
    const PersonalityFields f = personality.ToFields();
    return {
        {"tx_admit", f.TxAdmitText, std::nullopt},
        {"tx_time_out", f.TimeOutText, std::nullopt},
        {"tot_pre_alert", f.PreAlertText, std::nullopt},
        {"tot_re_key", f.ReKeyText, std::nullopt},
        {"tot_reset", f.ResetText, std::nullopt},
        {"tx_optional_signaling", personality.ToSignalFields().TxSignallingText, std::nullopt},
    };
}

}  // namespace rv
