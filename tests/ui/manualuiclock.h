#pragma once
// A toolkit clock for tests: delays fire only when the test advances the time.
#include <QList>
#include <QPointer>
#include <algorithm>

#include "ui/uiclock.h"

class CManualUiClock : public IUiClock
{
public:
    CManualUiClock() { SetUiClock(this); }
    ~CManualUiClock() override { SetUiClock(nullptr); }

    void SingleShot(int ms, QObject* context, std::function<void()> fn) override
    {
        m_pending.append({m_now + qMax(0, ms), context, context != nullptr, std::move(fn)});
    }

    // Moves the time on, running every delay that falls due in time order.
    void Advance(qint64 ms)
    {
        const qint64 target = m_now + ms;
        for (;;) {
            auto next = std::min_element(m_pending.begin(), m_pending.end(),
                                         [](const CShot& a, const CShot& b) { return a.due < b.due; });
            if (next == m_pending.end() || next->due > target)
                break;
            const CShot shot = *next;
            m_pending.erase(next);
            m_now = shot.due;
            if (!shot.hasContext || shot.context)
                shot.fn();
        }
        m_now = target;
    }

    // Delays not yet run, as their due times from now.
    QList<qint64> Pending() const
    {
        QList<qint64> result;
        for (const CShot& shot : m_pending)
            result.append(shot.due - m_now);
        return result;
    }

private:
    struct CShot
    {
        qint64 due;
        QPointer<QObject> context;
        bool hasContext;
        std::function<void()> fn;
    };
    qint64 m_now = 0;
    QList<CShot> m_pending;
};
