#include "editors/channel/ChannelFieldList.h"

#include "editors/channel/ChannelData.h"

namespace rv {

namespace {

NamedField Number(const char* name, long long value)
{
    return {name, std::to_string(value), value};
}

}  // namespace

std::vector<NamedField> ChannelFieldList(const CChannelData& channel)
{
    const ChannelFields f = channel.ShowFields();
    return {
        {"rx_frequency", FormatBcdFrequency(f.RxFreq), std::nullopt},
        {"rx_type", f.RxTypeText, std::nullopt},
        {"rx_ctcss", f.RxCtcssText, std::nullopt},
        {"rx_dcs", f.RxDcsText, std::nullopt},
        Number("rx_step", f.RxStep),
        {"tx_frequency", FormatBcdFrequency(f.TxFreq), std::nullopt},
        {"tx_type", f.TxTypeText, std::nullopt},
        {"tx_ctcss", f.TxCtcssText, std::nullopt},
        {"tx_dcs", f.TxDcsText, std::nullopt},
        Number("tx_step", f.TxStep),
        {"spacing", f.SpacingText, std::nullopt},
        {"power", f.PowerText, std::nullopt},
        Number("personality", f.PersonalityIndex + 1LL),
        Number("compandor", f.F3),
        Number("scramble", f.F4),
        Number("beat_shift", f.F5),
        Number("auto_start_scan", f.F6),
    };
}

}  // namespace rv
