#include "support/testmain.h"

#include "core/resultcodes.h"
#include "playerclientfakes.h"
#include "players/playerclientaddfilesoperation.h"

namespace {

const HRESULT kStopped = MakeHResult(0x80004004u);

// A song that only exists to be counted.
class CTestSong : public WMDM::CIUnknownBase, public IPlayerClientSong
{
public:
    explicit CTestSong(int* alive) : m_alive(alive) { ++*m_alive; }
    ~CTestSong() override { --*m_alive; }
    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        return WMDM::CIUnknownBase::QueryInterface(iid, object);
    }
    CPlayerClientBase* GetOwner() override { return nullptr; }
    HRESULT GetMetadata(CSongMetadata*) override { return E_NOTIMPL; }
    HRESULT GetMetadata(CFileMetadata*) override { return E_NOTIMPL; }
    HRESULT SetMetadata(const CSongMetadata*) override { return E_NOTIMPL; }
    HRESULT SetMetadata(const CFileMetadata*) override { return E_NOTIMPL; }
    HRESULT Play(IPlayerClientPlaylist*) override { return E_NOTIMPL; }
    HRESULT Play() override { return E_NOTIMPL; }
    HRESULT GetDuration(double*) override { return E_NOTIMPL; }
    HRESULT IsEqualTo(IPlayerClientSong*) override { return S_FALSE; }

private:
    int* m_alive;
};
typedef WMDM::CIUnknownImpl<CTestSong> CTestSongObj;

class CTestFiles : public CPlayerClientAddingFilesCollection
{
public:
    CTestFiles(int count, quint32 flags) : m_count(count) { m_flags = flags; }
    int GetCount() override { return m_count; }
    int StartOperation(QPointer<CCoreOperationBase>&, QObject*, int) override { return S_OK; }
    QString GetFilePath(int) override { return QString(); }

private:
    int m_count;
};

// Adds one made-up song per file; stage 2 is the shared wait.
class CTestAddFilesOperation : public CPlayerClientAddFilesOperationBase
{
    Q_OBJECT
public:
    CTestAddFilesOperation(QObject* parent, CPlayerClientAddingFilesCollection* files, IPlayerClientPlaylistSync* sync,
                           int* songsAlive, bool* waitEntered)
        : CPlayerClientAddFilesOperationBase(parent, QStringLiteral("TestAddFiles"), 3, "CTestAddFilesOperation", 2),
          m_songsAlive(songsAlive), m_waitEntered(waitEntered)
    {
        AddStageDesc<CTestAddFilesOperation>(1, "Add", this, &CTestAddFilesOperation::DoStageAdd_Start,
                                             &CTestAddFilesOperation::DoStageAdd_Body);
        AddStageDesc<CTestAddFilesOperation>(2, "Wait", this, &CTestAddFilesOperation::Wait_Start);
        m_files = files;
        m_syncList = sync;
    }

private:
    int DoStageAdd_Body()
    {
        ++m_fileIndex;
        CIUnknownPtr<IPlayerClientSong> song;
        song.Attach(new CTestSongObj(m_songsAlive));
        m_added.append(song);
        ++m_report.count;
        m_itemIndex = m_fileIndex + 1;
        return m_itemIndex < m_itemCount ? 1 : 0;
    }
    int Wait_Start()
    {
        *m_waitEntered = true;
        return DoStageWait_Start();
    }

    int* m_songsAlive;
    bool* m_waitEntered;
};

class CTestWrapper : public CPlayerClientOperationWrapperBase
{
    Q_OBJECT
public:
    CTestWrapper(CPlayerClientBase* owner, CPlayerClientOperationObserver* observer)
        : CPlayerClientOperationWrapperBase(owner, observer)
    {
    }

    // The operation is deleted after completion; the test watches it through waitEntered.
    void Start(CPlayerClientAddingFilesCollection* files, IPlayerClientPlaylistSync* sync, int* songsAlive,
               bool* waitEntered)
    {
        CTestAddFilesOperation* operation = new CTestAddFilesOperation(this, files, sync, songsAlive, waitEntered);
        m_operation = operation;
        connect(operation, &CCoreOperationBase::WhenCompleted, this, &CTestWrapper::OnCompleted);
        connect(operation, &CCoreOperationBase::WhenProgress, this, &CTestWrapper::OnProgress);
        m_owner->AddRunningOperation(this);
        m_running = true;
        operation->ScheduleStart(0, 1);
    }
};
typedef WMDM::CIUnknownImpl<CTestWrapper> CTestWrapperObj;

