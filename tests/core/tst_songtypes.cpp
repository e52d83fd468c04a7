#include "support/testmain.h"

#include "core/songtypes.h"
#include "core/versionnumber.h"

namespace {

SongLyrics MakeLyrics()
{
    SongLyrics lyrics;
    lyrics.title = QStringLiteral("Yesterday");
    lyrics.artist = QStringLiteral("The Beatles");
    lyrics.album = QStringLiteral("Help!");
    lyrics.location = QStringLiteral("/music/yesterday.mp3");
    lyrics.duration = 125;
    lyrics.position = 1000;
    lyrics.lines = {CLyricLine(QStringLiteral("Yesterday"), 1000), CLyricLine(QStringLiteral("All my troubles"), 4000)};
    lyrics.version = 3;
    lyrics.language = QStringLiteral("de");
    lyrics.id = 17;
    lyrics.groupId = 4;
    lyrics.status = 0;
    return lyrics;
}

CLyricLines Timeline(const QList<int>& times)
{
    CLyricLines lines;
    for (int time : times)
        lines.append(CLyricLine(QStringLiteral("line"), time));
    return lines;
}

} // namespace

class TestSongTypes : public QObject
{
    Q_OBJECT
private slots:
    void defaults();
    void compareBits_data();
    void compareBits();
    void compareSameObject();
    void assignLyricsFrom();
    void sameSong_data();
    void sameSong();
    void validTimeline_data();
    void validTimeline();
    void versionRoundTrip_data();
    void versionRoundTrip();
    void versionBadInput_data();
    void versionBadInput();
    void versionCompare();
};

void TestSongTypes::defaults()
{
    const SongLyrics lyrics;
    QVERIFY(lyrics.IsEmpty());
    QCOMPARE(lyrics.number, 0);
    QCOMPARE(lyrics.duration, 0);
    QCOMPARE(lyrics.playing, true);
    QCOMPARE(lyrics.position, 0);
    QVERIFY(lyrics.lines.isEmpty());
    QCOMPARE(lyrics.version, -1);
    QVERIFY(lyrics.language.isEmpty());
    QCOMPARE(lyrics.locked, false);
    QCOMPARE(lyrics.blocked, 0);
    QCOMPARE(lyrics.id, 0);
    QCOMPARE(lyrics.groupId, 0);
    QCOMPARE(lyrics.syncable, true);
    QCOMPARE(lyrics.status, 2);
    QCOMPARE(PlayingSongInfo().playing, true);

    SongInfo song;
    song.title = QStringLiteral("Tí");
    song.artist = QStringLiteral("A");
    QCOMPARE(song.ToString(), QStringLiteral("title[Tí] artist[A] album[]"));
}

void TestSongTypes::compareBits_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<int>("bits");

    // Each row changes one thing of a copy (see compareBits).
    QTest::newRow("copy") << 0 << 0;
    QTest::newRow("title in other case") << 1 << 0;
    QTest::newRow("title") << 2 << 0x1;
    QTest::newRow("artist") << 3 << 0x1;
    QTest::newRow("album") << 4 << 0x1;
    QTest::newRow("language") << 5 << 0x1;
    QTest::newRow("language case") << 6 << 0x1;
    QTest::newRow("id") << 7 << 0x1;
    QTest::newRow("groupId") << 8 << 0x1;
    QTest::newRow("line text") << 9 << 0x2;
    QTest::newRow("line time") << 10 << 0x4;
    QTest::newRow("line text and time") << 11 << 0x6;
    QTest::newRow("one line more") << 12 << 0x6;
    QTest::newRow("no lines") << 13 << 0x6;
    QTest::newRow("status") << 14 << 0x8;
    QTest::newRow("locked") << 15 << 0x10;
    QTest::newRow("syncable") << 16 << 0x20;
    QTest::newRow("blocked") << 17 << 0x40;
    QTest::newRow("location, duration, playing, position, version") << 18 << 0;
    QTest::newRow("every flag") << 19 << 0x78;
    QTest::newRow("everything") << 20 << 0x7F;
}

