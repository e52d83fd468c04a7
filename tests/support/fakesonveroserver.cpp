#include "support/fakesonveroserver.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace SvTest {

// The server's own copies of the program's keys: a wrong key in the program fails the tests.
const char CFakeSonveroServer::ConsumerKey[] = "5f0c2e9a7d41b3c8e6a9f2d17b04c5e3";
const char CFakeSonveroServer::ConsumerSecret[] = "q8Rt2vXn5LpZ0cWm7Ys4Hd9Kf3Bj6Ge1";
const char CFakeSonveroServer::ProviderApiKey[] = "3_svDesktopLinuxKey7Qp2";
const char CFakeSonveroServer::ProviderSecret[] = "Nw4bT9yPz2Kc7Lm5Qx8Rv1Hs6Jd3Ga0E";

namespace {

CParamPairs ParsePairs(const QByteArray& text, bool plusIsSpace)
{
    CParamPairs out;
    const QList<QByteArray> pieces = text.split('&');
    for (QByteArray piece : pieces) {
        if (piece.isEmpty())
            continue;
        if (plusIsSpace)
            piece.replace('+', ' ');
        const int eq = piece.indexOf('=');
        const QByteArray name = eq < 0 ? piece : piece.left(eq);
        const QByteArray value = eq < 0 ? QByteArray() : piece.mid(eq + 1);
        out.append(qMakePair(QString::fromUtf8(QByteArray::fromPercentEncoding(name)),
                             QString::fromUtf8(QByteArray::fromPercentEncoding(value))));
    }
    return out;
}

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QString Key(const QString& a, const QString& b, const QString& c = QString(), const QString& d = QString())
{
    return a.toLower() + QLatin1Char('\x1f') + b.toLower() + QLatin1Char('\x1f') + c.toLower() + QLatin1Char('\x1f')
           + d.toLower();
}

QByteArray JsonError(int code, const QString& message)
{
    QJsonObject object;
    object.insert(QStringLiteral("errorCode"), code);
    object.insert(QStringLiteral("errorMessage"), message);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

// ---- CFakeRequest

QString CFakeRequest::Param(const QString& name) const
{
    for (const auto& pair : query) {
        if (pair.first == name)
            return pair.second;
    }
    for (const auto& pair : form) {
        if (pair.first == name)
            return pair.second;
    }
    return QString();
}

bool CFakeRequest::HasParam(const QString& name) const
{
    for (const auto& pair : query) {
        if (pair.first == name)
            return true;
    }
    for (const auto& pair : form) {
        if (pair.first == name)
            return true;
    }
    return false;
}

QByteArray CFakeRequest::Header(const QByteArray& name) const
{
    for (const auto& pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return QByteArray();
}

// ---- CFakeAnswer

CFakeAnswer CFakeAnswer::Xml(const QByteArray& xml)
{
    CFakeAnswer answer;
    answer.body = xml;
    return answer;
}

CFakeAnswer CFakeAnswer::ServiceOk(const QByteArray& payload)
{
    return Xml(CFakeSonveroServer::ServiceOkXml(payload));
}

CFakeAnswer CFakeAnswer::ServiceError(int code, const QString& text)
{
    return Xml(CFakeSonveroServer::ServiceErrorXml(code, text));
}

CFakeAnswer CFakeAnswer::Json(const QByteArray& json)
{
    CFakeAnswer answer;
    answer.contentType = "application/json; charset=utf-8";
    answer.body = json;
    return answer;
}

CFakeAnswer CFakeAnswer::Status(int status, const QByteArray& body)
{
    CFakeAnswer answer;
    answer.status = status;
    answer.contentType = "text/plain";
    answer.body = body;
    return answer;
}

CFakeAnswer CFakeAnswer::Redirect(const QByteArray& location, int status)
{
    CFakeAnswer answer = Status(status);
    answer.headers.append(qMakePair(QByteArray("Location"), location));
    return answer;
}

CFakeAnswer CFakeAnswer::Data(const QByteArray& bytes, const QByteArray& contentType)
{
    CFakeAnswer answer;
    answer.contentType = contentType;
    answer.body = bytes;
    return answer;
}

CFakeAnswer CFakeAnswer::Dropped()
{
    CFakeAnswer answer;
    answer.drop = true;
    return answer;
}

CFakeAnswer CFakeAnswer::Held(CFakeAnswer answer)
{
    answer.hold = true;
    return answer;
}

// ---- CFakeSonveroServer

CFakeSonveroServer::CFakeSonveroServer(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    m_languages << QStringLiteral("de") << QStringLiteral("fr") << QStringLiteral("ja");
    connect(m_server, &QTcpServer::newConnection, this, &CFakeSonveroServer::OnNewConnection);
    m_server->listen(QHostAddress::LocalHost, 0);
}

CFakeSonveroServer::~CFakeSonveroServer()
{
    const QList<QTcpSocket*> sockets = m_buffers.keys();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        socket->abort();
    }
}

bool CFakeSonveroServer::IsListening() const
{
    return m_server->isListening();
}

quint16 CFakeSonveroServer::Port() const
{
    return m_server->serverPort();
}

QString CFakeSonveroServer::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(Port());
}

QString CFakeSonveroServer::ApiUrl() const
{
    return BaseUrl() + QStringLiteral("/api/");
}

QString CFakeSonveroServer::AdUrl() const
{
    return BaseUrl() + QStringLiteral("/ads/");
}

QString CFakeSonveroServer::LoginApiUrl() const
{
    return BaseUrl() + QStringLiteral("/provider/");
}

QString CFakeSonveroServer::LoginPageUrl() const
{
    return BaseUrl() + QStringLiteral("/provider-login/page");
}

QString CFakeSonveroServer::UrlFor(const QString& path) const
{
    return BaseUrl() + (path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
}

void CFakeSonveroServer::ConfigureSettings() const
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("service"));
    settings.setValue(QStringLiteral("api_url"), ApiUrl());
    settings.setValue(QStringLiteral("ad_url"), AdUrl());
    settings.setValue(QStringLiteral("login_api_url"), LoginApiUrl());
    settings.setValue(QStringLiteral("login_page_url"), LoginPageUrl());
    settings.endGroup();
    settings.sync();
}

