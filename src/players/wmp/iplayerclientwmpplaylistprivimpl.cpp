#include "players/wmp/iplayerclientwmpplaylistprivimpl.h"

#include "core/corefeatures.h"
#include "core/log.h"
#include "core/resultcodes.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"
#include "players/wmp/playerclientwmp.h"
#include "players/wmp/playerclientwmphelper.h"
#include "players/wmp/wmpaddfilesoperation.h"

typedef WMDM::CIUnknownImpl<CIPlayerClientWmpPlaylistPrivImpl> CIPlayerClientWmpPlaylistObj;

namespace {

const char* const kClassName = "CIPlayerClientWmpPlaylistPrivImpl";

const QString kEquals = QStringLiteral("Equals");
const QString kAuthor = QStringLiteral("Author");
const QString kAlbumTitle = QStringLiteral("WM/AlbumTitle");
const QString kTitle = QStringLiteral("Title");
const QString kTrackNumber = QStringLiteral("WM/TrackNumber");

} // namespace

CIPlayerClientWmpPlaylistPrivImpl::CIPlayerClientWmpPlaylistPrivImpl() : CPlayerClientNotifyImplT(kClassName) {}

CIPlayerClientWmpPlaylistPrivImpl::~CIPlayerClientWmpPlaylistPrivImpl()
{
    DoReleasePlayerObject();
}

// ---- factories ----------------------------------------------------------------------------------

HRESULT CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface(CPlayerClientWMP* owner,
                                                                         IWMPPlaylist* playlist, int allowAuto,
                                                                         IPlayerClientWmpPlaylistPriv** out)
{
    if (!out)
        return E_POINTER;
    if (*out) {
        (*out)->Release();
        *out = nullptr;
    }
    if (!owner) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface: no owner");
        return E_INVALIDARG;
    }
    if (!playlist) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface: no raw interface");
        return E_INVALIDARG;
    }
    CIPlayerClientWmpPlaylistObj* made = new CIPlayerClientWmpPlaylistObj();
    const HRESULT hr = made->InitializeWithRawInterface(owner, playlist, allowAuto);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface: InitializeWithRawInterface "
                 "failed: %x",
                 hr);
        made->Release();
        return hr;
    }
    if (hr != S_OK) {
        // An automatic playlist where none is wanted.
        made->Release();
        return hr;
    }
    *out = made;
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind(CPlayerClientWMP* owner, int kind,
                                                                  const QString& filter,
                                                                  IPlayerClientWmpPlaylistPriv** out)
{
    CFileMetadata record;
    if (kind == PlayerClient::CollectionArtistSongs)
        record.artist = filter;
    else if (kind == PlayerClient::CollectionAlbumSongs)
        record.album = filter;
    return CreateInstanceWithKind(owner, kind, record, out);
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind(CPlayerClientWMP* owner, int kind,
                                                                  const CFileMetadata& filter,
                                                                  IPlayerClientWmpPlaylistPriv** out)
{
    if (!out)
        return E_POINTER;
    if (*out) {
        (*out)->Release();
        *out = nullptr;
    }
    if (!owner) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind: no owner");
        return E_INVALIDARG;
    }
    CIPlayerClientWmpPlaylistObj* made = new CIPlayerClientWmpPlaylistObj();
    const HRESULT hr = made->InitializeWithKind(owner, kind, filter);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithKind: InitializeWithKind failed: %x", hr);
        made->Release();
        return hr;
    }
    *out = made;
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::InitializeWithRawInterface(CPlayerClientWMP* owner,
                                                                      IWMPPlaylist* playlist, int allowAuto)
{
    SetOwner(owner);
    m_wmpOwner = owner;
    playlist->AddRef();
    m_playlist = playlist;
    m_kind = PlayerClient::CollectionPlaylist;
    m_isAuto = GetRawAttribute(playlist, QStringLiteral("PlaylistType")) == QLatin1String("Auto");
    if (m_isAuto && !allowAuto)
        return S_FALSE;
    m_flags = PlayerClient::PlaylistPlayWithin | PlayerClient::PlaylistRename | PlayerClient::PlaylistDelete |
              PlayerClient::PlaylistSync;
    if (!m_isAuto)
        m_flags |= PlayerClient::PlaylistAddItem | PlayerClient::PlaylistRemoveItem;
    return ConnectOwner("InitializeWithRawInterface");
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::InitializeWithKind(CPlayerClientWMP* owner, int kind,
                                                              const CFileMetadata& filter)
{
    SetOwner(owner);
    m_wmpOwner = owner;
    m_kind = kind;
    m_filter = filter;
    m_flags = PlayerClient::PlaylistPlayWithin;
    if (kind == PlayerClient::CollectionLibrary)
        m_flags |= PlayerClient::PlaylistAddFiles;
    const HRESULT hr = UpdateCollection();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::InitializeWithKind: UpdateCollection failed %x", hr);
        return hr;
    }
    return ConnectOwner("InitializeWithKind");
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::ConnectOwner(const char* method)
{
    CPlayerClientWMP* owner = m_wmpOwner.data();
    if (!connect(owner, &CPlayerClientBase::WhenShutdown, this, &CPlayerClientObjectBase::Shutdown)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::%s: connect(shutdown) failed", method);
        return E_FAIL;
    }
    if (!connect(owner, &CPlayerClientWMP::WhenLibraryChanged, this,
                 &CIPlayerClientWmpPlaylistPrivImpl::OnLibraryChanged)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::%s: connect(libchanged) failed", method);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPlayerClientNotify || iid == IID_IPlayerClientCollectionBase ||
        iid == IID_IPlayerClientCollectionSong || iid == IID_IPlayerClientPlaylist ||
        iid == IID_IPlayerClientWmpPlaylistPriv) {
        *object = static_cast<IPlayerClientWmpPlaylistPriv*>(this);
        InternalAddRef();
        return S_OK;
    }
    return WMDM::CIUnknownBase::QueryInterface(iid, object);
}

// ---- helpers ------------------------------------------------------------------------------------

CPlayerClientWMPHelper* CIPlayerClientWmpPlaylistPrivImpl::Helper() const
{
    return m_wmpOwner ? m_wmpOwner->GetHelper() : nullptr;
}

bool CIPlayerClientWmpPlaylistPrivImpl::Supports(int flag, const char* method) const
{
    if (m_flags & flag)
        return true;
    WriteLog("CIPlayerClientWmpPlaylistPrivImpl::%s: not supported (k=%d)", method, m_kind);
    return false;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::CheckAlive(const char* method) const
{
    if (IsShutdown() || !Helper()) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::%s: shutdown", method);
        return SV_E_SHUT_DOWN;
    }
    if (!m_playlist) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::%s: not ready", method);
        return SV_E_NO_PLAYER_OBJECT;
    }
    return S_OK;
}

