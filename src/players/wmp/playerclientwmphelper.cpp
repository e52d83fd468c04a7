#include "players/wmp/playerclientwmphelper.h"

#include <QSettings>
#include <QTimer>

#include "core/log.h"
#include "core/resultcodes.h"
#include "players/wmp/axwidgetwmp.h"
#include "players/wmp/playerclientwmp.h"

namespace {

const char* const kSyncUuidKey = "plwmp/syncuuid";
const char* const kPlaylistSyncUuidKey = "plwmp/plsyncuuid";

QUuid ReadUuid(const char* key)
{
    return QUuid(QSettings().value(QLatin1String(key)).toString().trimmed());
}

BSTR AllocString(const QString& text)
{
    return SysAllocStringLen(reinterpret_cast<const char16_t*>(text.utf16()), quint32(text.size()));
}

// Hands the caller its own reference to a cached object.
template <class T>
HRESULT HandOut(T* cached, T** out)
{
    cached->AddRef();
    *out = cached;
    return S_OK;
}

// A getter of an automation object that the player hands out through get and the helper keeps in cache
// once fetched; method and getName name the getter and the player's call in the log.
template <class T>
HRESULT GetCached(IWMPPlayer4* player, HRESULT (IWMPPlayer4::*get)(T**), T*& cache, const char* method,
                  const char* getName, T** out)
{
    if (!out)
        return E_POINTER;
    ReleaseAndClear(*out);
    if (!cache) {
        if (!player)
            return SV_E_NO_PLAYER_OBJECT;
        T* fetched = nullptr;
        const HRESULT hr = (player->*get)(&fetched);
        if (FAILED(hr)) {
            WriteLog("CPlayerClientWMPHelper::%s: %s failed %x", method, getName, hr);
            return hr;
        }
        if (!fetched) {
            WriteLog("CPlayerClientWMPHelper::%s: no interface", method);
            return E_FAIL;
        }
        cache = fetched;
    }
    return HandOut(cache, out);
}

const QString kEquals = QStringLiteral("Equals");
const QString kAudio = QStringLiteral("audio");
const QString kAuthor = QStringLiteral("Author");
const QString kAlbumTitle = QStringLiteral("WM/AlbumTitle");

} // namespace

CPlayerClientWMPHelper::CPlayerClientWMPHelper() : QObject(nullptr), m_playTimer(new QTimer(this))
{
    for (int& index : m_attributeIndex)
        index = -1;
    m_playTimer->setSingleShot(true);
    m_playTimer->setInterval(1000);
    connect(m_playTimer, &QTimer::timeout, this, &CPlayerClientWMPHelper::OnPlay);

    m_syncUuid = ReadUuid(kSyncUuidKey);
    m_playlistSyncUuid = ReadUuid(kPlaylistSyncUuidKey);
    WriteLog("CPlayerClientWMPHelper::CPlayerClientWMPHelper: sync uuid:{%ls}", qUtf16Printable(m_syncUuid.toString()));
    WriteLog("CPlayerClientWMPHelper::CPlayerClientWMPHelper: playlist sync uuid:{%ls}",
             qUtf16Printable(m_playlistSyncUuid.toString()));
}

CPlayerClientWMPHelper::~CPlayerClientWMPHelper()
{
    // A sink left advised would be called after this object is gone.
    Disconnect();
    ReleaseAndClear(m_controls);
    ReleaseAndClear(m_settings);
    ReleaseAndClear(m_playlistCollection);
    ReleaseAndClear(m_mediaCollection2);
    ReleaseAndClear(m_mediaCollection);
    ReleaseAndClear(m_connectionPoint);
    ReleaseAndClear(m_player);
    delete m_widget;
    m_widget = nullptr;
}

HRESULT CPlayerClientWMPHelper::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IServiceProvider)
        *object = static_cast<IServiceProvider*>(this);
    else if (iid == IID_IWMPRemoteMediaServices)
        *object = static_cast<IWMPRemoteMediaServices*>(this);
    else if (iid == IID_IWMPEvents)
        *object = static_cast<IWMPEvents*>(this);
    else if (iid == DIID__WMPOCXEvents)
        *object = static_cast<_WMPOCXEvents*>(this);
    else
        return WMDM::CIUnknownBase::QueryInterface(iid, object);
    InternalAddRef();
    return S_OK;
}

// ---- control and connection ---------------------------------------------------------------------

