#pragma once
// Base of every multi-step operation: a table of named stages run on the event loop in short time
// slices, so that long work never blocks the window.
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QVector>

#include "platform/com/combase.h"

class QTimer;

// Points (x, y) in percent of a piecewise-linear map from raw to reported progress; the map starts at
// (0, 0) and runs on from the last point to (100, 100).
using CDoublePairVector = QVector<QPair<double, double>>;

class CCoreOperationBase : public QObject
{
    Q_OBJECT
public:
    // One stage: its number, its name (for the log) and its steps. A step returns a result code: negative
    // stops the operation, 1 keeps the stage running, anything else ends the stage.
    class CStageDescBase
    {
    public:
        CStageDescBase(int stage, const char* name) : m_stage(stage), m_name(QString::fromUtf8(name)) {}
        virtual ~CStageDescBase() = default;

        int Stage() const { return m_stage; }
        const QString& Name() const { return m_name; }

        virtual int Start() const = 0;
        virtual bool HasBody() const = 0;
        virtual int Body() const = 0;
        virtual CStageDescBase* Clone() const = 0;

    private:
        int m_stage;
        QString m_name;
    };

    // A stage whose steps are member functions of the owner (normally the operation itself).
    template <class T>
    class CStageDescBaseT : public CStageDescBase
    {
    public:
        using Step = int (T::*)();

        CStageDescBaseT(int stage, const char* name, T* owner, Step start, Step body = nullptr)
            : CStageDescBase(stage, name), m_owner(owner), m_start(start), m_body(body)
        {
        }

        int Start() const override { return (m_owner && m_start) ? (m_owner->*m_start)() : E_POINTER; }
        bool HasBody() const override { return m_body != nullptr; }
        int Body() const override { return (m_owner && m_body) ? (m_owner->*m_body)() : E_POINTER; }
        CStageDescBase* Clone() const override { return new CStageDescBaseT<T>(*this); }

    private:
        T* m_owner;
        Step m_start;
        Step m_body;
    };

    // stageCount is N: stages 1..N-1 do the work, stage N means completed.
    CCoreOperationBase(QObject* parent, const QString& name, int stageCount);
    ~CCoreOperationBase() override;

    // Stores the descriptor of stage 1..N-1; stage -1 replaces the default descriptor that serves every
    // stage without one. 0x800700A0 for another stage number.
    int AddStageDesc(const CStageDescBase& desc);
    template <class T>
    int AddStageDesc(int stage, const char* name, T* owner, int (T::*start)(), int (T::*body)() = nullptr)
    {
        return AddStageDesc(CStageDescBaseT<T>(stage, name, owner, start, body));
    }

    // Starts at the stage on the next tick. value is kept with the run, steps below 1 count as N, the
    // transform (copied) maps raw to reported progress. 0x80004005 while running or before ResetData
    // after a run; 0x800700A0 for a stage outside 1..N-1.
    int ScheduleStart(int value, int stage, int steps = 0, const CDoublePairVector* transform = nullptr);

    // The stage that follows the current one (1..N-1; another value is logged and ignored).
    void SetNextStage(int stage);
    // The operation completes with 0 after the current stage.
    void SetNextStageCompleted();
    // Counts steps as done, for stages that are passed over.
    void AddSteps(int steps);

    // Clears the run state for a new start and calls the reset hook; 0x80004005 while in progress.
    int ResetData();
    // True from ScheduleStart until the tick in which the operation ended is over.
    bool IsInProgress() const;
    // Releases the stage sub-operation, calls the stop hook, stops the tick and, when the operation was
    // running and notify is set, emits WhenCompleted(err).
    void Stop(int err, bool notify);

    int GetCurrentStage() const { return m_curStage; }
    int GetRunValue() const { return m_runValue; }
    // The code the last run ended with (1 while none has ended).
    int GetResult() const { return m_result; }

    // Progress 0..100 of the current stage, mapped through the step counts and the transform into
    // WhenProgress. The reported value never goes back within a run.
    void ReportProgress(double percent, bool fromTimer);

public slots:
    // Stops with 0x80400011 without WhenCompleted.
    void Cancel();
    // Ends a waiting stage: negative stops the operation, any other value but 1 moves on to the chosen
    // next stage on the next tick. 0x80004005 for 1, inside a tick, or when no stage waits.
    int CompletedStage(int result);

signals:
    void WhenCompleted(int result);
    void WhenProgress(double percent);

protected:
    // Hooks, in slot order.
    virtual void DoStop(int err);
    virtual void DoResetData();
    // Runs whenever a stage ends and when the operation stops: disconnects, cancels and deletes later the
    // stage sub-operation.
    virtual void ReleaseStageOperation();
    virtual void EmitCompleted(int result);

public slots:
    // The stage sub-operation finished: ends the waiting stage with its result.
    virtual void OnStageOperationCompleted(int result);

protected slots:
    void OnTimerTick();

protected:
    // A sub-operation kept here by a stage whose Start step returned 1 (without Body) ends that stage.
    QPointer<CCoreOperationBase> m_stageOperation;
    // The current stage's items, written by the derived operation; reset to 0 before each Start step.
    int m_itemIndex = 0;
    int m_itemCount = 0;

private:
    enum class Phase { Idle, Start, Body, Wait, End };
    enum class StepOutcome { Continue, Pause, Stopped };

    const CStageDescBase& StageDesc(int stage) const;
    StepOutcome RunStep();
    StepOutcome HandleStepResult(int hr, const QString& name, bool hasBody);
    StepOutcome EndStage(const QString& name);
    StepOutcome WatchStageOperation();
    void ScheduleTick();
    double MapProgress(double raw) const;

    int m_stageCount;
    QVector<CStageDescBase*> m_stages;  // index = stage number, null = default
    CStageDescBase* m_defaultDesc = nullptr;
    QTimer* m_timer = nullptr;
    bool m_timerRegistered = false;

    bool m_running = false;
    bool m_inTick = false;
    bool m_dataUsed = false;
    int m_runId = 0;  // grows on every stop so that a tick notices a stop from inside a step
    Phase m_phase = Phase::Idle;
    int m_curStage = 0;
    int m_nextStage = 0;  // 0 = not chosen, N = completed
    int m_stageResult = 0;
    int m_runValue = 0;
    int m_result = 1;
    int m_totalSteps = 1;
    int m_doneSteps = 0;
    CDoublePairVector m_transform;
    double m_lastProgress = -1;
};
