#include "lyrics/playposition.h"

#include <chrono>

CPlayPosition::CPlayPosition()
    : m_clock(&CPlayPosition::SystemClock)
{
}

qint64 CPlayPosition::SystemClock()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void CPlayPosition::SetClock(CClock clock)
{
    m_clock = clock ? std::move(clock) : CClock(&CPlayPosition::SystemClock);
}

void CPlayPosition::Report(int positionMs, bool playing)
{
    m_position = positionMs;
    m_playing = playing;
    m_reportedAt = m_clock();
}

int CPlayPosition::Position() const
{
    if (!m_playing)
        return m_position;
    const qint64 since = qBound<qint64>(0, m_clock() - m_reportedAt, MaxExtrapolationMs);
    return m_position + static_cast<int>(since);
}
