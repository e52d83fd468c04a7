#include "support/testmain.h"

#include <QSettings>
#include <QSignalSpy>

#include "core/corefeatures.h"
#include "core/coreinterfacelanguage.h"
#include "core/resultcodes.h"
#include "lyrics/lyricsmanager.h"
#include "lyricstesthelpers.h"
#include "support/testapplicationobject.h"

using namespace LyricsTest;
using SvTest::CFakeAnswer;
using CServerLyrics = SvTest::CFakeSonveroServer::CLyrics;

namespace {

const QString LyricsPath = QStringLiteral("/api/v2/lyrics");
const QString LanguagesPath = QStringLiteral("/api/v2/languages");

// The cache entry of an earlier fetch of l, with lines of its own.
SongLyrics CachedFrom(const CServerLyrics& l)
{
    SongLyrics c = Song(l.title, l.artist, l.album, l.lang);
    c.version = l.version, c.id = l.songId, c.groupId = qint32(quint32(l.groupId));
    c.locked = l.lock != 0, c.syncable = l.lock != 2, c.blocked = l.blocked ? (l.blocked == -105 ? 2 : 1) : 0;
    c.lines = Lines({100, 3000});
    return c;
}

QStringList Codes(const LyricsManager::CLanguageList& list)
{
    QStringList codes;
    for (const auto& entry : list)
        codes << entry.first;
    return codes;
}

bool WriteLanguageFile(const QByteArray& ini)
{
    return WriteBytes(GetDataDirectory() + QStringLiteral("/lyrics.ini"), ini);
}

} // namespace

class TestLyricsManager : public QObject
{
    Q_OBJECT

    SvTest::CFakeSonveroServer* m_server = nullptr;

