#include "players/playerclientbase.h"

#include <QDir>
#include <QStandardPaths>

#include "core/corefeatures.h"
#include "core/log.h"
#include "core/mediahelper.h"
#include "core/resultcodes.h"
#include "players/playerclientdispatcher.h"

// A getter's frame: null the out-pointer, check readiness, then hand over to its worker.
#define SV_PLAYER_GETTER(method, out, call)  \
    if (!(out))                               \
        return E_POINTER;                     \
    *(out) = nullptr;                         \
    const HRESULT ready = CheckReady(method); \
    if (FAILED(ready))                        \
        return ready;                         \
    return call;

CPlayerClientBase::CPlayerClientBase(CPlayerClientDispatcher* parent, const QString& name, int id,
                                     quint32 capabilities)
    : QObject(parent), m_name(name), m_id(id), m_capabilities(capabilities)
{
    connect(this, &CPlayerClientBase::WhenShutdown, this, &CPlayerClientBase::OnShutdownDropPlaylistSync);
    if (parent)
        parent->AddClient(this);
}

CPlayerClientBase::~CPlayerClientBase()
{
    m_playlistSync.Reset();
    const QList<IPlayerClientOperation*> operations = m_operations;
    m_operations.clear();
    for (IPlayerClientOperation* operation : operations)
        operation->Release();
}

HRESULT CPlayerClientBase::GetReadyState() const
{
    if (!IsStateRunning(m_runningState))
        return SV_E_PLAYER_NOT_RUNNING;
    if (m_busyCount > 0)
        return SV_E_PLAYER_BUSY;
    return S_OK;
}

HRESULT CPlayerClientBase::CheckReady(const char* method) const
{
    const HRESULT hr = GetReadyState();
    if (FAILED(hr))
        WriteLog("CPlayerClientBase::%s: not ready %x", method, hr);
    return hr;
}

void CPlayerClientBase::SetRunningState(int state)
{
    const int old = m_runningState;
    if (state == old)
        return;
    m_runningState = state;
    emit WhenRunningChanged(state, old);
}

// ---- the front's operations -----------------------------------------------------------------------

int CPlayerClientBase::GetButtonState(int button)
{
    Q_UNUSED(button);
    return 0;
}

void CPlayerClientBase::GetButtonStates(int* previous, int* play, int* pause, int* next)
{
    if (previous)
        *previous = GetButtonState(PlayerClient::ButtonPrevious);
    if (play)
        *play = GetButtonState(PlayerClient::ButtonPlay);
    if (pause)
        *pause = GetButtonState(PlayerClient::ButtonPause);
    if (next)
        *next = GetButtonState(PlayerClient::ButtonNext);
}

int CPlayerClientBase::GetPlayPositionMSecs()
{
    return 0;
}

int CPlayerClientBase::GetPlayPositionSecs()
{
    return GetPlayPositionMSecs() / 1000;
}

void CPlayerClientBase::SetPlayPositionSecs(int seconds)
{
    Q_UNUSED(seconds);
}

bool CPlayerClientBase::GetMediaInfo(QString& artist, QString& title, QString& album, int& duration,
                                     QString& location)
{
    artist.clear();
    title.clear();
    album.clear();
    duration = 0;
    location.clear();
    return false;
}

void CPlayerClientBase::ClickButton(int button)
{
    Q_UNUSED(button);
}

void CPlayerClientBase::CheckButton(int button, bool state)
{
    Q_UNUSED(button);
    Q_UNUSED(state);
}

double CPlayerClientBase::GetVolume()
{
    WriteLog("CPlayerClientBase::GetVolume: not implemented");
    return 0.0;
}

void CPlayerClientBase::SetVolume(double& volume)
{
    WriteLog("CPlayerClientBase::SetVolume: not implemented (v=%lf)", volume);
}

bool CPlayerClientBase::IsInstalled()
{
    return !CoreFeatures::IsFeatureEnabled(CoreFeatures::FeaturePlayerNotInstalled);
}

void CPlayerClientBase::Start(bool mode)
{
    WriteLog("CPlayerClientBase::Start: not implemented: m=%d", int(mode));
}

void CPlayerClientBase::BringToForeground()
{
    WriteLog("CPlayerClientBase::BringToForeground: not implemented");
}

