#include "players/wmp/iplayerclientwmpplaylistsyncprivimpl.h"

#include <QTimer>

#include "core/log.h"
#include "core/resultcodes.h"
#include "players/wmp/iplayerclientwmpplaylistprivimpl.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"
#include "players/wmp/playerclientwmphelper.h"

typedef WMDM::CIUnknownImpl<CIPlayerClientWmpPlaylistSyncPrivImpl> CIPlayerClientWmpPlaylistSyncObj;

namespace {

const QString kMarker = QStringLiteral("UserCustom1");
const QString kAudio = QStringLiteral("audio");
const QString kEquals = QStringLiteral("Equals");
const QString kContains = QStringLiteral("Contains");
const QString kNotContains = QStringLiteral("NotContains");
const QString kAuthor = QStringLiteral("Author");
const QString kAlbumTitle = QStringLiteral("WM/AlbumTitle");

// The list is built by a "Contains" query, which ignores case; a song is selected for every operation
// exactly when that query would find it.
bool IsMarked(const QString& marker, const QString& uuid)
{
    return !uuid.isEmpty() && marker.contains(uuid, Qt::CaseInsensitive);
}

} // namespace

CIPlayerClientWmpPlaylistSyncPrivImpl::CIPlayerClientWmpPlaylistSyncPrivImpl()
    : CPlayerClientPlaylistSyncImplT("CIPlayerClientWmpPlaylistSyncPrivImpl"), m_updateTimer(new QTimer(this))
{
    m_updateTimer->setSingleShot(true);
    m_updateTimer->setInterval(500);
    connect(m_updateTimer, &QTimer::timeout, this, &CPlayerClientSyncListBase::OnTimerUpdate);
}

CIPlayerClientWmpPlaylistSyncPrivImpl::~CIPlayerClientWmpPlaylistSyncPrivImpl()
{
    DoReleasePlayerObject();
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::CreateInstance(CPlayerClientWMP* owner,
                                                              IPlayerClientWmpPlaylistSyncPriv** out)
{
    if (!out)
        return E_POINTER;
    if (*out) {
        (*out)->Release();
        *out = nullptr;
    }
    if (!owner) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::CreateInstance: no owner");
        return E_INVALIDARG;
    }
    CIPlayerClientWmpPlaylistSyncObj* made = new CIPlayerClientWmpPlaylistSyncObj();
    const HRESULT hr = made->Initialize(owner);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::CreateInstance: Initialize failed: %x", hr);
        made->Release();
        return hr;
    }
    *out = made;
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::Initialize(CPlayerClientWMP* owner)
{
    SetOwner(owner);
    m_wmpOwner = owner;
    CPlayerClientWMPHelper* helper = owner->GetHelper();
    if (!helper) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::Initialize: no helper");
        return SV_E_NO_PLAYER_OBJECT;
    }
    QUuid uuid = helper->GetSyncUuid();
    if (uuid.isNull())
        uuid = helper->NewSyncUuid();
    m_uuidText = uuid.toString();
    WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::Initialize: uuid[%ls]", qUtf16Printable(m_uuidText));
    if (!connect(owner, &CPlayerClientBase::WhenShutdown, this, &CPlayerClientObjectBase::Shutdown)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::Initialize: connect(shutdown) failed");
        return E_FAIL;
    }
    if (!connect(owner, &CPlayerClientWMP::WhenLibraryChanged, this,
                 &CIPlayerClientWmpPlaylistSyncPrivImpl::OnLibraryChanged)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::Initialize: connect(libchanged) failed");
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPlayerClientNotify || iid == IID_IPlayerClientCollectionBase ||
        iid == IID_IPlayerClientCollectionSong || iid == IID_IPlayerClientPlaylist ||
        iid == IID_IPlayerClientPlaylistSync || iid == IID_IPlayerClientWmpPlaylistSyncPriv) {
        *object = static_cast<IPlayerClientWmpPlaylistSyncPriv*>(this);
        InternalAddRef();
        return S_OK;
    }
    return WMDM::CIUnknownBase::QueryInterface(iid, object);
}

