#pragma once
// What the add-files operations of both clients share: the staged operation's report, added songs and
// its Add and Wait stage starts, and the IPlayerClientOperation wrapper that callers hold.
#include <QList>
#include <QObject>
#include <QPointer>

#include "core/coreoperationbase.h"
#include "players/iunknownbase.h"
#include "players/playerclientinterfaces.h"
#include "players/playerclientoperationcallbacks.h"

class QTimer;
class CPlayerClientBase;

class CPlayerClientAddFilesOperationBase : public CCoreOperationBase
{
    Q_OBJECT
public:
    // The report and the added songs of the current (or last) run.
    const CPlayerClientOperationReport& GetReport() const { return m_report; }
    QList<CIUnknownPtr<IPlayerClientSong>> GetAddedSongs() const { return m_added; }

protected:
    // className names the operation in log lines; waitStage is the stage that waits after the files went
    // into the sync list.
    CPlayerClientAddFilesOperationBase(QObject* parent, const QString& name, int stageCount, const char* className,
                                       int waitStage);

    // Add stage: the wait stage follows when the songs go into the sync list, else the operation ends
    // after it; the stage's items are the files; the body runs when there are any, else the operation
    // completes at once.
    int DoStageAdd_Start();
    // Wait stage: the last one; a 2000 ms wait as the stage's sub-operation.
    int DoStageWait_Start();

    void DoResetData() override;

    const char* m_className;
    int m_waitStage;
    CPlayerClientAddingFilesCollection* m_files = nullptr;
    CIUnknownPtr<IPlayerClientPlaylistSync> m_syncList;
    CPlayerClientOperationReport m_report;
    QList<CIUnknownPtr<IPlayerClientSong>> m_added;
    int m_fileIndex = -1;
};

// The IPlayerClientOperation over a running add-files operation; it tells its observer of progress and,
// exactly once, of completion, then drops its own reference.
class CPlayerClientOperationWrapperBase : public QObject, public WMDM::CIUnknownBase, public IPlayerClientOperation
{
    Q_OBJECT
public:
    HRESULT QueryInterface(const IID& iid, void** object) override;

    // Stop(0x80400011, false).
    HRESULT Cancel() override;
    // Clears the stored report unless keep, then stops the running operation with code; the observer hears
    // the completion.
    HRESULT Stop(HRESULT code, bool keep) override;
    HRESULT GetAddedSongs(QList<CIUnknownPtr<IPlayerClientSong>>& songs) override;
    // Live from the running operation, else the stored copy.
    HRESULT GetStatus(CPlayerClientOperationReport& report) override;

    bool IsRunning() const { return m_running; }

public slots:
    // The operation ended: keeps its report and songs, lets it go, leaves the owner's running operations,
    // hands the observer a reference with the code and starts the release timer.
    void OnCompleted(int code);
    void OnProgress(double progress);
    // Drops the wrapper's own reference.
    void OnTimerRelease();

protected:
    CPlayerClientOperationWrapperBase(CPlayerClientBase* owner, CPlayerClientOperationObserver* observer);
    ~CPlayerClientOperationWrapperBase() override;

    CPlayerClientBase* m_owner;
    CPlayerClientOperationObserver* m_observer;
    bool m_running = false;
    CPlayerClientOperationReport m_report;
    QList<CIUnknownPtr<IPlayerClientSong>> m_added;
    QPointer<CPlayerClientAddFilesOperationBase> m_operation;
    QTimer* m_releaseTimer;
};
