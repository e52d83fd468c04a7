// Lyrics cache benchmark: load and save of "lyrics.xml" with 10,000 songs of 40 lines, through the cache
// (stream reader and writer) and through a DOM form of the same file, measured in the same run. One JSON
// line per measurement: seconds, the peak memory beyond the model (MB) and the DOM-to-cache ratios.
// Works in a temporary data directory; the user's files are never touched.
#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <malloc.h>

#include "core/corefiles.h"
#include "lyrics/lyricscache.h"

namespace {

const int SongCount = 10000;
const int LinesPerSong = 40;

void Print(const char* metric, double value, const char* unit, double goal = -1)
{
    if (goal >= 0)
        std::printf("{\"bench\":\"lyricscache\",\"metric\":\"%s\",\"value\":%.3f,\"unit\":\"%s\",\"goal\":%.3f}\n",
                    metric, value, unit, goal);
    else
        std::printf("{\"bench\":\"lyricscache\",\"metric\":\"%s\",\"value\":%.3f,\"unit\":\"%s\"}\n", metric, value,
                    unit);
    std::fflush(stdout);
}

// Resident and peak resident memory of the process in MB.
double StatusMb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// Starts a memory measurement: freed memory back to the system, the peak reset to the current size.
double StartMemory()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    return StatusMb("VmRSS:");
}

double PeakMb()
{
    return StatusMb("VmHWM:");
}

SongLyrics MakeSong(int n)
{
    SongLyrics song;
    song.title = QStringLiteral("Song title number %1").arg(n);
    song.artist = QStringLiteral("Artist %1").arg(n % 1500);
    song.album = QStringLiteral("Album %1").arg(n % 4000);
    song.duration = 180 + n % 120;
    song.id = 100000 + n;
    song.groupId = 500000 + n;
    song.version = n % 7;
    song.language = n % 5 == 0 ? QStringLiteral("de") : QString();
    song.lines.reserve(LinesPerSong);
    for (int i = 0; i < LinesPerSong; ++i)
        song.lines.append(CLyricLine(QStringLiteral("line %1 of song %2, words & \"more\" words here").arg(i).arg(n),
                                     i * 4000));
    return song;
}

// ---- the DOM form of the same file

bool DomLoad(const QString& path, LyricsCache::CTable& table)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDomDocument document;
    if (!document.setContent(&file))
        return false;
    const QDomElement root = document.firstChildElement(QStringLiteral("Lyrics"));
    for (QDomElement song = root.firstChildElement(QStringLiteral("Song")); !song.isNull();
         song = song.nextSiblingElement(QStringLiteral("Song"))) {
        SongLyrics lyrics;
        lyrics.duration = song.attribute(QStringLiteral("duration"), QStringLiteral("0")).toInt();
        lyrics.title = song.attribute(QStringLiteral("name"));
        lyrics.artist = song.attribute(QStringLiteral("artist"));
        lyrics.album = song.attribute(QStringLiteral("album"));
        lyrics.id = song.attribute(QStringLiteral("id")).toInt();
        lyrics.language = song.attribute(QStringLiteral("lang"));
        lyrics.locked = song.attribute(QStringLiteral("locked"), QStringLiteral("0")).toInt() != 0;
        lyrics.groupId = song.attribute(QStringLiteral("groupId")).toInt();
        lyrics.syncable = song.attribute(QStringLiteral("syncable"), QStringLiteral("1")).toInt() != 0;
        lyrics.blocked = song.attribute(QStringLiteral("blocked")).toInt();
        const QDomElement words = song.firstChildElement(QStringLiteral("Lyrics"));
        lyrics.version = words.attribute(QStringLiteral("version"), QStringLiteral("-1")).toInt();
        for (QDomElement line = words.firstChildElement(QStringLiteral("Line")); !line.isNull();
             line = line.nextSiblingElement(QStringLiteral("Line"))) {
            lyrics.lines.append(CLyricLine(line.attribute(QStringLiteral("text")),
                                           line.attribute(QStringLiteral("time"), QStringLiteral("0")).toInt()));
        }
        const LyricsCache::CKey key = LyricsCache::CKey::Of(lyrics, lyrics.language);
        if (!table.contains(key))
            table.insert(key, lyrics);
    }
    return true;
}

