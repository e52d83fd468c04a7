#include "players/playerclientobjectbase.h"

#include <QTimer>

#include "core/log.h"
#include "players/playerclientbase.h"

CPlayerClientObjectBase::CPlayerClientObjectBase(const char* className, CPlayerClientBase* owner)
    : QObject(nullptr), m_className(className), m_owner(owner)
{
}

CPlayerClientObjectBase::~CPlayerClientObjectBase() = default;

HRESULT CPlayerClientObjectBase::DoSubscribe(QObject* receiver, const char* slot)
{
    if (m_shutdown) {
        WriteLog("%s::Subscribe: already shutdown", m_className);
        return E_FAIL;
    }
    if (!receiver || !slot || !*slot) {
        WriteLog("%s::Subscribe: no receiver or slot", m_className);
        return E_INVALIDARG;
    }
    if (!connect(this, SIGNAL(WhenEvent(int)), receiver, slot)) {
        WriteLog("%s::Subscribe: connect failed", m_className);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CPlayerClientObjectBase::DoUnsubscribe(QObject* receiver)
{
    if (!receiver)
        return E_INVALIDARG;
    disconnect(this, SIGNAL(WhenEvent(int)), receiver, nullptr);
    return S_OK;
}

void CPlayerClientObjectBase::Shutdown()
{
    if (m_shutdown)
        return;
    m_shutdown = true;
    DoReleasePlayerObject();
    for (QTimer* timer : findChildren<QTimer*>())
        timer->stop();
    if (m_owner)
        disconnect(m_owner, nullptr, this, nullptr);
    emit WhenEvent(PlayerClient::EventShutdown);
}

void CPlayerClientObjectBase::EmitEventUpdated()
{
    if (!m_shutdown)
        emit WhenEvent(PlayerClient::EventUpdated);
}