void TestSongTypes::compareBits()
{
    QFETCH(int, change);
    QFETCH(int, bits);

    const SongLyrics a = MakeLyrics();
    SongLyrics b = a;
    switch (change) {
    case 1: b.title = b.title.toUpper(); break;
    case 2: b.title += QLatin1Char('!'); break;
    case 3: b.artist = QStringLiteral("Beatles"); break;
    case 4: b.album.clear(); break;
    case 5: b.language = QStringLiteral("fr"); break;
    case 6: b.language = QStringLiteral("DE"); break;
    case 7: b.id = 18; break;
    case 8: b.groupId = 0; break;
    case 9: b.lines[1].text = QStringLiteral("All my trouble"); break;
    case 10: b.lines[0].time = 1001; break;
    case 11: b.lines[0] = CLyricLine(QStringLiteral("x"), 0); break;
    case 12: b.lines.append(CLyricLine(QStringLiteral("Now it looks"), 7000)); break;
    case 13: b.lines.clear(); break;
    case 14: b.status = 1; break;
    case 15: b.locked = true; break;
    case 16: b.syncable = false; break;
    case 17: b.blocked = 2; break;
    case 18:
        b.location.clear();
        b.duration = 1;
        b.playing = false;
        b.position = 99;
        b.version = 8;
        break;
    case 19:
        b.status = -5;
        b.locked = true;
        b.syncable = false;
        b.blocked = 1;
        break;
    case 20:
        b = SongLyrics();
        b.locked = true;
        b.syncable = false;
        b.blocked = 1;
        break;
    default: break;
    }
    QCOMPARE(SongLyrics::Compare(a, b), bits);
    QCOMPARE(SongLyrics::Compare(b, a), bits);
}

void TestSongTypes::compareSameObject()
{
    const SongLyrics a = MakeLyrics();
    QCOMPARE(SongLyrics::Compare(a, a), 0);
    QVERIFY(SongLyrics::IsSameLyrics(a, a));
}

void TestSongTypes::assignLyricsFrom()
{
    SongLyrics target = MakeLyrics();
    target.playing = false;

    SongLyrics source;
    source.title = QStringLiteral("Other");
    source.artist = QStringLiteral("Someone");
    source.album = QStringLiteral("Else");
    source.location = QStringLiteral("/elsewhere.mp3");
    source.number = 7;
    source.duration = 300;
    source.position = 55;
    source.language = QStringLiteral("fr");
    source.lines = {CLyricLine(QStringLiteral("Un"), 10)};
    source.version = 9;
    source.locked = true;
    source.blocked = 2;
    source.id = 99;
    source.groupId = 98;
    source.syncable = false;
    source.status = -7;

    SongLyrics assigned = target;
    assigned.AssignLyricsFrom(source);
    // Expected: the lyrics of source on the song, playing state and language of target.
    SongLyrics expected = source;
    static_cast<PlayingSongInfo&>(expected) = target;
    expected.language = target.language;
    QCOMPARE(SongLyrics::Compare(assigned, expected), 0);
    QCOMPARE(assigned.location, target.location);
    QCOMPARE(assigned.duration, target.duration);
    QCOMPARE(assigned.playing, false);
    QCOMPARE(assigned.position, target.position);
    QCOMPARE(assigned.version, 9);
    QCOMPARE(assigned.title, target.title);  // not only the same song: the very texts

    // From an empty value: the lyric content goes back to the defaults.
    SongLyrics cleared = target;
    cleared.AssignLyricsFrom(SongLyrics());
    QVERIFY(cleared.lines.isEmpty());
    QCOMPARE(cleared.version, -1);
    QCOMPARE(cleared.id, 0);
    QCOMPARE(cleared.status, 2);
    QCOMPARE(cleared.syncable, true);
    QCOMPARE(cleared.language, target.language);

    SongLyrics withStatus = target;
    withStatus.AssignLyricsWithStatus(source, 1);
    QCOMPARE(withStatus.lines, source.lines);
    QCOMPARE(withStatus.status, 1);

    // Assigning from itself changes nothing.
    SongLyrics self = target;
    self.AssignLyricsFrom(self);
    QCOMPARE(SongLyrics::Compare(self, target), 0);
}

