#include "support/testmain.h"

#include <QSettings>

#include "core/corefeatures.h"
#include "core/resultcodes.h"
#include "playerclientfakes.h"
#include "players/wmp/iplayerclientwmpplaylistprivimpl.h"
#include "players/wmp/playerclientwmphelper.h"
#include "wmptestsupport.h"

typedef CIUnknownPtr<IPlayerClientWmpPlaylistPriv> CPlaylistPtr;

// Playlists, filtered song lists and songs of the Windows Media Player client on the simulated player.
class TestWmpPlaylist : public QObject, CWmpClientFixture
{
    Q_OBJECT
private:
    CPlayerClientDispatcher* m_otherDispatcher = nullptr;

    CPlaylistPtr UserPlaylist(quint32 id, int allowAuto = 1)
    {
        CIUnknownPtr<IWMPPlaylist> raw;
        for (const auto& record : Sim()->Library().Playlists())
            if (record->id == id)
                raw.Attach(Sim()->NewPlaylistObject(record));
        CPlaylistPtr playlist;
        CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface(m_client, raw, allowAuto, playlist.Out());
        return playlist;
    }
    // A song of another client of the same player.
    CSongPtr AlienSong(quint32 id)
    {
        m_otherDispatcher = new CPlayerClientDispatcher();
        return SongOf(id, new CPlayerClientWMP(m_otherDispatcher));
    }

private slots:
    void init() { SetUpClient(); }

