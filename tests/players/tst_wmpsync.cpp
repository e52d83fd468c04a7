#include "support/testmain.h"

#include <QElapsedTimer>
#include <QSettings>

#include "core/resultcodes.h"
#include "platform/wmp/simplayer.h"
#include "players/playerclientdispatcher.h"
#include "players/wmp/iplayerclientwmpcollectionstringimpl.h"
#include "players/wmp/iplayerclientwmpplaylistsyncprivimpl.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"
#include "players/wmp/playerclientwmphelper.h"

using Platform::Wmp::CSimPlayer;
typedef CIUnknownPtr<IPlayerClientSong> CSongPtr;

namespace {

CSimPlayer* Sim()
{
    return CSimPlayer::Instance();
}

quint32 Song(const QString& title, const QString& artist = "x", const QString& album = "y", int track = 0)
{
    return Sim()->AddMedia({{"Title", title}, {"Author", artist}, {"WM/AlbumTitle", album},
                            {"WM/TrackNumber", track ? QString::number(track) : QString()}});
}

QString Marker(quint32 id)
{
    return Sim()->RawAttribute(id, QStringLiteral("UserCustom1"));
}

int Queries()
{
    return Sim()->CallCount(QStringLiteral("IWMPMediaCollection2::getPlaylistByQuery"));
}

QStringList Names(IPlayerClientCollectionString* names)
{
    QStringList all;
    for (int i = 0; i < names->GetItemCount(); ++i) {
        QString name;
        names->GetItem(i, name);
        all << name;
    }
    return all;
}

} // namespace

class CEvents : public QObject
{
    Q_OBJECT
public:
    QList<int> events;
public slots:
    void OnEvent(int event) { events << event; }
};

// The sync list and the artist, album and playlist collections of the Windows Media Player client, on the
// simulated player.
class TestWmpSync : public QObject
{
    Q_OBJECT
private:
    CPlayerClientDispatcher* m_dispatcher = nullptr;
    CPlayerClientWMP* m_client = nullptr;
    CIUnknownPtr<IPlayerClientWmpPlaylistSyncPriv> m_sync;

    CIPlayerClientWmpPlaylistSyncPrivImpl* Impl() const
    {
        return static_cast<CIPlayerClientWmpPlaylistSyncPrivImpl*>(m_sync.Get());
    }
    CSongPtr SongOf(quint32 id, CPlayerClientWMP* owner = nullptr)
    {
        CIUnknownPtr<IWMPMedia> media;
        media.Attach(Sim()->NewMediaObject(Sim()->Library().FindById(id)));
        IPlayerClientWmpSongPriv* song = nullptr;
        CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(owner ? owner : m_client, media, &song);
        CSongPtr held;
        held.Attach(song);
        return held;
    }
    QStringList ListTitles()
    {
        CIUnknownPtr<IWMPPlaylist> raw;
        QStringList titles;
        qint32 count = 0;
        if (FAILED(m_sync->GetRawInterface(raw.Out())) || FAILED(raw->get_count(&count)))
            return {QStringLiteral("<failed>")};
        for (int i = 0; i < count; ++i) {
            CIUnknownPtr<IWMPMedia> media;
            QString title;
            raw->get_item(i, media.Out());
            media->getItemInfo(QStringLiteral("Title"), &title);
            titles << title;
        }
        return titles;
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        Sim()->Reset();
        Sim()->SetRunning(true);
        m_dispatcher = new CPlayerClientDispatcher();
        m_client = new CPlayerClientWMP(m_dispatcher);
        CIUnknownPtr<IPlayerClientPlaylistSync> sync;
        void* face = nullptr;
        QCOMPARE(m_client->GetPlaylistSync(sync.Out()), S_OK);
        QCOMPARE(sync->QueryInterface(IID_IPlayerClientWmpPlaylistSyncPriv, &face), S_OK);
        m_sync.Attach(static_cast<IPlayerClientWmpPlaylistSyncPriv*>(face));
    }

    void cleanup()
    {
        m_sync.Reset();
        delete m_dispatcher;
        QCOMPARE(Sim()->SinkCount(), 0);
    }

