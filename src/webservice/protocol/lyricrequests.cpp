#include "webservice/protocol/lyricrequests.h"

#include "core/log.h"
#include "core/resultcodes.h"

namespace SonveroProtocol {

// ---- CGetLyricHttpRequestV2

CGetLyricHttpRequestV2::CGetLyricHttpRequestV2(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CGetLyricHttpRequestV2::Create(QObject* receiver, const char* slot, const CLyricQuery& query,
                                       CGetLyricHttpRequestV2** request)
{
    CGetLyricHttpRequestV2* created = new CGetLyricHttpRequestV2();
    const HRESULT build = receiver && slot ? created->Modify(query) : S_OK;
    const HRESULT hr =
        StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, int, SonveroProtocol::CLyricDesc)),
                        "SonveroProtocol::CGetLyricHttpRequestV2::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CGetLyricHttpRequestV2::Modify(const CLyricQuery& query)
{
    m_query = query;
    m_kind = query.version >= 0 ? 0 : 1;
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("artist"), query.artist);
    CoreUrl::SetParamString(params.Param("title"), query.title);
    CoreUrl::SetParamString(params.Param("album"), query.album);
    CoreUrl::SetParamString(params.Param("lang"), query.language);
    if (query.version >= 0)
        CoreUrl::SetParamNumber(params.Param("version"), query.version);
    return Prepare("GET", QStringLiteral("v2/lyrics"), params);
}

HRESULT CGetLyricHttpRequestV2::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "lyrics"))
        return SV_E_BAD_ANSWER;
    bool ok = false;
    const int kind = IntAttr(reader, "kind", -1, &ok);
    if (!ok || (kind != 0 && kind != 1))
        return SV_E_BAD_ANSWER;
    m_kind = kind;
    m_desc = CLyricDesc();
    m_desc.title = Attr(reader, "title");
    m_desc.artist = Attr(reader, "artist");
    m_desc.album = Attr(reader, "album");
    m_desc.songId = IntAttr(reader, "songId", 0);
    m_desc.groupId = Int64Attr(reader, "groupId", 0);
    m_desc.version = IntAttr(reader, "version", -1);
    m_desc.lockCode = IntAttr(reader, "lock", 0);
    m_desc.blocked = IntAttr(reader, "blocked", 0);
    while (ReadToChild(reader, "line")) {
        bool timeOk = false;
        const int time = IntAttr(reader, "time", 0, &timeOk);
        if (!timeOk)
            return SV_E_BAD_ANSWER;
        const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements);
        m_desc.lines.append(CLyricLine(text, time));
    }
    return reader.hasError() ? SV_E_BAD_ANSWER : S_OK;
}

void CGetLyricHttpRequestV2::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_kind, m_desc);
}

// ---- CV2SetLyricsRequest

namespace {
CXAuthData& DefaultAccessSlot()
{
    static CXAuthData s_access;
    return s_access;
}
} // namespace

CV2SetLyricsRequest::CV2SetLyricsRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

void CV2SetLyricsRequest::SetDefaultAccess(const CXAuthData& access)
{
    DefaultAccessSlot() = access;
}

CXAuthData CV2SetLyricsRequest::DefaultAccess()
{
    return DefaultAccessSlot();
}

HRESULT CV2SetLyricsRequest::Create(QObject* receiver, const char* slot, const SongLyrics& lyrics,
                                    CV2SetLyricsRequest** request)
{
    CV2SetLyricsRequest* created = new CV2SetLyricsRequest();
    const HRESULT build = receiver && slot ? created->Modify(lyrics) : S_OK;
    const HRESULT hr =
        StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, SonveroProtocol::CSetLyricsResult)),
                        "SonveroProtocol::CV2SetLyricsRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CV2SetLyricsRequest::Modify(const SongLyrics& lyrics)
{
    if (lyrics.title.isEmpty() || lyrics.artist.isEmpty()) {
        WriteLog("SonveroProtocol::CV2SetLyricsRequest::Modify: title or artist missing %x",
                 SV_E_TITLE_OR_ARTIST_MISSING);
        return SV_E_TITLE_OR_ARTIST_MISSING;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("artist"), lyrics.artist);
    CoreUrl::SetParamString(params.Param("title"), lyrics.title);
    CoreUrl::SetParamString(params.Param("album"), lyrics.album);
    CoreUrl::SetParamString(params.Param("lang"), lyrics.language);
    CoreUrl::SetParamNumber(params.Param("songId"), lyrics.id);
    CoreUrl::SetParamNumber(params.Param("groupId"), lyrics.groupId);
    CoreUrl::SetParamNumber(params.Param("version"), lyrics.version);
    CoreUrl::SetParamNumber(params.Param("duration"), lyrics.duration);
    CoreUrl::SetParamNumber(params.Param("count"), lyrics.lines.size());
    for (int i = 0; i < lyrics.lines.size(); ++i) {
        const QByteArray n = '_' + QByteArray::number(i);
        CoreUrl::SetParamNumber(params.Param("time" + n), lyrics.lines.at(i).time);
        CoreUrl::SetParamString(params.Param("text" + n), lyrics.lines.at(i).text);
    }
    return Prepare("POST", QStringLiteral("v2/lyrics"), params, DefaultAccess());
}

HRESULT CV2SetLyricsRequest::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "setlyrics"))
        return SV_E_BAD_ANSWER;
    bool ok = false;
    m_answer.version = IntAttr(reader, "version", 0, &ok);
    if (!ok)
        return SV_E_BAD_ANSWER;
    m_answer.songId = IntAttr(reader, "songId", 0);
    m_answer.groupId = IntAttr(reader, "groupId", 0);
    reader.skipCurrentElement();
    return S_OK;
}

void CV2SetLyricsRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_answer);
}

} // namespace SonveroProtocol
