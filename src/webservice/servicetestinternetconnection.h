#pragma once
// Whether the machine is connected: state 0 when it is, 0x8040002C when not. Probed at construction, every
// five seconds, and on GetState() when the last probe is more than a second old. No traffic is made.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "platform/com/combase.h"

class CServiceTestInternetConnection : public QObject
{
    Q_OBJECT
public:
    explicit CServiceTestInternetConnection(QObject* parent = nullptr);

    // 0 connected, negative (0x8040002C) without a connection.
    HRESULT GetState();
    // Probes now; emits WhenStateChanged when the state changed.
    void Refresh();

    static constexpr int PollIntervalMs = 5000;
    static constexpr int MaxProbeAgeMs = 1000;

signals:
    void WhenStateChanged(int state);

private:
    HRESULT m_state = 0;
    QTimer m_timer;
    QElapsedTimer m_lastProbe;
};