void TestSongTypes::sameSong_data()
{
    QTest::addColumn<QStringList>("a");  // title, artist, album
    QTest::addColumn<QStringList>("b");
    QTest::addColumn<bool>("same");

    QTest::newRow("equal") << QStringList{"Song", "Band", "Record"} << QStringList{"Song", "Band", "Record"} << true;
    QTest::newRow("case of every field") << QStringList{"song", "BAND", "rEcOrD"}
                                         << QStringList{"SONG", "band", "Record"} << true;
    QTest::newRow("non-Latin case") << QStringList{"Ärzte", "Σίσυφος", "Ёж"} << QStringList{"ÄRZTE", "ΣΊΣΥΦΟΣ", "ЁЖ"}
                                    << true;
    QTest::newRow("sharp s upper-cases to SS") << QStringList{"Straße", "", ""} << QStringList{"STRASSE", "", ""}
                                               << true;
    QTest::newRow("all empty") << QStringList{"", "", ""} << QStringList{"", "", ""} << true;
    QTest::newRow("title differs") << QStringList{"Song", "Band", "Record"} << QStringList{"Song 2", "Band", "Record"}
                                   << false;
    QTest::newRow("artist differs") << QStringList{"Song", "Band", "Record"} << QStringList{"Song", "Bands", "Record"}
                                    << false;
    QTest::newRow("album missing") << QStringList{"Song", "Band", "Record"} << QStringList{"Song", "Band", ""}
                                   << false;
    QTest::newRow("blank is no case") << QStringList{"Song ", "Band", "Record"} << QStringList{"Song", "Band", "Record"}
                                      << false;
    QTest::newRow("fields swapped") << QStringList{"A", "B", "C"} << QStringList{"B", "A", "C"} << false;
}

void TestSongTypes::sameSong()
{
    QFETCH(QStringList, a);
    QFETCH(QStringList, b);
    QFETCH(bool, same);

    SongLyrics x;
    x.title = a.at(0);
    x.artist = a.at(1);
    x.album = a.at(2);
    x.location = QStringLiteral("/one.mp3");
    SongLyrics y;
    y.title = b.at(0);
    y.artist = b.at(1);
    y.album = b.at(2);
    y.duration = 99;  // not part of the song's identity
    QCOMPARE(SongInfo::IsSameSong(x, y), same);
    QCOMPARE(SongInfo::IsSameSong(y, x), same);

    // The cache key adds the language, compared exactly.
    QCOMPARE(SongLyrics::IsSameLyrics(x, y), same);
    y.language = QStringLiteral("de");
    QVERIFY(!SongLyrics::IsSameLyrics(x, y));
    x.language = QStringLiteral("DE");
    QVERIFY(!SongLyrics::IsSameLyrics(x, y));
    x.language = QStringLiteral("de");
    QCOMPARE(SongLyrics::IsSameLyrics(x, y), same);
}

void TestSongTypes::validTimeline_data()
{
    QTest::addColumn<QList<int>>("times");
    QTest::addColumn<bool>("valid");

    QTest::newRow("empty") << QList<int>{} << true;
    QTest::newRow("one timed line") << QList<int>{1500} << true;
    QTest::newRow("one line at 0") << QList<int>{0} << false;
    QTest::newRow("untimed lyrics") << QList<int>{0, 0, 0} << false;
    QTest::newRow("rising") << QList<int>{0, 1000, 2500} << true;
    QTest::newRow("equal neighbours") << QList<int>{500, 500, 900} << true;
    QTest::newRow("all equal, not 0") << QList<int>{700, 700} << true;
    QTest::newRow("falling") << QList<int>{1000, 900, 2000} << false;
    QTest::newRow("falls back at the end") << QList<int>{1000, 2000, 1999} << false;
    QTest::newRow("negative first") << QList<int>{-1, 100, 200} << false;
    QTest::newRow("negative only") << QList<int>{-100} << false;
    QTest::newRow("last back to 0") << QList<int>{100, 200, 0} << false;
}