HRESULT CPlayerClientWMPHelper::Initialize()
{
    for (int& index : m_attributeIndex)
        index = -1;

    CAxWidgetWMP* widget = new CAxWidgetWMP(this);
    widget->SetControl(QStringLiteral("{6BF52A52-394A-11d3-B153-00C04F79FAA6}"));
    if (m_widget && m_widget != widget) {
        Disconnect();
        ReleaseCachedInterfaces();
        ReleaseAndClear(m_connectionPoint);
        ReleaseAndClear(m_player);
        delete m_widget;
    }
    m_widget = widget;
    WriteLog("CPlayerClientWMPHelper::Initialize: hwnd=%x", uint(m_widget->WindowHandle()));

    void* face = nullptr;
    HRESULT hr = m_widget->QueryInterface(IID_IWMPPlayer4, &face);
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMPHelper::Initialize: queryInterface failed %x", hr);
        return hr;
    }
    ReleaseAndClear(m_player);
    m_player = static_cast<IWMPPlayer4*>(face);

    face = nullptr;
    hr = m_player->QueryInterface(IID_IConnectionPointContainer, &face);
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMPHelper::Initialize: QI conn pt failed %x", hr);
        return hr;
    }
    IConnectionPointContainer* container = static_cast<IConnectionPointContainer*>(face);

    ReleaseAndClear(m_connectionPoint);
    hr = container->FindConnectionPoint(IID_IWMPEvents, &m_connectionPoint);
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMPHelper::Initialize: FindConnectionPoint(ev) failed %x", hr);
        hr = container->FindConnectionPoint(DIID__WMPOCXEvents, &m_connectionPoint);
        if (FAILED(hr)) {
            WriteLog("CPlayerClientWMPHelper::Initialize: FindConnectionPoint(ev.disp) failed %x", hr);
            container->Release();
            return hr;
        }
    }
    hr = m_connectionPoint->Advise(static_cast<IWMPEvents*>(this), &m_cookie);
    container->Release();
    if (FAILED(hr)) {
        m_cookie = 0;
        WriteLog("CPlayerClientWMPHelper::Initialize: Advise failed %x", hr);
        return hr;
    }
    return S_OK;
}

void CPlayerClientWMPHelper::Disconnect()
{
    if (!m_cookie || !m_connectionPoint)
        return;
    const quint32 cookie = m_cookie;
    m_cookie = 0;
    const HRESULT hr = m_connectionPoint->Unadvise(cookie);
    if (FAILED(hr))
        WriteLog("CPlayerClientWMPHelper::Disconnect: Unadvise failed %x", hr);
}

// ---- automation objects -------------------------------------------------------------------------

HRESULT CPlayerClientWMPHelper::GetPlayer(IWMPPlayer4** player)
{
    if (!player)
        return E_POINTER;
    ReleaseAndClear(*player);
    if (!m_player) {
        WriteLog("CPlayerClientWMPHelper::GetPlayer: no player");
        return SV_E_NO_PLAYER_OBJECT;
    }
    return HandOut(m_player, player);
}

HRESULT CPlayerClientWMPHelper::GetMediaCollection(IWMPMediaCollection** collection)
{
    return GetCached(m_player, &IWMPPlayer4::get_mediaCollection, m_mediaCollection, "GetMediaCollection",
                     "get_mediaCollection", collection);
}

HRESULT CPlayerClientWMPHelper::GetMediaCollection2(IWMPMediaCollection2** collection)
{
    if (!collection)
        return E_POINTER;
    ReleaseAndClear(*collection);
    if (!m_mediaCollection2) {
        IWMPMediaCollection* base = nullptr;
        HRESULT hr = GetMediaCollection(&base);
        if (FAILED(hr)) {
            WriteLog("CPlayerClientWMPHelper::GetMediaCollection2: GetMediaCollection failed %x", hr);
            return hr;
        }
        void* face = nullptr;
        hr = base->QueryInterface(IID_IWMPMediaCollection2, &face);
        base->Release();
        if (FAILED(hr)) {
            WriteLog("CPlayerClientWMPHelper::GetMediaCollection2: QI(v2) failed %x", hr);
            return hr;
        }
        m_mediaCollection2 = static_cast<IWMPMediaCollection2*>(face);
    }
    return HandOut(m_mediaCollection2, collection);
}

