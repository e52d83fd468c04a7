#include "lyrics/svplayer.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "players/front/player.h"

namespace {

// A new value for the song of info: its song fields, playing flag and position; no lyrics yet.
SongLyrics NewSongLyrics(const PlayingSongInfo& info, const QString& language)
{
    SongLyrics lyrics;
    static_cast<PlayingSongInfo&>(lyrics) = info;
    lyrics.language = language;
    return lyrics;
}

} // namespace

SvPlayer::SvPlayer(QObject* parent)
    : QObject(parent)
{
    m_current.status = SV_E_EMPTY_SONG;
    connect(&m_manager, &LyricsManager::WhenLyricsDownloaded, this, &SvPlayer::OnLyricsDownloaded);
    connect(&m_manager, &LyricsManager::languageChanged, this, &SvPlayer::OnLyricLanguageChanged);
}

bool SvPlayer::Init()
{
    return connect(Player::instance(), SIGNAL(playingChanged(PlayingSongInfo)), this,
                   SLOT(OnPlayingStateChanged(PlayingSongInfo)), Qt::UniqueConnection);
}

void SvPlayer::RestartSongOnFinish()
{
    WriteLog("SvPlayer::RestartSongOnFinish:");
    m_restartOnFinish = true;
}

void SvPlayer::OnPlayingStateChanged(const PlayingSongInfo& info)
{
    if (SongInfo::IsSameSong(info, m_current)) {
        static_cast<PlayingSongInfo&>(m_current) = info;
    } else {
        m_current = NewSongLyrics(info, m_manager.GetActiveLanguage());
        m_restartOnFinish = false;
        WriteLog("SvPlayer::OnPlayingStateChanged: change to %ls", qUtf16Printable(m_current.ToString()));
        FetchLyrics();
        emit WhenLyricsChanged();
        emit WhenCurrentSongChanged();
    }
    emit WhenPlayerActiveSong();

    // A song of unknown length (a stream) would "end" at once.
    if (m_restartOnFinish && m_current.duration > 0) {
        const int seconds = m_current.position / 1000;
        if (m_current.duration - 1 <= seconds) {
            Player* player = Player::instance();
            player->pause();
            m_restartOnFinish = false;
            WriteLog("SvPlayer::OnPlayingStateChanged: restart at %d (d=%d)", seconds, m_current.duration);
            player->restart();
            emit WhenLyricsChanged();
        }
    }
}

void SvPlayer::OnLyricsDownloaded()
{
    const SongLyrics& arrived = m_manager.GetCurrentLyrics();
    if (!SongInfo::IsSameSong(arrived, m_current)) {
        WriteLog("SvPlayer::OnLyricsDownloaded: alien lyrics");
        return;
    }
    if (arrived.language != m_current.language) {
        WriteLog("SvPlayer::OnLyricsDownloaded: alien language");
        return;
    }
    m_current.AssignLyricsFrom(arrived);
    emit WhenLyricsChanged();
}

void SvPlayer::OnLyricLanguageChanged()
{
    const QString language = m_manager.GetActiveLanguage();
    if (language == m_current.language)
        return;
    WriteLog("SvPlayer::OnLyricLanguageChanged: lang[%ls]", qUtf16Printable(language));
    m_current = NewSongLyrics(m_current, language);
    FetchLyrics();
    emit WhenLyricsChanged();
}

void SvPlayer::UpdateLyrics(const SongLyrics& lyrics, bool notify)
{
    m_manager.UpdateLyrics(lyrics);
    if (!SongLyrics::IsSameLyrics(lyrics, m_current))
        return;
    m_current.lines = lyrics.lines;
    if (notify)
        emit WhenLyricsChanged();
}

void SvPlayer::FetchLyrics()
{
    // A cached entry brings its own song fields; the player's report of the song stays what counts.
    const PlayingSongInfo song = m_current;
    m_manager.GetLyrics(m_current);
    static_cast<PlayingSongInfo&>(m_current) = song;
}

void SvPlayer::ReloadLyrics()
{
    FetchLyrics();
    emit WhenLyricsChanged();
}
