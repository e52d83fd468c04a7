#pragma once
// One asynchronous HTTP exchange: URL, headers, optional form body, state, result code, redirects (at most
// five, http and https only, never from https down to http), the answer in memory (capped) or streamed to a
// file through "<file>.part" that is renamed only on success, the SHA-256 of the body, download progress
// and a stall timeout. Completion always comes from the event loop, never from inside Start().
#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <memory>

#include "platform/com/combase.h"

class QFile;

namespace Drelk {

using CHttpHeaders = QList<QPair<QByteArray, QByteArray>>;

class CHttpTransaction : public QObject
{
    Q_OBJECT
public:
    enum EState
    {
        StateIdle = 0,
        StateRunning = 1,
        StateCompleted = 2
    };

    enum EFlags
    {
        FlagNone = 0x0,
        FlagNoRedirects = 0x1 // a redirect answer is an error
    };

    static constexpr int MaxRedirects = 5;
    static constexpr qint64 MaxMemoryBody = 8 * 1024 * 1024;
    static constexpr qint64 MaxFileBody = 200 * 1024 * 1024;

    explicit CHttpTransaction(QObject* parent = nullptr);
    // A running exchange is dropped without any signal; a partial response file is removed.
    ~CHttpTransaction() override;

    // 0x80004005 while running, 0x800700A0 for an invalid URL or a scheme other than http and https.
    HRESULT SetURL(const QUrl& url, const CHttpHeaders& rawHeaders = CHttpHeaders());
    // Makes the exchange a POST of this body.
    HRESULT SetPostData(const QByteArray& body,
                        const QByteArray& contentType = "application/x-www-form-urlencoded");
    // The body goes to this file (written as "<file>.part", renamed when complete); empty = keep in memory.
    HRESULT SetResponseDataFileName(const QString& fileName);
    void SetFlags(int flags) { m_flags = flags; }
    int GetFlags() const { return m_flags; }
    // Fails the exchange after this long without data (default: the "service/timeout_ms" setting).
    void SetTimeoutMs(int ms) { m_timeoutMs = ms; }
    // Largest body accepted (default 8 MB in memory, 200 MB to a file).
    void SetMaxBodySize(qint64 bytes) { m_maxBody = bytes; }
    // The manager to use instead of the program's one.
    void SetNetworkAccessManager(QNetworkAccessManager* manager) { m_manager = manager; }

    // Sends the request. A result code; on failure nothing was sent and the state is unchanged.
    HRESULT Start();
    // Ends a running exchange now with 0x80400011; emits the completion.
    void Abort();

    int GetState() const { return m_state; }
    HRESULT GetResult() const { return m_result; }
    int GetHttpStatus() const { return m_httpStatus; }
    QUrl GetURL() const { return m_url; }
    // Where the last redirect led (the URL itself when there was none).
    QUrl GetFinalURL() const { return m_finalUrl; }
    int GetRedirectCount() const { return m_redirects; }
    QByteArray GetResponseData() const { return m_body; }
    QByteArray GetResponseHeader(const QByteArray& name) const;
    QByteArray GetContentType() const { return GetResponseHeader("Content-Type"); }
    // Raw SHA-256 digest of the whole body (valid once completed).
    QByteArray GetSha256() const { return m_sha256; }
    qint64 GetReceivedBytes() const { return m_received; }
    QString GetResponseDataFileName() const { return m_fileName; }

    // scheme://host[:port]/path of a URL, without query: what may go to the log.
    static QString LogText(const QUrl& url);

signals:
    void WhenStateChanged();
    void WhenDownloadProgress(int expected, int received);

protected:
    // Runs first in Start(); a subclass that builds its own address sets it here.
    virtual HRESULT DoPrepare() { return S_OK; }
    // Runs at completion before the state becomes 2; a subclass reads the answer here and returns the
    // final result (the transport result comes in).
    virtual HRESULT DoParseResponse(HRESULT result);
    // Runs after the completion was signalled.
    virtual void DoCompleted() {}

private slots:
    void OnReadyRead();
    void OnFinished();
    void OnDownloadProgress(qint64 received, qint64 total);
    void OnStalled();
    void OnManagerDestroyed();

private:
    HRESULT SendRequest(const QUrl& url);
    HRESULT OpenPartFile();
    void DropReply();
    void RemovePartFile();
    void Fail(HRESULT result);
    void Complete(HRESULT result);
    QString PartFileName() const { return m_fileName + QStringLiteral(".part"); }

    int m_state = StateIdle;
    HRESULT m_result = 0;
    int m_flags = FlagNone;
    int m_timeoutMs = -1;
    qint64 m_maxBody = -1;
    QUrl m_url;
    QUrl m_finalUrl;
    CHttpHeaders m_headers;
    QByteArray m_method = "GET";
    QByteArray m_postData;
    QByteArray m_contentType;
    QString m_fileName;
    QPointer<QNetworkAccessManager> m_manager;
    QPointer<QNetworkAccessManager> m_activeManager;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<QFile> m_file;
    QCryptographicHash m_hash;
    QTimer m_stallTimer;
    int m_redirects = 0;
    int m_httpStatus = 0;
    CHttpHeaders m_responseHeaders;
    QByteArray m_body;
    QByteArray m_sha256;
    qint64 m_received = 0;
    bool m_bodyFailed = false;
};

} // namespace Drelk
