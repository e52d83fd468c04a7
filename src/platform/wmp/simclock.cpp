#include "platform/wmp/simclock.h"

namespace Platform {
namespace Wmp {

CSimClock::CSimClock()
{
    m_wall.start();
}

qint64 CSimClock::Now() const
{
    return m_manual ? m_manualNow : m_offset + m_wall.elapsed();
}

void CSimClock::SetManual(bool manual)
{
    if (manual == m_manual)
        return;
    if (manual) {
        m_manualNow = Now();
    } else {
        // The wall clock goes on from the manual time so that the time never jumps back.
        m_offset = m_manualNow;
        m_wall.restart();
    }
    m_manual = manual;
}

void CSimClock::Advance(qint64 ms)
{
    if (m_manual && ms > 0)
        m_manualNow += ms;
}

} // namespace Wmp
} // namespace Platform
