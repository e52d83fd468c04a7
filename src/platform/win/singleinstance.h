#pragma once
// One running copy of the program per user. A per-user lock file plays the named mutex; a local
// socket next to it carries the "broadcast" of a later copy to the running one; a marker file per
// running copy in a shared folder plays the common mutex, so that an installer can see a copy runs.
#include <QObject>
#include <QString>

#include "platform/com/combase.h"

class QLocalServer;
class QLockFile;

class CSingleInstance : public QObject
{
    Q_OBJECT
public:
    // The two message ids once the running copy listens.
    static constexpr quint32 BroadcastMessageId = 0xC101;        // from a later copy of the same user: show yourself
    static constexpr quint32 CommonBroadcastMessageId = 0xC102;  // need to shut down

    // How a copy started with "--updated" waits for the old one to go.
    static constexpr int UpdatedAttempts = 70;
    static constexpr int UpdatedIntervalMs = 100;

    // The first object made is the process-wide one (Instance()).
    explicit CSingleInstance(QObject* parent = nullptr);
    ~CSingleInstance() override;

    // "SonveroDesktopMutex.<host>.<user>".
    static QString InstanceName();
    // The lock file and the socket: in the user's runtime folder (else the temporary folder).
    static QString LockFilePath();
    static QString ServerPath();
    // The shared folder of the running-copy markers.
    static QString CommonMarkerDirectory();

    // Takes the per-user lock, trying `attempts` times `intervalMs` apart (no event loop needed).
    // 0 when this process owns it now (the marker is made); S_FALSE when another copy holds it;
    // a negative code when the lock file cannot be made.
    HRESULT Claim(int attempts = 1, int intervalMs = 0);
    bool IsOwner() const { return m_owner; }

    // Owner only, after the application object exists: accepts the messages of later copies and
    // registers the two ids. 0; E_UNEXPECTED when not the owner; E_FAIL when the socket cannot listen.
    HRESULT Listen();
    // Stops accepting messages (before the application object goes); the lock stays held.
    void StopListening();

    // The registered ids, 0 while not listening.
    quint32 GetBroadcastMessageId() const { return m_server ? BroadcastMessageId : 0; }
    quint32 GetCommonBroadcastMessageId() const { return m_server ? CommonBroadcastMessageId : 0; }

    // Sends a message to the running copy of this user (any process; no event loop needed). The
    // running copy may still be starting, so the connection is retried until timeoutMs have passed.
    // 0 when the message was written; E_INVALIDARG for an unknown id; E_FAIL when no copy answered.
    static HRESULT SendMessage(quint32 id, qintptr wParam, qintptr lParam, int timeoutMs = 2000);
    // Asks the running copy of this user to shut down.
    static HRESULT SendCommonShutdown(int timeoutMs = 2000);

    // The process-wide object; null when none was made.
    static CSingleInstance* Instance();

signals:
    // A message from another process: one of the two ids and its two parameters.
    void WhenMessage(quint32 id, qintptr wParam, qintptr lParam);

private slots:
    void OnNewConnection();
    void OnSocketReadyRead();

private:
    void Release();

    QLockFile* m_lock = nullptr;
    QLocalServer* m_server = nullptr;  // set while listening
    QString m_markerPath;              // this copy's marker in the common folder, while it owns the lock
    bool m_owner = false;
};
