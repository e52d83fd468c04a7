#include "support/testmain.h"

#include "core/resultcodes.h"
#include "playerclientfakes.h"
#include "players/playerclientaddfilesoperation.h"

namespace {

// A song that only exists to be counted.
class CTestSong : public WMDM::CIUnknownBase, public IPlayerClientSong
{
public:
    explicit CTestSong(int* alive) : m_alive(alive) { ++*m_alive; }
    ~CTestSong() override { --*m_alive; }
    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_IPlayerClientSong)
            return WMDM::CIUnknownBase::QueryInterface(iid, object);
        InternalAddRef();
        *object = static_cast<IPlayerClientSong*>(this);
        return S_OK;
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
    int StartOperation(QPointer<CCoreOperationBase>& operation, QObject*, int) override
    {
        operation = nullptr;
        return S_OK;
    }
    QString GetFilePath(int index) override
    {
        return index >= 0 && index < m_count ? QStringLiteral("/music/%1.mp3").arg(index) : QString();
    }

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
    CTestWrapper(CPlayerClientBase* owner, CPlayerClientOperationObserver* observer, int* alive)
        : CPlayerClientOperationWrapperBase(owner, observer), m_alive(alive)
    {
        ++*m_alive;
    }
    ~CTestWrapper() override { --*m_alive; }

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

private:
    int* m_alive;
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

    void subscribe()
    {
        CTestSyncListObj* list = new CTestSyncListObj(m_owner, &m_listsAlive);
        CEventRecorder recorder;
        QTest::ignoreMessage(QtDebugMsg, "CTestSyncList::Subscribe: no receiver or slot");
        QCOMPARE(list->Subscribe(nullptr, SLOT(OnCollectionEvent(int))), E_INVALIDARG);
        QTest::ignoreMessage(QtDebugMsg, "CTestSyncList::Subscribe: no receiver or slot");
        QCOMPARE(list->Subscribe(&recorder, nullptr), E_INVALIDARG);
        QCOMPARE(list->Subscribe(&recorder, SLOT(OnCollectionEvent(int))), S_OK);
        QCOMPARE(list->GetOwner(), m_owner);
        list->EmitEventUpdated();
        QCOMPARE(recorder.events, QList<int>{PlayerClient::EventUpdated});
        QCOMPARE(list->Unsubscribe(&recorder), S_OK);
        list->EmitEventUpdated();
        QCOMPARE(recorder.events.size(), 1);

        list->Subscribe(&recorder, SLOT(OnCollectionEvent(int)));
        list->Shutdown();
        QTest::ignoreMessage(QtDebugMsg, "CTestSyncList::Subscribe: already shutdown");
        CEventRecorder late;
        QCOMPARE(list->Subscribe(&late, SLOT(OnCollectionEvent(int))), E_FAIL);
        QCOMPARE(recorder.events, (QList<int>{PlayerClient::EventUpdated, PlayerClient::EventShutdown}));
        list->Release();
    }

    void shutdownOnce()
    {
        CTestSyncListObj* list = new CTestSyncListObj(m_owner, &m_listsAlive);
        CEventRecorder recorder;
        list->Subscribe(&recorder, SLOT(OnCollectionEvent(int)));
        list->OnModified();
        QVERIFY(list->updateTimer->isActive());

        // The owner's shutdown reaches the list; a second one, or a direct call, changes nothing.
        m_owner->GoAway();
        QVERIFY(list->IsShutdown());
        QVERIFY(!list->updateTimer->isActive());
        QCOMPARE(list->releases, 1);
        emit m_owner->WhenShutdown();
        list->Shutdown();
        QCOMPARE(recorder.events, QList<int>{PlayerClient::EventShutdown});
        QCOMPARE(list->releases, 1);

        // A dead list is silent.
        list->OnModified();
        list->OnTimerUpdate();
        list->EmitEventUpdated();
        QCOMPARE(list->invalidations, 1);
        QCOMPARE(recorder.events.size(), 1);
        list->Release();
        QCOMPARE(m_listsAlive, 0);
    }

    void updatesCoalesce()
    {
        CTestSyncListObj* list = new CTestSyncListObj(m_owner, &m_listsAlive);
        CEventRecorder recorder;
        list->Subscribe(&recorder, SLOT(OnCollectionEvent(int)));
        list->OnModified();
        list->OnModified();
        list->OnModified();
        QCOMPARE(list->invalidations, 3);
        QTRY_COMPARE(recorder.events, QList<int>{PlayerClient::EventUpdated});
        QTest::qWait(60);
        QCOMPARE(recorder.events.size(), 1);
        list->Release();
    }

