#pragma once
// POST v2/blips: a short message about a song to one social network (0 Facebook, 1 Twitter), signed for the
// user. The request is a child of its receiver, so it goes when the receiver goes.
#include "webservice/protocol/servicerequest.h"

namespace SonveroProtocol {

class CV2PostBlipRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CV2PostBlipRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot,
                                const CPostBlipDesc& blip, const CXAuthData& access)
    {
        CV2PostBlipRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, blip, access, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const CPostBlipDesc& blip, const CXAuthData& access,
                          CV2PostBlipRequest** request);

    HRESULT Modify(const CPostBlipDesc& blip, const CXAuthData& access);

signals:
    void WhenCompleted(int result, const SonveroProtocol::CPostBlipResponseData& answer);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    CPostBlipResponseData m_answer;
};

} // namespace SonveroProtocol
