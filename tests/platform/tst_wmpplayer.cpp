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
            texts << argument.toString();
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

QVariant Object(IUnknown* object) { return QVariant::fromValue(static_cast<void*>(object)); }

// Advised on both connection points: logs what arrives through each face as lines of the same form.
class CSink final : public IWMPEvents, public _WMPOCXEvents
{
public:
    QStringList typed, dispatched;
    int refs = 1;

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IWMPEvents)
            *object = static_cast<IWMPEvents*>(this);
        else if (iid == DIID__WMPOCXEvents)
            *object = static_cast<_WMPOCXEvents*>(this);
        else
            return E_NOINTERFACE;
        ++refs;
        return S_OK;
    }
    quint32 AddRef() override { return quint32(++refs); }
    quint32 Release() override { return quint32(--refs); }
    HRESULT Invoke(const QString& name, const QVariantList& arguments) override
    {
        dispatched << EventLine(name, arguments);
        return S_OK;
    }

    void OpenStateChange(qint32 s) override { Log(__func__, {s}); }
    void PlayStateChange(qint32 s) override { Log(__func__, {s}); }
    void PositionChange(double a, double b) override { Log(__func__, {a, b}); }
    void CurrentItemChange(IUnknown* item) override { Log(__func__, {Object(item)}); }
    void CurrentPlaylistChange(qint32 c) override { Log(__func__, {c}); }
    void PlaylistChange(IUnknown* p, qint32 c) override { Log(__func__, {Object(p), c}); }
    void MediaChange(IUnknown* item) override { Log(__func__, {Object(item)}); }
    void ModeChange(const QString& m, bool on) override { Log(__func__, {m, on}); }
    void Error() override { Log(__func__); }
    void MediaCollectionChange() override { Log(__func__); }
    void MediaCollectionMediaAdded(IUnknown* item) override { Log(__func__, {Object(item)}); }
    void MediaCollectionMediaRemoved(IUnknown* item) override { Log(__func__, {Object(item)}); }
    void MediaCollectionAttributeStringAdded(const QString& a, const QString& v) override { Log(__func__, {a, v}); }
    void MediaCollectionAttributeStringRemoved(const QString& a, const QString& v) override { Log(__func__, {a, v}); }
    void MediaCollectionAttributeStringChanged(const QString& a, const QString& o, const QString& n) override
    {
        Log(__func__, {a, o, n});
    }
    void PlaylistCollectionChange() override { Log(__func__); }
    void PlaylistCollectionPlaylistAdded(const QString& n) override { Log(__func__, {n}); }
    void PlaylistCollectionPlaylistRemoved(const QString& n) override { Log(__func__, {n}); }
    void PlayerDockedStateChange() override { Log(__func__); }
    void PlayerReconnect() override { Log(__func__); }
    void SwitchedToPlayerApplication() override { Log(__func__); }
    void SwitchedToControl() override { Log(__func__); }

private:
    void Log(const char* name, const QVariantList& arguments = {}) { typed << EventLine(name, arguments); }
};

// The host's side of the remote handshake.
class CTestRemoteHost final : public IServiceProvider, public IWMPRemoteMediaServices
{
public:
    explicit CTestRemoteHost(const QString& serviceType) : m_type(serviceType) {}
    int refs = 1;

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IServiceProvider)
            *object = static_cast<IServiceProvider*>(this);
        else if (iid == IID_IWMPRemoteMediaServices)
            *object = static_cast<IWMPRemoteMediaServices*>(this);
        else
            return E_NOINTERFACE;
        ++refs;
        return S_OK;
    }
    quint32 AddRef() override { return quint32(++refs); }
    quint32 Release() override { return quint32(--refs); }
    HRESULT QueryService(const QUuid& service, const IID& iid, void** object) override
    {
        return service == SID_WMPRemoteMediaServices ? QueryInterface(iid, object) : E_NOINTERFACE;
    }
    HRESULT GetServiceType(BSTR* type) override { return Text(m_type, type); }
    HRESULT GetApplicationName(BSTR* name) override { return Text(QStringLiteral("Sonvero"), name); }
    HRESULT GetScriptableObject(BSTR*, IUnknown**) override { return E_NOTIMPL; }
    HRESULT GetCustomUIMode(BSTR*) override { return E_NOTIMPL; }

private:
    static HRESULT Text(const QString& text, BSTR* out)
    {
        *out = SysAllocString(reinterpret_cast<const char16_t*>(text.utf16()));
        return S_OK;
    }
    QString m_type;
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

void Release(std::initializer_list<IUnknown*> objects)
{
    for (IUnknown* object : objects)
        object->Release();
}

} // namespace

class TestWmpPlayer : public QObject
{
    Q_OBJECT
private:
    CAxControlHost* m_host = nullptr;
    CSimPlayer* m_player = nullptr;  // the control's private player
    IWMPPlayer4* m_wmp = nullptr;
    IWMPControls* m_controls = nullptr;
    IWMPSettings* m_settings = nullptr;
    IWMPMediaCollection* m_media = nullptr;
    IWMPPlaylistCollection* m_playlists = nullptr;
    // Outlives the control, whatever the test left advised.
    CSink* m_sink = nullptr;