QString CIPlayerClientWmpPlaylistPrivImpl::GetRawAttribute(IWMPPlaylist* playlist, const QString& name)
{
    if (!playlist) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetRawAttribute: no playlist");
        return QString();
    }
    QString value;
    const HRESULT hr = playlist->getItemInfo(name, &value);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetRawAttribute: getItemInfo(%ls) failed %x",
                 qUtf16Printable(name), hr);
        return QString();
    }
    return value;
}

void CIPlayerClientWmpPlaylistPrivImpl::DoReleasePlayerObject()
{
    ReleaseAndClear(m_playlist);
}

// ---- content ------------------------------------------------------------------------------------

QString CIPlayerClientWmpPlaylistPrivImpl::SortAttribute() const
{
    const bool byTitle = CoreFeatures::IsFeatureEnabled(CoreFeatures::FeatureWmpSortByTitle);
    switch (m_kind) {
    case PlayerClient::CollectionLibrary:
        return byTitle ? kTitle : QStringLiteral("%1,%2,%3,%4").arg(kAuthor, kAlbumTitle, kTrackNumber, kTitle);
    case PlayerClient::CollectionArtistSongs:
        return byTitle ? kTitle : QStringLiteral("%1,%2").arg(kAlbumTitle, kTrackNumber);
    case PlayerClient::CollectionAlbumSongs:
    case PlayerClient::CollectionArtistAlbumSongs:
        return kTrackNumber;
    default:
        return QString();
    }
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::UpdateCollection()
{
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::UpdateCollection: shutdown");
        return SV_E_SHUT_DOWN;
    }
    QList<QPair<QString, QString>> conditions;
    switch (m_kind) {
    case PlayerClient::CollectionPlaylist:
        return S_OK;
    case PlayerClient::CollectionLibrary:
        break;
    case PlayerClient::CollectionArtistSongs:
        conditions.append({kAuthor, m_filter.artist});
        break;
    case PlayerClient::CollectionAlbumSongs:
        conditions.append({kAlbumTitle, m_filter.album});
        break;
    case PlayerClient::CollectionArtistAlbumSongs:
        conditions.append({kAuthor, m_filter.artist});
        conditions.append({kAlbumTitle, m_filter.album});
        break;
    case PlayerClient::CollectionOneSong:
        conditions.append({kAuthor, m_filter.artist});
        conditions.append({kAlbumTitle, m_filter.album});
        conditions.append({kTitle, m_filter.title});
        break;
    default:
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::UpdateCollection: not supported(k=%d)", m_kind);
        return E_NOTIMPL;
    }

    DoReleasePlayerObject();
    CPlayerClientWMPHelper* helper = Helper();
    CIUnknownPtr<IWMPMediaCollection2> collection;
    HRESULT hr = helper ? helper->GetMediaCollection2(collection.Out()) : SV_E_NO_PLAYER_OBJECT;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::UpdateCollection: GetMediaCollection2 failed %x", hr);
        return hr;
    }
    CIUnknownPtr<IWMPQuery> query;
    hr = collection->createQuery(query.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::UpdateCollection: createQuery failed %x", hr);
        return hr;
    }
    for (const auto& condition : qAsConst(conditions)) {
        hr = query->addCondition(condition.first, kEquals, condition.second);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistPrivImpl::UpdateCollection: addCondition failed %x", hr);
            return hr;
        }
    }
    IWMPPlaylist* songs = nullptr;
    hr = collection->getPlaylistByQuery(query.Get(), QStringLiteral("audio"), SortAttribute(), true, &songs);
    if (SUCCEEDED(hr) && !songs)
        hr = E_FAIL;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::UpdateCollection: getByAttribute failed %x", hr);
        return hr;
    }
    m_playlist = songs;
    return S_OK;
}

