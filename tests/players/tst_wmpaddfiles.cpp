#include "support/testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <functional>

#include "core/resultcodes.h"
#include "platform/wmp/simplayer.h"
#include "players/playerclientdispatcher.h"
#include "players/wmp/wmpaddfilesoperation.h"
#include "support/mediawriter.h"

using Platform::Wmp::CSimPlayer;

namespace {

CSimPlayer* Sim()
{
    return CSimPlayer::Instance();
}

bool InLibrary(const QString& path)
{
    const auto media = Sim()->Library().FindByPath(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    return media && !media->removed;
}

// Copies a file after a delay, or fails with its result.
class CFetch : public CCoreOperationBase
{
public:
    CFetch(QObject* parent, const QString& from, const QString& to, HRESULT result, int delayMs)
        : CCoreOperationBase(parent, QStringLiteral("TestFetch"), 2)
    {
        AddStageDesc(CStageDescBaseT<CFetch>(1, "Fetch", this, &CFetch::Fetch_Start));
        m_run = [=] {
            if (SUCCEEDED(result))
                QFile::copy(from, to);
            CompletedStage(result);
        };
        m_delay = delayMs;
    }

private:
    int Fetch_Start()
    {
        SetNextStageCompleted();
        QTimer::singleShot(m_delay, this, m_run);
        return 1;
    }
    std::function<void()> m_run;
    int m_delay;
};

class CFiles : public CPlayerClientAddingFilesCollection
{
public:
    CFiles(const QStringList& paths, quint32 flags) : paths(paths) { m_flags = flags; }
    QStringList paths, sources;  // sources: where each file is fetched from (flag 0x1)
    QHash<int, HRESULT> fetchResults;
    QHash<int, int> fetchDelays;
    int startCalls = 0;

    int GetCount() override { return paths.size(); }
    int StartOperation(QPointer<CCoreOperationBase>& operation, QObject* second, int index) override
    {
        ++startCalls;
        operation = nullptr;
        if (m_flags & FlagMakeReadyFirst) {
            operation = new CFetch(second, sources.value(index), paths.value(index), fetchResults.value(index, S_OK),
                                   fetchDelays.value(index, 5));
            operation->ScheduleStart(0, 1);
        }
        return S_OK;
    }
    QString GetFilePath(int index) override { return paths.value(index); }
};

class CObserver : public CPlayerClientOperationObserver
{
public:
    QList<int> results;
    QList<double> progress;
    CPlayerClientOperationReport report;
    int added = -1;

    void OnPlayerClientOperationCompleted(IPlayerClientOperation* operation, int result) override
    {
        results << result;
        operation->GetStatus(report);
        QList<CIUnknownPtr<IPlayerClientSong>> songs;
        operation->GetAddedSongs(songs);
        added = songs.size();
        operation->Release();
    }
    void OnPlayerClientOperationProgress(double value) override { progress << value; }
};

} // namespace

class CSyncEvents : public QObject
{
    Q_OBJECT
public:
    QList<int> events;
public slots:
    void OnEvent(int event) { events << event; }
};

// The add-files operation of the Windows Media Player client on the simulated player: local and fetched
// files, the check of what the player read against the tags, failures, cancel, and the library list's
// AddFiles with the sync list.
class TestWmpAddFiles : public QObject
{
    Q_OBJECT
private:
    CPlayerClientDispatcher* m_dispatcher = nullptr;
    CPlayerClientWMP* m_client = nullptr;
    QScopedPointer<QTemporaryDir> m_dir;
    CIUnknownPtr<IWMPPlaylist> m_playlist;
    CIUnknownPtr<IPlayerClientOperation> m_operation;

