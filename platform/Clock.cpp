#include "platform/Clock.h"

#include "platform/DateTime.h"

namespace qv {

double SystemClock::Now() const { return LocalNowSystem(); }
uint32_t SystemClock::Tick() const { return TickCountSystem(); }

SystemClock& SystemClock::Instance()
{
    static SystemClock clock;
    return clock;
}

}  // namespace qv