void TestSongTypes::validTimeline()
{
    QFETCH(QList<int>, times);
    QFETCH(bool, valid);
    QCOMPARE(Timeline(times).HasValidTimeline(), valid);
}

void TestSongTypes::versionRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("parts");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("written");  // ToString(4, true) of what was read

    QTest::newRow("four parts") << "1.0.0.209" << QList<int>{1, 0, 0, 209} << "" << "1.0.0.209";
    QTest::newRow("with label") << "1.0.0.209 Beta 1" << QList<int>{1, 0, 0, 209} << "Beta 1" << "1.0.0.209 Beta 1";
    QTest::newRow("blanks around") << "  2.5.1.7   RC  " << QList<int>{2, 5, 1, 7} << "RC" << "2.5.1.7 RC";
    QTest::newRow("two parts") << "3.14" << QList<int>{3, 14, 0, 0} << "" << "3.14.0.0";
    QTest::newRow("one part") << "12" << QList<int>{12, 0, 0, 0} << "" << "12.0.0.0";
    QTest::newRow("leading zeros") << "01.002.0.9" << QList<int>{1, 2, 0, 9} << "" << "1.2.0.9";
    QTest::newRow("largest int") << "2147483647.0.0.1" << QList<int>{2147483647, 0, 0, 1} << ""
                                 << "2147483647.0.0.1";
}

void TestSongTypes::versionRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, parts);
    QFETCH(QString, label);
    QFETCH(QString, written);

    const CVersionNumber version = CVersionNumber::FromString(text);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(version.parts[i], parts.at(i));
    QCOMPARE(version.label, label);
    QCOMPARE(version.ToString(4, true), written);
    const CVersionNumber again = CVersionNumber::FromString(version.ToString(4, true));
    QCOMPARE(CVersionNumber::Compare(again, version), 0);
    QCOMPARE(again.label, version.label);
}

void TestSongTypes::versionBadInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
    QTest::newRow("word") << "latest";
    QTest::newRow("empty part") << "1..2";
    QTest::newRow("trailing dot") << "1.2.";
    QTest::newRow("leading dot") << ".1.2";
    QTest::newRow("five parts") << "1.2.3.4.5";
    QTest::newRow("negative part") << "1.-2.3.4";
    QTest::newRow("plus sign") << "+1.2";
    QTest::newRow("letter in part") << "1.2a.3";
    QTest::newRow("too large") << "99999999999.1";
    QTest::newRow("label only after blank") << " Beta 1";
}

void TestSongTypes::versionBadInput()
{
    QFETCH(QString, text);
    const CVersionNumber version = CVersionNumber::FromString(text);
    QVERIFY(version.IsZero());
    QVERIFY(version.label.isEmpty());
    QCOMPARE(version.ToString(4, true), QStringLiteral("0.0.0.0"));
}

void TestSongTypes::versionCompare()
{
    const CVersionNumber app = GetAppVersion();
    QCOMPARE(app.ToString(4, false), QStringLiteral("1.0.0.209"));
    QCOMPARE(app.ToString(2, true), QStringLiteral("1.0 Beta 1"));
    QCOMPARE(app.ToString(3, true), QStringLiteral("1.0.0 Beta 1"));
    QCOMPARE(app.build, QStringLiteral("2118"));

    const CVersionNumber older(1, 0, 0, 208);
    const CVersionNumber newer(1, 0, 1, 0);
    const CVersionNumber major(2, 0, 0, 0);
    QCOMPARE(CVersionNumber::Compare(older, app), -1);
    QCOMPARE(CVersionNumber::Compare(app, older), 1);
    QCOMPARE(CVersionNumber::Compare(newer, app), 1);
    QCOMPARE(CVersionNumber::Compare(major, newer), 1);
    // Number parts only: build and label make no difference.
    QCOMPARE(CVersionNumber::Compare(CVersionNumber(1, 0, 0, 209), app), 0);
    // Numbers, not text: 10 is above 9.
    QCOMPARE(CVersionNumber::Compare(CVersionNumber::FromString("1.10"), CVersionNumber::FromString("1.9")), 1);
}

SV_TEST_MAIN(TestSongTypes)
#include "tst_songtypes.moc"