// ---- library getters --------------------------------------------------------------------------------

HRESULT CPlayerClientBase::GetCurrentSong(IPlayerClientSong** song)
{
    SV_PLAYER_GETTER("GetCurrentSong", song, DoGetCurrentSong(song));
}

HRESULT CPlayerClientBase::GetCurrentPlaylist(IPlayerClientPlaylist** playlist)
{
    SV_PLAYER_GETTER("GetCurrentPlaylist", playlist, DoGetCurrentPlaylist(playlist));
}

HRESULT CPlayerClientBase::GetLibraryPlaylist(IPlayerClientPlaylist** playlist)
{
    SV_PLAYER_GETTER("GetLibraryPlaylist", playlist, DoGetLibraryPlaylist(playlist));
}

HRESULT CPlayerClientBase::GetPlaylists(IPlayerClientCollectionPlaylist** playlists)
{
    SV_PLAYER_GETTER("GetPlaylists", playlists, DoGetPlaylists(playlists));
}

HRESULT CPlayerClientBase::GetArtists(IPlayerClientCollectionString** artists)
{
    SV_PLAYER_GETTER("GetArtists", artists, DoGetArtists(artists));
}

HRESULT CPlayerClientBase::GetAlbums(IPlayerClientCollectionString** albums)
{
    SV_PLAYER_GETTER("GetAlbums", albums, DoGetAlbums(albums));
}

HRESULT CPlayerClientBase::GetArtistAlbums(const QString& artist, IPlayerClientCollectionString** albums)
{
    SV_PLAYER_GETTER("GetArtistAlbums", albums, DoGetArtistAlbums(artist, albums));
}

HRESULT CPlayerClientBase::GetArtistSongs(const QString& artist, IPlayerClientPlaylist** songs)
{
    SV_PLAYER_GETTER("GetArtistSongs", songs, DoGetArtistSongs(artist, songs));
}

HRESULT CPlayerClientBase::GetAlbumSongs(const QString& album, IPlayerClientPlaylist** songs)
{
    SV_PLAYER_GETTER("GetAlbumSongs", songs, DoGetAlbumSongs(album, songs));
}

HRESULT CPlayerClientBase::GetArtistAlbumSongs(const QString& artist, const QString& album,
                                               IPlayerClientPlaylist** songs)
{
    SV_PLAYER_GETTER("GetArtistAlbumSongs", songs, DoGetArtistAlbumSongs(artist, album, songs));
}

HRESULT CPlayerClientBase::GetSongsByArtistAlbumTitle(const QString& artist, const QString& album,
                                                      const QString& title, IPlayerClientCollectionSong** songs)
{
    SV_PLAYER_GETTER("GetSongsByArtistAlbumTitle", songs, DoGetSongsByArtistAlbumTitle(artist, album, title, songs));
}

HRESULT CPlayerClientBase::GetPlaylistSync(IPlayerClientPlaylistSync** playlistSync)
{
    if (!playlistSync)
        return E_POINTER;
    *playlistSync = nullptr;
    const HRESULT ready = CheckReady("GetPlaylistSync");
    if (FAILED(ready))
        return ready;
    if (!m_playlistSync) {
        IPlayerClientPlaylistSync* made = nullptr;
        const HRESULT hr = DoGetPlaylistSync(&made);
        if (FAILED(hr)) {
            // The worker has logged its failure.
            if (made)
                made->Release();
            return hr;
        }
        if (!made) {
            WriteLog("CPlayerClientBase::GetPlaylistSync: no sync list");
            return E_FAIL;
        }
        m_playlistSync.Attach(made);
    }
    m_playlistSync->AddRef();
    *playlistSync = m_playlistSync.Get();
    return S_OK;
}

void CPlayerClientBase::OnShutdownDropPlaylistSync()
{
    m_playlistSync.Reset();
}

// ---- statistics ---------------------------------------------------------------------------------

HRESULT CPlayerClientBase::GetArtistInfo(const QString& artist, const int& mask, CArtistInfo* info)
{
    if (!info)
        return E_POINTER;
    *info = CArtistInfo();
    const HRESULT ready = CheckReady("GetArtistInfo");
    if (FAILED(ready))
        return ready;
    return DoGetArtistInfo(artist, mask, info);
}

