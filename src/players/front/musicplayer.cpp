#include "players/front/musicplayer.h"

#include <QTimer>

#include "core/log.h"
#include "core/resultcodes.h"
#include "players/playerclientbase.h"
#include "players/playerclientdispatcher.h"
#include "players/playerclientitunes.h"
#include "players/wmp/playerclientwmp.h"

namespace {

constexpr int kPollInterval = 500;

bool WordEnabled(int word)
{
    return (word & PlayerClient::ButtonEnabled) != 0;
}

bool WordChecked(int word)
{
    return (word & PlayerClient::ButtonChecked) != 0;
}

// The file name without folder and without its last suffix ("Mr. Big - Title" of "x/Mr. Big - Title.mp3").
QString FileBaseName(const QString& location)
{
    const int slash = qMax(location.lastIndexOf(QLatin1Char('/')), location.lastIndexOf(QLatin1Char('\\')));
    const QString name = location.mid(slash + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? name.left(dot) : name;
}

} // namespace

MusicPlayer::MusicPlayer(QObject* parent)
    : Player(parent), m_dispatcher(new CPlayerClientDispatcher(this)), m_pollTimer(nullptr)
{
    connect(m_dispatcher, &CPlayerClientDispatcher::WhenActiveChanged, this, &MusicPlayer::onActivePlayerChanged);
    connect(m_dispatcher, &CPlayerClientDispatcher::WhenActiveRunningChanged, this,
            &MusicPlayer::onActivePlayerRunningChanged);
    connect(m_dispatcher, &CPlayerClientDispatcher::WhenActivePlayingChanged, this,
            &MusicPlayer::onActivePlayerPlayingChanged);
    connect(m_dispatcher, &CPlayerClientDispatcher::WhenAnotherStarted, this, &MusicPlayer::onAnotherPlayerStarted);
    connect(m_dispatcher, &CPlayerClientDispatcher::WhenActiveShutdown, this, &MusicPlayer::onPlayerShutdown);
    connect(m_dispatcher, &CPlayerClientDispatcher::WhenActiveWakeUp, this, &MusicPlayer::onPlayerWakeUp);

    CPlayerClientITunes* iTunes = new CPlayerClientITunes(m_dispatcher);
    m_clients[PlayerClient::KindITunes] = iTunes;
    connect(iTunes, &CPlayerClientBase::WhenRunningChanged, this, &MusicPlayer::onITunesRunningChanged);
    m_clients[PlayerClient::KindWmp] = new CPlayerClientWMP(m_dispatcher);

    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(kPollInterval);
    connect(m_pollTimer, &QTimer::timeout, this, &MusicPlayer::reportCurrentState);
    m_pollTimer->start();
}

MusicPlayer::~MusicPlayer() = default;

CPlayerClientBase* MusicPlayer::activeClient() const
{
    return m_dispatcher->GetActive();
}

IPlayerClientSong* MusicPlayer::GetCurrentSong()
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return nullptr;
    IPlayerClientSong* song = nullptr;
    if (FAILED(client->GetCurrentSong(&song)))
        return nullptr;
    return song;
}

// ---- players ------------------------------------------------------------------------------------

QMap<int, QString> MusicPlayer::availablePlayers()
{
    QMap<int, QString> players;
    for (int id = 0; id < 4; ++id) {
        if (m_clients[id])
            players.insert(id, m_clients[id]->GetName());
    }
    return players;
}

bool MusicPlayer::isPlayerInstalled(int id)
{
    CPlayerClientBase* client = m_dispatcher->FindClient(id);
    return client && client->IsInstalled();
}

int MusicPlayer::activePlayerId()
{
    CPlayerClientBase* client = activeClient();
    return client ? client->GetId() : 0;
}

QString MusicPlayer::activePlayerName()
{
    CPlayerClientBase* client = activeClient();
    return client ? client->GetName() : QString();
}

void MusicPlayer::openPlayer(int id)
{
    if (id > 3) {
        WriteLog("MusicPlayer::openPlayer: invalid id(%d)", id);
        return;
    }
    pause();
    CPlayerClientBase* client = m_dispatcher->FindClient(id);
    if (!client) {
        WriteLog("MusicPlayer::openPlayer: unavailable id(%d)", id);
        return;
    }
    if (!client->IsInstalled()) {
        WriteLog("MusicPlayer::openPlayer: id=%d [%ls]: not installed", id, qUtf16Printable(client->GetName()));
        m_dispatcher->SetActive(client);
        return;
    }
    if (!CPlayerClientBase::IsStateRunning(client->GetRunningState())) {
        WriteLog("MusicPlayer::openPlayer: will start id=%d [%ls]", id, qUtf16Printable(client->GetName()));
        setPlayerState(StateStarting, false);
        client->Start(true);
    }
    m_dispatcher->SetActive(client);
}

