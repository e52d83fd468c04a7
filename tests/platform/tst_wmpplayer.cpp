#include "support/testmain.h"

#include "platform/wmp/axcontrolhost.h"
#include "platform/wmp/simobjects.h"
#include "platform/wmp/simplayer.h"

using namespace Platform::Wmp;

namespace {

const QString kControlClsid = QStringLiteral("{6BF52A52-394A-11d3-B153-00C04F79FAA6}");

// An event as a log line: its name and arguments, objects by the item's or the playlist's name.
QString EventLine(const QString& name, const QVariantList& arguments)
{
    QStringList texts;
    for (const QVariant& argument : arguments) {
        if (argument.userType() != QMetaType::VoidStar) {
            texts << (argument.userType() == QMetaType::Bool ? QString::number(argument.toBool())
                                                             : argument.toString());
            continue;
        }
        IUnknown* object = static_cast<IUnknown*>(argument.value<void*>());
        void* face = nullptr;
        QString text = object ? QString() : QStringLiteral("null");
        if (object && SUCCEEDED(object->QueryInterface(IID_IWMPMedia, &face))) {
            static_cast<IWMPMedia*>(face)->get_name(&text);
            static_cast<IWMPMedia*>(face)->Release();
        } else if (object && SUCCEEDED(object->QueryInterface(IID_IWMPPlaylist, &face))) {
            static_cast<IWMPPlaylist*>(face)->get_name(&text);
            static_cast<IWMPPlaylist*>(face)->Release();
        }
        texts << text;
    }
    return name + QLatin1Char('(') + texts.join(QLatin1Char(',')) + QLatin1Char(')');
}

QVariant Object(IUnknown* object)
{
    return QVariant::fromValue(static_cast<void*>(object));
}

// A test object of one interface with a count of its own; the test owns the last reference.
template <class TFace>
class CTestObject : public TFace
{
public:
    explicit CTestObject(const IID& iid) : m_iid(iid) {}
    int Refs() const { return m_refs.loadAcquire(); }

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != m_iid)
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<TFace*>(this);
        return S_OK;
    }
    quint32 AddRef() override { return quint32(m_refs.fetchAndAddOrdered(1) + 1); }
    quint32 Release() override { return quint32(m_refs.fetchAndAddOrdered(-1) - 1); }

private:
    IID m_iid;
    QAtomicInt m_refs{1};
};

class CTypedSink final : public CTestObject<IWMPEvents>
{
public:
    CTypedSink() : CTestObject(IID_IWMPEvents) {}
    QStringList log;

    void OpenStateChange(qint32 s) override { Log("OpenStateChange", {s}); }
    void PlayStateChange(qint32 s) override { Log("PlayStateChange", {s}); }
    void PositionChange(double a, double b) override { Log("PositionChange", {a, b}); }
    void CurrentItemChange(IUnknown* item) override { Log("CurrentItemChange", {Object(item)}); }
    void CurrentPlaylistChange(qint32 c) override { Log("CurrentPlaylistChange", {c}); }
    void PlaylistChange(IUnknown* p, qint32 c) override { Log("PlaylistChange", {Object(p), c}); }
    void MediaChange(IUnknown* item) override { Log("MediaChange", {Object(item)}); }
    void ModeChange(const QString& m, bool on) override { Log("ModeChange", {m, on}); }
    void Error() override { Log("Error"); }
    void MediaCollectionChange() override { Log("MediaCollectionChange"); }
    void MediaCollectionMediaAdded(IUnknown* item) override { Log("MediaCollectionMediaAdded", {Object(item)}); }
    void MediaCollectionMediaRemoved(IUnknown* item) override { Log("MediaCollectionMediaRemoved", {Object(item)}); }
    void MediaCollectionAttributeStringAdded(const QString& a, const QString& v) override
    {
        Log("MediaCollectionAttributeStringAdded", {a, v});
    }
    void MediaCollectionAttributeStringRemoved(const QString& a, const QString& v) override
    {
        Log("MediaCollectionAttributeStringRemoved", {a, v});
    }
    void MediaCollectionAttributeStringChanged(const QString& a, const QString& o, const QString& n) override
    {
        Log("MediaCollectionAttributeStringChanged", {a, o, n});
    }
    void PlaylistCollectionChange() override { Log("PlaylistCollectionChange"); }
    void PlaylistCollectionPlaylistAdded(const QString& n) override { Log("PlaylistCollectionPlaylistAdded", {n}); }
    void PlaylistCollectionPlaylistRemoved(const QString& n) override { Log("PlaylistCollectionPlaylistRemoved", {n}); }
    void PlayerDockedStateChange() override { Log("PlayerDockedStateChange"); }
    void PlayerReconnect() override { Log("PlayerReconnect"); }
    void SwitchedToPlayerApplication() override { Log("SwitchedToPlayerApplication"); }
    void SwitchedToControl() override { Log("SwitchedToControl"); }

private:
    void Log(const char* name, const QVariantList& arguments = {}) { log << EventLine(QLatin1String(name), arguments); }
};

