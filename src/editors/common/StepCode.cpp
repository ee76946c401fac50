#include "editors/common/StepCode.h"

#include "base/Settings.h"

namespace rv {

StepCode StepOf(uint32_t& units, StepEdition edition)
{
    // The order of the tests matters: in the editions a multiple of 12.5 kHz is code 6 even
    // though it is also a multiple of 6.25 kHz.
    switch (edition) {
    case StepEdition::First:
    case StepEdition::Second:
        if (units % 1250 == 0) return StepCode::Step12k5;
        if (units % 1000 == 0) return StepCode::Step10k;
        if (units % 625 == 0) return StepCode::Step6k25;
        if (edition == StepEdition::Second && units % 500 == 0) return StepCode::Step5k;
        units = units / 1250 * 1250;
        return StepCode::Step12k5;
    case StepEdition::Standard:
        break;
    }
    if (units % 625 == 0) return StepCode::Step6k25;
    if (units % 500 == 0) return StepCode::Step5k;
    units = units / 625 * 625;
    return StepCode::Step6k25;
}

StepCode StepOf(uint32_t& units)
{
    const CSettings& s = Settings();
    StepEdition edition = s.IsFirstEdition()    ? StepEdition::First
                          : s.IsSecondEdition() ? StepEdition::Second
                                                : StepEdition::Standard;
    return StepOf(units, edition);
}

}  // namespace rv
