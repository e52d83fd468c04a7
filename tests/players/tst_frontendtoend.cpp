#include "support/testmain.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/wmp/simplayer.h"
#include "players/front/musicplayer.h"
#include "players/front/playersetup.h"
#include "players/playerclienttypes.h"
#include "support/mediawriter.h"

using Platform::Wmp::CSimPlayer;

namespace {

CSimPlayer* Sim()
{
    return CSimPlayer::Instance();
}

quint32 Song(const QString& title, const QString& artist, int track, const QString& duration)
{
    return Sim()->AddMedia({{"Title", title},
                            {"Author", artist},
                            {"WM/AlbumTitle", QStringLiteral("Album")},
                            {"WM/TrackNumber", QString::number(track)},
                            {"Duration", duration},
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
    quint32 m_one = 0;
    quint32 m_two = 0;

    void Tick() { QMetaObject::invokeMethod(m_front, "reportCurrentState"); }
    void MakeFront()
    {
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
        m_two = Song("Song Two", "Artist", 2, "200");
        m_one = Song("Song One", "Artist", 1, "180.4");
    }

    void cleanup()
    {
        delete m_front;
        m_front = nullptr;
        QCOMPARE(Sim()->SinkCount(), 0);
    }

    void followsTheSongPlayed()
    {
        Sim()->SetRunning(true);
        MakeFront();
        QCOMPARE(m_events, QList<int>{5});
        QSignalSpy infos(m_front, QOverload<PlayingSongInfo>::of(&Player::playingChanged));

        Sim()->SetCurrentPlaylist(Sim()->Library().MakeTransient(QString(), {m_one, m_two}));
        Sim()->FlushEvents();
        QVERIFY(!infos.isEmpty());
        PlayingSongInfo info = infos.last().first().value<PlayingSongInfo>();
        QCOMPARE(QStringList({info.title, info.artist, info.album, info.location}),
                 QStringList({"Song One", "Artist", "Album", "/music/Song One.mp3"}));
        QCOMPARE(info.duration, 180);
        QVERIFY(info.playing);

        // The position advances with the player's clock, one poll at a time.
        for (int position : {1500, 2500, 3000}) {
            Sim()->Advance(position - Sim()->PositionMs());
            Tick();
            info = infos.last().first().value<PlayingSongInfo>();
            QCOMPARE(info.position, position);
            QCOMPARE(info.title, QStringLiteral("Song One"));
        }

        // A track change brings the new song's media info.
        Sim()->Next();
        Sim()->FlushEvents();
        info = infos.last().first().value<PlayingSongInfo>();
        QCOMPARE(info.title, QStringLiteral("Song Two"));
        QCOMPARE(info.duration, 200);
        QCOMPARE(info.position, 0);

        // So does the end of a song.
        Sim()->PlayMedia(m_one);
        Sim()->Advance(180400 + 700);
        Sim()->FlushEvents();
        info = infos.last().first().value<PlayingSongInfo>();
        QCOMPARE(info.title, QStringLiteral("Song Two"));
        QCOMPARE(info.position, 700);
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
        Sim()->SetRunning(true);
        MakeFront();
        QVERIFY(QMetaObject::invokeMethod(m_front, action.toLatin1().constData()));
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));
        QCOMPARE(Sim()->CurrentMedia()->id, second ? m_two : m_one);
        QCOMPARE(Sim()->CurrentPlaylist()->items, (QVector<quint32>{m_one, m_two}));
    }

    void playStartsThePlayerFirst()
    {
        MakeFront();
        QCOMPARE(m_events, QList<int>{1});
        QCOMPARE(Sim()->LaunchCount(), 1);
        m_front->play();
        QTRY_COMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));
        QCOMPARE(Sim()->CurrentMedia()->id, m_one);
        QCOMPARE(m_events, (QList<int>{1, 4}));
    }

    void playerGoesAwayAndComesBack()
    {
        Sim()->SetRunning(true);
        MakeFront();
        Sim()->PlayMedia(m_one);
        Sim()->FlushEvents();
        QSignalSpy infos(m_front, QOverload<PlayingSongInfo>::of(&Player::playingChanged));
        m_events.clear();

        Sim()->SetRunning(false);
        Sim()->FlushEvents();
        QCOMPARE(m_events, QList<int>{10});
        QCOMPARE(m_front->playerState(), 0);
        Tick();
        QVERIFY(infos.last().first().value<PlayingSongInfo>().IsEmpty());

        Sim()->SetRunning(true);
        Sim()->FlushEvents();
        QCOMPARE(m_events, (QList<int>{10, 4}));
        QCOMPARE(m_front->playerState(), 2);
    }

    void volumeUnmutesThePlayer()
    {
        Sim()->SetRunning(true);
        MakeFront();
        m_front->mute(true);
        QVERIFY(Sim()->Mute());
        m_front->setVolume(30);
        QCOMPARE(Sim()->Volume(), 30);
        QVERIFY(!Sim()->Mute());
    }

    void programSetUp()
    {
        QTemporaryDir music;
        SvTest::CMediaTags tags;
        tags.title = QStringLiteral("From the folder");
        tags.artist = QStringLiteral("Folk");
        QVERIFY(SvTest::WriteMp3(music.filePath(QStringLiteral("a.mp3")), tags));
        QSettings().setValue(QStringLiteral("platform/music_folder"), music.path());
        Sim()->Reset();

        Player* front = SetUpProgramPlayers();
        QCOMPARE(front, Player::instance());
        QCOMPARE(Sim()->Library().AudioCount(), 1);
        QTRY_COMPARE(front->playerState(), 2);
        QCOMPARE(front->activePlayerId(), int(PlayerClient::KindWmp));
        front->play();
        QCOMPARE(Sim()->CurrentMedia()->values[Platform::Wmp::AttrTitle], QStringLiteral("From the folder"));

        QPointer<Player> gone = front;
        front->destroyInstance();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!gone);
    }
};

SV_TEST_MAIN(TestFrontEndToEnd)
#include "tst_frontendtoend.moc"
