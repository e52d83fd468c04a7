#include "platform/wmp/axcontrolhost.h"

#include <QUuid>
#include <atomic>

#include "platform/wmp/simobjects.h"
#include "platform/wmp/simplayer.h"

namespace Platform {
namespace Wmp {

namespace {

quintptr NextHandle()
{
    static std::atomic<quintptr> next{0x10010};
    return next += 0x10;
}

QString TakeString(BSTR text)
{
    const QString value = QString::fromUtf16(text, int(SysStringLen(text)));
    SysFreeString(text);
    return value;
}

} // namespace

CAxControlHost::CAxControlHost(QObject* parent) : QObject(parent), m_handle(NextHandle()) {}

CAxControlHost::~CAxControlHost()
{
    Clear();
}

bool CAxControlHost::SetControl(const QString& clsid)
{
    Clear();
    QString text = clsid.trimmed();
    if (!text.startsWith(QLatin1Char('{')))
        text = QLatin1Char('{') + text + QLatin1Char('}');
    if (QUuid(text) != CLSID_WindowsMediaPlayer)
        return false;

    m_handshake = CHandshake();
    if (IUnknown* aggregate = CreateAggregate()) {
        aggregate->AddRef();
        AskRemoteServices(aggregate);
        aggregate->Release();
    }
    m_remote = m_handshake.serviceType == QLatin1String("Remote");
    if (m_remote) {
        m_control = new CSimControl(CSimPlayer::Instance(), true, nullptr);
    } else {
        CSimPlayer* own = new CSimPlayer();
        m_control = new CSimControl(own, false, own);
    }
    return true;
}

void CAxControlHost::AskRemoteServices(IUnknown* aggregate)
{
    void* face = nullptr;
    if (FAILED(aggregate->QueryInterface(IID_IServiceProvider, &face)) || !face)
        return;
    IServiceProvider* provider = static_cast<IServiceProvider*>(face);
    face = nullptr;
    const HRESULT hr = provider->QueryService(SID_WMPRemoteMediaServices, IID_IWMPRemoteMediaServices, &face);
    provider->Release();
    if (FAILED(hr) || !face)
        return;
    IWMPRemoteMediaServices* services = static_cast<IWMPRemoteMediaServices*>(face);
    m_handshake.asked = true;

    BSTR text = nullptr;
    if (SUCCEEDED(services->GetServiceType(&text)))
        m_handshake.serviceType = TakeString(text);
    text = nullptr;
    if (SUCCEEDED(services->GetApplicationName(&text)))
        m_handshake.applicationName = TakeString(text);
    text = nullptr;
    IUnknown* scriptable = nullptr;
    m_handshake.scriptableObjectResult = services->GetScriptableObject(&text, &scriptable);
    SysFreeString(text);
    if (scriptable)
        scriptable->Release();
    text = nullptr;
    m_handshake.customUiModeResult = services->GetCustomUIMode(&text);
    SysFreeString(text);
    services->Release();
}

void CAxControlHost::Clear()
{
    if (m_control) {
        static_cast<IWMPPlayer4*>(m_control)->Release();
        m_control = nullptr;
    }
    m_remote = false;
}

HRESULT CAxControlHost::QueryInterface(const IID& iid, void** object) const
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!m_control)
        return E_NOINTERFACE;
    return static_cast<IWMPPlayer4*>(m_control)->QueryInterface(iid, object);
}

CSimPlayer* CAxControlHost::AttachedPlayer() const
{
    return m_control ? m_control->AttachedPlayer() : nullptr;
}

IUnknown* CAxControlHost::CreateAggregate()
{
    return nullptr;
}

} // namespace Wmp
} // namespace Platform
