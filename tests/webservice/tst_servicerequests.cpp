#include "support/testmain.h"

#include "core/resultcodes.h"
#include "platform/netlist/networklist.h"
#include "requestreceiver.h"
#include "support/fakesonveroserver.h"
#include "webservice/drelk/adrequests.h"
#include "webservice/drelk/languagesrequest.h"
#include "webservice/gigya/gigyaprotocol.h"
#include "webservice/protocol/bliprequest.h"
#include "webservice/protocol/inforequests.h"
#include "webservice/protocol/lyricrequests.h"
#include "webservice/protocol/userrequests.h"
#include "webservice/servicetestinternetconnection.h"
#include "webservice/url/oauth.h"

#include <QSignalSpy>

using namespace SonveroProtocol;
using SvTest::CFakeAnswer;
using SvTest::CFakeSonveroServer;
Q_DECLARE_METATYPE(SvTest::CFakeAnswer)

namespace {

const char* const kSlotLyric = SLOT(OnLyric(int, int, SonveroProtocol::CLyricDesc));
const char* const kSlotXAuth = SLOT(OnXAuth(int, SonveroProtocol::CXAuthData));

SongLyrics MakeSong()
{
    SongLyrics song;
    song.artist = QString::fromUtf8("宇多田ヒカル"), song.title = "First Love", song.album = QString::fromUtf8("Ålbum");
    song.language = "ja", song.duration = 250, song.position = 300500; // past the end: capped
    song.id = 77, song.groupId = 5, song.version = 2;
    song.lines << CLyricLine(QString::fromUtf8("最後のキスは"), 1000) << CLyricLine(QStringLiteral("tasting"), 2500);
    return song;
}

} // namespace

class TestServiceRequests : public QObject
{
    Q_OBJECT
private:
    QScopedPointer<CFakeSonveroServer> m_server;
    CXAuthData m_access;
    QString m_providerToken;

