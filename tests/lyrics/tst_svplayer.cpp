#include "support/testmain.h"

#include <QSignalSpy>

#include "core/resultcodes.h"
#include "lyrics/lyricsplayer.h"
#include "lyrics/svplayer.h"
#include "lyricstesthelpers.h"
#include "platform/wmp/simplayer.h"
#include "players/front/player.h"

using namespace LyricsTest;
using Platform::Wmp::CSimPlayer;

namespace {

const QString LyricsPath = QStringLiteral("/api/v2/lyrics");

PlayingSongInfo Info(const QString& title, const QString& artist, int positionMs = 0, int duration = 200)
{
    PlayingSongInfo info;
    static_cast<SongInfo&>(info) = Song(title, artist);
    info.duration = duration;
    info.position = positionMs;
    return info;
}

// Runs the front's 500 ms poll now.
void Poll()
{
    QVERIFY(QMetaObject::invokeMethod(Player::instance(), "reportCurrentState"));
}

int LastIndex(const QSignalSpy& spy)
{
    return spy.isEmpty() ? -2 : spy.last().first().toInt();
}

} // namespace

class TestSongFollower : public QObject
{
    Q_OBJECT

    CSimPlayer* m_sim = CSimPlayer::Instance();
    SvTest::CFakeSonveroServer* m_server = nullptr;

    // Plays a new song of the simulated player and waits until the front reports it.
    void Play(const QString& title, int seconds)
    {
        QHash<QString, QString> values{{"Title", title}, {"Author", "Band"}, {"WM/AlbumTitle", "Album"},
                                       {"Duration", QString::number(seconds)}};
        QSignalSpy reports(Player::instance(), SIGNAL(playingChanged(PlayingSongInfo)));
        QCOMPARE(m_sim->PlayMedia(m_sim->AddMedia(values)), S_OK);
        QTRY_VERIFY(!reports.isEmpty() && reports.last().first().value<PlayingSongInfo>().title == title);
    }

private slots:
    void initTestCase()
    {
        m_sim->Reset();
        m_sim->Clock().SetManual(true);
        m_sim->SetRunning(true);
        Player::instance()->openPlayer(2);
        QTRY_COMPARE(Player::instance()->playerState(), int(Player::StateRunning));
    }
    void init()
    {
        SvTest::Environment()->Reset();
        m_server = new SvTest::CFakeSonveroServer(this);
        m_server->ConfigureSettings();
    }
    void cleanup()
    {
        m_sim->Stop();
        delete m_server;
    }

    void songChange()
    {
        m_server->SetLyrics(OnService("First", "Band"));
        SvPlayer follower;
        QVERIFY(follower.Init());
        QCOMPARE(follower.GetCurrentLyrics().status, int(SV_E_EMPTY_SONG));
        QSignalSpy activeSong(&follower, &SvPlayer::WhenPlayerActiveSong);
        QStringList order;
        connect(&follower, &SvPlayer::WhenLyricsChanged, this, [&order] { order << "lyrics"; });
        connect(&follower, &SvPlayer::WhenCurrentSongChanged, this, [&order] { order << "song"; });

        Play("First", 200);
        QCOMPARE(order, (QStringList{"lyrics", "song"}));
        QCOMPARE(follower.GetCurrentLyrics().status, int(SongLyrics::StatusRunning));
        QCOMPARE(follower.GetCurrentLyrics().duration, 200);
        QTRY_COMPARE(follower.GetCurrentLyrics().lines.size(), 2);
        QCOMPARE(order, (QStringList{"lyrics", "song", "lyrics"}));

        // The same song, played on or written in other letter case: fields follow, nothing is asked.
        m_sim->Advance(2500);
        Poll();
        QCOMPARE(follower.GetCurrentLyrics().position, 2500);
        PlayingSongInfo shouted = Info("FIRST", "band", 2600);
        shouted.playing = false;
        const int reports = activeSong.count();
        follower.OnPlayingStateChanged(shouted);
        QCOMPARE(activeSong.count(), reports + 1);
        QVERIFY(!follower.GetCurrentLyrics().playing && follower.GetCurrentLyrics().lines.size() == 2);

        // No song (the front's empty report) is a change, to a song that is never asked for.
        for (int i = 0; i < 3; ++i)
            follower.OnPlayingStateChanged(PlayingSongInfo());
        QCOMPARE(follower.GetCurrentLyrics().status, int(SV_E_EMPTY_SONG));
        QCOMPARE(order.count("song"), 2);
        QTest::qWait(20);
        QCOMPARE(m_server->RequestCount(LyricsPath), 1);
    }

