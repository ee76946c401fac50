#include "data/QXTViewProc.h"

namespace rv {

uint32_t CQXTViewProc::TakeIdentity()
{
    // Identities are never reused in a run, not even across New or Open.
    static uint32_t counter = 65535;
    counter += 200;
    return counter;
}

}  // namespace rv
