#include "players/wmp/iplayerclientwmpcollectionplaylistimpl.h"

#include <QTimer>

#include "core/log.h"
#include "core/resultcodes.h"
#include "players/wmp/iplayerclientwmpplaylistprivimpl.h"
#include "players/wmp/playerclientwmphelper.h"

typedef WMDM::CIUnknownImpl<CIPlayerClientWMPCollectionPlaylistImpl> CIPlayerClientWMPCollectionPlaylistObj;

namespace {

QTimer* ZeroTimer(QObject* parent)
{
    QTimer* timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setInterval(0);
    return timer;
}

} // namespace

CIPlayerClientWMPCollectionPlaylistImpl::CIPlayerClientWMPCollectionPlaylistImpl()
    : CPlayerClientNotifyImplT("CIPlayerClientWMPCollectionPlaylistImpl"), m_updateTimer(ZeroTimer(this)),
      m_eventTimer(ZeroTimer(this))
{
    connect(m_updateTimer, &QTimer::timeout, this, &CIPlayerClientWMPCollectionPlaylistImpl::OnUpdateTimer);
    connect(m_eventTimer, &QTimer::timeout, this, &CPlayerClientObjectBase::EmitEventUpdated);
}

CIPlayerClientWMPCollectionPlaylistImpl::~CIPlayerClientWMPCollectionPlaylistImpl()
{
    DoReleasePlayerObject();
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::CreateInstance(CPlayerClientWMP* owner,
                                                                IPlayerClientWmpCollectionPlaylistPriv** out)
{
    if (!out)
        return E_POINTER;
    if (*out) {
        (*out)->Release();
        *out = nullptr;
    }
    if (!owner) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::CreateInstance: no owner");
        return E_INVALIDARG;
    }
    CIPlayerClientWMPCollectionPlaylistObj* made = new CIPlayerClientWMPCollectionPlaylistObj();
    const HRESULT hr = made->Initialize(owner);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::CreateInstance: Initialize failed: %x", hr);
        made->Release();
        return hr;
    }
    *out = made;
    return S_OK;
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::Initialize(CPlayerClientWMP* owner)
{
    SetOwner(owner);
    m_wmpOwner = owner;
    if (!connect(owner, &CPlayerClientBase::WhenShutdown, this, &CPlayerClientObjectBase::Shutdown)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::Initialize: connect(shutdown) failed");
        return E_FAIL;
    }
    if (!connect(owner, &CPlayerClientWMP::WhenLibraryChanged, this,
                 &CIPlayerClientWMPCollectionPlaylistImpl::OnLibraryChanged)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::Initialize: connect(libchanged) failed");
        return E_FAIL;
    }
    const HRESULT hr = UpdateCollection();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::Initialize: UpdateCollection failed %x", hr);
        return hr;
    }
    return S_OK;
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPlayerClientNotify || iid == IID_IPlayerClientCollectionBase ||
        iid == IID_IPlayerClientCollectionPlaylist || iid == IID_IPlayerClientWmpCollectionPlaylistPriv) {
        *object = static_cast<IPlayerClientWmpCollectionPlaylistPriv*>(this);
        InternalAddRef();
        return S_OK;
    }
    return WMDM::CIUnknownBase::QueryInterface(iid, object);
}

CPlayerClientWMPHelper* CIPlayerClientWMPCollectionPlaylistImpl::Helper() const
{
    return m_wmpOwner ? m_wmpOwner->GetHelper() : nullptr;
}

void CIPlayerClientWMPCollectionPlaylistImpl::DoReleasePlayerObject()
{
    ReleaseAndClear(m_array);
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::GetPlaylists(const char* method, IWMPPlaylistCollection** playlists)
{
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::%s: shutdown", method);
        return SV_E_SHUT_DOWN;
    }
    CPlayerClientWMPHelper* helper = Helper();
    const HRESULT hr = helper ? helper->GetPlaylistCollection(playlists) : SV_E_NO_PLAYER_OBJECT;
    if (FAILED(hr))
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::%s: GetPlaylistCollection failed %x", method, hr);
    return hr;
}

// ---- the list of playlists ----------------------------------------------------------------------

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::UpdateCollection()
{
    if (IsShutdown())
        return SV_E_SHUT_DOWN;
    DoReleasePlayerObject();
    CIUnknownPtr<IWMPPlaylistCollection> playlists;
    HRESULT hr = GetPlaylists("UpdateCollection", playlists.Out());
    if (FAILED(hr))
        return hr;
    IWMPPlaylistArray* array = nullptr;
    hr = playlists->getAll(&array);
    if (SUCCEEDED(hr) && !array)
        hr = E_FAIL;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::UpdateCollection: getAll failed %x", hr);
        return hr;
    }
    m_array = array;
    return S_OK;
}

void CIPlayerClientWMPCollectionPlaylistImpl::OnUpdateTimer()
{
    m_updateTimer->stop();
    if (IsShutdown())
        return;
    const HRESULT hr = UpdateCollection();
    if (FAILED(hr)) {
        // Observers see the collection go and open a new one.
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::OnUpdateTimer: UpdateCollection failed %x", hr);
        Shutdown();
        return;
    }
    EmitEventUpdated();
}

void CIPlayerClientWMPCollectionPlaylistImpl::OnLibraryChanged(int kind, void* data)
{
    Q_UNUSED(data);
    if (kind == CPlayerClientWMP::LibraryPlaylists && !IsShutdown() && !m_updateTimer->isActive())
        m_updateTimer->start();
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::Refresh()
{
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::Refresh: already shutdown");
        return E_FAIL;
    }
    if (!m_updateTimer->isActive())
        m_updateTimer->start();
    return S_OK;
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::CollectionChanged()
{
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::CollectionChanged: already shutdown");
        return E_FAIL;
    }
    m_eventTimer->start();
    return S_OK;
}