void CFakeSonveroServer::SetAnswer(const QString& path, const CFakeAnswer& answer)
{
    m_answers.insert(path, answer);
}

void CFakeSonveroServer::QueueAnswer(const QString& path, const CFakeAnswer& answer)
{
    m_queued[path].append(answer);
}

void CFakeSonveroServer::SetFile(const QString& path, const QByteArray& bytes, const QByteArray& contentType)
{
    m_files.insert(path, qMakePair(bytes, contentType));
}

int CFakeSonveroServer::ReleaseHeld()
{
    const QList<CHeld> held = m_held;
    m_held.clear();
    int sent = 0;
    for (const CHeld& entry : held) {
        if (!entry.socket)
            continue;
        CFakeAnswer answer = entry.answer;
        answer.hold = false;
        Send(entry.socket, answer);
        ++sent;
    }
    return sent;
}

int CFakeSonveroServer::HeldCount() const
{
    int count = 0;
    for (const CHeld& entry : m_held)
        count += entry.socket ? 1 : 0;
    return count;
}

QList<CFakeRequest> CFakeSonveroServer::RequestsTo(const QString& path) const
{
    QList<CFakeRequest> out;
    for (const CFakeRequest& request : m_requests) {
        if (request.path == path)
            out.append(request);
    }
    return out;
}

CFakeRequest CFakeSonveroServer::LastRequest() const
{
    return m_requests.isEmpty() ? CFakeRequest() : m_requests.last();
}

QString CFakeSonveroServer::NewId(const QString& prefix)
{
    return prefix + QString::number(++m_nextId);
}

QString CFakeSonveroServer::AddUser(CUser user)
{
    if (user.id.isEmpty())
        user.id = NewId(QStringLiteral("u"));
    m_users.append(user);
    return user.id;
}

const CFakeSonveroServer::CUser* CFakeSonveroServer::FindUserById(const QString& id) const
{
    for (const CUser& user : m_users) {
        if (user.id == id)
            return &user;
    }
    return nullptr;
}

const CFakeSonveroServer::CUser* CFakeSonveroServer::FindUserByEmail(const QString& email) const
{
    for (const CUser& user : m_users) {
        if (user.email.compare(email, Qt::CaseInsensitive) == 0)
            return &user;
    }
    return nullptr;
}

