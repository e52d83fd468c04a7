#include "support/testmain.h"

#include <QElapsedTimer>
#include <QSettings>

#include "core/resultcodes.h"
#include "playerclientfakes.h"
#include "players/wmp/iplayerclientwmpcollectionstringimpl.h"
#include "players/wmp/iplayerclientwmpplaylistsyncprivimpl.h"
#include "players/wmp/playerclientwmphelper.h"
#include "wmptestsupport.h"

namespace {
QString Marker(quint32 id) { return Sim()->RawAttribute(id, "UserCustom1"); }
int Queries() { return Sim()->CallCount("IWMPMediaCollection2::getPlaylistByQuery"); }

QStringList Names(IPlayerClientCollectionString* names)
{
    QStringList all;
    for (int i = 0; i < names->GetItemCount(); ++i)
        names->GetItem(i, *all.insert(all.end(), QString()));
    return all;
}
} // namespace

// The sync list and the artist, album and playlist collections of the Windows Media Player client, on the
// simulated player.
class TestWmpSync : public QObject, CWmpClientFixture
{
    Q_OBJECT
private:
    CIUnknownPtr<IPlayerClientWmpPlaylistSyncPriv> m_sync;

    CIPlayerClientWmpPlaylistSyncPrivImpl* Impl() const
    {
        return static_cast<CIPlayerClientWmpPlaylistSyncPrivImpl*>(m_sync.Get());
    }

private slots:
    void init()
    {
        SetUpClient();
        CIUnknownPtr<IPlayerClientPlaylistSync> sync;
        QCOMPARE(m_client->GetPlaylistSync(sync.Out()), S_OK);
        QCOMPARE(sync->QueryInterface(IID_IPlayerClientWmpPlaylistSyncPriv, reinterpret_cast<void**>(m_sync.Out())),
                 S_OK);
    }

    void cleanup()
    {
        m_sync.Reset();
        TearDownClient();
    }

    // Selecting and unselecting songs; every song the list shows can be unselected.
    void markers()
    {
        const QString uuid = Impl()->GetSyncUuidText();
        QCOMPARE(uuid, m_client->GetHelper()->GetSyncUuid().toString());
        const quint32 a = Song("a"), b = Song("b"), odd = Song("odd");
        Sim()->SetRawAttribute(a, "UserCustom1", uuid);
        CSongPtr songA = SongOf(a), songB = SongOf(b);
        CPlayerClientDispatcher otherDispatcher;
        CSongPtr alien = SongOf(a, new CPlayerClientWMP(&otherDispatcher));

        // Already selected, not selected, null, another player's song: nothing written, nothing announced.
        Sim()->ResetCallCounts();
        QCOMPARE(Codes({m_sync->AddItem(songA), m_sync->RemoveItem(songB), m_sync->RemoveItem(nullptr),
                        m_sync->RemoveItem(alien), m_sync->HasItem(songA), m_sync->HasItem(songB),
                        m_sync->HasItem(nullptr), m_sync->HasItem(alien), m_sync->AddItem(alien),
                        m_sync->AddItem(nullptr)}),
                 Codes({S_OK, S_OK, S_OK, S_OK, S_OK, S_FALSE, S_FALSE, S_FALSE, E_INVALIDARG, E_INVALIDARG}));
        QCOMPARE(Sim()->CallCount("IWMPMedia::setItemInfo"), 0);
        QVERIFY(!Impl()->IsUpdatePending());

        QCOMPARE(m_sync->AddItem(songB), S_OK);
        QCOMPARE(Marker(b), uuid);
        QVERIFY(Impl()->IsUpdatePending());
        QCOMPARE(Codes({m_sync->RemoveItem(songA), m_sync->HasItem(songA)}), Codes({S_OK, S_FALSE}));
        QVERIFY(Marker(a).isEmpty());

        // The identifier among other text (in another case): listed, so selected and removable; the rest stays.
        const QString shared = "dev:" + uuid.toUpper() + ";";
        Sim()->SetRawAttribute(odd, "UserCustom1", shared);
        QCOMPARE(Titles(m_sync), (QStringList{"b", "odd"}));
        QCOMPARE(Codes({m_sync->AddItem(SongOf(odd)), m_sync->HasItem(SongOf(odd))}), Codes({S_OK, S_OK}));
        QCOMPARE(Marker(odd), shared);
        QCOMPARE(Codes({m_sync->RemoveItem(SongOf(odd)), m_sync->HasItem(SongOf(odd))}), Codes({S_OK, S_FALSE}));
        QCOMPARE(Marker(odd), QStringLiteral("dev:;"));
        QCOMPARE(Titles(m_sync), QStringList{"b"});
    }