HRESULT CPlayerClientWMPHelper::GetPlaylistCollection(IWMPPlaylistCollection** collection)
{
    return GetCached(m_player, &IWMPPlayer4::get_playlistCollection, m_playlistCollection, "GetPlaylistCollection",
                     "get_playlistCollection", collection);
}

HRESULT CPlayerClientWMPHelper::GetSettings(IWMPSettings** settings)
{
    return GetCached(m_player, &IWMPPlayer4::get_settings, m_settings, "GetSettings", "get_settings", settings);
}

HRESULT CPlayerClientWMPHelper::GetControls(IWMPControls** controls)
{
    return GetCached(m_player, &IWMPPlayer4::get_controls, m_controls, "GetControls", "get_controls", controls);
}

void CPlayerClientWMPHelper::ReleaseCachedInterfaces()
{
    ReleaseAndClear(m_controls);
    ReleaseAndClear(m_settings);
    ReleaseAndClear(m_playlistCollection);
    ReleaseAndClear(m_mediaCollection2);
    ReleaseAndClear(m_mediaCollection);
}

// ---- attributes and statistics ------------------------------------------------------------------

QString CPlayerClientWMPHelper::GetMediaAttributeName(int attribute)
{
    static const char* const names[AttributeCount] = {
        nullptr,          "Title",    "Author",          "WM/AlbumTitle", "WM/TrackNumber",
        "SourceURL",      "Duration", "ReleaseDateYear", "WM/Genre",      "UserCustom1",
    };
    if (attribute < 1 || attribute >= AttributeCount)
        return QString();
    return QString::fromLatin1(names[attribute]);
}

int CPlayerClientWMPHelper::GetMediaAttributeIndex(int attribute)
{
    if (attribute < 1 || attribute >= AttributeCount)
        return -1;
    if (m_attributeIndex[attribute] >= 0)
        return m_attributeIndex[attribute];
    IWMPMediaCollection* collection = nullptr;
    HRESULT hr = GetMediaCollection(&collection);
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMPHelper::GetMediaAttributeIndex: GetMediaCollection failed %x", hr);
        return -1;
    }
    qint32 atom = -1;
    hr = collection->getMediaAtom(GetMediaAttributeName(attribute), &atom);
    collection->Release();
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMPHelper::GetMediaAttributeIndex: getMediaAtom(%d) failed %x", attribute, hr);
        return -1;
    }
    if (atom < 0)
        return -1;
    m_attributeIndex[attribute] = atom;
    return atom;
}

namespace {

// One query with the conditions (attribute, value) all "Equals"; logs under the statistics' labels.
HRESULT MakeQuery(IWMPMediaCollection2* collection, const QList<QPair<QString, QString>>& conditions,
                  const char* method, const char* label, IWMPQuery** query)
{
    HRESULT hr = collection->createQuery(query);
    if (FAILED(hr)) {
        WriteLog("CCPlayerClientWMPHelper::%s:[%s] createQuery failed %x", method, label, hr);
        return hr;
    }
    for (const auto& condition : conditions) {
        hr = (*query)->addCondition(condition.first, kEquals, condition.second);
        if (FAILED(hr)) {
            WriteLog("CCPlayerClientWMPHelper::%s:[%s] addCondition failed %x", method, label, hr);
            (*query)->Release();
            *query = nullptr;
            return hr;
        }
    }
    return S_OK;
}

HRESULT CountSongs(IWMPMediaCollection2* collection, const QList<QPair<QString, QString>>& conditions,
                   const char* method, int* count)
{
    IWMPQuery* query = nullptr;
    HRESULT hr = MakeQuery(collection, conditions, method, "songcount", &query);
    if (FAILED(hr))
        return hr;
    IWMPPlaylist* songs = nullptr;
    hr = collection->getPlaylistByQuery(query, kAudio, QString(), false, &songs);
    query->Release();
    if (FAILED(hr) || !songs) {
        if (SUCCEEDED(hr))
            hr = E_FAIL;
        WriteLog("CCPlayerClientWMPHelper::%s:[songcount] getPlaylistByQuery failed %x", method, hr);
        return hr;
    }
    qint32 n = 0;
    hr = songs->get_count(&n);
    songs->Release();
    if (FAILED(hr)) {
        WriteLog("CCPlayerClientWMPHelper::%s:[songcount] get_count failed %x", method, hr);
        return hr;
    }
    *count = n;
    return S_OK;
}

// The distinct values of attribute among the songs that meet the conditions, sorted.
HRESULT GetStrings(IWMPMediaCollection2* collection, const QList<QPair<QString, QString>>& conditions,
                   const QString& attribute, const char* method, const char* label, IWMPStringCollection** strings,
                   int* count)
{
    IWMPQuery* query = nullptr;
    HRESULT hr = MakeQuery(collection, conditions, method, label, &query);
    if (FAILED(hr))
        return hr;
    hr = collection->getStringCollectionByQuery(attribute, query, kAudio, attribute, true, strings);
    query->Release();
    if (FAILED(hr) || !*strings) {
        if (SUCCEEDED(hr))
            hr = E_FAIL;
        WriteLog("CCPlayerClientWMPHelper::%s:[%s] getStringCollectionByQuery failed %x", method, label, hr);
        return hr;
    }
    qint32 n = 0;
    hr = (*strings)->get_count(&n);
    if (FAILED(hr)) {
        WriteLog("CCPlayerClientWMPHelper::%s:[%s] get_count failed %x", method, label, hr);
        (*strings)->Release();
        *strings = nullptr;
        return hr;
    }
    *count = n;
    return S_OK;
}

} // namespace