void CIPlayerClientWmpPlaylistPrivImpl::OnLibraryChanged(int kind, void* data)
{
    if (!m_playlist || IsShutdown())
        return;
    if (kind == CPlayerClientWMP::LibraryPlaylist) {
        IWMPPlaylist* changed = static_cast<IWMPPlaylist*>(data);
        bool identical = false;
        if (!changed || FAILED(m_playlist->get_isIdentical(changed, &identical)) || !identical)
            return;
        // The user may have renamed it in the player.
        m_hasName = false;
        m_name.clear();
    } else if (kind != CPlayerClientWMP::LibraryMedia) {
        return;
    }
    const HRESULT hr = UpdateCollection();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::OnLibraryChanged: UpdateCollection failed %x", hr);
        return;
    }
    EmitEventUpdated();
}

int CIPlayerClientWmpPlaylistPrivImpl::GetKind()
{
    return m_kind;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::Refresh()
{
    return UpdateCollection();
}

int CIPlayerClientWmpPlaylistPrivImpl::GetFlags()
{
    return m_flags;
}

const QString& CIPlayerClientWmpPlaylistPrivImpl::GetId()
{
    return m_id;
}

int CIPlayerClientWmpPlaylistPrivImpl::GetItemCount()
{
    if (!m_playlist)
        return 0;
    qint32 count = 0;
    const HRESULT hr = m_playlist->get_count(&count);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetItemCount: get_count failed %x", hr);
        return 0;
    }
    return count;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::GetItem(int index, IPlayerClientSong** item)
{
    if (!item)
        return E_POINTER;
    if (*item) {
        (*item)->Release();
        *item = nullptr;
    }
    if (index < 0) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetItem: index < 0 (%d)", index);
        return E_INVALIDARG;
    }
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetItem: shutdown");
        return SV_E_SHUT_DOWN;
    }
    if (!m_playlist) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetItem: not ready");
        return SV_E_NO_PLAYER_OBJECT;
    }
    CIUnknownPtr<IWMPMedia> media;
    HRESULT hr = m_playlist->get_item(index, media.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetItem: get_item failed %x", hr);
        return hr;
    }
    IPlayerClientWmpSongPriv* song = nullptr;
    hr = CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(m_wmpOwner.data(), media.Get(), &song);
    if (FAILED(hr))
        return hr;
    *item = song;
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::GetName(QString& name)
{
    name.clear();
    if (!Supports(PlayerClient::PlaylistRename, "GetName"))
        return E_NOTIMPL;
    if (m_hasName) {
        name = m_name;
        return S_OK;
    }
    const HRESULT alive = CheckAlive("GetName");
    if (FAILED(alive))
        return alive;
    QString value;
    const HRESULT hr = m_playlist->get_name(&value);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetName: get_name failed %x", hr);
        return hr;
    }
    m_name = value;
    m_hasName = true;
    name = value;
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::GetFiles(QList<CFileMetadata>& files)
{
    CStopwatch stopwatch(QStringLiteral("CIPlayerClientWmpPlaylistPrivImpl::GetFiles[%1]")
                             .arg(m_hasName ? m_name : QStringLiteral("???")));
    const HRESULT alive = CheckAlive("GetFiles");
    if (FAILED(alive))
        return alive;
    const int total = GetItemCount();
    files.reserve(files.size() + total);
    CPlayerClientWMPHelper* helper = Helper();
    int walked = 0;
    int taken = 0;
    HRESULT result = S_OK;
    for (int i = 0; i < total; ++i) {
        CIUnknownPtr<IWMPMedia> media;
        HRESULT hr = m_playlist->get_item(i, media.Out());
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetFiles: get_item(%d) failed %x", i, hr);
            result = hr;
            break;
        }
        CFileMetadata record;
        hr = CIPlayerClientWmpSongPrivImpl::GetSongMetadata(media.Get(), record, helper);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetFiles: GetSongMetadata(%d) failed %x", i, hr);
            result = hr;
            break;
        }
        ++walked;
        if (hr == S_OK) {
            files.append(record);
            ++taken;
        }
    }
    if (taken < total) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetFiles: total=%d parsed=%d skipped=%d", total, walked,
                 walked - taken);
    }
    return result;
}

