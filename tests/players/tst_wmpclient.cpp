#include "support/testmain.h"

#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "core/resultcodes.h"
#include "platform/wmp/simplayer.h"
#include "players/playerclientdispatcher.h"
#include "players/wmp/playerclientwmp.h"
#include "players/wmp/playerclientwmphelper.h"
#include "support/mediawriter.h"

using Platform::Wmp::CSimPlayer;

namespace {

CSimPlayer* Sim()
{
    return CSimPlayer::Instance();
}

quint32 Song(const QString& title, const QString& artist = QStringLiteral("A"),
             const QString& album = QStringLiteral("L"), const QString& duration = QStringLiteral("100"))
{
    return Sim()->AddMedia({{"Title", title},
                            {"Author", artist},
                            {"WM/AlbumTitle", album},
                            {"Duration", duration},
                            {"SourceURL", QStringLiteral("/music/") + title + QStringLiteral(".mp3")}});
}

} // namespace

// The Windows Media Player client on the simulated player: running state, transport, library events.
class TestWmpClient : public QObject
{
    Q_OBJECT
private:
    CPlayerClientDispatcher* m_dispatcher = nullptr;
    CPlayerClientWMP* m_client = nullptr;
    QStringList m_log;

    void MakeClient()
    {
        m_dispatcher = new CPlayerClientDispatcher();
        m_client = new CPlayerClientWMP(m_dispatcher);
        connect(m_client, &CPlayerClientBase::WhenRunningChanged, this,
                [this](int state, int old) { m_log << QStringLiteral("running %1<-%2").arg(state).arg(old); });
        connect(m_client, &CPlayerClientBase::WhenShutdown, this, [this] { m_log << QStringLiteral("shutdown"); });
        connect(m_client, &CPlayerClientBase::WhenWakeUp, this, [this] { m_log << QStringLiteral("wakeup"); });
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        Sim()->Reset();
        Sim()->Clock().SetManual(true);
        m_log.clear();
    }

    void cleanup()
    {
        delete m_dispatcher;
        m_dispatcher = nullptr;
        m_client = nullptr;
        // No sink of a deleted client is left with the player.
        QCOMPARE(Sim()->SinkCount(), 0);
        Sim()->SetRunning(true);
        Sim()->FlushEvents();
    }

    void runningFollowsThePlayerApplication()
    {
        MakeClient();
        QCOMPARE(m_client->GetRunningState(), int(PlayerClient::StateNotRunning));
        QCOMPARE(m_client->GetReadyState(), SV_E_PLAYER_NOT_RUNNING);

        // Start launches the application, which reports itself once up.
        m_client->Start(true);
        QCOMPARE(Sim()->LaunchCount(), 1);
        QTRY_COMPARE(m_client->GetRunningState(), int(PlayerClient::StateRunning));
        QCOMPARE(m_log, (QStringList{"running 1<-0", "wakeup"}));

        // Whoever hears of the shutdown finds the client not running any more.
        m_log.clear();
        int stateAtShutdown = -1;
        connect(m_client, &CPlayerClientBase::WhenShutdown, this,
                [this, &stateAtShutdown] { stateAtShutdown = m_client->GetRunningState(); });
        Sim()->SetRunning(false);
        Sim()->FlushEvents();
        QCOMPARE(m_log, (QStringList{"running 0<-1", "shutdown"}));
        QCOMPARE(stateAtShutdown, int(PlayerClient::StateNotRunning));
        QCOMPARE(m_client->GetPlayPositionMSecs(), 0);
        QCOMPARE(m_client->GetButtonState(PlayerClient::ButtonPlay), 0);
    }