    // Selecting and unselecting songs; every song the list shows can be unselected.
    void markers()
    {
        const QString uuid = Impl()->GetSyncUuidText();
        QCOMPARE(uuid, m_client->GetHelper()->GetSyncUuid().toString());
        const quint32 a = Song("a"), odd = Song("odd");
        CSongPtr songA = SongOf(a), songB = SongOf(Song("b"));
        CEvents log;
        m_sync->Subscribe(&log, SLOT(OnEvent(int)));
        QCOMPARE(m_sync->AddItem(songA), S_OK);
        QCOMPARE(Marker(a), uuid);
        QCOMPARE(m_sync->HasItem(songA), S_OK);
        QCOMPARE(m_sync->HasItem(songB), S_FALSE);
        QTRY_COMPARE(log.events, QList<int>{PlayerClient::EventUpdated});

        // Already selected, not selected, null, another player's song: nothing written, nothing announced.
        CPlayerClientDispatcher otherDispatcher;
        CSongPtr alien = SongOf(a, new CPlayerClientWMP(&otherDispatcher));
        Sim()->ResetCallCounts();
        QCOMPARE(m_sync->AddItem(songA), S_OK);
        QCOMPARE(m_sync->RemoveItem(songB), S_OK);
        QCOMPARE(m_sync->RemoveItem(nullptr), S_OK);
        QCOMPARE(m_sync->RemoveItem(alien), S_OK);
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPMedia::setItemInfo")), 0);
        QVERIFY(!Impl()->IsUpdatePending());
        QCOMPARE(m_sync->HasItem(nullptr), S_FALSE);
        QCOMPARE(m_sync->HasItem(alien), S_FALSE);
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpPlaylistSyncPrivImpl::AddItem: alien item");
        QCOMPARE(m_sync->AddItem(alien), E_INVALIDARG);
        QCOMPARE(m_sync->AddItem(nullptr), E_INVALIDARG);

        QCOMPARE(m_sync->RemoveItem(songA), S_OK);
        QVERIFY(Marker(a).isEmpty());
        QCOMPARE(m_sync->HasItem(songA), S_FALSE);

        // The identifier among other text (in another case): listed, so selected and removable; the rest stays.
        Sim()->SetRawAttribute(odd, QStringLiteral("UserCustom1"), "dev:" + uuid.toUpper() + ";");
        QCOMPARE(ListTitles(), QStringList{"odd"});
        QCOMPARE(m_sync->AddItem(SongOf(odd)), S_OK);
        QCOMPARE(Marker(odd), "dev:" + uuid.toUpper() + ";");
        QCOMPARE(m_sync->HasItem(SongOf(odd)), S_OK);
        QCOMPARE(m_sync->RemoveItem(SongOf(odd)), S_OK);
        QCOMPARE(Marker(odd), QStringLiteral("dev:;"));
        QCOMPARE(m_sync->HasItem(SongOf(odd)), S_FALSE);
        QVERIFY(ListTitles().isEmpty());
    }

