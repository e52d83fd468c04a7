#include "support/testmain.h"

#include <csignal>
#include <sys/resource.h>

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

QByteArray Doc(const QByteArray& songs)
{
    return "<!DOCTYPE Sonvero_lyrics_cache>\n<Lyrics>\n" + songs + "</Lyrics>\n";
}

SongLyrics Loaded(const LyricsCache& cache, const SongLyrics& key)
{
    SongLyrics got = Song(key.title, key.artist, key.album, key.language);
    return cache.Get(got) ? got : SongLyrics();
}

} // namespace

class TestLyricsCache : public QObject
{
    Q_OBJECT

private slots:
    void init() { SvTest::Environment()->Reset(); }

    void fileFormat()
    {
        SongLyrics l = Song("T", "A", "B", "de");
        l.duration = 200, l.id = 7, l.locked = true, l.groupId = 9, l.syncable = false, l.blocked = 2, l.version = 3;
        l.lines << CLyricLine("one", 0) << CLyricLine("", 1500);
        {
            LyricsCache cache;
            cache.Insert(l);
        }
        QCOMPARE(ReadBytes(CachePath()), Doc(" <Song duration=\"200\" name=\"T\" artist=\"A\" album=\"B\" id=\"7\" lang=\"de\" "
                                             "locked=\"1\" groupId=\"9\" syncable=\"0\" blocked=\"2\">\n"
                                             "  <Lyrics version=\"3\">\n   <Line time=\"0\" text=\"one\"/>\n"
                                             "   <Line time=\"1500\" text=\"\"/>\n  </Lyrics>\n </Song>\n"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<SongLyrics>("lyrics");
        SongLyrics full = Song("Song", "Artist", "Album");
        full.duration = 245, full.version = 12, full.id = 123456, full.groupId = -2000000000;
        full.locked = true, full.syncable = false, full.blocked = 1;
        full.lines = Lines({0, 5200, 9100});
        QTest::newRow("every field") << full;
        SongLyrics markup = Song("<b>\"Tom\" & 'Jerry'</b>", "Ä ß 日本 \xF0\x9F\x8E\xB5", " spaced ", "zh-TW");
        markup.lines << CLyricLine("a < b > c & \"d\"", 10) << CLyricLine("two\nlines\tand\rreturn", 20)
                     << CLyricLine("  edges  ", 30);
        QTest::newRow("markup, white space, unicode") << markup;
        QTest::newRow("no lines") << Song("Unknown", "Nobody", "", "fr");
    }
    void roundTrip()
    {
        QFETCH(SongLyrics, lyrics);
        SongLyrics stored = lyrics;
        stored.location = "/music/x.mp3", stored.number = 5, stored.playing = false, stored.position = 7000;
        stored.status = 0;  // none of these is kept
        {
            LyricsCache cache;
            cache.Insert(stored);
            QVERIFY(cache.Save());
        }
        LyricsCache cache;
        QCOMPARE(cache.Count(), 1);
        const SongLyrics got = Loaded(cache, lyrics);
        QCOMPARE(Stored(got), Stored(lyrics));
        const SongLyrics fresh;
        QVERIFY(got.location.isEmpty() && got.number == 0 && got.playing && got.position == 0);
        QCOMPARE(got.status, fresh.status);
    }

    void keys()
    {
        LyricsCache cache;
        SongLyrics stored = Song("Hello World", "The Band", "Album One", "de");
        stored.lines = Lines({1000});
        cache.Insert(stored);
        QCOMPARE(Loaded(cache, Song("HELLO world", "the band", "ALBUM one", "de")).lines, stored.lines);

        // The language is compared exactly; a miss clears the lyrics but keeps the song.
        for (const QString& lang : {QStringLiteral("DE"), QString()}) {
            SongLyrics miss = Song("Hello World", "The Band", "Album One", lang);
            miss.lines = Lines({1}), miss.version = 9, miss.id = 3, miss.status = 0, miss.duration = 77;
            QVERIFY(!cache.Get(miss));
            SongLyrics cleared = Song("Hello World", "The Band", "Album One", lang);
            cleared.duration = 77;
            QCOMPARE(Stored(miss), Stored(cleared));
            QCOMPARE(miss.status, int(SongLyrics::StatusNotAsked));
        }

        // Insert replaces the entry, song fields included; after save and load only the newest is there.
        SongLyrics newer = Song("hello world", "THE BAND", "album one", "de");
        newer.lines = Lines({1200, 2400});
        cache.Insert(newer);
        QVERIFY(cache.Save());
        LyricsCache reloaded;
        QCOMPARE(reloaded.Count(), 1);
        QCOMPARE(Stored(Loaded(reloaded, stored)), Stored(newer));
    }

    void readerTolerance_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("entry");  // Stored() of title T, artist A, album B, language ""
        QTest::newRow("only the key: defaults, syncable")
            << Doc("<Song name=\"T\" artist=\"A\" album=\"B\"/>") << 1 << "T|A|B||0|-1|0|0|0|0|1";
        QTest::newRow("lines without time or text")
            << Doc("<Song name=\"T\" artist=\"A\" album=\"B\"><Lyrics><Line/><Line text=\"x\"/><Line time=\"4\"/>"
                   "</Lyrics></Song>")
            << 1 << "T|A|B||0|-1|0|0|0|0|1|0:|0:x|4:";
        QTest::newRow("numbers that do not convert")
            << Doc("<Song name=\"T\" artist=\"A\" album=\"B\" duration=\"abc\" id=\"1.5\" syncable=\"yes\" "
                   "locked=\"\"><Lyrics version=\"v2\"><Line time=\"0x10\" text=\"y\"/></Lyrics></Song>")
            << 1 << "T|A|B||0|0|0|0|0|0|0|0:y";
        QTest::newRow("same key twice: the first wins; unknown elements skipped")
            << Doc("<Other><Song name=\"X\"/></Other><Song name=\"T\" artist=\"A\" album=\"B\"><Note/><Lyrics "
                   "version=\"1\"><Line time=\"9\" text=\"first\"><Sub/></Line></Lyrics><Lyrics/></Song>"
                   "<Song name=\"t\" artist=\"a\" album=\"b\"><Lyrics version=\"2\"/></Song>"
                   "<Song name=\"T\" artist=\"A\" album=\"B\" lang=\"de\"/>")
            << 2 << "T|A|B||0|1|0|0|0|0|1|9:first";
        QTest::newRow("raw control characters of a careless writer")
            << Doc("<Song name=\"T\" artist=\"A\" album=\"B\"><Lyrics><Line text=\"a\x01z\x1f\"/></Lyrics></Song>")
            << 1 << "T|A|B||0|-1|0|0|0|0|1|0:az";
        QTest::newRow("another root") << QByteArray("<Songs><Song name=\"T\" artist=\"A\" album=\"B\"/></Songs>") << 0
                                      << "||||0|-1|0|0|0|0|1";
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

    void unreadableFileKept()
    {
        const QByteArray first = Doc("<Song name=\"T\" artist=\"A\" album=\"B\"/>") + "<junk>";
        const QByteArray second = "<Lyrics><Song";
        const QString bad = CachePath() + ".bad";
        QVERIFY(WriteBytes(CachePath(), first));
        {
            LyricsCache cache;
            QCOMPARE(cache.Count(), 0);  // nothing partial
            cache.Insert(Song("New", "Song"));
            QVERIFY(cache.Save());
        }
        QCOMPARE(ReadBytes(bad), first);
        QVERIFY(ReadBytes(CachePath()).contains("name=\"New\""));

        QVERIFY(WriteBytes(CachePath(), second));
        LyricsCache().Insert(Song("Newer", "Song"));
        QCOMPARE(ReadBytes(bad), first);  // a second unreadable file does not replace the first copy
        QCOMPARE(ReadBytes(bad + ".1"), second);
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
        QVERIFY(WriteBytes(path, before));
        LyricsCache cache;
        QVERIFY(cache.Load(path));
        for (int i = 0; i < 2000; ++i) {
            SongLyrics big = Song(QStringLiteral("Song %1").arg(i), "Artist");
            big.lines = Lines({0, 1000, 2000, 3000, 4000, 5000});
            cache.Insert(big);
        }
        rlimit old {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit limited = old;
        limited.rlim_cur = tooLarge ? 64 * 1024 : old.rlim_cur;
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool saved = cache.Save();
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!saved);
        QCOMPARE(ReadBytes(path), before);
        QCOMPARE(QDir(GetDataDirectory()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    }

    void charactersXmlCannotHold()
    {
        SongLyrics dirty = Song("Ti\u0001tle", "Art\u001Fist", "Al\uFFFEbum");
        dirty.lines << CLyricLine(QStringLiteral("bell\u0007 tab\t ") + QChar(0xD800) + QStringLiteral("end\uFFFF"), 10)
                    << CLyricLine(QStringLiteral("keep \U0001F3B5 and \u00E9"), 20);
        LyricsCache().Insert(dirty);
        QXmlStreamReader reader(ReadBytes(CachePath()));
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));  // any XML reader takes the file
        const SongLyrics got = Loaded(LyricsCache(), Song("Title", "Artist", "Album"));
        QCOMPARE(got.lines.value(0).text, QStringLiteral("bell tab\t end"));
        QCOMPARE(got.lines.value(1).text, dirty.lines.at(1).text);
    }

    void largeFile_data()
    {
        // Big files are read in two halves at once; the rules stay those of one pass.
        QTest::addColumn<int>("damageAt");  // 0 none, 1 near the end, -1 near the start
        QTest::newRow("round trip; the same key at the start and at the end: the first wins") << 0;
        QTest::newRow("damage near the end") << 1;
        QTest::newRow("damage near the start") << -1;
    }
    void largeFile()
    {
        QFETCH(int, damageAt);
        QList<SongLyrics> songs;
        for (int n = 0; n < 400; ++n) {
            songs << Song(QStringLiteral("Title %1").arg(n), QStringLiteral("Artist %1").arg(n % 37), "Album",
                          n % 3 ? QString() : QStringLiteral("de"));
            songs.last().version = n;
            for (int i = 0; i < 40; ++i)
                songs.last().lines << CLyricLine(QStringLiteral("line %1 of %2 with \"words\" & more").arg(i).arg(n), i);
        }
        {
            LyricsCache cache;
            for (const SongLyrics& song : qAsConst(songs))
                cache.Insert(song);
        }
        QByteArray file = ReadBytes(CachePath());
        QVERIFY(file.size() > 1024 * 1024);
        file.insert(file.lastIndexOf("</Lyrics>"), "<Song name=\"Dup\" artist=\"A\"><Lyrics><Line text=\"last\"/></Lyrics></Song>");
        file.insert(file.indexOf("<Song "), "<Song name=\"DUP\" artist=\"a\"><Lyrics><Line text=\"first\"/></Lyrics></Song>");
        if (damageAt != 0)
            file.replace(damageAt > 0 ? file.lastIndexOf("</Song>") - 100 : file.indexOf("</Song>") + 100, 1, "<");
        QVERIFY(WriteBytes(CachePath(), file));

        LyricsCache cache;
        QCOMPARE(cache.Count(), damageAt ? 0 : 401);
        QCOMPARE(QFile::exists(CachePath() + ".bad"), damageAt != 0);
        if (damageAt)
            return;
        for (const SongLyrics& song : qAsConst(songs))
            QCOMPARE(Stored(Loaded(cache, song)), Stored(song));
        QCOMPARE(Loaded(cache, Song("dup", "A", "")).lines.value(0).text, QStringLiteral("first"));
    }
};

SV_TEST_MAIN(TestLyricsCache)
#include "tst_lyricscache.moc"
