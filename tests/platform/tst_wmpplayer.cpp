#include "support/testmain.h"

#include "platform/wmp/axcontrolhost.h"
#include "platform/wmp/simobjects.h"
#include "platform/wmp/simplayer.h"

using namespace Platform::Wmp;

namespace {

const QString kControlClsid = QStringLiteral("{6BF52A52-394A-11d3-B153-00C04F79FAA6}");

// What an event's object argument is: the item's or the playlist's name.
QString Describe(IUnknown* object)
{
    if (!object)
        return QStringLiteral("null");
    void* face = nullptr;
    QString name;
    if (SUCCEEDED(object->QueryInterface(IID_IWMPMedia, &face))) {
        static_cast<IWMPMedia*>(face)->get_name(&name);
        static_cast<IWMPMedia*>(face)->Release();
    } else if (SUCCEEDED(object->QueryInterface(IID_IWMPPlaylist, &face))) {
        static_cast<IWMPPlaylist*>(face)->get_name(&name);
        static_cast<IWMPPlaylist*>(face)->Release();
    }
    return name;
}

// Reference counting for the test's own objects.
class CTestRefCount
{
public:
    int Refs() const { return m_refs.loadAcquire(); }

protected:
    quint32 Up() { return quint32(m_refs.fetchAndAddOrdered(1) + 1); }
    quint32 Down() { return quint32(m_refs.fetchAndAddOrdered(-1) - 1); }  // tests own the last reference

private:
    QAtomicInt m_refs{1};
};

class CTypedSink final : public IWMPEvents, public CTestRefCount
{
public:
    QStringList log;

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_IWMPEvents)
            return E_NOINTERFACE;
        Up();
        *object = static_cast<IWMPEvents*>(this);
        return S_OK;
    }
    quint32 AddRef() override { return Up(); }
    quint32 Release() override { return Down(); }

    void OpenStateChange(qint32 s) override { log << QStringLiteral("OpenStateChange(%1)").arg(s); }
    void PlayStateChange(qint32 s) override { log << QStringLiteral("PlayStateChange(%1)").arg(s); }
    void PositionChange(double a, double b) override { log << QStringLiteral("PositionChange(%1,%2)").arg(a).arg(b); }
    void CurrentItemChange(IUnknown* item) override { log << QStringLiteral("CurrentItemChange(%1)").arg(Describe(item)); }
    void CurrentPlaylistChange(qint32 c) override { log << QStringLiteral("CurrentPlaylistChange(%1)").arg(c); }
    void PlaylistChange(IUnknown* p, qint32 c) override
    {
        log << QStringLiteral("PlaylistChange(%1,%2)").arg(Describe(p)).arg(c);
    }
    void MediaChange(IUnknown* item) override { log << QStringLiteral("MediaChange(%1)").arg(Describe(item)); }
    void ModeChange(const QString& m, bool on) override { log << QStringLiteral("ModeChange(%1,%2)").arg(m).arg(on); }
    void Error() override { log << QStringLiteral("Error()"); }
    void MediaCollectionChange() override { log << QStringLiteral("MediaCollectionChange()"); }
    void MediaCollectionMediaAdded(IUnknown* item) override
    {
        log << QStringLiteral("MediaCollectionMediaAdded(%1)").arg(Describe(item));
    }
    void MediaCollectionMediaRemoved(IUnknown* item) override
    {
        log << QStringLiteral("MediaCollectionMediaRemoved(%1)").arg(Describe(item));
    }
    void MediaCollectionAttributeStringAdded(const QString& a, const QString& v) override
    {
        log << QStringLiteral("MediaCollectionAttributeStringAdded(%1,%2)").arg(a, v);
    }
    void MediaCollectionAttributeStringRemoved(const QString& a, const QString& v) override
    {
        log << QStringLiteral("MediaCollectionAttributeStringRemoved(%1,%2)").arg(a, v);
    }
    void MediaCollectionAttributeStringChanged(const QString& a, const QString& o, const QString& n) override
    {
        log << QStringLiteral("MediaCollectionAttributeStringChanged(%1,%2,%3)").arg(a, o, n);
    }
    void PlaylistCollectionChange() override { log << QStringLiteral("PlaylistCollectionChange()"); }
    void PlaylistCollectionPlaylistAdded(const QString& n) override
    {
        log << QStringLiteral("PlaylistCollectionPlaylistAdded(%1)").arg(n);
    }
    void PlaylistCollectionPlaylistRemoved(const QString& n) override
    {
        log << QStringLiteral("PlaylistCollectionPlaylistRemoved(%1)").arg(n);
    }
    void PlayerDockedStateChange() override { log << QStringLiteral("PlayerDockedStateChange()"); }
    void PlayerReconnect() override { log << QStringLiteral("PlayerReconnect()"); }
    void SwitchedToPlayerApplication() override { log << QStringLiteral("SwitchedToPlayerApplication()"); }
    void SwitchedToControl() override { log << QStringLiteral("SwitchedToControl()"); }
};

