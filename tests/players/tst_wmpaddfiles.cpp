#include "support/testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "core/operationsimplewait.h"
#include "core/resultcodes.h"
#include "playerclientfakes.h"
#include "players/wmp/wmpaddfilesoperation.h"
#include "wmptestsupport.h"

namespace {
const HRESULT kStopped = MakeHResult(0x80004004u);

bool InLibrary(const QString& path)
{
    const auto media = Sim()->Library().FindByPath(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    return media && !media->removed;
}

// The files to add; with flag 0x1 each is first fetched from its source: copied, then ready after a short wait
// (a long one at slowIndex), or refused at failIndex.
class CFiles : public CPlayerClientAddingFilesCollection
{
public:
    CFiles(const QStringList& paths, quint32 flags) : paths(paths) { m_flags = flags; }
    QStringList paths, sources;
    int failIndex = -1, slowIndex = -1, startCalls = 0;

    int GetCount() override { return paths.size(); }
    int StartOperation(QPointer<CCoreOperationBase>& operation, QObject* second, int index) override
    {
        ++startCalls;
        operation = nullptr;
        if (!(m_flags & FlagMakeReadyFirst))
            return S_OK;
        if (index == failIndex)
            return SV_E_DEVICE_CHANGED;
        QFile::copy(sources.value(index), paths.value(index));
        return COperationSimpleWait::StartWait(operation, second, index == slowIndex ? 60000 : 5);
    }
    QString GetFilePath(int index) override { return paths.value(index); }
};

class CObserver : public CPlayerClientOperationObserver
{
public:
    QList<int> results;
    QList<double> progress;
    void OnPlayerClientOperationCompleted(IPlayerClientOperation* operation, int result) override
    {
        results << result;
        operation->Release();
    }
    void OnPlayerClientOperationProgress(double value) override { progress << value; }
};
} // namespace

// The add-files operation of the Windows Media Player client on the simulated player: local and fetched
// files, the check of what the player read against the tags, failures, cancel, and the library list's
// AddFiles with the sync list.
class TestWmpAddFiles : public QObject, CWmpClientFixture
{
    Q_OBJECT
private:
    QScopedPointer<QTemporaryDir> m_work;
    CIUnknownPtr<IWMPPlaylist> m_playlist;
    CIUnknownPtr<IPlayerClientOperation> m_operation;
    CObserver m_observer;

    // A tagged file (title = name unless given) in the test folder or a subfolder of it.
    QString File(const QString& name, const QString& title = QString(), const QString& folder = ".")
    {
        const QString path = m_work->filePath(folder + "/" + name + ".mp3");
        SvTest::CMediaTags tags;
        tags.title = title.isNull() ? name : title;
        tags.artist = QStringLiteral("Artist");
        QDir().mkpath(QFileInfo(path).path());
        return SvTest::WriteMp3(path, tags) ? path : QString();
    }
    // Into the playlist "Mine", or the library list's AddFiles.
    void Start(CFiles& files, bool viaLibrary = false)
    {
        CIUnknownPtr<IPlayerClientPlaylist> library;
        QCOMPARE(m_client->GetLibraryPlaylist(library.Out()), S_OK);
        QCOMPARE(viaLibrary ? library->AddFiles(&files, &m_observer, m_operation.Out())
                            : CIPlayerClientWmpOperationAddFilesImpl::CreateInstance(
                                  m_client, m_playlist, false, &files, &m_observer, m_operation.Out()),
                 S_OK);
        QCOMPARE(m_client->GetRunningOperationCount(), 1);
    }
    // The end: the observer is told once, the operation leaves the client and drops its own reference (the
    // caller's stays).
    void Finish()
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_observer.results.size(), 1, 6000);
        QCOMPARE(m_client->GetRunningOperationCount(), 0);
        QTRY_COMPARE((m_operation->AddRef(), m_operation->Release()), 1u);
        QCOMPARE(m_observer.results.size(), 1);
    }
    CPlayerClientOperationReport Report()
    {
        CPlayerClientOperationReport report;
        m_operation->GetStatus(report);
        return report;
    }
    QStringList PlaylistTitles()
    {
        QStringList titles;
        for (quint32 id : Sim()->Library().PlaylistsByName("Mine").first()->items)
            titles << Sim()->RawAttribute(id, "Title").trimmed();
        return titles;
    }

