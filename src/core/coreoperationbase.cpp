#include "core/coreoperationbase.h"

#include <QElapsedTimer>
#include <QTimer>

#include "core/coreapplicationobject.h"
#include "core/log.h"
#include "core/resultcodes.h"

namespace {

// A tick runs steps for at most this long, so that other timers and input still get their turn.
constexpr qint64 TickSliceMs = 20;

// Serves every stage that has no descriptor of its own: such a stage is a programming error.
class CDefaultStageDesc : public CCoreOperationBase::CStageDescBase
{
public:
    CDefaultStageDesc() : CStageDescBase(-1, "Default") {}
    int Start() const override { return E_NOTIMPL; }
    bool HasBody() const override { return false; }
    int Body() const override { return E_NOTIMPL; }
    CStageDescBase* Clone() const override { return new CDefaultStageDesc(*this); }
};

} // namespace

CCoreOperationBase::CCoreOperationBase(QObject* parent, const QString& name, int stageCount)
    : QObject(parent), m_stageCount(qMax(2, stageCount))
{
    setObjectName(name);
    if (stageCount < 2)
        WriteLog("CCoreOperationBase::CCoreOperationBase:[%ls] invalid stage count ( %d )", qUtf16Printable(name),
                 stageCount);
    m_stages.fill(nullptr, m_stageCount);
    m_defaultDesc = new CDefaultStageDesc;
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &CCoreOperationBase::OnTimerTick);
}

CCoreOperationBase::~CCoreOperationBase()
{
    CCoreOperationBase::ReleaseStageOperation();
    qDeleteAll(m_stages);
    delete m_defaultDesc;
}

int CCoreOperationBase::AddStageDesc(const CStageDescBase& desc)
{
    const int stage = desc.Stage();
    if (stage == -1) {
        delete m_defaultDesc;
        m_defaultDesc = desc.Clone();
        return S_OK;
    }
    if (stage < 1 || stage >= m_stageCount) {
        WriteLog("CCoreOperationBase::AddStageDesc:[%ls] invalid stage ( %d )", qUtf16Printable(objectName()), stage);
        return E_INVALIDARG;
    }
    delete m_stages[stage];
    m_stages[stage] = desc.Clone();
    return S_OK;
}

const CCoreOperationBase::CStageDescBase& CCoreOperationBase::StageDesc(int stage) const
{
    if (stage >= 1 && stage < m_stageCount && m_stages[stage])
        return *m_stages[stage];
    return *m_defaultDesc;
}

int CCoreOperationBase::ScheduleStart(int value, int stage, int steps, const CDoublePairVector* transform)
{
    if (IsInProgress()) {
        WriteLog("CCoreOperationBase::ScheduleStart:[%ls] in progress (cur.st=%d)", qUtf16Printable(objectName()),
                 m_curStage);
        return E_FAIL;
    }
    if (m_dataUsed) {
        WriteLog("CCoreOperationBase::ScheduleStart:[%ls] data not reset (cur.st=%d)", qUtf16Printable(objectName()),
                 m_curStage);
        return E_FAIL;
    }
    if (stage < 1 || stage >= m_stageCount) {
        WriteLog("CCoreOperationBase::ScheduleStart:[%ls] invalid stage ( %d )", qUtf16Printable(objectName()), stage);
        return E_INVALIDARG;
    }
    m_dataUsed = true;
    m_running = true;
    m_runValue = value;
    m_totalSteps = steps < 1 ? m_stageCount : steps;
    m_doneSteps = 0;
    m_transform = transform ? *transform : CDoublePairVector();
    m_lastProgress = -1;
    m_result = 1;
    m_curStage = stage;
    m_nextStage = 0;
    m_phase = Phase::Start;
    ScheduleTick();
    return S_OK;
}

void CCoreOperationBase::SetNextStage(int stage)
{
    if (stage < 1 || stage >= m_stageCount) {
        WriteLog("CCoreOperationBase::SetNextStage:[%ls] invalid stage ( %d )", qUtf16Printable(objectName()), stage);
        return;
    }
    m_nextStage = stage;
}

void CCoreOperationBase::SetNextStageCompleted()
{
    m_nextStage = m_stageCount;
}

void CCoreOperationBase::AddSteps(int steps)
{
    if (steps > 0)
        m_doneSteps += steps;
}