    // Order, one query between invalidations, the library kinds followed, coalesced events.
    void list()
    {
        const quint32 ids[] = {Song("t3", "B", "X", 1), Song("t1", "A", "Y", 2), Song("t2", "A", "Y", 1),
                               Song("t0", "A", "W", 9), Song("off", "A", "A", 1)};
        for (int i = 0; i < 4; ++i)
            m_sync->AddItem(SongOf(ids[i]));
        Sim()->FlushEvents();
        Sim()->ResetCallCounts();
        QCOMPARE(Titles(m_sync), (QStringList{"t0", "t2", "t1", "t3"}));
        QCOMPARE(Queries(), 1);
        for (int kind = 0; kind <= 6; ++kind) {
            Sim()->ResetCallCounts();
            m_client->NotifyLibraryChanged(kind, nullptr);
            m_sync->GetItemCount();
            QCOMPARE(Queries(), kind >= 5 ? 1 : 0);
        }

        // A burst of changes gives one event, 500 ms after the last of them.
        CEventRecorder log;
        m_sync->Subscribe(&log, SLOT(OnCollectionEvent(int)));
        QElapsedTimer sinceFirst, sinceLast;
        sinceFirst.start();
        m_sync->Invalidate();
        QTest::qWait(200);
        m_sync->Invalidate();
        sinceLast.start();
        QTRY_COMPARE(log.events, QList<int>{PlayerClient::EventUpdated});
        QVERIFY(sinceLast.elapsed() >= 450 && sinceFirst.elapsed() >= 650);
    }

