#include "ui/uiclock.h"

#include <QObject>
#include <QTimer>

namespace {

class CTimerClock : public IUiClock
{
public:
    void SingleShot(int ms, QObject* context, std::function<void()> fn) override
    {
        QTimer::singleShot(ms < 0 ? 0 : ms, context, std::move(fn));
    }
};

CTimerClock s_timerClock;
IUiClock* s_clock = nullptr;

} // namespace

IUiClock* GetUiClock()
{
    return s_clock ? s_clock : &s_timerClock;
}

void SetUiClock(IUiClock* clock)
{
    s_clock = clock;
}
