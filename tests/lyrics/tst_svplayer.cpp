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

PlayingSongInfo Info(const QString& title, const QString& artist, int positionMs = 0, int duration = 200, bool playing = true)
{
    PlayingSongInfo info = Song(title, artist);
    info.duration = duration, info.position = positionMs, info.playing = playing;
    return info;
}

int LastIndex(const QSignalSpy& spy) { return spy.isEmpty() ? -2 : spy.last().first().toInt(); }

} // namespace

class TestSongFollower : public QObject
{
    Q_OBJECT

    CSimPlayer* m_sim = CSimPlayer::Instance();
    SvTest::CFakeSonveroServer* m_server = nullptr;

    // Plays a new song of the simulated player and waits until the front reports it.
    void Play(const QString& title)
    {
        const QHash<QString, QString> values{{"Title", title}, {"Author", "Band"}, {"WM/AlbumTitle", "Album"}, {"Duration", "200"}};
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
    void cleanup() { m_sim->Stop(); delete m_server; }

    void songChange()
    {
        // As the program runs: the follower made and initialised at start, then a song played.
        m_server->SetLyrics(OnService("First", "Band"));
        SvPlayer follower;
        QVERIFY(follower.Init());
        QSignalSpy activeSong(&follower, &SvPlayer::WhenPlayerActiveSong);
        QStringList order;
        connect(&follower, &SvPlayer::WhenLyricsChanged, this, [&order] { order << "lyrics"; });
        connect(&follower, &SvPlayer::WhenCurrentSongChanged, this, [&order] { order << "song"; });

        Play("First");
        QCOMPARE(order, (QStringList{"lyrics", "song"}));
        QCOMPARE(follower.GetCurrentLyrics().status, int(SongLyrics::StatusRunning));
        QTRY_COMPARE(follower.GetCurrentLyrics().lines.size(), 2);
        QCOMPARE(order, (QStringList{"lyrics", "song", "lyrics"}));
        LyricsPlayer player(nullptr, follower.GetCurrentLyrics());  // a view's player follows the front
        QSignalSpy shown(&player, &LyricsPlayer::showLyricLine);
        m_sim->Advance(3980);
        QVERIFY(QMetaObject::invokeMethod(Player::instance(), "reportCurrentState"));  // the front's 500 ms poll
        QCOMPARE(LastIndex(shown), 0);
        QTRY_COMPARE(LastIndex(shown), 1);  // and the next line comes on the real clock, between polls

        // The same song, played on or written in other letter case: fields follow, nothing is asked.
        const int reports = activeSong.count();
        follower.OnPlayingStateChanged(Info("FIRST", "band", 2600, 200, false));
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

    void languageChangeAndDroppedAnswers()
    {
        m_server->SetLyrics(OnService("Shown", "Band", 3, "de"));  // none in the song's own language
        m_server->SetLyrics(OnService("Other", "Band"));
        SvPlayer follower;
        LyricsManager& manager = follower.GetLyricsManager();
        follower.OnPlayingStateChanged(Info("Shown", "Band"));
        QTRY_COMPARE(follower.GetCurrentLyrics().status, int(SongLyrics::StatusDone));
        QSignalSpy lyricsChanged(&follower, &SvPlayer::WhenLyricsChanged);
        manager.SetActiveLanguage("de");
        QCOMPARE(follower.GetCurrentLyrics().language, QStringLiteral("de"));
        QTRY_COMPARE(follower.GetCurrentLyrics().lines.size(), 2);
        manager.SetActiveLanguage("de");  // the language shown: nothing
        follower.OnLyricLanguageChanged();

        const SongLyrics before = follower.GetCurrentLyrics();
        QSignalSpy downloaded(&manager, &LyricsManager::WhenLyricsDownloaded);
        QTest::ignoreMessage(QtDebugMsg, "SvPlayer::OnLyricsDownloaded: alien lyrics");
        QTest::ignoreMessage(QtDebugMsg, "SvPlayer::OnLyricsDownloaded: alien language");
        SongLyrics other = Song("Other", "Band"), native = Song("shown", "BAND");
        manager.GetLyrics(other);  // asked by someone else, a view say
        QTRY_COMPARE(downloaded.count(), 1);
        manager.GetLyrics(native);
        QTRY_COMPARE(downloaded.count(), 2);
        QCOMPARE(SongLyrics::Compare(follower.GetCurrentLyrics(), before), 0);
        QCOMPARE(lyricsChanged.count(), 2);
        QCOMPARE(m_server->RequestCount(LyricsPath), 4);
    }

    void restartAtSongEnd()
    {
        // Once, at the first report from a second before the end; never while the length is unknown.
        SvPlayer follower;
        Play("Timed");
        follower.OnPlayingStateChanged(Info("Timed", "Band", 0, 0));
        follower.RestartSongOnFinish();
        m_sim->ResetCallCounts();
        const int reports[][2] = {{199500, 0}, {198999, 200}, {199000, 200}, {200000, 200}};  // position, duration
        for (const auto& report : reports) {
            follower.OnPlayingStateChanged(Info("Timed", "Band", report[0], report[1]));
            QCOMPARE(m_sim->CallCount("IWMPControls::pause"), report[0] >= 199000 && report[1] ? 1 : 0);
        }
        QCOMPARE(m_sim->CallCount("IWMPControls::stop"), 1);  // the front's restart: stop, then play
        QCOMPARE(m_sim->CallCount("IWMPControls::play"), 1);
        QVERIFY(!follower.IsRestartOnFinishSet());
        follower.RestartSongOnFinish();
        follower.OnPlayingStateChanged(Info("Another", "Band", 0, 100));
        QVERIFY(!follower.IsRestartOnFinishSet());  // cleared by a song change
    }

    void lineIndex_data()
    {
        QTest::addColumn<CLyricLines>("lines");
        QTest::addColumn<int>("reported");  // the position at the last poll
        QTest::addColumn<bool>("playing");
        QTest::addColumn<int>("since");  // ms since that poll
        QTest::addColumn<int>("index");
        const CLyricLines lines = Lines({0, 5000, 9000});
        QTest::newRow("5 s: starts now, not yet") << lines << 5000 << true << 0 << 0;
        QTest::newRow("5.001 s") << lines << 5001 << true << 0 << 1;
        QTest::newRow("20 s") << lines << 20000 << true << 0 << 2;
        QTest::newRow("before the first line") << Lines({3000, 6000}) << 1000 << true << 0 << 0;
        QTest::newRow("no lines: nothing") << CLyricLines() << 0 << true << 0 << -2;
        QTest::newRow("4.6 s and 401 ms since") << lines << 4600 << true << 401 << 1;
        QTest::newRow("paused: the position stands") << lines << 4600 << false << 5000 << 0;
        QTest::newRow("no more polls: followed a second at most") << lines << 7000 << true << 5000 << 1;
    }
    void lineIndex()
    {
        QFETCH(CLyricLines, lines);
        QFETCH(int, reported);
        QFETCH(bool, playing);
        QFETCH(int, since);
        QFETCH(int, index);
        SongLyrics lyrics;
        lyrics.lines = lines;
        LyricsPlayer player(nullptr, lyrics);
        Player::instance()->disconnect(&player);  // only the reports of this test
        qint64 now = 10000;
        player.SetClock([&now] { return now; });
        QSignalSpy shown(&player, &LyricsPlayer::showLyricLine);
        player.OnPlayingStateChanged(Info("A", "B", reported, 200, playing));
        now += since;
        for (int i = 0; i < (since ? 2 : 0); ++i)
            QVERIFY(QMetaObject::invokeMethod(&player, "OnLineTimer"));
        QCOMPARE(LastIndex(shown), index);
        QVERIFY(shown.count() <= 2);  // between polls only changes are told
    }
};

SV_TEST_MAIN(TestSongFollower)
#include "tst_svplayer.moc"
