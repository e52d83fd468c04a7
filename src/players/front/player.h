#pragma once
// The one object through which the program drives the user's media player and learns what it plays.
// Player::instance() makes the process-wide front (a MusicPlayer) on first use.
#include <QFlags>
#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QVector>

#include "core/songtypes.h"

class Player : public QObject
{
    Q_OBJECT
public:
    // Bits of WhenEvent.
    enum CEvent : int
    {
        EventPlayerChanged = 0x1,  // the active player changed
        EventWasRunning = 0x2,     // the player state was 2 before
        EventRunning = 0x4,        // the player state is 2 now
        EventStopped = 0x8,        // the player state is not 2 now
    };
    Q_DECLARE_FLAGS(CEvents, CEvent)

    // One transport button as the front shows it.
    struct ButtonState
    {
        bool checked = false;
        bool enabled = true;

        bool operator==(const ButtonState& other) const
        {
            return checked == other.checked && enabled == other.enabled;
        }
    };
    // Entries: 0 play/pause, 1 previous, 2 next, 3 mute, 7 shuffle, 8 repeat off, 9 repeat all, 10 repeat one.
    class ButtonsState : public QVector<ButtonState>
    {
    public:
        enum : int
        {
            PlayPause = 0,
            Previous = 1,
            Next = 2,
            Mute = 3,
            Shuffle = 7,
            RepeatOff = 8,
            RepeatAll = 9,
            RepeatOne = 10,
            Count = 11,
        };
        ButtonsState() : QVector<ButtonState>(Count) {}
    };

    // Player states.
    enum : int
    {
        StateNotRunning = 0,
        StateStarting = 1,
        StateRunning = 2,
    };

    explicit Player(QObject* parent = nullptr);
    ~Player() override;

    // The process-wide front, made on first call.
    static Player* instance();

    // 0 not running, 1 starting, 2 running.
    int playerState() const { return m_playerState; }

    // Lets the process-wide instance go (deferred), with every signal disconnected.
    virtual void destroyInstance();
    // Player id -> display name.
    virtual QMap<int, QString> availablePlayers() = 0;
    virtual void openPlayer(int id) = 0;
    // 0 without an active player.
    virtual int activePlayerId() = 0;
    virtual QString activePlayerName() = 0;
    virtual double volume() = 0;
    virtual bool isPlayerInstalled(int id);

public slots:
    void playPause(bool play);
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void mute(bool on) = 0;
    virtual void next() = 0;
    virtual void prev() = 0;
    virtual void restart() = 0;
    virtual void showSystemPlayer() = 0;
    // Whole seconds.
    virtual void setPosition(int seconds) = 0;
    virtual void setVolume(int volume);
    virtual void setVolume(double volume) = 0;
    virtual bool isPlaying() = 0;
    virtual bool isShuffle() = 0;
    virtual void setShuffle(bool on) = 0;
    // 0 off, 1 all, 2 one.
    virtual void setRepeatMode(int mode) = 0;
    virtual void updateButtons() = 0;

signals:
    void WhenEvent(Player::CEvents events);
    void WhenPlayerChanged();
    void stateChanged(Player::ButtonsState buttons);
    void playingChanged(PlayingSongInfo info);
    void playingChanged(bool playing);
    void volumeChanged(double volume);
    void volumeChanged(int volume);
    // For listeners; the front does not emit it.
    void songLoaded(SongInfo song);

protected:
    // Stores the state and reports the change through WhenEvent (and WhenPlayerChanged).
    void setPlayerState(int state, bool playerChanged);

private slots:
    void onPlayingChanged(PlayingSongInfo info);
    void onVolumeChanged(double volume);

private:
    int m_playerState = StateNotRunning;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Player::CEvents)
Q_DECLARE_METATYPE(Player::CEvents)
Q_DECLARE_METATYPE(Player::ButtonsState)
