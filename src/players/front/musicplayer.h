#pragma once
// The player front over the player clients: polls the active client every 500 ms and turns what it
// finds into the front's signals; sends transport requests to the active client.
#include <QSystemTrayIcon>

#include "platform/com/combase.h"
#include "players/front/player.h"

class QAction;
class QTimer;
class CPlayerClientBase;
class CPlayerClientDispatcher;
struct IPlayerClientSong;

class MusicPlayer : public Player
{
    Q_OBJECT
public:
    explicit MusicPlayer(QObject* parent = nullptr);
    ~MusicPlayer() override;

    CPlayerClientDispatcher* GetDispatcher() const { return m_dispatcher; }
    // The active client's current song with one reference for the caller; null when there is none.
    IPlayerClientSong* GetCurrentSong();

    QMap<int, QString> availablePlayers() override;
    void openPlayer(int id) override;
    int activePlayerId() override;
    QString activePlayerName() override;
    double volume() override;
    bool isPlayerInstalled(int id) override;

    using Player::setVolume;
    void play() override;
    void pause() override;
    void stop() override;
    void mute(bool on) override;
    void next() override;
    void prev() override;
    void restart() override;
    void showSystemPlayer() override;
    void setPosition(int seconds) override;
    void setVolume(double volume) override;
    bool isPlaying() override;
    bool isShuffle() override;
    void setShuffle(bool on) override;
    void setRepeatMode(int mode) override;
    void updateButtons() override;

public slots:
    void onPlayerShutdown();
    void onPlayerWakeUp();

private slots:
    void onAnotherPlayerStarted(CPlayerClientBase* client);
    void onActivePlayerPlayingChanged(bool playing);
    void onActivePlayerRunningChanged(int state, int oldState);
    void onActivePlayerChanged();
    void onITunesRunningChanged(int state, int oldState);
    void showTrayAlert(QString title, QString text, QSystemTrayIcon::MessageIcon icon, QAction* action);
    void reportCurrentState();

private:
    // Twelve button words, indexed by client button number.
    enum : int
    {
        WordCount = 12,
    };
    struct CSnapshot
    {
        double volume = 0.0;
        PlayingSongInfo info;
        int words[WordCount] = {};
        bool muted = false;
        bool hasPlayer = false;
    };
    struct CMediaInfo
    {
        QString title;
        QString artist;
        QString album;
        QString location;
        int number = 0;
        int duration = 0;
    };

    CPlayerClientBase* activeClient() const;
    void updateState();
    void updateButtonsState();
    void reloadMediaInfo();
    PlayingSongInfo makePlayingSongInfo() const;
    HRESULT playWhenNoCurrentSong();
    // With no current song on client, plays as above (failures logged under method) and answers true.
    bool playIfNoCurrentSong(CPlayerClientBase* client, const char* method);

    CPlayerClientDispatcher* m_dispatcher;
    CPlayerClientBase* m_clients[4] = {};
    double m_lastVolume = 0.0;
    bool m_volumePending = false;
    CSnapshot m_snapshot;
    ButtonsState m_buttons;
    CMediaInfo m_media;
    bool m_playWhenStarted = false;
    QTimer* m_pollTimer;
};
