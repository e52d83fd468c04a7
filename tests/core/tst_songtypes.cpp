#include "support/testmain.h"

#include "core/songtypes.h"
#include "core/versionnumber.h"

namespace {

using Change = void (*)(SongLyrics&);

SongLyrics MakeLyrics()
{
    SongLyrics lyrics;
    lyrics.title = QStringLiteral("Yesterday");
    lyrics.location = QStringLiteral("/music/yesterday.mp3");
    lyrics.lines = {CLyricLine(QStringLiteral("Yesterday"), 1000), CLyricLine(QStringLiteral("All my troubles"), 4000)};
    lyrics.language = QStringLiteral("de");
    lyrics.id = 17;
    lyrics.status = 0;
    return lyrics;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestSongTypes : public QObject
{
    Q_OBJECT
private slots:
    void compareBits_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("bits");
        QTest::newRow("title in other case") << Change([](SongLyrics& l) { l.title = l.title.toUpper(); }) << 0;
        QTest::newRow("language case") << Change([](SongLyrics& l) { l.language = QStringLiteral("DE"); }) << 0x1;
        QTest::newRow("line text") << Change([](SongLyrics& l) { l.lines[1].text.chop(1); }) << 0x2;
        QTest::newRow("line time") << Change([](SongLyrics& l) { l.lines[0].time = 1001; }) << 0x4;
        QTest::newRow("song state only")
            << Change([](SongLyrics& l) { l.location.clear(); l.playing = false; l.position = 9; l.version = 8; }) << 0;
        QTest::newRow("everything")
            << Change([](SongLyrics& l) { l = SongLyrics(); l.locked = true; l.syncable = false; l.blocked = 1; }) << 0x7F;
    }

    void compareBits()
    {
        QFETCH(Change, change);
        QFETCH(int, bits);
        const SongLyrics a = MakeLyrics();
        SongLyrics b = a;
        change(b);
        QCOMPARE(SongLyrics::Compare(a, b), bits);
        QCOMPARE(SongLyrics::Compare(b, a), bits);
    }

    void assignLyricsAndSameSong()
    {
        // The lyrics of the source go onto the target's song, with the target's playing state and language.
        SongLyrics source;
        source.title = QStringLiteral("Other");
        source.language = QStringLiteral("fr");
        source.lines = {CLyricLine(QStringLiteral("Un"), 10)};
        source.locked = true;
        SongLyrics assigned = MakeLyrics();
        SongLyrics expected = source;
        static_cast<PlayingSongInfo&>(expected) = assigned;
        expected.language = assigned.language;
        assigned.AssignLyricsFrom(source);
        QCOMPARE(SongLyrics::Compare(assigned, expected), 0);
        assigned.AssignLyricsWithStatus(SongLyrics(), 1);
        QVERIFY(assigned.lines.isEmpty() && assigned.id == 0 && assigned.status == 1);

        // Title, artist and album compare without case, non-Latin letters too; blanks count.
        SongLyrics x, y;
        x.title = QStringLiteral("Ärzte");
        x.artist = QStringLiteral("Σίσυφος");
        y.title = QStringLiteral("ÄRZTE");
        y.artist = QStringLiteral("ΣΊΣΥΦΟΣ");
        y.location = QStringLiteral("/one.mp3");
        QVERIFY(SongInfo::IsSameSong(x, y) && SongLyrics::IsSameLyrics(x, y));
        y.language = QStringLiteral("de");  // the lyrics' key adds the language, compared exactly
        x.language = QStringLiteral("DE");
        QVERIFY(!SongLyrics::IsSameLyrics(x, y));
        y.album = QStringLiteral(" ");
        QVERIFY(!SongInfo::IsSameSong(x, y));
    }

    void validTimeline_data()
    {
        QTest::addColumn<QList<int>>("times");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << QList<int>{} << true;
        QTest::newRow("untimed lyrics") << QList<int>{0, 0, 0} << false;
        QTest::newRow("equal neighbours") << QList<int>{500, 500, 900} << true;
        QTest::newRow("falls back at the end") << QList<int>{1000, 2000, 1999} << false;
    }

    void validTimeline()
    {
        QFETCH(QList<int>, times);
        QFETCH(bool, valid);
        CLyricLines lines;
        for (int time : times)
            lines.append(CLyricLine(QStringLiteral("line"), time));
        QCOMPARE(lines.HasValidTimeline(), valid);
    }

    void versionRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");  // ToString(4, true) of what was read; "0.0.0.0" for bad input
        QTest::newRow("with label") << "1.0.0.209 Beta 1" << "1.0.0.209 Beta 1";
        QTest::newRow("blanks around, two parts") << "  3.14   RC  " << "3.14.0.0 RC";
        QTest::newRow("five parts") << "1.2.3.4.5" << "0.0.0.0";
        QTest::newRow("too large") << "99999999999.1" << "0.0.0.0";
    }

    void versionRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        const CVersionNumber version = CVersionNumber::FromString(text);
        QCOMPARE(version.ToString(4, true), written);
        QCOMPARE(version.IsZero(), written == QLatin1String("0.0.0.0"));
        const CVersionNumber again = CVersionNumber::FromString(written);
        QCOMPARE(CVersionNumber::Compare(again, version), 0);
        QCOMPARE(again.label, version.label);
    }

    void versionCompare()
    {
        const CVersionNumber app = GetAppVersion();
        QCOMPARE(app.ToString(2, true), QStringLiteral("1.0 Beta 1"));
        QCOMPARE(CVersionNumber::Compare(CVersionNumber(1, 0, 0, 208), app), -1);
        QCOMPARE(CVersionNumber::Compare(CVersionNumber(1, 0, 0, 209), app), 0);  // build and label make no difference
        QCOMPARE(CVersionNumber::Compare(CVersionNumber::FromString("1.10"), CVersionNumber::FromString("1.9")), 1);
    }
};

SV_TEST_MAIN(TestSongTypes)
#include "tst_songtypes.moc"
