#pragma once
// Base of the player clients: what every client is (name, id, running state, busy count), the
// operations the player front drives, with answers for a client that cannot do them, and the library
// getters, each behind the same readiness check.
#include <QList>
#include <QObject>
#include <QString>

#include "platform/com/combase.h"
#include "players/iunknownbase.h"
#include "players/playerclientinterfaces.h"
#include "players/playerclienttypes.h"

class CPlayerClientDispatcher;

class CPlayerClientBase : public QObject
{
    Q_OBJECT
public:
    // Registers itself with the dispatcher that is its parent.
    CPlayerClientBase(CPlayerClientDispatcher* parent, const QString& name, int id, quint32 capabilities);
    ~CPlayerClientBase() override;

    // A copy of the display name.
    QString GetName() const { return m_name; }
    // Player id, also the player kind (PlayerClient::Kind*).
    int GetId() const { return m_id; }
    int GetKind() const { return m_id; }
    quint32 GetCapabilities() const { return m_capabilities; }
    int GetRunningState() const { return m_runningState; }
    int GetBusyCount() const { return m_busyCount; }
    static bool IsStateRunning(int state) { return state == PlayerClient::StateRunning; }
    // 0 when the client runs and is not busy, else 0x8040001A (not running) or 0x8040001B (busy).
    HRESULT GetReadyState() const;

    // ---- the player front's operations, in this order ----
    // State word of a button: bit 0 enabled, bit 1 checked.
    virtual int GetButtonState(int button);
    // The state words of buttons 1 to 4.
    virtual void GetButtonStates(int* previous, int* play, int* pause, int* next);
    virtual int GetPlayPositionMSecs();
    virtual int GetPlayPositionSecs();
    virtual void SetPlayPositionSecs(int seconds);
    // Duration in whole seconds; false when nothing is known.
    virtual bool GetMediaInfo(QString& artist, QString& title, QString& album, int& duration, QString& location);
    virtual void ClickButton(int button);
    virtual void CheckButton(int button, bool state);
    virtual double GetVolume();
    // The client may adjust the value it is given.
    virtual void SetVolume(double& volume);
    virtual bool IsInstalled();
    virtual void Start(bool mode);
    virtual void BringToForeground();

    // ---- library getters: one new reference in the out-pointer (null when there is no such object) ----
    HRESULT GetCurrentSong(IPlayerClientSong** song);
    HRESULT GetCurrentPlaylist(IPlayerClientPlaylist** playlist);
    HRESULT GetLibraryPlaylist(IPlayerClientPlaylist** playlist);
    HRESULT GetPlaylists(IPlayerClientCollectionPlaylist** playlists);
    HRESULT GetArtists(IPlayerClientCollectionString** artists);
    HRESULT GetAlbums(IPlayerClientCollectionString** albums);
    HRESULT GetArtistAlbums(const QString& artist, IPlayerClientCollectionString** albums);
    HRESULT GetArtistSongs(const QString& artist, IPlayerClientPlaylist** songs);
    HRESULT GetAlbumSongs(const QString& album, IPlayerClientPlaylist** songs);
    HRESULT GetArtistAlbumSongs(const QString& artist, const QString& album, IPlayerClientPlaylist** songs);
    HRESULT GetSongsByArtistAlbumTitle(const QString& artist, const QString& album, const QString& title,
                                       IPlayerClientCollectionSong** songs);
    // Fetched once through DoGetPlaylistSync and kept until the player shuts down.
    HRESULT GetPlaylistSync(IPlayerClientPlaylistSync** playlistSync);
    // The kept sync list, null when none is kept; no reference is handed out.
    IPlayerClientPlaylistSync* GetCachedPlaylistSync() const { return m_playlistSync.Get(); }

    // ---- statistics: the record is cleared first; mask selects PlayerClient::Info* parts ----
    HRESULT GetArtistInfo(const QString& artist, const int& mask, CArtistInfo* info);
    HRESULT GetAlbumInfo(const QString& album, const int& mask, CAlbumInfo* info);
    HRESULT GetArtistAlbumInfo(const QString& artist, const QString& album, const int& mask, CAlbumInfo* info);

    // The player's own music folder, with "/" separators.
    virtual QString GetMediaFolder();
    // The media-format type of a path by its suffix (1 audio, 2 playlist), 0 when none.
    static int GetMediaFormatType(const QString& path);
    // Whether the player takes the file's format.
    virtual bool IsFileFormatUsable(const QString& fileName);

    // ---- running operations (each kept with one reference until removed) ----
    void AddRunningOperation(IPlayerClientOperation* operation);
    void RemoveRunningOperation(IPlayerClientOperation* operation);
    int GetRunningOperationCount() const { return m_operations.size(); }

signals:
    void WhenRunningChanged(int state, int oldState);
    void WhenPlayingChanged(bool playing);
    void WhenShutdown();
    void WhenWakeUp();

protected:
    // Emits WhenRunningChanged(state, old) when the state changes.
    void SetRunningState(int state);
    void IncrementBusy() { ++m_busyCount; }
    void DecrementBusy()
    {
        if (m_busyCount > 0)
            --m_busyCount;
    }

    // Workers of the getters; the base answers 0x80004001.
    virtual HRESULT DoGetCurrentSong(IPlayerClientSong** song);
    virtual HRESULT DoGetCurrentPlaylist(IPlayerClientPlaylist** playlist);
    virtual HRESULT DoGetLibraryPlaylist(IPlayerClientPlaylist** playlist);
    virtual HRESULT DoGetPlaylists(IPlayerClientCollectionPlaylist** playlists);
    virtual HRESULT DoGetArtists(IPlayerClientCollectionString** artists);
    virtual HRESULT DoGetAlbums(IPlayerClientCollectionString** albums);
    virtual HRESULT DoGetArtistAlbums(const QString& artist, IPlayerClientCollectionString** albums);
    virtual HRESULT DoGetArtistSongs(const QString& artist, IPlayerClientPlaylist** songs);
    virtual HRESULT DoGetAlbumSongs(const QString& album, IPlayerClientPlaylist** songs);
    virtual HRESULT DoGetArtistAlbumSongs(const QString& artist, const QString& album, IPlayerClientPlaylist** songs);
    virtual HRESULT DoGetSongsByArtistAlbumTitle(const QString& artist, const QString& album, const QString& title,
                                                 IPlayerClientCollectionSong** songs);
    virtual HRESULT DoGetPlaylistSync(IPlayerClientPlaylistSync** playlistSync);
    virtual HRESULT DoGetArtistInfo(const QString& artist, int mask, CArtistInfo* info);
    virtual HRESULT DoGetAlbumInfo(const QString& album, int mask, CAlbumInfo* info);
    virtual HRESULT DoGetArtistAlbumInfo(const QString& artist, const QString& album, int mask, CAlbumInfo* info);

private slots:
    // A player that went away leaves a dead sync list; the next request makes a new one.
    void OnShutdownDropPlaylistSync();

private:
    HRESULT CheckReady(const char* method) const;

    QString m_name;
    int m_id;
    quint32 m_capabilities;
    int m_runningState = PlayerClient::StateNotRunning;
    int m_busyCount = 0;
    CIUnknownPtr<IPlayerClientPlaylistSync> m_playlistSync;
    QList<IPlayerClientOperation*> m_operations;
};