void MusicPlayer::showSystemPlayer()
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("showing system player"));
    if (CPlayerClientBase::IsStateRunning(client->GetRunningState()))
        client->BringToForeground();
    else
        client->Start(false);
}

// ---- transport ----------------------------------------------------------------------------------

HRESULT MusicPlayer::playWhenNoCurrentSong()
{
    CPlayerClientBase* client = activeClient();
    if (!client) {
        WriteLog("MusicPlayer::playWhenNoCurrentSong: no active player");
        return SV_E_NO_ACTIVE_PLAYER;
    }
    IPlayerClientPlaylist* playlist = nullptr;
    HRESULT hr = client->GetCurrentPlaylist(&playlist);
    if (FAILED(hr))
        WriteLog("MusicPlayer::playWhenNoCurrentSong: GetCurrentPlaylist failed %x", hr);
    if (playlist && playlist->GetItemCount() < 1) {
        playlist->Release();
        playlist = nullptr;
    }
    if (!playlist) {
        hr = client->GetLibraryPlaylist(&playlist);
        if (FAILED(hr)) {
            WriteLog("MusicPlayer::playWhenNoCurrentSong: GetLibraryPlaylist failed %x", hr);
            return hr;
        }
        if (!playlist) {
            WriteLog("MusicPlayer::playWhenNoCurrentSong: GetLibraryPlaylist failed %x", E_FAIL);
            return E_FAIL;
        }
    }
    hr = playlist->Play();
    playlist->Release();
    if (FAILED(hr)) {
        WriteLog("MusicPlayer::playWhenNoCurrentSong: Play failed %x", hr);
        return hr;
    }
    return S_OK;
}

bool MusicPlayer::playIfNoCurrentSong(CPlayerClientBase* client, const char* method)
{
    IPlayerClientSong* song = nullptr;
    const HRESULT hr = client->GetCurrentSong(&song);
    if (song) {
        song->Release();
        return false;
    }
    if (FAILED(hr))
        WriteLog("MusicPlayer::%s: GetCurrentSong failed %x", method, hr);
    const HRESULT played = playWhenNoCurrentSong();
    if (FAILED(played))
        WriteLog("MusicPlayer::%s: playWhenNoCurrentSong failed %x", method, played);
    return true;
}

void MusicPlayer::play()
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("clicking play"));
    m_playWhenStarted = false;
    if (!CPlayerClientBase::IsStateRunning(client->GetRunningState())) {
        m_playWhenStarted = true;
        client->Start(false);
        return;
    }
    if (!playIfNoCurrentSong(client, "play"))
        client->ClickButton(PlayerClient::ButtonPlay);
}

void MusicPlayer::prev()
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("clicking previous"));
    if (!playIfNoCurrentSong(client, "prev"))
        client->ClickButton(PlayerClient::ButtonPrevious);
}

void MusicPlayer::next()
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("clicking next"));
    playIfNoCurrentSong(client, "next");
    client->ClickButton(PlayerClient::ButtonNext);
}

void MusicPlayer::pause()
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("clicking pause"));
    client->ClickButton(PlayerClient::ButtonPause);
}

void MusicPlayer::restart()
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("clicking restart"));
    client->ClickButton(PlayerClient::ButtonRestart);
}

void MusicPlayer::stop() {}

void MusicPlayer::mute(bool on)
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("clicking mute %1").arg(int(on)));
    client->CheckButton(PlayerClient::ButtonMute, on);
    m_snapshot.muted = on;
}

void MusicPlayer::setShuffle(bool on)
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("clicking shuffle %1").arg(int(on)));
    client->CheckButton(PlayerClient::ButtonShuffle, on);
    if (on)
        m_snapshot.words[PlayerClient::ButtonShuffle] |= PlayerClient::ButtonChecked;
    else
        m_snapshot.words[PlayerClient::ButtonShuffle] &= ~PlayerClient::ButtonChecked;
}