int CIPlayerClientWMPCollectionPlaylistImpl::GetKind()
{
    return PlayerClient::CollectionPlaylists;
}

int CIPlayerClientWMPCollectionPlaylistImpl::GetItemCount()
{
    if (!m_array)
        return 0;
    qint32 count = 0;
    const HRESULT hr = m_array->get_count(&count);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::GetItemCount: get_count failed %x", hr);
        return 0;
    }
    return count;
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::GetItem(int index, IPlayerClientPlaylist** item)
{
    if (!item)
        return E_POINTER;
    if (*item) {
        (*item)->Release();
        *item = nullptr;
    }
    if (!m_array) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::GetItem: no interface");
        return IsShutdown() ? SV_E_SHUT_DOWN : SV_E_NO_PLAYER_OBJECT;
    }
    if (index < 0) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::GetItem: index < 0 (%d)", index);
        return E_INVALIDARG;
    }
    CIUnknownPtr<IWMPPlaylist> playlist;
    HRESULT hr = m_array->item(index, playlist.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::GetItem: item(%d) failed %x", index, hr);
        return hr;
    }
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface(m_wmpOwner.data(), playlist.Get(), 1, &made);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::GetItem: CreateInstanceWithRawInteface failed %x", hr);
        return hr;
    }
    *item = made;
    return S_OK;
}

// ---- by name ------------------------------------------------------------------------------------

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::FindByName(const char* method, const QString& name,
                                                            IWMPPlaylistCollection** playlists,
                                                            IWMPPlaylistArray** found, qint32* count)
{
    HRESULT hr = GetPlaylists(method, playlists);
    if (FAILED(hr))
        return hr;
    hr = (*playlists)->getByName(name, found);
    if (SUCCEEDED(hr) && !*found)
        hr = E_FAIL;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::%s: getByName failed %x", method, hr);
        return hr;
    }
    hr = (*found)->get_count(count);
    if (FAILED(hr))
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::%s: get_count failed %x", method, hr);
    return hr;
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::HasItemWithName(const QString& name)
{
    CIUnknownPtr<IWMPPlaylistCollection> playlists;
    CIUnknownPtr<IWMPPlaylistArray> found;
    qint32 count = 0;
    const HRESULT hr = FindByName("HasItemWithName", name, playlists.Out(), found.Out(), &count);
    if (FAILED(hr))
        return hr;
    return count >= 1 ? S_OK : S_FALSE;
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::CreateItem(const QString& name, IPlayerClientPlaylist** item)
{
    if (!item)
        return E_POINTER;
    if (*item) {
        (*item)->Release();
        *item = nullptr;
    }
    CIUnknownPtr<IWMPPlaylistCollection> playlists;
    HRESULT hr = GetPlaylists("CreateItem", playlists.Out());
    if (FAILED(hr))
        return hr;
    CIUnknownPtr<IWMPPlaylist> playlist;
    hr = playlists->newPlaylist(name, playlist.Out());
    if (FAILED(hr) || !playlist) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::CreateItem: newPlaylist failed %x(pl.isNull=%d)", hr,
                 int(!playlist));
        return FAILED(hr) ? hr : E_FAIL;
    }
    IPlayerClientWmpPlaylistPriv* made = nullptr;
    hr = CIPlayerClientWmpPlaylistPrivImpl::CreateInstanceWithRawInteface(m_wmpOwner.data(), playlist.Get(), 0, &made);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::CreateItem: CreateInstanceWithRawInteface failed %x", hr);
        return hr;
    }
    if (!made) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::CreateItem: automatic playlist");
        return E_FAIL;
    }
    *item = made;
    return S_OK;
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::RemoveAllItemsWithName(const QString& name)
{
    CIUnknownPtr<IWMPPlaylistCollection> playlists;
    CIUnknownPtr<IWMPPlaylistArray> found;
    qint32 count = 0;
    HRESULT hr = FindByName("RemoveAllItemsWithName", name, playlists.Out(), found.Out(), &count);
    if (FAILED(hr))
        return hr;
    // From the end, so that an array that follows the removals keeps its earlier indexes.
    for (int i = count - 1; i >= 0; --i) {
        CIUnknownPtr<IWMPPlaylist> playlist;
        hr = found->item(i, playlist.Out());
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::RemoveAllItemsWithName: item[%d] failed %x", i, hr);
            return hr;
        }
        hr = playlists->remove(playlist.Get());
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::RemoveAllItemsWithName: remove[%d] failed %x", i, hr);
            return hr;
        }
    }
    return S_OK;
}

HRESULT CIPlayerClientWMPCollectionPlaylistImpl::RemoveAllFromSync()
{
    CPlayerClientWMPHelper* helper = Helper();
    if (IsShutdown() || !helper) {
        WriteLog("CIPlayerClientWMPCollectionPlaylistImpl::RemoveAllFromSync: already shutdown");
        return E_FAIL;
    }
    // A new identifier leaves every playlist's mark stale at once.
    helper->NewPlaylistSyncUuid();
    if (IPlayerClientPlaylistSync* sync = m_wmpOwner->GetCachedPlaylistSync()) {
        void* face = nullptr;
        if (SUCCEEDED(sync->QueryInterface(IID_IPlayerClientWmpPlaylistSyncPriv, &face))) {
            IPlayerClientWmpPlaylistSyncPriv* own = static_cast<IPlayerClientWmpPlaylistSyncPriv*>(face);
            own->Invalidate();
            own->Release();
        }
    }
    return S_OK;
}
