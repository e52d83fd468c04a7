// Simulated media player benchmark: import of a folder of 5,000 generated tagged MP3 files (against
// reading the same tags with TagLib alone, measured in the same run), and artist, album and
// artist-album queries over a 50,000-item library through the automation objects (against a plain scan
// of the same library). One JSON line per measurement. Works in a temporary folder.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include "platform/wmp/simimport.h"
#include "platform/wmp/simobjects.h"
#include "platform/wmp/simplayer.h"

using namespace Platform::Wmp;

namespace {

const int FileCount = 5000;
const int LibrarySize = 50000;
const int ArtistCount = 2500;   // 4 albums of 5 songs each
const int QueryRounds = 2000;

void Print(const char* metric, double value, const char* unit, double goal = -1)
{
    if (goal >= 0)
        std::printf("{\"bench\":\"wmplibrary\",\"metric\":\"%s\",\"value\":%.4f,\"unit\":\"%s\",\"goal\":%.4f}\n",
                    metric, value, unit, goal);
    else
        std::printf("{\"bench\":\"wmplibrary\",\"metric\":\"%s\",\"value\":%.4f,\"unit\":\"%s\"}\n", metric, value,
                    unit);
    std::fflush(stdout);
}

// One second of silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz).
QByteArray SilentFrames()
{
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    return frame.repeated(40);
}

bool WriteTaggedFile(const QString& path, int n, const QByteArray& audio)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(audio) != audio.size())
        return false;
    file.close();
    TagLib::MPEG::File mpeg(QFile::encodeName(path).constData());
    TagLib::Tag* tag = mpeg.ID3v2Tag(true);
    tag->setTitle(TagLib::String(QStringLiteral("Song %1").arg(n).toStdString(), TagLib::String::UTF8));
    tag->setArtist(TagLib::String(QStringLiteral("Artist %1").arg(n % 250).toStdString(), TagLib::String::UTF8));
    tag->setAlbum(TagLib::String(QStringLiteral("Album %1").arg(n % 1000).toStdString(), TagLib::String::UTF8));
    tag->setGenre("Rock");
    tag->setTrack(unsigned(n % 12 + 1));
    tag->setYear(unsigned(1960 + n % 60));
    return mpeg.save(TagLib::MPEG::File::ID3v2);
}

// Runs one query through the automation objects; the number of items found.
qint32 RunQuery(IWMPMediaCollection2* collection, const QString& artist, const QString& album, const QString& sort)
{
    IWMPQuery* query = nullptr;
    collection->createQuery(&query);
    if (!artist.isEmpty())
        query->addCondition(QStringLiteral("Author"), QStringLiteral("Equals"), artist);
    if (!album.isEmpty())
        query->addCondition(QStringLiteral("WM/AlbumTitle"), QStringLiteral("Equals"), album);
    IWMPPlaylist* playlist = nullptr;
    collection->getPlaylistByQuery(query, QStringLiteral("audio"), sort, true, &playlist);
    qint32 count = 0;
    playlist->get_count(&count);
    playlist->Release();
    query->Release();
    return count;
}

void BenchImport()
{
    QTemporaryDir dir;
    const QByteArray audio = SilentFrames();
    for (int n = 0; n < FileCount; ++n) {
        const QString folder = dir.filePath(QStringLiteral("Artist %1").arg(n % 250));
        QDir().mkpath(folder);
        if (!WriteTaggedFile(folder + QStringLiteral("/song%1.mp3").arg(n), n, audio)) {
            std::fprintf(stderr, "cannot write test files\n");
            return;
        }
    }

    // Baseline: the same tags read with TagLib alone.
    QElapsedTimer timer;
    timer.start();
    int read = 0;
    for (const QString& path : CSimImport::FindAudioFiles(dir.path())) {
        const TagLib::FileRef file(QFile::encodeName(path).constData(), true, TagLib::AudioProperties::Fast);
        if (!file.isNull() && file.tag() && !file.tag()->title().isEmpty())
            ++read;
    }
    const double baseline = read / (timer.nsecsElapsed() / 1e9);

    CSimPlayer player;
    timer.restart();
    const int imported = player.ImportFolder(dir.path());
    const double perSecond = imported / (timer.nsecsElapsed() / 1e9);
    Print("import_items_per_second", perSecond, "items/s");
    Print("import_items", imported, "items");
    Print("taglib_read_items_per_second", baseline, "items/s");
    Print("import_to_taglib_read_ratio", perSecond / baseline, "ratio");
}