HRESULT CPlayerClientWMPHelper::GetArtistInfo(const QString& artist, int flags, CArtistInfo& info)
{
    CIUnknownPtr<IWMPMediaCollection2> collection;
    HRESULT hr = GetMediaCollection2(collection.Out());
    if (FAILED(hr)) {
        WriteLog("CCPlayerClientWMPHelper::GetArtistInfo: GetMediaCollection2 failed %x", hr);
        return hr;
    }
    const QList<QPair<QString, QString>> conditions{{kAuthor, artist}};
    if (flags & PlayerClient::InfoSongCount) {
        hr = CountSongs(collection, conditions, "GetArtistInfo", &info.songCount);
        if (FAILED(hr))
            return hr;
        info.flags |= PlayerClient::InfoSongCount;
    }
    if (flags & PlayerClient::InfoSecondPart) {
        CIUnknownPtr<IWMPStringCollection> albums;
        int count = 0;
        hr = GetStrings(collection, conditions, kAlbumTitle, "GetArtistInfo", "albumcount", albums.Out(), &count);
        if (FAILED(hr))
            return hr;
        info.albumCount = count;
        info.flags |= PlayerClient::InfoSecondPart;
    }
    return S_OK;
}

HRESULT CPlayerClientWMPHelper::GetAlbumInfo(const QString& album, int flags, CAlbumInfo& info)
{
    CIUnknownPtr<IWMPMediaCollection2> collection;
    HRESULT hr = GetMediaCollection2(collection.Out());
    if (FAILED(hr)) {
        WriteLog("CCPlayerClientWMPHelper::GetAlbumInfo: GetMediaCollection2 failed %x", hr);
        return hr;
    }
    const QList<QPair<QString, QString>> conditions{{kAlbumTitle, album}};
    if (flags & PlayerClient::InfoSongCount) {
        hr = CountSongs(collection, conditions, "GetAlbumInfo", &info.songCount);
        if (FAILED(hr))
            return hr;
        info.flags |= PlayerClient::InfoSongCount;
    }
    if (flags & PlayerClient::InfoSecondPart) {
        CIUnknownPtr<IWMPStringCollection> artists;
        int count = 0;
        hr = GetStrings(collection, conditions, kAuthor, "GetAlbumInfo", "artistlist", artists.Out(), &count);
        if (FAILED(hr))
            return hr;
        for (int i = 0; i < count; ++i) {
            QString name;
            hr = artists->item(i, &name);
            if (FAILED(hr)) {
                WriteLog("CCPlayerClientWMPHelper::GetAlbumInfo:[artistlist] item(%d) failed %x", i, hr);
                return hr;
            }
            info.artists.append(name);
        }
        info.flags |= PlayerClient::InfoSecondPart;
    }
    return S_OK;
}