// Writes the same lines as the typed sink from the dispatched name and arguments.
class CDispatchSink final : public _WMPOCXEvents, public CTestRefCount
{
public:
    QStringList log;

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != DIID__WMPOCXEvents)
            return E_NOINTERFACE;
        Up();
        *object = static_cast<_WMPOCXEvents*>(this);
        return S_OK;
    }
    quint32 AddRef() override { return Up(); }
    quint32 Release() override { return Down(); }

    HRESULT Invoke(const QString& name, const QVariantList& arguments) override
    {
        QStringList texts;
        for (const QVariant& argument : arguments) {
            if (argument.userType() == QMetaType::VoidStar)
                texts << Describe(static_cast<IUnknown*>(argument.value<void*>()));
            else if (argument.userType() == QMetaType::Bool)
                texts << QString::number(argument.toBool());
            else
                texts << argument.toString();
        }
        log << name + QLatin1Char('(') + texts.join(QLatin1Char(',')) + QLatin1Char(')');
        return S_OK;
    }
};

// The host's side of the remote handshake.
class CTestRemoteHost final : public IServiceProvider, public IWMPRemoteMediaServices, public CTestRefCount
{
public:
    explicit CTestRemoteHost(const QString& serviceType) : m_serviceType(serviceType) {}

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IServiceProvider)
            *object = static_cast<IServiceProvider*>(this);
        else if (iid == IID_IWMPRemoteMediaServices)
            *object = static_cast<IWMPRemoteMediaServices*>(this);
        else
            return E_NOINTERFACE;
        Up();
        return S_OK;
    }
    quint32 AddRef() override { return Up(); }
    quint32 Release() override { return Down(); }

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

    quint32 Song(const QString& title, double seconds, const QString& artist = QStringLiteral("A"))
    {
        QHash<QString, QString> values;
        values.insert(QStringLiteral("Title"), title);
        values.insert(QStringLiteral("Author"), artist);
        values.insert(QStringLiteral("WM/AlbumTitle"), QStringLiteral("X"));
        values.insert(QStringLiteral("Duration"), QString::number(seconds));
        return m_player->AddMedia(values);
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
        IWMPMedia* media = nullptr;
        m_controls->get_currentItem(&media);
        if (!media)
            return QString();
        QString title;
        media->get_name(&title);
        media->Release();
        return title;
    }

    double Position()
    {
        double seconds = -1;
        m_controls->get_currentPosition(&seconds);
        return seconds;
    }

    qint32 State()
    {
        qint32 state = -1;
        m_wmp->get_playState(&state);
        return state;
    }

    // Advises a sink on the control; the cookie.
    quint32 Advise(const IID& kind, IUnknown* sink, HRESULT* result = nullptr)
    {
        IConnectionPointContainer* container = Query<IConnectionPointContainer>(m_wmp, IID_IConnectionPointContainer);
        IConnectionPoint* point = nullptr;
        HRESULT hr = container->FindConnectionPoint(kind, &point);
        quint32 cookie = 0;
        if (SUCCEEDED(hr)) {
            hr = point->Advise(sink, &cookie);
            point->Release();
        }
        container->Release();
        if (result)
            *result = hr;
        return cookie;
    }

    HRESULT Unadvise(const IID& kind, quint32 cookie)
    {
        IConnectionPointContainer* container = Query<IConnectionPointContainer>(m_wmp, IID_IConnectionPointContainer);
        IConnectionPoint* point = nullptr;
        HRESULT hr = container->FindConnectionPoint(kind, &point);
        if (SUCCEEDED(hr)) {
            hr = point->Unadvise(cookie);
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
            if (object)
                object->Release();
        m_controls = nullptr;
        m_settings = nullptr;
        m_media = nullptr;
        m_playlists = nullptr;
        m_wmp = nullptr;
        delete m_host;
        m_host = nullptr;
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
        Song(QStringLiteral("Shared"), 10);
        CTestRemoteHost services(serviceType);
        CTestAxHost host(withAggregate ? static_cast<IServiceProvider*>(&services) : nullptr);
        QVERIFY(!host.SetControl(QStringLiteral("{00000000-0000-0000-0000-000000000001}")));
        QVERIFY(host.IsNull());
        QVERIFY(host.SetControl(kControlClsid.toLower()));
        QCOMPARE(host.IsRemote(), remote);
        QCOMPARE(host.Handshake().asked, withAggregate);
        if (withAggregate) {
            QCOMPARE(host.Handshake().serviceType, serviceType);
            QCOMPARE(host.Handshake().applicationName, QStringLiteral("Sonvero"));
            QCOMPARE(host.Handshake().scriptableObjectResult, E_NOTIMPL);
            QCOMPARE(host.Handshake().customUiModeResult, E_NOTIMPL);
        }
        // Remote: the running application's library; otherwise a private, empty player.
        QCOMPARE(host.AttachedPlayer() == m_player, remote);
        IWMPPlayer4* wmp = nullptr;
        QCOMPARE(host.QueryInterface(IID_IWMPPlayer4, reinterpret_cast<void**>(&wmp)), S_OK);
        bool isRemote = !remote;
        wmp->get_isRemote(&isRemote);
        QCOMPARE(isRemote, remote);
        IWMPMediaCollection* collection = nullptr;
        wmp->get_mediaCollection(&collection);
        IWMPPlaylist* all = nullptr;
        collection->getAll(&all);
        qint32 count = -1;
        all->get_count(&count);
        QCOMPARE(count, remote ? 1 : 0);
        all->Release();
        collection->Release();
        wmp->Release();
        host.Clear();
        QCOMPARE(services.Refs(), 1);
        QVERIFY(host.WindowHandle() != m_host->WindowHandle());
    }

    void eventsInOrderToBothSinkKinds()
    {
        CTypedSink& typed = *m_typed;
        CDispatchSink& dispatch = *m_dispatch;
        Advise(IID_IWMPEvents, &typed);
        Advise(DIID__WMPOCXEvents, &dispatch);

        const quint32 one = Song(QStringLiteral("One"), 10);
        IWMPPlaylist* playlist = nullptr;
        m_playlists->newPlaylist(QStringLiteral("P"), &playlist);
        IWMPPlaylist* all = nullptr;
        m_media->getAll(&all);
        IWMPMedia* media = nullptr;
        all->get_item(0, &media);
        playlist->appendItem(media);
        media->setItemInfo(QStringLiteral("Author"), QStringLiteral("B"));
        m_wmp->put_currentPlaylist(playlist);
        Q_UNUSED(one);

        // Nothing arrives before the event loop runs.
        QVERIFY(typed.log.isEmpty());
        const QStringList expected = {
            "MediaCollectionMediaAdded(One)",
            "MediaCollectionAttributeStringAdded(Title,One)",
            "MediaCollectionAttributeStringAdded(Author,A)",
            "MediaCollectionAttributeStringAdded(WM/AlbumTitle,X)",
            "PlaylistCollectionPlaylistAdded(P)",
            "PlaylistCollectionChange()",
            "PlaylistChange(P,6)",
            "MediaChange(One)",
            "MediaCollectionAttributeStringChanged(Author,A,B)",
            "CurrentPlaylistChange(0)",
            "CurrentItemChange(One)",
            "OpenStateChange(13)",
            "PlayStateChange(3)",
        };
        QTRY_COMPARE(typed.log, expected);
        QCOMPARE(dispatch.log, expected);
        QCOMPARE(m_player->DeliveredEvents().size(), expected.size());

        typed.log.clear();
        m_player->SetSynchronousEvents(true);
        m_playlists->remove(playlist);
        QCOMPARE(typed.log, (QStringList{"PlaylistCollectionPlaylistRemoved(P)", "PlaylistCollectionChange()"}));
        m_media->remove(media, false);
        QCOMPARE(typed.log.mid(2), (QStringList{"MediaCollectionMediaRemoved(One)",
                                                "MediaCollectionAttributeStringRemoved(Title,One)",
                                                "MediaCollectionAttributeStringRemoved(Author,B)",
                                                "MediaCollectionAttributeStringRemoved(WM/AlbumTitle,X)"}));
        media->Release();
        all->Release();
        playlist->Release();
    }

    void sinkConnections()
    {
        CTypedSink& typed = *m_typed;
        CDispatchSink& dispatch = *m_dispatch;
        const quint32 cookie = Advise(IID_IWMPEvents, &typed);
        // The connection point keeps a reference on its sink until Unadvise.
        QCOMPARE(typed.Refs(), 2);
        QCOMPARE(Unadvise(IID_IWMPEvents, cookie), S_OK);
        QCOMPARE(typed.Refs(), 1);
        QCOMPARE(Unadvise(IID_IWMPEvents, cookie), WMP_E_NOCONNECTION);

        // A sink without the interface is refused.
        HRESULT hr = S_OK;
        Advise(IID_IWMPEvents, &dispatch, &hr);
        QCOMPARE(hr, MakeHResult(0x80040202u));

        // Without the typed point the dispatch point still delivers.
        m_player->SetInterfaceAvailable(QStringLiteral("IWMPEvents"), false);
        Advise(IID_IWMPEvents, &typed, &hr);
        QCOMPARE(hr, WMP_E_NOCONNECTION);
        Advise(DIID__WMPOCXEvents, &dispatch, &hr);
        QCOMPARE(hr, S_OK);
        m_player->SwitchToControl();
        QTRY_COMPARE(dispatch.log, QStringList{"SwitchedToControl()"});

        // The control going away lets its sinks go.
        m_controls->Release();
        m_settings->Release();
        m_media->Release();
        m_playlists->Release();
        m_wmp->Release();
        m_controls = nullptr;
        m_settings = nullptr;
        m_media = nullptr;
        m_playlists = nullptr;
        m_wmp = nullptr;
        m_host->Clear();
        QCOMPARE(dispatch.Refs(), 1);
        QCOMPARE(m_player->SinkCount(), 0);
    }

    void autoStart()
    {
        const quint32 a = Song(QStringLiteral("A1"), 10);
        const quint32 b = Song(QStringLiteral("B2"), 10);
        IWMPPlaylist* list = Playlist(QStringLiteral("L"), {a, b});

        bool on = false;
        m_settings->get_autoStart(&on);
        QVERIFY(on);
        QCOMPARE(m_wmp->put_currentPlaylist(list), S_OK);
        QCOMPARE(State(), qint32(WmpPlayStatePlaying));
        QCOMPARE(CurrentTitle(), QStringLiteral("A1"));

        // Without auto-start a new list and a new item wait for play.
        m_settings->put_autoStart(false);
        m_controls->stop();
        IWMPPlaylist* other = Playlist(QStringLiteral("M"), {b, a});
        QCOMPARE(m_wmp->put_currentPlaylist(other), S_OK);
        QVERIFY(State() != WmpPlayStatePlaying);
        IWMPMedia* second = nullptr;
        other->get_item(1, &second);
        QCOMPARE(m_controls->put_currentItem(second), S_OK);
        QCOMPARE(CurrentTitle(), QStringLiteral("A1"));
        QVERIFY(State() != WmpPlayStatePlaying);
        m_controls->play();
        QCOMPARE(State(), qint32(WmpPlayStatePlaying));
        IWMPPlaylist* current = nullptr;
        m_wmp->get_currentPlaylist(&current);
        bool same = false;
        current->get_isIdentical(other, &same);
        QVERIFY(same);

        // An item outside the current list plays as a list of its own.
        const quint32 c = Song(QStringLiteral("C3"), 10);
        Q_UNUSED(c);
        IWMPPlaylist* all = nullptr;
        m_media->getAll(&all);
        IWMPMedia* third = nullptr;
        all->get_item(2, &third);
        QCOMPARE(m_controls->playItem(third), S_OK);
        QCOMPARE(CurrentTitle(), QStringLiteral("C3"));
        current->Release();
        m_wmp->get_currentPlaylist(&current);
        qint32 count = 0;
        current->get_count(&count);
        QCOMPARE(count, 1);
        for (IUnknown* object : std::initializer_list<IUnknown*>{list, other, second, current, all, third})
            object->Release();
    }

    void clockAndEndOfTrack()
    {
        CTypedSink& typed = *m_typed;
        Advise(IID_IWMPEvents, &typed);
        IWMPPlaylist* list = Playlist(QStringLiteral("L"), {Song(QStringLiteral("One"), 10), Song(QStringLiteral("Two"), 20),
                                                            Song(QStringLiteral("Three"), 5)});
        m_wmp->put_currentPlaylist(list);
        m_player->FlushEvents();
        typed.log.clear();

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
        QCOMPARE(State(), qint32(WmpPlayStateStopped));
        QCOMPARE(Position(), 0.0);
        m_player->FlushEvents();
        QCOMPARE(typed.log, (QStringList{"PlayStateChange(8)", "CurrentItemChange(Two)", "OpenStateChange(13)",
                                        "PlayStateChange(3)", "PlayStateChange(2)", "PlayStateChange(3)",
                                        "PositionChange(1,4.5)", "PlayStateChange(8)", "CurrentItemChange(Three)",
                                        "OpenStateChange(13)", "PlayStateChange(3)", "PlayStateChange(8)",
                                        "PlayStateChange(1)"}));
        list->Release();
    }

    // On the wall clock a track ends by itself, without anyone asking for the position.
    void wallClockEndsTracks()
    {
        CTypedSink& typed = *m_typed;
        m_player->Clock().SetManual(false);
        Advise(IID_IWMPEvents, &typed);
        IWMPPlaylist* list = Playlist(QStringLiteral("L"), {Song(QStringLiteral("Short"), 0.04)});
        m_wmp->put_currentPlaylist(list);
        QTRY_VERIFY(typed.log.contains(QStringLiteral("PlayStateChange(1)")));
        QCOMPARE(typed.log.filter(QStringLiteral("PlayStateChange")),
                 (QStringList{"PlayStateChange(3)", "PlayStateChange(8)", "PlayStateChange(1)"}));
        list->Release();
    }

    void loopAndShuffle()
    {
        QVector<quint32> songs;
        for (int i = 1; i <= 5; ++i)
            songs << Song(QStringLiteral("S%1").arg(i), 1);
        IWMPPlaylist* list = Playlist(QStringLiteral("L"), songs);
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
        QCOMPARE(State(), qint32(WmpPlayStatePlaying));

        // Shuffled, every item plays once, then the list is over.
        m_settings->setMode(QStringLiteral("loop"), false);
        m_settings->setMode(QStringLiteral("shuffle"), true);
        bool shuffle = false;
        m_settings->getMode(QStringLiteral("shuffle"), &shuffle);
        QVERIFY(shuffle);
        QStringList played{CurrentTitle()};
        for (int i = 0; i < 4; ++i) {
            m_player->Advance(1000);
            played << CurrentTitle();
        }
        m_player->Advance(1000);
        QCOMPARE(State(), qint32(WmpPlayStateStopped));
        QCOMPARE(QSet<QString>(played.begin(), played.end()).size(), 5);
        QVERIFY(played != (QStringList{"S1", "S2", "S3", "S4", "S5"}));
        list->Release();
    }

    void volumeAndMute()
    {
        qint32 volume = -1;
        m_settings->get_volume(&volume);
        QCOMPARE(volume, 50);
        m_settings->put_volume(150);
        m_settings->get_volume(&volume);
        QCOMPARE(volume, 100);
        m_settings->put_volume(-3);
        m_settings->get_volume(&volume);
        QCOMPARE(volume, 0);
        bool mute = true;
        m_settings->get_mute(&mute);
        QVERIFY(!mute);
        m_settings->put_mute(true);
        m_settings->get_mute(&mute);
        QVERIFY(mute);
    }

    void faultsAndCounters()
    {
        const char* const getter = "IWMPPlayer4::get_mediaCollection";
        m_player->ResetCallCounts();
        m_player->FailCall(QString::fromLatin1(getter), E_FAIL);
        IWMPMediaCollection* collection = nullptr;
        QCOMPARE(m_wmp->get_mediaCollection(&collection), E_FAIL);
        QVERIFY(!collection);
        QCOMPARE(m_wmp->get_mediaCollection(&collection), S_OK);
        QVERIFY(collection);
        collection->Release();
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
        qint32 volume = 0;
        QCOMPARE(m_settings->get_volume(&volume), RPC_E_CALL_REJECTED);
        m_player->SetBusy(false);
        QCOMPARE(m_settings->get_volume(&volume), S_OK);

        // A getter that succeeds with nothing.
        m_player->SetReturnNull(QStringLiteral("IWMPPlayer4::get_settings"), true);
        IWMPSettings* settings = reinterpret_cast<IWMPSettings*>(this);
        QCOMPARE(m_wmp->get_settings(&settings), S_OK);
        QVERIFY(!settings);

        m_wmp->get_mediaCollection(&collection);
        m_player->SetInterfaceAvailable(QStringLiteral("IWMPMediaCollection2"), false);
        QVERIFY(!Query<IWMPMediaCollection2>(collection, IID_IWMPMediaCollection2));
        m_player->SetInterfaceAvailable(QStringLiteral("IWMPMediaCollection2"), true);
        IWMPMediaCollection2* second = Query<IWMPMediaCollection2>(collection, IID_IWMPMediaCollection2);
        QVERIFY(second);
        second->Release();
        collection->Release();

        // The error object carries what the player raised.
        CTypedSink& typed = *m_typed;
        Advise(IID_IWMPEvents, &typed);
        m_player->RaiseError(MakeHResult(0xC00D1197u), QStringLiteral("cannot play"));
        QTRY_COMPARE(typed.log, QStringList{"Error()"});
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

    void application()
    {
        CTypedSink& typed = *m_typed;
        Advise(IID_IWMPEvents, &typed);
        IWMPPlayerApplication* application = nullptr;
        QCOMPARE(m_wmp->get_playerApplication(&application), S_OK);
        bool docked = true;
        application->get_playerDocked(&docked);
        QVERIFY(!docked);

        m_player->SetLaunchDelay(30);
        m_player->Launch();
        QVERIFY(!m_player->IsRunning());
        QTRY_VERIFY(m_player->IsRunning());
        application->get_playerDocked(&docked);
        QVERIFY(docked);
        QCOMPARE(m_player->LaunchCount(), 1);

        IWMPPlaylist* list = Playlist(QStringLiteral("L"), {Song(QStringLiteral("One"), 10)});
        m_wmp->put_currentPlaylist(list);
        m_player->Quit();
        QCOMPARE(State(), qint32(WmpPlayStateStopped));
        application->switchToPlayerApplication();
        application->switchToControl();
        m_player->Reconnect();
        QCOMPARE(m_player->ForegroundCount(), 1);
        QTRY_VERIFY(typed.log.contains(QStringLiteral("PlayerReconnect()")));
        QCOMPARE(typed.log.filter(QStringLiteral("Docked")).size(), 2);
        const QStringList tail = typed.log.mid(typed.log.size() - 4);
        QCOMPARE(tail, (QStringList{"PlayerDockedStateChange()", "SwitchedToPlayerApplication()",
                                    "SwitchedToControl()", "PlayerReconnect()"}));
        list->Release();
        application->Release();
    }

    // Objects of a player that is gone answer with a code instead of touching freed memory.
    void objectsOutlivingTheirPlayer()
    {
        CTestAxHost host(nullptr);
        host.SetControl(kControlClsid);
        IWMPPlayer4* wmp = nullptr;
        host.QueryInterface(IID_IWMPPlayer4, reinterpret_cast<void**>(&wmp));
        IWMPPlaylistCollection* playlists = nullptr;
        wmp->get_playlistCollection(&playlists);
        wmp->Release();
        host.Clear();
        IWMPPlaylistArray* all = nullptr;
        QCOMPARE(playlists->getAll(&all), WMP_E_DISCONNECTED);
        playlists->Release();
    }
};

SV_TEST_MAIN(TestWmpPlayer)
#include "tst_wmpplayer.moc"
