#include "support/testmain.h"

#include "players/wmp/playerclientwmphelper.h"
#include "wmptestsupport.h"

// The Windows Media Player client on the simulated player: buttons, transport, library events.
class TestWmpClient : public QObject, CWmpClientFixture
{
    Q_OBJECT
private:
    QList<int> m_kinds;

    QList<int> TakeKinds()
    {
        Sim()->FlushEvents();
        return std::exchange(m_kinds, {});
    }
    QList<int> Words()
    {
        QList<int> words;
        for (int button = 1; button <= 10; ++button)
            words << m_client->GetButtonState(button);
        return words;
    }

private slots:
    void init()
    {
        SetUpClient();
        Sim()->Clock().SetManual(true);
    }

    void cleanup()
    {
        TearDownClient();
        Sim()->FlushEvents();
    }

    void buttonsAndTransport()
    {
        Sim()->SetAutoStart(false);
        const quint32 a = Song("a"), b = Song("b");
        Sim()->SetCurrentPlaylist(Sim()->Library().MakeTransient(QString(), {a, b}));
        QCOMPARE(Words(), (QList<int>{0, 1, 0, 1, 1, 1, 1, 3, 1, 0}));  // stopped at the first song

        m_client->ClickButton(PlayerClient::ButtonPlay);
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));
        m_client->ClickButton(PlayerClient::ButtonNext);
        QCOMPARE(Sim()->CurrentMedia()->id, b);
        m_client->ClickButton(PlayerClient::ButtonPrevious);
        QCOMPARE(Sim()->CurrentMedia()->id, a);
        Sim()->Advance(5000);
        m_client->ClickButton(PlayerClient::ButtonRestart);
        QCOMPARE(Sim()->PositionMs(), qint64(0));
        m_client->ClickButton(PlayerClient::ButtonMute);
        m_client->ClickButton(PlayerClient::ButtonShuffle);
        m_client->CheckButton(PlayerClient::ButtonRepeatAll, true);
        bool shuffle = false, loop = false;
        QVERIFY(Sim()->Mute() && Sim()->Mode("shuffle", &shuffle) && shuffle && Sim()->Mode("loop", &loop) && loop);
        QCOMPARE(Words(), (QList<int>{1, 0, 1, 1, 3, 1, 3, 1, 3, 0}));  // playing, muted, shuffled, looped

        m_client->ClickButton(PlayerClient::ButtonPause);
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePaused));
        m_client->CheckButton(PlayerClient::ButtonMute, false);
        m_client->CheckButton(PlayerClient::ButtonRepeatOff, true);
        QVERIFY(!Sim()->Mute() && Sim()->Mode("loop", &loop) && !loop);
        m_client->SetPlayPositionSecs(42);
        QCOMPARE(m_client->GetPlayPositionMSecs(), 42000);
    }

    void libraryChangeKinds()
    {
        bool identical = false;
        Sim()->AddPlaylist("P", {});
        connect(m_client, &CPlayerClientWMP::WhenLibraryChanged, this, [&](int kind, void* data) {
            m_kinds << kind;
            if (kind == CPlayerClientWMP::LibraryPlaylist && data) {
                IWMPPlaylist* raw = Sim()->NewPlaylistObject(Sim()->Library().Playlists().value(0));
                static_cast<IWMPPlaylist*>(data)->get_isIdentical(raw, &identical);
                raw->Release();
            }
        });
        TakeKinds();
        // A new song: media added, and its artist, album and title appeared.
        const quint32 id = Song("t", "new artist", "new album");
        QCOMPARE(TakeKinds(), (QList<int>{5, 2, 0, 1}));
        IWMPMedia* media = Sim()->NewMediaObject(Sim()->Library().FindById(id));
        media->setItemInfo("Author", "renamed");
        media->Release();
        QCOMPARE(TakeKinds(), (QList<int>{5, 0}));
        // The playlist travels with its change; a change of something that is no playlist still counts.
        Sim()->Library().InsertItem(Sim()->Library().Playlists().value(0), 0, id);
        QCOMPARE(TakeKinds(), QList<int>{4});
        QVERIFY(identical);
        m_client->GetHelper()->PlaylistChange(nullptr, 0);
        QCOMPARE(TakeKinds(), QList<int>{4});
        Sim()->Library().NewPlaylist("Q", false);
        QCOMPARE(TakeKinds(), (QList<int>{3, 3}));

        // An imported folder is one change of the whole collection.
        QVERIFY(SvTest::WriteMp3(m_dir.filePath("new/x.mp3"), SvTest::CMediaTags()));
        QCOMPARE(Sim()->ImportFolder(m_dir.filePath("new")), 1);
        QCOMPARE(TakeKinds(), QList<int>{6});
    }
};

SV_TEST_MAIN(TestWmpClient)
#include "tst_wmpclient.moc"
