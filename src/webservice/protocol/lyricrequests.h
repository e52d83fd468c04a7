#pragma once
// Lyrics: the query (a version check or the full lyrics) and the upload of timed lyrics.
#include "webservice/protocol/servicerequest.h"

namespace SonveroProtocol {

// GET v2/lyrics. A version of 0 or more asks whether that version is current (answer kind 0); -1 asks for
// the full lyrics (answer kind 1).
class CGetLyricHttpRequestV2 : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CGetLyricHttpRequestV2(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const CLyricQuery& query)
    {
        CGetLyricHttpRequestV2* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, query, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const CLyricQuery& query,
                          CGetLyricHttpRequestV2** request);

    HRESULT Modify(const CLyricQuery& query);
    const CLyricQuery& GetQuery() const { return m_query; }
    int GetKind() const { return m_kind; }
    const CLyricDesc& GetDesc() const { return m_desc; }

signals:
    void WhenCompleted(int result, int kind, const SonveroProtocol::CLyricDesc& desc);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    CLyricQuery m_query;
    int m_kind = 1;
    CLyricDesc m_desc;
};

// POST v2/lyrics: timed lyrics back to the service. Signed for the user when a default access is set.
class CV2SetLyricsRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CV2SetLyricsRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const SongLyrics& lyrics)
    {
        CV2SetLyricsRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, lyrics, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const SongLyrics& lyrics, CV2SetLyricsRequest** request);

    HRESULT Modify(const SongLyrics& lyrics);
    const CSetLyricsResult& GetResultData() const { return m_answer; }

    // The signed-in user's access that uploads are signed with; empty = anonymous upload.
    static void SetDefaultAccess(const CXAuthData& access);
    static CXAuthData DefaultAccess();

signals:
    void WhenCompleted(int result, const SonveroProtocol::CSetLyricsResult& answer);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    CSetLyricsResult m_answer;
};

} // namespace SonveroProtocol
