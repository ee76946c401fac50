#include "link/Clock.h"

#include <thread>

namespace rv {

namespace {

class CSystemClock final : public IClock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
    void Sleep(std::chrono::milliseconds duration) override
    {
        std::this_thread::sleep_for(duration);
    }
};

}  // namespace

IClock& SystemClock()
{
    static CSystemClock clock;
    return clock;
}

}  // namespace rv