    void answersForAnotherSongOrLanguage_data()
    {
        QTest::addColumn<SongLyrics>("asked");
        QTest::addColumn<QString>("log");
        QTest::newRow("another song") << Song("Other", "Band") << "alien lyrics";
        QTest::newRow("another language") << Song("shown", "BAND", "Album", "de") << "alien language";
    }
    void answersForAnotherSongOrLanguage()
    {
        QFETCH(SongLyrics, asked);
        QFETCH(QString, log);
        SvPlayer follower;
        follower.OnPlayingStateChanged(Info("Shown", "Band"));
        QTRY_COMPARE(follower.GetCurrentLyrics().status, int(SongLyrics::StatusDone));
        const SongLyrics before = follower.GetCurrentLyrics();
        QSignalSpy lyricsChanged(&follower, &SvPlayer::WhenLyricsChanged);
        m_server->SetLyrics(OnService(asked.title, asked.artist, 3, asked.language));
        ExpectLog("^SvPlayer::OnLyricsDownloaded: " + log + "$");
        follower.GetLyricsManager().GetLyrics(asked);  // asked by someone else, a view say
        QTRY_COMPARE(follower.GetLyricsManager().GetCurrentLyrics().lines.size(), 2);
        QCOMPARE(lyricsChanged.count(), 0);
        QCOMPARE(SongLyrics::Compare(follower.GetCurrentLyrics(), before), 0);
    }

    void languageChange()
    {
        m_server->SetLyrics(OnService("Song", "Band", 3, "de"));
        SvPlayer follower;
        follower.OnPlayingStateChanged(Info("Song", "Band"));
        QTRY_COMPARE(follower.GetCurrentLyrics().status, int(SongLyrics::StatusDone));
        QVERIFY(follower.GetCurrentLyrics().lines.isEmpty());  // none in the song's own language
        QSignalSpy lyricsChanged(&follower, &SvPlayer::WhenLyricsChanged);
        follower.GetLyricsManager().SetActiveLanguage("de");
        QCOMPARE(follower.GetCurrentLyrics().language, QStringLiteral("de"));
        QCOMPARE(follower.GetCurrentLyrics().status, int(SongLyrics::StatusRunning));
        QTRY_COMPARE(follower.GetCurrentLyrics().lines.size(), 2);
        QCOMPARE(lyricsChanged.count(), 2);

        follower.GetLyricsManager().SetActiveLanguage("de");  // the language shown: nothing
        follower.OnLyricLanguageChanged();
        QTest::qWait(20);
        QCOMPARE(m_server->RequestCount(LyricsPath), 2);
        QCOMPARE(lyricsChanged.count(), 2);
        follower.OnPlayingStateChanged(Info("Next", "Band"));
        QCOMPARE(follower.GetCurrentLyrics().language, QStringLiteral("de"));  // a new song takes the active language
    }

    void restartAtSongEnd_data()
    {
        QTest::addColumn<int>("duration");
        QTest::newRow("200 s song: once, at 199 s") << 200;
        QTest::newRow("unknown length: never") << 0;
    }
    void restartAtSongEnd()
    {
        QFETCH(int, duration);
        const int restarts = duration > 0 ? 1 : 0;
        SvPlayer follower;
        Play("Timed", 200);
        follower.OnPlayingStateChanged(Info("Timed", "Band", 0, duration));
        follower.RestartSongOnFinish();
        QSignalSpy lyricsChanged(&follower, &SvPlayer::WhenLyricsChanged);
        m_sim->ResetCallCounts();
        for (int position : {198999, 199000, 199500, 200000}) {
            follower.OnPlayingStateChanged(Info("Timed", "Band", position, duration));
            QCOMPARE(m_sim->CallCount("IWMPControls::pause"), position < 199000 ? 0 : restarts);
        }
        QCOMPARE(m_sim->CallCount("IWMPControls::stop"), restarts);  // the front's restart: stop, then play
        QCOMPARE(m_sim->CallCount("IWMPControls::play"), restarts);
        QCOMPARE(lyricsChanged.count(), restarts);
        QCOMPARE(follower.IsRestartOnFinishSet(), !restarts);
        follower.RestartSongOnFinish();
        follower.OnPlayingStateChanged(Info("Another", "Band", 0, 100));
        QVERIFY(!follower.IsRestartOnFinishSet());  // cleared by a song change
    }

    void updateAndReloadLyrics()
    {
        SvPlayer follower;
        follower.OnPlayingStateChanged(Info("Song", "Band"));
        QTRY_COMPARE(follower.GetCurrentLyrics().status, int(SongLyrics::StatusDone));
        QSignalSpy lyricsChanged(&follower, &SvPlayer::WhenLyricsChanged);
        SongLyrics timed = follower.GetCurrentLyrics();
        timed.title = "SONG";
        timed.lines = Lines({1000, 2000});
        follower.UpdateLyrics(timed, true);
        QCOMPARE(follower.GetCurrentLyrics().lines, timed.lines);
        QCOMPARE(lyricsChanged.count(), 1);
        timed.lines = Lines({1500, 2500});
        follower.UpdateLyrics(timed, false);
        QCOMPARE(follower.GetCurrentLyrics().lines, timed.lines);
        SongLyrics translated = timed;
        translated.language = "fr";
        translated.lines = Lines({7});
        follower.UpdateLyrics(translated, true);  // another language is not shown
        QCOMPARE(follower.GetCurrentLyrics().lines, timed.lines);
        QCOMPARE(lyricsChanged.count(), 1);
        QTRY_COMPARE(m_server->RequestCount(LyricsPath), 4);  // the query and three uploads

        follower.ReloadLyrics();  // "try again": the service now has the timed lines
        QCOMPARE(follower.GetCurrentLyrics().status, int(SongLyrics::StatusRunning));
        QTRY_COMPARE(follower.GetCurrentLyrics().version, 2);
        QCOMPARE(follower.GetCurrentLyrics().lines, timed.lines);
        QCOMPARE(lyricsChanged.count(), 3);
    }

