#include "players/wmp/playerclientwmp.h"

#include "core/log.h"
#include "platform/wmp/simplayer.h"
#include "players/playerclientdispatcher.h"
#include "players/wmp/axwidgetwmp.h"
#include "players/wmp/iplayerclientwmpcollectionplaylistimpl.h"
#include "players/wmp/iplayerclientwmpcollectionstringimpl.h"
#include "players/wmp/iplayerclientwmpplaylistprivimpl.h"
#include "players/wmp/iplayerclientwmpplaylistsyncprivimpl.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"
#include "players/wmp/playerclientwmphelper.h"

namespace {

QString ItemInfo(IWMPMedia* media, const char* attribute)
{
    QString value;
    if (FAILED(media->getItemInfo(QLatin1String(attribute), &value)))
        value.clear();
    return value;
}

// A library object the factory made (one reference) into the caller's out-pointer of one of its faces.
template <class TMade, class TOut>
HRESULT HandOver(HRESULT hr, TMade* made, TOut** out)
{
    if (FAILED(hr))
        return hr;
    *out = made;
    return S_OK;
}

} // namespace

CPlayerClientWMP::CPlayerClientWMP(CPlayerClientDispatcher* parent)
    : CPlayerClientBase(parent, QStringLiteral("Windows Media Player"), PlayerClient::KindWmp,
                        PlayerClient::CapabilitiesWmp)
{
    CPlayerClientWMPHelperObj* helper = new CPlayerClientWMPHelperObj();
    helper->SetOwner(this);
    m_helper = helper;
    const HRESULT hr = m_helper->Initialize();
    if (FAILED(hr))
        WriteLog("CPlayerClientWMP::CPlayerClientWMP: Initialize failed %x", hr);
    CheckRunning();
}

CPlayerClientWMP::~CPlayerClientWMP()
{
    m_destroying = true;
    // The library objects must not outlive their way to the player.
    if (IsStateRunning(GetRunningState()))
        emit WhenShutdown();
    if (m_helper) {
        CPlayerClientWMPHelper* helper = m_helper;
        m_helper = nullptr;
        helper->SetOwner(nullptr);
        helper->StopPlayTimer();
        helper->Disconnect();
        static_cast<IServiceProvider*>(helper)->Release();
    }
}

CPlayerClientWMPHelper* CPlayerClientWMP::GetHelper() const
{
    return m_helper;
}

bool CPlayerClientWMP::IsUsable() const
{
    return !m_destroying && m_helper && IsStateRunning(GetRunningState());
}

// ---- running state ------------------------------------------------------------------------------

bool CPlayerClientWMP::QueryRunning()
{
    if (m_destroying || !m_helper)
        return false;
    CIUnknownPtr<IWMPPlayer4> player;
    if (FAILED(m_helper->GetPlayer(player.Out())))
        return false;
    CIUnknownPtr<IWMPPlayerApplication> application;
    HRESULT hr = player->get_playerApplication(application.Out());
    if (FAILED(hr) || !application)
        return false;
    bool docked = false;
    hr = application->get_playerDocked(&docked);
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMP::QueryRunning: get_playerDocked failed %x", hr);
        return false;
    }
    return docked;
}

void CPlayerClientWMP::CheckRunning()
{
    const bool running = QueryRunning();
    if (running == IsStateRunning(GetRunningState()))
        return;
    WriteLog("CPlayerClientWMP::CheckRunning: running=%d", int(running));
    if (running) {
        SetRunningState(PlayerClient::StateRunning);
        emit WhenWakeUp();
    } else {
        // Whoever hears of the shutdown finds the client already answering as not running.
        SetRunningState(PlayerClient::StateNotRunning);
        emit WhenShutdown();
    }
}

void CPlayerClientWMP::NotifyPlayingChanged()
{
    if (!m_destroying)
        emit WhenPlayingChanged(false);
}

