#include "support/testmain.h"

#include <QSettings>
#include <QSignalSpy>

#include "core/corefeatures.h"
#include "core/resultcodes.h"
#include "lyrics/lyricsmanager.h"
#include "lyricstesthelpers.h"
#include "support/testapplicationobject.h"

using namespace LyricsTest;
using SvTest::CFakeAnswer;
using CServerLyrics = SvTest::CFakeSonveroServer::CLyrics;
Q_DECLARE_METATYPE(SvTest::CFakeAnswer)
Q_DECLARE_METATYPE(SvTest::CFakeSonveroServer::CLyrics)

namespace {

// The cache entry of an earlier fetch of l, with lines of its own.
SongLyrics CachedFrom(const CServerLyrics& l)
{
    SongLyrics c = Song(l.title, l.artist, l.album, l.lang);
    c.version = l.version, c.id = l.songId, c.groupId = qint32(quint32(l.groupId)), c.lines = Lines({100, 3000});
    return c;
}

} // namespace

class TestLyricsManager : public QObject
{
    Q_OBJECT

    SvTest::CFakeSonveroServer* m_server = nullptr;

    // Asks for a song and waits for its one answer; filled is what the cache gave at once.
    void Fetch(LyricsManager& manager, SongLyrics song, SongLyrics* filled = nullptr)
    {
        QSignalSpy downloaded(&manager, &LyricsManager::WhenLyricsDownloaded);
        manager.GetLyrics(song);
        if (filled)
            *filled = song;
        QCOMPARE(song.status, int(SongLyrics::StatusRunning));
        QTRY_COMPARE(downloaded.count(), 1);
        QTest::qWait(20);
        QCOMPARE(downloaded.count(), 1);
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_server = new SvTest::CFakeSonveroServer(this);
        m_server->ConfigureSettings();
        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureLyricLanguageList, false);
    }
    void cleanup() { delete m_server; }

    void twoStepFetch_data()
    {
        QTest::addColumn<int>("cached");            // 0 nothing, 1 an entry without lines, 2 with lines
        QTest::addColumn<CServerLyrics>("before");  // what the cached entry was fetched from
        QTest::addColumn<CServerLyrics>("now");     // what the service holds now
        QTest::addColumn<int>("requests");
        auto on = [](qint64 groupId, int version = 3, int lock = 0, int blocked = 0) {
            CServerLyrics l = OnService("Song", "Band", version);
            l.groupId = groupId, l.lock = lock, l.blocked = blocked;
            return l;
        };
        QTest::newRow("nothing cached") << 0 << on(77) << on(77) << 1;
        QTest::newRow("cached without lines") << 1 << on(77) << on(77) << 1;
        QTest::newRow("cached and current") << 2 << on(77) << on(77) << 1;
        QTest::newRow("group id past 2^31, current") << 2 << on(3000000000LL) << on(3000000000LL) << 1;
        QTest::newRow("newer version") << 2 << on(77) << on(77, 4) << 2;
        QTest::newRow("now locked") << 2 << on(77) << on(77, 3, 1) << 2;
        QTest::newRow("now blocked") << 2 << on(77) << on(77, 3, 0, -105) << 2;
    }
    void twoStepFetch()
    {
        QFETCH(int, cached);
        QFETCH(CServerLyrics, before);
        QFETCH(CServerLyrics, now);
        QFETCH(int, requests);
        SongLyrics entry = CachedFrom(before);
        entry.lines = cached == 2 ? entry.lines : CLyricLines();
        if (cached)
            LyricsCache().Insert(entry);
        m_server->SetLyrics(now);
        LyricsManager manager;
        SongLyrics filled;
        Fetch(manager, Song("song", "BAND"), &filled);
        QCOMPARE(filled.lines.size(), cached == 2 ? 2 : 0);
        const QList<SvTest::CFakeRequest> sent = m_server->RequestsTo(LyricsPath);
        QCOMPARE(sent.size(), requests);
        // The cached version goes with the first step only when there are cached lines; a second step asks for all.
        QCOMPARE(sent.first().Param(QStringLiteral("version")), cached == 2 ? QStringLiteral("3") : QString());
        QVERIFY(requests == 1 || !sent.last().HasParam(QStringLiteral("version")));
        const bool upToDate = cached == 2 && requests == 1;  // then the cached lines stay
        QCOMPARE(manager.GetCurrentLyrics().status, int(SongLyrics::StatusDone));
        QCOMPARE(manager.GetCurrentLyrics().lines.value(0).text, QString(upToDate ? "t100" : "server one"));
    }

    void replacement()
    {
        m_server->SetLyrics(OnService("Second", "Band"));
        m_server->QueueAnswer(LyricsPath, CFakeAnswer::Held(CFakeAnswer::ServiceOk(
                                              "<lyrics kind=\"1\" title=\"First\" artist=\"Band\" album=\"Album\"/>")));
        LyricsManager manager;
        SongLyrics first = Song("First", "Band");
        manager.GetLyrics(first);
        QTRY_COMPARE(m_server->HeldCount(), 1);
        Fetch(manager, Song("Second", "Band"));
        m_server->ReleaseHeld();
        QSignalSpy downloaded(&manager, &LyricsManager::WhenLyricsDownloaded);
        QTest::qWait(50);
        QCOMPARE(downloaded.count(), 0);  // the first answer never arrives
        QCOMPARE(manager.GetCurrentLyrics().title, QStringLiteral("Second"));
        QCOMPARE(manager.GetCurrentLyrics().lines.size(), 2);
    }

    void failures_data()
    {
        QTest::addColumn<CFakeAnswer>("answer");
        QTest::addColumn<int>("status");  // 1: any failure
        QTest::newRow("service refuses") << CFakeAnswer::ServiceError(1028) << int(SV_E_SERVICE_REFUSED);
        QTest::newRow("connection dropped") << CFakeAnswer::Dropped() << 1;
        QTest::newRow("unreadable answer") << CFakeAnswer::Xml("<sv status=\"ok\"><x/></sv>") << int(SV_E_BAD_ANSWER);
        QTest::newRow("no lyrics on the service: an answer") << CFakeAnswer::Status(404) << 0;
    }
    void failures()
    {
        QFETCH(CFakeAnswer, answer);
        QFETCH(int, status);
        const SongLyrics entry = CachedFrom(OnService("Song", "Band"));
        LyricsCache().Insert(entry);
        m_server->SetAnswer(LyricsPath, answer);
        LyricsManager manager;
        Fetch(manager, Song("Song", "Band"));
        const SongLyrics& current = manager.GetCurrentLyrics();
        QVERIFY2(status == 1 ? current.status < 0 : current.status == status, qPrintable(QString::number(current.status, 16)));
        QCOMPARE(current.lines, status ? entry.lines : CLyricLines());  // a failure keeps the cached lines
        SongLyrics stored = Song("Song", "Band");
        QVERIFY(manager.GetCache().Get(stored) && stored.lines == current.lines);
    }

    void upload()
    {
        SongLyrics first = Song("First", "Band"), second = Song("Second", "Band");
        first.lines = Lines({1200, 3400}), second.lines = Lines({100});
        LyricsManager manager;
        manager.UpdateLyrics(first);
        manager.UpdateLyrics(second);  // before the first has even been sent: both go
        SongLyrics onDisk = Song("FIRST", "band");  // saved at once, not only when the program ends
        QVERIFY(LyricsCache().Get(onDisk) && onDisk.lines == first.lines);
        QTRY_COMPARE(m_server->RequestCount(LyricsPath), 2);
        QVERIFY(m_server->FindLyrics("Band", "First", "Album", {})->lines.size() == 2);
        QSettings().setValue(QStringLiteral("debug/sync_cache_only"), true);  // kept, never sent
        first.lines = Lines({500});
        manager.UpdateLyrics(first);
        QVERIFY(LyricsCache().Get(onDisk) && onDisk.lines == first.lines);
        QTest::qWait(30);
        QCOMPARE(m_server->RequestCount(LyricsPath), 2);
    }

    void languageFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("codes");  // sorted; none: the 53 built-in codes
        QTest::newRow("empty list") << QByteArray("langs=\n") << QStringList();
        QTest::newRow("written by hand") << QByteArray("langs=de , fr,ja ,, it\n") << QStringList{"de", "fr", "it", "ja"};
        QTest::newRow("disabled groups")
            << QByteArray("langs=\"de,fr,ja\"\n[de]\nenable=false\n[fr]\nenable=true\n") << QStringList{"fr", "ja"};
    }
    void languageFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, codes);
        QVERIFY(WriteBytes(GetDataDirectory() + "/lyrics.ini", ini));
        QStringList got;
        for (const auto& language : LyricsManager().GetLanguageList())
            got << language.first;
        got.sort();
        QCOMPARE(got.size(), 1 + (codes.isEmpty() ? 53 : codes.size()));  // with "Native"
        QVERIFY(codes.isEmpty() || got == QStringList{""} + codes);
    }

    void languagesFromService()
    {
        SvTest::CTestApplicationObject app;
        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureLyricLanguageList, true);
        QVERIFY(WriteBytes(GetDataDirectory() + "/lyrics.ini", "[de]\nenable=false\n"));
        m_server->SetLanguages({"de", "it", "qq", "fr"});
        LyricsManager manager;
        QSignalSpy available(&manager, &LyricsManager::languagesAvailable);
        app.ModeManager()->SetMode(CAppModeManagerBase::ModeNormal);
        QTRY_COMPARE(available.count(), 1);
        // "de" stays off, "qq" is named by its code, and the service's list is kept for the next run.
        QCOMPARE(manager.GetLanguageList(), (LyricsManager::CLanguageList{{"", "Native"}, {"fr", "French"},
                                                                          {"it", "Italian"}, {"qq", "qq"}}));
        QCOMPARE(QSettings(GetDataDirectory() + "/lyrics.ini", QSettings::IniFormat).value("langs").toString(),
                 QStringLiteral("de,it,qq,fr"));
        app.ModeManager()->SetMode(CAppModeManagerBase::ModeUpdate);
        app.ModeManager()->SetMode(CAppModeManagerBase::ModeNormal);  // once per run
        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureLyricLanguageList, false);
        LyricsManager().OnAppModeChanged();  // without feature 9 the service is not asked
        QTest::qWait(20);
        QCOMPARE(m_server->RequestCount(QStringLiteral("/api/v2/languages")), 1);
    }
};

SV_TEST_MAIN(TestLyricsManager)
#include "tst_lyricsmanager.moc"
