#include "support/testmain.h"

#include <functional>

#include "core/corefeatures.h"
#include "core/resultcodes.h"
#include "platform/win/classregistry.h"
#include "playerclientfakes.h"
#include "players/playerclientitunes.h"

class TestPlayerClientBase : public QObject
{
    Q_OBJECT
private:
    CPlayerClientDispatcher* m_dispatcher = nullptr;
    CFakeClient* m_client = nullptr;

    // Each library getter, called with a dangling out-pointer; tells whether it came back null.
    template <class T, class F>
    static std::function<HRESULT(bool*)> Getter(F call)
    {
        return [call](bool* nulled) {
            T* out = reinterpret_cast<T*>(1);
            const HRESULT hr = call(&out);
            *nulled = !out;
            return hr;
        };
    }
    QList<QPair<QString, std::function<HRESULT(bool*)>>> Getters()
    {
        CPlayerClientBase* c = m_client;
        const QString a = QStringLiteral("a");
        return {
            {"GetCurrentSong", Getter<IPlayerClientSong>([c](auto o) { return c->GetCurrentSong(o); })},
            {"GetCurrentPlaylist", Getter<IPlayerClientPlaylist>([c](auto o) { return c->GetCurrentPlaylist(o); })},
            {"GetLibraryPlaylist", Getter<IPlayerClientPlaylist>([c](auto o) { return c->GetLibraryPlaylist(o); })},
            {"GetPlaylists", Getter<IPlayerClientCollectionPlaylist>([c](auto o) { return c->GetPlaylists(o); })},
            {"GetArtists", Getter<IPlayerClientCollectionString>([c](auto o) { return c->GetArtists(o); })},
            {"GetAlbums", Getter<IPlayerClientCollectionString>([c](auto o) { return c->GetAlbums(o); })},
            {"GetArtistAlbums",
             Getter<IPlayerClientCollectionString>([=](auto o) { return c->GetArtistAlbums(a, o); })},
            {"GetArtistSongs", Getter<IPlayerClientPlaylist>([=](auto o) { return c->GetArtistSongs(a, o); })},
            {"GetAlbumSongs", Getter<IPlayerClientPlaylist>([=](auto o) { return c->GetAlbumSongs(a, o); })},
            {"GetArtistAlbumSongs",
             Getter<IPlayerClientPlaylist>([=](auto o) { return c->GetArtistAlbumSongs(a, a, o); })},
            {"GetSongsByArtistAlbumTitle",
             Getter<IPlayerClientCollectionSong>([=](auto o) { return c->GetSongsByArtistAlbumTitle(a, a, a, o); })},
        };
    }

private slots:
    void init()
    {
        ClassRegistry::Clear();
        m_dispatcher = new CPlayerClientDispatcher();
        m_client = new CFakeClient(m_dispatcher);
    }