// Writes the same lines as the typed sink from the dispatched name and arguments.
class CDispatchSink final : public CTestObject<_WMPOCXEvents>
{
public:
    CDispatchSink() : CTestObject(DIID__WMPOCXEvents) {}
    QStringList log;

    HRESULT Invoke(const QString& name, const QVariantList& arguments) override
    {
        log << EventLine(name, arguments);
        return S_OK;
    }
};

// The host's side of the remote handshake.
class CTestRemoteHost final : public CTestObject<IServiceProvider>, public IWMPRemoteMediaServices
{
public:
    explicit CTestRemoteHost(const QString& serviceType)
        : CTestObject(IID_IServiceProvider), m_serviceType(serviceType)
    {
    }

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid != IID_IWMPRemoteMediaServices)
            return CTestObject::QueryInterface(iid, object);
        AddRef();
        *object = static_cast<IWMPRemoteMediaServices*>(this);
        return S_OK;
    }
    quint32 AddRef() override { return CTestObject::AddRef(); }
    quint32 Release() override { return CTestObject::Release(); }

    HRESULT QueryService(const QUuid& service, const IID& iid, void** object) override
    {
        return service == SID_WMPRemoteMediaServices ? QueryInterface(iid, object) : E_NOINTERFACE;
    }
    HRESULT GetServiceType(BSTR* type) override { return Text(m_serviceType, type); }
    HRESULT GetApplicationName(BSTR* name) override { return Text(QStringLiteral("Sonvero"), name); }
    HRESULT GetScriptableObject(BSTR*, IUnknown**) override { return E_NOTIMPL; }
    HRESULT GetCustomUIMode(BSTR*) override { return E_NOTIMPL; }

private:
    static HRESULT Text(const QString& text, BSTR* out)
    {
        *out = SysAllocString(reinterpret_cast<const char16_t*>(text.utf16()));
        return S_OK;
    }
    QString m_serviceType;
};

class CTestAxHost : public CAxControlHost
{
public:
    explicit CTestAxHost(IUnknown* aggregate) : m_aggregate(aggregate) {}

protected:
    IUnknown* CreateAggregate() override { return m_aggregate; }

private:
    IUnknown* m_aggregate;
};

template <class T>
T* Query(IUnknown* object, const IID& iid)
{
    void* face = nullptr;
    return SUCCEEDED(object->QueryInterface(iid, &face)) ? static_cast<T*>(face) : nullptr;
}

} // namespace