private slots:
    void init()
    {
        SetUpClient();
        m_work.reset(new QTemporaryDir());
        Sim()->AddPlaylist("Mine", {});
        m_playlist.Attach(Sim()->NewPlaylistObject(Sim()->Library().Playlists().first()));
        m_observer = CObserver();
    }

    void cleanup()
    {
        m_operation.Reset();
        m_playlist.Reset();
        TearDownClient();
        m_work.reset();
    }

    // Local files go in, in order; what the player read must match the tags, compared trimmed and with case.
    void localFiles_data()
    {
        QTest::addColumn<QString>("secondTitle");  // the tag of the second file
        QTest::addColumn<QString>("playerTitle");  // what the player reads instead, empty: the tag
        QTest::addColumn<int>("expected");
        QTest::newRow("title differs in case") << "B" << "b" << int(SV_E_NO_CONTENT);
        QTest::newRow("blank at the end of a tag") << "B " << "" << int(S_OK);
        QTest::newRow("untitled file") << "" << "" << int(S_OK);
    }
    void localFiles()
    {
        QFETCH(QString, secondTitle);
        QFETCH(QString, playerTitle);
        QFETCH(int, expected);
        const QString second = File("B", secondTitle);
        if (!playerTitle.isEmpty())
            Sim()->SetTagOverride(second, {{"Title", playerTitle}});
        CFiles files({File("A"), second, File("C")}, 0);
        Start(files);
        Finish();
        const CPlayerClientOperationReport report = Report();
        QCOMPARE(m_observer.results, QList<int>{expected});
        QVERIFY(QFile::exists(second));
        if (expected == S_OK) {
            QCOMPARE(PlaylistTitles(), (QStringList{"A", "B", "C"}));
            QList<CIUnknownPtr<IPlayerClientSong>> added;
            QVERIFY(m_operation->GetAddedSongs(added) == S_OK && added.size() == 3 && report.count == 3);
            QCOMPARE(m_observer.progress.last(), 100.0);
            return;
        }
        // Out of the library again, the file kept; what came before stays, nothing after is added.
        QVERIFY(!InLibrary(second) && !InLibrary(files.paths[2]));
        QCOMPARE(PlaylistTitles(), QStringList{"A"});
        QVERIFY(report.count == 1 && report.failedIndex == 1 && report.failedStage == PlayerClient::FailedStageAdd);
    }

    // Files fetched first: counted when added; a failed fetch ends the run, a mismatch is skipped; a cancel or
    // a stop ends it at once, the observer hearing it exactly once, and no later file goes in.
    void fetched_data()
    {
        QTest::addColumn<int>("failFetch");  // index whose fetch fails, -1 none
        QTest::addColumn<int>("mismatch");   // index the player reads otherwise, -1 none
        QTest::addColumn<int>("stop");       // during the second fetch: 0 none, 1 Cancel, 2 Stop
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("count");
        QTest::newRow("all fetched") << -1 << -1 << 0 << int(S_OK) << 3;
        QTest::newRow("fetch fails") << 1 << -1 << 0 << int(SV_E_DEVICE_CHANGED) << 1;
        QTest::newRow("mismatch skipped") << -1 << 1 << 0 << int(S_OK) << 2;
        QTest::newRow("cancelled") << -1 << -1 << 1 << int(SV_E_CANCELLED) << 1;
        QTest::newRow("stopped") << -1 << -1 << 2 << int(kStopped) << 1;
    }
    void fetched()
    {
        QFETCH(int, failFetch);
        QFETCH(int, mismatch);
        QFETCH(int, stop);
        QFETCH(int, expected);
        QFETCH(int, count);
        CFiles files({}, CPlayerClientAddingFilesCollection::FlagMakeReadyFirst);
        QDir(m_work->path()).mkdir("in");
        for (const char* name : {"A", "B", "C"}) {
            files.sources << File(name, name, "device");
            files.paths << m_work->filePath(QStringLiteral("in/%1.mp3").arg(name));
        }
        files.failIndex = failFetch;
        files.slowIndex = stop ? 1 : -1;
        if (mismatch >= 0)
            Sim()->SetTagOverride(files.paths[mismatch], {{"Title", "other"}});
        Start(files);
        if (stop) {
            QTRY_COMPARE(files.startCalls, 2);
            QCOMPARE(stop == 1 ? m_operation->Cancel() : m_operation->Stop(kStopped, true), S_OK);
            QCOMPARE(m_observer.results.size(), 1);
        }
        Finish();
        const CPlayerClientOperationReport report = Report();
        QCOMPARE(m_observer.results, QList<int>{expected});
        QVERIFY(report.count == count && PlaylistTitles().size() == count);
        if (failFetch >= 0) {
            QVERIFY(report.failedIndex == failFetch && report.failedStage == PlayerClient::FailedStageFetch);
            QCOMPARE(files.startCalls, failFetch + 1);
        }
        if (mismatch >= 0) {
            // The fetched copy that the library does not keep is deleted; the run goes on.
            QCOMPARE(report.skipped, QList<int>{mismatch});
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
        QElapsedTimer elapsed;
        elapsed.start();
        Start(files);
        Finish();
        QCOMPARE(Report().failed, !paths.isEmpty());
        QCOMPARE(m_observer.results, QList<int>{expected});
        QVERIFY(elapsed.elapsed() < 1500);
    }

    // End to end: local files through the library list with the sync flag.
    void libraryAndSyncList()
    {
        CIUnknownPtr<IPlayerClientPlaylistSync> sync;
        QCOMPARE(m_client->GetPlaylistSync(sync.Out()), S_OK);
        int stat = 9;
        QVERIFY(sync->GetLibraryStat(&stat) == S_OK && stat == -1);
        CEventRecorder events;
        sync->Subscribe(&events, SLOT(OnCollectionEvent(int)));
        CFiles files({File("One"), File("Two")}, CPlayerClientAddingFilesCollection::FlagAddToSyncList);
        QElapsedTimer elapsed;
        elapsed.start();
        Start(files, true);
        Finish();
        QCOMPARE(m_observer.results, QList<int>{S_OK});
        QVERIFY(elapsed.elapsed() >= 1900);  // the closing wait
        QCOMPARE(m_observer.progress.last(), 100.0);
        QVERIFY(Sim()->Library().AudioCount() == 2 && PlaylistTitles().isEmpty());
        QCOMPARE(sync->GetItemCount(), 2);
        QVERIFY(sync->GetLibraryStat(&stat) == S_OK && stat == 1);
        QCOMPARE(events.events, QList<int>{PlayerClient::EventUpdated});
    }

    // A song the user already had is never taken out of the library because its file reads otherwise.
    void existingSongStays()
    {
        const QString path = File("Kept");
        quint32 id = 0;
        QCOMPARE(Sim()->AddFile(path, &id), S_OK);
        Sim()->SetRawAttribute(id, "Title", "Renamed in the player");
        Sim()->AddPlaylist("Faves", {id});
        CFiles files({path}, 0);
        Start(files, true);
        Finish();
        QCOMPARE(m_observer.results, QList<int>{SV_E_NO_CONTENT});
        QVERIFY(InLibrary(path) && QFile::exists(path));
        QCOMPARE(Sim()->Library().PlaylistsByName("Faves").first()->items, QVector<quint32>{id});
    }
};

SV_TEST_MAIN(TestWmpAddFiles)
#include "tst_wmpaddfiles.moc"