QByteArray CFakeSonveroServer::IssueToken(const QString& uid)
{
    const QByteArray token = "tok" + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    const QByteArray secret = "sec" + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    m_tokens.insert(token, qMakePair(uid, secret));
    return token;
}

QByteArray CFakeSonveroServer::TokenSecret(const QByteArray& token) const
{
    return m_tokens.value(token).second;
}

void CFakeSonveroServer::SetLyrics(const CLyrics& lyrics)
{
    m_lyrics.insert(Key(lyrics.artist, lyrics.title, lyrics.album, lyrics.lang), lyrics);
}

const CFakeSonveroServer::CLyrics* CFakeSonveroServer::FindLyrics(const QString& artist, const QString& title,
                                                                  const QString& album, const QString& lang) const
{
    const auto it = m_lyrics.constFind(Key(artist, title, album, lang));
    return it == m_lyrics.constEnd() ? nullptr : &it.value();
}

void CFakeSonveroServer::SetAlbumArt(const QString& artist, const QString& album, const QByteArray& bytes,
                                     const QByteArray& contentType)
{
    m_albumArt.insert(Key(artist, album), qMakePair(bytes, contentType));
}

void CFakeSonveroServer::SetAd(const CAd& ad)
{
    m_ad = ad;
    m_hasAd = true;
    if (!ad.imagePath.isEmpty() && !ad.imageBytes.isEmpty())
        SetFile(ad.imagePath, ad.imageBytes, "image/png");
    for (const QString& pixel : ad.pixelPaths)
        SetFile(pixel, QByteArray("GIF89a"), "image/gif");
}

void CFakeSonveroServer::AddProviderUser(const CProviderUser& user)
{
    m_providerUsers.insert(user.UID, user);
}

const CFakeSonveroServer::CProviderUser* CFakeSonveroServer::FindProviderUser(const QString& uid) const
{
    const auto it = m_providerUsers.constFind(uid);
    return it == m_providerUsers.constEnd() ? nullptr : &it.value();
}

QString CFakeSonveroServer::IssueProviderToken(const QString& uid)
{
    const QString token = QStringLiteral("pt") + QString::number(QRandomGenerator::global()->generate64(), 16);
    m_providerTokens.insert(token, uid);
    return token;
}

QByteArray CFakeSonveroServer::ServiceOkXml(const QByteArray& payload)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sv status=\"ok\">" + payload + "</sv>\n";
}

QByteArray CFakeSonveroServer::ServiceErrorXml(int code, const QString& text)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sv status=\"fail\"><error code=\"" + QByteArray::number(code)
           + "\" text=\"" + Attr(text).toUtf8() + "\"/></sv>\n";
}

QString CFakeSonveroServer::Attr(const QString& value)
{
    QString out = value.toHtmlEscaped();
    out.replace(QLatin1Char('\n'), QStringLiteral("&#10;"));
    return out;
}

QByteArray CFakeSonveroServer::OAuthBaseString(const QByteArray& method, const QByteArray& url,
                                               const CParamPairs& params)
{
    QList<QPair<QByteArray, QByteArray>> encoded;
    for (const auto& pair : params) {
        if (pair.first == QLatin1String("oauth_signature"))
            continue;
        encoded.append(qMakePair(pair.first.toUtf8().toPercentEncoding(), pair.second.toUtf8().toPercentEncoding()));
    }
    std::sort(encoded.begin(), encoded.end());
    QByteArrayList joined;
    for (const auto& pair : encoded)
        joined << pair.first + '=' + pair.second;
    return method + '&' + url.toPercentEncoding() + '&' + joined.join('&').toPercentEncoding();
}

QByteArray CFakeSonveroServer::OAuthSignature(const QByteArray& baseString, const QByteArray& consumerSecret,
                                              const QByteArray& tokenSecret)
{
    const QByteArray key = consumerSecret.toPercentEncoding() + '&' + tokenSecret.toPercentEncoding();
    return QMessageAuthenticationCode::hash(baseString, key, QCryptographicHash::Sha1).toBase64();
}