    void syncListStockAnswers()
    {
        CTestSyncListObj* list = new CTestSyncListObj(m_owner, &m_listsAlive);
        CTestSyncListObj* other = new CTestSyncListObj(m_owner, &m_listsAlive);
        IPlayerClientPlaylistSync* sync = list;

        QCOMPARE(sync->GetKind(), 5);
        QCOMPARE(sync->Refresh(), S_OK);
        QCOMPARE(sync->GetFlags(), 0);
        QString name = QStringLiteral("stale");
        QCOMPARE(sync->GetName(name), S_OK);
        QVERIFY(name.isEmpty());
        QVERIFY(sync->GetPlaylistName().isEmpty());
        QVERIFY(sync->GetId().isEmpty());
        QCOMPARE(&sync->GetId(), &static_cast<IPlayerClientPlaylistSync*>(other)->GetId());
        QCOMPARE(sync->Rename(QStringLiteral("x")), E_NOTIMPL);
        QCOMPARE(sync->Delete(), E_NOTIMPL);
        QCOMPARE(sync->Show(), E_NOTIMPL);
        QCOMPARE(sync->Play(), E_NOTIMPL);
        QCOMPARE(sync->IsInSync(), S_FALSE);
        QCOMPARE(sync->SetInSync(false), S_OK);
        QCOMPARE(sync->SetInSync(true), E_NOTIMPL);
        QCOMPARE(sync->IsEqualTo(sync), S_OK);
        QCOMPARE(sync->IsEqualTo(other), S_FALSE);
        QCOMPARE(sync->IsEqualTo(nullptr), S_FALSE);

        // AddFiles lets go of what the out-pointer held.
        int operationsAlive = 0;
        CTestObserver observer;
        IPlayerClientOperation* held = new CTestWrapperObj(m_owner, &observer, &operationsAlive);
        QCOMPARE(sync->AddFiles(nullptr, nullptr, &held), E_NOTIMPL);
        QVERIFY(!held);
        QCOMPARE(operationsAlive, 0);

        int result = 9;
        QCOMPARE(sync->GetArtistSyncStat(QStringLiteral("Abba"), &result), S_OK);
        QCOMPARE(list->lastArtist, QStringLiteral("Abba"));

        void* face = nullptr;
        QCOMPARE(sync->QueryInterface(IID_IPlayerClientPlaylist, nullptr), E_POINTER);
        QCOMPARE(sync->QueryInterface(IID_IPlayerClientSong, &face), E_NOINTERFACE);
        QCOMPARE(sync->QueryInterface(IID_IPlayerClientPlaylist, &face), S_OK);
        QCOMPARE(list->GetRefCount(), 2);
        static_cast<IPlayerClientPlaylist*>(face)->Release();
        list->Release();
        other->Release();
    }

    void addFiles_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("withSyncList");
        QTest::newRow("three files") << 3 << false;
        QTest::newRow("no files") << 0 << false;
        // Nothing added: nothing to wait for either.
        QTest::newRow("no files, sync list") << 0 << true;
    }

    void addFiles()
    {
        QFETCH(int, files);
        QFETCH(bool, withSyncList);
        int wrappersAlive = 0, songsAlive = 0;
        CTestObserver observer;
        CTestFiles collection(files, withSyncList ? quint32(CPlayerClientAddingFilesCollection::FlagAddToSyncList) : 0u);
        CIUnknownPtr<IPlayerClientPlaylistSync> sync;
        if (withSyncList)
            sync.Attach(new CTestSyncListObj(m_owner, &m_listsAlive));
        CTestWrapperObj* wrapper = new CTestWrapperObj(m_owner, &observer, &wrappersAlive);
        wrapper->AddRef();  // the caller's reference; the first one is the wrapper's own
        bool waitEntered = false;
        wrapper->Start(&collection, sync.Get(), &songsAlive, &waitEntered);
        QVERIFY(wrapper->IsRunning());
        QCOMPARE(m_owner->GetRunningOperationCount(), 1);

        QTRY_COMPARE(observer.results, QList<int>{S_OK});
        QVERIFY(!waitEntered);
        QCOMPARE(observer.completedWith, static_cast<IPlayerClientOperation*>(wrapper));
        QCOMPARE(observer.reportAtCompletion.result, S_OK);
        QCOMPARE(observer.reportAtCompletion.count, files);
        QCOMPARE(observer.songsAtCompletion, files);
        QCOMPARE(songsAlive, files);
        if (files > 0)
            QCOMPARE(observer.progress.last(), 100.0);
        QCOMPARE(m_owner->GetRunningOperationCount(), 0);

        // The caller's reference keeps the wrapper; its own is gone after the release timer.
        QTRY_COMPARE(wrapper->GetRefCount(), 1);
        CPlayerClientOperationReport report;
        wrapper->GetStatus(report);
        QCOMPARE(report.count, files);
        QCOMPARE(wrapper->Stop(SV_E_CANCELLED, true), S_OK);
        wrapper->GetStatus(report);
        QCOMPARE(report.count, files);
        wrapper->Stop(SV_E_CANCELLED, false);
        wrapper->GetStatus(report);
        QCOMPARE(report.count, 0);
        QCOMPARE(observer.results.size(), 1);
        wrapper->Release();
        QCOMPARE(wrappersAlive, 0);
        QCOMPARE(songsAlive, 0);
    }

    // A cancel during the wait ends the operation, and the observer hears it exactly once.
    void cancelTellsTheObserverOnce()
    {
        int wrappersAlive = 0, songsAlive = 0;
        CTestObserver observer;
        CTestFiles collection(2, CPlayerClientAddingFilesCollection::FlagAddToSyncList);
        CIUnknownPtr<IPlayerClientPlaylistSync> sync;
        sync.Attach(new CTestSyncListObj(m_owner, &m_listsAlive));
        CTestWrapperObj* wrapper = new CTestWrapperObj(m_owner, &observer, &wrappersAlive);
        wrapper->AddRef();  // the caller's reference
        bool waitEntered = false;
        wrapper->Start(&collection, sync.Get(), &songsAlive, &waitEntered);
        QTRY_VERIFY(waitEntered);
        CPlayerClientOperationReport live;
        wrapper->GetStatus(live);
        QCOMPARE(live.count, 2);

        QCOMPARE(wrapper->Cancel(), S_OK);
        QCOMPARE(observer.results, QList<int>{SV_E_CANCELLED});
        QCOMPARE(wrapper->Cancel(), S_OK);
        QTRY_COMPARE(wrapper->GetRefCount(), 1);
        QCOMPARE(observer.results.size(), 1);
        QCOMPARE(observer.songsAtCompletion, 2);
        QCOMPARE(m_owner->GetRunningOperationCount(), 0);
        wrapper->Release();
        QCOMPARE(wrappersAlive, 0);
    }
};

SV_TEST_MAIN(TestPlayerClientObjects)
#include "tst_playerclientobjects.moc"
