#pragma once
// The clock of a lyrics view: holds one song's lines and tells, from the player front's position reports
// and the time since the last one, which line is being sung.
#include <QObject>
#include <QTimer>

#include "core/songtypes.h"
#include "lyrics/playposition.h"

class LyricsPlayer : public QObject
{
    Q_OBJECT
public:
    // Copies the lyrics and follows the player front's position reports.
    LyricsPlayer(QObject* parent, const SongLyrics& lyrics);

    bool HasTimeline() const { return m_lyrics.lines.HasValidTimeline(); }
    const SongLyrics& GetLyrics() const { return m_lyrics; }

    // The line whose start has passed most recently at positionMs (a line starting exactly then has not
    // started yet); the first line before any has started. -1 without lines.
    static int LineIndexAt(const CLyricLines& lines, int positionMs);
    // The line at the interpolated position.
    int CurrentLineIndex() const;

    // For tests: the clock of the interpolation.
    void SetClock(CPlayPosition::CClock clock) { m_position.SetClock(std::move(clock)); }

signals:
    void showLyricLine(int index);

public slots:
    void OnPlayingStateChanged(const PlayingSongInfo& info);

private slots:
    void OnLineTimer();

private:
    void ScheduleNextLine();

    SongLyrics m_lyrics;
    CPlayPosition m_position;
    QTimer m_lineTimer;  // fires when the next line starts between two reports
    int m_shownIndex = -1;
};
