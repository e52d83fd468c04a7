#include "players/front/player.h"

#include "players/front/musicplayer.h"

namespace {

Player* g_player = nullptr;

void RegisterPlayerTypes()
{
    qRegisterMetaType<Player::CEvents>("Player::CEvents");
    qRegisterMetaType<Player::ButtonsState>("Player::ButtonsState");
    qRegisterMetaType<PlayingSongInfo>("PlayingSongInfo");
    qRegisterMetaType<SongInfo>("SongInfo");
}

} // namespace

Player::Player(QObject* parent) : QObject(parent)
{
    RegisterPlayerTypes();
    connect(this, static_cast<void (Player::*)(double)>(&Player::volumeChanged), this, &Player::onVolumeChanged);
    connect(this, static_cast<void (Player::*)(PlayingSongInfo)>(&Player::playingChanged), this,
            &Player::onPlayingChanged);
}

Player::~Player()
{
    if (g_player == this)
        g_player = nullptr;
}

Player* Player::instance()
{
    if (!g_player)
        g_player = new MusicPlayer();
    return g_player;
}

void Player::destroyInstance()
{
    if (!g_player)
        return;
    Player* front = g_player;
    g_player = nullptr;
    front->disconnect();
    front->deleteLater();
}

bool Player::isPlayerInstalled(int id)
{
    Q_UNUSED(id);
    return true;
}

void Player::playPause(bool play)
{
    if (play)
        this->play();
    else
        pause();
}

void Player::setVolume(int volume)
{
    setVolume(double(volume));
}

void Player::setPlayerState(int state, bool playerChanged)
{
    const int old = m_playerState;
    m_playerState = state;
    CEvents events;
    if (playerChanged)
        events |= EventPlayerChanged;
    const bool wasRunning = old == StateRunning;
    const bool running = state == StateRunning;
    if (wasRunning != running)
        events |= running ? CEvents(EventRunning) : CEvents(EventStopped | EventWasRunning);
    else if (running && playerChanged)
        events |= EventWasRunning | EventRunning;
    if (events)
        emit WhenEvent(events);
    if (events.testFlag(EventPlayerChanged))
        emit WhenPlayerChanged();
}

void Player::onPlayingChanged(PlayingSongInfo info)
{
    emit playingChanged(info.playing);
}

void Player::onVolumeChanged(double volume)
{
    emit volumeChanged(int(volume));
}