void CFakeSonveroServer::OnNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, &CFakeSonveroServer::OnReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void CFakeSonveroServer::OnReadyRead()
{
    QTcpSocket* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket || !m_buffers.contains(socket))
        return;
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    CFakeRequest request;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    const QByteArray target = requestLine.value(1);
    int contentLength = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        request.headers.append(qMakePair(name, value));
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            contentLength = value.toInt();
    }
    if (buffer.size() < headerEnd + 4 + contentLength)
        return; // body incomplete
    request.body = buffer.mid(headerEnd + 4, contentLength);
    buffer.clear();

    const int mark = target.indexOf('?');
    request.rawPath = mark < 0 ? target : target.left(mark);
    request.path = QString::fromUtf8(QByteArray::fromPercentEncoding(request.rawPath));
    request.query = ParsePairs(mark < 0 ? QByteArray() : target.mid(mark + 1), false);
    if (request.Header("Content-Type").startsWith("application/x-www-form-urlencoded"))
        request.form = ParsePairs(request.body, true);
    HandleRequest(socket, request);
}

void CFakeSonveroServer::HandleRequest(QTcpSocket* socket, CFakeRequest request)
{
    CFakeAnswer answer = Route(request);
    m_requests.append(request);
    if (answer.drop) {
        socket->abort();
        return;
    }
    if (answer.hold) {
        m_held.append(CHeld{socket, answer});
        return;
    }
    Send(socket, answer);
}

void CFakeSonveroServer::Send(QTcpSocket* socket, const CFakeAnswer& answer)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + ReasonPhrase(answer.status) + "\r\n";
    if (!answer.contentType.isEmpty())
        head += "Content-Type: " + answer.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    for (const auto& header : answer.headers)
        head += header.first + ": " + header.second + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (answer.partialBytes >= 0) {
        socket->write(head + answer.body.left(answer.partialBytes));
        socket->flush();
        if (answer.dropAfterPartial) {
            QPointer<QTcpSocket> guard(socket);
            QTimer::singleShot(20, this, [guard] {
                if (guard)
                    guard->abort();
            });
        }
        return; // stalls: the rest never comes
    }
    socket->write(head + answer.body);
    socket->disconnectFromHost();
}

CFakeAnswer CFakeSonveroServer::Route(CFakeRequest& request)
{
    const QString& path = request.path;
    const bool isApi = path.startsWith(QLatin1String("/api/"));
    if (isApi && !CheckOAuth(request))
        return CFakeAnswer::ServiceError(401, QStringLiteral("invalid signature"));

    auto queued = m_queued.find(path);
    if (queued != m_queued.end() && !queued.value().isEmpty()) {
        const CFakeAnswer answer = queued.value().takeFirst();
        return answer;
    }
    const auto scripted = m_answers.constFind(path);
    if (scripted != m_answers.constEnd())
        return scripted.value();
    const auto file = m_files.constFind(path);
    if (file != m_files.constEnd())
        return CFakeAnswer::Data(file.value().first, file.value().second);

    if (isApi)
        return HandleApi(request, path.mid(5));
    if (path.startsWith(QLatin1String("/ads/")))
        return HandleAd(request, path.mid(5));
    if (path.startsWith(QLatin1String("/provider/"))) {
        if (!CheckProviderSignature(request))
            return CFakeAnswer::Json(JsonError(403003, QStringLiteral("Invalid request signature")));
        return HandleProvider(request, path.mid(10));
    }
    if (path == QLatin1String("/provider-login/page"))
        return HandleLoginPage(request);
    return CFakeAnswer::Status(404, "not found");
}

bool CFakeSonveroServer::CheckOAuth(CFakeRequest& request)
{
    request.signatureChecked = true;
    request.signatureValid = false;
    if (request.Param(QStringLiteral("oauth_consumer_key")) != QLatin1String(ConsumerKey)
        || request.Param(QStringLiteral("oauth_signature_method")) != QLatin1String("HMAC-SHA1")
        || request.Param(QStringLiteral("oauth_version")) != QLatin1String("1.0")
        || request.Param(QStringLiteral("oauth_nonce")).isEmpty()
        || request.Param(QStringLiteral("oauth_timestamp")).isEmpty())
        return false;
    QByteArray tokenSecret;
    if (request.HasParam(QStringLiteral("oauth_token"))) {
        const QByteArray token = request.Param(QStringLiteral("oauth_token")).toUtf8();
        if (!m_tokens.contains(token))
            return false;
        tokenSecret = m_tokens.value(token).second;
    }
    const QByteArray host = request.Header("Host");
    const QByteArray url = "http://" + host.toLower() + request.rawPath;
    CParamPairs all = request.query;
    all += request.form;
    const QByteArray base = OAuthBaseString(request.method, url, all);
    const QByteArray expected = OAuthSignature(base, ConsumerSecret, tokenSecret);
    request.signatureValid = expected == request.Param(QStringLiteral("oauth_signature")).toLatin1();
    return request.signatureValid;
}

