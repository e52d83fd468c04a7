#pragma once
// The simulated player's time: the wall clock in the program, a clock that moves only when told in tests.
#include <QElapsedTimer>
#include <QtGlobal>

namespace Platform {
namespace Wmp {

class CSimClock
{
public:
    CSimClock();

    // Milliseconds since the clock was made (or since it turned manual).
    qint64 Now() const;
    bool IsManual() const { return m_manual; }
    // A manual clock keeps the current time and then moves only through Advance.
    void SetManual(bool manual);
    // Moves a manual clock forward; ignored for the wall clock and for negative values.
    void Advance(qint64 ms);

private:
    bool m_manual = false;
    qint64 m_manualNow = 0;
    qint64 m_offset = 0;
    QElapsedTimer m_wall;
};

} // namespace Wmp
} // namespace Platform