HRESULT CPlayerClientWMPHelper::GetArtistAlbumInfo(const QString& artist, const QString& album, int flags,
                                                   CAlbumInfo& info)
{
    CIUnknownPtr<IWMPMediaCollection2> collection;
    HRESULT hr = GetMediaCollection2(collection.Out());
    if (FAILED(hr)) {
        WriteLog("CCPlayerClientWMPHelper::GetArtistAlbumInfo: GetMediaCollection2 failed %x", hr);
        return hr;
    }
    if (flags & PlayerClient::InfoSongCount) {
        hr = CountSongs(collection, {{kAuthor, artist}, {kAlbumTitle, album}}, "GetArtistAlbumInfo", &info.songCount);
        if (FAILED(hr))
            return hr;
        info.flags |= PlayerClient::InfoSongCount;
    }
    if (flags & PlayerClient::InfoSecondPart) {
        info.artists = QStringList{artist};
        info.flags |= PlayerClient::InfoSecondPart;
    }
    return S_OK;
}

// ---- sync identifiers ---------------------------------------------------------------------------

QUuid CPlayerClientWMPHelper::NewSyncUuid()
{
    m_syncUuid = QUuid::createUuid();
    QSettings().setValue(QLatin1String(kSyncUuidKey), m_syncUuid.toString());
    WriteLog("CPlayerClientWMPHelper::NewSyncUuid: new sync uuid:{%ls}", qUtf16Printable(m_syncUuid.toString()));
    return m_syncUuid;
}

QUuid CPlayerClientWMPHelper::NewPlaylistSyncUuid()
{
    m_playlistSyncUuid = QUuid::createUuid();
    QSettings().setValue(QLatin1String(kPlaylistSyncUuidKey), m_playlistSyncUuid.toString());
    WriteLog("CPlayerClientWMPHelper::NewPlaylistSyncUuid: new sync uuid:{%ls}",
             qUtf16Printable(m_playlistSyncUuid.toString()));
    return m_playlistSyncUuid;
}

// ---- play timer ---------------------------------------------------------------------------------

void CPlayerClientWMPHelper::StartPlayTimer()
{
    m_playTimer->start();
}

void CPlayerClientWMPHelper::StopPlayTimer()
{
    m_playTimer->stop();
}

bool CPlayerClientWMPHelper::IsPlayTimerActive() const
{
    return m_playTimer->isActive();
}

void CPlayerClientWMPHelper::OnPlay()
{
    WriteLog("CPlayerClientWMPHelper::OnPlay:");
    IWMPControls* controls = nullptr;
    HRESULT hr = GetControls(&controls);
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMPHelper::OnPlay: GetControls failed %x", hr);
        return;
    }
    hr = controls->play();
    controls->Release();
    if (FAILED(hr))
        WriteLog("CPlayerClientWMPHelper::OnPlay: play failed %x", hr);
}

// ---- remote services ----------------------------------------------------------------------------

HRESULT CPlayerClientWMPHelper::QueryService(const QUuid& service, const IID& iid, void** object)
{
    Q_UNUSED(service);
    return QueryInterface(iid, object);
}

HRESULT CPlayerClientWMPHelper::GetServiceType(BSTR* type)
{
    if (!type)
        return E_POINTER;
    *type = AllocString(QStringLiteral("Remote"));
    return *type ? S_OK : E_OUTOFMEMORY;
}