    void cleanup()
    {
        delete m_dispatcher;
        ClassRegistry::Clear();
        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeaturePlayerNotInstalled, false);
    }

    void readiness_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<HRESULT>("expected");
        QTest::newRow("not running") << int(PlayerClient::StateNotRunning) << false << SV_E_PLAYER_NOT_RUNNING;
        QTest::newRow("starting") << int(PlayerClient::StateStarting) << false << SV_E_PLAYER_NOT_RUNNING;
        QTest::newRow("busy") << int(PlayerClient::StateRunning) << true << SV_E_PLAYER_BUSY;
        // Ready: the query reaches the worker, which the base does not implement.
        QTest::newRow("ready") << int(PlayerClient::StateRunning) << false << E_NOTIMPL;
    }

    void readiness()
    {
        QFETCH(int, state);
        QFETCH(bool, busy);
        QFETCH(HRESULT, expected);
        m_client->SetState(state);
        m_client->SetBusy(busy);
        const bool ready = expected == E_NOTIMPL;
        QCOMPARE(m_client->GetReadyState(), ready ? S_OK : expected);
        if (expected == SV_E_PLAYER_NOT_RUNNING)
            QTest::ignoreMessage(QtDebugMsg, "CPlayerClientBase::GetCurrentSong: not ready 8040001a");
        for (const auto& getter : Getters()) {
            bool nulled = false;
            QCOMPARE(getter.second(&nulled), expected);
            QVERIFY2(nulled, qPrintable(getter.first));
        }
        // The record is cleared even when the query is refused.
        CAlbumInfo album;
        album.songCount = 9;
        album.artists << QStringLiteral("stale");
        QCOMPARE(m_client->GetAlbumInfo(QStringLiteral("Gold"), 3, &album), ready ? S_OK : expected);
        QCOMPARE(album.songCount, ready ? 7 : 0);
        QCOMPARE(album.artists, ready ? QStringList{"Gold"} : QStringList());
        CArtistInfo artist;
        artist.albumCount = 4;
        QCOMPARE(m_client->GetArtistInfo(QStringLiteral("A"), 3, &artist), expected);
        QCOMPARE(artist.albumCount, 0);
        QCOMPARE(m_client->GetArtistInfo(QStringLiteral("A"), 3, nullptr), E_POINTER);
        QCOMPARE(m_client->GetCurrentSong(nullptr), E_POINTER);
    }

    void baseDefaults()
    {
        CPlayerClientBase* base = m_client;
        QCOMPARE(base->CPlayerClientBase::GetButtonState(PlayerClient::ButtonPlay), 0);
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientBase::GetVolume: not implemented");
        QCOMPARE(base->CPlayerClientBase::GetVolume(), 0.0);
        double volume = 0.5;
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientBase::SetVolume: not implemented (v=0.500000)");
        base->CPlayerClientBase::SetVolume(volume);
        QCOMPARE(volume, 0.5);
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientBase::Start: not implemented: m=1");
        base->CPlayerClientBase::Start(true);
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientBase::BringToForeground: not implemented");
        base->BringToForeground();

        QString artist = "x", title = "x", album = "x", location = "x";
        int duration = 5;
        QVERIFY(!base->CPlayerClientBase::GetMediaInfo(artist, title, album, duration, location));
        QVERIFY(artist.isEmpty() && title.isEmpty() && album.isEmpty() && location.isEmpty() && duration == 0);

        // The four-button query asks the client's own GetButtonState for buttons 1 to 4.
        for (int button = 1; button <= 4; ++button)
            m_client->words[button] = button * 3;
        int b[4] = {-1, -1, -1, -1};
        base->GetButtonStates(&b[0], &b[1], &b[2], &b[3]);
        QCOMPARE(QVector<int>(b, b + 4), (QVector<int>{3, 6, 9, 12}));
        m_client->position = 12999;
        QCOMPARE(base->GetPlayPositionSecs(), 12);

        QVERIFY(!base->GetMediaFolder().contains(QLatin1Char('\\')));
        QVERIFY(base->IsFileFormatUsable(QStringLiteral("song.wma")));
        QCOMPARE(CPlayerClientBase::GetMediaFormatType(QStringLiteral("a/b.MP3")), 1);
        QCOMPARE(CPlayerClientBase::GetMediaFormatType(QStringLiteral("list.m3u")), 2);
        QCOMPARE(CPlayerClientBase::GetMediaFormatType(QStringLiteral("notes.txt")), 0);

        // Flag 31 makes every client count as not installed.
        QVERIFY(base->CPlayerClientBase::IsInstalled());
        QVERIFY(CoreFeatures::SetFeatureEnabled(CoreFeatures::FeaturePlayerNotInstalled, true));
        QVERIFY(!base->CPlayerClientBase::IsInstalled());
    }

    void syncListCachedUntilShutdown()
    {
        m_client->SetState(PlayerClient::StateRunning);
        CIUnknownPtr<IPlayerClientPlaylistSync> first, again;
        QCOMPARE(m_client->GetPlaylistSync(first.Out()), S_OK);
        QCOMPARE(m_client->GetPlaylistSync(again.Out()), S_OK);
        QCOMPARE(first.Get(), again.Get());
        QCOMPARE(m_client->syncListsMade, 1);
        QCOMPARE(m_client->GetCachedPlaylistSync(), first.Get());
        QCOMPARE(m_client->GetPlaylistSync(nullptr), E_POINTER);

        m_client->GoAway();
        QCOMPARE(m_client->GetCachedPlaylistSync(), nullptr);
        CIUnknownPtr<IPlayerClientPlaylistSync> none;
        QCOMPARE(m_client->GetPlaylistSync(none.Out()), SV_E_PLAYER_NOT_RUNNING);

        // A restarted player gets a list of its own; the dead one lives only as long as its holders.
        m_client->SetState(PlayerClient::StateRunning);
        CIUnknownPtr<IPlayerClientPlaylistSync> fresh;
        QCOMPARE(m_client->GetPlaylistSync(fresh.Out()), S_OK);
        QVERIFY(fresh.Get() != first.Get());
        QCOMPARE(m_client->syncListsMade, 2);
        first.Reset();
        again.Reset();
        QCOMPARE(m_client->syncListsAlive, 1);

        // A failed fetch keeps nothing.
        m_client->GoAway();
        m_client->SetState(PlayerClient::StateRunning);
        m_client->failSyncList = MakeHResult(0x80070008u);
        QCOMPARE(m_client->GetPlaylistSync(none.Out()), MakeHResult(0x80070008u));
        QVERIFY(!none);
        QCOMPARE(m_client->GetCachedPlaylistSync(), nullptr);
    }

    void iTunes()
    {
        CPlayerClientITunes* itunes = new CPlayerClientITunes(m_dispatcher);
        QCOMPARE(m_dispatcher->FindClient(PlayerClient::KindITunes), itunes);
        QCOMPARE(itunes->GetName(), QStringLiteral("iTunes"));
        QCOMPARE(itunes->GetKind(), 3);
        QCOMPARE(itunes->GetCapabilities(), quint32(0x0F));

        QVERIFY(!itunes->IsInstalled());
        QCOMPARE(ClassRegistry::RegisterClassFactory(CLSID_ITunesApplication,
                                                     [](const IID&, void**) { return E_NOINTERFACE; }),
                 S_OK);
        QVERIFY(itunes->IsInstalled());
        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeaturePlayerNotInstalled, true);
        QVERIFY(!itunes->IsInstalled());

        QVERIFY(!itunes->IsFileFormatUsable(QStringLiteral("C:/music/song.WMA")));
        QVERIFY(itunes->IsFileFormatUsable(QStringLiteral("song.m4a")));

        // Never running here: every library query is refused.
        IPlayerClientPlaylist* library = nullptr;
        QCOMPARE(itunes->GetLibraryPlaylist(&library), SV_E_PLAYER_NOT_RUNNING);
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientBase::Start: not implemented: m=0");
        itunes->Start(false);
    }

    // The bodies every library object shares, on a sync list made of them alone.
    void syncListBodies()
    {
        int alive = 0;
        CFakeClient* owner = m_client;
        owner->SetState(PlayerClient::StateRunning);
        CTestSyncListObj* list = new CTestSyncListObj(owner, &alive);
        CTestSyncListObj* other = new CTestSyncListObj(owner, &alive);
        IPlayerClientPlaylistSync* sync = list;
        // The names the two client families use for one operation answer alike.
        QString name = QStringLiteral("stale");
        QCOMPARE(sync->GetName(name), S_OK);
        QVERIFY(name.isEmpty() && sync->GetPlaylistName().isEmpty());
        int result = 9;
        QCOMPARE(sync->GetArtistSyncStat(QStringLiteral("Abba"), &result), S_OK);
        QCOMPARE(list->lastArtist, QStringLiteral("Abba"));
        QCOMPARE(QVector<HRESULT>({sync->IsEqualTo(sync), sync->IsEqualTo(other), sync->IsEqualTo(nullptr)}),
                 QVector<HRESULT>({S_OK, S_FALSE, S_FALSE}));
        other->Release();
        IPlayerClientOperation* held = nullptr;
        QCOMPARE(sync->AddFiles(nullptr, nullptr, &held), E_NOTIMPL);

        CEventRecorder recorder;
        QTest::ignoreMessage(QtDebugMsg, "CTestSyncList::Subscribe: no receiver or slot");
        QCOMPARE(list->Subscribe(nullptr, SLOT(OnCollectionEvent(int))), E_INVALIDARG);
        QCOMPARE(list->Subscribe(&recorder, SLOT(OnCollectionEvent(int))), S_OK);
        list->OnModified();
        QCOMPARE(list->invalidations, 1);
        list->OnTimerUpdate();
        QCOMPARE(recorder.events, QList<int>{PlayerClient::EventUpdated});
        QCOMPARE(list->Unsubscribe(&recorder), S_OK);
        list->EmitEventUpdated();
        QCOMPARE(recorder.events.size(), 1);
        list->Subscribe(&recorder, SLOT(OnCollectionEvent(int)));
        list->OnModified();
        QVERIFY(list->updateTimer->isActive());

        // The owner's shutdown reaches the list once: player object released, timers stopped, event 2.
        owner->GoAway();
        QVERIFY(list->IsShutdown() && !list->updateTimer->isActive());
        emit owner->WhenShutdown();
        list->Shutdown();
        QCOMPARE(list->releases, 1);
        QCOMPARE(recorder.events, (QList<int>{PlayerClient::EventUpdated, PlayerClient::EventShutdown}));

        // A dead list is silent and takes no subscribers.
        list->OnModified();
        list->OnTimerUpdate();
        QCOMPARE(recorder.events.size(), 2);
        QTest::ignoreMessage(QtDebugMsg, "CTestSyncList::Subscribe: already shutdown");
        CEventRecorder late;
        QCOMPARE(list->Subscribe(&late, SLOT(OnCollectionEvent(int))), E_FAIL);
        list->Release();
        QCOMPARE(alive, 0);
    }
};

SV_TEST_MAIN(TestPlayerClientBase)
#include "tst_playerclientbase.moc"
