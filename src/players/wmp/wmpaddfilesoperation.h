#pragma once
// Puts files into the Windows Media Player library and, as asked, into a playlist and the device-sync
// list. Each added song is checked: what the player read of the file must match what our own tag reader
// reads, else the player's item goes again (only when this operation created it). Files may first have to
// be fetched (the collection hands back an operation to wait for). Callers hold the operation through
// CIPlayerClientWmpOperationAddFilesImpl.
#include <QPointer>
#include <QString>

#include "platform/wmp/wmpinterfaces.h"
#include "players/playerclientaddfilesoperation.h"
#include "players/wmp/playerclientwmp.h"

class CWmpAddFilesOperation : public CPlayerClientAddFilesOperationBase
{
    Q_OBJECT
public:
    enum : int
    {
        StageDownloadAndAdd = 1,
        StageAdd = 2,
        StageWait = 3,
        StageCount = 4,
    };

    explicit CWmpAddFilesOperation(QObject* parent);
    ~CWmpAddFilesOperation() override;

    // Makes the operation under parent, starts it and keeps it in holder; a result code.
    static HRESULT Start(QPointer<CPlayerClientAddFilesOperationBase>& holder, QObject* parent, CPlayerClientWMP* owner,
                         IWMPPlaylist* playlist, bool libraryOnly, CPlayerClientAddingFilesCollection* files);
    // Schedules a run over files; the songs go into playlist unless libraryOnly.
    HRESULT Start(CPlayerClientWMP* owner, IWMPPlaylist* playlist, bool libraryOnly,
                  CPlayerClientAddingFilesCollection* files);

public slots:
    void OnStageOperationCompleted(int result) override;

protected:
    void EmitCompleted(int result) override;
    void DoResetData() override;

private:
    int DoStageDownloadAndAdd_Start();
    int DoStageAdd_Body();
    // The fetch of the current file ended with code: adds it; a mismatch skips the file. The stage's result.
    int AfterFetch(int code);
    // Adds one file; keep tells whether the file must stay on disk whatever the result.
    HRESULT DoAddFile(const QString& path, bool* keep);
    void RecordFailure(int index, int stage);
    void ReleaseObjects();

    QPointer<CPlayerClientWMP> m_owner;
    IWMPPlaylist* m_playlist = nullptr;
    bool m_libraryOnly = false;
    IWMPMediaCollection* m_mediaCollection = nullptr;
};

// The IPlayerClientOperation that callers of AddFiles hold; it lives until its release timer fires after
// the completion, which its observer hears exactly once.
class CIPlayerClientWmpOperationAddFilesImpl : public CPlayerClientOperationWrapperBase
{
    Q_OBJECT
public:
    // One reference for the caller in out (the wrapper keeps its own until it has completed).
    static HRESULT CreateInstance(CPlayerClientWMP* owner, IWMPPlaylist* playlist, bool libraryOnly,
                                  CPlayerClientAddingFilesCollection* files, CPlayerClientOperationObserver* observer,
                                  IPlayerClientOperation** out);

    CIPlayerClientWmpOperationAddFilesImpl(CPlayerClientWMP* owner, CPlayerClientOperationObserver* observer);

private:
    HRESULT Initialize(CPlayerClientWMP* owner, IWMPPlaylist* playlist, bool libraryOnly,
                       CPlayerClientAddingFilesCollection* files);
    void OnOwnerDestroyed();
};
