#include "webservice/protocol/bliprequest.h"

#include "core/log.h"

namespace SonveroProtocol {

CV2PostBlipRequest::CV2PostBlipRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CV2PostBlipRequest::Create(QObject* receiver, const char* slot, const CPostBlipDesc& blip,
                                   const CXAuthData& access, CV2PostBlipRequest** request)
{
    CV2PostBlipRequest* created = new CV2PostBlipRequest(receiver);
    const HRESULT build = receiver && slot ? created->Modify(blip, access) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot,
                                       SIGNAL(WhenCompleted(int, SonveroProtocol::CPostBlipResponseData)),
                                       "SonveroProtocol::CV2PostBlipRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CV2PostBlipRequest::Modify(const CPostBlipDesc& blip, const CXAuthData& access)
{
    if (blip.networkId != 0 && blip.networkId != 1) {
        WriteLog("CV2PostBlipRequest::Modify: network id=[%d] not yet supported", blip.networkId);
        return E_INVALIDARG;
    }
    if (access.IsEmpty()) {
        WriteLog("SonveroProtocol::CV2PostBlipRequest::Modify: no access token %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamNumber(params.Param("network"), blip.networkId);
    CoreUrl::SetParamString(params.Param("text1"), blip.text1);
    CoreUrl::SetParamString(params.Param("message"), blip.message);
    CoreUrl::SetParamString(params.Param("uid"), blip.userId);
    AddPlayRecords(params, blip.plays);
    return Prepare("POST", QStringLiteral("v2/blips"), params, access);
}

HRESULT CV2PostBlipRequest::DoParsePayload(QXmlStreamReader& reader)
{
    while (ReadToChild(reader, "blip")) {
        m_answer.blipId = Attr(reader, "id");
        reader.skipCurrentElement();
    }
    return S_OK;
}

void CV2PostBlipRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_answer);
}

} // namespace SonveroProtocol
