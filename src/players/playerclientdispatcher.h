#pragma once
// Keeps the registered player clients and the active one, and relays what the active client reports.
#include <QList>
#include <QObject>
#include <QPointer>

class CPlayerClientBase;

class CPlayerClientDispatcher : public QObject
{
    Q_OBJECT
public:
    explicit CPlayerClientDispatcher(QObject* parent = nullptr);
    ~CPlayerClientDispatcher() override;

    // Registers a client once and connects its running, playing, shutdown and wake-up signals.
    void AddClient(CPlayerClientBase* client);
    // The registered client with that player id, null when none.
    CPlayerClientBase* FindClient(int id) const;
    QList<CPlayerClientBase*> GetClients() const;

    CPlayerClientBase* GetActive() const { return m_active.data(); }
    // Nothing when client is already active. Otherwise: WhenActiveShutdown(), WhenActiveChanged(), and for a
    // running client WhenActiveWakeUp() and the client's WhenPlayingChanged(true).
    void SetActive(CPlayerClientBase* client);
    // An active client that runs and, with checkBusy, is not busy.
    bool IsActiveRunning(bool checkBusy) const;

signals:
    void WhenActiveChanged();
    void WhenActiveRunningChanged(int state, int oldState);
    void WhenActivePlayingChanged(bool playing);
    void WhenAnotherStarted(CPlayerClientBase* client);
    void WhenActiveShutdown();
    void WhenActiveWakeUp();

private:
    QList<QPointer<CPlayerClientBase>> m_clients;
    QPointer<CPlayerClientBase> m_active;
};
