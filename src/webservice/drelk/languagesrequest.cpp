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
    while (reader.readNextStartElement()) {
        if (reader.name() != QLatin1String("languages")) {
            reader.skipCurrentElement();
            continue;
        }
        QStringList codes;
        while (reader.readNextStartElement()) {
            if (reader.name() == QLatin1String("language")) {
                const QString code = Attr(reader, "code").trimmed();
                if (!code.isEmpty() && !codes.contains(code))
                    codes << code;
            }
            reader.skipCurrentElement();
        }
        m_languages = codes;
        return S_OK;
    }
    return SV_E_BAD_ANSWER;
}

} // namespace Drelk
