#pragma once
// In-process HTTP/1.1 server on 127.0.0.1 (ephemeral port) that plays the web service, the ad server, the
// social-login provider with its login page, and plain downloads, for tests. It checks every signature with
// its own encoding and HMAC, keeps a small model of users, tokens, lyrics and provider identities, lets a
// test script any answer (status, body, held until released, dropped, partial body) and logs every request.
//
// Layout under http://127.0.0.1:<port>:
//   /api/...              web service (OAuth signed, XML envelope)
//   /ads/ad, /ads/click   ad server (unsigned)
//   /provider/<method>    social-login provider REST methods (apiKey + sig, JSON)
//   /provider-login/page  the provider's login page (redirects with a token)
//   anything else         files registered with SetFile, scripted answers, or 404
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

namespace SvTest {

using CHeaderList = QList<QPair<QByteArray, QByteArray>>;
using CParamPairs = QList<QPair<QString, QString>>;

// One request as the server saw it.
struct CFakeRequest
{
    QByteArray method;
    QString path;        // decoded path, e.g. "/api/v2/lyrics"
    QByteArray rawPath;  // as on the wire, without the query
    CHeaderList headers;
    QByteArray body;
    CParamPairs query;   // decoded query parameters in order
    CParamPairs form;    // decoded form-body parameters in order
    bool signatureChecked = false;
    bool signatureValid = false;

    // First value of the parameter from the query, else from the form body.
    QString Param(const QString& name) const;
    bool HasParam(const QString& name) const;
    QByteArray Header(const QByteArray& name) const;
};

// A scripted answer.
struct CFakeAnswer
{
    int status = 200;
    QByteArray contentType = "text/xml; charset=utf-8";
    QByteArray body;
    CHeaderList headers;
    bool hold = false;       // kept until ReleaseHeld()
    bool drop = false;       // the connection is closed without an answer
    int partialBytes = -1;   // >= 0: send the headers and only this much of the body, then stall

    static CFakeAnswer Xml(const QByteArray& xml) { return Data(xml, "text/xml; charset=utf-8"); }
    static CFakeAnswer ServiceOk(const QByteArray& payload);
    static CFakeAnswer ServiceError(int code, const QString& text = QString());
    static CFakeAnswer Json(const QByteArray& json) { return Data(json, "application/json; charset=utf-8"); }
    static CFakeAnswer Status(int status, const QByteArray& body = QByteArray());
    static CFakeAnswer Redirect(const QByteArray& location, int status = 302);
    static CFakeAnswer Data(const QByteArray& bytes, const QByteArray& contentType = "application/octet-stream");
    static CFakeAnswer Dropped();
    static CFakeAnswer Held(CFakeAnswer answer);
};

class CFakeSonveroServer : public QObject
{
    Q_OBJECT
public:
    struct CUser
    {
        QString id, email, password, handle, nameFull, lang1, lang2;
        int auth = 1;
        QString birth; // yyyy-MM-dd
    };

    struct CLyricLine
    {
        int time = 0;
        QString text;
    };

    struct CLyrics
    {
        QString artist, title, album, lang;
        int songId = 0;
        qint64 groupId = 0;
        int version = 0;
        int lock = 0;
        int blocked = 0;
        QList<CLyricLine> lines;
    };

    struct CUpdate
    {
        bool needUpdate = false;
        bool mandatory = false;
        QString version;  // "1.0.0.300"
        QString url;
        QString sha256;   // hex, may be empty
    };

    struct CSystemMessage
    {
        QString id, url, title, text, button;
    };

    struct CAd
    {
        QString placement = QStringLiteral("desktop");
        QString link, text;
        QString imagePath;     // served by the server when imageBytes is set
        QByteArray imageBytes;
        QStringList pixelPaths;
    };

    struct CProviderUser
    {
        QString UID;
        bool isSiteUID = false;
        QString email, nickname;
        QStringList providers; // "facebook", "twitter"
    };

    enum class ELoginPageMode
    {
        Script,       // an html page whose script navigates to the redirect address
        HttpRedirect, // a 302 straight to the redirect address
        Error         // the redirect carries error=access_denied
    };

    explicit CFakeSonveroServer(QObject* parent = nullptr);
    ~CFakeSonveroServer() override;

    bool IsListening() const;
    QString BaseUrl() const; // "http://127.0.0.1:<port>"
    QString ApiUrl() const { return BaseUrl() + QStringLiteral("/api/"); }
    QString UrlFor(const QString& path) const;