void CPlayerClientWMP::NotifyLibraryChanged(int kind, void* data)
{
    if (!m_destroying)
        emit WhenLibraryChanged(kind, data);
}

// ---- transport ----------------------------------------------------------------------------------

int CPlayerClientWMP::GetButtonState(int button)
{
    if (!IsUsable())
        return 0;
    const auto enabled = [](bool on) { return on ? int(PlayerClient::ButtonEnabled) : 0; };
    const auto checked = [](bool on) { return on ? int(PlayerClient::ButtonChecked) : 0; };

    switch (button) {
    case PlayerClient::ButtonPrevious:
    case PlayerClient::ButtonPlay:
    case PlayerClient::ButtonPause:
    case PlayerClient::ButtonNext: {
        static const char* const names[] = {nullptr, "previous", "play", "pause", "next"};
        CIUnknownPtr<IWMPControls> controls;
        if (FAILED(m_helper->GetControls(controls.Out())))
            return 0;
        bool available = false;
        const HRESULT hr = controls->get_isAvailable(QLatin1String(names[button]), &available);
        return SUCCEEDED(hr) ? enabled(available) : 0;
    }
    case PlayerClient::ButtonMute: {
        CIUnknownPtr<IWMPSettings> settings;
        bool mute = false;
        if (FAILED(m_helper->GetSettings(settings.Out())) || FAILED(settings->get_mute(&mute)))
            return 0;
        return enabled(true) | checked(mute);
    }
    case PlayerClient::ButtonRestart: {
        CIUnknownPtr<IWMPPlayer4> player;
        CIUnknownPtr<IWMPMedia> media;
        if (FAILED(m_helper->GetPlayer(player.Out())) || FAILED(player->get_currentMedia(media.Out())))
            return 0;
        return enabled(bool(media));
    }
    case PlayerClient::ButtonShuffle:
    case PlayerClient::ButtonRepeatOff:
    case PlayerClient::ButtonRepeatAll: {
        CIUnknownPtr<IWMPSettings> settings;
        bool on = false;
        const QString mode = button == PlayerClient::ButtonShuffle ? QStringLiteral("shuffle") : QStringLiteral("loop");
        if (FAILED(m_helper->GetSettings(settings.Out())) || FAILED(settings->getMode(mode, &on)))
            return 0;
        if (button == PlayerClient::ButtonRepeatOff)
            on = !on;
        return enabled(true) | checked(on);
    }
    default:
        // The player has no repeat-one mode.
        return 0;
    }
}

int CPlayerClientWMP::GetPlayPositionMSecs()
{
    if (!IsUsable())
        return 0;
    CIUnknownPtr<IWMPControls> controls;
    double seconds = 0.0;
    if (FAILED(m_helper->GetControls(controls.Out())) || FAILED(controls->get_currentPosition(&seconds)))
        return 0;
    return int(seconds * 1000.0 + 0.5);
}

void CPlayerClientWMP::SetPlayPositionSecs(int seconds)
{
    if (!IsUsable())
        return;
    CIUnknownPtr<IWMPControls> controls;
    HRESULT hr = m_helper->GetControls(controls.Out());
    if (SUCCEEDED(hr))
        hr = controls->put_currentPosition(double(seconds));
    if (FAILED(hr))
        WriteLog("CPlayerClientWMP::SetPlayPositionSecs: put_currentPosition failed %x", hr);
}

bool CPlayerClientWMP::GetMediaInfo(QString& artist, QString& title, QString& album, int& duration,
                                    QString& location)
{
    CPlayerClientBase::GetMediaInfo(artist, title, album, duration, location);
    if (!IsUsable())
        return false;
    CIUnknownPtr<IWMPPlayer4> player;
    CIUnknownPtr<IWMPMedia> media;
    if (FAILED(m_helper->GetPlayer(player.Out())))
        return false;
    const HRESULT hr = player->get_currentMedia(media.Out());
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMP::GetMediaInfo: get_currentMedia failed %x", hr);
        return false;
    }
    if (!media)
        return false;
    artist = ItemInfo(media.Get(), "Author");
    title = ItemInfo(media.Get(), "Title");
    album = ItemInfo(media.Get(), "WM/AlbumTitle");
    location = ItemInfo(media.Get(), "SourceURL");
    duration = int(ItemInfo(media.Get(), "Duration").toDouble() + 0.5);
    return true;
}

