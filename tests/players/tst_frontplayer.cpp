#include "support/testmain.h"

#include <QSignalSpy>
#include <QTimer>

#include "platform/wmp/simplayer.h"
#include "playerclientfakes.h"
#include "players/front/musicplayer.h"

// The player front over test clients: events, buttons, the playing info, volume and transport.
class TestFrontPlayer : public QObject
{
    Q_OBJECT
private:
    MusicPlayer* m_front = nullptr;
    CFakeClient* m_a = nullptr;  // id 1
    CFakeClient* m_b = nullptr;  // id 0
    QList<int> m_events;

    void Tick() { QMetaObject::invokeMethod(m_front, "reportCurrentState"); }
    void OpenA()
    {
        m_a->SetState(PlayerClient::StateRunning);
        m_front->openPlayer(1);
    }
    Player::ButtonsState Buttons()
    {
        QSignalSpy states(m_front, &Player::stateChanged);
        Tick();
        return states.last().first().value<Player::ButtonsState>();
    }

private slots:
    void init()
    {
        Platform::Wmp::CSimPlayer::Instance()->Reset();
        m_front = new MusicPlayer();
        m_front->findChild<QTimer*>()->stop();
        m_a = new CFakeClient(m_front->GetDispatcher(), 1);
        m_b = new CFakeClient(m_front->GetDispatcher(), 0);
        m_events.clear();
        connect(m_front, &Player::WhenEvent, this, [this](Player::CEvents events) { m_events << int(events); });
    }

    void cleanup() { delete m_front; }