    // Order, one query between invalidations, the library kinds followed, coalesced events.
    void list()
    {
        const quint32 ids[] = {Song("t3", "B", "X", 1), Song("t1", "A", "Y", 2), Song("t2", "A", "Y", 1),
                               Song("t0", "A", "W", 9), Song("off", "A", "A", 1)};
        for (int i = 0; i < 4; ++i)
            m_sync->AddItem(SongOf(ids[i]));
        QCOMPARE(ListTitles(), (QStringList{"t0", "t2", "t1", "t3"}));
        CSongPtr item;
        QCOMPARE(m_sync->GetItem(1, item.Out()), S_OK);
        QCOMPARE(item->IsEqualTo(SongOf(ids[2])), S_OK);

        Sim()->FlushEvents();
        Sim()->ResetCallCounts();
        QCOMPARE(m_sync->GetItemCount(), 4);
        QCOMPARE(m_sync->GetItem(3, item.Out()), S_OK);
        QCOMPARE(Queries(), 1);
        for (int kind = 0; kind <= 6; ++kind) {
            Sim()->ResetCallCounts();
            m_client->NotifyLibraryChanged(kind, nullptr);
            m_sync->GetItemCount();
            QCOMPARE(Queries(), kind >= 5 ? 1 : 0);
        }

        // A burst of changes gives one event, 500 ms after the last of them.
        CEvents log;
        QTRY_VERIFY(!Impl()->IsUpdatePending());
        m_sync->Subscribe(&log, SLOT(OnEvent(int)));
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
        QTest::newRow("library, some") << "" << QStringList{"b1"} << 0;
        QTest::newRow("artist, all") << "A" << QStringList{"a1", "a2", "a3"} << 1;
        QTest::newRow("artist, none") << "B" << QStringList{"a1", "a2", "a3"} << -1;
        QTest::newRow("album of two artists, some") << "/X" << QStringList{"a1", "a2"} << 0;
        QTest::newRow("album, all") << "/X" << QStringList{"a1", "a2", "b1"} << 1;
        QTest::newRow("artist's album, all") << "A/X" << QStringList{"a1", "a2"} << 1;
        QTest::newRow("artist's album, none") << "A/Y" << QStringList{"a1", "a2"} << -1;
    }

