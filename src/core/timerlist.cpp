#include "core/timerlist.h"

#include <QEvent>
#include <QTimerEvent>

#include "core/log.h"

CTimerList::CTimerList(QObject* parent)
    : QObject(parent)
{
    m_periodTimer.setSingleShot(true);
    connect(&m_periodTimer, &QTimer::timeout, this, &CTimerList::OnDelayPeriodEnded);
}

CTimerList::~CTimerList()
{
    // Timers still waiting for their delayed shot keep running with their own interval.
    for (const CDelayed& delayed : qAsConst(m_delayed)) {
        if (delayed.timer && delayed.timer->isActive() && delayed.timer->interval() == delayed.shotInterval)
            delayed.timer->setInterval(delayed.ownInterval);
    }
}

HRESULT CTimerList::AddTimer(QTimer* timer)
{
    if (!timer) {
        WriteLog("CTimerList::AddTimer: no timer");
        return E_POINTER;
    }
    m_timers.removeAll(QPointer<QTimer>());
    if (m_timers.contains(timer))
        return S_FALSE;
    m_timers.append(timer);
    timer->installEventFilter(this);
    return S_OK;
}

int CTimerList::FindDelayed(const QTimer* timer) const
{
    for (int i = 0; i < m_delayed.size(); ++i) {
        if (m_delayed.at(i).timer == timer)
            return i;
    }
    return -1;
}

void CTimerList::DelayTimers(int ms, bool oneTime)
{
    if (ms < 1)
        return;
    for (int i = m_delayed.size() - 1; i >= 0; --i) {
        if (!m_delayed.at(i).timer)
            m_delayed.removeAt(i);
    }
    for (const QPointer<QTimer>& timer : qAsConst(m_timers)) {
        if (!timer || !timer->isActive() || !timer->isSingleShot())
            continue;
        const int index = FindDelayed(timer);
        // A timer delayed before is judged by the interval its owner gave it.
        int ownInterval = timer->interval();
        if (index >= 0 && timer->interval() == m_delayed.at(index).shotInterval)
            ownInterval = m_delayed.at(index).ownInterval;
        if (qint64(ownInterval) >= 2 * qint64(ms))
            continue;
        CDelayed delayed;
        delayed.timer = timer;
        delayed.ownInterval = ownInterval;
        delayed.shotInterval = ms;
        if (index >= 0)
            m_delayed[index] = delayed;
        else
            m_delayed.append(delayed);
        timer->start(ms);
    }
    if (!oneTime) {
        m_tickDelay = ms;
        m_periodTimer.start(ms);
    }
}

bool CTimerList::IsAnyTimerActive() const
{
    for (const QPointer<QTimer>& timer : m_timers) {
        if (timer && timer->isActive())
            return true;
    }
    return false;
}

bool CTimerList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Timer)
        return false;
    auto* timer = qobject_cast<QTimer*>(watched);
    if (!timer)
        return false;
    const int index = FindDelayed(timer);
    if (index < 0)
        return false;
    if (static_cast<QTimerEvent*>(event)->timerId() != timer->timerId())
        return false;
    const CDelayed delayed = m_delayed.takeAt(index);
    if (!timer->isSingleShot() || timer->interval() != delayed.shotInterval)
        return false;  // the owner restarted it its own way meanwhile
    // This is the delayed shot. Give the timer its own interval back before its owner sees the
    // timeout, so that a plain start() in the owner's slot runs at the owner's pace again.
    timer->stop();
    timer->setInterval(delayed.ownInterval);
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    return true;
}

void CTimerList::OnDelayPeriodEnded()
{
    m_tickDelay = 0;
}