    quint32 Song(const QString& title, double seconds)
    {
        return m_player->AddMedia(
            {{"Title", title}, {"Author", "A"}, {"WM/AlbumTitle", "X"}, {"Duration", QString::number(seconds)}});
    }

    IWMPPlaylist* Playlist(const QString& name, const QVector<quint32>& songs)
    {
        m_player->AddPlaylist(name, songs);
        return m_player->NewPlaylistObject(m_player->Library().Playlists().last());
    }

    QString CurrentTitle()
    {
        const CMediaRef media = m_player->CurrentMedia();
        return media ? media->Value(AttrTitle) : QString();
    }

    // Advises the sink on the control's connection point of that kind.
    HRESULT Connect(const IID& kind)
    {
        IConnectionPointContainer* container = nullptr;
        IConnectionPoint* point = nullptr;
        quint32 cookie = 0;
        m_wmp->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
        HRESULT hr = container->FindConnectionPoint(kind, &point);
        if (SUCCEEDED(hr)) {
            hr = point->Advise(static_cast<IWMPEvents*>(m_sink), &cookie);
            point->Release();
        }
        container->Release();
        return hr;
    }

private slots:
    void init()
    {
        m_sink = new CSink;
        m_host = new CAxControlHost();
        QVERIFY(m_host->SetControl(kControlClsid));
        m_player = m_host->AttachedPlayer();
        m_player->Clock().SetManual(true);
        QCOMPARE(m_host->QueryInterface(IID_IWMPPlayer4, reinterpret_cast<void**>(&m_wmp)), S_OK);
        m_wmp->get_controls(&m_controls);
        m_wmp->get_settings(&m_settings);
        m_wmp->get_mediaCollection(&m_media);
        m_wmp->get_playlistCollection(&m_playlists);
    }

    void cleanup()
    {
        Release({m_controls, m_settings, m_media, m_playlists, m_wmp});
        delete m_host;
        // The control going away lets its sinks go.
        QCOMPARE(m_sink->refs, 1);
        delete m_sink;
    }

