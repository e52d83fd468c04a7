#include "webservice/protocol/inforequests.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "webservice/serviceconfig.h"

namespace SonveroProtocol {

// ---- CPostPlayHistoryRequest

CPostPlayHistoryRequest::CPostPlayHistoryRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CPostPlayHistoryRequest::Create(QObject* receiver, const char* slot, const CPlayHistoryDesc& records,
                                        const CXAuthData& access, CPostPlayHistoryRequest** request)
{
    CPostPlayHistoryRequest* created = new CPostPlayHistoryRequest();
    const HRESULT build = receiver && slot ? created->Modify(records, access) : S_OK;
    const HRESULT hr =
        StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, SonveroProtocol::CPlayHistoryDesc)),
                        "SonveroProtocol::CPostPlayHistoryRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CPostPlayHistoryRequest::Modify(const CPlayHistoryDesc& records, const CXAuthData& access)
{
    if (access.IsEmpty()) {
        WriteLog("SonveroProtocol::CPostPlayHistoryRequest::Modify: no access token %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamNumber(params.Param("time"), records.time);
    AddPlayRecords(params, records.records);
    return Prepare("POST", QStringLiteral("v2/playhistory"), params, access);
}

HRESULT CPostPlayHistoryRequest::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "playhistory"))
        return SV_E_BAD_ANSWER;
    m_answer = CPlayHistoryDesc();
    m_answer.time = static_cast<quint32>(Int64Attr(reader, "time", 0));
    while (ReadToChild(reader, "play")) {
        m_answer.records.append(ReadPlayRecord(reader));
        reader.skipCurrentElement();
    }
    return S_OK;
}

void CPostPlayHistoryRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_answer);
}

// ---- CGetAlbumArtRequest

CGetAlbumArtRequest::CGetAlbumArtRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CGetAlbumArtRequest::Create(QObject* receiver, const char* slot, const SongInfo& artKey,
                                    CGetAlbumArtRequest** request)
{
    CGetAlbumArtRequest* created = new CGetAlbumArtRequest();
    const HRESULT build = receiver && slot ? created->Modify(artKey) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, QImage)),
                                       "SonveroProtocol::CGetAlbumArtRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CGetAlbumArtRequest::Modify(const SongInfo& artKey)
{
    m_song = artKey;
    if (artKey.artist.isEmpty() && artKey.album.isEmpty() && artKey.title.isEmpty()) {
        WriteLog("SonveroProtocol::CGetAlbumArtRequest::Modify: empty key %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("artist"), artKey.artist);
    CoreUrl::SetParamString(params.Param("album"), artKey.album);
    if (artKey.album.isEmpty())
        CoreUrl::SetParamString(params.Param("title"), artKey.title);
    return Prepare("GET", QStringLiteral("v2/albumart"), params);
}

HRESULT CGetAlbumArtRequest::DoParseResponse(HRESULT result)
{
    if (FAILED(result))
        return result;
    const QByteArray data = GetResponseData();
    if (data.isEmpty())
        return S_OK; // the service has an entry but no picture
    const QByteArray start = data.left(64).trimmed();
    if (GetContentType().contains("xml") || start.startsWith("<?xml") || start.startsWith("<sv"))
        return CServiceRequestBase::DoParseResponse(result); // an error envelope
    if (!m_image.loadFromData(data)) {
        WriteLog("SonveroProtocol::CGetAlbumArtRequest::DoParseResponse: not an image (%d bytes) %x", data.size(),
                 SV_E_BAD_ANSWER);
        return SV_E_BAD_ANSWER;
    }
    return S_OK;
}

HRESULT CGetAlbumArtRequest::DoParsePayload(QXmlStreamReader& reader)
{
    reader.skipCurrentElement();
    return S_OK; // an ok envelope without a picture
}

void CGetAlbumArtRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_image);
}

// ---- CCheckForUpdateRequest

CCheckForUpdateRequest::CCheckForUpdateRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CCheckForUpdateRequest::Create(QObject* receiver, const char* slot, const CVersionNumber& running,
                                       CCheckForUpdateRequest** request)
{
    CCheckForUpdateRequest* created = new CCheckForUpdateRequest();
    const HRESULT build = receiver && slot ? created->Modify(running) : S_OK;
    const HRESULT hr =
        StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, SonveroProtocol::CUpdateDesc)),
                        "SonveroProtocol::CCheckForUpdateRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CCheckForUpdateRequest::Modify(const CVersionNumber& running)
{
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("version"), running.ToString(4, false));
    CoreUrl::SetParamString(params.Param("platform"), QString::fromLatin1(ServiceConfig::PlatformName));
    return Prepare("GET", QStringLiteral("v2/update"), params);
}

HRESULT CCheckForUpdateRequest::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "update"))
        return SV_E_BAD_ANSWER;
    m_desc = CUpdateDesc();
    m_desc.needupdate = BoolAttr(reader, "needupdate");
    m_desc.mandatory = BoolAttr(reader, "mandatory");
    m_desc.version = CVersionNumber::FromString(Attr(reader, "version"));
    m_desc.url = CoreUrl::ParseWebUrl(Attr(reader, "url"));
    const QByteArray digest = QByteArray::fromHex(Attr(reader, "sha256").toLatin1());
    if (digest.size() == 32)
        m_desc.sha256 = digest;
    reader.skipCurrentElement();
    return S_OK;
}

void CCheckForUpdateRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_desc);
}

// ---- CGetSystemMessagesRequest

CGetSystemMessagesRequest::CGetSystemMessagesRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CGetSystemMessagesRequest::Create(QObject* receiver, const char* slot, const QDateTime& utc,
                                          const CVersionNumber& version, CGetSystemMessagesRequest** request)
{
    CGetSystemMessagesRequest* created = new CGetSystemMessagesRequest();
    const HRESULT build = receiver && slot ? created->Modify(utc, version) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot,
                                       SIGNAL(WhenCompleted(int, SonveroProtocol::CSystemMsgDescList)),
                                       "SonveroProtocol::CGetSystemMessagesRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CGetSystemMessagesRequest::Modify(const QDateTime& utc, const CVersionNumber& version)
{
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("time"), utc.toUTC().toString(Qt::ISODate));
    CoreUrl::SetParamString(params.Param("version"), version.ToString(4, false));
    return Prepare("GET", QStringLiteral("v2/sysmsgs"), params);
}

HRESULT CGetSystemMessagesRequest::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "messages"))
        return SV_E_BAD_ANSWER;
    m_messages.clear();
    while (ReadToChild(reader, "message")) {
        CSystemMsgDesc message;
        message.id = Attr(reader, "id");
        message.url = CoreUrl::ParseWebUrl(Attr(reader, "url"));
        message.title = Attr(reader, "title");
        message.button = Attr(reader, "button");
        message.text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        m_messages.append(message);
    }
    return S_OK;
}

void CGetSystemMessagesRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_messages);
}

} // namespace SonveroProtocol