    // Asks for a song and waits for the answer; found and filled tell what the cache gave at once.
    void Fetch(LyricsManager& manager, SongLyrics song, bool* found = nullptr, SongLyrics* filled = nullptr)
    {
        QSignalSpy downloaded(&manager, &LyricsManager::WhenLyricsDownloaded);
        const bool fromCache = manager.GetLyrics(song);
        if (found)
            *found = fromCache;
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

    void refusals_data()
    {
        QTest::addColumn<SongLyrics>("song");
        QTest::addColumn<int>("status");
        QTest::newRow("empty song") << Song("", "", "") << int(SV_E_EMPTY_SONG);
        QTest::newRow("no title") << Song("", "Artist") << int(SV_E_TITLE_OR_ARTIST_MISSING);
        QTest::newRow("no artist") << Song("Title", "") << int(SV_E_TITLE_OR_ARTIST_MISSING);
    }
    void refusals()
    {
        QFETCH(SongLyrics, song);
        QFETCH(int, status);
        LyricsManager manager;
        Fetch(manager, Song("Before", "Someone"));
        song.lines = Lines({5}), song.version = 3;
        QVERIFY(!manager.GetLyrics(song));
        QCOMPARE(song.status, status);
        QVERIFY(song.lines.isEmpty() && song.version == -1);
        QCOMPARE(manager.GetCurrentLyrics().title, QStringLiteral("Before"));
        QTest::qWait(20);
        QCOMPARE(m_server->RequestCount(LyricsPath), 1);
    }

    void twoStepFetch_data()
    {
        QTest::addColumn<int>("cached");  // 0 nothing, 1 an entry without lines, 2 with lines
        QTest::addColumn<CServerLyrics>("before");  // what the cached entry was fetched from
        QTest::addColumn<CServerLyrics>("now");     // what the service holds now
        QTest::addColumn<int>("requests");
        const CServerLyrics base = OnService("Song", "Band");
        auto changed = [&base](std::function<void(CServerLyrics&)> change) {
            CServerLyrics l = base;
            change(l);
            return l;
        };
        const CServerLyrics big = changed([](CServerLyrics& l) { l.groupId = 3000000000LL; });
        QTest::newRow("nothing cached") << 0 << base << base << 1;
        QTest::newRow("cached without lines") << 1 << base << base << 1;
        QTest::newRow("cached and current") << 2 << base << base << 1;
        QTest::newRow("group id past 2^31, current") << 2 << big << big << 1;
        QTest::newRow("newer version") << 2 << base << changed([](CServerLyrics& l) { l.version = 4; }) << 2;
        QTest::newRow("other song id") << 2 << base << changed([](CServerLyrics& l) { l.songId = 42; }) << 2;
        QTest::newRow("other group id") << 2 << base << changed([](CServerLyrics& l) { l.groupId = 78; }) << 2;
        QTest::newRow("now locked") << 2 << base << changed([](CServerLyrics& l) { l.lock = 1; }) << 2;
        QTest::newRow("now blocked") << 2 << base << changed([](CServerLyrics& l) { l.blocked = -100; }) << 2;
    }
    void twoStepFetch()
    {
        QFETCH(int, cached);
        QFETCH(CServerLyrics, before);
        QFETCH(CServerLyrics, now);
        QFETCH(int, requests);
        SongLyrics entry = CachedFrom(before);
        if (cached == 1)
            entry.lines.clear();
        if (cached)
            LyricsCache().Insert(entry);
        m_server->SetLyrics(now);
        const bool upToDate = cached == 2 && requests == 1;
        if (upToDate)
            ExpectLog(QStringLiteral("^LyricsManager::OnLyricDescArrived: up-to-date$"));

        LyricsManager manager;
        bool found = false;
        SongLyrics filled;
        Fetch(manager, Song("song", "BAND"), &found, &filled);
        QCOMPARE(found, cached > 0);
        QCOMPARE(filled.lines.size(), cached == 2 ? 2 : 0);
        const QList<SvTest::CFakeRequest> sent = m_server->RequestsTo(LyricsPath);
        QCOMPARE(sent.size(), requests);
        // The cached version goes with the first step only when there are cached lines; a second step asks for all.
        QCOMPARE(sent.first().Param(QStringLiteral("version")), cached == 2 ? QStringLiteral("3") : QString());
        QVERIFY(!sent.last().HasParam(QStringLiteral("version")) || requests == 1);

        const SongLyrics& current = manager.GetCurrentLyrics();
        QCOMPARE(current.status, int(SongLyrics::StatusDone));
        QCOMPARE(current.lines.value(0).text, upToDate ? QStringLiteral("t100") : QStringLiteral("server one"));
        QCOMPARE(current.locked, now.lock != 0);
        QCOMPARE(current.blocked, now.blocked ? 1 : 0);
        QCOMPARE(current.id, now.songId);
        SongLyrics stored = Song("Song", "Band");
        QVERIFY(manager.GetCache().Get(stored));
        QCOMPARE(stored.lines, current.lines);
    }

    void answerMapping_data()
    {
        QTest::addColumn<int>("lock");
        QTest::addColumn<int>("blockedValue");
        QTest::addColumn<QString>("flags");  // locked, syncable, blocked
        QTest::newRow("open") << 0 << 0 << "0 1 0";
        QTest::newRow("locked") << 1 << 0 << "1 1 0";
        QTest::newRow("locked, not timable") << 2 << 0 << "1 0 0";
        QTest::newRow("unknown lock code") << 7 << 0 << "0 1 0";
        QTest::newRow("blocked") << 0 << -100 << "0 1 1";
        QTest::newRow("blocked in the country") << 0 << -105 << "0 1 2";
        QTest::newRow("other blocked value") << 0 << -3 << "0 1 1";
    }
    void answerMapping()
    {
        QFETCH(int, lock);
        QFETCH(int, blockedValue);
        QFETCH(QString, flags);
        CServerLyrics l = OnService("Song", "Band");
        l.lock = lock, l.blocked = blockedValue;
        m_server->SetLyrics(l);
        LyricsManager manager;
        Fetch(manager, Song("Song", "Band"));
        const SongLyrics& c = manager.GetCurrentLyrics();
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(c.locked).arg(c.syncable).arg(c.blocked), flags);
    }