    void statistics_data()
    {
        QTest::addColumn<QString>("filter");  // "" library, "artist", "/album" or "artist/album"
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<int>("expected");
        // A has X (a1, a2) and Y (a3); B has X (b1).
        QTest::newRow("library, none") << "" << QStringList() << -1;
        QTest::newRow("library, all") << "" << QStringList{"a1", "a2", "a3", "b1"} << 1;
        QTest::newRow("artist, none") << "B" << QStringList{"a1", "a2", "a3"} << -1;
        QTest::newRow("album of two artists, some") << "/X" << QStringList{"a1", "a2"} << 0;
        QTest::newRow("artist's album, all") << "A/X" << QStringList{"a1", "a2"} << 1;
    }
    void statistics()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, selected);
        QFETCH(int, expected);
        const QHash<QString, quint32> ids{{"a1", Song("a1", "A", "X")}, {"a2", Song("a2", "A", "X")},
                                          {"a3", Song("a3", "A", "Y")}, {"b1", Song("b1", "B", "X")}};
        // A playlist's own library item is no song and never counts.
        Sim()->AddPlaylist("List", {ids.value("a1")});
        for (const QString& title : qAsConst(selected))
            m_sync->AddItem(SongOf(ids.value(title)));
        int result = 9;
        const QString artist = filter.section('/', 0, 0), album = filter.section('/', 1, 1);
        const HRESULT hr = filter.isEmpty()        ? m_sync->GetLibraryStat(&result)
                           : !filter.contains('/') ? m_sync->GetArtistStat(artist, &result)
                           : artist.isEmpty()      ? m_sync->GetAlbumStat(album, &result)
                                                   : m_sync->GetArtistAlbumStat(artist, album, &result);
        QVERIFY(hr == S_OK && result == expected);
    }

    // Clear makes a new identifier and writes no song; a snapshot keeps what was selected when taken; failures
    // cache nothing; after the player went away every operation answers "shut down".
    void clearSnapshotAndFailures()
    {
        const quint32 a = Song("a");
        CSongPtr song = SongOf(a);
        m_sync->AddItem(song);
        m_sync->AddItem(SongOf(Song("b")));
        CIUnknownPtr<IPlayerClientPlaylist> snapshot;
        QCOMPARE(m_sync->GetSnapshot(snapshot.Out()), S_OK);
        m_sync->AddItem(SongOf(Song("c")));
        QVERIFY(m_sync->GetItemCount() == 3 && snapshot->GetItemCount() == 2);

        const QString old = Impl()->GetSyncUuidText();
        Sim()->ResetCallCounts();
        QCOMPARE(m_sync->Clear(), S_OK);
        QCOMPARE(Sim()->CallCount("IWMPMedia::setItemInfo"), 0);
        QVERIFY(Impl()->GetSyncUuidText() != old && Marker(a) == old);
        QCOMPARE(QSettings().value("plwmp/syncuuid").toString(), Impl()->GetSyncUuidText());
        int result = 9;
        QVERIFY(m_sync->GetLibraryStat(&result) == S_OK && result == -1);
        QVERIFY(m_sync->GetItemCount() == 0 && snapshot->GetItemCount() == 2);

        m_sync->AddItem(song);
        Sim()->FlushEvents();

        // A failed query leaves nothing cached; the next call asks again.
        m_sync->Invalidate();
        Sim()->FailCall("IWMPMediaCollection2::getPlaylistByQuery", E_OUTOFMEMORY);
        QCOMPARE(m_sync->GetItemCount(), 0);
        QCOMPARE(m_sync->GetItemCount(), 1);
        Sim()->FailCall("IWMPQuery::addCondition", E_OUTOFMEMORY);
        QCOMPARE(m_sync->GetArtistStat("x", &result), E_OUTOFMEMORY);
        // A bad index answers without asking the player.
        m_sync->Invalidate();
        Sim()->ResetCallCounts();
        CSongPtr item;
        QCOMPARE(m_sync->GetItem(-1, item.Out()), E_INVALIDARG);
        QCOMPARE(Queries(), 0);

        // The player goes away: event 2 once, then every operation answers "shut down".
        CEventRecorder log;
        m_sync->Subscribe(&log, SLOT(OnCollectionEvent(int)));
        Sim()->SetRunning(false);
        QTRY_COMPARE(log.events, QList<int>{PlayerClient::EventShutdown});
        QCOMPARE(Codes({m_sync->GetItem(0, item.Out()), m_sync->AddItem(song), m_sync->RemoveItem(song),
                        m_sync->HasItem(song), m_sync->GetLibraryStat(&result), m_sync->Clear(),
                        m_sync->GetSnapshot(snapshot.Out())}),
                 Codes(7, SV_E_SHUT_DOWN));
        m_sync->Invalidate();
        QVERIFY(!Impl()->IsUpdatePending() && log.events.size() == 1);
    }

    void stringCollections()
    {
        for (const QStringList& song : {QStringList{"beta", "Two"}, {"Alpha", "one"}, {"Alpha", "Three"}, {"gamma", "one"}, {"", ""}})
            Song("t", song[0], song[1]);
        CIUnknownPtr<IPlayerClientCollectionString> artists, albums, ofAlpha, other;
        QCOMPARE(m_client->GetArtists(artists.Out()), S_OK);
        QCOMPARE(m_client->GetAlbums(albums.Out()), S_OK);
        QCOMPARE(m_client->GetArtistAlbums("Alpha", ofAlpha.Out()), S_OK);
        QCOMPARE(Names(artists), (QStringList{"Alpha", "beta", "gamma"}));
        QCOMPARE(Names(albums), (QStringList{"one", "Three", "Two"}));
        QCOMPARE(Names(ofAlpha), (QStringList{"one", "Three"}));
        QCOMPARE(CIPlayerClientWMPCollectionStringImpl::CreateInstanceWithKind(m_client, 3, other.Out()), E_NOTIMPL);

        // Artist names follow kind 0 only, album names kind 1 only.
        Sim()->FlushEvents();
        CEventRecorder artistLog, albumLog;
        artists->Subscribe(&artistLog, SLOT(OnCollectionEvent(int)));
        albums->Subscribe(&albumLog, SLOT(OnCollectionEvent(int)));
        for (int kind = 0; kind <= 6; ++kind)
            m_client->NotifyLibraryChanged(kind, nullptr);
        QVERIFY(artistLog.events == QList<int>{PlayerClient::EventUpdated} && albumLog.events == artistLog.events);
        Song("6", "Delta", "one");
        QTRY_COMPARE(Names(artists), (QStringList{"Alpha", "beta", "Delta", "gamma"}));
    }

    // Playlists by name, taking every playlist out of the sync selection, coalesced re-reads, death on failure.
    void playlistCollection()
    {
        Sim()->AddPlaylist("Dup", {});
        Sim()->AddPlaylist("Dup", {});
        CIUnknownPtr<IPlayerClientCollectionPlaylist> playlists;
        CIUnknownPtr<IPlayerClientPlaylist> item;
        QCOMPARE(m_client->GetPlaylists(playlists.Out()), S_OK);
        QCOMPARE(Codes({playlists->GetItemCount(), playlists->GetItem(-1, item.Out()), playlists->HasItemWithName("New"),
                        playlists->CreateItem("New", item.Out()), playlists->HasItemWithName("New"),
                        playlists->HasItemWithName("Dup"), playlists->RemoveAllItemsWithName("Dup")}),
                 Codes({2, E_INVALIDARG, S_FALSE, S_OK, S_OK, S_OK, S_OK}));
        QCOMPARE(Sim()->Library().Playlists().size(), 1);
        QTRY_COMPARE(playlists->GetItemCount(), 1);

        // A new playlist-sync id leaves every mark stale at once; the sync list drops what it read and says so.
        CIUnknownPtr<IPlayerClientPlaylist> other;
        QCOMPARE(Codes({playlists->CreateItem("Other", other.Out()), other->SetInSync(true), item->SetInSync(true),
                        other->IsInSync(), item->IsInSync()}),
                 Codes({S_OK, S_OK, S_OK, S_OK, S_OK}));
        const QString old = QSettings().value("plwmp/plsyncuuid").toString();
        Sim()->FlushEvents();
        m_sync->GetItemCount();
        CEventRecorder syncLog;
        m_sync->Subscribe(&syncLog, SLOT(OnCollectionEvent(int)));
        Sim()->ResetCallCounts();
        QCOMPARE(playlists->RemoveAllFromSync(), S_OK);
        QVERIFY(QSettings().value("plwmp/plsyncuuid").toString() != old);
        QCOMPARE(Codes({item->IsInSync(), other->IsInSync()}), Codes({S_FALSE, S_FALSE}));
        m_sync->GetItemCount();
        QCOMPARE(Queries(), 1);
        QTRY_COMPARE(syncLog.events, QList<int>{PlayerClient::EventUpdated});

        // A burst of playlist changes in one pass of the event loop: one re-read, one event.
        Sim()->FlushEvents();
        QTest::qWait(20);
        CEventRecorder log;
        playlists->Subscribe(&log, SLOT(OnCollectionEvent(int)));
        Sim()->ResetCallCounts();
        m_client->NotifyLibraryChanged(CPlayerClientWMP::LibraryPlaylists, nullptr);
        m_client->NotifyLibraryChanged(CPlayerClientWMP::LibraryPlaylists, nullptr);
        QCOMPARE(playlists->Refresh(), S_OK);
        QTRY_COMPARE(log.events, QList<int>{PlayerClient::EventUpdated});
        QCOMPARE(Sim()->CallCount("IWMPPlaylistCollection::getAll"), 1);

        // A failed re-read leaves the collection dead: event 2, then refusals.
        Sim()->FailCall("IWMPPlaylistCollection::getAll", E_OUTOFMEMORY);
        playlists->Refresh();
        QTRY_COMPARE(log.events.last(), int(PlayerClient::EventShutdown));
        QCOMPARE(Codes({playlists->Refresh(), playlists->RemoveAllFromSync(),
                        playlists->Subscribe(&log, SLOT(OnCollectionEvent(int))), playlists->GetItem(0, item.Out())}),
                 Codes({E_FAIL, E_FAIL, E_FAIL, SV_E_SHUT_DOWN}));
    }
};

SV_TEST_MAIN(TestWmpSync)
#include "tst_wmpsync.moc"