    // A tagged file (title = name unless given) in the test folder or a subfolder of it.
    QString File(const QString& name, const QString& title = QString(), const QString& folder = ".")
    {
        const QString path = m_dir->filePath(folder + "/" + name + ".mp3");
        SvTest::CMediaTags tags;
        tags.title = title.isNull() ? name : title;
        tags.artist = QStringLiteral("Artist");
        tags.album = QStringLiteral("Album");
        QDir().mkpath(QFileInfo(path).path());
        if (!SvTest::WriteMp3(path, tags))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    // Runs the operation into the playlist "Mine" (or the library list's AddFiles) to its end.
    void Run(CFiles& files, CObserver& observer, bool viaLibrary = false)
    {
        if (viaLibrary) {
            CIUnknownPtr<IPlayerClientPlaylist> library;
            QCOMPARE(m_client->GetLibraryPlaylist(library.Out()), S_OK);
            QCOMPARE(library->AddFiles(&files, &observer, m_operation.Out()), S_OK);
        } else {
            QCOMPARE(CIPlayerClientWmpOperationAddFilesImpl::CreateInstance(m_client, m_playlist, false, &files,
                                                                            &observer, m_operation.Out()),
                     S_OK);
        }
        QCOMPARE(m_client->GetRunningOperationCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(observer.results.size(), 1, 6000);
        QCOMPARE(m_client->GetRunningOperationCount(), 0);
        // Its own reference goes after completion; the caller's stays.
        QTRY_COMPARE((m_operation->AddRef(), m_operation->Release()), 1u);
    }
    QStringList PlaylistTitles()
    {
        QStringList titles;
        for (quint32 id : Sim()->Library().PlaylistsByName(QStringLiteral("Mine")).first()->items)
            titles << Sim()->RawAttribute(id, QStringLiteral("Title")).trimmed();
        return titles;
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        Sim()->Reset();
        Sim()->SetRunning(true);
        m_dispatcher = new CPlayerClientDispatcher();
        m_client = new CPlayerClientWMP(m_dispatcher);
        m_dir.reset(new QTemporaryDir());
        Sim()->AddPlaylist(QStringLiteral("Mine"), {});
        m_playlist.Attach(Sim()->NewPlaylistObject(Sim()->Library().Playlists().first()));
    }

    void cleanup()
    {
        m_operation.Reset();
        m_playlist.Reset();
        delete m_dispatcher;
        m_dir.reset();
        QCOMPARE(Sim()->SinkCount(), 0);
    }

    void localFiles()
    {
        CFiles files({File("A"), File("B"), File("C")}, 0);
        CObserver observer;
        Run(files, observer);
        QCOMPARE(observer.results, QList<int>{S_OK});
        QCOMPARE(PlaylistTitles(), (QStringList{"A", "B", "C"}));
        QCOMPARE(observer.report.count, 3);
        QCOMPARE(observer.added, 3);
        QCOMPARE(observer.progress.last(), 100.0);
    }

    // What the player read must match the tags, compared trimmed and with case.
    void metadataCheck_data()
    {
        QTest::addColumn<QString>("secondTitle");  // the tag of the second file
        QTest::addColumn<QString>("playerTitle");  // what the player reads instead, empty: the tag
        QTest::addColumn<int>("expected");
        QTest::newRow("title differs in case") << "B" << "b" << int(SV_E_NO_CONTENT);
        QTest::newRow("blank at the end of a tag") << "B " << "" << int(S_OK);
        QTest::newRow("untitled file") << "" << "" << int(S_OK);
    }

    void metadataCheck()
    {
        QFETCH(QString, secondTitle);
        QFETCH(QString, playerTitle);
        QFETCH(int, expected);
        const QString second = File("B", secondTitle);
        if (!playerTitle.isEmpty())
            Sim()->SetTagOverride(second, {{"Title", playerTitle}});
        CFiles files({File("A"), second, File("C")}, 0);
        CObserver observer;
        Run(files, observer);
        QCOMPARE(observer.results, QList<int>{expected});
        QVERIFY(QFile::exists(second));
        if (expected == S_OK) {
            QCOMPARE(PlaylistTitles(), (QStringList{"A", "B", "C"}));
            return;
        }
        // Out of the library again, the file kept; what came before stays, nothing after is added.
        QVERIFY(!InLibrary(second) && !InLibrary(files.paths[2]));
        QCOMPARE(PlaylistTitles(), QStringList{"A"});
        QCOMPARE(observer.report.count, 1);
        QCOMPARE(observer.report.failedIndex, 1);
        QCOMPARE(observer.report.failedStage, int(PlayerClient::FailedStageAdd));
    }

    // Files fetched first: counted when added, a failed fetch ends the run, a mismatch is skipped.
    void fetched_data()
    {
        QTest::addColumn<int>("failFetch");  // index whose fetch fails, -1 none
        QTest::addColumn<int>("mismatch");   // index the player reads otherwise, -1 none
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("count");
        QTest::newRow("all fetched") << -1 << -1 << int(S_OK) << 3;
        QTest::newRow("fetch fails") << 1 << -1 << int(SV_E_DEVICE_CHANGED) << 1;
        QTest::newRow("mismatch skipped") << -1 << 1 << int(S_OK) << 2;
    }

    void fetched()
    {
        QFETCH(int, failFetch);
        QFETCH(int, mismatch);
        QFETCH(int, expected);
        QFETCH(int, count);
        CFiles files({}, CPlayerClientAddingFilesCollection::FlagMakeReadyFirst);
        QDir().mkpath(m_dir->filePath(QStringLiteral("in")));
        for (const char* name : {"A", "B", "C"}) {
            files.sources << File(name, name, QStringLiteral("device"));
            files.paths << m_dir->filePath(QStringLiteral("in/%1.mp3").arg(name));
        }
        files.fetchResults.insert(failFetch, SV_E_DEVICE_CHANGED);
        if (mismatch >= 0)
            Sim()->SetTagOverride(files.paths[mismatch], {{"Title", "other"}});
        CObserver observer;
        Run(files, observer);
        QCOMPARE(observer.results, QList<int>{expected});
        QCOMPARE(observer.report.count, count);
        QCOMPARE(PlaylistTitles().size(), count);
        if (failFetch >= 0) {
            QCOMPARE(observer.report.failedIndex, failFetch);
            QCOMPARE(observer.report.failedStage, int(PlayerClient::FailedStageFetch));
            QCOMPARE(files.startCalls, failFetch + 1);
        }
        if (mismatch >= 0) {
            // The fetched copy that the library does not keep is deleted; the run goes on.
            QCOMPARE(observer.report.skipped, QList<int>{mismatch});
            QVERIFY(!QFile::exists(files.paths[mismatch]) && !InLibrary(files.paths[mismatch]));
            QVERIFY(InLibrary(files.paths[2]));
        }
    }

    void edges_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<int>("expected");
        // With nothing added there is nothing to wait for, even with the sync list asked for.
        QTest::newRow("no files, sync list") << QStringList() << int(S_OK);
        QTest::newRow("missing file") << QStringList{"/nowhere/gone.mp3"} << int(E_FAIL);
        QTest::newRow("empty path") << QStringList{""} << int(E_INVALIDARG);
    }

    void edges()
    {
        QFETCH(QStringList, paths);
        QFETCH(int, expected);
        CFiles files(paths, CPlayerClientAddingFilesCollection::FlagAddToSyncList);
        CObserver observer;
        QElapsedTimer elapsed;
        elapsed.start();
        Run(files, observer);
        QCOMPARE(observer.results, QList<int>{expected});
        QCOMPARE(observer.report.failed, !paths.isEmpty());
        QVERIFY(elapsed.elapsed() < 1500);
    }

    // A cancel ends the run at once; the observer hears it exactly once and no later file goes in.
    void cancel()
    {
        CFiles files({}, CPlayerClientAddingFilesCollection::FlagMakeReadyFirst);
        for (const char* name : {"A", "B", "C"}) {
            files.sources << File(name, name, QStringLiteral("device"));
            files.paths << m_dir->filePath(QStringLiteral("%1.mp3").arg(name));
        }
        files.fetchDelays.insert(1, 60000);
        CObserver observer;
        QCOMPARE(CIPlayerClientWmpOperationAddFilesImpl::CreateInstance(m_client, m_playlist, false, &files, &observer,
                                                                        m_operation.Out()),
                 S_OK);
        QTRY_COMPARE(files.startCalls, 2);
        QCOMPARE(m_operation->Cancel(), S_OK);
        QCOMPARE(observer.results, QList<int>{SV_E_CANCELLED});
        QCOMPARE(observer.report.count, 1);
        QCOMPARE(m_client->GetRunningOperationCount(), 0);
        QTRY_COMPARE((m_operation->AddRef(), m_operation->Release()), 1u);
        QCOMPARE(observer.results.size(), 1);
        QCOMPARE(PlaylistTitles(), QStringList{"A"});
    }

    // End to end: local files through the library list with the sync flag.
    void libraryAndSyncList()
    {
        CIUnknownPtr<IPlayerClientPlaylistSync> sync;
        QCOMPARE(m_client->GetPlaylistSync(sync.Out()), S_OK);
        int stat = 9;
        QCOMPARE(sync->GetLibraryStat(&stat), S_OK);
        QCOMPARE(stat, -1);
        CSyncEvents events;
        sync->Subscribe(&events, SLOT(OnEvent(int)));
        CFiles files({File("One"), File("Two")}, CPlayerClientAddingFilesCollection::FlagAddToSyncList);
        CObserver observer;
        QElapsedTimer elapsed;
        elapsed.start();
        Run(files, observer, true);
        QCOMPARE(observer.results, QList<int>{S_OK});
        QVERIFY(elapsed.elapsed() >= 1900);  // the closing wait
        QCOMPARE(observer.progress.last(), 100.0);
        QCOMPARE(Sim()->Library().AudioCount(), 2);
        QVERIFY(PlaylistTitles().isEmpty());
        QCOMPARE(sync->GetItemCount(), 2);
        QCOMPARE(sync->GetLibraryStat(&stat), S_OK);
        QCOMPARE(stat, 1);
        QCOMPARE(events.events, QList<int>{PlayerClient::EventUpdated});
    }

    // A song the user already had is never taken out of the library because its file reads otherwise.
    void existingSongStays()
    {
        const QString path = File("Kept");
        quint32 id = 0;
        QCOMPARE(Sim()->AddFile(path, &id), S_OK);
        Sim()->SetRawAttribute(id, QStringLiteral("Title"), QStringLiteral("Renamed in the player"));
        Sim()->AddPlaylist(QStringLiteral("Faves"), {id});
        CFiles files({path}, 0);
        CObserver observer;
        Run(files, observer, true);
        QCOMPARE(observer.results, QList<int>{SV_E_NO_CONTENT});
        QVERIFY(InLibrary(path) && QFile::exists(path));
        QCOMPARE(Sim()->Library().PlaylistsByName(QStringLiteral("Faves")).first()->items, QVector<quint32>{id});
    }
};

SV_TEST_MAIN(TestWmpAddFiles)
#include "tst_wmpaddfiles.moc"
