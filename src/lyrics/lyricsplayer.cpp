#include "lyrics/lyricsplayer.h"

#include "players/front/player.h"

LyricsPlayer::LyricsPlayer(QObject* parent, const SongLyrics& lyrics)
    : QObject(parent)
    , m_lyrics(lyrics)
{
    m_lineTimer.setSingleShot(true);
    m_lineTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_lineTimer, &QTimer::timeout, this, &LyricsPlayer::OnLineTimer);
    connect(Player::instance(), SIGNAL(playingChanged(PlayingSongInfo)), this,
            SLOT(OnPlayingStateChanged(PlayingSongInfo)));
}

int LyricsPlayer::LineIndexAt(const CLyricLines& lines, int positionMs)
{
    if (lines.isEmpty())
        return -1;
    int i = 0;
    while (i < lines.size() && lines.at(i).time < positionMs)
        ++i;
    return qMax(i - 1, 0);
}

int LyricsPlayer::CurrentLineIndex() const
{
    return LineIndexAt(m_lyrics.lines, m_position.Position());
}

void LyricsPlayer::OnPlayingStateChanged(const PlayingSongInfo& info)
{
    if (m_lyrics.lines.isEmpty())
        return;
    m_position.Report(info.position, info.playing);
    m_shownIndex = LineIndexAt(m_lyrics.lines, info.position);
    emit showLyricLine(m_shownIndex);
    ScheduleNextLine();
}

void LyricsPlayer::OnLineTimer()
{
    const int index = CurrentLineIndex();
    if (index != m_shownIndex) {
        m_shownIndex = index;
        emit showLyricLine(index);
    }
    ScheduleNextLine();
}

void LyricsPlayer::ScheduleNextLine()
{
    m_lineTimer.stop();
    if (!m_position.IsPlaying())
        return;
    // The line shown can change only once the position passes the nearest line start ahead of it.
    const int position = m_position.Position();
    qint64 nearest = -1;
    for (const CLyricLine& line : qAsConst(m_lyrics.lines)) {
        if (line.time >= position && (nearest < 0 || line.time < nearest))
            nearest = line.time;
    }
    if (nearest < 0)
        return;
    const qint64 due = nearest + 1;
    if (due > qint64(m_position.ReportedPosition()) + CPlayPosition::MaxExtrapolationMs)
        return;  // the next report comes first
    m_lineTimer.start(static_cast<int>(due - position));
}
