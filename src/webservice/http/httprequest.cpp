#include "webservice/http/httprequest.h"

#include "core/log.h"
#include "webservice/protocol/protocolrecords.h"

namespace Drelk {

CHttpRequestBase::CHttpRequestBase(QObject* parent)
    : CHttpTransaction(parent)
{
    SonveroProtocol::RegisterMetaTypes();
}

HRESULT CHttpRequestBase::StartAndConnect(CHttpRequestBase* request, HRESULT buildResult, QObject* receiver,
                                          const char* slot, const char* signal, const char* where)
{
    if (!receiver || !slot || !*slot) {
        WriteLog("%s: no receiver or slot %x", where, E_INVALIDARG);
        delete request;
        return E_INVALIDARG;
    }
    if (!request) {
        WriteLog("%s: no request %x", where, E_OUTOFMEMORY);
        return E_OUTOFMEMORY;
    }
    if (FAILED(buildResult)) { // the builder logged it
        delete request;
        return buildResult;
    }
    // Connected before the start, so no completion can be missed.
    if (!QObject::connect(request, signal, receiver, slot)) {
        WriteLog("%s: connect to [%s] failed %x", where, slot, E_FAIL);
        delete request;
        return E_FAIL;
    }
    request->m_deleteAfterDelivery = true;
    const HRESULT hr = request->Start();
    if (FAILED(hr)) { // Start() logged it
        delete request;
        return hr;
    }
    return S_OK;
}

void CHttpRequestBase::DoCompleted()
{
    DoAnswerRead();
}

void CHttpRequestBase::Deliver()
{
    DoEmitCompleted();
    if (m_deleteAfterDelivery)
        deleteLater();
}

} // namespace Drelk