HRESULT CPlayerClientWMP::SetLoop(bool on, const char* method)
{
    CIUnknownPtr<IWMPSettings> settings;
    HRESULT hr = m_helper->GetSettings(settings.Out());
    if (SUCCEEDED(hr))
        hr = settings->setMode(QStringLiteral("loop"), on);
    if (FAILED(hr))
        WriteLog("CPlayerClientWMP::%s: setMode(loop) failed %x", method, hr);
    return hr;
}

// Mute (5) and shuffle (7) flip their current state.
void CPlayerClientWMP::ToggleSetting(int button)
{
    const bool checkedNow = (GetButtonState(button) & PlayerClient::ButtonChecked) != 0;
    CheckButton(button, !checkedNow);
}

void CPlayerClientWMP::ClickButton(int button)
{
    if (!IsUsable())
        return;
    if (button == PlayerClient::ButtonMute || button == PlayerClient::ButtonShuffle) {
        ToggleSetting(button);
        return;
    }
    if (button == PlayerClient::ButtonRepeatOff || button == PlayerClient::ButtonRepeatAll) {
        SetLoop(button == PlayerClient::ButtonRepeatAll, "ClickButton");
        return;
    }
    CIUnknownPtr<IWMPControls> controls;
    HRESULT hr = m_helper->GetControls(controls.Out());
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMP::ClickButton: GetControls failed %x", hr);
        return;
    }
    switch (button) {
    case PlayerClient::ButtonPrevious:
        hr = controls->previous();
        break;
    case PlayerClient::ButtonPlay:
        hr = controls->play();
        break;
    case PlayerClient::ButtonPause:
        hr = controls->pause();
        break;
    case PlayerClient::ButtonNext:
        hr = controls->next();
        break;
    case PlayerClient::ButtonRestart:
        hr = controls->stop();
        if (SUCCEEDED(hr))
            hr = controls->play();
        break;
    default:
        WriteLog("CPlayerClientWMP::ClickButton: not supported (b=%d)", button);
        return;
    }
    if (FAILED(hr))
        WriteLog("CPlayerClientWMP::ClickButton: button %d failed %x", button, hr);
}

void CPlayerClientWMP::CheckButton(int button, bool state)
{
    if (!IsUsable())
        return;
    HRESULT hr = S_OK;
    switch (button) {
    case PlayerClient::ButtonMute:
    case PlayerClient::ButtonShuffle: {
        CIUnknownPtr<IWMPSettings> settings;
        hr = m_helper->GetSettings(settings.Out());
        if (SUCCEEDED(hr)) {
            hr = button == PlayerClient::ButtonMute ? settings->put_mute(state)
                                                    : settings->setMode(QStringLiteral("shuffle"), state);
        }
        break;
    }
    case PlayerClient::ButtonRepeatOff:
    case PlayerClient::ButtonRepeatAll:
        // Checking one repeat button unchecks the other; unchecking alone means nothing.
        if (state)
            SetLoop(button == PlayerClient::ButtonRepeatAll, "CheckButton");
        return;
    case PlayerClient::ButtonPlay:
    case PlayerClient::ButtonPause:
        if (state)
            ClickButton(button);
        return;
    default:
        WriteLog("CPlayerClientWMP::CheckButton: not supported (b=%d)", button);
        return;
    }
    if (FAILED(hr))
        WriteLog("CPlayerClientWMP::CheckButton: button %d failed %x", button, hr);
}

