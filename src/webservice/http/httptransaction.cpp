#include "webservice/http/httptransaction.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "webservice/http/networkaccessmanager.h"
#include "webservice/serviceconfig.h"
#include "webservice/url/coreurl.h"

#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <limits>

namespace Drelk {

namespace {

int ClampToInt(qint64 value)
{
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

bool IsRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

CHttpTransaction::CHttpTransaction(QObject* parent)
    : QObject(parent)
    , m_hash(QCryptographicHash::Sha256)
{
    m_stallTimer.setSingleShot(true);
    connect(&m_stallTimer, &QTimer::timeout, this, &CHttpTransaction::OnStalled);
}

CHttpTransaction::~CHttpTransaction()
{
    DropReply();
    RemovePartFile();
}

QString CHttpTransaction::LogText(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo).toString();
}

HRESULT CHttpTransaction::SetURL(const QUrl& url, const CHttpHeaders& rawHeaders)
{
    if (m_state == StateRunning) {
        WriteLog("Drelk::CHttpTransaction::SetURL: running %x", E_FAIL);
        return E_FAIL;
    }
    if (!CoreUrl::IsWebUrl(url)) {
        WriteLog("Drelk::CHttpTransaction::SetURL: [%ls] invalid URL %x", qUtf16Printable(LogText(url)), E_INVALIDARG);
        return E_INVALIDARG;
    }
    m_url = url;
    m_finalUrl = url;
    m_headers = rawHeaders;
    m_method = "GET";
    m_postData.clear();
    m_contentType.clear();
    return S_OK;
}

HRESULT CHttpTransaction::SetPostData(const QByteArray& body, const QByteArray& contentType)
{
    if (m_state == StateRunning) {
        WriteLog("Drelk::CHttpTransaction::SetPostData: running %x", E_FAIL);
        return E_FAIL;
    }
    m_method = "POST";
    m_postData = body;
    m_contentType = contentType;
    return S_OK;
}

HRESULT CHttpTransaction::SetResponseDataFileName(const QString& fileName)
{
    if (m_state == StateRunning) {
        WriteLog("Drelk::CHttpTransaction::SetResponseDataFileName: running %x", E_FAIL);
        return E_FAIL;
    }
    m_fileName = fileName;
    return S_OK;
}

QByteArray CHttpTransaction::GetResponseHeader(const QByteArray& name) const
{
    for (const auto& header : m_responseHeaders) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return QByteArray();
}

HRESULT CHttpTransaction::Start()
{
    if (m_state == StateRunning) {
        WriteLog("Drelk::CHttpTransaction::Start: [%ls] already running %x", qUtf16Printable(LogText(m_url)), E_FAIL);
        return E_FAIL;
    }
    const HRESULT prepared = DoPrepare();
    if (FAILED(prepared))
        return prepared;
    if (!CoreUrl::IsWebUrl(m_url)) {
        WriteLog("Drelk::CHttpTransaction::Start: no valid URL %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    QNetworkAccessManager* manager = m_manager ? m_manager.data() : CNetworkAccessManager::ForRequests();
    if (!manager) {
        WriteLog("Drelk::CHttpTransaction::Start: [%ls] no network access manager %x", qUtf16Printable(LogText(m_url)),
                 E_FAIL);
        return E_FAIL;
    }
    m_result = 0;
    m_httpStatus = 0;
    m_redirects = 0;
    m_finalUrl = m_url;
    m_responseHeaders.clear();
    m_body.clear();
    m_sha256.clear();
    m_received = 0;
    m_bodyFailed = false;
    m_hash.reset();
    if (!m_fileName.isEmpty()) {
        const HRESULT hr = OpenPartFile();
        if (FAILED(hr))
            return hr;
    }
    if (m_activeManager != manager) {
        if (m_activeManager)
            disconnect(m_activeManager, &QObject::destroyed, this, &CHttpTransaction::OnManagerDestroyed);
        m_activeManager = manager;
        connect(manager, &QObject::destroyed, this, &CHttpTransaction::OnManagerDestroyed);
    }
    const HRESULT hr = SendRequest(m_url);
    if (FAILED(hr)) {
        WriteLog("Drelk::CHttpTransaction::Start: [%ls] not sent %x", qUtf16Printable(LogText(m_url)), hr);
        RemovePartFile();
        return hr;
    }
    m_state = StateRunning;
    emit WhenStateChanged();
    return S_OK;
}

HRESULT CHttpTransaction::OpenPartFile()
{
    m_file.reset(new QFile(PartFileName()));
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        WriteLog("Drelk::CHttpTransaction::OpenPartFile: [%ls] cannot write %x", qUtf16Printable(PartFileName()),
                 E_FAIL);
        m_file.reset();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CHttpTransaction::SendRequest(const QUrl& url)
{
    if (!m_activeManager)
        return E_FAIL;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Sonvero/1.0 (Linux)"));
    for (const auto& header : qAsConst(m_headers))
        request.setRawHeader(header.first, header.second);
    QNetworkReply* reply = nullptr;
    if (m_method == "POST") {
        request.setHeader(QNetworkRequest::ContentTypeHeader, m_contentType);
        reply = m_activeManager->post(request, m_postData);
    } else {
        reply = m_activeManager->get(request);
    }
    if (!reply)
        return E_FAIL;
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &CHttpTransaction::OnReadyRead);
    connect(reply, &QNetworkReply::finished, this, &CHttpTransaction::OnFinished);
    connect(reply, &QNetworkReply::downloadProgress, this, &CHttpTransaction::OnDownloadProgress);
    connect(reply, &QNetworkReply::uploadProgress, this, [this] { m_stallTimer.start(); });
    m_stallTimer.start(m_timeoutMs > 0 ? m_timeoutMs : ServiceConfig::TimeoutMs());
    return S_OK;
}

void CHttpTransaction::DropReply()
{
    m_stallTimer.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void CHttpTransaction::RemovePartFile()
{
    if (!m_file)
        return;
    m_file->remove();
    m_file.reset();
}

void CHttpTransaction::OnReadyRead()
{
    if (!m_reply)
        return;
    m_stallTimer.start();
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray chunk = m_reply->readAll();
    if (IsRedirect(status) || m_bodyFailed)
        return; // the redirect's own body is not the answer
    const qint64 cap = m_maxBody > 0 ? m_maxBody : (m_file ? MaxFileBody : MaxMemoryBody);
    if (m_received + chunk.size() > cap) {
        WriteLog("Drelk::CHttpTransaction::OnReadyRead: [%ls] answer over %lld bytes %x",
                 qUtf16Printable(LogText(m_finalUrl)), static_cast<long long>(cap), SV_E_BAD_ANSWER);
        Fail(SV_E_BAD_ANSWER);
        return;
    }
    m_received += chunk.size();
    m_hash.addData(chunk);
    if (m_file) {
        if (m_file->write(chunk) != chunk.size()) {
            WriteLog("Drelk::CHttpTransaction::OnReadyRead: [%ls] write failed %x", qUtf16Printable(PartFileName()),
                     E_FAIL);
            Fail(E_FAIL);
        }
        return;
    }
    m_body += chunk;
}

void CHttpTransaction::OnDownloadProgress(qint64 received, qint64 total)
{
    if (!m_reply)
        return;
    m_stallTimer.start();
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (IsRedirect(status))
        return;
    emit WhenDownloadProgress(total < 0 ? -1 : ClampToInt(total), ClampToInt(received));
}

void CHttpTransaction::OnStalled()
{
    if (m_state != StateRunning)
        return;
    WriteLog("Drelk::CHttpTransaction::OnStalled: [%ls] no data for %d ms %x", qUtf16Printable(LogText(m_finalUrl)),
             m_stallTimer.interval(), SV_E_TIMED_OUT);
    Fail(SV_E_TIMED_OUT);
}

void CHttpTransaction::OnManagerDestroyed()
{
    m_reply = nullptr; // went with its manager
    if (m_state != StateRunning)
        return;
    WriteLog("Drelk::CHttpTransaction::OnManagerDestroyed: [%ls] %x", qUtf16Printable(LogText(m_finalUrl)),
             SV_E_NETWORK_FAILURE);
    Fail(SV_E_NETWORK_FAILURE);
}

void CHttpTransaction::Abort()
{
    if (m_state != StateRunning)
        return;
    WriteLog("Drelk::CHttpTransaction::Abort: [%ls] %x", qUtf16Printable(LogText(m_finalUrl)), SV_E_CANCELLED);
    Fail(SV_E_CANCELLED);
}

void CHttpTransaction::Fail(HRESULT result)
{
    m_bodyFailed = true;
    DropReply();
    Complete(result);
}

void CHttpTransaction::OnFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply || m_state != StateRunning)
        return;
    m_stallTimer.stop();
    if (reply->bytesAvailable() > 0)
        OnReadyRead();
    if (m_state != StateRunning)
        return; // failed while reading the rest
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();

    m_httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_responseHeaders = reply->rawHeaderPairs();
    const QNetworkReply::NetworkError error = reply->error();

    if (IsRedirect(m_httpStatus) && !(m_flags & FlagNoRedirects)) {
        const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        const QUrl target = m_finalUrl.resolved(location);
        if (++m_redirects > MaxRedirects) {
            WriteLog("Drelk::CHttpTransaction::OnFinished: [%ls] more than %d redirects %x",
                     qUtf16Printable(LogText(m_url)), MaxRedirects, SV_E_HTTP_STATUS);
            Complete(SV_E_HTTP_STATUS);
            return;
        }
        const bool downgrade = m_finalUrl.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0
                               && target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0;
        if (!CoreUrl::IsWebUrl(target) || downgrade) {
            WriteLog("Drelk::CHttpTransaction::OnFinished: [%ls] redirect refused [%ls] %x",
                     qUtf16Printable(LogText(m_finalUrl)), qUtf16Printable(LogText(target)), SV_E_BAD_ANSWER);
            Complete(SV_E_BAD_ANSWER);
            return;
        }
        if (m_method == "POST" && m_httpStatus != 307 && m_httpStatus != 308) {
            m_method = "GET";
            m_postData.clear();
        }
        m_finalUrl = target;
        m_body.clear();
        m_received = 0;
        m_hash.reset();
        if (m_file && (!m_file->resize(0) || !m_file->seek(0))) {
            Complete(E_FAIL);
            return;
        }
        const HRESULT hr = SendRequest(target);
        if (FAILED(hr))
            Complete(hr);
        return;
    }

    HRESULT result = S_OK;
    if (m_httpStatus == 404) {
        result = SV_E_NO_CONTENT;
    } else if (m_httpStatus != 0 && (m_httpStatus < 200 || m_httpStatus > 299)) {
        result = SV_E_HTTP_STATUS;
    } else if (error != QNetworkReply::NoError) {
        result = error == QNetworkReply::OperationCanceledError ? SV_E_CANCELLED : SV_E_NETWORK_FAILURE;
    }
    if (FAILED(result))
        WriteLog("Drelk::CHttpTransaction::OnFinished: [%ls] http=%d net=%d %x", qUtf16Printable(LogText(m_finalUrl)),
                 m_httpStatus, static_cast<int>(error), result);
    Complete(result);
}

void CHttpTransaction::Complete(HRESULT result)
{
    if (m_state != StateRunning)
        return;
    m_stallTimer.stop();
    m_sha256 = m_hash.result();
    if (m_file) {
        if (SUCCEEDED(result)) {
            const bool flushed = m_file->flush();
            m_file->close();
            QFile::remove(m_fileName);
            if (!flushed || !m_file->rename(m_fileName)) {
                WriteLog("Drelk::CHttpTransaction::Complete: [%ls] rename failed %x", qUtf16Printable(m_fileName),
                         E_FAIL);
                result = E_FAIL;
                m_file->remove();
            }
            m_file.reset();
        } else {
            RemovePartFile();
        }
    }
    result = DoParseResponse(result);
    m_result = result;
    m_state = StateCompleted;
    emit WhenStateChanged();
    DoCompleted();
}

HRESULT CHttpTransaction::DoParseResponse(HRESULT result)
{
    return result;
}

} // namespace Drelk
