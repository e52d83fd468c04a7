#pragma once
// The hidden host of the player control. Its aggregate is the client's control host, so that the
// control's site finds the host's remote services and attaches to the running player application.
#include "platform/wmp/axcontrolhost.h"

class CPlayerClientWMPHelper;

class CAxWidgetWMP : public Platform::Wmp::CAxControlHost
{
    Q_OBJECT
public:
    explicit CAxWidgetWMP(CPlayerClientWMPHelper* helper);
    ~CAxWidgetWMP() override;

    CPlayerClientWMPHelper* GetHelper() const { return m_helper; }

protected:
    IUnknown* CreateAggregate() override;

private:
    CPlayerClientWMPHelper* m_helper;
};