HRESULT CPlayerClientBase::GetAlbumInfo(const QString& album, const int& mask, CAlbumInfo* info)
{
    if (!info)
        return E_POINTER;
    *info = CAlbumInfo();
    const HRESULT ready = CheckReady("GetAlbumInfo");
    if (FAILED(ready))
        return ready;
    return DoGetAlbumInfo(album, mask, info);
}

HRESULT CPlayerClientBase::GetArtistAlbumInfo(const QString& artist, const QString& album, const int& mask,
                                              CAlbumInfo* info)
{
    if (!info)
        return E_POINTER;
    *info = CAlbumInfo();
    const HRESULT ready = CheckReady("GetArtistAlbumInfo");
    if (FAILED(ready))
        return ready;
    return DoGetArtistAlbumInfo(artist, album, mask, info);
}

// ---- media folder and formats -------------------------------------------------------------------

QString CPlayerClientBase::GetMediaFolder()
{
    return QDir::fromNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
}

int CPlayerClientBase::GetMediaFormatType(const QString& path)
{
    return CCoreMediaHelper::GetFormatTypeByFile(path);
}

bool CPlayerClientBase::IsFileFormatUsable(const QString& fileName)
{
    Q_UNUSED(fileName);
    return true;
}

// ---- running operations -------------------------------------------------------------------------

void CPlayerClientBase::AddRunningOperation(IPlayerClientOperation* operation)
{
    if (!operation || m_operations.contains(operation))
        return;
    operation->AddRef();
    m_operations.append(operation);
}

void CPlayerClientBase::RemoveRunningOperation(IPlayerClientOperation* operation)
{
    if (m_operations.removeOne(operation))
        operation->Release();
}

// ---- workers ------------------------------------------------------------------------------------

#define SV_PLAYER_NOT_IMPLEMENTED(method)                           \
    WriteLog("CPlayerClientBase::" method ": not implemented");     \
    return E_NOTIMPL;

HRESULT CPlayerClientBase::DoGetCurrentSong(IPlayerClientSong**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetCurrentSong");
}

HRESULT CPlayerClientBase::DoGetCurrentPlaylist(IPlayerClientPlaylist**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetCurrentPlaylist");
}

HRESULT CPlayerClientBase::DoGetLibraryPlaylist(IPlayerClientPlaylist**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetLibraryPlaylist");
}

HRESULT CPlayerClientBase::DoGetPlaylists(IPlayerClientCollectionPlaylist**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetPlaylists");
}

HRESULT CPlayerClientBase::DoGetArtists(IPlayerClientCollectionString**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetArtists");
}

HRESULT CPlayerClientBase::DoGetAlbums(IPlayerClientCollectionString**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetAlbums");
}

HRESULT CPlayerClientBase::DoGetArtistAlbums(const QString&, IPlayerClientCollectionString**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetArtistAlbums");
}

HRESULT CPlayerClientBase::DoGetArtistSongs(const QString&, IPlayerClientPlaylist**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetArtistSongs");
}

HRESULT CPlayerClientBase::DoGetAlbumSongs(const QString&, IPlayerClientPlaylist**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetAlbumSongs");
}

HRESULT CPlayerClientBase::DoGetArtistAlbumSongs(const QString&, const QString&, IPlayerClientPlaylist**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetArtistAlbumSongs");
}

HRESULT CPlayerClientBase::DoGetSongsByArtistAlbumTitle(const QString&, const QString&, const QString&,
                                                        IPlayerClientCollectionSong**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetSongsByArtistAlbumTitle");
}

HRESULT CPlayerClientBase::DoGetPlaylistSync(IPlayerClientPlaylistSync**)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetPlaylistSync");
}

HRESULT CPlayerClientBase::DoGetArtistInfo(const QString&, int, CArtistInfo*)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetArtistInfo");
}

HRESULT CPlayerClientBase::DoGetAlbumInfo(const QString&, int, CAlbumInfo*)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetAlbumInfo");
}

HRESULT CPlayerClientBase::DoGetArtistAlbumInfo(const QString&, const QString&, int, CAlbumInfo*)
{
    SV_PLAYER_NOT_IMPLEMENTED("DoGetArtistAlbumInfo");
}