bool CFakeSonveroServer::CheckProviderSignature(const CFakeRequest& request) const
{
    if (request.Param(QStringLiteral("apiKey")) != QLatin1String(ProviderApiKey))
        return false;
    CParamPairs all = request.query;
    all += request.form;
    CParamPairs withoutSig;
    for (const auto& pair : all) {
        if (pair.first != QLatin1String("sig"))
            withoutSig.append(pair);
    }
    const QByteArray url = "http://" + request.Header("Host").toLower() + request.rawPath;
    const QByteArray base = OAuthBaseString(request.method, url, withoutSig);
    const QByteArray expected = OAuthSignature(base, ProviderSecret, QByteArray());
    return expected == request.Param(QStringLiteral("sig")).toLatin1();
}

QByteArray CFakeSonveroServer::UsersXml(const QList<const CUser*>& users) const
{
    QByteArray xml = "<users>";
    for (const CUser* user : users) {
        xml += QStringLiteral("<user id=\"%1\" email=\"%2\" name_full=\"%3\" handle=\"%4\" country=\"%5\" "
                              "lang1=\"%6\" lang2=\"%7\" auth=\"%8\" gender=\"%9\" birth=\"%10\"/>")
                   .arg(Attr(user->id), Attr(user->email), Attr(user->nameFull), Attr(user->handle),
                        Attr(user->country), Attr(user->lang1), Attr(user->lang2), QString::number(user->auth),
                        Attr(user->gender))
                   .arg(Attr(user->birth))
                   .toUtf8();
    }
    return xml + "</users>";
}