    // The remote row's handshake details are shown end to end by the control host's tests.
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
        QVERIFY(host.SetControl(kControlClsid.toLower()));
        QCOMPARE(host.Handshake().asked, withAggregate);
        QCOMPARE(host.IsRemote(), remote);
        // Remote: the running application's library; otherwise a private player.
        QCOMPARE(host.AttachedPlayer() == CSimPlayer::Instance(), remote);
        IWMPPlayer4* wmp = nullptr;
        QCOMPARE(host.QueryInterface(IID_IWMPPlayer4, reinterpret_cast<void**>(&wmp)), S_OK);
        bool isRemote = !remote;
        QVERIFY(wmp->get_isRemote(&isRemote) == S_OK && isRemote == remote);
        IWMPPlaylistCollection* playlists = nullptr;
        wmp->get_playlistCollection(&playlists);
        wmp->Release();
        host.Clear();
        QCOMPARE(services.refs, 1);
        // Objects of a private player that is gone answer with a code instead of touching freed memory.
        IWMPPlaylistArray* all = nullptr;
        QCOMPARE(playlists->getAll(&all), remote ? S_OK : WMP_E_DISCONNECTED);
        if (all)
            all->Release();
        playlists->Release();
    }

    void eventsInOrderToBothSinkKinds()
    {
        QCOMPARE(Connect(IID_IWMPEvents), S_OK);
        QCOMPARE(Connect(DIID__WMPOCXEvents), S_OK);

        IWMPMedia* media = m_player->NewMediaObject(m_player->Library().FindById(Song("One", 10)));
        IWMPPlaylist* playlist = nullptr;
        m_playlists->newPlaylist("P", &playlist);
        playlist->appendItem(media);
        media->setItemInfo(QStringLiteral("Author"), QStringLiteral("B"));
        m_wmp->put_currentPlaylist(playlist);

        // Nothing arrives before the event loop runs.
        QVERIFY(m_sink->typed.isEmpty() && m_sink->dispatched.isEmpty());
        const QStringList expected = {
            "MediaCollectionMediaAdded(One)", "MediaCollectionAttributeStringAdded(Title,One)",
            "MediaCollectionAttributeStringAdded(Author,A)", "MediaCollectionAttributeStringAdded(WM/AlbumTitle,X)",
            "PlaylistCollectionPlaylistAdded(P)", "PlaylistCollectionChange()", "PlaylistChange(P,6)",
            "MediaChange(One)", "MediaCollectionAttributeStringChanged(Author,A,B)", "CurrentPlaylistChange(0)",
            "CurrentItemChange(One)", "OpenStateChange(13)", "PlayStateChange(3)"};
        QTRY_COMPARE(m_sink->typed, expected);
        QCOMPARE(m_sink->dispatched, expected);

        m_sink->typed.clear();
        m_player->SetSynchronousEvents(true);
        m_playlists->remove(playlist);
        m_media->remove(media, false);
        QCOMPARE(m_sink->typed,
                 (QStringList{"PlaylistCollectionPlaylistRemoved(P)", "PlaylistCollectionChange()",
                              "MediaCollectionMediaRemoved(One)", "MediaCollectionAttributeStringRemoved(Title,One)",
                              "MediaCollectionAttributeStringRemoved(Author,B)",
                              "MediaCollectionAttributeStringRemoved(WM/AlbumTitle,X)"}));
        Release({media, playlist});
    }

    void autoStart()
    {
        const quint32 a = Song("A1", 10), b = Song("B2", 10);
        IWMPPlaylist* list = Playlist("L", {a, b});
        // On by default.
        QCOMPARE(m_wmp->put_currentPlaylist(list), S_OK);
        QVERIFY(m_player->PlayState() == WmpPlayStatePlaying && CurrentTitle() == "A1");

        // Off, a new list and a new item wait for play.
        m_settings->put_autoStart(false);
        m_controls->stop();
        IWMPPlaylist* other = Playlist("M", {b, a});
        QCOMPARE(m_wmp->put_currentPlaylist(other), S_OK);
        IWMPMedia* second = nullptr;
        other->get_item(1, &second);
        QCOMPARE(m_controls->put_currentItem(second), S_OK);
        QVERIFY(CurrentTitle() == "A1" && m_player->PlayState() != WmpPlayStatePlaying);
        m_controls->play();
        QCOMPARE(m_player->PlayState(), qint32(WmpPlayStatePlaying));
        QVERIFY(m_player->CurrentPlaylist() == m_player->Library().Playlists().last());

        Release({list, other, second});
    }

    void clockAndEndOfTrack()
    {
        Connect(IID_IWMPEvents);
        IWMPPlaylist* list = Playlist("L", {Song("One", 10), Song("Two", 20), Song("Three", 5)});
        m_wmp->put_currentPlaylist(list);
        m_player->FlushEvents();
        m_sink->typed.clear();

        m_player->Advance(11000);
        QCOMPARE(CurrentTitle(), QStringLiteral("Two"));
        QCOMPARE(m_player->PositionMs(), qint64(1000));
        m_controls->pause();
        m_player->Advance(5000);
        QCOMPARE(m_player->PositionMs(), qint64(1000));
        m_controls->play();
        QCOMPARE(m_controls->put_currentPosition(4.5), S_OK);
        QCOMPARE(m_player->PositionMs(), qint64(4500));

        // Two ends at 20 s, Three plays its 5 s, then the list is over.
        m_player->Advance(15500 + 6000);
        QCOMPARE(m_player->PlayState(), qint32(WmpPlayStateStopped));
        QCOMPARE(m_player->PositionMs(), qint64(0));
        m_player->FlushEvents();
        QCOMPARE(m_sink->typed,
                 (QStringList{"PlayStateChange(8)", "CurrentItemChange(Two)", "OpenStateChange(13)",
                              "PlayStateChange(3)", "PlayStateChange(2)", "PlayStateChange(3)", "PositionChange(1,4.5)",
                              "PlayStateChange(8)", "CurrentItemChange(Three)", "OpenStateChange(13)",
                              "PlayStateChange(3)", "PlayStateChange(8)", "PlayStateChange(1)"}));
        list->Release();

        // On the wall clock a track ends by itself, without anyone asking for the position.
        m_player->Clock().SetManual(false);
        m_sink->typed.clear();
        list = Playlist("W", {Song("Short", 0.04)});
        m_wmp->put_currentPlaylist(list);
        QTRY_VERIFY(m_sink->typed.contains(QStringLiteral("PlayStateChange(1)")));
        list->Release();
    }

    // Failing once and a getter that succeeds with nothing are shown by the control host's tests.
    void faultsUntilClearedAndBusy()
    {
        m_player->FailCall(QStringLiteral("IWMPMediaCollection::getAll"), E_OUTOFMEMORY, -1);
        IWMPPlaylist* all = nullptr;
        QCOMPARE(m_media->getAll(&all), E_OUTOFMEMORY);
        QCOMPARE(m_media->getAll(&all), E_OUTOFMEMORY);
        QCOMPARE(m_player->CallCount(QStringLiteral("IWMPMediaCollection::getAll")), 2);
        m_player->ClearFaults();
        // A busy player rejects every call.
        m_player->SetBusy(true);
        QCOMPARE(m_controls->play(), RPC_E_CALL_REJECTED);
        m_player->SetBusy(false);
        QCOMPARE(m_media->getAll(&all), S_OK);
        all->Release();
    }
};

SV_TEST_MAIN(TestWmpPlayer)
#include "tst_wmpplayer.moc"
