#include "support/testmain.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "players/front/musicplayer.h"
#include "players/front/playersetup.h"
#include "wmptestsupport.h"

namespace {
quint32 Song(const QString& title, int track, const QString& duration)
{
    return Sim()->AddMedia({{"Title", title}, {"Author", "Artist"}, {"WM/AlbumTitle", "Album"},
                            {"WM/TrackNumber", QString::number(track)}, {"Duration", duration},
                            {"SourceURL", QStringLiteral("/music/%1.mp3").arg(title)}});
}
} // namespace

// The player front on the Windows Media Player client and the simulated player, driven by its clock.
class TestFrontEndToEnd : public QObject
{
    Q_OBJECT
private:
    MusicPlayer* m_front = nullptr;
    QList<int> m_events;
    quint32 m_one = 0, m_two = 0;

    void Tick() { QMetaObject::invokeMethod(m_front, "reportCurrentState"); }
    void MakeFront(bool running)
    {
        Sim()->SetRunning(running);
        m_front = new MusicPlayer();
        m_front->findChild<QTimer*>()->stop();
        connect(m_front, &Player::WhenEvent, this, [this](Player::CEvents events) { m_events << int(events); });
        m_front->openPlayer(PlayerClient::KindWmp);
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        Sim()->Reset();
        Sim()->Clock().SetManual(true);
        m_events.clear();
        m_two = Song("Song Two", 2, "200");
        m_one = Song("Song One", 1, "180.4");
    }

    void cleanup()
    {
        delete m_front;
        m_front = nullptr;
        QCOMPARE(Sim()->SinkCount(), 0);
    }

    void followsTheSongPlayed()
    {
        MakeFront(true);
        QCOMPARE(m_events, QList<int>{5});
        QSignalSpy infos(m_front, QOverload<PlayingSongInfo>::of(&Player::playingChanged));
        auto last = [&infos] { return infos.last().first().value<PlayingSongInfo>(); };

        Sim()->SetCurrentPlaylist(Sim()->Library().MakeTransient(QString(), {m_one, m_two}));
        Sim()->FlushEvents();
        QCOMPARE(QStringList({last().title, last().artist, last().album, last().location}),
                 QStringList({"Song One", "Artist", "Album", "/music/Song One.mp3"}));
        QVERIFY(last().duration == 180 && last().playing);

        // The position advances with the player's clock, one poll at a time.
        for (int position : {1500, 2500, 3000}) {
            Sim()->Advance(position - Sim()->PositionMs());
            Tick();
            QVERIFY(last().position == position && last().title == "Song One");
        }
        // A track change brings the new song's media info.
        Sim()->Next();
        Sim()->FlushEvents();
        QVERIFY(last().title == "Song Two" && last().duration == 200 && last().position == 0);
    }

    void withoutCurrentSongTheLibraryPlays_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("second");
        QTest::newRow("play") << "play" << false;
        QTest::newRow("previous") << "prev" << false;
        // Next starts the list and then skips its first song.
        QTest::newRow("next") << "next" << true;
    }
    void withoutCurrentSongTheLibraryPlays()
    {
        QFETCH(QString, action);
        QFETCH(bool, second);
        MakeFront(true);
        QVERIFY(QMetaObject::invokeMethod(m_front, action.toLatin1().constData()));
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));
        QCOMPARE(Sim()->CurrentMedia()->id, second ? m_two : m_one);
        QCOMPARE(Sim()->CurrentPlaylist()->items, (QVector<quint32>{m_one, m_two}));
    }

    // The player is started first, the play follows once it runs; it goes away and comes back.
    void runningStateEvents()
    {
        MakeFront(false);
        QCOMPARE(Sim()->LaunchCount(), 1);
        m_front->play();
        QTRY_COMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));
        QCOMPARE(Sim()->CurrentMedia()->id, m_one);
        QCOMPARE(m_front->playerState(), 2);

        Sim()->SetRunning(false);
        Sim()->FlushEvents();
        QCOMPARE(m_front->playerState(), 0);
        QSignalSpy infos(m_front, QOverload<PlayingSongInfo>::of(&Player::playingChanged));
        Tick();
        QVERIFY(infos.last().first().value<PlayingSongInfo>().IsEmpty());
        Sim()->SetRunning(true);
        Sim()->FlushEvents();
        QCOMPARE(m_events, (QList<int>{1, 4, 10, 4}));
        QCOMPARE(m_front->playerState(), 2);
    }

    void volumeUnmutesThePlayer()
    {
        MakeFront(true);
        m_front->mute(true);
        QVERIFY(Sim()->Mute());
        m_front->setVolume(30);
        QCOMPARE(Sim()->Volume(), 30);
        QVERIFY(!Sim()->Mute());
        m_front->setVolume(130);
        QCOMPARE(Sim()->Volume(), 100);
    }

    void programSetUp()
    {
        QTemporaryDir music;
        SvTest::CMediaTags tags;
        tags.title = QStringLiteral("From the folder");
        QVERIFY(SvTest::WriteMp3(music.filePath("a.mp3"), tags));
        QSettings().setValue("platform/music_folder", music.path());
        Sim()->Reset();

        QPointer<Player> front = SetUpProgramPlayers();
        QCOMPARE(front.data(), Player::instance());
        QCOMPARE(Sim()->Library().AudioCount(), 1);
        QTRY_COMPARE(front->playerState(), 2);
        QCOMPARE(front->activePlayerId(), int(PlayerClient::KindWmp));
        front->play();
        QCOMPARE(Sim()->CurrentMedia()->values[Platform::Wmp::AttrTitle], QStringLiteral("From the folder"));

        // Destroyed later, silent at once.
        int ticks = 0;
        connect(front, &Player::stateChanged, this, [&ticks] { ++ticks; });
        front->destroyInstance();
        QMetaObject::invokeMethod(front, "reportCurrentState");
        QVERIFY(front && ticks == 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!front);
    }
};

SV_TEST_MAIN(TestFrontEndToEnd)
#include "tst_frontendtoend.moc"
