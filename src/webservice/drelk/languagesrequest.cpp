#include "webservice/drelk/languagesrequest.h"

#include "core/resultcodes.h"

namespace Drelk {

CGetLanguagesHttpRequest::CGetLanguagesHttpRequest(QObject* parent)
    : SonveroProtocol::CServiceRequestBase(parent)
{
}

HRESULT CGetLanguagesHttpRequest::DoPrepare()
{
    // Signed afresh on every start (new nonce and time stamp, current service address).
    return Prepare("GET", QStringLiteral("v2/languages"), CoreUrl::CParamList());
}

HRESULT CGetLanguagesHttpRequest::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "languages"))
        return SV_E_BAD_ANSWER;
    QStringList codes;
    while (ReadToChild(reader, "language")) {
        const QString code = Attr(reader, "code").trimmed();
        if (!code.isEmpty() && !codes.contains(code))
            codes << code;
        reader.skipCurrentElement();
    }
    m_languages = codes;
    return S_OK;
}

} // namespace Drelk
