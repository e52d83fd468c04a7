#pragma once
// GET v2/languages: the lyric languages the service offers. Owned by its caller and started with Start();
// when WhenStateChanged() reports state 2 it holds the result and the codes. It can be started again.
#include <QStringList>

#include "webservice/protocol/servicerequest.h"

namespace Drelk {

class CGetLanguagesHttpRequest : public SonveroProtocol::CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CGetLanguagesHttpRequest(QObject* parent = nullptr);

    // The language codes of the last successful answer, in the answer's order.
    QStringList GetLanguages() const { return m_languages; }

protected:
    HRESULT DoPrepare() override;
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override {}

private:
    QStringList m_languages;
};

} // namespace Drelk