int CCoreOperationBase::ResetData()
{
    if (IsInProgress()) {
        WriteLog("CCoreOperationBase::ResetData:[%ls] in progress (cur.st=%d)", qUtf16Printable(objectName()),
                 m_curStage);
        return E_FAIL;
    }
    m_dataUsed = false;
    m_phase = Phase::Idle;
    m_curStage = 0;
    m_nextStage = 0;
    m_stageResult = 0;
    m_runValue = 0;
    m_result = 1;
    m_doneSteps = 0;
    m_totalSteps = 1;
    m_transform.clear();
    m_lastProgress = -1;
    m_itemIndex = 0;
    m_itemCount = 0;
    DoResetData();
    return S_OK;
}

bool CCoreOperationBase::IsInProgress() const
{
    return m_running || m_inTick;
}

void CCoreOperationBase::Stop(int err, bool notify)
{
    const bool wasRunning = m_running;
    m_running = false;
    m_phase = Phase::Idle;
    ++m_runId;
    if (wasRunning)
        m_result = err;
    ReleaseStageOperation();
    DoStop(err);
    m_timer->stop();
    if (wasRunning && notify)
        EmitCompleted(err);
}

void CCoreOperationBase::Cancel()
{
    Stop(SV_E_CANCELLED, false);
}

int CCoreOperationBase::CompletedStage(int result)
{
    if (m_inTick) {
        WriteLog("CCoreOperationBase::CompletedStage:[%ls] inside tick (st=%d)", qUtf16Printable(objectName()),
                 m_curStage);
        return E_FAIL;
    }
    if (result == 1) {
        WriteLog("CCoreOperationBase::CompletedStage:[%ls] invalid result %d (st=%d)", qUtf16Printable(objectName()),
                 result, m_curStage);
        return E_FAIL;
    }
    if (!m_running || (m_phase != Phase::Wait && m_phase != Phase::Body)) {
        WriteLog("CCoreOperationBase::CompletedStage:[%ls] no stage waits (st=%d)", qUtf16Printable(objectName()),
                 m_curStage);
        return E_FAIL;
    }
    if (result < 0) {
        WriteLog("CCoreOperationBase::CompletedStage:[%ls] %ls failed %x (st=%d)", qUtf16Printable(objectName()),
                 qUtf16Printable(StageDesc(m_curStage).Name()), result, m_curStage);
        Stop(result, true);
        return S_OK;
    }
    // The stage ends on the next tick, so that its end runs like every other step.
    m_stageResult = result;
    m_phase = Phase::End;
    ScheduleTick();
    return S_OK;
}

void CCoreOperationBase::ReportProgress(double percent, bool fromTimer)
{
    if (!m_running)
        return;
    const double stagePart = qBound(0.0, percent, 100.0) / 100.0;
    double raw = (m_doneSteps + stagePart) * 100.0 / qMax(1, m_totalSteps);
    double reported = qBound(0.0, MapProgress(qBound(0.0, raw, 100.0)), 100.0);
    // A progress bar never goes back within a run.
    if (reported < m_lastProgress)
        reported = m_lastProgress;
    if (fromTimer && reported == m_lastProgress)
        return;
    m_lastProgress = reported;
    emit WhenProgress(reported);
}

double CCoreOperationBase::MapProgress(double raw) const
{
    if (m_transform.isEmpty())
        return raw;
    QPair<double, double> prev(0.0, 0.0);
    for (const auto& point : m_transform) {
        if (raw <= point.first) {
            if (point.first <= prev.first)
                return point.second;
            return prev.second + (raw - prev.first) * (point.second - prev.second) / (point.first - prev.first);
        }
        prev = point;
    }
    if (prev.first >= 100.0)
        return prev.second;
    return prev.second + (raw - prev.first) * (100.0 - prev.second) / (100.0 - prev.first);
}

void CCoreOperationBase::DoStop(int)
{
}

void CCoreOperationBase::DoResetData()
{
}

void CCoreOperationBase::ReleaseStageOperation()
{
    if (!m_stageOperation)
        return;
    CCoreOperationBase* op = m_stageOperation;
    m_stageOperation = nullptr;
    disconnect(op, nullptr, this, nullptr);
    op->Cancel();
    op->deleteLater();
}

void CCoreOperationBase::EmitCompleted(int result)
{
    emit WhenCompleted(result);
}

void CCoreOperationBase::OnStageOperationCompleted(int result)
{
    CompletedStage(result);
}

void CCoreOperationBase::ScheduleTick()
{
    int delay = 0;
    if (CCoreApplicationObject* app = GetCoreApplicationObject()) {
        if (!m_timerRegistered) {
            app->RegisterTimer(m_timer);
            m_timerRegistered = true;
        }
        delay = qMax(0, app->GetTimerDelay());
    }
    m_timer->start(delay);
}

