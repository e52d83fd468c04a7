#pragma once
// The play position between the player front's polls: the position of the last report plus the time since,
// while playing, so that highlighting and timing are never up to a poll interval late.
#include <QtGlobal>

#include <functional>

class CPlayPosition
{
public:
    // Milliseconds on a monotonic clock.
    using CClock = std::function<qint64()>;

    // The position is never carried further than this past the last report: a player that stopped
    // reporting is more likely stalled than playing on.
    static constexpr int MaxExtrapolationMs = 1000;

    CPlayPosition();

    void Report(int positionMs, bool playing);
    // The interpolated position in milliseconds.
    int Position() const;
    int ReportedPosition() const { return m_position; }
    bool IsPlaying() const { return m_playing; }

    // Tests drive time themselves; an empty clock restores the system's.
    void SetClock(CClock clock);
    static qint64 SystemClock();

private:
    CClock m_clock;
    int m_position = 0;
    bool m_playing = false;
    qint64 m_reportedAt = 0;
};
