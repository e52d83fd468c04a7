#include "core/operationsimplewait.h"

#include <QTimer>

#include "core/log.h"

int COperationSimpleWait::StartWait(QPointer<CCoreOperationBase>& holder, QObject* parent, int ms)
{
    if (ms < 1) {
        WriteLog("COperationSimpleWait::Start: invalid interval(%d)", ms);
        return E_INVALIDARG;
    }
    auto* wait = new COperationSimpleWait(parent, ms);
    const int hr = wait->ScheduleStart(0, 1, 1);
    if (FAILED(hr)) {
        WriteLog("COperationSimpleWait::Start: ScheduleStart failed %x", hr);
        delete wait;
        return hr;
    }
    holder = wait;
    return S_OK;
}

COperationSimpleWait::COperationSimpleWait(QObject* parent, int ms)
    : CCoreOperationBase(parent, QStringLiteral("SimpleWait"), 2), m_waitTimer(new QTimer(this))
{
    // Not a background tick: the wait must neither be postponed nor make the window count as busy.
    m_waitTimer->setSingleShot(true);
    m_waitTimer->setInterval(ms);
    connect(m_waitTimer, &QTimer::timeout, this, &COperationSimpleWait::OnWaitElapsed);
    AddStageDesc(1, "Wait", this, &COperationSimpleWait::DoStageWait_Start);
}

int COperationSimpleWait::DoStageWait_Start()
{
    SetNextStageCompleted();
    m_waitTimer->start();
    return 1;
}

void COperationSimpleWait::OnWaitElapsed()
{
    CompletedStage(S_OK);
}

void COperationSimpleWait::DoStop(int err)
{
    m_waitTimer->stop();
    CCoreOperationBase::DoStop(err);
}
