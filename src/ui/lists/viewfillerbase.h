#pragma once
// Base of the objects that fill a list view step by step: a pass starts by clearing the view, then
// each 0 ms tick adds a few rows (at most 10 steps within 10 ms, none while the application asks
// for a timer delay), so that the window stays responsive. A second timer fetches the details of
// the rows on screen one at a time.
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include "ui/lists/listview.h"

class QTimer;

namespace MusicLists {

class CViewFillerBase : public QObject
{
    Q_OBJECT
public:
    enum State
    {
        StateIdle = 0,    // a pass begins on the next tick
        StateFilling = 1, // a pass runs
        StateComplete = 2 // nothing to do until Start
    };

    CViewFillerBase(QObject* parent, CListView* view);
    ~CViewFillerBase() override;

    int GetState() const { return m_state; }
    // Filling ticks run so far (from the timer and from FillNow).
    int GetTicksRun() const { return m_ticksRun; }
    CListView* GetView() const { return m_view; }

    // Runs filling ticks at once for at most 200 ms (fewer when the pass completes or the application
    // asks for a timer delay); the tick timer goes on with the rest.
    void FillNow();

    // The clock of the tick and FillNow bounds, in milliseconds; tests replace it. Null restores the
    // monotonic clock.
    typedef qint64 (*ClockFunction)();
    static void SetClock(ClockFunction clock);

public slots:
    // Restarts filling: the state becomes idle and the tick timer starts when the view is visible
    // (otherwise when it is shown).
    void Start();
    // Ends filling and runs DoComplete.
    void Complete();
    // Starts the 0 ms pending-info timer unless it is active.
    void ScheduleGetPendingInfo();
    virtual void StopGetPendingInfo();

protected:
    // One filling step: 1 to go on, anything else completes the pass.
    virtual int DoTick();
    // A pass begins (before the view is cleared): item count and item index become 0.
    virtual void DoStart();
    // The pass ended.
    virtual void DoComplete();
    // The number of elements of what is being listed.
    virtual int GetSourceCount() const;
    // Adds the row of one element to the view.
    virtual void AddItemToView(int index);
    // The pending-info timer fired.
    virtual void DoGetPendingInfo();

protected slots:
    // The view was shown.
    virtual void OnViewShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<CListView> m_view;
    qint32 m_itemCount = 0;
    qint32 m_itemIndex = 0;

private slots:
    void OnTickTimer();
    void OnPendingInfoTimer();

private:
    void RunTick();
    void ArmTick();
    static int TimerDelay();
    static qint64 Now();

    int m_state = StateComplete;
    int m_ticksRun = 0;
    QTimer* m_tickTimer = nullptr;
    QTimer* m_pendingInfoTimer = nullptr;
};

} // namespace MusicLists
