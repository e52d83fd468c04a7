#pragma once
// The part every library object of a player client shares: its reference count, its owner, the
// shut-down state and the WhenEvent(int) that observers subscribe to.
#include <QObject>

#include "platform/com/combase.h"
#include "players/iunknownbase.h"
#include "players/playerclientinterfaces.h"

class CPlayerClientBase;

class CPlayerClientObjectBase : public QObject, public WMDM::CIUnknownBase
{
    Q_OBJECT
public:
    ~CPlayerClientObjectBase() override;

    CPlayerClientBase* Owner() const { return m_owner; }
    bool IsShutdown() const { return m_shutdown; }

signals:
    // PlayerClient::Event* values.
    void WhenEvent(int event);

public slots:
    // Once: sets the shut-down flag, lets the player object go, stops the timers, disconnects from the
    // owner, then WhenEvent(2).
    void Shutdown();
    // WhenEvent(0) unless shut down.
    void EmitEventUpdated();

protected:
    // className names the object in the log lines of the shared bodies ("<className>::Subscribe: ...").
    explicit CPlayerClientObjectBase(const char* className, CPlayerClientBase* owner = nullptr);

    void SetOwner(CPlayerClientBase* owner) { m_owner = owner; }

    // Shut down: 0x80004005; null receiver or slot: 0x800700A0; else connects WhenEvent( int ) to slot.
    HRESULT DoSubscribe(QObject* receiver, const char* slot);
    HRESULT DoUnsubscribe(QObject* receiver);

    // Hook of Shutdown: releases the player's object the object holds.
    virtual void DoReleasePlayerObject() {}

private:
    const char* m_className;
    CPlayerClientBase* m_owner;
    bool m_shutdown = false;
};

// Gives an interface the shared Subscribe, Unsubscribe and GetOwner.
template <class TInterface, class TBase = CPlayerClientObjectBase>
class CPlayerClientNotifyImplT : public TBase, public TInterface
{
public:
    HRESULT Subscribe(QObject* receiver, const char* slot) override { return this->DoSubscribe(receiver, slot); }
    HRESULT Unsubscribe(QObject* receiver) override { return this->DoUnsubscribe(receiver); }
    CPlayerClientBase* GetOwner() override { return this->Owner(); }

protected:
    using TBase::TBase;
};
