#include "players/iunknownbase.h"

#include "core/log.h"

namespace WMDM {

CIUnknownBase::~CIUnknownBase() = default;

HRESULT CIUnknownBase::QueryInterface(const IID& iid, void** object)
{
    Q_UNUSED(iid);
    if (object)
        *object = nullptr;
    return E_NOINTERFACE;
}

int CIUnknownBase::InternalAddRef()
{
    if (m_trace)
        WriteLog("InternalAddRef: before %d\n", m_refCount.loadAcquire());
    return m_refCount.fetchAndAddOrdered(1) + 1;
}

int CIUnknownBase::InternalRelease()
{
    if (m_trace)
        WriteLog("InternalRelease: before %d\n", m_refCount.loadAcquire());
    const int left = m_refCount.fetchAndAddOrdered(-1) - 1;
    if (left == 0)
        delete this;
    return left;
}

} // namespace WMDM