    void cleanup()
    {
        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureWmpSortByTitle, false);
        delete m_otherDispatcher;
        m_otherDispatcher = nullptr;
        TearDownClient();
    }

    void filteredKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("byTitle");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("library") << 0 << false << QStringList{"Mu", "Alfa", "Eta", "Zeta", "Beta"};
        QTest::newRow("library by title") << 0 << true << QStringList{"Alfa", "Beta", "Eta", "Mu", "Zeta"};
        QTest::newRow("artist") << 1 << false << QStringList{"Eta", "Zeta", "Beta"};
        QTest::newRow("album") << 2 << false << QStringList{"Beta", "Mu", "Alfa"};
        QTest::newRow("artist's album") << 3 << false << QStringList{"Mu", "Alfa"};
        QTest::newRow("one song") << 6 << false << QStringList{"Zeta"};
    }
    void filteredKinds()
    {
        QFETCH(int, kind);
        QFETCH(bool, byTitle);
        QFETCH(QStringList, titles);
        for (const QStringList& song : {QStringList{"Zeta", "Bee", "Alpha", "2"}, {"Eta", "Bee", "Alpha", "1"},
                                        {"Beta", "Bee", "Omega", "1"}, {"Alfa", "Ant", "Omega", "3"}, {"Mu", "Ant", "Omega", "1"}})
            Song(song[0], song[1], song[2], song[3].toInt());
        QVERIFY(CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureWmpSortByTitle, byTitle));

        CIUnknownPtr<IPlayerClientPlaylist> list;
        CIUnknownPtr<IPlayerClientCollectionSong> songs;
        switch (kind) {
        case 0: QCOMPARE(m_client->GetLibraryPlaylist(list.Out()), S_OK); break;
        case 1: QCOMPARE(m_client->GetArtistSongs("bee", list.Out()), S_OK); break;
        case 2: QCOMPARE(m_client->GetAlbumSongs("Omega", list.Out()), S_OK); break;
        case 3: QCOMPARE(m_client->GetArtistAlbumSongs("Ant", "Omega", list.Out()), S_OK); break;
        default: QCOMPARE(m_client->GetSongsByArtistAlbumTitle("Bee", "Alpha", "Zeta", songs.Out()), S_OK);
        }
        QCOMPARE(Titles(list ? list.Get() : songs.Get()), titles);
        QString name;
        if (list)
            QVERIFY(list->GetKind() == kind && list->GetName(name) == E_NOTIMPL);
    }

    void capabilities()
    {
        const quint32 song = Song("s");
        CPlaylistPtr user = UserPlaylist(Sim()->AddPlaylist("User", {}));
        const quint32 autoId = Sim()->AddPlaylist("Auto", {song}, true);
        CPlaylistPtr automatic = UserPlaylist(autoId);
        CIUnknownPtr<IPlayerClientPlaylist> library;
        QCOMPARE(m_client->GetLibraryPlaylist(library.Out()), S_OK);
        QCOMPARE(QList<int>({user->GetFlags(), automatic->GetFlags(), library->GetFlags()}),
                 QList<int>({0x5F, 0x59, 0x21}));
        // New playlists never take an automatic one.
        QVERIFY(!UserPlaylist(autoId, 0));

        // An automatic playlist is renamed, deleted and synced, but its songs are the player's choice.
        CSongPtr item = SongOf(song);
        QCOMPARE(Codes({automatic->AddItem(item), automatic->RemoveItem(item), automatic->Rename("Auto 2"),
                        automatic->SetInSync(true), automatic->IsInSync(), automatic->Delete()}),
                 Codes({E_NOTIMPL, E_NOTIMPL, S_OK, S_OK, S_OK, S_OK}));
        // The library takes files (the operation refuses none) and nothing that edits a playlist.
        IPlayerClientOperation* operation = nullptr;
        QCOMPARE(Codes({user->AddFiles(nullptr, nullptr, &operation), library->AddFiles(nullptr, nullptr, &operation),
                        library->Rename("x"), library->AddItem(item), library->SetInSync(true)}),
                 Codes({E_NOTIMPL, E_INVALIDARG, E_NOTIMPL, E_NOTIMPL, E_NOTIMPL}));
        QVERIFY(!operation);
    }

    void reactions()
    {
        const quint32 a = Song("a");
        CPlaylistPtr playlist = UserPlaylist(Sim()->AddPlaylist("Mine", {}));
        Sim()->AddPlaylist("Other", {});
        CIUnknownPtr<IPlayerClientPlaylist> library;
        QCOMPARE(m_client->GetLibraryPlaylist(library.Out()), S_OK);
        Sim()->FlushEvents();
        CEventRecorder playlistLog, libraryLog;
        QCOMPARE(playlist->Subscribe(&playlistLog, SLOT(OnCollectionEvent(int))), S_OK);
        QCOMPARE(library->Subscribe(&libraryLog, SLOT(OnCollectionEvent(int))), S_OK);

        // Media changes re-query the filtered list (and any song of a playlist may have changed).
        Song("b");
        Sim()->FlushEvents();
        QCOMPARE(library->GetItemCount(), 2);
        QCOMPARE(libraryLog.events, QList<int>{0});
        QCOMPARE(playlistLog.events, QList<int>{0});

        // A playlist change counts for the identical playlist only (events bring fresh objects).
        Sim()->Library().InsertItem(Sim()->Library().Playlists().value(1), 0, a);
        Sim()->Library().NewPlaylist("New", false);
        Sim()->FlushEvents();
        QCOMPARE(playlistLog.events, QList<int>{0});
        Sim()->Library().InsertItem(Sim()->Library().Playlists().value(0), 0, a);
        Sim()->FlushEvents();
        QCOMPARE(playlistLog.events, (QList<int>{0, 0}));
        QCOMPARE(playlist->GetItemCount(), 1);

        // The player goes away: the objects die and say so once.
        Sim()->SetRunning(false);
        Sim()->FlushEvents();
        QCOMPARE(playlistLog.events, (QList<int>{0, 0, 2}));
        QCOMPARE(libraryLog.events.count(2), 1);
        CSongPtr song;
        QCOMPARE(Codes({playlist->GetItem(0, song.Out()), playlist->Rename("z"), library->Refresh(),
                        playlist->Subscribe(&playlistLog, SLOT(OnCollectionEvent(int)))}),
                 Codes({SV_E_SHUT_DOWN, SV_E_SHUT_DOWN, SV_E_SHUT_DOWN, E_FAIL}));
    }

    void edits()
    {
        const quint32 a = Song("a");
        const quint32 id = Sim()->AddPlaylist("Old", {});
        const quint32 mediaId = Sim()->Library().Playlists().value(0)->mediaId;
        CPlaylistPtr playlist = UserPlaylist(id);
        // The playlists' sync id is made on first use and marks the playlist's library item.
        QVERIFY(m_client->GetHelper()->GetPlaylistSyncUuid().isNull());
        QCOMPARE(playlist->IsInSync(), S_FALSE);
        const QString uuid = m_client->GetHelper()->GetPlaylistSyncUuid().toString();
        QVERIFY(!QUuid(uuid).isNull() && QSettings().value("plwmp/plsyncuuid").toString() == uuid);
        QCOMPARE(Codes({playlist->SetInSync(true), playlist->IsInSync()}), Codes({S_OK, S_OK}));
        QCOMPARE(Sim()->RawAttribute(mediaId, "UserCustom1"), uuid);
        QCOMPARE(Codes({playlist->SetInSync(false), playlist->IsInSync()}), Codes({S_OK, S_FALSE}));

        QString name;
        QVERIFY(playlist->GetName(name) == S_OK && name == "Old");
        QCOMPARE(Codes({playlist->Rename(QString()), playlist->Rename("New")}), Codes({E_INVALIDARG, S_OK}));
        QVERIFY(playlist->GetName(name) == S_OK && name == "New");
        QCOMPARE(Sim()->RawAttribute(mediaId, "Title"), QStringLiteral("New"));

        // A rename the player half refuses leaves both names, and so the sync mark, as they were.
        QCOMPARE(playlist->SetInSync(true), S_OK);
        Sim()->FailCall("IWMPPlaylist::put_name", E_FAIL);
        QCOMPARE(playlist->Rename("Newer"), E_FAIL);
        QCOMPARE(Sim()->RawAttribute(mediaId, "Title"), QStringLiteral("New"));
        QVERIFY(playlist->GetName(name) == S_OK && name == "New");
        QCOMPARE(playlist->IsInSync(), S_OK);

        // Songs: null, another client's, own.
        CSongPtr alien = AlienSong(a), own = SongOf(a);
        QCOMPARE(Codes({playlist->AddItem(nullptr), playlist->AddItem(alien), playlist->RemoveItem(alien),
                        playlist->AddItem(own), playlist->GetItemCount(), playlist->RemoveItem(own), playlist->GetItemCount()}),
                 Codes({E_INVALIDARG, E_INVALIDARG, E_INVALIDARG, S_OK, 1, S_OK, 0}));

        // Identity goes through the player, never through object addresses.
        QCOMPARE(Codes({playlist->IsEqualTo(nullptr), playlist->IsEqualTo(playlist), playlist->IsEqualTo(UserPlaylist(id)),
                        playlist->IsEqualTo(UserPlaylist(Sim()->AddPlaylist("Other", {})))}),
                 Codes({S_FALSE, S_OK, S_OK, S_FALSE}));

        // Two playlists of one name cannot be told apart.
        Sim()->AddPlaylist("New", {});
        QCOMPARE(playlist->IsInSync(), SV_E_NO_PLAYER_OBJECT);

        CEventRecorder log;
        QCOMPARE(playlist->Subscribe(&log, SLOT(OnCollectionEvent(int))), S_OK);
        QCOMPARE(playlist->Delete(), S_OK);
        QCOMPARE(log.events, QList<int>{2});
        QCOMPARE(Sim()->Library().Playlists().size(), 2);
    }

    void playback()
    {
        const quint32 a = Song("a"), b = Song("b");
        CPlaylistPtr empty = UserPlaylist(Sim()->AddPlaylist("Empty", {}));
        const quint32 listId = Sim()->AddPlaylist("List", {a, b});
        CPlaylistPtr list = UserPlaylist(listId);
        Sim()->PlayMedia(a);
        const auto before = Sim()->CurrentPlaylist();

        // An empty list never replaces what the user listens to.
        QCOMPARE(empty->Play(), SV_E_EMPTY_PLAYLIST);
        QVERIFY(Sim()->CurrentPlaylist() == before && Sim()->PlayState() == WmpPlayStatePlaying);

        // A song played within a playlist: the list is loaded without auto-start, the play comes later.
        CSongPtr second;
        QCOMPARE(list->GetItem(1, second.Out()), S_OK);
        QCOMPARE(second->Play(list), S_OK);
        QVERIFY(!Sim()->AutoStart() && Sim()->CurrentPlaylist()->id == listId && Sim()->CurrentMedia()->id == b);
        QVERIFY(Sim()->PlayState() != WmpPlayStatePlaying && m_client->GetHelper()->IsPlayTimerActive());
        m_client->GetHelper()->OnPlay();
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));

        // Loading the current list again changes nothing.
        Sim()->SetAutoStart(true);
        const int puts = Sim()->CallCount("IWMPPlayer4::put_currentPlaylist");
        QCOMPARE(list->Load(), S_OK);
        QVERIFY(Sim()->CallCount("IWMPPlayer4::put_currentPlaylist") == puts && Sim()->AutoStart());
        QCOMPARE(list->Play(), S_OK);
        QCOMPARE(Sim()->CurrentMedia()->id, a);
    }

    void songNumbers_data()
    {
        QTest::addColumn<QString>("track");
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("expectedTrack");
        QTest::addColumn<int>("expectedYear");
        QTest::newRow("numbers with blanks") << " 7 " << " 2001" << 7 << 2001;
        QTest::newRow("zero and negative") << "0" << "-5" << -1 << -1;
        QTest::newRow("not whole numbers") << "3/12" << "19x9" << -1 << -1;
    }
    void songNumbers()
    {
        QFETCH(QString, track);
        QFETCH(QString, year);
        QFETCH(int, expectedTrack);
        QFETCH(int, expectedYear);
        const quint32 id = Sim()->AddMedia({{"Title", " T "}, {"Author", " A "}, {"WM/AlbumTitle", "L "},
                                            {"WM/Genre", " Rock"}, {"SourceURL", "C:\\Music\\a.mp3"},
                                            {"WM/TrackNumber", track}, {"ReleaseDateYear", year}});
        CIUnknownPtr<IWMPMedia> media;
        media.Attach(Sim()->NewMediaObject(Sim()->Library().FindById(id)));
        CSongMetadata record;
        // The file is not there: the record is filled and the answer says so.
        QCOMPARE(CIPlayerClientWmpSongPrivImpl::GetSongMetadata(media, record, m_client->GetHelper()), S_FALSE);
        QCOMPARE(QStringList({record.filePath, record.title, record.artist, record.album, record.genre}),
                 QStringList({"C:/Music/a.mp3", "T", "A", "L", "Rock"}));
        QVERIFY(record.formatIndex >= 0);
        QCOMPARE(QList<int>({record.trackNumber, record.year}), QList<int>({expectedTrack, expectedYear}));
    }

    void songObject()
    {
        const quint32 there = Song("there"), gone = Sim()->AddMedia({{"Title", "gone"}, {"SourceURL", "/gone/a.mp3"}});
        Sim()->SetRawAttribute(there, "Duration", "12.5");

        CSongPtr missing = SongOf(gone);
        CFileMetadata metadata;
        QCOMPARE(missing->GetMetadata(&metadata), SV_E_FILE_MISSING);
        CPlaylistPtr list = UserPlaylist(Sim()->AddPlaylist("L", {there, gone, there}));
        QList<CFileMetadata> files;
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpPlaylistPrivImpl::GetFiles: total=3 parsed=3 skipped=1");
        QCOMPARE(list->GetFiles(files), S_OK);
        QCOMPARE(files.size(), 2);
        QCOMPARE(files.at(0).filePath, m_file);

        // Writing: the year goes in as a full date (four digits even where the short form has two).
        CSongPtr song = SongOf(there);
        CSongMetadata edit;
        edit.title = " New title ";
        edit.trackNumber = 4;
        edit.year = 1999;
        edit.genre = "Jazz";
        QCOMPARE(song->SetMetadata(&edit), S_OK);
        QCOMPARE(QStringList({Sim()->RawAttribute(there, "Title"), Sim()->RawAttribute(there, "WM/TrackNumber"),
                              Sim()->RawAttribute(there, "ReleaseDateYear"), Sim()->RawAttribute(there, "WM/Genre")}),
                 QStringList({"New title", "4", "1999", "Jazz"}));
        QCOMPARE(CIPlayerClientWmpSongPrivImpl::YearDateText(1999, QLocale(QLocale::English, QLocale::UnitedStates)),
                 QStringLiteral("1/1/1999"));
        QVERIFY(song->GetMetadata(&metadata) == S_OK && metadata.title == "New title");
        Sim()->FailCall("IWMPMedia::setItemInfo", WMP_E_ACCESS_DENIED);
        QCOMPARE(song->SetMetadata(&metadata), WMP_E_ACCESS_DENIED);

        double seconds = 0;
        QVERIFY(song->GetDuration(&seconds) == S_OK && seconds == 12.5);
        const int reads = Sim()->CallCount("IWMPMedia::getItemInfoByAtom");
        QCOMPARE(song->GetDuration(&seconds), S_OK);
        QCOMPARE(Sim()->CallCount("IWMPMedia::getItemInfoByAtom"), reads);

        // Comparison: null and another client's song are different, without asking the player.
        CSongPtr alien = AlienSong(there);
        Sim()->ResetCallCounts();
        QCOMPARE(Codes({song->IsEqualTo(nullptr), song->IsEqualTo(alien)}), Codes({S_FALSE, S_FALSE}));
        QCOMPARE(Sim()->CallCount("IWMPMedia::get_isIdentical"), 0);
        QCOMPARE(Codes({song->IsEqualTo(SongOf(there)), song->IsEqualTo(missing)}), Codes({S_OK, S_FALSE}));
    }
};

SV_TEST_MAIN(TestWmpPlaylist)
#include "tst_wmpplaylist.moc"
