#pragma once
// Stands in for the ActiveX container that hosts the player control. Setting the control creates it
// and lets it look for a remote host: it asks the aggregate's IServiceProvider for
// IWMPRemoteMediaServices, and a service type "Remote" attaches it to the running player application
// (CSimPlayer::Instance()); anything else gives a control with a private, empty player.
#include <QObject>
#include <QString>

#include "platform/wmp/wmpinterfaces.h"

namespace Platform {
namespace Wmp {

class CSimControl;
class CSimPlayer;

class CAxControlHost : public QObject
{
    Q_OBJECT
public:
    // What the control learnt from the host's remote services.
    struct CHandshake
    {
        bool asked = false;                 // an IWMPRemoteMediaServices was found
        QString serviceType;
        QString applicationName;
        HRESULT scriptableObjectResult = S_OK;
        HRESULT customUiModeResult = S_OK;
    };

    explicit CAxControlHost(QObject* parent = nullptr);
    ~CAxControlHost() override;

    // Creates the control of clsid ("{6BF52A52-394A-11d3-B153-00C04F79FAA6}", braces and case free);
    // false for any other class. A previous control is let go first.
    bool SetControl(const QString& clsid);
    // Lets the control go.
    void Clear();
    bool IsNull() const { return m_control == nullptr; }

    // QueryInterface on the control; E_NOINTERFACE without one.
    HRESULT QueryInterface(const IID& iid, void** object) const;

    // A stand-in window handle, unique per host.
    quintptr WindowHandle() const { return m_handle; }
    bool IsRemote() const { return m_remote; }
    const CHandshake& Handshake() const { return m_handshake; }
    // The player the control is attached to, null without a control.
    CSimPlayer* AttachedPlayer() const;

protected:
    // The object the control's site asks for IServiceProvider; borrowed (no reference handed over).
    virtual IUnknown* CreateAggregate();

private:
    void AskRemoteServices(IUnknown* aggregate);

    CSimControl* m_control = nullptr;
    quintptr m_handle;
    bool m_remote = false;
    CHandshake m_handshake;
};

} // namespace Wmp
} // namespace Platform
