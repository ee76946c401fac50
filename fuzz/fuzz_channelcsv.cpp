// Channel CSV as a spreadsheet or a stranger may deliver it: any bytes are planned without
// harm; a plan with errors holds no records; a plan without errors applies and exports again
// as CSV that imports without errors.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzSupport.h"
#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace rv;
    (void)fuzz::ProgramDir();
    RadioData& radio = Radio();
    radio.ClearLists();
    radio.SetDefaults();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const BandLimits band = CurrentBandLimits();
    const ChannelImport plan = PlanChannelImport(bytes, radio, band, Settings());
    if (!plan.Ok()) {
        if (!plan.records.empty()) std::abort();
        return 0;
    }
    if (plan.records.size() != plan.aliases.size() || plan.records.size() > 16) std::abort();
    ApplyChannelImport(radio, plan);
    const ChannelImport again =
        PlanChannelImport(ChannelsToCsv(radio, Settings()), radio, band, Settings());
    if (!again.Ok()) std::abort();
    return 0;
}