void CCoreOperationBase::OnTimerTick()
{
    if (!m_running)
        return;
    QPointer<CCoreOperationBase> self(this);
    const int runId = m_runId;
    m_inTick = true;
    QElapsedTimer slice;
    slice.start();
    StepOutcome outcome;
    do {
        outcome = RunStep();
        if (!self)
            return;
    } while (outcome == StepOutcome::Continue && m_runId == runId && slice.elapsed() < TickSliceMs);
    m_inTick = false;
    if (outcome == StepOutcome::Continue && m_running && m_runId == runId)
        ScheduleTick();
}

CCoreOperationBase::StepOutcome CCoreOperationBase::RunStep()
{
    QPointer<CCoreOperationBase> self(this);
    const int runId = m_runId;
    const CStageDescBase& desc = StageDesc(m_curStage);
    // Copied: a step may replace its own descriptor.
    const QString name = desc.Name();
    const bool hasBody = desc.HasBody();
    int hr;
    switch (m_phase) {
    case Phase::Start:
        ReportProgress(0, true);
        m_nextStage = 0;
        m_itemIndex = 0;
        m_itemCount = 0;
        hr = desc.Start();
        break;
    case Phase::Body:
        if (m_itemIndex >= 0 && m_itemIndex < m_itemCount)
            ReportProgress(m_itemIndex * 100.0 / m_itemCount, true);
        hr = desc.Body();
        break;
    case Phase::End:
        hr = m_stageResult;
        break;
    default:
        return StepOutcome::Pause;
    }
    if (!self || m_runId != runId)
        return StepOutcome::Stopped;
    return HandleStepResult(hr, name, hasBody);
}

CCoreOperationBase::StepOutcome CCoreOperationBase::HandleStepResult(int hr, const QString& name, bool hasBody)
{
    if (hr < 0) {
        WriteLog("CCoreOperationBase::OnTimerTick:[%ls] %ls failed %x (st=%d)", qUtf16Printable(objectName()),
                 qUtf16Printable(name), hr, m_curStage);
        Stop(hr, true);
        return StepOutcome::Stopped;
    }
    if (hr == 1 && m_phase != Phase::End) {
        if (hasBody) {
            m_phase = Phase::Body;
            return StepOutcome::Continue;
        }
        m_phase = Phase::Wait;
        return WatchStageOperation();
    }
    return EndStage(name);
}

CCoreOperationBase::StepOutcome CCoreOperationBase::WatchStageOperation()
{
    CCoreOperationBase* op = m_stageOperation;
    if (!op)
        return StepOutcome::Pause;  // CompletedStage ends the stage
    if (!op->IsInProgress()) {
        // Ended before anyone listened: its result ends the stage now.
        const int result = op->GetResult();
        m_stageResult = result == 1 ? E_UNEXPECTED : result;
        m_phase = Phase::End;
        return StepOutcome::Continue;
    }
    disconnect(op, nullptr, this, nullptr);
    connect(op, &CCoreOperationBase::WhenCompleted, this, &CCoreOperationBase::OnStageOperationCompleted);
    connect(op, &CCoreOperationBase::WhenProgress, this, [this](double percent) { ReportProgress(percent, false); });
    return StepOutcome::Pause;
}

CCoreOperationBase::StepOutcome CCoreOperationBase::EndStage(const QString& name)
{
    QPointer<CCoreOperationBase> self(this);
    const int runId = m_runId;
    ReleaseStageOperation();
    if (!self || m_runId != runId)
        return StepOutcome::Stopped;
    if (m_nextStage == m_stageCount) {
        m_curStage = m_stageCount;
        if (m_lastProgress < 100.0) {
            m_lastProgress = 100.0;
            emit WhenProgress(100.0);
            if (!self || m_runId != runId)
                return StepOutcome::Stopped;
        }
        Stop(S_OK, true);
        return StepOutcome::Stopped;
    }
    if (m_nextStage >= 1 && m_nextStage < m_stageCount) {
        ++m_doneSteps;
        m_curStage = m_nextStage;
        m_nextStage = 0;
        m_phase = Phase::Start;
        return StepOutcome::Continue;
    }
    WriteLog("CCoreOperationBase::OnTimerTick:[%ls] %ls no next stage (st=%d)", qUtf16Printable(objectName()),
             qUtf16Printable(name), m_curStage);
    Stop(E_FAIL, true);
    return StepOutcome::Stopped;
}
