#include "players/wmp/iplayerclientwmpcollectionstringimpl.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "players/wmp/playerclientwmphelper.h"

typedef WMDM::CIUnknownImpl<CIPlayerClientWMPCollectionStringImpl> CIPlayerClientWMPCollectionStringObj;

namespace {

const QString kAuthor = QStringLiteral("Author");
const QString kAlbumTitle = QStringLiteral("WM/AlbumTitle");

} // namespace

CIPlayerClientWMPCollectionStringImpl::CIPlayerClientWMPCollectionStringImpl()
    : CPlayerClientNotifyImplT("CIPlayerClientWMPCollectionStringImpl")
{
}

CIPlayerClientWMPCollectionStringImpl::~CIPlayerClientWMPCollectionStringImpl()
{
    DoReleasePlayerObject();
}

HRESULT CIPlayerClientWMPCollectionStringImpl::CreateInstanceWithKind(CPlayerClientWMP* owner, int kind,
                                                                      IPlayerClientCollectionString** out)
{
    return Create(owner, kind, false, QString(), "CreateInstanceWithKind", out);
}

HRESULT CIPlayerClientWMPCollectionStringImpl::CreateInstanceWithKindAndFilter(CPlayerClientWMP* owner, int kind,
                                                                               const QString& filter,
                                                                               IPlayerClientCollectionString** out)
{
    return Create(owner, kind, true, filter, "CreateInstanceWithKindAndFilter", out);
}

HRESULT CIPlayerClientWMPCollectionStringImpl::Create(CPlayerClientWMP* owner, int kind, bool hasFilter,
                                                      const QString& filter, const char* factory,
                                                      IPlayerClientCollectionString** out)
{
    if (!out)
        return E_POINTER;
    if (*out) {
        (*out)->Release();
        *out = nullptr;
    }
    if (!owner) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::%s: no owner", factory);
        return E_INVALIDARG;
    }
    CIPlayerClientWMPCollectionStringObj* made = new CIPlayerClientWMPCollectionStringObj();
    const HRESULT hr = made->InitializeWithKind(owner, kind, hasFilter, filter);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::%s: InitializeWithKind failed: %x", factory, hr);
        made->Release();
        return hr;
    }
    *out = made;
    return S_OK;
}

HRESULT CIPlayerClientWMPCollectionStringImpl::InitializeWithKind(CPlayerClientWMP* owner, int kind, bool hasFilter,
                                                                  const QString& filter)
{
    if (kind != PlayerClient::CollectionArtists && kind != PlayerClient::CollectionAlbums) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::InitializeWithKind: unsupported kind %d", kind);
        return E_NOTIMPL;
    }
    SetOwner(owner);
    m_wmpOwner = owner;
    m_kind = kind;
    m_hasFilter = hasFilter;
    m_filter = filter;
    if (!connect(owner, &CPlayerClientBase::WhenShutdown, this, &CPlayerClientObjectBase::Shutdown)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::InitializeWithKind: connect(shutdown) failed");
        return E_FAIL;
    }
    if (!connect(owner, &CPlayerClientWMP::WhenLibraryChanged, this,
                 &CIPlayerClientWMPCollectionStringImpl::OnLibraryChanged)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::InitializeWithKind: connect(libchanged) failed");
        return E_FAIL;
    }
    const HRESULT hr = UpdateCollection();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::InitializeWithKind: UpdateCollection failed %x", hr);
        return hr;
    }
    return S_OK;
}

HRESULT CIPlayerClientWMPCollectionStringImpl::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPlayerClientNotify || iid == IID_IPlayerClientCollectionBase ||
        iid == IID_IPlayerClientCollectionString) {
        *object = static_cast<IPlayerClientCollectionString*>(this);
        InternalAddRef();
        return S_OK;
    }
    return WMDM::CIUnknownBase::QueryInterface(iid, object);
}

void CIPlayerClientWMPCollectionStringImpl::DoReleasePlayerObject()
{
    ReleaseAndClear(m_strings);
}

HRESULT CIPlayerClientWMPCollectionStringImpl::UpdateCollection()
{
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::UpdateCollection: shutdown");
        return SV_E_SHUT_DOWN;
    }
    CPlayerClientWMPHelper* helper = m_wmpOwner ? m_wmpOwner->GetHelper() : nullptr;
    CIUnknownPtr<IWMPMediaCollection2> collection;
    HRESULT hr = helper ? helper->GetMediaCollection2(collection.Out()) : SV_E_NO_PLAYER_OBJECT;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::UpdateCollection: GetMediaCollection2 failed %x", hr);
        return hr;
    }
    CIUnknownPtr<IWMPQuery> query;
    hr = collection->createQuery(query.Out());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::UpdateCollection: createQuery failed %x", hr);
        return hr;
    }
    const bool artists = m_kind == PlayerClient::CollectionArtists;
    if (m_hasFilter) {
        // Artists of an album, albums of an artist.
        hr = query->addCondition(artists ? kAlbumTitle : kAuthor, QStringLiteral("Equals"), m_filter);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWMPCollectionStringImpl::UpdateCollection: addCondition failed %x", hr);
            return hr;
        }
    }
    const QString attribute = artists ? kAuthor : kAlbumTitle;
    IWMPStringCollection* strings = nullptr;
    hr = collection->getStringCollectionByQuery(attribute, query.Get(), QStringLiteral("audio"), attribute, true,
                                                &strings);
    if (SUCCEEDED(hr) && !strings)
        hr = E_FAIL;
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::UpdateCollection: getStringCollectionByQuery failed %x", hr);
        return hr;
    }
    DoReleasePlayerObject();
    m_strings = strings;
    return S_OK;
}

void CIPlayerClientWMPCollectionStringImpl::OnLibraryChanged(int kind, void* data)
{
    Q_UNUSED(data);
    if (IsShutdown())
        return;
    const bool mine = (kind == CPlayerClientWMP::LibraryArtists && m_kind == PlayerClient::CollectionArtists) ||
                      (kind == CPlayerClientWMP::LibraryAlbums && m_kind == PlayerClient::CollectionAlbums);
    if (!mine)
        return;
    const HRESULT hr = UpdateCollection();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::OnLibraryChanged: UpdateCollection failed %x", hr);
        return;
    }
    EmitEventUpdated();
}

int CIPlayerClientWMPCollectionStringImpl::GetKind()
{
    return m_kind;
}

HRESULT CIPlayerClientWMPCollectionStringImpl::Refresh()
{
    if (IsShutdown()) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::Refresh: already shutdown");
        return E_FAIL;
    }
    const HRESULT hr = UpdateCollection();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::Refresh: UpdateCollection failed %x", hr);
        return hr;
    }
    EmitEventUpdated();
    return S_OK;
}

int CIPlayerClientWMPCollectionStringImpl::GetItemCount()
{
    if (!m_strings)
        return 0;
    qint32 count = 0;
    const HRESULT hr = m_strings->get_count(&count);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::GetItemCount: get_count failed %x", hr);
        return 0;
    }
    return count;
}

HRESULT CIPlayerClientWMPCollectionStringImpl::GetItem(int index, QString& item)
{
    item.clear();
    if (index < 0) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::GetItem: index < 0 (%d)", index);
        return E_INVALIDARG;
    }
    if (!m_strings) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::GetItem: no interface");
        return IsShutdown() ? SV_E_SHUT_DOWN : SV_E_NO_PLAYER_OBJECT;
    }
    const HRESULT hr = m_strings->item(index, &item);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWMPCollectionStringImpl::GetItem: item(%d) failed %x", index, hr);
        item.clear();
    }
    return hr;
}