class TestWmpPlayer : public QObject
{
    Q_OBJECT
private:
    CSimPlayer* m_player = nullptr;
    CTestRemoteHost* m_remote = nullptr;
    CTestAxHost* m_host = nullptr;
    IWMPPlayer4* m_wmp = nullptr;
    IWMPControls* m_controls = nullptr;
    IWMPSettings* m_settings = nullptr;
    IWMPMediaCollection2* m_media = nullptr;
    IWMPPlaylistCollection* m_playlists = nullptr;
    // Sinks outlive every control of a test, whatever the test left advised.
    CTypedSink* m_typed = nullptr;
    CDispatchSink* m_dispatch = nullptr;

    quint32 Song(const QString& title, double seconds)
    {
        return m_player->AddMedia(
            {{"Title", title}, {"Author", "A"}, {"WM/AlbumTitle", "X"}, {"Duration", QString::number(seconds)}});
    }

    // A collection playlist of the songs, as the program would find it.
    IWMPPlaylist* Playlist(const QString& name, const QVector<quint32>& songs)
    {
        m_player->AddPlaylist(name, songs);
        IWMPPlaylistArray* found = nullptr;
        m_playlists->getByName(name, &found);
        IWMPPlaylist* playlist = nullptr;
        found->item(0, &playlist);
        found->Release();
        return playlist;
    }

    QString CurrentTitle()
    {
        const CMediaRef media = m_player->CurrentMedia();
        return media ? m_player->RawAttribute(media->id, QStringLiteral("Title")) : QString();
    }

    double Position()
    {
        double seconds = -1;
        m_controls->get_currentPosition(&seconds);
        return seconds;
    }

    // Advises sink on the control's connection point of that kind; without a sink, unadvises cookie.
    HRESULT Connect(const IID& kind, IUnknown* sink, quint32* cookie = nullptr)
    {
        IConnectionPointContainer* container = Query<IConnectionPointContainer>(m_wmp, IID_IConnectionPointContainer);
        IConnectionPoint* point = nullptr;
        quint32 ignored = 0;
        HRESULT hr = container->FindConnectionPoint(kind, &point);
        if (SUCCEEDED(hr)) {
            hr = sink ? point->Advise(sink, cookie ? cookie : &ignored) : point->Unadvise(*cookie);
            point->Release();
        }
        container->Release();
        return hr;
    }

private slots:
    void init()
    {
        m_player = CSimPlayer::Instance();
        m_player->Reset();
        m_player->Clock().SetManual(true);
        m_typed = new CTypedSink;
        m_dispatch = new CDispatchSink;
        m_remote = new CTestRemoteHost(QStringLiteral("Remote"));
        m_host = new CTestAxHost(static_cast<IServiceProvider*>(m_remote));
        QVERIFY(m_host->SetControl(kControlClsid));
        QCOMPARE(m_host->QueryInterface(IID_IWMPPlayer4, reinterpret_cast<void**>(&m_wmp)), S_OK);
        m_wmp->get_controls(&m_controls);
        m_wmp->get_settings(&m_settings);
        IWMPMediaCollection* collection = nullptr;
        m_wmp->get_mediaCollection(&collection);
        m_media = Query<IWMPMediaCollection2>(collection, IID_IWMPMediaCollection2);
        collection->Release();
        m_wmp->get_playlistCollection(&m_playlists);
    }

    void cleanup()
    {
        for (IUnknown* object : std::initializer_list<IUnknown*>{m_controls, m_settings, m_media, m_playlists, m_wmp})
            object->Release();
        delete m_host;
        QCOMPARE(m_remote->Refs(), 1);
        delete m_remote;
        m_player->FlushEvents();
        QCOMPARE(m_player->SinkCount(), 0);
        QCOMPARE(m_typed->Refs(), 1);
        QCOMPARE(m_dispatch->Refs(), 1);
        delete m_typed;
        delete m_dispatch;
    }

    void remoteHandshake_data()
    {
        QTest::addColumn<QString>("serviceType");
        QTest::addColumn<bool>("withAggregate");
        QTest::addColumn<bool>("remote");
        QTest::newRow("remote host") << QStringLiteral("Remote") << true << true;
        QTest::newRow("other service type") << QStringLiteral("Local") << true << false;
        QTest::newRow("no aggregate") << QString() << false << false;
    }