    void buttons_data()
    {
        QTest::addColumn<bool>("play");
        QTest::addColumn<bool>("mute");
        QTest::addColumn<bool>("shuffle");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<QList<int>>("words");  // buttons 1..10
        QTest::newRow("stopped at the first song")
            << false << false << false << false << QList<int>{0, 1, 0, 1, 1, 1, 1, 3, 1, 0};
        QTest::newRow("playing, muted, shuffled, looped")
            << true << true << true << true << QList<int>{1, 0, 1, 1, 3, 1, 3, 1, 3, 0};
    }
    void buttons()
    {
        QFETCH(bool, play);
        QFETCH(bool, mute);
        QFETCH(bool, shuffle);
        QFETCH(bool, loop);
        QFETCH(QList<int>, words);
        Sim()->SetRunning(true);
        MakeClient();
        Sim()->SetAutoStart(false);
        const quint32 first = Song("a");
        Sim()->SetCurrentPlaylist(Sim()->Library().MakeTransient(QString(), {first, Song("b")}));
        Sim()->SetMute(mute);
        Sim()->SetMode(QStringLiteral("shuffle"), shuffle);
        Sim()->SetMode(QStringLiteral("loop"), loop);
        if (play)
            Sim()->Play();
        QList<int> actual;
        for (int button = 1; button <= 10; ++button)
            actual << m_client->GetButtonState(button);
        QCOMPARE(actual, words);
    }

