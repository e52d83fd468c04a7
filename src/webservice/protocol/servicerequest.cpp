#include "webservice/protocol/servicerequest.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "webservice/serviceconfig.h"
#include "webservice/url/oauth.h"

namespace SonveroProtocol {

CServiceRequestBase::CServiceRequestBase(QObject* parent)
    : Drelk::CHttpRequestBase(parent)
{
}

HRESULT CServiceRequestBase::MapServiceError(int code)
{
    return code == ServiceErrorRefused ? SV_E_SERVICE_REFUSED : SV_E_SERVICE_ERROR;
}

const char* CServiceRequestBase::ClassName() const
{
    return metaObject()->className();
}

HRESULT CServiceRequestBase::Prepare(const QByteArray& method, const QString& path, const CoreUrl::CParamList& params,
                                     const CXAuthData& access)
{
    CoreUrl::CConstructorBase url(ServiceConfig::Join(ServiceConfig::ApiUrl(), path));
    CoreUrl::CParamList& target = method == "POST" ? url.Body() : url.Query();
    for (const CoreUrl::CParam& param : params.Params())
        target.Append(param.name, param.value);
    OAuth::CCredentials credentials;
    credentials.consumerKey = ServiceConfig::ConsumerKey;
    credentials.consumerSecret = ServiceConfig::ConsumerSecret;
    credentials.token = access.token;
    credentials.tokenSecret = access.tokenSecret;
    OAuth::Sign(url, method, credentials);
    HRESULT hr = SetURL(url.GetUrl());
    if (FAILED(hr))
        return hr;
    if (method == "POST")
        hr = SetPostData(url.Body().EncodedQuery());
    return hr;
}

HRESULT CServiceRequestBase::DoParseResponse(HRESULT result)
{
    if (FAILED(result))
        return result;
    QXmlStreamReader reader(GetResponseData());
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("sv")) {
        WriteLog("%s::DoParseResponse: no answer envelope %x", ClassName(), SV_E_BAD_ANSWER);
        return SV_E_BAD_ANSWER;
    }
    if (reader.attributes().value(QLatin1String("status")) != QLatin1String("ok")) {
        const int code = ReadToChild(reader, "error") ? IntAttr(reader, "code", -1) : -1;
        const HRESULT hr = MapServiceError(code);
        WriteLog("%s::DoParseResponse: service error %d %x", ClassName(), code, hr);
        return hr;
    }
    HRESULT hr = DoParsePayload(reader);
    while (!reader.atEnd())
        reader.readNext();
    if (SUCCEEDED(hr) && reader.hasError())
        hr = SV_E_BAD_ANSWER;
    if (FAILED(hr))
        WriteLog("%s::DoParseResponse: unreadable answer %x", ClassName(), hr);
    return hr;
}

QString CServiceRequestBase::Attr(const QXmlStreamReader& reader, const char* name)
{
    return reader.attributes().value(QLatin1String(name)).toString();
}

int CServiceRequestBase::IntAttr(const QXmlStreamReader& reader, const char* name, int fallback, bool* ok)
{
    bool parsed = false;
    const int value = reader.attributes().value(QLatin1String(name)).toInt(&parsed);
    if (ok)
        *ok = parsed;
    return parsed ? value : fallback;
}

qint64 CServiceRequestBase::Int64Attr(const QXmlStreamReader& reader, const char* name, qint64 fallback, bool* ok)
{
    bool parsed = false;
    const qint64 value = reader.attributes().value(QLatin1String(name)).toLongLong(&parsed);
    if (ok)
        *ok = parsed;
    return parsed ? value : fallback;
}

bool CServiceRequestBase::BoolAttr(const QXmlStreamReader& reader, const char* name)
{
    const QStringRef value = reader.attributes().value(QLatin1String(name));
    return value == QLatin1String("1") || value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

bool CServiceRequestBase::ReadToChild(QXmlStreamReader& reader, const char* name)
{
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String(name))
            return true;
        reader.skipCurrentElement();
    }
    return false;
}

CPlayRecord CServiceRequestBase::ReadPlayRecord(const QXmlStreamReader& reader)
{
    CPlayRecord record;
    record.artist = Attr(reader, "artist");
    record.title = Attr(reader, "title");
    record.album = Attr(reader, "album");
    record.duration = IntAttr(reader, "duration", 0);
    record.position = IntAttr(reader, "position", 0);
    record.user = Attr(reader, "user");
    record.device = Attr(reader, "device");
    record.source = Attr(reader, "source");
    record.time = static_cast<quint32>(Int64Attr(reader, "played", 0));
    record.groupId = Int64Attr(reader, "groupId", 0);
    record.message = Attr(reader, "message");
    return record;
}

void CServiceRequestBase::AddPlayRecords(CoreUrl::CParamList& params, const QList<CPlayRecord>& records)
{
    CoreUrl::SetParamNumber(params.Param("count"), records.size());
    for (int i = 0; i < records.size(); ++i) {
        const CPlayRecord& record = records.at(i);
        const QByteArray n = '_' + QByteArray::number(i);
        CoreUrl::SetParamString(params.Param("artist" + n), record.artist);
        CoreUrl::SetParamString(params.Param("title" + n), record.title);
        CoreUrl::SetParamString(params.Param("album" + n), record.album);
        CoreUrl::SetParamNumber(params.Param("duration" + n), record.duration);
        CoreUrl::SetParamNumber(params.Param("position" + n), record.position);
        CoreUrl::SetParamString(params.Param("user" + n), record.user);
        CoreUrl::SetParamString(params.Param("device" + n), record.device);
        CoreUrl::SetParamString(params.Param("source" + n), record.source);
        CoreUrl::SetParamNumber(params.Param("played" + n), record.time);
        CoreUrl::SetParamNumber(params.Param("groupId" + n), record.groupId);
        CoreUrl::SetParamString(params.Param("message" + n), record.message);
    }
}

} // namespace SonveroProtocol