    void playedSongIsFetchedAndCached()
    {
        // As the program runs: the follower made and initialised at start, a song played, the program ends.
        m_server->SetLyrics(OnService("Tune", "Band", 5));
        auto* follower = new SvPlayer;
        QVERIFY(follower->Init());
        Play("Tune", 100);
        QTRY_COMPARE(follower->GetCurrentLyrics().lines.size(), 2);
        delete follower;
        SongLyrics cached = Song("Tune", "Band");
        QVERIFY(LyricsCache().Get(cached));
        QCOMPARE(cached.version, 5);
    }

    void lineIndex_data()
    {
        QTest::addColumn<CLyricLines>("lines");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("index");
        const CLyricLines lines = Lines({0, 5000, 9000});
        QTest::newRow("4.999 s") << lines << 4999 << 0;
        QTest::newRow("5 s: starts now, not yet") << lines << 5000 << 0;
        QTest::newRow("5.001 s") << lines << 5001 << 1;
        QTest::newRow("20 s") << lines << 20000 << 2;
        QTest::newRow("before the first line") << Lines({3000, 6000}) << 1000 << 0;
        QTest::newRow("two lines at once") << Lines({0, 4000, 4000, 8000}) << 4001 << 2;
        QTest::newRow("no lines: nothing") << CLyricLines() << 0 << -2;
    }
    void lineIndex()
    {
        QFETCH(CLyricLines, lines);
        QFETCH(int, position);
        QFETCH(int, index);
        SongLyrics lyrics;
        lyrics.lines = lines;
        LyricsPlayer player(nullptr, lyrics);
        QSignalSpy shown(&player, &LyricsPlayer::showLyricLine);
        player.OnPlayingStateChanged(Info("Any", "Song", position));
        QCOMPARE(LastIndex(shown), index);
    }

    void lineIndexBetweenPolls()
    {
        SongLyrics lyrics;
        lyrics.lines = Lines({0, 5000, 9000});
        LyricsPlayer player(nullptr, lyrics);
        Player::instance()->disconnect(&player);  // only the reports of this test
        qint64 now = 10000;
        player.SetClock([&now] { return now; });
        QSignalSpy shown(&player, &LyricsPlayer::showLyricLine);
        player.OnPlayingStateChanged(Info("A", "B", 4600));
        now += 400;  // 5000: the line starts now, not yet
        QCOMPARE(player.CurrentLineIndex(), 0);
        now += 1;
        QVERIFY(QMetaObject::invokeMethod(&player, "OnLineTimer"));
        QVERIFY(QMetaObject::invokeMethod(&player, "OnLineTimer"));
        QCOMPARE(shown.count(), 2);  // between polls only changes are told
        QCOMPARE(LastIndex(shown), 1);

        PlayingSongInfo paused = Info("A", "B", 8800);
        paused.playing = false;
        player.OnPlayingStateChanged(paused);
        now += 5000;
        QCOMPARE(player.CurrentLineIndex(), 1);  // paused: the position stands
        player.OnPlayingStateChanged(Info("A", "B", 7000));
        now += 5000;
        QCOMPARE(player.CurrentLineIndex(), 1);  // a player that stops reporting is followed a second at most

        LyricsPlayer real(nullptr, lyrics);  // and on the real clock the change comes by itself
        Player::instance()->disconnect(&real);
        QSignalSpy realShown(&real, &LyricsPlayer::showLyricLine);
        real.OnPlayingStateChanged(Info("A", "B", 4980));
        QTRY_COMPARE(LastIndex(realShown), 1);
        QCOMPARE(realShown.count(), 2);
    }

    void lyricsPlayerFollowsTheFront()
    {
        Play("Followed", 60);
        SongLyrics lyrics;
        lyrics.lines = Lines({0, 5000, 9000});
        LyricsPlayer player(nullptr, lyrics);
        QVERIFY(player.HasTimeline());
        QSignalSpy shown(&player, &LyricsPlayer::showLyricLine);
        m_sim->Advance(6000);
        Poll();
        QCOMPARE(LastIndex(shown), 1);
    }
};

SV_TEST_MAIN(TestSongFollower)
#include "tst_svplayer.moc"