CPlayerClientWMPHelper* CIPlayerClientWmpPlaylistSyncPrivImpl::Helper() const
{
    return m_wmpOwner ? m_wmpOwner->GetHelper() : nullptr;
}

bool CIPlayerClientWmpPlaylistSyncPrivImpl::IsUpdatePending() const
{
    return m_updateTimer->isActive();
}

// ---- the cached selection -----------------------------------------------------------------------

void CIPlayerClientWmpPlaylistSyncPrivImpl::DoReleasePlayerObject()
{
    ReleaseAndClear(m_playlist);
}

void CIPlayerClientWmpPlaylistSyncPrivImpl::DoInvalidate()
{
    DoReleasePlayerObject();
    // Restarting a running timer coalesces a burst of changes into one event.
    m_updateTimer->start();
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::Invalidate()
{
    OnModified();
    return S_OK;
}

void CIPlayerClientWmpPlaylistSyncPrivImpl::OnLibraryChanged(int kind, void* data)
{
    Q_UNUSED(data);
    if (kind == CPlayerClientWMP::LibraryMedia || kind == CPlayerClientWMP::LibraryCollection)
        OnModified();
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetRawInterface(IWMPPlaylist** playlist)
{
    if (!playlist)
        return E_POINTER;
    if (*playlist) {
        (*playlist)->Release();
        *playlist = nullptr;
    }
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetRawInterface: shutdown");
        return SV_E_SHUT_DOWN;
    }
    if (!m_playlist) {
        CPlayerClientWMPHelper* helper = Helper();
        CIUnknownPtr<IWMPMediaCollection2> collection;
        HRESULT hr = helper ? helper->GetMediaCollection2(collection.Out()) : SV_E_NO_PLAYER_OBJECT;
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetRawInterface: GetMediaCollection2 failed %x", hr);
            return hr;
        }
        CIUnknownPtr<IWMPQuery> query;
        hr = collection->createQuery(query.Out());
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetRawInterface: createQuery failed %x", hr);
            return hr;
        }
        hr = query->addCondition(kMarker, kContains, m_uuidText);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetRawInterface: addCondition failed %x", hr);
            return hr;
        }
        const QString sort = QStringLiteral("%1,%2,%3,%4")
                                 .arg(kAuthor, kAlbumTitle, QStringLiteral("WM/TrackNumber"), QStringLiteral("Title"));
        hr = collection->getPlaylistByQuery(query.Get(), kAudio, sort, true, &m_playlist);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetRawInterface: getPlaylistByQuery failed %x", hr);
            DoReleasePlayerObject();
            return hr;
        }
    }
    if (m_playlist) {
        m_playlist->AddRef();
        *playlist = m_playlist;
    }
    return S_OK;
}

int CIPlayerClientWmpPlaylistSyncPrivImpl::GetItemCount()
{
    CIUnknownPtr<IWMPPlaylist> playlist;
    HRESULT hr = GetRawInterface(playlist.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetItemCount: GetRawInterface failed %d", hr);
        return 0;
    }
    if (!playlist)
        return 0;
    qint32 count = 0;
    hr = playlist->get_count(&count);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetItemCount: get_count failed %x", hr);
        return 0;
    }
    return count;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetItem(int index, IPlayerClientSong** item)
{
    if (!item)
        return E_POINTER;
    if (*item) {
        (*item)->Release();
        *item = nullptr;
    }
    if (index < 0) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetItem: index < 0 (%d)", index);
        return E_INVALIDARG;
    }
    CIUnknownPtr<IWMPPlaylist> playlist;
    HRESULT hr = GetRawInterface(playlist.Out());
    if (SUCCEEDED(hr) && !playlist)
        hr = SV_E_NO_PLAYER_OBJECT;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetItem: GetRawInterface failed %d", hr);
        return hr;
    }
    CIUnknownPtr<IWMPMedia> media;
    hr = playlist->get_item(index, media.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetItem: get_item failed %x", hr);
        return hr;
    }
    IPlayerClientWmpSongPriv* song = nullptr;
    hr = CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(m_wmpOwner.data(), media.Get(), &song);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetItem: CreateInstanceWithRawInteface failed %x", hr);
        return hr;
    }
    *item = song;
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetFiles(QList<CFileMetadata>& files)
{
    Q_UNUSED(files);
    return E_NOTIMPL;
}