// ---- edits --------------------------------------------------------------------------------------

HRESULT CIPlayerClientWmpPlaylistPrivImpl::Rename(const QString& name)
{
    if (!Supports(PlayerClient::PlaylistRename, "Rename"))
        return E_NOTIMPL;
    if (name.isEmpty()) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Rename: empty new name");
        return E_INVALIDARG;
    }
    HRESULT hr = CheckAlive("Rename");
    if (FAILED(hr))
        return hr;
    m_hasName = false;
    m_name.clear();
    CIUnknownPtr<IWMPMedia> media;
    hr = GetMediaItem(media.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Rename: GetMediaItem failed %x", hr);
        return hr;
    }
    QString oldName;
    media->get_name(&oldName);
    hr = media->put_name(name);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Rename: media.put_name failed %x", hr);
        return hr;
    }
    hr = m_playlist->put_name(name);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Rename: put_name failed %x", hr);
        // The sync mark is found by the media item's name: it must keep the playlist's name.
        if (!oldName.isEmpty()) {
            const HRESULT back = media->put_name(oldName);
            if (FAILED(back))
                WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Rename: media.put_name(back) failed %x", back);
        }
        return hr;
    }
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::Delete()
{
    if (!Supports(PlayerClient::PlaylistDelete, "Delete"))
        return E_NOTIMPL;
    HRESULT hr = CheckAlive("Delete");
    if (FAILED(hr))
        return hr;
    CIUnknownPtr<IWMPPlaylistCollection> playlists;
    hr = Helper()->GetPlaylistCollection(playlists.Out());
    if (SUCCEEDED(hr))
        hr = playlists->remove(m_playlist);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Delete: remove failed %x", hr);
        return hr;
    }
    Shutdown();
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::AddFiles(CPlayerClientAddingFilesCollection* files,
                                                    CPlayerClientOperationObserver* observer,
                                                    IPlayerClientOperation** operation)
{
    if (!operation)
        return E_POINTER;
    if (*operation) {
        (*operation)->Release();
        *operation = nullptr;
    }
    if (!Supports(PlayerClient::PlaylistAddFiles, "AddFiles"))
        return E_NOTIMPL;
    HRESULT hr = CheckAlive("AddFiles");
    if (FAILED(hr))
        return hr;
    // The library list takes the files into the library only.
    hr = CIPlayerClientWmpOperationAddFilesImpl::CreateInstance(m_wmpOwner.data(), m_playlist,
                                                                m_kind == PlayerClient::CollectionLibrary, files,
                                                                observer, operation);
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::AddFiles: CreateInstance failed %x", hr);
    return hr;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::SongMedia(IPlayerClientSong* song, const char* method, IWMPMedia** media)
{
    if (!song) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::%s: no item", method);
        return E_INVALIDARG;
    }
    void* face = nullptr;
    if (song->GetOwner() != Owner() || FAILED(song->QueryInterface(IID_IPlayerClientWmpSongPriv, &face))) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::%s: alien item", method);
        return E_INVALIDARG;
    }
    IPlayerClientWmpSongPriv* own = static_cast<IPlayerClientWmpSongPriv*>(face);
    const HRESULT hr = own->GetRawInterface(media);
    own->Release();
    return hr;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::EditItem(IPlayerClientSong* song, int flag, const char* method,
                                                    HRESULT (IWMPPlaylist::*edit)(IWMPMedia*), const char* editName)
{
    if (!Supports(flag, method))
        return E_NOTIMPL;
    CIUnknownPtr<IWMPMedia> media;
    HRESULT hr = SongMedia(song, method, media.Out());
    if (FAILED(hr))
        return hr;
    hr = CheckAlive(method);
    if (FAILED(hr))
        return hr;
    hr = (m_playlist->*edit)(media.Get());
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::%s: %s failed %x", method, editName, hr);
    return hr;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::AddItem(IPlayerClientSong* song)
{
    return EditItem(song, PlayerClient::PlaylistAddItem, "AddItem", &IWMPPlaylist::appendItem, "appendItem");
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::RemoveItem(IPlayerClientSong* song)
{
    return EditItem(song, PlayerClient::PlaylistRemoveItem, "RemoveItem", &IWMPPlaylist::removeItem, "removeItem");
}

// ---- playing ------------------------------------------------------------------------------------

HRESULT CIPlayerClientWmpPlaylistPrivImpl::Show()
{
    HRESULT hr = CheckAlive("Show");
    if (FAILED(hr))
        return hr;
    CIUnknownPtr<IWMPPlayer4> player;
    hr = Helper()->GetPlayer(player.Out());
    if (SUCCEEDED(hr))
        hr = player->put_currentPlaylist(m_playlist);
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Show: put_currentPlaylist failed %x", hr);
    return hr;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::Play()
{
    HRESULT hr = CheckAlive("Play");
    if (FAILED(hr))
        return hr;
    // An empty list must not take the place of what the user is listening to.
    if (GetItemCount() < 1) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Play: no items");
        return SV_E_EMPTY_PLAYLIST;
    }
    hr = Show();
    if (FAILED(hr))
        return hr;
    CIUnknownPtr<IWMPMedia> first;
    hr = m_playlist->get_item(0, first.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Play: get_item failed %x", hr);
        return hr;
    }
    CIUnknownPtr<IWMPControls> controls;
    hr = Helper()->GetControls(controls.Out());
    if (SUCCEEDED(hr))
        hr = controls->playItem(first.Get());
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Play: playItem failed %x", hr);
    return hr;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::Load()
{
    HRESULT hr = CheckAlive("Load");
    if (FAILED(hr))
        return hr;
    CPlayerClientWMPHelper* helper = Helper();
    CIUnknownPtr<IWMPPlayer4> player;
    hr = helper->GetPlayer(player.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Load: GetPlayer failed %x", hr);
        return hr;
    }
    CIUnknownPtr<IWMPPlaylist> current;
    hr = player->get_currentPlaylist(current.Out());
    bool identical = false;
    if (FAILED(hr) || !current)
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Load: no current playlist");
    else if (FAILED(current->get_isIdentical(m_playlist, &identical)))
        identical = false;
    if (identical)
        return S_OK;

    CIUnknownPtr<IWMPSettings> settings;
    hr = helper->GetSettings(settings.Out());
    if (SUCCEEDED(hr))
        hr = settings->put_autoStart(false);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Load: put_autoStart failed %x", hr);
        return hr;
    }
    hr = player->put_currentPlaylist(m_playlist);
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::Load: put_currentPlaylist failed %x", hr);
    return hr;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::IsEqualTo(IPlayerClientPlaylist* other)
{
    if (!other)
        return S_FALSE;
    if (other == static_cast<IPlayerClientPlaylist*>(this))
        return S_OK;
    void* face = nullptr;
    if (other->GetOwner() != Owner() || FAILED(other->QueryInterface(IID_IPlayerClientWmpPlaylistPriv, &face))) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::IsEqualTo: alien item");
        return S_FALSE;
    }
    IPlayerClientWmpPlaylistPriv* own = static_cast<IPlayerClientWmpPlaylistPriv*>(face);
    CIUnknownPtr<IWMPPlaylist> raw;
    HRESULT hr = own->GetRawInterface(raw.Out());
    own->Release();
    if (FAILED(hr) || !m_playlist)
        return S_FALSE;
    bool identical = false;
    hr = m_playlist->get_isIdentical(raw.Get(), &identical);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::IsEqualTo: get_isIdentical failed %x", hr);
        return hr;
    }
    return identical ? S_OK : S_FALSE;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::GetRawInterface(IWMPPlaylist** playlist)
{
    if (!playlist)
        return E_POINTER;
    *playlist = nullptr;
    if (IsShutdown())
        return SV_E_SHUT_DOWN;
    if (!m_playlist)
        return SV_E_NO_PLAYER_OBJECT;
    m_playlist->AddRef();
    *playlist = m_playlist;
    return S_OK;
}

// ---- the playlist's library item and its sync mark ----------------------------------------------

HRESULT CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem(IWMPMedia** media)
{
    if (!media)
        return E_POINTER;
    *media = nullptr;
    if (IsShutdown() || !Helper()) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: shutdown");
        return SV_E_SHUT_DOWN;
    }
    if (!m_playlist)
        return SV_E_NO_PLAYER_OBJECT;
    QString name;
    HRESULT hr = m_playlist->get_name(&name);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: get_name failed %x", hr);
        return hr;
    }
    CIUnknownPtr<IWMPMediaCollection2> collection;
    hr = Helper()->GetMediaCollection2(collection.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: GetMediaCollection2 failed %x", hr);
        return hr;
    }
    CIUnknownPtr<IWMPPlaylist> items;
    hr = collection->getByAttributeAndMediaType(kTitle, name, QStringLiteral("playlist"), items.Out());
    if (SUCCEEDED(hr) && !items)
        hr = E_FAIL;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: getByAttributeAndMediaType failed %x", hr);
        return hr;
    }
    qint32 count = 0;
    hr = items->get_count(&count);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: get_count failed %x", hr);
        return hr;
    }
    if (count < 1) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: not found media items[%ls]", qUtf16Printable(name));
        return SV_E_NO_PLAYER_OBJECT;
    }
    if (count > 1) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: too many media items[%ls]", qUtf16Printable(name));
        return SV_E_NO_PLAYER_OBJECT;
    }
    hr = items->get_item(0, media);
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::GetMediaItem: get_item failed %x", hr);
    return hr;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::EnsurePlaylistSyncUuid(QString& text)
{
    CPlayerClientWMPHelper* helper = Helper();
    if (!helper)
        return SV_E_SHUT_DOWN;
    QUuid uuid = helper->GetPlaylistSyncUuid();
    if (uuid.isNull())
        uuid = helper->NewPlaylistSyncUuid();
    text = uuid.toString();
    return S_OK;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::IsInSync()
{
    if (!Supports(PlayerClient::PlaylistSync, "IsInSync"))
        return S_FALSE;
    CIUnknownPtr<IWMPMedia> media;
    HRESULT hr = GetMediaItem(media.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::IsInSync: GetMediaItem failed %x", hr);
        return hr;
    }
    QString uuid;
    hr = EnsurePlaylistSyncUuid(uuid);
    if (FAILED(hr))
        return hr;
    const QString mark = CIPlayerClientWmpSongPrivImpl::GetRawAttribute(
        media.Get(), CPlayerClientWMPHelper::AttributeSyncMark, Helper());
    return mark == uuid ? S_OK : S_FALSE;
}

HRESULT CIPlayerClientWmpPlaylistPrivImpl::SetInSync(bool inSync)
{
    if (!Supports(PlayerClient::PlaylistSync, "SetInSync"))
        return E_NOTIMPL;
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::SetInSync: shutdown");
        return SV_E_SHUT_DOWN;
    }
    CIUnknownPtr<IWMPMedia> media;
    HRESULT hr = GetMediaItem(media.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::SetInSync: GetMediaItem failed %x", hr);
        return hr;
    }
    QString uuid;
    hr = EnsurePlaylistSyncUuid(uuid);
    if (FAILED(hr))
        return hr;
    hr = CIPlayerClientWmpSongPrivImpl::SetRawAttribute(media.Get(), QStringLiteral("UserCustom1"),
                                                        inSync ? uuid : QString());
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpPlaylistPrivImpl::SetInSync: SetRawAttribute failed %x", hr);
    return hr;
}
