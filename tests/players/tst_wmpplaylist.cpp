#include "support/testmain.h"

#include <QSettings>
#include <QTemporaryDir>

#include "core/corefeatures.h"
#include "core/resultcodes.h"
#include "platform/wmp/simplayer.h"
#include "players/playerclientdispatcher.h"
#include "players/wmp/iplayerclientwmpplaylistprivimpl.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"
#include "players/wmp/playerclientwmp.h"
#include "players/wmp/playerclientwmphelper.h"
#include "support/mediawriter.h"

using Platform::Wmp::CSimPlayer;

namespace {

CSimPlayer* Sim()
{
    return CSimPlayer::Instance();
}

quint32 Song(const QString& title, const QString& artist, const QString& album, int track = 0,
             const QString& path = QString())
{
    return Sim()->AddMedia({{"Title", title},
                            {"Author", artist},
                            {"WM/AlbumTitle", album},
                            {"WM/TrackNumber", track ? QString::number(track) : QString()},
                            {"SourceURL", path.isEmpty() ? QStringLiteral("/gone/") + title : path}});
}

typedef CIUnknownPtr<IPlayerClientWmpPlaylistPriv> CPlaylistPtr;
typedef CIUnknownPtr<IPlayerClientSong> CSongPtr;

// Titles of the player's list behind a playlist object.
QStringList Titles(IUnknown* object)
{
    void* face = nullptr;
    if (!object || FAILED(object->QueryInterface(IID_IPlayerClientWmpPlaylistPriv, &face)))
        return {QStringLiteral("<no playlist>")};
    CPlaylistPtr playlist;
    playlist.Attach(static_cast<IPlayerClientWmpPlaylistPriv*>(face));
    CIUnknownPtr<IWMPPlaylist> raw;
    if (FAILED(playlist->GetRawInterface(raw.Out())))
        return {QStringLiteral("<no raw>")};
    QStringList titles;
    qint32 count = 0;
    raw->get_count(&count);
    for (int i = 0; i < count; ++i) {
        CIUnknownPtr<IWMPMedia> media;
        raw->get_item(i, media.Out());
        QString title;
        media->getItemInfo(QStringLiteral("Title"), &title);
        titles << title;
    }
    return titles;
}

IWMPPlaylist* RawPlaylist(quint32 id)
{
    for (const auto& record : Sim()->Library().Playlists()) {
        if (record->id == id)
            return Sim()->NewPlaylistObject(record);
    }
    return nullptr;
}

} // namespace

class CWmpEventLog : public QObject
{
    Q_OBJECT
public:
    QList<int> events;
public slots:
    void OnEvent(int event) { events << event; }
};

// Playlists, filtered song lists and songs of the Windows Media Player client on the simulated player.
class TestWmpPlaylist : public QObject
{
    Q_OBJECT
private:
    CPlayerClientDispatcher* m_dispatcher = nullptr;
    CPlayerClientWMP* m_client = nullptr;
    CPlayerClientDispatcher* m_otherDispatcher = nullptr;

    CPlaylistPtr UserPlaylist(quint32 id, int allowAuto = 1)
    {
        CIUnknownPtr<IWMPPlaylist> raw;
        raw.Attach(RawPlaylist(id));
        CPlaylistPtr playlist;
        const HRESULT hr =
            CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface(m_client, raw, allowAuto, playlist.Out());
        return SUCCEEDED(hr) ? playlist : CPlaylistPtr();
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

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        Sim()->Reset();
        Sim()->SetRunning(true);
        m_dispatcher = new CPlayerClientDispatcher();
        m_client = new CPlayerClientWMP(m_dispatcher);
        QCOMPARE(m_client->GetRunningState(), int(PlayerClient::StateRunning));
    }