    void remoteHandshake()
    {
        QFETCH(QString, serviceType);
        QFETCH(bool, withAggregate);
        QFETCH(bool, remote);
        CTestRemoteHost services(serviceType);
        CTestAxHost host(withAggregate ? static_cast<IServiceProvider*>(&services) : nullptr);
        QVERIFY(!host.SetControl(QStringLiteral("{00000000-0000-0000-0000-000000000001}")));
        QVERIFY(host.IsNull());
        QVERIFY(host.SetControl(kControlClsid.toLower()));
        QCOMPARE(host.IsRemote(), remote);
        QCOMPARE(host.Handshake().asked, withAggregate);
        QCOMPARE(host.Handshake().serviceType, serviceType);
        if (withAggregate) {
            QCOMPARE(host.Handshake().applicationName, QStringLiteral("Sonvero"));
            QCOMPARE(host.Handshake().customUiModeResult, E_NOTIMPL);
        }
        // Remote: the running application's library; otherwise a private player.
        QCOMPARE(host.AttachedPlayer() == m_player, remote);
        IWMPPlayer4* wmp = nullptr;
        QCOMPARE(host.QueryInterface(IID_IWMPPlayer4, reinterpret_cast<void**>(&wmp)), S_OK);
        bool isRemote = !remote;
        wmp->get_isRemote(&isRemote);
        QCOMPARE(isRemote, remote);
        IWMPPlaylistCollection* playlists = nullptr;
        wmp->get_playlistCollection(&playlists);
        wmp->Release();
        host.Clear();
        QCOMPARE(services.Refs(), 1);
        // Objects of a private player that is gone answer with a code instead of touching freed memory.
        IWMPPlaylistArray* all = nullptr;
        QCOMPARE(playlists->getAll(&all), remote ? S_OK : WMP_E_DISCONNECTED);
        if (all)
            all->Release();
        playlists->Release();
        QVERIFY(host.WindowHandle() != m_host->WindowHandle());
    }

    void eventsInOrderToBothSinkKinds()
    {
        Connect(IID_IWMPEvents, m_typed);
        Connect(DIID__WMPOCXEvents, m_dispatch);

        Song("One", 10);
        IWMPPlaylist* playlist = nullptr;
        m_playlists->newPlaylist("P", &playlist);
        IWMPPlaylist* all = nullptr;
        m_media->getAll(&all);
        IWMPMedia* media = nullptr;
        all->get_item(0, &media);
        playlist->appendItem(media);
        media->setItemInfo(QStringLiteral("Author"), QStringLiteral("B"));
        m_wmp->put_currentPlaylist(playlist);

        // Nothing arrives before the event loop runs.
        QVERIFY(m_typed->log.isEmpty());
        const QStringList expected = {
            "MediaCollectionMediaAdded(One)", "MediaCollectionAttributeStringAdded(Title,One)",
            "MediaCollectionAttributeStringAdded(Author,A)", "MediaCollectionAttributeStringAdded(WM/AlbumTitle,X)",
            "PlaylistCollectionPlaylistAdded(P)", "PlaylistCollectionChange()", "PlaylistChange(P,6)",
            "MediaChange(One)", "MediaCollectionAttributeStringChanged(Author,A,B)", "CurrentPlaylistChange(0)",
            "CurrentItemChange(One)", "OpenStateChange(13)", "PlayStateChange(3)"};
        QTRY_COMPARE(m_typed->log, expected);
        QCOMPARE(m_dispatch->log, expected);
        QCOMPARE(m_player->DeliveredEvents().size(), expected.size());

        m_typed->log.clear();
        m_player->SetSynchronousEvents(true);
        m_playlists->remove(playlist);
        QCOMPARE(m_typed->log, (QStringList{"PlaylistCollectionPlaylistRemoved(P)", "PlaylistCollectionChange()"}));
        m_media->remove(media, false);
        QCOMPARE(m_typed->log.mid(2),
                 (QStringList{"MediaCollectionMediaRemoved(One)", "MediaCollectionAttributeStringRemoved(Title,One)",
                              "MediaCollectionAttributeStringRemoved(Author,B)",
                              "MediaCollectionAttributeStringRemoved(WM/AlbumTitle,X)"}));
        media->Release();
        all->Release();
        playlist->Release();
    }

