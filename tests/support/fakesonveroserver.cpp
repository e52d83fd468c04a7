#include "support/fakesonveroserver.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace SvTest {

// The server's own copies of the program's keys: a wrong key in the program fails the tests.
const char CFakeSonveroServer::ConsumerKey[] = "5f0c2e9a7d41b3c8e6a9f2d17b04c5e3";
const char CFakeSonveroServer::ConsumerSecret[] = "q8Rt2vXn5LpZ0cWm7Ys4Hd9Kf3Bj6Ge1";

namespace {

const char ProviderApiKey[] = "3_svDesktopLinuxKey7Qp2";
const char ProviderSecret[] = "Nw4bT9yPz2Kc7Lm5Qx8Rv1Hs6Jd3Ga0E";

CParamPairs ParsePairs(const QByteArray& text, bool plusIsSpace)
{
    CParamPairs out;
    for (QByteArray piece : text.split('&')) {
        if (piece.isEmpty())
            continue;
        if (plusIsSpace)
            piece.replace('+', ' ');
        const int eq = piece.indexOf('=');
        out.append(qMakePair(QString::fromUtf8(QByteArray::fromPercentEncoding(eq < 0 ? piece : piece.left(eq))),
                             QString::fromUtf8(QByteArray::fromPercentEncoding(eq < 0 ? QByteArray() : piece.mid(eq + 1)))));
    }
    return out;
}

const QPair<QString, QString>* FindPair(const CParamPairs& query, const CParamPairs& form, const QString& name)
{
    for (const CParamPairs* list : {&query, &form}) {
        for (const auto& pair : *list) {
            if (pair.first == name)
                return &pair;
        }
    }
    return nullptr;
}

QString Key(const QStringList& parts)
{
    return parts.join(QLatin1Char('\x1f')).toLower();
}

// xml-escaped attribute value
QString Attr(const QString& value)
{
    return value.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("&#10;"));
}

QByteArray Envelope(const QByteArray& status, const QByteArray& payload)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sv status=\"" + status + "\">" + payload + "</sv>\n";
}

QByteArray JsonAnswer(QJsonObject object)
{
    if (!object.contains(QStringLiteral("errorCode")))
        object.insert(QStringLiteral("errorCode"), 0);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

CFakeAnswer JsonError(int code, const QString& message)
{
    return CFakeAnswer::Json(JsonAnswer({{QStringLiteral("errorCode"), code}, {QStringLiteral("errorMessage"), message}}));
}

// The signature the request should carry, computed on its own.
QByteArray ExpectedSignature(const CFakeRequest& request, const QString& sigName, const QByteArray& secret,
                             const QByteArray& tokenSecret)
{
    CParamPairs params;
    for (const auto& pair : request.query + request.form) {
        if (pair.first != sigName)
            params.append(pair);
    }
    const QByteArray url = "http://" + request.Header("Host").toLower() + request.rawPath;
    return CFakeSonveroServer::OAuthSignature(CFakeSonveroServer::OAuthBaseString(request.method, url, params), secret,
                                              tokenSecret);
}

} // namespace

QString CFakeRequest::Param(const QString& name) const
{
    const auto* pair = FindPair(query, form, name);
    return pair ? pair->second : QString();
}

bool CFakeRequest::HasParam(const QString& name) const
{
    return FindPair(query, form, name) != nullptr;
}

QByteArray CFakeRequest::Header(const QByteArray& name) const
{
    for (const auto& pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return QByteArray();
}

CFakeAnswer CFakeAnswer::ServiceOk(const QByteArray& payload)
{
    return Xml(Envelope("ok", payload));
}

CFakeAnswer CFakeAnswer::ServiceError(int code, const QString& text)
{
    return Xml(Envelope("fail", "<error code=\"" + QByteArray::number(code) + "\" text=\"" + Attr(text).toUtf8() + "\"/>"));
}

CFakeAnswer CFakeAnswer::Status(int status, const QByteArray& body)
{
    CFakeAnswer answer = Data(body, "text/plain");
    answer.status = status;
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
    for (QTcpSocket* socket : m_buffers.keys()) {
        socket->disconnect(this);
        socket->abort();
    }
}

bool CFakeSonveroServer::IsListening() const
{
    return m_server->isListening();
}

QString CFakeSonveroServer::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server->serverPort());
}