    // Starts request kind k (see requestsAsRecorded_data) into guard.
    HRESULT StartKind(int k, QPointer<Drelk::CHttpTransaction>& guard, CRequestReceiver* r)
    {
        CLyricQuery query{QString::fromUtf8("宇多田ヒカル"), QStringLiteral("First Love"), QString(), QString(), -1};
        CPlayHistoryDesc history;
        history.time = 1700000000, history.records << CPlayHistoryUtil::MakePlayRecord(MakeSong(), QStringLiteral("u1"));
        CPostBlipDesc blip;
        blip.networkId = 1, blip.message = QString::fromUtf8("Listening ♪"), blip.userId = "u1", blip.plays = history.records;
        SongInfo art;
        art.artist = QStringLiteral("Björk"), art.album = QStringLiteral("Post");
        Drelk::CAdDesc ad;
        ad.placement = QStringLiteral("desktop"), ad.link = QUrl(QStringLiteral("https://shop.example/item?id=1&x=y"));
        const QString u1 = QStringLiteral("u1");
        const QString anna = QStringLiteral("anna@example.com");
        switch (k) {
        case 0: return CGetLyricHttpRequestV2::StartRequest(guard, r, kSlotLyric, query);
        case 1: query.version = 3; return CGetLyricHttpRequestV2::StartRequest(guard, r, kSlotLyric, query);
        case 2: return CV2SetLyricsRequest::StartRequest(guard, r, SLOT(OnSetLyrics(int, SonveroProtocol::CSetLyricsResult)), MakeSong());
        case 3: return CPostPlayHistoryRequest::StartRequest(guard, r, SLOT(OnHistory(int, SonveroProtocol::CPlayHistoryDesc)), history, m_access);
        case 4: return CGetAlbumArtRequest::StartRequest(guard, r, SLOT(OnImage(int, QImage)), art);
        case 5: return CCheckForUpdateRequest::StartRequest(guard, r, SLOT(OnUpdate(int, SonveroProtocol::CUpdateDesc)), CVersionNumber(1, 0, 0, 209));
        case 6: return CGetSystemMessagesRequest::StartRequest(guard, r, SLOT(OnMessages(int, SonveroProtocol::CSystemMsgDescList)),
                                                               QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC), CVersionNumber(1, 0, 0, 209));
        case 7: return CXAuthAuthorizationRequest::StartRequest(guard, r, kSlotXAuth, anna, QString::fromUtf8("pässword"));
        case 8: return CXAuthAuthorizationRequest::StartRequest(guard, r, kSlotXAuth, u1, m_access);
        case 9: return CXAuthAuthorizationRequest::StartRequest(guard, r, kSlotXAuth, u1, CXAuthData(), m_providerToken);
        case 10: return CV2GetUserDataRequest::StartRequestWithEmail(guard, r, SLOT(OnUsers(int, QList<SonveroProtocol::CUserData>)), anna);
        case 11: return CV2GetUserDataRequest::StartRequestWithId(guard, r, SLOT(OnUsers(int, QList<SonveroProtocol::CUserData>)),
                                                                  {u1, QStringLiteral("u2")});
        case 12: return CV2CreateUserRequest::StartRequest(guard, r, SLOT(OnText(int, QString)), QStringLiteral("new@example.com"),
                                                           QStringLiteral("secret1"), QString::fromUtf8("Ноый"));
        case 13: return CV2CreateUserRequest::StartRequestWithGigya(guard, r, SLOT(OnText(int, QString)), QStringLiteral("gigya~123"), QStringLiteral("svtemp.123"));
        case 14: return CV2ResetPasswordRequest::StartRequest(guard, r, SLOT(OnResult(int)), anna);
        case 15: return CV2MergeUsersRequest::StartRequest(guard, r, SLOT(OnResult(int)), QStringLiteral("u2"), m_access);
        case 22: blip.networkId = 0; Q_FALLTHROUGH();
        case 16: return CV2PostBlipRequest::StartRequest(guard, r, SLOT(OnBlip(int, SonveroProtocol::CPostBlipResponseData)), blip, m_access);
        case 17: return GigyaProtocol::CGetTokenRequest::StartRequest(guard, r, SLOT(OnText(int, QString)), u1);
        case 18: return GigyaProtocol::CGetUserInfoRequest::StartRequest(guard, r, SLOT(OnProviderUser(int, GigyaProtocol::CUserData)), m_providerToken);
        case 19: return GigyaProtocol::CSetUidRequest::StartRequest(guard, r, SLOT(OnResult(int)), m_providerToken, u1);
        case 20: return Drelk::CGetAdHttpRequest::startRequest(guard, r, SLOT(OnAd(int, Drelk::CAdDesc)));
        case 21: return Drelk::CAdClickedRequest::startRequest(guard, r, SLOT(OnResult(int)), ad);
        }
        return E_UNEXPECTED;
    }

    // Starts kind k and waits for its delivery.
    int Run(int k, CRequestReceiver& receiver)
    {
        QPointer<Drelk::CHttpTransaction> guard;
        const int before = receiver.calls;
        if (FAILED(StartKind(k, guard, &receiver)))
            return E_UNEXPECTED;
        return QTest::qWaitFor([&] { return receiver.calls > before; }, 10000) ? receiver.result : E_UNEXPECTED;
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_server.reset(new CFakeSonveroServer);
        m_server->ConfigureSettings();
        m_server->AddUser({"u1", "anna@example.com", QString::fromUtf8("pässword"), QString::fromUtf8("Анна"),
                           QString::fromUtf8("Анна Каренина"), "ru", "fr", 2, "1990-05-17"});
        m_server->AddUser({"u2", "ben@example.com", "x", {}, {}, {}, {}, 1, {}});
        m_access.token = m_server->IssueToken("u1"), m_access.tokenSecret = m_server->TokenSecret(m_access.token), m_access.userId = "u1";
        m_server->AddProviderUser({"u1", true, {}, QString::fromUtf8("Анна К."), {"facebook", "twitter", "myspace"}});
        m_providerToken = m_server->IssueProviderToken(QStringLiteral("u1"));
        m_server->SetAlbumArt(QStringLiteral("Björk"), QStringLiteral("Post"), PngBytes(QSize(4, 3), Qt::red));
    }

    void cleanup()
    {
        m_server.reset();
        NetList::SetProbe(NetList::ProbeFunction());
    }

    void requestsAsRecorded_data()
    {
        // "name=value" must match, "!name" must be absent, "?name" must be present.
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("params");
        const auto row = [](const char* name, int kind, const char* request, const QStringList& params) {
            QTest::newRow(name) << kind << QString::fromLatin1(request) << params;
        };
        const QString ja = QString::fromUtf8("宇多田ヒカル");
        row("lyrics", 0, "GET /api/v2/lyrics", {"artist=" + ja, "title=First Love", "!version"});
        row("lyrics version check", 1, "GET /api/v2/lyrics", {"version=3"});
        row("lyric upload", 2, "POST /api/v2/lyrics", {QString::fromUtf8("album=Ålbum"), "lang=ja", "songId=77", "groupId=5", "version=2",
                                                       "count=2", "time_1=2500", QString::fromUtf8("text_0=最後のキスは")});
        row("play history", 3, "POST /api/v2/playhistory", {"time=1700000000", "count=1", "artist_0=" + ja, "position_0=250", "user_0=u1",
                                                            "device_0=desktop-linux", "source_0=local", "?oauth_token"});
        row("album art", 4, "GET /api/v2/albumart", {QString::fromUtf8("artist=Björk"), "album=Post"});
        row("update", 5, "GET /api/v2/update", {"version=1.0.0.209", "platform=linux-x86_64"});
        row("system messages", 6, "GET /api/v2/sysmsgs", {"time=2024-01-02T03:04:05Z", "version=1.0.0.209"});
        row("xauth password", 7, "POST /api/oauth/access_token", {"x_auth_mode=client_auth", "x_auth_username=anna@example.com",
                                                                   QString::fromUtf8("x_auth_password=pässword"), "!oauth_token"});
        row("xauth id with token", 8, "POST /api/oauth/access_token",
            {"x_auth_mode=client_uuid", "x_auth_uuid=u1", "!x_auth_provider_token", "?oauth_token"});
        row("xauth id with provider token", 9, "POST /api/oauth/access_token", {"x_auth_uuid=u1", "?x_auth_provider_token", "!oauth_token"});
        row("users by e-mail", 10, "GET /api/v2/users", {"email=anna@example.com", "!ids"});
        row("users by ids", 11, "GET /api/v2/users", {"ids=u1,u2", "!email"});
        row("create user", 12, "POST /api/v2/users", {"email=new@example.com", "password=secret1", QString::fromUtf8("nick=Ноый"), "!provider"});
        row("create social user", 13, "POST /api/v2/users", {"email=gigya~123", "nick=svtemp.123", "provider=gigya", "!password"});
        row("reset password", 14, "POST /api/v2/users/resetpassword", {"email=anna@example.com"});
        row("merge users", 15, "POST /api/v2/users/merge", {"from=u2", "?oauth_token"});
        row("blip", 16, "POST /api/v2/blips",
            {"network=1", QString::fromUtf8("message=Listening ♪"), "uid=u1", "count=1", "title_0=First Love", "?oauth_token"});
        row("blip, other network", 22, "POST /api/v2/blips", {"network=0"});
        row("provider token", 17, "GET /provider/socialize.getToken", {"grant_type=none", "x_siteUID=u1", "?apiKey", "?sig"});
        row("provider user info", 18, "GET /provider/socialize.getUserInfo", {"?oauth_token", "?sig"});
        row("provider set uid", 19, "GET /provider/socialize.setUID", {"?oauth_token", "siteUID=u1"});
        row("ad", 20, "GET /ads/ad", {"placement=desktop", "!oauth_signature"});
        row("ad click", 21, "GET /ads/click", {"placement=desktop", "link=https://shop.example/item?id=1&x=y"});
    }

    // Method, path and parameters as the server saw them; every service and provider request signed and
    // verified (a bad signature would fail the request).
    void requestsAsRecorded()
    {
        QFETCH(int, kind);
        QFETCH(QString, request);
        QFETCH(QStringList, params);
        const QByteArray method = request.section(QLatin1Char(' '), 0, 0).toLatin1();
        const QString path = request.section(QLatin1Char(' '), 1);
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(StartKind(kind, guard, &receiver), S_OK);
        QVERIFY(guard);
        QTRY_COMPARE(receiver.calls, 1);
        QVERIFY2(receiver.result >= 0, qPrintable(QString::number(uint(receiver.result), 16)));
        const QList<SvTest::CFakeRequest> seen = m_server->RequestsTo(path);
        QCOMPARE(seen.size(), 1);
        const SvTest::CFakeRequest& recorded = seen.first();
        QCOMPARE(recorded.method, method);
        for (const QString& param : params) {
            if (param.startsWith(QLatin1Char('!'))) {
                QVERIFY2(!recorded.HasParam(param.mid(1)), qPrintable(param));
            } else if (param.startsWith(QLatin1Char('?'))) {
                QVERIFY2(!recorded.Param(param.mid(1)).isEmpty(), qPrintable(param));
            } else {
                const int eq = param.indexOf(QLatin1Char('='));
                QVERIFY2(recorded.HasParam(param.left(eq)), qPrintable(param));
                QCOMPARE(recorded.Param(param.left(eq)), param.mid(eq + 1));
            }
        }
        if (path.startsWith(QLatin1String("/api/"))) {
            QVERIFY(recorded.signatureChecked && recorded.signatureValid);
            // Form posts carry everything in the body, GETs in the query.
            QCOMPARE(recorded.form.isEmpty(), method == "GET");
        }
        QTRY_VERIFY(!guard); // deleted itself after delivering
    }

    void lyricsAnswersParsed()
    {
        CFakeSonveroServer::CLyrics lyrics;
        lyrics.artist = QString::fromUtf8("宇多田ヒカル"), lyrics.title = "First Love", lyrics.songId = 12;
        lyrics.groupId = Q_INT64_C(5000000000), lyrics.version = 4, lyrics.lock = 2, lyrics.blocked = -105;
        lyrics.lines = {{0, QString::fromUtf8("最後のキスは <たばこ> & flavor")}, {1500, QString()}, {3000, "end"}};
        m_server->SetLyrics(lyrics);

        CRequestReceiver receiver;
        QCOMPARE(Run(0, receiver), 0);
        QCOMPARE(receiver.kind, 1);
        QCOMPARE(receiver.lyric.songId, 12);
        QCOMPARE(receiver.lyric.groupId, Q_INT64_C(5000000000));
        QCOMPARE(receiver.lyric.lockCode, 2);
        QCOMPARE(receiver.lyric.blocked, -105);
        QCOMPARE(receiver.lyric.lines.size(), 3);
        QCOMPARE(receiver.lyric.lines.at(0).text, lyrics.lines.at(0).text);

        QCOMPARE(Run(1, receiver), 0); // the version check has no lines
        QCOMPARE(receiver.kind, 0);
        QCOMPARE(receiver.lyric.version, 4);
        QVERIFY(receiver.lyric.lines.isEmpty());

        QCOMPARE(Run(2, receiver), 0);
        const CFakeSonveroServer::CLyrics* stored = m_server->FindLyrics(MakeSong().artist, "First Love", MakeSong().album, "ja");
        QVERIFY(stored);
        QCOMPARE(receiver.setLyrics.version, 1);
        QCOMPARE(receiver.setLyrics.songId, stored->songId);
        QCOMPARE(stored->lines.at(0).text, QString::fromUtf8("最後のキスは"));
    }

    void accountAnswersParsed()
    {
        CRequestReceiver receiver;
        QCOMPARE(Run(11, receiver), 0);
        QCOMPARE(receiver.users.size(), 2);
        const CUserData& anna = receiver.users.at(0);
        QCOMPARE(anna.handle, QString::fromUtf8("Анна"));
        QCOMPARE(anna.name_full, QString::fromUtf8("Анна Каренина"));
        QCOMPARE(anna.preferredLanguage, QStringLiteral("ru"));
        QCOMPARE(anna.authLevel, 2);
        QCOMPARE(anna.birthDate, QDate(1990, 5, 17));

        QCOMPARE(Run(7, receiver), 0);
        QCOMPARE(receiver.xauth.userId, QStringLiteral("u1"));
        QCOMPARE(m_server->TokenSecret(receiver.xauth.token), receiver.xauth.tokenSecret);
        m_access = receiver.xauth; // the fresh token signs further requests
        QCOMPARE(Run(15, receiver), 0);

        QCOMPARE(Run(12, receiver), 0);
        QVERIFY(m_server->FindUserById(receiver.text));
        QCOMPARE(m_server->FindUserById(receiver.text)->handle, QString::fromUtf8("Ноый"));

        QCOMPARE(Run(18, receiver), 0);
        QVERIFY(receiver.providerUser.isSiteUID);
        QCOMPARE(receiver.providerUser.nickname, QString::fromUtf8("Анна К."));
        QCOMPARE(receiver.providerUser.providers, (QSet<int>{3, 20})); // unknown names dropped

        QCOMPARE(Run(16, receiver), 0);
        QVERIFY(!receiver.blip.blipId.isEmpty());
        receiver.text.clear();
        QCOMPARE(Run(17, receiver), 0);
        QVERIFY(!receiver.text.isEmpty());
    }

    // The id form of xAuth gives a token only with proof; a wrong password is the service's refusal.
    void xauthRefusals()
    {
        CRequestReceiver receiver;
        const auto refused = [&](auto&&... args) {
            QPointer<Drelk::CHttpTransaction> guard;
            const int before = receiver.calls;
            return SUCCEEDED(CXAuthAuthorizationRequest::StartRequest(guard, &receiver, kSlotXAuth, args...))
                && QTest::qWaitFor([&] { return receiver.calls > before; }, 10000) && receiver.result == SV_E_SERVICE_REFUSED
                && receiver.xauth.token.isEmpty();
        };
        QVERIFY(refused(QStringLiteral("u1")));
        QVERIFY(refused(QStringLiteral("anna@example.com"), QStringLiteral("wrong")));
        QVERIFY(refused(QStringLiteral("u2"), m_access)); // someone else's token is no proof for u2
    }

    void infoAnswersParsed()
    {
        CFakeSonveroServer::CUpdate update{true, true, "1.0.1.300", m_server->UrlFor("/files/setup.bin"), QString::fromLatin1(QByteArray(32, '\x11').toHex())};
        m_server->SetUpdate(update);
        m_server->SetSystemMessages({{"m1", "https://example.com/news", QString::fromUtf8("Новости"),
                                      QString::fromUtf8("Text <b>not</b> html — 日本"), QString::fromUtf8("Подробнее")},
                                     {"m2", "javascript:alert(1)", {}, "t", {}}});
        CRequestReceiver receiver;
        QCOMPARE(Run(5, receiver), 0);
        QVERIFY(receiver.update.needupdate && receiver.update.mandatory);
        QCOMPARE(receiver.update.version.ToString(4, false), QStringLiteral("1.0.1.300"));
        QCOMPARE(receiver.update.url, QUrl(update.url));
        QCOMPARE(receiver.update.sha256, QByteArray(32, '\x11'));

        // Only http and https addresses are kept; a malformed digest is none.
        update.url = QStringLiteral("file:///tmp/evil.exe"), update.sha256 = QStringLiteral("abc");
        m_server->SetUpdate(update);
        QCOMPARE(Run(5, receiver), 0);
        QVERIFY(receiver.update.url.isEmpty() && receiver.update.sha256.isEmpty());

        QCOMPARE(Run(6, receiver), 0);
        QCOMPARE(receiver.messages.size(), 2);
        QCOMPARE(receiver.messages.at(0).title, QString::fromUtf8("Новости"));
        QCOMPARE(receiver.messages.at(0).text, QString::fromUtf8("Text <b>not</b> html — 日本"));
        QCOMPARE(receiver.messages.at(0).url, QUrl(QStringLiteral("https://example.com/news")));
        QVERIFY(receiver.messages.at(1).url.isEmpty());

        QCOMPARE(Run(4, receiver), 0);
        QCOMPARE(receiver.image.size(), QSize(4, 3));
        m_server->SetAnswer(QStringLiteral("/api/v2/albumart"), CFakeAnswer::Data("not a picture", "image/png"));
        QCOMPARE(Run(4, receiver), SV_E_BAD_ANSWER);

        QCOMPARE(Run(3, receiver), 0);
        QCOMPARE(receiver.history.time, quint32(1700000000));
        QCOMPARE(receiver.history.records.value(0).artist, QString::fromUtf8("宇多田ヒカル"));
    }

    void errorMapping_data()
    {
        QTest::addColumn<CFakeAnswer>("answer");
        QTest::addColumn<int>("expected");
        QTest::newRow("service error 1028") << CFakeAnswer::ServiceError(1028, "no") << int(SV_E_SERVICE_REFUSED);
        QTest::newRow("other service error") << CFakeAnswer::ServiceError(77) << int(SV_E_SERVICE_ERROR);
        QTest::newRow("http 404") << CFakeAnswer::Status(404) << int(SV_E_NO_CONTENT);
        QTest::newRow("http 500") << CFakeAnswer::Status(500) << int(SV_E_HTTP_STATUS);
        QTest::newRow("garbage") << CFakeAnswer::Data("\x01\x02garbage{[") << int(SV_E_BAD_ANSWER);
        QTest::newRow("refused connection") << CFakeAnswer() << int(SV_E_NETWORK_FAILURE);
        QTest::newRow("time-out from the settings") << CFakeAnswer::Held(CFakeAnswer::ServiceOk("")) << int(SV_E_TIMED_OUT);
    }

    void errorMapping()
    {
        QFETCH(CFakeAnswer, answer);
        QFETCH(int, expected);
        m_server->SetAnswer(QStringLiteral("/api/v2/lyrics"), answer);
        if (expected == SV_E_NETWORK_FAILURE)
            QSettings().setValue(QStringLiteral("service/api_url"), QStringLiteral("http://127.0.0.1:1/api/"));
        QSettings().setValue(QStringLiteral("service/timeout_ms"), 250);
        CRequestReceiver receiver;
        QCOMPARE(Run(0, receiver), expected);
        QCOMPARE(receiver.kind, 1);
    }

    // A request signed with the wrong secret, or changed after signing, is refused by the server.
    void wrongSignatureRefused()
    {
        const auto send = [this](const QByteArray& consumerSecret, bool tamper) {
            CoreUrl::CConstructorBase url(m_server->ApiUrl() + QStringLiteral("v2/languages"));
            url.Param("x").value = "1";
            OAuth::Sign(url, "GET", {CFakeSonveroServer::ConsumerKey, consumerSecret, QByteArray(), QByteArray()});
            if (tamper)
                url.Param("x").value = "2";
            Drelk::CHttpTransaction transaction;
            transaction.SetURL(url.GetUrl());
            transaction.Start();
            QTRY_COMPARE_WITH_TIMEOUT(transaction.GetState(), 2, 10000);
            QVERIFY(m_server->LastRequest().signatureChecked);
            QCOMPARE(m_server->LastRequest().signatureValid, !tamper && consumerSecret == CFakeSonveroServer::ConsumerSecret);
            QCOMPARE(transaction.GetResponseData().contains("code=\"401\""), !m_server->LastRequest().signatureValid);
        };
        send(CFakeSonveroServer::ConsumerSecret, false);
        send(CFakeSonveroServer::ConsumerSecret, true);
        send("not the secret", false);

        // Through a typed request a wrong token secret is the service's other error.
        m_access.tokenSecret = "bad";
        CRequestReceiver receiver;
        QCOMPARE(Run(15, receiver), SV_E_SERVICE_ERROR);
    }

    void startRequestRefusals()
    {
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        CLyricQuery query{"a", "t", {}, {}, -1};
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, nullptr, kSlotLyric, query), E_INVALIDARG);
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, nullptr, query), E_INVALIDARG);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("QObject::connect.*No such slot")));
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, SLOT(NoSuchSlot(int)), query), E_FAIL);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("QObject::connect.*[Ii]ncompatible")));
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, SLOT(OnImage(int, QImage)), query), E_FAIL);
        // Arguments the request cannot send.
        QCOMPARE(CV2ResetPasswordRequest::StartRequest(guard, &receiver, SLOT(OnResult(int)), QString()), E_INVALIDARG);
        CPostBlipDesc blip;
        blip.networkId = 2, blip.message = QStringLiteral("hi");
        QTest::ignoreMessage(QtDebugMsg, "CV2PostBlipRequest::Modify: network id=[2] not yet supported");
        QCOMPARE(CV2PostBlipRequest::StartRequest(guard, &receiver, SLOT(OnBlip(int, SonveroProtocol::CPostBlipResponseData)), blip, m_access),
                 E_INVALIDARG);
        SongLyrics noTitle = MakeSong();
        noTitle.title.clear();
        QCOMPARE(CV2SetLyricsRequest::StartRequest(guard, &receiver, SLOT(OnSetLyrics(int, SonveroProtocol::CSetLyricsResult)), noTitle),
                 SV_E_TITLE_OR_ARTIST_MISSING);
        QVERIFY(!guard);
        QTest::qWait(50);
        QVERIFY(m_server->Requests().isEmpty());
        QCOMPARE(receiver.calls, 0);
        QCOMPARE(receiver.children().size(), 0);
    }

    // A receiver gone while the answer is on its way is never called; a holder may release a running
    // request at any time.
    void receiverDeletedMidFlight()
    {
        m_server->SetAnswer(QStringLiteral("/api/v2/users/resetpassword"), CFakeAnswer::Held(CFakeAnswer::ServiceOk("")));
        CRequestReceiver* receiver = new CRequestReceiver;
        int calledAfterDeletion = 0;
        QPointer<Drelk::CHttpTransaction> first;
        QPointer<Drelk::CHttpTransaction> second;
        QCOMPARE(CV2ResetPasswordRequest::StartRequest(first, receiver, SLOT(OnResult(int)), QStringLiteral("a@example.com")), S_OK);
        QCOMPARE(CV2ResetPasswordRequest::StartRequest(second, receiver, SLOT(OnResult(int)), QStringLiteral("b@example.com")), S_OK);
        connect(static_cast<CV2ResetPasswordRequest*>(first.data()), &CV2ResetPasswordRequest::WhenCompleted, this,
                [&calledAfterDeletion](int) { ++calledAfterDeletion; });
        QTRY_COMPARE(m_server->HeldCount(), 2);
        delete receiver;
        // The holder drops the second one before its answer (double release is harmless).
        second->disconnect();
        second->deleteLater();
        second->deleteLater();
        m_server->ReleaseHeld();
        QTRY_VERIFY(!first && !second);
        QCOMPARE(calledAfterDeletion, 1); // the request still completed and cleaned up
    }

    void languagesRequestOwnedByCaller()
    {
        m_server->SetLanguages({"de", "zh-TW", "de", ""});
        Drelk::CGetLanguagesHttpRequest request;
        QCOMPARE(request.Start(), S_OK);
        QTRY_COMPARE(request.GetState(), 2);
        QCOMPARE(request.GetResult(), 0);
        QCOMPARE(request.GetLanguages(), (QStringList{"de", "zh-TW"}));
        m_server->SetAnswer(QStringLiteral("/api/v2/languages"), CFakeAnswer::Status(500));
        QCOMPARE(request.Start(), S_OK); // again, and it failing keeps the last list
        QTRY_COMPARE(request.GetState(), 2);
        QCOMPARE(request.GetResult(), SV_E_HTTP_STATUS);
        QCOMPARE(request.GetLanguages().size(), 2);
    }

    // Milliseconds to seconds; the capped case is the play-history row.
    void playRecordFromSong()
    {
        SongLyrics song = MakeSong();
        song.position = 99999;
        QCOMPARE(CPlayHistoryUtil::MakePlayRecord(song, QString()).position, 99);
    }

    void connectionStateFollowsTheProbe()
    {
        NetList::InjectState(NetList::EConnectivity::Connected);
        CServiceTestInternetConnection service;
        QCOMPARE(service.GetState(), S_OK);
        QSignalSpy changes(&service, &CServiceTestInternetConnection::WhenStateChanged);
        NetList::InjectState(NetList::EConnectivity::Disconnected);
        service.Refresh();
        service.Refresh(); // unchanged: no second signal
        QCOMPARE(service.GetState(), SV_E_NO_INTERNET);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toInt(), int(SV_E_NO_INTERNET));
        NetList::InjectState(NetList::EConnectivity::Connected);
        service.Refresh();
        QCOMPARE(service.GetState(), S_OK);
        QCOMPARE(changes.count(), 2);
    }
};

SV_TEST_MAIN(TestServiceRequests)
#include "tst_servicerequests.moc"
