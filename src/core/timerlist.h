#pragma once
// The main window's list of background tick timers, postponed while the interface is busy.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "platform/com/combase.h"

class CTimerList : public QObject
{
    Q_OBJECT
public:
    explicit CTimerList(QObject* parent);
    ~CTimerList() override;

    // The delay that background ticks respect now (ms), read directly; 0 unless a period delay runs.
    int m_tickDelay = 0;

    // Adds a single-shot tick timer; the list forgets it when it is destroyed. 0; S_FALSE when it is
    // listed already; E_POINTER for null.
    HRESULT AddTimer(QTimer* timer);

    // Restarts every active single-shot timer of the list whose own interval is below 2 * ms so that
    // it fires ms from now; each gets its own interval back for its next start. With oneTime false
    // the tick delay is also ms for the next ms milliseconds. ms below 1 does nothing.
    void DelayTimers(int ms, bool oneTime);

    // Whether any timer of the list is running.
    bool IsAnyTimerActive() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void OnDelayPeriodEnded();

private:
    struct CDelayed
    {
        QPointer<QTimer> timer;
        int ownInterval = 0;  // the interval the owner gave
        int shotInterval = 0; // the interval of the delayed shot
    };

    int FindDelayed(const QTimer* timer) const;

    QList<QPointer<QTimer>> m_timers;
    QList<CDelayed> m_delayed;
    QTimer m_periodTimer;
};
