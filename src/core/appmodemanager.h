#pragma once
// Application modes: which of starting, quitting, normal work, update and system messages holds
// the application. Update and system messages ask for their mode and run only once it is granted.
#include <QList>
#include <QObject>

#include "platform/com/combase.h"

class CAppModeManagerBase : public QObject
{
    Q_OBJECT
public:
    enum
    {
        ModeStarting = 0,
        ModeQuitting = 1,
        ModeNormal = 2,
        ModeUpdate = 3,
        ModeSystemMessages = 4
    };

    // The current mode, read directly; changed only through SetMode.
    int m_mode = ModeStarting;

    // Switches the mode, logs and emits WhenModeChanged() (nothing when unchanged). Quitting drops
    // every queued request; entering the normal mode grants the next queued one.
    void SetMode(int mode);

    // Asks for a mode above 2: 0 when it is current; 1 when it is queued (granted later through
    // SetMode and WhenModeChanged(), never inside this call); a negative code while quitting or for
    // modes 0 to 2.
    HRESULT RequestMode(int mode);

    // Drops a queued or current mode (0); a current one returns to the normal mode, after which the
    // next queued mode is granted. S_FALSE when the mode was neither; a negative code for modes 0 to 2.
    HRESULT ReleaseMode(int mode);

    // The modes waiting, oldest first.
    QList<int> QueuedModes() const { return m_queue; }

signals:
    void WhenModeChanged();

protected:
    explicit CAppModeManagerBase(QObject* parent);

private slots:
    void OnGrantNext();

private:
    void ScheduleGrant();

    QList<int> m_queue;
    bool m_grantScheduled = false;
};

// The manager the main window makes.
class CAppModeManager : public CAppModeManagerBase
{
    Q_OBJECT
public:
    explicit CAppModeManager(QObject* parent);
};