class CTestObserver : public CPlayerClientOperationObserver
{
public:
    QList<int> results;
    QList<double> progress;
    IPlayerClientOperation* completedWith = nullptr;
    CPlayerClientOperationReport reportAtCompletion;
    int songsAtCompletion = -1;

    void OnPlayerClientOperationCompleted(IPlayerClientOperation* operation, int result) override
    {
        results << result;
        completedWith = operation;
        operation->GetStatus(reportAtCompletion);
        QList<CIUnknownPtr<IPlayerClientSong>> songs;
        operation->GetAddedSongs(songs);
        songsAtCompletion = songs.size();
        operation->Release();
    }
    void OnPlayerClientOperationProgress(double value) override { progress << value; }
};

} // namespace

class TestPlayerClientObjects : public QObject
{
    Q_OBJECT
private:
    CPlayerClientDispatcher* m_dispatcher = nullptr;
    CFakeClient* m_owner = nullptr;
    int m_listsAlive = 0;

private slots:
    void init()
    {
        m_dispatcher = new CPlayerClientDispatcher();
        m_owner = new CFakeClient(m_dispatcher);
        m_owner->SetState(PlayerClient::StateRunning);
    }

    void cleanup()
    {
        delete m_dispatcher;
        QCOMPARE(m_listsAlive, 0);
    }

    // The bodies every sync list shares.
    void syncListBodies()
    {
        CTestSyncListObj* list = new CTestSyncListObj(m_owner, &m_listsAlive);
        CTestSyncListObj* other = new CTestSyncListObj(m_owner, &m_listsAlive);
        IPlayerClientPlaylistSync* sync = list;
        // The names the two client families use for one operation answer alike.
        QString name = QStringLiteral("stale");
        QCOMPARE(sync->GetName(name), S_OK);
        QVERIFY(name.isEmpty() && sync->GetPlaylistName().isEmpty());
        int result = 9;
        QCOMPARE(sync->GetArtistSyncStat(QStringLiteral("Abba"), &result), S_OK);
        QCOMPARE(list->lastArtist, QStringLiteral("Abba"));
        QCOMPARE(sync->IsEqualTo(sync), S_OK);
        QCOMPARE(sync->IsEqualTo(other), S_FALSE);
        QCOMPARE(sync->IsEqualTo(nullptr), S_FALSE);
        other->Release();

        // AddFiles lets go of what the out-pointer held.
        CTestObserver observer;
        CTestWrapperObj* wrapper = new CTestWrapperObj(m_owner, &observer);
        wrapper->AddRef();
        IPlayerClientOperation* held = wrapper;
        QCOMPARE(sync->AddFiles(nullptr, nullptr, &held), E_NOTIMPL);
        QVERIFY(!held);
        QCOMPARE(wrapper->GetRefCount(), 1);
        wrapper->Release();

        CEventRecorder recorder;
        QTest::ignoreMessage(QtDebugMsg, "CTestSyncList::Subscribe: no receiver or slot");
        QCOMPARE(list->Subscribe(nullptr, SLOT(OnCollectionEvent(int))), E_INVALIDARG);
        QTest::ignoreMessage(QtDebugMsg, "CTestSyncList::Subscribe: no receiver or slot");
        QCOMPARE(list->Subscribe(&recorder, nullptr), E_INVALIDARG);
        QCOMPARE(list->Subscribe(&recorder, SLOT(OnCollectionEvent(int))), S_OK);
        list->OnModified();
        QCOMPARE(list->invalidations, 1);
        list->OnTimerUpdate();
        QCOMPARE(recorder.events, QList<int>{PlayerClient::EventUpdated});
        QCOMPARE(list->Unsubscribe(&recorder), S_OK);
        list->EmitEventUpdated();
        QCOMPARE(recorder.events.size(), 1);
        list->Subscribe(&recorder, SLOT(OnCollectionEvent(int)));
        list->OnModified();
        QVERIFY(list->updateTimer->isActive());

        // The owner's shutdown reaches the list once: player object released, timers stopped, event 2.
        m_owner->GoAway();
        QVERIFY(list->IsShutdown());
        QVERIFY(!list->updateTimer->isActive());
        emit m_owner->WhenShutdown();
        list->Shutdown();
        QCOMPARE(list->releases, 1);
        QCOMPARE(recorder.events, (QList<int>{PlayerClient::EventUpdated, PlayerClient::EventShutdown}));

        // A dead list is silent and takes no subscribers.
        list->OnModified();
        list->OnTimerUpdate();
        QCOMPARE(list->invalidations, 2);
        QCOMPARE(recorder.events.size(), 2);
        QTest::ignoreMessage(QtDebugMsg, "CTestSyncList::Subscribe: already shutdown");
        CEventRecorder late;
        QCOMPARE(list->Subscribe(&late, SLOT(OnCollectionEvent(int))), E_FAIL);
        list->Release();
    }

