#pragma once
// Play history upload, album art, the update check and system messages.
#include <QDateTime>
#include <QImage>

#include "webservice/protocol/servicerequest.h"

namespace SonveroProtocol {

// POST v2/playhistory, signed for the user.
class CPostPlayHistoryRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CPostPlayHistoryRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot,
                                const CPlayHistoryDesc& records, const CXAuthData& access)
    {
        CPostPlayHistoryRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, records, access, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const CPlayHistoryDesc& records,
                          const CXAuthData& access, CPostPlayHistoryRequest** request);

    HRESULT Modify(const CPlayHistoryDesc& records, const CXAuthData& access);

signals:
    void WhenCompleted(int result, const SonveroProtocol::CPlayHistoryDesc& answer);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    CPlayHistoryDesc m_answer;
};

// GET v2/albumart: the picture itself; 0x80400030 when the service has none, success with a null image when
// it answers with nothing.
class CGetAlbumArtRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CGetAlbumArtRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const SongInfo& artKey)
    {
        CGetAlbumArtRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, artKey, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const SongInfo& artKey, CGetAlbumArtRequest** request);

    HRESULT Modify(const SongInfo& artKey);
    // The song the request was started for.
    const SongInfo& GetSong() const { return m_song; }
    const QImage& GetImage() const { return m_image; }

signals:
    void WhenCompleted(int result, const QImage& image);

protected:
    HRESULT DoParseResponse(HRESULT result) override;
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    SongInfo m_song;
    QImage m_image;
};

// GET v2/update for the running version.
class CCheckForUpdateRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CCheckForUpdateRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot,
                                const CVersionNumber& running)
    {
        CCheckForUpdateRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, running, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const CVersionNumber& running,
                          CCheckForUpdateRequest** request);

    HRESULT Modify(const CVersionNumber& running);

signals:
    void WhenCompleted(int result, const SonveroProtocol::CUpdateDesc& desc);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    CUpdateDesc m_desc;
};

// GET v2/sysmsgs for this installation's time and version.
class CGetSystemMessagesRequest : public CServiceRequestBase
{
    Q_OBJECT
public:
    explicit CGetSystemMessagesRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const QDateTime& utc,
                                const CVersionNumber& version)
    {
        CGetSystemMessagesRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, utc, version, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const QDateTime& utc, const CVersionNumber& version,
                          CGetSystemMessagesRequest** request);

    HRESULT Modify(const QDateTime& utc, const CVersionNumber& version);

signals:
    void WhenCompleted(int result, const SonveroProtocol::CSystemMsgDescList& messages);

protected:
    HRESULT DoParsePayload(QXmlStreamReader& reader) override;
    void DoEmitCompleted() override;

private:
    CSystemMsgDescList m_messages;
};

} // namespace SonveroProtocol