QString CFakeSonveroServer::UrlFor(const QString& path) const
{
    return BaseUrl() + (path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
}

void CFakeSonveroServer::ConfigureSettings() const
{
    QSettings settings;
    settings.setValue(QStringLiteral("service/api_url"), ApiUrl());
    settings.setValue(QStringLiteral("service/ad_url"), UrlFor(QStringLiteral("/ads/")));
    settings.setValue(QStringLiteral("service/login_api_url"), UrlFor(QStringLiteral("/provider/")));
    settings.setValue(QStringLiteral("service/login_page_url"), UrlFor(QStringLiteral("/provider-login/page")));
    settings.sync();
}

void CFakeSonveroServer::SetFile(const QString& path, const QByteArray& bytes, const QByteArray& contentType)
{
    m_files.insert(path, CFakeAnswer::Data(bytes, contentType));
}

int CFakeSonveroServer::ReleaseHeld()
{
    const QList<CHeld> held = m_held;
    m_held.clear();
    int sent = 0;
    for (CHeld entry : held) {
        if (!entry.socket)
            continue;
        entry.answer.hold = false;
        Send(entry.socket, entry.answer);
        ++sent;
    }
    return sent;
}

int CFakeSonveroServer::HeldCount() const
{
    return int(std::count_if(m_held.begin(), m_held.end(), [](const CHeld& entry) { return !entry.socket.isNull(); }));
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

QString CFakeSonveroServer::AddUser(CUser user)
{
    if (user.id.isEmpty())
        user.id = QStringLiteral("u%1").arg(++m_nextId);
    m_users.append(user);
    return user.id;
}

const CFakeSonveroServer::CUser* CFakeSonveroServer::FindUserById(const QString& id) const
{
    const auto it = std::find_if(m_users.begin(), m_users.end(), [&](const CUser& user) { return user.id == id; });
    return it == m_users.end() ? nullptr : &*it;
}

const CFakeSonveroServer::CUser* CFakeSonveroServer::FindUserByEmail(const QString& email) const
{
    const auto it = std::find_if(m_users.begin(), m_users.end(), [&](const CUser& user) {
        return user.email.compare(email, Qt::CaseInsensitive) == 0;
    });
    return it == m_users.end() ? nullptr : &*it;
}

QByteArray CFakeSonveroServer::IssueToken(const QString& uid)
{
    const QByteArray token = "tok" + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    m_tokens.insert(token, qMakePair(uid, "sec" + QByteArray::number(QRandomGenerator::global()->generate64(), 16)));
    return token;
}

void CFakeSonveroServer::SetLyrics(const CLyrics& lyrics)
{
    m_lyrics.insert(Key({lyrics.artist, lyrics.title, lyrics.album, lyrics.lang}), lyrics);
}

const CFakeSonveroServer::CLyrics* CFakeSonveroServer::FindLyrics(const QString& artist, const QString& title,
                                                                  const QString& album, const QString& lang) const
{
    const auto it = m_lyrics.constFind(Key({artist, title, album, lang}));
    return it == m_lyrics.constEnd() ? nullptr : &it.value();
}

void CFakeSonveroServer::SetAlbumArt(const QString& artist, const QString& album, const QByteArray& png)
{
    m_albumArt.insert(Key({artist, album}), png);
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

QString CFakeSonveroServer::IssueProviderToken(const QString& uid)
{
    const QString token = QStringLiteral("pt") + QString::number(QRandomGenerator::global()->generate64(), 16);
    m_providerTokens.insert(token, uid);
    return token;
}

QByteArray CFakeSonveroServer::OAuthBaseString(const QByteArray& method, const QByteArray& url,
                                               const CParamPairs& params)
{
    QList<QPair<QByteArray, QByteArray>> encoded;
    for (const auto& pair : params) {
        if (pair.first != QLatin1String("oauth_signature"))
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
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.append(qMakePair(lines.at(i).left(colon).trimmed(), lines.at(i).mid(colon + 1).trimmed()));
    }
    const int contentLength = request.Header("Content-Length").toInt();
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

    const CFakeAnswer answer = Route(request);
    m_requests.append(request);
    if (answer.drop)
        socket->abort();
    else if (answer.hold)
        m_held.append(CHeld{socket, answer});
    else
        Send(socket, answer);
}

void CFakeSonveroServer::Send(QTcpSocket* socket, const CFakeAnswer& answer)
{
    // The client does not read the reason phrase.
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + (answer.status == 200 ? " OK\r\n" : " Status\r\n");
    if (!answer.contentType.isEmpty())
        head += "Content-Type: " + answer.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    for (const auto& header : answer.headers)
        head += header.first + ": " + header.second + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (answer.partialBytes < 0) {
        socket->write(head + answer.body);
        socket->disconnectFromHost();
        return;
    }
    socket->write(head + answer.body.left(answer.partialBytes)); // the rest never comes
}

CFakeAnswer CFakeSonveroServer::Route(CFakeRequest& request)
{
    const QString& path = request.path;
    const bool isApi = path.startsWith(QLatin1String("/api/"));
    if (isApi && !CheckOAuth(request))
        return CFakeAnswer::ServiceError(401, QStringLiteral("invalid signature"));

    auto queued = m_queued.find(path);
    if (queued != m_queued.end() && !queued.value().isEmpty())
        return queued.value().takeFirst();
    if (m_answers.contains(path))
        return m_answers.value(path);
    if (m_files.contains(path))
        return m_files.value(path);

    if (isApi)
        return HandleApi(request, path.mid(5));
    if (path.startsWith(QLatin1String("/ads/")))
        return HandleAd(request, path.mid(5));
    if (path.startsWith(QLatin1String("/provider/"))) {
        if (request.Param(QStringLiteral("apiKey")) != QLatin1String(ProviderApiKey)
            || ExpectedSignature(request, QStringLiteral("sig"), ProviderSecret, QByteArray())
                   != request.Param(QStringLiteral("sig")).toLatin1())
            return JsonError(403003, QStringLiteral("Invalid request signature"));
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
    const QByteArray token = request.Param(QStringLiteral("oauth_token")).toUtf8();
    if (request.HasParam(QStringLiteral("oauth_token")) && !m_tokens.contains(token))
        return false;
    request.signatureValid = ExpectedSignature(request, QStringLiteral("oauth_signature"), ConsumerSecret,
                                               TokenSecret(token))
                             == request.Param(QStringLiteral("oauth_signature")).toLatin1();
    return request.signatureValid;
}

CFakeAnswer CFakeSonveroServer::HandleApi(CFakeRequest& request, const QString& path)
{
    const auto param = [&request](const QString& name) { return request.Param(name); };
    const QByteArray token = param("oauth_token").toUtf8();
    const QString owner = token.isEmpty() ? QString() : m_tokens.value(token).first;
    const bool post = request.method == "POST";
    const CFakeAnswer signInFirst = CFakeAnswer::ServiceError(1028, QStringLiteral("sign in first"));

    if (path == QLatin1String("oauth/access_token") && post) {
        const QString mode = param("x_auth_mode");
        QString uid;
        if (mode == QLatin1String("client_auth")) {
            const CUser* user = FindUserByEmail(param("x_auth_username"));
            if (!user || user->password != param("x_auth_password"))
                return CFakeAnswer::ServiceError(1028, QStringLiteral("invalid credentials"));
            uid = user->id;
        } else if (mode == QLatin1String("client_uuid")) {
            uid = param("x_auth_uuid");
            const QString providerUid = m_providerTokens.value(param("x_auth_provider_token"));
            const bool byToken = !owner.isEmpty() && owner == uid;
            const bool byProvider = m_providerUsers.value(providerUid).isSiteUID && providerUid == uid;
            if (!FindUserById(uid) || (!byToken && !byProvider))
                return CFakeAnswer::ServiceError(1028, QStringLiteral("no proof for this user"));
        } else {
            return CFakeAnswer::ServiceError(400, QStringLiteral("unknown mode"));
        }
        const QByteArray newToken = IssueToken(uid);
        return CFakeAnswer::ServiceOk("<access token=\"" + newToken + "\" secret=\"" + TokenSecret(newToken)
                                      + "\" uid=\"" + Attr(uid).toUtf8() + "\"/>");
    }

    if (path == QLatin1String("v2/lyrics") && !post) {
        const CLyrics* lyrics = FindLyrics(param("artist"), param("title"), param("album"), param("lang"));
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
        for (int i = 0; !versionCheck && i < lyrics->lines.size(); ++i)
            xml += QStringLiteral("<line time=\"%1\">%2</line>").arg(lyrics->lines.at(i).time).arg(lyrics->lines.at(i).text.toHtmlEscaped());
        return CFakeAnswer::ServiceOk((xml + QStringLiteral("</lyrics>")).toUtf8());
    }

    if (path == QLatin1String("v2/lyrics")) {
        CLyrics lyrics;
        lyrics.artist = param("artist"), lyrics.title = param("title"), lyrics.album = param("album"), lyrics.lang = param("lang");
        const CLyrics* old = FindLyrics(lyrics.artist, lyrics.title, lyrics.album, lyrics.lang);
        lyrics.songId = old ? old->songId : m_nextId++;
        lyrics.groupId = old ? old->groupId : m_nextId++;
        lyrics.version = old ? old->version + 1 : 1;
        for (int i = 0; i < param("count").toInt(); ++i)
            lyrics.lines.append({param(QStringLiteral("time_%1").arg(i)).toInt(), param(QStringLiteral("text_%1").arg(i))});
        SetLyrics(lyrics);
        return CFakeAnswer::ServiceOk(QStringLiteral("<setlyrics version=\"%1\" songId=\"%2\" groupId=\"%3\"/>")
                                          .arg(lyrics.version)
                                          .arg(lyrics.songId)
                                          .arg(lyrics.groupId)
                                          .toUtf8());
    }

    if (path == QLatin1String("v2/playhistory") && post) {
        if (owner.isEmpty())
            return signInFirst;
        QByteArray xml = "<playhistory time=\"" + param("time").toUtf8() + "\">";
        static const char* const fields[] = {"artist", "title", "album", "duration", "position", "user",
                                             "device", "source", "played", "groupId", "message"};
        for (int i = 0; i < param("count").toInt(); ++i) {
            xml += "<play";
            for (const char* field : fields)
                xml += ' ' + QByteArray(field) + "=\"" + Attr(param(QStringLiteral("%1_%2").arg(QLatin1String(field)).arg(i))).toUtf8() + '"';
            xml += "/>";
        }
        return CFakeAnswer::ServiceOk(xml + "</playhistory>");
    }

    if (path == QLatin1String("v2/albumart")) {
        const QString key = Key({param("artist"), param("album")});
        return m_albumArt.contains(key) ? CFakeAnswer::Data(m_albumArt.value(key), "image/png")
                                        : CFakeAnswer::Status(404, "no picture");
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
        const QStringList ids = param("ids").split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (request.HasParam(QStringLiteral("email")))
            users << FindUserByEmail(param("email"));
        for (const QString& id : ids)
            users << FindUserById(id);
        QByteArray xml = "<users>";
        for (const CUser* user : users) {
            if (!user)
                continue;
            xml += QStringLiteral("<user id=\"%1\" email=\"%2\" name_full=\"%3\" handle=\"%4\" lang1=\"%5\" lang2=\"%6\" "
                                  "auth=\"%7\" birth=\"%8\"/>")
                       .arg(Attr(user->id), Attr(user->email), Attr(user->nameFull), Attr(user->handle),
                            Attr(user->lang1), Attr(user->lang2), QString::number(user->auth), Attr(user->birth))
                       .toUtf8();
        }
        return CFakeAnswer::ServiceOk(xml + "</users>");
    }

    if (path == QLatin1String("v2/users") && post) {
        const QString email = param("email");
        const bool social = param("provider") == QLatin1String("gigya");
        if (email.isEmpty() || FindUserByEmail(email) || (!social && param("password").isEmpty()))
            return CFakeAnswer::ServiceError(1028, QStringLiteral("cannot create this user"));
        CUser user;
        user.email = email;
        user.password = param("password");
        user.handle = param("nick");
        return CFakeAnswer::ServiceOk("<user id=\"" + Attr(AddUser(user)).toUtf8() + "\"/>");
    }

    if (path == QLatin1String("v2/users/resetpassword") && post) {
        if (!FindUserByEmail(param("email")))
            return CFakeAnswer::ServiceError(1028, QStringLiteral("unknown e-mail"));
        return CFakeAnswer::ServiceOk(QByteArray());
    }

    if (path == QLatin1String("v2/users/merge") && post) {
        if (owner.isEmpty())
            return signInFirst;
        if (param("from").isEmpty())
            return CFakeAnswer::ServiceError(400, QStringLiteral("nothing to merge"));
        return CFakeAnswer::ServiceOk(QByteArray());
    }

    if (path == QLatin1String("v2/blips") && post) {
        if (owner.isEmpty())
            return signInFirst;
        if (param("network") != QLatin1String("0") && param("network") != QLatin1String("1"))
            return CFakeAnswer::ServiceError(400, QStringLiteral("unknown network"));
        return CFakeAnswer::ServiceOk("<blip id=\"b" + QByteArray::number(++m_nextId) + "\"/>");
    }

    return CFakeAnswer::Status(404, "unknown method");
}

CFakeAnswer CFakeSonveroServer::HandleAd(const CFakeRequest& request, const QString& path)
{
    if (path == QLatin1String("click"))
        return request.Param(QStringLiteral("link")).isEmpty() ? CFakeAnswer::Status(400, "no link") : CFakeAnswer::Status(200, "ok");
    if (path != QLatin1String("ad"))
        return CFakeAnswer::Status(404, "not found");
    if (!m_hasAd)
        return CFakeAnswer::Xml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ad/>");
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ad placement=\"%1\" link=\"%2\" "
                                 "text=\"%3\" image=\"%4\">")
                      .arg(Attr(m_ad.placement), Attr(m_ad.link), Attr(m_ad.text),
                           Attr(m_ad.imagePath.isEmpty() ? QString() : UrlFor(m_ad.imagePath)));
    for (const QString& pixel : m_ad.pixelPaths)
        xml += QStringLiteral("<pixel url=\"%1\"/>").arg(Attr(UrlFor(pixel)));
    return CFakeAnswer::Xml((xml + QStringLiteral("</ad>")).toUtf8());
}

CFakeAnswer CFakeSonveroServer::HandleProvider(CFakeRequest& request, const QString& method)
{
    if (method == QLatin1String("socialize.getToken")) {
        const QString siteUid = request.Param(QStringLiteral("x_siteUID"));
        if (!m_providerUsers.value(siteUid).isSiteUID)
            return JsonError(403047, QStringLiteral("unknown user"));
        return CFakeAnswer::Json(JsonAnswer({{QStringLiteral("access_token"), IssueProviderToken(siteUid)}}));
    }
    const QString uid = m_providerTokens.value(request.Param(QStringLiteral("oauth_token")));
    if (uid.isEmpty() || !m_providerUsers.contains(uid))
        return JsonError(403005, QStringLiteral("invalid token"));
    if (method == QLatin1String("socialize.getUserInfo")) {
        const CProviderUser& user = m_providerUsers[uid];
        return CFakeAnswer::Json(JsonAnswer({{QStringLiteral("UID"), user.UID},
                                             {QStringLiteral("isSiteUID"), user.isSiteUID},
                                             {QStringLiteral("email"), user.email},
                                             {QStringLiteral("nickname"), user.nickname},
                                             {QStringLiteral("providers"), user.providers.join(QLatin1Char(','))}}));
    }
    if (method == QLatin1String("socialize.setUID")) {
        const QString siteUid = request.Param(QStringLiteral("siteUID"));
        if (siteUid.isEmpty())
            return JsonError(400002, QStringLiteral("missing siteUID"));
        CProviderUser user = m_providerUsers.take(uid);
        user.UID = siteUid;
        user.isSiteUID = true;
        m_providerUsers.insert(siteUid, user);
        for (QString& owner : m_providerTokens) {
            if (owner == uid)
                owner = siteUid;
        }
        return CFakeAnswer::Json(JsonAnswer({}));
    }
    return JsonError(400096, QStringLiteral("unknown method"));
}

CFakeAnswer CFakeSonveroServer::HandleLoginPage(const CFakeRequest& request)
{
    const QString redirect = request.Param(QStringLiteral("redirect_uri"));
    if (request.Param(QStringLiteral("apiKey")) != QLatin1String(ProviderApiKey) || redirect.isEmpty())
        return CFakeAnswer::Status(400, "bad login request");
    QString target = redirect + QStringLiteral("#error=access_denied");
    if (m_loginPageMode != ELoginPageMode::Error && m_providerUsers.contains(m_loginUser))
        target = redirect + QStringLiteral("#access_token=") + IssueProviderToken(m_loginUser) + QStringLiteral("&expires_in=3600");
    if (m_loginPageMode == ELoginPageMode::HttpRedirect)
        return CFakeAnswer::Redirect(target.toUtf8());
    return CFakeAnswer::Data("<!DOCTYPE html><html><head><title>Sign in</title></head><body><p>Signing in...</p>"
                             "<script>setTimeout(function(){ window.location.href = \""
                                 + target.toUtf8() + "\"; }, 0);</script></body></html>",
                             "text/html; charset=utf-8");
}

} // namespace SvTest
