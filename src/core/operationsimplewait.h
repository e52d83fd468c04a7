#pragma once
// A sub-operation that only waits: a stage can keep it in its holder to pause for a while without
// blocking the event loop.
#include "core/coreoperationbase.h"

class QTimer;

class COperationSimpleWait : public CCoreOperationBase
{
    Q_OBJECT
public:
    // Makes a wait of ms milliseconds under parent, keeps it in holder and starts it; it completes with 0.
    // 0x800700A0 for ms below 1.
    static int StartWait(QPointer<CCoreOperationBase>& holder, QObject* parent, int ms);

    COperationSimpleWait(QObject* parent, int ms);

protected:
    void DoStop(int err) override;

private slots:
    void OnWaitElapsed();

private:
    int DoStageWait_Start();

    QTimer* m_waitTimer;
};