bool DomSave(const QString& path, const LyricsCache::CTable& table)
{
    QDomDocument document(QStringLiteral("Sonvero_lyrics_cache"));
    QDomElement root = document.createElement(QStringLiteral("Lyrics"));
    document.appendChild(root);
    for (const SongLyrics& lyrics : table) {
        QDomElement song = document.createElement(QStringLiteral("Song"));
        song.setAttribute(QStringLiteral("duration"), lyrics.duration);
        song.setAttribute(QStringLiteral("name"), lyrics.title);
        song.setAttribute(QStringLiteral("artist"), lyrics.artist);
        song.setAttribute(QStringLiteral("album"), lyrics.album);
        song.setAttribute(QStringLiteral("id"), lyrics.id);
        song.setAttribute(QStringLiteral("lang"), lyrics.language);
        song.setAttribute(QStringLiteral("locked"), lyrics.locked ? 1 : 0);
        song.setAttribute(QStringLiteral("groupId"), lyrics.groupId);
        song.setAttribute(QStringLiteral("syncable"), lyrics.syncable ? 1 : 0);
        song.setAttribute(QStringLiteral("blocked"), lyrics.blocked);
        QDomElement words = document.createElement(QStringLiteral("Lyrics"));
        words.setAttribute(QStringLiteral("version"), lyrics.version);
        for (const CLyricLine& line : lyrics.lines) {
            QDomElement element = document.createElement(QStringLiteral("Line"));
            element.setAttribute(QStringLiteral("time"), line.time);
            element.setAttribute(QStringLiteral("text"), line.text);
            words.appendChild(element);
        }
        song.appendChild(words);
        root.appendChild(song);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    document.save(stream, 1);
    stream.flush();
    return file.error() == QFile::NoError;
}

void SilentMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// ---- one measurement per process, so that memory one form freed cannot hide what the next one takes

// "stream": the cache loads and saves the file. "domload": the DOM form loads it. "domsave": the cache
// loads it, the DOM form saves it. Prints "name=value" pairs on one line.
int Measure(const QString& what, const QString& path)
{
    QElapsedTimer timer;
    QStringList out;
    auto add = [&out](const char* name, double value) { out << QStringLiteral("%1=%2").arg(name).arg(value, 0, 'f', 4); };
    if (what == QLatin1String("stream") || what == QLatin1String("domsave")) {
        const double before = StartMemory();
        timer.start();
        LyricsCache cache;  // loads
        const double seconds = timer.nsecsElapsed() / 1e9;
        const double peak = PeakMb();
        const double after = StatusMb("VmRSS:");
        if (cache.Count() != SongCount)
            return 4;
        if (what == QLatin1String("stream")) {
            add("load_s", seconds);
            add("model_mb", after - before);
            add("load_extra_mb", peak - after);
            const double base = StartMemory();
            timer.start();
            if (!cache.Save())
                return 2;
            add("save_s", timer.nsecsElapsed() / 1e9);
            add("save_extra_mb", PeakMb() - base);
        } else {
            const double base = StartMemory();
            timer.start();
            if (!DomSave(path + QStringLiteral(".dom"), cache.Table()))
                return 6;
            add("save_s", timer.nsecsElapsed() / 1e9);
            add("save_extra_mb", PeakMb() - base);
            QFile::remove(path + QStringLiteral(".dom"));
        }
    } else if (what == QLatin1String("domload")) {
        LyricsCache::CTable table;
        const double before = StartMemory();
        timer.start();
        if (!DomLoad(path, table) || table.size() != SongCount)
            return 5;
        add("load_s", timer.nsecsElapsed() / 1e9);
        add("peak_mb", PeakMb() - before);
    } else {
        return 1;
    }
    std::printf("%s\n", qPrintable(out.join(QLatin1Char(' '))));
    return 0;
}

QHash<QString, double> RunMeasure(const QString& what)
{
    QHash<QString, double> values;
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), what});
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        std::fprintf(stderr, "measurement %s failed (%d)\n", qPrintable(what), child.exitCode());
        return values;
    }
    for (const QString& pair : QString::fromLatin1(child.readAllStandardOutput()).simplified().split(QLatin1Char(' ')))
        values.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1).toDouble());
    return values;
}

} // namespace

int main(int argc, char** argv)
{
    // Children measure in the data directory their parent made.
    const bool child = argc > 2 && qstrcmp(argv[1], "--measure") == 0;
    QTemporaryDir root;
    if (!child) {
        if (!root.isValid())
            return 1;
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.path()));
    }
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(SilentMessages);
    if (FAILED(MakeDataDirectory()))
        return 1;
    const QString path = GetDataDirectory() + QStringLiteral("/lyrics.xml");
    if (child)
        return Measure(QString::fromLatin1(argv[2]), path);

    // The file, written by the cache.
    {
        const double before = StartMemory();
        LyricsCache cache;
        for (int n = 0; n < SongCount; ++n)
            cache.Insert(MakeSong(n));
        const double model = StartMemory() - before;
        Print("model_kb_per_song", model * 1024.0 / SongCount, "KB", 8);

        QElapsedTimer timer;
        timer.start();
        int found = 0;
        for (int n = 0; n < SongCount; n += 7) {
            SongLyrics probe = MakeSong(n);
            probe.title = probe.title.toUpper();
            probe.lines.clear();
            found += cache.Get(probe) ? 1 : 0;
        }
        Print("get_us", timer.nsecsElapsed() / 1e3 / ((SongCount + 6) / 7), "us", 50);
        if (found != (SongCount + 6) / 7 || !cache.Save())
            return 3;
    }
    Print("file_mb", QFileInfo(path).size() / 1048576.0, "MB");

    const QHash<QString, double> stream = RunMeasure(QStringLiteral("stream"));
    const QHash<QString, double> domLoad = RunMeasure(QStringLiteral("domload"));
    const QHash<QString, double> domSave = RunMeasure(QStringLiteral("domsave"));
    if (stream.isEmpty() || domLoad.isEmpty() || domSave.isEmpty())
        return 7;

    const double model = stream.value(QStringLiteral("model_mb"));
    Print("model_mb", model, "MB");
    Print("load_s", stream.value(QStringLiteral("load_s")), "s", 0.5);
    Print("load_extra_mb", stream.value(QStringLiteral("load_extra_mb")), "MB", 20);
    Print("save_s", stream.value(QStringLiteral("save_s")), "s", 0.8);
    Print("save_extra_mb", stream.value(QStringLiteral("save_extra_mb")), "MB", 20);
    Print("dom_load_s", domLoad.value(QStringLiteral("load_s")), "s");
    Print("dom_load_extra_mb", domLoad.value(QStringLiteral("peak_mb")) - model, "MB");
    Print("dom_save_s", domSave.value(QStringLiteral("save_s")), "s");
    Print("dom_save_extra_mb", domSave.value(QStringLiteral("save_extra_mb")), "MB");
    Print("load_dom_ratio", domLoad.value(QStringLiteral("load_s")) / stream.value(QStringLiteral("load_s")), "x", 4);
    Print("save_dom_ratio", domSave.value(QStringLiteral("save_s")) / stream.value(QStringLiteral("save_s")), "x", 4);
    return 0;
}