    // Steps: "a+"/"a-" client a starts/stops running, "open a", "none" (no active client), "tick".
    void events_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<int>("state");
        QTest::newRow("open running") << QStringList{"a+", "open a"} << QList<int>{5} << 2;
        QTest::newRow("open not running") << QStringList{"open a"} << QList<int>{1} << 0;
        QTest::newRow("running reports") << QStringList{"open a", "a+", "a-"} << QList<int>{1, 4, 10} << 0;
        QTest::newRow("between running players")
            << QStringList{"a+", "b+", "open a", "open b"} << QList<int>{5, 10, 5} << 2;
        QTest::newRow("to a player not running") << QStringList{"a+", "open a", "open b"} << QList<int>{5, 10, 1} << 0;
        QTest::newRow("to nothing, then ticks")
            << QStringList{"a+", "open a", "none", "tick", "tick"} << QList<int>{5, 10, 1} << 0;
    }
    void events()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, expected);
        QFETCH(int, state);
        QSignalSpy changed(m_front, &Player::WhenPlayerChanged);
        QSignalSpy infos(m_front, QOverload<PlayingSongInfo>::of(&Player::playingChanged));
        QSignalSpy playing(m_front, QOverload<bool>::of(&Player::playingChanged));
        for (const QString& step : steps) {
            CFakeClient* client = step.contains('a') ? m_a : m_b;
            if (step.startsWith("open"))
                m_front->openPlayer(client->GetId());
            else if (step.endsWith('+') || step.endsWith('-'))
                client->SetState(step.endsWith('+') ? PlayerClient::StateRunning : PlayerClient::StateNotRunning);
            else if (step == "none") {
                m_front->GetDispatcher()->SetActive(nullptr);
                infos.clear();
                playing.clear();
            } else
                Tick();
        }
        QCOMPARE(m_events, expected);
        int withPlayerChange = 0;
        for (int events : qAsConst(m_events))
            withPlayerChange += events & Player::EventPlayerChanged;
        QCOMPARE(changed.count(), withPlayerChange);
        QCOMPARE(m_front->playerState(), state);
        if (steps.last() == "tick") {
            // Without a player every tick still reports: no song, and "playing" so the screen clears.
            QVERIFY(infos.count() == 2 && infos.last().first().value<PlayingSongInfo>().IsEmpty());
            QVERIFY(playing.count() == 2 && playing.last().first().toBool());
        }
    }

    void buttonMapping()
    {
        const int words[11] = {0, 3, 1, 1, 2, 2, 0, 3, 1, 0, 2};
        std::copy(words, words + 11, m_a->words);
        OpenA();
        const Player::ButtonsState buttons = Buttons();
        QList<QPair<bool, bool>> actual;
        for (const auto& button : buttons)
            actual << qMakePair(button.checked, button.enabled);
        QCOMPARE(actual, (QList<QPair<bool, bool>>{{true, true}, {true, true}, {true, false}, {true, true}, {false, true},
                                                    {false, true}, {false, true}, {true, true}, {false, true},
                                                    {false, false}, {true, false}}));
        QVERIFY(m_front->isPlaying() && m_front->isShuffle());
    }

    void playingInfo_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("expected");  // "artist|title"
        QTest::newRow("name with dots split at its suffix only")
            << "Mr. Big - To Be With You" << "" << "/m/Mr. Big - To Be With You.mp3" << "Mr. Big|To Be With You";
        QTest::newRow("leading dash not split") << "-Intro" << "" << "/m/-Intro.mp3" << "|-Intro";
        QTest::newRow("title kept") << "Real" << "" << "C:\\m\\X - Y.wma" << "X|Real";
        QTest::newRow("artist kept") << "" << "Known" << "/m/X - Y.mp3" << "Known|Y";
        QTest::newRow("nothing known") << "" << "" << "/m/X - Y.mp3" << "|";
    }
    void playingInfo()
    {
        QFETCH(QString, title);
        QFETCH(QString, artist);
        QFETCH(QString, location);
        QFETCH(QString, expected);
        m_a->title = title, m_a->artist = artist, m_a->location = location;
        m_a->duration = 215;
        m_a->position = 1234;
        m_a->words[PlayerClient::ButtonPause] = PlayerClient::ButtonEnabled;
        QSignalSpy infos(m_front, QOverload<PlayingSongInfo>::of(&Player::playingChanged));
        OpenA();
        emit m_a->WhenPlayingChanged(false);
        const PlayingSongInfo info = infos.last().first().value<PlayingSongInfo>();
        QCOMPARE(info.artist + "|" + info.title, expected);
        QVERIFY(info.playing && info.position == 1234);
        const bool empty = expected == "|";
        QCOMPARE(info.location, empty ? QString() : location);
        QCOMPARE(info.duration, empty ? 0 : 215);
    }

    void mediaInfoReloadsOnJumps()
    {
        m_a->title = QStringLiteral("One");
        QSignalSpy infos(m_front, QOverload<PlayingSongInfo>::of(&Player::playingChanged));
        OpenA();
        emit m_a->WhenPlayingChanged(false);
        // Position, the client's title, the title reported: only a jump of more than 1 s reloads.
        const QList<std::tuple<int, QString, QString>> steps{
            {600, "Two", "One"}, {1700, "Two", "Two"}, {500, "Three", "Three"}, {1400, "Four", "Three"}};
        for (const auto& step : steps) {
            m_a->position = std::get<0>(step);
            m_a->title = std::get<1>(step);
            Tick();
            QCOMPARE(infos.last().first().value<PlayingSongInfo>().title, std::get<2>(step));
        }
        // A report of the client reloads at once.
        emit m_a->WhenPlayingChanged(false);
        QCOMPARE(infos.last().first().value<PlayingSongInfo>().title, QStringLiteral("Four"));
    }

    // A volume is announced once, a tick after it stopped changing.
    void volume()
    {
        OpenA();
        QSignalSpy doubles(m_front, QOverload<double>::of(&Player::volumeChanged));
        QSignalSpy ints(m_front, QOverload<int>::of(&Player::volumeChanged));
        for (double volume : {20.0, 30.7}) {
            m_front->setVolume(volume);
            Tick();
        }
        QCOMPARE(doubles.count(), 0);
        Tick();
        Tick();
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(doubles.first().first().toDouble(), 30.7);
        QCOMPARE(ints.first().first().toInt(), 30);
    }

    void transport()
    {
        m_a->position = 5400;
        OpenA();
        m_a->calls.clear();
        m_front->pause();
        m_front->restart();
        m_front->stop();
        m_front->setPosition(5);
        m_front->setPosition(6);
        m_front->setShuffle(true);
        m_front->mute(true);
        for (int mode : {1, 3, 2, 0})
            m_front->setRepeatMode(mode);
        QCOMPARE(m_a->calls, (QStringList{"click 3", "click 6", "position 6", "check 7 1", "check 5 1", "check 9 1",
                                          "check 10 1", "check 8 1"}));
        const Player::ButtonsState buttons = Buttons();
        QVERIFY(buttons.at(Player::ButtonsState::Shuffle).checked && buttons.at(Player::ButtonsState::Mute).checked);
        QVERIFY(buttons.at(Player::ButtonsState::RepeatOff).checked);
        QVERIFY(!buttons.at(Player::ButtonsState::RepeatAll).checked && !buttons.at(Player::ButtonsState::RepeatOne).checked);
    }

    void openPlayer_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("activeId");
        QTest::addColumn<QList<bool>>("starts");
        QTest::newRow("invalid id") << 4 << true << 1 << 1 << QList<bool>();
        QTest::newRow("no such client") << 1 << true << 1 << 0 << QList<bool>();
        QTest::newRow("not installed") << 0 << false << 0 << 0 << QList<bool>();
        QTest::newRow("not running") << 0 << true << 0 << 0 << QList<bool>{true};
        QTest::newRow("running") << 0 << true << 1 << 0 << QList<bool>();
    }
    void openPlayer()
    {
        QFETCH(int, id);
        QFETCH(bool, installed);
        QFETCH(int, state);
        QFETCH(int, activeId);
        QFETCH(QList<bool>, starts);
        m_b->installed = installed;
        m_b->SetState(state);
        OpenA();
        if (QTest::currentDataTag() == QByteArray("no such client"))
            delete m_a;  // an id that nobody answers to any more
        m_front->openPlayer(id);
        QCOMPARE(m_front->activePlayerId(), activeId);
        QCOMPARE(m_b->starts, starts);
        QCOMPARE(m_front->isPlayerInstalled(0), installed);
        QCOMPARE(m_front->availablePlayers().keys(), (QList<int>{2, 3}));
    }
};

SV_TEST_MAIN(TestFrontPlayer)
#include "tst_frontplayer.moc"