    void sinkConnections()
    {
        quint32 cookie = 0;
        QCOMPARE(Connect(IID_IWMPEvents, m_typed, &cookie), S_OK);
        // The connection point keeps a reference on its sink until Unadvise.
        QCOMPARE(m_typed->Refs(), 2);
        QCOMPARE(Connect(IID_IWMPEvents, nullptr, &cookie), S_OK);
        QCOMPARE(m_typed->Refs(), 1);
        QCOMPARE(Connect(IID_IWMPEvents, nullptr, &cookie), WMP_E_NOCONNECTION);
        // A sink without the interface is refused.
        QCOMPARE(Connect(IID_IWMPEvents, m_dispatch), MakeHResult(0x80040202u));

        // Without the typed point the dispatch point still delivers.
        m_player->SetInterfaceAvailable(QStringLiteral("IWMPEvents"), false);
        QCOMPARE(Connect(IID_IWMPEvents, m_typed), WMP_E_NOCONNECTION);
        QCOMPARE(Connect(DIID__WMPOCXEvents, m_dispatch), S_OK);
        m_player->SwitchToControl();
        QTRY_COMPARE(m_dispatch->log, QStringList{"SwitchedToControl()"});
        // The control going away lets its sinks go (cleanup checks it).
    }

    void autoStart()
    {
        const quint32 a = Song("A1", 10);
        const quint32 b = Song("B2", 10);
        IWMPPlaylist* list = Playlist("L", {a, b});

        // Auto-start is on by default.
        QCOMPARE(m_wmp->put_currentPlaylist(list), S_OK);
        QCOMPARE(m_player->PlayState(), qint32(WmpPlayStatePlaying));
        QCOMPARE(CurrentTitle(), QStringLiteral("A1"));

        // Without auto-start a new list and a new item wait for play.
        m_settings->put_autoStart(false);
        m_controls->stop();
        IWMPPlaylist* other = Playlist("M", {b, a});
        QCOMPARE(m_wmp->put_currentPlaylist(other), S_OK);
        QVERIFY(m_player->PlayState() != WmpPlayStatePlaying);
        IWMPMedia* second = nullptr;
        other->get_item(1, &second);
        QCOMPARE(m_controls->put_currentItem(second), S_OK);
        QCOMPARE(CurrentTitle(), QStringLiteral("A1"));
        QVERIFY(m_player->PlayState() != WmpPlayStatePlaying);
        m_controls->play();
        QCOMPARE(m_player->PlayState(), qint32(WmpPlayStatePlaying));
        IWMPPlaylist* current = nullptr;
        m_wmp->get_currentPlaylist(&current);
        bool same = false;
        current->get_isIdentical(other, &same);
        QVERIFY(same);

        // An item outside the current list plays as a list of its own.
        IWMPPlaylist* single = Playlist("N", {Song("C3", 10)});
        IWMPMedia* third = nullptr;
        single->get_item(0, &third);
        QCOMPARE(m_controls->playItem(third), S_OK);
        QCOMPARE(CurrentTitle(), QStringLiteral("C3"));
        current->Release();
        m_wmp->get_currentPlaylist(&current);
        qint32 count = 0;
        current->get_count(&count);
        QCOMPARE(count, 1);
        for (IUnknown* object : std::initializer_list<IUnknown*>{list, other, second, current, single, third})
            object->Release();
    }

