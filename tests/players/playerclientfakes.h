#pragma once
// Test doubles of the player-client layer: a client the test drives, a sync list built on the shared
// bodies, and a recorder of library-object events.
#include <QObject>
#include <QTimer>

#include "players/playerclientbase.h"
#include "players/playerclientdispatcher.h"
#include "players/playerclientplaylistsyncbase.h"

// Records WhenEvent(int) of the objects it subscribed to.
class CEventRecorder : public QObject
{
    Q_OBJECT
public:
    QList<int> events;

public slots:
    void OnCollectionEvent(int event) { events.append(event); }
};

// A sync list made of the shared bodies only; the selection itself is not modelled.
class CTestSyncList : public CPlayerClientPlaylistSyncImplT<IPlayerClientPlaylistSync>
{
    Q_OBJECT
public:
    CTestSyncList(CPlayerClientBase* owner, int* alive, int updateMs = 20)
        : CPlayerClientPlaylistSyncImplT<IPlayerClientPlaylistSync>("CTestSyncList", owner), m_alive(alive)
    {
        ++*m_alive;
        updateTimer = new QTimer(this);
        updateTimer->setSingleShot(true);
        updateTimer->setInterval(updateMs);
        connect(updateTimer, &QTimer::timeout, this, &CTestSyncList::OnTimerUpdate);
        if (owner)
            connect(owner, &CPlayerClientBase::WhenShutdown, this, &CTestSyncList::Shutdown);
    }
    ~CTestSyncList() override { --*m_alive; }

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IPlayerClientNotify || iid == IID_IPlayerClientCollectionBase ||
            iid == IID_IPlayerClientCollectionSong || iid == IID_IPlayerClientPlaylist ||
            iid == IID_IPlayerClientPlaylistSync) {
            InternalAddRef();
            *object = static_cast<IPlayerClientPlaylistSync*>(this);
            return S_OK;
        }
        return WMDM::CIUnknownBase::QueryInterface(iid, object);
    }

    int GetItemCount() override { return 0; }
    HRESULT GetItem(int, IPlayerClientSong**) override { return E_NOTIMPL; }
    HRESULT GetFiles(QList<CFileMetadata>&) override { return E_NOTIMPL; }
    HRESULT AddItem(IPlayerClientSong*) override { return E_NOTIMPL; }
    HRESULT RemoveItem(IPlayerClientSong*) override { return E_NOTIMPL; }
    HRESULT GetArtistStat(const QString& artist, int* result) override
    {
        lastArtist = artist;
        *result = PlayerClient::SyncStatSome;
        return S_OK;
    }
    HRESULT GetAlbumStat(const QString&, int*) override { return E_NOTIMPL; }
    HRESULT GetArtistAlbumStat(const QString&, const QString&, int*) override { return E_NOTIMPL; }
    HRESULT GetLibraryStat(int*) override { return E_NOTIMPL; }
    HRESULT HasItem(IPlayerClientSong*) override { return S_FALSE; }
    HRESULT Clear() override { return E_NOTIMPL; }
    HRESULT GetSnapshot(IPlayerClientPlaylist**) override { return E_NOTIMPL; }

    QTimer* updateTimer;
    int invalidations = 0;
    int releases = 0;
    QString lastArtist;

protected:
    void DoInvalidate() override
    {
        ++invalidations;
        updateTimer->start();
    }
    void DoReleasePlayerObject() override { ++releases; }

private:
    int* m_alive;
};
typedef WMDM::CIUnknownImpl<CTestSyncList> CTestSyncListObj;

// A client whose running state, busy count, button words, media and answers the test sets, and which
// records what the front asks of it.
class CFakeClient : public CPlayerClientBase
{
    Q_OBJECT
public:
    explicit CFakeClient(CPlayerClientDispatcher* dispatcher, int id = PlayerClient::KindLocalFiles,
                         const QString& name = QStringLiteral("Fake"))
        : CPlayerClientBase(dispatcher, name, id, 0)
    {
    }

    void SetState(int state) { SetRunningState(state); }
    void SetBusy(bool busy) { busy ? IncrementBusy() : DecrementBusy(); }
    // The player goes away: not running, then WhenShutdown.
    void GoAway()
    {
        SetRunningState(PlayerClient::StateNotRunning);
        emit WhenShutdown();
    }

    int syncListsMade = 0;
    int syncListsAlive = 0;
    HRESULT failSyncList = S_OK;
    int words[11] = {};
    int position = 0, duration = 0;
    QString artist, title, location;
    double volume = 0.0;
    bool installed = true;
    QList<bool> starts;
    QStringList calls;

    int GetButtonState(int button) override { return button >= 0 && button < 11 ? words[button] : 0; }
    int GetPlayPositionMSecs() override { return position; }
    void SetPlayPositionSecs(int seconds) override { calls << QStringLiteral("position %1").arg(seconds); }
    bool GetMediaInfo(QString& a, QString& t, QString& l, int& d, QString& loc) override
    {
        a = artist, t = title, l = QString(), d = duration, loc = location;
        return true;
    }
    void ClickButton(int button) override { calls << QStringLiteral("click %1").arg(button); }
    void CheckButton(int button, bool on) override { calls << QStringLiteral("check %1 %2").arg(button).arg(on); }
    double GetVolume() override { return volume; }
    void SetVolume(double& v) override { volume = v; }
    bool IsInstalled() override { return installed; }
    void Start(bool mode) override { starts << mode; }

protected:
    HRESULT DoGetPlaylistSync(IPlayerClientPlaylistSync** list) override
    {
        if (FAILED(failSyncList))
            return failSyncList;
        ++syncListsMade;
        *list = new CTestSyncListObj(this, &syncListsAlive);
        return S_OK;
    }
    HRESULT DoGetAlbumInfo(const QString& album, int mask, CAlbumInfo* info) override
    {
        info->flags = mask;
        info->songCount = 7;
        info->artists << album;
        return S_OK;
    }
};