HRESULT CPlayerClientWMPHelper::GetApplicationName(BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = AllocString(QStringLiteral("Sonvero"));
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT CPlayerClientWMPHelper::GetScriptableObject(BSTR* name, IUnknown** object)
{
    Q_UNUSED(name);
    Q_UNUSED(object);
    return E_NOTIMPL;
}

HRESULT CPlayerClientWMPHelper::GetCustomUIMode(BSTR* file)
{
    Q_UNUSED(file);
    return E_NOTIMPL;
}

// ---- events -------------------------------------------------------------------------------------

void CPlayerClientWMPHelper::PlayingChanged()
{
    if (m_owner && m_suppress <= 0)
        m_owner->NotifyPlayingChanged();
}

void CPlayerClientWMPHelper::LibraryChanged(int kind, void* data)
{
    if (m_owner)
        m_owner->NotifyLibraryChanged(kind, data);
}

void CPlayerClientWMPHelper::AttributeStringEvent(const QString& attribute)
{
    if (attribute.compare(kAuthor, Qt::CaseInsensitive) == 0)
        LibraryChanged(CPlayerClientWMP::LibraryArtists, nullptr);
    else if (attribute.compare(kAlbumTitle, Qt::CaseInsensitive) == 0)
        LibraryChanged(CPlayerClientWMP::LibraryAlbums, nullptr);
    else if (attribute.compare(QLatin1String("Title"), Qt::CaseInsensitive) == 0)
        LibraryChanged(CPlayerClientWMP::LibraryTitles, nullptr);
}

void CPlayerClientWMPHelper::OpenStateChange(qint32 newState)
{
    WriteLog("CPlayerClientWMPHelper::OpenStateChange: st=%d", int(newState));
}

void CPlayerClientWMPHelper::PlayStateChange(qint32 newState)
{
    Q_UNUSED(newState);
    PlayingChanged();
}

void CPlayerClientWMPHelper::PositionChange(double oldPosition, double newPosition)
{
    WriteLog("CPlayerClientWMPHelper::PositionChange: %lf -> %lf", oldPosition, newPosition);
}

void CPlayerClientWMPHelper::CurrentItemChange(IUnknown* item)
{
    Q_UNUSED(item);
    PlayingChanged();
}

void CPlayerClientWMPHelper::CurrentPlaylistChange(qint32 change)
{
    WriteLog("CPlayerClientWMPHelper::CurrentPlaylistChange: ch=%d", int(change));
}

void CPlayerClientWMPHelper::PlaylistChange(IUnknown* item, qint32 change)
{
    Q_UNUSED(change);
    IWMPPlaylist* playlist = nullptr;
    if (item) {
        void* face = nullptr;
        if (SUCCEEDED(item->QueryInterface(IID_IWMPPlaylist, &face)))
            playlist = static_cast<IWMPPlaylist*>(face);
    }
    // A receiver that keeps the playlist takes its own reference.
    LibraryChanged(CPlayerClientWMP::LibraryPlaylist, playlist);
    if (playlist)
        playlist->Release();
}

void CPlayerClientWMPHelper::MediaChange(IUnknown* item)
{
    Q_UNUSED(item);
    LibraryChanged(CPlayerClientWMP::LibraryMedia, nullptr);
}

void CPlayerClientWMPHelper::ModeChange(const QString& mode, bool on)
{
    WriteLog("CPlayerClientWMPHelper::ModeChange: %ls=%d", qUtf16Printable(mode), int(on));
}

void CPlayerClientWMPHelper::Error()
{
    WriteLog("CPlayerClientWMPHelper::Error: ");
    if (!m_player)
        return;
    IWMPError* error = nullptr;
    HRESULT hr = m_player->get_error(&error);
    if (FAILED(hr) || !error) {
        WriteLog("CPlayerClientWMPHelper::Error: get_error failed %x", FAILED(hr) ? hr : E_FAIL);
        return;
    }
    IWMPErrorItem* item = nullptr;
    hr = error->get_item(0, &item);
    error->Release();
    if (FAILED(hr) || !item) {
        WriteLog("CPlayerClientWMPHelper::Error: get_error failed %x", FAILED(hr) ? hr : E_FAIL);
        return;
    }
    qint32 code = 0;
    hr = item->get_errorCode(&code);
    item->Release();
    if (FAILED(hr)) {
        WriteLog("CPlayerClientWMPHelper::Error: get_errorCode failed %x", hr);
        return;
    }
    WriteLog("CPlayerClientWMPHelper::Error: err=%x", code);
}

void CPlayerClientWMPHelper::MediaCollectionChange()
{
    LibraryChanged(CPlayerClientWMP::LibraryCollection, nullptr);
}

void CPlayerClientWMPHelper::MediaCollectionMediaAdded(IUnknown* item)
{
    Q_UNUSED(item);
    LibraryChanged(CPlayerClientWMP::LibraryMedia, nullptr);
}

void CPlayerClientWMPHelper::MediaCollectionMediaRemoved(IUnknown* item)
{
    Q_UNUSED(item);
    LibraryChanged(CPlayerClientWMP::LibraryMedia, nullptr);
}

void CPlayerClientWMPHelper::MediaCollectionAttributeStringAdded(const QString& attribute, const QString& value)
{
    Q_UNUSED(value);
    AttributeStringEvent(attribute);
}

void CPlayerClientWMPHelper::MediaCollectionAttributeStringRemoved(const QString& attribute, const QString& value)
{
    Q_UNUSED(value);
    AttributeStringEvent(attribute);
}

void CPlayerClientWMPHelper::MediaCollectionAttributeStringChanged(const QString& attribute, const QString& oldValue,
                                                                   const QString& newValue)
{
    Q_UNUSED(oldValue);
    Q_UNUSED(newValue);
    AttributeStringEvent(attribute);
}

void CPlayerClientWMPHelper::PlaylistCollectionChange()
{
    LibraryChanged(CPlayerClientWMP::LibraryPlaylists, nullptr);
}

void CPlayerClientWMPHelper::PlaylistCollectionPlaylistAdded(const QString& name)
{
    Q_UNUSED(name);
    LibraryChanged(CPlayerClientWMP::LibraryPlaylists, nullptr);
}

void CPlayerClientWMPHelper::PlaylistCollectionPlaylistRemoved(const QString& name)
{
    Q_UNUSED(name);
    LibraryChanged(CPlayerClientWMP::LibraryPlaylists, nullptr);
}

void CPlayerClientWMPHelper::PlayerDockedStateChange()
{
    if (m_owner)
        m_owner->CheckRunning();
}

void CPlayerClientWMPHelper::PlayerReconnect()
{
    WriteLog("CPlayerClientWMPHelper::PlayerReconnect:");
    StopPlayTimer();
    // The automation objects of the earlier connection are no longer valid.
    ReleaseCachedInterfaces();
    if (m_owner)
        m_owner->CheckRunning();
}

void CPlayerClientWMPHelper::SwitchedToPlayerApplication()
{
    WriteLog("CPlayerClientWMPHelper::SwitchedToPlayerApplication:");
}

void CPlayerClientWMPHelper::SwitchedToControl()
{
    WriteLog("CPlayerClientWMPHelper::SwitchedToControl:");
    StopPlayTimer();
}

HRESULT CPlayerClientWMPHelper::Invoke(const QString& eventName, const QVariantList& arguments)
{
    auto number = [&arguments](int i) { return i < arguments.size() ? qint32(arguments.at(i).toInt()) : 0; };
    auto real = [&arguments](int i) { return i < arguments.size() ? arguments.at(i).toDouble() : 0.0; };
    auto text = [&arguments](int i) { return i < arguments.size() ? arguments.at(i).toString() : QString(); };
    auto object = [&arguments](int i) {
        return i < arguments.size() ? static_cast<IUnknown*>(arguments.at(i).value<void*>()) : nullptr;
    };
    const QByteArray name = eventName.toLatin1();
    if (name == "OpenStateChange")
        OpenStateChange(number(0));
    else if (name == "PlayStateChange")
        PlayStateChange(number(0));
    else if (name == "PositionChange")
        PositionChange(real(0), real(1));
    else if (name == "CurrentItemChange")
        CurrentItemChange(object(0));
    else if (name == "CurrentPlaylistChange")
        CurrentPlaylistChange(number(0));
    else if (name == "PlaylistChange")
        PlaylistChange(object(0), number(1));
    else if (name == "MediaChange")
        MediaChange(object(0));
    else if (name == "ModeChange")
        ModeChange(text(0), arguments.value(1).toBool());
    else if (name == "Error")
        Error();
    else if (name == "MediaCollectionChange")
        MediaCollectionChange();
    else if (name == "MediaCollectionMediaAdded")
        MediaCollectionMediaAdded(object(0));
    else if (name == "MediaCollectionMediaRemoved")
        MediaCollectionMediaRemoved(object(0));
    else if (name == "MediaCollectionAttributeStringAdded")
        MediaCollectionAttributeStringAdded(text(0), text(1));
    else if (name == "MediaCollectionAttributeStringRemoved")
        MediaCollectionAttributeStringRemoved(text(0), text(1));
    else if (name == "MediaCollectionAttributeStringChanged")
        MediaCollectionAttributeStringChanged(text(0), text(1), text(2));
    else if (name == "PlaylistCollectionChange")
        PlaylistCollectionChange();
    else if (name == "PlaylistCollectionPlaylistAdded")
        PlaylistCollectionPlaylistAdded(text(0));
    else if (name == "PlaylistCollectionPlaylistRemoved")
        PlaylistCollectionPlaylistRemoved(text(0));
    else if (name == "PlayerDockedStateChange")
        PlayerDockedStateChange();
    else if (name == "PlayerReconnect")
        PlayerReconnect();
    else if (name == "SwitchedToPlayerApplication")
        SwitchedToPlayerApplication();
    else if (name == "SwitchedToControl")
        SwitchedToControl();
    else
        return E_NOTIMPL;
    return S_OK;
}