void MusicPlayer::setRepeatMode(int mode)
{
    CPlayerClientBase* client = activeClient();
    if (!client || mode < 0 || mode > 2)
        return;
    DebugPrint(QStringLiteral("clicking repeat %1").arg(mode));
    const int selected = PlayerClient::ButtonRepeatOff + mode;
    client->CheckButton(selected, true);
    for (int button = PlayerClient::ButtonRepeatOff; button <= PlayerClient::ButtonRepeatOne; ++button) {
        int& word = m_snapshot.words[button];
        word &= PlayerClient::ButtonEnabled;
        if (button == selected)
            word |= PlayerClient::ButtonChecked;
    }
}

void MusicPlayer::setPosition(int seconds)
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    if (client->GetPlayPositionSecs() != seconds) {
        DebugPrint(QStringLiteral("setting position %1").arg(seconds));
        client->SetPlayPositionSecs(seconds);
    }
}

void MusicPlayer::setVolume(double volume)
{
    CPlayerClientBase* client = activeClient();
    if (!client)
        return;
    DebugPrint(QStringLiteral("setting volume %1").arg(volume));
    client->SetVolume(volume);
    m_snapshot.volume = volume;
    if (m_snapshot.muted && volume > 0.0) {
        // Turning the volume up unmutes the player itself, not only what the front shows.
        m_snapshot.muted = false;
        client->CheckButton(PlayerClient::ButtonMute, false);
    }
}

double MusicPlayer::volume()
{
    return m_snapshot.volume;
}

bool MusicPlayer::isPlaying()
{
    return WordEnabled(m_snapshot.words[PlayerClient::ButtonPause]);
}

bool MusicPlayer::isShuffle()
{
    CPlayerClientBase* client = activeClient();
    return client && WordChecked(client->GetButtonState(PlayerClient::ButtonShuffle));
}

void MusicPlayer::updateButtons()
{
    updateState();
}

// ---- snapshot and poll --------------------------------------------------------------------------

void MusicPlayer::updateState()
{
    CPlayerClientBase* client = activeClient();
    if (!client) {
        for (int& word : m_snapshot.words)
            word = 0;
        m_snapshot.info = PlayingSongInfo();
        m_snapshot.hasPlayer = false;
        return;
    }
    m_snapshot.hasPlayer = true;
    int* words = m_snapshot.words;
    client->GetButtonStates(&words[PlayerClient::ButtonPrevious], &words[PlayerClient::ButtonPlay],
                            &words[PlayerClient::ButtonPause], &words[PlayerClient::ButtonNext]);
    m_snapshot.volume = client->GetVolume();
    m_snapshot.muted = WordChecked(client->GetButtonState(PlayerClient::ButtonMute));
    for (int button = PlayerClient::ButtonShuffle; button <= PlayerClient::ButtonRepeatOne; ++button)
        words[button] = client->GetButtonState(button);
}

void MusicPlayer::updateButtonsState()
{
    const int* words = m_snapshot.words;
    m_buttons[ButtonsState::Mute] = {m_snapshot.muted, true};
    const bool playing = WordEnabled(words[PlayerClient::ButtonPause]);
    m_buttons[ButtonsState::PlayPause] = {playing, true};
    m_snapshot.info.playing = playing;
    const int map[][2] = {
        {ButtonsState::Previous, PlayerClient::ButtonPrevious},
        {ButtonsState::Next, PlayerClient::ButtonNext},
        {ButtonsState::Shuffle, PlayerClient::ButtonShuffle},
        {ButtonsState::RepeatOff, PlayerClient::ButtonRepeatOff},
        {ButtonsState::RepeatAll, PlayerClient::ButtonRepeatAll},
        {ButtonsState::RepeatOne, PlayerClient::ButtonRepeatOne},
    };
    for (const auto& entry : map)
        m_buttons[entry[0]] = {WordChecked(words[entry[1]]), WordEnabled(words[entry[1]])};
}

void MusicPlayer::reloadMediaInfo()
{
    m_media = CMediaInfo();
    CPlayerClientBase* client = activeClient();
    if (client)
        client->GetMediaInfo(m_media.artist, m_media.title, m_media.album, m_media.duration, m_media.location);
}

