#include "players/playerclientdispatcher.h"

#include "players/playerclientbase.h"

CPlayerClientDispatcher::CPlayerClientDispatcher(QObject* parent) : QObject(parent) {}

CPlayerClientDispatcher::~CPlayerClientDispatcher() = default;

void CPlayerClientDispatcher::AddClient(CPlayerClientBase* client)
{
    if (!client)
        return;
    for (const QPointer<CPlayerClientBase>& known : qAsConst(m_clients)) {
        if (known == client)
            return;
    }
    m_clients.append(client);

    connect(client, &CPlayerClientBase::WhenRunningChanged, this, [this, client](int state, int oldState) {
        if (client == m_active)
            emit WhenActiveRunningChanged(state, oldState);
        else if (CPlayerClientBase::IsStateRunning(state))
            emit WhenAnotherStarted(client);
    });
    connect(client, &CPlayerClientBase::WhenPlayingChanged, this, [this, client](bool playing) {
        if (client == m_active)
            emit WhenActivePlayingChanged(playing);
    });
    connect(client, &CPlayerClientBase::WhenShutdown, this, [this, client]() {
        if (client == m_active)
            emit WhenActiveShutdown();
    });
    connect(client, &CPlayerClientBase::WhenWakeUp, this, [this, client]() {
        if (client == m_active)
            emit WhenActiveWakeUp();
    });
}

CPlayerClientBase* CPlayerClientDispatcher::FindClient(int id) const
{
    for (const QPointer<CPlayerClientBase>& client : m_clients) {
        if (client && client->GetId() == id)
            return client.data();
    }
    return nullptr;
}

QList<CPlayerClientBase*> CPlayerClientDispatcher::GetClients() const
{
    QList<CPlayerClientBase*> clients;
    for (const QPointer<CPlayerClientBase>& client : m_clients) {
        if (client)
            clients.append(client.data());
    }
    return clients;
}

void CPlayerClientDispatcher::SetActive(CPlayerClientBase* client)
{
    if (client == m_active.data())
        return;
    m_active = client;
    emit WhenActiveShutdown();
    emit WhenActiveChanged();
    if (client && CPlayerClientBase::IsStateRunning(client->GetRunningState())) {
        emit WhenActiveWakeUp();
        emit client->WhenPlayingChanged(true);
    }
}

bool CPlayerClientDispatcher::IsActiveRunning(bool checkBusy) const
{
    const CPlayerClientBase* active = m_active.data();
    if (!active || !CPlayerClientBase::IsStateRunning(active->GetRunningState()))
        return false;
    return !checkBusy || active->GetBusyCount() == 0;
}