// ---- the marker of one song ---------------------------------------------------------------------

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::SongMedia(IPlayerClientSong* song, const char* method,
                                                         IWMPMedia** media)
{
    if (!song || !m_wmpOwner || song->GetOwner() != Owner())
        return S_FALSE;
    void* face = nullptr;
    if (FAILED(song->QueryInterface(IID_IPlayerClientWmpSongPriv, &face)))
        return S_FALSE;
    IPlayerClientWmpSongPriv* own = static_cast<IPlayerClientWmpSongPriv*>(face);
    if (IsShutdown()) {
        own->Release();
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s: shutdown", method);
        return SV_E_SHUT_DOWN;
    }
    const HRESULT hr = own->GetRawInterface(media);
    own->Release();
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s: GetRawInterface failed %x", method, hr);
    return hr;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::ReadMarker(IPlayerClientSong* song, const char* method,
                                                          IWMPMedia** media, QString& marker)
{
    const HRESULT hr = SongMedia(song, method, media);
    if (hr != S_OK)
        return hr;
    marker = CIPlayerClientWmpSongPrivImpl::GetRawAttribute(*media, CPlayerClientWMPHelper::AttributeSyncMark,
                                                            Helper());
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::WriteMarker(IWMPMedia* media, const QString& value, const char* method)
{
    const HRESULT hr = CIPlayerClientWmpSongPrivImpl::SetRawAttribute(media, kMarker, value);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s: SetRawAttribute failed %x", method, hr);
        return hr;
    }
    OnModified();
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::AddItem(IPlayerClientSong* song)
{
    CIUnknownPtr<IWMPMedia> media;
    QString marker;
    const HRESULT hr = ReadMarker(song, "AddItem", media.Out(), marker);
    if (hr == S_FALSE) {
        WriteLog(song ? "CIPlayerClientWmpPlaylistSyncPrivImpl::AddItem: alien item"
                      : "CIPlayerClientWmpPlaylistSyncPrivImpl::AddItem: no item");
        return E_INVALIDARG;
    }
    if (FAILED(hr))
        return hr;
    // Already selected: whatever else the attribute holds is left alone.
    if (IsMarked(marker, m_uuidText))
        return S_OK;
    return WriteMarker(media.Get(), m_uuidText, "AddItem");
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::RemoveItem(IPlayerClientSong* song)
{
    CIUnknownPtr<IWMPMedia> media;
    QString marker;
    const HRESULT hr = ReadMarker(song, "RemoveItem", media.Out(), marker);
    if (hr == S_FALSE) {
        WriteLog(song ? "CIPlayerClientWmpPlaylistSyncPrivImpl::RemoveItem: alien item"
                      : "CIPlayerClientWmpPlaylistSyncPrivImpl::RemoveItem: no item");
        return S_OK;
    }
    if (FAILED(hr))
        return hr;
    if (!IsMarked(marker, m_uuidText))
        return S_OK;
    // Only our identifier goes; whatever else the attribute holds stays.
    QString rest = marker;
    rest.remove(m_uuidText, Qt::CaseInsensitive);
    if (rest.trimmed().isEmpty())
        rest.clear();
    return WriteMarker(media.Get(), rest, "RemoveItem");
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::HasItem(IPlayerClientSong* song)
{
    CIUnknownPtr<IWMPMedia> media;
    QString marker;
    const HRESULT hr = ReadMarker(song, "HasItem", media.Out(), marker);
    if (hr != S_OK)
        return hr;
    return IsMarked(marker, m_uuidText) ? S_OK : S_FALSE;
}

// ---- statistics ---------------------------------------------------------------------------------

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::CountMarked(IWMPMediaCollection2* collection, const char* method,
                                                           const char* label, const QString* artist,
                                                           const QString* album, bool marked, int* count)
{
    CIUnknownPtr<IWMPQuery> query;
    HRESULT hr = collection->createQuery(query.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s:[%s] createQuery failed %x", method, label, hr);
        return hr;
    }
    if (artist) {
        hr = query->addCondition(kAuthor, kEquals, *artist);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s:[%s] addCondition(artist) failed %x", method, label,
                     hr);
            return hr;
        }
    }
    if (album) {
        hr = query->addCondition(kAlbumTitle, kEquals, *album);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s:[%s] addCondition(album) failed %x", method, label,
                     hr);
            return hr;
        }
    }
    hr = query->addCondition(kMarker, marked ? kContains : kNotContains, m_uuidText);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s:[%s] addCondition(%s) failed %x", method, label,
                 marked ? "in" : "out", hr);
        return hr;
    }
    CIUnknownPtr<IWMPPlaylist> songs;
    hr = collection->getPlaylistByQuery(query.Get(), kAudio, QString(), false, songs.Out());
    if (SUCCEEDED(hr) && !songs)
        hr = E_FAIL;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s:[%s] getPlaylistByQuery failed %x", method, label, hr);
        return hr;
    }
    qint32 n = 0;
    hr = songs->get_count(&n);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s:[%s] get_count failed %x", method, label, hr);
        return hr;
    }
    *count = n;
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetStat(const char* method, const QString* artist,
                                                       const QString* album, int* result)
{
    if (!result)
        return E_POINTER;
    *result = PlayerClient::SyncStatSome;
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s: shutdown", method);
        return SV_E_SHUT_DOWN;
    }
    CPlayerClientWMPHelper* helper = Helper();
    CIUnknownPtr<IWMPMediaCollection2> collection;
    HRESULT hr = helper ? helper->GetMediaCollection2(collection.Out()) : SV_E_NO_PLAYER_OBJECT;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::%s: GetMediaCollection2 failed %x", method, hr);
        return hr;
    }
    int in = 0;
    hr = CountMarked(collection.Get(), method, "in", artist, album, true, &in);
    if (FAILED(hr))
        return hr;
    if (in == 0) {
        *result = PlayerClient::SyncStatNone;
        return S_OK;
    }
    int out = 0;
    hr = CountMarked(collection.Get(), method, "out", artist, album, false, &out);
    if (FAILED(hr))
        return hr;
    *result = out == 0 ? PlayerClient::SyncStatAll : PlayerClient::SyncStatSome;
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetArtistStat(const QString& artist, int* result)
{
    return GetStat("GetArtistStat", &artist, nullptr, result);
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetAlbumStat(const QString& album, int* result)
{
    return GetStat("GetAlbumStat", nullptr, &album, result);
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetArtistAlbumStat(const QString& artist, const QString& album,
                                                                  int* result)
{
    return GetStat("GetArtistAlbumStat", &artist, &album, result);
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetLibraryStat(int* result)
{
    return GetStat("GetLibraryStat", nullptr, nullptr, result);
}

// ---- the whole selection ------------------------------------------------------------------------

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::Clear()
{
    CPlayerClientWMPHelper* helper = Helper();
    if (IsShutdown() || !helper) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::Clear: shutdown");
        return SV_E_SHUT_DOWN;
    }
    // No song is written: the old markers simply stop matching.
    m_uuidText = helper->NewSyncUuid().toString();
    OnModified();
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistSyncPrivImpl::GetSnapshot(IPlayerClientPlaylist** snapshot)
{
    if (!snapshot)
        return E_POINTER;
    if (*snapshot) {
        (*snapshot)->Release();
        *snapshot = nullptr;
    }
    CIUnknownPtr<IWMPPlaylist> playlist;
    HRESULT hr = GetRawInterface(playlist.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetSnapshot: GetRawInterface failed %d", hr);
        return hr;
    }
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface(m_wmpOwner.data(), playlist.Get(), 1,
                                                                          &made);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistSyncPrivImpl::GetSnapshot: CreateInstanceWithRawInteface failed %d", hr);
        return hr;
    }
    *snapshot = made;
    return S_OK;
}