double CPlayerClientWMP::GetVolume()
{
    if (!IsUsable())
        return m_volume;
    CIUnknownPtr<IWMPSettings> settings;
    qint32 volume = 0;
    HRESULT hr = m_helper->GetSettings(settings.Out());
    if (SUCCEEDED(hr))
        hr = settings->get_volume(&volume);
    if (FAILED(hr))
        return m_volume;
    m_volume = double(volume);
    return m_volume;
}

void CPlayerClientWMP::SetVolume(double& volume)
{
    const int whole = qBound(0, int(volume + 0.5), 100);
    volume = double(whole);
    if (!IsUsable())
        return;
    CIUnknownPtr<IWMPSettings> settings;
    HRESULT hr = m_helper->GetSettings(settings.Out());
    if (SUCCEEDED(hr))
        hr = settings->put_volume(whole);
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMP::SetVolume: put_volume failed %x", hr);
        return;
    }
    m_volume = volume;
}

void CPlayerClientWMP::Start(bool mode)
{
    WriteLog("CPlayerClientWMP::Start: m=%d", int(mode));
    if (m_destroying || !m_helper)
        return;
    if (!m_helper->IsConnected()) {
        const HRESULT hr = m_helper->Initialize();
        if (FAILED(hr)) {
            WriteLog("CPlayerClientWMP::Start: Initialize failed %x", hr);
            return;
        }
    }
    Platform::Wmp::CSimPlayer* application =
        m_helper->GetWidget() ? m_helper->GetWidget()->AttachedPlayer() : nullptr;
    if (!application || !m_helper->GetWidget()->IsRemote()) {
        WriteLog("CPlayerClientWMP::Start: no player application");
        return;
    }
    application->Launch();
    // Already up: nothing will be reported, so look now.
    CheckRunning();
}

void CPlayerClientWMP::BringToForeground()
{
    if (!IsUsable())
        return;
    CIUnknownPtr<IWMPPlayer4> player;
    CIUnknownPtr<IWMPPlayerApplication> application;
    HRESULT hr = m_helper->GetPlayer(player.Out());
    if (SUCCEEDED(hr))
        hr = player->get_playerApplication(application.Out());
    if (SUCCEEDED(hr) && !application)
        hr = E_FAIL;
    if (SUCCEEDED(hr))
        hr = application->switchToPlayerApplication();
    if (FAILED(hr))
        WriteLog("CPlayerClientWMP::BringToForeground: failed %x", hr);
}

// ---- library ------------------------------------------------------------------------------------

HRESULT CPlayerClientWMP::DoGetCurrentSong(IPlayerClientSong** song)
{
    CIUnknownPtr<IWMPPlayer4> player;
    HRESULT hr = m_helper ? m_helper->GetPlayer(player.Out()) : E_FAIL;
    if (FAILED(hr))
        return hr;
    CIUnknownPtr<IWMPMedia> media;
    hr = player->get_currentMedia(media.Out());
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMP::DoGetCurrentSong: get_currentMedia failed %x", hr);
        return hr;
    }
    if (!media)
        return S_OK;
    IPlayerClientWmpSongPriv* made = nullptr;
    hr = CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(this, media.Get(), &made);
    return HandOver(hr, made, song);
}

HRESULT CPlayerClientWMP::DoGetCurrentPlaylist(IPlayerClientPlaylist** playlist)
{
    CIUnknownPtr<IWMPPlayer4> player;
    HRESULT hr = m_helper ? m_helper->GetPlayer(player.Out()) : E_FAIL;
    if (FAILED(hr))
        return hr;
    CIUnknownPtr<IWMPPlaylist> current;
    hr = player->get_currentPlaylist(current.Out());
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMP::DoGetCurrentPlaylist: get_currentPlaylist failed %x", hr);
        return hr;
    }
    if (!current)
        return S_OK;
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface(this, current.Get(), 1, &made);
    return HandOver(hr, made, playlist);
}