CFakeAnswer CFakeSonveroServer::HandleApi(CFakeRequest& request, const QString& path)
{
    const QByteArray token = request.Param(QStringLiteral("oauth_token")).toUtf8();
    const QString owner = token.isEmpty() ? QString() : m_tokens.value(token).first;
    const bool post = request.method == "POST";

    if (path == QLatin1String("oauth/access_token") && post) {
        const QString mode = request.Param(QStringLiteral("x_auth_mode"));
        QString uid;
        if (mode == QLatin1String("client_auth")) {
            const CUser* user = FindUserByEmail(request.Param(QStringLiteral("x_auth_username")));
            if (!user || user->password != request.Param(QStringLiteral("x_auth_password")))
                return CFakeAnswer::ServiceError(1028, QStringLiteral("invalid credentials"));
            uid = user->id;
        } else if (mode == QLatin1String("client_uuid")) {
            const QString wanted = request.Param(QStringLiteral("x_auth_uuid"));
            const QString providerToken = request.Param(QStringLiteral("x_auth_provider_token"));
            const CProviderUser* providerUser = FindProviderUser(m_providerTokens.value(providerToken));
            const bool byToken = !owner.isEmpty() && owner == wanted;
            const bool byProvider = providerUser && providerUser->isSiteUID && providerUser->UID == wanted;
            if (!FindUserById(wanted) || (!byToken && !byProvider))
                return CFakeAnswer::ServiceError(1028, QStringLiteral("no proof for this user"));
            uid = wanted;
        } else {
            return CFakeAnswer::ServiceError(400, QStringLiteral("unknown mode"));
        }
        const QByteArray newToken = IssueToken(uid);
        return CFakeAnswer::ServiceOk("<access token=\"" + newToken + "\" secret=\"" + TokenSecret(newToken)
                                      + "\" uid=\"" + Attr(uid).toUtf8() + "\"/>");
    }

    if (path == QLatin1String("v2/lyrics")) {
        if (!post) {
            const CLyrics* lyrics = FindLyrics(request.Param(QStringLiteral("artist")),
                                               request.Param(QStringLiteral("title")),
                                               request.Param(QStringLiteral("album")),
                                               request.Param(QStringLiteral("lang")));
            const bool versionCheck = request.HasParam(QStringLiteral("version"));
            if (!lyrics)
                return CFakeAnswer::ServiceOk(QByteArray("<lyrics kind=\"") + (versionCheck ? "0" : "1")
                                              + "\" songId=\"0\" groupId=\"0\" version=\"-1\" lock=\"0\" blocked=\"0\"/>");
            QString xml = QStringLiteral("<lyrics kind=\"%1\" songId=\"%2\" groupId=\"%3\" version=\"%4\" lock=\"%5\" "
                                         "blocked=\"%6\" title=\"%7\" artist=\"%8\" album=\"%9\">")
                              .arg(versionCheck ? 0 : 1)
                              .arg(lyrics->songId)
                              .arg(lyrics->groupId)
                              .arg(lyrics->version)
                              .arg(lyrics->lock)
                              .arg(lyrics->blocked)
                              .arg(Attr(lyrics->title), Attr(lyrics->artist), Attr(lyrics->album));
            if (!versionCheck) {
                for (const CLyricLine& line : lyrics->lines)
                    xml += QStringLiteral("<line time=\"%1\">%2</line>").arg(line.time).arg(line.text.toHtmlEscaped());
            }
            xml += QStringLiteral("</lyrics>");
            return CFakeAnswer::ServiceOk(xml.toUtf8());
        }
        CLyrics lyrics;
        lyrics.artist = request.Param(QStringLiteral("artist"));
        lyrics.title = request.Param(QStringLiteral("title"));
        lyrics.album = request.Param(QStringLiteral("album"));
        lyrics.lang = request.Param(QStringLiteral("lang"));
        const CLyrics* old = FindLyrics(lyrics.artist, lyrics.title, lyrics.album, lyrics.lang);
        lyrics.songId = old ? old->songId : m_nextId++;
        lyrics.groupId = old ? old->groupId : m_nextId++;
        lyrics.version = old ? old->version + 1 : 1;
        const int count = request.Param(QStringLiteral("count")).toInt();
        for (int i = 0; i < count; ++i) {
            CLyricLine line;
            line.time = request.Param(QStringLiteral("time_%1").arg(i)).toInt();
            line.text = request.Param(QStringLiteral("text_%1").arg(i));
            lyrics.lines.append(line);
        }
        SetLyrics(lyrics);
        return CFakeAnswer::ServiceOk(QStringLiteral("<setlyrics version=\"%1\" songId=\"%2\" groupId=\"%3\"/>")
                                          .arg(lyrics.version)
                                          .arg(lyrics.songId)
                                          .arg(lyrics.groupId)
                                          .toUtf8());
    }

    if (path == QLatin1String("v2/playhistory") && post) {
        if (owner.isEmpty())
            return CFakeAnswer::ServiceError(1028, QStringLiteral("sign in first"));
        QByteArray xml = "<playhistory time=\"" + request.Param(QStringLiteral("time")).toUtf8() + "\">";
        const int count = request.Param(QStringLiteral("count")).toInt();
        static const char* const fields[] = {"artist", "title", "album", "duration", "position", "user",
                                             "device", "source", "played", "groupId", "message"};
        for (int i = 0; i < count; ++i) {
            xml += "<play";
            for (const char* field : fields) {
                xml += ' ' + QByteArray(field) + "=\""
                       + Attr(request.Param(QStringLiteral("%1_%2").arg(QLatin1String(field)).arg(i))).toUtf8() + '"';
            }
            xml += "/>";
        }
        return CFakeAnswer::ServiceOk(xml + "</playhistory>");
    }

    if (path == QLatin1String("v2/albumart")) {
        const auto it = m_albumArt.constFind(Key(request.Param(QStringLiteral("artist")),
                                                 request.Param(QStringLiteral("album"))));
        if (it == m_albumArt.constEnd())
            return CFakeAnswer::Status(404, "no picture");
        return CFakeAnswer::Data(it.value().first, it.value().second);
    }

    if (path == QLatin1String("v2/update")) {
        return CFakeAnswer::ServiceOk(QStringLiteral("<update needupdate=\"%1\" mandatory=\"%2\" version=\"%3\" "
                                                     "url=\"%4\" sha256=\"%5\"/>")
                                          .arg(m_update.needUpdate ? 1 : 0)
                                          .arg(m_update.mandatory ? 1 : 0)
                                          .arg(Attr(m_update.version), Attr(m_update.url), Attr(m_update.sha256))
                                          .toUtf8());
    }

    if (path == QLatin1String("v2/sysmsgs")) {
        QString xml = QStringLiteral("<messages>");
        for (const CSystemMessage& message : qAsConst(m_messages)) {
            xml += QStringLiteral("<message id=\"%1\" url=\"%2\" title=\"%3\" button=\"%4\">%5</message>")
                       .arg(Attr(message.id), Attr(message.url), Attr(message.title), Attr(message.button),
                            message.text.toHtmlEscaped());
        }
        return CFakeAnswer::ServiceOk((xml + QStringLiteral("</messages>")).toUtf8());
    }

    if (path == QLatin1String("v2/languages")) {
        QByteArray xml = "<languages>";
        for (const QString& code : qAsConst(m_languages))
            xml += "<language code=\"" + Attr(code).toUtf8() + "\"/>";
        return CFakeAnswer::ServiceOk(xml + "</languages>");
    }

    if (path == QLatin1String("v2/users") && !post) {
        QList<const CUser*> users;
        if (request.HasParam(QStringLiteral("email"))) {
            if (const CUser* user = FindUserByEmail(request.Param(QStringLiteral("email"))))
                users << user;
        } else {
            const QStringList ids = request.Param(QStringLiteral("ids")).split(QLatin1Char(','), Qt::SkipEmptyParts);
            for (const QString& id : ids) {
                if (const CUser* user = FindUserById(id))
                    users << user;
            }
        }
        return CFakeAnswer::ServiceOk(UsersXml(users));
    }

    if (path == QLatin1String("v2/users") && post) {
        const QString email = request.Param(QStringLiteral("email"));
        const bool social = request.Param(QStringLiteral("provider")) == QLatin1String("gigya");
        if (email.isEmpty() || FindUserByEmail(email)
            || (!social && request.Param(QStringLiteral("password")).isEmpty()))
            return CFakeAnswer::ServiceError(1028, QStringLiteral("cannot create this user"));
        CUser user;
        user.email = email;
        user.password = request.Param(QStringLiteral("password"));
        user.handle = request.Param(QStringLiteral("nick"));
        const QString id = AddUser(user);
        return CFakeAnswer::ServiceOk("<user id=\"" + Attr(id).toUtf8() + "\"/>");
    }

    if (path == QLatin1String("v2/users/resetpassword") && post) {
        if (!FindUserByEmail(request.Param(QStringLiteral("email"))))
            return CFakeAnswer::ServiceError(1028, QStringLiteral("unknown e-mail"));
        return CFakeAnswer::ServiceOk(QByteArray());
    }

    if (path == QLatin1String("v2/users/merge") && post) {
        if (owner.isEmpty())
            return CFakeAnswer::ServiceError(1028, QStringLiteral("sign in first"));
        if (request.Param(QStringLiteral("from")).isEmpty())
            return CFakeAnswer::ServiceError(400, QStringLiteral("nothing to merge"));
        return CFakeAnswer::ServiceOk(QByteArray());
    }

    if (path == QLatin1String("v2/blips") && post) {
        if (owner.isEmpty())
            return CFakeAnswer::ServiceError(1028, QStringLiteral("sign in first"));
        const QString network = request.Param(QStringLiteral("network"));
        if (network != QLatin1String("0") && network != QLatin1String("1"))
            return CFakeAnswer::ServiceError(400, QStringLiteral("unknown network"));
        return CFakeAnswer::ServiceOk("<blip id=\"" + NewId(QStringLiteral("b")).toUtf8() + "\"/>");
    }

    return CFakeAnswer::Status(404, "unknown method");
}

