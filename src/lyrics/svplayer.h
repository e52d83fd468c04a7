#pragma once
// The song follower: ties the song the media player plays to its lyrics in the active lyric language,
// and restarts the song at its end when asked (after the user has timed its lyrics).
#include <QObject>

#include "core/songtypes.h"
#include "lyrics/lyricsmanager.h"

class SvPlayer : public QObject
{
    Q_OBJECT
public:
    explicit SvPlayer(QObject* parent = nullptr);

    // Follows the player front's reports; called once when the program has started.
    bool Init();

    void RestartSongOnFinish();
    bool IsRestartOnFinishSet() const { return m_restartOnFinish; }
    // Hands timed lyrics to the manager (cache and upload) and shows them when they are the current song's.
    void UpdateLyrics(const SongLyrics& lyrics, bool notify);
    // Asks the manager again for the current song ("try again").
    void ReloadLyrics();

    LyricsManager& GetLyricsManager() { return m_manager; }
    const SongLyrics& GetCurrentLyrics() const { return m_current; }

signals:
    void WhenPlayerActiveSong();
    void WhenLyricsChanged();
    void WhenCurrentSongChanged();

public slots:
    void OnPlayingStateChanged(const PlayingSongInfo& info);
    void OnLyricsDownloaded();
    void OnLyricLanguageChanged();

private:
    void FetchLyrics();

    LyricsManager m_manager;
    SongLyrics m_current;
    bool m_restartOnFinish = false;
};
