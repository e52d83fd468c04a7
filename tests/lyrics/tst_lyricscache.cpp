#include "support/testmain.h"

#include <csignal>
#include <sys/resource.h>

#include <QRegularExpression>
#include <QXmlStreamReader>

#include "lyrics/lyricscache.h"
#include "lyricstesthelpers.h"

using namespace LyricsTest;

namespace {

// Every field the file keeps, as one comparable text.
QString Stored(const SongLyrics& l)
{
    QStringList f{l.title, l.artist, l.album, l.language};
    for (int v : {l.duration, l.version, int(l.locked), l.blocked, l.id, l.groupId, int(l.syncable)})
        f << QString::number(v);
    for (const CLyricLine& line : l.lines)
        f << QString::number(line.time) + QLatin1Char(':') + line.text;
    return f.join(QLatin1Char('|'));
}

QByteArray Doc(const QByteArray& songs) { return "<!DOCTYPE Sonvero_lyrics_cache>\n<Lyrics>\n" + songs + "</Lyrics>\n"; }

SongLyrics Loaded(const LyricsCache& cache, const SongLyrics& key)
{
    SongLyrics got = Song(key.title, key.artist, key.album, key.language);
    return cache.Get(got) ? got : SongLyrics();
}

QString CachePath() { return GetDataDirectory() + QStringLiteral("/lyrics.xml"); }

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestLyricsCache : public QObject
{
    Q_OBJECT

private slots:
    void init() { SvTest::Environment()->Reset(); }

    void fileFormatAndRoundTrip()
    {
        SongLyrics l = Song("T", "A", "B", "de");
        l.duration = 200, l.id = 7, l.locked = true, l.groupId = -2000000000, l.syncable = false, l.blocked = 2;
        l.version = 3, l.lines << CLyricLine("one", 0) << CLyricLine("", 1500);
        SongLyrics played = l;  // what the player adds is not kept
        played.location = "/music/x.mp3", played.number = 5, played.playing = false, played.position = 7000;
        LyricsCache().Insert(played);
        QCOMPARE(ReadBytes(CachePath()), Doc(" <Song duration=\"200\" name=\"T\" artist=\"A\" album=\"B\" id=\"7\" lang=\"de\" "
                                             "locked=\"1\" groupId=\"-2000000000\" syncable=\"0\" blocked=\"2\">\n"
                                             "  <Lyrics version=\"3\">\n   <Line time=\"0\" text=\"one\"/>\n"
                                             "   <Line time=\"1500\" text=\"\"/>\n  </Lyrics>\n </Song>\n"));
        QCOMPARE(Stored(Loaded(LyricsCache(), l)), Stored(l));
    }

    void textKeptOrDropped()
    {
        // Markup, white space and any Unicode come back as they were; what XML cannot hold is dropped.
        SongLyrics song = Song("<b>\"Tom\" & 'Jerry'</b>", "Ä ß 日本 \xF0\x9F\x8E\xB5", " Al\u0001bum ", "zh-TW");
        song.lines << CLyricLine("a < b > c & \"d\"", 10) << CLyricLine("  two\nlines\tand\rreturn  ", 20)
                   << CLyricLine(QStringLiteral("bell\u0007 ") + QChar(0xD800) + QStringLiteral("end\uFFFF\uFFFE"), 30);
        LyricsCache().Insert(song);
        QXmlStreamReader reader(ReadBytes(CachePath()));
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));  // any XML reader takes the file
        const SongLyrics got = Loaded(LyricsCache(), Song(song.title, song.artist, " Album ", "zh-TW"));
        QCOMPARE(got.lines.mid(0, 2), song.lines.mid(0, 2));
        QCOMPARE(got.lines.value(2).text, QStringLiteral("bell end"));
    }

    void keys()
    {
        LyricsCache cache;
        SongLyrics stored = Song("Hello World", "The Band", "Album One", "de");
        stored.lines = Lines({1000});
        cache.Insert(stored);
        QCOMPARE(Loaded(cache, Song("HELLO world", "the band", "ALBUM one", "de")).lines, stored.lines);
        for (const QString& lang : {QStringLiteral("DE"), QString()}) {  // the language is compared exactly
            SongLyrics miss = stored;
            miss.language = lang, miss.version = 9, miss.duration = 77;
            QVERIFY(!cache.Get(miss));
            QVERIFY(miss.lines.isEmpty() && miss.version == -1 && miss.duration == 77);  // lyrics cleared, song kept
        }
        SongLyrics newer = Song("hello world", "THE BAND", "album one", "de");  // replaces, song fields included
        newer.lines = Lines({1200, 2400});
        cache.Insert(newer);
        QCOMPARE(cache.Count(), 1);
        QCOMPARE(Stored(Loaded(cache, stored)), Stored(newer));
    }

    void readerTolerance_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("entry");  // Stored() of title T, artist A, album B, language ""
        QTest::newRow("only the key: defaults, syncable")
            << Doc("<Song name=\"T\" artist=\"A\" album=\"B\"/>") << 1 << "T|A|B||0|-1|0|0|0|0|1";
        QTest::newRow("a careless writer: values missing or not numbers, raw control characters")
            << Doc("<Song name=\"T\" artist=\"A\" album=\"B\" duration=\"abc\" id=\"1.5\" syncable=\"yes\"><Lyrics "
                   "version=\"v2\"><Line/><Line text=\"x\x01z\x1f\"/><Line time=\"0x10\" text=\"y\"/><Line time=\"4\"/>"
                   "</Lyrics></Song>")
            << 1 << "T|A|B||0|0|0|0|0|0|0|0:|0:xz|0:y|4:";
        QTest::newRow("same key twice: the first wins; unknown elements skipped")
            << Doc("<Other><Song name=\"X\"/></Other><Song name=\"T\" artist=\"A\" album=\"B\"><Note/><Lyrics "
                   "version=\"1\"><Line time=\"9\" text=\"first\"><Sub/></Line></Lyrics><Lyrics/></Song>"
                   "<Song name=\"t\" artist=\"a\" album=\"b\"><Lyrics version=\"2\"/></Song>"
                   "<Song name=\"T\" artist=\"A\" album=\"B\" lang=\"de\"/>")
            << 2 << "T|A|B||0|1|0|0|0|0|1|9:first";
    }
    void readerTolerance()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, count);
        QFETCH(QString, entry);
        QVERIFY(WriteBytes(CachePath(), file));
        LyricsCache cache;
        QCOMPARE(cache.Count(), count);
        QCOMPARE(Stored(Loaded(cache, Song("T", "A", "B"))), entry);
        QVERIFY(!QFile::exists(CachePath() + ".bad"));
    }

    void largeAndUnreadableFiles()
    {
        // Big enough to be read in two halves at once, with the same key at its start and at its end.
        QList<SongLyrics> songs;
        LyricsCache written;
        for (int n = 0; n < 400; ++n) {
            songs << Song(QStringLiteral("Title %1").arg(n), "Artist", "Album", n % 3 ? "" : "de");
            for (int i = 0; i < 40; ++i)
                songs.last().lines << CLyricLine(QStringLiteral("line %1 of %2 with \"words\" & more").arg(i).arg(n), i);
            written.Insert(songs.last());
        }
        QVERIFY(written.Save());
        QByteArray file = ReadBytes(CachePath());
        file.insert(file.lastIndexOf("</Lyrics>"), "<Song name=\"Dup\" artist=\"A\"><Lyrics><Line text=\"last\"/></Lyrics></Song>");
        file.insert(file.indexOf("<Song "), "<Song name=\"DUP\" artist=\"a\"><Lyrics><Line text=\"first\"/></Lyrics></Song>");
        QVERIFY(file.size() > 1024 * 1024 && WriteBytes(CachePath(), file));
        LyricsCache cache;
        QCOMPARE(cache.Count(), 401);
        for (const SongLyrics& song : qAsConst(songs))
            QCOMPARE(Stored(Loaded(cache, song)), Stored(song));
        QCOMPARE(Loaded(cache, Song("dup", "A", "")).lines.value(0).text, QStringLiteral("first"));

        QByteArray nearEnd = file, nearStart = file;  // damage in either half
        nearEnd[nearEnd.lastIndexOf("</Song>") - 100] = '<';
        nearStart[nearStart.indexOf("</Song>") + 100] = '<';
        for (const QByteArray& damaged : {nearEnd, nearStart}) {
            QVERIFY(WriteBytes(CachePath(), damaged));
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^LyricsCache::Load: failed to parse file\\[.*/lyrics\\.xml\\]$"));
            LyricsCache cache;
            QCOMPARE(cache.Count(), 0);  // nothing partial
            cache.Insert(Song("New", "Song"));
            QVERIFY(cache.Save());
            QVERIFY(ReadBytes(CachePath()).contains("name=\"New\""));
        }
        QVERIFY(ReadBytes(CachePath() + ".bad") == nearEnd);  // a second unreadable file does not replace the first copy
        QVERIFY(ReadBytes(CachePath() + ".bad.1") == nearStart);
        QVERIFY(!LyricsCache().Load(CachePath() + ".missing"));  // a missing file is no fault
        QVERIFY(!QFile::exists(CachePath() + ".missing.bad"));
    }

    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<bool>("tooLarge");
        QTest::newRow("write fails midway (file size limit)") << true;
        QTest::newRow("no new file beside it (name at the length limit)") << false;
    }
    void failedWriteKeepsOldFile()
    {
        QFETCH(bool, tooLarge);
        const QString path = tooLarge ? CachePath() : GetDataDirectory() + '/' + QString(255, QLatin1Char('x'));
        const QByteArray before = Doc("<Song name=\"Old\" artist=\"Song\"><Lyrics><Line text=\"kept\"/></Lyrics></Song>");
        LyricsCache cache;
        QVERIFY(WriteBytes(path, before) && cache.Load(path));
        for (int i = 0; i < 2000; ++i)
            cache.Insert(Song(QStringLiteral("Song %1 with a long enough title").arg(i), "Artist"));
        rlimit old {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const rlimit limited {tooLarge ? 64 * 1024 : old.rlim_cur, old.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool saved = cache.Save();
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!saved);
        QCOMPARE(ReadBytes(path), before);
        QCOMPARE(QDir(GetDataDirectory()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    }
};

SV_TEST_MAIN(TestLyricsCache)
#include "tst_lyricscache.moc"