    // The observer hears of the completion exactly once, however the operation ends and whatever the
    // caller does with the wrapper afterwards.
    void addFiles_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("withSyncList");
        QTest::addColumn<int>("stopDuringWait");  // 0 none, 1 Cancel, 2 Stop
        QTest::addColumn<int>("expected");
        QTest::newRow("three files") << 3 << false << 0 << int(S_OK);
        // Nothing added: nothing to wait for either.
        QTest::newRow("no files, sync list") << 0 << true << 0 << int(S_OK);
        QTest::newRow("cancel during the wait") << 2 << true << 1 << int(SV_E_CANCELLED);
        QTest::newRow("stop during the wait") << 2 << true << 2 << int(kStopped);
    }

    void addFiles()
    {
        QFETCH(int, files);
        QFETCH(bool, withSyncList);
        QFETCH(int, stopDuringWait);
        QFETCH(int, expected);
        int songsAlive = 0;
        CTestObserver observer;
        CTestFiles collection(files, withSyncList ? CPlayerClientAddingFilesCollection::FlagAddToSyncList : 0u);
        CIUnknownPtr<IPlayerClientPlaylistSync> sync;
        if (withSyncList)
            sync.Attach(new CTestSyncListObj(m_owner, &m_listsAlive));
        CTestWrapperObj* wrapper = new CTestWrapperObj(m_owner, &observer);
        wrapper->AddRef();  // the caller's reference; the first one is the wrapper's own
        bool waitEntered = false;
        wrapper->Start(&collection, sync.Get(), &songsAlive, &waitEntered);
        QVERIFY(wrapper->IsRunning());
        QCOMPARE(m_owner->GetRunningOperationCount(), 1);
        if (stopDuringWait) {
            QTRY_VERIFY(waitEntered);
            CPlayerClientOperationReport live;
            wrapper->GetStatus(live);
            QCOMPARE(live.count, files);
            QCOMPARE(stopDuringWait == 1 ? wrapper->Cancel() : wrapper->Stop(kStopped, true), S_OK);
        }
        QTRY_COMPARE(observer.results, QList<int>{expected});
        QCOMPARE(waitEntered, stopDuringWait != 0);
        QCOMPARE(observer.completedWith, static_cast<IPlayerClientOperation*>(wrapper));
        QCOMPARE(observer.reportAtCompletion.result, expected);
        QCOMPARE(observer.reportAtCompletion.count, files);
        QCOMPARE(observer.songsAtCompletion, files);
        QCOMPARE(songsAlive, files);
        if (files > 0 && !stopDuringWait)
            QCOMPARE(observer.progress.last(), 100.0);
        QCOMPARE(m_owner->GetRunningOperationCount(), 0);

        // The caller's reference keeps the wrapper; its own is gone after the release timer.
        QTRY_COMPARE(wrapper->GetRefCount(), 1);
        CPlayerClientOperationReport report;
        QCOMPARE(wrapper->Stop(SV_E_CANCELLED, true), S_OK);
        wrapper->GetStatus(report);
        QCOMPARE(report.count, files);
        wrapper->Stop(SV_E_CANCELLED, false);
        wrapper->GetStatus(report);
        QCOMPARE(report.count, 0);
        QCOMPARE(observer.results.size(), 1);
        wrapper->Release();
        QCOMPARE(songsAlive, 0);
    }
};

SV_TEST_MAIN(TestPlayerClientObjects)
#include "tst_playerclientobjects.moc"