    void transport()
    {
        Sim()->SetRunning(true);
        MakeClient();
        const quint32 a = Song("a");
        const quint32 b = Song("b");
        Sim()->SetAutoStart(false);
        Sim()->SetCurrentPlaylist(Sim()->Library().MakeTransient(QString(), {a, b}));

        m_client->ClickButton(PlayerClient::ButtonPlay);
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));
        m_client->ClickButton(PlayerClient::ButtonNext);
        QCOMPARE(Sim()->CurrentMedia()->id, b);
        m_client->ClickButton(PlayerClient::ButtonPrevious);
        QCOMPARE(Sim()->CurrentMedia()->id, a);
        Sim()->Advance(5000);
        m_client->ClickButton(PlayerClient::ButtonRestart);
        QCOMPARE(Sim()->PositionMs(), qint64(0));
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));
        m_client->ClickButton(PlayerClient::ButtonPause);
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePaused));

        m_client->ClickButton(PlayerClient::ButtonMute);
        QVERIFY(Sim()->Mute());
        m_client->CheckButton(PlayerClient::ButtonMute, false);
        QVERIFY(!Sim()->Mute());
        m_client->ClickButton(PlayerClient::ButtonShuffle);
        bool on = false;
        QVERIFY(Sim()->Mode(QStringLiteral("shuffle"), &on) && on);
        m_client->CheckButton(PlayerClient::ButtonRepeatAll, true);
        QVERIFY(Sim()->Mode(QStringLiteral("loop"), &on) && on);
        m_client->CheckButton(PlayerClient::ButtonRepeatOff, true);
        QVERIFY(Sim()->Mode(QStringLiteral("loop"), &on) && !on);

        m_client->SetPlayPositionSecs(42);
        QCOMPARE(m_client->GetPlayPositionMSecs(), 42000);
    }

    void mediaInfoAndVolume()
    {
        Sim()->SetRunning(true);
        MakeClient();
        QString artist, title, album, location;
        int duration = -1;
        QVERIFY(!m_client->GetMediaInfo(artist, title, album, duration, location));

        Sim()->PlayMedia(Song("Song", "Artist", "Album", "200.6"));
        Sim()->Advance(1500);
        QVERIFY(m_client->GetMediaInfo(artist, title, album, duration, location));
        QCOMPARE(QStringList({artist, title, album, location}),
                 QStringList({"Artist", "Song", "Album", "/music/Song.mp3"}));
        QCOMPARE(duration, 201);
        QCOMPARE(m_client->GetPlayPositionMSecs(), 1500);

        double volume = 55.4;
        m_client->SetVolume(volume);
        QCOMPARE(volume, 55.0);
        QCOMPARE(Sim()->Volume(), 55);
        volume = 150;
        m_client->SetVolume(volume);
        QCOMPARE(volume, 100.0);
        QCOMPARE(m_client->GetVolume(), 100.0);
    }

    void libraryChangeKinds()
    {
        Sim()->SetRunning(true);
        MakeClient();
        QList<int> kinds;
        bool playlistIdentical = false;
        const quint32 list = Sim()->AddPlaylist(QStringLiteral("P"), {});
        connect(m_client, &CPlayerClientWMP::WhenLibraryChanged, this, [&](int kind, void* data) {
            kinds << kind;
            if (kind == CPlayerClientWMP::LibraryPlaylist && data) {
                IWMPPlaylist* raw = Sim()->NewPlaylistObject(Sim()->Library().Playlists().value(0));
                static_cast<IWMPPlaylist*>(data)->get_isIdentical(raw, &playlistIdentical);
                raw->Release();
            }
        });
        Q_UNUSED(list);
        Sim()->FlushEvents();
        kinds.clear();

        // A new song: media added, and its artist, album and title appeared.
        const quint32 id = Song("t", "new artist", "new album");
        Sim()->FlushEvents();
        QCOMPARE(kinds, (QList<int>{5, 2, 0, 1}));

        kinds.clear();
        IWMPMedia* media = Sim()->NewMediaObject(Sim()->Library().FindById(id));
        media->setItemInfo(QStringLiteral("Author"), QStringLiteral("renamed"));
        media->Release();
        Sim()->FlushEvents();
        QCOMPARE(kinds, (QList<int>{5, 0}));

        kinds.clear();
        Sim()->Library().InsertItem(Sim()->Library().Playlists().value(0), 0, id);
        Sim()->FlushEvents();
        QCOMPARE(kinds, QList<int>{4});
        QVERIFY(playlistIdentical);

        // A change of something that is no playlist still counts, without a playlist.
        kinds.clear();
        playlistIdentical = false;
        m_client->GetHelper()->PlaylistChange(nullptr, 0);
        QCOMPARE(kinds, QList<int>{4});

        kinds.clear();
        Sim()->Library().NewPlaylist(QStringLiteral("Q"), false);
        Sim()->FlushEvents();
        QCOMPARE(kinds, (QList<int>{3, 3}));

        // An imported folder is one change of the whole collection.
        QTemporaryDir music;
        SvTest::CMediaTags tags;
        tags.title = QStringLiteral("imported");
        QVERIFY(SvTest::WriteMp3(music.filePath(QStringLiteral("x.mp3")), tags));
        kinds.clear();
        QCOMPARE(Sim()->ImportFolder(music.path()), 1);
        Sim()->FlushEvents();
        QCOMPARE(kinds, QList<int>{6});
    }

    void playStateReportsPlayingChanged()
    {
        Sim()->SetRunning(true);
        MakeClient();
        QSignalSpy playing(m_client, &CPlayerClientBase::WhenPlayingChanged);
        Sim()->PlayMedia(Song("a"));
        Sim()->FlushEvents();
        QVERIFY(playing.count() >= 2);  // current item, then play state
        QCOMPARE(playing.first().first().toBool(), false);
    }

    void newSyncUuids()
    {
        MakeClient();
        CPlayerClientWMPHelper* helper = m_client->GetHelper();
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(
                                             "^CPlayerClientWMPHelper::NewSyncUuid: new sync uuid:\\{\\{[0-9a-f-]{36}\\}\\}$")));
        const QUuid sync = helper->NewSyncUuid();
        QCOMPARE(helper->GetSyncUuid(), sync);
        QCOMPARE(QSettings().value(QStringLiteral("plwmp/syncuuid")).toString(), sync.toString());
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression(QStringLiteral("^CPlayerClientWMPHelper::NewPlaylistSyncUuid: new sync "
                                                               "uuid:\\{\\{[0-9a-f-]{36}\\}\\}$")));
        const QUuid playlistSync = helper->NewPlaylistSyncUuid();
        QCOMPARE(QSettings().value(QStringLiteral("plwmp/plsyncuuid")).toString(), playlistSync.toString());

        // A new host reads them back.
        CPlayerClientWMPHelperObj* again = new CPlayerClientWMPHelperObj();
        QCOMPARE(again->GetSyncUuid(), sync);
        QCOMPARE(again->GetPlaylistSyncUuid(), playlistSync);
        again->Release();
    }
};

SV_TEST_MAIN(TestWmpClient)
#include "tst_wmpclient.moc"