    void cleanup()
    {
        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureWmpSortByTitle, false);
        delete m_otherDispatcher;
        m_otherDispatcher = nullptr;
        delete m_dispatcher;
        m_dispatcher = nullptr;
        QCOMPARE(Sim()->SinkCount(), 0);
    }

    void filteredKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("byTitle");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("library") << 0 << false << QStringList{"Mu", "Alfa", "Eta", "Zeta", "Beta"};
        QTest::newRow("library by title") << 0 << true << QStringList{"Alfa", "Beta", "Eta", "Mu", "Zeta"};
        QTest::newRow("artist") << 1 << false << QStringList{"Eta", "Zeta", "Beta"};
        QTest::newRow("artist by title") << 1 << true << QStringList{"Beta", "Eta", "Zeta"};
        QTest::newRow("album") << 2 << false << QStringList{"Beta", "Mu", "Alfa"};
        QTest::newRow("artist's album") << 3 << false << QStringList{"Mu", "Alfa"};
        QTest::newRow("one song") << 6 << false << QStringList{"Zeta"};
    }
    void filteredKinds()
    {
        QFETCH(int, kind);
        QFETCH(bool, byTitle);
        QFETCH(QStringList, titles);
        Song("Zeta", "Bee", "Alpha", 2);
        Song("Eta", "Bee", "Alpha", 1);
        Song("Beta", "Bee", "Omega", 1);
        Song("Alfa", "Ant", "Omega", 3);
        Song("Mu", "Ant", "Omega", 1);
        QVERIFY(CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureWmpSortByTitle, byTitle));

        CIUnknownPtr<IPlayerClientPlaylist> list;
        CIUnknownPtr<IPlayerClientCollectionSong> songs;
        switch (kind) {
        case 0: QCOMPARE(m_client->GetLibraryPlaylist(list.Out()), S_OK); break;
        case 1: QCOMPARE(m_client->GetArtistSongs(QStringLiteral("bee"), list.Out()), S_OK); break;
        case 2: QCOMPARE(m_client->GetAlbumSongs(QStringLiteral("Omega"), list.Out()), S_OK); break;
        case 3: QCOMPARE(m_client->GetArtistAlbumSongs(QStringLiteral("Ant"), QStringLiteral("Omega"), list.Out()), S_OK); break;
        default:
            QCOMPARE(m_client->GetSongsByArtistAlbumTitle(QStringLiteral("Bee"), QStringLiteral("Alpha"),
                                                          QStringLiteral("Zeta"), songs.Out()),
                     S_OK);
        }
        IUnknown* object = list ? static_cast<IUnknown*>(list.Get()) : songs.Get();
        QCOMPARE(Titles(object), titles);
        if (list) {
            QCOMPARE(list->GetKind(), kind);
            QString name;
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("CIPlayerClientWmpPlaylistPrivImpl::GetName: not "
                                                                       "supported (k=%1)").arg(kind)));
            QCOMPARE(list->GetName(name), E_NOTIMPL);
        }
    }

    void capabilities()
    {
        const quint32 song = Song("s", "a", "l");
        CPlaylistPtr user = UserPlaylist(Sim()->AddPlaylist(QStringLiteral("User"), {}));
        const quint32 autoId = Sim()->AddPlaylist(QStringLiteral("Auto"), {song}, true);
        CPlaylistPtr automatic = UserPlaylist(autoId);
        CIUnknownPtr<IPlayerClientPlaylist> library;
        QCOMPARE(m_client->GetLibraryPlaylist(library.Out()), S_OK);
        QCOMPARE(user->GetFlags(), 0x5F);
        QCOMPARE(automatic->GetFlags(), 0x59);
        QCOMPARE(library->GetFlags(), 0x21);

        // New playlists never take an automatic one.
        QVERIFY(!UserPlaylist(autoId, 0));

        // An automatic playlist is renamed, deleted and synced, but its songs are the player's choice.
        CSongPtr item = SongOf(song);
        QCOMPARE(automatic->AddItem(item), E_NOTIMPL);
        QCOMPARE(automatic->RemoveItem(item), E_NOTIMPL);
        QCOMPARE(automatic->Rename(QStringLiteral("Auto 2")), S_OK);
        QCOMPARE(automatic->SetInSync(true), S_OK);
        QCOMPARE(automatic->IsInSync(), S_OK);
        QCOMPARE(automatic->Delete(), S_OK);

        // The library takes files and nothing that edits a playlist.
        IPlayerClientOperation* operation = nullptr;
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpPlaylistPrivImpl::AddFiles: not supported (k=4)");
        QCOMPARE(user->AddFiles(nullptr, nullptr, &operation), E_NOTIMPL);
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpOperationAddFilesImpl::CreateInstance: no collection");
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpPlaylistPrivImpl::AddFiles: CreateInstance failed 800700a0");
        QCOMPARE(library->AddFiles(nullptr, nullptr, &operation), E_INVALIDARG);
        QVERIFY(!operation);
        QCOMPARE(library->Rename(QStringLiteral("x")), E_NOTIMPL);
        QCOMPARE(library->Delete(), E_NOTIMPL);
        QCOMPARE(library->AddItem(item), E_NOTIMPL);
        QCOMPARE(library->IsInSync(), S_FALSE);
        QCOMPARE(library->SetInSync(true), E_NOTIMPL);
    }

    void reactions()
    {
        const quint32 a = Song("a", "x", "y");
        const quint32 mine = Sim()->AddPlaylist(QStringLiteral("Mine"), {});
        const quint32 other = Sim()->AddPlaylist(QStringLiteral("Other"), {});
        CPlaylistPtr playlist = UserPlaylist(mine);
        CIUnknownPtr<IPlayerClientPlaylist> library;
        QCOMPARE(m_client->GetLibraryPlaylist(library.Out()), S_OK);
        Sim()->FlushEvents();
        CWmpEventLog playlistLog, libraryLog;
        QCOMPARE(playlist->Subscribe(&playlistLog, SLOT(OnEvent(int))), S_OK);
        QCOMPARE(library->Subscribe(&libraryLog, SLOT(OnEvent(int))), S_OK);

        // Media changes re-query the filtered list (and any song of a playlist may have changed).
        Song("b", "x", "y");
        Sim()->FlushEvents();
        QCOMPARE(library->GetItemCount(), 2);
        QCOMPARE(libraryLog.events, QList<int>{0});
        QCOMPARE(playlistLog.events, QList<int>{0});
        playlistLog.events.clear();

        // A playlist change counts for the identical playlist only (events bring fresh objects).
        Sim()->Library().InsertItem(Sim()->Library().Playlists().value(1), 0, a);
        Sim()->Library().NewPlaylist(QStringLiteral("New"), false);
        Sim()->FlushEvents();
        QVERIFY(playlistLog.events.isEmpty());
        Q_UNUSED(other);
        Sim()->Library().InsertItem(Sim()->Library().Playlists().value(0), 0, a);
        Sim()->FlushEvents();
        QCOMPARE(playlistLog.events, QList<int>{0});
        QCOMPARE(playlist->GetItemCount(), 1);

        // The player goes away: the objects die and say so once.
        Sim()->SetRunning(false);
        Sim()->FlushEvents();
        QCOMPARE(playlistLog.events, (QList<int>{0, 2}));
        QCOMPARE(libraryLog.events.count(2), 1);
        CSongPtr song;
        QCOMPARE(playlist->GetItem(0, song.Out()), SV_E_SHUT_DOWN);
        QCOMPARE(playlist->Rename(QStringLiteral("z")), SV_E_SHUT_DOWN);
        QCOMPARE(library->Refresh(), SV_E_SHUT_DOWN);
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpPlaylistPrivImpl::Subscribe: already shutdown");
        QCOMPARE(playlist->Subscribe(&playlistLog, SLOT(OnEvent(int))), E_FAIL);
    }

    void edits()
    {
        const quint32 a = Song("a", "x", "y");
        const quint32 id = Sim()->AddPlaylist(QStringLiteral("Old"), {});
        CPlaylistPtr playlist = UserPlaylist(id);
        QString name;
        QCOMPARE(playlist->GetName(name), S_OK);
        QCOMPARE(name, QStringLiteral("Old"));

        QCOMPARE(playlist->Rename(QString()), E_INVALIDARG);
        QCOMPARE(playlist->Rename(QStringLiteral("New")), S_OK);
        QCOMPARE(playlist->GetName(name), S_OK);
        QCOMPARE(name, QStringLiteral("New"));
        const quint32 mediaId = Sim()->Library().Playlists().value(0)->mediaId;
        QCOMPARE(Sim()->RawAttribute(mediaId, QStringLiteral("Title")), QStringLiteral("New"));

        // A rename the player half refuses leaves both names, and so the sync mark, as they were.
        QCOMPARE(playlist->SetInSync(true), S_OK);
        Sim()->FailCall(QStringLiteral("IWMPPlaylist::put_name"), E_FAIL);
        QCOMPARE(playlist->Rename(QStringLiteral("Newer")), E_FAIL);
        QCOMPARE(Sim()->RawAttribute(mediaId, QStringLiteral("Title")), QStringLiteral("New"));
        QCOMPARE(playlist->GetName(name), S_OK);
        QCOMPARE(name, QStringLiteral("New"));
        QCOMPARE(playlist->IsInSync(), S_OK);

        // Songs: null, another client's, own.
        m_otherDispatcher = new CPlayerClientDispatcher();
        CPlayerClientWMP* other = new CPlayerClientWMP(m_otherDispatcher);
        CSongPtr alien = SongOf(a, other);
        CSongPtr own = SongOf(a);
        QCOMPARE(playlist->AddItem(nullptr), E_INVALIDARG);
        QCOMPARE(playlist->AddItem(alien), E_INVALIDARG);
        QCOMPARE(playlist->RemoveItem(alien), E_INVALIDARG);
        QCOMPARE(playlist->AddItem(own), S_OK);
        QCOMPARE(playlist->GetItemCount(), 1);
        QCOMPARE(playlist->RemoveItem(own), S_OK);
        QCOMPARE(playlist->GetItemCount(), 0);

        // Identity goes through the player, never through object addresses.
        CPlaylistPtr same = UserPlaylist(id);
        CPlaylistPtr different = UserPlaylist(Sim()->AddPlaylist(QStringLiteral("Other"), {}));
        QCOMPARE(playlist->IsEqualTo(nullptr), S_FALSE);
        QCOMPARE(playlist->IsEqualTo(playlist), S_OK);
        QCOMPARE(playlist->IsEqualTo(same), S_OK);
        QCOMPARE(playlist->IsEqualTo(different), S_FALSE);

        CWmpEventLog log;
        QCOMPARE(playlist->Subscribe(&log, SLOT(OnEvent(int))), S_OK);
        QCOMPARE(playlist->Delete(), S_OK);
        QCOMPARE(log.events, QList<int>{2});
        QCOMPARE(Sim()->Library().Playlists().size(), 1);
    }

    void playback()
    {
        const quint32 a = Song("a", "x", "y");
        const quint32 b = Song("b", "x", "y");
        CPlaylistPtr empty = UserPlaylist(Sim()->AddPlaylist(QStringLiteral("Empty"), {}));
        const quint32 listId = Sim()->AddPlaylist(QStringLiteral("List"), {a, b});
        CPlaylistPtr list = UserPlaylist(listId);
        Sim()->PlayMedia(a);
        const auto before = Sim()->CurrentPlaylist();

        // An empty list never replaces what the user listens to.
        QCOMPARE(empty->Play(), SV_E_EMPTY_PLAYLIST);
        QVERIFY(Sim()->CurrentPlaylist() == before);
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));

        // A song played within a playlist: the list is loaded without auto-start, the play comes later.
        CSongPtr second;
        QCOMPARE(list->GetItem(1, second.Out()), S_OK);
        QCOMPARE(second->Play(list), S_OK);
        QVERIFY(!Sim()->AutoStart());
        QCOMPARE(Sim()->CurrentPlaylist()->id, listId);
        QCOMPARE(Sim()->CurrentMedia()->id, b);
        QVERIFY(Sim()->PlayState() != WmpPlayStatePlaying);
        QVERIFY(m_client->GetHelper()->IsPlayTimerActive());
        m_client->GetHelper()->OnPlay();
        QCOMPARE(Sim()->PlayState(), qint32(WmpPlayStatePlaying));

        // Loading the current list again changes nothing.
        Sim()->SetAutoStart(true);
        const int puts = Sim()->CallCount(QStringLiteral("IWMPPlayer4::put_currentPlaylist"));
        QCOMPARE(list->Load(), S_OK);
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPPlayer4::put_currentPlaylist")), puts);
        QVERIFY(Sim()->AutoStart());

        QCOMPARE(list->Play(), S_OK);
        QCOMPARE(Sim()->CurrentMedia()->id, a);
    }

    void playlistSyncMark()
    {
        const quint32 id = Sim()->AddPlaylist(QStringLiteral("P"), {});
        CPlaylistPtr playlist = UserPlaylist(id);
        QVERIFY(m_client->GetHelper()->GetPlaylistSyncUuid().isNull());
        QCOMPARE(playlist->IsInSync(), S_FALSE);
        const QString uuid = m_client->GetHelper()->GetPlaylistSyncUuid().toString();
        QVERIFY(!QUuid(uuid).isNull());
        QCOMPARE(QSettings().value(QStringLiteral("plwmp/plsyncuuid")).toString(), uuid);

        QCOMPARE(playlist->SetInSync(true), S_OK);
        const quint32 mediaId = Sim()->Library().Playlists().value(0)->mediaId;
        QCOMPARE(Sim()->RawAttribute(mediaId, QStringLiteral("UserCustom1")), uuid);
        QCOMPARE(playlist->IsInSync(), S_OK);
        QCOMPARE(playlist->SetInSync(false), S_OK);
        QCOMPARE(playlist->IsInSync(), S_FALSE);

        // Two playlists of one name cannot be told apart.
        Sim()->AddPlaylist(QStringLiteral("P"), {});
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: too many media items[P]");
        QCOMPARE(playlist->IsInSync(), SV_E_NO_PLAYER_OBJECT);
    }

    void songNumbers_data()
    {
        QTest::addColumn<QString>("track");
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("expectedTrack");
        QTest::addColumn<int>("expectedYear");
        QTest::newRow("numbers") << "3" << "1999" << 3 << 1999;
        QTest::newRow("blanks") << " 7 " << " 2001" << 7 << 2001;
        QTest::newRow("zero and negative") << "0" << "-5" << -1 << -1;
        QTest::newRow("not whole numbers") << "3/12" << "19x9" << -1 << -1;
        QTest::newRow("empty") << "" << "" << -1 << -1;
    }
    void songNumbers()
    {
        QFETCH(QString, track);
        QFETCH(QString, year);
        QFETCH(int, expectedTrack);
        QFETCH(int, expectedYear);
        const quint32 id = Sim()->AddMedia({{"Title", " T "},
                                            {"Author", " A "},
                                            {"WM/AlbumTitle", "L "},
                                            {"WM/Genre", " Rock"},
                                            {"SourceURL", "C:\\Music\\a.mp3"}});
        Sim()->SetRawAttribute(id, QStringLiteral("WM/TrackNumber"), track);
        Sim()->SetRawAttribute(id, QStringLiteral("ReleaseDateYear"), year);
        CIUnknownPtr<IWMPMedia> media;
        media.Attach(Sim()->NewMediaObject(Sim()->Library().FindById(id)));
        CSongMetadata record;
        // The file is not there: the record is filled and the answer says so.
        QCOMPARE(CIPlayerClientWmpSongPrivImpl::GetSongMetadata(media, record, m_client->GetHelper()), S_FALSE);
        QCOMPARE(QStringList({record.filePath, record.title, record.artist, record.album, record.genre}),
                 QStringList({"C:/Music/a.mp3", "T", "A", "L", "Rock"}));
        QVERIFY(record.formatIndex >= 0);
        QCOMPARE(record.trackNumber, expectedTrack);
        QCOMPARE(record.year, expectedYear);
    }

    void songObject()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.mp3"));
        QVERIFY(SvTest::WriteMp3(file, SvTest::CMediaTags()));
        const quint32 there = Song("there", "x", "y", 1, file);
        const quint32 gone = Song("gone", "x", "y", 2);
        Sim()->SetRawAttribute(there, QStringLiteral("Duration"), QStringLiteral("12.5"));

        CSongPtr missing = SongOf(gone);
        CFileMetadata metadata;
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpSongPrivImpl::GetMetadata: song's file doesn't exist");
        QCOMPARE(missing->GetMetadata(&metadata), SV_E_FILE_MISSING);

        CPlaylistPtr list = UserPlaylist(Sim()->AddPlaylist(QStringLiteral("L"), {there, gone, there}));
        QList<CFileMetadata> files;
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpPlaylistPrivImpl::GetFiles: total=3 parsed=3 skipped=1");
        QCOMPARE(list->GetFiles(files), S_OK);
        QCOMPARE(files.size(), 2);
        QCOMPARE(files.at(0).filePath, file);

        // Writing: the year goes in as a full date that the player reads the year from.
        CSongPtr song = SongOf(there);
        CSongMetadata edit;
        edit.title = QStringLiteral(" New title ");
        edit.artist = QStringLiteral("New artist");
        edit.album = QStringLiteral("New album");
        edit.trackNumber = 4;
        edit.year = 1999;
        edit.genre = QStringLiteral("Jazz");
        QCOMPARE(song->SetMetadata(&edit), S_OK);
        QCOMPARE(Sim()->RawAttribute(there, QStringLiteral("Title")), QStringLiteral("New title"));
        QCOMPARE(Sim()->RawAttribute(there, QStringLiteral("WM/TrackNumber")), QStringLiteral("4"));
        QCOMPARE(Sim()->RawAttribute(there, QStringLiteral("ReleaseDateYear")), QStringLiteral("1999"));
        QCOMPARE(Sim()->RawAttribute(there, QStringLiteral("WM/Genre")), QStringLiteral("Jazz"));
        QCOMPARE(CIPlayerClientWmpSongPrivImpl::YearDateText(1999, QLocale(QLocale::English, QLocale::UnitedStates)),
                 QStringLiteral("1/1/1999"));
        QCOMPARE(song->GetMetadata(&metadata), S_OK);
        QCOMPARE(metadata.title, QStringLiteral("New title"));

        Sim()->FailCall(QStringLiteral("IWMPMedia::setItemInfo"), WMP_E_ACCESS_DENIED);
        QTest::ignoreMessage(QtDebugMsg, "CIPlayerClientWmpSongPrivImpl::DoSetMetadata: set title failed 80070005");
        QCOMPARE(song->SetMetadata(&metadata), WMP_E_ACCESS_DENIED);

        double seconds = 0;
        QCOMPARE(song->GetDuration(&seconds), S_OK);
        QCOMPARE(seconds, 12.5);
        const int reads = Sim()->CallCount(QStringLiteral("IWMPMedia::getItemInfoByAtom"));
        QCOMPARE(song->GetDuration(&seconds), S_OK);
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPMedia::getItemInfoByAtom")), reads);

        // Comparison: null and another client's song are different, without asking the player.
        m_otherDispatcher = new CPlayerClientDispatcher();
        CSongPtr alien = SongOf(there, new CPlayerClientWMP(m_otherDispatcher));
        Sim()->ResetCallCounts();
        QCOMPARE(song->IsEqualTo(nullptr), S_FALSE);
        QCOMPARE(song->IsEqualTo(alien), S_FALSE);
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPMedia::get_isIdentical")), 0);
        QCOMPARE(song->IsEqualTo(SongOf(there)), S_OK);
        QCOMPARE(song->IsEqualTo(missing), S_FALSE);
    }
};

SV_TEST_MAIN(TestWmpPlaylist)
#include "tst_wmpplaylist.moc"
