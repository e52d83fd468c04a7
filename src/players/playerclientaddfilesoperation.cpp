#include "players/playerclientaddfilesoperation.h"

#include <QTimer>

#include "core/log.h"
#include "core/operationsimplewait.h"
#include "core/resultcodes.h"
#include "players/playerclientbase.h"

// ---- the operation --------------------------------------------------------------------------------

CPlayerClientAddFilesOperationBase::CPlayerClientAddFilesOperationBase(QObject* parent, const QString& name,
                                                                       int stageCount, const char* className,
                                                                       int waitStage)
    : CCoreOperationBase(parent, name, stageCount), m_className(className), m_waitStage(waitStage)
{
}

int CPlayerClientAddFilesOperationBase::DoStageAdd_Start()
{
    const int count = m_files ? m_files->GetCount() : 0;
    m_itemCount = qMax(0, count);
    m_itemIndex = 0;
    if (count <= 0) {
        // Nothing to add, nothing to wait for.
        SetNextStageCompleted();
        return 0;
    }
    if (m_syncList)
        SetNextStage(m_waitStage);
    else
        SetNextStageCompleted();
    return 1;
}

int CPlayerClientAddFilesOperationBase::DoStageWait_Start()
{
    SetNextStageCompleted();
    const int hr = COperationSimpleWait::StartWait(m_stageOperation, this, 2000);
    if (FAILED(hr)) {
        WriteLog("%s::DoStageWait_Start: Start failed %x", m_className, hr);
        return hr;
    }
    return 1;
}

void CPlayerClientAddFilesOperationBase::DoResetData()
{
    CCoreOperationBase::DoResetData();
    m_report = CPlayerClientOperationReport();
    m_added.clear();
    m_fileIndex = -1;
}

// ---- the wrapper ----------------------------------------------------------------------------------

CPlayerClientOperationWrapperBase::CPlayerClientOperationWrapperBase(CPlayerClientBase* owner,
                                                                     CPlayerClientOperationObserver* observer)
    : m_owner(owner), m_observer(observer), m_releaseTimer(new QTimer(this))
{
    m_releaseTimer->setSingleShot(true);
    m_releaseTimer->setInterval(0);
    connect(m_releaseTimer, &QTimer::timeout, this, &CPlayerClientOperationWrapperBase::OnTimerRelease);
}

CPlayerClientOperationWrapperBase::~CPlayerClientOperationWrapperBase() = default;

HRESULT CPlayerClientOperationWrapperBase::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPlayerClientOperation)
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IPlayerClientOperation*>(this);
    return S_OK;
}

HRESULT CPlayerClientOperationWrapperBase::Cancel()
{
    return Stop(SV_E_CANCELLED, false);
}

HRESULT CPlayerClientOperationWrapperBase::Stop(HRESULT code, bool keep)
{
    if (!keep)
        m_report = CPlayerClientOperationReport();
    // Stopping with notification makes the operation complete, so the observer is told once.
    if (m_operation && m_operation->IsInProgress())
        m_operation->Stop(code, true);
    return S_OK;
}

HRESULT CPlayerClientOperationWrapperBase::GetAddedSongs(QList<CIUnknownPtr<IPlayerClientSong>>& songs)
{
    songs = m_operation ? m_operation->GetAddedSongs() : m_added;
    return S_OK;
}

HRESULT CPlayerClientOperationWrapperBase::GetStatus(CPlayerClientOperationReport& report)
{
    report = m_operation ? m_operation->GetReport() : m_report;
    return S_OK;
}

void CPlayerClientOperationWrapperBase::OnCompleted(int code)
{
    if (CPlayerClientAddFilesOperationBase* operation = m_operation.data()) {
        m_report = operation->GetReport();
        m_added = operation->GetAddedSongs();
        m_operation = nullptr;
        disconnect(operation, nullptr, this, nullptr);
        operation->deleteLater();
    }
    m_report.result = code;
    if (!m_running)
        return;
    m_running = false;
    if (m_owner)
        m_owner->RemoveRunningOperation(this);
    if (m_observer) {
        AddRef();
        m_observer->OnPlayerClientOperationCompleted(this, code);
    }
    m_releaseTimer->start();
}

void CPlayerClientOperationWrapperBase::OnProgress(double progress)
{
    if (m_observer && m_running)
        m_observer->OnPlayerClientOperationProgress(progress);
}

void CPlayerClientOperationWrapperBase::OnTimerRelease()
{
    Release();
}