    void clockAndEndOfTrack()
    {
        Connect(IID_IWMPEvents, m_typed);
        IWMPPlaylist* list = Playlist("L", {Song("One", 10), Song("Two", 20), Song("Three", 5)});
        m_wmp->put_currentPlaylist(list);
        m_player->FlushEvents();
        m_typed->log.clear();

        QCOMPARE(Position(), 0.0);
        m_player->Advance(4000);
        QCOMPARE(Position(), 4.0);
        m_player->Advance(7000);
        QCOMPARE(CurrentTitle(), QStringLiteral("Two"));
        QCOMPARE(Position(), 1.0);

        m_controls->pause();
        m_player->Advance(5000);
        QCOMPARE(Position(), 1.0);
        m_controls->play();
        QCOMPARE(m_controls->put_currentPosition(4.5), S_OK);
        QCOMPARE(Position(), 4.5);

        // Two ends at 20 s, Three plays its 5 s, then the list is over.
        m_player->Advance(15500 + 6000);
        QCOMPARE(m_player->PlayState(), qint32(WmpPlayStateStopped));
        QCOMPARE(Position(), 0.0);
        m_player->FlushEvents();
        QCOMPARE(m_typed->log,
                 (QStringList{"PlayStateChange(8)", "CurrentItemChange(Two)", "OpenStateChange(13)",
                              "PlayStateChange(3)", "PlayStateChange(2)", "PlayStateChange(3)", "PositionChange(1,4.5)",
                              "PlayStateChange(8)", "CurrentItemChange(Three)", "OpenStateChange(13)",
                              "PlayStateChange(3)", "PlayStateChange(8)", "PlayStateChange(1)"}));
        list->Release();

        // On the wall clock a track ends by itself, without anyone asking for the position.
        m_player->Clock().SetManual(false);
        m_typed->log.clear();
        list = Playlist("W", {Song("Short", 0.04)});
        m_wmp->put_currentPlaylist(list);
        QTRY_VERIFY(m_typed->log.contains(QStringLiteral("PlayStateChange(1)")));
        QCOMPARE(m_typed->log.filter(QStringLiteral("PlayStateChange")),
                 (QStringList{"PlayStateChange(3)", "PlayStateChange(8)", "PlayStateChange(1)"}));
        list->Release();
    }

    void modesAndVolume()
    {
        QVector<quint32> songs;
        for (int i = 1; i <= 5; ++i)
            songs << Song(QStringLiteral("S%1").arg(i), 1);
        IWMPPlaylist* list = Playlist("L", songs);
        m_wmp->put_currentPlaylist(list);

        bool available = true;
        m_controls->get_isAvailable(QStringLiteral("previous"), &available);
        QVERIFY(!available);
        QCOMPARE(m_settings->setMode(QStringLiteral("loop"), true), S_OK);
        m_controls->get_isAvailable(QStringLiteral("previous"), &available);
        QVERIFY(available);
        m_controls->previous();
        QCOMPARE(CurrentTitle(), QStringLiteral("S5"));
        m_player->Advance(1000);
        QCOMPARE(CurrentTitle(), QStringLiteral("S1"));
        QCOMPARE(m_player->PlayState(), qint32(WmpPlayStatePlaying));

        // Shuffled, every item plays once, then the list is over.
        m_settings->setMode(QStringLiteral("loop"), false);
        QCOMPARE(m_settings->setMode(QStringLiteral("shuffle"), true), S_OK);
        QStringList played{CurrentTitle()};
        for (int i = 0; i < 4; ++i) {
            m_player->Advance(1000);
            played << CurrentTitle();
        }
        m_player->Advance(1000);
        QCOMPARE(m_player->PlayState(), qint32(WmpPlayStateStopped));
        QCOMPARE(QSet<QString>(played.begin(), played.end()).size(), 5);
        QVERIFY(played != (QStringList{"S1", "S2", "S3", "S4", "S5"}));
        list->Release();

        // The volume stays within 0 to 100.
        m_settings->put_volume(150);
        QCOMPARE(m_player->Volume(), 100);
        m_settings->put_volume(-3);
        QCOMPARE(m_player->Volume(), 0);
    }

