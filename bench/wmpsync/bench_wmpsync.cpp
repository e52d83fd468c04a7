// Device-sync list benchmark on the simulated player: every song of a 50,000-song library is selected
// into the sync list one by one, then the library, artist and album statistics are computed (against a
// plain walk over the library that tests each song's marker, measured in the same run). Prints the times
// and the number of change events the list sent for the whole selection, one JSON line each.
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

#include "platform/wmp/simplayer.h"
#include "players/playerclientdispatcher.h"
#include "players/wmp/iplayerclientwmpplaylistsyncprivimpl.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"
#include "players/wmp/playerclientwmp.h"

using Platform::Wmp::CSimPlayer;

namespace {

const int LibrarySize = 50000;
const int ArtistCount = 2500;  // 4 albums of 5 songs each
const int StatRounds = 200;

void Print(const char* metric, double value, const char* unit, double goal = -1)
{
    if (goal >= 0)
        std::printf("{\"bench\":\"wmpsync\",\"metric\":\"%s\",\"value\":%.4f,\"unit\":\"%s\",\"goal\":%.4f}\n", metric,
                    value, unit, goal);
    else
        std::printf("{\"bench\":\"wmpsync\",\"metric\":\"%s\",\"value\":%.4f,\"unit\":\"%s\"}\n", metric, value, unit);
    std::fflush(stdout);
}

void QuietDebug(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

class CEventCounter : public QObject
{
    Q_OBJECT
public:
    int updates = 0;
public slots:
    void OnEvent(int event)
    {
        if (event == PlayerClient::EventUpdated)
            ++updates;
    }
};

double Ms(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("SonveroBench"));
    QCoreApplication::setApplicationName(QStringLiteral("wmpsync"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    qInstallMessageHandler(QuietDebug);

    CSimPlayer* sim = CSimPlayer::Instance();
    sim->Reset();
    QVector<quint32> ids;
    ids.reserve(LibrarySize);
    for (int n = 0; n < LibrarySize; ++n) {
        const int artist = n % ArtistCount;
        const int song = n / ArtistCount;  // 0..19
        QHash<QString, QString> values;
        values.insert(QStringLiteral("Title"), QStringLiteral("Song %1").arg(n));
        values.insert(QStringLiteral("Author"), QStringLiteral("Artist %1").arg(artist));
        values.insert(QStringLiteral("WM/AlbumTitle"), QStringLiteral("Album %1-%2").arg(artist).arg(song / 5));
        values.insert(QStringLiteral("WM/TrackNumber"), QString::number(song % 5 + 1));
        values.insert(QStringLiteral("SourceURL"), QStringLiteral("/music/%1.mp3").arg(n));
        ids.append(sim->Library().AddMedia(QStringLiteral("audio"), values, false)->id);
    }
    sim->SetRunning(true);
    Print("library_items", sim->Library().AudioCount(), "items");

    CPlayerClientDispatcher* dispatcher = new CPlayerClientDispatcher();
    CPlayerClientWMP* client = new CPlayerClientWMP(dispatcher);
    CIUnknownPtr<IPlayerClientPlaylistSync> sync;
    if (FAILED(client->GetPlaylistSync(sync.Out()))) {
        std::fprintf(stderr, "no sync list\n");
        return 1;
    }
    auto* list =
        static_cast<CIPlayerClientWmpPlaylistSyncPrivImpl*>(static_cast<IPlayerClientWmpPlaylistSyncPriv*>(sync.Get()));
    CEventCounter counter;
    sync->Subscribe(&counter, SLOT(OnEvent(int)));

    // The selection, one song at a time, as a list view's "select all" does it.
    QElapsedTimer timer;
    timer.start();
    for (quint32 id : qAsConst(ids)) {
        IWMPMedia* media = sim->NewMediaObject(sim->Library().FindById(id));
        CIUnknownPtr<IPlayerClientWmpSongPriv> song;
        CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(client, media, song.Out());
        media->Release();
        if (FAILED(sync->AddItem(song.Get()))) {
            std::fprintf(stderr, "AddItem failed\n");
            return 1;
        }
    }
    const double selectMs = Ms(timer);
    // The player's change events reach the list, then its update timer runs out.
    sim->FlushEvents();
    while (list->IsUpdatePending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
    Print("select_all_ms", selectMs, "ms");
    Print("select_per_song_us", selectMs * 1000.0 / LibrarySize, "us");
    Print("change_events", counter.updates, "events", 100);

    int result = 9;
    timer.restart();
    sync->GetLibraryStat(&result);
    const double libraryMs = Ms(timer);
    if (result != PlayerClient::SyncStatAll)
        std::fprintf(stderr, "library stat %d instead of 1\n", result);
    Print("library_stat_all_ms", libraryMs, "ms", 2000);

    double artistTotal = 0, albumTotal = 0;
    for (int round = 0; round < StatRounds; ++round) {
        const int artist = (round * 37) % ArtistCount;
        timer.restart();
        sync->GetArtistStat(QStringLiteral("Artist %1").arg(artist), &result);
        artistTotal += Ms(timer);
        timer.restart();
        sync->GetAlbumStat(QStringLiteral("Album %1-%2").arg(artist).arg(round % 4), &result);
        albumTotal += Ms(timer);
    }
    Print("artist_stat_ms", artistTotal / StatRounds, "ms");
    Print("album_stat_ms", albumTotal / StatRounds, "ms");

    // One song out: "some" needs both counts.
    {
        IWMPMedia* media = sim->NewMediaObject(sim->Library().FindById(ids.first()));
        CIUnknownPtr<IPlayerClientWmpSongPriv> song;
        CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(client, media, song.Out());
        media->Release();
        sync->RemoveItem(song.Get());
    }
    timer.restart();
    sync->GetLibraryStat(&result);
    const double someMs = Ms(timer);
    Print("library_stat_some_ms", someMs, "ms", 2000);

    // Baseline: one walk over the library testing every song's marker.
    const QString uuid = list->GetSyncUuidText();
    timer.restart();
    int marked = 0;
    for (quint32 id : qAsConst(ids)) {
        if (sim->RawAttribute(id, QStringLiteral("UserCustom1")).contains(uuid, Qt::CaseInsensitive))
            ++marked;
    }
    const double scanMs = Ms(timer);
    if (marked != LibrarySize - 1)
        std::fprintf(stderr, "scan found %d\n", marked);
    Print("marker_scan_baseline_ms", scanMs, "ms");
    Print("library_stat_to_scan_ratio", someMs / scanMs, "ratio");

    sync.Reset();
    delete dispatcher;
    return 0;
}

#include "bench_wmpsync.moc"