void BenchQueries()
{
    CSimPlayer player;
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < LibrarySize; ++n) {
        const int artist = n % ArtistCount;
        const int song = n / ArtistCount;  // 0..19
        QHash<QString, QString> values;
        values.insert(QStringLiteral("Title"), QStringLiteral("Song %1").arg(n));
        values.insert(QStringLiteral("Author"), QStringLiteral("Artist %1").arg(artist));
        values.insert(QStringLiteral("WM/AlbumTitle"), QStringLiteral("Album %1-%2").arg(artist).arg(song / 5));
        values.insert(QStringLiteral("WM/TrackNumber"), QString::number(song % 5 + 1));
        values.insert(QStringLiteral("Duration"), QStringLiteral("215"));
        values.insert(QStringLiteral("SourceURL"), QStringLiteral("/music/%1.mp3").arg(n));
        player.Library().AddMedia(QStringLiteral("audio"), values, false);
    }
    Print("library_items", player.Library().AudioCount(), "items");
    Print("library_fill_seconds", timer.nsecsElapsed() / 1e9, "s");

    IWMPMediaCollection2* collection = new CSimMediaCollection(&player);
    QRandomGenerator random(7);
    struct CKind
    {
        const char* metric;
        bool artist;
        bool album;
        const char* sort;
        qint32 expected;
    };
    const CKind kinds[] = {
        {"artist_query_ms", true, false, "WM/AlbumTitle,WM/TrackNumber", 20},
        {"album_query_ms", false, true, "WM/TrackNumber", 5},
        {"artist_album_query_ms", true, true, "WM/TrackNumber", 5},
    };
    double artistMs = 0;
    for (const CKind& kind : kinds) {
        qint64 total = 0;
        for (int round = 0; round < QueryRounds; ++round) {
            const int artist = int(random.bounded(ArtistCount));
            const QString artistName = QStringLiteral("artist %1").arg(artist);  // queries ignore case
            const QString albumName = QStringLiteral("Album %1-%2").arg(artist).arg(random.bounded(4));
            timer.restart();
            const qint32 count = RunQuery(collection, kind.artist ? artistName : QString(),
                                          kind.album ? albumName : QString(), QString::fromLatin1(kind.sort));
            total += timer.nsecsElapsed();
            if (count != kind.expected) {
                std::fprintf(stderr, "%s: %d items instead of %d\n", kind.metric, count, kind.expected);
                return;
            }
        }
        const double ms = total / 1e6 / QueryRounds;
        if (kind.artist && !kind.album)
            artistMs = ms;
        Print(kind.metric, ms, "ms", 1.0);
    }

    // Baseline: the artist look-up as a plain walk over every item.
    const QVector<quint32> all = player.Library().Select({}, QStringLiteral("audio"), QString(), true);
    qint64 total = 0;
    const int scanRounds = 50;
    for (int round = 0; round < scanRounds; ++round) {
        const QString wanted = QStringLiteral("artist %1").arg(random.bounded(ArtistCount));
        timer.restart();
        int found = 0;
        for (quint32 id : all) {
            if (player.Library().FindById(id)->Value(AttrAuthor).compare(wanted, Qt::CaseInsensitive) == 0)
                ++found;
        }
        total += timer.nsecsElapsed();
        if (found != LibrarySize / ArtistCount)
            std::fprintf(stderr, "scan found %d\n", found);
    }
    Print("artist_scan_baseline_ms", total / 1e6 / scanRounds, "ms");
    Print("artist_query_to_scan_ratio", artistMs / (total / 1e6 / scanRounds), "ratio");
    collection->Release();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    BenchImport();
    BenchQueries();
    return 0;
}