HRESULT CPlayerClientWMP::DoGetLibraryPlaylist(IPlayerClientPlaylist** playlist)
{
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    const HRESULT hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind(
        this, PlayerClient::CollectionLibrary, QString(), &made);
    return HandOver(hr, made, playlist);
}

HRESULT CPlayerClientWMP::DoGetArtistSongs(const QString& artist, IPlayerClientPlaylist** songs)
{
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    const HRESULT hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind(
        this, PlayerClient::CollectionArtistSongs, artist, &made);
    return HandOver(hr, made, songs);
}

HRESULT CPlayerClientWMP::DoGetAlbumSongs(const QString& album, IPlayerClientPlaylist** songs)
{
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    const HRESULT hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind(
        this, PlayerClient::CollectionAlbumSongs, album, &made);
    return HandOver(hr, made, songs);
}

HRESULT CPlayerClientWMP::DoGetArtistAlbumSongs(const QString& artist, const QString& album,
                                                IPlayerClientPlaylist** songs)
{
    CFileMetadata filter;
    filter.artist = artist;
    filter.album = album;
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    const HRESULT hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind(
        this, PlayerClient::CollectionArtistAlbumSongs, filter, &made);
    return HandOver(hr, made, songs);
}

HRESULT CPlayerClientWMP::DoGetSongsByArtistAlbumTitle(const QString& artist, const QString& album,
                                                       const QString& title, IPlayerClientCollectionSong** songs)
{
    CFileMetadata filter;
    filter.artist = artist;
    filter.album = album;
    filter.title = title;
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    const HRESULT hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind(
        this, PlayerClient::CollectionOneSong, filter, &made);
    return HandOver(hr, made, songs);
}

HRESULT CPlayerClientWMP::DoGetPlaylists(IPlayerClientCollectionPlaylist** playlists)
{
    IPlayerClientWmpCollectionPlaylistPriv* made = nullptr;
    const HRESULT hr = CIPlayerClientWMPCollectionPlaylistImpl::CreateInstance(this, &made);
    return HandOver(hr, made, playlists);
}

HRESULT CPlayerClientWMP::DoGetArtists(IPlayerClientCollectionString** artists)
{
    return CIPlayerClientWMPCollectionStringImpl::CreateInstanceWithKind(this, PlayerClient::CollectionArtists,
                                                                         artists);
}

HRESULT CPlayerClientWMP::DoGetAlbums(IPlayerClientCollectionString** albums)
{
    return CIPlayerClientWMPCollectionStringImpl::CreateInstanceWithKind(this, PlayerClient::CollectionAlbums, albums);
}

HRESULT CPlayerClientWMP::DoGetArtistAlbums(const QString& artist, IPlayerClientCollectionString** albums)
{
    return CIPlayerClientWMPCollectionStringImpl::CreateInstanceWithKindAndFilter(
        this, PlayerClient::CollectionAlbums, artist, albums);
}

HRESULT CPlayerClientWMP::DoGetPlaylistSync(IPlayerClientPlaylistSync** playlistSync)
{
    IPlayerClientWmpPlaylistSyncPriv* made = nullptr;
    const HRESULT hr = CIPlayerClientWmpPlaylistSyncPrivImpl::CreateInstance(this, &made);
    return HandOver(hr, made, playlistSync);
}

HRESULT CPlayerClientWMP::DoGetArtistInfo(const QString& artist, int mask, CArtistInfo* info)
{
    return m_helper ? m_helper->GetArtistInfo(artist, mask, *info) : E_FAIL;
}

HRESULT CPlayerClientWMP::DoGetAlbumInfo(const QString& album, int mask, CAlbumInfo* info)
{
    return m_helper ? m_helper->GetAlbumInfo(album, mask, *info) : E_FAIL;
}

HRESULT CPlayerClientWMP::DoGetArtistAlbumInfo(const QString& artist, const QString& album, int mask,
                                               CAlbumInfo* info)
{
    return m_helper ? m_helper->GetArtistAlbumInfo(artist, album, mask, *info) : E_FAIL;
}