CFakeAnswer CFakeSonveroServer::HandleAd(const CFakeRequest& request, const QString& path)
{
    if (path == QLatin1String("ad")) {
        if (!m_hasAd || m_ad.empty)
            return CFakeAnswer::Xml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ad/>");
        QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ad placement=\"%1\" link=\"%2\" "
                                     "text=\"%3\" image=\"%4\">")
                          .arg(Attr(m_ad.placement), Attr(m_ad.link), Attr(m_ad.text),
                               Attr(m_ad.imagePath.isEmpty() ? QString() : UrlFor(m_ad.imagePath)));
        for (const QString& pixel : m_ad.pixelPaths)
            xml += QStringLiteral("<pixel url=\"%1\"/>").arg(Attr(UrlFor(pixel)));
        xml += QStringLiteral("</ad>");
        return CFakeAnswer::Xml(xml.toUtf8());
    }
    if (path == QLatin1String("click")) {
        if (request.Param(QStringLiteral("link")).isEmpty())
            return CFakeAnswer::Status(400, "no link");
        return CFakeAnswer::Status(200, "ok");
    }
    return CFakeAnswer::Status(404, "not found");
}

CFakeAnswer CFakeSonveroServer::HandleProvider(CFakeRequest& request, const QString& method)
{
    if (method == QLatin1String("socialize.getToken")) {
        const QString siteUid = request.Param(QStringLiteral("x_siteUID"));
        const CProviderUser* user = FindProviderUser(siteUid);
        if (!user || !user->isSiteUID)
            return CFakeAnswer::Json(JsonError(403047, QStringLiteral("unknown user")));
        QJsonObject object;
        object.insert(QStringLiteral("errorCode"), 0);
        object.insert(QStringLiteral("access_token"), IssueProviderToken(siteUid));
        return CFakeAnswer::Json(QJsonDocument(object).toJson(QJsonDocument::Compact));
    }
    const QString token = request.Param(QStringLiteral("oauth_token"));
    const QString uid = m_providerTokens.value(token);
    if (uid.isEmpty() || !m_providerUsers.contains(uid))
        return CFakeAnswer::Json(JsonError(403005, QStringLiteral("invalid token")));
    if (method == QLatin1String("socialize.getUserInfo")) {
        const CProviderUser& user = m_providerUsers[uid];
        QJsonObject object;
        object.insert(QStringLiteral("errorCode"), 0);
        object.insert(QStringLiteral("UID"), user.UID);
        object.insert(QStringLiteral("isSiteUID"), user.isSiteUID);
        object.insert(QStringLiteral("email"), user.email);
        object.insert(QStringLiteral("nickname"), user.nickname);
        object.insert(QStringLiteral("providers"), user.providers.join(QLatin1Char(',')));
        return CFakeAnswer::Json(QJsonDocument(object).toJson(QJsonDocument::Compact));
    }
    if (method == QLatin1String("socialize.setUID")) {
        const QString siteUid = request.Param(QStringLiteral("siteUID"));
        if (siteUid.isEmpty())
            return CFakeAnswer::Json(JsonError(400002, QStringLiteral("missing siteUID")));
        CProviderUser user = m_providerUsers.take(uid);
        user.UID = siteUid;
        user.isSiteUID = true;
        m_providerUsers.insert(siteUid, user);
        for (auto it = m_providerTokens.begin(); it != m_providerTokens.end(); ++it) {
            if (it.value() == uid)
                it.value() = siteUid;
        }
        return CFakeAnswer::Json("{\"errorCode\":0}");
    }
    return CFakeAnswer::Json(JsonError(400096, QStringLiteral("unknown method")));
}

CFakeAnswer CFakeSonveroServer::HandleLoginPage(const CFakeRequest& request)
{
    const QString redirect = request.Param(QStringLiteral("redirect_uri"));
    if (request.Param(QStringLiteral("apiKey")) != QLatin1String(ProviderApiKey) || redirect.isEmpty())
        return CFakeAnswer::Status(400, "bad login request");
    QString target;
    if (m_loginPageMode == ELoginPageMode::Error || !m_providerUsers.contains(m_loginUser))
        target = redirect + QStringLiteral("#error=access_denied");
    else
        target = redirect + QStringLiteral("#access_token=") + IssueProviderToken(m_loginUser)
                 + QStringLiteral("&expires_in=3600");
    if (m_loginPageMode == ELoginPageMode::HttpRedirect)
        return CFakeAnswer::Redirect(target.toUtf8());
    CFakeAnswer answer;
    answer.contentType = "text/html; charset=utf-8";
    answer.body = "<!DOCTYPE html><html><head><title>Sign in</title></head><body><p>Signing in...</p>"
                  "<script>setTimeout(function(){ window.location.href = \""
                  + target.toUtf8() + "\"; }, 0);</script></body></html>";
    return answer;
}

} // namespace SvTest