    void faultsAndCounters()
    {
        const char* const getter = "IWMPPlayer4::get_mediaCollection";
        m_player->ResetCallCounts();
        m_player->FailCall(QString::fromLatin1(getter), E_FAIL);
        IWMPMediaCollection* collection = nullptr;
        QCOMPARE(m_wmp->get_mediaCollection(&collection), E_FAIL);
        QCOMPARE(m_wmp->get_mediaCollection(&collection), S_OK);
        QCOMPARE(m_player->CallCount(QString::fromLatin1(getter)), 2);

        m_player->FailCall(QStringLiteral("IWMPMediaCollection2::createQuery"), MakeHResult(0x80070008u), -1);
        IWMPQuery* query = nullptr;
        QCOMPARE(m_media->createQuery(&query), MakeHResult(0x80070008u));
        QCOMPARE(m_media->createQuery(&query), MakeHResult(0x80070008u));
        m_player->ClearFaults();
        QCOMPARE(m_media->createQuery(&query), S_OK);
        query->Release();

        // A busy player rejects every call.
        m_player->SetBusy(true);
        QCOMPARE(m_controls->play(), RPC_E_CALL_REJECTED);
        QCOMPARE(m_media->createQuery(&query), RPC_E_CALL_REJECTED);
        m_player->SetBusy(false);

        // A getter that succeeds with nothing.
        m_player->SetReturnNull(QStringLiteral("IWMPPlayer4::get_settings"), true);
        IWMPSettings* settings = reinterpret_cast<IWMPSettings*>(this);
        QCOMPARE(m_wmp->get_settings(&settings), S_OK);
        QVERIFY(!settings);
        collection->Release();

        // The error object carries what the player raised.
        Connect(IID_IWMPEvents, m_typed);
        m_player->RaiseError(MakeHResult(0xC00D1197u), QStringLiteral("cannot play"));
        QTRY_COMPARE(m_typed->log, QStringList{"Error()"});
        IWMPError* error = nullptr;
        m_wmp->get_error(&error);
        IWMPErrorItem* item = nullptr;
        QCOMPARE(error->get_item(0, &item), S_OK);
        qint32 code = 0;
        item->get_errorCode(&code);
        QCOMPARE(code, MakeHResult(0xC00D1197u));
        item->Release();
        error->Release();
    }

    // The application's docked state is the player running; its switches and reconnects reach the sinks.
    void application()
    {
        Connect(IID_IWMPEvents, m_typed);
        IWMPPlayerApplication* application = nullptr;
        QCOMPARE(m_wmp->get_playerApplication(&application), S_OK);
        m_player->SetLaunchDelay(30);
        m_player->Launch();
        QVERIFY(!m_player->IsRunning());
        QTRY_VERIFY(m_player->IsRunning());
        bool docked = false;
        application->get_playerDocked(&docked);
        QVERIFY(docked);
        m_player->Quit();
        application->get_playerDocked(&docked);
        QVERIFY(!docked);
        application->switchToPlayerApplication();
        application->switchToControl();
        m_player->Reconnect();
        QCOMPARE(m_player->ForegroundCount(), 1);
        QTRY_VERIFY(m_typed->log.contains(QStringLiteral("PlayerReconnect()")));
        QCOMPARE(m_typed->log, (QStringList{"PlayerDockedStateChange()", "PlayerDockedStateChange()",
                                            "SwitchedToPlayerApplication()", "SwitchedToControl()",
                                            "PlayerReconnect()"}));
        application->Release();
    }
};

SV_TEST_MAIN(TestWmpPlayer)
#include "tst_wmpplayer.moc"