    void answerForDifferentlyWrittenSong()
    {
        m_server->SetAnswer(LyricsPath, CFakeAnswer::ServiceOk("<lyrics kind=\"1\" version=\"2\" title=\"Song (Live)\" "
                                                               "artist=\"Band\"><line time=\"10\">x</line></lyrics>"));
        ExpectLog(QStringLiteral("^LyricsManager::OnLyricDescArrived: Got response for song \\[title\\[Song \\(Live\\)\\]"
                                 ".* while expecting \\[title\\[Song\\]"));
        LyricsManager manager;
        Fetch(manager, Song("Song", "Band"));
        SongLyrics stored = Song("Song", "Band");  // taken all the same, under the song asked for
        QVERIFY(manager.GetCache().Get(stored));
        QCOMPARE(stored.version, 2);
        QCOMPARE(stored.lines, CLyricLines({CLyricLine("x", 10)}));
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
        QTest::newRow("service error") << CFakeAnswer::ServiceError(500) << int(SV_E_SERVICE_ERROR);
        QTest::newRow("server error") << CFakeAnswer::Status(500) << 1;
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
        QVERIFY(manager.GetCache().Get(stored));
        QCOMPARE(stored.lines, current.lines);
    }

    void upload_data()
    {
        QTest::addColumn<bool>("cacheOnly");
        QTest::newRow("uploaded") << false;
        QTest::newRow("debug/sync_cache_only") << true;
    }
    void upload()
    {
        QFETCH(bool, cacheOnly);
        QSettings().setValue(QStringLiteral("debug/sync_cache_only"), cacheOnly);
        SongLyrics first = Song("First", "Band");
        first.lines = Lines({1200, 3400});
        SongLyrics second = Song("Second", "Band");
        second.lines = Lines({100});
        if (!cacheOnly)
            ExpectLog(QStringLiteral("^LyricsManager::OnSetLyricsCompleted: v=1 sid=\\d+ gid=\\d+$"));
        LyricsManager manager;
        manager.UpdateLyrics(first);
        manager.UpdateLyrics(second);  // before the first has even been sent: both go
        SongLyrics onDisk = Song("FIRST", "band");  // saved at once, not only when the program ends
        QVERIFY(LyricsCache().Get(onDisk));
        QCOMPARE(onDisk.lines, first.lines);
        QTest::qWait(30);
        QTRY_COMPARE(m_server->RequestCount(LyricsPath), cacheOnly ? 0 : 2);
        if (cacheOnly)
            return;
        QCOMPARE(m_server->RequestsTo(LyricsPath).first().Param(QStringLiteral("time_1")), QStringLiteral("3400"));
        QVERIFY(m_server->FindLyrics(QStringLiteral("Band"), QStringLiteral("First"), QStringLiteral("Album"), {}));
        QVERIFY(m_server->FindLyrics(QStringLiteral("Band"), QStringLiteral("Second"), QStringLiteral("Album"), {}));
        QTRY_VERIFY(manager.findChildren<SonveroProtocol::CV2SetLyricsRequest*>().isEmpty());
    }

