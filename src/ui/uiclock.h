#pragma once
// The delays of the toolkit's widgets (note display time, delayed popups) go through one replaceable
// clock, so that tests can run them without waiting.
#include <functional>

class QObject;

class IUiClock
{
public:
    virtual ~IUiClock() = default;
    // Calls fn once after ms milliseconds, unless context is destroyed first.
    virtual void SingleShot(int ms, QObject* context, std::function<void()> fn) = 0;
};

// The clock in use: the event loop's timers unless a test installed its own.
IUiClock* GetUiClock();
// Installs a clock (not owned); null restores the event loop's timers.
void SetUiClock(IUiClock* clock);
