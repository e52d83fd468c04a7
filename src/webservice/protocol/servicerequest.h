#pragma once
// Base of the web-service requests: builds the signed address or form body under the configured API root and
// reads the XML answer envelope (<sv status="ok"> payload </sv>, or <sv status="fail"><error code/></sv>).
#include <QXmlStreamReader>

#include "webservice/http/httprequest.h"
#include "webservice/protocol/protocolrecords.h"
#include "webservice/url/coreurl.h"

namespace SonveroProtocol {

class CServiceRequestBase : public Drelk::CHttpRequestBase
{
    Q_OBJECT
public:
    explicit CServiceRequestBase(QObject* parent = nullptr);

    // The service's error code 1028 (refused credentials or data).
    static constexpr int ServiceErrorRefused = 1028;
    // Maps a service error code to a result code.
    static HRESULT MapServiceError(int code);

protected:
    // Signs the parameters (with the user's token when access holds one) and sets the address or body.
    // path is relative to the API root ("v2/lyrics"); method is "GET" or "POST".
    HRESULT Prepare(const QByteArray& method, const QString& path, const CoreUrl::CParamList& params,
                    const CXAuthData& access = CXAuthData());

    // Reads the payload inside <sv status="ok">; the reader stands on the <sv> start element.
    virtual HRESULT DoParsePayload(QXmlStreamReader& reader) = 0;
    // Reads the answer envelope; a subclass whose answer is not XML overrides this.
    HRESULT DoParseResponse(HRESULT result) override;

    // Helpers for payload readers.
    static QString Attr(const QXmlStreamReader& reader, const char* name);
    static int IntAttr(const QXmlStreamReader& reader, const char* name, int fallback, bool* ok = nullptr);
    static qint64 Int64Attr(const QXmlStreamReader& reader, const char* name, qint64 fallback, bool* ok = nullptr);
    static bool BoolAttr(const QXmlStreamReader& reader, const char* name);
    // Moves to the next child element with this name, skipping the others; false at the end of the parent.
    static bool ReadToChild(QXmlStreamReader& reader, const char* name);
    // Reads a <play .../> element's attributes.
    static CPlayRecord ReadPlayRecord(const QXmlStreamReader& reader);
    // Appends the numbered fields of the play records to a parameter list ("artist_0", ...).
    static void AddPlayRecords(CoreUrl::CParamList& params, const QList<CPlayRecord>& records);
    // The class name for log lines.
    const char* ClassName() const;
};

} // namespace SonveroProtocol