    void languageFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("codes");  // sorted; empty: the 53 built-in codes
        QTest::newRow("no file") << QByteArray() << QStringList();
        QTest::newRow("empty list") << QByteArray("langs=\n") << QStringList();
        QTest::newRow("written by hand") << QByteArray("langs=de , fr,ja ,, it\n") << QStringList{"de", "fr", "it", "ja"};
        QTest::newRow("disabled groups")
            << QByteArray("langs=\"de,fr,ja\"\n[de]\nenable=false\n[fr]\nenable=true\n") << QStringList{"fr", "ja"};
    }
    void languageFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, codes);
        QVERIFY(ini.isEmpty() || WriteLanguageFile(ini));
        LyricsManager manager;
        const LyricsManager::CLanguageList list = manager.GetLanguageList();
        QCOMPARE(list.first(), qMakePair(QString(), QStringLiteral("Native")));
        for (int i = 2; i < list.size(); ++i)  // by name, without regard to case
            QVERIFY2(list.at(i - 1).second.compare(list.at(i).second, Qt::CaseInsensitive) <= 0, qPrintable(list.at(i).second));
        QStringList got = Codes(list).mid(1);
        got.sort();
        if (codes.isEmpty()) {
            codes = LyricsManager::FallbackLanguages();
            QCOMPARE(codes.size(), 53);
            codes.sort();
        }
        QCOMPARE(got, codes);
    }

    void languagesFromService()
    {
        SvTest::CTestApplicationObject app;
        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureLyricLanguageList, true);
        QVERIFY(WriteLanguageFile("[de]\nenable=false\n"));
        m_server->SetLanguages({QStringLiteral("de"), QStringLiteral("it"), QStringLiteral("qq"), QStringLiteral("fr")});
        LyricsManager manager;
        QSignalSpy available(&manager, &LyricsManager::languagesAvailable);
        QCOMPARE(manager.GetLanguageList().size(), 53);  // the built-in codes but "de", and "Native"
        ExpectLog(QStringLiteral("^LyricsManager::GetLanguageList: unnamed language\\[qq\\]$"));
        app.ModeManager()->SetMode(CAppModeManagerBase::ModeNormal);
        QTRY_COMPARE(available.count(), 1);
        const LyricsManager::CLanguageList list = manager.GetLanguageList();
        QCOMPARE(Codes(list), (QStringList{"", "fr", "it", "qq"}));  // "de" stays off; "qq" named by its code
        QCOMPARE(list.last().second, QStringLiteral("qq"));
        QCOMPARE(QSettings(GetDataDirectory() + "/lyrics.ini", QSettings::IniFormat).value("langs").toString(),
                 QStringLiteral("de,it,qq,fr"));
        app.ModeManager()->SetMode(CAppModeManagerBase::ModeUpdate);
        app.ModeManager()->SetMode(CAppModeManagerBase::ModeNormal);  // once per run

        LyricsManager next;  // the next run reads the stored list; a failed fetch keeps it
        m_server->SetAnswer(LanguagesPath, CFakeAnswer::Status(500));
        ExpectLog(QStringLiteral("^LyricsManager::langsFetched: err="));
        next.OnAppModeChanged();
        QTRY_COMPARE(m_server->RequestCount(LanguagesPath), 2);
        QTest::qWait(20);
        QCOMPARE(Codes(next.GetLanguageList()), (QStringList{"", "fr", "it", "qq"}));

        CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureLyricLanguageList, false);
        LyricsManager().OnAppModeChanged();  // without feature 9 the service is not asked
        QTest::qWait(20);
        QCOMPARE(m_server->RequestCount(LanguagesPath), 2);
    }

    void languageListFollowsLocale()
    {
        CCoreInterfaceLanguage language;
        QVERIFY(language.SetCurrentTranslation(QStringLiteral("en")) >= 0);
        QVERIFY(WriteLanguageFile("langs=\"de,fr\"\n"));
        LyricsManager manager;
        QCOMPARE(manager.GetLanguageList().at(2), qMakePair(QStringLiteral("de"), QStringLiteral("German")));
        QVERIFY(language.SetCurrentTranslation(QStringLiteral("de")) >= 0);
        QCOMPARE(manager.GetLanguageList().at(1), qMakePair(QStringLiteral("de"), QStringLiteral("Deutsch")));
        language.SetCurrentTranslation(QStringLiteral("en"));
    }

    void activeLanguage()
    {
        QSettings().setValue(QStringLiteral("lyrics/language"), QStringLiteral("fr"));
        LyricsManager manager;
        QCOMPARE(manager.GetActiveLanguage(), QStringLiteral("fr"));
        QSignalSpy changed(&manager, &LyricsManager::languageChanged);
        QSettings().remove(QStringLiteral("lyrics/language"));
        manager.SetActiveLanguage(QStringLiteral("fr"));  // the same: nothing at all
        QCOMPARE(changed.count(), 0);
        QVERIFY(!QSettings().contains(QStringLiteral("lyrics/language")));
        manager.SetActiveLanguage(QString());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(manager.GetActiveLanguageName().Translate(), QStringLiteral("Native"));
        manager.SetActiveLanguage(QStringLiteral("de"));
        QCOMPARE(changed.last().first().toString(), QStringLiteral("de"));
        QCOMPARE(manager.GetActiveLanguageName().Translate(), QStringLiteral("German"));
        QVERIFY(manager.GetLanguageName(QStringLiteral("zz")).IsEmpty());
        QCOMPARE(LyricsManager().GetActiveLanguage(), QStringLiteral("de"));
    }
};

SV_TEST_MAIN(TestLyricsManager)
#include "tst_lyricsmanager.moc"