    // Writes the group "service" (api_url, ad_url, login_api_url, login_page_url) of the default settings.
    void ConfigureSettings() const;

    // Scripting; paths are absolute on the server ("/api/v2/lyrics"). Queued answers go first, once each.
    void SetAnswer(const QString& path, const CFakeAnswer& answer) { m_answers.insert(path, answer); }
    void QueueAnswer(const QString& path, const CFakeAnswer& answer) { m_queued[path].append(answer); }
    void SetFile(const QString& path, const QByteArray& bytes,
                 const QByteArray& contentType = "application/octet-stream");
    int ReleaseHeld();
    int HeldCount() const;

    // Request log.
    QList<CFakeRequest> Requests() const { return m_requests; }
    QList<CFakeRequest> RequestsTo(const QString& path) const;
    int RequestCount(const QString& path) const { return RequestsTo(path).size(); }
    CFakeRequest LastRequest() const { return m_requests.value(m_requests.size() - 1); }

    // Web-service model.
    QString AddUser(CUser user);
    const CUser* FindUserById(const QString& id) const;
    // A fresh access token for the user; its secret is TokenSecret(token).
    QByteArray IssueToken(const QString& uid);
    QByteArray TokenSecret(const QByteArray& token) const { return m_tokens.value(token).second; }
    void SetLyrics(const CLyrics& lyrics);
    const CLyrics* FindLyrics(const QString& artist, const QString& title, const QString& album,
                              const QString& lang) const;
    void SetAlbumArt(const QString& artist, const QString& album, const QByteArray& png);
    void SetUpdate(const CUpdate& update) { m_update = update; }
    void SetSystemMessages(const QList<CSystemMessage>& messages) { m_messages = messages; }
    void SetLanguages(const QStringList& codes) { m_languages = codes; }
    void SetAd(const CAd& ad);

    // Provider model.
    void AddProviderUser(const CProviderUser& user) { m_providerUsers.insert(user.UID, user); }
    QString IssueProviderToken(const QString& uid);
    void SetLoginUser(const QString& uid) { m_loginUser = uid; }
    void SetLoginPageMode(ELoginPageMode mode) { m_loginPageMode = mode; }

    // The server's own copies of the program's keys.
    static const char ConsumerKey[];
    static const char ConsumerSecret[];

    // Signature helpers, independent of the program's code.
    static QByteArray OAuthBaseString(const QByteArray& method, const QByteArray& url, const CParamPairs& params);
    static QByteArray OAuthSignature(const QByteArray& baseString, const QByteArray& consumerSecret,
                                     const QByteArray& tokenSecret);

private slots:
    void OnNewConnection();
    void OnReadyRead();

private:
    struct CHeld
    {
        QPointer<QTcpSocket> socket;
        CFakeAnswer answer;
    };

    CFakeAnswer Route(CFakeRequest& request);
    CFakeAnswer HandleApi(CFakeRequest& request, const QString& path);
    CFakeAnswer HandleProvider(CFakeRequest& request, const QString& method);
    CFakeAnswer HandleLoginPage(const CFakeRequest& request);
    CFakeAnswer HandleAd(const CFakeRequest& request, const QString& path);
    bool CheckOAuth(CFakeRequest& request);
    void Send(QTcpSocket* socket, const CFakeAnswer& answer);
    const CUser* FindUserByEmail(const QString& email) const;

    QTcpServer* m_server = nullptr;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QHash<QString, CFakeAnswer> m_answers;
    QHash<QString, QList<CFakeAnswer>> m_queued;
    QHash<QString, CFakeAnswer> m_files;
    QList<CHeld> m_held;
    QList<CFakeRequest> m_requests;
    int m_nextId = 1000;

    QList<CUser> m_users;
    QHash<QByteArray, QPair<QString, QByteArray>> m_tokens; // token -> (uid, secret)
    QHash<QString, CLyrics> m_lyrics;
    QHash<QString, QByteArray> m_albumArt;
    CUpdate m_update;
    QList<CSystemMessage> m_messages;
    QStringList m_languages;
    CAd m_ad;
    bool m_hasAd = false;
    QHash<QString, CProviderUser> m_providerUsers;
    QHash<QString, QString> m_providerTokens; // token -> provider UID
    QString m_loginUser;
    ELoginPageMode m_loginPageMode = ELoginPageMode::Script;
};

} // namespace SvTest