PlayingSongInfo MusicPlayer::makePlayingSongInfo() const
{
    if (!activeClient())
        return PlayingSongInfo();
    if (m_media.title.isEmpty() && m_media.artist.isEmpty() && m_media.album.isEmpty())
        return PlayingSongInfo();
    PlayingSongInfo info;
    info.title = m_media.title;
    info.artist = m_media.artist;
    info.album = m_media.album;
    info.location = m_media.location;
    info.number = 0;
    info.duration = m_media.duration;
    if (!m_media.location.isEmpty()) {
        // "Artist - Title.mp3": a name with dots ("Mr. Big", "Vol. 2") loses only its suffix.
        const QString base = FileBaseName(m_media.location);
        const int dash = base.indexOf(QLatin1Char('-'));
        if (dash > 0) {
            const QString left = base.left(dash).trimmed();
            const QString right = base.mid(dash + 1).trimmed();
            if (info.artist.isEmpty())
                info.artist = left;
            if (info.title.isEmpty() || info.title == base)
                info.title = right;
        }
    }
    return info;
}

void MusicPlayer::reportCurrentState()
{
    updateButtonsState();
    if (!m_snapshot.hasPlayer) {
        emit stateChanged(m_buttons);
        emit playingChanged(PlayingSongInfo());
        setPlayerState(StateNotRunning, false);
        return;
    }
    const double current = volume();
    if (current != m_lastVolume) {
        m_lastVolume = current;
        m_volumePending = true;
    } else if (m_volumePending) {
        m_volumePending = false;
        emit volumeChanged(current);
    }
    CPlayerClientBase* client = activeClient();
    const int position = client ? client->GetPlayPositionMSecs() : 0;
    if (qAbs(position - m_snapshot.info.position) > 2 * kPollInterval)
        reloadMediaInfo();
    PlayingSongInfo info = makePlayingSongInfo();
    info.playing = m_snapshot.info.playing;
    info.position = position;
    m_snapshot.info = info;
    emit stateChanged(m_buttons);
    emit playingChanged(info);
}

// ---- client events ------------------------------------------------------------------------------

void MusicPlayer::onActivePlayerChanged()
{
    WriteLog("MusicPlayer::OnActivePlayerChanged:");
    updateState();
    CPlayerClientBase* client = activeClient();
    if (client) {
        const bool running = CPlayerClientBase::IsStateRunning(client->GetRunningState());
        if (running) {
            WriteLog("MusicPlayer::OnActivePlayerChanged: connected to running [%ls]",
                     qUtf16Printable(client->GetName()));
            setPlayerState(StateRunning, true);
            return;
        }
        WriteLog("MusicPlayer::OnActivePlayerChanged: connected to not running [%ls]",
                 qUtf16Printable(client->GetName()));
    } else {
        WriteLog("MusicPlayer::OnActivePlayerChanged: connected to nothing");
    }
    setPlayerState(StateNotRunning, true);
}

void MusicPlayer::onActivePlayerRunningChanged(int state, int oldState)
{
    Q_UNUSED(oldState);
    WriteLog("MusicPlayer::onActivePlayerRunningChanged: st=%d", state);
    const bool running = CPlayerClientBase::IsStateRunning(state);
    setPlayerState(running ? StateRunning : StateNotRunning, false);
    if (running && m_playWhenStarted)
        play();
}

void MusicPlayer::onActivePlayerPlayingChanged(bool playing)
{
    Q_UNUSED(playing);
    updateState();
    if (m_dispatcher->IsActiveRunning(false)) {
        reloadMediaInfo();
        reportCurrentState();
    }
}

void MusicPlayer::onPlayerWakeUp()
{
    WriteLog("MusicPlayer::onPlayerWakeUp");
    updateState();
    reloadMediaInfo();
    reportCurrentState();
    setPlayerState(StateRunning, false);
}

void MusicPlayer::onPlayerShutdown()
{
    WriteLog("MusicPlayer::onPlayerShutdown");
    reloadMediaInfo();
    m_snapshot.info = PlayingSongInfo();
    setPlayerState(StateNotRunning, false);
}

void MusicPlayer::onAnotherPlayerStarted(CPlayerClientBase* client)
{
    DebugPrint(QStringLiteral("another player started: id=%1").arg(client ? client->GetId() : 0));
}

void MusicPlayer::onITunesRunningChanged(int state, int oldState)
{
    DebugPrint(QStringLiteral("itunes running changed %1 %2").arg(state).arg(oldState));
}

void MusicPlayer::showTrayAlert(QString title, QString text, QSystemTrayIcon::MessageIcon icon, QAction* action)
{
    Q_UNUSED(title);
    Q_UNUSED(text);
    Q_UNUSED(icon);
    Q_UNUSED(action);
}
