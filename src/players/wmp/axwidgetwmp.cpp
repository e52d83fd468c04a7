#include "players/wmp/axwidgetwmp.h"

#include "players/wmp/playerclientwmphelper.h"

CAxWidgetWMP::CAxWidgetWMP(CPlayerClientWMPHelper* helper) : CAxControlHost(nullptr), m_helper(helper) {}

CAxWidgetWMP::~CAxWidgetWMP() = default;

IUnknown* CAxWidgetWMP::CreateAggregate()
{
    return m_helper ? static_cast<IServiceProvider*>(m_helper) : nullptr;
}