    void statistics()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, selected);
        QFETCH(int, expected);
        const QHash<QString, quint32> ids{{"a1", Song("a1", "A", "X")}, {"a2", Song("a2", "A", "X")},
                                          {"a3", Song("a3", "A", "Y")}, {"b1", Song("b1", "B", "X")}};
        // A playlist's own library item is no song and never counts.
        Sim()->AddPlaylist(QStringLiteral("List"), {ids.value("a1")});
        for (const QString& title : qAsConst(selected))
            m_sync->AddItem(SongOf(ids.value(title)));
        int result = 9;
        const QString artist = filter.section('/', 0, 0), album = filter.section('/', 1, 1);
        HRESULT hr = filter.isEmpty()       ? m_sync->GetLibraryStat(&result)
                     : !filter.contains('/') ? m_sync->GetArtistStat(artist, &result)
                     : artist.isEmpty()     ? m_sync->GetAlbumStat(album, &result)
                                            : m_sync->GetArtistAlbumStat(artist, album, &result);
        QCOMPARE(hr, S_OK);
        QCOMPARE(result, expected);
    }

    // Clear makes a new identifier and writes no song; a snapshot keeps what was selected when taken.
    void clearAndSnapshot()
    {
        const quint32 a = Song("a");
        m_sync->AddItem(SongOf(a));
        m_sync->AddItem(SongOf(Song("b")));
        CIUnknownPtr<IPlayerClientPlaylist> snapshot;
        QCOMPARE(m_sync->GetSnapshot(snapshot.Out()), S_OK);
        m_sync->AddItem(SongOf(Song("c")));
        QCOMPARE(m_sync->GetItemCount(), 3);
        QCOMPARE(snapshot->GetItemCount(), 2);

        const QString old = Impl()->GetSyncUuidText();
        Sim()->ResetCallCounts();
        QCOMPARE(m_sync->Clear(), S_OK);
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPMedia::setItemInfo")), 0);
        QVERIFY(Impl()->GetSyncUuidText() != old);
        QCOMPARE(QSettings().value(QStringLiteral("plwmp/syncuuid")).toString(), Impl()->GetSyncUuidText());
        int result = 9;
        QCOMPARE(m_sync->GetLibraryStat(&result), S_OK);
        QCOMPARE(result, -1);
        QCOMPARE(m_sync->GetItemCount(), 0);
        QCOMPARE(Marker(a), old);
        QCOMPARE(snapshot->GetItemCount(), 2);
    }

    void failuresAndShutdown()
    {
        CSongPtr song = SongOf(Song("a"));
        m_sync->AddItem(song);
        Sim()->FlushEvents();

        // A failed query leaves nothing cached; the next call asks again.
        m_sync->Invalidate();
        Sim()->FailCall(QStringLiteral("IWMPMediaCollection2::getPlaylistByQuery"), E_OUTOFMEMORY);
        QTest::ignoreMessage(QtDebugMsg,
                             "CIPlayerClientWmpPlaylistSyncPrivImpl::GetRawInterface: getPlaylistByQuery failed 8007000e");
        QCOMPARE(m_sync->GetItemCount(), 0);
        QCOMPARE(m_sync->GetItemCount(), 1);
        Sim()->FailCall(QStringLiteral("IWMPQuery::addCondition"), E_OUTOFMEMORY);
        QTest::ignoreMessage(QtDebugMsg,
                             "CIPlayerClientWmpPlaylistSyncPrivImpl::GetArtistStat:[in] addCondition(artist) failed 8007000e");
        int result = 9;
        QCOMPARE(m_sync->GetArtistStat(QStringLiteral("x"), &result), E_OUTOFMEMORY);
        m_sync->Invalidate();
        Sim()->ResetCallCounts();
        CSongPtr item;
        QCOMPARE(m_sync->GetItem(-1, item.Out()), E_INVALIDARG);
        QCOMPARE(Queries(), 0);

        // The player goes away: event 2 once, then every operation answers "shut down".
        CEvents log;
        m_sync->Subscribe(&log, SLOT(OnEvent(int)));
        Sim()->SetRunning(false);
        QTRY_COMPARE(log.events, QList<int>{PlayerClient::EventShutdown});
        CIUnknownPtr<IPlayerClientPlaylist> snapshot;
        const QVector<HRESULT> answers{m_sync->GetItem(0, item.Out()), m_sync->AddItem(song),
                                     m_sync->RemoveItem(song),       m_sync->HasItem(song),
                                     m_sync->GetLibraryStat(&result), m_sync->Clear(),
                                     m_sync->GetSnapshot(snapshot.Out())};
        QCOMPARE(answers, QVector<HRESULT>(7, SV_E_SHUT_DOWN));
        m_sync->Invalidate();
        QVERIFY(!Impl()->IsUpdatePending());
        QCOMPARE(log.events, QList<int>{PlayerClient::EventShutdown});
    }

    void stringCollections()
    {
        Song("1", "beta", "Two");
        Song("2", "Alpha", "one");
        Song("3", "Alpha", "Three");
        Song("4", "gamma", "one");
        Song("5", "", "");
        CIUnknownPtr<IPlayerClientCollectionString> artists, albums, ofAlpha, other;
        QCOMPARE(m_client->GetArtists(artists.Out()), S_OK);
        QCOMPARE(m_client->GetAlbums(albums.Out()), S_OK);
        QCOMPARE(m_client->GetArtistAlbums(QStringLiteral("Alpha"), ofAlpha.Out()), S_OK);
        QCOMPARE(Names(artists), (QStringList{"Alpha", "beta", "gamma"}));
        QCOMPARE(Names(albums), (QStringList{"one", "Three", "Two"}));
        QCOMPARE(Names(ofAlpha), (QStringList{"one", "Three"}));
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWMPCollectionStringImpl::InitializeWithKind: unsupported kind 3");
        QCOMPARE(CIPlayerClientWMPCollectionStringImpl::CreateInstanceWithKind(m_client, 3, other.Out()), E_NOTIMPL);

        // Artist names follow kind 0 only, album names kind 1 only.
        Sim()->FlushEvents();
        CEvents artistLog, albumLog;
        artists->Subscribe(&artistLog, SLOT(OnEvent(int)));
        albums->Subscribe(&albumLog, SLOT(OnEvent(int)));
        for (int kind = 0; kind <= 6; ++kind)
            m_client->NotifyLibraryChanged(kind, nullptr);
        QCOMPARE(artistLog.events, QList<int>{PlayerClient::EventUpdated});
        QCOMPARE(albumLog.events, QList<int>{PlayerClient::EventUpdated});
        Song("6", "Delta", "one");
        QTRY_COMPARE(Names(artists), (QStringList{"Alpha", "beta", "Delta", "gamma"}));
    }

    void playlistCollection()
    {
        Sim()->AddPlaylist(QStringLiteral("Dup"), {});
        Sim()->AddPlaylist(QStringLiteral("Dup"), {});
        CIUnknownPtr<IPlayerClientCollectionPlaylist> playlists;
        CIUnknownPtr<IPlayerClientPlaylist> item;
        QCOMPARE(m_client->GetPlaylists(playlists.Out()), S_OK);
        QCOMPARE(playlists->GetItemCount(), 2);
        QCOMPARE(playlists->GetItem(-1, item.Out()), E_INVALIDARG);
        QCOMPARE(playlists->HasItemWithName(QStringLiteral("New")), S_FALSE);
        QCOMPARE(playlists->CreateItem(QStringLiteral("New"), item.Out()), S_OK);
        QCOMPARE(playlists->HasItemWithName(QStringLiteral("New")), S_OK);
        QCOMPARE(playlists->HasItemWithName(QStringLiteral("Dup")), S_OK);
        QCOMPARE(playlists->RemoveAllItemsWithName(QStringLiteral("Dup")), S_OK);
        QCOMPARE(Sim()->Library().Playlists().size(), 1);
        QTRY_COMPARE(playlists->GetItemCount(), 1);

        // A burst of playlist changes in one pass of the event loop: one re-read, one event.
        Sim()->FlushEvents();
        QTest::qWait(20);
        CEvents log;
        playlists->Subscribe(&log, SLOT(OnEvent(int)));
        Sim()->ResetCallCounts();
        m_client->NotifyLibraryChanged(CPlayerClientWMP::LibraryPlaylists, nullptr);
        m_client->NotifyLibraryChanged(CPlayerClientWMP::LibraryPlaylists, nullptr);
        QCOMPARE(playlists->Refresh(), S_OK);
        QTRY_COMPARE(log.events, QList<int>{PlayerClient::EventUpdated});
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPPlaylistCollection::getAll")), 1);

        // A failed re-read leaves the collection dead: event 2, then refusals.
        Sim()->FailCall(QStringLiteral("IWMPPlaylistCollection::getAll"), E_OUTOFMEMORY);
        playlists->Refresh();
        QTRY_COMPARE(log.events.last(), int(PlayerClient::EventShutdown));
        const QVector<HRESULT> answers{playlists->Refresh(), playlists->RemoveAllFromSync(),
                                       playlists->Subscribe(&log, SLOT(OnEvent(int))), playlists->GetItem(0, item.Out())};
        QCOMPARE(answers, (QVector<HRESULT>{E_FAIL, E_FAIL, E_FAIL, SV_E_SHUT_DOWN}));
    }

    // Taking every playlist out of the sync selection leaves their marks stale at once.
    void removeAllFromSync()
    {
        Sim()->AddPlaylist(QStringLiteral("P1"), {});
        Sim()->AddPlaylist(QStringLiteral("P2"), {});
        CIUnknownPtr<IPlayerClientCollectionPlaylist> playlists;
        QCOMPARE(m_client->GetPlaylists(playlists.Out()), S_OK);
        QList<CIUnknownPtr<IPlayerClientPlaylist>> items;
        for (int i = 0; i < 2; ++i) {
            CIUnknownPtr<IPlayerClientPlaylist> item;
            playlists->GetItem(i, item.Out());
            QCOMPARE(item->SetInSync(true), S_OK);
            QCOMPARE(item->IsInSync(), S_OK);
            items << item;
        }
        const QString old = QSettings().value(QStringLiteral("plwmp/plsyncuuid")).toString();
        Sim()->FlushEvents();
        QTRY_VERIFY(!Impl()->IsUpdatePending());
        CEvents log;
        m_sync->Subscribe(&log, SLOT(OnEvent(int)));

        QCOMPARE(playlists->RemoveAllFromSync(), S_OK);
        QVERIFY(QSettings().value(QStringLiteral("plwmp/plsyncuuid")).toString() != old);
        for (const auto& item : qAsConst(items))
            QCOMPARE(item->IsInSync(), S_FALSE);
        QTRY_COMPARE(log.events, QList<int>{PlayerClient::EventUpdated});
    }
};

SV_TEST_MAIN(TestWmpSync)
#include "tst_wmpsync.moc"
